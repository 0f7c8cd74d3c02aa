#include "input/log_reader.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files.hpp"

namespace tradepl {
namespace {

class FileBytes final : public LogBytes {
 public:
  explicit FileBytes(std::FILE* file) : file_(file) {}
  ~FileBytes() override { std::fclose(file_); }
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  std::size_t read(std::span<char> into) override {
    const std::size_t got = std::fread(into.data(), 1, into.size(), file_);
    if (got == 0 && std::ferror(file_) != 0)
      failure_ = "read error: " + platform::systemReason(errno);
    return got;
  }
  std::string failure() const override { return failure_; }

 private:
  std::FILE* file_;
  std::string failure_;
};

// Turns the lines of one log into rows: counts lines, drops quietly what is meant to be
// dropped, and hands the rest on.
class LineReader {
 public:
  LineReader(LogKind log, LineSink& sink) : log_(log), sink_(sink) { row_.log = log; }

  // Reads the line [begin, end), without its LF.
  void read(char* begin, char* end) {
    const std::uint64_t number = ++report_.lines;
    if (end > begin && end[-1] == '\r') --end;
    row_.line = number;
    const LineReading reading =
        readTradeLine(log_, std::span<char>(begin, static_cast<std::size_t>(end - begin)), row_);
    switch (reading.verdict) {
      case LineVerdict::kept:
        ++report_.kept;
        sink_.kept(row_);
        break;
      case LineVerdict::otherTradeType:
        ++report_.otherTradeTypes;
        break;
      case LineVerdict::unreadable:
        if (number == 1) break;  // the column headings
        ++report_.skipped;
        sink_.skipped(number, reading.problem);
        break;
      case LineVerdict::blank:
        break;
    }
  }

  LogReport& report() { return report_; }

 private:
  LogKind log_;
  LineSink& sink_;
  LogReport report_;
  // One row for every line: a kept row has every column of its layout written afresh, and
  // the columns the layout lacks stay as cleared here. Clearing a row per line cost more
  // than reading its numbers.
  TradeRow row_;
};

// Large enough that a read costs little per line, small enough to stay in the cache.
constexpr std::size_t kBlockSize = std::size_t{256} << 10;

// Reads the log in large blocks, handing complete lines to the reader; a line longer than
// a block grows the block. Each byte is searched for a line end once.
void readInBlocks(LogBytes& bytes, LineReader& reader) {
  std::size_t capacity = kBlockSize;
  auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
  std::size_t kept = 0;  // bytes of an unfinished line at the front, searched already
  for (;;) {
    const std::size_t got = bytes.read(std::span<char>(buffer.get() + kept, capacity - kept));
    if (got == 0) break;
    char* lineStart = buffer.get();
    char* const end = buffer.get() + kept + got;
    char* searchFrom = buffer.get() + kept;
    while (auto* lineEnd = static_cast<char*>(
               std::memchr(searchFrom, '\n', static_cast<std::size_t>(end - searchFrom)))) {
      reader.read(lineStart, lineEnd);
      lineStart = searchFrom = lineEnd + 1;
    }
    kept = static_cast<std::size_t>(end - lineStart);
    if (lineStart != buffer.get()) std::memmove(buffer.get(), lineStart, kept);
    if (kept == capacity) {
      auto larger = std::make_unique_for_overwrite<char[]>(capacity * 2);
      std::memcpy(larger.get(), buffer.get(), kept);
      buffer = std::move(larger);
      capacity *= 2;
    }
  }
  if (kept > 0) reader.read(buffer.get(), buffer.get() + kept);  // no line end at the end
}

}  // namespace

std::size_t MemoryBytes::read(std::span<char> into) {
  const std::size_t size = std::min({into.size(), bytes_.size(), mostPerRead_});
  if (size > 0) std::memcpy(into.data(), bytes_.data(), size);
  bytes_.remove_prefix(size);
  return size;
}

OpenedLog openLogFile(const std::string& path) {
  if (path.empty()) return {nullptr, "empty path"};
  if (platform::isDirectory(path)) return {nullptr, "is a directory"};
  std::FILE* file = platform::openForReading(path);
  if (file == nullptr) return {nullptr, platform::systemReason(errno)};
  return {std::make_unique<FileBytes>(file), {}};
}

LogReport readTradeLines(LogBytes& bytes, LogKind log, LineSink& sink) {
  LineReader reader(log, sink);
  readInBlocks(bytes, reader);
  LogReport report = std::move(reader.report());
  report.failure = bytes.failure();
  return report;
}

}  // namespace tradepl
