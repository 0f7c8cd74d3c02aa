#pragma once
// Everything the program tells the user on standard error goes through one Reporter: one
// buffered stream, one place that writes the "tradepl: " prefix.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace tradepl {

class Reporter {
 public:
  explicit Reporter(std::ostream& err) : err_(err) {}
  ~Reporter() { flush(); }
  Reporter(const Reporter&) = delete;
  Reporter& operator=(const Reporter&) = delete;

  // tradepl: MESSAGE
  void report(std::string_view message);
  // tradepl: FILE: MESSAGE
  void report(std::string_view file, std::string_view message);
  // tradepl: FILE:LINE: MESSAGE
  void report(std::string_view file, std::uint64_t line, std::string_view message);
  // A line as it stands, for the lines of the summary after its first.
  void write(std::string_view line) { say(std::string(line)); }

  void flush();

 private:
  void say(const std::string& line);

  std::ostream& err_;
  std::string pending_;
};

}  // namespace tradepl
