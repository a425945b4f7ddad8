// Internal search machinery shared by the character-aware operations.
#pragma once

#include <cstddef>
#include <string_view>

namespace qv::detail {

inline constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

[[nodiscard]] inline bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

[[nodiscard]] inline unsigned char FoldByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 0x20) : c;
}

// The first offset >= `from` at which `needle` occurs at a character start of a
// walk that begins at `from`, or kNotFound. `needle` must not be empty. With
// `fold`, 'A'..'Z' match 'a'..'z' in every compared byte.
[[nodiscard]] std::size_t FindAtCharStart(std::string_view hay, std::size_t from, std::string_view needle, bool fold);

// Advances a character walk from the character start `pos` to the first
// character start >= `target`.
[[nodiscard]] std::size_t WalkTo(std::string_view hay, std::size_t pos, std::size_t target);

}  // namespace qv::detail
