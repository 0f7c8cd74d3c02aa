#include "ledger/ledger.hpp"

#include <cmath>
#include <limits>
#include <optional>

#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

using Limits = std::numeric_limits<std::int64_t>;

// Integer sums are checked rather than trusted: a log edited by hand can hold any 64-bit
// amount, and a wrapped sum would be a plausible-looking wrong number.
std::optional<std::int64_t> add(std::int64_t a, std::int64_t b) {
  if ((b > 0 && a > Limits::max() - b) || (b < 0 && a < Limits::min() - b)) return std::nullopt;
  return a + b;
}

std::optional<std::int64_t> subtract(std::int64_t a, std::int64_t b) {
  if ((b < 0 && a > Limits::max() + b) || (b > 0 && a < Limits::min() + b)) return std::nullopt;
  return a - b;
}

std::optional<std::int64_t> absolute(std::int64_t value) {
  if (value == Limits::min()) return std::nullopt;
  return value < 0 ? -value : value;
}

// Sum of absolute values; margin fees are charged whatever sign the log gives them.
std::optional<std::int64_t> sumOfAbsolutes(std::initializer_list<std::int64_t> values) {
  std::optional<std::int64_t> sum = 0;
  for (const std::int64_t value : values) {
    const std::optional<std::int64_t> magnitude = absolute(value);
    if (!magnitude) return std::nullopt;
    sum = add(*sum, *magnitude);
    if (!sum) return std::nullopt;
  }
  return sum;
}

// Truncates toward zero, as a C cast of the profit would, when the result fits.
std::optional<std::int64_t> truncateToYen(double amount) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  const double truncated = std::trunc(amount);
  if (!(truncated >= -kTwoTo63 && truncated < kTwoTo63)) return std::nullopt;  // NaN too
  return static_cast<std::int64_t>(truncated);
}

TradeOutcome noted(LedgerNoteKind kind) {
  return {std::nullopt, LedgerNote{kind, 0}};
}

TradeOutcome closeMarginPosition(const TradeRow& trade) {
  const std::optional<std::int64_t> fees =
      sumOfAbsolutes({trade.borrowingPremium, trade.lendingFee, trade.interest, trade.transferFee,
                      trade.managementFee, trade.openCommission, trade.commission});
  const std::optional<std::int64_t> feeTax =
      sumOfAbsolutes({trade.openCommissionTax, trade.commissionTax});
  if (!fees || !feeTax) return noted(LedgerNoteKind::amountOutOfRange);

  TradeOutcome outcome;
  outcome.result = ResultRow{
      .trade = trade, .profit = trade.settlementAmount, .averagePrice = trade.positionPrice};
  outcome.result->trade.commission = *fees;
  outcome.result->trade.commissionTax = *feeTax;
  return outcome;
}

HoldingKey keyOf(const StockCode& code) {
  return {code.number, std::string(code.symbol.view())};
}

TradeOutcome buy(HoldingLedger& ledger, const TradeRow& trade) {
  const auto found = ledger.find(trade.stockCode);
  if (found == ledger.end()) {
    ledger.emplace(keyOf(trade.stockCode),
                   Holding{trade.quantity, trade.unitPrice, trade.commission, trade.commissionTax});
    return {};
  }
  Holding& holding = found->second;
  const std::optional<std::int64_t> quantity = add(holding.quantity, trade.quantity);
  const std::optional<std::int64_t> commission = add(holding.pendingCommission, trade.commission);
  const std::optional<std::int64_t> tax = add(holding.pendingCommissionTax, trade.commissionTax);
  double average = holding.averagePrice;
  // A purchase that brings the holding to exactly zero (a negative correction row) keeps
  // the average it had instead of dividing by zero.
  if (quantity && *quantity != 0) {
    average = (static_cast<double>(trade.quantity) * trade.unitPrice +
               holding.averagePrice * static_cast<double>(holding.quantity)) /
              static_cast<double>(*quantity);
  }
  if (!quantity || !commission || !tax || !std::isfinite(average)) {
    return noted(LedgerNoteKind::amountOutOfRange);
  }
  holding = {*quantity, average, *commission, *tax};
  return {};
}

TradeOutcome sell(HoldingLedger& ledger, const TradeRow& trade) {
  const auto found = ledger.find(trade.stockCode);
  if (found == ledger.end()) return noted(LedgerNoteKind::saleWithoutHolding);
  Holding& holding = found->second;

  const std::optional<std::int64_t> commission = add(trade.commission, holding.pendingCommission);
  const std::optional<std::int64_t> tax = add(trade.commissionTax, holding.pendingCommissionTax);
  const std::optional<std::int64_t> profit = truncateToYen(
      (trade.unitPrice - holding.averagePrice) * static_cast<double>(trade.quantity) -
      static_cast<double>(trade.commission) - static_cast<double>(trade.commissionTax) -
      static_cast<double>(holding.pendingCommission) -
      static_cast<double>(holding.pendingCommissionTax));
  // Selling everything held, or more, closes the holding; it never goes negative.
  const bool closes = trade.quantity >= holding.quantity;
  const std::optional<std::int64_t> remaining =
      closes ? std::optional<std::int64_t>(0) : subtract(holding.quantity, trade.quantity);
  if (!commission || !tax || !profit || !remaining) {
    return noted(LedgerNoteKind::amountOutOfRange);
  }

  TradeOutcome outcome;
  outcome.result =
      ResultRow{.trade = trade, .profit = *profit, .averagePrice = holding.averagePrice};
  outcome.result->trade.commission = *commission;
  outcome.result->trade.commissionTax = *tax;

  if (closes) {
    if (trade.quantity > holding.quantity) {
      outcome.note = LedgerNote{LedgerNoteKind::soldMoreThanHeld, holding.quantity};
    }
    ledger.erase(found);
    return outcome;
  }
  holding.quantity = *remaining;
  holding.pendingCommission = 0;
  holding.pendingCommissionTax = 0;
  return outcome;
}

std::string codeText(const StockCode& code) {
  std::string text;
  appendStockCode(text, code);
  return text;
}

}  // namespace

std::size_t HoldingKeyHash::operator()(const StockCode& code) const {
  return code.isSymbol() ? std::hash<std::string_view>{}(code.symbol.view())
                         : std::hash<std::int64_t>{}(code.number);
}

std::size_t HoldingKeyHash::operator()(const HoldingKey& key) const {
  return (*this)(StockCode{key.number, Text(key.symbol)});
}

bool HoldingKeyEqual::operator()(const HoldingKey& a, const HoldingKey& b) const {
  return a.number == b.number && a.symbol == b.symbol;
}

bool HoldingKeyEqual::operator()(const StockCode& a, const HoldingKey& b) const {
  return a == StockCode{b.number, Text(b.symbol)};
}

std::string describe(const LedgerNote& note, const TradeRow& trade) {
  const std::string code = codeText(trade.stockCode);
  switch (note.kind) {
    case LedgerNoteKind::saleWithoutHolding:
      return "sale of " + code + " without a holding bought earlier in the logs: no result";
    case LedgerNoteKind::soldMoreThanHeld:
      return "sale of " + code + " is larger than the " + std::to_string(note.heldQuantity) +
             " shares held: result written, holding closed";
    case LedgerNoteKind::amountOutOfRange:
      return "trade of " + code + " left out: an amount is too large to compute";
  }
  return code;
}

TradeOutcome applyTrade(HoldingLedger& ledger, const TradeRow& trade) {
  if (trade.tradeType == sjis::kMarginClosing) return closeMarginPosition(trade);
  if (trade.tradeType != sjis::kSpot) return {};
  return trade.side == sjis::kBuy ? buy(ledger, trade) : sell(ledger, trade);
}

}  // namespace tradepl
