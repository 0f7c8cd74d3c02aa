// The way of a trade through the flow: what it tells of a result, and what it keeps.

#include "flow/trade_flow.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "flow_run.hpp"

namespace tradepl {
namespace {

using testing::FlowRun;
using testing::on;
using testing::spotBuy;
using testing::spotSell;

struct FlowCase {
  const char* rule;
  const char* saleDate;
  bool keepTotals;
  std::vector<std::uint64_t> undated;  // the lines of results told of as undated
  std::uint64_t totalled;              // the results the yearly totals count
};

TEST(TradeFlow, TellsOfAnUndatedResultAndKeepsTotalsOnlyWhereAsked) {
  for (const FlowCase& c : std::vector<FlowCase>{
           {"a result of a calendar day", "2024/03/05 10:00", true, {}, 1},
           {"an era date names no calendar day", "R6.3.5", true, {2}, 1},
           {"nor does the 30th of February", "2024/02/30 10:00", true, {2}, 1},
           {"no totals where nobody sees them", "2024/03/05 10:00", false, {}, 0},
       }) {
    FlowRun run(FlowSettings{.keepTotals = c.keepTotals});
    run.spot(on("2024/03/04 10:00", spotBuy("7203", "100", "1000", "0", "0")))
        .spot(on(c.saleDate, spotSell("7203", "100", "1100", "0", "0")));
    ASSERT_EQ(run.results().size(), 1u) << c.rule;
    EXPECT_EQ(run.undatedLines(), c.undated) << c.rule;
    EXPECT_EQ(run.flow().totals().results(), c.totalled) << c.rule;
  }
}

}  // namespace
}  // namespace tradepl
