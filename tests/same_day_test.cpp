// The same-day rule of the tax office's method: the order a day's rows are applied in, and
// the rows that wait for their day to end, in memory or in a temporary file.

#include "flow/same_day.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow_run.hpp"

namespace tradepl {
namespace {

using testing::Figured;
using testing::figuresOf;
using testing::FlowRun;
using testing::inAccount;
using testing::on;
using testing::spotBuy;
using testing::spotSell;
using testing::SpotTrade;

TEST(SameDayRule, AppliesADaysTokuteiPurchasesBeforeItsOtherRows) {
  const std::string ippan = "\x88\xEA\x94\xCA";  // 一般
  for (const CostMethod method : {CostMethod::taxOffice, CostMethod::movingAverage}) {
    FlowRun run(method);
    run.spot(on("2024/03/04 10:00", spotBuy("1", "100", "1000", "0", "0")))
        .spot(on("2024/03/04 10:00", inAccount(ippan, spotBuy("1", "100", "1000", "0", "0"))))
        .spot(on("2024/03/05 09:00", spotSell("1", "100", "1200", "0", "0")))
        .spot(on("2024/03/05 09:10", inAccount(ippan, spotSell("1", "100", "1200", "0", "0"))))
        .spot(on("2024/03/05 09:20", inAccount(ippan, spotBuy("1", "100", "1300", "0", "0"))))
        .spot(on("2024/03/05 09:30", spotBuy("1", "100", "1300", "0", "0")))
        .spot(on("R6.3.5", spotSell("1", "10", "1200", "0", "0")));
    // 特定 with the rule: 200 shares at 230,000 when the sale is applied, 1,150 each. 一般
    // keeps time order, and so does the method of the statements.
    const std::vector<Figured> expected =
        method == CostMethod::taxOffice
            ? std::vector<Figured>{{1150, 0, 0, 5000}, {1000, 0, 0, 20000}, {1150, 0, 0, 500}}
            : std::vector<Figured>{{1000, 0, 0, 20000}, {1000, 0, 0, 20000}, {1300, 0, 0, -1000}};
    EXPECT_EQ(figuresOf(run), expected);
    // Results keep the order of the sale lines.
    ASSERT_EQ(run.results().size(), 3u);
    EXPECT_EQ(run.results()[0].row->line, 3u);
    EXPECT_EQ(run.results()[1].row->line, 4u);
    EXPECT_EQ(run.results()[2].row->line, 7u);
  }
}

TEST(SameDayRule, KeepsADayTooLargeForMemoryInATemporaryFile) {
  // Thousands of sales wait for the one purchase at the end of their day, in a few kilobytes
  // of memory; every one of them comes back whole, in order.
  FlowRun small(FlowSettings{.method = CostMethod::taxOffice, .sameDayMemory = 4096});
  FlowRun large(CostMethod::taxOffice);
  for (FlowRun* run : {&small, &large}) {
    run->spot(on("2024/03/04", spotBuy("130A", "3000", "1000", "0", "0")));
    for (int i = 0; i < 3000; ++i) {
      SpotTrade sale = on("2024/03/05", spotSell("130A", "1", std::to_string(1000 + i), "1", "0"));
      sale.name = "N" + std::to_string(i);
      run->spot(sale);
    }
    run->spot(on("2024/03/05", spotBuy("130A", "3000", "1200", "0", "0")));
  }
  ASSERT_EQ(small.results().size(), 3000u);
  WaitingRows rows(4096);
  for (const ResultRow& result : small.results()) rows.add(*result.row);
  EXPECT_TRUE(rows.spilled());
  for (std::size_t i = 0; i < 3000; ++i) {
    const ResultRow& result = small.results()[i];
    ASSERT_EQ(result.row->stockName().view(), "N" + std::to_string(i));
    ASSERT_EQ(result.row->stockCode().symbol.view(), "130A");
    ASSERT_EQ(result.averagePrice, 1100.0);
    ASSERT_EQ(result.profit, large.results()[i].profit);
  }
}

}  // namespace
}  // namespace tradepl
