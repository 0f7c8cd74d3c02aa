#pragma once
// Converting text between the encodings the program meets: the logs' Shift_JIS (code page
// 932) and the UTF-8 in which messages are composed before they reach the console.

#include <string>
#include <string_view>

namespace tradepl::platform {

// A log's bytes as UTF-8, for a message that quotes them; a byte that is not Shift_JIS
// shows as '?'.
std::string utf8FromShiftJis(std::string_view bytes);

}  // namespace tradepl::platform
