#pragma once
// One line of the broker's two trade-history exports, read into a TradeRow:
//   spot log   (-g), 14 columns, keeps trade type 現物 (spot)
//   margin log (-s), 24 columns, keeps 信用新規 and 信用返済 (margin opening and closing)

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/records.hpp"

namespace tradepl {

enum class LineProblemKind : std::uint8_t {
  tooFewColumns,
  emptyText,
  nulByte,
  notANumber,
  outOfRange,
  notAStockCode,
  tooLong,   // longer than any log line: skipped without being kept
  utf8Text,  // a trade type in UTF-8: a line saved in the wrong encoding
};

struct LineProblem {
  LineProblemKind kind = LineProblemKind::tooFewColumns;
  std::uint8_t column = 0;        // 1-based column the problem is in
  std::uint8_t columnsFound = 0;  // for tooFewColumns
};

enum class LineVerdict : std::uint8_t { kept, otherTradeType, blank, unreadable };

struct LineReading {
  LineVerdict verdict = LineVerdict::unreadable;
  LineProblem problem;  // when unreadable
};

// Reads one line, without its line end, into `row`. A kept row has every column of the
// log's layout written, and its execution date read by `dates`; the columns the layout
// lacks are left as they were (cleared, for a fresh row). The row's texts view the line,
// whose quoted stretches are unquoted in place.
LineReading readTradeLine(LogKind log, std::span<char> line, TradeRow& row,
                          ExecutionDateReader& dates);
// The same for a line on its own.
LineReading readTradeLine(LogKind log, std::span<char> line, TradeRow& row);

// The log's column headings, in column order (Shift_JIS).
std::vector<std::string_view> columnHeadings(LogKind log);
// The log's heading line: its column headings joined with commas, as the broker writes it.
std::string headingLine(LogKind log);

// What a column holds, in English ("unit price"), for a message; column is 1-based.
std::string_view columnName(LogKind log, std::size_t column);
// How many columns a row of the log has.
std::size_t columnCount(LogKind log);

}  // namespace tradepl
