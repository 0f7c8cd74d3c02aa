#include "input/row_source.hpp"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

#include "input/block_lines.hpp"
#include "input/delivery_scan.hpp"
#include "input/log_survey.hpp"

namespace tradepl {
namespace detail {

// A run of lines of one day: from a dated row to the next dated row of another day, the
// rows after it that have no date included. The lines before the first dated row are a run
// of their own.
struct DayRun {
  std::uint64_t from = 0;  // where its first line begins
  std::uint64_t to = 0;    // where the line after its last begins, or the end of the log
  std::uint64_t firstLine = 0;
  std::uint64_t lastLine = 0;
};

// Finds the runs of one day of a log, in the order of its days: for a log whose days go one
// way and the trades within each day the other, each run is then read on its own, the other
// way. The runs are found by a reading of their own, so that a day of any size is read in
// order with no more memory than a block: the log itself holds the day.
class DayRuns {
 public:
  DayRuns(LogBytes& bytes, const LogSurvey& survey, std::size_t bufferSize, std::uint64_t lineCount)
      : buffer_(std::make_unique_for_overwrite<char[]>(bufferSize)),
        reader_(survey.kind),
        decoder_(survey.encoding),
        size_(bytes.size().value_or(0)),
        fromTheEnd_(daysFromTheEnd(survey.order)) {
    const std::span<char> buffer(buffer_.get(), bufferSize);
    if (fromTheEnd_) {
      backward_.emplace(bytes, survey.lineEnd, buffer);
      number_ = lineCount + 1;
      run_ = {size_, size_, lineCount + 1, lineCount};
    } else {
      forward_.emplace(bytes, survey.lineEnd, buffer, 0, 0, size_);
      run_ = {0, 0, 1, 0};
    }
  }

  std::optional<DayRun> next() {
    if (waiting_) return std::exchange(waiting_, std::nullopt);
    for (;;) {
      const FoundLine found = fromTheEnd_ ? backward_->next() : forward_->next();
      if (found.kind == FoundLine::Kind::end) return atEnd();
      number_ += fromTheEnd_ ? std::uint64_t(0) - 1 : 1;
      const std::optional<Day> day = dayOfRow(found);
      if (!day) continue;
      if (std::optional<DayRun> done = fromTheEnd_ ? backTo(found, *day) : onTo(found, *day)) {
        if (done->firstLine <= done->lastLine) return done;
      }
    }
  }

  // Whether the runs were found to the log's end.
  bool whole() const {
    return fromTheEnd_ ? !backward_->failed() : forward_->bytesGiven() == size_;
  }

 private:
  // The day of a line that is a dated row the log keeps.
  std::optional<Day> dayOfRow(const FoundLine& found) {
    if (found.kind != FoundLine::Kind::text) return std::nullopt;
    LineProblem problem;
    const std::optional<std::string_view> line = decoder_.shiftJis(found.text, problem);
    TradeRow row;
    if (!line || reader_.read(*line, row).verdict != LineVerdict::kept) return std::nullopt;
    return dayOf(row.executed.date);
  }

  // Read from the top: a dated row of another day ends the run before it.
  std::optional<DayRun> onTo(const FoundLine& found, const Day& day) {
    if (day_ == day) return std::nullopt;
    day_ = day;
    DayRun done = run_;
    done.to = found.start;
    done.lastLine = number_ - 1;
    run_ = {found.start, 0, number_, 0};
    return done;
  }

  // Read from the end: the lines met since the last dated row belong to the run of the
  // dated row before them; a dated row of another day closes the run after it.
  std::optional<DayRun> backTo(const FoundLine& found, const Day& day) {
    if (!day_ || day_ == day) {
      day_ = day;
      run_.from = found.start;
      run_.firstLine = number_;
      return std::nullopt;
    }
    day_ = day;
    const DayRun done = run_;
    run_ = {found.start, done.from, number_, done.firstLine - 1};
    return done;
  }

  std::optional<DayRun> atEnd() {
    if (ended_) return std::nullopt;
    ended_ = true;
    if (!whole()) return std::nullopt;
    if (!fromTheEnd_) {
      DayRun done = run_;
      done.to = size_;
      done.lastLine = number_;
      if (done.firstLine <= done.lastLine) return done;
      return std::nullopt;
    }
    // The lines above the first dated row are a run of their own.
    const DayRun above{0, run_.from, 1, run_.firstLine - 1};
    if (!day_) return above.lastLine >= 1 ? std::optional(above) : std::nullopt;
    if (above.lastLine >= 1) waiting_ = above;
    return run_;
  }

  std::unique_ptr<char[]> buffer_;
  std::optional<ForwardLines> forward_;
  std::optional<BackwardLines> backward_;
  TradeLineReader reader_;
  LineDecoder decoder_;
  std::uint64_t size_;
  bool fromTheEnd_;
  std::uint64_t number_ = 0;  // the number of the line found last
  std::optional<Day> day_;    // the day of the run being found
  DayRun run_;
  std::optional<DayRun> waiting_;  // found, to be handed out next
  bool ended_ = false;
};

// Hears nothing: for a second reading of a log, whose lines the first reading tells of.
class UnheardLines final : public LineListener {
 public:
  void skipped(std::uint64_t, const LineProblem&) override {}
  void outOfOrder(const TradeRow&) override {}
};

UnheardLines unheard;

}  // namespace detail

using detail::FoundLine;
using detail::LogSurvey;

RowSource::RowSource(LogReader& log, LineListener& listener, std::uint32_t source)
    : RowSource(log, listener, source, log.survey_->kind, nullptr) {}

std::unique_ptr<RowSource> RowSource::deliveriesOf(LogReader& log, std::uint32_t source) {
  if (!factsOf(log.kind()).keeps(TradeKind::deliveryTake) || !log.bytes_->size()) return nullptr;
  auto buffer = std::make_unique_for_overwrite<char[]>(log.bufferSize_);
  if (log.savedIn() == LogEncoding::shiftJis &&
      !detail::mayHoldDelivery(*log.bytes_, std::span<char>(buffer.get(), log.bufferSize_))) {
    return nullptr;
  }
  return std::unique_ptr<RowSource>(
      new RowSource(log, detail::unheard, source, LogKind::spot, std::move(buffer)));
}

// The first reading of a log goes on from the block its survey read into the log's buffer;
// a second one reads from the start into a buffer of its own, the bytes from their places.
RowSource::RowSource(LogReader& log, LineListener& listener, std::uint32_t source, LogKind stream,
                     std::unique_ptr<char[]> ownBuffer)
    : log_(log),
      listener_(listener),
      stream_(stream),
      ownBuffer_(std::move(ownBuffer)),
      buffer_(ownBuffer_ ? ownBuffer_.get() : log.buffer_.get(), log.bufferSize_),
      reader_(log.survey_->kind),
      decoder_(log.survey_->encoding) {
  row_.log = log.survey_->kind;
  row_.source = source;
  const LogSurvey& survey = *log.survey_;
  LogBytes& bytes = *log.bytes_;
  const std::span<char> buffer = buffer_;
  report_.order = survey.order;
  report_.savedIn = log.savedIn();
  switch (survey.order) {
    case LogOrder::oldestFirst:
      forward_ = !ownBuffer_ ? std::make_unique<detail::ForwardLines>(bytes, survey.lineEnd, buffer,
                                                                      survey.headBytes)
                             : std::make_unique<detail::ForwardLines>(
                                   bytes, survey.lineEnd, buffer, 0, 0, bytes.size().value_or(0));
      break;
    case LogOrder::newestFirst:
      next_ = detail::countLines(bytes, survey.lineEnd, buffer);
      step_ = std::uint64_t(0) - 1;
      backward_ = std::make_unique<detail::BackwardLines>(bytes, survey.lineEnd, buffer);
      break;
    case LogOrder::daysNewestFirst:
    case LogOrder::tradesNewestFirst:
      runs_ = std::make_unique<detail::DayRuns>(
          bytes, survey, log.bufferSize_,
          daysFromTheEnd(survey.order) ? detail::countLines(bytes, survey.lineEnd, buffer) : 0);
      if (!startNextStretch()) finish(runs_->whole());
      break;
  }
}

RowSource::~RowSource() = default;

const TradeRow* RowSource::next() {
  while (!finished_) {
    const FoundLine found = forward_ ? forward_->next() : backward_->next();
    if (found.kind == FoundLine::Kind::end) {
      if (!lastStretchWhole()) {
        finish(false);
      } else if (!runs_ || !startNextStretch()) {
        finish(!runs_ || runs_->whole());
      }
      continue;
    }
    ++report_.lines;
    const std::uint64_t number = next_;
    report_.reached = number;
    next_ += step_;
    if (found.kind == FoundLine::Kind::tooLong) {
      skip(number, {LineProblemKind::tooLong});
    } else if (const TradeRow* row = read(found.text, number)) {
      return row;
    }
  }
  return nullptr;
}

// The next run of one day, read the other way from the way the runs are found.
bool RowSource::startNextStretch() {
  const std::optional<detail::DayRun> run = runs_->next();
  forward_.reset();
  backward_.reset();
  if (!run) return false;
  const LogSurvey& survey = *log_.survey_;
  const std::span<char> buffer = buffer_;
  if (survey.order == LogOrder::daysNewestFirst) {
    forward_ = std::make_unique<detail::ForwardLines>(*log_.bytes_, survey.lineEnd, buffer, 0,
                                                      run->from, run->to);
    stretchBytes_ = run->to - run->from;
    next_ = run->firstLine;
    step_ = 1;
  } else {
    // From the line end before the run's first line, which the floor takes in.
    backward_ = std::make_unique<detail::BackwardLines>(*log_.bytes_, survey.lineEnd, buffer,
                                                        run->from > 0 ? run->from - 1 : 0, run->to);
    next_ = run->lastLine;
    step_ = std::uint64_t(0) - 1;
  }
  return true;
}

// Whether the stretch just read gave every byte it should have: a file cut while it was
// read ends early, without a read error to say so.
bool RowSource::lastStretchWhole() {
  if (backward_) return !backward_->failed();
  if (runs_) return forward_->bytesGiven() == stretchBytes_;
  const std::optional<std::uint64_t> size = log_.bytes_->size();
  return !size || forward_->bytesGiven() >= *size;
}

void RowSource::finish(bool whole) {
  finished_ = true;
  forward_.reset();
  backward_.reset();
  report_.failure = log_.bytes_->failure();
  if (!whole && !report_.failure) report_.failure = {FileFailure::shrank};
}

const TradeRow* RowSource::read(std::string_view bytes, std::uint64_t number) {
  LineProblem problem;
  const std::optional<std::string_view> converted = decoder_.shiftJis(bytes, problem);
  if (!converted) {
    skip(number, problem);
    return nullptr;
  }
  const std::string_view text = *converted;
  // A second reading, for the deliveries alone, passes every other line over unread: a
  // margin log is read twice, and the second time should cost little more than its bytes.
  if (ownBuffer_ && !mayBeDelivery(text)) return nullptr;
  row_.line = number;
  const LineReading reading = reader_.read(text, row_);
  switch (reading.verdict) {
    case LineVerdict::kept:
      // A log read as it comes cannot be read a second time for its deliveries.
      if (holdingsOf(row_.kind) != stream_ && !ownBuffer_ && !log_.bytes_->size()) {
        skip(number, {LineProblemKind::deliveryNotReread, kTradeTypeColumn});
        break;
      }
      ++report_.kept;
      checkOrder();
      return holdingsOf(row_.kind) == stream_ ? &row_ : nullptr;
    case LineVerdict::blank:
      ++report_.blank;
      break;
    case LineVerdict::otherTradeType:
    case LineVerdict::unreadable:
      // A row saved in UTF-8 would pass for another trade type; it is said, not dropped.
      if (detail::holdsKeywordInUtf8(text)) {
        skip(number, {LineProblemKind::utf8Text});
      } else if (reading.verdict == LineVerdict::otherTradeType) {
        ++report_.otherTradeTypes;
      } else if (!isHeading(number, text)) {
        skip(number, reading.problem);
      }
      break;
  }
  return nullptr;
}

void RowSource::skip(std::uint64_t number, const LineProblem& problem) {
  ++report_.skipped;
  listener_.skipped(number, problem);
}

// The column headings, and whatever stands before them at the top of the log.
bool RowSource::isHeading(std::uint64_t number, std::string_view line) {
  return number == 1 || number <= log_.survey_->headingLine || reader_.isHeading(line);
}

// Warns once when a row was executed before the dated row taken just before it.
void RowSource::checkOrder() {
  if (!row_.executed.dated()) return;
  if (!warnedOrder_ && previous_.dated() && executedBefore(row_.executed, previous_)) {
    warnedOrder_ = true;
    listener_.outOfOrder(row_);
  }
  previous_ = row_.executed;
}

}  // namespace tradepl
