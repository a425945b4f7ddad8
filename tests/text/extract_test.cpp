#include "text/extract.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/gbk.h"

namespace qv {
namespace {

struct BetweenCase {
  const char* name;
  std::string source, left, right;
  std::int32_t start;
  bool matchCase;
  std::string expected;
};

TEST(TextBetweenTest, CutsBetweenFirstLeftAndNextRight) {
  const std::vector<BetweenCase> cases = {
      {"simple", "<a>x</a>", "<a>", "</a>", 0, false, "x"},
      {"left missing", "x</a>", "<a>", "</a>", 0, false, ""},
      {"right only before left", "</a><a>x", "<a>", "</a>", 0, false, ""},
      {"right overlapping left", "aba", "ab", "ba", 0, false, ""},
      {"right directly behind left", "<a></a>", "<a>", "</a>", 0, false, ""},
      {"left ends the text", "x<a>", "<a>", "</a>", 0, false, ""},
      {"equal markers", "|one|two|", "|", "|", 0, false, "one"},
      {"first of many", "[a][b]", "[", "]", 0, false, "a"},
      {"case ignored by default", "<A>x</A>", "<a>", "</a>", 0, false, "x"},
      {"matchCase", "<A>x</A>", "<a>", "</a>", 0, true, ""},
      {"empty left", "abc|d", "", "|", 0, false, "abc"},
      {"empty left, no right", "abc", "", "|", 0, false, ""},
      {"empty source", "", "", "|", 0, false, ""},
      {"empty right", "abc", "a", "", 0, false, ""},
      {"start beyond the end", "[a]", "[", "]", 9, false, ""},
      {"start skips a left marker", "[a][b]", "[", "]", 2, false, "b"},
      {"quote word", "href=\"u\"", "href=#引号", "#引号", 0, false, "u"},
      {"never the quote word itself", "href=#引号u#引号", "href=#引号", "#引号", 0, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Text got = TextBetween(FromUtf8(c.source), FromUtf8(c.left), FromUtf8(c.right), c.start, c.matchCase);
    EXPECT_EQ(got.View(), FromUtf8(c.expected).View());
  }
  // A right marker at a second byte is not seen.
  EXPECT_EQ(TextBetween(Text("[\xB0]x]"), "[", "]").View(), "\xB0]x");
}

TEST(TextAfterLastTest, TakesEverythingBehindTheLastMarker) {
  EXPECT_EQ(TextAfterLast("a>b>c", ">").View(), "c");
  EXPECT_EQ(TextAfterLast("abc", ">").View(), "");
  EXPECT_EQ(TextAfterLast("abc>", ">").View(), "");
  EXPECT_EQ(TextAfterLast("abc", "").View(), "abc");
  EXPECT_EQ(TextAfterLast("", ">").View(), "");
  EXPECT_EQ(TextAfterLast("xAbyab", "AB").View(), "");
  EXPECT_EQ(TextAfterLast("xAbyab", "AB", true).View(), "");
  EXPECT_EQ(TextAfterLast("xAbyabz", "Ab").View(), "yabz");  // exact by default
  EXPECT_EQ(TextAfterLast("aaa", "aa").View(), "");          // the overlapping last one counts
  const Text quoteWord = FromUtf8("#引号");
  EXPECT_EQ(TextAfterLast(ConcatText("a\"b", quoteWord, "c"), quoteWord).View(), "c");
  EXPECT_EQ(TextAfterLast("a\"b", quoteWord).View(), "");
}

}  // namespace
}  // namespace qv
