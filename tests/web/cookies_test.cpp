#include "web/cookies.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv {
namespace {

struct MergeCase {
  std::string oldCookies, newCookies;
  std::string merged, newAfter;
};

TEST(MergeCookiesTest, ServerWinsDeletionsAndDuplicatesDrop) {
  const std::vector<MergeCase> cases = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3;c=4"},
      {"a=1; c=3", "c=deleted", "a=1", "c=deleted"},
      {"x=hello world", "", "x=helloworld", ""},
      {"a=1; a=2", "", "a=1", ""},
      {"", "a=1; a=1", "a=1", "a=1;a=1"},
      {"", "a=1; a=2", "a=1; a=2", "a=1;a=2"},
      {"a=1;;b=2", "", "a=1; ; b=2", ""},
      {"", "", "", ""},
      {"=deleted; k=deleted2; deleted", "", "k=deleted2; deleted", ""},
      {"A=1", "a=2", "a=2; A=1", "a=2"},
      {"a=1\xA1\xA1; b=2", "", "a=1; b=2", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.oldCookies + " + " + c.newCookies);
    Text oldCookies(c.oldCookies);
    Text newCookies(c.newCookies);
    const Text result = MergeCookies(oldCookies, newCookies);
    EXPECT_EQ(oldCookies.View(), c.merged);
    EXPECT_EQ(result.View(), c.merged);
    EXPECT_EQ(newCookies.View(), c.newAfter);
  }
}

TEST(MergeCookiesTest, Helpers) {
  EXPECT_EQ(CookieName(" sid =x").View(), "sid");
  EXPECT_EQ(CookieName("flag").View(), "flag");
  EXPECT_EQ(CookieName("=v").View(), "");
  EXPECT_EQ(RemoveDuplicateItems("a; b; a; c", "; ").View(), "a; b; c");
  EXPECT_EQ(RemoveDuplicateItems("", "; ").View(), "");
  const TextArray list = SplitText("a,b,a", ",");
  EXPECT_EQ(FindItem(list, "a"), 1);
  EXPECT_EQ(FindItem(list, "b"), 2);
  EXPECT_EQ(FindItem(list, "z"), -1);
  EXPECT_EQ(FindItem(SplitText(",a", ","), Text()), 1);
  EXPECT_TRUE(HasCookieNamed(SplitText("x=1;y=2", ";"), "y"));
  EXPECT_FALSE(HasCookieNamed(SplitText("x=1;y=2", ";"), "Y"));
}

}  // namespace
}  // namespace qv
