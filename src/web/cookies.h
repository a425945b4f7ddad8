// Merging a caller's cookie string with the cookies a server set.
//
// A cookie string is a list of name=value items separated by ";" (on input,
// with or without spaces) or "; " (on output). Names and values compare as
// exact bytes; an item ending in "=deleted" is a deletion.
#pragma once

#include <cstdint>

#include "text/text.h"

namespace qv {

// Merges `newCookies` (the server's) into `oldCookies` (the caller's): the
// server's items first in its order, then the caller's items whose names it did
// not set; items ending in "=deleted" and exact duplicates are dropped. Leaves
// the merged string in `oldCookies`, the space-free form of its own input in
// `newCookies`, and returns a copy of the merged string.
// MergeCookies("a=1; b=2", "b=3; c=4") -> oldCookies "b=3; c=4; a=1", newCookies "b=3;c=4".
Text MergeCookies(Text& oldCookies, Text& newCookies);

// The trimmed text before the first "=", or the whole trimmed item. CookieName(" sid =x") == "sid".
[[nodiscard]] Text CookieName(const Text& item);
// True when some item of `list` has the name `name`.
[[nodiscard]] bool HasCookieNamed(const TextArray& list, const Text& name);
// The items of `text` split at `separator`, each kept at its first occurrence,
// joined by `separator`. RemoveDuplicateItems("a; b; a; c", "; ") == "a; b; c".
[[nodiscard]] Text RemoveDuplicateItems(const Text& text, const Text& separator);
// 1-based index of the first item equal to `text`, or -1.
[[nodiscard]] std::int32_t FindItem(const TextArray& list, const Text& text);

}  // namespace qv
