#pragma once
// The rows of one log, handed out one at a time when asked for, in the order the log is to be
// taken: oldest first, as the broker executed them, however the log lists them. Memory stays
// the same however long the log is: a row views the reader's block of the log, and lives
// until the next one is asked for.
//
// What is not a row is said to a LineListener as it is met: a line that does not read, with
// its number and why, and the first row executed before the one taken just before it.
//
// A source hands out the rows that move the holdings of its log's kind. The deliveries of a
// margin log (現引, 現渡) move spot shares: they are kept and counted there, and handed out
// by a second reading of the log that joins the spot stream (deliveriesOf).

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "input/log_reader.hpp"
#include "input/log_report.hpp"
#include "input/trade_line.hpp"
#include "records/records.hpp"

namespace tradepl {

namespace detail {
class DayRuns;
class ForwardLines;
class BackwardLines;
}  // namespace detail

// Hears what reading a log finds besides its rows, in the order the lines are taken.
class LineListener {
 public:
  // A line that does not read and is not dropped quietly.
  virtual void skipped(std::uint64_t line, const LineProblem& problem) = 0;
  // The first kept row that was executed before the dated row taken just before it.
  virtual void outOfOrder(const TradeRow& row) = 0;

 protected:
  ~LineListener() = default;
};

class RowSource {
 public:
  // Reads `log`, looked over and not refused. `source` marks every row it hands out, so that
  // what is said about a row later names the right log.
  RowSource(LogReader& log, LineListener& listener, std::uint32_t source = 0);
  // A second reading of a margin log, for the spot stream: its deliveries alone. It reads over
  // a buffer of its own, beside the first reading, and says nothing about the log's lines,
  // which the first reading says. None for a log that cannot be read twice: one read from a
  // device as it comes.
  static std::unique_ptr<RowSource> deliveriesOf(LogReader& log, std::uint32_t source);
  ~RowSource();
  RowSource(const RowSource&) = delete;
  RowSource& operator=(const RowSource&) = delete;

  // The next row it hands out, or nothing once the log is read to its end or failed.
  const TradeRow* next();
  // What reading came to; whole once next() has returned nothing.
  const LogReport& report() const { return report_; }
  // A kept row that is also in another log, and so not counted here.
  void countDuplicate() { ++report_.duplicates; }

 private:
  RowSource(LogReader& log, LineListener& listener, std::uint32_t source, LogKind stream,
            std::unique_ptr<char[]> ownBuffer);

  const TradeRow* read(std::string_view bytes, std::uint64_t number);
  void skip(std::uint64_t number, const LineProblem& problem);
  bool isHeading(std::uint64_t number, std::string_view line);
  void checkOrder();
  bool startNextStretch();
  bool lastStretchWhole();
  void finish(bool whole);

  LogReader& log_;
  LineListener& listener_;
  LogKind stream_;                     // the holdings its rows move
  std::unique_ptr<char[]> ownBuffer_;  // for a second reading of the log
  std::span<char> buffer_;
  TradeLineReader reader_;
  detail::LineDecoder decoder_;
  // The stretch of the log being read, from its first line on or from its last line up.
  std::unique_ptr<detail::ForwardLines> forward_;
  std::unique_ptr<detail::BackwardLines> backward_;
  std::uint64_t stretchBytes_ = 0;  // how many bytes a forward stretch should give
  // The log's runs of one day, for a log whose days and trades go opposite ways.
  std::unique_ptr<detail::DayRuns> runs_;
  std::uint64_t next_ = 1;  // the number of the next line
  std::uint64_t step_ = 1;  // 1, or -1 counting down
  LogReport report_;
  ExecutionDate previous_;  // undated before the first dated row
  bool warnedOrder_ = false;
  bool finished_ = false;
  // One row for every line: a kept row has every column of its layout written afresh, and
  // the columns the layout lacks stay as cleared here. Clearing a row per line cost more
  // than reading its numbers.
  TradeRow row_;
};

}  // namespace tradepl
