// Fixture shops: Tmall and Taobao home pages with designer, system or neither
// template, in GBK or UTF-8, and their style sheets, served on loopback under
// names such as shop.tmall.localhost (libcurl resolves *.localhost itself).
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "support/http_server.h"

namespace qv::test {

enum class Family { kTmall, kTaobao };
enum class Template { kDesigner, kSystem, kNeither };
// How a page declares its charset: GBK; UTF-8 in a meta tag near the top;
// UTF-8 only in the Content-Type response header.
enum class Encoding { kGbk, kUtf8Meta, kUtf8Header };

// What the analysis should find on the fixture pages (UTF-8).
inline constexpr char kTmallShopName[] = "测试旗舰店";
inline constexpr char kTmallShopkeeper[] = "店小二甲";
inline constexpr char kTaobaoShopName[] = "测试小店";
inline constexpr char kTaobaoShopkeeper[] = "卖家丙";
inline constexpr char kDesignerName[] = "设计师乙";

// The UTF-8 source of a home page whose style sheet lives at `cssAddress`,
// padded with filler markup to at least `minimumSize` bytes.
[[nodiscard]] std::string ShopPageHtml(Family family, Template kind, const std::string& cssAddress,
                                       std::size_t minimumSize = 0);

// Style sheets: as served, and as the analysis cleans them.
[[nodiscard]] std::string TmallCss();
[[nodiscard]] std::string TmallCssCleaned();
[[nodiscard]] std::string TaobaoNavCss();  // holds ".tshop-pbsm-shop-nav-ch"
[[nodiscard]] std::string TaobaoNavCssCleaned();
[[nodiscard]] std::string TaobaoPlainCss();
[[nodiscard]] std::string TaobaoPlainCssCleaned();

class FixtureShops {
 public:
  // Pages are padded to `pageSize` bytes; `delay` holds back every response.
  // With `cssSize`, style sheets are padded to that size with UTF-8 rules
  // (declared by "@charset", so they are converted as they are downloaded).
  explicit FixtureShops(std::size_t pageSize = 0, std::chrono::milliseconds delay = {}, std::size_t cssSize = 0);

  // "http://shop.tmall.localhost:PORT/tmall/designer/gbk/" and the like.
  [[nodiscard]] std::string ShopAddress(Family family, Template kind, Encoding encoding) const;
  // The style-sheet address the page names (what 编辑框2 should show).
  [[nodiscard]] std::string CssAddress(Family family, Template kind) const;
  // What 编辑框4 should show for the shop.
  [[nodiscard]] static std::string CleanedCss(Family family, Template kind);

  [[nodiscard]] HttpServer& server() { return server_; }

 private:
  Reply Serve(const RecordedRequest& request) const;

  [[nodiscard]] std::string Css(const std::string& base) const;
  [[nodiscard]] std::string Build(const std::string& target) const;

  std::size_t pageSize_;
  std::chrono::milliseconds delay_;
  std::size_t cssSize_;
  mutable std::mutex cacheMutex_;
  mutable std::map<std::string, std::string> cache_;  // response bytes by target, built once
  HttpServer server_;
};

}  // namespace qv::test
