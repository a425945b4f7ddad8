#include "text/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv {
namespace {

// D6 D0 CE C4 is two GBK characters; A1 A1 is the full-width space.
const std::string kTwoChars = "\xD6\xD0\xCE\xC4";

TEST(TextValue, AbsentAndEmptyDifferOnlyAtTheSystemBoundary) {
  const Text absent;
  const Text empty("");
  EXPECT_EQ(absent, empty);
  EXPECT_EQ(absent.CStr(), nullptr);
  ASSERT_NE(empty.CStr(), nullptr);
  EXPECT_STREQ(empty.CStr(), "");
  EXPECT_EQ(CompareText(absent, empty), 0);
  EXPECT_EQ(Text(std::string("ab\0cd", 5)).View(), "ab");
}

TEST(TextValue, EmptyResultsAreAbsentExceptConcatAndCopy) {
  EXPECT_FALSE(TextLeft("abc", 0).IsPresent());
  EXPECT_FALSE(TextMid("abc", 4, 1).IsPresent());
  EXPECT_FALSE(CharFromCode(0).IsPresent());
  EXPECT_FALSE(TrimBoth("   ").IsPresent());
  EXPECT_TRUE(ConcatText(Text(), Text()).IsPresent());
  EXPECT_TRUE(CopyText(Text("")).IsPresent());
  EXPECT_FALSE(CopyText(Text()).IsPresent());
}

struct CutCase {
  const char* name;
  Text result;
  const char* expected;
};

TEST(TextCuts, CountPlainBytesAndFoldRangesIntoEmpty) {
  const Text abc("abc");
  const Text chars(kTwoChars);
  const std::vector<CutCase> cases = {
      {"left 0", TextLeft(abc, 0), ""},        {"left -5", TextLeft(abc, -5), ""},
      {"left 5", TextLeft(abc, 5), "abc"},     {"left splits a character", TextLeft(chars, 1), "\xD6"},
      {"right 2", TextRight(abc, 2), "bc"},    {"right 9", TextRight(abc, 9), "abc"},
      {"right -1", TextRight(abc, -1), ""},    {"mid at 0 is not clamped", TextMid(abc, 0, 1), ""},
      {"mid 2,5", TextMid(abc, 2, 5), "bc"},   {"mid at 4", TextMid(abc, 4, 1), ""},
      {"mid count 0", TextMid(abc, 1, 0), ""}, {"mid of absent", TextMid(Text(), 1, 1), ""},
      {"char 65", CharFromCode(65), "A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.result.View(), c.expected);
  }
  EXPECT_EQ(TextLength(Text()), 0);
  EXPECT_EQ(TextLength(chars), 4);
}

struct FindCase {
  std::string text;
  std::string sought;
  std::int32_t start;
  bool ignoreCase;
  std::int32_t expected;
};

TEST(FindTextTest, WalksCharactersAndFoldsOnlyAsciiLetters) {
  const std::vector<FindCase> cases = {
      {"abc", "", 3, false, 1},  // empty sought in a non-empty region: always 1
      {"abc", "", 4, false, -1},
      {"abc", "", 1, false, 1},
      {"", "", 1, false, -1},
      {"abcabc", "bc", 0, false, 2},  // start 0 acts as 1
      {"abcabc", "bc", -7, false, 2},
      {"abcabc", "bc", 3, false, 5},
      {"abcabc", "bc", 7, false, -1},
      {"abc", "abcd", 1, false, -1},
      {kTwoChars, "\xD0\xCE", 1, false, -1},  // never at a second byte
      {kTwoChars, "\xD0\xCE", 2, false, 2},   // the walk starts at the start byte
      {kTwoChars, "\xCE\xC4", 1, false, 3},
      {"\xD6"
       "a\xD6"
       "a",
       "a", 1, false, -1},  // 'a' is a second byte both times
      {"x\xD6"
       "a",
       "a", 1, false, -1},
      {"Content-Type: text/html; charset=UTF-8", "utf-8", 1, true, 34},
      {"Content-Type: text/html; charset=UTF-8", "utf-8", 1, false, -1},
      {"\x81\x41", "\x81\x61", 1, true, 1},   // folding applies to second bytes too
      {"\xA3\xC1", "\xA3\xE1", 1, true, -1},  // full-width letters are not folded
      {"ab\xD6", "\xD6", 1, false, 3},        // a dangling lead byte is still looked at
      {"AbCaBc", "ABC", 2, true, 4},
      {"aAaAab", "AAB", 1, true, 4},
      {"zz\xB0"
       "Az",
       "az", 1, true, -1},  // "Az" starts at a second byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " / " + c.sought);
    EXPECT_EQ(FindText(Text(c.text), Text(c.sought), c.start, c.ignoreCase), c.expected);
  }
}

TEST(FindTextTest, ReverseFindsLastOverlappingOccurrence) {
  EXPECT_EQ(FindTextReverse("a:b:c", ":"), 4);
  EXPECT_EQ(FindTextReverse("aaa", "aa"), 2);
  EXPECT_EQ(FindTextReverse("", ""), -1);
  EXPECT_EQ(FindTextReverse("x", ""), 1);
  EXPECT_EQ(FindTextReverse("abc", "z"), -1);
  EXPECT_EQ(FindTextReverse(Text(kTwoChars + "\xD0\xCE"), Text("\xD0\xCE")), 5);
  EXPECT_EQ(FindTextReverse(Text("a>\xB0>"), Text(">")), 2);  // the second '>' is a second byte
  EXPECT_EQ(FindTextReverse("ABab", "AB", true), 3);
}

TEST(TextWalks, ToLowerCaseChangesOnlyOneByteCapitals) {
  EXPECT_EQ(ToLowerCase(Text("ABC\xA3\xC1")).View(), "abc\xA3\xC1");
  EXPECT_EQ(ToLowerCase(Text("\x81"
                             "AB"))
                .View(),
            "\x81"
            "Ab");                                        // 'A' is a second byte
  EXPECT_EQ(ToLowerCase(Text("Z\xC1")).View(), "z\xC1");  // dangling lead byte kept
}

TEST(TextWalks, ToIntegerReadsFullWidthFormsAndWraps) {
  const std::vector<std::pair<std::string, std::int32_t>> cases = {
      {"\xA3\xB8\xA3\xB0\xA3\xB8\xA3\xB0", 8080},
      {"80/abc", 80},
      {"", 0},
      {"abc", 0},
      {"-12", -12},
      {"+7", 7},
      {"\t\n5", 5},
      {"4294967297", 1},
      {"2147483648", -2147483647 - 1},
      {"\xA1\xA1 42", 42},  // full-width space skipped
      {"\xA3\xAD"
       "3",
       -3},            // full-width minus
      {"12\xA3", 12},  // dangling lead byte ends the text
      {"+-1", 0},
      {" \r\v\f9x", 9},
      {"\xD6\xD0"
       "5",
       0},  // any other character ends the number
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ToInteger(Text(text)), expected);
  }
}

TEST(TextWalks, TrimBothAndRemoveAllSpaces) {
  const std::vector<std::pair<std::string, std::string>> trims = {
      {"\t a \r\n", "\t a \r\n"},
      {"\xA1\xA1 ab \xA1\xA1", "ab"},
      {"ab \x81", "ab "},  // the dangling byte goes, the space before it stays
      {"  \x81", ""},
      {" a\xA1\xA1"
       "b ",
       "a\xA1\xA1"
       "b"},
      {"\xB0\xA1 ", "\xB0\xA1"},  // A1 here is a second byte, not half a space
      {"", ""},
      {" \xA1", ""},  // a lone A1 at the end is a dangling lead byte
  };
  for (const auto& [in, out] : trims) {
    SCOPED_TRACE(in);
    EXPECT_EQ(TrimBoth(Text(in)).View(), out);
  }
  EXPECT_EQ(RemoveAllSpaces(Text("a b\xA1\xA1"
                                 "c"))
                .View(),
            "abc");
  EXPECT_EQ(RemoveAllSpaces(Text("a\tb \xB0\xA1\xA1")).View(), "a\tb\xB0\xA1");
}

struct ReplaceCase {
  const char* name;
  std::string text, sought, replacement;
  bool caseSensitive;
  std::int32_t start;
  std::optional<std::int32_t> maximum;
  std::string expected;
};

TEST(ReplaceTextTest, ReplacesLeftToRightWithoutRescanning) {
  const std::vector<ReplaceCase> cases = {
      {"two trailing spaces", "x#page #content  y", "#page #content  ", "", true, 1, {}, "xy"},
      {"no rescan", "aaaa", "aa", "a", true, 1, {}, "aa"},
      {"empty sought", "abc", "", "z", true, 1, {}, "abc"},
      {"case-insensitive", "xABCx", "abc", "-", false, 1, {}, "x-x"},
      {"case-sensitive", "xABCx", "abc", "-", true, 1, {}, "xABCx"},
      {"never at a second byte", kTwoChars, "\xD0\xCE", "!", true, 1, {}, kTwoChars},
      {"two-byte needle", kTwoChars + "\xD6\xD0", "\xD6\xD0", "z", true, 1, {}, "z\xCE\xC4z"},
      {"one-byte needle drops a dangling byte",
       "a\xD6\xD0"
       "b\xC4",
       "b",
       "",
       true,
       1,
       {},
       "a\xD6\xD0"},
      {"longer needle keeps a dangling byte", "abc\xC4", "zz", "", true, 1, {}, "abc\xC4"},
      {"start skips earlier bytes", "abab", "ab", "", true, 2, {}, "ab"},
      {"start below 1", "abab", "ab", "", true, -3, {}, ""},
      {"start beyond the end", "abab", "ab", "", true, 9, {}, "abab"},
      {"maximum 1", "ababab", "ab", "x", true, 1, 1, "xabab"},
      {"maximum 0", "ab\xC4", "b", "x", true, 1, 0, "ab\xC4"},
      {"maximum reached keeps a dangling byte", "ab\xC4", "b", "x", true, 1, 1, "ax\xC4"},
      {"replacement grows", "a,b", ",", ", ", true, 1, {}, "a, b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Text result =
        ReplaceText(Text(c.text), Text(c.sought), Text(c.replacement), c.caseSensitive, c.start, c.maximum);
    EXPECT_EQ(result.View(), c.expected);
  }
}

std::vector<std::string> Pieces(const TextArray& array) {
  std::vector<std::string> out;
  for (const Text& t : array.Items()) out.emplace_back(t.View());
  return out;
}

TEST(SplitTextTest, DropsOnlyTheTrailingEmptyItem) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Pieces(SplitText("a,,b", ",")), (V{"a", "", "b"}));
  EXPECT_EQ(Pieces(SplitText(",a", ",")), (V{"", "a"}));
  EXPECT_EQ(Pieces(SplitText("a,", ",")), (V{"a"}));
  EXPECT_EQ(Pieces(SplitText(",", ",")), (V{""}));
  EXPECT_EQ(Pieces(SplitText("", ",")), V{});
  EXPECT_EQ(Pieces(SplitText("ab", "")), (V{"ab"}));
  EXPECT_EQ(Pieces(SplitText("A\r\nB\r\n\r\n", "\r\n")), (V{"A", "B", ""}));
  EXPECT_EQ(Pieces(SplitText(Text(kTwoChars + ",\xD6"), Text(","))), (V{kTwoChars, "\xD6"}));
  EXPECT_EQ(Pieces(SplitText(Text("\xB0,a,b"), Text(","))), (V{"\xB0,a", "b"}));
  EXPECT_EQ(Pieces(SplitText("aXb", "x")), (V{"aXb"}));  // case always matters
  EXPECT_FALSE(ItemAt(SplitText(",a", ","), 1).IsPresent());
}

TEST(TextValue, ConcatCompareAndBlank) {
  EXPECT_EQ(ConcatText("a", Text(), "bc").View(), "abc");
  EXPECT_EQ(CompareText("\xB0", "a"), 1);
  EXPECT_EQ(CompareText("ab", "abc"), -1);
  EXPECT_EQ(CompareText("b", "abc"), 1);
  EXPECT_EQ(BlankText(3).View(), "   ");
  EXPECT_FALSE(BlankText(-1).IsPresent());
  Text filled = BlankText(5);
  filled.WritableData()[2] = '\0';
  filled.EndAtFirstZero();
  EXPECT_EQ(filled.View(), "  ");
}

TEST(ByteBufferTest, ConversionsAndSearches) {
  const ByteBuffer withZero(std::string_view("ab\0cd", 5));
  EXPECT_EQ(BytesToText(withZero).View(), "ab");
  EXPECT_EQ(BytesToText(ByteBuffer(std::string("xyz"))).View(), "xyz");
  EXPECT_FALSE(BytesToText(ByteBuffer(std::string_view("\0a", 2))).IsPresent());
  EXPECT_EQ(FindBytes(withZero, ByteBuffer()), -1);
  EXPECT_EQ(FindBytes(withZero, ByteBuffer(std::string_view("\0c", 2))), 3);
  EXPECT_EQ(FindBytes(ByteBuffer(std::string("\xD6\xD0\xCE")), ByteBuffer(std::string("\xD0\xCE"))), 2);
  EXPECT_EQ(BytesLeft(withZero, 9), withZero);
  EXPECT_EQ(BytesLength(BytesLeft(withZero, 0)), 0);
  EXPECT_EQ(BytesLength(BlankBytes(1024)), 1024);
  EXPECT_EQ(BlankBytes(0).Data(), nullptr);
  EXPECT_EQ(ConcatBytes(ByteBuffer(std::string("a")), ByteBuffer(), withZero).View(), std::string_view("aab\0cd", 6));
  EXPECT_EQ(CompareBytes(ByteBuffer(), ByteBuffer()), 0);
  EXPECT_NE(CompareBytes(ByteBuffer(std::string("a")), ByteBuffer(std::string("ab"))), 0);
  EXPECT_EQ(TextToBytes(Text()).Length(), 0);
}

TEST(TextArrayTest, AppendStoresCopiesAndBitOrCombines) {
  TextArray array = NewTextArray();
  Text item("x");
  AppendItem(array, item);
  AppendItem(array, Text());
  item = Text("changed");
  EXPECT_EQ(ItemCount(array), 2);
  EXPECT_EQ(ItemAt(array, 1).View(), "x");
  EXPECT_FALSE(ItemAt(array, 2).IsPresent());
  EXPECT_EQ(BitOr(0x80000000U, 0x10U, 0x4000U), 0x80004010U);
}

}  // namespace
}  // namespace qv
