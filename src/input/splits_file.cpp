#include "input/splits_file.hpp"

#include <algorithm>
#include <array>
#include <string>

#include "input/block_lines.hpp"
#include "input/columns.hpp"
#include "input/number_grammar.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

// A splits file is a few lines a person wrote; one this long is something else.
constexpr std::size_t kLongestSplitsFile = std::size_t{1} << 20;

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool isPositive(std::string_view text, std::int64_t& value) {
  return readInteger(text, value) == NumberProblem::none && value > 0;
}

bool isHeading(std::string_view line) {
  return line == sjis::kSplitsHeading || line == sjis::kSplitsHeadingInUtf8;
}

}  // namespace

std::optional<SplitLineProblem> readSplitLine(std::string_view line, StockSplit& split) {
  // Four columns; a spreadsheet may add empty ones after them.
  std::array<Column, 16> columns;
  bool mayHoldNul = false;
  ColumnSplitter splitter;
  const std::size_t found = splitter.split(line, columns, mayHoldNul);
  const bool onlyBlanksAfter =
      std::all_of(columns.begin() + std::min<std::size_t>(found, 4), columns.begin() + found,
                  [](const Column& c) { return isBlank(c.view()); });
  if (found < 4 || found == columns.size() || !onlyBlanksAfter) return SplitLineProblem::columns;
  const std::optional<Day> date = dayOf(readCalendarDate(columns[0].view()));
  if (!date) return SplitLineProblem::date;
  StockCode code;
  if (!readStockCode(columns[1].view(), code)) return SplitLineProblem::code;
  if (!isPositive(columns[2].view(), split.before)) return SplitLineProblem::sharesBefore;
  if (!isPositive(columns[3].view(), split.after)) return SplitLineProblem::sharesAfter;
  split.date = *date;
  split.codeNumber = code.number;
  split.codeSymbol = std::string(code.symbol.view());
  return std::nullopt;
}

SplitsFile readSplitsFile(LogBytes& bytes) {
  SplitsFile file;
  std::string text(kLongestSplitsFile + 1, '\0');
  text.resize(readFully(bytes, text));
  file.failure = bytes.failure();
  file.tooLong = text.size() > kLongestSplitsFile;
  if (file.refused()) return file;
  if (text.starts_with(kUtf8ByteOrderMark)) text.erase(0, kUtf8ByteOrderMark.size());

  std::uint64_t number = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line =
        detail::lineText(std::string_view(text).substr(start, end - start), '\n');
    start = end + 1;
    ++number;
    if (isBlank(line) || isHeading(line)) continue;
    StockSplit split;
    split.line = number;
    if (const std::optional<SplitLineProblem> problem = readSplitLine(line, split)) {
      file.badLine = number;
      file.problem = *problem;
      return file;
    }
    file.splits.push_back(std::move(split));
  }
  std::stable_sort(file.splits.begin(), file.splits.end(),
                   [](const StockSplit& a, const StockSplit& b) { return a.date < b.date; });
  return file;
}

}  // namespace tradepl
