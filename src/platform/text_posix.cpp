#include <iconv.h>

#include <cerrno>

#include "platform/text.hpp"

namespace tradepl::platform {

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

}  // namespace tradepl::platform
