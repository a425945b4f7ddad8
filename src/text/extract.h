// Cutting pieces out of a text by markers.
#pragma once

#include <cstdint>

#include "text/text.h"

namespace qv {

// The bytes between the first `leftMarker` at or after `startPos` and the first
// `rightMarker` that begins behind it; "" when either is missing. "#引号" in a
// marker stands for a double quote. ASCII letters match in either case unless
// `matchCase` is true.
// TextBetween("<a>x</A>", "<a>", "</a>") == "x"; TextBetween("ab", "a", "") == "".
[[nodiscard]] Text TextBetween(const Text& source, const Text& leftMarker, const Text& rightMarker,
                               std::int32_t startPos = 0, bool matchCase = false);

// Everything behind the last occurrence of `marker`; "" when it does not occur
// or ends the text; the whole text for an empty marker. Bytes must match exactly
// unless `ignoreCase` is true (the opposite sense of TextBetween's switch). The
// marker is used as given: no "#引号" substitution.
// TextAfterLast("a>b>c", ">") == "c".
[[nodiscard]] Text TextAfterLast(const Text& source, const Text& marker, bool ignoreCase = false);

}  // namespace qv
