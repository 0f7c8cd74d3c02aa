#pragma once
// The process and its console: how it starts, and how what it says reaches the user.

#include <string>
#include <string_view>
#include <vector>

namespace tradepl::platform {

// The arguments the program was started with, the program's name first: main's own
// elsewhere; on Windows, taken from the system in UTF-16 and converted to UTF-8.
std::vector<std::string> commandLine(int argc, char** argv);

// Sets the process up before a run: a closed pipe or console must not end the run before
// the result is written, so writing to one only fails; a standard stream that is closed
// altogether writes nowhere.
void prepareProcess();

// True when standard stream `stream` (0, 1 or 2) was closed when the process started, before
// prepareProcess gave it a place that writes nowhere: output meant for it cannot be written.
bool streamClosedAtStart(int stream);

// Text composed in UTF-8, as the console shows it: unchanged here; on Windows in the
// console's code page (932 on a Japanese Windows), a character it lacks shown as '?'.
std::string forConsole(std::string_view utf8);

// True when the user reads Japanese: a locale beginning with "ja" in LC_ALL, LC_MESSAGES
// or LANG, the first of them set; on Windows, Japanese as the user's display language.
bool userReadsJapanese();

// How many processes share this console: 1 when it was made for this program alone, as
// when Explorer starts it by a double-click; 0 without a console, and elsewhere.
unsigned processesOnConsole();

// Waits until the user presses Enter.
void waitForEnter();

}  // namespace tradepl::platform
