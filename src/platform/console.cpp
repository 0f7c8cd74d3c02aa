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

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.hpp"

namespace tradepl::platform {
namespace {

// The descriptors the caller left closed, found before anything else is opened: a name of
// one (/dev/fd/5) must not reach a file the program opened itself, a log or its copy.
std::array<bool, 64> gClosedAtStart{};

}  // namespace

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

namespace {

bool isConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

HANDLE handleOf(StandardStream stream) {
  return GetStdHandle(stream == StandardStream::output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

// Redirected to a file there is no console, and its code page reads 0: the ANSI one.
UINT consoleCodePage() {
  const UINT codePage = GetConsoleOutputCP();
  return codePage != 0 ? codePage : GetACP();
}

// How long the start of `bytes` is that ends on a whole UTF-8 character: a character cut
// at the end of a block waits for its rest.
std::size_t wholeCharacters(std::string_view bytes) {
  for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
    const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? bytes.size() - back : bytes.size();
  }
  return bytes.size();
}

// A console's stream, written by the console itself in UTF-16. Text arrives in UTF-8; bytes
// that are not UTF-8 (the usage text's Shift_JIS headings) are read in the console's code
// page, as the console would have shown them.
class ConsoleBuffer final : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {}

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) pending_ += traits_type::to_char_type(c);
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* bytes, std::streamsize count) override {
    pending_.append(bytes, static_cast<std::size_t>(count));
    return count;
  }
  int sync() override {
    // Line by line: each line is UTF-8, or else in the console's code page.
    std::size_t done = 0;
    for (std::size_t end = pending_.find('\n'); end != std::string::npos;
         end = pending_.find('\n', done)) {
      show(std::string_view(pending_).substr(done, end + 1 - done));
      done = end + 1;
    }
    const std::string_view rest = std::string_view(pending_).substr(done);
    const std::size_t whole = wholeCharacters(rest);
    show(rest.substr(0, whole));
    pending_.erase(0, done + whole);
    return 0;
  }

 private:
  void show(std::string_view text) {
    if (text.empty()) return;
    const bool utf8 = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                          static_cast<int>(text.size()), nullptr, 0) != 0;
    const std::wstring wide = utf8 ? widen(text) : widen(text, consoleCodePage());
    std::wstring_view left(wide);
    while (!left.empty()) {
      DWORD wrote = 0;
      const auto chunk = static_cast<DWORD>(std::min<std::size_t>(left.size(), 16384));
      if (!WriteConsoleW(console_, left.data(), chunk, &wrote, nullptr) || wrote == 0) return;
      left.remove_prefix(wrote);
    }
  }

  HANDLE console_;
  std::string pending_;
};

}  // namespace

void prepareProcess() {
  const DWORD streams[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  for (std::size_t stream = 0; stream < std::size(streams); ++stream) {
    const HANDLE handle = GetStdHandle(streams[stream]);
    gClosedAtStart[stream] = handle == nullptr || handle == INVALID_HANDLE_VALUE;
  }
  // Never freed: the streams are flushed at exit, after every object of this file is gone.
  for (const auto& [stream, handle] : {std::pair(&std::cout, GetStdHandle(STD_OUTPUT_HANDLE)),
                                       std::pair(&std::cerr, GetStdHandle(STD_ERROR_HANDLE))}) {
    if (isConsole(handle)) stream->rdbuf(new ConsoleBuffer(handle));
  }
}

std::string forConsole(std::string_view utf8, StandardStream stream) {
  const UINT codePage = consoleCodePage();
  switch (consoleTextFor(isConsole(handleOf(stream)), codePage)) {
    case ConsoleText::utf16:  // the console's buffer converts it
    case ConsoleText::utf8:
      return std::string(utf8);
    case ConsoleText::codePage:
      break;
  }
  return narrow(widen(utf8), codePage);
}

bool userReadsJapanese() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

unsigned processesOnConsole() {
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2);
}

bool standardOutputIsConsole() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

#else

std::vector<std::string> commandLine(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void prepareProcess() {
  std::signal(SIGPIPE, SIG_IGN);
  // A stream the caller closed would hand its number to the next file opened, and the
  // messages meant for it would end up in the result file.
  for (std::size_t descriptor = 0; descriptor < gClosedAtStart.size(); ++descriptor) {
    gClosedAtStart[descriptor] = fcntl(static_cast<int>(descriptor), F_GETFD) == -1;
  }
  for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
    if (gClosedAtStart[static_cast<std::size_t>(stream)]) {
      open("/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    }
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

#endif

}  // namespace tradepl::platform
