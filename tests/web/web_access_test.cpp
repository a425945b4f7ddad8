#include "web/web_access.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/http_server.h"
#include "support/tls_server.h"
#include "text/gbk.h"
#include "web/platform/http_transport.h"

namespace qv {
namespace {

using test::HttpServer;
using test::Reply;
using test::Response;

// Replies to every request with the same bytes.
HttpServer::Handler Always(std::string bytes) {
  return [bytes = std::move(bytes)](const test::RecordedRequest&) { return Reply{bytes}; };
}

// The request head with libcurl's Accept-Encoding value masked (it lists what this build can decode).
std::string Masked(std::string head) {
  const std::string name = "Accept-Encoding: ";
  const auto at = head.find(name);
  if (at != std::string::npos) head.replace(at + name.size(), head.find("\r\n", at) - at - name.size(), "*");
  return head;
}

const std::string kSpaces5000(5000, ' ');

TEST(WebAccessTest, PlainGetSendsExactlyTheCompletedHeaders) {
  HttpServer server(Always(Response("hello")));
  const std::string address = server.Url() + "/a?b=1";
  EXPECT_EQ(WebAccess(Text(address)).View(), "hello");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1U);
  EXPECT_EQ(Masked(requests[0].head),
            "GET /a?b=1 HTTP/1.1\r\n"
            "Host: 127.0.0.1:" +
                std::to_string(server.port()) +
                "\r\n"
                "User-Agent: " +
                std::string(DefaultAgentString().View()) +
                "\r\n"
                "Accept-Encoding: *\r\n"
                "Referer: " +
                address +
                "\r\n"
                "Accept: */*\r\n"
                "Accept-Language: zh-cn\r\n"
                "Content-Type: application/x-www-form-urlencoded\r\n"
                "\r\n");
}

TEST(WebAccessTest, HeaderCompletionComparesCaseExactlyAndIsWrittenBack) {
  HttpServer server(Always(Response("")));
  const std::string address = server.Url() + "/";
  struct Case {
    std::string given, completed, agent;
  };
  const std::string tail =
      "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded";
  const std::vector<Case> cases = {
      {"user-agent: X", "user-agent: X\r\nReferer: " + address + tail, "X"},
      {"referer: x", "referer: x\r\nReferer: " + address + tail, std::string(DefaultAgentString().View())},
      {"Accept-Language: en",
       "Accept-Language: en\r\nReferer: " + address +
           "\r\nAccept: */*\r\nContent-Type: application/x-www-form-urlencoded",
       std::string(DefaultAgentString().View())},
      {"User-Agent: Z\r\nX-A: 1", "User-Agent: Z\r\nX-A: 1\r\nReferer: " + address + tail, "Z"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    Text headers(c.given);
    (void)WebAccess(Text(address), 0, Text(), nullptr, nullptr, &headers);
    EXPECT_EQ(headers.View(), c.completed);
    EXPECT_EQ(server.Requests().back().HeaderValue("User-Agent"), c.agent);
  }
}

TEST(WebAccessTest, MethodAndBodyRules) {
  HttpServer server(Always(Response("ok")));
  const Text address(server.Url() + "/post");

  ByteBuffer bytes;
  (void)WebAccess(address, 1, "a=1", nullptr, nullptr, nullptr, nullptr, false, &bytes);
  EXPECT_EQ(bytes.View(), "a=1");  // the caller's buffer receives the text's bytes
  auto request = server.Requests().back();
  EXPECT_EQ(request.RequestLine(), "POST /post HTTP/1.1");
  EXPECT_EQ(request.body, "a=1");
  EXPECT_EQ(request.HeaderValue("Content-Length"), "3");
  EXPECT_EQ(request.HeaderValue("Expect"), "");

  ByteBuffer given(std::string("raw\x01"));
  (void)WebAccess(address, 2, "ignored", nullptr, nullptr, nullptr, nullptr, false, &given);
  request = server.Requests().back();
  EXPECT_EQ(request.RequestLine(), "GET /post HTTP/1.1");  // any method but 1 is a GET
  EXPECT_EQ(request.body, "raw\x01");

  (void)WebAccess(address, 1);
  request = server.Requests().back();
  EXPECT_EQ(request.RequestLine(), "POST /post HTTP/1.1");
  EXPECT_EQ(request.HeaderValue("Content-Length"), "0");
}

TEST(WebAccessTest, CookiesSuppliedOrLeftOut) {
  HttpServer server([](const test::RecordedRequest& r) {
    return Reply{Response("", r.Target() == "/set" ? "Set-Cookie: s=1; path=/\r\n" : "")};
  });
  const Text set(server.Url() + "/set");
  const Text plain(server.Url() + "/plain");

  // Left out: the process-wide store keeps the cookie and sends it again.
  (void)WebAccess(set);
  (void)WebAccess(plain);
  EXPECT_EQ(server.Requests().back().HeaderValue("Cookie"), "s=1");

  // Supplied empty: no Cookie line, the store is not used, the variable gets the merge.
  Text cookies("");
  (void)WebAccess(set, 0, Text(), &cookies);
  EXPECT_EQ(server.Requests().back().HeaderValue("Cookie"), "");
  EXPECT_EQ(cookies.View(), "s=1");

  // Supplied: sent as the block's last line; a second call with the block sends it twice.
  Text mine("a=1");
  Text headers;
  (void)WebAccess(plain, 0, Text(), &mine, nullptr, &headers);
  EXPECT_EQ(server.Requests().back().HeaderValue("Cookie"), "a=1");
  EXPECT_TRUE(headers.View().ends_with("\r\nCookie: a=1"));
  (void)WebAccess(plain, 0, Text(), &mine, nullptr, &headers);
  const std::string head = server.Requests().back().head;
  EXPECT_NE(head.find("Cookie: a=1\r\nCookie: a=1\r\n"), std::string::npos) << head;
}

TEST(WebAccessTest, HeaderScanFindsCookiesAndRedirects) {
  HttpServer server([](const test::RecordedRequest& r) {
    if (r.Target() == "/cookies") return Reply{Response("", "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n")};
    if (r.Target() == "/content-location") return Reply{Response("", "Content-Location: /x\r\n")};
    if (r.Target() == "/lower") return Reply{Response("", "location: /y\r\n", "302 Found")};
    if (r.Target() == "/moved") return Reply{Response("moved", "Location: /final\r\n", "302 Found")};
    return Reply{Response("final page", "X-Final: yes\r\n")};
  });
  Text returned;
  Text redirect;
  Text raw;
  (void)WebAccess(Text(server.Url() + "/cookies"), 0, Text(), nullptr, &returned, nullptr, &redirect);
  EXPECT_EQ(returned.View(), "a=1; ");

  redirect = Text();
  (void)WebAccess(Text(server.Url() + "/content-location"), 0, Text(), nullptr, nullptr, nullptr, &redirect);
  EXPECT_EQ(redirect.View(), "/x");

  redirect = Text();
  (void)WebAccess(Text(server.Url() + "/lower"), 0, Text(), nullptr, nullptr, nullptr, &redirect, true, nullptr,
                  std::nullopt, &raw);
  EXPECT_EQ(redirect, raw);  // no "Location:" line: the whole block
  EXPECT_TRUE(raw.View().starts_with("HTTP/1.1 302 Found\r\n"));
  EXPECT_TRUE(raw.View().ends_with("\r\nlocation: /y\r\n\r\n"));

  redirect = Text("old");
  (void)WebAccess(Text(server.Url() + "/plain"), 0, Text(), nullptr, nullptr, nullptr, &redirect);
  EXPECT_EQ(redirect.View(), "old");

  // A followed redirect: the body and header block are the final response's.
  redirect = Text();
  EXPECT_EQ(WebAccess(Text(server.Url() + "/moved"), 0, Text(), nullptr, nullptr, nullptr, &redirect, false, nullptr,
                      std::nullopt, &raw)
                .View(),
            "final page");
  EXPECT_NE(raw.View().find("X-Final: yes\r\n"), std::string::npos);
  EXPECT_EQ(raw.View().find("302"), std::string::npos);

  // Not followed: the redirect's own body and its Location value.
  EXPECT_EQ(WebAccess(Text(server.Url() + "/moved"), 0, Text(), nullptr, nullptr, nullptr, &redirect, true).View(),
            "moved");
  EXPECT_EQ(redirect.View(), "/final");
}

TEST(WebAccessTest, Utf8DeclarationBoundAndZeroByte) {
  const std::string zhong = "\xE4\xB8\xAD";
  const auto page = [&](std::size_t markerAt) { return std::string(markerAt - 1, 'x') + "utf-8" + zhong; };
  HttpServer server([&](const test::RecordedRequest& r) {
    const std::string t = r.Target();
    if (t == "/at499") return Reply{Response(page(499))};
    if (t == "/at500") return Reply{Response(page(500))};
    if (t == "/header") return Reply{Response(zhong, "Content-Type: text/html; charset=UTF-8\r\n")};
    if (t == "/capitals") return Reply{Response("UTF-8" + zhong)};
    return Reply{Response(std::string("ab\0cd", 5))};
  });
  EXPECT_TRUE(WebAccess(Text(server.Url() + "/at499")).View().ends_with("utf-8\xD6\xD0"));
  EXPECT_TRUE(WebAccess(Text(server.Url() + "/at500")).View().ends_with("utf-8" + zhong));
  EXPECT_EQ(WebAccess(Text(server.Url() + "/header")).View(), "\xD6\xD0");
  EXPECT_EQ(WebAccess(Text(server.Url() + "/capitals")).View(), "UTF-8" + zhong);
  EXPECT_EQ(WebAccess(Text(server.Url() + "/zero")).View(), "ab");
}

TEST(WebAccessTest, HeaderBlockOverFiveThousandBytesIsKept) {
  std::string many;
  for (int i = 0; i < 200; ++i) many += "X-Filler-" + std::to_string(i) + ": " + std::string(40, 'f') + "\r\n";
  HttpServer server(
      Always(Response("\xE4\xB8\xAD", many + "Set-Cookie: late=1\r\nContent-Type: text/html; charset=utf-8\r\n")));
  Text raw;
  Text returned;
  const Text body = WebAccess(Text(server.Url() + "/"), 0, Text(), nullptr, &returned, nullptr, nullptr, false, nullptr,
                              std::nullopt, &raw);
  EXPECT_GT(raw.Length(), 10000);
  EXPECT_EQ(returned.View(), "");      // "late=1" has no ";" after it: an empty item, separator cut
  EXPECT_EQ(body.View(), "\xD6\xD0");  // the charset declared late in the block still counts
}

TEST(WebAccessTest, ProxyReceivesTheAbsoluteFormRequest) {
  HttpServer proxy(Always(Response("via proxy")));
  const std::optional<Text> proxyAddress(Text("127.0.0.1:" + std::to_string(proxy.port())));
  EXPECT_EQ(
      WebAccess("http://shop.test/x?y=1", 0, Text(), nullptr, nullptr, nullptr, nullptr, false, nullptr, proxyAddress)
          .View(),
      "via proxy");
  ASSERT_EQ(proxy.Requests().size(), 1U);
  EXPECT_EQ(proxy.Requests()[0].RequestLine(), "GET http://shop.test/x?y=1 HTTP/1.1");
}

TEST(WebAccessTest, FailedRequestsLeaveSpacesAndAnEmptyBody) {
  platform::TransportSettings quick;
  quick.stallTimeout = std::chrono::seconds(1);
  quick.connectTimeout = std::chrono::milliseconds(2000);  // a TLS handshake counts as connecting
  const platform::TransportSettings saved = platform::GetTransportSettings();
  platform::SetTransportSettings(quick);

  HttpServer stalling([](const test::RecordedRequest&) { return Reply{"", {}, false, false, true}; });
  HttpServer resetting([](const test::RecordedRequest&) {
    return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\npartial", {}, false, true};
  });
  HttpServer malformed(Always("NOT HTTP AT ALL\r\n\r\n"));
  HttpServer plain(Always(Response("never seen over TLS")));
  const std::vector<std::pair<const char*, std::string>> addresses = {
      {"connection refused", "http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/"},
      // Tests run where only loopback exists, so the lookup fails here without leaving the machine.
      {"unknown host", "http://no-such-host.invalid/"},
      {"accepts and never answers", stalling.Url() + "/"},
      {"reset in mid-body", resetting.Url() + "/"},
      {"malformed status line", malformed.Url() + "/"},
      {"TLS handshake with a plain server", "HTTPS://127.0.0.1:" + std::to_string(plain.port()) + "/"},
  };
  for (const auto& [name, address] : addresses) {
    SCOPED_TRACE(name);
    Text raw;
    Text redirect;
    Text headers;
    Text cookies("x=1; y = 2");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(
        WebAccess(Text(address), 0, Text(), &cookies, nullptr, &headers, &redirect, false, nullptr, std::nullopt, &raw)
            .View(),
        "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(raw.View(), kSpaces5000);
    EXPECT_EQ(redirect.View(), kSpaces5000);
    EXPECT_TRUE(headers.View().starts_with("Referer: "));  // the request was made
    EXPECT_EQ(cookies.View(), "x=1; y=2");                 // merged with nothing: normalised
  }
  EXPECT_TRUE(plain.Requests().empty());  // the HTTPS address spoke TLS, not HTTP
  platform::SetTransportSettings(saved);
}

TEST(WebAccessTest, HttpsIsVerifiedWithoutFallback) {
  test::TlsServer server;
  ASSERT_TRUE(server.ready()) << "openssl s_server did not start";
  const Text address("HTTPS://localhost:" + std::to_string(server.port()) + "/");
  Text raw;
  // Self-signed: the handshake fails verification and nothing is returned.
  EXPECT_EQ(
      WebAccess(address, 0, Text(), nullptr, nullptr, nullptr, nullptr, false, nullptr, std::nullopt, &raw).View(), "");
  EXPECT_EQ(raw.View(), kSpaces5000);

  // Trusted: the same address is fetched over TLS ("HTTPS" in capitals still selects it).
  platform::TransportSettings trusting = platform::GetTransportSettings();
  const platform::TransportSettings saved = trusting;
  trusting.caFile = server.certificateFile();
  platform::SetTransportSettings(trusting);
  const Text page =
      WebAccess(address, 0, Text(), nullptr, nullptr, nullptr, nullptr, false, nullptr, std::nullopt, &raw);
  platform::SetTransportSettings(saved);
  EXPECT_NE(page.View().find("s_server"), std::string::npos) << page.View();
  EXPECT_TRUE(raw.View().starts_with("HTTP/1.0 200 ok\r\n")) << raw.View();
}

TEST(WebAccessTest, NoByteOfAnAddressSplitsTheRequest) {
  HttpServer server(Always(Response("ok")));
  const Text address(server.Url() + "/a\r\nX-Injected: 1 b\x01");
  EXPECT_EQ(WebAccess(address).View(), "ok");
  const auto request = server.Requests().back();
  EXPECT_EQ(request.RequestLine(), "GET /a%0d%0aX-Injected:%201%20b%01 HTTP/1.1");
  EXPECT_EQ(request.HeaderValue("X-Injected"), "");
  EXPECT_EQ(request.HeaderValue("Referer"), server.Url() + "/aX-Injected: 1 b");

  // Nor can a cookie or header value: a bare CR or LF in it is dropped.
  Text cookies("a=1\rX-Evil: 2");
  Text extra("X-Note: x\ny");
  (void)WebAccess(Text(server.Url() + "/"), 0, Text(), &cookies, nullptr, &extra);
  const auto withCookies = server.Requests().back();
  EXPECT_EQ(withCookies.HeaderValue("X-Evil"), "");
  EXPECT_EQ(withCookies.HeaderValue("Cookie"), "a=1X-Evil: 2");
  EXPECT_EQ(withCookies.HeaderValue("X-Note"), "xy");

  // A host that can make no valid request: nothing is sent and nothing changes.
  Text headers("Keep: me");
  Text raw("unchanged");
  EXPECT_EQ(WebAccess(Text("http://bad\rhost/"), 0, Text(), nullptr, nullptr, &headers, nullptr, false, nullptr,
                      std::nullopt, &raw)
                .View(),
            "");
  EXPECT_EQ(headers.View(), "Keep: me");
  EXPECT_EQ(raw.View(), "unchanged");
  EXPECT_EQ(WebAccess(Text("http://127.0.0.1:99999/")).View(), "");
}

TEST(WebAccessTest, SequentialCallsReuseOneConnectionAndRunTheWaitHook) {
  HttpServer server([](const test::RecordedRequest& r) {
    Reply reply{Response("page")};
    if (r.Target() == "/slow") reply.delay = std::chrono::milliseconds(400);
    return reply;
  });
  for (int i = 0; i < 5; ++i) EXPECT_EQ(WebAccess(Text(server.Url() + "/p" + std::to_string(i))).View(), "page");
  EXPECT_EQ(server.Connections(), 1);

  int hookCalls = 0;
  platform::SetWaitHook([&] { ++hookCalls; });
  EXPECT_EQ(WebAccess(Text(server.Url() + "/slow")).View(), "page");
  platform::SetWaitHook(nullptr);
  EXPECT_GE(hookCalls, 4);
  EXPECT_LE(hookCalls, 12);
}

}  // namespace
}  // namespace qv
