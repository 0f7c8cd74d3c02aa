#include "input/trade_log_reader.hpp"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "input/columns.hpp"
#include "platform/files.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

enum class ColumnKind : std::uint8_t { text, lastText, integer, price, stockCode };

// What one column of a layout holds and which TradeRow field it fills.
struct ColumnFormat {
  ColumnKind kind;
  std::string_view heading;  // as the log's heading line has it, Shift_JIS
  const char* name;          // for messages
  Text TradeRow::*text = nullptr;
  std::int64_t TradeRow::*integer = nullptr;
  double TradeRow::*price = nullptr;
};

constexpr ColumnFormat text(std::string_view heading, const char* name, Text TradeRow::*field) {
  return {ColumnKind::text, heading, name, field};
}
// The last column may be empty: the settlement date of a trade not yet settled.
constexpr ColumnFormat lastText(std::string_view heading, const char* name, Text TradeRow::*field) {
  return {ColumnKind::lastText, heading, name, field};
}
constexpr ColumnFormat integer(std::string_view heading, const char* name,
                               std::int64_t TradeRow::*field) {
  return {ColumnKind::integer, heading, name, nullptr, field};
}
constexpr ColumnFormat price(std::string_view heading, const char* name, double TradeRow::*field) {
  return {ColumnKind::price, heading, name, nullptr, nullptr, field};
}
constexpr ColumnFormat stockCode() {
  return {ColumnKind::stockCode, sjis::kStockCode, "stock code"};
}

constexpr std::array kSpotLayout{
    text(sjis::kExecDateTime, "execution date", &TradeRow::execDateTime),
    integer(sjis::kExecNo, "execution number", &TradeRow::execNo),
    stockCode(),
    text(sjis::kStockName, "stock name", &TradeRow::stockName),
    text(sjis::kTradeType, "trade type", &TradeRow::tradeType),
    text(sjis::kSide, "side", &TradeRow::side),
    text(sjis::kMarket, "market", &TradeRow::market),
    text(sjis::kAccount, "account", &TradeRow::account),
    integer(sjis::kQuantity, "quantity", &TradeRow::quantity),
    price(sjis::kUnitPrice, "unit price", &TradeRow::unitPrice),
    integer(sjis::kCommission, "commission", &TradeRow::commission),
    integer(sjis::kCommissionTax, "commission tax", &TradeRow::commissionTax),
    integer(sjis::kSettlementAmount, "settlement amount", &TradeRow::settlementAmount),
    lastText(sjis::kSettlementDate, "settlement date", &TradeRow::settlementDate),
};

constexpr std::array kMarginLayout{
    text(sjis::kExecDateTime, "execution date", &TradeRow::execDateTime),
    integer(sjis::kExecNo, "execution number", &TradeRow::execNo),
    stockCode(),
    text(sjis::kStockName, "stock name", &TradeRow::stockName),
    text(sjis::kTradeType, "trade type", &TradeRow::tradeType),
    text(sjis::kSide, "side", &TradeRow::side),
    text(sjis::kMarket, "market", &TradeRow::market),
    text(sjis::kAccount, "account", &TradeRow::account),
    text(sjis::kMarginType, "margin type", &TradeRow::marginType),
    integer(sjis::kQuantity, "quantity", &TradeRow::quantity),
    price(sjis::kUnitPrice, "unit price", &TradeRow::unitPrice),
    integer(sjis::kCommission, "commission", &TradeRow::commission),
    integer(sjis::kCommissionTax, "commission tax", &TradeRow::commissionTax),
    integer(sjis::kPositionQty, "position quantity", &TradeRow::positionQty),
    price(sjis::kPositionPrice, "position price", &TradeRow::positionPrice),
    integer(sjis::kOpenCommission, "opening commission", &TradeRow::openCommission),
    integer(sjis::kOpenCommissionTax, "opening commission tax", &TradeRow::openCommissionTax),
    integer(sjis::kManagementFee, "management fee", &TradeRow::managementFee),
    integer(sjis::kTransferFee, "transfer fee", &TradeRow::transferFee),
    integer(sjis::kInterest, "interest", &TradeRow::interest),
    integer(sjis::kLendingFee, "lending fee", &TradeRow::lendingFee),
    integer(sjis::kBorrowingPremium, "borrowing premium", &TradeRow::borrowingPremium),
    integer(sjis::kSettlementAmount, "settlement amount", &TradeRow::settlementAmount),
    lastText(sjis::kSettlementDate, "settlement date", &TradeRow::settlementDate),
};

constexpr std::size_t kMostColumns = kMarginLayout.size();

std::span<const ColumnFormat> layoutOf(LogKind log) {
  if (log == LogKind::spot) return kSpotLayout;
  return kMarginLayout;
}

bool keeps(LogKind log, Text tradeType) {
  if (log == LogKind::spot) return tradeType == sjis::kSpot;
  return tradeType == sjis::kMarginOpening || tradeType == sjis::kMarginClosing;
}

LineProblemKind numberProblemKind(NumberProblem problem) {
  return problem == NumberProblem::outOfRange ? LineProblemKind::outOfRange
                                              : LineProblemKind::notANumber;
}

// Fills the column's field; returns false and sets `problem` when the column does not read.
bool readColumn(const ColumnFormat& format, Column column, bool lineHasNul, TradeRow& row,
                LineProblemKind& problem) {
  switch (format.kind) {
    case ColumnKind::text:
    case ColumnKind::lastText:
      if (column.size == 0 && format.kind == ColumnKind::text) {
        problem = LineProblemKind::emptyText;
        return false;
      }
      // Text is kept NUL-terminated, so a NUL inside would silently cut it short.
      if (lineHasNul && std::memchr(column.begin, '\0', column.size) != nullptr) {
        problem = LineProblemKind::nulByte;
        return false;
      }
      row.*format.text = Text(column.begin);
      return true;
    case ColumnKind::integer: {
      const NumberProblem result = parseInteger(column.view(), row.*format.integer);
      if (result != NumberProblem::none) problem = numberProblemKind(result);
      return result == NumberProblem::none;
    }
    case ColumnKind::price: {
      const NumberProblem result = parsePrice(column.view(), row.*format.price);
      if (result != NumberProblem::none) problem = numberProblemKind(result);
      return result == NumberProblem::none;
    }
    case ColumnKind::stockCode:
      if (!parseStockCode(column, row.stockCode)) {
        problem = LineProblemKind::notAStockCode;
        return false;
      }
      return true;
  }
  return false;
}

LineReading unreadable(LineProblemKind kind, std::size_t column, std::size_t found = 0) {
  return {LineVerdict::unreadable,
          LineProblem{kind, static_cast<std::uint8_t>(column), static_cast<std::uint8_t>(found)}};
}

// Turns the lines of one log into rows: counts lines, drops quietly what is meant to be
// dropped, reports the rest, and copies the texts of each kept row into the list's text
// store, where they outlive the read buffer.
class LineReader {
 public:
  LineReader(TradeList& trades, LogKind log) : trades_(trades), log_(log) {}

  // Reads the line [begin, end), where end is the line's LF or the end of the log;
  // *end must be writable.
  void read(char* begin, char* end) {
    ++lineNumber_;
    if (end > begin && end[-1] == '\r') --end;
    TradeRow row;
    row.source = SourceLine(log_, lineNumber_);
    const LineReading reading =
        readTradeLine(log_, std::span<char>(begin, static_cast<std::size_t>(end - begin)), row);
    if (reading.verdict == LineVerdict::kept) {
      keepTexts(row);
      trades_.append(row);
      ++report_.kept;
    } else if (reading.verdict == LineVerdict::unreadable && lineNumber_ > 1) {
      report_.skipped.push_back({lineNumber_, reading.problem});
    }
  }

  // Reads every line that ends with an LF; returns how many bytes that took. The first
  // `searched` bytes are known to hold no LF, so a long line arriving in many small
  // reads is searched once, not again with every read.
  std::size_t readCompleteLines(char* begin, char* end, std::size_t searched = 0) {
    char* lineStart = begin;
    char* searchFrom = begin + searched;
    while (auto* newline = static_cast<char*>(
               std::memchr(searchFrom, '\n', static_cast<std::size_t>(end - searchFrom)))) {
      read(lineStart, newline);
      lineStart = searchFrom = newline + 1;
    }
    return static_cast<std::size_t>(lineStart - begin);
  }

  LogReport& report() { return report_; }

 private:
  // Most texts repeat the row before (trade type, side, market, account, often the dates),
  // so such a text shares the copy already stored instead of storing another.
  Text keep(std::size_t column, Text text) {
    Text& previous = previous_[column];
    if (std::strcmp(previous.c_str(), text.c_str()) != 0) {
      previous = trades_.text().store(text.view());
    }
    return previous;
  }

  void keepTexts(TradeRow& row) {
    const std::span<const ColumnFormat> layout = layoutOf(log_);
    for (std::size_t i = 0; i < layout.size(); ++i) {
      if (layout[i].text != nullptr) row.*layout[i].text = keep(i, row.*layout[i].text);
      if (layout[i].kind == ColumnKind::stockCode && row.stockCode.isSymbol()) {
        row.stockCode.symbol = keep(i, row.stockCode.symbol);
      }
    }
  }

  TradeList& trades_;
  LogKind log_;
  std::uint64_t lineNumber_ = 0;
  LogReport report_;
  std::array<Text, kMostColumns> previous_{};
};

// A buffer with one spare byte past its capacity, so that the last line always has a
// writable byte after it for its last column's NUL.
std::unique_ptr<char[]> lineBuffer(std::size_t capacity) {
  return std::make_unique_for_overwrite<char[]>(capacity + 1);
}

// Reads the file in large blocks, handing complete lines to the reader; a line longer
// than a block grows the block. Returns why the file could not be read, or "".
std::string readFileInBlocks(const std::string& path, LineReader& reader) {
  if (path.empty()) return "empty path";
  if (platform::isDirectory(path)) return "is a directory";
  std::FILE* file = platform::openForReading(path);
  if (file == nullptr) return platform::systemReason(errno);

  std::size_t capacity = std::size_t{1} << 20;
  std::unique_ptr<char[]> buffer = lineBuffer(capacity);
  std::size_t filled = 0;  // bytes in the buffer, all of them searched for an LF
  for (;;) {
    const std::size_t got = std::fread(buffer.get() + filled, 1, capacity - filled, file);
    if (got == 0) break;
    const std::size_t used =
        reader.readCompleteLines(buffer.get(), buffer.get() + filled + got, filled);
    filled = filled + got - used;
    std::memmove(buffer.get(), buffer.get() + used, filled);
    if (filled == capacity) {
      std::unique_ptr<char[]> larger = lineBuffer(capacity * 2);
      std::memcpy(larger.get(), buffer.get(), filled);
      buffer = std::move(larger);
      capacity *= 2;
    }
  }
  const bool failed = std::ferror(file) != 0;
  const int readError = errno;
  std::fclose(file);
  if (failed) return "read error: " + platform::systemReason(readError);
  if (filled > 0) reader.read(buffer.get(), buffer.get() + filled);  // no LF at the end
  return {};
}

}  // namespace

LineReading readTradeLine(LogKind log, std::span<char> line, TradeRow& row) {
  if (isBlank({line.data(), line.size()})) return {LineVerdict::blank, {}};
  const std::span<const ColumnFormat> layout = layoutOf(log);
  // Looked for once per line, before splitting writes NULs of its own.
  const bool hasNul = std::memchr(line.data(), '\0', line.size()) != nullptr;
  std::array<Column, kMostColumns> storage;
  const std::span<Column> columns(storage.data(), layout.size());
  const std::size_t found = splitColumns(line, columns);
  if (found < layout.size()) {
    return unreadable(LineProblemKind::tooFewColumns, found + 1, found);
  }
  for (std::size_t i = 0; i < layout.size(); ++i) {
    LineProblemKind problem{};
    if (!readColumn(layout[i], columns[i], hasNul, row, problem)) {
      return unreadable(problem, i + 1);
    }
  }
  if (!keeps(log, row.tradeType)) return {LineVerdict::otherTradeType, {}};
  return {LineVerdict::kept, {}};
}

LineReading readSpotLine(std::span<char> line, TradeRow& row) {
  return readTradeLine(LogKind::spot, line, row);
}

LineReading readMarginLine(std::span<char> line, TradeRow& row) {
  return readTradeLine(LogKind::margin, line, row);
}

std::vector<std::string_view> columnHeadings(LogKind log) {
  std::vector<std::string_view> headings;
  for (const ColumnFormat& column : layoutOf(log)) headings.push_back(column.heading);
  return headings;
}

std::string describe(const LineProblem& problem, LogKind log) {
  const std::span<const ColumnFormat> layout = layoutOf(log);
  if (problem.kind == LineProblemKind::tooFewColumns) {
    return std::to_string(problem.columnsFound) + " columns, " + std::to_string(layout.size()) +
           " expected";
  }
  std::string column = "column " + std::to_string(problem.column);
  if (problem.column >= 1 && problem.column <= layout.size()) {
    column += std::string(" (") + layout[problem.column - 1].name + ")";
  }
  switch (problem.kind) {
    case LineProblemKind::emptyText:
      return column + " is empty";
    case LineProblemKind::nulByte:
      return column + " holds a NUL byte";
    case LineProblemKind::notANumber:
      return column + ": not a number";
    case LineProblemKind::outOfRange:
      return column + ": out of range";
    case LineProblemKind::notAStockCode:
      return column + ": not a security code";
    case LineProblemKind::tooFewColumns:
      break;
  }
  return column;
}

LogReport readTradeLines(TradeList& trades, LogKind log, const std::string& path) {
  LineReader reader(trades, log);
  std::string failure = readFileInBlocks(path, reader);
  LogReport report = std::move(reader.report());
  report.failure = std::move(failure);
  return report;
}

LogReport readSpotLog(TradeList& trades, const std::string& path) {
  return readTradeLines(trades, LogKind::spot, path);
}

LogReport readMarginLog(TradeList& trades, const std::string& path) {
  return readTradeLines(trades, LogKind::margin, path);
}

LogReport readTradeBytes(TradeList& trades, LogKind log, std::string_view bytes) {
  std::unique_ptr<char[]> copy = lineBuffer(bytes.size());
  if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());  // data() may be null
  char* const end = copy.get() + bytes.size();
  LineReader reader(trades, log);
  char* const rest = copy.get() + reader.readCompleteLines(copy.get(), end);
  if (rest != end) reader.read(rest, end);
  return std::move(reader.report());
}

}  // namespace tradepl
