#include "platform/text.hpp"

#ifndef _WIN32
#include <iconv.h>
#endif

#include <cerrno>

#include "platform/files.hpp"

namespace tradepl::platform {

#ifdef _WIN32

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
