#include "output/result_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "log_lines.hpp"
#include "records/shift_jis.hpp"

namespace tradepl {
namespace {

namespace fs = std::filesystem;

// A result with a row of its own, which the tests change.
struct SampleResult : ResultRow {
  TradeRow trade;

  SampleResult() { row = &trade; }
  SampleResult(const SampleResult& other) : ResultRow(other), trade(other.trade) { row = &trade; }
  SampleResult& operator=(const SampleResult&) = delete;
};

SampleResult sampleResult() {
  SampleResult result;
  result.trade.execDateTime() = Text("2014/09/04 11:48");
  result.trade.executed = ExecutionDateReader().read(result.trade.execDateTime().view());
  result.trade.setStockCode(StockCode{7203, Text()});
  result.trade.stockName() = Text("Toyota");
  result.trade.quantity = 150;
  result.unitPrice = 1200;
  result.commission = 300;
  result.commissionTax = 24;
  result.averagePrice = 1050;
  result.profit = 22176;
  return result;
}

std::string lineOf(const ResultRow& result) {
  std::string line;
  appendResultLine(line, result);
  return line;
}

const std::string kEnd(kLineEnd);

TEST(ResultLine, WritesTheElevenColumns) {
  EXPECT_EQ(lineOf(sampleResult()), "2014,9,4,7203,Toyota,150,1200,1050.00,300,24,22176" + kEnd);
}

TEST(ResultLine, PadsNumericCodesToFourDigitsAndKeepsSymbols) {
  SampleResult result = sampleResult();
  result.trade.setStockCode(StockCode{7, Text()});
  EXPECT_EQ(lineOf(result).substr(0, 14), "2014,9,4,0007,");
  result.trade.setStockCode(StockCode{12345, Text()});
  EXPECT_EQ(lineOf(result).substr(0, 15), "2014,9,4,12345,");
  result.trade.setStockCode(StockCode{0, Text("130A")});
  EXPECT_EQ(lineOf(result).substr(0, 14), "2014,9,4,130A,");
}

TEST(ResultLine, RoundsTheAverageToTwoDecimalsAsPrintfDoes) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> prices(0.0, 100000.0);
  for (int i = 0; i < 20000; ++i) {
    // Thirds and halves of a cent are where rounding differences would show.
    const double average = i % 2 == 0 ? prices(random) : std::round(prices(random) * 200) / 200;
    SampleResult result = sampleResult();
    result.averagePrice = average;
    char expected[64];
    std::snprintf(expected, sizeof expected, ",%.2f,", average);
    ASSERT_NE(lineOf(result).find(expected), std::string::npos) << average;
  }
  SampleResult result = sampleResult();
  result.averagePrice = 1033.3333;
  EXPECT_NE(lineOf(result).find(",1033.33,"), std::string::npos);
}

TEST(ResultLine, WritesFractionalUnitPricesAsTheShortestDecimal) {
  SampleResult result = sampleResult();
  result.unitPrice = 2345.5;
  EXPECT_NE(lineOf(result).find(",150,2345.5,1050.00,"), std::string::npos);
  result.unitPrice = 0.1;
  EXPECT_NE(lineOf(result).find(",150,0.1,1050.00,"), std::string::npos);
}

TEST(ResultLine, WritesANegativeProfitWithItsSign) {
  SampleResult result = sampleResult();
  result.profit = -46100;
  EXPECT_EQ(lineOf(result).substr(lineOf(result).size() - 7 - kEnd.size()), ",-46100" + kEnd);
}

TEST(ResultLine, WritesWholeNumbersOfEveryLengthAsPrintfDoes) {
  // Each power of ten and the number before it, either sign, and the 64-bit limits.
  std::vector<std::int64_t> numbers{0, std::numeric_limits<std::int64_t>::max(),
                                    std::numeric_limits<std::int64_t>::min()};
  for (std::int64_t ten = 1;; ten *= 10) {
    for (const std::int64_t number : {ten, ten - 1, -ten, 1 - ten}) numbers.push_back(number);
    if (ten > std::numeric_limits<std::int64_t>::max() / 10) break;
  }
  for (const std::int64_t number : numbers) {
    SampleResult result = sampleResult();
    result.profit = number;
    const std::string expected = "," + std::to_string(number) + kEnd;
    EXPECT_TRUE(lineOf(result).ends_with(expected)) << number;
  }
}

TEST(ResultLine, QuotesANameOnlyWhenItWouldBreakTheColumns) {
  SampleResult result = sampleResult();
  result.trade.stockName() = Text("ACME, \"Tokyo\"");
  EXPECT_NE(lineOf(result).find(",\"ACME, \"\"Tokyo\"\"\",150,"), std::string::npos);
  result.trade.stockName() = Text("A\rB");
  EXPECT_NE(lineOf(result).find(",\"A\rB\",150,"), std::string::npos);
  result.trade.stockName() = Text("\x83\x5C\x83\x6E");  // ソハ: Shift_JIS passes through as is
  EXPECT_NE(lineOf(result).find(",\x83\x5C\x83\x6E,150,"), std::string::npos);
}

TEST(ResultLine, QuotesANameWhereverInItTheBreakingByteStands) {
  // Names are looked at eight bytes at a time, and the bytes after the last eight alone.
  for (std::size_t at = 0; at < 20; ++at) {
    for (const char breaking : {',', '"', '\r'}) {
      std::string name(20, '\x83');
      name[at] = breaking;
      EXPECT_TRUE(needsQuotes(name)) << at << ' ' << int{breaking};
    }
  }
  EXPECT_FALSE(needsQuotes(std::string(20, '\x83')));
  // Bytes next to the three, and with their high bit set, in a word and after it.
  EXPECT_FALSE(needsQuotes("+-!#\x0C\x0E\xAC\xA2\x8D+-!#\x0C\x0E"));
}

TEST(ResultLine, LeavesEmptyTheDatePartsThatDoNotRead) {
  SampleResult result = sampleResult();
  result.trade.executed = ExecutionDateReader().read("2014/09");
  EXPECT_EQ(lineOf(result).substr(0, 13), "2014,9,,7203,");
}

TEST(ResultHeading, IsTheShiftJisHeadingLine) {
  std::string heading;
  appendResultHeading(heading);
  EXPECT_EQ(heading, testing::kResultHeadingText + kEnd);
}

class WriteResultFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() / ("tradepl-writer-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  static std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::size_t filesInFolder() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
  }

  fs::path folder_;
};

// Writes a result file of `count` copies of the sample result.
FileProblem writeSamples(const fs::path& path, int count,
                         platform::OutputFile::BlockWrite write = {}) {
  ResultFile file(false, std::move(write));
  if (const FileProblem problem = file.create(path.string())) return problem;
  for (int i = 0; i < count; ++i) file.append(sampleResult());
  return file.file().commit();
}

TEST_F(WriteResultFile, ReplacesAnExistingFileWhole) {
  const fs::path out = folder_ / "out.csv";
  std::ofstream(out) << std::string(10000, 'x');
  EXPECT_FALSE(writeSamples(out, 1));
  std::string expected;
  appendResultHeading(expected);
  appendResultLine(expected, sampleResult());
  EXPECT_EQ(contents(out), expected);
  EXPECT_EQ(filesInFolder(), 1u);  // no temporary file left behind
}

TEST_F(WriteResultFile, WritesLinesAcrossBlocksAndALineLongerThanABlockInOrder) {
  // Lines are written straight into the output's block of 1 MiB, which grows for a longer one.
  const fs::path out = folder_ / "out.csv";
  const std::string name(3 << 20, 'N');
  const SampleResult sample = sampleResult();
  SampleResult longer = sample;
  longer.trade.stockName() = Text(name);
  std::string expected;
  appendResultHeading(expected);
  ResultFile file;
  ASSERT_FALSE(file.create(out.string()));
  for (int i = 0; i < 40000; ++i) {
    const SampleResult& result = i == 20000 ? longer : sample;
    file.append(result);
    appendResultLine(expected, result);
  }
  ASSERT_FALSE(file.file().commit());
  EXPECT_EQ(contents(out), expected);
}

TEST_F(WriteResultFile, WritesOnlyTheHeadingForNoResults) {
  const fs::path out = folder_ / "out.csv";
  EXPECT_FALSE(writeSamples(out, 0));
  std::string heading;
  appendResultHeading(heading);
  EXPECT_EQ(contents(out), heading);
}

TEST_F(WriteResultFile, FailsWithoutLeavingAnythingWhenThePathIsAFolder) {
  EXPECT_EQ(writeSamples(folder_, 0).failure, FileFailure::isDirectory);
  EXPECT_EQ(filesInFolder(), 0u);
}

TEST_F(WriteResultFile, LeavesTheOldFileWhenTheDiskFillsUpPartWay) {
  const fs::path out = folder_ / "out.csv";
  std::ofstream(out) << "the old results";
  int calls = 0;
  const auto fillsUp = [&calls](std::string_view bytes,
                                const platform::OutputFile::SystemWrite& write) {
    if (++calls == 1) return write(bytes);
    write(bytes.substr(0, bytes.size() / 2));
    errno = ENOSPC;
    return false;
  };
  // A few megabytes.
  EXPECT_EQ(writeSamples(out, 50000, fillsUp), (FileProblem{FileFailure::writeError, ENOSPC}));
  EXPECT_EQ(calls, 2);  // nothing more is attempted after the failure
  EXPECT_TRUE(contents(out) == "the old results");
  EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(WriteResultFile, FailsInAFolderItMayNotWriteIn) {
  const fs::path readOnly = folder_ / "read-only";
  fs::create_directories(readOnly);
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
  const bool privileged = std::ofstream(readOnly / "probe").good();
  fs::remove(readOnly / "probe");
  // Root writes anywhere the permissions say no; /proc takes no new files from anyone.
  const fs::path out = privileged ? fs::path("/proc/tradepl-out.csv") : readOnly / "out.csv";
  EXPECT_EQ(writeSamples(out, 0).failure, FileFailure::cannotCreate);
  EXPECT_TRUE(fs::is_empty(readOnly));
  fs::permissions(readOnly, fs::perms::owner_all);
}

// The permission bits of the file this process holds open in `folder`, named or not, as
// its descriptors show it.
std::optional<unsigned> modeOfOpenFileIn(const fs::path& folder) {
  for (const fs::directory_entry& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (fs::read_symlink(entry.path(), error).parent_path() != folder || error) continue;
    struct stat status {};
    if (stat(entry.path().c_str(), &status) == 0) return status.st_mode & 07777;
  }
  return std::nullopt;
}

// Others may not read the results while they are written, with or without a name for the
// temporary file; the commit gives them the mode the file is meant to have.
TEST_F(WriteResultFile, KeepsTheTemporaryFileToItsOwnerUntilTheCommit) {
  const mode_t umaskBefore = umask(027);
  using Name = platform::OutputFile::TemporaryName;
  for (const Name name : {Name::noneWherePossible, Name::always}) {
    std::ofstream(folder_ / "old.csv") << "the old results";
    fs::permissions(folder_ / "old.csv", static_cast<fs::perms>(0606));
    for (const auto& [file, mode] : {std::pair("new.csv", 0640u), std::pair("old.csv", 0606u)}) {
      platform::OutputFile out(name);
      const std::size_t before = filesInFolder();
      ASSERT_FALSE(out.open((folder_ / file).string()));
      EXPECT_EQ(filesInFolder(), before + (name == Name::always ? 1 : 0));  // a named one
      EXPECT_EQ(modeOfOpenFileIn(folder_), 0600u) << file;
      EXPECT_FALSE(out.commit());
      EXPECT_EQ(static_cast<unsigned>(fs::status(folder_ / file).permissions()), mode) << file;
    }
    fs::remove(folder_ / "new.csv");
  }
  umask(umaskBefore);
}

// Each kind of path is written its own way, chosen when it is opened.
TEST_F(WriteResultFile, ChoosesTheWriteModeByWhatThePathIs) {
  using platform::WriteMode;
  std::ofstream(folder_ / "old.csv") << "the old results";
  const std::pair<std::string, WriteMode> cases[] = {
      {(folder_ / "new.csv").string(), WriteMode::replaceNamed},
      {(folder_ / "old.csv").string(), WriteMode::replaceNamed},
      {"/dev/null", WriteMode::direct},
      {"-", WriteMode::direct},
  };
  for (const auto& [path, mode] : cases) {
    platform::OutputFile out(platform::OutputFile::TemporaryName::always);
    ASSERT_FALSE(out.open(path)) << path;
    EXPECT_EQ(out.mode(), mode) << path;
  }
  // A folder that takes no new file from this user: the file itself is written over.
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  platform::OutputFile out;
  ASSERT_FALSE(out.open((folder_ / "old.csv").string()));
  const bool privileged = std::ofstream(folder_ / "probe").good();  // root writes anywhere
  EXPECT_EQ(out.mode() == WriteMode::copyOver, !privileged);
  fs::permissions(folder_, fs::perms::owner_all);
}

TEST_F(WriteResultFile, FailsWhenTheFolderDoesNotExist) {
  EXPECT_TRUE(writeSamples(folder_ / "missing" / "out.csv", 0));
  EXPECT_EQ(filesInFolder(), 0u);
}

}  // namespace
}  // namespace tradepl
