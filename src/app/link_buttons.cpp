#include "app/link_buttons.h"

#include "app/main_window.h"
#include "text/gbk.h"

namespace qv::app {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True when the text starts with "scheme:" (letters, digits, "+", "-", "."),
// unless the colon only introduces a port ("shop.test:8080/x").
bool HasScheme(std::string_view s) {
  const auto colon = s.find(':');
  if (colon == std::string_view::npos || colon == 0 || !IsAsciiLetter(s[0])) return false;
  for (const char c : s.substr(0, colon)) {
    if (!IsAsciiLetter(c) && !IsDigit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  std::size_t i = colon + 1;
  const std::size_t digits = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  const bool portOnly = i > digits && (i == s.size() || s[i] == '/' || s[i] == '?' || s[i] == '#');
  return !portOnly;
}

}  // namespace

const Text& InvitationLink() {
  static const Text link("https://qm.qq.com/");
  return link;
}

std::optional<Text> WebAddressToOpen(const Text& address) {
  if (address.IsEmpty()) return std::nullopt;
  const Text lower = ToLowerCase(address);
  if (FindText(lower, "http://") == 1 || FindText(lower, "https://") == 1) return address;
  if (HasScheme(address.View())) return std::nullopt;
  return ConcatText("http://", address);
}

void OpenAddress(const Text& address, const AddressOpener& opener) {
  if (const std::optional<Text> web = WebAddressToOpen(address)) opener(ToUtf8(*web));
}

void OnOpenShopUrlClicked(WindowControls& window, const AddressOpener& opener) {
  OpenAddress(window.GetControlText(Control::编辑框1), opener);
}

void OnOpenCssUrlClicked(WindowControls& window, const AddressOpener& opener) {
  OpenAddress(window.GetControlText(Control::编辑框2), opener);
}

void OnJoinGroupClicked(const AddressOpener& opener) { OpenAddress(InvitationLink(), opener); }

void BindLinkButtons(MainWindow& window, const AddressOpener& opener) {
  window.OnClicked(Control::按钮4, [&window, opener] { OnOpenShopUrlClicked(window, opener); });
  window.OnClicked(Control::按钮2, [&window, opener] { OnOpenCssUrlClicked(window, opener); });
  window.OnClicked(Control::按钮3, [opener] { OnJoinGroupClicked(opener); });
}

}  // namespace qv::app
