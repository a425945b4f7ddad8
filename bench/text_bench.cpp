// Throughput of the text toolkit on 16 MB pages, each beside memmem on the same data.
#include <benchmark/benchmark.h>
#include <string.h>

#include <random>
#include <string>

#include "text/extract.h"
#include "text/gbk.h"
#include "text/text.h"

namespace {

constexpr std::size_t kSize = 16u << 20;

// ASCII-heavy shop page markup.
const qv::Text& AsciiPage() {
  static const qv::Text page = [] {
    const std::string block =
        "<div class=\"J_TModule\" data-widgetid=\"12345\"><a href=\"//shop.example/item.htm?id=42\" "
        "class=\"item-name\">Summer dress</a><span class=\"c-price\">128.00</span></div>\n"
        "#page #content .tshop-pbsm-shop-banner { background: url(//img.example/a.png); }\n";
    std::string s;
    s.reserve(kSize + block.size());
    while (s.size() < kSize) s += block;
    return qv::Text(std::move(s));
  }();
  return page;
}

// CJK-heavy GBK text: random two-byte characters with some ASCII in between.
const qv::Text& CjkPage() {
  static const qv::Text page = [] {
    std::mt19937 rng(7);
    std::string s;
    s.reserve(kSize + 2);
    while (s.size() < kSize) {
      if (rng() % 8 == 0) {
        s += "<p>";
      } else {
        s += static_cast<char>(0xB0 + rng() % 0x40);
        s += static_cast<char>(0xA1 + rng() % 0x5E);
      }
    }
    return qv::Text(std::move(s));
  }();
  return page;
}

const qv::Text& Page(const benchmark::State& state) { return state.range(0) == 0 ? AsciiPage() : CjkPage(); }
const char* Kind(const benchmark::State& state) { return state.range(0) == 0 ? "ascii-html" : "cjk-gbk"; }

const qv::Text kMiss("never-present-marker");

void Finish(benchmark::State& state, const qv::Text& page) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * page.Length());
  state.SetLabel(Kind(state));
}

void BM_Memmem_Miss(benchmark::State& state) {
  const qv::Text& page = Page(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(memmem(page.View().data(), page.View().size(), kMiss.View().data(), kMiss.View().size()));
  }
  Finish(state, page);
}

void BM_FindText_Miss(benchmark::State& state) {
  const qv::Text& page = Page(state);
  for (auto _ : state) benchmark::DoNotOptimize(qv::FindText(page, kMiss));
  Finish(state, page);
}

void BM_FindText_IgnoreCase_Miss(benchmark::State& state) {
  const qv::Text& page = Page(state);
  const qv::Text sought("Never-Present-Marker");
  for (auto _ : state) benchmark::DoNotOptimize(qv::FindText(page, sought, 1, true));
  Finish(state, page);
}

void BM_ReplaceText(benchmark::State& state) {
  const qv::Text& page = Page(state);
  const qv::Text sought = state.range(0) == 0 ? qv::Text("#page #content") : qv::Text("<p>");
  for (auto _ : state) benchmark::DoNotOptimize(qv::ReplaceText(page, sought, qv::Text(), true));
  Finish(state, page);
}

void BM_SplitText(benchmark::State& state) {
  const qv::Text& page = Page(state);
  const qv::Text separator = state.range(0) == 0 ? qv::Text("\n") : qv::Text("<p>");
  for (auto _ : state) benchmark::DoNotOptimize(qv::SplitText(page, separator));
  Finish(state, page);
}

void BM_TextBetween_NearEnd(benchmark::State& state) {
  // Markers at the very end, so the whole page is searched (ignoring case, as the analysis does).
  const qv::Text page = qv::ConcatText(Page(state), "slogo-shopname<a>Shop</a>WangWang");
  for (auto _ : state) benchmark::DoNotOptimize(qv::TextBetween(page, "slogo-shopname", "WangWang"));
  Finish(state, page);
}

}  // namespace

BENCHMARK(BM_Memmem_Miss)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindText_Miss)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindText_IgnoreCase_Miss)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextBetween_NearEnd)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
