// End to end: logs from pipes and terminals, dates the calendar lacks, text that would
// command a terminal, and a summary of many accounts.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "harness.hpp"

namespace tradepl {
namespace {

using namespace testing;

const std::string& kToyota = kToyotaName;

TEST_F(Tradepl, ReadsANewestFirstLogFromAPipeAFifoOrStandardInput) {
  if (kUnderWine) GTEST_SKIP() << "Windows has no /dev/fd, no FIFO, no process substitution";
  write("newest.csv", spotLog({on("2024/03/07 10:00", spotSell("7203", "150", "1200")),
                               on("2024/03/06 10:00", spotBuy("7203", "100", "1100")),
                               on("2024/03/05 10:00", spotBuy("7203", "100", "1000"))}));
  const std::string tradepl = commandLine({"-q", "-g"});
  EXPECT_EQ(shell("bash -c " + quote(tradepl + " <(cat newest.csv) pipe.csv")), 0);
  EXPECT_EQ(shell("cat newest.csv | " + tradepl + " /dev/stdin stdin.csv 2>/dev/null"), 0);
  EXPECT_EQ(shell("mkfifo fifo && { cat newest.csv >fifo & } && " + tradepl +
                  " fifo fifo.csv 2>/dev/null; status=$?; wait; exit $status"),
            0);
  const std::string expected =
      kResultHeading + "2024,3,7,7203," + kToyota + ",150,1200,1050.00,300,24,22176\n";
  for (const char* output : {"pipe.csv", "stdin.csv", "fifo.csv"}) {
    EXPECT_EQ(written(output), expected) << output;
  }
}

TEST_F(Tradepl, LeavesNothingBehindWhenInterruptedWhileAnUnendingLogIsRead) {
  if (kUnderWine) GTEST_SKIP() << "a Unix terminal";
  // The margin log is a terminal (script's), fed more than a block and then held open: it
  // is read as it comes, so the run waits in the middle, its new result file begun.
  std::string margin = "heading\n";
  for (int i = 0; i < 3000; ++i) margin += MarginTrade{}.line() + "\n";
  write("margin-lines.csv", margin);
  write("spot.csv", spotLog({spotBuy("7203", "100", "1000")}));
  write("out.csv", "the old results");
  const int status = shell(
      "mkfifo feed && { (cat margin-lines.csv; exec sleep 30) >feed & } && feeder=$! && "
      "{ script -qec " +
      quote("stty raw -echo; echo $$ >run.pid; exec env " +
            commandLine({"-g", "spot.csv", "-s", "/dev/stdin", "out.csv"}) + " 2>/dev/null") +
      " /dev/null <feed >/dev/null 2>&1 & } && session=$!; sleep 3; "
      // The files the run holds open: in the work folder, the spot log and the result file
      // it has begun.
      "for fd in /proc/$(cat run.pid)/fd/*; do readlink $fd; done >open; "
      "kill -TERM $(cat run.pid); wait $session; status=$?; kill $feeder; exit $status");
  EXPECT_EQ(status, 128 + 15);
  std::istringstream open(read("open"));
  bool begun = false;
  for (std::string file; std::getline(open, file);) {
    begun = begun || (file.find("/work/") != std::string::npos && !file.ends_with("/spot.csv"));
  }
  EXPECT_TRUE(begun) << read("open");
  EXPECT_EQ(read("out.csv"), "the old results");
  EXPECT_EQ(filesInWork(), (std::vector<std::string>{"feed", "margin-lines.csv", "open", "out.csv",
                                                     "run.pid", "spot.csv"}));
}

TEST_F(Tradepl, OrdersByCalendarDatesOnlyAndWritesOtherDatesAsTheyAre) {
  // One purchase mistyped 2004 for 2024 in the last row does not turn the log around.
  write("spot.csv", spotLog({on("2024/03/05 10:00", spotBuy("7203", "100", "1000", "0", "0")),
                             on("2024/03/05 11:00", spotBuy("7203", "100", "1000", "0", "0")),
                             on("2024/13/45 10:00", spotSell("7203", "10", "1200", "0", "0")),
                             on("2024/03/06 10:00", spotSell("7203", "10", "1200", "0", "0")),
                             on("2004/03/07 10:00", spotBuy("7203", "100", "1000", "0", "0"))}));
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "tradepl: spot.csv:4: execution date 2024/13/45 10:00 is not a calendar date: its "
            "result shows the date as written, but the date places the trade in no order and "
            "applies no split\n"
            "tradepl: spot.csv:6: executed before the trade read just before it: the log is not "
            "in date order, and holdings follow the order of its lines\n");
  EXPECT_EQ(written("out.csv"), kResultHeading + "2024,13,45,7203," + kToyota +
                                    ",10,1200,1000.00,0,0,2000\n2024,3,6,7203," + kToyota +
                                    ",10,1200,1000.00,0,0,2000\n");
}

TEST_F(Tradepl, ShowsControlBytesOfALogAsQuestionMarks) {
  SpotTrade sale = spotSell("7203", "100", "1200");
  sale.account = "\x1B]0;owned\x07\x1B[2J\r\x7F";
  write("spot.csv", spotLog({sale}));
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "tradepl: spot.csv:2: sale of 7203 (?]0;owned?"
            "?[2J?"
            "?) without a holding bought earlier in the logs: no result\n");
}

TEST_F(Tradepl, SummarizesTwentyAccountsOfAYearAndKindThenTheRestInOneLine) {
  std::vector<SpotTrade> trades;
  for (int account = 1; account <= 23; ++account) {
    SpotTrade buy = spotBuy("7203", "100", "1000", "0", "0");
    buy.account = "A" + std::string(account < 10 ? "0" : "") + std::to_string(account);
    SpotTrade sale = spotSell("7203", "100", "1100", "0", "0");
    sale.account = buy.account;
    trades.insert(trades.end(), {buy, sale});
  }
  write("spot.csv", spotLog(trades));
  const Outcome result = run({"-g", "spot.csv", "--report", "report.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  const std::string& err = result.err;
  EXPECT_NE(err.find("    2024  spot   A20                    taxable        1    110,000    "
                     "100,000         0        10,000\n"
                     "    2024  spot   … and 3 more accounts                 3    330,000    "
                     "300,000         0        30,000\n"
                     "    2024  total                         taxable       23  2,530,000  "
                     "2,300,000         0       230,000\n"),
            std::string::npos)
      << err;
  EXPECT_EQ(err.find("A21"), std::string::npos);
  const std::string report = written("report.csv");
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1 + 23 + 1);
  EXPECT_NE(report.find(",A23,"), std::string::npos);
}

}  // namespace
}  // namespace tradepl
