// The window as the analysis flow sees it: controls named by their layout
// names and four operations that exchange GBK texts.
#pragma once

#include <string_view>

#include "text/text.h"

namespace qv {

// Every control of the main window, by its layout name.
enum class Control {
  分组框1,
  编辑框1,
  按钮4,
  按钮1,
  分组框4,
  透明标签5,
  透明标签6,
  透明标签2,
  分组框2,
  编辑框2,
  按钮2,
  分组框3,
  编辑框4,
  分组框5,
  透明标签1,
  按钮3,
  状态条1,
};

// The layout name ("编辑框1"), which is also the widget's object name.
[[nodiscard]] std::string_view ControlName(Control control);

class WindowControls {
 public:
  virtual ~WindowControls() = default;
  // A copy of the control's text at this moment; "" for an empty box.
  [[nodiscard]] virtual Text GetControlText(Control control) = 0;
  // Replaces the text of an edit box or a label (a label leaves nothing of its old text).
  virtual void SetControlText(Control control, const Text& text) = 0;
  // A disabled button is drawn greyed, ignores clicks and is skipped by Tab.
  virtual void SetControlEnabled(Control control, bool enabled) = 0;
  virtual void SetButtonCaption(Control control, const Text& caption) = 0;
};

}  // namespace qv
