#pragma once
// The realized results summed per tax year, log and account, as a tax return asks for them.
// The tax year is the year of the settlement date (受領日), as the tax office and the
// broker's annual report count it (措通37の10・37の11共-1): a sale executed on 30 December
// that settles in January belongs to the next year. A result whose settlement date does
// not read is counted by its execution year.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "records/records.hpp"

namespace tradepl {

// Where a result is counted.
struct TotalKey {
  std::optional<std::int64_t> year;  // none when no date of the result reads
  LogKind log = LogKind::spot;
  std::string account;  // Shift_JIS, as the logs spell it

  friend bool operator<(const TotalKey& a, const TotalKey& b) {
    return std::tie(a.year, a.log, a.account) < std::tie(b.year, b.log, b.account);
  }
};

struct Total {
  std::uint64_t results = 0;
  std::optional<std::int64_t> profit = 0;  // none once the sum has left 64 bits
};

class YearlyTotals {
 public:
  YearlyTotals() = default;
  // The last key's total is kept by address, which a copy would not carry over.
  YearlyTotals(const YearlyTotals&) = delete;
  YearlyTotals& operator=(const YearlyTotals&) = delete;
  YearlyTotals(YearlyTotals&&) = default;
  YearlyTotals& operator=(YearlyTotals&&) = default;

  // Counts a result into its tax year. Runs for every result: the last key is kept, since
  // results come in runs of one account and settlement date.
  void add(const ResultRow& result);

  // Ordered by year (unknown first), then spot before margin, then the account's bytes.
  const std::map<TotalKey, Total>& byKey() const { return totals_; }
  std::uint64_t results() const { return results_; }
  // Results counted by their execution year, their settlement date not reading.
  std::uint64_t byExecutionYear() const { return byExecutionYear_; }

 private:
  std::optional<std::int64_t> taxYear(const TradeRow& trade);

  std::map<TotalKey, Total> totals_;
  std::uint64_t results_ = 0;
  std::uint64_t byExecutionYear_ = 0;
  // The last result's key and its settlement date, which most results repeat.
  Total* last_ = nullptr;
  TotalKey lastKey_;
  std::string lastSettled_;
  std::optional<std::int64_t> lastSettledYear_;
};

}  // namespace tradepl
