#pragma once
// The process and its console: how it starts, and how what it says reaches the user.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tradepl::platform {

// The arguments the program was started with, the program's name first: main's own
// elsewhere; on Windows, taken from the system in UTF-16 and converted to UTF-8.
std::vector<std::string> commandLine(int argc, char** argv);

// Sets the process up before a run: a closed pipe or console must not end the run before
// the result is written, so writing to one only fails; a standard stream that is closed
// altogether writes nowhere. On Windows, std::cout and std::cerr of a console write it in
// UTF-16 from the UTF-8 they are given.
void prepareProcess();

// True when descriptor `stream` (a standard stream, or another below 64) was closed when the
// process started, before prepareProcess gave the standard ones a place that writes nowhere:
// output meant for it cannot be written, and the number may now be a file of the program's.
bool streamClosedAtStart(int stream);

enum class StandardStream : std::uint8_t { output, error };

// How text reaches a stream on Windows: through the console itself, in UTF-16, when the
// stream is a console, so that every character shows whatever the console's code page is
// (chcp 932 or 437 alike); redirected to a file or a pipe, as bytes in the console's code
// page, left as they are when that is UTF-8 (65001).
enum class ConsoleText : std::uint8_t { utf16, codePage, utf8 };
ConsoleText consoleTextFor(bool streamIsConsole, unsigned codePage);

// Text composed in UTF-8, as `stream` takes it: unchanged here; on Windows in the console's
// code page (932 on a Japanese Windows), a character it lacks shown as '?', unless the
// stream is a console, which is written in UTF-16 (see prepareProcess).
std::string forConsole(std::string_view utf8, StandardStream stream = StandardStream::error);

// True when the user reads Japanese: a locale beginning with "ja" in LC_ALL, LC_MESSAGES
// or LANG, the first of them set; on Windows, Japanese as the user's display language.
bool userReadsJapanese();

// How many processes share this console: 1 when it was made for this program alone, as
// when Explorer starts it by a double-click; 0 without a console, and elsewhere.
unsigned processesOnConsole();

// True when standard output is a terminal or a console, not a file or a pipe.
bool standardOutputIsConsole();

// Waits until the user presses Enter.
void waitForEnter();

}  // namespace tradepl::platform
