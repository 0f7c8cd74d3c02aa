#include "app/reporter.hpp"

#include <string>

#include "platform/console.hpp"

namespace tradepl {
namespace {

// Messages are written out in blocks of about this size, not one write each: a log of bad
// lines would otherwise spend its time in the console.
constexpr std::size_t kFlushAt = 64 * 1024;

// A message quotes the logs (an account, a date) and paths: a control byte among them (ESC
// starting a terminal's command, a CR going back over the line) is shown as '?', so that
// nothing read reaches the terminal as a command. UTF-8 never uses these bytes inside a
// character, and C1 controls (U+0080 to U+009F, some terminals' commands too) go as well.
std::string withoutControls(std::string_view line) {
  std::string shown;
  shown.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto byte = static_cast<unsigned char>(line[i]);
    const bool isC1 = byte == 0xC2 && i + 1 < line.size() &&
                      static_cast<unsigned char>(line[i + 1]) >= 0x80 &&
                      static_cast<unsigned char>(line[i + 1]) <= 0x9F;
    if (byte < 0x20 || byte == 0x7F || isC1) {
      shown += '?';
      if (isC1) ++i;
    } else {
      shown += line[i];
    }
  }
  return shown;
}

}  // namespace

void Reporter::report(std::string_view message) {
  say("tradepl: " + std::string(message));
}

void Reporter::report(std::string_view file, std::string_view message) {
  say("tradepl: " + std::string(file) + ": " + std::string(message));
}

void Reporter::report(std::string_view file, std::uint64_t line, std::string_view message) {
  say("tradepl: " + std::string(file) + ':' + std::to_string(line) + ": " + std::string(message));
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
