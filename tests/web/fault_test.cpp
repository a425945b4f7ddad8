// Network faults and hostile responses through WebAccess: no crash, an end
// within the time-outs, nothing fetched but loopback HTTP(S).
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "support/http_server.h"
#include "web/platform/http_transport.h"
#include "web/web_access.h"

namespace qv {
namespace {

using test::RecordedRequest;
using test::Reply;
using test::Response;
using Clock = std::chrono::steady_clock;

struct Outcome {
  std::string body;
  std::string raw;
  std::size_t requests = 0;
  Clock::duration took{};
};

struct Scenario {
  const char* name;
  std::function<Reply(const RecordedRequest&)> reply;
  std::string path;  // what is asked for, behind the server's address
  std::function<void(const Outcome&)> check;
};

std::string Repeat(const std::string& s, std::size_t bytes) {
  std::string out;
  out.reserve(bytes + s.size());
  while (out.size() < bytes) out += s;
  return out;
}

void ExpectFailed(const Outcome& o) {
  EXPECT_EQ(o.body, "");
  EXPECT_EQ(o.raw, std::string(5000, ' '));
}

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = platform::GetTransportSettings();
    platform::TransportSettings quick = saved_;
    quick.stallTimeout = std::chrono::seconds(1);
    quick.connectTimeout = std::chrono::milliseconds(2000);
    platform::SetTransportSettings(quick);
  }
  void TearDown() override { platform::SetTransportSettings(saved_); }

  static Outcome Run(const Scenario& s) {
    test::HttpServer server(s.reply);
    Outcome o;
    Text raw;
    const auto start = Clock::now();
    o.body = std::string(WebAccess(Text(server.Url() + s.path), 0, Text(), nullptr, nullptr, nullptr, nullptr, false,
                                   nullptr, std::nullopt, &raw)
                             .View());
    o.took = Clock::now() - start;
    o.raw = std::string(raw.View());
    o.requests = server.Requests().size();
    return o;
  }

 private:
  platform::TransportSettings saved_;
};

TEST_F(FaultTest, EveryScenarioEndsInTimeWithoutFetchingAnythingElse) {
  const std::string big200 = Repeat("0123456789abcdef", 200u << 20);
  const std::string page50 = Repeat("<p>page text</p>\n", 50u << 20);
  const std::vector<Scenario> scenarios = {
      {"accepts and never answers",
       [](const RecordedRequest&) {
         return Reply{"", {}, false, false, true};
       },
       "/", ExpectFailed},
      {"reset in mid-body",
       [](const RecordedRequest&) {
         return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(5000, 'x'), {}, false, true};
       },
       "/", ExpectFailed},
      {"10 MB header block",
       [](const RecordedRequest&) {
         return Reply{"HTTP/1.1 200 OK\r\n" +
                      Repeat("X-Filler: 0123456789012345678901234567890123456789\r\n", 10u << 20) +
                      "Content-Length: 2\r\n\r\nok"};
       },
       "/",
       [](const Outcome& o) {
         // Either libcurl takes the block or refuses it as too large; both end cleanly.
         EXPECT_TRUE(o.body == "ok" || o.body.empty());
       }},
      {"redirect loop", [](const RecordedRequest&) { return Reply{Response("", "Location: /loop\r\n", "302 Found")}; },
       "/loop",
       [](const Outcome& o) {
         ExpectFailed(o);
         EXPECT_EQ(o.requests, 11U);  // the first request and ten redirects
       }},
      {"redirect to file://",
       [](const RecordedRequest&) { return Reply{Response("", "Location: file:///etc/passwd\r\n", "302 Found")}; }, "/",
       [](const Outcome& o) {
         ExpectFailed(o);
         EXPECT_EQ(o.requests, 1U);
       }},
      {"redirect to ftp://",
       [](const RecordedRequest&) { return Reply{Response("", "Location: ftp://127.0.0.1/x\r\n", "301 Moved")}; }, "/",
       [](const Outcome& o) { ExpectFailed(o); }},
      {"redirect to dict://",
       [](const RecordedRequest&) { return Reply{Response("", "Location: dict://127.0.0.1/d:x\r\n", "302 Found")}; },
       "/", [](const Outcome& o) { ExpectFailed(o); }},
      {"redirect to gopher://",
       [](const RecordedRequest&) { return Reply{Response("", "Location: gopher://127.0.0.1/1\r\n", "302 Found")}; },
       "/", [](const Outcome& o) { ExpectFailed(o); }},
      {"200 MB body", [&](const RecordedRequest&) { return Reply{Response(big200)}; }, "/",
       [](const Outcome& o) { EXPECT_EQ(o.body.size(), 200u << 20); }},
      {"50 MB page", [&](const RecordedRequest&) { return Reply{Response(page50)}; }, "/",
       [&](const Outcome& o) { EXPECT_TRUE(o.body == page50); }},
      {"announces a gigabyte and closes",
       [](const RecordedRequest&) {
         return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 1000000000\r\n\r\nabc", {}, true};
       },
       "/", ExpectFailed},
      {"malformed status line", [](const RecordedRequest&) { return Reply{"SPDY/9 banana\r\n\r\nhello"}; }, "/",
       ExpectFailed},
      {"no status line at all",
       [](const RecordedRequest&) {
         return Reply{"hello", {}, true};
       },
       "/", ExpectFailed},
      {"invalid UTF-8 in a page declared UTF-8",
       [](const RecordedRequest&) {
         return Reply{
             Response("a\xFF"
                      "b\xE4\xB8\xAD\xC0\xAF"
                      "c\xE4",
                      "Content-Type: text/html; charset=utf-8\r\n")};
       },
       "/", [](const Outcome& o) { EXPECT_EQ(o.body, "a?b\xD6\xD0??c?"); }},
      {"address with 100 KB of text", [](const RecordedRequest&) { return Reply{Response("ok")}; },
       "/" + std::string(100 * 1024, 'a'), [](const Outcome& o) { EXPECT_TRUE(o.body == "ok" || o.body.empty()); }},
      {"address with spaces and line breaks", [](const RecordedRequest& r) { return Reply{Response(r.Target())}; },
       "/my style.css\r\nX-Evil: 1", [](const Outcome& o) { EXPECT_EQ(o.body, "/my%20style.css%0d%0aX-Evil:%201"); }},
  };
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.name);
    const Outcome o = Run(s);
    s.check(o);
    EXPECT_LT(o.took, std::chrono::seconds(30));
  }
}

TEST_F(FaultTest, ConnectionRefused) {
  const auto start = Clock::now();
  Text raw;
  EXPECT_EQ(WebAccess(Text("http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/"), 0, Text(), nullptr, nullptr,
                      nullptr, nullptr, false, nullptr, std::nullopt, &raw)
                .View(),
            "");
  EXPECT_EQ(raw.View(), std::string(5000, ' '));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
}  // namespace qv
