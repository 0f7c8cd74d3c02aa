#include "app/reporter.hpp"

#include <string>

#include "platform/console.hpp"

namespace tradepl {
namespace {

// Messages are written out in blocks of about this size, not one write each: a log of bad
// lines would otherwise spend its time in the console.
constexpr std::size_t kFlushAt = 64 * 1024;

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
  pending_ += platform::forConsole(line);
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
