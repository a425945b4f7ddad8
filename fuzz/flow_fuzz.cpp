// The whole analysis flow over a fetch that returns fuzzed pages.
#include <map>
#include <vector>

#include "analysis/flow.h"
#include "fuzz_support.h"
#include "text/gbk.h"

namespace {

class Controls final : public qv::WindowControls {
 public:
  qv::Text GetControlText(qv::Control c) override { return texts[c]; }
  void SetControlText(qv::Control c, const qv::Text& t) override { texts[c] = t; }
  void SetControlEnabled(qv::Control, bool e) override { enabled = e; }
  void SetButtonCaption(qv::Control c, const qv::Text& t) override { texts[c] = t; }
  std::map<qv::Control, qv::Text> texts;
  bool enabled = true;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using qv::fuzz::Check;
  FuzzedDataProvider data(bytes, size);
  static const char* kAddresses[] = {"http://x.tmall.example/", "http://x.taobao.example/",
                                     "http://tmall.taobao.example/", "http://other.example/"};
  Controls controls;
  controls.texts[qv::Control::编辑框1] = qv::Text(kAddresses[data.ConsumeIntegralInRange<int>(0, 3)]);
  std::vector<qv::Text> pages;
  for (int i = 0; i < 10; ++i) pages.push_back(qv::fuzz::TextFrom(data, 4096));
  std::size_t fetches = 0;
  qv::OnAnalyzeClicked(controls, [&](const qv::Text&) {
    Check(fetches < pages.size(), "a click makes at most ten requests");
    return pages[fetches++];
  });
  Check(controls.enabled, "the button is usable again");
  Check(qv::ToUtf8(controls.texts[qv::Control::按钮1]) == "分析css", "the caption is back");
  return 0;
}
