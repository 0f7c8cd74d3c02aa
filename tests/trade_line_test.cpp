#include "input/trade_line.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "log_lines.hpp"
#include "words/describe.hpp"

namespace tradepl {
namespace {

using testing::MarginTrade;
using testing::spotBuy;
using testing::spotSell;
using testing::SpotTrade;

struct ReadLine {
  std::unique_ptr<std::string> line;  // the row's texts view it, or the reader's own copy
  std::unique_ptr<TradeLineReader> reader;
  TradeRow row;
  LineReading reading;
};

ReadLine read(LogKind log, std::string line) {
  ReadLine result{std::make_unique<std::string>(std::move(line)),
                  std::make_unique<TradeLineReader>(log),
                  {},
                  {}};
  result.reading = result.reader->read(*result.line, result.row);
  return result;
}

LineProblem problemOf(LogKind log, std::string line) {
  const ReadLine read_ = read(log, std::move(line));
  EXPECT_EQ(read_.reading.verdict, LineVerdict::unreadable);
  return read_.reading.problem;
}

TEST(ReadSpotLine, FillsEveryColumnOfASpotTrade) {
  SpotTrade trade;
  trade.unitPrice = "2345.5";
  const ReadLine read_ = read(LogKind::spot, trade.line());
  ASSERT_EQ(read_.reading.verdict, LineVerdict::kept);
  const TradeRow& row = read_.row;
  EXPECT_EQ(row.execDateTime(), "2024/03/05 14:55");
  EXPECT_EQ(row.execNo, 100105);
  EXPECT_EQ(row.stockCode(), (StockCode{7203, Text()}));
  EXPECT_EQ(row.stockName(), testing::kToyota);
  EXPECT_EQ(row.tradeType(), sjis::kSpot);
  EXPECT_EQ(row.side(), sjis::kBuy);
  EXPECT_EQ(row.market(), testing::kTokyo);
  EXPECT_EQ(row.account(), testing::kTokutei);
  EXPECT_EQ(row.quantity, 100);
  EXPECT_EQ(row.unitPrice, 2345.5);
  EXPECT_EQ(row.commission, 100);
  EXPECT_EQ(row.commissionTax, 8);
  EXPECT_EQ(row.settlementAmount, 100108);
  EXPECT_EQ(row.settlementDate(), "2024/03/07");
  EXPECT_EQ(*row.executed.date.day, 5);
  EXPECT_EQ(row.executed.minuteOfDay, 14 * 60 + 55);
  // Spot rows carry none of the margin columns.
  EXPECT_TRUE(row.marginType().empty());
  EXPECT_EQ(row.positionQty, 0);
  EXPECT_EQ(row.positionPrice, 0.0);
  EXPECT_EQ(row.borrowingPremium, 0);
}

TEST(ReadMarginLine, FillsEveryColumnOfAMarginTrade) {
  MarginTrade trade;
  trade.positionPrice = "7250.5";
  trade.openCommission = "11";
  trade.openCommissionTax = "1";
  trade.transferFee = "50";
  trade.lendingFee = "-3";
  trade.borrowingPremium = "-4";
  const ReadLine read_ = read(LogKind::margin, trade.line());
  ASSERT_EQ(read_.reading.verdict, LineVerdict::kept);
  const TradeRow& row = read_.row;
  EXPECT_EQ(row.execNo, 200104);
  EXPECT_EQ(row.stockCode().number, 9984);
  EXPECT_EQ(row.tradeType(), sjis::kMarginClosing);
  EXPECT_EQ(row.marginType(), testing::kSeido);
  EXPECT_EQ(row.quantity, 200);
  EXPECT_EQ(row.unitPrice, 7690.0);
  EXPECT_EQ(row.positionQty, 200);
  EXPECT_EQ(row.positionPrice, 7250.5);
  EXPECT_EQ(row.openCommission, 11);
  EXPECT_EQ(row.openCommissionTax, 1);
  EXPECT_EQ(row.managementFee, 220);
  EXPECT_EQ(row.transferFee, 50);
  EXPECT_EQ(row.interest, -1280);
  EXPECT_EQ(row.lendingFee, -3);
  EXPECT_EQ(row.borrowingPremium, -4);
  EXPECT_EQ(row.settlementAmount, 86500);
  EXPECT_EQ(row.settlementDate(), "2024/04/24");
}

TEST(ReadTradeLine, KeepsOnlyTheTradeTypesOfItsLog) {
  SpotTrade spot;
  spot.tradeType = std::string(sjis::kMarginClosing);
  EXPECT_EQ(read(LogKind::spot, spot.line()).reading.verdict, LineVerdict::otherTradeType);

  MarginTrade margin;
  margin.tradeType = std::string(sjis::kSpot);
  EXPECT_EQ(read(LogKind::margin, margin.line()).reading.verdict, LineVerdict::otherTradeType);
  margin.tradeType = std::string(sjis::kMarginOpening);
  EXPECT_EQ(read(LogKind::margin, margin.line()).reading.verdict, LineVerdict::kept);

  // Whole byte strings: a keyword with anything after it is another trade type.
  spot.tradeType = std::string(sjis::kSpot) + " ";
  EXPECT_EQ(read(LogKind::spot, spot.line()).reading.verdict, LineVerdict::otherTradeType);
}

TEST(ReadTradeLine, KeepsTheDeliveriesOfTheMarginLogWhateverTheirSide) {
  for (const auto& [keyword, kind] :
       {std::pair(sjis::kDeliveryTake, TradeKind::deliveryTake),
        std::pair(sjis::kDeliveryTakeFormal, TradeKind::deliveryTake),
        std::pair(sjis::kDeliveryGive, TradeKind::deliveryGive),
        std::pair(sjis::kDeliveryGiveFormal, TradeKind::deliveryGive)}) {
    for (const std::string_view side : {sjis::kBuy, testing::kSell}) {
      MarginTrade margin = testing::delivery(keyword, "7203", "100", "1000");
      margin.side = std::string(side);
      const ReadLine kept = read(LogKind::margin, margin.line());
      EXPECT_EQ(kept.reading.verdict, LineVerdict::kept);
      EXPECT_EQ(kept.row.kind, kind);
      SpotTrade spot;
      spot.tradeType = std::string(keyword);
      EXPECT_EQ(read(LogKind::spot, spot.line()).reading.verdict, LineVerdict::otherTradeType);
    }
  }
}

TEST(ReadTradeLine, ReadsQuotedAmountsWithThousandsSeparators) {
  SpotTrade trade;
  trade.settlementAmount = "\"1,284,450\"";
  trade.unitPrice = "\"12,850\"";
  const ReadLine read_ = read(LogKind::spot, trade.line());
  ASSERT_EQ(read_.reading.verdict, LineVerdict::kept);
  EXPECT_EQ(read_.row.settlementAmount, 1284450);
  EXPECT_EQ(read_.row.unitPrice, 12850.0);
}

TEST(ReadTradeLine, KeepsQuotedNamesWithCommasAndQuotes) {
  SpotTrade trade;
  trade.name = "\"ACME, \"\"Tokyo\"\"\"";
  const ReadLine read_ = read(LogKind::spot, trade.line());
  ASSERT_EQ(read_.reading.verdict, LineVerdict::kept);
  EXPECT_EQ(read_.row.stockName(), "ACME, \"Tokyo\"");
}

TEST(ReadTradeLine, IgnoresColumnsPastTheLayout) {
  SpotTrade trade;
  const ReadLine read_ = read(LogKind::spot, trade.line() + ",extra,\"unclosed");
  ASSERT_EQ(read_.reading.verdict, LineVerdict::kept);
  EXPECT_EQ(read_.row.settlementDate(), "2024/03/07");
}

// 売買区分 by its first character, as another broker (買付, 売付) or a hand edit writes it.
TEST(ReadTradeLine, TellsASpotTradesSideByItsFirstCharacter) {
  const std::string buy(sjis::kBuy);
  const std::string sell(sjis::kSell);
  const std::string tsuke = "\x95\x74";  // 付
  struct Case {
    std::string side;
    TradeKind kind;
  };
  for (const Case& c : std::vector<Case>{{buy, TradeKind::spotPurchase},
                                         {buy + tsuke, TradeKind::spotPurchase},
                                         {buy + " ", TradeKind::spotPurchase},
                                         {sell, TradeKind::spotSale},
                                         {sell + tsuke, TradeKind::spotSale}}) {
    SpotTrade trade;
    trade.side = c.side;
    const ReadLine read_ = read(LogKind::spot, trade.line());
    ASSERT_EQ(read_.reading.verdict, LineVerdict::kept) << c.side;
    EXPECT_EQ(read_.row.kind, c.kind) << c.side;
  }
  for (const std::string& side : {std::string("\x93\xFC\x8C\xC9"), " " + buy, std::string("B")}) {
    SpotTrade trade;
    trade.side = side;  // 入庫, a space before 買, a letter
    const LineProblem problem = problemOf(LogKind::spot, trade.line());
    EXPECT_EQ(problem.kind, LineProblemKind::neitherSide) << side;
    EXPECT_EQ(describe(Language::english, problem, LogKind::spot),
              "column 6 (side) is neither a purchase (買) nor a sale (売)");
    EXPECT_EQ(describe(Language::japanese, problem, LogKind::spot),
              "6 列目（売買区分）が買・売のどちらでもありません");
  }
}

// "2,650" saved without its quotes moves every later column one to the right.
TEST(ReadTradeLine, SkipsARowWhoseColumnsMovedPastTheSettlementDate) {
  SpotTrade spot;
  spot.unitPrice = "2,650";
  LineProblem problem = problemOf(LogKind::spot, spot.line());
  EXPECT_EQ(problem.kind, LineProblemKind::shiftedColumns);
  EXPECT_EQ(describe(Language::english, problem, LogKind::spot),
            "more columns than a spot log has, and column 14 (受領日) is not a date: an amount "
            "with a thousands separator but no quotes?");
  EXPECT_EQ(describe(Language::japanese, problem, LogKind::spot),
            "現物取引の履歴より列が多く、14 列目（受領日）が日付ではありません。桁区切りのカンマが"
            "付いた金額が「\"」で囲まれていない可能性があります");

  MarginTrade margin;
  margin.unitPrice = "7,690";
  EXPECT_EQ(describe(Language::english, problemOf(LogKind::margin, margin.line()), LogKind::margin),
            "more columns than a margin log has, and column 24 (受領日) is not a date: an amount "
            "with a thousands separator but no quotes?");

  // A column past an empty 受領日 leaves no date to tell the row by.
  spot = SpotTrade{};
  spot.settlementDate = "";
  EXPECT_EQ(problemOf(LogKind::spot, spot.line() + ",").kind, LineProblemKind::shiftedColumns);
}

TEST(ReadTradeLine, AcceptsAnEmptySettlementDateOnly) {
  SpotTrade trade;
  trade.settlementDate = "";
  EXPECT_EQ(read(LogKind::spot, trade.line()).reading.verdict, LineVerdict::kept);

  trade = SpotTrade{};
  trade.market = "";
  const LineProblem problem = problemOf(LogKind::spot, trade.line());
  EXPECT_EQ(problem.kind, LineProblemKind::emptyText);
  EXPECT_EQ(problem.column, 7);
}

TEST(ReadTradeLine, ReportsWhichColumnDoesNotRead) {
  SpotTrade fraction;
  fraction.quantity = "100.5";
  LineProblem problem = problemOf(LogKind::spot, fraction.line());
  EXPECT_EQ(problem.kind, LineProblemKind::notANumber);
  EXPECT_EQ(problem.column, 9);
  EXPECT_EQ(describe(Language::english, problem, LogKind::spot),
            "column 9 (quantity): not a number");

  SpotTrade empty;
  empty.commission = "";
  problem = problemOf(LogKind::spot, empty.line());
  EXPECT_EQ(problem.kind, LineProblemKind::notANumber);
  EXPECT_EQ(problem.column, 11);

  SpotTrade huge;
  huge.settlementAmount = "99999999999999999999";
  EXPECT_EQ(describe(Language::english, problemOf(LogKind::spot, huge.line()), LogKind::spot),
            "column 13 (settlement amount): out of range");

  SpotTrade badCode;
  badCode.code = "72-03";
  EXPECT_EQ(problemOf(LogKind::spot, badCode.line()).kind, LineProblemKind::notAStockCode);

  MarginTrade badPosition;
  badPosition.positionPrice = "abc";
  EXPECT_EQ(
      describe(Language::english, problemOf(LogKind::margin, badPosition.line()), LogKind::margin),
      "column 15 (position price): not a number");
}

TEST(ReadTradeLine, SkipsASpotTradeOrADeliveryOfNoSharesOrFewerButNotAMarginTrade) {
  for (const SpotTrade& trade : {spotBuy("7203", "0", "1000"), spotBuy("7203", "-100", "1000"),
                                 spotSell("7203", "-50", "1000")}) {
    const LineProblem problem = problemOf(LogKind::spot, trade.line());
    EXPECT_EQ(describe(Language::english, problem, LogKind::spot),
              "column 9 (quantity): 0 or fewer shares")
        << trade.line();
  }
  MarginTrade margin;
  margin.quantity = "-100";
  EXPECT_EQ(read(LogKind::margin, margin.line()).reading.verdict, LineVerdict::kept);
  for (const std::string_view keyword : {sjis::kDeliveryTake, sjis::kDeliveryGive}) {
    const LineProblem problem =
        problemOf(LogKind::margin, testing::delivery(keyword, "7203", "0", "1000").line());
    EXPECT_EQ(describe(Language::english, problem, LogKind::margin),
              "column 10 (quantity): 0 or fewer shares");
  }
}

TEST(ReadTradeLine, RefusesANulByteInText) {
  SpotTrade trade;
  trade.name = std::string("AB\0CD", 5);
  const LineProblem problem = problemOf(LogKind::spot, trade.line());
  EXPECT_EQ(describe(Language::english, problem, LogKind::spot),
            "column 4 (stock name) holds a NUL byte");
}

TEST(ReadTradeLine, ReportsShortLines) {
  const LineProblem problem = problemOf(LogKind::margin, SpotTrade{}.line());
  EXPECT_EQ(problem.kind, LineProblemKind::tooFewColumns);
  EXPECT_EQ(describe(Language::english, problem, LogKind::margin), "14 columns, 24 expected");
}

TEST(ReadTradeLine, CallsLinesOfSpacesAndTabsBlank) {
  EXPECT_EQ(read(LogKind::spot, "").reading.verdict, LineVerdict::blank);
  EXPECT_EQ(read(LogKind::spot, " \t ").reading.verdict, LineVerdict::blank);
}

TEST(TradeLineReader, KnowsTheHeadingLineQuotedOrNot) {
  std::string quoted;
  for (const char c : headingLine(LogKind::margin)) {
    quoted += c == ',' ? std::string("\",\"") : std::string(1, c);
  }
  quoted = '"' + quoted + '"';
  TradeLineReader margin(LogKind::margin);
  EXPECT_TRUE(margin.isHeading(headingLine(LogKind::margin)));
  EXPECT_TRUE(margin.isHeading(quoted));
  EXPECT_FALSE(margin.isHeading(headingLine(LogKind::margin) + ",x"));
  EXPECT_FALSE(margin.isHeading(headingLine(LogKind::spot)));
  EXPECT_FALSE(TradeLineReader(LogKind::spot).isHeading(quoted));
}

}  // namespace
}  // namespace tradepl
