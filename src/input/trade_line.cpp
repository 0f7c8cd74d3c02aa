#include "input/trade_line.hpp"

#include <array>
#include <cstring>

#include "input/columns.hpp"
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
bool readColumn(const ColumnFormat& format, std::string_view column, bool lineHasNul, TradeRow& row,
                LineProblemKind& problem) {
  switch (format.kind) {
    case ColumnKind::text:
    case ColumnKind::lastText:
      if (column.empty() && format.kind == ColumnKind::text) {
        problem = LineProblemKind::emptyText;
        return false;
      }
      // No export writes a NUL; one in a text column means the file is not a log.
      if (lineHasNul && column.find('\0') != std::string_view::npos) {
        problem = LineProblemKind::nulByte;
        return false;
      }
      row.*format.text = Text(column);
      return true;
    case ColumnKind::integer: {
      const NumberProblem result = parseInteger(column, row.*format.integer);
      if (result != NumberProblem::none) problem = numberProblemKind(result);
      return result == NumberProblem::none;
    }
    case ColumnKind::price: {
      const NumberProblem result = parsePrice(column, row.*format.price);
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
    if (!readColumn(layout[i], columns[i].view(), hasNul, row, problem)) {
      return unreadable(problem, i + 1);
    }
  }
  if (!keeps(log, row.tradeType)) return {LineVerdict::otherTradeType, {}};
  row.executed = readExecutionDate(row.execDateTime.view());
  return {LineVerdict::kept, {}};
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

}  // namespace tradepl
