#include "output/report_file.hpp"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

#include "output/result_line.hpp"
#include "records/log_kinds.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

void appendNumber(std::string& out, const std::optional<std::int64_t>& number) {
  if (number) out += std::to_string(*number);
}

// The kind column of each kind of line; a trades line names its log, as the log's row has it.
struct KindColumn {
  ReportLineKind kind;
  std::string_view text;  // empty for a trades line
};
constexpr KindColumn kKindColumns[] = {
    {ReportLineKind::trades, {}},
    {ReportLineKind::total, sjis::kTotal},
    {ReportLineKind::dividends, sjis::kDividendIncome},
    {ReportLineKind::lossOffset, sjis::kLossOffset},
    {ReportLineKind::lossCarriedIn, sjis::kLossCarriedIn},
    {ReportLineKind::lossCarriedInDividends, sjis::kLossCarriedInDividends},
    {ReportLineKind::afterLossCarriedIn, sjis::kAfterLossCarriedIn},
    {ReportLineKind::lossCarriedOut, sjis::kLossCarriedForward},
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

std::string_view kindOf(const ReportLine& line) {
  const std::string_view text = kKindColumns[static_cast<std::size_t>(line.kind)].text;
  return text.empty() ? factsOf(line.log).label : text;
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
