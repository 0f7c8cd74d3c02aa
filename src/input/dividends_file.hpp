#pragma once
// The dividends file the user writes, one tax year per line:
//
//   年分,配当等の額        (tax year, dividends in yen)
//   2024,120000
//
// The year from 1900 to 2199 and a whole number of yen, 0 or more; a year given twice is
// summed, and a year whose dividends come to 0 is left out. A heading line, in Shift_JIS or
// UTF-8, and blank lines are passed over. Any other line that does not read refuses the
// whole file: a wrong figure would make every loss carried after it wrong.

#include <cstdint>
#include <optional>
#include <string_view>

#include "input/log_bytes.hpp"
#include "records/dividends.hpp"

namespace tradepl {

// Why a line of a dividends file does not read.
enum class DividendLineProblem : std::uint8_t {
  columns,  // not two columns
  year,     // column 1 is not a year from 1900 to 2199
  amount,   // column 2 is not a whole number of yen, 0 or more (or the year's sum is too large)
};

struct DividendsFile {
  YearlyDividends dividends;
  FileProblem failure;        // the file could not be read
  bool tooLong = false;       // longer than any dividends file
  std::uint64_t badLine = 0;  // the first line that does not read, with why
  DividendLineProblem problem = DividendLineProblem::columns;

  bool refused() const { return failure || tooLong || badLine != 0; }
};

// Reads one line, without its line end, into the year and the amount.
std::optional<DividendLineProblem> readDividendLine(std::string_view line, std::int64_t& year,
                                                    std::int64_t& amount);

DividendsFile readDividendsFile(LogBytes& bytes);

}  // namespace tradepl
