#include "input/trade_log_reader.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "log_lines.hpp"

namespace tradepl {
namespace {

namespace fs = std::filesystem;
using testing::MarginTrade;
using testing::SpotTrade;

struct ReadLine {
  std::string storage;  // the row's text points in here
  TradeRow row;
  LineReading reading;
};

ReadLine read(LogKind log, std::string line) {
  const std::size_t size = line.size();
  ReadLine result{std::move(line) + "\n", {}, {}};  // the writable byte after the line
  result.reading = readTradeLine(log, std::span<char>(result.storage.data(), size), result.row);
  return result;
}

LineProblem problemOf(LogKind log, std::string line) {
  const ReadLine read_ = read(log, std::move(line));
  EXPECT_EQ(read_.reading.verdict, LineVerdict::unreadable);
  return read_.reading.problem;
}

std::vector<TradeRow> rowsOf(const TradeList& list) {
  return {list.begin(), list.end()};
}

TEST(ReadSpotLine, FillsEveryColumnOfASpotTrade) {
  SpotTrade trade;
  trade.unitPrice = "2345.5";
  const ReadLine read_ = read(LogKind::spot, trade.line());
  ASSERT_EQ(read_.reading.verdict, LineVerdict::kept);
  const TradeRow& row = read_.row;
  EXPECT_EQ(row.execDateTime, "2024/03/05 14:55");
  EXPECT_EQ(row.execNo, 100105);
  EXPECT_EQ(row.stockCode, (StockCode{7203, Text()}));
  EXPECT_EQ(row.stockName, testing::kToyota);
  EXPECT_EQ(row.tradeType, sjis::kSpot);
  EXPECT_EQ(row.side, sjis::kBuy);
  EXPECT_EQ(row.market, testing::kTokyo);
  EXPECT_EQ(row.account, testing::kTokutei);
  EXPECT_EQ(row.quantity, 100);
  EXPECT_EQ(row.unitPrice, 2345.5);
  EXPECT_EQ(row.commission, 100);
  EXPECT_EQ(row.commissionTax, 8);
  EXPECT_EQ(row.settlementAmount, 100108);
  EXPECT_EQ(row.settlementDate, "2024/03/07");
  // Spot rows carry none of the margin columns.
  EXPECT_TRUE(row.marginType.empty());
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
  EXPECT_EQ(row.stockCode.number, 9984);
  EXPECT_EQ(row.tradeType, sjis::kMarginClosing);
  EXPECT_EQ(row.marginType, testing::kSeido);
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
  EXPECT_EQ(row.settlementDate, "2024/04/24");
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
  EXPECT_EQ(read_.row.stockName, "ACME, \"Tokyo\"");
}

TEST(ReadTradeLine, IgnoresColumnsPastTheLayout) {
  SpotTrade trade;
  const ReadLine read_ = read(LogKind::spot, trade.line() + ",extra,\"unclosed");
  ASSERT_EQ(read_.reading.verdict, LineVerdict::kept);
  EXPECT_EQ(read_.row.settlementDate, "2024/03/07");
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
  EXPECT_EQ(describe(problem, LogKind::spot), "column 9 (quantity): not a number");

  SpotTrade empty;
  empty.commission = "";
  problem = problemOf(LogKind::spot, empty.line());
  EXPECT_EQ(problem.kind, LineProblemKind::notANumber);
  EXPECT_EQ(problem.column, 11);

  SpotTrade huge;
  huge.settlementAmount = "99999999999999999999";
  EXPECT_EQ(describe(problemOf(LogKind::spot, huge.line()), LogKind::spot),
            "column 13 (settlement amount): out of range");

  SpotTrade badCode;
  badCode.code = "72-03";
  EXPECT_EQ(problemOf(LogKind::spot, badCode.line()).kind, LineProblemKind::notAStockCode);

  MarginTrade badPosition;
  badPosition.positionPrice = "abc";
  EXPECT_EQ(describe(problemOf(LogKind::margin, badPosition.line()), LogKind::margin),
            "column 15 (position price): not a number");
}

TEST(ReadTradeLine, RefusesANulByteInText) {
  SpotTrade trade;
  trade.name = std::string("AB\0CD", 5);
  const LineProblem problem = problemOf(LogKind::spot, trade.line());
  EXPECT_EQ(describe(problem, LogKind::spot), "column 4 (stock name) holds a NUL byte");
}

TEST(ReadTradeLine, ReportsShortLines) {
  const LineProblem problem = problemOf(LogKind::margin, SpotTrade{}.line());
  EXPECT_EQ(problem.kind, LineProblemKind::tooFewColumns);
  EXPECT_EQ(describe(problem, LogKind::margin), "14 columns, 24 expected");
}

TEST(ReadTradeLine, CallsLinesOfSpacesAndTabsBlank) {
  EXPECT_EQ(read(LogKind::spot, "").reading.verdict, LineVerdict::blank);
  EXPECT_EQ(read(LogKind::spot, " \t ").reading.verdict, LineVerdict::blank);
}

TEST(ReadTradeBytes, DropsHeadingsAndBlankLinesQuietlyAndReportsTheRest) {
  SpotTrade bad;
  bad.quantity = "x";
  const std::string log = std::string(sjis::kExecDateTime) + ",heading\n" + SpotTrade{}.line() +
                          "\n\n   \n" + bad.line() + "\n" + SpotTrade{}.line();
  TradeList trades;
  const LogReport report = readTradeBytes(trades, LogKind::spot, log);
  EXPECT_TRUE(report.readable());
  EXPECT_EQ(report.kept, 2u);
  ASSERT_EQ(report.skipped.size(), 1u);
  EXPECT_EQ(report.skipped[0].line, 5u);
  const std::vector<TradeRow> rows = rowsOf(trades);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].source.line(), 2u);
  EXPECT_EQ(rows[1].source.line(), 6u);
  EXPECT_EQ(rows[1].settlementDate, "2024/03/07");  // last line without a line end
}

TEST(ReadTradeBytes, ReadsNothingFromNoBytes) {
  TradeList trades;
  const LogReport report = readTradeBytes(trades, LogKind::margin, std::string_view());
  EXPECT_EQ(report.kept, 0u);
  EXPECT_TRUE(report.skipped.empty());
  EXPECT_TRUE(trades.empty());
}

TEST(ReadTradeBytes, ReportsAnUnreadableLineAfterTheFirst) {
  const std::string log = SpotTrade{}.line() + "\nnot a trade\n";
  TradeList trades;
  const LogReport report = readTradeBytes(trades, LogKind::spot, log);
  ASSERT_EQ(report.skipped.size(), 1u);
  EXPECT_EQ(report.skipped[0].line, 2u);
}

TEST(ReadTradeBytes, DropsOneCarriageReturnBeforeEachLineFeed) {
  const std::string log = SpotTrade{}.line() + "\r\n" + SpotTrade{}.line() + "\r\r\n";
  TradeList trades;
  const LogReport report = readTradeBytes(trades, LogKind::spot, log);
  EXPECT_EQ(report.kept, 2u);
  const std::vector<TradeRow> rows = rowsOf(trades);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].settlementDate, "2024/03/07");
  EXPECT_EQ(rows[1].settlementDate, "2024/03/07\r");  // only one CR belongs to the line end
}

TEST(ReadTradeBytes, ReadsLongLinesWhole) {
  SpotTrade trade;
  trade.name = std::string(5000, 'N');
  TradeList trades;
  const LogReport report = readTradeBytes(trades, LogKind::spot, trade.line() + "\n");
  EXPECT_TRUE(report.skipped.empty());
  ASSERT_EQ(trades.size(), 1u);
  EXPECT_EQ(trades.begin()->stockName.view().size(), 5000u);
}

TEST(ReadTradeBytes, AppendsSpotRowsBeforeMarginRowsInFileOrder) {
  SpotTrade first;
  first.code = "1111";
  SpotTrade second;
  second.code = "2222";
  MarginTrade opening;
  opening.tradeType = std::string(sjis::kMarginOpening);
  opening.code = "3333";
  TradeList trades;
  readTradeBytes(trades, LogKind::spot, first.line() + "\n" + second.line() + "\n");
  readTradeBytes(trades, LogKind::margin, opening.line() + "\n" + MarginTrade{}.line() + "\n");
  std::vector<std::int64_t> codes;
  for (const TradeRow& row : trades) codes.push_back(row.stockCode.number);
  EXPECT_EQ(codes, (std::vector<std::int64_t>{1111, 2222, 3333, 9984}));
}

TEST(ReadTradeLog, ReadsLinesAcrossReadBlocksAndLongerThanABlock) {
  // Several megabytes, so lines straddle the reader's blocks, and one line of more than a
  // block, so the block has to grow; the last line has no line end.
  const fs::path file = fs::temp_directory_path() / "tradepl-reader-blocks.csv";
  std::string log = "heading\r\n";
  SpotTrade trade;
  for (int i = 0; i < 40000; ++i) {
    trade.code = std::to_string(1000 + i % 5000);
    log += trade.line() + "\r\n";
  }
  SpotTrade huge;
  huge.name = std::string(3 << 20, 'N');
  log += huge.line() + "\r\n" + SpotTrade{}.line();
  std::ofstream(file, std::ios::binary) << log;

  TradeList trades;
  const LogReport report = readSpotLog(trades, file.string());
  fs::remove(file);
  EXPECT_TRUE(report.readable());
  EXPECT_TRUE(report.skipped.empty());
  ASSERT_EQ(trades.size(), 40002u);
  std::size_t i = 0;
  for (const TradeRow& row : trades) {
    if (i < 40000) {
      ASSERT_EQ(row.stockCode.number, 1000 + static_cast<std::int64_t>(i % 5000)) << i;
      ASSERT_EQ(row.settlementDate, "2024/03/07") << i;
    } else if (i == 40000) {
      EXPECT_EQ(row.stockName.view().size(), std::size_t{3} << 20);
    } else {
      EXPECT_EQ(row.source.line(), 40003u);
      EXPECT_EQ(row.settlementDate, "2024/03/07");
    }
    ++i;
  }
}

TEST(ReadTradeLog, SaysWhyAFileCannotBeRead) {
  TradeList trades;
  EXPECT_EQ(readSpotLog(trades, "").failure, "empty path");
  EXPECT_FALSE(readSpotLog(trades, "no/such/file.csv").readable());
  EXPECT_EQ(readMarginLog(trades, std::filesystem::temp_directory_path().string()).failure,
            "is a directory");
  EXPECT_TRUE(trades.empty());
}

TEST(ColumnHeadings, AreTheLogsHeadingLines) {
  EXPECT_EQ(columnHeadings(LogKind::spot).size(), 14u);
  const std::vector<std::string_view> margin = columnHeadings(LogKind::margin);
  ASSERT_EQ(margin.size(), 24u);
  EXPECT_EQ(margin[8], sjis::kMarginType);
  EXPECT_EQ(margin[14], sjis::kPositionPrice);
}

}  // namespace
}  // namespace tradepl
