#pragma once
// Windows only: between a code page's bytes and the UTF-16 of the system's calls. Paths
// are UTF-8 inside the program and widened for every call of the system.

#include <string>
#include <string_view>

namespace tradepl::platform {

// UTF-8 (code page 65001) unless told otherwise.
std::wstring widen(std::string_view bytes, unsigned codePage = 65001);
std::string narrow(std::wstring_view wide, unsigned codePage = 65001);

}  // namespace tradepl::platform
