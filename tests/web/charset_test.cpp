#include "web/charset.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "text/gbk.h"
#include "web/platform/converter.h"

namespace qv {
namespace {

ByteBuffer Bytes(std::string s) { return ByteBuffer(std::move(s)); }

std::string Utf8Of(unsigned cp) {
  std::string out;
  if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (cp & 0x3F));
  return out;
}

TEST(ConvertCharsetTest, DefaultsAreUtf8ToGbkAndAreWrittenBack) {
  EXPECT_EQ(ConvertCharset(Bytes("\xE4\xB8\xAD")).View(), "\xD6\xD0");
  EXPECT_EQ(ConvertCharset(Bytes("plain <ascii>\r\n")).View(), "plain <ascii>\r\n");
  EXPECT_TRUE(ConvertCharset(ByteBuffer()).IsEmpty());

  Text from("");
  Text to;
  EXPECT_EQ(ConvertCharset(Bytes("\xE4\xB8\xAD"), &from, &to).View(), "\xD6\xD0");
  EXPECT_EQ(from.View(), "UTF-8");
  EXPECT_EQ(to.View(), "GBK");

  Text gbk("GBK");
  Text utf8("UTF-8");
  EXPECT_EQ(ConvertCharset(Bytes("\xD6\xD0"), &gbk, &utf8).View(), "\xE4\xB8\xAD");
}

TEST(ConvertCharsetTest, SkipBytesOnlyWhenSupplied) {
  const ByteBuffer input = Bytes("ab\xE4\xB8\xAD");
  EXPECT_EQ(ConvertCharset(input, nullptr, nullptr, 2).View(), "\xD6\xD0");
  EXPECT_EQ(ConvertCharset(input, nullptr, nullptr, 0).View(), "ab\xD6\xD0");
  EXPECT_EQ(ConvertCharset(input).View(), "ab\xD6\xD0");
  EXPECT_TRUE(ConvertCharset(input, nullptr, nullptr, 99).IsEmpty());
  EXPECT_EQ(ConvertCharset(input, nullptr, nullptr, -3).View(), "ab\xD6\xD0");
}

TEST(ConvertCharsetTest, InvalidInputUnmappableCharactersAndBom) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\xEF\xBB\xBF"
       "a\xE4\xB8\xAD",
       "a\xD6\xD0"},  // leading byte-order mark dropped
      {"a\xFF"
       "b",
       "a?b"},
      {"a\xE4\xB8", "a?"},  // truncated at the end
      {"\xE4\xB8"
       "b\xE4\xB8\xAD",
       "?b\xD6\xD0"},                   // truncated in the middle: the rest survives
      {"\xF0\x9F\x98\x80 ok", "? ok"},  // no GBK form
      {"\xD5\xB0\xE4\xB8\xAD", "?\xD6\xD0"},
      {"\xE2\x82\xAC", "\x80"},
      {"a\xF3\xA0\x80\x81"
       "b",
       "a?b"},                             // a Unicode tag character is no exception
      {"\xF3\xB3\xF3\xA0\x80\x80", "??"},  // after a cut-off sequence too
  };
  for (const auto& [in, out] : cases) {
    SCOPED_TRACE(in);
    EXPECT_EQ(ConvertCharset(Bytes(in)).View(), out);
    EXPECT_EQ(platform::Reencode(in, "UTF-8", "GBK"), out);  // the engine agrees
  }
  Text gbk("GBK");
  Text utf8("UTF-8");
  EXPECT_EQ(ConvertCharset(Bytes("\xD6\xD0\xFF"
                                 "a\xD6"),
                           &gbk, &utf8)
                .View(),
            "\xE4\xB8\xAD?a?");
  // An unassigned pair is one character: decoding stays in step (AA E5 is unassigned).
  EXPECT_EQ(ConvertCharset(Bytes("\xAA\xE5\xD6\xD0"), &gbk, &utf8).View(), "?\xE4\xB8\xAD");
  EXPECT_EQ(GbkToUtf8("\xAA\xE5\xD6\xD0"), "?\xE4\xB8\xAD");
}

TEST(ConvertCharsetTest, UnknownCharsetGivesInputBack) {
  Text bogus("NO-SUCH-CHARSET");
  EXPECT_EQ(ConvertCharset(Bytes("\xE4\xB8\xAD"), &bogus).View(), "\xE4\xB8\xAD");
  Text latin1("ISO-8859-1");
  Text utf8("UTF-8");
  EXPECT_EQ(ConvertCharset(Bytes("caf\xE9"), &latin1, &utf8).View(), "caf\xC3\xA9");
}

// Every two-byte character of code page 936, against a table made by an independent codec.
TEST(ConvertCharsetTest, WholeTwoByteRepertoireRoundTrips) {
  std::ifstream in(QV_TEST_DATA "/cp936_reference.txt");
  ASSERT_TRUE(in) << "missing reference table";
  std::string gbkAll;
  std::string utf8All;
  std::size_t entries = 0;
  for (std::string line; std::getline(in, line);) {
    unsigned g = 0;
    unsigned u = 0;
    std::istringstream(line) >> std::hex >> g >> u;
    gbkAll += static_cast<char>(g >> 8);
    gbkAll += static_cast<char>(g & 0xFF);
    utf8All += Utf8Of(u);
    ++entries;
  }
  ASSERT_GT(entries, 21000U);
  Text gbk("GBK");
  Text utf8("UTF-8");
  const ByteBuffer decoded = ConvertCharset(Bytes(gbkAll), &gbk, &utf8);
  const ByteBuffer encoded = ConvertCharset(Bytes(utf8All));
  EXPECT_TRUE(decoded.View() == utf8All) << "GBK to UTF-8 differs from the reference";
  EXPECT_TRUE(encoded.View() == gbkAll) << "UTF-8 to GBK differs from the reference";
  EXPECT_TRUE(platform::Reencode(utf8All, "UTF-8", "GBK") == gbkAll) << "the engine differs from the reference";
  EXPECT_TRUE(GbkToUtf8(gbkAll) == utf8All) << "built-in decoder differs from the reference";
  EXPECT_TRUE(Utf8ToGbk(utf8All) == gbkAll) << "built-in encoder differs from the reference";
}

}  // namespace
}  // namespace qv
