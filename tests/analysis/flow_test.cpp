// The click flow over a fake window and a fake fetch.
#include "analysis/flow.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "analysis/work_text.h"
#include "support/fixture_shops.h"
#include "text/gbk.h"

namespace qv {
namespace {

using test::Family;
using test::Template;

// Records every control operation as a line of UTF-8 text.
class FakeWindow final : public WindowControls {
 public:
  FakeWindow() {
    texts_[Control::编辑框1] = Text("https://demo.taobao.com/");
    texts_[Control::按钮1] = FromUtf8("分析css");
  }
  Text GetControlText(Control control) override {
    log.push_back("get " + std::string(ControlName(control)));
    if (onRead) onRead(control);
    return texts_[control];
  }
  void SetControlText(Control control, const Text& text) override {
    log.push_back("set " + std::string(ControlName(control)) + " " + ToUtf8(text));
    texts_[control] = text;
  }
  void SetControlEnabled(Control control, bool enabled) override {
    log.push_back(std::string(enabled ? "enable " : "disable ") + std::string(ControlName(control)));
    enabled_[control] = enabled;
  }
  void SetButtonCaption(Control control, const Text& caption) override {
    log.push_back("caption " + std::string(ControlName(control)) + " " + ToUtf8(caption));
    texts_[control] = caption;
  }

  void Put(Control control, const std::string& utf8) { texts_[control] = FromUtf8(utf8); }
  std::string Shown(Control control) { return ToUtf8(texts_[control]); }
  bool Enabled(Control control) { return enabled_.count(control) == 0 || enabled_[control]; }
  // The writes only, in order.
  std::vector<std::string> Writes() const {
    std::vector<std::string> out;
    for (const auto& line : log) {
      if (line.rfind("get ", 0) != 0) out.push_back(line);
    }
    return out;
  }

  std::vector<std::string> log;
  std::function<void(Control)> onRead;

 private:
  std::map<Control, Text> texts_;
  std::map<Control, bool> enabled_;
};

// Serves UTF-8 fixture texts as GBK, as WebAccess would hand them over.
struct FakeFetch {
  std::map<std::string, std::string> pages;  // address -> UTF-8 body
  std::vector<std::string> asked;
  Fetch AsFetch() {
    return [this](const Text& address) {
      asked.push_back(ToUtf8(address));
      const auto it = pages.find(ToUtf8(address));
      return it == pages.end() ? Text() : FromUtf8(it->second);
    };
  }
};

const std::string kShop = "http://shop.tmall.example/";
const std::string kCss = "http://css.example/a.css";

std::string Page(Family family, Template kind) {
  std::string html = test::ShopPageHtml(family, kind, kCss);
  html.replace(html.find("__META__"), 8, "");
  return html;
}

TEST(AnalysisFlow, TmallDesignerWritesEveryPieceInOrder) {
  FakeWindow window;
  window.Put(Control::编辑框1, kShop);
  FakeFetch fetch;
  fetch.pages[kShop] = Page(Family::kTmall, Template::kDesigner);
  fetch.pages[kCss] = test::TmallCss();
  OnAnalyzeClicked(window, fetch.AsFetch());

  EXPECT_EQ(window.Writes(), (std::vector<std::string>{
                                 "disable 按钮1",
                                 "caption 按钮1 请稍候...",
                                 "set 透明标签5 店铺名称：测试旗舰店",
                                 "set 透明标签6 掌柜：店小二甲",
                                 "set 透明标签2 ★当前模板为设计师模板，模版设计：设计师乙",
                                 "set 编辑框2 " + kCss,
                                 "set 编辑框4 " + test::TmallCssCleaned(),
                                 "enable 按钮1",
                                 "caption 按钮1 分析css",
                             }));
  EXPECT_EQ(fetch.asked, (std::vector<std::string>{kShop, kShop, kShop, kShop, kCss}));
  EXPECT_EQ(ToUtf8(g_workText), test::TmallCssCleaned());
}

TEST(AnalysisFlow, SystemTemplatesTakeTheAddressFromTheThirdDownload) {
  for (const Family family : {Family::kTmall, Family::kTaobao}) {
    SCOPED_TRACE(family == Family::kTmall ? "tmall" : "taobao");
    const std::string shop = family == Family::kTmall ? "http://x.tmall.example/" : "http://x.taobao.example/";
    // The Tmall system branch reads the address behind "http://img".
    const std::string css = family == Family::kTmall ? "http://img.example/t.css" : kCss;
    FakeWindow window;
    window.Put(Control::编辑框1, shop);
    FakeFetch fetch;
    std::string page = test::ShopPageHtml(family, Template::kSystem, css);
    page.replace(page.find("__META__"), 8, "");
    fetch.pages[shop] = page;
    fetch.pages[css] = test::TaobaoPlainCss();
    OnAnalyzeClicked(window, fetch.AsFetch());
    EXPECT_EQ(window.Shown(Control::透明标签2), "☆当前模板为系统默认模板");
    EXPECT_EQ(window.Shown(Control::编辑框2), css);
    EXPECT_EQ(fetch.asked, (std::vector<std::string>{shop, shop, shop, css}));
  }
}

TEST(AnalysisFlow, TmallSystemBranchKeepsTheImgPrefixWhenMarkersAreMissing) {
  FakeWindow window;
  window.Put(Control::编辑框1, kShop);
  FakeFetch fetch;
  fetch.pages[kShop] = "<!-- system module --> no head region here";
  OnAnalyzeClicked(window, fetch.AsFetch());
  EXPECT_EQ(window.Shown(Control::编辑框2), "http://img");
  EXPECT_EQ(fetch.asked.back(), "http://img");
  EXPECT_EQ(window.Shown(Control::透明标签5), "店铺名称：");
  EXPECT_TRUE(window.Enabled(Control::按钮1));
}

TEST(AnalysisFlow, NeitherTemplatePutsTheWholePageIntoTheAddressBox) {
  FakeWindow window;
  window.Put(Control::编辑框1, kShop);
  window.Put(Control::透明标签2, "earlier");
  FakeFetch fetch;
  const std::string page = Page(Family::kTmall, Template::kNeither);
  fetch.pages[kShop] = page;
  fetch.pages[page] = "#page #content  .a{}";
  OnAnalyzeClicked(window, fetch.AsFetch());
  EXPECT_EQ(window.Shown(Control::透明标签2), "earlier");
  EXPECT_EQ(window.Shown(Control::编辑框2), page);
  EXPECT_EQ(fetch.asked, (std::vector<std::string>{kShop, kShop, kShop, page}));
  EXPECT_EQ(window.Shown(Control::编辑框4), ".a{}");
}

TEST(AnalysisFlow, BothWordsRunTmallThenTaobao) {
  const std::string both = "http://tmall.taobao.example/";
  FakeWindow window;
  window.Put(Control::编辑框1, both);
  FakeFetch fetch;
  // One page that satisfies the Tmall designer recipe and no Taobao template test.
  std::string page = Page(Family::kTmall, Template::kDesigner) + Page(Family::kTaobao, Template::kNeither);
  fetch.pages[both] = page;
  fetch.pages[kCss] = test::TmallCss();
  OnAnalyzeClicked(window, fetch.AsFetch());
  // Tmall: 4 page downloads and the style sheet. Taobao: "designer's" is on the page too.
  ASSERT_EQ(fetch.asked.size(), 10U);
  EXPECT_EQ(window.Shown(Control::透明标签5), std::string("店铺名称：") + test::kTaobaoShopName);
  EXPECT_EQ(window.Shown(Control::透明标签6), std::string("掌柜：") + test::kTaobaoShopkeeper);
}

TEST(AnalysisFlow, TaobaoTemplateLabelKeepsTheTmallResultWhenNoTaobaoTestSucceeds) {
  const std::string both = "http://tmall.taobao.example/";
  FakeWindow window;
  window.Put(Control::编辑框1, both);
  FakeFetch fetch;
  int downloads = 0;
  const std::string tmall = Page(Family::kTmall, Template::kSystem);
  const std::string taobao = Page(Family::kTaobao, Template::kNeither);
  Fetch serve = [&](const Text& address) -> Text {
    ++downloads;
    return FromUtf8(downloads <= 3 ? tmall : (ToUtf8(address) == both ? taobao : ""));
  };
  OnAnalyzeClicked(window, serve);
  EXPECT_EQ(downloads, 8);  // Tmall: 3 pages and a style sheet; Taobao: 3 pages and a "style sheet"
  EXPECT_EQ(window.Shown(Control::透明标签2), "☆当前模板为系统默认模板");
  EXPECT_EQ(window.Shown(Control::编辑框2), taobao);
}

TEST(AnalysisFlow, WordTestsAreExactSoOtherAddressesFetchNothing) {
  for (const std::string address : {"http://shop.TMALL.com/", "http://Taobao.com/", "http://shop.example/", ""}) {
    SCOPED_TRACE(address);
    FakeWindow window;
    window.Put(Control::编辑框1, address);
    FakeFetch fetch;
    OnAnalyzeClicked(window, fetch.AsFetch());
    EXPECT_TRUE(fetch.asked.empty());
    EXPECT_EQ(window.Writes(), (std::vector<std::string>{"disable 按钮1", "caption 按钮1 请稍候...", "enable 按钮1",
                                                         "caption 按钮1 分析css"}));
  }
}

TEST(AnalysisFlow, FailingDownloadsShowPrefixesAloneAndStillEnableTheButton) {
  for (const std::string address : {"http://shop.tmall.example/", "http://shop.taobao.example/"}) {
    SCOPED_TRACE(address);
    FakeWindow window;
    window.Put(Control::编辑框1, address);
    window.Put(Control::透明标签2, "earlier");
    FakeFetch fetch;  // knows no page
    OnAnalyzeClicked(window, fetch.AsFetch());
    EXPECT_EQ(window.Shown(Control::透明标签5), "店铺名称：");
    EXPECT_EQ(window.Shown(Control::透明标签6), "掌柜：");
    EXPECT_EQ(window.Shown(Control::透明标签2), "earlier");
    EXPECT_EQ(window.Shown(Control::编辑框2), "");
    EXPECT_EQ(window.Shown(Control::编辑框4), "");
    EXPECT_EQ(fetch.asked.size(), 4U);  // three page downloads and the empty style-sheet address
    EXPECT_TRUE(window.Enabled(Control::按钮1));
    EXPECT_EQ(window.Shown(Control::按钮1), "分析css");
  }
}

TEST(AnalysisFlow, EveryDownloadReadsTheBoxAfresh) {
  FakeWindow window;
  window.Put(Control::编辑框1, "http://a.taobao.example/1");
  int reads = 0;
  window.onRead = [&](Control control) {
    if (control == Control::编辑框1) window.Put(Control::编辑框1, "http://a.taobao.example/" + std::to_string(++reads));
  };
  FakeFetch fetch;
  OnAnalyzeClicked(window, fetch.AsFetch());
  // Reads 1 and 2 are the two word tests; each download reads again.
  EXPECT_EQ(fetch.asked, (std::vector<std::string>{"http://a.taobao.example/3", "http://a.taobao.example/4",
                                                   "http://a.taobao.example/5", ""}));
}

TEST(AnalysisFlow, ExtractionsIgnoreCaseButTestsDoNot) {
  FakeWindow window;
  window.Put(Control::编辑框1, kShop);
  FakeFetch fetch;
  fetch.pages[kShop] =
      "<a class=\"SLOGO-SHOPNAME\">Name</A><span class=\"WANGWANG\"></span>"
      "<span>DESIGNER'S</span><!-- System Module -->";
  OnAnalyzeClicked(window, fetch.AsFetch());
  EXPECT_EQ(window.Shown(Control::透明标签5), "店铺名称：Name");
  EXPECT_EQ(window.Shown(Control::透明标签2), "");  // neither test matched
}

struct CleanCase {
  const char* name;
  bool tmall;
  std::string css;
  std::string cleaned;
};

TEST(AnalysisFlow, StyleSheetCleanUps) {
  const std::vector<CleanCase> cases = {
      {"tmall: two spaces removed, one space kept", true, "#page #content  .a{}#page #content .b{}",
       ".a{}#page #content .b{}"},
      {"tmall: case matters", true, "#PAGE #CONTENT  .a{}", "#PAGE #CONTENT  .a{}"},
      {"tmall: three spaces leave one", true, "#page #content   .a{}", " .a{}"},
      {"taobao with nav", false, "#page #content .tshop-pbsm-shop-nav-ch a{}#page #content .b{}",
       " a{}#page #content .b{}"},
      {"taobao without nav", false, "#page #content .b{}#page #content  .c{}", " .b{}  .c{}"},
      {"taobao: nav test is exact", false, "#page #content .TSHOP-PBSM-SHOP-NAV-CH{}", " .TSHOP-PBSM-SHOP-NAV-CH{}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string shop = c.tmall ? "http://x.tmall.example/" : "http://x.taobao.example/";
    FakeWindow window;
    window.Put(Control::编辑框1, shop);
    FakeFetch fetch;
    fetch.pages[shop] = Page(c.tmall ? Family::kTmall : Family::kTaobao, Template::kDesigner);
    fetch.pages[kCss] = c.css;
    OnAnalyzeClicked(window, fetch.AsFetch());
    EXPECT_EQ(window.Shown(Control::编辑框4), c.cleaned);
  }
}

}  // namespace
}  // namespace qv
