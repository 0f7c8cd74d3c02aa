// End to end: what tradepl says to the user, in English and in Japanese: the summary of a
// run, the help text and the version, and mistakes on the command line.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "harness.hpp"

namespace tradepl {
namespace {

using namespace testing;

using Console = Tradepl;

TEST_F(Console, SummarizesTheSampleLogsInEnglishAndInJapanese) {
  writeSampleLogs();
  const Outcome english = run({"-g", "spot.csv", "-s", "margin.csv", "out.csv"});
  EXPECT_EQ(english.status, 0);
  EXPECT_EQ(
      english.err,
      "tradepl: summary\n"
      "  spot.csv: lines read 14, trades used 13, lines skipped 0, of other trade types 0\n"
      "  margin.csv: lines read 7, trades used 6, lines skipped 0, of other trade types 0\n"
      "  results written to out.csv: 9\n"
      "  Realized profit and loss per tax year (the year of the settlement date, 受領日):\n"
      "    year  log     account  tax      results   proceeds       cost  expenses  profit (yen)\n"
      "    2024  spot    NISA     exempt         1    641,000    540,200         0       100,800\n"
      "    2024  spot    特定     taxable        4  2,807,500  2,731,100     2,695        73,705\n"
      "    2024  margin  特定     taxable        3  4,123,500  4,091,600     7,050        24,850\n"
      "    2024  total            taxable        7  6,931,000  6,822,700     9,745        98,555\n"
      "    2025  spot    特定     taxable        1    158,500    156,500       220         1,780\n"
      "    2025  total            taxable        1    158,500    156,500       220         1,780\n"
      "  Costs are moving averages with purchase commissions charged to the next sale, as on "
      "the broker's statements; for the figures of a tax return, run with --tax.\n");
  const std::string result = read("out.csv");

  const Outcome japanese = run({"-g", "spot.csv", "-s", "margin.csv", "out.csv"}, {kJapanese, ""});
  EXPECT_EQ(japanese.status, 0);
  EXPECT_EQ(
      japanese.err,
      "tradepl: 実行結果\n"
      "  spot.csv: 14 行を読み、13 件の取引を使いました（読み飛ばし 0 行、対象外の取引区分 0 行）\n"
      "  margin.csv: 7 行を読み、6 件の取引を使いました（読み飛ばし 0 行、対象外の取引区分 0 行）\n"
      "  9 件の損益を out.csv に書き出しました\n"
      "  年分別の譲渡損益（受領日の属する年で集計）:\n"
      "    年分  取引  口座  課税区分  件数   譲渡収入     取得費  譲渡費用  損益（円）\n"
      "    2024  現物  NISA  非課税       1    641,000    540,200         0     100,800\n"
      "    2024  現物  特定  課税         4  2,807,500  2,731,100     2,695      73,705\n"
      "    2024  信用  特定  課税         3  4,123,500  4,091,600     7,050      24,850\n"
      "    2024  合計        課税         7  6,931,000  6,822,700     9,745      98,555\n"
      "    2025  現物  特定  課税         1    158,500    156,500       220       1,780\n"
      "    2025  合計        課税         1    158,500    156,500       220       1,780\n"
      "  取得単価は移動平均で、買付手数料は次の売却に計上しています（取引報告書と同じ計算です）。"
      "確定申告に使う金額は --tax を付けて実行してください。\n");
  EXPECT_EQ(read("out.csv"), result);  // the result file does not change with the language

  EXPECT_EQ(run({"-q", "-g", "spot.csv", "-s", "margin.csv", "out.csv"}).err, "");
}

// What a terminal shows of the bytes written to it: without its control sequences
// (ESC [ ... letter) and carriage returns.
std::string shownBy(const std::string& terminal) {
  std::string shown;
  for (std::size_t i = 0; i < terminal.size(); ++i) {
    if (terminal[i] == '\x1b' && i + 1 < terminal.size() && terminal[i + 1] == '[') {
      for (i += 2; i < terminal.size() && !std::isalpha(static_cast<unsigned char>(terminal[i]));) {
        ++i;
      }
    } else if (terminal[i] != '\r') {
      shown += terminal[i];
    }
  }
  return shown;
}

// In a terminal Japanese messages read as Japanese; on Windows the console is written in
// UTF-16, whatever its code page, and Wine shows it in the terminal's UTF-8. `script` gives
// the run a terminal.
TEST_F(Console, ShowsJapaneseMessagesInATerminal) {
  EXPECT_EQ(
      shell("script -qec " + quote(commandLine({"-g", "missing.csv", "out.csv"}, {kJapanese, ""})) +
            " /dev/null </dev/null >terminal.txt"),
      253);
  const std::string shown = shownBy(read("terminal.txt"));
  EXPECT_NE(
      shown.find("tradepl: missing.csv: 読み込めません: ファイルまたはフォルダーがありません\n"),
      std::string::npos)
      << shown;
}

TEST_F(Console, SaysWhatTheTotalsMayLackAndHowTheyWereCounted) {
  SpotTrade unsettled = spotSell("7203", "10", "1200");
  unsettled.settlementDate = "";
  write("spot.csv", spotLog({spotBuy("7203", "100", "1000"), unsettled, spotSell("6758", "1", "1"),
                             spotSell("7203", "90", "1100", "0", "0")}) +
                        "not a trade\n");
  const Outcome result = run({"-g", "spot.csv", "-s", "missing.csv", "out.csv"});
  EXPECT_EQ(result.status, -3);
  EXPECT_EQ(result.err,
            "tradepl: missing.csv: cannot read: No such file or directory\n"
            "tradepl: spot.csv:4: sale of 6758 (" +
                kTokuteiInUtf8 +
                ") without a holding bought earlier in the logs: no result\n"
                "tradepl: spot.csv:6: skipped: 1 columns, 14 expected\n"
                "tradepl: summary\n"
                "  spot.csv: lines read 6, trades used 4, lines skipped 1, of other trade types 0\n"
                "  missing.csv: not read\n"
                "  results written to out.csv: 2\n"
                "  Realized profit and loss per tax year (the year of the settlement date, "
                "受領日):\n"
                "    year  log    account  tax      results  proceeds    cost  expenses  profit "
                "(yen)\n"
                "    2024  spot   " +
                kTokuteiInUtf8 +
                "     taxable        1    99,000  90,000         0         9,000\n"
                "    2024  total           taxable        1    99,000  90,000         0         "
                "9,000\n"
                "    ?     spot   " +
                kTokuteiInUtf8 +
                "     taxable        1    12,000  10,000       216         1,784\n"
                "  results in no year's total, as their settlement date does not read: 1\n"
                "  Costs are moving averages with purchase commissions charged to the next sale, "
                "as on the broker's statements; for the figures of a tax return, run with --tax.\n"
                "  The totals may be incomplete: messages above that say what was left out: 3\n");
}

TEST_F(Console, SaysWhatIsWrongWithALogInTheUsersWords) {
  SpotTrade notANumber = spotBuy("7203", "100", "1000");
  notANumber.quantity = "x";
  write("spot.csv", spotLog({notANumber}));
  write("empty.csv", "");
  write("book.xlsx", std::string("PK\x03\x04\x14\0\x06\0", 8));
  struct Case {
    std::string locale;
    std::string said;
  };
  for (const Case& c :
       {Case{kEnglish,
             "tradepl: spot.csv:2: skipped: column 9 (quantity): not a number\n"
             "tradepl: spot.csv: no spot trades (現物) in this log\n"
             "tradepl: empty.csv: the log is empty: no trades in it\n"
             "tradepl: book.xlsx: an Excel workbook, not a CSV file: open it in Excel and save "
             "it as CSV (comma separated)\n"
             "tradepl: out.csv: not written: no log could be read\n"},
        Case{kJapanese,
             "tradepl: spot.csv:2: 読み飛ばしました: 9 列目（約定数量）が数値ではありません\n"
             "tradepl: spot.csv: 現物の取引がありません\n"
             "tradepl: empty.csv: 空のファイルです。取引はありません\n"
             "tradepl: book.xlsx: Excel のブックで、CSV ファイルではありません。Excel で開き、"
             "「CSV（コンマ区切り）」で保存してください\n"
             "tradepl: out.csv: 書き出しませんでした: 読み込める取引履歴がありません\n"}}) {
    const Outcome logs =
        run({"-q", "-g", "spot.csv", "-s", "empty.csv", "out.csv"}, {c.locale, ""});
    const Outcome book = run({"-q", "-g", "book.xlsx", "out.csv"}, {c.locale, ""});
    EXPECT_EQ(logs.status, 0);
    EXPECT_EQ(book.status, -3);
    EXPECT_EQ(logs.err + book.err, c.said);
  }
}

TEST_F(Console, NamesAMissingOutputFolderWithoutBlamingTheLog) {
  write("spot.csv", spotLog({}));
  const Outcome result = run({"-g", "spot.csv", "missing/out.csv"});
  EXPECT_EQ(result.status, -4);
  EXPECT_EQ(result.err,
            "tradepl: missing/out.csv: cannot write: there is no folder missing\n"
            "tradepl: summary\n"
            "  spot.csv: not converted, as the result file could not be written\n"
            "  no results written: missing/out.csv was not written\n");
}

// A mistake's reason comes before the usage text, which keeps its Shift_JIS bytes for a file
// or a pipe and reads on a terminal.
TEST_F(Console, GivesTheReasonBeforeTheUsageTextAndMakesItReadOnATerminal) {
  const Outcome mistake = run({"-q", "out.csv"}, {kEnglish, "2>&1"});
  EXPECT_EQ(mistake.status, -2);
  EXPECT_EQ(mistake.out,
            "tradepl: no input log: name a spot log with -g or a margin log with -s\n" + kUsage);

  if (!kRunner.empty() || shell("command -v script >/dev/null") != 0) {
    GTEST_SKIP() << "needs script(1) and the program run natively";
  }
  // script(1) runs it on a terminal of its own, whose line ends are CR LF.
  ASSERT_EQ(shell("script -qec " + quote(commandLine({})) + " /dev/null >terminal.txt"), 255);
  std::string expected;
  for (const char c : toUtf8(kUsage, "CP932"))
    expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(read("terminal.txt"), expected);
}

// A double-click starts tradepl with no arguments, alone on a console of its own: it says
// how to use it without a command line, in the display language, then the usage text, and
// waits for Enter. Under Wine, script(1) gives it such a console; natively no console is its
// own, and a run without arguments prints the usage alone (PrintsTheUsageForNoArguments).
TEST_F(Console, ExplainsADoubleClickAndWaitsForEnter) {
  if (!kUnderWine || shell("command -v script >/dev/null") != 0) {
    GTEST_SKIP() << "needs script(1) and the Windows build under Wine";
  }
  // Enter (a CR) is pressed once the prompt shows: only then has Wine's console taken the
  // terminal raw, and a CR typed before would reach it as a line feed, which is no Enter.
  const std::string pressEnterOnPrompt =
      "rm -f terminal.txt; { for i in $(seq 300); do grep -q Enter terminal.txt 2>/dev/null && "
      "break; sleep 0.2; done; printf '\\r'; } | script -qec ";
  struct Case {
    std::string locale;
    std::string explained;
    std::string pressEnter;
  };
  for (const Case& c :
       {Case{kEnglish, "tradepl needs no command line: select the spot log and the margin log",
             "Press Enter to close this window."},
        Case{kJapanese, "tradepl はコマンドラインを使わずに実行できます。",
             "Enter キーを押すと、このウィンドウを閉じます。"}}) {
    ASSERT_EQ(shell(pressEnterOnPrompt + quote(commandLine({}, {c.locale, ""})) +
                    " /dev/null >terminal.txt"),
              255);
    const std::string shown = shownBy(read("terminal.txt"));
    const std::size_t explained = shown.find(c.explained);
    const std::size_t usage = shown.find("Usage: [-g i_zelGenbutsu_log.csv]");
    const std::size_t pressEnter = shown.find(c.pressEnter);
    EXPECT_NE(explained, std::string::npos) << shown;
    EXPECT_NE(usage, std::string::npos) << shown;
    EXPECT_NE(pressEnter, std::string::npos) << shown;
    EXPECT_LT(explained, usage) << shown;
    EXPECT_LT(usage, pressEnter) << shown;
  }
}

TEST_F(Console, AnswersHelpAndVersionOnTheStandardOutput) {
  const Outcome help = run({"-h"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.substr(0, help.out.find('\n')),
            "tradepl " TRADEPL_VERSION ": realized profit and loss from a broker's trade logs");
  EXPECT_NE(help.out.find("  -4  the result file or the report could not be written"),
            std::string::npos);
  EXPECT_EQ(help.err, "");

  const Outcome japanese = run({"--help"}, {kJapanese, ""});
  EXPECT_EQ(japanese.status, 0);
  const std::string text = fromConsole(japanese.out);
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "tradepl " TRADEPL_VERSION ": 取引履歴から実現損益を計算します");

  const Outcome version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tradepl " TRADEPL_VERSION "\n");
}

TEST_F(Console, RefusesUnknownOptionsAndLogsNotMarked) {
  write("spot.csv", spotLog({}));
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  for (const Case& c :
       {Case{{"-g", "spot.csv", "--foo", "out.csv"},
             "unknown option --foo (a file whose name begins with - is written ./-name)"},
        Case{{"-g", "spot.csv", "-x"},
             "unknown option -x (a file whose name begins with - is written ./-name)"},
        Case{{"spot.csv", "margin.csv", "out.csv"},
             "mark the logs with -g (spot) and -s (margin): tradepl -g spot.csv -s margin.csv "
             "out.csv"}}) {
    const Outcome result = run(c.arguments);
    EXPECT_EQ(result.status, -2) << c.message;
    EXPECT_EQ(result.out, kUsage);
    EXPECT_EQ(result.err, "tradepl: " + c.message + "\n");
  }
  EXPECT_EQ(filesInWork(), std::vector<std::string>{"spot.csv"});
  EXPECT_EQ(run({"-q", "-g", "spot.csv", "./-out.csv"}).status, 0);
  EXPECT_EQ(written("-out.csv"), kResultHeading);
}

}  // namespace
}  // namespace tradepl
