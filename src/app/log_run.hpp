#pragma once
// One log's part of a run: each row it keeps goes through the ledger to the result file as
// it is read, and the user is told what could not be used. A log of bad lines says at most
// twenty things line by line, then counts the rest, so that it runs as fast as a good one.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/messages.hpp"
#include "app/reporter.hpp"
#include "app/summary.hpp"
#include "input/log_reader.hpp"
#include "ledger/ledger.hpp"
#include "output/result_writer.hpp"

namespace tradepl {

class LogRun final : public LineSink {
 public:
  LogRun(LogKind log, std::string_view path, HoldingLedger& ledger, ResultLog& results,
         Reporter& reporter, RunSummary& summary, Language language)
      : log_(log),
        path_(path),
        ledger_(ledger),
        results_(results),
        reporter_(reporter),
        summary_(summary),
        language_(language) {}

  void kept(const TradeRow& row) override;
  void skipped(std::uint64_t line, const LineProblem& problem) override;
  void outOfOrder(const TradeRow& row) override;

  // Says what is left to say once the log is read.
  void finish(const LogReport& report);

 private:
  static constexpr std::uint64_t kMostLineMessages = 20;

  // Whether one more message about a line may be said; once the log has said enough, the
  // message is counted instead, before anything of it is composed. `leftOut` when the
  // totals leave the line's trade out.
  bool mayTell(bool isSkip, bool leftOut);
  void tell(std::uint64_t line, const std::string& text) { reporter_.report(path_, line, text); }
  void note(const LedgerNote& note, const TradeRow& trade);

  LogKind log_;
  std::string_view path_;
  HoldingLedger& ledger_;
  ResultLog& results_;
  Reporter& reporter_;
  RunSummary& summary_;
  Language language_;
  std::uint64_t said_ = 0;
  std::uint64_t unsaidSkips_ = 0;
  std::uint64_t unsaidNotes_ = 0;
  bool unsaidLeftOut_ = false;  // among the notes not said, one about a trade left out
};

}  // namespace tradepl
