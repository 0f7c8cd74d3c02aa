#include "platform/text.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <algorithm>
#include <cerrno>

namespace tradepl::platform {

#ifdef _WIN32

std::wstring widen(std::string_view bytes, unsigned codePage) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int wideSize = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), wideSize);
  return wide;
}

std::string narrow(std::wstring_view wide, unsigned codePage) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, bytes.data(), length, nullptr, nullptr);
  return bytes;
}

std::string utf8FromShiftJis(std::string_view bytes) {
  return narrow(widen(bytes, 932));
}

bool shiftJisFromUtf8(std::string_view utf8, std::string& out) {
  const std::wstring wide = widen(utf8);
  out.clear();
  if (wide.empty()) return true;
  const int size = static_cast<int>(wide.size());
  BOOL lacksOne = FALSE;
  // No best fit: a character Shift_JIS lacks must not turn into a look-alike quietly.
  const int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0,
                                         nullptr, &lacksOne);
  if (length <= 0 || lacksOne) return false;
  out.resize(static_cast<std::size_t>(length));
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(), length, nullptr,
                      &lacksOne);
  return !lacksOne;
}

#else

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);  // what iconv_open fails with

// Converts `bytes` onto the end of `out`, a block at a time. At a byte that does not
// convert, `badByte` is told what was converted so far; true to go on after the byte, false
// to stop there. False when it stopped.
template <typename BadByte>
bool convert(iconv_t converter, std::string_view bytes, std::string& out, BadByte badByte) {
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  char block[256];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* at = block;
    std::size_t outLeft = sizeof block;
    const std::size_t done = iconv(converter, &in, &inLeft, &at, &outLeft);
    out.append(block, at);
    if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
      if (!badByte(out)) return false;
      ++in;
      --inLeft;
      iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return true;
}

}  // namespace

std::string utf8FromShiftJis(std::string_view bytes) {
  // glibc knows code page 932 as CP932; one conversion descriptor serves the whole run.
  static const iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == kNoConverter) return std::string(bytes);
  std::string utf8;
  convert(converter, bytes, utf8, [](std::string& converted) {
    converted += '?';  // not Shift_JIS, or cut short
    return true;
  });
  return utf8;
}

bool shiftJisFromUtf8(std::string_view utf8, std::string& out) {
  static const iconv_t converter = iconv_open("CP932", "UTF-8");
  out.clear();
  return converter != kNoConverter &&
         convert(converter, utf8, out, [](std::string&) { return false; });
}

#endif

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
