#pragma once
// The yearly report, a CSV file in Shift_JIS with the result file's line ends, laid out for
// a tax return:
//   年分,取引,口座,課税区分,件数,譲渡収入,取得費,譲渡費用,損益
// (tax year, kind, account, taxation, results, proceeds, acquisition cost, expenses, profit).
// A line of one amount (dividends, a loss offset or carried) has it in the last column, and
// names the year a carried loss arose in where the others name the account: 2023年分.
// Numbers are plain, "-" before a negative one; a figure that did not fit 64 bits is empty.
// Written whole or not at all, and committed with the result file (output/outputs.hpp).

#include <string>
#include <vector>

#include "ledger/tax_report.hpp"
#include "platform/output_file.hpp"

namespace tradepl {

void appendReportHeading(std::string& out);
void appendReportLine(std::string& out, const ReportLine& line);

// Appends the whole report of `totals` and `dividends` to `file`, a block at a time.
void appendReport(platform::OutputFile& file, const YearlyTotals& totals,
                  const YearlyDividends& dividends);

}  // namespace tradepl
