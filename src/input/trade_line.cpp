#include "input/trade_line.hpp"

#include <array>
#include <utility>

#include "input/number_grammar.hpp"
#include "records/dates.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

enum class ColumnKind : std::uint8_t { text, lastText, integer, price, stockCode };

// What one column of a layout holds and which TradeRow field it fills.
struct ColumnFormat {
  ColumnKind kind;
  std::string_view heading;              // as the log's heading line has it, Shift_JIS
  const char* name;                      // for messages
  RowText text = RowText::execDateTime;  // for a text column
  std::int64_t TradeRow::*integer = nullptr;
  double TradeRow::*price = nullptr;
  ExactPrice TradeRow::*exactPrice = nullptr;
};

constexpr ColumnFormat text(std::string_view heading, const char* name, RowText field) {
  return {ColumnKind::text, heading, name, field};
}
// The last column may be empty: the settlement date of a trade not yet settled.
constexpr ColumnFormat lastText(std::string_view heading, const char* name, RowText field) {
  return {ColumnKind::lastText, heading, name, field};
}
constexpr ColumnFormat integer(std::string_view heading, const char* name,
                               std::int64_t TradeRow::*field) {
  return {ColumnKind::integer, heading, name, RowText::execDateTime, field};
}
constexpr ColumnFormat price(std::string_view heading, const char* name, double TradeRow::*field,
                             ExactPrice TradeRow::*exact) {
  return {ColumnKind::price, heading, name, RowText::execDateTime, nullptr, field, exact};
}
constexpr ColumnFormat stockCode() {
  return {ColumnKind::stockCode, sjis::kStockCode, "stock code"};
}

constexpr std::array kSpotLayout{
    text(sjis::kExecDateTime, "execution date", RowText::execDateTime),
    integer(sjis::kExecNo, "execution number", &TradeRow::execNo),
    stockCode(),
    text(sjis::kStockName, "stock name", RowText::stockName),
    text(sjis::kTradeType, "trade type", RowText::tradeType),
    text(sjis::kSide, "side", RowText::side),
    text(sjis::kMarket, "market", RowText::market),
    text(sjis::kAccount, "account", RowText::account),
    integer(sjis::kQuantity, "quantity", &TradeRow::quantity),
    price(sjis::kUnitPrice, "unit price", &TradeRow::unitPrice, &TradeRow::exactUnitPrice),
    integer(sjis::kCommission, "commission", &TradeRow::commission),
    integer(sjis::kCommissionTax, "commission tax", &TradeRow::commissionTax),
    integer(sjis::kSettlementAmount, "settlement amount", &TradeRow::settlementAmount),
    lastText(sjis::kSettlementDate, "settlement date", RowText::settlementDate),
};

constexpr std::array kMarginLayout{
    text(sjis::kExecDateTime, "execution date", RowText::execDateTime),
    integer(sjis::kExecNo, "execution number", &TradeRow::execNo),
    stockCode(),
    text(sjis::kStockName, "stock name", RowText::stockName),
    text(sjis::kTradeType, "trade type", RowText::tradeType),
    text(sjis::kSide, "side", RowText::side),
    text(sjis::kMarket, "market", RowText::market),
    text(sjis::kAccount, "account", RowText::account),
    text(sjis::kMarginType, "margin type", RowText::marginType),
    integer(sjis::kQuantity, "quantity", &TradeRow::quantity),
    price(sjis::kUnitPrice, "unit price", &TradeRow::unitPrice, &TradeRow::exactUnitPrice),
    integer(sjis::kCommission, "commission", &TradeRow::commission),
    integer(sjis::kCommissionTax, "commission tax", &TradeRow::commissionTax),
    integer(sjis::kPositionQty, "position quantity", &TradeRow::positionQty),
    price(sjis::kPositionPrice, "position price", &TradeRow::positionPrice,
          &TradeRow::exactPositionPrice),
    integer(sjis::kOpenCommission, "opening commission", &TradeRow::openCommission),
    integer(sjis::kOpenCommissionTax, "opening commission tax", &TradeRow::openCommissionTax),
    integer(sjis::kManagementFee, "management fee", &TradeRow::managementFee),
    integer(sjis::kTransferFee, "transfer fee", &TradeRow::transferFee),
    integer(sjis::kInterest, "interest", &TradeRow::interest),
    integer(sjis::kLendingFee, "lending fee", &TradeRow::lendingFee),
    integer(sjis::kBorrowingPremium, "borrowing premium", &TradeRow::borrowingPremium),
    integer(sjis::kSettlementAmount, "settlement amount", &TradeRow::settlementAmount),
    lastText(sjis::kSettlementDate, "settlement date", RowText::settlementDate),
};

static_assert(kSpotLayout[factsOf(LogKind::spot).quantityColumn - 1].heading == sjis::kQuantity);
static_assert(kSpotLayout[kTradeTypeColumn - 1].heading == sjis::kTradeType);
static_assert(kMarginLayout[kTradeTypeColumn - 1].heading == sjis::kTradeType);
static_assert(kMarginLayout[factsOf(LogKind::margin).quantityColumn - 1].heading ==
              sjis::kQuantity);
constexpr std::size_t kSideColumn = 6;
static_assert(kSpotLayout[kSideColumn - 1].heading == sjis::kSide);
static_assert(kSpotLayout.back().heading == sjis::kSettlementDate);
static_assert(kMarginLayout.back().heading == sjis::kSettlementDate);

std::span<const ColumnFormat> layoutOf(LogKind log) {
  if (log == LogKind::spot) return kSpotLayout;
  return kMarginLayout;
}

// A spot trade that is neither bought nor sold (入庫, a side mistyped) would otherwise pass
// for another trade type, quietly: said, since a holding may be missing it.
bool isSpotOfNeitherSide(LogKind log, const TradeRow& row) {
  return log == LogKind::spot && row.tradeType() == sjis::kSpot &&
         sideOf(row.side()) == Side::neither;
}

// A spreadsheet that drops the quotes around "2,650" splits the amount in two: every column
// after it moves one to the right, and the row would read with a price of 2 and a commission
// of 650. The last column then holds what stood before it, not the 受領日. A row whose extra
// columns follow a real date (a trailing comma) reads as it is.
bool looksShifted(std::size_t found, std::size_t columns, std::string_view settlementDate) {
  return found > columns && !dayOf(readCalendarDate(settlementDate));
}

// Fills the field of column I of the layout; returns false and sets `problem` when the
// column does not read. The layouts are known when the program is built, so each column's
// reading is compiled for what it holds, without a choice to make per column.
//
// kRoomBefore: every number column ends eight bytes or more into the line, which it views;
// each is then read with one load. Inlined, each column's reading: GCC left the stock
// code's out of line, a call of 77 instructions where 30 do (19 million on 2 x 200,000 lines).
template <const auto& kLayout, bool kRoomBefore, std::size_t I>
TRADEPL_INLINE_DIGITS bool readColumn(std::string_view column, bool lineHasNul, TradeRow& row,
                                      LineProblemKind& problem) {
  constexpr const ColumnFormat& format = kLayout[I];
  if constexpr (format.kind == ColumnKind::text || format.kind == ColumnKind::lastText) {
    if (format.kind == ColumnKind::text && column.empty()) {
      problem = LineProblemKind::emptyText;
      return false;
    }
    // No export writes a NUL; one in a text column means the file is not a log.
    if (lineHasNul && column.find('\0') != std::string_view::npos) {
      problem = LineProblemKind::nulByte;
      return false;
    }
    row.text(format.text) = Text(column);
    return true;
  } else if constexpr (format.kind == ColumnKind::stockCode) {
    StockCode code;
    if (readStockCode(column, code, kRoomBefore)) {
      row.setStockCode(code);
      return true;
    }
    problem = LineProblemKind::notAStockCode;
    return false;
  } else {
    NumberProblem result;
    if constexpr (format.kind == ColumnKind::integer) {
      result = readInteger(column, row.*format.integer, kRoomBefore);
    } else {
      result = readPrice(column, row.*format.price, row.*format.exactPrice, kRoomBefore);
    }
    if (result == NumberProblem::none) return true;
    problem = result == NumberProblem::outOfRange ? LineProblemKind::outOfRange
                                                  : LineProblemKind::notANumber;
    return false;
  }
}

// Reads the columns in order; returns the 1-based number of the first that does not read,
// or 0.
template <const auto& kLayout, bool kRoomBefore, std::size_t... I>
std::size_t readColumns(const Column* columns, bool lineHasNul, TradeRow& row,
                        LineProblemKind& problem, std::index_sequence<I...>) {
  std::size_t failed = 0;
  (void)((readColumn<kLayout, kRoomBefore, I>(columns[I].view(), lineHasNul, row, problem) ||
          (failed = I + 1, false)) &&
         ...);
  return failed;
}

// Whether every number column of the line ends eight bytes or more into it, and views it.
// A line with neither quote nor NUL has every column in it (a quote leaves the columns after
// it in the splitter's copy, and says a NUL may stand in them); the first number column
// comes after the date, and the columns after it end further on.
template <const auto& kLayout>
bool roomBeforeNumbers(std::string_view line, const Column* columns, bool hasNul) {
  static_assert(kLayout[0].kind == ColumnKind::text && kLayout[1].kind == ColumnKind::integer);
  return !hasNul && columns[1].data + columns[1].size - line.data() >= 8;
}

LineReading unreadable(LineProblemKind kind, std::size_t column, std::size_t found = 0) {
  return {LineVerdict::unreadable,
          LineProblem{kind, static_cast<std::uint8_t>(column), static_cast<std::uint8_t>(found)}};
}

template <const auto& kLayout>
LineReading readLine(LogKind log, std::string_view line, TradeRow& row, ColumnSplitter& splitter,
                     ExecutionDateReader& dates) {
  // A row begins with its date: the first byte spares a call for nearly every line.
  if ((line.empty() || isSpaceOrTab(line.front())) && isBlank(line)) {
    return {LineVerdict::blank, {}};
  }
  constexpr std::size_t kColumns = kLayout.size();
  // One more, to tell a row that has more; the slack is written over as the split likes.
  std::array<Column, kColumns + 1 + kColumnSlack> columns;
  bool hasNul = false;
  const std::size_t found = splitter.split(line, columns, kColumnSlack, hasNul);
  if (found < kColumns) return unreadable(LineProblemKind::tooFewColumns, found + 1, found);
  if (looksShifted(found, kColumns, columns[kColumns - 1].view())) {
    return unreadable(LineProblemKind::shiftedColumns, kColumns);
  }
  LineProblemKind problem{};
  const std::size_t failed =
      roomBeforeNumbers<kLayout>(line, columns.data(), hasNul)
          ? readColumns<kLayout, true>(columns.data(), hasNul, row, problem,
                                       std::make_index_sequence<kColumns>())
          : readColumns<kLayout, false>(columns.data(), hasNul, row, problem,
                                        std::make_index_sequence<kColumns>());
  if (failed != 0) return unreadable(problem, failed);
  row.kind = tradeKindOf(row.tradeType(), row.side());
  if (isSpotOfNeitherSide(log, row)) return unreadable(LineProblemKind::neitherSide, kSideColumn);
  if (!factsOf(log).keeps(row.kind)) return {LineVerdict::otherTradeType, {}};
  // A purchase of -100 shares would make a holding of -100, a sale of -50 grow one; so would
  // a delivery, which moves spot shares too. Margin closings keep their quantities: the
  // result comes from the row's own amounts.
  if (holdingsOf(row.kind) == LogKind::spot && row.quantity <= 0) {
    return unreadable(LineProblemKind::notPositive, factsOf(log).quantityColumn);
  }
  row.executed = dates.read(row.execDateTime().view());
  return {LineVerdict::kept, {}};
}

}  // namespace

LineReading TradeLineReader::read(std::string_view line, TradeRow& row) {
  if (log_ == LogKind::spot) return readLine<kSpotLayout>(log_, line, row, splitter_, dates_);
  return readLine<kMarginLayout>(log_, line, row, splitter_, dates_);
}

bool TradeLineReader::isHeading(std::string_view line) {
  const std::span<const ColumnFormat> layout = layoutOf(log_);
  std::array<Column, kMarginLayout.size() + 1> columns;
  bool mayHoldNul = false;
  const std::size_t found =
      splitter_.split(line, std::span(columns).first(layout.size() + 1), mayHoldNul);
  if (found != layout.size()) return false;
  for (std::size_t i = 0; i < found; ++i) {
    if (columns[i].view() != layout[i].heading) return false;
  }
  return true;
}

std::string headingLine(LogKind log) {
  std::string line;
  for (const ColumnFormat& column : layoutOf(log)) {
    if (!line.empty()) line += ',';
    line += column.heading;
  }
  return line;
}

std::string_view columnName(LogKind log, std::size_t column) {
  const std::span<const ColumnFormat> layout = layoutOf(log);
  return column >= 1 && column <= layout.size() ? layout[column - 1].name : "";
}

std::string_view columnHeading(LogKind log, std::size_t column) {
  const std::span<const ColumnFormat> layout = layoutOf(log);
  return column >= 1 && column <= layout.size() ? layout[column - 1].heading : "";
}

std::size_t columnCount(LogKind log) {
  return layoutOf(log).size();
}

bool mayBeDelivery(std::string_view line) {
  // The trade type's column, found by its commas; a quote before it may hide a comma, and
  // the whole reading then decides.
  std::size_t start = 0;
  for (std::size_t column = 1; column < kTradeTypeColumn; ++column) {
    const std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) return false;  // too few columns for any row
    start = comma + 1;
  }
  if (line.substr(0, start).find('"') != std::string_view::npos) return true;
  std::string_view tradeType = line.substr(start);
  if (tradeType.starts_with('"')) tradeType.remove_prefix(1);
  // The first character of each delivery's trade type, 現 or 品.
  static_assert(sjis::kDeliveryGive.substr(0, 2) == sjis::kDeliveryTake.substr(0, 2));
  static_assert(sjis::kDeliveryGiveFormal.substr(0, 2) == sjis::kDeliveryTakeFormal.substr(0, 2));
  return tradeType.starts_with(sjis::kDeliveryTake.substr(0, 2)) ||
         tradeType.starts_with(sjis::kDeliveryTakeFormal.substr(0, 2));
}

}  // namespace tradepl
