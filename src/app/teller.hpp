#pragma once
// What a run tells the user while it reads the logs, worded in the user's language.
//
// The summary ends with a warning when the totals may lack a trade, and points to the
// messages that say which: Teller counts them, as they are said. A log of bad lines says
// at most twenty things line by line, then counts the rest, so that it runs as fast as a
// good one: LogVoice keeps that gate.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/messages.hpp"
#include "app/reporter.hpp"
#include "input/log_report.hpp"
#include "input/row_source.hpp"
#include "ledger/ledger.hpp"

namespace tradepl {

// Whether a message explains a trade missing from the totals.
enum class Gap : bool { none, explained };

class Teller {
 public:
  Teller(Reporter& reporter, Language language) : reporter_(reporter), language_(language) {}

  Language language() const { return language_; }

  // tradepl: FILE: MESSAGE
  void aboutFile(std::string_view path, const std::string& text, Gap gap = Gap::none);
  // tradepl: FILE:LINE: MESSAGE
  void aboutLine(std::string_view path, std::uint64_t line, const std::string& text, Gap gap);
  // Says why a log cannot be read: a gap, since its trades are missing.
  void cannotRead(std::string_view path, const FileProblem& problem);

  // How many messages said so far explain a gap in the totals.
  std::uint64_t gapsExplained() const { return gapsExplained_; }

 private:
  void count(Gap gap) { gapsExplained_ += gap == Gap::explained ? 1 : 0; }

  Reporter& reporter_;
  Language language_;
  std::uint64_t gapsExplained_ = 0;
};

// What one log's lines and trades give to say.
class LogVoice final : public LineListener {
 public:
  LogVoice(Teller& teller, LogKind log, std::string_view path)
      : teller_(teller), log_(log), path_(path) {}

  void skipped(std::uint64_t line, const LineProblem& problem) override;
  void outOfOrder(const TradeRow& row) override;
  void note(const LedgerNote& note, const TradeRow& trade);
  // What a split did to a holding, said about its line of the splits file.
  void splitNote(const SplitNote& note, const StockSplit& split, std::string_view splitsPath);
  void undatedResult(const TradeRow& trade);
  // Says what is left to say once the log is read.
  void finish(const LogReport& report);

 private:
  static constexpr std::uint64_t kMostLineMessages = 20;

  // Whether one more message about a line may be said; once the log has said enough, the
  // message is counted instead, before anything of it is composed.
  bool mayTell(bool isSkip, Gap gap);
  void tell(std::uint64_t line, const std::string& text, Gap gap) {
    teller_.aboutLine(path_, line, text, gap);
  }
  std::string say(Message message, std::initializer_list<std::string_view> fills = {}) const {
    return tradepl::say(teller_.language(), message, fills);
  }

  Teller& teller_;
  LogKind log_;
  std::string_view path_;
  std::uint64_t said_ = 0;
  std::uint64_t unsaidSkips_ = 0;
  std::uint64_t unsaidNotes_ = 0;
  bool unsaidGap_ = false;  // among the notes not said, one about a trade left out
};

}  // namespace tradepl
