#include "app/trade_flow.hpp"

namespace tradepl {
namespace {

// Hands the reader's kept rows to the flow, and the rest of what it finds to the listener.
class FlowSink final : public LineSink {
 public:
  FlowSink(TradeFlow& flow, FlowListener& listener) : flow_(flow), listener_(listener) {}

  void kept(const TradeRow& row) override { flow_.take(row, listener_); }
  void skipped(std::uint64_t line, const LineProblem& problem) override {
    listener_.skipped(line, problem);
  }
  void outOfOrder(const TradeRow& row) override { listener_.outOfOrder(row); }

 private:
  TradeFlow& flow_;
  FlowListener& listener_;
};

}  // namespace

TradeFlow::TradeFlow(FlowSettings settings)
    : splits_(std::move(settings.splits)),
      ledger_(settings.method),
      keepTotals_(settings.keepTotals) {
  if (settings.method == CostMethod::taxOffice) sameDay_.emplace(settings.sameDayMemory);
}

LogReport TradeFlow::read(LogReader& reader, FlowListener& listener) {
  FlowSink sink(*this, listener);
  readBack_ = true;
  LogReport report = reader.read(sink);
  endOfLog(listener);
  // Rows of a day that waited in a temporary file and could not be read back are missing
  // from the run, as the rows of a log cut short would be.
  if (!readBack_ && report.readable()) report.failure = {FileFailure::lostTemporary};
  return report;
}

void TradeFlow::take(const TradeRow& row, FlowListener& listener) {
  if (!sameDay_ || row.log != LogKind::spot) return apply(row, listener);
  noteReadBack(sameDay_->take(row, [&](const TradeRow& taken) { apply(taken, listener); }));
}

void TradeFlow::endOfLog(FlowListener& listener) {
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
  if (splitsApplied_ < splits_.size() &&
      (row.kind == TradeKind::spotPurchase || row.kind == TradeKind::spotSale)) {
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
