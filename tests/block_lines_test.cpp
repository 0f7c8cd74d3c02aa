// Finding a log's lines: across blocks and reads, with either line end, however long.

#include "input/block_lines.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "log_reading.hpp"

namespace tradepl {
namespace {

using testing::Lines;
using testing::read;
using testing::readTradeLines;
using testing::Recorder;
using testing::SpotTrade;

namespace fs = std::filesystem;

TEST(ReadTradeLines, DropsOneCarriageReturnBeforeEachLineFeed) {
  Recorder recorder;
  read(LogKind::spot, SpotTrade{}.line() + "\r\n" + SpotTrade{}.line() + "\r\r\n", recorder);
  ASSERT_EQ(recorder.rows.size(), 2u);
  EXPECT_EQ(recorder.rows[0].settlementDate, "2024/03/07");
  EXPECT_EQ(recorder.rows[1].settlementDate, "2024/03/07\r");  // one CR belongs to the line end
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

TEST(ReadTradeLines, ReadsALogWithCarriageReturnsForLineEnds) {
  Recorder recorder;
  read(LogKind::spot, "heading\r" + SpotTrade{}.line() + "\r" + SpotTrade{}.line() + "\r",
       recorder);
  EXPECT_EQ(recorder.keptLines(), (Lines{2, 3}));
  EXPECT_EQ(recorder.rows[1].settlementDate, "2024/03/07");
}

TEST(ReadTradeLines, SkipsLinesLongerThanOneMebibyteWithoutKeepingThem) {
  SpotTrade huge;
  huge.name = std::string((1 << 20) + 1, 'N');
  Recorder recorder;
  const std::string log =
      SpotTrade{}.line() + "\n" + huge.line() + "\n" + SpotTrade{}.line() + "\n";
  MemoryBytes bytes(log);
  readTradeLines(bytes, LogKind::spot, recorder);
  EXPECT_EQ(recorder.keptLines(), (Lines{1, 3}));
  EXPECT_EQ(recorder.skippedLines, Lines{2});
  EXPECT_EQ(recorder.problems, std::vector{LineProblemKind::tooLong});

  Recorder endless;
  const std::string withoutLineEnd(3 << 20, 'x');
  MemoryBytes noLineEnd(withoutLineEnd);
  const LogReport report = readTradeLines(noLineEnd, LogKind::spot, endless);
  EXPECT_EQ(report.lines, 1u);
  EXPECT_EQ(endless.skippedLines, Lines{1});
}

// The texts of the lines a cursor finds, the log handed over three bytes a read.
template <class Cursor>
std::vector<std::string> textsOf(Cursor& lines) {
  std::vector<std::string> texts;
  for (detail::FoundLine found; (found = lines.next()).kind != detail::FoundLine::Kind::end;) {
    texts.emplace_back(found.text);
  }
  return texts;
}

struct LinesCase {
  std::string bytes;
  char lineEnd;
  std::vector<std::string> lines;  // first to last
};

TEST(BlockLines, FindsTheSameLinesForwardAndBackward) {
  for (const LinesCase& c : std::vector<LinesCase>{
           {"", '\n', {}},
           {"ab\ncd\n", '\n', {"ab", "cd"}},
           {"ab\ncdefg", '\n', {"ab", "cdefg"}},  // the last line without an end
           {"ab\r\ncd\r\n", '\n', {"ab", "cd"}},
           {"ab\r\r\n", '\n', {"ab\r"}},
           {"ab\rcd\r", '\r', {"ab", "cd"}},
           {"\n\nab", '\n', {"", "", "ab"}},
           {"abcdefgh\nijklmnopq\n", '\n', {"abcdefgh", "ijklmnopq"}},  // across reads
       }) {
    std::vector<char> buffer(c.bytes.size() + 1);
    MemoryBytes forwardBytes(c.bytes, 3);
    detail::ForwardLines forward(forwardBytes, c.lineEnd, buffer, 0);
    EXPECT_EQ(textsOf(forward), c.lines) << c.bytes;
    MemoryBytes backwardBytes(c.bytes, 3);
    detail::BackwardLines backward(backwardBytes, c.lineEnd, buffer);
    EXPECT_EQ(textsOf(backward), std::vector(c.lines.rbegin(), c.lines.rend())) << c.bytes;
    MemoryBytes countedBytes(c.bytes, 3);
    EXPECT_EQ(detail::countLines(countedBytes, c.lineEnd, buffer), c.lines.size()) << c.bytes;
  }
}

TEST(BlockLines, FindsTheLinesOfAStretchOfTheLogEitherWay) {
  const std::string log = "aa\nbb\ncc\ndd\n";
  std::vector<char> buffer(log.size() + 1);
  MemoryBytes bytes(log, 3);
  detail::ForwardLines forward(bytes, '\n', buffer, 0, 3, 9);
  EXPECT_EQ(textsOf(forward), (std::vector<std::string>{"bb", "cc"}));
  // From the line end before bb, up to the start of dd.
  detail::BackwardLines backward(bytes, '\n', buffer, 2, 9);
  EXPECT_EQ(textsOf(backward), (std::vector<std::string>{"cc", "bb"}));
}

}  // namespace
}  // namespace tradepl
