// The value types of the program and the byte-exact operations on them.
//
// A Text holds code page 936 (GBK) bytes and never a zero byte. Positions are
// 1-based byte positions and -1 means "not found". A Text is either present or
// absent; both read as the empty text everywhere, and only CStr() tells them
// apart (nullptr for an absent text). Results that are empty are absent, except
// ConcatText (always present) and CopyText (keeps its argument's presence).
//
// Character-aware operations walk the text from their starting byte: a byte
// below 0x80 is one character, a byte of 0x80 or above starts a two-byte
// character together with the byte after it. A sought text only ever matches at
// a character start. A lead byte directly before the end is "dangling".
//
// Space means 0x20 and, for trimming and space removal, also the full-width
// space A1 A1. Ignoring case folds only the bytes 'A'..'Z' (every compared byte,
// second bytes of two-byte characters included).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class Text {
 public:
  // The absent text.
  Text() = default;
  // A present text from a C string of the program; nullptr gives the absent text.
  Text(const char* literal);  // NOLINT(google-explicit-constructor): literals read naturally
  // A present text made of the bytes before the first zero byte of `bytes`.
  explicit Text(std::string bytes);
  explicit Text(std::string_view bytes) : Text(std::string(bytes)) {}

  [[nodiscard]] bool IsPresent() const { return present_; }
  [[nodiscard]] bool IsEmpty() const { return bytes_.empty(); }
  [[nodiscard]] std::int32_t Length() const { return static_cast<std::int32_t>(bytes_.size()); }
  [[nodiscard]] std::string_view View() const { return bytes_; }
  [[nodiscard]] const std::string& Bytes() const { return bytes_; }
  // What a system function receives: nullptr for the absent text.
  [[nodiscard]] const char* CStr() const { return present_ ? bytes_.c_str() : nullptr; }
  // A writable area of Length() bytes (from BlankText); call EndAtFirstZero() after a fill.
  [[nodiscard]] char* WritableData() { return bytes_.data(); }
  void EndAtFirstZero();

  // Moves the bytes out, leaving this text absent.
  [[nodiscard]] std::string TakeBytes() &&;

  friend bool operator==(const Text& a, const Text& b) { return a.bytes_ == b.bytes_; }

  // Result of an operation: absent when empty. The bytes must hold no zero byte.
  static Text Result(std::string bytes);
  // A present text; the bytes must hold no zero byte.
  static Text Present(std::string bytes);

 private:
  std::string bytes_;
  bool present_ = false;
};

// Counted bytes of any value; empty and absent are the same value.
class ByteBuffer {
 public:
  ByteBuffer() = default;
  explicit ByteBuffer(std::string bytes) : bytes_(std::move(bytes)) {}
  explicit ByteBuffer(std::string_view bytes) : bytes_(bytes) {}

  [[nodiscard]] std::int32_t Length() const { return static_cast<std::int32_t>(bytes_.size()); }
  [[nodiscard]] bool IsEmpty() const { return bytes_.empty(); }
  [[nodiscard]] std::string_view View() const { return bytes_; }
  [[nodiscard]] const std::string& Bytes() const { return bytes_; }
  // Null for the empty buffer, as a system function receives it.
  [[nodiscard]] const char* Data() const { return bytes_.empty() ? nullptr : bytes_.data(); }
  [[nodiscard]] char* WritableData() { return bytes_.data(); }
  [[nodiscard]] std::string TakeBytes() && { return std::move(bytes_); }
  // Appends in amortised constant time per byte (the page reader's body buffer).
  void Append(std::string_view more) { bytes_.append(more); }

  friend bool operator==(const ByteBuffer& a, const ByteBuffer& b) = default;

 private:
  std::string bytes_;
};

// An ordered list of texts addressed 1..n that owns its items.
class TextArray {
 public:
  [[nodiscard]] const std::vector<Text>& Items() const& { return items_; }
  // A temporary array hands its items over, so `for (x : SplitText(...).Items())` is safe.
  [[nodiscard]] std::vector<Text> Items() && { return std::move(items_); }
  std::vector<Text>& MutableItems() { return items_; }
  friend bool operator==(const TextArray& a, const TextArray& b) = default;

 private:
  std::vector<Text> items_;
};

// ---- Cuts that count plain bytes ----------------------------------------------

// Length in bytes; the absent text gives 0.
[[nodiscard]] std::int32_t TextLength(const Text& text);
// First min(count, length) bytes; count <= 0 gives "". TextLeft("abc", 5) == "abc".
[[nodiscard]] Text TextLeft(const Text& text, std::int32_t count);
// Last min(count, length) bytes; count <= 0 gives "". TextRight("abc", 2) == "bc".
[[nodiscard]] Text TextRight(const Text& text, std::int32_t count);
// min(count, length - position + 1) bytes from the 1-based position; a position
// outside 1..length or count <= 0 gives "" (never clamped). TextMid("abc", 0, 1) == "".
[[nodiscard]] Text TextMid(const Text& text, std::int32_t position, std::int32_t count);
// The one-byte text of `code`; code 0 gives the absent text.
[[nodiscard]] Text CharFromCode(std::uint8_t code);

// ---- Character-aware operations ------------------------------------------------

// Position of the first occurrence of `sought` at a character start at or after
// `start` (start <= 0 acts as 1), else -1. An empty `sought` gives 1 when the
// searched region is not empty, else -1. FindText("ab", "", 3) == -1.
[[nodiscard]] std::int32_t FindText(const Text& text, const Text& sought, std::int32_t start = 1,
                                    bool ignoreCase = false);
// Position of the last occurrence at a character start of a walk from byte 1;
// occurrences may overlap (FindTextReverse("aaa", "aa") == 2). Empty `sought`
// gives 1 for a non-empty text, else -1.
[[nodiscard]] std::int32_t FindTextReverse(const Text& text, const Text& sought, bool ignoreCase = false);
// Copy with each one-byte 'A'..'Z' lowered; two-byte characters unchanged.
[[nodiscard]] Text ToLowerCase(const Text& text);
// Leading decimal number: full-width forms A3 A1..A3 FE read as ASCII, leading
// 0x09..0x0D and spaces skipped, one sign, digits with 32-bit wrap-around; 0
// without digits. ToInteger("80/abc") == 80.
[[nodiscard]] std::int32_t ToInteger(const Text& text);
// Copy without the leading and trailing runs of spaces and full-width spaces;
// a dangling lead byte at the very end is cut off (spaces before it stay).
[[nodiscard]] Text TrimBoth(const Text& text);
// Copy without any space or full-width space; a dangling lead byte is dropped.
[[nodiscard]] Text RemoveAllSpaces(const Text& text);
// Copy with the occurrences of `sought` replaced, left to right, never
// overlapping and never rescanning a replacement. `start` (1-based, below 1
// counts as 1, beyond the last byte changes nothing) leaves the bytes before it
// as they are; `maximum` limits the number of replacements (0 or less changes
// nothing). Note: the flag means case-SENSITIVE here.
[[nodiscard]] Text ReplaceText(const Text& text, const Text& sought, const Text& replacement, bool caseSensitive,
                               std::int32_t start = 1, std::optional<std::int32_t> maximum = std::nullopt);
// The pieces between exact occurrences of `separator`; no trailing empty item.
// SplitText("a,,b", ",") == {"a", "", "b"}; SplitText("a,", ",") == {"a"};
// SplitText("", ",") == {}; SplitText("ab", "") == {"ab"}.
[[nodiscard]] TextArray SplitText(const Text& text, const Text& separator);

// ---- Plain texts -------------------------------------------------------------

// The texts joined in order; always a present text.
[[nodiscard]] Text ConcatText(std::initializer_list<std::reference_wrapper<const Text>> parts);
template <typename... Parts>
[[nodiscard]] Text ConcatText(const Text& first, const Text& second, const Parts&... rest) {
  return ConcatText({std::cref(first), std::cref(second), std::cref(static_cast<const Text&>(rest))...});
}
// -1, 0 or 1 comparing unsigned bytes; a proper prefix is lower; absent equals "".
[[nodiscard]] int CompareText(const Text& a, const Text& b);
// An equal text that keeps the presence of its argument.
[[nodiscard]] Text CopyText(const Text& text);
// A writable present text of `count` spaces; count <= 0 gives "".
[[nodiscard]] Text BlankText(std::int32_t count);

// ---- Byte buffers --------------------------------------------------------------

[[nodiscard]] ByteBuffer TextToBytes(const Text& text);
// The bytes before the first zero byte (all of them when there is none).
[[nodiscard]] Text BytesToText(const ByteBuffer& bytes);
[[nodiscard]] Text BytesToText(ByteBuffer&& bytes);
[[nodiscard]] std::int32_t BytesLength(const ByteBuffer& bytes);
// The first `count` bytes; count <= 0 gives empty, count above the length all bytes.
[[nodiscard]] ByteBuffer BytesLeft(const ByteBuffer& bytes, std::int32_t count);
// `count` zero bytes, writable in place; count <= 0 gives empty.
[[nodiscard]] ByteBuffer BlankBytes(std::int32_t count);
// 1-based position of the first exact occurrence at any byte, else -1; an empty
// `sought` gives -1 (unlike FindText).
[[nodiscard]] std::int32_t FindBytes(const ByteBuffer& bytes, const ByteBuffer& sought);
[[nodiscard]] ByteBuffer ConcatBytes(std::initializer_list<std::reference_wrapper<const ByteBuffer>> parts);
template <typename... Parts>
[[nodiscard]] ByteBuffer ConcatBytes(const ByteBuffer& first, const ByteBuffer& second, const Parts&... rest) {
  return ConcatBytes({std::cref(first), std::cref(second), std::cref(static_cast<const ByteBuffer&>(rest))...});
}
// 0 when both hold the same bytes, nonzero otherwise.
[[nodiscard]] int CompareBytes(const ByteBuffer& a, const ByteBuffer& b);
[[nodiscard]] ByteBuffer CopyBytes(const ByteBuffer& bytes);

// ---- Integers and arrays ---------------------------------------------------------

template <typename... Values>
[[nodiscard]] constexpr std::uint32_t BitOr(std::uint32_t first, std::uint32_t second, Values... rest) {
  std::uint32_t result = first | second;
  ((result |= static_cast<std::uint32_t>(rest)), ...);
  return result;
}

[[nodiscard]] TextArray NewTextArray();
[[nodiscard]] std::int32_t ItemCount(const TextArray& array);
// The item at the 1-based index. Index below 1: fatal report code 4; above the
// count: fatal report code 1.
[[nodiscard]] const Text& ItemAt(const TextArray& array, std::int32_t index);
// Appends a copy of `text` (an absent text becomes an absent item).
void AppendItem(TextArray& array, const Text& text);

}  // namespace qv
