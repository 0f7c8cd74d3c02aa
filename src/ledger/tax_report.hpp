#pragma once
// The yearly table for a tax return, from the yearly totals: per year its lines by log and
// account, the total of its taxable lines, and the losses carried forward as the return's
// 付表 lists them.
//
// Losses of listed shares, spot and margin, 一般 and 特定 together and NISA never, offset the
// gains of the same year, then carry forward three years, the oldest taken first
// (措置法施行令25条の11の2). The table assumes a return was filed every year, as carrying
// forward requires, and knows nothing of dividends, which are not in the logs.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ledger/yearly_totals.hpp"

namespace tradepl {

enum class ReportLineKind : std::uint8_t {
  trades,         // one log and account of a year
  total,          // the year's taxable lines, summed
  lossCarriedIn,  // a loss of an earlier year taken against this year's gain (繰越控除)
  lossCarriedOut,  // a loss of this year or the two before it still unused (翌年以後に繰り越す損失)
};

struct ReportLine {
  std::optional<std::int64_t> year{};  // none where the settlement date is not a calendar date
  ReportLineKind kind = ReportLineKind::trades;
  LogKind log = LogKind::spot;  // trades lines
  std::string account{};        // trades lines
  std::int64_t lossYear = 0;    // carried losses: the year the loss arose in
  bool taxable = true;          // trades lines in a NISA account are not
  Figures figures{};            // carried losses: only the profit, a loss taken as negative

  bool isCarriedLoss() const {
    return kind == ReportLineKind::lossCarriedIn || kind == ReportLineKind::lossCarriedOut;
  }
};

// The lines in order: each year ascending, its trades lines, then when it has a taxable one
// its total and its carried losses; last, the lines without a year, in no total.
std::vector<ReportLine> taxReport(const YearlyTotals& totals);
// The same lines handed over one at a time, none of them kept: for a summary that shows a
// few of them, however many accounts the logs have.
void forEachReportLine(const YearlyTotals& totals,
                       const std::function<void(const ReportLine& line)>& take);

}  // namespace tradepl
