// The figures as the tax rules count them: the amounts of a trade, the tax office's cost
// method, and the yearly report with losses carried forward. Its same-day rule is the flow's
// (same_day_test).

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "flow_run.hpp"
#include "input/number_grammar.hpp"
#include "ledger/tax_report.hpp"
#include "ledger/tax_rules.hpp"
#include "output/report_file.hpp"
#include "platform/text.hpp"

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

ExactPrice priceOf(std::string_view text) {
  double value = 0;
  ExactPrice exact;
  EXPECT_EQ(readPrice(text, value, exact), NumberProblem::none) << text;
  return exact;
}

TEST(TradeValue, IsTheSharesTimesThePriceAsWrittenRoundedDown) {
  struct Case {
    std::int64_t quantity;
    const char* price;
    std::optional<std::int64_t> value;
  };
  for (const Case& c :
       {Case{100, "1350.5", 135050}, Case{3, "100.1", 300}, Case{7, "0.15", 1},
        Case{-3, "100.1", -301}, Case{3, "-100.1", -301}, Case{1000, "156.5", 156500},
        Case{0, "1", 0}, Case{9000000000000000000, "1", 9000000000000000000},
        Case{9000000000000000000, "1.1", std::nullopt}, Case{123456789, "1.123456789", 138698367},
        Case{1, "1.1234567890", std::nullopt},
        // Either side of 32-bit shares and digits, where one product stops sufficing.
        Case{4294967295, "4294967.295", 18446744065119617}, Case{4294967296, "1.5", 6442450944},
        Case{-4294967296, "1.5", -6442450944}, Case{-4294967295, "1.5", -6442450943}}) {
    EXPECT_EQ(tradeValue(c.quantity, priceOf(c.price)), c.value) << c.quantity << " @" << c.price;
  }
}

// A short bought back (買埋, or any side beginning with 買) was sold at its position price.
TEST(MarginProceeds, AreThePositionPriceForAShortAndTheUnitPriceForALong) {
  struct Case {
    std::string side;
    std::int64_t proceeds;
  };
  for (const Case& c : {Case{"\x94\x83\x96\x84", 100000}, Case{std::string(sjis::kBuy), 100000},
                        Case{"\x94\x84\x96\x84", 120000}}) {  // 買埋, 買, 売埋
    TradeRow closing;
    closing.side() = Text(c.side);
    closing.quantity = 100;
    closing.exactPositionPrice = priceOf("1000");
    closing.exactUnitPrice = priceOf("1200");
    EXPECT_EQ(marginProceeds(closing), c.proceeds) << c.side;
  }
}

TEST(UnitCost, IsRoundedUpToTheYen) {
  EXPECT_EQ(unitCostRoundedUp(5700000, 7000), 815);  // タックスアンサー No.1466
  EXPECT_EQ(unitCostRoundedUp(7610000, 9000), 846);
  EXPECT_EQ(unitCostRoundedUp(3000, 3), 1000);
  EXPECT_EQ(unitCostRoundedUp(-301, 3), -100);
}

TEST(HoldsCharacters, MatchesWholeShiftJisCharactersOnly) {
  EXPECT_TRUE(holdsCharacters("\x93\xC1\x92\xE8\x8C\xFB\x8D\xC0", sjis::kTokutei));  // 特定口座
  // 臓 (0x88 0x93), half-width ﾁ (0xC1), 定 (0x92 0xE8): the bytes of 特定, but not it.
  EXPECT_FALSE(holdsCharacters("\x88\x93\xC1\x92\xE8", sjis::kTokutei));
  EXPECT_TRUE(isTaxExempt("NISA"));
  EXPECT_TRUE(isTaxExempt("\x82\x6D\x82\x68\x82\x72\x82\x60"));      // ＮＩＳＡ
  EXPECT_TRUE(isTaxExempt("\x82\xC2\x82\xDD\x82\xBD\x82\xC4NISA"));  // つみたてNISA
  EXPECT_FALSE(isTaxExempt("\x82NISA"));  // N is the second byte of a character
  EXPECT_FALSE(isTaxExempt(sjis::kTokutei));
}

TEST(TaxOfficeMethod, WorksTheNationalTaxAgencysExample) {
  FlowRun run(CostMethod::taxOffice);
  run.spot(on("2024/01/10", spotBuy("1", "5000", "800", "0", "0")))
      .spot(on("2024/02/10", spotBuy("1", "2000", "850", "0", "0")))
      .spot(on("2024/03/10", spotSell("1", "3000", "900", "0", "0")))
      .spot(on("2024/04/10", spotBuy("1", "5000", "870", "0", "0")))
      .spot(on("2024/05/10", spotSell("1", "6000", "950", "0", "0")));
  EXPECT_EQ(figuresOf(run), (std::vector<Figured>{{815, 0, 0, 255000}, {846, 0, 0, 624000}}));
  EXPECT_TRUE(run.notes().empty());
}

TEST(TaxOfficeMethod, PutsPurchaseFeesInTheCostAndChargesTheSaleItsOwn) {
  FlowRun run(CostMethod::taxOffice);
  run.spot(on("2024/01/10", spotBuy("1", "100", "1000", "100", "10")))
      .spot(on("2024/02/10", spotSell("1", "40", "1100", "100", "10")))
      .spot(on("2024/03/10", spotSell("1", "60", "1100", "100", "10")));
  // 100,110 / 100 = 1001.1, rounded up to 1002; the 60 left are carried at 1002 each.
  EXPECT_EQ(figuresOf(run), (std::vector<Figured>{{1002, 100, 10, 44000 - 40080 - 110},
                                                  {1002, 100, 10, 66000 - 60120 - 110}}));
}

TEST(TaxOfficeMethod, ClosesAnOversoldHoldingAndSaysSo) {
  FlowRun run(CostMethod::taxOffice);
  run.spot(on("2024/01/10", spotBuy("1", "100", "1000", "0", "0")))
      .spot(on("2024/01/11", spotSell("1", "150", "1100", "0", "0")))
      .spot(on("2024/01/12", spotSell("1", "10", "1100", "0", "0")));
  EXPECT_EQ(figuresOf(run), (std::vector<Figured>{{1000, 0, 0, 15000}}));
  std::vector<LedgerNoteKind> kinds;
  for (const testing::Noted& noted : run.notes()) kinds.push_back(noted.note.kind);
  EXPECT_EQ(kinds,
            (std::vector{LedgerNoteKind::soldMoreThanHeld, LedgerNoteKind::saleWithoutHolding}));
}

TEST(TaxOfficeMethod, LeavesOutATradeWhoseFiguresWouldNotFit) {
  FlowRun run(CostMethod::taxOffice);
  run.spot(on("2024/01/10", spotBuy("1", "9000000000000000000", "2", "0", "0")))
      .spot(on("2024/01/11", spotBuy("2", "100", "1", "9223372036854775807", "0")))
      .spot(on("2024/01/12", spotSell("3", "1", "1", "0", "0")));
  ASSERT_EQ(run.notes().size(), 3u);
  EXPECT_EQ(run.notes()[0].note.kind, LedgerNoteKind::amountOutOfRange);
  EXPECT_EQ(run.notes()[1].note.kind, LedgerNoteKind::amountOutOfRange);
}

// A result counted in `year` (by its settlement date) with this profit and no proceeds.
ResultRow resultIn(int year, std::int64_t profit, std::string_view account = sjis::kTokutei,
                   LogKind log = LogKind::spot) {
  static std::deque<std::string> dates;  // views into it stay valid as it grows
  static std::deque<TradeRow> rows;      // and so do the results' rows
  TradeRow& row = rows.emplace_back();
  row.settlementDate() = Text(dates.emplace_back(std::to_string(year) + "/06/01"));
  row.account() = Text(account);
  row.log = log;
  return {.row = &row, .profit = profit};
}

std::string reportOf(const std::vector<ResultRow>& results) {
  YearlyTotals totals;
  for (const ResultRow& result : results) totals.add(result);
  std::string report;
  for (const ReportLine& line : taxReport(totals)) appendReportLine(report, line);
  return report;
}

TEST(TaxReport, CarriesLossesForwardThreeYearsOldestFirst) {
  const std::string kTotal = "\x8D\x87\x8C\x76,,\x89\xDB\x90\xC5";  // 合計,,課税
  const std::string kIn = "\x8C\x4A\x89\x7A\x8D\x54\x8F\x9C,";      // 繰越控除,
  const std::string kOut(sjis::kLossCarriedForward);
  const std::string kSpot = "\x8C\xBB\x95\xA8,\x93\xC1\x92\xE8,\x89\xDB\x90\xC5";  // 現物,特定,課税
  const std::string kOf = "\x94\x4E\x95\xAA,\x89\xDB\x90\xC5,,,,,";  // 年分,課税,,,,,
  const std::string kAfter = std::string(sjis::kAfterLossCarriedIn) + ",,\x89\xDB\x90\xC5,,,,,";
  const std::string report = reportOf(
      {resultIn(2020, -500), resultIn(2021, -100), resultIn(2022, 30), resultIn(2022, -10, "NISA"),
       resultIn(2023, -50), resultIn(2024, 200), resultIn(2025, 0)});
  EXPECT_EQ(
      report,
      "2020," + kSpot + ",1,0,500,0,-500\n2020," + kTotal + ",1,0,500,0,-500\n" + "2020," + kOut +
          ",2020" + kOf + "500\n" + "2021," + kSpot + ",1,0,100,0,-100\n2021," + kTotal +
          ",1,0,100,0,-100\n" + "2021," + kOut + ",2020" + kOf + "500\n2021," + kOut + ",2021" +
          kOf + "100\n" + "2022,\x8C\xBB\x95\xA8,NISA,\x94\xF1\x89\xDB\x90\xC5,1,0,10,0,-10\n" +
          "2022," + kSpot + ",1,0,-30,0,30\n" + "2022," + kTotal + ",1,0,-30,0,30\n" + "2022," +
          kIn + "2020" + kOf + "-30\n" + "2022," + kAfter + "0\n" + "2022," + kOut + ",2020" + kOf +
          "470\n2022," + kOut + ",2021" + kOf + "100\n" + "2023," + kSpot + ",1,0,50,0,-50\n2023," +
          kTotal + ",1,0,50,0,-50\n" + "2023," + kOut + ",2021" + kOf + "100\n2023," + kOut +
          ",2023" + kOf + "50\n" +
          // The loss of 2020 is gone after 2023; 2024 takes 2021's, then 2023's.
          "2024," + kSpot + ",1,0,-200,0,200\n2024," + kTotal + ",1,0,-200,0,200\n" + "2024," +
          kIn + "2021" + kOf + "-100\n2024," + kIn + "2023" + kOf + "-50\n" + "2024," + kAfter +
          "50\n" + "2025," + kSpot + ",1,0,0,0,0\n2025," + kTotal + ",1,0,0,0,0\n");
}

// The report's lines from each year's total on, in UTF-8: the lines a return's 付表 takes.
std::vector<std::string> returnLines(const std::vector<ResultRow>& results,
                                     const YearlyDividends& dividends) {
  YearlyTotals totals;
  for (const ResultRow& result : results) totals.add(result);
  std::vector<std::string> lines;
  for (const ReportLine& line : taxReport(totals, dividends)) {
    if (line.kind == ReportLineKind::trades) continue;
    std::string text;
    appendReportLine(text, line);
    text.pop_back();  // the line end
    lines.push_back(platform::utf8FromShiftJis(text));
  }
  return lines;
}

TEST(TaxReport, ListsEveryYearOffsetsDividendsAndCarriesWhatIsLeft) {
  struct Case {
    const char* what;
    std::vector<ResultRow> results;
    YearlyDividends dividends;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases{
      // A CFP exam case: a loss of 500,000 with dividends of 60,000 carries 440,000; a gain of
      // 260,000 and dividends of 10,000 leave 170,000; a loss of 300,000 less 40,000 of
      // dividends carries 260,000.
      {"CFP",
       {resultIn(2017, -500000), resultIn(2018, 260000), resultIn(2019, -300000)},
       {{2017, 60000}, {2018, 10000}, {2019, 40000}},
       {"2017,合計,,課税,1,0,500000,0,-500000", "2017,配当所得,,課税,,,,,60000",
        "2017,損益通算,,課税,,,,,-60000", "2017,翌年以後に繰り越す損失,2017年分,課税,,,,,440000",
        "2018,合計,,課税,1,0,-260000,0,260000", "2018,配当所得,,課税,,,,,10000",
        "2018,繰越控除,2017年分,課税,,,,,-260000", "2018,繰越控除（配当）,2017年分,課税,,,,,-10000",
        "2018,繰越控除後,,課税,,,,,0", "2018,翌年以後に繰り越す損失,2017年分,課税,,,,,170000",
        "2019,合計,,課税,1,0,300000,0,-300000", "2019,配当所得,,課税,,,,,40000",
        "2019,損益通算,,課税,,,,,-40000", "2019,翌年以後に繰り越す損失,2017年分,課税,,,,,170000",
        "2019,翌年以後に繰り越す損失,2019年分,課税,,,,,260000"}},
      // A year of NISA sales only and a year without trades still carry the loss: their
      // returns must list it.
      {"NISA only, no trades",
       {resultIn(2021, -1000), resultIn(2022, 50, "NISA"), resultIn(2024, 1500)},
       {},
       {"2021,合計,,課税,1,0,1000,0,-1000", "2021,翌年以後に繰り越す損失,2021年分,課税,,,,,1000",
        "2022,合計,,課税,0,0,0,0,0", "2022,翌年以後に繰り越す損失,2021年分,課税,,,,,1000",
        "2023,合計,,課税,0,0,0,0,0", "2023,翌年以後に繰り越す損失,2021年分,課税,,,,,1000",
        "2024,合計,,課税,1,0,-1500,0,1500", "2024,繰越控除,2021年分,課税,,,,,-1000",
        "2024,繰越控除後,,課税,,,,,500"}},
      // Dividends widen the span; a year's loss larger than its dividends carries the rest,
      // and dividends left after the year's loss are taken by a loss carried in.
      {"dividends alone",
       {resultIn(2021, -100), resultIn(2022, -30)},
       {{2020, 300}, {2022, 50}},
       {"2020,合計,,課税,0,0,0,0,0", "2020,配当所得,,課税,,,,,300",
        "2021,合計,,課税,1,0,100,0,-100", "2021,翌年以後に繰り越す損失,2021年分,課税,,,,,100",
        "2022,合計,,課税,1,0,30,0,-30", "2022,配当所得,,課税,,,,,50", "2022,損益通算,,課税,,,,,-30",
        "2022,繰越控除（配当）,2021年分,課税,,,,,-20",
        "2022,翌年以後に繰り越す損失,2021年分,課税,,,,,80"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(returnLines(c.results, c.dividends), c.lines) << c.what;
  }
}

TEST(TaxReport, CarriesTheLossesOfNomurasBookOfTaxes) {
  // 野村「税金の本」p.56: losses -1,000 / 200 / -500 / -100 / -200 with dividends 200 / 300 /
  // 300 / 300 / 300 carry 800, 300, 500, 200, 100.
  YearlyTotals totals;
  const std::int64_t profits[] = {-1000, 200, -500, -100, -200};
  YearlyDividends dividends;
  for (int i = 0; i < 5; ++i) {
    totals.add(resultIn(2020 + i, profits[i]));
    dividends[2020 + i] = i == 0 ? 200 : 300;
  }
  std::map<std::int64_t, std::int64_t> carried;
  for (const ReportLine& line : taxReport(totals, dividends)) {
    if (line.kind == ReportLineKind::lossCarriedOut) carried[*line.year] += *line.figures.profit;
  }
  EXPECT_EQ(carried, (std::map<std::int64_t, std::int64_t>{
                         {2020, 800}, {2021, 300}, {2022, 500}, {2023, 200}, {2024, 100}}));
}

TEST(MarginFigures, PutTheBoughtSideInTheCostAndTheFeesInTheExpenses) {
  struct Case {
    std::string_view side;
    std::int64_t quantity;
    const char* price;
    const char* positionPrice;
    std::int64_t settlement;
    std::int64_t proceeds, cost, expenses;
  };
  const std::string_view sellToClose = "\x94\x84\x96\x84";  // 売埋
  const std::string_view buyToClose = "\x94\x83\x96\x84";   // 買埋
  for (const Case& c : {
           // A long sold back: its fees and interest are what the proceeds leave.
           Case{sellToClose, 1000, "3850", "3500", 349426, 3850000, 3500000, 574},
           // The sample margin log: a short bought back, and a long.
           Case{buyToClose, 200, "7690", "7250", -91370, 1450000, 1538000, 3370},
           Case{sellToClose, 100, "8420", "7800", 60610, 842000, 780000, 1390},
           // Each side rounded down to the yen.
           Case{sellToClose, 3, "100.5", "100.1", 0, 301, 300, 1},
       }) {
    TradeRow closing;
    closing.log = LogKind::margin;
    closing.kind = TradeKind::marginClosing;
    closing.side() = Text(c.side);
    closing.quantity = c.quantity;
    closing.exactUnitPrice = priceOf(c.price);
    closing.exactPositionPrice = priceOf(c.positionPrice);
    const Figures figures = figuresOf(ResultRow{
        .row = &closing, .exactUnitPrice = closing.exactUnitPrice, .profit = c.settlement});
    EXPECT_EQ(figures.proceeds, c.proceeds) << c.price;
    EXPECT_EQ(figures.cost(), c.cost) << c.price;
    EXPECT_EQ(figures.expenses, c.expenses) << c.price;
    EXPECT_EQ(figures.profit, c.settlement) << c.price;
  }
}

TEST(TaxReport, PutsResultsWithoutAYearLastInNoTotal) {
  YearlyTotals totals;
  ResultRow unsettled = resultIn(2024, 70);
  TradeRow unsettledRow = *unsettled.row;
  unsettledRow.settlementDate() = Text("");
  unsettled.row = &unsettledRow;
  for (const ResultRow& result :
       {unsettled, resultIn(2024, -20, sjis::kTokutei, LogKind::margin)}) {
    totals.add(result);
  }
  std::vector<ReportLine> lines = taxReport(totals);
  ASSERT_EQ(lines.size(), 4u);  // margin, total, loss carried forward, then the unsettled sale
  EXPECT_EQ(lines[1].kind, ReportLineKind::total);
  EXPECT_EQ(lines[1].figures.profit, -20);
  EXPECT_EQ(lines[3].year, std::nullopt);
  EXPECT_EQ(lines[3].figures.profit, 70);
  EXPECT_EQ(totals.withoutYear(), 1u);
}

}  // namespace
}  // namespace tradepl
