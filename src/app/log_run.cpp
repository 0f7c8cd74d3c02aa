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
    if (!row.executed.complete()) {
      aboutLine(row.line,
                say(language_, Message::dateDoesNotRead,
                    {platform::utf8FromShiftJis(row.execDateTime.view())}),
                false, false);
    }
  }
  if (outcome.note) note(*outcome.note, row);
}

void LogRun::skipped(std::uint64_t line, const LineProblem& problem) {
  if (saidEnough()) {
    ++unsaidSkips_;
    return;
  }
  aboutLine(line, say(language_, Message::skipped, {describe(language_, problem, log_)}), true,
            true);
}

void LogRun::outOfOrder(const TradeRow& row) {
  aboutLine(row.line, say(language_, Message::outOfOrder), false, false);
}

void LogRun::note(const LedgerNote& note, const TradeRow& trade) {
  // A sale without a holding, or a trade left out, is missing from the totals.
  const bool leftOut = note.kind != LedgerNoteKind::soldMoreThanHeld;
  if (saidEnough()) {
    ++unsaidNotes_;
    unsaidLeftOut_ = unsaidLeftOut_ || leftOut;
    return;
  }
  const std::string code = codeText(trade.stockCode);
  const std::string account = platform::utf8FromShiftJis(trade.account.view());
  switch (note.kind) {
    case LedgerNoteKind::saleWithoutHolding:
      return aboutLine(trade.line, say(language_, Message::saleWithoutHolding, {code, account}),
                       false, leftOut);
    case LedgerNoteKind::soldMoreThanHeld:
      return aboutLine(trade.line,
                       say(language_, Message::soldMoreThanHeld,
                           {code, account, std::to_string(note.heldQuantity)}),
                       false, leftOut);
    case LedgerNoteKind::amountOutOfRange:
      return aboutLine(trade.line, say(language_, Message::amountOutOfRange, {code, account}),
                       false, leftOut);
  }
}

void LogRun::aboutLine(std::uint64_t line, const std::string& text, bool isSkip, bool leftOut) {
  if (saidEnough()) {
    ++(isSkip ? unsaidSkips_ : unsaidNotes_);
    unsaidLeftOut_ = unsaidLeftOut_ || leftOut;
    return;
  }
  ++said_;
  if (leftOut) summary_.explained();
  reporter_.report(path_, line, text);
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
