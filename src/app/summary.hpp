#pragma once
// What a run comes to, said at its end: what each log gave, where the results went, and
// the realized profit per tax year, log and account, as a tax return asks for it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/messages.hpp"
#include "input/log_report.hpp"
#include "ledger/yearly_totals.hpp"

namespace tradepl {

class RunSummary {
 public:
  // A log named on the command line, in their order; returns its number for logRead.
  std::size_t logNamed(std::string_view path);
  void logRead(std::size_t log, const LogReport& report);

  // The summary's lines, the first a heading for the program's prefix; `output` is where
  // the results went, `written` whether they got there, `gapsExplained` how many messages
  // said what the totals lack.
  std::vector<std::string> lines(Language language, std::string_view output, bool written,
                                 const YearlyTotals& totals, std::uint64_t gapsExplained) const;

 private:
  struct LogLine {
    std::string path;
    std::optional<LogReport> report;  // none when the log was not read
  };

  std::vector<LogLine> logs_;
};

}  // namespace tradepl
