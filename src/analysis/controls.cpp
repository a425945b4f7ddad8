#include "analysis/controls.h"

namespace qv {

std::string_view ControlName(Control control) {
  switch (control) {
    case Control::分组框1:
      return "分组框1";
    case Control::编辑框1:
      return "编辑框1";
    case Control::按钮4:
      return "按钮4";
    case Control::按钮1:
      return "按钮1";
    case Control::分组框4:
      return "分组框4";
    case Control::透明标签5:
      return "透明标签5";
    case Control::透明标签6:
      return "透明标签6";
    case Control::透明标签2:
      return "透明标签2";
    case Control::分组框2:
      return "分组框2";
    case Control::编辑框2:
      return "编辑框2";
    case Control::按钮2:
      return "按钮2";
    case Control::分组框3:
      return "分组框3";
    case Control::编辑框4:
      return "编辑框4";
    case Control::分组框5:
      return "分组框5";
    case Control::透明标签1:
      return "透明标签1";
    case Control::按钮3:
      return "按钮3";
    case Control::状态条1:
      return "状态条1";
  }
  return "";
}

}  // namespace qv
