#include "analysis/flow.h"

#include "analysis/work_text.h"
#include "text/extract.h"
#include "text/gbk.h"
#include "web/web_access.h"

namespace qv {

Text g_workText;

namespace {

using Op = RecipeStep::Op;

RecipeStep Download(Control from) { return {Op::kDownload, from, {}, {}, {}, 0}; }
RecipeStep Extract(std::string_view left, std::string_view right) {
  return {Op::kExtract, Control::编辑框1, FromUtf8(left), FromUtf8(right), {}, 0};
}
RecipeStep KeepAfterLast(std::string_view marker) {
  return {Op::kKeepAfterLast, Control::编辑框1, FromUtf8(marker), {}, {}, 0};
}
RecipeStep Show(Control control, std::string_view prefix) { return {Op::kShow, control, FromUtf8(prefix), {}, {}, 0}; }
RecipeStep Write(Control control, std::string_view text) { return {Op::kWrite, control, FromUtf8(text), {}, {}, 0}; }
RecipeStep Prepend(std::string_view text) { return {Op::kPrepend, Control::编辑框1, FromUtf8(text), {}, {}, 0}; }
RecipeStep TestOrSkip(std::string_view word, int skip) {
  return {Op::kTest, Control::编辑框1, FromUtf8(word), {}, {}, skip};
}
RecipeStep Remove(std::string_view sought) { return {Op::kRemove, Control::编辑框1, FromUtf8(sought), {}, {}, 0}; }
RecipeStep RemoveChoosing(std::string_view test, std::string_view whenFound, std::string_view whenMissing) {
  return {Op::kRemoveChoosing, Control::编辑框1, FromUtf8(test), FromUtf8(whenFound), FromUtf8(whenMissing), 0};
}

// Markers that hold a double quote are written with "#引号", which TextBetween reads as one.
constexpr std::string_view kHrefQuote = "href=#引号";
constexpr std::string_view kQuote = "#引号";
constexpr std::string_view kShopNamePrefix = "店铺名称：";
constexpr std::string_view kShopkeeperPrefix = "掌柜：";
constexpr std::string_view kDesignerPrefix = "★当前模板为设计师模板，模版设计：";
constexpr std::string_view kSystemTemplate = "☆当前模板为系统默认模板";

}  // namespace

Fetch WebFetch() {
  return [](const Text& address) { return WebAccess(address); };
}

const Recipe& TmallRecipe() {
  static const Recipe recipe = {
      // The shop name.
      Download(Control::编辑框1),
      Extract("slogo-shopname", "WangWang"),
      Extract(">", "</a>"),
      Show(Control::透明标签5, kShopNamePrefix),
      // The shopkeeper.
      Download(Control::编辑框1),
      Extract("shopkeeper", "WangWang"),
      Extract(kHrefQuote, "</a>"),
      KeepAfterLast(">"),
      Show(Control::透明标签6, kShopkeeperPrefix),
      // A designer template: its designer, and the style sheet from a fresh page.
      Download(Control::编辑框1),
      TestOrSkip("designer's", 6),
      Extract("店铺设计：", "</span>"),
      Extract(">", "</a>"),
      Show(Control::透明标签2, kDesignerPrefix),
      Download(Control::编辑框1),
      Extract("designer's", "独立模块css"),
      Extract(kHrefQuote, kQuote),
      // The system template: the style sheet behind "http://img", prefix kept even
      // when the extraction finds nothing.
      TestOrSkip("system module", 4),
      Write(Control::透明标签2, kSystemTemplate),
      Extract("head fix rgn", "我的淘宝"),
      Extract("http://img", kQuote),
      Prepend("http://img"),
      // The style sheet, cleaned of its selector prefix.
      Show(Control::编辑框2, ""),
      Download(Control::编辑框2),
      Remove("#page #content  "),
      Show(Control::编辑框4, ""),
  };
  return recipe;
}

const Recipe& TaobaoRecipe() {
  static const Recipe recipe = {
      // The shop name.
      Download(Control::编辑框1),
      Extract("shop-name", "进入店铺"),
      Extract(">", "<i"),
      KeepAfterLast(">"),
      Show(Control::透明标签5, kShopNamePrefix),
      // The shopkeeper.
      Download(Control::编辑框1),
      Extract("seller", "wangwang"),
      Extract("掌柜：", "</a>"),
      Show(Control::透明标签6, kShopkeeperPrefix),
      // A designer template: its designer, and the style sheet from a fresh page.
      Download(Control::编辑框1),
      TestOrSkip("designer's", 6),
      Extract("店铺设计：", "</span>"),
      Extract(">", "</a>"),
      Show(Control::透明标签2, kDesignerPrefix),
      Download(Control::编辑框1),
      Extract("designer's", "S GLOBAL JS"),
      Extract(kHrefQuote, kQuote),
      // The system template.
      TestOrSkip("system module", 3),
      Write(Control::透明标签2, kSystemTemplate),
      Extract("模块自定义（设计师）css输出", "GLOBAL"),
      Extract(kHrefQuote, kQuote),
      // The style sheet: a sheet with the shop navigation keeps its other prefixes.
      Show(Control::编辑框2, ""),
      Download(Control::编辑框2),
      RemoveChoosing(".tshop-pbsm-shop-nav-ch", "#page #content .tshop-pbsm-shop-nav-ch", "#page #content"),
      Show(Control::编辑框4, ""),
  };
  return recipe;
}

void RunRecipe(const Recipe& recipe, WindowControls& window, const Fetch& fetch) {
  for (std::size_t i = 0; i < recipe.size(); ++i) {
    const RecipeStep& step = recipe[i];
    switch (step.op) {
      case Op::kDownload: {
        const Text address = window.GetControlText(step.control);
        g_workText = fetch(address);
        break;
      }
      case Op::kExtract:
        g_workText = TextBetween(g_workText, step.first, step.second);
        break;
      case Op::kKeepAfterLast:
        g_workText = TextAfterLast(g_workText, step.first);
        break;
      case Op::kShow:
        if (step.first.IsEmpty()) {
          window.SetControlText(step.control, g_workText);  // no prefix: no copy of a large text
        } else {
          window.SetControlText(step.control, ConcatText(step.first, g_workText));
        }
        break;
      case Op::kWrite:
        window.SetControlText(step.control, step.first);
        break;
      case Op::kPrepend:
        g_workText = ConcatText(step.first, g_workText);
        break;
      case Op::kTest:
        if (FindText(g_workText, step.first) == -1) i += static_cast<std::size_t>(step.skip);
        break;
      case Op::kRemove:
        g_workText = ReplaceText(g_workText, step.first, Text(), true);
        break;
      case Op::kRemoveChoosing: {
        const Text& sought = FindText(g_workText, step.first) != -1 ? step.second : step.third;
        g_workText = ReplaceText(g_workText, sought, Text(), true);
        break;
      }
    }
  }
}

void OnAnalyzeClicked(WindowControls& window, const Fetch& fetch) {
  static const Text kWaitCaption = FromUtf8("请稍候...");
  static const Text kCaption = FromUtf8("分析css");
  window.SetControlEnabled(Control::按钮1, false);
  window.SetButtonCaption(Control::按钮1, kWaitCaption);
  if (FindText(window.GetControlText(Control::编辑框1), "tmall") != -1) RunRecipe(TmallRecipe(), window, fetch);
  if (FindText(window.GetControlText(Control::编辑框1), "taobao") != -1) RunRecipe(TaobaoRecipe(), window, fetch);
  // The button always works again, whatever the boxes hold: a mistyped address
  // must not leave the window claiming to be busy.
  window.SetControlEnabled(Control::按钮1, true);
  window.SetButtonCaption(Control::按钮1, kCaption);
}

}  // namespace qv
