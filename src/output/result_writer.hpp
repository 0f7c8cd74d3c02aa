#pragma once
// The result file: a heading line, then one line per realized result in list order, in
// Shift_JIS, 11 columns:
//   約定年,約定月,約定日,銘柄コード,銘柄名,約定数量,約定単価,平均取得単価,手数料,手数料消費税,損益
// (execution year, month, day, security code, name, quantity, unit price, average
// acquisition price, commission, commission tax, profit).

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.hpp"
#include "records/records.hpp"

namespace tradepl {

// Line ends as the platform's text files have them: CR LF on Windows, LF elsewhere.
using platform::kLineEnd;

// Year, month and day of an execution date such as "2014/09/04 11:48" or "2014-9-4": three
// numbers, each read like scanf's %d, separated by '/' or '-'; whatever follows the day is
// ignored. A part that does not read is left empty, and so is every part after it.
struct ExecutionDate {
  std::optional<std::int64_t> year;
  std::optional<std::int64_t> month;
  std::optional<std::int64_t> day;
};
ExecutionDate splitExecutionDate(std::string_view dateTime);

void appendResultHeading(std::string& out);
void appendResultLine(std::string& out, const ResultRow& result);

// How a block of result bytes reaches the open file: fwrite, unless a test puts a
// failing one in its place, as a full disk would fail. Returns false on failure, with
// errno set.
using BlockWrite = std::function<bool(std::FILE* file, std::string_view bytes)>;
bool writeToFile(std::FILE* file, std::string_view bytes);

// Writes the whole result file, or nothing: the lines go to a temporary file beside
// `path`, which replaces `path` only once every byte is written. Returns why the file
// could not be written, or an empty string.
std::string writeResultLog(const std::string& path, const ResultList& results,
                           const BlockWrite& writeBlock = writeToFile);

}  // namespace tradepl
