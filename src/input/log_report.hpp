#pragma once
// What reading a log came to, or why it was not read at all.

#include <cstdint>

#include "platform/files.hpp"

namespace tradepl {

using platform::FileFailure;
using platform::FileProblem;

// Why a log is not read at all.
enum class LogRefusal : std::uint8_t {
  none,
  utf8,      // a UTF-8 byte-order mark, or the keywords in UTF-8 before any row was kept
  utf16,     // a UTF-16 byte-order mark
  nulBytes,  // NUL bytes, which no CSV log has: a spreadsheet file, a device
  otherLog,  // every row reads as the other kind of log
};

// What reading a log came to.
struct LogReport {
  LogRefusal refusal = LogRefusal::none;
  bool newestFirst = false;
  FileProblem failure;  // why the reading stopped early, if it did
  std::uint64_t lines = 0;
  std::uint64_t reached = 0;  // the number of the last line taken, 0 before any
  std::uint64_t kept = 0;
  std::uint64_t skipped = 0;
  std::uint64_t otherTradeTypes = 0;
  std::uint64_t blank = 0;

  bool readable() const { return !failure; }
};

}  // namespace tradepl
