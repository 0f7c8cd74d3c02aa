// End to end: the built tradepl on small Shift_JIS logs written by each test, its result
// file compared byte for byte, with its exit status and its messages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.hpp"

namespace tradepl {
namespace {

using namespace testing;
using testing::MarginTrade;
using testing::SpotTrade;

const std::string& kToyota = kToyotaName;

TEST_F(Tradepl, ChargesBothPurchasesToTheSaleOfTheWorkedExample) {
  write("spot.csv", spotLog({spotBuy("7203", "100", "1000"), spotBuy("7203", "100", "1100"),
                             spotSell("7203", "150", "1200")}));
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(written("out.csv"),
            kResultHeading + "2024,3,5,7203," + kToyota + ",150,1200,1050.00,300,24,22176\n");
}

TEST_F(Tradepl, WritesSpotResultsBeforeMarginResults) {
  MarginTrade closing;
  closing.date = "2024/01/02 09:00";
  closing.interest = "-1280";
  closing.managementFee = "220";
  closing.settlementAmount = "-91370";
  MarginTrade opening = closing;
  opening.tradeType = std::string(sjis::kMarginOpening);
  write("margin.csv", "heading\n" + opening.line() + "\r\n" + closing.line() + "\r\n");
  write("spot.csv", spotLog({spotBuy("130A", "300", "1207"), spotSell("130A", "100", "1185.5")}));
  const Outcome result = run({"-q", "-g", "spot.csv", "-s", "margin.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(written("out.csv"), kResultHeading + "2024,3,5,130A," + kToyota +
                                    ",100,1185.5,1207.00,200,16,-2366\n"
                                    "2024,1,2,9984,SBG,200,7690,7250.00,1500,0,-91370\n");
}

TEST_F(Tradepl, ReadsQuotedAmountsAndKeepsEveryOutputLineAtElevenColumns) {
  SpotTrade buy = spotBuy("6758", "\"1,000\"", "\"1,330\"");
  buy.name = "\"Sony, \"\"G\"\"\"";
  SpotTrade sell = spotSell("6758", "\"1,000\"", "\"1,285.5\"");
  sell.name = buy.name;
  sell.settlementAmount = "\"1,284,450\"";
  write("spot.csv", spotLog({buy, sell}));
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(
      written("out.csv"),
      kResultHeading + "2024,3,5,6758,\"Sony, \"\"G\"\"\",1000,1285.5,1330.00,200,16,-44716\n");
}

TEST_F(Tradepl, ReadsCrLfLogsAsLfLogs) {
  const std::string log =
      spotLog({spotBuy("7203", "100", "1000"), spotSell("7203", "100", "1200")});
  std::string crlf;
  for (const char c : log) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  write("lf.csv", log);
  write("crlf.csv", crlf);
  EXPECT_EQ(run({"-q", "-g", "lf.csv", "lf-out.csv"}).status, 0);
  EXPECT_EQ(run({"-q", "-g", "crlf.csv", "crlf-out.csv"}).status, 0);
  EXPECT_EQ(read("lf-out.csv"), read("crlf-out.csv"));
  EXPECT_EQ(written("lf-out.csv"),
            kResultHeading + "2024,3,5,7203," + kToyota + ",100,1200,1000.00,200,16,19784\n");
}

TEST_F(Tradepl, ReadsLinesLongerThanAKilobyteWhole) {
  SpotTrade buy = spotBuy("7203", "100", "1000");
  buy.name = std::string(3000, 'N');
  SpotTrade sell = spotSell("7203", "100", "1200");
  sell.name = buy.name;
  write("spot.csv", spotLog({buy, sell}));
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(written("out.csv"),
            kResultHeading + "2024,3,5,7203," + buy.name + ",100,1200,1000.00,200,16,19784\n");
}

TEST_F(Tradepl, ReportsEverySkippedLineAndCarriesOn) {
  SpotTrade badPrice = spotBuy("7203", "100", "10.5x");
  write("spot.csv",
        lines({"heading", spotBuy("7203", "100", "1000").line(), "", badPrice.line(), "7203,oops",
               spotSell("7203", "100", "1100").line(), spotSell("9999", "1", "1").line()}));
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "tradepl: spot.csv:4: skipped: column 10 (unit price): not a number\n"
            "tradepl: spot.csv:5: skipped: 2 columns, 14 expected\n"
            "tradepl: spot.csv:7: sale of 9999 (" +
                kTokuteiInUtf8 + ") without a holding bought earlier in the logs: no result\n");
  EXPECT_EQ(written("out.csv"),
            kResultHeading + "2024,3,5,7203," + kToyota + ",100,1100,1000.00,200,16,9784\n");
}

// Another broker's 買付 and 売付 read as 買 and 売, byte for byte; a side that is neither, and
// a row moved by an amount saved without its quotes, are said and left out.
TEST_F(Tradepl, ReadsSidesByTheirFirstCharacterAndSkipsShiftedRows) {
  SpotTrade buy = spotBuy("7203", "100", "1000");
  SpotTrade sell = spotSell("7203", "100", "1200");
  write("short.csv", spotLog({buy, sell}));
  ASSERT_EQ(run({"-q", "-g", "short.csv", "short-out.csv"}).status, 0);

  buy.side += "\x95\x74";  // 付
  sell.side += "\x95\x74";
  SpotTrade transfer = spotBuy("7203", "100", "1");
  transfer.side = "\x93\xFC\x8C\xC9";  // 入庫
  const SpotTrade shifted = spotSell("7203", "50", "2,650");
  write("long.csv", spotLog({buy, transfer, shifted, sell}));
  const Outcome result = run({"-q", "-g", "long.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "tradepl: long.csv:3: skipped: column 6 (side) is neither a purchase (買) nor a sale "
            "(売)\n"
            "tradepl: long.csv:4: skipped: more columns than a spot log has, and column 14 "
            "(受領日) is not a date: an amount with a thousands separator but no quotes?\n");
  EXPECT_EQ(read("out.csv"), read("short-out.csv"));
  EXPECT_EQ(written("out.csv"),
            kResultHeading + "2024,3,5,7203," + kToyota + ",100,1200,1000.00,200,16,19784\n");
}

TEST_F(Tradepl, WarnsOfAnOversellAndClosesTheHolding) {
  write("spot.csv", spotLog({spotBuy("7203", "100", "1000"), spotSell("7203", "300", "1100"),
                             spotSell("7203", "1", "1100")}));
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "tradepl: spot.csv:3: sale of 7203 (" + kTokuteiInUtf8 +
                            ") is larger than the 100 shares held: result written, holding closed\n"
                            "tradepl: spot.csv:4: sale of 7203 (" +
                            kTokuteiInUtf8 +
                            ") without a holding bought earlier in the logs: no result\n");
  EXPECT_EQ(written("out.csv"),
            kResultHeading + "2024,3,5,7203," + kToyota + ",300,1100,1000.00,200,16,29784\n");
}

TEST_F(Tradepl, WritesAnEmptyColumnForADatePartThatDoesNotRead) {
  SpotTrade buy = spotBuy("7203", "100", "1000");
  SpotTrade first = spotSell("7203", "10", "1000", "0", "0");
  first.date = "2024/7";
  SpotTrade second = spotSell("7203", "10", "1000", "0", "0");
  second.date = "R6.7.1";
  write("spot.csv", spotLog({buy, first, second}));
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "tradepl: spot.csv:3: execution date 2024/7 does not read as year/month/day: its "
            "result is written with empty date columns\n"
            "tradepl: spot.csv:4: execution date R6.7.1 does not read as year/month/day: its "
            "result is written with empty date columns\n");
  EXPECT_EQ(written("out.csv"), kResultHeading + "2024,7,,7203," + kToyota +
                                    ",10,1000,1000.00,100,8,-108\n,,,7203," + kToyota +
                                    ",10,1000,1000.00,0,0,0\n");
}

TEST_F(Tradepl, KeepsEachAccountsHoldingsApart) {
  SpotTrade nisaBuy = spotBuy("7203", "100", "2000", "0", "0");
  nisaBuy.account = "NISA";
  SpotTrade nisaSale = spotSell("7203", "100", "2500", "0", "0");
  nisaSale.account = "NISA";
  SpotTrade secondNisaSale = nisaSale;
  secondNisaSale.quantity = "10";
  write("spot.csv", spotLog({spotBuy("7203", "100", "1000"), nisaBuy, nisaSale,
                             spotSell("7203", "100", "1500"), secondNisaSale}));
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "tradepl: spot.csv:6: sale of 7203 (NISA) without a holding bought earlier in the "
            "logs: no result\n");
  EXPECT_EQ(written("out.csv"), kResultHeading + "2024,3,5,7203," + kToyota +
                                    ",100,2500,2000.00,0,0,50000\n2024,3,5,7203," + kToyota +
                                    ",100,1500,1000.00,200,16,49784\n");
}

TEST_F(Tradepl, ReadsANewestFirstLogFromItsLastLineUp) {
  write("spot.csv", spotLog({on("2024/03/07 10:00", spotSell("7203", "150", "1200")),
                             on("2024/03/06 10:00", spotBuy("7203", "100", "1100")),
                             on("2024/03/05 10:00", spotBuy("7203", "100", "1000"))}));
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "tradepl: spot.csv: newest first: read from the last line up\n");
  EXPECT_EQ(written("out.csv"),
            kResultHeading + "2024,3,7,7203," + kToyota + ",150,1200,1050.00,300,24,22176\n");
}

TEST_F(Tradepl, WarnsOnceOfALogOutOfDateOrder) {
  write("spot.csv", spotLog({on("2024/03/05 10:00", spotBuy("7203", "100", "1000")),
                             on("2024/03/07", spotSell("7203", "50", "1200")),
                             on("2024/03/06 10:00", spotSell("7203", "10", "1200")),
                             on("2024/03/05 09:00", spotSell("7203", "10", "1200")),
                             on("2024/03/08 10:00", spotSell("7203", "10", "1200"))}));
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "tradepl: spot.csv:4: executed before the trade read just before it: the log is not "
            "in date order, and holdings follow the order of its lines\n");
}

TEST_F(Tradepl, RefusesALogThatIsNoCsvText) {
  using namespace std::string_literals;
  for (const auto& [log, message] : std::vector<std::pair<std::string, std::string>>{
           {"\xFF\xFE"
            "2\0000\0002\0004\0\x00\xDC"s,  // a lone low surrogate
            "starts as UTF-16 text but does not decode as UTF-16: open it in Excel and save it as "
            "CSV (comma separated)"},
           {"PK\x03\x04\x14\0\x06\0"s,
            "an Excel workbook, not a CSV file: open it in Excel and save it as CSV (comma "
            "separated)"},
           {"2024/03/05,\0\x01\x02"s, "not a CSV text file (it holds NUL bytes)"}}) {
    write("spot.csv", log);
    const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
    EXPECT_EQ(result.status, -3) << message;
    EXPECT_EQ(result.err, "tradepl: spot.csv: " + message +
                              "\ntradepl: out.csv: not written: no log could be read\n");
  }
  EXPECT_FALSE(exists("out.csv"));
}

// A log saved again by a spreadsheet, or named with the wrong option, gives the results the
// broker's own log gives, and a note.
TEST_F(Tradepl, ReadsALogAsWhatItIs) {
  const std::string spot =
      spotLog({spotBuy("7203", "100", "1000"), spotSell("7203", "100", "1200")});
  const std::string margin = "heading\n" + MarginTrade{}.line() + "\n";
  write("spot-sjis.csv", spot);
  write("margin.csv", margin);
  ASSERT_EQ(run({"-q", "-g", "spot-sjis.csv", "-s", "margin.csv", "expected.csv"}).status, 0);
  const std::string expected = written("expected.csv");
  const std::string inUtf8 = toUtf8(spot, "CP932");
  struct Case {
    std::string log;
    std::vector<std::string> options;
    std::string note;
  };
  for (const Case& each : std::vector<Case>{
           {"\xEF\xBB\xBF" + inUtf8,
            {"-g", "spot.csv", "-s", "margin.csv"},
            "spot.csv: saved as UTF-8: converted to Shift_JIS as it was read"},
           {inUtf8,
            {"-g", "spot.csv", "-s", "margin.csv"},
            "spot.csv: saved as UTF-8: converted to Shift_JIS as it was read"},
           {"\xFF\xFE" + recode(spot, "CP932", "UTF-16LE"),
            {"-g", "spot.csv", "-s", "margin.csv"},
            "spot.csv: saved as UTF-16: converted to Shift_JIS as it was read"},
           {"\xFE\xFF" + recode(spot, "CP932", "UTF-16BE"),
            {"-g", "spot.csv", "-s", "margin.csv"},
            "spot.csv: saved as UTF-16: converted to Shift_JIS as it was read"},
           {spot,
            {"-g", "margin.csv", "-s", "spot.csv"},
            "margin.csv: a margin log (24 columns), though named with -g: taken as one\n"
            "tradepl: spot.csv: a spot log (14 columns), though named with -s: taken as one"},
       }) {
    write("spot.csv", each.log);
    std::vector<std::string> arguments = {"-q"};
    arguments.insert(arguments.end(), each.options.begin(), each.options.end());
    arguments.push_back("out.csv");
    const Outcome result = run(arguments);
    EXPECT_EQ(result.status, 0) << each.note;
    EXPECT_EQ(result.err, "tradepl: " + each.note + "\n");
    EXPECT_EQ(written("out.csv"), expected) << each.note;
  }

  const Outcome twice = run({"-q", "-g", "spot.csv", "-s", "./spot.csv", "out.csv"});
  EXPECT_EQ(twice.status, 0);
  EXPECT_EQ(twice.err, "tradepl: ./spot.csv: named with both -g and -s: read once\n");
}

TEST_F(Tradepl, SkipsALineOfAUtf8LogThatDoesNotConvert) {
  const std::string row = toUtf8(SpotTrade{}.line(), "CP932");
  write("spot.csv", "\xEF\xBB\xBF" + row + "\n" + row + "\xF0\x9F\x98\x80\n" + row + "\xFF\n");
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "tradepl: spot.csv: saved as UTF-8: converted to Shift_JIS as it was read\n"
            "tradepl: spot.csv:2: skipped: holds a character Shift_JIS lacks (an emoji, a rare "
            "kanji)\n"
            "tradepl: spot.csv:3: skipped: not UTF-8, unlike the rest of the log\n");
}

// A UTF-8 log without a byte-order mark stays UTF-8 with a row pasted in from a Shift_JIS
// file in it: that row is skipped, not the others.
TEST_F(Tradepl, ReadsAUtf8LogWithAShiftJisRowInIt) {
  const std::string pasted = spotBuy("6758", "1", "1").line() + "\n";
  write("spot.csv", toUtf8(spotLog({spotBuy("7203", "100", "1000")}), "CP932") + pasted +
                        toUtf8(spotSell("7203", "100", "1200").line() + "\n", "CP932"));
  const Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "tradepl: spot.csv: saved as UTF-8: converted to Shift_JIS as it was read\n"
            "tradepl: spot.csv:3: skipped: not UTF-8, unlike the rest of the log\n");
  EXPECT_EQ(written("out.csv"),
            kResultHeading + "2024,3,5,7203," + kToyota + ",100,1200,1000.00,200,16,19784\n");
}

TEST_F(Tradepl, SaysSoWhenALogHasNothingToUseOrTooMuchToList) {
  SpotTrade margin;
  margin.tradeType = std::string(sjis::kMarginOpening);
  write("spot.csv", spotLog({margin, margin}));
  Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err,
            "tradepl: spot.csv: no spot trades (\xE7\x8F\xBE\xE7\x89\xA9) in this log\n");
  EXPECT_EQ(written("out.csv"), kResultHeading);

  std::string log = spotLog({spotBuy("7203", "100", "1000")});
  for (int i = 0; i < 1025; ++i) log += "7203,oops\n";
  write("spot.csv", log);
  result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, 0);
  std::string expected;
  for (int line = 3; line < 23; ++line) {
    expected += "tradepl: spot.csv:" + std::to_string(line) + ": skipped: 2 columns, 14 expected\n";
  }
  EXPECT_EQ(result.err, expected + "tradepl: spot.csv: 1,005 more lines skipped\n");
}

TEST_F(Tradepl, PrintsTheUsageForNoArguments) {
  const Outcome result = run({});
  EXPECT_EQ(result.status, -1);
  EXPECT_EQ(result.out, kUsage);
  EXPECT_EQ(result.err, "");
}

TEST_F(Tradepl, RefusesACommandLineWithoutAnInputLog) {
  const Outcome result = run({"-q", "out.csv"});
  EXPECT_EQ(result.status, -2);
  EXPECT_EQ(result.out, kUsage);
  EXPECT_EQ(result.err, "tradepl: no input log: name a spot log with -g or a margin log with -s\n");
  EXPECT_FALSE(exists("out.csv"));
}

TEST_F(Tradepl, RefusesAnOptionWithoutItsPathAndAMissingOutput) {
  write("a.csv", spotLog({}));
  Outcome result = run({"-q", "-g", "a.csv", "out.csv", "-s"});
  EXPECT_EQ(result.status, -2);
  EXPECT_EQ(result.err, "tradepl: -s needs a path after it\n");
  result = run({"-q", "-g", "a.csv"});
  EXPECT_EQ(result.status, -2);
  EXPECT_EQ(result.err, "tradepl: no output path\n");
  EXPECT_EQ(filesInWork(), std::vector<std::string>{"a.csv"});
}

TEST_F(Tradepl, NeverWritesOverAnInputLog) {
  const std::string log = spotLog({spotBuy("7203", "100", "1000")});
  write("a.csv", log);
  EXPECT_EQ(run({"-q", "-g", "a.csv", "a.csv"}).status, -2);
  const Outcome result = run({"-q", "-s", "a.csv", "./a.csv"});
  EXPECT_EQ(result.status, -2);
  EXPECT_EQ(result.out, kUsage);
  EXPECT_EQ(result.err, "tradepl: the output path ./a.csv names an input log\n");
  EXPECT_EQ(read("a.csv"), log);
  EXPECT_EQ(filesInWork(), std::vector<std::string>{"a.csv"});
}

TEST_F(Tradepl, LeavesTheOutputAloneWhenNoLogCanBeRead) {
  write("out.csv", "the old results");
  Outcome result = run({"-q", "out.csv", "-g", "missing.csv"});
  EXPECT_EQ(result.status, -3);
  EXPECT_EQ(result.err,
            "tradepl: missing.csv: cannot read: No such file or directory\n"
            "tradepl: out.csv: not written: no log could be read\n");
  EXPECT_EQ(read("out.csv"), "the old results");

  result = run({"-q", "-g", "", "out2.csv"});
  EXPECT_EQ(result.status, -3);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "tradepl: '': cannot read: empty path\n"
            "tradepl: out2.csv: not written: no log could be read\n");

  // The token after -g is its path, even "-s"; b.csv is then an output candidate.
  write("b.csv", spotLog({}));
  result = run({"-q", "-g", "-s", "b.csv", "out3.csv"});
  EXPECT_EQ(result.status, -3);
  EXPECT_EQ(result.err,
            "tradepl: -s: cannot read: No such file or directory\n"
            "tradepl: out3.csv: not written: no log could be read\n");
  EXPECT_EQ(read("b.csv"), spotLog({}));
  EXPECT_EQ(filesInWork(), (std::vector<std::string>{"b.csv", "out.csv"}));
}

TEST_F(Tradepl, ReadsTheOtherLogWhenOneCannotBeRead) {
  write("spot.csv", spotLog({spotBuy("7203", "100", "1000"), spotSell("7203", "100", "1200")}));
  const Outcome result = run({"-q", "-g", "spot.csv", "-s", ".", "out.csv"});
  EXPECT_EQ(result.status, -3);
  EXPECT_EQ(result.err, "tradepl: .: cannot read: is a directory\n");
  EXPECT_EQ(written("out.csv"),
            kResultHeading + "2024,3,5,7203," + kToyota + ",100,1200,1000.00,200,16,19784\n");
}

TEST_F(Tradepl, LeavesTheOldOutputWhenTheNewCannotBeWritten) {
  write("spot.csv", spotLog({}));
  fs::create_directories(path("out.csv"));
  Outcome result = run({"-q", "-g", "spot.csv", "out.csv"});
  EXPECT_EQ(result.status, -4);
  EXPECT_EQ(result.err, "tradepl: out.csv: cannot write: is a directory\n");

  // -4 wins over -3.
  result = run({"-q", "-g", "spot.csv", "-s", "missing.csv", "no-such-folder/out.csv"});
  EXPECT_EQ(result.status, -4);
  EXPECT_EQ(filesInWork(), (std::vector<std::string>{"out.csv", "spot.csv"}));
}

TEST_F(Tradepl, FailsInAFolderItMayNotWriteIn) {
  write("spot.csv", spotLog({}));
  fs::create_directories(path("locked"));
  fs::permissions(path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
  // Root writes where the permissions say no; /proc takes no new files from anyone.
  const bool privileged = std::ofstream(path("locked") / "probe").good();
  const std::string out = privileged ? "/proc/tradepl-out.csv" : "locked/out.csv";
  const Outcome result = run({"-q", "-g", "spot.csv", out});
  fs::permissions(path("locked"), fs::perms::owner_all);
  EXPECT_EQ(result.status, -4);
  EXPECT_EQ(result.err.rfind("tradepl: " + out + ": cannot write: cannot create a file there: ", 0),
            0u)
      << result.err;
  EXPECT_TRUE(fs::is_empty(path("locked")) || privileged);
}

// Folder and file names as a Japanese user has them, with spaces. The tests spell them in
// UTF-8, as this file system stores them; a Japanese Windows hands them to the program in
// code page 932, which is what Wine does with LANG=ja_JP.UTF-8.
TEST_F(Tradepl, ReadsAndWritesPathsWithJapaneseAndSpaces) {
  const std::string folder = "\xE5\x8F\x96\xE5\xBC\x95 \xE5\xB1\xA5\xE6\xAD\xB4";  // 取引 履歴
  const std::string spotName = folder + "/\xE7\x8F\xBE\xE7\x89\xA9 log.csv";       // 現物 log.csv
  const std::string outName = folder + "/\xE7\xB5\x90\xE6\x9E\x9C.csv";            // 結果.csv
  fs::create_directories(path(folder));
  write(spotName, spotLog({spotBuy("7203", "100", "1000"), spotSell("7203", "100", "1200")}));
  const Outcome result = run({"-q", "-g", spotName, outName});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(written(outName),
            kResultHeading + "2024,3,5,7203," + kToyota + ",100,1200,1000.00,200,16,19784\n");

  // The same file under another spelling is still an input.
  EXPECT_EQ(run({"-q", "-g", spotName, "./" + spotName}).status, -2);
  EXPECT_EQ(run({"-q", "-g", spotName, folder}).status, -4);
}

// Logs dropped on the program: Explorer hands it their paths alone. It writes 実現損益.csv
// beside the first, and the summary ends with where that is.
TEST_F(Tradepl, TakesLogsDroppedOnItAndWritesTheResultBesideThem) {
  writeSampleLogs();
  ASSERT_EQ(run({"-q", "-g", "spot.csv", "-s", "margin.csv", "both.csv"}).status, 0);
  ASSERT_EQ(run({"-q", "-s", "margin.csv", "margin-only.csv"}).status, 0);
  const std::string folder = "\xE5\x8F\x96\xE5\xBC\x95 \xE5\xB1\xA5\xE6\xAD\xB4";  // 取引 履歴
  const std::string spot = folder + "/\xE7\x8F\xBE\xE7\x89\xA9 2024.csv";  // 現物 2024.csv
  const std::string margin = folder + "/margin log.csv";
  const std::string result = folder + "/\xE5\xAE\x9F\xE7\x8F\xBE\xE6\x90\x8D\xE7\x9B\x8A.csv";
  fs::create_directories(path(folder));
  fs::copy_file(path("spot.csv"), path(spot));
  fs::copy_file(path("margin.csv"), path(margin));
  struct Case {
    std::vector<std::string> dropped;
    std::string expected;
  };
  for (const Case& c : {Case{{margin, spot}, "both.csv"}, Case{{spot, margin}, "both.csv"},
                        Case{{margin}, "margin-only.csv"}}) {
    fs::remove(path(result));
    const Outcome outcome = run(c.dropped);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(written(result), written(c.expected));
    const std::string lastLine =
        outcome.err.substr(outcome.err.rfind('\n', outcome.err.size() - 2));
    EXPECT_TRUE(lastLine.starts_with("\n  The result file: ") && lastLine.ends_with(".csv\n") &&
                lastLine.find("\xE5\xAE\x9F\xE7\x8F\xBE\xE6\x90\x8D\xE7\x9B\x8A.csv") !=
                    std::string::npos)
        << lastLine;
    if (kRunner.empty()) {
      EXPECT_EQ(lastLine, "\n  The result file: " + path(result).string() + "\n");
    }
  }

  // A path that is no log keeps the command line's old meaning: the last path is the output.
  const std::string before = read(result);
  const std::string notMarked =
      "tradepl: mark the logs with -g (spot) and -s (margin): tradepl -g spot.csv -s margin.csv "
      "out.csv\n";
  for (const std::vector<std::string>& paths :
       {std::vector<std::string>{margin, result}, {spot, margin, "out.csv"}}) {
    const Outcome outcome = run(paths);
    EXPECT_EQ(outcome.status, -2);
    EXPECT_EQ(outcome.err, notMarked);
  }
  EXPECT_EQ(read(result), before);
  EXPECT_FALSE(exists("out.csv"));

  // A workbook dropped in place of its CSV is said to be one.
  write("book.xlsx", std::string("PK\x03\x04\x14\0\x06\0", 8));
  const Outcome book = run({"book.xlsx", margin});
  EXPECT_EQ(book.status, -2);
  EXPECT_EQ(book.err,
            "tradepl: book.xlsx: an Excel workbook, not a CSV file: open it in Excel and save it "
            "as CSV (comma separated)\n" +
                notMarked);
}

TEST_F(Tradepl, ReplacesAnExistingOutputWhole) {
  write("spot.csv", spotLog({}));
  write("out.csv", std::string(5000, 'x'));
  EXPECT_EQ(run({"-q", "-g", "spot.csv", "out.csv"}).status, 0);
  EXPECT_EQ(written("out.csv"), kResultHeading);
  EXPECT_EQ(filesInWork(), (std::vector<std::string>{"out.csv", "spot.csv"}));
}

}  // namespace
}  // namespace tradepl
