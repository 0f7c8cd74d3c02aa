#include "platform/text.hpp"

#include <algorithm>

namespace tradepl::platform {
namespace {

// The code point of a whole, shortest UTF-8 sequence at the start of `text`, and its length.
struct Decoded {
  char32_t point = 0;
  std::size_t length = 0;  // 0: no UTF-8 character starts here
};

Decoded decodeUtf8(std::string_view text) {
  if (text.empty()) return {};
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return {lead, 1};
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || text.size() < length) return {};
  char32_t point = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return {};
    point = (point << 6) | (next & 0x3F);
  }
  constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (point < kShortest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
    return {};
  }
  return {point, length};
}

bool isControl(char32_t point) {
  return point < 0x20 || (point >= 0x7F && point <= 0x9F);
}

// The marks that turn the direction of the text after them (Unicode's Bidi_Control).
bool isBidirectionalControl(char32_t point) {
  return point == 0x061C || point == 0x200E || point == 0x200F ||
         (point >= 0x202A && point <= 0x202E) || (point >= 0x2066 && point <= 0x2069);
}

}  // namespace

std::size_t printableLength(std::string_view text) {
  const Decoded decoded = decodeUtf8(text);
  if (decoded.length == 0 || isControl(decoded.point) || isBidirectionalControl(decoded.point)) {
    return 0;
  }
  return decoded.length;
}

std::size_t controlLength(std::string_view text) {
  const Decoded decoded = decodeUtf8(text);
  return decoded.length != 0 && isControl(decoded.point) ? decoded.length : 0;
}

std::string escapedText(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(text.size());
  while (!text.empty()) {
    if (const std::size_t length = printableLength(text); length != 0) {
      shown += text.substr(0, length);
      text.remove_prefix(length);
      continue;
    }
    // Every byte of a character that does not print, so that none of them is lost.
    const std::size_t length = std::max<std::size_t>(1, decodeUtf8(text).length);
    for (std::size_t i = 0; i < length; ++i) {
      const auto byte = static_cast<unsigned char>(text[i]);
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    }
    text.remove_prefix(length);
  }
  return shown;
}

}  // namespace tradepl::platform
