// End to end: the deliveries of a margin log (現引, 現渡) among the spot results, in time
// order with the spot log.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.hpp"

namespace tradepl {
namespace {

using namespace testing;

MarginTrade withFee(std::string MarginTrade::*fee, std::string amount, MarginTrade trade) {
  trade.*fee = std::move(amount);
  return trade;
}

std::string marginLog(const std::vector<MarginTrade>& trades) {
  std::string text = "heading\n";
  for (const MarginTrade& trade : trades) text += trade.line() + "\n";
  return text;
}

// 優待クロス: spot shares bought, the same shares sold short, the spot shares handed over
// to close the short; a closing of another code, earlier, in the margin part of the file.
TEST_F(Tradepl, CountsAYutaiCrossAsASpotSaleAtTheShortsPrice) {
  write("spot.csv", spotLog({on("2024/03/26 09:00", spotBuy("7203", "100", "2019", "0", "0"))}));
  MarginTrade opening =
      on("2024/03/26 09:00", delivery(sjis::kMarginOpening, "7203", "100", "2019"));
  MarginTrade closing = on("2024/03/27 10:00", MarginTrade{});
  write("margin.csv",
        marginLog({opening, closing,
                   withFee(&MarginTrade::lendingFee, "151",
                           on("2024/03/28 15:30",
                              delivery(sjis::kDeliveryGive, "7203", "100", "2019")))}));
  const Outcome outcome = run({"--tax", "--detail", "-g", "spot.csv", "-s", "margin.csv",
                               "--report", "report.csv", "out.csv"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(toUtf8(written("out.csv"), "CP932"),
            "約定年,約定月,約定日,銘柄コード,銘柄名,約定数量,約定単価,平均取得単価,手数料,"
            "手数料消費税,損益,口座,取引区分,受領日\n"
            "2024,3,28,7203,SBG,100,2019,2019.00,151,0,-151,特定,現渡,2024/03/28\n"
            "2024,3,27,9984,SBG,200,7690,7250.00,1500,0,86500,特定,信用返済,2024/03/27\n");
  EXPECT_EQ(toUtf8(written("report.csv"), "CP932"),
            "年分,取引,口座,課税区分,件数,譲渡収入,取得費,譲渡費用,損益\n"
            "2024,現物,特定,課税,1,201900,201900,151,-151\n"
            "2024,信用,特定,課税,1,1538000,1450000,1500,86500\n"
            "2024,合計,,課税,2,1739900,1651900,1651,86349\n");
  EXPECT_NE(outcome.err.find("  margin.csv: lines read 4, trades used 3, lines skipped 0, of "
                             "other trade types 0\n"),
            std::string::npos)
      << outcome.err;
}

// SMBC日興 FAQ 988: 現引 100 at 1,000 with 金利 6, then 現渡 at a 建単価 of 1,100 less 貸株料 8.
// A spot sale before the 現引 has no holding.
TEST_F(Tradepl, TakesDeliveryIntoTheSpotHoldingAndDeliversFromIt) {
  write("spot.csv", spotLog({on("2024/04/30 09:00", spotSell("7203", "100", "1200", "0", "0"))}));
  write(
      "margin.csv",
      marginLog(
          {withFee(&MarginTrade::interest, "6",
                   on("2024/05/01 15:30", delivery(sjis::kDeliveryTake, "7203", "100", "1000"))),
           withFee(&MarginTrade::lendingFee, "8",
                   on("2024/06/03 15:30", delivery(sjis::kDeliveryGive, "7203", "100", "1100")))}));
  for (const auto& [method, line] : {std::pair<std::string, std::string>{
                                         "--tax", "2024,6,3,7203,SBG,100,1100,1001.00,8,0,9892\n"},
                                     std::pair<std::string, std::string>{
                                         "-q", "2024,6,3,7203,SBG,100,1100,1000.00,14,0,9986\n"}}) {
    const Outcome outcome = run({method, "-g", "spot.csv", "-s", "margin.csv", "out.csv"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(written("out.csv"), kResultHeading + line) << method;
    EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n') + 1),
              "tradepl: spot.csv:2: sale of 7203 (特定) without a holding bought earlier in the "
              "logs: no result\n")
        << method;
  }
}

// Two exports of the margin log that overlap hold the same 現渡 twice: it counts once.
TEST_F(Tradepl, CountsADeliveryInTwoOverlappingLogsOnce) {
  write("spot.csv", spotLog({on("2024/03/26 09:00", spotBuy("7203", "100", "2019", "0", "0"))}));
  const MarginTrade given =
      withFee(&MarginTrade::lendingFee, "151",
              on("2024/03/28 15:30", delivery(sjis::kDeliveryGive, "7203", "100", "2019")));
  write("margin-1.csv", marginLog({given}));
  write("margin-2.csv", marginLog({given, on("2024/04/22 11:45", MarginTrade{})}));
  const Outcome outcome =
      run({"-g", "spot.csv", "-s", "margin-1.csv", "-s", "margin-2.csv", "out.csv"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(written("out.csv"), kResultHeading +
                                    "2024,3,28,7203,SBG,100,2019,2019.00,151,0,-151\n" +
                                    "2024,4,22,9984,SBG,200,7690,7250.00,1500,0,86500\n");
  EXPECT_NE(outcome.err.find("tradepl: margin-2.csv: 1 row is also in another log: counted once\n"),
            std::string::npos)
      << outcome.err;
}

}  // namespace
}  // namespace tradepl
