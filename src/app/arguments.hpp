#pragma once
// The command line, kSynopsis below, or one of -h, --help, --version.
//
// "-g", "-s", "--splits" and "--report" take the next token as their path whatever it reads,
// a later one replacing an earlier one; "--tax" costs spot sales by the tax office's method,
// "--detail" adds the account, trade type and settlement date to each result line, "-q" (--quiet)
// leaves out the summary; options may stand anywhere; any other token that begins with
// '-' is an unknown option, but "-" itself, the standard output; any other token is a
// candidate output path, the last one winning. A file whose name begins with '-' is
// written as ./-name.
//
// Without -g and -s, one or two paths may be logs dropped on the program (Explorer starts it
// with their paths alone): the run decides by reading them, and withDroppedLogs takes them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/records.hpp"

namespace tradepl {

// The command line as the help text shows it.
inline constexpr std::string_view kSynopsis =
    "tradepl [-g spot.csv] [-s margin.csv] [--splits splits.csv] [--tax] [--report report.csv] "
    "[--detail] [-q] out.csv";

enum class ArgumentError : std::uint8_t {
  none,
  optionWithoutPath,  // -g, -s, --splits or --report last
  unknownOption,
  noInputLog,
  logsNotMarked,  // several paths, but none named with -g or -s
  noOutputPath,
  outputNamesInput,
  reportNamesOutput,
  reportReachesOutput,  // the report and the results would reach one stream or device
  reportNamesInput,
  namesSplitsFile,  // the output or the report names the splits file
};

struct Arguments {
  std::optional<std::string> spotPath;
  std::optional<std::string> marginPath;
  std::optional<std::string> outputPath;  // "-" for the standard output
  std::optional<std::string> reportPath;  // the yearly report, "-" for the standard output
  std::optional<std::string> splitsPath;
  std::vector<std::string> namedLogs;    // every path given with -g or -s, even replaced
  std::vector<std::string> namedSplits;  // every path given with --splits, even replaced
  std::vector<std::string> paths;        // the tokens taken for the output path, in order
  bool dropped = false;  // the logs are paths given without -g and -s, as a drop gives them
  bool help = false;
  bool version = false;
  bool quiet = false;
  bool tax = false;
  bool detail = false;
  ArgumentError error = ArgumentError::none;  // why the command line cannot be run
  std::string errorToken;                     // the option or path it is about
};

// The result file written beside logs dropped on the program: 実現損益.csv.
inline constexpr std::string_view kDroppedResultName =
    "\xE5\xAE\x9F\xE7\x8F\xBE\xE6\x90\x8D\xE7\x9B\x8A.csv";

// Scans the arguments after the program name. The output and the report may name no path
// given as a log or a splits file, not even one a later option replaced, nor each other: a
// slip of the hand must not cost a log or a result.
Arguments scanArguments(std::span<const char* const> arguments);

// True when the standard output is a file named as a log or a splits file (- >> spot.csv):
// nothing may be written to it, not even the usage text.
bool standardOutputIsAnInput(const Arguments& arguments);

// True when the command line names no log with -g or -s, and one or two paths that may be
// logs dropped on the program, with no other mistake.
bool mayNameDroppedLogs(const Arguments& arguments);

// The command line with its paths taken as logs of the given kinds, the output
// kDroppedResultName in the folder of the first, and checked again as any command line is.
Arguments withDroppedLogs(Arguments arguments, std::span<const LogKind> kinds);

// True when the paths name one file however they are spelled, or both the standard output.
bool samePath(const std::string& a, const std::string& b);

}  // namespace tradepl
