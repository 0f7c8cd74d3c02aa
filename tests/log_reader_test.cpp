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
#include "log_reading.hpp"

namespace tradepl {
namespace {

namespace fs = std::filesystem;
using testing::dated;
using testing::FailingBytes;
using testing::Lines;
using testing::MarginTrade;
using testing::read;
using testing::readAll;
using testing::readTradeLines;
using testing::Recorder;
using testing::SpotTrade;

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

}  // namespace
}  // namespace tradepl
