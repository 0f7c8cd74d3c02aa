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

void note(std::vector<LedgerNote>& notes, LedgerNoteKind kind, const TradeRow& trade,
          std::int64_t heldQuantity = 0) {
  notes.push_back({kind, trade.source, trade.stockCode, heldQuantity});
}

void closeMarginPosition(const TradeRow& trade, ResultList& results,
                         std::vector<LedgerNote>& notes) {
  const std::optional<std::int64_t> fees =
      sumOfAbsolutes({trade.borrowingPremium, trade.lendingFee, trade.interest, trade.transferFee,
                      trade.managementFee, trade.openCommission, trade.commission});
  const std::optional<std::int64_t> feeTax =
      sumOfAbsolutes({trade.openCommissionTax, trade.commissionTax});
  if (!fees || !feeTax) return note(notes, LedgerNoteKind::amountOutOfRange, trade);

  ResultRow result{
      .trade = trade, .profit = trade.settlementAmount, .averagePrice = trade.positionPrice};
  result.trade.commission = *fees;
  result.trade.commissionTax = *feeTax;
  results.append(result);
}

void buy(HoldingLedger& ledger, const TradeRow& trade, std::vector<LedgerNote>& notes) {
  const auto found = ledger.find(trade.stockCode);
  if (found == ledger.end()) {
    ledger.emplace(trade.stockCode,
                   Holding{trade.quantity, trade.unitPrice, trade.commission, trade.commissionTax});
    return;
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
    return note(notes, LedgerNoteKind::amountOutOfRange, trade);
  }
  holding = {*quantity, average, *commission, *tax};
}

void sell(HoldingLedger& ledger, const TradeRow& trade, ResultList& results,
          std::vector<LedgerNote>& notes) {
  const auto found = ledger.find(trade.stockCode);
  if (found == ledger.end()) return note(notes, LedgerNoteKind::saleWithoutHolding, trade);
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
    return note(notes, LedgerNoteKind::amountOutOfRange, trade);
  }

  ResultRow result{.trade = trade, .profit = *profit, .averagePrice = holding.averagePrice};
  result.trade.commission = *commission;
  result.trade.commissionTax = *tax;
  results.append(result);

  if (closes) {
    if (trade.quantity > holding.quantity) {
      note(notes, LedgerNoteKind::soldMoreThanHeld, trade, holding.quantity);
    }
    ledger.erase(found);
    return;
  }
  holding.quantity = *remaining;
  holding.pendingCommission = 0;
  holding.pendingCommissionTax = 0;
}

std::string codeText(const StockCode& code) {
  std::string text;
  appendStockCode(text, code);
  return text;
}

}  // namespace

std::string describe(const LedgerNote& note) {
  const std::string code = codeText(note.stockCode);
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

void applyTrade(HoldingLedger& ledger, const TradeRow& trade, ResultList& results,
                std::vector<LedgerNote>& notes) {
  if (trade.tradeType == sjis::kMarginClosing) {
    closeMarginPosition(trade, results, notes);
  } else if (trade.tradeType == sjis::kSpot) {
    if (trade.side == sjis::kBuy) {
      buy(ledger, trade, notes);
    } else {
      sell(ledger, trade, results, notes);
    }
  }
}

std::vector<LedgerNote> computeResults(const TradeList& trades, ResultList& results) {
  results.shareTextOf(trades);
  HoldingLedger ledger;
  std::vector<LedgerNote> notes;
  for (const TradeRow& trade : trades) applyTrade(ledger, trade, results, notes);
  return notes;
}

}  // namespace tradepl
