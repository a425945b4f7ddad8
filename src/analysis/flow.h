// The click on "分析css": the shop-family recipes and the flow that runs them.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "analysis/controls.h"
#include "text/text.h"

namespace qv {

// One download: the body of `address` as a GBK text, "" when it failed.
using Fetch = std::function<Text(const Text& address)>;

// The real download: WebAccess with the address alone.
[[nodiscard]] Fetch WebFetch();

// One step of a recipe. Texts are written in UTF-8 and held as GBK.
struct RecipeStep {
  enum class Op {
    kDownload,       // g_workText = the body of the address in `control`
    kExtract,        // g_workText = TextBetween(g_workText, first, second)
    kKeepAfterLast,  // g_workText = TextAfterLast(g_workText, first)
    kShow,           // write first + g_workText into `control`
    kWrite,          // write the fixed text `first` into `control`
    kPrepend,        // g_workText = first + g_workText
    kTest,           // when g_workText lacks `first`, skip the next `skip` steps
    kRemove,         // remove every `first` from g_workText
    kRemoveChoosing  // remove every `second` when g_workText holds `first`, else every `third`
  };
  Op op;
  Control control = Control::编辑框1;
  Text first;
  Text second;
  Text third;
  int skip = 0;
};

using Recipe = std::vector<RecipeStep>;

[[nodiscard]] const Recipe& TmallRecipe();
[[nodiscard]] const Recipe& TaobaoRecipe();

// Runs one recipe over the window and the fetch, step by step on g_workText.
void RunRecipe(const Recipe& recipe, WindowControls& window, const Fetch& fetch);

// The click handler of 按钮1: disables it with "请稍候...", runs the Tmall recipe
// when 编辑框1 holds "tmall" and then the Taobao recipe when it holds "taobao"
// (both read afresh, exact case), and always ends with 按钮1 enabled and
// captioned "分析css" again.
void OnAnalyzeClicked(WindowControls& window, const Fetch& fetch = WebFetch());

}  // namespace qv
