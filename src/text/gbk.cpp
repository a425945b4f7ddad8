#include "text/gbk.h"

#include <cstdint>
#include <cstring>

namespace qv {

namespace gbk_tables {
extern const std::uint16_t kUnicodeToGbk[0x10000];
extern const std::uint16_t kGbkToUnicode[128 * 191];
}  // namespace gbk_tables

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Copies the ASCII run at s[i..] to out; returns the index after it.
std::size_t CopyAsciiRun(std::string_view s, std::size_t i, std::string& out) {
  const std::size_t begin = i;
  while (i + 8 <= s.size()) {
    std::uint64_t word = 0;
    std::memcpy(&word, s.data() + i, sizeof word);
    if ((word & kHighBits) != 0) break;
    i += 8;
  }
  while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  out.append(s.data() + begin, i - begin);
  return i;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::size_t Utf8CharLength(std::string_view s, std::size_t& invalidLength) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned lead = b(0);
  invalidLength = 1;
  if (lead < 0x80) return 1;
  std::size_t need = 0;
  unsigned lo = 0x80;
  unsigned hi = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2;
    if (lead == 0xE0) lo = 0xA0;
    if (lead == 0xED) hi = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  for (std::size_t k = 1; k <= need; ++k) {
    if (k >= s.size() || b(k) < lo || b(k) > hi) {
      invalidLength = k;
      return 0;
    }
    lo = 0x80;
    hi = 0xBF;
  }
  return need + 1;
}

std::string Utf8ToGbk(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  if (s.substr(0, 3) == "\xEF\xBB\xBF") i = 3;
  while (i < s.size()) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      i = CopyAsciiRun(s, i, out);
      continue;
    }
    std::size_t invalid = 0;
    const std::size_t len = Utf8CharLength(s.substr(i), invalid);
    if (len == 0) {
      out += '?';
      i += invalid;
      continue;
    }
    const auto b = [&](std::size_t k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(s[i + k])); };
    std::uint32_t cp = 0;
    if (len == 2) cp = ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    if (len == 3) cp = ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    i += len;
    const std::uint16_t g = len == 4 ? 0 : gbk_tables::kUnicodeToGbk[cp];
    if (g == 0) {
      out += '?';
    } else if (g < 0x100) {
      out += static_cast<char>(g);
    } else {
      out += static_cast<char>(g >> 8);
      out += static_cast<char>(g & 0xFF);
    }
  }
  return out;
}

std::string GbkToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 2);
  std::size_t i = 0;
  while (i < s.size()) {
    const auto lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80) {
      i = CopyAsciiRun(s, i, out);
      continue;
    }
    if (lead == 0x80) {
      const std::uint16_t cp = gbk_tables::kGbkToUnicode[0];
      if (cp == 0) {
        out += '?';
      } else {
        AppendUtf8(out, cp);
      }
      ++i;
      continue;
    }
    const unsigned trail = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
    if (lead == 0xFF || trail < 0x40 || trail == 0x7F || trail == 0xFF) {
      out += '?';  // not a two-byte character: only the lead byte is consumed
      ++i;
      continue;
    }
    const std::uint16_t cp = gbk_tables::kGbkToUnicode[(lead - 0x80) * 191 + (trail - 0x40)];
    if (cp == 0) {
      out += '?';
    } else {
      AppendUtf8(out, cp);
    }
    i += 2;
  }
  return out;
}

Text FromUtf8(std::string_view utf8) { return Text::Present(Utf8ToGbk(utf8)); }

std::string ToUtf8(const Text& text) { return GbkToUtf8(text.View()); }

}  // namespace qv
