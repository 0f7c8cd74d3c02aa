#include "input/log_reader.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "input/block_lines.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

using detail::kBlockSize;
using detail::kBufferSize;

LogKind otherLog(LogKind log) {
  return log == LogKind::spot ? LogKind::margin : LogKind::spot;
}

bool holdsKeywordInUtf8(std::string_view line) {
  return line.find(sjis::kSpotInUtf8) != std::string_view::npos ||
         line.find(sjis::kMarginOpeningInUtf8) != std::string_view::npos ||
         line.find(sjis::kMarginClosingInUtf8) != std::string_view::npos;
}

LogRefusal refusalByFirstBytes(std::string_view head) {
  if (head.starts_with("\xEF\xBB\xBF")) return LogRefusal::utf8;
  if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) return LogRefusal::utf16;
  if (head.find('\0') != std::string_view::npos) return LogRefusal::nulBytes;
  return LogRefusal::none;
}

// LF, as every log has; a log with CR but no LF in its first block ends its lines with CR,
// as Mac programs once wrote them.
char lineEndOf(std::string_view head) {
  if (head.find('\n') == std::string_view::npos && head.find('\r') != std::string_view::npos) {
    return '\r';
  }
  return '\n';
}

// Reads a copy of a line, leaving the bytes as they were for the reading proper.
class LineCopy {
 public:
  LineReading read(LogKind log, std::string_view line, TradeRow& row) {
    copy_.assign(line);
    return readTradeLine(log, copy_, row);
  }

 private:
  std::string copy_;
};

}  // namespace

// What looking the log over found.
struct LogReader::Survey {
  LogRefusal refusal = LogRefusal::none;
  FileProblem failure;
  std::string heading;        // the log's heading line, exactly as the usage text has it
  std::size_t headBytes = 0;  // the log's first block, in the buffer
  bool headIsAll = false;     // the first block holds the whole log
  char lineEnd = '\n';
  std::uint64_t headingLine = 0;  // the lines up to this one are headings and a preamble
  std::optional<ExecutionDate> firstDated;
  std::uint64_t firstDatedEnd = 0;  // where the line of the first dated row ends
  bool newestFirst = false;
};

namespace {

// Looks at the lines of the first block: the heading line, the first dated row, and whether
// the log reads as its own kind at all.
class HeadSurvey {
 public:
  HeadSurvey(LogKind log, LogReader::Survey& survey) : log_(log), survey_(survey) {}

  void look(std::string_view head) {
    std::uint64_t number = 0;
    std::size_t start = 0;
    while (start < head.size()) {
      const std::size_t end = head.find(survey_.lineEnd, start);
      if (end == std::string_view::npos && !survey_.headIsAll) break;  // cut by the block
      const std::size_t stop = end == std::string_view::npos ? head.size() : end;
      if (!lookAt(++number, lineWithout(head.substr(start, stop - start)), stop)) break;
      start = stop + 1;
    }
    if (survey_.refusal == LogRefusal::none && ownRows_ == 0 && otherRows_ > 0) {
      survey_.refusal = LogRefusal::otherLog;
    }
  }

 private:
  std::string_view lineWithout(std::string_view line) const {
    if (survey_.lineEnd == '\n' && line.ends_with('\r')) line.remove_suffix(1);
    return line;
  }

  // False once enough is known.
  bool lookAt(std::uint64_t number, std::string_view line, std::size_t end) {
    if (line == survey_.heading) {
      if (ownRows_ == 0) survey_.headingLine = number;
      return true;
    }
    if (keptRows_ == 0 && holdsKeywordInUtf8(line)) {
      survey_.refusal = LogRefusal::utf8;
      return false;
    }
    TradeRow row;
    const LineVerdict verdict = copy_.read(log_, line, row).verdict;
    if (verdict == LineVerdict::kept || verdict == LineVerdict::otherTradeType) {
      ++ownRows_;
      if (verdict == LineVerdict::kept) ++keptRows_;
      if (verdict == LineVerdict::kept && row.executed.complete()) {
        survey_.firstDated = row.executed;
        survey_.firstDatedEnd = end;
        return false;
      }
    } else if (verdict == LineVerdict::unreadable && ownRows_ == 0) {
      TradeRow other;
      const LineVerdict asOther = copy_.read(otherLog(log_), line, other).verdict;
      if (asOther == LineVerdict::kept || asOther == LineVerdict::otherTradeType) ++otherRows_;
    }
    return true;
  }

  LogKind log_;
  LogReader::Survey& survey_;
  LineCopy copy_;
  std::uint64_t ownRows_ = 0;  // rows that read in this log's layout
  std::uint64_t keptRows_ = 0;
  std::uint64_t otherRows_ = 0;  // lines that read only in the other log's layout
};

// Finds the last dated row, reading back from the end of the log.
class TailSurvey final : public detail::LineVisitor {
 public:
  TailSurvey(LogKind log, char lineEnd) : log_(log), lineEnd_(lineEnd) {}

  bool line(char* begin, char* end) override {
    if (lineEnd_ == '\n' && end > begin && end[-1] == '\r') --end;
    TradeRow row;
    const LineVerdict verdict =
        copy_.read(log_, std::string_view(begin, static_cast<std::size_t>(end - begin)), row)
            .verdict;
    if (verdict != LineVerdict::kept || !row.executed.complete()) return true;
    lastDated = row.executed;
    return false;
  }
  void tooLong() override {}

  std::optional<ExecutionDate> lastDated;

 private:
  LogKind log_;
  char lineEnd_;
  LineCopy copy_;
};

// Takes the lines of a log in the order they are handed over: counts them, drops quietly
// what is meant to be dropped, and hands the rest on.
class LineHandler final : public detail::LineVisitor {
 public:
  LineHandler(LogKind log, const LogReader::Survey& survey, LineSink& sink,
              std::uint64_t firstNumber, bool countingDown)
      : log_(log),
        survey_(survey),
        sink_(sink),
        next_(firstNumber),
        step_(countingDown ? std::uint64_t(0) - 1 : 1) {
    row_.log = log;
  }

  bool line(char* begin, char* end) override {
    const std::uint64_t number = take();
    if (survey_.lineEnd == '\n' && end > begin && end[-1] == '\r') --end;
    row_.line = number;
    const std::span<char> bytes(begin, static_cast<std::size_t>(end - begin));
    const LineReading reading = readTradeLine(log_, bytes, row_, dates_);
    const std::string_view text(begin, bytes.size());
    switch (reading.verdict) {
      case LineVerdict::kept:
        ++report_.kept;
        checkOrder();
        sink_.kept(row_);
        break;
      case LineVerdict::blank:
        ++report_.blank;
        break;
      case LineVerdict::otherTradeType:
      case LineVerdict::unreadable:
        // A row saved in UTF-8 would pass for another trade type; it is said, not dropped.
        if (holdsKeywordInUtf8(text)) {
          skip(number, {LineProblemKind::utf8Text});
        } else if (reading.verdict == LineVerdict::otherTradeType) {
          ++report_.otherTradeTypes;
        } else if (!isHeading(number, text)) {
          skip(number, reading.problem);
        }
        break;
    }
    return true;
  }

  void tooLong() override { skip(take(), {LineProblemKind::tooLong}); }

  LogReport& report() { return report_; }

 private:
  std::uint64_t take() {
    ++report_.lines;
    const std::uint64_t number = next_;
    next_ += step_;
    return number;
  }

  void skip(std::uint64_t number, const LineProblem& problem) {
    ++report_.skipped;
    sink_.skipped(number, problem);
  }

  // The column headings, and whatever stands before them at the top of the log.
  bool isHeading(std::uint64_t number, std::string_view line) const {
    return number == 1 || number <= survey_.headingLine || line == survey_.heading;
  }

  // Warns once when a row was executed before the dated row taken just before it.
  void checkOrder() {
    if (!row_.executed.complete()) return;
    if (!warnedOrder_ && previous_ && executedBefore(row_.executed, *previous_)) {
      warnedOrder_ = true;
      sink_.outOfOrder(row_);
    }
    previous_ = row_.executed;
  }

  LogKind log_;
  const LogReader::Survey& survey_;
  LineSink& sink_;
  std::uint64_t next_;
  std::uint64_t step_;
  LogReport report_;
  std::optional<ExecutionDate> previous_;
  bool warnedOrder_ = false;
  ExecutionDateReader dates_;
  // One row for every line: a kept row has every column of its layout written afresh, and
  // the columns the layout lacks stay as cleared here. Clearing a row per line cost more
  // than reading its numbers.
  TradeRow row_;
};

// A log of known size needs no buffer larger than itself; most logs are small.
std::size_t bufferSizeFor(const LogBytes& bytes) {
  const std::optional<std::uint64_t> size = bytes.size();
  return size ? static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, *size + 1))
              : kBufferSize;
}

// Reads until `into` is full or the bytes end: a pipe hands over what it has at a time.
std::size_t readHead(LogBytes& bytes, std::span<char> into, bool& all) {
  std::size_t filled = 0;
  all = false;
  while (filled < into.size()) {
    const std::size_t got = bytes.read(into.subspan(filled));
    if (got == 0) {
      all = true;
      break;
    }
    filled += got;
  }
  return filled;
}

}  // namespace

LogReader::LogReader(LogBytes& bytes, LogKind log)
    : bytes_(bytes),
      log_(log),
      bufferSize_(bufferSizeFor(bytes)),
      buffer_(std::make_unique_for_overwrite<char[]>(bufferSize_)),
      survey_(std::make_unique<Survey>()) {
  Survey& survey = *survey_;
  survey.headBytes = readHead(
      bytes, std::span<char>(buffer_.get(), std::min(kBlockSize, bufferSize_)), survey.headIsAll);
  survey.failure = bytes.failure();
  const std::string_view head(buffer_.get(), survey.headBytes);
  survey.refusal = refusalByFirstBytes(head);
  if (survey.failure || survey.refusal != LogRefusal::none) return;

  survey.lineEnd = lineEndOf(head);
  survey.heading = headingLine(log);
  HeadSurvey(log, survey).look(head);
  const std::optional<std::uint64_t> size = bytes.size();
  if (survey.refusal != LogRefusal::none || !survey.firstDated || !size) return;

  // The tail is looked at in a buffer of its own: the first block stays where it is, to be
  // read first if the log is read from the top.
  auto tail = std::make_unique_for_overwrite<char[]>(kBufferSize);
  TailSurvey last(log, survey.lineEnd);
  const std::uint64_t floor = std::max<std::uint64_t>(
      survey.firstDatedEnd, *size > kBlockSize ? *size - kBlockSize : std::uint64_t{0});
  detail::readLinesBackward(bytes, survey.lineEnd, std::span<char>(tail.get(), kBufferSize), last,
                            floor);
  survey.failure = bytes.failure();
  survey.newestFirst = last.lastDated && executedBefore(*last.lastDated, *survey.firstDated);
}

LogReader::~LogReader() = default;

LogRefusal LogReader::refusal() const {
  return survey_->refusal;
}

bool LogReader::newestFirst() const {
  return survey_->newestFirst;
}

const FileProblem& LogReader::failure() const {
  return survey_->failure;
}

LogReport LogReader::read(LineSink& sink) {
  const Survey& survey = *survey_;
  const std::span<char> buffer(buffer_.get(), bufferSize_);
  LogReport report;
  if (survey.newestFirst) {
    const std::uint64_t lines = detail::countLines(bytes_, survey.lineEnd, buffer);
    LineHandler handler(log_, survey, sink, lines, true);
    detail::readLinesBackward(bytes_, survey.lineEnd, buffer, handler);
    report = std::move(handler.report());
  } else {
    LineHandler handler(log_, survey, sink, 1, false);
    detail::readLinesForward(bytes_, survey.lineEnd, buffer, survey.headBytes, handler);
    report = std::move(handler.report());
  }
  report.newestFirst = survey.newestFirst;
  report.failure = bytes_.failure();
  return report;
}

LogReport readTradeLines(LogBytes& bytes, LogKind log, LineSink& sink) {
  LogReader reader(bytes, log);
  if (reader.failure() || reader.refusal() != LogRefusal::none) {
    LogReport report;
    report.refusal = reader.refusal();
    report.failure = reader.failure();
    return report;
  }
  return reader.read(sink);
}

}  // namespace tradepl
