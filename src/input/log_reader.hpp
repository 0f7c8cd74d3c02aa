#pragma once
// A log looked over before it is read (its rows are read by a RowSource).
//
// Before a log is read it is looked over: a log that is not CSV text is refused whole; one
// whose rows read as the other kind of log is read as that kind; one saved in UTF-8 or
// UTF-16 is read as Shift_JIS; one written newest first is read from its last line up, so
// that its trades reach the ledger oldest first, as the broker executed them (and one that
// lists its days and the trades within a day in opposite orders, day by day).
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
#include "input/log_encoding.hpp"
#include "input/log_report.hpp"
#include "input/trade_line.hpp"
#include "records/records.hpp"

namespace tradepl {

namespace detail {
struct LogSurvey;
}

// One log, looked over and ready to be read.
class LogReader {
 public:
  // Looks the log over: reads its first block, and its last where it can be read from any
  // place, to tell how it is to be read. `log` is the kind it was named as.
  LogReader(LogBytes& bytes, LogKind log);
  ~LogReader();
  LogReader(const LogReader&) = delete;
  LogReader& operator=(const LogReader&) = delete;

  LogRefusal refusal() const;
  // The kind its rows read as, which may not be the kind it was named as.
  LogKind kind() const;
  // True when its first block holds a heading line or a row of either kind of log.
  bool recognised() const;
  // How its text was written; other than Shift_JIS, it is converted as it is read.
  LogEncoding savedIn() const;
  // How it lists its trades, and so the order its lines are read in.
  LogOrder order() const;
  // A read error while looking the log over, if any.
  const FileProblem& failure() const;

  // A log not refused is read by a RowSource.
 private:
  friend class RowSource;

  void survey(LogKind log, LogEncoding encoding);

  LogBytes* bytes_;
  std::unique_ptr<LogBytes> decoded_;  // a UTF-16 log, decoded into UTF-8
  LogEncoding savedIn_ = LogEncoding::shiftJis;
  std::size_t bufferSize_ = 0;
  std::unique_ptr<char[]> buffer_;
  std::unique_ptr<detail::LogSurvey> survey_;
};

}  // namespace tradepl
