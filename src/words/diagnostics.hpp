#pragma once
// What a run tells the user while it reads the logs, worded in the user's language: the one
// place the reader's lines and the flow's notes are said, each about its log.
//
// The summary ends with a warning when the totals may lack a trade, and points to the
// messages that say which: Diagnostics counts them, as they are said. A log of bad lines says
// at most twenty things line by line, then counts the rest, so that it runs as fast as a good
// one: each log keeps that gate.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "flow/trade_flow.hpp"
#include "input/log_report.hpp"
#include "input/row_source.hpp"
#include "output/result_file.hpp"
#include "words/reporter.hpp"
#include "words/say.hpp"

namespace tradepl {

// Whether a message explains a trade missing from the totals.
enum class Gap : bool { none, explained };

class Diagnostics final : public FlowListener {
 public:
  // `splitsPath`: the splits file, whose lines what a split did is said about.
  Diagnostics(Reporter& reporter, Language language, std::string_view splitsPath = {});
  ~Diagnostics();

  Language language() const { return language_; }

  // tradepl: FILE: MESSAGE
  void aboutFile(std::string_view path, const std::string& text, Gap gap = Gap::none);
  // tradepl: FILE:LINE: MESSAGE
  void aboutLine(std::string_view path, std::uint64_t line, const std::string& text, Gap gap);
  // Says why a log cannot be read: a gap, since its trades are missing.
  void cannotRead(std::string_view path, const FileProblem& problem);

  // A log of the run; the logs are numbered as they are added, and a row's TradeRow::source
  // is its log's number. Returns that number.
  std::size_t addLog(LogKind kind, std::string_view path);
  // What the reader says of the log's lines goes here.
  LineListener& linesOf(std::size_t log);
  // Says what is left to say once the log is read.
  void finishLog(std::size_t log, const LogReport& report);

  // Where the results of the stream being read go.
  void sendResultsTo(ResultFile& results) { results_ = &results; }

  void result(const ResultRow& result) override { results_->append(result); }
  void note(const LedgerNote& note, const TradeRow& trade) override;
  void undatedResult(const TradeRow& trade) override;
  void splitNote(const SplitNote& note, const StockSplit& split) override;

  // How many messages said so far explain a gap in the totals.
  std::uint64_t gapsExplained() const { return gapsExplained_; }

 private:
  class LogLines;

  void count(Gap gap) { gapsExplained_ += gap == Gap::explained ? 1 : 0; }

  Reporter& reporter_;
  Language language_;
  std::string splitsPath_;
  std::vector<std::unique_ptr<LogLines>> logs_;
  ResultFile* results_ = nullptr;
  std::uint64_t gapsExplained_ = 0;
};

}  // namespace tradepl
