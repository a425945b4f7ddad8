// The three link buttons: open an address in the default browser.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "analysis/controls.h"

namespace qv::app {

// Shows a web address (UTF-8) in the default browser.
using AddressOpener = std::function<void(const std::string& address)>;

// The chat group's invitation link.
[[nodiscard]] const Text& InvitationLink();

// The web address to hand to the browser for `address`, or nothing. Only web
// addresses are opened, since the boxes can hold text from downloaded pages:
// "http://" and "https://" (any case) as they stand, no scheme with "http://"
// in front, nothing for an empty address or any other scheme.
[[nodiscard]] std::optional<Text> WebAddressToOpen(const Text& address);

void OpenAddress(const Text& address, const AddressOpener& opener);
void OnOpenShopUrlClicked(WindowControls& window, const AddressOpener& opener);
void OnOpenCssUrlClicked(WindowControls& window, const AddressOpener& opener);
void OnJoinGroupClicked(const AddressOpener& opener);

class MainWindow;
// Binds 按钮4, 按钮2 and 按钮3 to their handlers with `opener`.
void BindLinkButtons(MainWindow& window, const AddressOpener& opener);

}  // namespace qv::app
