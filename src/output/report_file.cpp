#include "output/report_file.hpp"

#include <optional>

#include "output/result_line.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

void appendNumber(std::string& out, const std::optional<std::int64_t>& number) {
  if (number) out += std::to_string(*number);
}

std::string_view kindOf(const ReportLine& line) {
  switch (line.kind) {
    case ReportLineKind::trades:
      return line.log == LogKind::spot ? sjis::kSpot : sjis::kMargin;
    case ReportLineKind::total:
      return sjis::kTotal;
    case ReportLineKind::dividends:
      return sjis::kDividendIncome;
    case ReportLineKind::lossOffset:
      return sjis::kLossOffset;
    case ReportLineKind::lossCarriedIn:
      return sjis::kLossCarriedIn;
    case ReportLineKind::lossCarriedInDividends:
      return sjis::kLossCarriedInDividends;
    case ReportLineKind::afterLossCarriedIn:
      return sjis::kAfterLossCarriedIn;
    case ReportLineKind::lossCarriedOut:
      return sjis::kLossCarriedForward;
  }
  return {};
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

void appendReport(WholeFile& file, const YearlyTotals& totals, const YearlyDividends& dividends) {
  appendReportHeading(file.block());
  forEachReportLine(totals, dividends, [&file](const ReportLine& line) {
    appendReportLine(file.block(), line);
    file.flushIfFull();
  });
}

}  // namespace tradepl
