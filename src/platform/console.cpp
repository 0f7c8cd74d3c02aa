#include "platform/console.hpp"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#endif

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text.hpp"

namespace tradepl::platform {
namespace {

// The standard streams the caller closed, found before anything else is opened.
std::array<bool, 3> gClosedAtStart{};

}  // namespace

bool streamClosedAtStart(int stream) {
  return stream >= 0 && stream < static_cast<int>(gClosedAtStart.size()) &&
         gClosedAtStart[static_cast<std::size_t>(stream)];
}

void waitForEnter() {
  for (int c = std::getchar(); c != '\n' && c != EOF; c = std::getchar()) {
  }
}

#ifdef _WIN32

// The command line in UTF-16, whatever the system's code page: a path in any script reaches
// the program whole. The C runtime's argv would have it in the ANSI code page.
std::vector<std::string> commandLine(int, char**) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> utf8;
  for (int i = 0; i < count; ++i) utf8.push_back(narrow(arguments[i]));
  LocalFree(arguments);
  return utf8;
}

void prepareProcess() {
  const DWORD streams[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  for (std::size_t stream = 0; stream < gClosedAtStart.size(); ++stream) {
    const HANDLE handle = GetStdHandle(streams[stream]);
    gClosedAtStart[stream] = handle == nullptr || handle == INVALID_HANDLE_VALUE;
  }
}

std::string forConsole(std::string_view utf8) {
  // Redirected to a file there is no console, and its code page reads 0: the ANSI one.
  UINT codePage = GetConsoleOutputCP();
  if (codePage == 0) codePage = GetACP();
  if (codePage == CP_UTF8) return std::string(utf8);
  return narrow(widen(utf8), codePage);
}

bool userReadsJapanese() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

unsigned processesOnConsole() {
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2);
}

#else

std::vector<std::string> commandLine(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void prepareProcess() {
  std::signal(SIGPIPE, SIG_IGN);
  // A stream the caller closed would hand its number to the next file opened, and the
  // messages meant for it would end up in the result file.
  for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
    if (fcntl(stream, F_GETFD) != -1) continue;
    gClosedAtStart[static_cast<std::size_t>(stream)] = true;
    open("/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY);
  }
}

std::string forConsole(std::string_view utf8) {
  return std::string(utf8);
}

bool userReadsJapanese() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return std::string_view(value).starts_with("ja");
  }
  return false;
}

unsigned processesOnConsole() {
  return 0;
}

#endif

}  // namespace tradepl::platform
