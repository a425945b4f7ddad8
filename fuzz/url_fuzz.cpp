// Address and header-line helpers on any text.
#include "fuzz_support.h"
#include "web/url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using qv::fuzz::Check;
  FuzzedDataProvider data(bytes, size);
  const bool lastTwo = data.ConsumeBool();
  const bool keepPort = data.ConsumeBool();
  const qv::Text address(qv::fuzz::NoZeros(data.ConsumeRemainingBytesAsString()));
  const qv::Text host = qv::UrlHost(address, lastTwo, keepPort);
  Check(qv::ToLowerCase(host) == host, "the host is lower case");
  (void)qv::UrlPort(address);
  const qv::Text path = qv::UrlPath(address);
  Check(path.View() == "/" || address.View().ends_with(path.View()), "the path is the address's tail");
  Check(!path.IsEmpty() && path.View().front() == '/', "the path starts with a slash");
  const qv::Text value = qv::HeaderLineValue(address);
  Check(address.View().find(value.View()) != std::string_view::npos, "the value is a piece of the line");
  return 0;
}
