// The program's built-in code page 936 (GBK) codec, table-driven.
//
// Source files are UTF-8; every GBK constant of the program is written in UTF-8
// and converted once with FromUtf8. The front ends convert between the toolkit's
// encoding and GBK with these functions too. The tables come from the system's
// iconv at build time, so the codec agrees with the charset engine.
//
// Policy: input that is invalid in the source encoding and characters the
// target cannot hold become "?", one for each maximal invalid subsequence or
// character, and never cut the rest; a UTF-8 byte-order mark at the start is
// dropped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/text.h"

namespace qv {

[[nodiscard]] std::string Utf8ToGbk(std::string_view utf8);
// The same over the bytes themselves (GBK is never longer than its UTF-8).
void Utf8ToGbkInPlace(std::string& bytes);
[[nodiscard]] std::string GbkToUtf8(std::string_view gbk);
// Decodes GBK into UTF-16 code units at `out`, which must hold gbk.size() units
// (no character needs more units than bytes); returns the number written.
std::size_t GbkToUtf16(std::string_view gbk, char16_t* out);

// A present GBK text from UTF-8 source text. FromUtf8("中") holds D6 D0.
[[nodiscard]] Text FromUtf8(std::string_view utf8);
// The UTF-8 form of a GBK text.
[[nodiscard]] std::string ToUtf8(const Text& text);

// Length of the well-formed UTF-8 character at the start of `s`, or 0 when it
// does not start with one; `invalidLength` then receives the length of the
// maximal invalid subsequence there (at least 1). `s` must not be empty.
[[nodiscard]] std::size_t Utf8CharLength(std::string_view s, std::size_t& invalidLength);

}  // namespace qv
