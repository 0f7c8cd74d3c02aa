#include "input/log_reader.hpp"

#include <algorithm>
#include <string_view>

#include "input/block_lines.hpp"
#include "input/log_survey.hpp"

namespace tradepl {
namespace {

using detail::holdsKeywordInUtf8;
using detail::kBufferSize;
using detail::LogSurvey;

// Takes the lines of a log in the order they are handed over: counts them, drops quietly
// what is meant to be dropped, and hands the rest on.
class LineHandler final : public detail::LineVisitor {
 public:
  LineHandler(const LogSurvey& survey, LineSink& sink, std::uint64_t firstNumber, bool countingDown)
      : reader_(survey.kind),
        decoder_(survey.encoding),
        survey_(survey),
        sink_(sink),
        next_(firstNumber),
        step_(countingDown ? std::uint64_t(0) - 1 : 1) {
    row_.log = survey.kind;
  }

  bool line(std::string_view bytes) override {
    const std::uint64_t number = take();
    LineProblem problem;
    const std::optional<std::string_view> converted = decoder_.shiftJis(bytes, problem);
    if (!converted) {
      skip(number, problem);
      return true;
    }
    const std::string_view text = *converted;
    row_.line = number;
    const LineReading reading = reader_.read(text, row_);
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
    report_.reached = number;
    next_ += step_;
    return number;
  }

  void skip(std::uint64_t number, const LineProblem& problem) {
    ++report_.skipped;
    sink_.skipped(number, problem);
  }

  // The column headings, and whatever stands before them at the top of the log.
  bool isHeading(std::uint64_t number, std::string_view line) {
    return number == 1 || number <= survey_.headingLine || reader_.isHeading(line);
  }

  // Warns once when a row was executed before the dated row taken just before it.
  void checkOrder() {
    if (!row_.executed.dated()) return;
    if (!warnedOrder_ && previous_ && executedBefore(row_.executed, *previous_)) {
      warnedOrder_ = true;
      sink_.outOfOrder(row_);
    }
    previous_ = row_.executed;
  }

  TradeLineReader reader_;
  detail::LineDecoder decoder_;
  const LogSurvey& survey_;
  LineSink& sink_;
  std::uint64_t next_;
  std::uint64_t step_;
  LogReport report_;
  std::optional<ExecutionDate> previous_;
  bool warnedOrder_ = false;
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

}  // namespace

LogReader::LogReader(LogBytes& bytes, LogKind log) : bytes_(&bytes) {
  survey(log, LogEncoding::shiftJis);
  if (survey_->encoding != LogEncoding::utf16 || survey_->failure) return;
  detail::DecodedLog decoded =
      detail::decodeUtf16(std::string_view(buffer_.get(), survey_->headBytes), bytes);
  if (!decoded.bytes) {
    survey_->failure = decoded.failure;
    if (decoded.malformed) survey_->refusal = LogRefusal::badUtf16;
    return;
  }
  decoded_ = std::move(decoded.bytes);
  bytes_ = decoded_.get();
  survey(log, LogEncoding::utf8);
  savedIn_ = LogEncoding::utf16;
}

LogReader::~LogReader() = default;

void LogReader::survey(LogKind log, LogEncoding encoding) {
  bufferSize_ = bufferSizeFor(*bytes_);
  buffer_ = std::make_unique_for_overwrite<char[]>(bufferSize_);
  survey_ = std::make_unique<LogSurvey>(
      detail::surveyLog(*bytes_, log, std::span<char>(buffer_.get(), bufferSize_), encoding));
}

LogKind LogReader::kind() const {
  return survey_->kind;
}

LogEncoding LogReader::savedIn() const {
  return savedIn_ == LogEncoding::utf16 ? savedIn_ : survey_->encoding;
}

bool LogReader::recognised() const {
  return survey_->recognised;
}

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
  const LogSurvey& survey = *survey_;
  const std::span<char> buffer(buffer_.get(), bufferSize_);
  LogReport report;
  bool complete = true;
  if (survey.newestFirst) {
    const std::uint64_t lines = detail::countLines(*bytes_, survey.lineEnd, buffer);
    LineHandler handler(survey, sink, lines, true);
    complete = detail::readLinesBackward(*bytes_, survey.lineEnd, buffer, handler);
    report = std::move(handler.report());
  } else {
    LineHandler handler(survey, sink, 1, false);
    const std::uint64_t read =
        detail::readLinesForward(*bytes_, survey.lineEnd, buffer, survey.headBytes, handler);
    report = std::move(handler.report());
    // A file cut while it was read ends early, without a read error to say so.
    complete = !bytes_->size() || read >= *bytes_->size();
  }
  report.newestFirst = survey.newestFirst;
  report.savedIn = savedIn();
  report.failure = bytes_->failure();
  if (!complete && !report.failure) report.failure = {FileFailure::shrank};
  return report;
}

}  // namespace tradepl
