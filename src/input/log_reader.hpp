#pragma once
// Reading a whole log, line by line, in blocks: each line becomes a TradeRow that views
// the block's bytes and is handed on at once, so memory stays the same however long the
// log is.
//
// Before a log is read it is looked over: a log in the wrong encoding, or the other kind of
// log, is refused whole; a log written newest first is read from its last line up, so that
// its trades reach the ledger oldest first, as the broker executed them.
//
// Dropped quietly: blank lines, the column headings and the lines before them (a title, an
// account number), line 1 when it does not read, and rows of a trade type the log does not
// keep. Every other line that does not read is handed on with its line number and the
// reason, and the reading goes on.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "input/log_bytes.hpp"
#include "input/log_report.hpp"
#include "input/trade_line.hpp"
#include "records/records.hpp"

namespace tradepl {

namespace detail {
struct LogSurvey;
}

// Receives what reading a log finds, in the order the lines are taken.
class LineSink {
 public:
  // A row of a trade type the log keeps; it views bytes that live until this returns.
  virtual void kept(const TradeRow& row) = 0;
  // A line that does not read and is not dropped quietly.
  virtual void skipped(std::uint64_t line, const LineProblem& problem) = 0;
  // The first kept row that was executed before the dated row taken just before it.
  virtual void outOfOrder(const TradeRow& row) = 0;

 protected:
  ~LineSink() = default;
};

// One log, looked over and ready to be read.
class LogReader {
 public:
  // Looks the log over: reads its first block, and its last where it can be read from any
  // place, to tell how it is to be read.
  LogReader(LogBytes& bytes, LogKind log);
  ~LogReader();
  LogReader(const LogReader&) = delete;
  LogReader& operator=(const LogReader&) = delete;

  LogRefusal refusal() const;
  bool newestFirst() const;
  // A read error while looking the log over, if any.
  const FileProblem& failure() const;

  // Reads every line, in the order the log is to be taken; only for a log not refused.
  LogReport read(LineSink& sink);

 private:
  LogBytes& bytes_;
  LogKind log_;
  std::size_t bufferSize_;
  std::unique_ptr<char[]> buffer_;
  std::unique_ptr<detail::LogSurvey> survey_;
};

}  // namespace tradepl
