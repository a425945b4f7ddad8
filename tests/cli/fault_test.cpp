// Faults and hostile pages end to end through quorvane-cli.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/fixture_shops.h"
#include "support/process.h"

namespace qv {
namespace {

using test::Family;
using test::RecordedRequest;
using test::Reply;
using test::Response;
using test::Template;
using Clock = std::chrono::steady_clock;

test::ProcessResult Cli(const std::string& address) { return test::RunProcess({QV_CLI_BINARY, address}, 120); }

std::string ShopAddress(const test::HttpServer& server) { return server.Url("shop.taobao.localhost") + "/"; }

// A Taobao designer shop whose page names `cssHref` as its style sheet.
Reply HostileShop(const RecordedRequest& r, const std::string& cssHref) {
  if (r.Target() == "/") {
    std::string page = test::ShopPageHtml(Family::kTaobao, Template::kDesigner, cssHref);
    page.replace(page.find("__META__"), 8, "<meta charset=\"utf-8\">");
    return Reply{Response(page)};
  }
  return Reply{Response("#page #content .a{}", "Content-Type: text/css\r\n")};
}

struct CssCase {
  const char* name;
  std::string href;            // behind "http://shop.taobao.localhost:PORT" when relative
  bool relative;               // whether href is a path on the fixture server
  std::string expectedOut;     // standard output
  std::string expectedTarget;  // the style-sheet request the server sees; "" for none
};

TEST(CliFaults, HostileStyleSheetAddresses) {
  const std::vector<CssCase> cases = {
      {"non-HTTP scheme", "file:///etc/passwd", false, "", ""},
      {"ftp scheme", "ftp://127.0.0.1/css", false, "", ""},
      {"CR LF in the address", "/css/a\r\nX-Evil: 1.css", true, " .a{}", "/css/a%0d%0aX-Evil:%201.css"},
      {"spaces in the address", "/css/my style.css", true, " .a{}", "/css/my%20style.css"},
      {"100 KB address", "/css/" + std::string(100 * 1024, 'a'), true, "", ""},
  };
  for (const CssCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string href = c.href;
    test::HttpServer server([&href](const RecordedRequest& r) { return HostileShop(r, href); });
    if (c.relative) href = server.Url("shop.taobao.localhost") + c.href;
    const auto start = Clock::now();
    const auto run = Cli(ShopAddress(server));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(60));
    EXPECT_EQ(run.exitCode, 0);  // an address was found, whatever it held
    const auto requests = server.Requests();
    ASSERT_GE(requests.size(), 4U);
    for (const auto& r : requests) EXPECT_EQ(r.HeaderValue("X-Evil"), "");
    if (!c.expectedTarget.empty()) {
      EXPECT_EQ(run.out, c.expectedOut);
      EXPECT_EQ(requests.back().Target(), c.expectedTarget);
    } else if (c.relative) {
      EXPECT_TRUE(run.out == " .a{}" || run.out.empty());  // a huge request line may be refused
    } else {
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(requests.size(), 4U);  // nothing but the four shop pages was fetched here
      EXPECT_EQ(run.out.find("root:"), std::string::npos);
    }
  }
}

struct ShopFault {
  const char* name;
  std::function<Reply(const RecordedRequest&)> reply;
};

TEST(CliFaults, BrokenShopServersEndCleanly) {
  const std::vector<ShopFault> faults = {
      {"reset in mid-body",
       [](const RecordedRequest&) {
         return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nshop-name", {}, false, true};
       }},
      {"redirect loop", [](const RecordedRequest&) { return Reply{Response("", "Location: /\r\n", "302 Found")}; }},
      {"redirect to a local file",
       [](const RecordedRequest&) { return Reply{Response("", "Location: file:///etc/passwd\r\n", "302 Found")}; }},
      {"malformed status line",
       [](const RecordedRequest&) {
         return Reply{"BANANA\r\n\r\n", {}, true};
       }},
      {"never answers the first request",
       [first = std::make_shared<bool>(true)](const RecordedRequest&) {
         Reply reply{"", {}, false, false, *first};
         *first = false;
         if (!reply.stall) reply.bytes = Response("");  // later requests get an empty page
         return reply;
       }},
  };
  for (const ShopFault& f : faults) {
    SCOPED_TRACE(f.name);
    test::HttpServer server(f.reply);
    const auto start = Clock::now();
    const auto run = Cli(ShopAddress(server));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(50));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "店铺名称：\n掌柜：\n\n\n");
  }
  const auto refused = Cli("http://shop.taobao.localhost:" + std::to_string(test::ClosedPort()) + "/");
  EXPECT_EQ(refused.exitCode, 1);
}

TEST(CliFaults, FiftyMegabytePage) {
  test::FixtureShops shops(50u << 20);
  const auto start = Clock::now();
  const auto run = Cli(shops.ShopAddress(Family::kTmall, Template::kDesigner, test::Encoding::kUtf8Meta));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(60));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, test::TmallCssCleaned());
}

}  // namespace
}  // namespace qv
