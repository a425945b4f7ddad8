#include "text/text.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "text/fatal.h"
#include "text/search.h"

namespace qv {

using detail::IsLeadByte;
using detail::kNotFound;

namespace {

constexpr unsigned char kFullWidthSpaceByte = 0xA1;

std::size_t Size(std::int32_t n) { return n <= 0 ? 0 : static_cast<std::size_t>(n); }

std::int32_t Position(std::size_t offset) { return static_cast<std::int32_t>(offset + 1); }

// A string with room for `size` bytes; exhausted memory ends in the fatal report.
std::string Buffer(std::size_t size) {
  std::string s;
  try {
    s.reserve(size);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory(size);
  } catch (const std::length_error&) {
    ReportOutOfMemory(size);
  }
  return s;
}

bool IsFullWidthSpaceAt(std::string_view s, std::size_t i) {
  return i + 1 < s.size() && static_cast<unsigned char>(s[i]) == kFullWidthSpaceByte &&
         static_cast<unsigned char>(s[i + 1]) == kFullWidthSpaceByte;
}

}  // namespace

// ---- Text ------------------------------------------------------------------------

Text::Text(const char* literal) : present_(literal != nullptr) {
  if (literal != nullptr) bytes_ = literal;
}

Text::Text(std::string bytes) : bytes_(std::move(bytes)), present_(true) { EndAtFirstZero(); }

void Text::EndAtFirstZero() {
  const auto zero = bytes_.find('\0');
  if (zero != std::string::npos) bytes_.resize(zero);
}

std::string Text::TakeBytes() && {
  present_ = false;
  return std::move(bytes_);
}

Text Text::Result(std::string bytes) {
  Text t;
  t.present_ = !bytes.empty();
  t.bytes_ = std::move(bytes);
  return t;
}

Text Text::Present(std::string bytes) {
  Text t;
  t.present_ = true;
  t.bytes_ = std::move(bytes);
  return t;
}

// ---- Cuts ------------------------------------------------------------------------

std::int32_t TextLength(const Text& text) { return text.Length(); }

Text TextLeft(const Text& text, std::int32_t count) {
  return Text::Result(std::string(text.View().substr(0, Size(count))));
}

Text TextRight(const Text& text, std::int32_t count) {
  const std::size_t n = std::min(Size(count), text.View().size());
  return Text::Result(std::string(text.View().substr(text.View().size() - n)));
}

Text TextMid(const Text& text, std::int32_t position, std::int32_t count) {
  if (position < 1 || position > text.Length() || count <= 0) return {};
  return Text::Result(std::string(text.View().substr(Size(position) - 1, Size(count))));
}

Text CharFromCode(std::uint8_t code) {
  if (code == 0) return {};
  return Text::Present(std::string(1, static_cast<char>(code)));
}

// ---- Searching -------------------------------------------------------------------

std::int32_t FindText(const Text& text, const Text& sought, std::int32_t start, bool ignoreCase) {
  const std::string_view hay = text.View();
  const std::size_t from = start <= 1 ? 0 : Size(start) - 1;
  if (from >= hay.size()) return -1;
  if (sought.IsEmpty()) return 1;
  const std::size_t hit = detail::FindAtCharStart(hay, from, sought.View(), ignoreCase);
  return hit == kNotFound ? -1 : Position(hit);
}

std::int32_t FindTextReverse(const Text& text, const Text& sought, bool ignoreCase) {
  const std::string_view hay = text.View();
  if (hay.empty()) return -1;
  if (sought.IsEmpty()) return 1;
  std::size_t last = kNotFound;
  detail::CharStartSearcher searcher(hay, sought.View(), ignoreCase);
  for (std::size_t from = 0;;) {
    const std::size_t hit = searcher.Next(from);
    if (hit == kNotFound) break;
    last = hit;
    from = hit + (IsLeadByte(hay[hit]) ? 2 : 1);
  }
  return last == kNotFound ? -1 : Position(last);
}

Text ReplaceText(const Text& text, const Text& sought, const Text& replacement, bool caseSensitive, std::int32_t start,
                 std::optional<std::int32_t> maximum) {
  const std::string_view hay = text.View();
  const std::string_view needle = sought.View();
  const std::size_t from = start <= 1 ? 0 : Size(start) - 1;
  if (hay.empty() || needle.empty() || from >= hay.size() || (maximum && *maximum <= 0)) {
    return CopyText(text);
  }
  const std::size_t limit = maximum ? Size(*maximum) : kNotFound;

  std::string out = Buffer(hay.size());
  out.append(hay.substr(0, from));
  std::size_t pos = from;
  std::size_t done = 0;
  detail::CharStartSearcher searcher(hay, needle, !caseSensitive);
  while (done < limit) {
    const std::size_t hit = searcher.Next(pos);
    if (hit == kNotFound) break;
    out.append(hay.substr(pos, hit - pos));
    out.append(replacement.View());
    pos = hit + needle.size();
    ++done;
  }
  if (done < limit && needle.size() == 1) {
    // A one-byte needle walks to the very end; a dangling lead byte met there is dropped.
    const std::size_t end = detail::WalkTo(hay, pos, hay.size());
    if (end > hay.size()) {
      out.append(hay.substr(pos, hay.size() - 1 - pos));
      return Text::Result(std::move(out));
    }
  }
  out.append(hay.substr(pos));
  return Text::Result(std::move(out));
}

TextArray SplitText(const Text& text, const Text& separator) {
  TextArray result;
  const std::string_view hay = text.View();
  if (hay.empty()) return result;
  auto& items = result.MutableItems();
  if (separator.IsEmpty()) {
    items.push_back(CopyText(text));
    return result;
  }
  const std::string_view sep = separator.View();
  std::size_t piece = 0;
  detail::CharStartSearcher searcher(hay, sep, false);
  for (;;) {
    const std::size_t hit = searcher.Next(piece);
    if (hit == kNotFound) break;
    items.push_back(Text::Result(std::string(hay.substr(piece, hit - piece))));
    piece = hit + sep.size();
  }
  if (piece < hay.size()) items.push_back(Text::Result(std::string(hay.substr(piece))));
  return result;
}

// ---- Character walks -------------------------------------------------------------

Text ToLowerCase(const Text& text) {
  const std::string_view s = text.View();
  std::string out = Buffer(s.size());
  out.assign(s);
  for (std::size_t i = 0; i < out.size();) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (c >= 0x80) {
      i += 2;
    } else {
      out[i] = static_cast<char>(detail::FoldByte(c));
      ++i;
    }
  }
  return Text::Result(std::move(out));
}

std::int32_t ToInteger(const Text& text) {
  // Reads the text as ASCII, mapping the full-width forms onto their ASCII bytes.
  const std::string_view s = text.View();
  std::size_t i = 0;
  const auto next = [&]() -> int {  // the next character as one byte, or -1 at the end
    if (i >= s.size()) return -1;
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      return c;
    }
    if (i + 1 >= s.size()) return -1;  // a dangling lead byte ends the text
    const auto t = static_cast<unsigned char>(s[i + 1]);
    i += 2;
    if (c == 0xA3 && t >= 0xA1 && t <= 0xFE) return t - 0x80;
    if (c == kFullWidthSpaceByte && t == kFullWidthSpaceByte) return ' ';
    return 0x100;  // any other character: not part of a number
  };
  int c = next();
  while (c == ' ' || (c >= 0x09 && c <= 0x0D)) c = next();
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = next();
  }
  std::uint32_t value = 0;
  while (c >= '0' && c <= '9') {
    value = value * 10U + static_cast<std::uint32_t>(c - '0');
    c = next();
  }
  if (negative) value = 0U - value;
  return static_cast<std::int32_t>(value);
}

Text TrimBoth(const Text& text) {
  const std::string_view s = text.View();
  std::size_t i = 0;
  for (;;) {
    if (i < s.size() && s[i] == ' ') {
      ++i;
    } else if (IsFullWidthSpaceAt(s, i)) {
      i += 2;
    } else {
      break;
    }
  }
  const std::size_t begin = i;
  std::size_t end = s.size();
  std::size_t runStart = kNotFound;
  while (i < s.size()) {
    if (s[i] == ' ') {
      if (runStart == kNotFound) runStart = i;
      ++i;
    } else if (IsFullWidthSpaceAt(s, i)) {
      if (runStart == kNotFound) runStart = i;
      i += 2;
    } else if (IsLeadByte(s[i]) && i + 1 == s.size()) {
      end = i;  // dangling lead byte: cut it, keep the spaces before it
      runStart = kNotFound;
      break;
    } else {
      runStart = kNotFound;
      i += IsLeadByte(s[i]) ? 2 : 1;
    }
  }
  if (runStart != kNotFound) end = runStart;
  if (end <= begin) return {};
  return Text::Result(std::string(s.substr(begin, end - begin)));
}

Text RemoveAllSpaces(const Text& text) {
  const std::string_view s = text.View();
  std::string out = Buffer(s.size());
  for (std::size_t i = 0; i < s.size();) {
    if (s[i] == ' ') {
      ++i;
    } else if (IsFullWidthSpaceAt(s, i)) {
      i += 2;
    } else if (IsLeadByte(s[i])) {
      if (i + 1 < s.size()) out.append(s.substr(i, 2));
      i += 2;
    } else {
      out += s[i++];
    }
  }
  return Text::Result(std::move(out));
}

// ---- Plain texts -------------------------------------------------------------------

Text ConcatText(std::initializer_list<std::reference_wrapper<const Text>> parts) {
  std::size_t total = 0;
  for (const Text& p : parts) total += p.View().size();
  std::string out = Buffer(total);
  for (const Text& p : parts) out.append(p.View());
  return Text::Present(std::move(out));
}

int CompareText(const Text& a, const Text& b) {
  const int c = a.View().compare(b.View());  // char_traits<char> compares as unsigned char
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

Text CopyText(const Text& text) { return text; }

Text BlankText(std::int32_t count) {
  if (count <= 0) return {};
  std::string out = Buffer(Size(count));
  out.assign(Size(count), ' ');
  return Text::Present(std::move(out));
}

// ---- Byte buffers ------------------------------------------------------------------

ByteBuffer TextToBytes(const Text& text) { return ByteBuffer(text.View()); }

Text BytesToText(const ByteBuffer& bytes) {
  const std::string_view v = bytes.View();
  return Text::Result(std::string(v.substr(0, v.find('\0'))));
}

Text BytesToText(ByteBuffer&& bytes) {
  std::string s = std::move(bytes).TakeBytes();
  const auto zero = s.find('\0');
  if (zero != std::string::npos) s.resize(zero);
  return Text::Result(std::move(s));
}

std::int32_t BytesLength(const ByteBuffer& bytes) { return bytes.Length(); }

ByteBuffer BytesLeft(const ByteBuffer& bytes, std::int32_t count) {
  return ByteBuffer(bytes.View().substr(0, Size(count)));
}

ByteBuffer BlankBytes(std::int32_t count) {
  if (count <= 0) return {};
  std::string out = Buffer(Size(count));
  out.assign(Size(count), '\0');
  return ByteBuffer(std::move(out));
}

std::int32_t FindBytes(const ByteBuffer& bytes, const ByteBuffer& sought) {
  if (sought.IsEmpty() || bytes.Length() < sought.Length()) return -1;
  const void* hit = memmem(bytes.View().data(), bytes.View().size(), sought.View().data(), sought.View().size());
  return hit == nullptr ? -1 : Position(static_cast<std::size_t>(static_cast<const char*>(hit) - bytes.View().data()));
}

ByteBuffer ConcatBytes(std::initializer_list<std::reference_wrapper<const ByteBuffer>> parts) {
  std::size_t total = 0;
  for (const ByteBuffer& p : parts) total += p.View().size();
  std::string out = Buffer(total);
  for (const ByteBuffer& p : parts) out.append(p.View());
  return ByteBuffer(std::move(out));
}

int CompareBytes(const ByteBuffer& a, const ByteBuffer& b) { return a == b ? 0 : 1; }

ByteBuffer CopyBytes(const ByteBuffer& bytes) { return bytes; }

// ---- Arrays ------------------------------------------------------------------------

TextArray NewTextArray() { return {}; }

std::int32_t ItemCount(const TextArray& array) { return static_cast<std::int32_t>(array.Items().size()); }

const Text& ItemAt(const TextArray& array, std::int32_t index) {
  if (index < 1) ReportRuntimeError(4, IndexBelowOneMessage());
  if (index > ItemCount(array)) ReportRuntimeError(1, IndexAboveCountMessage());
  return array.Items()[Size(index) - 1];
}

void AppendItem(TextArray& array, const Text& text) { array.MutableItems().push_back(text); }

}  // namespace qv
