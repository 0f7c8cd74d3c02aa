// End to end: a history in several exports, named or dropped in any order, overlapping, read
// as the one log they were cut from; and a log never taken for the result file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.hpp"

namespace tradepl {
namespace {

using namespace testing;

// The result file beside dropped logs: 実現損益.csv.
const std::string kDroppedResult = "\xE5\xAE\x9F\xE7\x8F\xBE\xE6\x90\x8D\xE7\x9B\x8A.csv";

// The lines of a log, the heading first.
std::vector<std::string> linesOf(const std::string& log) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < log.size();) {
    const std::size_t end = log.find('\n', start);
    lines.push_back(log.substr(start, end - start + 1));
    start = end + 1;
  }
  return lines;
}

// Lines `first` to `last` of a log (1 the heading), newest first where asked.
std::string piece(const std::vector<std::string>& lines, std::size_t first, std::size_t last,
                  bool newestFirst = false) {
  std::string text;
  for (std::size_t i = first; i <= last; ++i) {
    const std::string& line = lines[newestFirst ? last + first - i - 1 : i - 1];
    text += line;
  }
  return text;
}

struct PiecesCase {
  std::vector<std::string> arguments;
  std::string output;
};

TEST_F(Tradepl, ReadsOverlappingPiecesOfALogInAnyOrderAsTheWholeLog) {
  writeSampleLogs();
  const std::vector<std::string> spot = linesOf(read("spot.csv"));
  const std::vector<std::string> margin = linesOf(read("margin.csv"));
  ASSERT_EQ(spot.size(), 14u);
  ASSERT_EQ(margin.size(), 7u);
  // Three yearly exports of the spot log, overlapping, the last newest first and without
  // its heading; two of the margin log.
  write("spot-1.csv", piece(spot, 1, 7));
  write("spot-2.csv", spot[0] + piece(spot, 6, 11));
  write("spot-3.csv", piece(spot, 11, 14, true));
  write("margin-1.csv", piece(margin, 1, 5));
  write("margin-2.csv", margin[0] + piece(margin, 4, 7));
  for (const char* method : {"--detail", "--tax"}) {
    ASSERT_EQ(run({"-q", method, "-g", "spot.csv", "-s", "margin.csv", "whole.csv"}).status, 0);
    for (const PiecesCase& c : std::vector<PiecesCase>{
             {{"-g", "spot-3.csv", "-s", "margin-2.csv", "-g", "spot-1.csv", "-s", "margin-1.csv",
               "-g", "spot-2.csv", "out.csv"},
              "out.csv"},
             // Dropped on the program, in the order Explorer happens to hand them over.
             {{"spot-2.csv", "margin-1.csv", "spot-3.csv", "margin-2.csv", "spot-1.csv"},
              kDroppedResult},
         }) {
      std::vector<std::string> arguments{"-q", method};
      arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
      const Outcome outcome = run(arguments);
      EXPECT_EQ(outcome.status, 0) << outcome.err;
      EXPECT_EQ(written(c.output), written("whole.csv")) << method << " " << c.output;
      EXPECT_NE(outcome.err.find(": 2 rows are also in another log: counted once\n"),
                std::string::npos)
          << outcome.err;
    }
  }
}

TEST_F(Tradepl, RefusesToWriteOverALogNamedAsTheResultOrTheReport) {
  writeSampleLogs();
  write("saved-as-utf8.csv", toUtf8(read("spot.csv"), "CP932"));
  const std::string margin = read("margin.csv");
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {"-g", "spot.csv", "margin.csv"},
           {"-g", "spot.csv", "--report", "margin.csv", "out.csv"},
           {"-s", "margin.csv", "saved-as-utf8.csv"},
       }) {
    const std::string log = arguments[arguments.size() - 1] == "out.csv"
                                ? arguments[arguments.size() - 2]
                                : arguments.back();
    const Outcome outcome = run(arguments);
    EXPECT_EQ(outcome.status, -2);
    EXPECT_EQ(outcome.err, "tradepl: " + log +
                               " is a trade log: name the result file last, or mark the logs "
                               "with -g and -s\n");
    EXPECT_EQ(outcome.out, kUsage);
  }
  EXPECT_EQ(read("margin.csv"), margin);
  EXPECT_FALSE(exists("out.csv"));
}

}  // namespace
}  // namespace tradepl
