#pragma once
// What a run comes to, said at its end: what each log gave, where the results and the
// yearly report went, and the yearly table a tax return asks for, as the report has it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "input/log_report.hpp"
#include "ledger/ledger.hpp"
#include "ledger/yearly_totals.hpp"
#include "records/dividends.hpp"
#include "words/say.hpp"

namespace tradepl {

class RunSummary {
 public:
  // A log named on the command line, in their order; returns its number for logRead.
  std::size_t logNamed(std::string_view path);
  void logRead(std::size_t log, const LogReport& report);
  // A log that could be read, left unread since the result file could not be written.
  void logLeftUnread(std::size_t log) { logs_[log].leftUnread = true; }
  // Where the results went ("-": the standard output), and whether they got there, all of
  // them or, to a stream or a device, only a part.
  void resultsWent(std::string_view output, bool written, bool inPart = false);
  // Ends the summary with the result file's full path, for a user who named no output.
  void showResultPath(std::string fullPath) { resultPath_ = std::move(fullPath); }
  // Ends the summary with the yearly report's full path too, if it was written to a file.
  void showReportPath(std::string fullPath) { reportPath_ = std::move(fullPath); }
  // Where the yearly report went, and whether it got there.
  void reportWent(std::string_view report, bool written);

  // The summary's lines, the first a heading for the program's prefix. `gapsExplained` is
  // how many messages said what the totals lack. Losses offset and carried forward are shown
  // under the tax office's method only, as the figures of a return.
  std::vector<std::string> lines(Language language, const YearlyTotals& totals,
                                 const YearlyDividends& dividends, CostMethod method,
                                 std::uint64_t gapsExplained) const;

 private:
  struct LogLine {
    std::string path;
    std::optional<LogReport> report;  // none when the log was not read
    bool leftUnread = false;
  };
  struct Destination {
    std::string path;
    bool written = false;
    bool inPart = false;
  };

  std::vector<LogLine> logs_;
  Destination results_;
  std::optional<Destination> report_;
  std::optional<std::string> resultPath_;
  std::optional<std::string> reportPath_;
};

}  // namespace tradepl
