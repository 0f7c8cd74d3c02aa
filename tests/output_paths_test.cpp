// End to end: the output path as the system keeps it. Devices, pipes and open streams by
// any name are written in place; a link stays a link; a replaced file keeps its mode; a
// file the user may not write, and any path named as a log, is never replaced; an
// interrupted run leaves nothing behind.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>
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
    letAnyoneRead({"spot.csv"});
  }
  // The command that runs what follows as a user without root's rights: nobody, for root.
  static std::string asUser() { return geteuid() == 0 && !kUnderWine ? kAsNobody : ""; }
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

// Under Wine too: the Windows build sees the links as Wine shows them.
TEST_F(OutputPaths, ReplacesTheFileALinkPointsToAndKeepsTheLink) {
  fs::create_directories(path("results"));
  write("results/2024.csv", "the old results");
  fs::create_symlink("results/2024.csv", path("latest.csv"));
  fs::create_symlink("results/2025.csv", path("next.csv"));  // leads nowhere yet
  EXPECT_EQ(run({"-g", "spot.csv", "latest.csv"}).status, 0);
  EXPECT_EQ(run({"-g", "spot.csv", "next.csv"}).status, 0);
  EXPECT_TRUE(S_ISLNK(modeOf("latest.csv")));
  EXPECT_TRUE(S_ISLNK(modeOf("next.csv")));
  EXPECT_EQ(written("results/2024.csv"), kResult);
  EXPECT_EQ(written("results/2025.csv"), kResult);
  EXPECT_EQ(filesInWork(),
            (std::vector<std::string>{"latest.csv", "next.csv", "results", "spot.csv"}));
}

// A file another program holds open without letting others write it, as Excel holds a CSV
// file it shows (Windows): the run says so and leaves the folder as it was.
TEST_F(OutputPaths, SaysWhenAnotherProgramHoldsTheResultFile) {
  const char* holder = std::getenv("TRADEPL_HOLD_FILE");
  if (!kUnderWine || holder == nullptr) GTEST_SKIP() << "Windows sharing, with its helper";
  write("out.csv", "the old results");
  ASSERT_EQ(mkfifo(path("to-holder").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(path("from-holder").c_str(), 0600), 0);
  const auto runHeld = [&](const std::string& locale, const std::string& held = "out.csv",
                           const std::vector<std::string>& report = {}) {
    std::vector<std::string> arguments = {"-q", "-g", "spot.csv"};
    arguments.insert(arguments.end(), report.begin(), report.end());
    arguments.push_back("out.csv");
    EXPECT_EQ(shell(kRunner + " " + quote(holder) + " " + held +
                    " <to-holder >from-holder & exec 3>to-holder 4<from-holder; read held <&4; " +
                    commandLine(arguments, {locale, ""}) +
                    " 2>err.txt; status=$?; exec 3>&- 4<&-; wait; exit $status"),
              252);
    const std::string said = fromConsole(withLfLineEnds(read("err.txt")));
    fs::remove(path("err.txt"));
    return said;
  };
  EXPECT_EQ(runHeld(kEnglish),
            "tradepl: out.csv: cannot write: the result file is open in another program (such as "
            "Excel). Close it and run tradepl again.\n");
  EXPECT_EQ(runHeld(kJapanese),
            "tradepl: out.csv: 書き出せません: 結果ファイルが他のプログラム（Excel など）で開かれて"
            "います。閉じてから、もう一度実行してください。\n");
  // The report held: named as the report, and the result file stays as it was too.
  write("report.csv", "the old report");
  EXPECT_EQ(runHeld(kEnglish, "report.csv", {"--report", "report.csv"}),
            "tradepl: report.csv: cannot write: the report is open in another program (such as "
            "Excel). Close it and run tradepl again.\n");
  EXPECT_EQ(read("out.csv"), "the old results");
  EXPECT_EQ(read("report.csv"), "the old report");
  EXPECT_EQ(filesInWork(), (std::vector<std::string>{"from-holder", "out.csv", "report.csv",
                                                     "spot.csv", "to-holder"}));
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
  const Outcome result = run({"-q", "-g", "spot.csv", "kept.csv"}, {kEnglish + asUser(), ""});
  EXPECT_EQ(result.status, -4);
  EXPECT_EQ(result.err,
            "tradepl: kept.csv: cannot write: the file is read-only, or you may not write to it\n");
  EXPECT_EQ(read("kept.csv"), "the old results");
}

// Who may write a file is the system's rule for the user who runs tradepl, as the shell's >
// finds it, not the owner's write bit. Root runs the cases of an ordinary user as nobody.
TEST_F(OutputPaths, ReplacesOnlyWhatTheUserMayWriteAndWritesInPlaceWhereTheFolderSaysNo) {
  if (kUnderWine) GTEST_SKIP() << "Unix permissions";
  const bool root = geteuid() == 0;
  if (root) {
    // Root may write a file nobody else may: it is replaced, its mode kept.
    write("root.csv", "the old results");
    fs::permissions(path("root.csv"), fs::perms::owner_read);
    EXPECT_EQ(run({"-q", "-g", "spot.csv", "root.csv"}).status, 0);
    EXPECT_EQ(read("root.csv"), kResult);
    EXPECT_EQ(modeOf("root.csv") & 07777, 0400u);
  }
  // A file the user may write in a folder that takes no new file from them.
  fs::create_directories(path("locked"));
  write("locked/out.csv", "the old results, longer than the new ones" + std::string(400, '.'));
  fs::permissions(path("locked/out.csv"), fs::perms::all & ~fs::perms::others_exec &
                                              ~fs::perms::group_exec & ~fs::perms::owner_exec);
  fs::permissions(path("locked"), fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
  const std::string inPlace =
      ": written over in place: the folder does not let the file be replaced all at once, so a "
      "run stopped while it writes leaves the file incomplete\n";
  Outcome result = run({"-q", "-g", "spot.csv", "locked/out.csv"}, {kEnglish + asUser(), ""});
  fs::permissions(path("locked"), fs::perms::owner_all);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "tradepl: locked/out.csv" + inPlace);
  EXPECT_EQ(read("locked/out.csv"), kResult);
  EXPECT_EQ(modeOf("locked/out.csv") & 07777, 0666u);
  if (!root) return;  // the rest needs files of another user

  // Root's file in a folder anyone may write: a rename could replace it, but the user may
  // not write it.
  fs::create_directories(path("shared"));
  fs::permissions(path("shared"), fs::perms::all);
  write("shared/root.csv", "the old results");
  result = run({"-q", "-g", "spot.csv", "shared/root.csv"}, {kEnglish + asUser(), ""});
  EXPECT_EQ(result.status, -4);
  EXPECT_EQ(result.err,
            "tradepl: shared/root.csv: cannot write: the file is read-only, or you may not write "
            "to it\n");
  EXPECT_EQ(read("shared/root.csv"), "the old results");
  // Root's file anyone may write, in a folder with the sticky bit (/tmp): no other user may
  // rename over it, but the shell's > writes it.
  fs::permissions(path("shared"), fs::perms::all | fs::perms::sticky_bit);
  fs::permissions(path("shared/root.csv"), fs::perms::owner_read | fs::perms::owner_write |
                                               fs::perms::group_read | fs::perms::group_write |
                                               fs::perms::others_read | fs::perms::others_write);
  result = run({"-q", "-g", "spot.csv", "shared/root.csv"}, {kEnglish + asUser(), ""});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "tradepl: shared/root.csv" + inPlace);
  EXPECT_EQ(read("shared/root.csv"), kResult);
  EXPECT_EQ(fs::directory_iterator(path("shared"))->path().filename(), "root.csv");
  EXPECT_EQ(std::distance(fs::directory_iterator(path("shared")), fs::directory_iterator()), 1);
}

// And in a folder whose path is longer than Windows's old limit of 260 characters.
TEST_F(OutputPaths, WritesAFileWhoseNameIsAsLongAsTheSystemAllows) {
  const std::string name = std::string(251, 'r') + ".csv";
  EXPECT_EQ(run({"-g", "spot.csv", name}).status, 0);
  EXPECT_EQ(written(name), kResult);
  EXPECT_EQ(filesInWork(), (std::vector<std::string>{name, "spot.csv"}));

  const std::string deep = std::string(200, 'd') + "/" + std::string(200, 'e') + "/" + name;
  fs::create_directories(path(deep).parent_path());
  EXPECT_EQ(run({"-g", "spot.csv", deep}).status, 0);
  EXPECT_EQ(written(deep), kResult);
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

  // Nor into a log that is the standard output, by any of its names, not even the usage text.
  const std::string log = read("spot.csv");
  for (const std::string name : {"-", "/dev/stdout"}) {
    if (name != "-" && kUnderWine) continue;
    EXPECT_EQ(shell(commandLine({"-q", "-g", "spot.csv", name}) + " >>spot.csv 2>err.txt"), 254);
    EXPECT_EQ(read("spot.csv"), log) << name;
    EXPECT_EQ(fromConsole(withLfLineEnds(read("err.txt"))),
              "tradepl: the output path " + name + " names an input log\n");
  }
}

// A name of an open stream is written through the stream, as "-" is: a file behind it keeps
// what was written to it before and after the run.
TEST_F(OutputPaths, WritesAnOpenStreamByAnyOfItsNames) {
  if (kUnderWine) GTEST_SKIP() << "Unix names of the standard streams";
  fs::create_symlink("/dev/stdout", path("to-stdout.csv"));
  for (const std::string name :
       {"-", "/dev/stdout", "/dev/fd/1", "/proc/self/fd/1", "to-stdout.csv"}) {
    write("appended.txt", "earlier line\n");
    EXPECT_EQ(shell(commandLine({"-q", "-g", "spot.csv", name}) + " >>appended.txt"), 0) << name;
    EXPECT_EQ(read("appended.txt"), "earlier line\n" + kResult) << name;
    EXPECT_EQ(shell("{ echo HEADER; " + commandLine({"-q", "-g", "spot.csv", name}) +
                    "; echo FOOTER; } >group.txt"),
              0)
        << name;
    EXPECT_EQ(read("group.txt"), "HEADER\n" + kResult + "FOOTER\n") << name;
  }
  write("appended.txt", "earlier line\n");
  EXPECT_EQ(shell(commandLine({"-q", "-g", "spot.csv", "/dev/stderr"}) + " 2>>appended.txt"), 0);
  EXPECT_EQ(shell(commandLine({"-q", "-g", "spot.csv", "/dev/fd/3"}) + " 3>>appended.txt"), 0);
  EXPECT_EQ(read("appended.txt"), "earlier line\n" + kResult + kResult);
}

// A stream that was closed is never said to be written.
TEST_F(OutputPaths, RefusesAClosedStream) {
  const std::vector<std::string> names =
      kUnderWine ? std::vector<std::string>{"-"}
                 : std::vector<std::string>{"-", "/dev/stdout", "/dev/fd/1", "/dev/fd/7",
                                            "/dev/fd/3"};  // 3: the log, once it is open
  for (const std::string& name : names) {
    const Outcome result = run({"-g", "spot.csv", name}, {kEnglish, ">&- 3>&-"});
    EXPECT_EQ(result.status, -4) << name;
    // Wine hands the Windows build a handle that fails when written.
    const std::string why = kUnderWine ? "write error: Input/output error"
                                       : "the descriptor was closed when tradepl started";
    EXPECT_TRUE(result.err.starts_with("tradepl: " + name + ": cannot write: " + why + "\n"))
        << result.err;
    EXPECT_NE(result.err.find("no results written"), std::string::npos) << result.err;
  }
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
