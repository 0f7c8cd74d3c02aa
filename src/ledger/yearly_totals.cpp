#include "ledger/yearly_totals.hpp"

#include "records/numbers.hpp"

namespace tradepl {

std::optional<std::int64_t> YearlyTotals::taxYear(const TradeRow& trade) {
  const std::string_view settled = trade.settlementDate.view();
  if (settled != lastSettled_ || last_ == nullptr) {
    lastSettled_.assign(settled);
    const CalendarDate date = readCalendarDate(settled);
    lastSettledYear_ = date.complete() ? date.year : std::nullopt;
  }
  if (lastSettledYear_) return lastSettledYear_;
  ++byExecutionYear_;
  return trade.executed.date.year;
}

void YearlyTotals::add(const ResultRow& result) {
  const TradeRow& trade = result.trade;
  const std::optional<std::int64_t> year = taxYear(trade);
  if (last_ == nullptr || year != lastKey_.year || trade.log != lastKey_.log ||
      trade.account.view() != lastKey_.account) {
    lastKey_ = TotalKey{year, trade.log, std::string(trade.account.view())};
    last_ = &totals_[lastKey_];
  }
  ++results_;
  ++last_->results;
  addTo(last_->profit, result.profit);
}

}  // namespace tradepl
