#include "web/charset.h"

#include <string>

#include "text/gbk.h"
#include "web/platform/converter.h"

namespace qv {

namespace {

bool NameIs(const Text& name, std::initializer_list<const char*> spellings) {
  const Text lower = ToLowerCase(name);
  for (const char* s : spellings) {
    if (lower.View() == s) return true;
  }
  return false;
}

bool IsUtf8(const Text& name) { return NameIs(name, {"utf-8", "utf8"}); }
bool IsCodePage936(const Text& name) { return NameIs(name, {"gbk", "cp936"}); }

}  // namespace

ByteBuffer StreamConvert(ByteBuffer data, const Text& fromCharset, const Text& toCharset,
                         std::optional<std::int32_t> skipBytes) {
  if (data.IsEmpty()) return {};
  std::string converted;
  if (IsUtf8(fromCharset) && IsCodePage936(toCharset)) {
    // The program's own conversion, on every download that declares UTF-8: the
    // table codec gives the engine's bytes (its tables come from the engine), faster.
    converted = std::move(data).TakeBytes();
    Utf8ToGbkInPlace(converted);
  } else if (std::optional<std::string> engine =
                 platform::Reencode(data.View(), fromCharset.Bytes(), toCharset.Bytes())) {
    converted = std::move(*engine);
  } else {
    return data;  // an unknown charset: the input as it is
  }
  if (skipBytes && *skipBytes > 0) converted.erase(0, static_cast<std::size_t>(*skipBytes));
  return ByteBuffer(std::move(converted));
}

namespace {

// Fills in the default charset names, also into the caller's empty variables.
void Defaults(Text* fromCharset, Text* toCharset, Text& from, Text& to) {
  from = fromCharset != nullptr ? *fromCharset : Text();
  to = toCharset != nullptr ? *toCharset : Text();
  if (CompareText(from, "") == 0) from = "UTF-8";
  if (CompareText(to, "") == 0) to = "GBK";
  if (fromCharset != nullptr) *fromCharset = from;
  if (toCharset != nullptr) *toCharset = to;
}

}  // namespace

ByteBuffer ConvertCharset(const ByteBuffer& data, Text* fromCharset, Text* toCharset,
                          std::optional<std::int32_t> skipBytes) {
  return ConvertCharset(ByteBuffer(data), fromCharset, toCharset, skipBytes);
}

ByteBuffer ConvertCharset(ByteBuffer&& data, Text* fromCharset, Text* toCharset,
                          std::optional<std::int32_t> skipBytes) {
  Text from;
  Text to;
  Defaults(fromCharset, toCharset, from, to);
  return StreamConvert(std::move(data), from, to, skipBytes);
}

}  // namespace qv
