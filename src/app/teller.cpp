#include "app/teller.hpp"

#include "output/result_line.hpp"
#include "platform/text.hpp"

namespace tradepl {
namespace {

std::string codeText(const StockCode& code) {
  std::string text;
  appendStockCode(text, code);
  return text;
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
    tell(trade.line,
         say(Message::dateDoesNotRead, {platform::utf8FromShiftJis(trade.execDateTime.view())}),
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
      return tell(
          trade.line,
          say(Message::soldMoreThanHeld, {code, account, std::to_string(note.heldQuantity)}), gap);
    case LedgerNoteKind::amountOutOfRange:
      return tell(trade.line, say(Message::amountOutOfRange, {code, account}), gap);
  }
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
  }
}

}  // namespace tradepl
