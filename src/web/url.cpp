#include "web/url.h"

#include "text/extract.h"

namespace qv {

Text UrlHost(const Text& address, bool lastTwoLabels, bool keepPort) {
  Text s = ToLowerCase(address);
  if (CompareText(TextRight(s, 1), "/") != 0) s = ConcatText(s, "/");
  if (CompareText(TextLeft(s, 8), "https://") == 0) {
    s = TextBetween(s, "https://", "/");
  } else {
    if (FindText(s, "http://") == -1) s = ConcatText("http://", s);
    s = TextBetween(s, "http://", "/");
  }
  if (lastTwoLabels) {
    const TextArray labels = SplitText(s, ".");
    const std::int32_t n = ItemCount(labels);
    if (n > 1) s = ConcatText(ItemAt(labels, n - 1), ".", ItemAt(labels, n));
  }
  if (keepPort) return s;
  const std::int32_t colon = FindText(s, ":");
  return colon == -1 ? s : TextLeft(s, colon - 1);
}

std::int32_t UrlPort(const Text& address) {
  const Text host = UrlHost(address, false, true);
  const std::int32_t colon = FindTextReverse(host, ":");
  if (colon != -1) return ToInteger(TextRight(host, TextLength(host) - colon));
  return CompareText(ToLowerCase(TextLeft(address, 5)), "https") == 0 ? 443 : 80;
}

Text UrlPath(const Text& address) {
  const Text host = UrlHost(address);
  const std::int32_t hostAt = FindText(address, host, 1, true);
  const std::int32_t slash = FindText(address, "/", hostAt);
  if (slash <= 0) return "/";
  return TextRight(address, TextLength(address) - slash + 1);
}

Text HeaderLineValue(const Text& line) {
  const std::int32_t colon = FindText(line, ":");
  if (colon == -1) return {};
  return TrimBoth(TextRight(line, TextLength(line) - colon));
}

}  // namespace qv
