#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "platform/console.hpp"
#include "platform/system.hpp"

namespace tradepl::platform {

std::vector<std::string> commandLine(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void prepareProcess() {
  std::signal(SIGPIPE, SIG_IGN);
  // A stream the caller closed would hand its number to the next file opened, and the
  // messages meant for it would end up in the result file.
  for (std::size_t descriptor = 0; descriptor < detail::kStreamsFollowed; ++descriptor) {
    detail::noteClosedAtStart(descriptor, fcntl(static_cast<int>(descriptor), F_GETFD) == -1);
  }
  for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
    if (streamClosedAtStart(stream))
      open("/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY);
  }
}

std::string forConsole(std::string_view utf8, StandardStream) {
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

bool standardOutputIsConsole() {
  return isatty(STDOUT_FILENO) == 1;
}

}  // namespace tradepl::platform
