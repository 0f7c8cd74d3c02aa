#include "platform/console.hpp"

#include <array>
#include <cstdio>

#include "platform/system.hpp"

namespace tradepl::platform {
namespace {

// The descriptors the caller left closed, found before anything else is opened: a name of
// one (/dev/fd/5) must not reach a file the program opened itself, a log or its copy.
std::array<bool, detail::kStreamsFollowed> gClosedAtStart{};

}  // namespace

namespace detail {

void noteClosedAtStart(std::size_t stream, bool closed) {
  if (stream < gClosedAtStart.size()) gClosedAtStart[stream] = closed;
}

}  // namespace detail

bool streamClosedAtStart(int stream) {
  return stream >= 0 && stream < static_cast<int>(gClosedAtStart.size()) &&
         gClosedAtStart[static_cast<std::size_t>(stream)];
}

ConsoleText consoleTextFor(bool streamIsConsole, unsigned codePage) {
  if (streamIsConsole) return ConsoleText::utf16;
  return codePage == 65001 ? ConsoleText::utf8 : ConsoleText::codePage;
}

void waitForEnter() {
  for (int c = std::getchar(); c != '\n' && c != EOF; c = std::getchar()) {
  }
}

}  // namespace tradepl::platform
