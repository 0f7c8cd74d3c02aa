#include "flow/merged_rows.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "input/log_reader.hpp"
#include "input/row_source.hpp"
#include "log_lines.hpp"

namespace tradepl {
namespace {

using testing::SpotTrade;

// A row of a log: a date and a quantity, which tells rows apart where a test wants them apart.
std::string row(const std::string& date, const std::string& quantity = "100") {
  SpotTrade trade;
  trade.date = date;
  trade.quantity = quantity;
  return trade.line() + "\n";
}

class NoLineSkipped final : public LineListener {
 public:
  void skipped(std::uint64_t line, const LineProblem&) override {
    ADD_FAILURE() << "line " << line << " does not read";
  }
  void outOfOrder(const TradeRow&) override {}
};

// The stream the logs merge into: each row as its log's letter and its line ("B2"), and
// after a '/', how many rows of each log were duplicates.
std::string merged(const std::vector<std::string>& logs) {
  NoLineSkipped listener;
  std::vector<std::unique_ptr<MemoryBytes>> bytes;
  std::vector<std::unique_ptr<LogReader>> readers;
  std::vector<std::unique_ptr<RowSource>> sources;
  std::vector<RowSource*> stream;
  for (std::size_t i = 0; i < logs.size(); ++i) {
    bytes.push_back(std::make_unique<MemoryBytes>(logs[i], 7));
    readers.push_back(std::make_unique<LogReader>(*bytes.back(), LogKind::spot));
    sources.push_back(
        std::make_unique<RowSource>(*readers.back(), listener, static_cast<std::uint32_t>(i)));
    stream.push_back(sources.back().get());
  }
  MergedRows rows(stream);
  std::string taken;
  while (const TradeRow* next = rows.next()) {
    taken +=
        std::string(1, static_cast<char>('A' + next->source)) + std::to_string(next->line) + " ";
  }
  taken += "/";
  for (const std::unique_ptr<RowSource>& source : sources) {
    taken += " " + std::to_string(source->report().duplicates);
  }
  return taken;
}

struct MergeCase {
  const char* rule;
  std::vector<std::string> logs;
  std::string stream;
};

TEST(MergedRows, TakesTheFirstNamedLogWhoseNextRowIsNotLater) {
  const std::string d5 = "2024/03/05 10:00";
  // A minute of twenty fills, in both logs.
  std::string busyMinute;
  std::string busyStream;
  for (int i = 1; i <= 20; ++i) {
    busyMinute += row(d5, std::to_string(i));
    busyStream += "A" + std::to_string(i) + " ";
  }
  for (const MergeCase& c : std::vector<MergeCase>{
           {"in time",
            {row("2024/03/05 11:00") + row("2024/03/07 10:00"), row(d5, "1")},
            "B1 A1 A2 / 0 0"},
           {"a tie goes to the log named first", {row(d5, "1"), row(d5, "2")}, "A1 B1 / 0 0"},
           {"a row without a time ties with its day",
            {row("2024/03/05 11:00"), row("2024/03/05")},
            "A1 B1 / 0 0"},
           {"", {row("2024/03/05"), row("2024/03/05 09:00")}, "A1 B1 / 0 0"},
           {"", {row("2024/03/06"), row("2024/03/05 23:00")}, "B1 A1 / 0 0"},
           {"",
            {row("2024/03/05 10:00"), row("2024/03/05"),
             row("2024/03/04 10:00") + row("2024/03/05 09:00")},
            "C1 B1 C2 A1 / 0 0 0"},
           {"an undated row stands where the row before it in its log stands",
            {row(d5) + row("x") + row("2024/03/06 10:00"), row("2024/03/05 11:00")},
            "A1 A2 B1 A3 / 0 0"},
           {"and before every row where none came before it",
            {row("2024/03/01 10:00"), row("x") + row("2024/03/02 10:00")},
            "B1 A1 B2 / 0 0"},
           {"each log keeps its own order, newest first or oldest first",
            {row("2024/03/06 10:00") + row(d5), row("2024/03/04 10:00") + row("2024/03/07 10:00")},
            "B1 A2 A1 B2 / 0 0"},
           {"overlapping exports count a row once",
            {row("2024/03/04 10:00") + row(d5), row(d5) + row("2024/03/06 10:00")},
            "A1 A2 B2 / 0 1"},
           {"two equal fills in both count twice",
            {row(d5) + row(d5), row(d5) + row(d5)},
            "A1 A2 / 0 2"},
           {"as often as the log that holds them most often",
            {row(d5), row(d5) + row(d5)},
            "A1 B2 / 0 1"},
           {"nor by a log left alone in the run",
            {row(d5, "1") + row(d5, "2"), row(d5, "3") + row(d5, "1") + row(d5, "2")},
            "A1 A2 B1 / 0 2"},
           {"within one log nothing is dropped",
            {row(d5) + row(d5), row(d5, "7")},
            "A1 A2 B1 / 0 0"},
           {"however many rows a minute has", {busyMinute, busyMinute}, busyStream + "/ 0 20"},
           {"equal rows of different times are different trades",
            {row(d5), row("2024/03/05 10:01")},
            "A1 B1 / 0 0"},
       }) {
    EXPECT_EQ(merged(c.logs), c.stream) << c.rule;
  }
}

}  // namespace
}  // namespace tradepl
