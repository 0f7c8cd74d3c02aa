#pragma once
// The lines of the result file, in Shift_JIS, 11 columns (14 with the detail):
//   約定年,約定月,約定日,銘柄コード,銘柄名,約定数量,約定単価,平均取得単価,手数料,手数料消費税,損益
// (execution year, month, day, security code, name, quantity, unit price, average
// acquisition price, commission, commission tax, profit).

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text.hpp"
#include "records/records.hpp"

namespace tradepl {

// Line ends as the platform's text files have them: CR LF on Windows, LF elsewhere.
using platform::kLineEnd;

// A code as the result file shows it: a symbol as written, a number zero-padded to four
// digits the way printf's %04d pads it (7 as 0007, -7 as -007).
void appendStockCode(std::string& out, const StockCode& code);

// A text column of the logs in double quotes, a quote in it doubled.
void appendQuoted(std::string& out, std::string_view text);

// True when a text column would break its line into other columns as written: a comma, a
// quote or a CR in it.
bool needsQuotes(std::string_view text);

// A text column of the logs as stored; quoted only when needsQuotes, so that every line
// keeps its columns.
inline void appendText(std::string& out, std::string_view text) {
  if (!needsQuotes(text)) {
    out += text;
  } else {
    appendQuoted(out, text);
  }
}

// With `detail`, each line ends with three more columns, as the log writes them:
//   口座,取引区分,受領日 (account, trade type, settlement date)
void appendResultHeading(std::string& out, bool detail = false);
void appendResultLine(std::string& out, const ResultRow& result, bool detail = false);
// The same line written into room for resultLineBound bytes at `at`; returns its end.
std::size_t resultLineBound(const ResultRow& result, bool detail = false);
char* writeResultLine(char* at, const ResultRow& result, bool detail = false);

}  // namespace tradepl
