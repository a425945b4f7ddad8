#include "text/search.h"

#include <string.h>  // memmem

#include <cstdint>
#include <cstring>
#include <string>

namespace qv::detail {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

bool HasLetter(std::string_view s) {
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) return true;
  }
  return false;
}

bool FoldedEqual(const char* a, std::string_view folded) {
  for (std::size_t i = 0; i < folded.size(); ++i) {
    if (FoldByte(static_cast<unsigned char>(a[i])) != static_cast<unsigned char>(folded[i])) return false;
  }
  return true;
}

}  // namespace

// Finds the raw (byte-aligned) occurrences of a needle, ignoring character starts.
class RawFinder {
 public:
  RawFinder(std::string_view hay, std::string_view needle, bool fold) : hay_(hay), needle_(needle) {
    fold_ = fold && HasLetter(needle);
    if (fold_) {
      folded_.resize(needle.size());
      for (std::size_t i = 0; i < needle.size(); ++i) {
        folded_[i] = static_cast<char>(FoldByte(static_cast<unsigned char>(needle[i])));
      }
      const auto first = static_cast<unsigned char>(folded_[0]);
      lower_ = static_cast<char>(first);
      upper_ = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 0x20) : lower_;
    }
  }

  // First raw occurrence at or after `from`, or kNotFound.
  std::size_t Next(std::size_t from) {
    if (from > hay_.size() || hay_.size() - from < needle_.size()) return kNotFound;
    if (!fold_) {
      if (needle_.size() <= kShortNeedle) return NextShort(from);
      const void* hit = memmem(hay_.data() + from, hay_.size() - from, needle_.data(), needle_.size());
      return hit == nullptr ? kNotFound : static_cast<std::size_t>(static_cast<const char*>(hit) - hay_.data());
    }
    const std::size_t last = hay_.size() - needle_.size();  // last offset a match may start at
    for (std::size_t pos = from; pos <= last;) {
      const std::size_t c = NextFirstByte(pos, last + 1);
      if (c == kNotFound) return kNotFound;
      if (FoldedEqual(hay_.data() + c + 1, std::string_view(folded_).substr(1))) return c;
      pos = c + 1;
    }
    return kNotFound;
  }

 private:
  // Next offset in [from, end) holding the needle's first byte in either case.
  // Two memchr scans, each remembered until the walk passes it.
  std::size_t NextFirstByte(std::size_t from, std::size_t end) {
    const auto scan = [&](char c, std::size_t& cache) {
      if (cache != kNotFound && cache >= from && cache < end) return;
      if (cache == kScanExhausted) return;
      const void* hit = std::memchr(hay_.data() + from, c, end - from);
      cache = hit == nullptr ? kScanExhausted : static_cast<std::size_t>(static_cast<const char*>(hit) - hay_.data());
    };
    scan(lower_, lowerAt_);
    if (upper_ != lower_) scan(upper_, upperAt_);
    std::size_t best = lowerAt_ == kScanExhausted ? kNotFound : lowerAt_;
    if (upper_ != lower_ && upperAt_ != kScanExhausted && upperAt_ < best) best = upperAt_;
    return best;
  }

  // A short needle is found by its first byte (memchr) and a comparison: with
  // many matches this costs far less per call than memmem's set-up.
  static constexpr std::size_t kShortNeedle = 8;
  std::size_t NextShort(std::size_t from) const {
    const std::size_t last = hay_.size() - needle_.size();
    while (from <= last) {
      const void* hit = std::memchr(hay_.data() + from, needle_[0], last + 1 - from);
      if (hit == nullptr) return kNotFound;
      const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - hay_.data());
      if (std::memcmp(hay_.data() + at + 1, needle_.data() + 1, needle_.size() - 1) == 0) return at;
      from = at + 1;
    }
    return kNotFound;
  }

  static constexpr std::size_t kScanExhausted = kNotFound - 1;

  std::string_view hay_;
  std::string_view needle_;
  bool fold_ = false;
  std::string folded_;
  char lower_ = 0;
  char upper_ = 0;
  std::size_t lowerAt_ = kNotFound;
  std::size_t upperAt_ = kNotFound;
};

std::size_t WalkTo(std::string_view hay, std::size_t pos, std::size_t target) {
  const char* data = hay.data();
  while (pos < target) {
    // Runs of ASCII bytes are character starts throughout: skip them 8 at a time.
    if (target - pos >= 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, data + pos, sizeof word);
      if ((word & kHighBits) == 0) {
        pos += 8;
        continue;
      }
    }
    pos += IsLeadByte(data[pos]) ? 2 : 1;
  }
  return pos;
}

CharStartSearcher::CharStartSearcher(std::string_view hay, std::string_view needle, bool fold)
    : hay_(hay), finder_(std::make_unique<RawFinder>(hay, needle, fold)) {}

CharStartSearcher::~CharStartSearcher() = default;

std::size_t CharStartSearcher::Next(std::size_t from) {
  std::size_t boundary = from;
  std::size_t searchFrom = from;
  for (;;) {
    const std::size_t candidate = finder_->Next(searchFrom);
    if (candidate == kNotFound) return kNotFound;
    boundary = WalkTo(hay_, boundary, candidate);
    if (boundary == candidate) return candidate;
    searchFrom = boundary;  // the candidate was a second byte; the next start is boundary
  }
}

std::size_t FindAtCharStart(std::string_view hay, std::size_t from, std::string_view needle, bool fold) {
  return CharStartSearcher(hay, needle, fold).Next(from);
}

}  // namespace qv::detail
