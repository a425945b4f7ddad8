// The text primitives against plain reference walks of their rules.
#include "fuzz_support.h"
#include "text/search.h"

namespace {

using qv::Text;
using qv::detail::FoldByte;
using qv::fuzz::Check;

bool Lead(unsigned char c) { return c >= 0x80; }

bool EqualAt(const std::string& hay, std::size_t i, const std::string& needle, bool fold) {
  for (std::size_t k = 0; k < needle.size(); ++k) {
    const auto h = static_cast<unsigned char>(hay[i + k]);
    const auto n = static_cast<unsigned char>(needle[k]);
    if (fold ? FoldByte(h) != FoldByte(n) : h != n) return false;
  }
  return true;
}

std::int32_t RefFind(const std::string& hay, const std::string& needle, std::int32_t start, bool fold) {
  const std::size_t off = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (off >= hay.size()) return -1;
  if (needle.empty()) return 1;
  for (std::size_t i = off; i + needle.size() <= hay.size(); i += Lead(hay[i]) ? 2 : 1) {
    if (EqualAt(hay, i, needle, fold)) return static_cast<std::int32_t>(i + 1);
  }
  return -1;
}

std::int32_t RefFindReverse(const std::string& hay, const std::string& needle, bool fold) {
  if (hay.empty()) return -1;
  if (needle.empty()) return 1;
  std::int32_t last = -1;
  for (std::size_t i = 0; i + needle.size() <= hay.size(); i += Lead(hay[i]) ? 2 : 1) {
    if (EqualAt(hay, i, needle, fold)) last = static_cast<std::int32_t>(i + 1);
  }
  return last;
}

std::string RefReplace(const std::string& hay, const std::string& needle, const std::string& with, bool fold) {
  if (hay.empty() || needle.empty()) return hay;
  std::string out;
  std::size_t i = 0;
  while (hay.size() - i >= needle.size()) {
    if (EqualAt(hay, i, needle, fold)) {
      out += with;
      i += needle.size();
    } else if (Lead(hay[i])) {
      if (i + 1 >= hay.size()) return out;  // a dangling lead byte met by the walk is dropped
      out += hay.substr(i, 2);
      i += 2;
    } else {
      out += hay[i++];
    }
  }
  return out + hay.substr(i);
}

std::vector<std::string> RefSplit(const std::string& hay, const std::string& sep) {
  std::vector<std::string> items;
  if (hay.empty()) return items;
  if (sep.empty()) return {hay};
  std::size_t piece = 0;
  std::size_t i = 0;
  while (i + sep.size() <= hay.size()) {
    if (EqualAt(hay, i, sep, false)) {
      items.push_back(hay.substr(piece, i - piece));
      i += sep.size();
      piece = i;
    } else {
      i += Lead(hay[i]) ? 2 : 1;
    }
  }
  if (piece < hay.size()) items.push_back(hay.substr(piece));
  return items;
}

bool IsSpaceAt(const std::string& s, std::size_t i) {
  return s[i] == ' ' ||
         (i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0xA1 && static_cast<unsigned char>(s[i + 1]) == 0xA1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const bool fold = data.ConsumeBool();
  const auto start = data.ConsumeIntegralInRange<std::int32_t>(-3, 300);
  const Text needle = qv::fuzz::TextFrom(data, 8);
  const Text with = qv::fuzz::TextFrom(data, 8);
  const Text hay(qv::fuzz::NoZeros(data.ConsumeRemainingBytesAsString()));
  const std::string& h = hay.Bytes();
  const std::string& n = needle.Bytes();

  Check(qv::FindText(hay, needle, start, fold) == RefFind(h, n, start, fold), "FindText");
  Check(qv::FindTextReverse(hay, needle, fold) == RefFindReverse(h, n, fold), "FindTextReverse");
  Check(qv::ReplaceText(hay, needle, with, !fold).Bytes() == RefReplace(h, n, with.Bytes(), fold), "ReplaceText");
  std::vector<std::string> pieces;
  for (const Text& t : qv::SplitText(hay, needle).Items()) pieces.push_back(t.Bytes());
  Check(pieces == RefSplit(h, n), "SplitText");

  // TrimBoth: a piece of the text that neither starts nor ends with a space.
  const std::string trimmed = qv::TrimBoth(hay).Bytes();
  Check(h.find(trimmed) != std::string::npos, "TrimBoth keeps a piece of the text");
  if (!trimmed.empty()) {
    Check(!IsSpaceAt(trimmed, 0), "TrimBoth leaves no leading space");
    // Spaces before a dangling lead byte at the end stay; otherwise none trails.
    bool dangling = false;
    for (std::size_t i = 0; i < h.size(); i += Lead(h[i]) ? 2 : 1) dangling = Lead(h[i]) && i + 1 == h.size();
    std::size_t last = 0;  // the start of the last character
    for (std::size_t i = 0; i < trimmed.size(); i += Lead(trimmed[i]) ? 2 : 1) last = i;
    Check(dangling || !IsSpaceAt(trimmed, last), "TrimBoth leaves no trailing space");
  }
  const std::string compact = qv::RemoveAllSpaces(hay).Bytes();
  const Text compactText(compact);
  Check(
      qv::FindText(compactText, " ") == -1 && qv::FindText(compactText, "\xA1\xA1") == -1 && compact.size() <= h.size(),
      "RemoveAllSpaces leaves no space at a character start");
  Check(qv::ToLowerCase(hay).Length() == hay.Length(), "ToLowerCase keeps the length");
  (void)qv::ToInteger(hay);
  return 0;
}
