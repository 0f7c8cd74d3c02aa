// The dividends file: its lines, and what the file comes to.

#include <gtest/gtest.h>

#include <string>

#include "input/dividends_file.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

TEST(ReadDividendLine, ReadsAYearAndWholeYenOfZeroOrMore) {
  struct Case {
    const char* line;
    std::optional<DividendLineProblem> problem;
    std::int64_t year = 0;
    std::int64_t amount = 0;
  };
  for (const Case& c :
       {Case{"2024,120000", std::nullopt, 2024, 120000},
        Case{" 2024 ,\"1,200\",,", std::nullopt, 2024, 1200}, Case{"1900,0", std::nullopt, 1900, 0},
        Case{"2199,1", std::nullopt, 2199, 1}, Case{"2024", DividendLineProblem::columns},
        Case{"2024,1,2", DividendLineProblem::columns}, Case{"1899,1", DividendLineProblem::year},
        Case{"2200,1", DividendLineProblem::year}, Case{"R6,1", DividendLineProblem::year},
        Case{"2024,-1", DividendLineProblem::amount}, Case{"2024,1.5", DividendLineProblem::amount},
        Case{"2024,99999999999999999999", DividendLineProblem::amount}}) {
    std::int64_t year = 0;
    std::int64_t amount = 0;
    EXPECT_EQ(readDividendLine(c.line, year, amount), c.problem) << c.line;
    if (!c.problem) {
      EXPECT_EQ(year, c.year) << c.line;
      EXPECT_EQ(amount, c.amount) << c.line;
    }
  }
}

TEST(ReadDividendsFile, SumsAYearGivenTwiceAndLeavesOutAYearOfNone) {
  const std::string text = "\xEF\xBB\xBF" + std::string(sjis::kDividendsHeadingInUtf8) +
                           "\r\n2023,100\r\n,,\r\n2024,0\r\n" +
                           std::string(sjis::kDividendsHeading) + "\n2023,50\n2022,7";
  MemoryBytes bytes(text);
  const DividendsFile file = readDividendsFile(bytes);
  ASSERT_FALSE(file.refused());
  EXPECT_EQ(file.dividends, (YearlyDividends{{2022, 7}, {2023, 150}}));

  const std::string bad = "2023,100\n\n2024,x\n";
  MemoryBytes badBytes(bad);
  const DividendsFile refused = readDividendsFile(badBytes);
  EXPECT_EQ(refused.badLine, 3u);
  EXPECT_EQ(refused.problem, DividendLineProblem::amount);
  EXPECT_TRUE(refused.dividends.empty());

  const std::string tooMuch = "2023,9223372036854775807\n2023,1\n";
  MemoryBytes tooMuchBytes(tooMuch);
  EXPECT_EQ(readDividendsFile(tooMuchBytes).badLine, 2u);
}

}  // namespace
}  // namespace tradepl
