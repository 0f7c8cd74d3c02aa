#include "flow/trade_flow.hpp"

namespace tradepl {
TradeFlow::TradeFlow(FlowSettings settings)
    : splits_(std::move(settings.splits)),
      ledger_(settings.method),
      keepTotals_(settings.keepTotals) {
  if (settings.method == CostMethod::taxOffice) sameDay_.emplace(settings.sameDayMemory);
}

void TradeFlow::takeAll(MergedRows& rows, FlowListener& listener) {
  readBack_ = true;  // rows lost are the stream's own
  while (const TradeRow* row = rows.next()) take(*row, listener);
  endOfStream(listener);
}

void TradeFlow::take(const TradeRow& row, FlowListener& listener) {
  if (!sameDay_ || holdingsOf(row.kind) != LogKind::spot) return apply(row, listener);
  noteReadBack(sameDay_->take(row, [&](const TradeRow& taken) { apply(taken, listener); }));
}

void TradeFlow::endOfStream(FlowListener& listener) {
  if (sameDay_)
    noteReadBack(sameDay_->endOfDay([&](const TradeRow& row) { apply(row, listener); }));
}

void TradeFlow::noteReadBack(bool readBack) {
  readBack_ = readBack_ && readBack;
}

void TradeFlow::applySplits(const TradeRow& row, FlowListener& listener) {
  const std::optional<Day> day = dayOf(row.executed.date);
  if (!day) return;
  for (; splitsApplied_ < splits_.size() && splits_[splitsApplied_].date <= *day;
       ++splitsApplied_) {
    const StockSplit& split = splits_[splitsApplied_];
    for (const SplitNote& note : ledger_.split(split)) listener.splitNote(note, split);
  }
}

void TradeFlow::apply(const TradeRow& row, FlowListener& listener) {
  if (splitsApplied_ < splits_.size() && holdingsOf(row.kind) == LogKind::spot) {
    applySplits(row, listener);
  }
  const TradeOutcome outcome = ledger_.apply(row);
  if (outcome.result) {
    if (keepTotals_) totals_.add(*outcome.result);
    listener.result(*outcome.result);
    if (!row.executed.dated()) listener.undatedResult(row);
  }
  if (outcome.note) listener.note(*outcome.note, row);
}

}  // namespace tradepl
