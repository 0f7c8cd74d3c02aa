#pragma once
// The yearly table for a tax return, from the yearly totals and the dividends declared: per
// year its lines by log and account, the total of its taxable lines, its dividends, and the
// losses offset and carried forward as the return's 付表 lists them.
//
// Losses of listed shares, spot and margin, 一般 and 特定 together and NISA never, offset the
// gains of the same year, then the year's dividends declared separately; what is left carries
// forward three years, the oldest taken first, from the gain of a later year and then from its
// dividends (措置法37条の12の2, 措置法施行令25条の11の2). Every year from the first to the last
// has its lines, since carrying a loss needs a return every year, also in a year without
// trades.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ledger/yearly_totals.hpp"
#include "records/dividends.hpp"

namespace tradepl {

// The kinds of lines, in the order they stand within a year.
enum class ReportLineKind : std::uint8_t {
  trades,         // one log and account of a year
  total,          // the year's taxable lines, summed
  dividends,      // the year's dividends declared (配当所得)
  lossOffset,     // the year's loss taken against its dividends (損益通算)
  lossCarriedIn,  // a loss of an earlier year taken against this year's gain (繰越控除)
  lossCarriedInDividends,  // the same, against this year's dividends (繰越控除（配当）)
  afterLossCarriedIn,      // the gain the losses carried in left (繰越控除後)
  lossCarriedOut,  // a loss of this year or the two before it still unused (翌年以後に繰り越す損失)
};

struct ReportLine {
  std::optional<std::int64_t> year{};  // none where the settlement date is not a calendar date
  ReportLineKind kind = ReportLineKind::trades;
  LogKind log = LogKind::spot;  // trades lines
  std::string account{};        // trades lines
  std::int64_t lossYear = 0;    // carried losses: the year the loss arose in
  bool taxable = true;          // trades lines in a NISA account are not
  Figures figures{};            // lines after the total: only the profit column, the amount

  // A line of one amount, after the year's total.
  bool isAmountOnly() const {
    return kind != ReportLineKind::trades && kind != ReportLineKind::total;
  }
  // A line about a loss of one year, which it names.
  bool isCarriedLoss() const {
    return kind == ReportLineKind::lossCarriedIn ||
           kind == ReportLineKind::lossCarriedInDividends || kind == ReportLineKind::lossCarriedOut;
  }
};

// The lines in order: each year from the first to the last of the results and the dividends,
// its trades lines, its total (zeros where nothing taxable was sold), its dividends, the
// losses offset and carried in, the gain left after them, and the losses carried forward;
// last, the lines without a year, in no total.
std::vector<ReportLine> taxReport(const YearlyTotals& totals,
                                  const YearlyDividends& dividends = {});
// The same lines handed over one at a time, none of them kept: for a summary that shows a
// few of them, however many accounts the logs have.
void forEachReportLine(const YearlyTotals& totals, const YearlyDividends& dividends,
                       const std::function<void(const ReportLine& line)>& take);

}  // namespace tradepl
