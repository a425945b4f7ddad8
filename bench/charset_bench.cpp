// UTF-8 to GBK conversion of a 16 MB CJK-heavy page: ConvertCharset beside raw
// iconv on the same data (the floor), and the built-in table codec.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <random>
#include <string>

#include "text/gbk.h"
#include "web/charset.h"
#include "web/platform/converter.h"

namespace {

const std::string& CjkUtf8Page() {
  static const std::string page = [] {
    std::mt19937 rng(11);
    std::string s;
    s.reserve((16u << 20) + 8);
    while (s.size() < (16u << 20)) {
      if (rng() % 6 == 0) {
        s += "<p class=\"x\">";
      } else {
        const unsigned cp = 0x4E00 + rng() % 0x5000;  // common CJK ideographs
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
      }
    }
    return s;
  }();
  return page;
}

void BM_RawIconv(benchmark::State& state) {
  const std::string& page = CjkUtf8Page();
  std::string out(page.size(), '\0');
  iconv_t cd = iconv_open("CP936", "UTF-8");
  for (auto _ : state) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(page.data());
    std::size_t srcLeft = page.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    benchmark::DoNotOptimize(iconv(cd, &src, &srcLeft, &dst, &dstLeft));
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_ConvertCharset(benchmark::State& state) {
  const qv::ByteBuffer page(CjkUtf8Page());
  for (auto _ : state) benchmark::DoNotOptimize(qv::ConvertCharset(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * page.Length());
}

// The iconv engine behind ConvertCharset, for charsets other than UTF-8 to GBK.
void BM_IconvEngine(benchmark::State& state) {
  const std::string& page = CjkUtf8Page();
  for (auto _ : state) benchmark::DoNotOptimize(qv::platform::Reencode(page, "UTF-8", "GBK"));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_TableCodec(benchmark::State& state) {
  const std::string& page = CjkUtf8Page();
  for (auto _ : state) benchmark::DoNotOptimize(qv::Utf8ToGbk(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

}  // namespace

BENCHMARK(BM_RawIconv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertCharset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvEngine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableCodec)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
