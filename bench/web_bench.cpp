// 50 sequential GETs of a 100 KB page from a local server: WebAccess beside
// libcurl driven directly (one easy handle, reused) and the curl command given
// the 50 URLs at once (it reuses its connection too).
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <cstdlib>
#include <string>

#include "support/http_server.h"
#include "web/web_access.h"

namespace {

constexpr int kRequests = 50;

qv::test::HttpServer& Server() {
  static qv::test::HttpServer server([](const qv::test::RecordedRequest&) {
    static const std::string page = qv::test::Response(std::string(100 * 1024, 'p'), "Content-Type: text/html\r\n");
    return qv::test::Reply{page};
  });
  return server;
}

std::string PageUrl(int i) { return Server().Url() + "/page" + std::to_string(i); }

void BM_WebAccess(benchmark::State& state) {
  for (auto _ : state) {
    for (int i = 0; i < kRequests; ++i) benchmark::DoNotOptimize(qv::WebAccess(qv::Text(PageUrl(i))));
  }
  state.SetItemsProcessed(state.iterations() * kRequests);
}

void BM_Libcurl(benchmark::State& state) {
  CURL* easy = curl_easy_init();
  std::string body;
  for (auto _ : state) {
    for (int i = 0; i < kRequests; ++i) {
      body.clear();
      const std::string url = PageUrl(i);
      curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
      curl_easy_setopt(
          easy, CURLOPT_WRITEFUNCTION, +[](char* d, std::size_t s, std::size_t n, void* u) {
            static_cast<std::string*>(u)->append(d, s * n);
            return s * n;
          });
      curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
      curl_easy_perform(easy);
      benchmark::DoNotOptimize(body.data());
    }
  }
  curl_easy_cleanup(easy);
  state.SetItemsProcessed(state.iterations() * kRequests);
}

void BM_CurlCommand(benchmark::State& state) {
  std::string command = "curl -s -o /dev/null";
  for (int i = 0; i < kRequests; ++i) command.append(" ").append(PageUrl(i)).append(" -o /dev/null");
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("curl command failed");
  }
  state.SetItemsProcessed(state.iterations() * kRequests);
}

}  // namespace

BENCHMARK(BM_Libcurl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WebAccess)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurlCommand)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
