#include "text/gbk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv {
namespace {

TEST(GbkCodec, ConvertsBothWays) {
  const std::vector<std::pair<std::string, std::string>> pairs = {
      {"\xE4\xB8\xAD", "\xD6\xD0"},  // 中
      {"abc<>\r\n", "abc<>\r\n"},    // ASCII unchanged
      {"\xE2\x82\xAC", "\x80"},      // € is the single byte 0x80 in code page 936
      {"\xE3\x80\x80", "\xA1\xA1"},  // full-width space
      {"\xEF\xBC\x8E", "\xA3\xAE"},  // full-width full stop
      {"", ""},
  };
  for (const auto& [utf8, gbk] : pairs) {
    SCOPED_TRACE(utf8);
    EXPECT_EQ(Utf8ToGbk(utf8), gbk);
    EXPECT_EQ(GbkToUtf8(gbk), utf8);
  }
}

TEST(GbkCodec, InvalidAndUnmappableInputBecomesQuestionMarks) {
  const std::vector<std::pair<std::string, std::string>> toGbk = {
      {"\xEF\xBB\xBF"
       "a",
       "a"},                    // leading byte-order mark dropped
      {"a\xEF\xBB\xBF", "a?"},  // a later one is an ordinary character GBK lacks
      {"a\xFF"
       "b",
       "a?b"},              // invalid byte
      {"a\xE4\xB8", "a?"},  // truncated at the end: one maximal subpart
      {"\xE4\xB8"
       "b\xE4\xB8\xAD",
       "?b\xD6\xD0"},
      {"\xF0\x9F\x98\x80!", "?!"},  // outside the basic plane
      {"\xC0\xAF", "??"},           // overlong form: two invalid bytes
      {"\xED\xA0\x80", "???"},      // encoded surrogate
      {"\xD5\xB0", "?"},            // Armenian: no GBK form
  };
  for (const auto& [utf8, gbk] : toGbk) {
    SCOPED_TRACE(utf8);
    EXPECT_EQ(Utf8ToGbk(utf8), gbk);
  }
  EXPECT_EQ(GbkToUtf8("\xD6"), "?");  // dangling lead byte
  EXPECT_EQ(GbkToUtf8("\xD6"
                      "a"),
            "\xE8\xAC\x85");  // any byte from 0x40 on can be a second byte
  EXPECT_EQ(GbkToUtf8("\xD6\x7F"
                      "a"),
            "?\x7F"
            "a");  // 0x7F cannot: only the lead byte is lost
  EXPECT_EQ(GbkToUtf8("\xFF"
                      "a"),
            "?a");
}

TEST(GbkCodec, Utf16DecodingMatchesUtf8Decoding) {
  const std::string gbk =
      "ab\xD6\xD0\x80\xA1\xA1\xFF"
      "c\xAA\xE5\xD6";
  std::u16string units(gbk.size(), u'\0');
  units.resize(GbkToUtf16(gbk, units.data()));
  EXPECT_EQ(units, u"ab\u4E2D\u20AC\u3000?c??");
  // A converter to and from UTF-8 gives the same characters.
  EXPECT_EQ(GbkToUtf8(gbk), "ab\xE4\xB8\xAD\xE2\x82\xAC\xE3\x80\x80?c??");
}

TEST(GbkCodec, InPlaceConversionMatches) {
  std::string bytes =
      "\xEF\xBB\xBF"
      "x\xE4\xB8\xAD\xF0\x9F\x98\x80y\xC3\xA9\xE4";
  const std::string expected = Utf8ToGbk(bytes);
  Utf8ToGbkInPlace(bytes);
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(bytes, "x\xD6\xD0?y\xA8\xA6?");
}

TEST(GbkCodec, LiteralsBecomeGbkText) {
  const Text t = FromUtf8("店铺名称：");
  EXPECT_TRUE(t.IsPresent());
  EXPECT_EQ(t.Length(), 10);
  EXPECT_EQ(ToUtf8(t), "店铺名称：");
  EXPECT_TRUE(FromUtf8("").IsPresent());
}

}  // namespace
}  // namespace qv
