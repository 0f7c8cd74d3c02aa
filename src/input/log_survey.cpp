#include "input/log_survey.hpp"

#include <algorithm>
#include <memory>

#include "input/block_lines.hpp"
#include "input/trade_line.hpp"
#include "records/shift_jis.hpp"

namespace tradepl::detail {
namespace {

// UTF-16 is known by its byte-order mark alone; UTF-8 by its mark, or later by the trade
// types spelled in it.
LogEncoding encodingByFirstBytes(std::string_view head) {
  if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) return LogEncoding::utf16;
  if (head.starts_with("\xEF\xBB\xBF")) return LogEncoding::utf8;
  return LogEncoding::shiftJis;
}

// Whether a log without a byte-order mark was saved as UTF-8: its first block spells a trade
// type in UTF-8, and more of its lines with non-ASCII bytes are UTF-8 than are not. One row
// pasted in from a file of the other encoding does not turn the log over; the reader skips it.
bool isMostlyUtf8(std::string_view lines, char lineEnd) {
  if (!holdsKeywordInUtf8(lines)) return false;
  std::uint64_t utf8 = 0;
  std::uint64_t notUtf8 = 0;
  for (std::size_t start = 0; start < lines.size();) {
    const std::size_t end = std::min(lines.find(lineEnd, start), lines.size());
    const std::string_view line = lines.substr(start, end - start);
    const bool ascii = std::all_of(line.begin(), line.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) ++(isUtf8(line) ? utf8 : notUtf8);
    start = end + 1;
  }
  return utf8 > notUtf8;
}

LogRefusal refusalByFirstBytes(std::string_view head) {
  // An .xlsx workbook is a ZIP archive; an .xls one an OLE compound file.
  if (head.starts_with("PK\x03\x04") || head.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
    return LogRefusal::workbook;
  }
  if (head.find('\0') != std::string_view::npos) return LogRefusal::notText;
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

// Counts, over consecutive dated rows, the pairs that go back in time and those that go
// forward: pairs of two days apart from pairs within a day. A log's order is taken by the
// count, so that one mistyped date (2004 for 2024 in its last row) cannot turn it around.
class OrderVote {
 public:
  // `backward`: the rows come from the last line up, so a pair's first row is the later one.
  explicit OrderVote(bool backward) : backward_(backward) {}

  void take(const ExecutionDate& executed) {
    const std::optional<Day> day = dayOf(executed.date);
    if (!day) return;
    if (previous_) {
      const bool sameDay = *day == previousDay_;
      const ExecutionDate& earlier = backward_ ? executed : *previous_;
      const ExecutionDate& later = backward_ ? *previous_ : executed;
      LogSurvey::Votes& votes = sameDay ? times : days;
      if (executedBefore(later, earlier)) ++votes.back;
      if (executedBefore(earlier, later)) ++votes.forward;
    }
    previous_ = executed;
    previousDay_ = *day;
  }

  void addTo(LogSurvey& survey) const {
    survey.days.back += days.back;
    survey.days.forward += days.forward;
    survey.times.back += times.back;
    survey.times.forward += times.forward;
  }

  LogSurvey::Votes days;
  LogSurvey::Votes times;

 private:
  bool backward_;
  std::optional<ExecutionDate> previous_;
  Day previousDay_;
};

// Looks at the lines of the first block: the log's kind and encoding, its heading line, and
// the order of its dated rows. A log whose rows, or heading, read only as the other kind of
// log is that kind, whatever it was named as; one whose trade types are spelled in UTF-8, in
// most of its lines, is UTF-8.
class HeadSurvey {
 public:
  explicit HeadSurvey(LogSurvey& survey) : survey_(survey) {}

  void look(std::string_view head) {
    if (survey_.encoding == LogEncoding::shiftJis &&
        isMostlyUtf8(wholeLines(head), survey_.lineEnd)) {
      survey_.encoding = LogEncoding::utf8;
    }
    scan(head);
    if (ownRows_ == 0 && (otherRows_ > 0 || (otherHeading_ && survey_.headingLine == 0))) {
      survey_.kind = factsOf(survey_.kind).other;
      scan(head);
    }
    survey_.recognised = ownRows_ > 0 || survey_.headingLine != 0;
    order_.addTo(survey_);
  }

 private:
  // The lines of the first block that it holds whole: the block may cut the last one, in
  // the middle of a character.
  std::string_view wholeLines(std::string_view head) const {
    if (survey_.headIsAll) return head;
    const std::size_t lastEnd = head.rfind(survey_.lineEnd);
    return lastEnd == std::string_view::npos ? std::string_view() : head.substr(0, lastEnd + 1);
  }

  void scan(std::string_view head) {
    own_ = TradeLineReader(survey_.kind);
    other_ = TradeLineReader(factsOf(survey_.kind).other);
    decoder_ = LineDecoder(survey_.encoding);
    order_ = OrderVote(false);
    ownRows_ = otherRows_ = 0;
    otherHeading_ = false;
    survey_.headingLine = 0;
    survey_.headLooked = 0;
    std::uint64_t number = 0;
    std::size_t start = 0;
    while (start < head.size()) {
      const std::size_t end = head.find(survey_.lineEnd, start);
      if (end == std::string_view::npos && !survey_.headIsAll) break;  // cut by the block
      const std::size_t stop = end == std::string_view::npos ? head.size() : end;
      if (!lookAt(++number, lineText(head.substr(start, stop - start), survey_.lineEnd))) {
        break;
      }
      start = stop + 1;
      survey_.headLooked = std::min(start, head.size());
    }
  }

  // False once enough is known.
  bool lookAt(std::uint64_t number, std::string_view text) {
    LineProblem problem;
    const std::optional<std::string_view> line = decoder_.shiftJis(text, problem);
    if (!line) return true;
    if (own_.isHeading(*line)) {
      if (ownRows_ == 0) survey_.headingLine = number;
      return true;
    }
    // A row pasted in UTF-8 among Shift_JIS rows: the reader skips it, and so does this look.
    if (survey_.encoding == LogEncoding::shiftJis && holdsKeywordInUtf8(*line)) return true;
    TradeRow row;
    const LineVerdict verdict = own_.read(*line, row).verdict;
    if (verdict == LineVerdict::kept || verdict == LineVerdict::otherTradeType) {
      ++ownRows_;
      if (verdict == LineVerdict::kept) order_.take(row.executed);
    } else if (verdict == LineVerdict::unreadable && ownRows_ == 0) {
      TradeRow other;
      const LineVerdict asOther = other_.read(*line, other).verdict;
      if (asOther == LineVerdict::kept || asOther == LineVerdict::otherTradeType) ++otherRows_;
      if (other_.isHeading(*line)) otherHeading_ = true;
    }
    return true;
  }

  LogSurvey& survey_;
  TradeLineReader own_{LogKind::spot};
  TradeLineReader other_{LogKind::margin};
  LineDecoder decoder_;
  OrderVote order_{false};
  std::uint64_t ownRows_ = 0;    // rows that read in the layout of the log's kind
  std::uint64_t otherRows_ = 0;  // lines that read only in the other kind's layout
  bool otherHeading_ = false;
};

// Counts the order of the dated rows of the last block, reading back from the end of the
// log, from the line end before `floor` on. False when the bytes ended before their size.
bool surveyTail(LogBytes& bytes, LogSurvey& survey, std::span<char> buffer, std::uint64_t floor) {
  TradeLineReader reader(survey.kind);
  LineDecoder decoder(survey.encoding);
  OrderVote order(true);
  BackwardLines lines(bytes, survey.lineEnd, buffer, floor);
  for (FoundLine found; (found = lines.next()).kind != FoundLine::Kind::end;) {
    LineProblem problem;
    const std::optional<std::string_view> line =
        found.kind == FoundLine::Kind::text ? decoder.shiftJis(found.text, problem) : std::nullopt;
    TradeRow row;
    if (line && reader.read(*line, row).verdict == LineVerdict::kept) order.take(row.executed);
  }
  order.addTo(survey);
  return !lines.failed();
}

}  // namespace

bool holdsKeywordInUtf8(std::string_view line) {
  for (const std::string_view keyword :
       {sjis::kSpotInUtf8, sjis::kMarginOpeningInUtf8, sjis::kMarginClosingInUtf8,
        sjis::kDeliveryTakeInUtf8, sjis::kDeliveryGiveInUtf8, sjis::kDeliveryTakeFormalInUtf8,
        sjis::kDeliveryGiveFormalInUtf8}) {
    if (line.find(keyword) != std::string_view::npos) return true;
  }
  return false;
}

LogSurvey surveyLog(LogBytes& bytes, LogKind log, std::span<char> buffer, LogEncoding encoding) {
  LogSurvey survey;
  survey.kind = log;
  survey.encoding = encoding;
  const std::span<char> head = buffer.first(std::min(kBlockSize, buffer.size()));
  survey.headBytes = readFully(bytes, head);
  survey.headIsAll = survey.headBytes < head.size();
  survey.failure = bytes.failure();
  const std::string_view headText(buffer.data(), survey.headBytes);
  if (survey.failure) return survey;
  if (survey.encoding == LogEncoding::shiftJis) survey.encoding = encodingByFirstBytes(headText);
  if (survey.encoding == LogEncoding::utf16) return survey;  // to be decoded first
  survey.refusal = refusalByFirstBytes(headText);
  if (survey.refusal != LogRefusal::none) return survey;

  survey.lineEnd = lineEndOf(headText);
  HeadSurvey(survey).look(headText);
  const std::optional<std::uint64_t> size = bytes.size();
  if (!survey.headIsAll && size) {
    // The tail is looked at in a buffer of its own: the first block stays where it is, to
    // be read first if the log is read from the top.
    auto tail = std::make_unique_for_overwrite<char[]>(buffer.size());
    // From the line end before the first line not looked at, so that no line counts twice.
    const std::uint64_t floor =
        std::max<std::uint64_t>(survey.headLooked > 0 ? survey.headLooked - 1 : 0,
                                *size > kBlockSize ? *size - kBlockSize : std::uint64_t{0});
    const bool complete =
        surveyTail(bytes, survey, std::span<char>(tail.get(), buffer.size()), floor);
    survey.failure = bytes.failure();
    if (!complete && !survey.failure) survey.failure = {FileFailure::shrank};
  }
  // Only bytes that can be read from any place can be read in another order than written.
  if (size) survey.order = orderByVotes(survey.days, survey.times);
  return survey;
}

LogOrder orderByVotes(const LogSurvey::Votes& days, const LogSurvey::Votes& times) {
  if (days.back + days.forward == 0) {
    return times.back > times.forward ? LogOrder::newestFirst : LogOrder::oldestFirst;
  }
  const bool daysBack = days.back > days.forward;
  const std::uint64_t against = daysBack ? times.forward : times.back;
  const std::uint64_t along = daysBack ? times.back : times.forward;
  const bool timesTurn = against >= 2 && against > along;
  if (daysBack) return timesTurn ? LogOrder::daysNewestFirst : LogOrder::newestFirst;
  return timesTurn ? LogOrder::tradesNewestFirst : LogOrder::oldestFirst;
}

}  // namespace tradepl::detail
