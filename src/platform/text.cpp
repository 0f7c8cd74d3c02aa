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

std::string utf8FromShiftJis(std::string_view bytes) {
  // glibc knows code page 932 as CP932; one conversion descriptor serves the whole run.
  static const iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  std::string utf8;
  char out[256];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* at = out;
    std::size_t outLeft = sizeof out;
    const std::size_t done = iconv(converter, &in, &inLeft, &at, &outLeft);
    utf8.append(out, at);
    if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
      utf8 += '?';  // not Shift_JIS, or cut short: skip the byte
      ++in;
      --inLeft;
      iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return utf8;
}

bool shiftJisFromUtf8(std::string_view utf8, std::string& out) {
  static const iconv_t converter = iconv_open("CP932", "UTF-8");
  out.clear();
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  char buffer[256];
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  while (inLeft > 0) {
    char* at = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t done = iconv(converter, &in, &inLeft, &at, &outLeft);
    out.append(buffer, at);
    if (done == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
  }
  return true;
}

#endif

}  // namespace tradepl::platform
