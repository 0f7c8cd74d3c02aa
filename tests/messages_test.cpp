// What the run says, composed without a run: the gate on a log's messages, the summary's
// lines, and the two languages' tables.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "flow_run.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/text.hpp"
#include "words/diagnostics.hpp"
#include "words/summary.hpp"

namespace tradepl {
namespace {

using testing::FlowRun;
using testing::spotBuy;
using testing::spotSell;

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(Diagnostics, SaysTwentyThingsAboutALogThenCountsTheRest) {
  FlowRun run;
  for (int i = 0; i < 23; ++i) run.spot(spotSell("9999", "1", "1"));
  std::ostringstream err;
  Reporter reporter(err);
  Diagnostics diagnostics(reporter, Language::english);
  const std::size_t log = diagnostics.addLog(LogKind::spot, "spot.csv");
  for (const testing::Noted& noted : run.notes()) diagnostics.note(noted.note, noted.trade);
  diagnostics.linesOf(log).skipped(24, LineProblem{LineProblemKind::tooFewColumns, 2, 1});
  LogReport report;
  report.lines = report.kept = 23;
  diagnostics.finishLog(log, report);
  reporter.flush();

  const std::string text = err.str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 22) << text;
  EXPECT_NE(text.find("tradepl: spot.csv:20: sale of 9999"), std::string::npos);
  EXPECT_EQ(text.find("tradepl: spot.csv:21:"), std::string::npos);
  EXPECT_NE(text.find("tradepl: spot.csv: 1 more lines skipped\n"
                      "tradepl: spot.csv: 3 more notes about trades\n"),
            std::string::npos);
  // Each sale said is a gap in the totals, and so are the two lines that count the rest.
  EXPECT_EQ(diagnostics.gapsExplained(), 22u);
}

// A note is said about the log its row came from, each log with a gate of its own.
TEST(Diagnostics, SaysANoteAboutTheLogOfItsRow) {
  std::ostringstream err;
  Reporter reporter(err);
  Diagnostics diagnostics(reporter, Language::english);
  diagnostics.addLog(LogKind::spot, "spot.csv");
  diagnostics.addLog(LogKind::spot, "more.csv");
  TradeRow sale;
  sale.line = 7;
  sale.source = 1;
  LedgerNote note;
  note.kind = LedgerNoteKind::amountOutOfRange;
  diagnostics.note(note, sale);
  reporter.flush();
  EXPECT_EQ(err.str().rfind("tradepl: more.csv:7: trade of ", 0), 0u) << err.str();
}

// A price the log wrote is said as written; an average that does not end, to two decimals.
TEST(Diagnostics, SaysAPriceAsTheLogWroteItOrToTwoDecimals) {
  for (const auto& [price, said] : {std::pair(4000.0, "4,000"), std::pair(156.5, "156.5"),
                                    std::pair(21140.0 / 3, "7046.67"), std::pair(0.25, "0.25")}) {
    std::ostringstream err;
    Reporter reporter(err);
    Diagnostics diagnostics(reporter, Language::english);
    diagnostics.addLog(LogKind::spot, "spot.csv");
    SplitHint hint;
    hint.previousPrice = price;
    hint.salePrice = 170.0;
    hint.ratio = 25;
    const LedgerNote note{LedgerNoteKind::soldMoreThanHeld, 100, hint};
    TradeRow sale;
    sale.line = 3;
    diagnostics.note(note, sale);
    reporter.flush();
    EXPECT_NE(err.str().find("The price fell from " + std::string(said) + " to 170 "),
              std::string::npos)
        << err.str();
  }
}

// A split left out leaves the totals without the shares it would have made: a gap, as a
// trade left out is; a fraction paid out in cash is not.
TEST(Diagnostics, CountsASplitLeftOutAsAGapInTheTotals) {
  std::ostringstream err;
  Reporter reporter(err);
  Diagnostics diagnostics(reporter, Language::english, "splits.csv");
  StockSplit split;
  split.codeNumber = 9432;
  split.after = 25;
  split.line = 2;
  SplitNote note;
  diagnostics.splitNote(note, split);
  EXPECT_EQ(diagnostics.gapsExplained(), 0u);
  note.kind = SplitNote::Kind::outOfRange;
  diagnostics.splitNote(note, split);
  EXPECT_EQ(diagnostics.gapsExplained(), 1u);
}

// The summary's lines after the log lines, for totals of the given results.
std::vector<std::string> summaryOf(FlowRun& run, std::string_view output, bool written,
                                   std::uint64_t gaps = 0) {
  RunSummary summary;
  summary.resultsWent(output, written);
  std::vector<std::string> lines =
      summary.lines(Language::english, run.flow().totals(), {}, CostMethod::movingAverage, gaps);
  lines.erase(lines.begin());  // the heading
  return lines;
}

TEST(RunSummary, SaysWhereTheResultsWentOrThatTheyWereNotWritten) {
  FlowRun run;
  run.spot(spotBuy("7203", "100", "1000")).spot(spotSell("7203", "100", "1200"));
  EXPECT_EQ(summaryOf(run, "-", true).front(), "  results written to the standard output: 1");
  EXPECT_EQ(joined(summaryOf(run, "out.csv", false, 1)),
            "  no results written: out.csv was not written\n"
            "  The totals may be incomplete: messages above that say what was left out: 1\n");
}

TEST(RunSummary, MarksAYearThatDoesNotReadAndASumBeyondSixtyFourBits) {
  testing::SpotTrade undated = spotSell("7203", "100", "1200");
  undated.date = "R6/3/5";
  undated.settlementDate = "";
  FlowRun run;
  run.spot(spotBuy("7203", "200", "1000", "0", "0"))
      .spot(undated)
      .spot(spotBuy("1", "9000000000000000000", "1", "0", "0"))
      .spot(spotBuy("2", "9000000000000000000", "1", "0", "0"))
      .spot(spotSell("1", "9000000000000000000", "2", "0", "0"))
      .spot(spotSell("2", "9000000000000000000", "2", "0", "0"));
  std::vector<std::string> lines = summaryOf(run, "out.csv", true);
  lines.pop_back();  // the method
  EXPECT_EQ(
      joined(lines),
      "  results written to out.csv: 3\n"
      "  Realized profit and loss per tax year (the year of the settlement date, 受領日):\n"
      "    year  log    account  tax      results  proceeds     cost  expenses  profit (yen)\n"
      "    2024  spot   特定     taxable        2         ?        ?         0             ?\n"
      "    2024  total           taxable        2         ?        ?         0             ?\n"
      "    ?     spot   特定     taxable        1   120,000  100,000       108        19,892\n"
      "  results in no year's total, as their settlement date does not read: 1\n");
}

// The blanks {1}…{9} a text has.
std::set<char> blankSet(std::string_view text) {
  std::set<char> blanks;
  for (std::size_t i = 0; i + 2 < text.size(); ++i) {
    if (text[i] == '{' && text[i + 2] == '}') blanks.insert(text[i + 1]);
  }
  return blanks;
}

// A message is said with as many fills as it has blanks, or the call does not compile:
// say(language, Message::cannotRead) is no program.
template <Message M, std::size_t Fills>
concept Sayable = requires {
  typename std::integral_constant<bool, (Said<Fills>(M), true)>;
};
static_assert(Sayable<Message::cannotRead, 1> && !Sayable<Message::cannotRead, 0> &&
              !Sayable<Message::cannotRead, 2>);
static_assert(Sayable<Message::soldMoreThanHeldSplit, 8> &&
              !Sayable<Message::soldMoreThanHeldSplit, 7>);
static_assert(Sayable<Message::summary, 0> && !Sayable<Message::summary, 1>);

// The table checks, as it compiles, that both texts have the same highest blank; here, that
// they have the same blanks.
TEST(Messages, AreInBothLanguagesWithTheSameBlanks) {
  for (const MessageText& text : kMessageTexts) {
    EXPECT_EQ(blankSet(text.english), blankSet(text.japanese)) << text.english << "\n"
                                                               << text.japanese;
  }
}

// A Windows console is written in UTF-16 whatever its code page; text redirected to a file
// or a pipe stays in the console's code page.
TEST(ConsoleText, IsUtf16ForAConsoleAndTheCodePageOtherwise) {
  using platform::ConsoleText;
  for (const unsigned codePage : {932u, 437u, 65001u}) {
    EXPECT_EQ(platform::consoleTextFor(true, codePage), ConsoleText::utf16) << codePage;
  }
  EXPECT_EQ(platform::consoleTextFor(false, 932), ConsoleText::codePage);
  EXPECT_EQ(platform::consoleTextFor(false, 65001), ConsoleText::utf8);
}

// A path in a message shows every byte that does not print as its value: a C1 byte, a byte
// that is no UTF-8, a mark that turns the text's direction.
TEST(EscapedText, ShowsEveryByteThatDoesNotPrintAsItsValue) {
  for (const auto& [text, shown] :
       {std::pair<std::string_view, std::string_view>("out.csv", "out.csv"),
        {"\xE5\xAE\x9F.csv", "\xE5\xAE\x9F.csv"},  // 実, printable
        {"a\x9B"
         "2J",
         "a\\x9B2J"},
        {"a\xC2\x9B", "a\\xC2\\x9B"},
        {"\xE2\x80\xAEvsc.exe", "\\xE2\\x80\\xAEvsc.exe"},
        {"\x1B[2J\x7F", "\\x1B[2J\\x7F"},
        {"\xE5\xAE", "\\xE5\\xAE"},     // a character cut short
        {"\xC0\xAF", "\\xC0\\xAF"}}) {  // an overlong '/'
    EXPECT_EQ(platform::escapedText(text), shown) << text;
  }
}

TEST(WindowsDeviceName, IsAnyOfTheReservedNamesWithAnyExtension) {
  for (const std::string_view name :
       {"CON", "nul", "NUL.csv", "aux.csv", "Com1", "COM9.txt", "lpt1", "sub\\prn.csv",
        "sub/con.tar.gz", "COM1:", "aux .csv", "C:nul.csv"}) {
    EXPECT_TRUE(platform::isWindowsDeviceName(name)) << name;
  }
  for (const std::string_view name : {"out.csv", "CONSOLE.csv", "COM0", "COM10", "lpt", "nul_.csv",
                                      "auxiliary", "con/out.csv", "-", ""}) {
    EXPECT_FALSE(platform::isWindowsDeviceName(name)) << name;
  }
}

}  // namespace
}  // namespace tradepl
