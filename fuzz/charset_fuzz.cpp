// ConvertCharset: the iconv engine and the built-in table codec agree, and
// what comes out decodes cleanly.
#include "fuzz_support.h"
#include "text/gbk.h"
#include "web/charset.h"
#include "web/platform/converter.h"

namespace {

bool IsValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    std::size_t invalid = 0;
    const std::size_t len = qv::Utf8CharLength(s.substr(i), invalid);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using qv::fuzz::Check;
  const std::string input(reinterpret_cast<const char*>(bytes), size);
  const qv::ByteBuffer data(input);

  const qv::ByteBuffer gbk = qv::ConvertCharset(data);
  Check(gbk.Bytes() == qv::Utf8ToGbk(input), "UTF-8 to GBK goes through the table codec");
  Check(!input.empty() || gbk.IsEmpty(), "nothing in, nothing out");
  if (!input.empty()) {
    Check(qv::platform::Reencode(input, "UTF-8", "GBK") == qv::Utf8ToGbk(input),
          "UTF-8 to GBK: engine and table agree");
  }

  qv::Text from("GBK");
  qv::Text to("UTF-8");
  const qv::ByteBuffer utf8 = qv::ConvertCharset(data, &from, &to);
  Check(IsValidUtf8(utf8.View()), "GBK to UTF-8 gives valid UTF-8");
  Check(utf8.Bytes() == qv::GbkToUtf8(input), "GBK to UTF-8: engine and table agree");
  Check(qv::Utf8ToGbk(qv::GbkToUtf8(gbk.View())) == gbk.Bytes(), "GBK output survives a round trip");
  return 0;
}
