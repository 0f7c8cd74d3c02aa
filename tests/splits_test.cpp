// Stock splits: reading the splits file, applying splits to holdings under both methods, and
// the hint at a split the logs do not show.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow_run.hpp"
#include "input/splits_file.hpp"

namespace tradepl {
namespace {

using testing::FlowRun;
using testing::inAccount;
using testing::MarginTrade;
using testing::on;
using testing::spotBuy;
using testing::spotSell;
using testing::SpotTrade;

TEST(ReadSplitLine, ReadsADateACodeAndTwoWholeNumbersAboveZero) {
  StockSplit split;
  EXPECT_EQ(readSplitLine(" 2023-6-28 , 130A ,\"10\", 1 ,,", split), std::nullopt);
  EXPECT_EQ(split.date, (Day{2023, 6, 28}));
  EXPECT_EQ(split.code(), (StockCode{0, Text("130A")}));
  EXPECT_EQ(split.before, 10);
  EXPECT_EQ(split.after, 1);

  struct Case {
    const char* line;
    SplitLineProblem problem;
  };
  for (const Case& c : {Case{"2023/06/28,9432,1", SplitLineProblem::columns},
                        Case{"2023/06/28,9432,1,25,x", SplitLineProblem::columns},
                        Case{"R5/6/28,9432,1,25", SplitLineProblem::date},
                        Case{"2023/06,9432,1,25", SplitLineProblem::date},
                        Case{"15/08/2023,9432,1,25", SplitLineProblem::date},
                        Case{"2023/02/29,9432,1,25", SplitLineProblem::date},
                        Case{"2023/06/28x,9432,1,25", SplitLineProblem::date},
                        Case{"2023/06/28,94-32,1,25", SplitLineProblem::code},
                        Case{"2023/06/28,9432,0,25", SplitLineProblem::sharesBefore},
                        Case{"2023/06/28,9432,1,-25", SplitLineProblem::sharesAfter},
                        Case{"2023/06/28,9432,1,2.5", SplitLineProblem::sharesAfter}}) {
    EXPECT_EQ(readSplitLine(c.line, split), c.problem) << c.line;
  }
}

TEST(ReadSplitsFile, PassesOverHeadingsAndBlankLinesAndOrdersTheSplitsByDate) {
  // A spreadsheet's empty columns after the heading, and a row of them.
  const std::string text = "\xEF\xBB\xBF" + std::string(sjis::kSplitsHeadingInUtf8) +
                           ",,\r\n2024/10/01,7974,1,10\r\n,,,\r\n" +
                           std::string(sjis::kSplitsHeading) +
                           "\n2023/06/28,9432,1,25\n2024/10/01,1234,10,1";
  MemoryBytes bytes(text);
  const SplitsFile file = readSplitsFile(bytes);
  ASSERT_FALSE(file.refused());
  ASSERT_EQ(file.splits.size(), 3u);
  EXPECT_EQ(file.splits[0].codeNumber, 9432);
  EXPECT_EQ(file.splits[1].codeNumber, 7974);  // the same date: in the order of the file
  EXPECT_EQ(file.splits[2].line, 6u);

  const std::string bad = "2023/06/28,9432,1,25\nheading\n";
  MemoryBytes badBytes(bad);
  const SplitsFile refused = readSplitsFile(badBytes);
  EXPECT_TRUE(refused.refused());
  EXPECT_EQ(refused.badLine, 2u);
  EXPECT_EQ(refused.problem, SplitLineProblem::columns);
}

StockSplit splitOf(Day date, std::int64_t code, std::int64_t before, std::int64_t after) {
  return {.date = date, .codeNumber = code, .before = before, .after = after, .line = 2};
}

TEST(Splits, LetAHoldingBoughtBeforeASplitSellAfterItUnderBothMethods) {
  for (const CostMethod method : {CostMethod::movingAverage, CostMethod::taxOffice}) {
    FlowRun run(FlowSettings{
        .method = method,
        .splits = {splitOf({2023, 6, 28}, 9432, 1, 25), splitOf({2023, 8, 10}, 7777, 1, 2),
                   splitOf({2023, 8, 15}, 1234, 10, 1), splitOf({2030, 1, 1}, 9432, 1, 2)}});
    const std::string nisa = "\x82\x6D\x82\x68\x82\x72\x82\x60";  // ＮＩＳＡ
    run.spot(on("2023/06/20 10:00", spotBuy("9432", "100", "4000", "0", "0")))
        .spot(on("2023/06/21 10:00", inAccount(nisa, spotBuy("9432", "200", "4100", "0", "0"))))
        .spot(on("2023/06/28 09:00", spotSell("9432", "2500", "170", "0", "0")))
        .spot(on("2023/07/04 10:00", inAccount(nisa, spotSell("9432", "5000", "180", "0", "0"))))
        .spot(on("2023/08/01 10:00", spotBuy("1234", "1050", "50", "0", "0")))
        .spot(on("2023/08/01 10:00", spotBuy("7777", "100", "1000", "0", "0")))
        .spot(on("R5.8.20", spotSell("7777", "10", "1100", "0", "0")))
        .spot(on("2023/09/01 10:00", spotSell("1234", "105", "600", "0", "0")));
    const std::vector<ResultRow>& results = run.results();
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].averagePrice, 160.0);
    EXPECT_EQ(results[0].profit, 25000);
    EXPECT_EQ(results[1].averagePrice, 164.0);
    EXPECT_EQ(results[1].profit, 80000);
    // A sale whose date does not read applies no split: 10 of the 100 shares at 1,000.
    EXPECT_EQ(results[2].averagePrice, 1000.0);
    EXPECT_EQ(results[3].averagePrice, 500.0);
    EXPECT_EQ(results[3].profit, 10500);
    EXPECT_TRUE(run.splitNotes().empty());
    EXPECT_TRUE(run.notes().empty());
  }
}

TEST(Splits, SayWhatFractionOfAShareIsLeftAndLeaveMarginPositionsAlone) {
  MarginTrade closing;
  closing.date = "2023/09/05 10:00";
  closing.code = "5555";
  closing.positionPrice = "100";
  for (const CostMethod method : {CostMethod::movingAverage, CostMethod::taxOffice}) {
    FlowRun run(FlowSettings{.method = method, .splits = {splitOf({2023, 9, 3}, 5555, 2, 1)}});
    run.spot(on("2023/09/02 10:00", spotBuy("5555", "105", "100", "0", "0")))
        .spot(on("2023/09/05 10:00", spotSell("5555", "52", "210", "0", "0")))
        .margin(closing);
    ASSERT_EQ(run.splitNotes().size(), 1u);
    const SplitNote& note = run.splitNotes()[0];
    EXPECT_EQ(note.sharesBefore, 105);
    EXPECT_EQ(note.sharesAfter, 52);
    EXPECT_EQ(note.fractionOver, 1);
    EXPECT_EQ(note.fractionUnder, 2);
    ASSERT_EQ(run.results().size(), 2u);
    // The statements' average doubles; the tax office's cost of 10,500 stays, over 52 shares.
    EXPECT_EQ(run.results()[0].averagePrice, method == CostMethod::taxOffice ? 202.0 : 200.0);
    EXPECT_EQ(run.results()[1].averagePrice, 100.0);
  }
}

TEST(Splits, SayOfEachAccountInTheOrderOfItsBytes) {
  FlowRun run(FlowSettings{.splits = {splitOf({2023, 9, 3}, 5555, 2, 1)}});
  for (const char* account : {"\x88\xEA\x94\xCA", "NISA", "\x93\xC1\x92\xE8"}) {
    run.spot(on("2023/09/02 10:00", inAccount(account, spotBuy("5555", "105", "100"))));
  }
  run.spot(on("2023/09/05 10:00", spotBuy("5555", "1", "100")));
  std::vector<std::string> accounts;
  for (const SplitNote& note : run.splitNotes()) accounts.push_back(note.account);
  // NISA, 一般, 特定: the holdings were bought as 一般, NISA, 特定.
  EXPECT_EQ(accounts, (std::vector<std::string>{"NISA", "\x88\xEA\x94\xCA", "\x93\xC1\x92\xE8"}));
}

TEST(Splits, RemoveAHoldingMergedDownToNoShareUnderBothMethods) {
  for (const CostMethod method : {CostMethod::movingAverage, CostMethod::taxOffice}) {
    FlowRun run(FlowSettings{.method = method, .splits = {splitOf({2023, 9, 3}, 5555, 10, 1)}});
    run.spot(on("2023/09/02 10:00", spotBuy("5555", "5", "100")))
        .spot(on("2023/09/05 10:00", spotSell("5555", "1", "1000", "0", "0")));
    EXPECT_TRUE(run.results().empty());
    ASSERT_EQ(run.notes().size(), 1u);
    EXPECT_EQ(run.notes()[0].note.kind, LedgerNoteKind::saleWithoutHolding);
  }
}

TEST(SplitHint, PointsAtTheSplitASaleTooLargeForItsHoldingSuggests) {
  FlowRun run;
  run.spot(on("2023/06/20 10:00", spotBuy("9432", "100", "4000", "0", "0")))
      .spot(on("2023/07/03 10:00", spotSell("9432", "2500", "170", "0", "0")))
      .spot(on("2023/07/04 10:00", spotBuy("7203", "100", "1000", "0", "0")))
      .spot(on("2023/07/05 10:00", spotSell("7203", "150", "990", "0", "0")));
  ASSERT_EQ(run.notes().size(), 2u);
  const std::optional<SplitHint>& hint = run.notes()[0].note.splitHint;
  ASSERT_TRUE(hint);
  EXPECT_EQ(hint->ratio, 25);  // 2,500 shares sold of 100, where the price fell 23.5 times
  EXPECT_EQ(hint->previousDay, (Day{2023, 6, 20}));
  EXPECT_EQ(hint->saleDay, (Day{2023, 7, 3}));
  EXPECT_FALSE(run.notes()[1].note.splitHint);  // the price did not fall
}

}  // namespace
}  // namespace tradepl
