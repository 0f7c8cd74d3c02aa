#include "platform/text.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <cerrno>

namespace tradepl::platform {

#ifdef _WIN32

std::string utf8FromShiftJis(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int wideSize = MultiByteToWideChar(932, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
  MultiByteToWideChar(932, 0, bytes.data(), size, wide.data(), wideSize);
  const int utf8Size =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(utf8Size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, utf8.data(), utf8Size, nullptr, nullptr);
  return utf8;
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

#endif

}  // namespace tradepl::platform
