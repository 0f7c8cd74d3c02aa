// Fuzzes the ledger with trades made straight from the input bytes, so that quantities,
// prices and fees reach every corner of their ranges far more often than through text.
// Each trade takes 34 bytes: its kind, its code (one of eight) and four 64-bit numbers.
// An input whose length leaves 17 or more bytes over whole trades runs the tax office's
// method, any other the moving average.
//
// Properties: no trade leaves a holding at zero or below, and a spot trade of 0 or fewer
// shares changes nothing (one left out for an amount out of range neither); every result
// has a finite average price and formats to one line of 11 columns. Under the tax office's
// method, every trade comes to what a model of the rules in 128-bit arithmetic says: the
// same result, the same note, or left out exactly when a figure leaves 64 bits.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "fuzz_checks.hpp"
#include "ledger/ledger.hpp"
#include "output/result_line.hpp"
#include "records/shift_jis.hpp"

namespace {

using namespace tradepl;

using fuzzing::columnsOf;
using fuzzing::require;

std::int64_t number(const std::uint8_t* bytes) {
  std::int64_t value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

// Prices as the reader hands them over: finite and below kPriceLimit in magnitude, in
// tenths of a yen, as a double and exactly.
std::int64_t tenths(std::int64_t raw) {
  return raw % 10'000'000'000'000'000;
}
double price(std::int64_t raw) {
  return static_cast<double>(tenths(raw)) / 10.0;
}
ExactPrice exactPrice(std::int64_t raw) {
  const std::int64_t value = tenths(raw);
  return {.digits = static_cast<std::uint64_t>(value < 0 ? -value : value),
          .decimals = 1,
          .negative = value < 0,
          .known = true};
}

const char* const kCodes[] = {"1", "2", "3", "4", "130A", "130B", "7203", "9984"};
const std::string kSpot(sjis::kSpot), kBuy(sjis::kBuy), kSell(sjis::kSell),
    kOpening(sjis::kMarginOpening), kClosing(sjis::kMarginClosing);

TradeRow tradeFrom(const std::uint8_t* bytes, std::uint64_t line) {
  TradeRow row;
  row.execDateTime() = Text("2024/03/05 14:55");
  row.stockName() = Text("NAME");
  row.account() = Text((bytes[1] & 8) != 0 ? "NISA" : "\x93\xC1\x92\xE8");  // or 特定
  const char* code = kCodes[bytes[1] % 8];
  row.setStockCode(code[0] == '1' && code[1] == '3' ? StockCode{0, Text(code)}
                                                    : StockCode{std::atoi(code), Text()});
  const std::int64_t a = number(bytes + 2), b = number(bytes + 10), c = number(bytes + 18),
                     d = number(bytes + 26);
  row.quantity = a;
  row.unitPrice = price(b);
  row.exactUnitPrice = exactPrice(b);
  row.commission = c;
  row.commissionTax = d;
  switch (bytes[0] % 4) {
    case 0:
      row.tradeType() = Text(kSpot);
      row.side() = Text(kBuy);
      break;
    case 1:
      row.tradeType() = Text(kSpot);
      row.side() = Text(kSell);
      break;
    case 2:
      row.tradeType() = Text(kOpening);
      break;
    default:
      row.tradeType() = Text(kClosing);
      row.positionPrice = price(c ^ d);
      row.interest = b;
      row.lendingFee = a;
      row.openCommission = d;
      row.settlementAmount = a ^ b;
      break;
  }
  row.kind = tradeKindOf(row.tradeType(), row.side());
  row.executed = ExecutionDateReader().read(row.execDateTime().view());
  row.line = line;
  return row;
}

// The tax office's method as the rules state it, in 128-bit arithmetic: every figure the
// ledger keeps in 64 bits is checked to fit.
class TaxModel {
 public:
  using Wide = __int128;

  // What the ledger must make of the trade.
  TradeOutcome apply(const TradeRow& trade) {
    if (trade.kind != TradeKind::spotPurchase && trade.kind != TradeKind::spotSale) {
      return {std::nullopt, std::nullopt};  // not compared
    }
    if (trade.quantity <= 0) return {};  // no holding takes it
    const Key key{std::string(trade.account().view()), trade.stockCode().number,
                  std::string(trade.stockCode().symbol.view())};
    const Wide value = floorTenths(Wide(trade.quantity) * Wide(tenths(valueRaw(trade))));
    return trade.kind == TradeKind::spotPurchase ? buy(key, trade, value) : sell(key, trade, value);
  }

 private:
  using Key = std::tuple<std::string, std::int64_t, std::string>;
  struct Holding {
    Wide shares;
    Wide cost;
  };

  static std::int64_t valueRaw(const TradeRow& trade) {
    // The raw number back from the exact price: tenths, signed.
    const auto digits = static_cast<std::int64_t>(trade.exactUnitPrice.digits);
    return trade.exactUnitPrice.negative ? -digits : digits;
  }
  static Wide floorTenths(Wide tenths) { return tenths >= 0 ? tenths / 10 : -((-tenths + 9) / 10); }
  static bool fits(Wide value) { return value >= INT64_MIN && value <= INT64_MAX; }
  static TradeOutcome leftOut() {
    return {std::nullopt, LedgerNote{LedgerNoteKind::amountOutOfRange, 0}};
  }

  TradeOutcome buy(const Key& key, const TradeRow& trade, Wide value) {
    const auto found = holdings_.find(key);
    const Holding held = found == holdings_.end() ? Holding{0, 0} : found->second;
    const Wide cost = value + trade.commission + trade.commissionTax + held.cost;
    const Wide shares = held.shares + trade.quantity;
    if (!fits(value) || !fits(value + trade.commission) ||
        !fits(value + trade.commission + trade.commissionTax) || !fits(cost) || !fits(shares)) {
      return leftOut();
    }
    if (shares <= 0) {
      holdings_.erase(key);
    } else {
      holdings_[key] = {shares, cost};
    }
    return {};
  }

  TradeOutcome sell(const Key& key, const TradeRow& trade, Wide proceeds) {
    const auto found = holdings_.find(key);
    if (found == holdings_.end()) {
      return {std::nullopt, LedgerNote{LedgerNoteKind::saleWithoutHolding, 0}};
    }
    const Holding held = found->second;
    Wide unit = held.cost / held.shares;
    if (held.cost % held.shares > 0) ++unit;  // rounded up
    const Wide acquisition = unit * trade.quantity;
    const Wide expenses = Wide(trade.commission) + trade.commissionTax;
    const Wide profit = proceeds - acquisition - expenses;
    const bool closes = trade.quantity >= held.shares;
    const Wide left = closes ? 0 : held.shares - trade.quantity;
    if (!fits(proceeds) || !fits(acquisition) || !fits(expenses) || !fits(proceeds - acquisition) ||
        !fits(profit) || !fits(left) || !fits(unit * left)) {
      return leftOut();
    }
    TradeOutcome outcome;
    outcome.result = ResultRow{.row = &trade,
                               .profit = static_cast<std::int64_t>(profit),
                               .averagePrice = static_cast<double>(unit)};
    if (closes) {
      if (trade.quantity > held.shares) {
        outcome.note =
            LedgerNote{LedgerNoteKind::soldMoreThanHeld, static_cast<std::int64_t>(held.shares)};
      }
      holdings_.erase(found);
    } else {
      found->second = {left, unit * left};
    }
    return outcome;
  }

  std::map<Key, Holding> holdings_;
};

void requireAsTheModelSays(const TradeOutcome& got, const TradeOutcome& expected) {
  require(got.result.has_value() == expected.result.has_value(),
          "a result where the model has one");
  if (got.result) {
    require(got.result->profit == expected.result->profit, "the profit of the model");
    require(got.result->averagePrice == expected.result->averagePrice, "the unit of the model");
  }
  require(got.note.has_value() == expected.note.has_value(), "a note where the model has one");
  if (got.note) {
    require(got.note->kind == expected.note->kind, "the note of the model");
    require(got.note->heldQuantity == expected.note->heldQuantity, "the shares the model held");
  }
}

// A result refers to its row, and so is looked at while the row is at hand.
void requireOneLine(const ResultRow& result) {
  require(std::isfinite(result.averagePrice), "averages are finite");
  std::string line;
  appendResultLine(line, result);
  require(line.size() > kLineEnd.size(), "a result line has text");
  line.resize(line.size() - kLineEnd.size());
  require(line.find('\n') == std::string::npos, "a result is one line");
  require(columnsOf(line) == 11, "a result line has 11 columns");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const bool taxOffice = size % 34 >= 17;
  HoldingLedger ledger(taxOffice ? CostMethod::taxOffice : CostMethod::movingAverage);
  TaxModel model;
  std::size_t trades = 0;
  for (std::size_t at = 0; at + 34 <= size; at += 34) {
    const TradeRow trade = tradeFrom(data + at, ++trades);
    const TradeOutcome outcome = ledger.apply(trade);
    if (taxOffice && (trade.kind == TradeKind::spotPurchase || trade.kind == TradeKind::spotSale)) {
      requireAsTheModelSays(outcome, model.apply(trade));
    }
    const std::optional<std::int64_t> held =
        ledger.sharesHeld(trade.account().view(), trade.stockCode());
    if (held) require(*held > 0, "a holding has shares, or is gone");
    if (outcome.result) requireOneLine(*outcome.result);
  }
  return 0;
}
