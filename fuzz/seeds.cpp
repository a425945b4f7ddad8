// Writes the seed corpora of the fuzz targets from the fixture shops.
#include <filesystem>
#include <fstream>
#include <string>

#include "support/fixture_shops.h"
#include "text/gbk.h"

namespace {

void Put(const std::filesystem::path& folder, const std::string& name, const std::string& bytes) {
  std::filesystem::create_directories(folder);
  std::ofstream(folder / name, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::filesystem::path root = argv[1];
  using qv::test::Family;
  using qv::test::Template;
  int n = 0;
  for (const Family f : {Family::kTmall, Family::kTaobao}) {
    for (const Template t : {Template::kDesigner, Template::kSystem, Template::kNeither}) {
      std::string page = qv::test::ShopPageHtml(f, t, "http://img.example/shop.css");
      page.replace(page.find("__META__"), 8, "<meta charset=\"utf-8\">");
      const std::string gbk = qv::Utf8ToGbk(page);
      const std::string name = "page" + std::to_string(n++);
      // Pages: the selector bytes in front choose the address and split nothing else.
      Put(root / "flow_fuzz", name, std::string(1, static_cast<char>(n % 4)) + gbk);
      Put(root / "extract_fuzz", name,
          "\x01\x05"
          "shop-name\x00"
          "WangWang\x00" +
              gbk);
      Put(root / "text_fuzz", name, std::string("\x01\x02") + "<a\x00>\x00" + gbk);
      Put(root / "charset_fuzz", name, page);
      Put(root / "charset_fuzz", name + "-gbk", gbk);
    }
  }
  Put(root / "text_fuzz", "css", "\x00\x01#page #content  \x00\x00" + qv::test::TmallCss());
  Put(root / "url_fuzz", "a", "\x01\x01http://a.shop.test:8080/b?c=http://d/");
  Put(root / "url_fuzz", "b", "\x00\x00HTTPS://user:pw@Shop.Test/A#e");
  Put(root / "cookies_fuzz", "a", "a=1; b=2;;c=deleted\x00x=1; a=3; c = 4");
  Put(root / "headers_fuzz", "a",
      "HTTP/1.1 302 Found\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\nLocation: /x\r\n"
      "Content-Location: /y\r\nContent-Type: text/html; charset=utf-8\r\n\r\n");
  return 0;
}
