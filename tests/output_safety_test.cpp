// End to end: nothing written where it should not be. A link another user planted in a
// shared folder is not followed; runs that write one file in place at once take turns; a
// descriptor closed at the start is no log; the report and the results are never mixed in
// one stream; temporary files go where TMPDIR says; a Windows device name is no file.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "harness.hpp"

namespace tradepl {
namespace {

using namespace testing;

const std::string kResult =
    kResultHeading + "2024,3,5,7203," + std::string(kToyota) + ",100,1200,1000.00,200,16,19784\n";

class OutputSafety : public Tradepl {
 protected:
  void SetUp() override {
    Tradepl::SetUp();
    letAnyoneRead();
    writeLog("spot.csv", "1200");
  }
  // A spot log of `sales` sales at `price`, each of shares bought before it, readable by
  // anyone.
  void writeLog(const std::string& name, const std::string& price, int sales = 1) const {
    std::vector<SpotTrade> trades;
    for (int i = 0; i < sales; ++i) {
      trades.push_back(spotBuy("7203", "100", "1000"));
      trades.push_back(spotSell("7203", "100", price));
    }
    write(name, spotLog(trades));
    letAnyoneRead({name});
  }
  // Files anyone may write, in a folder that takes no new file: they are written in place.
  void lockFolderWith(const std::vector<std::string>& names) const {
    fs::create_directories(path("locked"));
    for (const std::string& name : names) {
      write("locked/" + name, "the old file");
      fs::permissions(path("locked/" + name),
                      fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec |
                                         fs::perms::others_exec));
    }
    fs::permissions(path("locked"), fs::perms::owner_read | fs::perms::owner_exec |
                                        fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
  }
  void unlockFolder() const { fs::permissions(path("locked"), fs::perms::owner_all); }
  static std::string asNobody() { return kAsNobody; }
  static bool root() { return geteuid() == 0 && !kUnderWine; }
};

// The kernel's rule for links in a sticky folder anyone may write (fs.protected_symlinks):
// root does not follow a link there that belongs to another user, to the file of root's it
// points to. Its own link, or one of the folder's owner, it follows.
TEST_F(OutputSafety, FollowsNoLinkAnotherUserPlantedInASharedFolder) {
  if (!root()) GTEST_SKIP() << "needs root, to plant a link of another user's";
  fs::create_directories(path("shared"));
  fs::permissions(path("shared"), fs::perms::all | fs::perms::sticky_bit);
  write("config.txt", "root's own file");
  fs::permissions(path("config.txt"), fs::perms::owner_read | fs::perms::owner_write);
  for (const std::string name : {"shared/out.csv", "shared/report.csv"}) {
    fs::create_symlink("../config.txt", path(name));
    ASSERT_EQ(lchown(path(name).c_str(), 65534, 65534), 0);
  }
  // A link to a folder, on the way to the file, is met as the kernel meets it.
  fs::create_symlink("..", path("shared/up"));
  ASSERT_EQ(lchown(path("shared/up").c_str(), 65534, 65534), 0);
  const std::string refused = ": cannot write: a link in a shared folder (" +
                              path("shared").string() +
                              ") that belongs to another user: not followed\n";
  Outcome result = run({"-q", "-g", "spot.csv", "shared/out.csv"});
  EXPECT_EQ(result.status, -4);
  EXPECT_EQ(result.err, "tradepl: shared/out.csv" + refused);
  // As the report, beside a result file that stays as it was.
  write("out.csv", "the old results");
  result = run({"-q", "-g", "spot.csv", "--report", "shared/report.csv", "out.csv"});
  EXPECT_EQ(result.status, -4);
  EXPECT_EQ(result.err, "tradepl: shared/report.csv" + refused);
  EXPECT_EQ(read("out.csv"), "the old results");
  result = run({"-q", "-g", "spot.csv", "shared/up/config.txt"});
  EXPECT_EQ(result.status, -4);
  EXPECT_EQ(result.err, "tradepl: shared/up/config.txt" + refused);
  EXPECT_EQ(read("config.txt"), "root's own file");

  // Root's own link there is followed.
  fs::create_symlink("../config.txt", path("shared/own.csv"));
  EXPECT_EQ(run({"-q", "-g", "spot.csv", "shared/own.csv"}).status, 0);
  EXPECT_EQ(read("config.txt"), kResult);
}

// Root's file that anyone may write, in a folder anyone may write: another user replaces it,
// but may not give the new file root's ownership. It is written, and the run says so.
TEST_F(OutputSafety, SaysWhenTheNewFileCannotKeepTheOwnerOfTheOldOne) {
  if (!root()) GTEST_SKIP() << "needs root, for a file of another user's";
  fs::create_directories(path("open"));
  fs::permissions(path("open"), fs::perms::all);
  write("open/out.csv", "the old results");
  fs::permissions(path("open/out.csv"), fs::perms::owner_read | fs::perms::owner_write |
                                            fs::perms::group_read | fs::perms::group_write |
                                            fs::perms::others_read | fs::perms::others_write);
  const Outcome result = run({"-q", "-g", "spot.csv", "open/out.csv"}, {kEnglish + asNobody(), ""});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "tradepl: open/out.csv: written, but without the permissions or the owner of the file "
            "it replaced: Operation not permitted\n");
  EXPECT_EQ(read("open/out.csv"), kResult);
}

// Runs that write one file in place at once (a folder that takes no new file from the user)
// take turns: the result and the report left are both those of one run, whole.
TEST_F(OutputSafety, RunsWritingInPlaceAtOnceLeaveTheFilesOfOneRunWhole) {
  if (kUnderWine) GTEST_SKIP() << "Unix permissions";
  const std::vector<std::string> prices = {"1100", "1200", "1300", "1400"};
  std::vector<std::pair<std::string, std::string>> expected;  // result, report
  std::string script;
  for (std::size_t i = 0; i < prices.size(); ++i) {
    const std::string log = "spot" + std::to_string(i) + ".csv";
    // Results of different lengths: a file written by two runs at once would show it.
    writeLog(log, prices[i], 300 * static_cast<int>(i + 1));
    EXPECT_EQ(run({"-q", "-g", log, "--report", "r.csv", "o.csv"}).status, 0);
    expected.emplace_back(read("o.csv"), read("r.csv"));
    script += commandLine({"-q", "-g", log, "--report", "locked/report.csv", "locked/out.csv"},
                          {kEnglish + (root() ? asNobody() : ""), ""}) +
              " 2>/dev/null; echo $? >status" + std::to_string(i) + " & ";
  }
  lockFolderWith({"out.csv", "report.csv"});
  shell(script + "wait");
  unlockFolder();
  const std::pair<std::string, std::string> left(read("locked/out.csv"), read("locked/report.csv"));
  EXPECT_NE(std::find(expected.begin(), expected.end(), left), expected.end())
      << left.first << left.second;
  for (std::size_t i = 0; i < prices.size(); ++i) {
    EXPECT_EQ(read("status" + std::to_string(i)), "0\n") << i;
  }
}

// A run that finds the file it writes in place locked by another waits a few seconds for
// it, then leaves it to that run.
TEST_F(OutputSafety, LeavesAFileWrittenInPlaceToTheRunThatHoldsItsLock) {
  if (kUnderWine) GTEST_SKIP() << "Unix permissions";
  lockFolderWith({"out.csv"});
  const int status = shell("flock locked/out.csv env " +
                           commandLine({"-q", "-g", "spot.csv", "locked/out.csv"},
                                       {kEnglish + (root() ? asNobody() : ""), ""}) +
                           " 2>err.txt");
  unlockFolder();
  EXPECT_EQ(status, 252);
  EXPECT_EQ(read("err.txt"),
            "tradepl: locked/out.csv: cannot write: another tradepl run is writing "
            "locked/out.csv: run again once it has finished\n");
  EXPECT_EQ(read("locked/out.csv"), "the old file");
}

// A descriptor closed when the run started may be a log the run opened by then: /dev/fd/3
// would read spot.csv again, and /dev/stdin would read nothing and replace the old results.
TEST_F(OutputSafety, RefusesADescriptorClosedAtTheStartAsALog) {
  if (kUnderWine) GTEST_SKIP() << "Unix names of descriptors";
  const std::string closed = ": cannot read: the descriptor was closed when tradepl started\n";
  Outcome result = run({"-q", "-g", "spot.csv", "-s", "/dev/fd/3", "out.csv"}, {kEnglish, "3<&-"});
  EXPECT_EQ(result.status, -3);
  EXPECT_EQ(result.err, "tradepl: /dev/fd/3" + closed);
  EXPECT_EQ(read("out.csv"), kResult);  // each trade once

  write("out.csv", "the old results");
  result = run({"-q", "-g", "/dev/stdin", "out.csv"}, {kEnglish, "<&-"});
  EXPECT_EQ(result.status, -3);
  EXPECT_TRUE(result.err.starts_with("tradepl: /dev/stdin" + closed)) << result.err;
  EXPECT_EQ(read("out.csv"), "the old results");
}

// Lines of the report and of the results would be mixed in one stream.
TEST_F(OutputSafety, RefusesAReportThatGoesWhereTheResultsGo) {
  if (kUnderWine) GTEST_SKIP() << "Unix names of the standard streams";
  for (const auto& [report, output] :
       {std::pair("/dev/stdout", "-"), std::pair("/dev/fd/1", "/proc/self/fd/1"),
        std::pair("-", "/dev/stdout")}) {
    EXPECT_EQ(shell("{ " + commandLine({"-g", "spot.csv", "--report", report, output}) +
                    " 2>err.txt; echo $? >status.txt; } | cat >out.txt"),
              0);
    EXPECT_EQ(read("status.txt"), "254\n") << report;
    EXPECT_EQ(read("err.txt"), "tradepl: the report " + std::string(report) +
                                   " would go where the results go, and their lines would be "
                                   "mixed: give it a path of its own\n");
    EXPECT_EQ(read("out.txt"), kUsage) << report;  // and no result
  }
}

// The copy of a log that comes through a pipe is made in TMPDIR: a folder that is not there
// makes it fail.
TEST_F(OutputSafety, KeepsTheCopyOfAPipedLogInTmpdir) {
  if (kUnderWine) GTEST_SKIP() << "TMPDIR is the Unix way";
  fs::create_directories(path("temporary"));
  EXPECT_EQ(shell("cat spot.csv | TMPDIR=\"$PWD/temporary\" " +
                  commandLine({"-q", "-g", "/dev/stdin", "out.csv"}) + " 2>err.txt"),
            0);
  EXPECT_EQ(read("out.csv"), kResult);
  EXPECT_EQ(shell("cat spot.csv | TMPDIR=\"$PWD/missing\" " +
                  commandLine({"-q", "-g", "/dev/stdin", "out.csv"}) + " 2>err.txt"),
            253);
  EXPECT_EQ(read("err.txt"),
            "tradepl: /dev/stdin: cannot read: cannot keep a copy of it in a temporary file to "
            "read it: No such file or directory\n"
            "tradepl: out.csv: not written: a log could not be read to its end, and its results "
            "would be incomplete; a file already there is left as it was\n");
}

// A splits file is read up to its limit, not copied whole first: an endless one stops there.
TEST_F(OutputSafety, StopsReadingAnEndlessSplitsFileAtItsLimit) {
  if (kUnderWine) GTEST_SKIP() << "a Unix pipe";
  EXPECT_EQ(
      shell("yes | " + commandLine({"-q", "--splits", "/dev/stdin", "-g", "spot.csv", "out.csv"}) +
            " 2>err.txt"),
      254);
  EXPECT_EQ(read("err.txt"),
            "tradepl: /dev/stdin: cannot read the splits file: longer than 1 MiB, which no splits "
            "file is. Nothing was read or written\n");
  EXPECT_FALSE(exists("out.csv"));
}

// A byte that is no text, or a mark that turns the text's direction, is shown as its value.
// (Wine turns a byte that is no UTF-8 into '?' before the program sees it.)
TEST_F(OutputSafety, ShowsTheBytesOfAPathThatDoNotPrintEscaped) {
  const Outcome result = run({"-q", "-g", "log\x9B.csv", "-s", "\xE2\x80\xAEvsc.csv", "out.csv"});
  EXPECT_EQ(result.status, -3);
  const std::string missing = ": cannot read: No such file or directory\n";
  EXPECT_NE(result.err.find("tradepl: \\xE2\\x80\\xAEvsc.csv" + missing), std::string::npos)
      << result.err;
  if (kUnderWine) return;
  EXPECT_NE(result.err.find("tradepl: log\\x9B.csv" + missing), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find('\x9B'), std::string::npos);
}

// Windows writes to the device of such a name in any folder, with any extension: nothing
// would be made. NUL alone is the way to discard the results.
TEST_F(OutputSafety, RefusesAWindowsDeviceNameAsAnOutput) {
  if (!kUnderWine) GTEST_SKIP() << "Windows device names";
  for (const std::string name : {"aux.csv", "nul.csv", "COM1", "lpt9.txt", "sub/con.csv"}) {
    const Outcome result = run({"-q", "-g", "spot.csv", name});
    EXPECT_EQ(result.status, -4) << name;
    EXPECT_TRUE(result.err.starts_with("tradepl: " + name +
                                       ": cannot write: a name Windows keeps for a device"))
        << result.err;
  }
  const Outcome result = run({"-q", "-g", "spot.csv", "--report", "prn.csv", "out.csv"});
  EXPECT_EQ(result.status, -4);
  EXPECT_FALSE(exists("out.csv"));
  EXPECT_EQ(run({"-q", "-g", "spot.csv", "NUL"}).status, 0);
  EXPECT_EQ(filesInWork(), std::vector<std::string>{"spot.csv"});
}

}  // namespace
}  // namespace tradepl
