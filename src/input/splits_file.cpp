#include "input/splits_file.hpp"

#include <algorithm>
#include <string>

#include "input/number_grammar.hpp"
#include "input/user_file.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

bool isPositive(std::string_view text, std::int64_t& value) {
  return readInteger(text, value) == NumberProblem::none && value > 0;
}

std::optional<SplitLineProblem> readSplit(const UserColumns& columns, StockSplit& split) {
  if (columns.count() != 4 || columns.tooMany()) return SplitLineProblem::columns;
  const std::optional<Day> date = readDay(columns[0]);
  if (!date) return SplitLineProblem::date;
  StockCode code;
  if (!readStockCode(columns[1], code)) return SplitLineProblem::code;
  if (!isPositive(columns[2], split.before)) return SplitLineProblem::sharesBefore;
  if (!isPositive(columns[3], split.after)) return SplitLineProblem::sharesAfter;
  split.date = *date;
  split.codeNumber = code.number;
  split.codeSymbol = std::string(code.symbol.view());
  return std::nullopt;
}

}  // namespace

std::optional<SplitLineProblem> readSplitLine(std::string_view line, StockSplit& split) {
  return readSplit(UserColumns(line), split);
}

SplitsFile readSplitsFile(LogBytes& bytes) {
  SplitsFile file;
  const UserFileRead read =
      readUserFile(bytes, [&file](std::uint64_t number, const UserColumns& columns) {
        if (columns.isHeading(sjis::kSplitsHeading, sjis::kSplitsHeadingInUtf8)) return true;
        StockSplit split;
        split.line = number;
        if (const std::optional<SplitLineProblem> problem = readSplit(columns, split)) {
          file.badLine = number;
          file.problem = *problem;
          return false;
        }
        file.splits.push_back(std::move(split));
        return true;
      });
  file.failure = read.failure;
  file.tooLong = read.tooLong;
  if (file.refused()) {
    file.splits.clear();
    return file;
  }
  std::stable_sort(file.splits.begin(), file.splits.end(),
                   [](const StockSplit& a, const StockSplit& b) { return a.date < b.date; });
  return file;
}

}  // namespace tradepl
