#include "input/log_survey.hpp"

#include <algorithm>
#include <cstring>
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

// The length of the line's leading ASCII bytes, eight at a time: most of a row is ASCII
// (dates, codes, amounts), and every line of the first block is looked at this way.
std::size_t asciiPrefix(std::string_view line) {
  std::size_t i = 0;
  for (std::uint64_t word = 0; i + sizeof word <= line.size(); i += sizeof word) {
    std::memcpy(&word, line.data() + i, sizeof word);
    if ((word & 0x8080808080808080) != 0) break;
  }
  while (i < line.size() && static_cast<unsigned char>(line[i]) < 0x80) ++i;
  return i;
}

// What the lines of the first block come to, read as one kind of log.
class KindLook {
 public:
  enum class Seen : std::uint8_t { nothing, heading, row, unreadable };

  explicit KindLook(LogKind kind) : reader_(kind) {}

  // `passedOver`: a row pasted in UTF-8 among Shift_JIS rows, which the reader skips too. It
  // is no heading line either: the headings are Shift_JIS, none spells a trade type in UTF-8.
  Seen look(std::uint64_t number, std::string_view line, bool passedOver) {
    if (passedOver) return Seen::nothing;
    if (reader_.isHeading(line)) {
      if (rows == 0) headingLine = number;
      return Seen::heading;
    }
    TradeRow row;
    const LineVerdict verdict = reader_.read(line, row).verdict;
    if (verdict == LineVerdict::unreadable) return Seen::unreadable;
    if (verdict == LineVerdict::blank) return Seen::nothing;
    ++rows;
    if (verdict == LineVerdict::kept) order.take(row.executed);
    return Seen::row;
  }

  std::uint64_t rows = 0;         // lines that read in its layout, of any trade type
  std::uint64_t headingLine = 0;  // its heading line, when no row stands before it
  OrderVote order{false};

 private:
  TradeLineReader reader_;
};

// The lines of the first block in one encoding, as the kind the log was named as and, until
// a row reads as that kind, as the other kind too. A log whose rows, or heading, read only
// as the other kind is that kind, whatever it was named as.
class EncodingLook {
 public:
  EncodingLook(LogKind named, LogEncoding encoding)
      : encoding_(encoding), decoder_(encoding), named_(named) {
    other_.emplace(factsOf(named).other);
  }

  // `utf8Keyword`: the line spells a trade type in UTF-8.
  void look(std::uint64_t number, std::string_view text, bool utf8Keyword) {
    LineProblem problem;
    const std::optional<std::string_view> line = decoder_.shiftJis(text, problem);
    if (!line) return;
    const bool passedOver = encoding_ == LogEncoding::shiftJis && utf8Keyword;
    const KindLook::Seen named = named_.look(number, *line, passedOver);
    if (!other_) return;
    const KindLook::Seen other = other_->look(number, *line, passedOver);
    if (named == KindLook::Seen::unreadable) {
      otherRows_ += other == KindLook::Seen::row ? 1 : 0;
      otherHeading_ = otherHeading_ || other == KindLook::Seen::heading;
    }
    if (named_.rows > 0) other_.reset();  // the log is the kind it was named as
  }

  bool turns() const {
    return named_.rows == 0 && (otherRows_ > 0 || (otherHeading_ && named_.headingLine == 0));
  }
  const KindLook& taken() const { return turns() ? *other_ : named_; }

 private:
  LogEncoding encoding_;
  LineDecoder decoder_;
  KindLook named_;
  std::optional<KindLook> other_;
  std::uint64_t otherRows_ = 0;  // lines unreadable as the named kind that read as the other
  bool otherHeading_ = false;    // the other kind's heading line, among those lines
};

// Looks at the lines of the first block, once: the log's kind and encoding, its heading line,
// and the order of its dated rows. A log without a byte-order mark is looked at as Shift_JIS
// and as UTF-8 at once; it is UTF-8 when its first block spells a trade type in UTF-8 and more
// of its lines with non-ASCII bytes are UTF-8 than are not. One row pasted in from a file of
// the other encoding does not turn the log over; the reader skips it.
class HeadSurvey {
 public:
  explicit HeadSurvey(LogSurvey& survey)
      : survey_(survey), asWritten_(survey.kind, survey.encoding) {
    if (survey.encoding == LogEncoding::shiftJis) asUtf8_.emplace(survey.kind, LogEncoding::utf8);
  }

  void look(std::string_view head) {
    std::uint64_t number = 0;
    for (std::size_t start = 0; start < head.size();) {
      const std::size_t end = head.find(survey_.lineEnd, start);
      if (end == std::string_view::npos && !survey_.headIsAll) break;  // cut by the block
      const std::size_t stop = end == std::string_view::npos ? head.size() : end;
      lookAt(++number, head.substr(start, stop - start));
      start = stop + 1;
      survey_.headLooked = std::min(start, head.size());
    }
    const bool utf8 = asUtf8_ && keywordInUtf8_ && utf8Lines_ > otherLines_;
    if (utf8) survey_.encoding = LogEncoding::utf8;
    const EncodingLook& taken = utf8 ? *asUtf8_ : asWritten_;
    if (taken.turns()) survey_.kind = factsOf(survey_.kind).other;
    const KindLook& kind = taken.taken();
    survey_.headingLine = kind.headingLine;
    survey_.recognised = kind.rows > 0 || kind.headingLine != 0;
    kind.order.addTo(survey_);
  }

 private:
  void lookAt(std::uint64_t number, std::string_view line) {
    // A log whose encoding its first bytes told is read in that one.
    if (!asUtf8_) return asWritten_.look(number, lineText(line, survey_.lineEnd), false);
    const std::size_t firstNonAscii = asciiPrefix(line);
    const bool ascii = firstNonAscii == line.size();
    // Every trade type is spelled in non-ASCII characters.
    const bool keyword = !ascii && holdsKeywordInUtf8(line);
    const bool utf8 = ascii || isUtf8(line.substr(firstNonAscii));
    keywordInUtf8_ = keywordInUtf8_ || keyword;
    if (!ascii) ++(utf8 ? utf8Lines_ : otherLines_);
    const std::string_view text = lineText(line, survey_.lineEnd);
    asWritten_.look(number, text, keyword);
    // A line that is not UTF-8 does not convert from it: nothing to look at.
    if (utf8) asUtf8_->look(number, text, keyword);
  }

  LogSurvey& survey_;
  EncodingLook asWritten_;              // in the encoding its first bytes tell
  std::optional<EncodingLook> asUtf8_;  // a log without a byte-order mark, taken as UTF-8
  bool keywordInUtf8_ = false;
  std::uint64_t utf8Lines_ = 0;   // lines with non-ASCII bytes that are UTF-8
  std::uint64_t otherLines_ = 0;  // and those that are not
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
