// The command-line contract, end to end against the fixture shops.
#include <gtest/gtest.h>

#include <string>

#include "support/fixture_shops.h"
#include "support/process.h"

namespace qv {
namespace {

using test::Encoding;
using test::Family;
using test::Template;

test::ProcessResult Cli(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {QV_CLI_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  return test::RunProcess(argv);
}

TEST(CliContract, PlainOutputIsTheStyleSheetAndFourLines) {
  test::FixtureShops shops;
  for (const Family family : {Family::kTmall, Family::kTaobao}) {
    for (const Template kind : {Template::kDesigner, Template::kSystem}) {
      const std::string address = shops.ShopAddress(family, kind, Encoding::kUtf8Meta);
      SCOPED_TRACE(address);
      const auto run = Cli({address});
      EXPECT_EQ(run.exitCode, 0);
      EXPECT_EQ(run.out, test::FixtureShops::CleanedCss(family, kind));
      const bool tmall = family == Family::kTmall;
      const std::string templateText = kind == Template::kDesigner
                                           ? std::string("★当前模板为设计师模板，模版设计：") + test::kDesignerName
                                           : "☆当前模板为系统默认模板";
      EXPECT_EQ(run.err, std::string("店铺名称：") + (tmall ? test::kTmallShopName : test::kTaobaoShopName) + "\n" +
                             "掌柜：" + (tmall ? test::kTmallShopkeeper : test::kTaobaoShopkeeper) + "\n" +
                             templateText + "\n" + shops.CssAddress(family, kind) + "\n");
    }
  }
}

TEST(CliContract, JsonOutputHoldsEveryResult) {
  test::FixtureShops shops;
  const auto run = Cli({"--json", shops.ShopAddress(Family::kTaobao, Template::kDesigner, Encoding::kGbk)});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, std::string("{\"shopName\":\"店铺名称：") + test::kTaobaoShopName + "\",\"shopkeeper\":\"掌柜：" +
                         test::kTaobaoShopkeeper + "\",\"template\":\"★当前模板为设计师模板，模版设计：" +
                         test::kDesignerName + "\",\"cssAddress\":\"" +
                         shops.CssAddress(Family::kTaobao, Template::kDesigner) +
                         "\",\"css\":\" li{float:left}\\r\\n#page #content .banner{}\\r\\n\","
                         "\"buttonEnabled\":true,\"buttonCaption\":\"分析css\"}\n");
}

TEST(CliContract, FailingAndUnrecognisedAddressesExitOne) {
  const auto refused = Cli({"--json", "http://shop.tmall.localhost:1/"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.out,
            "{\"shopName\":\"店铺名称：\",\"shopkeeper\":\"掌柜：\",\"template\":\"\",\"cssAddress\":\"\",\"css\":\"\","
            "\"buttonEnabled\":true,\"buttonCaption\":\"分析css\"}\n");
  const auto neither = Cli({"http://shop.example/"});
  EXPECT_EQ(neither.exitCode, 1);
  EXPECT_EQ(neither.out, "");
  EXPECT_EQ(neither.err, "\n\n\n\n");
}

TEST(CliContract, UsageErrorsHelpAndVersion) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"--json"}, {"--bogus", "http://x.taobao.com/"}, {"a", "b"}}) {
    const auto run = Cli(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("usage: quorvane-cli [--json] ADDRESS"), std::string::npos);
  }
  const auto help = Cli({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("usage: quorvane-cli [--json] ADDRESS\n", 0), 0U);
  const auto version = Cli({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "quorvane 1.1\n");
}

}  // namespace
}  // namespace qv
