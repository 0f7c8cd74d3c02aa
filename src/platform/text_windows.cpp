#include <windows.h>

#include "platform/text.hpp"
#include "platform/wide.hpp"

namespace tradepl::platform {

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

}  // namespace tradepl::platform
