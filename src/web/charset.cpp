#include "web/charset.h"

#include <string>

#include "web/platform/converter.h"

namespace qv {

ByteBuffer StreamConvert(const ByteBuffer& data, const Text& fromCharset, const Text& toCharset,
                         std::optional<std::int32_t> skipBytes) {
  if (data.IsEmpty()) return {};
  std::optional<std::string> converted = platform::Reencode(data.View(), fromCharset.Bytes(), toCharset.Bytes());
  if (!converted) return data;
  if (skipBytes && *skipBytes > 0) converted->erase(0, static_cast<std::size_t>(*skipBytes));
  return ByteBuffer(std::move(*converted));
}

ByteBuffer ConvertCharset(const ByteBuffer& data, Text* fromCharset, Text* toCharset,
                          std::optional<std::int32_t> skipBytes) {
  Text from = fromCharset != nullptr ? *fromCharset : Text();
  Text to = toCharset != nullptr ? *toCharset : Text();
  if (CompareText(from, "") == 0) from = "UTF-8";
  if (CompareText(to, "") == 0) to = "GBK";
  if (fromCharset != nullptr) *fromCharset = from;
  if (toCharset != nullptr) *toCharset = to;
  return StreamConvert(data, from, to, skipBytes);
}

}  // namespace qv
