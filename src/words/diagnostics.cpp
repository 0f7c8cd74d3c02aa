#include "words/diagnostics.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "output/result_line.hpp"
#include "platform/text.hpp"
#include "records/numbers.hpp"
#include "words/describe.hpp"
#include "words/log_kind_words.hpp"

namespace tradepl {
namespace {

std::string codeText(const StockCode& code) {
  std::string text;
  appendStockCode(text, code);
  return text;
}

// A price as people write it: 4,000 or 156.5 as a log writes it; an average that does not
// end (7046.666…) to two decimals, as the result file writes it.
std::string priceText(double price) {
  if (std::trunc(price) == price && std::fabs(price) < 0x1p53) {
    const auto whole = static_cast<std::int64_t>(price);
    std::string text(whole < 0 ? "-" : "");
    text += grouped(magnitudeOf(whole));
    return text;
  }
  char buffer[400];
  auto written = std::to_chars(buffer, buffer + sizeof buffer, price);
  const std::string_view shortest(buffer, static_cast<std::size_t>(written.ptr - buffer));
  const std::size_t point = shortest.find('.');
  if (point != std::string_view::npos && shortest.find('e') == std::string_view::npos &&
      shortest.size() - point - 1 <= 2) {
    return std::string(shortest);
  }
  written = std::to_chars(buffer, buffer + sizeof buffer, price, std::chars_format::fixed, 2);
  return std::string(buffer, written.ptr);
}

std::string dayText(const Day& day) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04lld/%02lld/%02lld", static_cast<long long>(day.year),
                static_cast<long long>(day.month), static_cast<long long>(day.day));
  return buffer;
}

struct LedgerNoteWords {
  LedgerNoteKind kind;
  Message message;  // {1} the code, {2} the account, and {3} the shares held `withHeld`
  Gap gap;          // a sale without a holding, or a trade left out, is missing from the totals
  bool withHeld;
};

constexpr auto kLedgerNoteWords = std::to_array<LedgerNoteWords>({
    {LedgerNoteKind::saleWithoutHolding, Message::saleWithoutHolding, Gap::explained, false},
    {LedgerNoteKind::soldMoreThanHeld, Message::soldMoreThanHeld, Gap::none, true},
    {LedgerNoteKind::amountOutOfRange, Message::amountOutOfRange, Gap::explained, false},
});
static_assert(isRowPerValue(kLedgerNoteWords, &LedgerNoteWords::kind,
                            LedgerNoteKind::amountOutOfRange));
static_assert(std::ranges::all_of(kLedgerNoteWords, [](const LedgerNoteWords& row) {
  return blanksOf(row.message) == (row.withHeld ? 3 : 2);
}));

constexpr std::uint64_t kMostLineMessages = 20;

}  // namespace

// What one log's lines and trades give to say, at most kMostLineMessages of them.
class Diagnostics::LogLines final : public LineListener {
 public:
  LogLines(Diagnostics& run, LogKind kind, std::string_view path)
      : run_(run), kind_(kind), path_(path) {}

  LogKind kind() const { return kind_; }
  const std::string& path() const { return path_; }

  void skipped(std::uint64_t line, const LineProblem& problem) override {
    if (mayTell(true, Gap::explained)) {
      const Language language = run_.language();
      tell(line, say(language, Message::skipped, describe(language, problem, kind_)),
           Gap::explained);
    }
  }
  void outOfOrder(const TradeRow& row) override {
    if (mayTell(false, Gap::none)) {
      tell(row.line, say(run_.language(), Message::outOfOrder), Gap::none);
    }
  }

  // Whether one more message about a line may be said; once the log has said enough, the
  // message is counted instead, before anything of it is composed.
  bool mayTell(bool isSkip, Gap gap);
  void tell(std::uint64_t line, const std::string& text, Gap gap) {
    run_.aboutLine(path_, line, text, gap);
  }
  // Says how many messages the gate held back.
  void finish();

 private:
  Diagnostics& run_;
  LogKind kind_;
  std::string path_;
  std::uint64_t said_ = 0;
  std::uint64_t unsaidSkips_ = 0;
  std::uint64_t unsaidNotes_ = 0;
  bool unsaidGap_ = false;  // among the notes not said, one about a trade left out
};

bool Diagnostics::LogLines::mayTell(bool isSkip, Gap gap) {
  if (said_ < kMostLineMessages) {
    ++said_;
    return true;
  }
  if (isSkip) {
    ++unsaidSkips_;
  } else {
    ++unsaidNotes_;
    unsaidGap_ = unsaidGap_ || gap == Gap::explained;
  }
  return false;
}

void Diagnostics::LogLines::finish() {
  const Language language = run_.language();
  if (unsaidSkips_ > 0) {
    run_.aboutFile(path_, say(language, Message::moreLinesSkipped, grouped(unsaidSkips_)),
                   Gap::explained);
  }
  if (unsaidNotes_ > 0) {
    run_.aboutFile(path_, say(language, Message::moreNotes, grouped(unsaidNotes_)),
                   unsaidGap_ ? Gap::explained : Gap::none);
  }
}

Diagnostics::Diagnostics(Reporter& reporter, Language language, std::string_view splitsPath)
    : reporter_(reporter), language_(language), splitsPath_(splitsPath) {}

Diagnostics::~Diagnostics() = default;

void Diagnostics::aboutFile(std::string_view path, const std::string& text, Gap gap) {
  count(gap);
  reporter_.report(path, text);
}

void Diagnostics::aboutLine(std::string_view path, std::uint64_t line, const std::string& text,
                            Gap gap) {
  count(gap);
  reporter_.report(path, line, text);
}

void Diagnostics::cannotRead(std::string_view path, const FileProblem& problem) {
  aboutFile(path, say(language_, Message::cannotRead, describe(language_, problem)),
            Gap::explained);
}

std::size_t Diagnostics::addLog(LogKind kind, std::string_view path) {
  logs_.push_back(std::make_unique<LogLines>(*this, kind, path));
  return logs_.size() - 1;
}

LineListener& Diagnostics::linesOf(std::size_t log) {
  return *logs_[log];
}

void Diagnostics::finishLog(std::size_t log, const LogReport& report) {
  LogLines& lines = *logs_[log];
  lines.finish();
  if (report.kept == 0 && report.lines > report.blank) {
    aboutFile(lines.path(), sayChosen(language_, wordsFor(lines.kind()).noTrades));
  } else if (report.lines == report.blank && report.readable()) {
    aboutFile(lines.path(), say(language_, Message::emptyLog));
  }
}

void Diagnostics::undatedResult(const TradeRow& trade) {
  LogLines& lines = *logs_[trade.source];
  if (!lines.mayTell(false, Gap::none)) return;
  // Numbers that read but name no day are written as they are; a date that does not read
  // leaves the date columns empty.
  const std::string date = platform::utf8FromShiftJis(trade.execDateTime().view());
  lines.tell(trade.line,
             trade.executed.date.complete() ? say(language_, Message::notACalendarDate, date)
                                            : say(language_, Message::dateDoesNotRead, date),
             Gap::none);
}

void Diagnostics::note(const LedgerNote& note, const TradeRow& trade) {
  const LedgerNoteWords& words = kLedgerNoteWords[static_cast<std::size_t>(note.kind)];
  LogLines& lines = *logs_[trade.source];
  if (!lines.mayTell(false, words.gap)) return;
  const std::string code = codeText(trade.stockCode());
  const std::string account = platform::utf8FromShiftJis(trade.account().view());
  const std::string held = std::to_string(note.heldQuantity);
  if (const std::optional<SplitHint>& hint = note.splitHint; hint && words.withHeld) {
    return lines.tell(
        trade.line,
        say(language_, Message::soldMoreThanHeldSplit, code, account, held,
            priceText(hint->previousPrice), priceText(hint->salePrice), dayText(hint->previousDay),
            std::to_string(hint->ratio), dayText(hint->saleDay)),
        words.gap);
  }
  lines.tell(trade.line,
             words.withHeld ? sayChosen(language_, words.message, code, account, held)
                            : sayChosen(language_, words.message, code, account),
             words.gap);
}

void Diagnostics::splitNote(const SplitNote& note, const StockSplit& split) {
  const std::string before = std::to_string(split.before);
  const std::string after = std::to_string(split.after);
  const std::string code = codeText(split.code());
  const std::string account = platform::utf8FromShiftJis(note.account);
  const std::string held = grouped(magnitudeOf(note.sharesBefore));
  if (note.kind == SplitNote::Kind::outOfRange) {
    return aboutLine(splitsPath_, split.line,
                     say(language_, Message::splitOutOfRange, before, after, code, account, held),
                     Gap::explained);
  }
  const std::string fraction =
      std::to_string(note.fractionOver) + "/" + std::to_string(note.fractionUnder);
  aboutLine(splitsPath_, split.line,
            say(language_, Message::splitFraction, before, after, code, account, held,
                grouped(magnitudeOf(note.sharesAfter)), fraction),
            Gap::none);
}

}  // namespace tradepl
