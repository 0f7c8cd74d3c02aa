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
