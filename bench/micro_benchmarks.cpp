// Micro-benchmarks of the per-line work, so a regression shows where it happens:
// reading a line of each log, one ledger update, formatting one result line.

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "input/trade_log_reader.hpp"
#include "ledger/ledger.hpp"
#include "output/result_writer.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

const std::string kName = "\x83\x4A\x83\x5E\x83\x4E\x83\x49\x83\x6D";  // カタクオノ

std::string spotLine() {
  return "2019/06/14 10:31,812345,"
         "7203," +
         kName + "," + std::string(sjis::kSpot) + "," + std::string(sjis::kBuy) +
         ",\x93\x8C\x8F\xD8,\x93\xC1\x92\xE8,700,4223,500,50,2956650,"
         "2019/06/18";
}

std::string marginLine() {
  return "2019/06/14 10:31,912345,8486," + kName + "," + std::string(sjis::kMarginClosing) +
         ",\x94\x84\x96\x84,\x93\x8C\x8F\xD8,\x93\xC1\x92\xE8,\x90\xA7\x93\x78,300,8731,0,0,300,"
         "8709,0,0,33,0,-1291,0,0,5309,2019/06/18";
}

void readLine(benchmark::State& state, LogKind log, const std::string& line) {
  std::string copy = line + "\n";  // with the writable byte after the line
  for (auto _ : state) {
    // The reader rewrites the line in place; start every round from the original bytes.
    std::memcpy(copy.data(), line.data(), line.size() + 1);
    TradeRow row;
    benchmark::DoNotOptimize(readTradeLine(log, std::span<char>(copy.data(), line.size()), row));
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

// Purchases and sales over 4,000 codes, as in a large log.
void BM_LedgerUpdate(benchmark::State& state) {
  std::string log;
  for (int i = 0; i < 4000; ++i) {
    std::string line = spotLine();
    line.replace(line.find(",7203,"), 6, "," + std::to_string(1300 + i) + ",");
    log += line + "\n";
    if (i % 2 == 0) {
      const std::size_t side = line.find(std::string(sjis::kBuy));
      line.replace(side, sjis::kBuy.size(), "\x94\x84");
      line.replace(line.find(",700,"), 5, ",300,");
      log += line + "\n";
    }
  }
  TradeList trades;
  readTradeBytes(trades, LogKind::spot, log);
  const std::vector<TradeRow> rows(trades.begin(), trades.end());
  for (auto _ : state) {
    HoldingLedger ledger;
    ResultList results;
    std::vector<LedgerNote> notes;
    for (const TradeRow& row : rows) applyTrade(ledger, row, results, notes);
    benchmark::DoNotOptimize(results.size());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows.size()));
}
BENCHMARK(BM_LedgerUpdate);

void BM_FormatResultLine(benchmark::State& state) {
  std::string line = spotLine() + "\n";
  TradeRow row;
  readTradeLine(LogKind::spot, std::span<char>(line.data(), line.size() - 1), row);
  const ResultRow result{.trade = row, .profit = -123456, .averagePrice = 4187.333333};
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
