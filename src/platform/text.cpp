#include "platform/text.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

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

}  // namespace tradepl::platform
