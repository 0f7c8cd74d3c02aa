#include "app/teller.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "output/result_line.hpp"
#include "platform/text.hpp"
#include "records/numbers.hpp"

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

}  // namespace

void Teller::aboutFile(std::string_view path, const std::string& text, Gap gap) {
  count(gap);
  reporter_.report(path, text);
}

void Teller::aboutLine(std::string_view path, std::uint64_t line, const std::string& text,
                       Gap gap) {
  count(gap);
  reporter_.report(path, line, text);
}

void Teller::cannotRead(std::string_view path, const FileProblem& problem) {
  aboutFile(path, say(language_, Message::cannotRead, {describe(language_, problem)}),
            Gap::explained);
}

void LogVoice::skipped(std::uint64_t line, const LineProblem& problem) {
  if (mayTell(true, Gap::explained)) {
    tell(line, say(Message::skipped, {describe(teller_.language(), problem, log_)}),
         Gap::explained);
  }
}

void LogVoice::outOfOrder(const TradeRow& row) {
  if (mayTell(false, Gap::none)) tell(row.line, say(Message::outOfOrder), Gap::none);
}

void LogVoice::undatedResult(const TradeRow& trade) {
  if (mayTell(false, Gap::none)) {
    // Numbers that read but name no day are written as they are; a date that does not read
    // leaves the date columns empty.
    const Message message =
        trade.executed.date.complete() ? Message::notACalendarDate : Message::dateDoesNotRead;
    tell(trade.line, say(message, {platform::utf8FromShiftJis(trade.execDateTime.view())}),
         Gap::none);
  }
}

void LogVoice::note(const LedgerNote& note, const TradeRow& trade) {
  // A sale without a holding, or a trade left out, is missing from the totals.
  const Gap gap = note.kind == LedgerNoteKind::soldMoreThanHeld ? Gap::none : Gap::explained;
  if (!mayTell(false, gap)) return;
  const std::string code = codeText(trade.stockCode);
  const std::string account = platform::utf8FromShiftJis(trade.account.view());
  switch (note.kind) {
    case LedgerNoteKind::saleWithoutHolding:
      return tell(trade.line, say(Message::saleWithoutHolding, {code, account}), gap);
    case LedgerNoteKind::soldMoreThanHeld:
      if (const std::optional<SplitHint>& hint = note.splitHint) {
        return tell(
            trade.line,
            say(Message::soldMoreThanHeldSplit,
                {code, account, std::to_string(note.heldQuantity), priceText(hint->previousPrice),
                 priceText(hint->salePrice), dayText(hint->previousDay),
                 std::to_string(hint->ratio), dayText(hint->saleDay)}),
            gap);
      }
      return tell(
          trade.line,
          say(Message::soldMoreThanHeld, {code, account, std::to_string(note.heldQuantity)}), gap);
    case LedgerNoteKind::amountOutOfRange:
      return tell(trade.line, say(Message::amountOutOfRange, {code, account}), gap);
  }
}

void LogVoice::splitNote(const SplitNote& note, const StockSplit& split,
                         std::string_view splitsPath) {
  const std::string before = std::to_string(split.before);
  const std::string after = std::to_string(split.after);
  const std::string code = codeText(split.code());
  const std::string account = platform::utf8FromShiftJis(note.account);
  const std::string held = grouped(magnitudeOf(note.sharesBefore));
  if (note.kind == SplitNote::Kind::outOfRange) {
    teller_.aboutLine(splitsPath, split.line,
                      say(Message::splitOutOfRange, {before, after, code, account, held}),
                      Gap::explained);
    return;
  }
  const std::string fraction =
      std::to_string(note.fractionOver) + "/" + std::to_string(note.fractionUnder);
  teller_.aboutLine(splitsPath, split.line,
                    say(Message::splitFraction, {before, after, code, account, held,
                                                 grouped(magnitudeOf(note.sharesAfter)), fraction}),
                    Gap::none);
}

bool LogVoice::mayTell(bool isSkip, Gap gap) {
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

void LogVoice::finish(const LogReport& report) {
  if (unsaidSkips_ > 0) {
    teller_.aboutFile(path_, say(Message::moreLinesSkipped, {grouped(unsaidSkips_)}),
                      Gap::explained);
  }
  if (unsaidNotes_ > 0) {
    teller_.aboutFile(path_, say(Message::moreNotes, {grouped(unsaidNotes_)}),
                      unsaidGap_ ? Gap::explained : Gap::none);
  }
  if (report.kept == 0 && report.lines > report.blank) {
    teller_.aboutFile(path_,
                      say(log_ == LogKind::spot ? Message::noSpotTrades : Message::noMarginTrades));
  } else if (report.lines == report.blank && report.readable()) {
    teller_.aboutFile(path_, say(Message::emptyLog));
  }
}

}  // namespace tradepl
