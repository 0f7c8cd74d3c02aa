#pragma once
// Text as the platform has it: the line ends of its text files, and conversions between
// the encodings the program meets: the logs' Shift_JIS (code page 932), the UTF-8 in which
// messages and paths are kept (and on Windows the UTF-16 of the system's calls: wide.hpp).

#include <string>
#include <string_view>

namespace tradepl::platform {

// Text files end their lines as the platform's text mode writes them.
#ifdef _WIN32
inline constexpr std::string_view kLineEnd = "\r\n";
#else
inline constexpr std::string_view kLineEnd = "\n";
#endif

// A log's bytes as UTF-8, for a message that quotes them; a byte that is not Shift_JIS
// shows as '?'.
std::string utf8FromShiftJis(std::string_view bytes);

// Valid UTF-8 text as Shift_JIS (code page 932, with its NEC and IBM characters), into
// `out`; false when a character has no Shift_JIS form (an emoji, a rare kanji).
bool shiftJisFromUtf8(std::string_view utf8, std::string& out);

// How many bytes the character at the start of `text` takes when it is printable text in
// UTF-8, the encoding messages are composed in; 0 when it is not: a byte that starts no
// UTF-8 character, an overlong or cut one, a control (C0, DEL, C1) or a bidirectional
// control (U+202E and its kin), which would reorder what the terminal shows after it.
std::size_t printableLength(std::string_view text);

// A control character's length at the start of `text` (C0, DEL, or C1 written as UTF-8);
// 0 for anything else.
std::size_t controlLength(std::string_view text);

// `text` with every byte that is not part of printable text shown as \xNN, for a path in a
// message: it reaches the terminal as the bytes the user can retype, never as a command.
std::string escapedText(std::string_view text);

}  // namespace tradepl::platform
