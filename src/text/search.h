// Internal search machinery shared by the character-aware operations.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace qv::detail {

inline constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

[[nodiscard]] inline bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

[[nodiscard]] inline unsigned char FoldByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 0x20) : c;
}

class RawFinder;

// Finds one needle again and again in one text, as the operations that walk a
// whole text (replace, split, last occurrence) do: the search is set up once.
class CharStartSearcher {
 public:
  // `needle` must not be empty; `hay` and `needle` must outlive the searcher.
  // With `fold`, 'A'..'Z' match 'a'..'z' in every compared byte.
  CharStartSearcher(std::string_view hay, std::string_view needle, bool fold);
  ~CharStartSearcher();
  CharStartSearcher(const CharStartSearcher&) = delete;
  CharStartSearcher& operator=(const CharStartSearcher&) = delete;

  // The first offset >= `from` at which the needle occurs at a character start
  // of a walk that begins at `from`, or kNotFound.
  [[nodiscard]] std::size_t Next(std::size_t from);

 private:
  std::string_view hay_;
  std::unique_ptr<RawFinder> finder_;
};

// One search with a CharStartSearcher.
[[nodiscard]] std::size_t FindAtCharStart(std::string_view hay, std::size_t from, std::string_view needle, bool fold);

// Advances a character walk from the character start `pos` to the first
// character start >= `target`.
[[nodiscard]] std::size_t WalkTo(std::string_view hay, std::size_t pos, std::size_t target);

}  // namespace qv::detail
