#pragma once
// One line of the broker's two trade-history exports, read into a TradeRow:
//   spot log   (-g), 14 columns, keeps trade type 現物 (spot)
//   margin log (-s), 24 columns, keeps 信用新規 and 信用返済 (margin opening and closing),
//                    and the deliveries 現引 or 品受 and 現渡 or 品渡

#include <cstdint>
#include <string>
#include <string_view>

#include "input/columns.hpp"
#include "records/log_kinds.hpp"
#include "records/records.hpp"

namespace tradepl {

enum class LineProblemKind : std::uint8_t {
  tooFewColumns,
  emptyText,
  nulByte,
  notANumber,
  outOfRange,
  notAStockCode,
  tooLong,            // longer than any log line: skipped without being kept
  utf8Text,           // a trade type in UTF-8: a line saved in the wrong encoding
  invalidUtf8,        // a line of a UTF-8 log that is not UTF-8
  notInShiftJis,      // a line of a UTF-8 log with a character Shift_JIS lacks
  notPositive,        // a spot trade or a delivery of 0 or fewer shares, which no holding can take
  deliveryNotReread,  // a 現引 or 現渡 of a log that can be read only once: left out
  neitherSide,        // a spot trade whose side is neither a purchase (買) nor a sale (売)
  shiftedColumns,     // more columns than the layout, and no date where the 受領日 stands
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

// Reads the lines of one log into TradeRows, one line at a time.
class TradeLineReader {
 public:
  explicit TradeLineReader(LogKind log) : log_(log) {}

  // Reads one line, without its line end, into `row`. A kept row has every column of the
  // log's layout written, its kind and its execution date read; the columns the layout
  // lacks are left as they were (cleared, for a fresh row). The row's texts view `line`, or
  // for quoted columns this reader's unquoted copy of it, until the next line is read.
  LineReading read(std::string_view line, TradeRow& row);

  // True for the log's heading line, as the usage text lists it, its columns quoted or not.
  // It splits the line with the same copy: a row read before no longer has its texts.
  bool isHeading(std::string_view line);

 private:
  LogKind log_;
  ColumnSplitter splitter_;
  ExecutionDateReader dates_;
};

// The column of the trade type (取引区分), in either layout.
inline constexpr std::uint8_t kTradeTypeColumn = 5;

// False for a line that cannot hold a delivery (現引, 品受, 現渡, 品渡): its trade type begins
// with neither 現 nor 品. A quick look, before a line is read, for a reading that wants
// deliveries alone.
bool mayBeDelivery(std::string_view line);

// The log's heading line: its column headings joined with commas, as the broker writes it.
std::string headingLine(LogKind log);

// What a column holds, in English ("unit price"), for a message; column is 1-based.
std::string_view columnName(LogKind log, std::size_t column);
// The column's heading in the log, in Shift_JIS (約定数量); column is 1-based.
std::string_view columnHeading(LogKind log, std::size_t column);
// How many columns a row of the log has.
std::size_t columnCount(LogKind log);

}  // namespace tradepl
