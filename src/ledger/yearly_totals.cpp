#include "ledger/yearly_totals.hpp"

#include <tuple>

#include "ledger/tax_rules.hpp"
#include "records/numbers.hpp"

namespace tradepl {

std::optional<std::int64_t> Figures::cost() const {
  if (!proceeds || !expenses || !profit) return std::nullopt;
  const std::optional<std::int64_t> afterExpenses = checkedSubtract(*proceeds, *expenses);
  return afterExpenses ? checkedSubtract(*afterExpenses, *profit) : std::nullopt;
}

void Figures::add(const Figures& other) {
  results += other.results;
  addTo(proceeds, other.proceeds);
  addTo(expenses, other.expenses);
  addTo(profit, other.profit);
}

Figures figuresOf(const ResultRow& result) {
  const TradeRow& trade = *result.row;
  if (holdingsOf(trade.kind) == LogKind::margin) {
    const std::optional<std::int64_t> proceeds = marginProceeds(trade);
    const std::optional<std::int64_t> cost = marginCost(trade);
    const std::optional<std::int64_t> afterCost =
        proceeds && cost ? checkedSubtract(*proceeds, *cost) : std::nullopt;
    return {1, proceeds, afterCost ? checkedSubtract(*afterCost, result.profit) : std::nullopt,
            result.profit};
  }
  return {1, tradeValue(trade.quantity, result.exactUnitPrice),
          checkedAdd(result.commission, result.commissionTax), result.profit};
}

bool operator<(const TotalKey& a, const TotalKey& b) {
  // No year sorts after every year.
  const auto order = [](const TotalKey& key) {
    return std::tuple(!key.year, key.year.value_or(0), key.log, std::string_view(key.account));
  };
  return order(a) < order(b);
}

std::optional<std::int64_t> YearlyTotals::taxYear(const TradeRow& trade) {
  const std::string_view settled = trade.settlementDate().view();
  if (settled != lastSettled_ || last_ == nullptr) {
    lastSettled_.assign(settled);
    const std::optional<Day> day = dayOf(readCalendarDate(settled));
    lastSettledYear_ = day ? std::optional<std::int64_t>(day->year) : std::nullopt;
  }
  return lastSettledYear_;
}

void YearlyTotals::add(const ResultRow& result) {
  const TradeRow& trade = *result.row;
  const std::optional<std::int64_t> year = taxYear(trade);
  const LogKind part = holdingsOf(trade.kind);  // a 現渡 counts as a spot sale
  if (last_ == nullptr || year != lastKey_.year || part != lastKey_.log ||
      trade.account().view() != lastKey_.account) {
    lastKey_ = TotalKey{year, part, std::string(trade.account().view())};
    last_ = &totals_[lastKey_];
  }
  ++results_;
  if (!year) ++withoutYear_;
  last_->add(figuresOf(result));
}

}  // namespace tradepl
