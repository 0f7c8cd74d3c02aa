#pragma once
// The realized results summed per tax year, log and account, with the figures a return's
// 計算明細書 asks for: 譲渡収入 (proceeds), 取得費 (acquisition cost), 譲渡費用 (selling
// expenses) and 損益 (profit).
//
// The tax year is the year of the settlement date (受領日, the 受渡日), as the tax office and
// the broker's annual report count it (措通37の10・37の11共-1): a sale executed on 30
// December that settles in January belongs to the next year. A result whose settlement
// date is not a day the calendar has (it does not read, or reads as 2024/13/45) has no tax year.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "records/records.hpp"

namespace tradepl {

// Sums of results. A sum that leaves 64 bits becomes none, and stays none.
struct Figures {
  std::uint64_t results = 0;
  std::optional<std::int64_t> proceeds = 0;  // 譲渡収入
  std::optional<std::int64_t> expenses = 0;  // 譲渡費用
  std::optional<std::int64_t> profit = 0;    // 損益

  // 取得費: what the proceeds leave after the expenses and the profit.
  std::optional<std::int64_t> cost() const;
  void add(const Figures& other);
};

// What one result adds to its year's figures. Spot: its 約定代金 as proceeds, its commission
// columns as expenses. Margin: the amount the shares were sold for as proceeds, the amount
// they were bought for as the cost, the settlement amount as profit, and what is left (the
// fees, the interest, the lending fees) as expenses.
Figures figuresOf(const ResultRow& result);

// Where a result is counted: known years in order, then the results without one; spot
// before margin; then the account's bytes.
struct TotalKey {
  std::optional<std::int64_t> year;
  LogKind log = LogKind::spot;  // the holdings of the result: a 現渡 counts as spot
  std::string account;          // Shift_JIS, as the logs spell it

  friend bool operator<(const TotalKey& a, const TotalKey& b);
};

class YearlyTotals {
 public:
  YearlyTotals() = default;
  // The last key's figures are kept by address, which a copy would not carry over.
  YearlyTotals(const YearlyTotals&) = delete;
  YearlyTotals& operator=(const YearlyTotals&) = delete;
  YearlyTotals(YearlyTotals&&) = default;
  YearlyTotals& operator=(YearlyTotals&&) = default;

  // Counts a result into its tax year. Runs for every result: the last key is kept, since
  // results come in runs of one account and settlement date.
  void add(const ResultRow& result);

  const std::map<TotalKey, Figures>& byKey() const { return totals_; }
  std::uint64_t results() const { return results_; }
  // Results without a tax year, their settlement date not a calendar day.
  std::uint64_t withoutYear() const { return withoutYear_; }

 private:
  std::optional<std::int64_t> taxYear(const TradeRow& trade);

  std::map<TotalKey, Figures> totals_;
  std::uint64_t results_ = 0;
  std::uint64_t withoutYear_ = 0;
  // The last result's key and its settlement date, which most results repeat.
  Figures* last_ = nullptr;
  TotalKey lastKey_;
  std::string lastSettled_;
  std::optional<std::int64_t> lastSettledYear_;
};

}  // namespace tradepl
