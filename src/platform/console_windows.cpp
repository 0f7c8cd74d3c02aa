#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <iostream>
#include <streambuf>
#include <utility>

#include "platform/console.hpp"
#include "platform/system.hpp"
#include "platform/wide.hpp"

namespace tradepl::platform {

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
    detail::noteClosedAtStart(stream, handle == nullptr || handle == INVALID_HANDLE_VALUE);
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

}  // namespace tradepl::platform
