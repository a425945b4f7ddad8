#include "support/fixture_shops.h"

#include "text/gbk.h"

namespace qv::test {

namespace {

const char* FamilyName(Family f) { return f == Family::kTmall ? "tmall" : "taobao"; }

const char* TemplateName(Template t) {
  switch (t) {
    case Template::kDesigner:
      return "designer";
    case Template::kSystem:
      return "system";
    case Template::kNeither:
      return "neither";
  }
  return "";
}

const char* EncodingName(Encoding e) {
  switch (e) {
    case Encoding::kGbk:
      return "gbk";
    case Encoding::kUtf8Meta:
      return "utf8-meta";
    case Encoding::kUtf8Header:
      return "utf8-header";
  }
  return "";
}

std::string Filler(std::size_t bytes) {
  const std::string item =
      "<li class=\"item\"><a href=\"//item.example/item.htm?id=1024\">夏季新款连衣裙 清仓特价</a>"
      "<span class=\"price\">128.00</span></li>\n";
  std::string out;
  while (out.size() < bytes) out += item;
  return out;
}

}  // namespace

std::string ShopPageHtml(Family family, Template kind, const std::string& cssAddress, std::size_t minimumSize) {
  const bool designer = kind == Template::kDesigner;
  const bool system = kind == Template::kSystem;
  const std::string link = "<link rel=\"stylesheet\" href=\"" + cssAddress + "\">";
  std::string head;
  std::string body;
  if (family == Family::kTmall) {
    if (designer) head += "<!-- designer's module -->" + link + "<!-- 独立模块css -->\n";
    body += "<div class=\"head fix rgn\">" + std::string(system ? link : "") +
            "<a href=\"//my.example/\">我的淘宝</a></div>\n";
    body += "<div class=\"slogo\"><a class=\"slogo-shopname\" href=\"//shop.example/\">" + std::string(kTmallShopName) +
            "</a><span class=\"WangWang\"></span></div>\n";
    body += "<div class=\"shopkeeper\"><a href=\"//ww.example/?nick=1\" title=\"chat\">" +
            std::string(kTmallShopkeeper) + "</a><span class=\"WangWang\"></span></div>\n";
  } else {
    if (designer) head += "<!-- designer's module -->" + link + "<!-- S GLOBAL JS -->\n";
    if (system) head += "<!-- 模块自定义（设计师）css输出 -->" + link + "<!-- GLOBAL -->\n";
    body += "<div class=\"shop-name\"><a href=\"//shop.example/\"><span>" + std::string(kTaobaoShopName) +
            "<i class=\"icon\"></i></span></a><a class=\"enter\">进入店铺</a></div>\n";
    body += "<div class=\"seller\"><a href=\"//ww.example/\">掌柜：" + std::string(kTaobaoShopkeeper) +
            "</a><span class=\"wangwang\"></span></div>\n";
  }
  if (designer) {
    body += "<span class=\"designer\">店铺设计：<a href=\"//designer.example/\">" + std::string(kDesignerName) +
            "</a></span>\n";
  }
  if (system) body += "<!-- system module -->\n";
  std::string page = "<!DOCTYPE html>\n<html><head>__META__<title>shop</title>\n" + head + "</head><body>\n" + body;
  if (page.size() < minimumSize) page += Filler(minimumSize - page.size());
  return page + "</body></html>\n";
}

std::string TmallCss() { return "#page #content  .slogo{color:red}\r\n#page #content .keep{margin:0}\r\n.plain{}\r\n"; }
std::string TmallCssCleaned() { return ".slogo{color:red}\r\n#page #content .keep{margin:0}\r\n.plain{}\r\n"; }
std::string TaobaoNavCss() {
  return "#page #content .tshop-pbsm-shop-nav-ch li{float:left}\r\n#page #content .banner{}\r\n";
}
std::string TaobaoNavCssCleaned() { return " li{float:left}\r\n#page #content .banner{}\r\n"; }
std::string TaobaoPlainCss() { return "#page #content .banner{}\r\n#page #content  .x{}\r\n"; }
std::string TaobaoPlainCssCleaned() { return " .banner{}\r\n  .x{}\r\n"; }

FixtureShops::FixtureShops(std::size_t pageSize, std::chrono::milliseconds delay, std::size_t cssSize)
    : pageSize_(pageSize),
      delay_(delay),
      cssSize_(cssSize),
      server_([this](const RecordedRequest& r) { return Serve(r); }) {}

std::string FixtureShops::Css(const std::string& base) const {
  if (cssSize_ == 0) return base;
  std::string css = "@charset \"utf-8\";\n" + base;
  const std::string rule =
      "#page #content  .item-list li{margin:0 4px} /* 商品列表 */\n"
      "#page #content .banner{background:url(//img.example/b.png)} /* 店招 */\n";
  css.reserve(cssSize_ + rule.size());
  while (css.size() < cssSize_) css += rule;
  return css;
}

std::string FixtureShops::ShopAddress(Family family, Template kind, Encoding encoding) const {
  return "http://shop." + std::string(FamilyName(family)) + ".localhost:" + std::to_string(server_.port()) + "/" +
         FamilyName(family) + "/" + TemplateName(kind) + "/" + EncodingName(encoding) + "/";
}

std::string FixtureShops::CssAddress(Family family, Template kind) const {
  const std::string port = std::to_string(server_.port());
  if (family == Family::kTmall) {
    // The Tmall system template names its style sheet on an "img" host.
    return (kind == Template::kSystem ? "http://img.tmall.localhost:" : "http://shop.tmall.localhost:") + port +
           "/css/tmall.css";
  }
  return "http://shop.taobao.localhost:" + port +
         (kind == Template::kDesigner ? "/css/taobao-nav.css" : "/css/taobao-plain.css");
}

std::string FixtureShops::CleanedCss(Family family, Template kind) {
  if (family == Family::kTmall) return TmallCssCleaned();
  return kind == Template::kDesigner ? TaobaoNavCssCleaned() : TaobaoPlainCssCleaned();
}

Reply FixtureShops::Serve(const RecordedRequest& request) const {
  Reply reply;
  reply.delay = delay_;
  const std::string target = request.Target();
  std::lock_guard<std::mutex> lock(cacheMutex_);
  auto it = cache_.find(target);
  if (it == cache_.end()) it = cache_.emplace(target, Build(target)).first;
  reply.bytes = it->second;
  return reply;
}

std::string FixtureShops::Build(const std::string& target) const {
  Reply reply;
  const std::string css = "Content-Type: text/css\r\n";
  if (target == "/css/tmall.css") {
    reply.bytes = Response(Css(TmallCss()), css);
    return reply.bytes;
  }
  if (target == "/css/taobao-nav.css") {
    reply.bytes = Response(Css(TaobaoNavCss()), css);
    return reply.bytes;
  }
  if (target == "/css/taobao-plain.css") {
    reply.bytes = Response(Css(TaobaoPlainCss()), css);
    return reply.bytes;
  }
  for (const Family family : {Family::kTmall, Family::kTaobao}) {
    for (const Template kind : {Template::kDesigner, Template::kSystem, Template::kNeither}) {
      for (const Encoding encoding : {Encoding::kGbk, Encoding::kUtf8Meta, Encoding::kUtf8Header}) {
        const std::string path =
            std::string("/") + FamilyName(family) + "/" + TemplateName(kind) + "/" + EncodingName(encoding) + "/";
        if (target != path) continue;
        std::string html = ShopPageHtml(family, kind, CssAddress(family, kind), pageSize_);
        const std::string meta = encoding == Encoding::kUtf8Meta ? "<meta charset=\"utf-8\">"
                                 : encoding == Encoding::kGbk    ? "<meta charset=\"gbk\">"
                                                                 : "";
        html.replace(html.find("__META__"), 8, meta);
        if (encoding == Encoding::kGbk) {
          reply.bytes = Response(Utf8ToGbk(html), "Content-Type: text/html; charset=GBK\r\n");
        } else if (encoding == Encoding::kUtf8Meta) {
          reply.bytes = Response(html, "Content-Type: text/html\r\n");
        } else {
          reply.bytes = Response(html, "Content-Type: text/html; charset=UTF-8\r\n");
        }
        return reply.bytes;
      }
    }
  }
  reply.bytes = Response("<html>not found</html>", "", "404 Not Found");
  return reply.bytes;
}

}  // namespace qv::test
