#include "web/cookies.h"

#include <string>
#include <unordered_set>

namespace qv {

namespace {

const Text kDeletedMark("=deleted");

// Drops the trailing separator of a list built as "item; item; ": its first n - m bytes.
Text WithoutLastSeparator(const Text& text, const Text& separator) {
  return TextLeft(text, TextLength(text) - TextLength(separator));
}

}  // namespace

Text MergeCookies(Text& oldCookies, Text& newCookies) {
  oldCookies = RemoveAllSpaces(oldCookies);
  newCookies = RemoveAllSpaces(newCookies);
  const TextArray oldItems = SplitText(oldCookies, ";");
  TextArray merged = SplitText(newCookies, ";");

  // The names present in `merged`, kept beside it so the carry-over stays linear.
  std::unordered_set<std::string> names;
  for (const Text& item : merged.Items()) names.insert(CookieName(item).Bytes());
  for (const Text& item : oldItems.Items()) {
    Text name = CookieName(item);
    if (names.insert(name.Bytes()).second) AppendItem(merged, item);
  }

  std::string joined;
  for (const Text& item : merged.Items()) {
    if (CompareText(TextRight(item, TextLength(kDeletedMark)), kDeletedMark) == 0) continue;
    joined += item.View();
    joined += "; ";
  }
  const Text separator("; ");
  oldCookies = RemoveDuplicateItems(WithoutLastSeparator(Text::Result(std::move(joined)), separator), separator);
  return CopyText(oldCookies);
}

Text CookieName(const Text& item) {
  const std::int32_t eq = FindText(item, "=");
  return TrimBoth(eq != -1 ? TextLeft(item, eq - 1) : item);
}

bool HasCookieNamed(const TextArray& list, const Text& name) {
  for (const Text& item : list.Items()) {
    if (CompareText(CookieName(item), name) == 0) return true;
  }
  return false;
}

Text RemoveDuplicateItems(const Text& text, const Text& separator) {
  const TextArray items = SplitText(text, separator);
  std::unordered_set<std::string> seen;
  std::string result;
  for (const Text& item : items.Items()) {
    if (!seen.insert(item.Bytes()).second) continue;
    result += item.View();
    result += separator.View();
  }
  return WithoutLastSeparator(Text::Result(std::move(result)), separator);
}

std::int32_t FindItem(const TextArray& list, const Text& text) {
  const auto& items = list.Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (CompareText(items[i], text) == 0) return static_cast<std::int32_t>(i + 1);
  }
  return -1;
}

}  // namespace qv
