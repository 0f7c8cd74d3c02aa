// Looking a log over before it is read: its heading, its order, its encoding.

#include "input/log_survey.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log_reading.hpp"
#include "platform/text.hpp"

namespace tradepl {
namespace {

using testing::dated;
using testing::Lines;
using testing::MarginTrade;
using testing::read;
using testing::Recorder;
using testing::SpotTrade;

TEST(ReadTradeLines, DropsTheHeadingAndTheLinesBeforeItQuietly) {
  const std::string title = "\x8E\xE6\x88\xF8\x97\x9A\x97\xF0";  // 取引履歴
  std::string quotedHeading = "\"";
  for (const char c : headingLine(LogKind::spot))
    quotedHeading += c == ',' ? "\",\"" : std::string(1, c);
  for (const std::string& heading : {headingLine(LogKind::spot), quotedHeading + "\""}) {
    const std::string log = title + "\r\nAccount,123-4567\r\nPeriod,2024/01/01,2024/12/31\r\n" +
                            heading + "\r\n" + SpotTrade{}.line() + "\r\nnot a trade\r\n";
    Recorder recorder;
    const LogReport report = read(LogKind::spot, log, recorder);
    EXPECT_EQ(recorder.keptLines(), Lines{5}) << heading;
    EXPECT_EQ(recorder.skippedLines, Lines{6}) << heading;
    EXPECT_EQ(report.lines, 6u);
  }

  // Without the heading line, only line 1 goes quietly.
  Recorder withoutHeading;
  read(LogKind::spot, title + "\nAccount,123\n" + SpotTrade{}.line() + "\n", withoutHeading);
  EXPECT_EQ(withoutHeading.skippedLines, Lines{2});
}

struct OrderVoteCase {
  std::vector<const char*> dates;
  LogOrder order;
};

TEST(ReadTradeLines, TakesALogsOrderByTheVotesOfItsDaysAndOfItsTimes) {
  constexpr LogOrder oldest = LogOrder::oldestFirst;
  constexpr LogOrder newest = LogOrder::newestFirst;
  for (const OrderVoteCase& c : std::vector<OrderVoteCase>{
           // One mistyped year in the last row does not turn a log around.
           {{"2024/03/05 10:00", "2024/03/06 10:00", "2024/03/07 10:00", "2004/03/08 10:00"},
            oldest},
           {{"2004/03/08 10:00", "2024/03/07 10:00", "2024/03/06 10:00", "2024/03/05 10:00"},
            newest},
           // A log of one day follows its times; a tie reads from the top; a date without a
           // time ties with its day's times.
           {{"2024/03/05 09:00", "2024/03/05 15:00", "2024/03/05 10:00"}, oldest},
           {{"2024/03/05", "2024/03/05 15:00", "2024/03/05 09:00", "x"}, newest},
           // Only calendar dates take part.
           {{"2024/03/05", "9999/99/99", "2024/03/04"}, newest},
           {{"2024/03/05", "2024/02/30", "2023/02/29"}, oldest},
           // Days and the trades of a day going opposite ways, by two time pairs or more.
           {{"2024/03/06 09:00", "2024/03/06 10:00", "2024/03/06 11:00", "2024/03/05 09:00"},
            LogOrder::daysNewestFirst},
           {{"2024/03/05 11:00", "2024/03/05 10:00", "2024/03/06 11:00", "2024/03/06 10:00"},
            LogOrder::tradesNewestFirst},
           // One time pair against the days does not turn the days' order within a day, nor
           // do two that are outnumbered.
           {{"2024/03/06 10:00", "2024/03/06 11:00", "2024/03/05 10:00"}, newest},
           {{"2024/03/05 10:00", "2024/03/05 09:00", "2024/03/06 10:00", "2024/03/06 09:00",
             "2024/03/07 10:00", "2024/03/07 11:00", "2024/03/07 12:00"},
            oldest},
       }) {
    std::string log;
    for (const char* date : c.dates) log += dated(date).line() + "\n";
    Recorder recorder;
    EXPECT_EQ(read(LogKind::spot, log, recorder).order, c.order) << log;
  }
}

// A log without a byte-order mark is in the encoding most of its lines are in, UTF-8 only
// when it spells a trade type in UTF-8: a row pasted in from a file of the other encoding is
// skipped, wherever it stands.
TEST(LogReader, TakesTheEncodingMostOfItsLinesAreIn) {
  const std::string inShiftJis = SpotTrade{}.line();
  const std::string inUtf8 =
      "2024/03/05 14:55,1,7203,x,\xE7\x8F\xBE\xE7\x89\xA9,\xE8\xB2\xB7,x,x,1,1,0,0,1,2024/03/07";
  struct Case {
    std::vector<std::string> rows;
    LogEncoding encoding;
    Lines kept;
    Lines skipped;
  };
  for (const Case& c : std::vector<Case>{
           {{inShiftJis, inUtf8, inUtf8}, LogEncoding::utf8, {3, 4}, {2}},
           {{inUtf8, inShiftJis, inUtf8}, LogEncoding::utf8, {2, 4}, {3}},
           {{inUtf8, inShiftJis, inShiftJis}, LogEncoding::shiftJis, {3, 4}, {2}},
           {{inUtf8, inShiftJis}, LogEncoding::shiftJis, {3}, {2}},  // a tie
       }) {
    std::string log = "heading\n";
    for (const std::string& row : c.rows) log += row + "\n";
    Recorder recorder;
    const LogReport report = read(LogKind::spot, log, recorder);
    EXPECT_EQ(report.savedIn, c.encoding) << log;
    EXPECT_EQ(recorder.keptLines(), c.kept) << log;
    EXPECT_EQ(recorder.skippedLines, c.skipped) << log;
  }

  // The trade types of a margin position settled by delivery count as well: 現引.
  MarginTrade takeUp;
  takeUp.name = "\xE3\x83\x88\xE3\x83\xA8\xE3\x82\xBF";  // トヨタ
  takeUp.tradeType = "\xE7\x8F\xBE\xE5\xBC\x95";
  takeUp.side = "\xE8\xB2\xB7";  // 買
  std::vector<std::string> columns = takeUp.columns();
  columns[6] = columns[7] = columns[8] = "x";  // market, account, margin type
  Recorder recorder;
  EXPECT_EQ(
      read(LogKind::margin, "heading\n" + testing::joinColumns(columns) + "\n", recorder).savedIn,
      LogEncoding::utf8);
}

struct KindCase {
  const char* rule;
  std::string log;
  LogKind kind;
  bool recognised;
};

TEST(LogSurvey, TakesALogAsTheKindItsRowsOrHeadingReadAs) {
  const std::string margin = MarginTrade{}.line() + "\n";
  const std::string spot = SpotTrade{}.line() + "\n";
  const std::string marginInUtf8 = platform::utf8FromShiftJis(margin);
  for (const KindCase& c : std::vector<KindCase>{
           {"rows of the other kind", "x\n" + margin + margin, LogKind::margin, true},
           {"in UTF-8 too", "x\n" + marginInUtf8 + marginInUtf8, LogKind::margin, true},
           {"the other kind's heading alone", headingLine(LogKind::margin) + "\n", LogKind::margin,
            true},
           {"a row of its own kind holds", spot + margin + margin, LogKind::spot, true},
           {"its own heading holds against the other's",
            headingLine(LogKind::spot) + "\n" + headingLine(LogKind::margin) + "\n", LogKind::spot,
            true},
           {"nothing that reads", "x\ny\n", LogKind::spot, false},
       }) {
    MemoryBytes bytes(c.log, 7);
    const LogReader reader(bytes, LogKind::spot);
    EXPECT_EQ(reader.kind(), c.kind) << c.rule;
    EXPECT_EQ(reader.recognised(), c.recognised) << c.rule;
  }
}

// A line that spells a trade type in UTF-8 is passed over before it is asked whether it is
// a heading line: no heading line may spell one.
TEST(LogSurvey, FindsNoTradeTypeInUtf8InAHeadingLine) {
  EXPECT_FALSE(detail::holdsKeywordInUtf8(headingLine(LogKind::spot)));
  EXPECT_FALSE(detail::holdsKeywordInUtf8(headingLine(LogKind::margin)));
}

}  // namespace
}  // namespace tradepl
