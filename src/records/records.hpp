#pragma once
// The records every step of a run shares: a trade as read from either log (TradeRow) and a
// realized result (ResultRow), which refers to the row it closes.
//
// Records are plain values that copy whole. Their text fields view the bytes they were read
// from (the line, or the reader's unquoted copy of it), so a row is used while those are at
// hand: the run takes each line from the reader through the ledger to the result file
// before it reads the next, and a row kept longer is copied with its texts (TradeRow::texts).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "records/dates.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {

enum class LogKind : std::uint8_t { spot, margin };

// What a row does, by its trade type (取引区分) and side (売買区分).
enum class TradeKind : std::uint8_t {
  other,          // a trade type neither log keeps, or a spot trade of neither side
  spotPurchase,   // 現物, a side that begins with 買
  spotSale,       // 現物, a side that begins with 売
  marginOpening,  // 信用新規
  marginClosing,  // 信用返済
  deliveryTake,   // 現引 or 品受: a long taken into the spot holding
  deliveryGive,   // 現渡 or 品渡: spot shares handed over to close a short
};

// The holdings a row moves, and so the part of the results its result stands in: a delivery
// is read from the margin log, but moves spot shares.
constexpr LogKind holdingsOf(TradeKind kind) {
  if (kind == TradeKind::marginOpening || kind == TradeKind::marginClosing) return LogKind::margin;
  return LogKind::spot;
}

// Shift_JIS bytes exactly as they stood in a log, never converted.
class Text {
 public:
  constexpr Text() = default;
  explicit constexpr Text(std::string_view bytes) : bytes_(bytes) {}

  constexpr std::string_view view() const { return bytes_; }
  constexpr bool empty() const { return bytes_.empty(); }

  // Keywords are compared as whole byte strings, never as prefixes.
  friend constexpr bool operator==(Text text, std::string_view bytes) {
    return text.bytes_ == bytes;
  }

 private:
  std::string_view bytes_;
};

// A security code: a number for most listings (7203, written 0007 for 7), or letters and
// digits for newer ones (130A), kept as written. The ledger keys its holdings on it.
struct StockCode {
  std::int64_t number = 0;  // used when symbol is empty
  Text symbol;              // the code as written when it holds a letter

  bool isSymbol() const { return !symbol.empty(); }

  friend bool operator==(const StockCode& a, const StockCode& b) {
    if (a.isSymbol() != b.isSymbol()) return false;
    return a.isSymbol() ? a.symbol.view() == b.symbol.view() : a.number == b.number;
  }
};

// A price exactly as written: all its digits as one whole number, and how many of them stand
// after the decimal point ("2345.5" is 23455 and 1), for amounts that must come out to the
// yen. Not `known` when its digits do not fit 64 bits.
struct ExactPrice {
  std::uint64_t digits = 0;
  std::uint8_t decimals = 0;
  bool negative = false;
  bool known = true;
};

// The side of a trade (売買区分), by its first character: brokers write 買, 買付 or 買埋 for
// a purchase and 売, 売付 or 売埋 for a sale, and a hand-edited log may leave a space after
// it. Anything else (入庫, a transfer in) is neither.
enum class Side : std::uint8_t { purchase, sale, neither };

constexpr Side sideOf(Text side) {
  if (side.view().starts_with(sjis::kBuy)) return Side::purchase;
  if (side.view().starts_with(sjis::kSell)) return Side::sale;
  return Side::neither;
}

// The trade-type keywords, and the side of a spot trade. The side of a delivery does not say
// what it does: its trade type does.
constexpr TradeKind tradeKindOf(Text tradeType, Text side) {
  if (tradeType == sjis::kSpot) {
    switch (sideOf(side)) {
      case Side::purchase:
        return TradeKind::spotPurchase;
      case Side::sale:
        return TradeKind::spotSale;
      case Side::neither:
        break;
    }
    return TradeKind::other;
  }
  if (tradeType == sjis::kMarginOpening) return TradeKind::marginOpening;
  if (tradeType == sjis::kMarginClosing) return TradeKind::marginClosing;
  if (tradeType == sjis::kDeliveryTake || tradeType == sjis::kDeliveryTakeFormal) {
    return TradeKind::deliveryTake;
  }
  if (tradeType == sjis::kDeliveryGive || tradeType == sjis::kDeliveryGiveFormal) {
    return TradeKind::deliveryGive;
  }
  return TradeKind::other;
}

// The texts of a row, by what they hold: kept in one array, so that code that copies a row
// with its texts (a day's rows spilled to a file and read back) reaches every one of them.
enum class RowText : std::uint8_t {
  execDateTime,  // year/month/day hour:minute
  stockSymbol,   // the stock code as written, when it holds a letter
  stockName,
  tradeType,
  side,
  market,
  account,
  settlementDate,
  marginType,  // margin log only
};
inline constexpr std::size_t kRowTextCount = static_cast<std::size_t>(RowText::marginType) + 1;

// One trade of either log. Columns the spot log does not have stay empty or 0.
// Unit and position prices are doubles, as the broker's statements compute with them, for
// stocks trade in 0.1-yen steps; each comes exactly as written too, for amounts in yen.
struct TradeRow {
  std::array<Text, kRowTextCount> texts{};
  std::int64_t execNo = 0;
  std::int64_t stockNumber = 0;  // the stock code, when it is a number
  std::int64_t quantity = 0;
  double unitPrice = 0.0;
  std::int64_t commission = 0;
  std::int64_t commissionTax = 0;
  std::int64_t settlementAmount = 0;
  // Margin log only.
  std::int64_t positionQty = 0;
  double positionPrice = 0.0;
  std::int64_t openCommission = 0;
  std::int64_t openCommissionTax = 0;
  std::int64_t managementFee = 0;
  std::int64_t transferFee = 0;
  std::int64_t interest = 0;
  std::int64_t lendingFee = 0;
  std::int64_t borrowingPremium = 0;

  // The prices exactly as written.
  ExactPrice exactUnitPrice;
  ExactPrice exactPositionPrice;
  // tradeType and side, and execDateTime, read once by the reader for every row it keeps.
  TradeKind kind = TradeKind::other;
  ExecutionDate executed;
  // Where the row was read, so that anything said about it names file and line: the kind
  // of log, which log of the run (in the order named), and the line.
  LogKind log = LogKind::spot;
  std::uint32_t source = 0;
  std::uint64_t line = 0;

  Text& text(RowText which) { return texts[static_cast<std::size_t>(which)]; }
  Text text(RowText which) const { return texts[static_cast<std::size_t>(which)]; }

  StockCode stockCode() const { return {stockNumber, text(RowText::stockSymbol)}; }
  void setStockCode(const StockCode& code) {
    stockNumber = code.number;
    text(RowText::stockSymbol) = code.symbol;
  }
  Text& execDateTime() { return text(RowText::execDateTime); }
  Text execDateTime() const { return text(RowText::execDateTime); }
  Text& stockName() { return text(RowText::stockName); }
  Text stockName() const { return text(RowText::stockName); }
  Text& tradeType() { return text(RowText::tradeType); }
  Text tradeType() const { return text(RowText::tradeType); }
  Text& side() { return text(RowText::side); }
  Text side() const { return text(RowText::side); }
  Text& market() { return text(RowText::market); }
  Text market() const { return text(RowText::market); }
  Text& account() { return text(RowText::account); }
  Text account() const { return text(RowText::account); }
  Text& settlementDate() { return text(RowText::settlementDate); }
  Text settlementDate() const { return text(RowText::settlementDate); }
  Text& marginType() { return text(RowText::marginType); }
  Text marginType() const { return text(RowText::marginType); }
};

// A realized result: the closing trade's row, which it refers to and so lives no longer than,
// with what the ledger makes of it: the price the shares went at (a delivery's is its
// position's), the fee columns as charged, the profit and the average acquisition price of the
// closed position. A result kept longer than its row is copied with a row of its own.
struct ResultRow {
  const TradeRow* row = nullptr;
  double unitPrice = 0.0;
  ExactPrice exactUnitPrice{};
  std::int64_t commission = 0;
  std::int64_t commissionTax = 0;
  std::int64_t profit = 0;
  double averagePrice = 0.0;
};

}  // namespace tradepl
