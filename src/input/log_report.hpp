#pragma once
// What reading a log came to, or why it was not read at all.

#include <cstdint>

#include "platform/files.hpp"

namespace tradepl {

using platform::FileFailure;
using platform::FileProblem;

// How a log's text is written: as the broker writes it, or as a spreadsheet saved it again.
enum class LogEncoding : std::uint8_t { shiftJis, utf8, utf16 };

// How a log lists its trades: its days, and the trades within each day. Exports list them
// oldest first or newest first; some list the days newest first but the trades of each day
// oldest first, and a log put together by hand may do the reverse.
enum class LogOrder : std::uint8_t {
  oldestFirst,
  newestFirst,
  daysNewestFirst,    // the days newest first, the trades of each day oldest first
  tradesNewestFirst,  // the days oldest first, the trades of each day newest first
};

// True when the log's days are read from its last line up.
constexpr bool daysFromTheEnd(LogOrder order) {
  return order == LogOrder::newestFirst || order == LogOrder::daysNewestFirst;
}

// Why a log is not read at all.
enum class LogRefusal : std::uint8_t {
  none,
  badUtf16,  // a UTF-16 byte-order mark, and then bytes that are not UTF-16
  workbook,  // a spreadsheet's own file (.xlsx, .xls), not one saved as CSV
  notText,   // NUL bytes, which no CSV text has: other binary data, a device
};

// What reading a log came to.
struct LogReport {
  LogOrder order = LogOrder::oldestFirst;
  LogEncoding savedIn = LogEncoding::shiftJis;  // other than Shift_JIS: converted as read
  FileProblem failure;                          // why the reading stopped early, if it did
  std::uint64_t lines = 0;
  std::uint64_t reached = 0;  // the number of the last line taken, 0 before any
  std::uint64_t kept = 0;
  std::uint64_t skipped = 0;
  std::uint64_t otherTradeTypes = 0;
  std::uint64_t blank = 0;
  std::uint64_t duplicates = 0;  // kept rows that another log holds too, counted once

  bool readable() const { return !failure; }
};

}  // namespace tradepl
