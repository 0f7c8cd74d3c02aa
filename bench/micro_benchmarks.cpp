// Micro-benchmarks of the per-line work, so a regression shows where it happens:
// reading a line of each log, one ledger update, formatting one result line.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "flow/trade_flow.hpp"
#include "input/log_reader.hpp"
#include "input/number_grammar.hpp"
#include "input/row_source.hpp"
#include "input/trade_line.hpp"
#include "ledger/ledger.hpp"
#include "output/result_line.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

const std::string kName = "\x83\x4A\x83\x5E\x83\x4E\x83\x49\x83\x6D";  // カタクオノ

std::string spotLine(std::string_view code = "7203", std::string_view side = sjis::kBuy,
                     std::string_view quantity = "700") {
  return "2019/06/14 10:31,812345," + std::string(code) + "," + kName + "," +
         std::string(sjis::kSpot) + "," + std::string(side) +
         ",\x93\x8C\x8F\xD8,\x93\xC1\x92\xE8," + std::string(quantity) +
         ",4223,500,50,2956650,2019/06/18";
}

std::string marginLine() {
  return "2019/06/14 10:31,912345,8486," + kName + "," + std::string(sjis::kMarginClosing) +
         ",\x94\x84\x96\x84,\x93\x8C\x8F\xD8,\x93\xC1\x92\xE8,\x90\xA7\x93\x78,300,8731,0,0,300,"
         "8709,0,0,33,0,-1291,0,0,5309,2019/06/18";
}

void readLine(benchmark::State& state, LogKind log, const std::string& line) {
  TradeLineReader reader(log);
  for (auto _ : state) {
    TradeRow row;
    benchmark::DoNotOptimize(reader.read(line, row));
    benchmark::DoNotOptimize(row);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}

void BM_ReadSpotLine(benchmark::State& state) {
  readLine(state, LogKind::spot, spotLine());
}
void BM_ReadMarginLine(benchmark::State& state) {
  readLine(state, LogKind::margin, marginLine());
}
BENCHMARK(BM_ReadSpotLine);
BENCHMARK(BM_ReadMarginLine);

// The number columns of a margin line, read by the fast path for plain digits and by the
// general grammar behind it.
const std::vector<std::string> kNumberColumns{"912345", "300", "8731", "0",      "-1291",
                                              "5309",   "33",  "8709", "1164600"};

void BM_ReadIntegerPlain(benchmark::State& state) {
  for (auto _ : state) {
    for (const std::string& column : kNumberColumns) {
      std::int64_t value = 0;
      benchmark::DoNotOptimize(readInteger(column, value));
      benchmark::DoNotOptimize(value);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kNumberColumns.size()));
}
void BM_ReadIntegerCarefully(benchmark::State& state) {
  for (auto _ : state) {
    for (const std::string& column : kNumberColumns) {
      std::int64_t value = 0;
      benchmark::DoNotOptimize(detail::readIntegerCarefully(column, value));
      benchmark::DoNotOptimize(value);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kNumberColumns.size()));
}
BENCHMARK(BM_ReadIntegerPlain);
BENCHMARK(BM_ReadIntegerCarefully);

// Takes what a log comes to, as the run would, without writing it anywhere.
class CountingListener final : public FlowListener, public LineListener {
 public:
  void result(const ResultRow& result) override { benchmark::DoNotOptimize(result.profit); }
  void note(const LedgerNote&, const TradeRow&) override {}
  void undatedResult(const TradeRow&) override {}
  void skipped(std::uint64_t, const LineProblem&) override {}
  void outOfOrder(const TradeRow&) override {}
  void splitNote(const SplitNote&, const StockSplit&) override {}
};

// A whole margin log in memory through the block reader and the trade flow: line ends,
// splitting, parsing, results and totals.
void BM_ReadMarginLog(benchmark::State& state) {
  std::string log;
  for (int i = 0; i < 10000; ++i) log += marginLine() + "\r\n";
  for (auto _ : state) {
    MemoryBytes bytes(log);
    LogReader reader(bytes, LogKind::margin);
    TradeFlow flow;
    CountingListener listener;
    RowSource source(reader, listener);
    RowSource* const sources[] = {&source};
    MergedRows rows(sources);
    flow.takeAll(rows, listener);
    benchmark::DoNotOptimize(source.report().kept);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.size()));
}
BENCHMARK(BM_ReadMarginLog);

// Purchases and sales over 4,000 codes, as in a large log.
void BM_LedgerUpdate(benchmark::State& state) {
  std::vector<std::string> lines;
  for (int i = 0; i < 4000; ++i) {
    const std::string code = std::to_string(1300 + i);
    lines.push_back(spotLine(code, sjis::kBuy, "700"));
    if (i % 2 == 0) lines.push_back(spotLine(code, "\x94\x84", "300"));  // 売
  }
  std::vector<TradeRow> rows(lines.size());  // viewing `lines`, which stay put
  TradeLineReader reader(LogKind::spot);
  for (std::size_t i = 0; i < lines.size(); ++i) reader.read(lines[i], rows[i]);
  for (auto _ : state) {
    HoldingLedger ledger;
    for (const TradeRow& row : rows) benchmark::DoNotOptimize(ledger.apply(row));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows.size()));
}
BENCHMARK(BM_LedgerUpdate);

void BM_FormatResultLine(benchmark::State& state) {
  const std::string line = spotLine();
  TradeRow row;
  TradeLineReader(LogKind::spot).read(line, row);
  const ResultRow result{.row = &row,
                         .unitPrice = row.unitPrice,
                         .commission = row.commission,
                         .commissionTax = row.commissionTax,
                         .profit = -123456,
                         .averagePrice = 4187.333333};
  std::string out;
  for (auto _ : state) {
    out.clear();
    appendResultLine(out, result);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}
BENCHMARK(BM_FormatResultLine);

}  // namespace
}  // namespace tradepl
