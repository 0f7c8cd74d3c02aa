#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/arguments.hpp"
#include "app/converter.hpp"

namespace tradepl {
namespace {

Arguments scan(std::vector<const char*> tokens) {
  return scanArguments(tokens);
}

TEST(ScanArguments, TakesTheLogsAndTheLastOtherTokenAsOutput) {
  const Arguments arguments = scan({"first.csv", "-g", "a.csv", "-s", "b.csv", "out.csv"});
  EXPECT_EQ(arguments.error, ArgumentError::none);
  EXPECT_EQ(arguments.logs,
            (std::vector<LogPath>{{LogKind::spot, "a.csv"}, {LogKind::margin, "b.csv"}}));
  EXPECT_EQ(arguments.outputPath, "out.csv");
}

TEST(ScanArguments, TakesEveryLogNamedInTheOrderNamed) {
  const Arguments arguments = scan({"-g", "a.csv", "out.csv", "-s", "m.csv", "-g", "c.csv"});
  EXPECT_EQ(arguments.logs,
            (std::vector<LogPath>{
                {LogKind::spot, "a.csv"}, {LogKind::margin, "m.csv"}, {LogKind::spot, "c.csv"}}));
  EXPECT_EQ(arguments.outputPath, "out.csv");
}

TEST(ScanArguments, TakesTheTokenAfterAnOptionWhateverItReads) {
  const Arguments arguments = scan({"-g", "-s", "b.csv", "out.csv"});
  EXPECT_EQ(arguments.error, ArgumentError::none);
  EXPECT_EQ(arguments.logs, (std::vector<LogPath>{{LogKind::spot, "-s"}}));
  EXPECT_EQ(arguments.outputPath, "out.csv");
  EXPECT_EQ(scan({"-g", "", "out.csv"}).logs, (std::vector<LogPath>{{LogKind::spot, ""}}));
}

TEST(ScanArguments, RefusesCommandLinesThatCannotRun) {
  EXPECT_EQ(scan({"out.csv"}).error, ArgumentError::noInputLog);
  EXPECT_EQ(scan({"out.csv", "-g"}).error, ArgumentError::optionWithoutPath);
  EXPECT_EQ(scan({"-g", "a.csv", "out.csv", "-s"}).errorToken, "-s");
  EXPECT_EQ(scan({"-g", "a.csv"}).error, ArgumentError::noOutputPath);
  const Arguments namesInput = scan({"-g", "a.csv", "-s", "b.csv", "b.csv"});
  EXPECT_EQ(namesInput.error, ArgumentError::outputNamesInput);
  EXPECT_EQ(namesInput.errorToken, "b.csv");
}

TEST(ScanArguments, TakesOptionsAsPeopleExpectThem) {
  const Arguments quiet = scan({"-q", "-g", "a.csv", "--quiet", "-"});
  EXPECT_EQ(quiet.error, ArgumentError::none);
  EXPECT_TRUE(quiet.quiet);
  EXPECT_EQ(quiet.outputPath, "-");
  EXPECT_TRUE(scan({"-g", "a.csv", "--help", "out.csv"}).help);
  EXPECT_TRUE(scan({"-h"}).help);
  EXPECT_TRUE(scan({"--version"}).version);
  EXPECT_EQ(scan({"-g", "--help", "out.csv"}).logs.front().path, "--help");  // a value
  EXPECT_EQ(scan({"-g", "a.csv", "./-out.csv"}).outputPath, "./-out.csv");

  const Arguments unknown = scan({"-g", "a.csv", "--foo", "out.csv"});
  EXPECT_EQ(unknown.error, ArgumentError::unknownOption);
  EXPECT_EQ(unknown.errorToken, "--foo");
  EXPECT_EQ(scan({"spot.csv", "margin.csv", "out.csv"}).error, ArgumentError::logsNotMarked);
}

TEST(ScanArguments, TakesADividendsFileAndNeverWritesOverIt) {
  const Arguments arguments = scan({"--dividends", "d.csv", "-g", "a.csv", "out.csv"});
  EXPECT_EQ(arguments.error, ArgumentError::none);
  EXPECT_EQ(arguments.dividendsPath, "d.csv");
  EXPECT_EQ(scan({"-g", "a.csv", "out.csv", "--dividends"}).error,
            ArgumentError::optionWithoutPath);
  for (const std::vector<const char*>& tokens :
       {std::vector<const char*>{"--dividends", "d.csv", "-g", "a.csv", "d.csv"},
        {"--dividends", "d.csv", "--dividends", "e.csv", "-g", "a.csv", "--report", "d.csv",
         "out.csv"}}) {
    const Arguments refused = scan(tokens);
    EXPECT_EQ(refused.error, ArgumentError::namesDividendsFile);
    EXPECT_EQ(refused.errorToken, "d.csv");
  }
}

TEST(WithDroppedLogs, TakesARelativeReportFromTheResultFilesFolder) {
  struct Case {
    const char* report;
    std::string expected;
  };
  const LogKind kinds[] = {LogKind::spot};
  for (const Case& c : {Case{"report.csv", "logs/report.csv"}, Case{"/tmp/r.csv", "/tmp/r.csv"},
                        Case{"-", "-"}, Case{"sub/r.csv", "logs/sub/r.csv"}}) {
    const Arguments dropped = withDroppedLogs(scan({"--report", c.report, "logs/spot.csv"}), kinds);
    EXPECT_EQ(dropped.error, ArgumentError::none) << c.report;
    EXPECT_EQ(dropped.reportPath, c.expected);
  }
}

TEST(PausesBeforeClosing, OnlyWhenExplorerOpenedAConsoleForIt) {
  EXPECT_TRUE(pausesBeforeClosing(1, false));   // a double-click or a drop, on it or a shortcut
  EXPECT_FALSE(pausesBeforeClosing(1, true));   // a scheduled task's command line, in a console
  EXPECT_FALSE(pausesBeforeClosing(2, false));  // typed at a command prompt
  EXPECT_FALSE(pausesBeforeClosing(0, false));  // no console: redirected, or not Windows
}

TEST(PrintUsage, DocumentsBothLayoutsByTheirHeadings) {
  std::ostringstream out;
  printUsage(out);
  const std::string usage = out.str();
  EXPECT_EQ(usage.substr(0, usage.find('\n') + 1),
            "Usage: [-g i_zelGenbutsu_log.csv] [-s i_zelShinyo_log.csv] o_log.csv\n");
  EXPECT_NE(usage.find("\n\t--- i_zelGenbutsu_log.csv ---\n\t\x96\xF1\x92\xE8\x93\xFA\x8E\x9E,"),
            std::string::npos);
  // The spot heading line ends with 受領日.
  EXPECT_NE(usage.find(",\x8E\xF3\x97\xCC\x93\xFA\n\t...\n\t--- i_zelShinyo_log.csv ---\n"),
            std::string::npos);
  std::size_t lines = 0;
  for (const char c : usage) lines += c == '\n' ? 1 : 0;
  EXPECT_EQ(lines, 7u);
}

}  // namespace
}  // namespace tradepl
