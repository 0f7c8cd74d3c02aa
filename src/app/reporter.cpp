#include "app/reporter.hpp"

#include <charconv>

namespace tradepl {
namespace {

// Messages are written out in blocks of about this size, not one write each: a log of bad
// lines would otherwise spend its time in the console.
constexpr std::size_t kFlushAt = 64 * 1024;

}  // namespace

void Reporter::report(std::string_view message) {
  pending_ += "tradepl: ";
  finish(message);
}

void Reporter::report(std::string_view file, std::string_view message) {
  pending_ += "tradepl: ";
  pending_ += file;
  pending_ += ": ";
  finish(message);
}

void Reporter::report(std::string_view file, std::uint64_t line, std::string_view message) {
  char number[24];
  const auto written = std::to_chars(number, number + sizeof number, line);
  pending_ += "tradepl: ";
  pending_ += file;
  pending_ += ':';
  pending_.append(number, written.ptr);
  pending_ += ": ";
  finish(message);
}

void Reporter::finish(std::string_view message) {
  pending_ += message;
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
