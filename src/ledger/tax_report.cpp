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

ReportLine amountLine(std::int64_t year, ReportLineKind kind, bool negative, std::uint64_t amount,
                      std::int64_t lossYear = 0) {
  ReportLine line{.year = year, .kind = kind, .lossYear = lossYear};
  line.figures = Figures{0, std::nullopt, std::nullopt, signedValue(negative, amount)};
  return line;
}

// Takes up to `amount` of `from`; returns what it took.
std::uint64_t takeUpTo(std::uint64_t& from, std::uint64_t amount) {
  const std::uint64_t taken = std::min(from, amount);
  from -= taken;
  return taken;
}

// The losses carried from year to year (措置法37条の12の2, 措置法施行令25条の11の2).
class LossesCarried {
 public:
  // Closes a year whose taxable total is `profit` and whose dividends are `dividends`: its
  // loss is taken against its dividends first (損益通算); the losses of the three years before
  // it, oldest first, take its gain and then what is left of its dividends (繰越控除); then
  // the losses still usable are listed.
  void close(std::int64_t year, const std::optional<std::int64_t>& profit, std::int64_t dividends,
             std::vector<ReportLine>& lines) {
    std::erase_if(losses_, [year](const Loss& loss) { return loss.year + 3 < year; });
    std::uint64_t gain = profit && *profit > 0 ? magnitudeOf(*profit) : 0;
    std::uint64_t loss = profit && *profit < 0 ? magnitudeOf(*profit) : 0;
    std::uint64_t income = magnitudeOf(std::max<std::int64_t>(dividends, 0));
    if (income > 0) lines.push_back(amountLine(year, ReportLineKind::dividends, false, income));
    if (const std::uint64_t offset = takeUpTo(loss, income); offset > 0) {
      income -= offset;
      lines.push_back(amountLine(year, ReportLineKind::lossOffset, true, offset));
    }
    const std::uint64_t gainBefore = gain;
    for (Loss& carried : losses_) {
      if (const std::uint64_t fromGain = takeUpTo(carried.left, gain); fromGain > 0) {
        gain -= fromGain;
        lines.push_back(
            amountLine(year, ReportLineKind::lossCarriedIn, true, fromGain, carried.year));
      }
      if (const std::uint64_t fromIncome = takeUpTo(carried.left, income); fromIncome > 0) {
        income -= fromIncome;
        lines.push_back(amountLine(year, ReportLineKind::lossCarriedInDividends, true, fromIncome,
                                   carried.year));
      }
    }
    if (gain < gainBefore) {
      lines.push_back(amountLine(year, ReportLineKind::afterLossCarriedIn, false, gain));
    }
    if (loss > 0) losses_.push_back({year, loss});
    for (const Loss& carried : losses_) {
      if (carried.left > 0 && carried.year + 2 >= year) {
        lines.push_back(
            amountLine(year, ReportLineKind::lossCarriedOut, false, carried.left, carried.year));
      }
    }
  }

 private:
  std::deque<Loss> losses_;
};

// The first and the last year of the results with a year and of the dividends.
struct YearSpan {
  std::int64_t first = 0;
  std::int64_t last = 0;
};

std::optional<YearSpan> spanOf(const std::map<TotalKey, Figures>& byKey,
                               const YearlyDividends& dividends) {
  std::optional<YearSpan> span;
  const auto widen = [&span](std::int64_t year) {
    span = span ? YearSpan{std::min(span->first, year), std::max(span->last, year)}
                : YearSpan{year, year};
  };
  // Results without a year sort last, from the key of no year, the spot log and no account.
  const auto withoutYear = byKey.lower_bound(TotalKey{});
  if (withoutYear != byKey.begin()) {
    widen(*byKey.begin()->first.year);
    widen(*std::prev(withoutYear)->first.year);
  }
  if (!dividends.empty()) {
    widen(dividends.begin()->first);
    widen(dividends.rbegin()->first);
  }
  return span;
}

}  // namespace

void forEachReportLine(const YearlyTotals& totals, const YearlyDividends& dividends,
                       const std::function<void(const ReportLine& line)>& take) {
  const auto& byKey = totals.byKey();
  auto at = byKey.begin();
  const auto takeTrades = [&take](const TotalKey& key, const Figures& figures) {
    take({.year = key.year,
          .log = key.log,
          .account = key.account,
          .taxable = !isTaxExempt(key.account),
          .figures = figures});
  };
  if (const std::optional<YearSpan> span = spanOf(byKey, dividends)) {
    std::vector<ReportLine> carried;
    LossesCarried losses;
    for (std::int64_t year = span->first; year <= span->last; ++year) {
      Figures taxable;
      for (; at != byKey.end() && at->first.year == year; ++at) {
        takeTrades(at->first, at->second);
        if (!isTaxExempt(at->first.account)) taxable.add(at->second);
      }
      take({.year = year, .kind = ReportLineKind::total, .figures = taxable});
      const auto declared = dividends.find(year);
      carried.clear();
      losses.close(year, taxable.profit, declared == dividends.end() ? 0 : declared->second,
                   carried);
      for (const ReportLine& line : carried) take(line);
    }
  }
  // Results without a year belong to no year's total.
  for (; at != byKey.end(); ++at) takeTrades(at->first, at->second);
}

std::vector<ReportLine> taxReport(const YearlyTotals& totals, const YearlyDividends& dividends) {
  std::vector<ReportLine> lines;
  forEachReportLine(totals, dividends, [&lines](const ReportLine& line) { lines.push_back(line); });
  return lines;
}

}  // namespace tradepl
