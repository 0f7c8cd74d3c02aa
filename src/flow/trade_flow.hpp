#pragma once
// The way of one trade: a row of the merged stream goes through the ledger to a result, a
// note or nothing, and its result into the yearly totals. Nothing here opens a file or words
// a message: what the rows come to is handed to a FlowListener, in the order it arises, and
// the run, the tests, the fuzz targets and the benchmarks each listen in their own way.
//
//   log ─ RowSource ┐
//   log ─ RowSource ┴ MergedRows ─ TradeRow ─ TradeFlow ─ HoldingLedger ─ ResultRow ─ listener
//                                                       └ YearlyTotals

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "flow/merged_rows.hpp"
#include "flow/same_day.hpp"
#include "input/log_reader.hpp"
#include "ledger/ledger.hpp"
#include "ledger/yearly_totals.hpp"
#include "records/records.hpp"
#include "records/splits.hpp"

namespace tradepl {

// Receives what the rows come to. Rows view bytes that live until the call returns; a row's
// `source` names the log it was read from.
class FlowListener {
 public:
  // A realized result, in the order the results arise; it refers to its row, and a
  // listener that keeps it keeps a copy of the row too.
  virtual void result(const ResultRow& result) = 0;
  // Something to tell the user about a trade.
  virtual void note(const LedgerNote& note, const TradeRow& trade) = 0;
  // A result whose execution date is not a calendar day: it does not read (its date columns
  // stay empty), or names no day (they show its numbers as written).
  virtual void undatedResult(const TradeRow& trade) = 0;
  // Something a split did to a holding.
  virtual void splitNote(const SplitNote& note, const StockSplit& split) = 0;

 protected:
  ~FlowListener() = default;
};

struct FlowSettings {
  CostMethod method = CostMethod::movingAverage;
  std::vector<StockSplit> splits{};  // in date order
  std::size_t sameDayMemory = WaitingRows::kMemoryBound;
  // Off where nobody will see the yearly totals (-q without a report): they are kept per
  // account and year, and a log of many accounts would otherwise grow them for nothing.
  bool keepTotals = true;
};

// The trades of one run, every stream through one ledger and into one set of totals. The
// spot stream holds the spot trades and the margin logs' deliveries (現引, 現渡), which move
// spot shares. Under the tax office's method, its rows are applied in the order of the
// same-day rule. Before a row that moves spot shares is applied, the splits dated on or
// before its day that were not yet applied are, in their order.
class TradeFlow {
 public:
  explicit TradeFlow(FlowSettings settings = {});

  // Takes every row of a stream, and then ends it.
  void takeAll(MergedRows& rows, FlowListener& listener);

  // Takes one row, in the order of its stream; what it comes to goes to `listener`, at once
  // or when the rows of its day have all been taken.
  void take(const TradeRow& row, FlowListener& listener);
  // Hands on what waits for the end of the stream.
  void endOfStream(FlowListener& listener);

  const YearlyTotals& totals() const { return totals_; }
  // True when rows of a day of the last stream taken that waited in a temporary file could
  // not be read back: they are missing from the run, as the rows of a log cut short would be.
  bool lostRows() const { return !readBack_; }

 private:
  void apply(const TradeRow& row, FlowListener& listener);
  void applySplits(const TradeRow& row, FlowListener& listener);
  void noteReadBack(bool readBack);

  std::vector<StockSplit> splits_;
  std::size_t splitsApplied_ = 0;
  HoldingLedger ledger_;
  std::optional<SameDayOrder> sameDay_;
  YearlyTotals totals_;
  bool keepTotals_;
  bool readBack_ = true;  // every row that waited was read back
};

}  // namespace tradepl
