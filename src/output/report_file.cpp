#include "output/report_file.hpp"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

#include "output/result_line.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

void appendNumber(std::string& out, const std::optional<std::int64_t>& number) {
  if (number) out += std::to_string(*number);
}

// The kind column of each kind of line, by the line's log: only a trades line names its log.
struct KindColumn {
  ReportLineKind kind;
  std::array<std::string_view, 2> byLog;  // LogKind::spot, LogKind::margin
};
constexpr KindColumn kKindColumns[] = {
    {ReportLineKind::trades, {sjis::kSpot, sjis::kMargin}},
    {ReportLineKind::total, {sjis::kTotal, sjis::kTotal}},
    {ReportLineKind::dividends, {sjis::kDividendIncome, sjis::kDividendIncome}},
    {ReportLineKind::lossOffset, {sjis::kLossOffset, sjis::kLossOffset}},
    {ReportLineKind::lossCarriedIn, {sjis::kLossCarriedIn, sjis::kLossCarriedIn}},
    {ReportLineKind::lossCarriedInDividends,
     {sjis::kLossCarriedInDividends, sjis::kLossCarriedInDividends}},
    {ReportLineKind::afterLossCarriedIn, {sjis::kAfterLossCarriedIn, sjis::kAfterLossCarriedIn}},
    {ReportLineKind::lossCarriedOut, {sjis::kLossCarriedForward, sjis::kLossCarriedForward}},
};
static_assert(std::size(kKindColumns) ==
                  static_cast<std::size_t>(ReportLineKind::lossCarriedOut) + 1,
              "a row for every kind of line");
static_assert(std::ranges::all_of(kKindColumns,
                                  [](const KindColumn& row) {
                                    return &row - kKindColumns ==
                                           static_cast<std::ptrdiff_t>(row.kind);
                                  }),
              "each kind's row at its own place");
static_assert(static_cast<int>(LogKind::spot) == 0 && static_cast<int>(LogKind::margin) == 1);

std::string_view kindOf(const ReportLine& line) {
  return kKindColumns[static_cast<std::size_t>(line.kind)]
      .byLog[static_cast<std::size_t>(line.log)];
}

}  // namespace

void appendReportHeading(std::string& out) {
  using namespace sjis;
  for (const std::string_view heading : {kTaxYear, kTradeKind, kAccount, kTaxation, kResults,
                                         kProceeds, kAcquisitionCost, kExpenses}) {
    out += heading;
    out += ',';
  }
  out += kProfit;
  out += kLineEnd;
}

void appendReportLine(std::string& out, const ReportLine& line) {
  appendNumber(out, line.year);
  out += ',';
  out += kindOf(line);
  out += ',';
  if (line.isCarriedLoss()) {
    out += std::to_string(line.lossYear);
    out += sjis::kTaxYear;  // 2021年分
  } else {
    appendText(out, line.account);
  }
  out += ',';
  out += line.taxable ? sjis::kTaxable : sjis::kTaxExempt;
  const Figures& figures = line.figures;
  if (line.isAmountOnly()) {
    out += ",,,,,";
  } else {
    for (const std::optional<std::int64_t>& figure :
         {std::optional<std::int64_t>(static_cast<std::int64_t>(figures.results)), figures.proceeds,
          figures.cost(), figures.expenses}) {
      out += ',';
      appendNumber(out, figure);
    }
    out += ',';
  }
  appendNumber(out, figures.profit);
  out += kLineEnd;
}

void appendReport(platform::OutputFile& file, const YearlyTotals& totals,
                  const YearlyDividends& dividends) {
  std::string text;
  appendReportHeading(text);
  file.append(text);
  forEachReportLine(totals, dividends, [&file, &text](const ReportLine& line) {
    text.clear();
    appendReportLine(text, line);
    file.append(text);
    file.flushIfFull();
  });
}

}  // namespace tradepl
