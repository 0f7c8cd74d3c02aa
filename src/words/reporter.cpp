#include "words/reporter.hpp"

#include <string>

#include "platform/console.hpp"
#include "platform/text.hpp"

namespace tradepl {
namespace {

// Messages are written out in blocks of about this size, not one write each: a log of bad
// lines would otherwise spend its time in the console.
constexpr std::size_t kFlushAt = 64 * 1024;

// A message quotes the logs (an account, a date) and paths: a control among them (ESC
// starting a terminal's command, a CR going back over the line, a C1 control, some
// terminals' commands too) is shown as '?', so that nothing read reaches the terminal as a
// command; any other byte that is not printable text (one that is no UTF-8, a mark that
// turns the text's direction) is shown as \xNN.
std::string withoutControls(std::string_view line) {
  std::string shown;
  shown.reserve(line.size());
  while (!line.empty()) {
    const std::size_t printable = platform::printableLength(line);
    const std::size_t control = platform::controlLength(line);
    if (printable != 0) {
      shown += line.substr(0, printable);
    } else if (control != 0) {
      shown += '?';
    } else {
      // A byte at a time: the bytes after one that is no UTF-8 are looked at afresh.
      shown += platform::escapedText(line.substr(0, 1));
      line.remove_prefix(1);
      continue;
    }
    line.remove_prefix(printable + control);
  }
  return shown;
}

}  // namespace

void Reporter::report(std::string_view message) {
  say("tradepl: " + std::string(message));
}

void Reporter::report(std::string_view file, std::string_view message) {
  say("tradepl: " + platform::escapedText(file) + ": " + std::string(message));
}

void Reporter::report(std::string_view file, std::uint64_t line, std::string_view message) {
  say("tradepl: " + platform::escapedText(file) + ':' + std::to_string(line) + ": " +
      std::string(message));
}

void Reporter::say(const std::string& line) {
  pending_ += platform::forConsole(withoutControls(line));
  pending_ += '\n';
  if (pending_.size() >= kFlushAt) flush();
}

void Reporter::flush() {
  if (pending_.empty()) return;
  err_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
  err_.flush();
  pending_.clear();
}

}  // namespace tradepl
