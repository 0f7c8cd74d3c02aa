#pragma once
// Runs small logs through the trade flow, the way a run reads them, and keeps what they come
// to: results and notes with their texts copied out of the reader's buffers, which do not
// stay.

#include <gtest/gtest.h>
#include <array>

#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "flow/trade_flow.hpp"
#include "input/log_reader.hpp"
#include "input/row_source.hpp"
#include "log_lines.hpp"

namespace tradepl::testing {

// A note with the trade it is about.
struct Noted {
  LedgerNote note;
  TradeRow trade;
};

class FlowRun final : public FlowListener, public LineListener {
 public:
  explicit FlowRun(FlowSettings settings = {}) : flow_(std::move(settings)) {}
  explicit FlowRun(CostMethod method) : FlowRun(FlowSettings{.method = method}) {}

  FlowRun& spot(const SpotTrade& trade) { return line(LogKind::spot, trade.line()); }
  FlowRun& margin(const MarginTrade& trade) { return line(LogKind::margin, trade.line()); }

  const std::vector<ResultRow>& results() {
    run();
    return results_;
  }
  const std::vector<Noted>& notes() {
    run();
    return notes_;
  }
  const TradeFlow& flow() {
    run();
    return flow_;
  }

  void result(const ResultRow& result) override {
    results_.push_back(result);
    results_.back().row = &rows_.emplace_back(kept(*result.row));
  }
  void note(const LedgerNote& note, const TradeRow& trade) override {
    notes_.push_back({note, kept(trade)});
  }
  void undatedResult(const TradeRow& trade) override { undated_.push_back(trade.line); }
  // The lines of the results whose execution date is no calendar day.
  const std::vector<std::uint64_t>& undatedLines() {
    run();
    return undated_;
  }
  // A run must skip no line, unless the test asks which it skipped, before it runs.
  void skipped(std::uint64_t line, const LineProblem&) override {
    skipped_.push_back(line);
    if (!asksSkipped_) ADD_FAILURE() << "line " << line << " does not read";
  }
  const std::vector<std::uint64_t>& skippedLines() {
    asksSkipped_ = true;
    run();
    return skipped_;
  }
  void outOfOrder(const TradeRow&) override {}
  void splitNote(const SplitNote& note, const StockSplit&) override { splitNotes_.push_back(note); }

  const std::vector<SplitNote>& splitNotes() {
    run();
    return splitNotes_;
  }

 private:
  FlowRun& line(LogKind log, const std::string& text) {
    logText_[static_cast<std::size_t>(log)] += text + "\n";
    return *this;
  }

  // As a run reads a spot log named before a margin log: the spot stream takes the margin
  // log's deliveries, then the margin stream its other rows.
  void run() {
    if (ran_) return;
    ran_ = true;
    MemoryBytes spotBytes(logText_[0]);
    MemoryBytes marginBytes(logText_[1]);
    LogReader spotLog(spotBytes, LogKind::spot);
    LogReader marginLog(marginBytes, LogKind::margin);
    ASSERT_EQ(spotLog.refusal(), LogRefusal::none);
    ASSERT_EQ(marginLog.refusal(), LogRefusal::none);
    RowSource spot(spotLog, *this, 0);
    // None where the margin log holds no delivery.
    const std::unique_ptr<RowSource> deliveries = RowSource::deliveriesOf(marginLog, 1);
    std::vector<RowSource*> spotStream{&spot};
    if (deliveries) spotStream.push_back(deliveries.get());
    MergedRows spotRows(spotStream);
    flow_.takeAll(spotRows, *this);
    RowSource margin(marginLog, *this, 1);
    RowSource* const marginStream[] = {&margin};
    MergedRows marginRows(marginStream);
    flow_.takeAll(marginRows, *this);
  }

  // The row with its texts copied to storage of the run's own.
  TradeRow kept(TradeRow row) {
    for (Text& text : row.texts) text = Text(texts_.emplace_back(text.view()));
    return row;
  }

  std::array<std::string, 2> logText_;  // by LogKind
  bool ran_ = false;
  bool asksSkipped_ = false;
  std::vector<std::uint64_t> skipped_;
  std::vector<std::uint64_t> undated_;
  TradeFlow flow_;
  std::vector<ResultRow> results_;
  std::deque<TradeRow> rows_;  // the results' rows, which stay put
  std::vector<Noted> notes_;
  std::vector<SplitNote> splitNotes_;
  std::deque<std::string> texts_;
};

// Results as (average, commission, tax, profit), for one table of expectations.
struct Figured {
  double average;
  std::int64_t commission;
  std::int64_t tax;
  std::int64_t profit;

  friend bool operator==(const Figured&, const Figured&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Figured& f) {
    return out << f.average << "/" << f.commission << "/" << f.tax << "/" << f.profit;
  }
};

inline std::vector<Figured> figuresOf(FlowRun& run) {
  std::vector<Figured> figured;
  for (const ResultRow& result : run.results()) {
    figured.push_back(
        {result.averagePrice, result.commission, result.commissionTax, result.profit});
  }
  return figured;
}

}  // namespace tradepl::testing
