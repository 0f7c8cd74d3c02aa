#include "input/log_reader.hpp"

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

// What a log's rows come to, copied out of the rows while their lines are at hand.
struct KeptRow {
  std::uint64_t line = 0;
  std::string code;
  std::string settlementDate;
  std::size_t nameSize = 0;
};

class Recorder final : public LineSink {
 public:
  void kept(const TradeRow& row) override {
    std::string code;
    appendStockCode(code, row.stockCode);
    rows.push_back(
        {row.line, code, std::string(row.settlementDate.view()), row.stockName.view().size()});
  }
  void skipped(std::uint64_t line, const LineProblem&) override { skippedLines.push_back(line); }

  std::vector<KeptRow> rows;
  std::vector<std::uint64_t> skippedLines;
};

// Reads `log` handed over a few bytes at a time, so that lines straddle every read.
LogReport read(LogKind kind, const std::string& log, Recorder& recorder) {
  MemoryBytes bytes(log, 7);
  return readTradeLines(bytes, kind, recorder);
}

TEST(ReadTradeLines, DropsHeadingsAndBlankLinesQuietlyAndReportsTheRest) {
  SpotTrade bad;
  bad.quantity = "x";
  const std::string log = std::string(sjis::kExecDateTime) + ",heading\n" + SpotTrade{}.line() +
                          "\n\n   \n" + bad.line() + "\n" + SpotTrade{}.line();
  Recorder recorder;
  const LogReport report = read(LogKind::spot, log, recorder);
  EXPECT_TRUE(report.readable());
  EXPECT_EQ(report.lines, 6u);
  EXPECT_EQ(report.kept, 2u);
  EXPECT_EQ(report.skipped, 1u);
  EXPECT_EQ(recorder.skippedLines, std::vector<std::uint64_t>{5});
  ASSERT_EQ(recorder.rows.size(), 2u);
  EXPECT_EQ(recorder.rows[0].line, 2u);
  EXPECT_EQ(recorder.rows[1].line, 6u);
  EXPECT_EQ(recorder.rows[1].settlementDate, "2024/03/07");  // last line without a line end
}

TEST(ReadTradeLines, ReadsNothingFromNoBytes) {
  Recorder recorder;
  const LogReport report = read(LogKind::margin, "", recorder);
  EXPECT_EQ(report.lines, 0u);
  EXPECT_TRUE(recorder.rows.empty());
  EXPECT_TRUE(recorder.skippedLines.empty());
}

TEST(ReadTradeLines, ReportsAnUnreadableLineAfterTheFirst) {
  Recorder recorder;
  read(LogKind::spot, SpotTrade{}.line() + "\nnot a trade\n", recorder);
  EXPECT_EQ(recorder.skippedLines, std::vector<std::uint64_t>{2});
}

TEST(ReadTradeLines, DropsOneCarriageReturnBeforeEachLineFeed) {
  Recorder recorder;
  read(LogKind::spot, SpotTrade{}.line() + "\r\n" + SpotTrade{}.line() + "\r\r\n", recorder);
  ASSERT_EQ(recorder.rows.size(), 2u);
  EXPECT_EQ(recorder.rows[0].settlementDate, "2024/03/07");
  EXPECT_EQ(recorder.rows[1].settlementDate, "2024/03/07\r");  // one CR belongs to the line end
}

TEST(ReadTradeLines, KeepsTheRowsOfMarginOpeningsAndClosingsInFileOrder) {
  MarginTrade opening;
  opening.tradeType = std::string(sjis::kMarginOpening);
  opening.code = "3333";
  Recorder recorder;
  const LogReport report =
      read(LogKind::margin, opening.line() + "\n" + MarginTrade{}.line() + "\n", recorder);
  EXPECT_EQ(report.kept, 2u);
  ASSERT_EQ(recorder.rows.size(), 2u);
  EXPECT_EQ(recorder.rows[0].code, "3333");
  EXPECT_EQ(recorder.rows[1].code, "9984");
}

TEST(ReadTradeLines, ReadsAFileAcrossBlocksAndLinesLongerThanABlock) {
  // Several megabytes, so lines straddle the reader's blocks, and one line of more than a
  // block; the last line has no line end.
  const fs::path file = fs::temp_directory_path() / "tradepl-reader-blocks.csv";
  std::string log = "heading\r\n";
  SpotTrade trade;
  for (int i = 0; i < 40000; ++i) {
    trade.code = std::to_string(1000 + i % 5000);
    log += trade.line() + "\r\n";
  }
  SpotTrade huge;
  huge.name = std::string(600 << 10, 'N');
  log += huge.line() + "\r\n" + SpotTrade{}.line();
  std::ofstream(file, std::ios::binary) << log;

  OpenedLog opened = openLogFile(file.string());
  ASSERT_TRUE(opened.bytes);
  Recorder recorder;
  const LogReport report = readTradeLines(*opened.bytes, LogKind::spot, recorder);
  fs::remove(file);
  EXPECT_TRUE(report.readable());
  EXPECT_TRUE(recorder.skippedLines.empty());
  ASSERT_EQ(recorder.rows.size(), 40002u);
  for (std::size_t i = 0; i < 40000; ++i) {
    ASSERT_EQ(recorder.rows[i].code, std::to_string(1000 + i % 5000)) << i;
    ASSERT_EQ(recorder.rows[i].settlementDate, "2024/03/07") << i;
  }
  EXPECT_EQ(recorder.rows[40000].nameSize, std::size_t{600} << 10);
  EXPECT_EQ(recorder.rows[40001].line, 40003u);
  EXPECT_EQ(recorder.rows[40001].settlementDate, "2024/03/07");
}

TEST(OpenLogFile, SaysWhyAFileCannotBeRead) {
  EXPECT_EQ(openLogFile("").failure, "empty path");
  EXPECT_FALSE(openLogFile("no/such/file.csv").bytes);
  EXPECT_EQ(openLogFile(fs::temp_directory_path().string()).failure, "is a directory");
}

}  // namespace
}  // namespace tradepl
