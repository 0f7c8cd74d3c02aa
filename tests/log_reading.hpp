#pragma once
// Reads small logs the way a run does, looked over and then row by row, and keeps what they
// come to: the rows' line numbers and a few of their columns, and the lines skipped.

#include <cstdint>
#include <string>
#include <vector>

#include "input/log_reader.hpp"
#include "input/row_source.hpp"
#include "log_lines.hpp"
#include "output/result_line.hpp"

namespace tradepl::testing {

// What a log's rows come to, copied out of the rows while their lines are at hand.
struct KeptRow {
  std::uint64_t line = 0;
  std::string code;
  std::string settlementDate;
  std::size_t nameSize = 0;
};

class Recorder final : public LineListener {
 public:
  void kept(const TradeRow& row) {
    std::string code;
    appendStockCode(code, row.stockCode());
    rows.push_back(
        {row.line, code, std::string(row.settlementDate().view()), row.stockName().view().size()});
  }
  void skipped(std::uint64_t line, const LineProblem& problem) override {
    skippedLines.push_back(line);
    problems.push_back(problem.kind);
  }
  void outOfOrder(const TradeRow& row) override { outOfOrderLines.push_back(row.line); }

  std::vector<std::uint64_t> keptLines() const {
    std::vector<std::uint64_t> lines;
    for (const KeptRow& row : rows) lines.push_back(row.line);
    return lines;
  }

  std::vector<KeptRow> rows;
  std::vector<std::uint64_t> skippedLines;
  std::vector<LineProblemKind> problems;
  std::vector<std::uint64_t> outOfOrderLines;
};

using Lines = std::vector<std::uint64_t>;

// Reads every row of a log looked over.
inline LogReport readAll(LogReader& reader, Recorder& recorder) {
  RowSource source(reader, recorder);
  while (const TradeRow* row = source.next()) recorder.kept(*row);
  return source.report();
}

// Looks a log over and reads it, unless it is refused.
inline LogReport readTradeLines(LogBytes& bytes, LogKind log, Recorder& recorder) {
  LogReader reader(bytes, log);
  if (reader.failure() || reader.refusal() != LogRefusal::none) {
    LogReport report;
    report.failure = reader.failure();
    return report;
  }
  return readAll(reader, recorder);
}

inline SpotTrade dated(const std::string& date, const std::string& code = "7203") {
  SpotTrade trade;
  trade.date = date;
  trade.code = code;
  return trade;
}

// Reads `log` handed over a few bytes at a time, so that lines straddle every read.
inline LogReport read(LogKind kind, const std::string& log, Recorder& recorder) {
  MemoryBytes bytes(log, 7);
  return readTradeLines(bytes, kind, recorder);
}

}  // namespace tradepl::testing
