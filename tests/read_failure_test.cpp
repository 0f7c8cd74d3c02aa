// A run whose log fails once it is open, the bytes put in through the run's own way of
// opening logs: the result file already there stays as it was.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/converter.hpp"
#include "failing_bytes.hpp"
#include "input/block_lines.hpp"
#include "log_lines.hpp"
#include "platform/console.hpp"
#include "words/describe.hpp"

namespace tradepl {
namespace {

namespace fs = std::filesystem;
using testing::FailingBytes;
using testing::SpotTrade;

const Language kLanguage = platform::userReadsJapanese() ? Language::japanese : Language::english;

constexpr int kRows = 8000;

// A log of rows a minute apart, larger than two blocks, oldest or newest first.
std::string logOfMinutes(bool newestFirst) {
  std::vector<std::string> rows;
  for (int minute = 0; minute < kRows; ++minute) {
    char date[32];
    std::snprintf(date, sizeof date, "2024/01/%02d %02d:%02d", 1 + minute / 1440,
                  minute % 1440 / 60, minute % 60);
    SpotTrade buy = testing::spotBuy("7203", "100", "1000");
    buy.date = date;
    rows.push_back(buy.line() + "\n");
  }
  std::string log;
  for (std::size_t i = 0; i < rows.size(); ++i) log += rows[newestFirst ? rows.size() - 1 - i : i];
  return log;
}

struct FailureCase {
  bool newestFirst;
  std::uint64_t badAt;
  int goodPasses;
  std::string message;  // what is said of the log
};

TEST(RunWithAFailingLog, LeavesTheOldResultAndSaysHowFarTheLogWasRead) {
  const fs::path folder =
      fs::temp_directory_path() / ("tradepl-read-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  const std::string output = (folder / "out.csv").string();
  const std::string readError = describe(kLanguage, FileProblem{FileFailure::readError, EIO});
  const std::uint64_t line = testing::spotBuy("7203", "100", "1000").line().size() + 1;
  const std::uint64_t size = kRows * line;
  // Read from its end, the log is read in blocks: the lines wholly after the last block
  // boundary before the bad place are read.
  const std::uint64_t boundary = size - detail::kBlockSize;
  const std::uint64_t lowestRead = (boundary + line) / line + 1;
  for (const FailureCase& c : {
           // Between the first block and the last, which are looked at first.
           FailureCase{false, 3500 * line + 5, 0,
                       say(kLanguage, Message::readStoppedAfter, "3,500", readError)},
           FailureCase{true, 4000 * line + 5, 1,
                       say(kLanguage, Message::readStoppedBefore, grouped(lowestRead), readError)},
           // In the first block, while the log is looked over.
           FailureCase{false, 100, 0, say(kLanguage, Message::cannotRead, readError)},
       }) {
    std::ofstream(output, std::ios::binary) << "the old result\n";
    const std::string log = logOfMinutes(c.newestFirst);
    const FileOpener failing = [&](const std::string& path, ReadAs how) {
      if (path != "spot.csv") return openFileAs(path, how);
      return OpenedLog{std::make_unique<FailingBytes>(log, c.badAt, true, c.goodPasses), {}};
    };
    const char* const argv[] = {"tradepl", "-q", "-g", "spot.csv", output.c_str()};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runConverter(5, argv, out, err, failing), -3);
    std::string said = "tradepl: spot.csv: " + c.message + "\n";
    if (c.newestFirst)
      said = "tradepl: spot.csv: " + say(kLanguage, Message::newestFirst) + "\n" + said;
    EXPECT_EQ(err.str(),
              said + "tradepl: " + output + ": " + say(kLanguage, Message::leftAsItWas) + "\n");
    std::ifstream kept(output, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "the old result\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  }
  fs::remove_all(folder);
}

// A device takes the results as they come: what reached it before the log failed cannot be
// taken back, and the run says so rather than that nothing was written.
TEST(RunWithAFailingLog, SaysADeviceGotIncompleteResults) {
  std::string log = testing::spotBuy("7203", "1000000", "1000").line() + "\n";
  const std::string sale = testing::spotSell("7203", "1", "1200").line() + "\n";
  for (int i = 0; i < 30000; ++i) log += sale;  // about 1.6 MB of results
  const FileOpener failing = [&](const std::string& path, ReadAs how) {
    if (path != "spot.csv") return openFileAs(path, how);
    // The bad place reads well once, as the last block is looked over, and fails after.
    return OpenedLog{std::make_unique<FailingBytes>(log, log.size() - 1000, true, 1), {}};
  };
  const char* const argv[] = {"tradepl", "-q", "-g", "spot.csv", "/dev/null"};
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(runConverter(5, argv, out, err, failing), -3);
  EXPECT_NE(err.str().find("tradepl: /dev/null: " + say(kLanguage, Message::sentInPart) + "\n"),
            std::string::npos)
      << err.str();
}

}  // namespace
}  // namespace tradepl
