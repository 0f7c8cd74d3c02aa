#include "platform/console.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#endif

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/files.hpp"

namespace tradepl::platform {

void waitForEnter() {
  for (int c = std::getchar(); c != '\n' && c != EOF; c = std::getchar()) {
  }
}

#ifdef _WIN32

void prepareProcess() {}

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

void prepareProcess() {
  std::signal(SIGPIPE, SIG_IGN);
  // A stream the caller closed would hand its number to the next file opened, and the
  // messages meant for it would end up in the result file.
  for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
    if (fcntl(stream, F_GETFD) == -1)
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
