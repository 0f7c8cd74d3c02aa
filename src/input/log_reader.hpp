#pragma once
// Reading a whole log, line by line, in blocks: each line becomes a TradeRow that views
// the block's bytes and is handed on at once, so memory stays the same however long the
// log is.
//
// Dropped quietly: blank lines, line 1 when it does not read (the column headings), and
// rows of a trade type the log does not keep. Every other line that does not read is
// handed on with its line number and the reason, and the reading goes on.

#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "input/trade_line.hpp"
#include "records/records.hpp"

namespace tradepl {

// Where a log's bytes come from: a file, or bytes already in memory.
class LogBytes {
 public:
  virtual ~LogBytes() = default;
  // Fills the front of `into` with the next bytes and returns how many; 0 at the end,
  // or after a read error, which failure() then names.
  virtual std::size_t read(std::span<char> into) = 0;
  virtual std::string failure() const { return {}; }
};

// Bytes in memory, handed out at most `mostPerRead` at a time, as a file might.
class MemoryBytes final : public LogBytes {
 public:
  explicit MemoryBytes(std::string_view bytes,
                       std::size_t mostPerRead = std::numeric_limits<std::size_t>::max())
      : bytes_(bytes), mostPerRead_(mostPerRead) {}
  std::size_t read(std::span<char> into) override;

 private:
  std::string_view bytes_;
  std::size_t mostPerRead_;
};

struct OpenedLog {
  std::unique_ptr<LogBytes> bytes;
  std::string failure;  // why the log cannot be read, when bytes is empty
};

OpenedLog openLogFile(const std::string& path);

// Receives what reading a log finds, in file order.
class LineSink {
 public:
  // A row of a trade type the log keeps; it views bytes that live until this returns.
  virtual void kept(const TradeRow& row) = 0;
  // A line that does not read and is not dropped quietly.
  virtual void skipped(std::uint64_t line, const LineProblem& problem) = 0;

 protected:
  ~LineSink() = default;
};

// What reading a log came to.
struct LogReport {
  std::string failure;  // why the reading stopped early; empty when it read to the end
  std::uint64_t lines = 0;
  std::uint64_t kept = 0;
  std::uint64_t skipped = 0;
  std::uint64_t otherTradeTypes = 0;

  bool readable() const { return failure.empty(); }
};

LogReport readTradeLines(LogBytes& bytes, LogKind log, LineSink& sink);

}  // namespace tradepl
