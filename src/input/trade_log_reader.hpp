#pragma once
// Readers of the broker's two trade-history exports. Each turns the lines of its log into
// TradeRow records appended, in file order, to a shared TradeList:
//   spot log   (-g), 14 columns, keeps trade type 現物 (spot)
//   margin log (-s), 24 columns, keeps 信用新規 and 信用返済 (margin opening and closing)
//
// Dropped quietly: blank lines, line 1 when it does not read (the column headings), and
// rows of a trade type the reader does not keep. Every other line that does not read is
// reported back, with its line number and the reason, and the reading goes on.

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

// Reads one line, without its line end, into `row` (which the caller has cleared).
// The line is rewritten in place and the row's text fields point into it; see
// splitColumns for why line.data()[line.size()] must be writable.
LineReading readSpotLine(std::span<char> line, TradeRow& row);
LineReading readMarginLine(std::span<char> line, TradeRow& row);
LineReading readTradeLine(LogKind log, std::span<char> line, TradeRow& row);

// The log's column headings, in column order (Shift_JIS).
std::vector<std::string_view> columnHeadings(LogKind log);

// "column 10 (unit price): not a number", for a message about a skipped line.
std::string describe(const LineProblem& problem, LogKind log);

struct SkippedLine {
  std::uint64_t line = 0;
  LineProblem problem;
};

struct LogReport {
  std::string failure;  // why the log could not be read; empty when it was
  std::vector<SkippedLine> skipped;
  std::size_t kept = 0;

  bool readable() const { return failure.empty(); }
};

// Reads a whole log file, appending the rows it keeps; the list keeps copies of their
// texts, so nothing of the file stays in memory but the rows.
LogReport readSpotLog(TradeList& trades, const std::string& path);
LogReport readMarginLog(TradeList& trades, const std::string& path);
LogReport readTradeLines(TradeList& trades, LogKind log, const std::string& path);

// The same for a log already in memory.
LogReport readTradeBytes(TradeList& trades, LogKind log, std::string_view bytes);

}  // namespace tradepl
