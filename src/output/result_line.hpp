#pragma once
// The lines of the result file, in Shift_JIS, 11 columns:
//   約定年,約定月,約定日,銘柄コード,銘柄名,約定数量,約定単価,平均取得単価,手数料,手数料消費税,損益
// (execution year, month, day, security code, name, quantity, unit price, average
// acquisition price, commission, commission tax, profit).

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

void appendResultHeading(std::string& out);
void appendResultLine(std::string& out, const ResultRow& result);

}  // namespace tradepl
