#include "app/log_run.hpp"

#include "platform/text.hpp"

namespace tradepl {
namespace {

std::string codeText(const StockCode& code) {
  std::string text;
  appendStockCode(text, code);
  return text;
}

}  // namespace

void LogRun::kept(const TradeRow& row) {
  const TradeOutcome outcome = applyTrade(ledger_, row);
  if (outcome.result) {
    results_.append(*outcome.result);
    summary_.add(*outcome.result);
    if (!row.executed.complete() && mayTell(false, false)) {
      tell(row.line, say(language_, Message::dateDoesNotRead,
                         {platform::utf8FromShiftJis(row.execDateTime.view())}));
    }
  }
  if (outcome.note) note(*outcome.note, row);
}

void LogRun::skipped(std::uint64_t line, const LineProblem& problem) {
  if (mayTell(true, true)) {
    tell(line, say(language_, Message::skipped, {describe(language_, problem, log_)}));
  }
}

void LogRun::outOfOrder(const TradeRow& row) {
  if (mayTell(false, false)) tell(row.line, say(language_, Message::outOfOrder));
}

void LogRun::note(const LedgerNote& note, const TradeRow& trade) {
  // A sale without a holding, or a trade left out, is missing from the totals.
  if (!mayTell(false, note.kind != LedgerNoteKind::soldMoreThanHeld)) return;
  const std::string code = codeText(trade.stockCode);
  const std::string account = platform::utf8FromShiftJis(trade.account.view());
  switch (note.kind) {
    case LedgerNoteKind::saleWithoutHolding:
      return tell(trade.line, say(language_, Message::saleWithoutHolding, {code, account}));
    case LedgerNoteKind::soldMoreThanHeld:
      return tell(trade.line, say(language_, Message::soldMoreThanHeld,
                                  {code, account, std::to_string(note.heldQuantity)}));
    case LedgerNoteKind::amountOutOfRange:
      return tell(trade.line, say(language_, Message::amountOutOfRange, {code, account}));
  }
}

bool LogRun::mayTell(bool isSkip, bool leftOut) {
  if (said_ >= kMostLineMessages) {
    if (isSkip) {
      ++unsaidSkips_;
    } else {
      ++unsaidNotes_;
      unsaidLeftOut_ = unsaidLeftOut_ || leftOut;
    }
    return false;
  }
  ++said_;
  if (leftOut) summary_.explained();
  return true;
}

void LogRun::finish(const LogReport& report) {
  if (unsaidSkips_ > 0) {
    reporter_.report(path_, say(language_, Message::moreLinesSkipped, {grouped(unsaidSkips_)}));
    summary_.explained();
  }
  if (unsaidNotes_ > 0) {
    reporter_.report(path_, say(language_, Message::moreNotes, {grouped(unsaidNotes_)}));
    if (unsaidLeftOut_) summary_.explained();
  }
  if (report.kept == 0 && report.lines > report.blank) {
    reporter_.report(path_, say(language_, log_ == LogKind::spot ? Message::noSpotTrades
                                                                 : Message::noMarginTrades));
  }
}

}  // namespace tradepl
