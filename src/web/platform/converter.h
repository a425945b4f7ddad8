// The charset engine: re-encodes bytes from one named charset into another.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv::platform {

// Decodes `data` as `fromCharset` and encodes it as `toCharset`. Input that is
// invalid in the source charset and characters the target cannot hold become
// "?" (in the target charset) and never cut the rest; a UTF-8 byte-order mark
// at the start of UTF-8 input is dropped. "GBK" names code page 936. Returns
// nothing when either charset name is unknown to the engine.
[[nodiscard]] std::optional<std::string> Reencode(std::string_view data, const std::string& fromCharset,
                                                  const std::string& toCharset);

}  // namespace qv::platform
