// The header scan of WebAccess: raw header block in, redirect and cookies out.
#include "fuzz_support.h"
#include "web/web_access.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using qv::fuzz::Check;
  const qv::Text raw(qv::fuzz::NoZeros(std::string(reinterpret_cast<const char*>(bytes), size)));
  qv::Text redirect("before");
  qv::Text cookies("stale");
  qv::ScanResponseHeaders(raw, redirect, cookies);
  Check(redirect.View() == "before" || raw.View().find(redirect.View()) != std::string_view::npos,
        "the redirect is a piece of the block");
  Check(cookies.Length() <= raw.Length(), "the cookies come from the block");
  Check(qv::FindText(raw, "Set-Cookie") != -1 || cookies.IsEmpty(), "no Set-Cookie, no cookies");
  return 0;
}
