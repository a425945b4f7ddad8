#include "text/extract.h"

#include "text/gbk.h"

namespace qv {

namespace {

const Text& QuoteWord() {
  static const Text word = FromUtf8("#引号");
  return word;
}

}  // namespace

Text TextBetween(const Text& source, const Text& leftMarker, const Text& rightMarker, std::int32_t startPos,
                 bool matchCase) {
  const Text left = ReplaceText(leftMarker, QuoteWord(), "\"", true);
  const Text right = ReplaceText(rightMarker, QuoteWord(), "\"", true);
  std::int32_t p = FindText(source, left, startPos, !matchCase);
  if (p == -1) return {};
  p += TextLength(left);
  const std::int32_t q = FindText(source, right, p, !matchCase);
  if (q == -1) return {};
  return TextMid(source, p, q - p);
}

Text TextAfterLast(const Text& source, const Text& marker, bool ignoreCase) {
  const std::int32_t p = FindTextReverse(source, marker, ignoreCase);
  if (p == -1) return {};
  return TextRight(source, TextLength(source) - TextLength(marker) - p + 1);
}

}  // namespace qv
