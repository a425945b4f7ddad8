// MergeCookies: no deleted items, no duplicates, no spaces.
#include <set>

#include "fuzz_support.h"
#include "web/cookies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using qv::fuzz::Check;
  FuzzedDataProvider data(bytes, size);
  qv::Text oldCookies = qv::fuzz::TextFrom(data, 512);
  qv::Text newCookies(qv::fuzz::NoZeros(data.ConsumeRemainingBytesAsString()));
  const qv::Text merged = qv::MergeCookies(oldCookies, newCookies);
  Check(merged == oldCookies, "the result is the merged string");
  Check(qv::FindText(newCookies, " ") == -1, "the new cookies lose their spaces");
  std::set<std::string> seen;
  for (const qv::Text& item : qv::SplitText(merged, "; ").Items()) {
    Check(!item.View().ends_with("=deleted"), "no deleted item survives");
    Check(seen.insert(item.Bytes()).second, "no item appears twice");
  }
  return 0;
}
