#include "ledger/tax_report.hpp"

#include <algorithm>
#include <deque>
#include <iterator>

#include "ledger/tax_rules.hpp"
#include "records/numbers.hpp"

namespace tradepl {
namespace {

// A year's loss, and what is left of it to carry forward.
struct Loss {
  std::int64_t year = 0;
  std::uint64_t left = 0;
};

// The losses carried from year to year (措置法施行令25条の11の2): usable in the three years
// after their own, the oldest taken first.
class LossesCarried {
 public:
  // Closes a year whose taxable total is `profit`: takes its gain against the losses it may
  // use, or keeps its loss; then lists what it took and what is left to carry forward.
  void close(std::int64_t year, const std::optional<std::int64_t>& profit,
             std::vector<ReportLine>& lines) {
    std::erase_if(losses_, [year](const Loss& loss) { return loss.year + 3 < year; });
    if (profit && *profit > 0) {
      auto gain = static_cast<std::uint64_t>(*profit);
      for (Loss& loss : losses_) {
        const std::uint64_t taken = std::min(gain, loss.left);
        if (taken == 0) continue;
        loss.left -= taken;
        gain -= taken;
        lines.push_back(
            carried(year, ReportLineKind::lossCarriedIn, loss.year, signedValue(true, taken)));
      }
    } else if (profit && *profit < 0) {
      losses_.push_back({year, magnitudeOf(*profit)});
    }
    for (const Loss& loss : losses_) {
      if (loss.left > 0 && loss.year + 2 >= year) {
        lines.push_back(carried(year, ReportLineKind::lossCarriedOut, loss.year,
                                signedValue(false, loss.left)));
      }
    }
  }

 private:
  static ReportLine carried(std::int64_t year, ReportLineKind kind, std::int64_t lossYear,
                            std::optional<std::int64_t> amount) {
    ReportLine line{.year = year, .kind = kind, .lossYear = lossYear};
    line.figures = Figures{0, std::nullopt, std::nullopt, amount};
    return line;
  }

  std::deque<Loss> losses_;
};

}  // namespace

void forEachReportLine(const YearlyTotals& totals,
                       const std::function<void(const ReportLine& line)>& take) {
  std::vector<ReportLine> carried;
  LossesCarried losses;
  const auto& byKey = totals.byKey();
  for (auto at = byKey.begin(); at != byKey.end();) {
    const std::optional<std::int64_t> year = at->first.year;
    Figures taxable;
    bool hasTaxable = false;
    for (; at != byKey.end() && at->first.year == year; ++at) {
      const auto& [key, figures] = *at;
      const bool isTaxable = !isTaxExempt(key.account);
      take({.year = year,
            .log = key.log,
            .account = key.account,
            .taxable = isTaxable,
            .figures = figures});
      if (isTaxable) taxable.add(figures);
      hasTaxable = hasTaxable || isTaxable;
    }
    // Results without a year belong to no year's total.
    if (!year || !hasTaxable) continue;
    take({.year = year, .kind = ReportLineKind::total, .figures = taxable});
    carried.clear();
    losses.close(*year, taxable.profit, carried);
    for (const ReportLine& line : carried) take(line);
  }
}

std::vector<ReportLine> taxReport(const YearlyTotals& totals) {
  std::vector<ReportLine> lines;
  forEachReportLine(totals, [&lines](const ReportLine& line) { lines.push_back(line); });
  return lines;
}

}  // namespace tradepl
