#include "web/url.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv {
namespace {

struct AddressCase {
  std::string address;
  std::string host;
  std::int32_t port;
  std::string path;
};

TEST(UrlHelpers, HostPortAndPathKeepEveryQuirk) {
  const std::vector<AddressCase> cases = {
      {"https://Shop.Test/x", "shop.test", 443, "/x"},
      {"shop.test", "shop.test", 80, "/"},
      {"http://a.shop.test:8080/b", "a.shop.test", 8080, "/b"},
      {"shop.test/?u=http://other.test/", "other.test", 80, "/"},  // the path starts at the host found
      {"http://shop.test?x=1", "shop.test?x=1", 80, "/"},
      {"http://user:pw@shop.test/p", "user", 0, "/p"},
      {"ftp://shop.test/", "ftp", 0, "//shop.test/"},
      {"http://shop.test:/", "shop.test", 0, "/"},
      {"HTTPS://SHOP.TEST", "shop.test", 443, "/"},
      {"http://h/x", "h", 80, "//h/x"},
      {"https://shop.test/A/b?c=D#e", "shop.test", 443, "/A/b?c=D#e"},
      {"", "", 80, "/"},
      {"http://shop.test:\xA3\xB8\xA3\xB0/", "shop.test", 80, "/"},  // full-width digits count
      {"https://shop.test:8443/", "shop.test", 8443, "/"},
      {"http://Shop.Test/P", "shop.test", 80, "/P"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    const Text address(c.address);
    EXPECT_EQ(UrlHost(address).View(), c.host);
    EXPECT_EQ(UrlPort(address), c.port);
    EXPECT_EQ(UrlPath(address).View(), c.path);
  }
}

TEST(UrlHelpers, HostOptions) {
  const Text address("http://a.shop.test:8080/b");
  EXPECT_EQ(UrlHost(address, false, true).View(), "a.shop.test:8080");
  EXPECT_EQ(UrlHost(address, true, false).View(), "shop.test");
  EXPECT_EQ(UrlHost(address, true, true).View(), "shop.test:8080");
  EXPECT_EQ(UrlHost("http://1.2.3.4/", true).View(), "3.4");
  EXPECT_EQ(UrlHost("http://shop./", true).View(), "shop.");
}

TEST(UrlHelpers, HeaderLineValue) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Location: http://x/y", "http://x/y"}, {"Server:", ""}, {"no colon", ""}, {"A:  b c  ", "b c"}, {"A:\tb", "\tb"},
      {"A:\xA1\xA1v\xA1\xA1", "v"},
  };
  for (const auto& [line, value] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(HeaderLineValue(Text(line)).View(), value);
  }
}

}  // namespace
}  // namespace qv
