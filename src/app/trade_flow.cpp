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

void TradeFlow::take(const TradeRow& row, FlowListener& listener) {
  const TradeOutcome outcome = ledger_.apply(row);
  if (outcome.result) {
    totals_.add(*outcome.result);
    listener.result(*outcome.result);
    if (!row.executed.complete()) listener.undatedResult(row);
  }
  if (outcome.note) listener.note(*outcome.note, row);
}

LogReport TradeFlow::read(LogReader& reader, FlowListener& listener) {
  FlowSink sink(*this, listener);
  return reader.read(sink);
}

}  // namespace tradepl
