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

HoldingKey keyOf(const HoldingOf& holding) {
  return {std::string(holding.account), holding.code.number,
          std::string(holding.code.symbol.view())};
}

TradeOutcome buy(HoldingLedger& ledger, const TradeRow& trade) {
  const auto found = ledger.find(holdingOf(trade));
  if (found == ledger.end()) {
    ledger.emplace(keyOf(holdingOf(trade)),
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
  const auto found = ledger.find(holdingOf(trade));
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

}  // namespace

// FNV-1a: accounts and symbols are a few bytes, for which it costs a fraction of the
// library's string hash; this runs for every spot trade.
std::size_t HoldingKeyHash::operator()(const HoldingOf& holding) const {
  std::uint64_t hash = 14695981039346656037u;
  const auto mix = [&hash](std::uint64_t value) { hash = (hash ^ value) * 1099511628211u; };
  for (const char c : holding.account) mix(static_cast<unsigned char>(c));
  mix(0x100);  // ends the account
  if (holding.code.isSymbol()) {
    for (const char c : holding.code.symbol.view()) mix(static_cast<unsigned char>(c));
  } else {
    mix(static_cast<std::uint64_t>(holding.code.number));
  }
  return static_cast<std::size_t>(hash);
}

HoldingOf holdingOf(const TradeRow& trade) {
  return {trade.account.view(), trade.stockCode};
}

TradeOutcome applyTrade(HoldingLedger& ledger, const TradeRow& trade) {
  if (trade.tradeType == sjis::kMarginClosing) return closeMarginPosition(trade);
  if (trade.tradeType != sjis::kSpot) return {};
  return trade.side == sjis::kBuy ? buy(ledger, trade) : sell(ledger, trade);
}

}  // namespace tradepl
