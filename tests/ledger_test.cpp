// The holding ledger, driven through the trade flow from log lines.

#include "ledger/ledger.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flow_run.hpp"
#include "ledger/holdings_table.hpp"

namespace tradepl {
namespace {

using testing::FlowRun;
using testing::MarginTrade;
using testing::Noted;
using testing::spotBuy;
using testing::spotSell;
using testing::SpotTrade;

TEST(SpotLedger, ChargesAllPurchaseCommissionsToTheNextSale) {
  // Two purchases average to 1050; the sale of 150 carries both purchases' fees.
  FlowRun run;
  run.spot(spotBuy("7203", "100", "1000"))
      .spot(spotBuy("7203", "100", "1100"))
      .spot(spotSell("7203", "150", "1200"));
  const std::vector<ResultRow> results = run.results();
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].averagePrice, 1050.0);
  EXPECT_EQ(results[0].commission, 300);
  EXPECT_EQ(results[0].commissionTax, 24);
  EXPECT_EQ(results[0].profit, 22176);
  EXPECT_EQ(results[0].row->quantity, 150);
  EXPECT_TRUE(run.notes().empty());
}

TEST(SpotLedger, KeepsTheAverageThroughAPartialSaleAndRestartsPendingFees) {
  FlowRun run;
  run.spot(spotBuy("7203", "100", "1000"))
      .spot(spotBuy("7203", "100", "1100"))
      .spot(spotSell("7203", "150", "1200"))
      .spot(spotBuy("7203", "50", "1250", "70", "7"))
      .spot(spotSell("7203", "100", "1300", "90", "9"));
  const std::vector<ResultRow> results = run.results();
  ASSERT_EQ(results.size(), 2u);
  // 50 left at 1050, plus 50 at 1250.
  EXPECT_EQ(results[1].averagePrice, 1150.0);
  // Only the purchase after the partial sale is charged again.
  EXPECT_EQ(results[1].commission, 160);
  EXPECT_EQ(results[1].commissionTax, 16);
  EXPECT_EQ(results[1].profit, 15000 - 90 - 9 - 70 - 7);
}

TEST(SpotLedger, PassesOverASaleWithoutAHoldingAndSaysSo) {
  FlowRun run;
  run.spot(spotBuy("7203", "100", "1000")).spot(spotSell("6758", "100", "1200"));
  EXPECT_TRUE(run.results().empty());
  const std::vector<Noted> notes = run.notes();
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].note.kind, LedgerNoteKind::saleWithoutHolding);
  EXPECT_EQ(notes[0].trade.line, 2u);
}

TEST(SpotLedger, ClosesTheHoldingOnASaleOfEverythingHeld) {
  FlowRun run;
  run.spot(spotBuy("7203", "100", "1000"))
      .spot(spotSell("7203", "100", "1200"))
      .spot(spotSell("7203", "100", "1200"))
      .spot(spotBuy("7203", "10", "2000"))
      .spot(spotSell("7203", "10", "2100"));
  const std::vector<ResultRow> results = run.results();
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[1].averagePrice, 2000.0);  // a fresh holding, not averaged with the old
  ASSERT_EQ(run.notes().size(), 1u);
  EXPECT_EQ(run.notes()[0].note.kind, LedgerNoteKind::saleWithoutHolding);
}

TEST(SpotLedger, ClosesAndWarnsOnASaleOfMoreThanHeld) {
  FlowRun run;
  run.spot(spotBuy("7203", "100", "1000"))
      .spot(spotSell("7203", "150", "1100"))
      .spot(spotSell("7203", "10", "1100"));
  const std::vector<ResultRow> results = run.results();
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].profit, 15000 - 216);
  const std::vector<Noted> notes = run.notes();
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].note.kind, LedgerNoteKind::soldMoreThanHeld);
  EXPECT_EQ(notes[0].note.heldQuantity, 100);
  EXPECT_EQ(notes[1].note.kind, LedgerNoteKind::saleWithoutHolding);  // nothing went negative
}

TEST(SpotLedger, NeverTakesARowOfNoSharesOrFewer) {
  // The reader skips them with a message; the ledger, given one, changes nothing.
  HoldingLedger ledger;
  TradeRow trade;
  trade.kind = TradeKind::spotPurchase;
  trade.quantity = 100;
  ledger.apply(trade);
  for (const auto& [kind, quantity] :
       {std::pair{TradeKind::spotPurchase, -100}, std::pair{TradeKind::spotSale, -50},
        std::pair{TradeKind::spotSale, 0}}) {
    trade.kind = kind;
    trade.quantity = quantity;
    const TradeOutcome outcome = ledger.apply(trade);
    EXPECT_FALSE(outcome.result || outcome.note) << quantity;
    EXPECT_EQ(ledger.sharesHeld("", trade.stockCode()), 100) << quantity;
  }
}

TEST(SpotLedger, TruncatesTheProfitTowardZero) {
  FlowRun gain;
  gain.spot(spotBuy("1", "10", "1000", "0", "0")).spot(spotSell("1", "10", "1001.07", "0", "0"));
  ASSERT_EQ(gain.results().size(), 1u);
  EXPECT_EQ(gain.results()[0].profit, 10);  // 10.7

  FlowRun loss;
  loss.spot(spotBuy("1", "10", "1000", "0", "0")).spot(spotSell("1", "10", "998.93", "0", "0"));
  ASSERT_EQ(loss.results().size(), 1u);
  EXPECT_EQ(loss.results()[0].profit, -10);  // -10.7
}

TEST(SpotLedger, AveragesInTheStatementsOrderOfOperations) {
  // Three buys of 1 at 1000, 1000 and 1001 average to (1 * 1001 + 1000 * 2) / 3 in doubles,
  // a hair above 1000.333..., so selling 3 at 1001 makes 1.9999999999995 yen: 1 after
  // truncation, as on the broker's statement, where exact arithmetic would say 2.
  FlowRun run;
  run.spot(spotBuy("1", "1", "1000", "0", "0"))
      .spot(spotBuy("1", "1", "1000", "0", "0"))
      .spot(spotBuy("1", "1", "1001", "0", "0"))
      .spot(spotSell("1", "3", "1001", "0", "0"));
  ASSERT_EQ(run.results().size(), 1u);
  EXPECT_EQ(run.results()[0].averagePrice, (1.0 * 1001 + 1000.0 * 2) / 3);
  EXPECT_EQ(run.results()[0].profit, 1);
}

TEST(SpotLedger, KeysHoldingsOnTheCodeAsANumberOrAsWritten) {
  FlowRun run;
  run.spot(spotBuy("0007", "100", "1000"))
      .spot(spotBuy("130A", "100", "2000"))
      .spot(spotSell("7", "100", "1100"))
      .spot(spotSell("130a", "100", "2100"))
      .spot(spotSell("130A", "100", "2100"));
  const std::vector<ResultRow> results = run.results();
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].averagePrice, 1000.0);
  EXPECT_EQ(results[1].averagePrice, 2000.0);
  ASSERT_EQ(run.notes().size(), 1u);  // 130a is another code
  EXPECT_EQ(run.notes()[0].trade.stockCode().symbol.view(), "130a");
}

TEST(SpotLedger, LeavesOutATradeWhoseSumsWouldOverflow) {
  FlowRun run;
  run.spot(spotBuy("1", "9223372036854775807", "1", "0", "0"))
      .spot(spotBuy("1", "1", "1", "0", "0"))
      .spot(spotBuy("2", "1", "1", "9223372036854775807", "0"))
      .spot(spotSell("2", "1", "1", "1", "0"));
  EXPECT_TRUE(run.results().empty());
  const std::vector<Noted> notes = run.notes();
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].note.kind, LedgerNoteKind::amountOutOfRange);
  EXPECT_EQ(notes[0].trade.line, 2u);
  EXPECT_EQ(notes[1].note.kind, LedgerNoteKind::amountOutOfRange);
  EXPECT_EQ(notes[1].trade.line, 4u);
}

TEST(SpotLedger, SkipsASaleOfANegativeQuantityBeyondSixtyFourBits) {
  // Selling -2^63 shares would leave 100 + 2^63 held: the line does not reach the ledger.
  FlowRun run;
  run.spot(spotBuy("1", "100", "1", "0", "0"))
      .spot(spotSell("1", "-9223372036854775808", "1", "0", "0"))
      .spot(spotSell("1", "100", "1", "0", "0"));
  EXPECT_EQ(run.skippedLines(), std::vector<std::uint64_t>{2});
  const std::vector<ResultRow> results = run.results();
  ASSERT_EQ(results.size(), 1u);  // the holding was left as it was
  EXPECT_EQ(results[0].row->quantity, 100);
  EXPECT_TRUE(run.notes().empty());
}

TEST(SpotLedger, LeavesOutAProfitBeyondSixtyFourBits) {
  FlowRun run;
  run.spot(spotBuy("1", "9000000000000000000", "1", "0", "0"))
      .spot(spotSell("1", "9000000000000000000", "999999999999999", "0", "0"));
  EXPECT_TRUE(run.results().empty());
  ASSERT_EQ(run.notes().size(), 1u);
  EXPECT_EQ(run.notes()[0].note.kind, LedgerNoteKind::amountOutOfRange);
}

TEST(SpotLedger, ResultIsOfTheSaleRow) {
  FlowRun run;
  SpotTrade sale = spotSell("7203", "100", "1200");
  sale.settlementAmount = "119892";
  run.spot(spotBuy("7203", "100", "1000")).spot(sale);
  const std::vector<ResultRow> results = run.results();
  ASSERT_EQ(results.size(), 1u);
  const TradeRow& row = *results[0].row;
  EXPECT_EQ(row.side(), testing::kSell);
  EXPECT_EQ(row.unitPrice, 1200.0);
  EXPECT_EQ(row.settlementAmount, 119892);
  EXPECT_EQ(row.line, 2u);
  EXPECT_TRUE(row.marginType().empty());
  EXPECT_EQ(row.positionPrice, 0.0);
}

TEST(MarginLedger, TakesPriceAndProfitFromTheClosingRowAndSumsItsFees) {
  MarginTrade closing;
  closing.commission = "-5";
  closing.commissionTax = "1";
  closing.openCommission = "10";
  closing.openCommissionTax = "-2";
  closing.managementFee = "220";
  closing.transferFee = "50";
  closing.interest = "-1280";
  closing.lendingFee = "-3";
  closing.borrowingPremium = "-400";
  closing.positionPrice = "7250.5";
  closing.settlementAmount = "-91370";
  FlowRun run;
  run.margin(closing);
  const std::vector<ResultRow> results = run.results();
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].averagePrice, 7250.5);
  EXPECT_EQ(results[0].profit, -91370);
  EXPECT_EQ(results[0].commission, 400 + 3 + 1280 + 50 + 220 + 10 + 5);
  EXPECT_EQ(results[0].commissionTax, 2 + 1);
  EXPECT_EQ(results[0].row->openCommission, 10);  // the row's own columns stay as read
  EXPECT_EQ(results[0].row->marginType(), testing::kSeido);
}

TEST(MarginLedger, LeavesSpotHoldingsAlone) {
  MarginTrade closing;
  closing.code = "7203";
  MarginTrade opening = closing;
  opening.tradeType = std::string(sjis::kMarginOpening);
  FlowRun run;
  run.spot(spotBuy("7203", "100", "1000"))
      .spot(spotSell("7203", "50", "1100"))
      .margin(opening)
      .margin(closing);
  const std::vector<ResultRow> results = run.results();
  ASSERT_EQ(results.size(), 2u);  // the opening yields nothing
  EXPECT_EQ(results[0].row->tradeType(), sjis::kSpot);
  EXPECT_EQ(results[1].row->tradeType(), sjis::kMarginClosing);
  EXPECT_TRUE(run.notes().empty());
}

TEST(MarginLedger, LeavesOutFeesBeyondSixtyFourBits) {
  MarginTrade closing;
  closing.interest = "-9223372036854775808";
  FlowRun run;
  run.margin(closing);
  EXPECT_TRUE(run.results().empty());
  ASSERT_EQ(run.notes().size(), 1u);
  EXPECT_EQ(run.notes()[0].trade.log, LogKind::margin);
}

// The holdings table on its own: keys alike in their bytes stay apart, and every holding
// is found again after the table grows, loses holdings from the middle of a probe run, and
// shrinks.
TEST(HoldingsTable, KeepsKeysApartThatShareTheirBytes) {
  const std::string_view ab = "AB", a = "A";
  const HoldingKey keys[] = {
      {ab, StockCode{7203, Text()}},    {ab, StockCode{0, Text("130A")}},
      {a, StockCode{0, Text("B130A")}},  // the same bytes as AB and 130A together
      {a, StockCode{7203, Text()}},     {ab, StockCode{0, Text()}},
      {ab, StockCode{0, Text("0")}},  // a symbol is never a number
  };
  HoldingsTable<int> table;
  for (int i = 0; i < 6; ++i) table.add(keys[i], i);
  for (int i = 0; i < 6; ++i) {
    ASSERT_NE(table.find(keys[i]), nullptr) << i;
    EXPECT_EQ(*table.find(keys[i]), i);
  }
  EXPECT_EQ(table.find({a, StockCode{0, Text("130A")}}), nullptr);
}

TEST(HoldingsTable, FindsEveryHoldingThroughGrowthRemovalAndShrinking) {
  const std::string accounts[] = {"\x93\xC1\x92\xE8", "NISA"};  // 特定
  std::vector<std::string> symbols;
  for (int i = 0; i < 6000; ++i) symbols.push_back(std::to_string(i) + "A");
  const auto keyOf = [&](int i) {
    const std::string& account = accounts[i % 2];
    return i % 3 == 0 ? HoldingKey{account, StockCode{0, Text(symbols[i])}}
                      : HoldingKey{account, StockCode{i / 2, Text()}};
  };
  HoldingsTable<int> table;
  for (int i = 0; i < 6000; ++i) table.add(keyOf(i), i);
  table.removeIf([](int value) { return value % 3 != 1; });
  for (int i = 4; i < 6000; i += 6) table.remove(keyOf(i));
  EXPECT_EQ(table.size(), 1000u);
  for (int i = 0; i < 6000; ++i) {
    const int* found = table.find(keyOf(i));
    ASSERT_EQ(found != nullptr, i % 2 == 1 && i % 3 == 1) << i;
    if (found) {
      EXPECT_EQ(*found, i);
    }
  }
}

}  // namespace
}  // namespace tradepl
