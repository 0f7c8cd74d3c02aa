// Fuzzes the merge of several logs of one kind against a model of its rule, written the
// plain way: at each step the first-named log whose next row is not later than any other
// log's next row; an undated row stands where the dated row before it in its log stands;
// within a run of equal dates and times, a row equal to one taken from another log counts as
// many times as the log that holds it most often.
//
// The first byte makes two to five logs; then every two bytes make a row of one of them: its
// day (one of four), its time (none, or one of three minutes), an undated date now and then,
// and one of eight prices, which tells rows apart (equal prices at equal dates are equal
// rows, as two fills of one order are). A log that reads in another order than written is
// taken in that order by the model too; one read a day at a time is passed over.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "flow/merged_rows.hpp"
#include "fuzz_checks.hpp"
#include "input/log_reader.hpp"
#include "input/row_source.hpp"
#include "records/shift_jis.hpp"

namespace {

using namespace tradepl;
using fuzzing::require;

struct ModelRow {
  int day = 0;      // 1 to 4; 0 for a date that does not read
  int minute = -1;  // -1: no time
  int price = 0;
  std::uint64_t line = 0;
};

std::string lineOf(const ModelRow& row) {
  char date[32];
  if (row.day == 0) {
    std::snprintf(date, sizeof date, "2024/02/30 10:00");
  } else if (row.minute < 0) {
    std::snprintf(date, sizeof date, "2024/03/%02d", row.day);
  } else {
    std::snprintf(date, sizeof date, "2024/03/%02d 09:%02d", row.day, row.minute);
  }
  return std::string(date) + ",100105,7203,Toyota," + std::string(sjis::kSpot) + "," +
         std::string(sjis::kBuy) + ",Tokyo,Tokutei,100," + std::to_string(1000 + row.price) +
         ",100,8,100108,2024/03/07\n";
}

class Silent final : public LineListener {
 public:
  void skipped(std::uint64_t, const LineProblem&) override {}
  void outOfOrder(const TradeRow&) override {}
};

// Where a row stands for the merge; `day` -1 before every row.
struct Key {
  int day = -1;
  int minute = -1;
  bool operator==(const Key&) const = default;
};

bool later(const Key& a, const Key& b) {
  return a.day > b.day || (a.day == b.day && a.minute >= 0 && b.minute >= 0 && a.minute > b.minute);
}

// The rule, the plain way: (log, line) of every row counted, in the order taken.
std::vector<std::pair<std::size_t, std::uint64_t>> model(
    const std::vector<std::vector<ModelRow>>& logs) {
  std::vector<std::size_t> next(logs.size(), 0);
  std::vector<Key> lastDated(logs.size());
  const auto keyOf = [&](std::size_t log) {
    const ModelRow& row = logs[log][next[log]];
    if (row.day == 0) return lastDated[log];
    return lastDated[log] = Key{row.day, row.minute};
  };
  std::vector<Key> keys(logs.size());
  for (std::size_t log = 0; log < logs.size(); ++log) {
    if (!logs[log].empty()) keys[log] = keyOf(log);
  }
  std::vector<std::pair<std::size_t, std::uint64_t>> taken;
  Key run{-2, -2};
  std::map<std::pair<int, std::size_t>, std::uint32_t> perLog;  // (row, log): how often
  std::map<int, std::uint32_t> counted;                         // row: how often it counts
  for (;;) {
    std::size_t chosen = logs.size();
    for (std::size_t log = 0; log < logs.size() && chosen == logs.size(); ++log) {
      if (next[log] == logs[log].size()) continue;
      bool first = true;
      for (std::size_t other = 0; other < logs.size(); ++other) {
        if (other != log && next[other] < logs[other].size() && later(keys[log], keys[other])) {
          first = false;
        }
      }
      if (first) chosen = log;
    }
    if (chosen == logs.size()) return taken;
    const ModelRow& row = logs[chosen][next[chosen]];
    if (!(keys[chosen] == run)) {
      run = keys[chosen];
      perLog.clear();
      counted.clear();
    }
    // Every undated row is written with one date, whatever its time.
    const int columns =
        row.day == 0 ? row.price : row.day * 10000 + (row.minute + 1) * 100 + row.price;
    const std::uint32_t count = ++perLog[{columns, chosen}];
    if (count > counted[columns]) {
      counted[columns] = count;
      taken.emplace_back(chosen, row.line);
    }
    if (++next[chosen] < logs[chosen].size()) keys[chosen] = keyOf(chosen);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  std::vector<std::vector<ModelRow>> logs(2 + data[0] % 4);
  for (std::size_t at = 1; at + 1 < size; at += 2) {
    const std::uint8_t a = data[at];
    const std::uint8_t b = data[at + 1];
    std::vector<ModelRow>& log = logs[a % logs.size()];
    const int time = (a >> 4) % 4;
    log.push_back(
        {(b & 0x0F) == 0 ? 0 : 1 + b % 4, time == 3 ? -1 : time, (b >> 4) % 8, log.size() + 1});
  }
  std::vector<std::string> texts(logs.size());
  std::vector<std::unique_ptr<MemoryBytes>> bytes;
  std::vector<std::unique_ptr<LogReader>> readers;
  std::vector<std::unique_ptr<RowSource>> sources;
  std::vector<RowSource*> stream;
  Silent silent;
  for (std::size_t log = 0; log < logs.size(); ++log) {
    for (const ModelRow& row : logs[log]) texts[log] += lineOf(row);
    bytes.push_back(std::make_unique<MemoryBytes>(texts[log], 1 + data[0] % 7));
    readers.push_back(std::make_unique<LogReader>(*bytes.back(), LogKind::spot));
    const LogOrder order = readers.back()->order();
    if (order != LogOrder::oldestFirst && order != LogOrder::newestFirst) return 0;
    if (order == LogOrder::newestFirst) std::reverse(logs[log].begin(), logs[log].end());
    sources.push_back(
        std::make_unique<RowSource>(*readers.back(), silent, static_cast<std::uint32_t>(log)));
    stream.push_back(sources.back().get());
  }
  MergedRows rows(stream);
  std::vector<std::pair<std::size_t, std::uint64_t>> merged;
  while (const TradeRow* row = rows.next()) merged.emplace_back(row->source, row->line);
  require(merged == model(logs), "the merge takes and counts the rows as its rule says");
  return 0;
}
