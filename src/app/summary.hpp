#pragma once
// What a run comes to, said at its end: what each log gave, where the results went, and
// the realized profit per tax year, log and account, as a tax return asks for it. The tax
// year is the year of the settlement date (受領日), as the tax office and the broker's
// annual report count it: a sale executed on 30 December that settles in January belongs
// to the next year.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "app/messages.hpp"
#include "input/log_reader.hpp"
#include "records/records.hpp"

namespace tradepl {

class RunSummary {
 public:
  // A log named on the command line, in their order; returns its number for logRead.
  std::size_t logNamed(std::string_view path);
  void logRead(std::size_t log, const LogReport& report);
  // Counts a result into its tax year. Runs for every result: the last key is kept, since
  // results come in runs of one account and settlement date.
  void add(const ResultRow& result);
  // Messages that say what the totals leave out: skipped lines, sales without a holding,
  // logs that could not be read.
  void explained(std::uint64_t messages = 1) { explaining_ += messages; }

  // The summary's lines, the first a heading for the program's prefix; `output` is where
  // the results went, `written` whether they got there.
  std::vector<std::string> lines(Language language, std::string_view output, bool written) const;

 private:
  struct Key {
    std::optional<std::int64_t> year;
    LogKind log;
    std::string account;  // Shift_JIS, as the logs spell it

    friend bool operator<(const Key& a, const Key& b) {
      return std::tie(a.year, a.log, a.account) < std::tie(b.year, b.log, b.account);
    }
  };
  struct Total {
    std::uint64_t results = 0;
    std::int64_t profit = 0;
    bool overflow = false;  // the sum left 64 bits
  };
  struct LogLine {
    std::string path;
    std::optional<LogReport> report;  // none when the log was not read
  };

  std::optional<std::int64_t> taxYear(const TradeRow& trade);
  std::vector<std::string> totalLines(Language language) const;

  std::vector<LogLine> logs_;
  std::map<Key, Total> totals_;
  std::uint64_t results_ = 0;
  std::uint64_t byExecutionYear_ = 0;
  std::uint64_t explaining_ = 0;
  // The last result's key and its settlement date, which most results repeat.
  Total* last_ = nullptr;
  Key lastKey_;
  std::string lastSettled_;
  std::optional<std::int64_t> lastSettledYear_;
};

}  // namespace tradepl
