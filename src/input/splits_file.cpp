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

// A line's columns without the empty ones a spreadsheet may write after them.
class SplitColumns {
 public:
  explicit SplitColumns(std::string_view line) {
    bool mayHoldNul = false;
    found_ = splitter_.split(line, columns_, mayHoldNul);
    tooMany_ = found_ == columns_.size();
    while (found_ > 0 && isBlank(columns_[found_ - 1].view())) --found_;
  }

  // How many columns the line has, up to its last that is not blank.
  std::size_t count() const { return found_; }
  bool tooMany() const { return tooMany_; }
  std::string_view operator[](std::size_t i) const { return columns_[i].view(); }

  // The heading line, its columns quoted or not, in Shift_JIS or UTF-8.
  bool areHeadings() const {
    if (found_ != 4) return false;
    std::string line;
    for (std::size_t i = 0; i < found_; ++i) {
      if (i > 0) line += ',';
      line += trimSpacesAndTabs(columns_[i].view());
    }
    return line == sjis::kSplitsHeading || line == sjis::kSplitsHeadingInUtf8;
  }

 private:
  ColumnSplitter splitter_;
  std::array<Column, 16> columns_;
  std::size_t found_ = 0;
  bool tooMany_ = false;
};

std::optional<SplitLineProblem> readSplit(const SplitColumns& columns, StockSplit& split) {
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
  return readSplit(SplitColumns(line), split);
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
    const SplitColumns columns(
        detail::lineText(std::string_view(text).substr(start, end - start), '\n'));
    start = end + 1;
    ++number;
    // Blank lines, rows of empty columns as a spreadsheet writes them, and the heading.
    if ((columns.count() == 0 && !columns.tooMany()) || columns.areHeadings()) continue;
    StockSplit split;
    split.line = number;
    if (const std::optional<SplitLineProblem> problem = readSplit(columns, split)) {
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
