// The charset engine over iconv. Conversion goes through UTF-8 so that invalid
// input and characters the target lacks can each be replaced by one "?"
// without cutting the rest; UTF-8 input is encoded directly.
#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <cctype>

#include "text/gbk.h"
#include "web/platform/converter.h"

namespace qv::platform {

namespace {

constexpr std::size_t kChunk = std::size_t{64} * 1024;

// The one owner of an iconv descriptor.
class IconvHandle {
 public:
  IconvHandle(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~IconvHandle() {
    if (valid()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  // iconv_open reports failure as (iconv_t)-1.
  [[nodiscard]] bool valid() const {
    return cd_ != reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
  }
  [[nodiscard]] iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

// Our charset names as iconv knows them: "GBK" is code page 936.
std::string EngineName(const std::string& name) { return Upper(name) == "GBK" ? "CP936" : name; }

bool IsUtf8Name(const std::string& name) {
  const std::string u = Upper(name);
  return u == "UTF-8" || u == "UTF8";
}

// Runs `cd` over `in`, appending to `out`. On a sequence it cannot convert it
// calls `onError(in, pos)`, which appends its replacement and returns how many
// input bytes to skip. Returns false only when the engine fails otherwise.
template <typename OnError>
bool Run(iconv_t cd, std::string_view in, std::string& out, OnError onError) {
  std::size_t pos = 0;
  char buffer[kChunk];
  while (pos < in.size()) {
    char* src = const_cast<char*>(in.data() + pos);  // iconv's signature; it does not write the input
    std::size_t srcLeft = in.size() - pos;
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    pos = in.size() - srcLeft;
    if (error == E2BIG || error == 0) continue;
    if (error != EILSEQ && error != EINVAL) return false;
    pos += onError(in, pos);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset the shift state after a skip
  }
  // Flush any shift sequence the target needs at the end.
  char* dst = buffer;
  std::size_t dstLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, static_cast<std::size_t>(dst - buffer));
  return true;
}

// How many bytes an undecodable sequence at the start of `s` spans. In code
// page 936 a lead byte with a byte that can follow it is one character, even
// when unassigned, so decoding stays in step with the characters.
std::size_t InvalidSpan(std::string_view s, bool codePage936) {
  if (!codePage936 || s.size() < 2) return 1;
  const auto lead = static_cast<unsigned char>(s[0]);
  const auto trail = static_cast<unsigned char>(s[1]);
  const bool pair = lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
  return pair ? 2 : 1;
}

// Decodes `data` from a charset other than UTF-8; each invalid sequence becomes one "?".
std::optional<std::string> DecodeToUtf8(std::string_view data, const std::string& from) {
  IconvHandle cd("UTF-8", EngineName(from));
  if (!cd.valid()) return std::nullopt;
  const bool codePage936 = EngineName(from) == "CP936";
  std::string out;
  out.reserve(data.size() * 3 / 2);
  if (!Run(cd.get(), data, out, [&](std::string_view in, std::size_t pos) {
        out += '?';
        return InvalidSpan(in.substr(pos), codePage936);
      })) {
    return std::nullopt;
  }
  return out;
}

// Encodes UTF-8 as `to` in one pass. Where the engine stops, the input tells
// why: a well-formed character the target lacks, or a maximal invalid
// subsequence; either becomes one "?".
std::optional<std::string> EncodeFromUtf8(std::string_view utf8, const std::string& to) {
  IconvHandle cd(EngineName(to), "UTF-8");
  if (!cd.valid()) return std::nullopt;
  std::string question;
  {
    IconvHandle q(EngineName(to), "UTF-8");
    if (!Run(q.get(), "?", question, [](std::string_view, std::size_t) { return std::size_t{1}; })) {
      return std::nullopt;
    }
  }
  std::string out;
  out.reserve(utf8.size());
  const auto encode = [&](std::string_view segment) {
    return Run(cd.get(), segment, out, [&](std::string_view in, std::size_t pos) {
      out += question;
      std::size_t invalid = 0;
      const std::size_t len = Utf8CharLength(in.substr(pos), invalid);
      return len != 0 ? len : invalid;
    });
  };
  // The engine drops Unicode tag characters (U+E0000..U+E007F, F3 A0 80 80 to
  // F3 A0 81 BF) without a word; like every other character the target lacks,
  // each becomes "?": the text is encoded in the segments between them.
  std::size_t start = 0;
  for (std::size_t at = utf8.find('\xF3'); at != std::string_view::npos; at = utf8.find('\xF3', at + 1)) {
    const bool tag = at + 3 < utf8.size() && utf8[at + 1] == '\xA0' &&
                     (utf8[at + 2] == '\x80' || utf8[at + 2] == '\x81') &&
                     (static_cast<unsigned char>(utf8[at + 3]) & 0xC0) == 0x80;
    if (!tag) continue;
    if (!encode(utf8.substr(start, at - start))) return std::nullopt;
    out += question;
    start = at + 4;
    at += 3;
  }
  if (!encode(utf8.substr(start))) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::string> Reencode(std::string_view data, const std::string& fromCharset,
                                    const std::string& toCharset) {
  if (IsUtf8Name(fromCharset) && data.substr(0, 3) == "\xEF\xBB\xBF") data.remove_prefix(3);
  if (IsUtf8Name(fromCharset)) return EncodeFromUtf8(data, toCharset);  // it checks the target's name itself
  // Decoding checks the source's name; check the target's before any work.
  if (!IsUtf8Name(toCharset) && !IconvHandle(EngineName(toCharset), "UTF-8").valid()) return std::nullopt;
  std::optional<std::string> utf8 = DecodeToUtf8(data, fromCharset);
  if (!utf8 || IsUtf8Name(toCharset)) return utf8;
  return EncodeFromUtf8(*utf8, toCharset);
}

}  // namespace qv::platform
