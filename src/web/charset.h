// Re-encoding bytes between charsets; by default from UTF-8 to GBK.
#pragma once

#include <cstdint>
#include <optional>

#include "text/text.h"

namespace qv {

// Decodes `data` as `*fromCharset` and encodes it as `*toCharset`. A left-out
// or empty `fromCharset` means "UTF-8" and an empty `toCharset` "GBK"; an empty
// caller variable receives that default. When `skipBytes` is supplied, that many
// bytes of the encoded result are dropped (a negative count drops none).
// Invalid input and characters the target lacks become "?"; a UTF-8
// byte-order mark at the start is dropped; an unknown charset name gives the
// input back unchanged. ConvertCharset(E4 B8 AD) == D6 D0.
[[nodiscard]] ByteBuffer ConvertCharset(const ByteBuffer& data, Text* fromCharset = nullptr, Text* toCharset = nullptr,
                                        std::optional<std::int32_t> skipBytes = std::nullopt);

// The same, consuming `data`: UTF-8 to GBK then works over its bytes in place.
[[nodiscard]] ByteBuffer ConvertCharset(ByteBuffer&& data, Text* fromCharset = nullptr, Text* toCharset = nullptr,
                                        std::optional<std::int32_t> skipBytes = std::nullopt);

// The conversion itself, with both charset names given.
[[nodiscard]] ByteBuffer StreamConvert(ByteBuffer data, const Text& fromCharset, const Text& toCharset,
                                       std::optional<std::int32_t> skipBytes = std::nullopt);

}  // namespace qv
