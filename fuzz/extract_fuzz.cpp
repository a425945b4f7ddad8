// TextBetween and TextAfterLast against their definition by FindText.
#include "fuzz_support.h"
#include "text/extract.h"
#include "text/gbk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using qv::fuzz::Check;
  FuzzedDataProvider data(bytes, size);
  const bool matchCase = data.ConsumeBool();
  const auto start = data.ConsumeIntegralInRange<std::int32_t>(-2, 200);
  const qv::Text left = qv::fuzz::TextFrom(data, 16);
  const qv::Text right = qv::fuzz::TextFrom(data, 16);
  const qv::Text source(qv::fuzz::NoZeros(data.ConsumeRemainingBytesAsString()));

  const qv::Text between = qv::TextBetween(source, left, right, start, matchCase);
  Check(source.View().find(between.View()) != std::string_view::npos, "TextBetween gives a piece of the source");
  const qv::Text quote = qv::FromUtf8("#引号");
  const qv::Text l = qv::ReplaceText(left, quote, "\"", true);
  const qv::Text r = qv::ReplaceText(right, quote, "\"", true);
  const std::int32_t p = qv::FindText(source, l, start, !matchCase);
  if (p == -1) {
    Check(between.IsEmpty(), "no left marker, no piece");
  } else {
    const std::int32_t q = qv::FindText(source, r, p + l.Length(), !matchCase);
    const qv::Text expected = q == -1 ? qv::Text() : qv::TextMid(source, p + l.Length(), q - p - l.Length());
    Check(between == expected, "TextBetween follows its markers");
  }

  const qv::Text after = qv::TextAfterLast(source, left, !matchCase);
  const std::int32_t last = qv::FindTextReverse(source, left, !matchCase);
  Check(last == -1 ? after.IsEmpty() : source.View().ends_with(after.View()), "TextAfterLast gives the tail");
  return 0;
}
