// End to end: --splits, a holding bought before a split sold after it, a splits file that
// does not read, and the hint at a split that is missing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.hpp"

namespace tradepl {
namespace {

using namespace testing;

// A sale of 2,500 shares where 100 were bought before a 1:25 split.
const std::string kSplitLog =
    spotLog({on("2023/06/20 10:00", spotBuy("9432", "100", "4000", "0", "0")),
             on("2023/07/03 10:00", spotSell("9432", "2500", "170", "0", "0"))});

TEST_F(Tradepl, SellsAfterASplitWhatWasBoughtBeforeIt) {
  SpotTrade nisaBuy = on("2023/06/21 10:00", spotBuy("9432", "200", "4100", "0", "0"));
  SpotTrade nisaSale = on("2023/07/04 10:00", spotSell("9432", "5000", "180", "0", "0"));
  nisaBuy.account = nisaSale.account = "\x82\x6D\x82\x68\x82\x72\x82\x60";  // ＮＩＳＡ
  write("spot.csv",
        spotLog({on("2023/06/20 10:00", spotBuy("9432", "100", "4000", "0", "0")), nisaBuy,
                 on("2023/07/03 10:00", spotSell("9432", "2500", "170", "0", "0")), nisaSale,
                 on("2023/08/01 10:00", spotBuy("1234", "1050", "50", "0", "0")),
                 on("2023/09/01 10:00", spotSell("1234", "105", "600", "0", "0"))}));
  // 日付,銘柄コード,分割前,分割後 in Shift_JIS, then a 1:25 split and a 10:1 merger.
  write("splits.csv",
        std::string(sjis::kSplitsHeading) + "\r\n2023/06/28,9432,1,25\r\n2023/08/15,1234,10,1\r\n");
  const Outcome result = run({"-q", "--splits", "splits.csv", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(written("out.csv"), kResultHeading + "2023,7,3,9432," + kToyotaName +
                                    ",2500,170,160.00,0,0,25000\n" + "2023,7,4,9432," +
                                    kToyotaName + ",5000,180,164.00,0,0,80000\n" +
                                    "2023,9,1,1234," + kToyotaName + ",105,600,500.00,0,0,10500\n");
}

TEST_F(Tradepl, RefusesASplitsFileThatDoesNotReadAndLeavesTheOldResult) {
  write("spot.csv", kSplitLog);
  write("splits.csv", "2023/06/28,9432,1,25\n2023/06/28,9432,25\n");
  write("out.csv", "the old results");
  Outcome result = run({"-g", "spot.csv", "--splits", "splits.csv", "out.csv"});
  EXPECT_EQ(result.status, -2);
  EXPECT_EQ(result.err,
            "tradepl: splits.csv:2: not a split: not four columns. Write a split as "
            "date,code,before,after (2023/06/28,9432,1,25). Nothing was read or written\n");
  EXPECT_EQ(read("out.csv"), "the old results");

  EXPECT_EQ(run({"-g", "spot.csv", "--splits", "splits.csv", "splits.csv"}).status, -2);
  EXPECT_EQ(run({"-g", "spot.csv", "--splits", "missing.csv", "out.csv"}).err,
            "tradepl: missing.csv: cannot read the splits file: No such file or directory. "
            "Nothing was read or written\n");
}

TEST_F(Tradepl, SuggestsTheSplitASaleTooLargeForItsHoldingPointsTo) {
  write("spot.csv", kSplitLog);
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "tradepl: spot.csv:3: sale of 9432 (" + kTokuteiInUtf8 +
                ") is larger than the 100 shares held: result written, holding closed. The price "
                "fell from 4,000 to 170 since 2023/06/20; if 9432 was split 1:25, add "
                "\"2023/07/03,9432,1,25\" to a --splits file, dated the ex-rights day\n");
}

}  // namespace
}  // namespace tradepl
