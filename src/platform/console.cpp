#include "platform/console.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#endif

#include "platform/files.hpp"

namespace tradepl::platform {

#ifdef _WIN32

void prepareProcess() {}

std::string forConsole(std::string_view utf8) {
  // Redirected to a file there is no console, and its code page reads 0: the ANSI one.
  UINT codePage = GetConsoleOutputCP();
  if (codePage == 0) codePage = GetACP();
  if (codePage == CP_UTF8 || utf8.empty()) return std::string(utf8);
  const std::wstring wide = widen(utf8);
  const int size = static_cast<int>(wide.size());
  const int bytes =
      WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), bytes, nullptr, nullptr);
  return text;
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

#endif

}  // namespace tradepl::platform
