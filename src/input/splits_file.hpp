#pragma once
// The splits file the user writes, one split per line:
//
//   日付,銘柄コード,分割前,分割後        (date, security code, shares before, shares after)
//   2023/06/28,9432,1,25
//
// The date as the logs write dates (year/month/day), the code as the logs write it, and two
// whole numbers above 0. A heading line, in Shift_JIS or UTF-8, and blank lines are passed
// over. Any other line that does not read refuses the whole file: a wrong split would make
// every later result wrong.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "input/log_bytes.hpp"
#include "records/splits.hpp"

namespace tradepl {

// Why a line of a splits file does not read.
enum class SplitLineProblem : std::uint8_t {
  columns,       // not four columns
  date,          // column 1 is not year/month/day
  code,          // column 2 is not a security code
  sharesBefore,  // column 3 is not a whole number above 0
  sharesAfter,   // column 4 likewise
};

// Reads one line, without its line end.
std::optional<SplitLineProblem> readSplitLine(std::string_view line, StockSplit& split);

struct SplitsFile {
  std::vector<StockSplit> splits;  // in date order, then file order
  FileProblem failure;             // the file could not be read
  bool tooLong = false;            // longer than any splits file
  std::uint64_t badLine = 0;       // the first line that does not read, with why
  SplitLineProblem problem = SplitLineProblem::columns;

  bool refused() const { return failure || tooLong || badLine != 0; }
};

SplitsFile readSplitsFile(LogBytes& bytes);

}  // namespace tradepl
