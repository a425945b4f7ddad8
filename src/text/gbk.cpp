#include "text/gbk.h"

#include <cstdint>
#include <cstring>
#include <memory>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace qv {

namespace gbk_tables {
extern const std::uint16_t kUnicodeToGbk[0x10000];
extern const std::uint16_t kGbkToUnicode[128 * 191];
}  // namespace gbk_tables

namespace {

// Length of the run of ASCII bytes at the start of [p, end).
std::size_t AsciiRun(const unsigned char* p, const unsigned char* end) {
  const unsigned char* q = p;
#ifdef __SSE2__
  while (end - q >= 16) {
    const int mask = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q)));
    if (mask != 0) return static_cast<std::size_t>(q - p) + static_cast<std::size_t>(__builtin_ctz(mask));
    q += 16;
  }
#endif
  while (q < end && *q < 0x80) ++q;
  return static_cast<std::size_t>(q - p);
}

char* PutUtf8(char* o, std::uint32_t cp) {
  if (cp < 0x800) {
    *o++ = static_cast<char>(0xC0 | (cp >> 6));
  } else {
    *o++ = static_cast<char>(0xE0 | (cp >> 12));
    *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  }
  *o++ = static_cast<char>(0x80 | (cp & 0x3F));
  return o;
}

char* PutGbk(char* o, std::uint16_t g) {
  if (g == 0) {
    *o++ = '?';
  } else if (g < 0x100) {
    *o++ = static_cast<char>(g);
  } else {
    *o++ = static_cast<char>(g >> 8);
    *o++ = static_cast<char>(g & 0xFF);
  }
  return o;
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

void Utf8ToGbkInPlace(std::string& bytes) {
  // Every character keeps or shrinks its size in GBK, so the output never
  // overtakes the input and the conversion can run over the bytes themselves.
  char* const begin = bytes.data();
  char* o = begin;
  const auto* p = reinterpret_cast<const unsigned char*>(begin);
  const unsigned char* const end = p + bytes.size();
  if (std::string_view(bytes).substr(0, 3) == "\xEF\xBB\xBF") p += 3;
  while (p < end) {
    if (*p < 0x80) {
      const std::size_t run = AsciiRun(p, end);
      if (o != reinterpret_cast<const char*>(p)) std::memmove(o, p, run);
      o += run;
      p += run;
      continue;
    }
    // The common case, a well-formed three-byte character (all of CJK).
    if (end - p >= 3 && (p[0] & 0xF0) == 0xE0 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
      const std::uint32_t cp = ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
      if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
        p += 3;  // read before writing: the output may reach these bytes
        o = PutGbk(o, gbk_tables::kUnicodeToGbk[cp]);
        continue;
      }
    }
    std::size_t invalid = 0;
    const std::size_t len =
        Utf8CharLength(std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)), invalid);
    if (len == 0) {
      p += invalid;
      *o++ = '?';
      continue;
    }
    std::uint32_t cp = 0;
    if (len == 2) cp = ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
    if (len == 3) cp = ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
    p += len;
    o = PutGbk(o, len == 4 ? 0 : gbk_tables::kUnicodeToGbk[cp]);  // beyond the basic plane: no GBK form
  }
  bytes.resize(static_cast<std::size_t>(o - begin));
}

std::string Utf8ToGbk(std::string_view s) {
  std::string out(s);
  Utf8ToGbkInPlace(out);
  return out;
}

namespace {

// Walks GBK text: `ascii(p, n)` for each run of ASCII bytes, `character(cp)`
// for each other character (cp 0 where there is none: an unassigned pair, a
// lone lead byte, or a byte that starts no character).
template <typename Ascii, typename Character>
void DecodeGbk(std::string_view s, Ascii ascii, Character character) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const unsigned char* const end = p + s.size();
  while (p < end) {
    const unsigned lead = *p;
    if (lead < 0x80) {
      const std::size_t run = AsciiRun(p, end);
      ascii(p, run);
      p += run;
    } else if (lead == 0x80) {
      character(gbk_tables::kGbkToUnicode[0]);  // the single byte 0x80
      ++p;
    } else {
      const unsigned trail = p + 1 < end ? p[1] : 0;
      if (lead == 0xFF || trail < 0x40 || trail == 0x7F || trail == 0xFF) {
        character(0);  // not a two-byte character: only the lead byte is consumed
        ++p;
      } else {
        character(gbk_tables::kGbkToUnicode[(lead - 0x80) * 191 + (trail - 0x40)]);
        p += 2;
      }
    }
  }
}

}  // namespace

std::string GbkToUtf8(std::string_view s) {
  // A two-byte character becomes at most three bytes; a single byte at most three
  // ("€"). The scratch area is left uninitialised: only what is written is touched.
  const std::unique_ptr<char[]> scratch = std::make_unique_for_overwrite<char[]>(s.size() * 3 + 1);
  char* const begin = scratch.get();
  char* o = begin;
  DecodeGbk(
      s,
      [&](const unsigned char* p, std::size_t n) {
        std::memcpy(o, p, n);
        o += n;
      },
      [&](std::uint16_t cp) {
        if (cp == 0) {
          *o++ = '?';
        } else {
          o = PutUtf8(o, cp);
        }
      });
  return std::string(begin, static_cast<std::size_t>(o - begin));
}

std::size_t GbkToUtf16(std::string_view s, char16_t* out) {
  char16_t* o = out;
  DecodeGbk(
      s,
      [&](const unsigned char* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) o[i] = p[i];
        o += n;
      },
      [&](std::uint16_t cp) { *o++ = cp == 0 ? u'?' : static_cast<char16_t>(cp); });
  return static_cast<std::size_t>(o - out);
}

Text FromUtf8(std::string_view utf8) { return Text::Present(Utf8ToGbk(utf8)); }

std::string ToUtf8(const Text& text) { return GbkToUtf8(text.View()); }

}  // namespace qv
