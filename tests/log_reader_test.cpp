#include "input/log_reader.hpp"
#include "input/row_source.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "failing_bytes.hpp"
#include "log_lines.hpp"
#include "output/result_line.hpp"

namespace tradepl {
namespace {

namespace fs = std::filesystem;
using testing::FailingBytes;
using testing::MarginTrade;
using testing::SpotTrade;

// What a log's rows come to, copied out of the rows while their lines are at hand.
struct KeptRow {
  std::uint64_t line = 0;
  std::string code;
  std::string settlementDate;
  std::size_t nameSize = 0;
};

class Recorder final : public LineListener {
 public:
  void kept(const TradeRow& row) {
    std::string code;
    appendStockCode(code, row.stockCode);
    rows.push_back(
        {row.line, code, std::string(row.settlementDate.view()), row.stockName.view().size()});
  }
  void skipped(std::uint64_t line, const LineProblem& problem) override {
    skippedLines.push_back(line);
    problems.push_back(problem.kind);
  }
  void outOfOrder(const TradeRow& row) override { outOfOrderLines.push_back(row.line); }

  std::vector<std::uint64_t> keptLines() const {
    std::vector<std::uint64_t> lines;
    for (const KeptRow& row : rows) lines.push_back(row.line);
    return lines;
  }

  std::vector<KeptRow> rows;
  std::vector<std::uint64_t> skippedLines;
  std::vector<LineProblemKind> problems;
  std::vector<std::uint64_t> outOfOrderLines;
};

using Lines = std::vector<std::uint64_t>;

// Reads every row of a log looked over.
LogReport readAll(LogReader& reader, Recorder& recorder) {
  RowSource source(reader, recorder);
  while (const TradeRow* row = source.next()) recorder.kept(*row);
  return source.report();
}

// Looks a log over and reads it, unless it is refused.
LogReport readTradeLines(LogBytes& bytes, LogKind log, Recorder& recorder) {
  LogReader reader(bytes, log);
  if (reader.failure() || reader.refusal() != LogRefusal::none) {
    LogReport report;
    report.failure = reader.failure();
    return report;
  }
  return readAll(reader, recorder);
}

SpotTrade dated(const std::string& date, const std::string& code = "7203") {
  SpotTrade trade;
  trade.date = date;
  trade.code = code;
  return trade;
}

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

TEST(ReadTradeLines, ReadsANewestFirstLogFromItsLastLineUp) {
  // Enough rows that the log spans several blocks, and one line longer than a block.
  std::string log = headingLine(LogKind::spot) + "\r\n";
  const int rows = 4000;
  for (int i = 0; i < rows; ++i) {
    const int minutes = rows - i;  // one minute apart, the latest first
    char date[32];
    std::snprintf(date, sizeof date, "2024/01/%02d %02d:%02d", 1 + minutes / 1440,
                  minutes % 1440 / 60, minutes % 60);
    SpotTrade trade = dated(date);
    if (i == 100) trade.name = std::string(300 << 10, 'N');
    log += trade.line() + "\r\n";
  }
  Recorder recorder;
  MemoryBytes bytes(log, 4093);
  const LogReport report = readTradeLines(bytes, LogKind::spot, recorder);
  EXPECT_EQ(report.order, LogOrder::newestFirst);
  EXPECT_EQ(report.lines, rows + 1u);
  ASSERT_EQ(recorder.rows.size(), static_cast<std::size_t>(rows));
  for (int i = 0; i < rows; ++i) ASSERT_EQ(recorder.rows[i].line, rows + 1u - i) << i;
  EXPECT_EQ(recorder.rows[rows - 101].nameSize, std::size_t{300} << 10);  // line 102
  EXPECT_TRUE(recorder.skippedLines.empty());
  EXPECT_EQ(recorder.outOfOrderLines, (Lines{}));
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

struct DayByDayCase {
  std::vector<const char*> dates;  // line 1 is the heading
  Lines kept;
};

TEST(ReadTradeLines, ReadsALogWhoseDaysAndTradesGoOppositeWaysADayAtATime) {
  for (const DayByDayCase& c : std::vector<DayByDayCase>{
           // Days newest first, trades oldest first; a row without a date stays with its day.
           {{"2024/03/07 09:00", "2024/03/07 10:00", "x", "2024/03/06 09:00", "2024/03/06 10:00",
             "2024/03/05 09:00", "2024/03/05 10:00"},
            {7, 8, 5, 6, 2, 3, 4}},
           // Days oldest first, trades newest first.
           {{"2024/03/05 10:00", "2024/03/05 09:00", "x", "2024/03/06 10:00", "2024/03/06 09:00",
             "2024/03/06 08:00"},
            {4, 3, 2, 7, 6, 5}},
       }) {
    std::string log = headingLine(LogKind::spot) + "\n";
    for (const char* date : c.dates) log += dated(date).line() + "\n";
    Recorder recorder;
    const LogReport report = read(LogKind::spot, log, recorder);
    EXPECT_EQ(recorder.keptLines(), c.kept) << log;
    EXPECT_EQ(report.lines, c.dates.size() + 1);
    EXPECT_TRUE(recorder.skippedLines.empty());
  }
}

TEST(ReadTradeLines, ReadsDaysLargerThanABlockInOrder) {
  // Newest day first, each day's trades oldest first; the middle day is larger than a block.
  std::string log;
  for (int day = 7; day >= 5; --day) {
    for (int minute = 0; minute < (day == 6 ? 4000 : 100); ++minute) {
      char date[32];
      std::snprintf(date, sizeof date, "2024/03/%02d %02d:%02d", day, minute / 60 % 24,
                    minute % 60);
      SpotTrade trade = dated(date);
      trade.quantity = std::to_string(day * 10000 + minute);  // the order it was executed in
      log += trade.line() + "\n";
    }
  }
  Recorder recorder;
  std::vector<std::int64_t> numbers;
  MemoryBytes bytes(log, 4093);
  LogReader reader(bytes, LogKind::spot);
  ASSERT_EQ(reader.order(), LogOrder::daysNewestFirst);
  RowSource source(reader, recorder);
  while (const TradeRow* row = source.next()) numbers.push_back(row->quantity);
  ASSERT_EQ(numbers.size(), 4200u);
  EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
  EXPECT_TRUE(source.report().readable());
}

TEST(ReadTradeLines, SaysOfAUtf8LineAfterShiftJisRowsThatItIsSkipped) {
  SpotTrade inUtf8;
  inUtf8.tradeType = std::string(sjis::kSpotInUtf8);
  const std::string log = "heading\n" + SpotTrade{}.line() + "\n" + inUtf8.line() + "\n";
  MemoryBytes bytes(log);
  EXPECT_EQ(LogReader(bytes, LogKind::spot).refusal(), LogRefusal::none);
  Recorder recorder;
  read(LogKind::spot, log, recorder);
  EXPECT_EQ(recorder.skippedLines, Lines{3});
  EXPECT_EQ(recorder.problems, std::vector{LineProblemKind::utf8Text});
}

// A file that holds fewer bytes than its size said once it has been looked over, as a file
// cut while it is read does.
class ShrinkingBytes final : public LogBytes {
 public:
  explicit ShrinkingBytes(std::string_view bytes) : bytes_(bytes) {}
  std::size_t read(std::span<char> into) override {
    const std::size_t got = readAt(next_, into);
    next_ += got;
    return got;
  }
  std::optional<std::uint64_t> size() const override { return bytes_.size(); }
  // Once shrunk, only the first half of the bytes is left.
  std::size_t readAt(std::uint64_t offset, std::span<char> into) override {
    const std::uint64_t end = shrunk ? *bytes_.size() / 2 : *bytes_.size();
    if (offset >= end) return 0;
    return bytes_.readAt(offset, into.first(std::min<std::uint64_t>(into.size(), end - offset)));
  }

  bool shrunk = false;

 private:
  MemoryBytes bytes_;
  std::size_t next_ = 0;
};

TEST(ReadTradeLines, SaysSoWhenALogShrinksWhileItIsRead) {
  // Larger than a block, so that not all of it is in hand once it is looked over.
  std::string newestFirst;
  std::string oldestFirst;
  for (int minute = 0; minute < 4000; ++minute) {
    char date[32];
    std::snprintf(date, sizeof date, "2024/01/%02d %02d:%02d", 1 + minute / 1440,
                  minute % 1440 / 60, minute % 60);
    oldestFirst += dated(date).line() + "\n";
    newestFirst.insert(0, dated(date).line() + "\n");
  }
  for (const std::string* log : {&newestFirst, &oldestFirst}) {
    ShrinkingBytes bytes(*log);
    LogReader reader(bytes, LogKind::spot);
    EXPECT_EQ(reader.order() == LogOrder::newestFirst, log == &newestFirst);
    bytes.shrunk = true;
    Recorder recorder;
    const LogReport report = readAll(reader, recorder);
    EXPECT_EQ(report.failure, (FileProblem{FileFailure::shrank})) << log->size();
  }
}

TEST(ReadTradeLines, StopsAtAReadErrorWithoutTheLineItCut) {
  // The error lies between the first block and the last, which are looked at first.
  std::string log;
  while (log.size() < (600 << 10)) log += SpotTrade{}.line() + "\n";
  const std::size_t lineSize = SpotTrade{}.line().size() + 1;
  const std::size_t linesWhole = (300 << 10) / lineSize;
  FailingBytes bytes(log, linesWhole * lineSize + lineSize / 2);
  Recorder recorder;
  const LogReport report = readTradeLines(bytes, LogKind::spot, recorder);
  EXPECT_EQ(report.failure, (FileProblem{FileFailure::readError, EIO}));
  EXPECT_EQ(report.reached, linesWhole);
  EXPECT_EQ(recorder.rows.size(), linesWhole);
  EXPECT_TRUE(recorder.skippedLines.empty());
}

TEST(SpoolToTemporaryFile, CopiesAStreamToAFileOfKnownSizeOrSaysWhyNot) {
  const std::string log =
      dated("2024/03/06 10:00").line() + "\n" + dated("2024/03/05 10:00").line() + "\n";
  FailingBytes pipe(log, FailingBytes::kNowhere, false);
  const std::unique_ptr<LogBytes> spooled = spoolToTemporaryFile(pipe);
  ASSERT_EQ(spooled->size(), log.size());
  std::string copy(log.size(), '\0');
  EXPECT_EQ(readFully(*spooled, copy, 0), log.size());
  EXPECT_EQ(copy, log);
  EXPECT_EQ(LogReader(*spooled, LogKind::spot).order(), LogOrder::newestFirst);

  FailingBytes failing(log, 10, false);
  const std::unique_ptr<LogBytes> cut = spoolToTemporaryFile(failing);
  EXPECT_EQ(cut->failure(), (FileProblem{FileFailure::readError, EIO}));
  EXPECT_EQ(LogReader(*cut, LogKind::spot).failure(), cut->failure());
}

// A stream whose reads fail as told once they reach byte `errorsAt`, one failure each, then
// hand over the bytes.
struct ScriptedReads {
  std::string bytes;
  std::size_t errorsAt;
  std::vector<int> errors;  // the errno of each failing read, in turn
  std::size_t next = 0;

  static ssize_t read(void* cookie, char* into, std::size_t size) {
    auto& reads = *static_cast<ScriptedReads*>(cookie);
    if (reads.next == reads.errorsAt && !reads.errors.empty()) {
      errno = reads.errors.front();
      reads.errors.erase(reads.errors.begin());
      return -1;
    }
    const std::size_t end = reads.next < reads.errorsAt ? reads.errorsAt : reads.bytes.size();
    const std::size_t got = std::min(size, end - reads.next);
    std::memcpy(into, reads.bytes.data() + reads.next, got);
    reads.next += got;
    return static_cast<ssize_t>(got);
  }
};

TEST(FileBytes, TriesAnInterruptedReadAgainAndNamesTheErrorOfTheReadThatFailed) {
  const std::string log = SpotTrade{}.line() + "\n";
  struct Case {
    std::size_t errorsAt;
    std::vector<int> errors;
    FileProblem failure;
  };
  for (const Case& c : {Case{0, {EINTR, EINTR}, {}}, Case{10, {EINTR}, {}},
                        Case{0, {EIO}, {FileFailure::readError, EIO}},
                        Case{0, {EINTR, ENXIO}, {FileFailure::readError, ENXIO}},
                        // Failed once after some bytes: the reads after it would succeed.
                        Case{10, {EIO}, {FileFailure::readError, EIO}}}) {
    ScriptedReads reads{log, c.errorsAt, c.errors};
    std::FILE* stream = fopencookie(&reads, "rb", {ScriptedReads::read, nullptr, nullptr, nullptr});
    ASSERT_NE(stream, nullptr);
    const std::unique_ptr<LogBytes> bytes = fileBytes(stream);
    std::string copy(log.size() + 1, '\0');
    const std::size_t got = readFully(*bytes, copy);
    EXPECT_EQ(bytes->failure(), c.failure) << c.errorsAt << " " << c.errors.size();
    EXPECT_EQ(got, c.failure ? c.errorsAt : log.size()) << c.errorsAt << " " << c.errors.size();
  }
}

TEST(OpenLogFile, SaysWhyAFileCannotBeRead) {
  EXPECT_EQ(openLogFile("").problem.failure, FileFailure::emptyPath);
  EXPECT_EQ(openLogFile("no/such/file.csv").problem.failure, FileFailure::cannotOpen);
  EXPECT_EQ(openLogFile(fs::temp_directory_path().string()).problem.failure,
            FileFailure::isDirectory);
}

TEST(IsUtf8, TakesWellFormedUtf8Only) {
  struct Case {
    std::string text;
    bool utf8;
  };
  for (const Case& c : std::vector<Case>{{"7203,abc", true},
                                         {"\xE7\x8F\xBE\xE7\x89\xA9", true},  // 現物
                                         {"\xF0\x9F\x98\x80", true},          // an emoji
                                         {"\x8C\xBB\x95\xA8", false},         // 現物 in Shift_JIS
                                         {"\xC0\xAF", false},                 // overlong '/'
                                         {"\xED\xA0\x80", false},             // a surrogate
                                         {"\xF4\x90\x80\x80", false},         // past U+10FFFF
                                         {"\xE7\x8F", false}}) {              // cut short
    EXPECT_EQ(detail::isUtf8(c.text), c.utf8) << c.text;
  }
}

// A UTF-16 log is decoded whole, surrogate pairs included: a character beyond the Basic
// Multilingual Plane has no Shift_JIS form, so its line is skipped and the others kept.
TEST(LogReader, DecodesUtf16AndSkipsALineShiftJisCannotHold) {
  std::string log = "\xFF\xFE";
  const std::string text = "heading\n";
  for (const char c : text) log += std::string{c, '\0'};
  log += std::string("\x3D\xD8\x00\xDE\n\0", 6);  // U+1F600, an emoji, as a surrogate pair
  Recorder emoji;
  const LogReport report = read(LogKind::spot, log, emoji);
  EXPECT_EQ(report.savedIn, LogEncoding::utf16);
  EXPECT_EQ(emoji.skippedLines, Lines{2});
  EXPECT_EQ(emoji.problems, std::vector<LineProblemKind>{LineProblemKind::notInShiftJis});
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

}  // namespace
}  // namespace tradepl
