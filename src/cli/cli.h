// The headless front end: one click of "分析css" without a window.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "analysis/flow.h"

namespace qv::cli {

// The controls of a window that has just started, without the window.
class HeadlessControls final : public WindowControls {
 public:
  HeadlessControls();
  [[nodiscard]] Text GetControlText(Control control) override;
  void SetControlText(Control control, const Text& text) override;
  void SetControlEnabled(Control control, bool enabled) override;
  void SetButtonCaption(Control control, const Text& caption) override;
  [[nodiscard]] bool ButtonEnabled() const { return buttonEnabled_; }

 private:
  Text texts_[static_cast<int>(Control::状态条1) + 1];
  bool buttonEnabled_ = true;
};

// Runs the command line `args` (without the program name); writes to `out`
// and `err` and returns the exit status. `fetch` performs the downloads.
int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, const Fetch& fetch);

}  // namespace qv::cli
