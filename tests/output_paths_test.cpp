// End to end: the output path as the system keeps it. Devices, pipes and "-" are written
// in place; a link stays a link; a replaced file keeps its mode; a read-only file, and any
// path named as a log, is never replaced; an interrupted run leaves nothing behind.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "harness.hpp"

namespace tradepl {
namespace {

using namespace testing;

const std::string kResult =
    kResultHeading + "2024,3,5,7203," + std::string(kToyota) + ",100,1200,1000.00,200,16,19784\n";

class OutputPaths : public Tradepl {
 protected:
  void SetUp() override {
    Tradepl::SetUp();
    write("spot.csv", spotLog({spotBuy("7203", "100", "1000"), spotSell("7203", "100", "1200")}));
  }
  unsigned modeOf(const std::string& name) const {
    struct stat status {};
    EXPECT_EQ(lstat(path(name).c_str(), &status), 0) << name;
    return status.st_mode;
  }
};

TEST_F(OutputPaths, WritesTheStandardOutputForADash) {
  const Outcome result = run({"-q", "-g", "spot.csv", "-"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, kResult);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(filesInWork(), std::vector<std::string>{"spot.csv"});
}

TEST_F(OutputPaths, WritesDevicesAndPipesWhereTheyAre) {
  if (kUnderWine) {
    EXPECT_EQ(run({"-g", "spot.csv", "NUL"}).status, 0);  // the Windows null device
    EXPECT_EQ(filesInWork(), std::vector<std::string>{"spot.csv"});
    return;
  }
  EXPECT_EQ(run({"-g", "spot.csv", "/dev/null"}).status, 0);
  EXPECT_TRUE(S_ISCHR(modeOf("/dev/null")));
  // /dev/stdout is a link to the standard output, here the capture file.
  Outcome result = run({"-g", "spot.csv", "/dev/stdout"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, kResult);
  EXPECT_TRUE(S_ISLNK(modeOf("/dev/stdout")));

  ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
  EXPECT_EQ(shell("cat pipe >read-from-pipe & " + commandLine({"-g", "spot.csv", "pipe"}) +
                  "; status=$?; wait; exit $status"),
            0);
  EXPECT_EQ(read("read-from-pipe"), kResult);
  EXPECT_TRUE(S_ISFIFO(modeOf("pipe")));
}

TEST_F(OutputPaths, ReplacesTheFileALinkPointsToAndKeepsTheLink) {
  if (kUnderWine) GTEST_SKIP() << "Unix symbolic links";
  fs::create_directories(path("results"));
  write("results/2024.csv", "the old results");
  fs::create_symlink("results/2024.csv", path("latest.csv"));
  fs::create_symlink("results/2025.csv", path("next.csv"));  // leads nowhere yet
  EXPECT_EQ(run({"-g", "spot.csv", "latest.csv"}).status, 0);
  EXPECT_EQ(run({"-g", "spot.csv", "next.csv"}).status, 0);
  EXPECT_TRUE(S_ISLNK(modeOf("latest.csv")));
  EXPECT_TRUE(S_ISLNK(modeOf("next.csv")));
  EXPECT_EQ(read("results/2024.csv"), kResult);
  EXPECT_EQ(read("results/2025.csv"), kResult);
}

TEST_F(OutputPaths, KeepsTheModeOfAReplacedFileAndNeverReplacesAReadOnlyOne) {
  write("private.csv", "the old results");
  fs::permissions(path("private.csv"), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(run({"-g", "spot.csv", "private.csv"}).status, 0);
  EXPECT_EQ(written("private.csv"), kResult);
  // Windows keeps the access rights of a replaced file; Wine shows none of them as a mode.
  if (!kUnderWine) {
    EXPECT_EQ(modeOf("private.csv") & 0777, 0600u);
  }

  write("kept.csv", "the old results");
  fs::permissions(path("kept.csv"), fs::perms::owner_read | fs::perms::group_read);
  const Outcome result = run({"-q", "-g", "spot.csv", "kept.csv"});
  EXPECT_EQ(result.status, -4);
  EXPECT_EQ(result.err, "tradepl: kept.csv: cannot write: the file is read-only\n");
  EXPECT_EQ(read("kept.csv"), "the old results");
}

TEST_F(OutputPaths, WritesAFileWhoseNameIsAsLongAsTheSystemAllows) {
  const std::string name = std::string(251, 'r') + ".csv";
  EXPECT_EQ(run({"-g", "spot.csv", name}).status, 0);
  EXPECT_EQ(written(name), kResult);
  EXPECT_EQ(filesInWork(), (std::vector<std::string>{name, "spot.csv"}));
}

TEST_F(OutputPaths, LeavesNothingBehindWhenInterrupted) {
  // The margin log is a FIFO fed more than a block and then held open, so that the run
  // waits in the middle: on Linux while it copies the FIFO to a temporary file, under Wine
  // with its new result file begun (a pty holds a Linux run there: the end-to-end tests of
  // the input).
  std::string margin = "heading\n";
  for (int i = 0; i < 3000; ++i) margin += MarginTrade{}.line() + "\n";
  write("margin-lines.csv", margin);
  write("out.csv", "the old results");
  ASSERT_EQ(mkfifo(path("margin.csv").c_str(), 0600), 0);
  // Wine stops at SIGTERM as at TerminateProcess; Ctrl-C reaches it as SIGINT.
  const std::string signal = kUnderWine ? "INT" : "TERM";
  const int status = shell("(cat margin-lines.csv; sleep 30) >margin.csv & feeder=$!; " +
                           commandLine({"-g", "spot.csv", "-s", "margin.csv", "out.csv"}) +
                           " >/dev/null 2>&1 & run=$!; sleep 3; kill -" + signal +
                           " $run; wait $run; status=$?; kill $feeder; exit $status");
  // 128 + the signal from a Unix run; from Wine, STATUS_CONTROL_C_EXIT's low byte.
  EXPECT_EQ(status, kUnderWine ? 0x3A : 128 + 15);
  EXPECT_EQ(read("out.csv"), "the old results");
  EXPECT_EQ(filesInWork(),
            (std::vector<std::string>{"margin-lines.csv", "margin.csv", "out.csv", "spot.csv"}));
}

TEST_F(OutputPaths, NeverWritesOverAPathNamedAsALog) {
  write("m.csv", "a margin log");
  const Outcome result = run({"-g", "m.csv", "-g", "spot.csv", "m.csv"});
  EXPECT_EQ(result.status, -2);
  EXPECT_EQ(result.err, "tradepl: the output path m.csv names an input log\n");
  EXPECT_EQ(read("m.csv"), "a margin log");
}

TEST_F(OutputPaths, WritesTheResultWhenTheConsoleIsGone) {
  std::string log = spotLog({spotBuy("7203", "100", "1000"), spotSell("7203", "100", "1200")});
  for (int i = 0; i < 5000; ++i) log += "7203,not a trade\n";  // messages to write
  write("spot.csv", log);
  EXPECT_EQ(shell(commandLine({"-g", "spot.csv", "closed.csv"}) + " >&- 2>&-"), 0);
  EXPECT_EQ(written("closed.csv"), kResult);
  shell(commandLine({"-g", "spot.csv", "piped.csv"}) + " 2>&1 | true");
  EXPECT_EQ(written("piped.csv"), kResult);
}

// A folder outside code page 932 on a Windows set to another language: the command line
// arrives in UTF-16 and every path is used as such.
TEST_F(OutputPaths, ReadsAndWritesAnyUnicodePath) {
  const std::string folder =
      "\xF0\xA0\xAE\xB7\xE7\x94\xB0\xE3\x81\xAE\xE5\x8F\x96\xE5\xBC\x95";  // 𠮷田の取引
  const std::string korean = "\xED\x95\x9C\xEA\xB5\xAD";                   // 한국
  fs::create_directories(path(folder));
  fs::create_directories(path(korean));
  write(folder + "/spot.csv", read("spot.csv"));
  const Outcome result =
      run({"-g", folder + "/spot.csv", korean + "/out.csv"}, {"LANG=C.UTF-8 LC_ALL=C.UTF-8", ""});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(written(korean + "/out.csv"), kResult);
}

}  // namespace
}  // namespace tradepl
