#include "input/dividends_file.hpp"

#include "input/number_grammar.hpp"
#include "input/user_file.hpp"
#include "records/numbers.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

// The years a calendar date of the logs may have.
constexpr std::int64_t kFirstYear = 1900;
constexpr std::int64_t kLastYear = 2199;

std::optional<DividendLineProblem> readDividend(const UserColumns& columns, std::int64_t& year,
                                                std::int64_t& amount) {
  if (columns.count() != 2 || columns.tooMany()) return DividendLineProblem::columns;
  if (readInteger(columns[0], year) != NumberProblem::none || year < kFirstYear ||
      year > kLastYear) {
    return DividendLineProblem::year;
  }
  if (readInteger(columns[1], amount) != NumberProblem::none || amount < 0) {
    return DividendLineProblem::amount;
  }
  return std::nullopt;
}

}  // namespace

std::optional<DividendLineProblem> readDividendLine(std::string_view line, std::int64_t& year,
                                                    std::int64_t& amount) {
  return readDividend(UserColumns(line), year, amount);
}

DividendsFile readDividendsFile(LogBytes& bytes) {
  DividendsFile file;
  const UserFileRead read =
      readUserFile(bytes, [&file](std::uint64_t number, const UserColumns& columns) {
        if (columns.isHeading(sjis::kDividendsHeading, sjis::kDividendsHeadingInUtf8)) return true;
        std::int64_t year = 0;
        std::int64_t amount = 0;
        std::optional<DividendLineProblem> problem = readDividend(columns, year, amount);
        if (!problem) {
          const std::optional<std::int64_t> sum = checkedAdd(file.dividends[year], amount);
          if (sum) file.dividends[year] = *sum;
          problem = sum ? std::nullopt : std::optional(DividendLineProblem::amount);
        }
        if (!problem) return true;
        file.badLine = number;
        file.problem = *problem;
        return false;
      });
  file.failure = read.failure;
  file.tooLong = read.tooLong;
  // A year whose dividends come to 0 has none to declare.
  std::erase_if(file.dividends, [](const auto& year) { return year.second == 0; });
  if (file.refused()) file.dividends.clear();
  return file;
}

}  // namespace tradepl
