#pragma once
// The command line, kSynopsis below, or one of -h, --help, --version.
//
// "-g", "-s", "--splits", "--dividends" and "--report" take the next token as their path
// whatever it reads; every log named with -g or -s is read, and a later --splits, --dividends
// or --report replaces an earlier one; "--tax" costs spot sales by the tax office's method,
// "--detail" adds the account, trade type and settlement date to each result line, "-q"
// (--quiet) leaves out the summary; options may stand anywhere; any other token that begins
// with '-' is an unknown option, but "-" itself, the standard output; any other token is a
// candidate output path, the last one winning. A file whose name begins with '-' is written
// as ./-name.
//
// Without -g and -s, the paths may be logs dropped on the program (Explorer starts it with
// their paths alone): the run decides by reading them, and withDroppedLogs takes them.

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
    "tradepl [-g spot.csv] [-s margin.csv] [--splits splits.csv] [--dividends dividends.csv] "
    "[--tax] [--report report.csv] [--detail] [-q] out.csv";

enum class ArgumentError : std::uint8_t {
  none,
  optionWithoutPath,  // -g, -s, --splits, --dividends or --report last
  unknownOption,
  noInputLog,
  logsNotMarked,  // several paths, but none named with -g or -s
  noOutputPath,
  outputNamesInput,
  reportNamesOutput,
  reportReachesOutput,  // the report and the results would reach one stream or device
  reportNamesInput,
  namesSplitsFile,     // the output or the report names the splits file
  namesDividendsFile,  // the output or the report names the dividends file
};

// A log on the command line, and the kind it was named as.
struct LogPath {
  LogKind kind = LogKind::spot;
  std::string path;
  friend bool operator==(const LogPath&, const LogPath&) = default;
};

struct Arguments {
  std::vector<LogPath> logs;              // in the order named
  std::optional<std::string> outputPath;  // "-" for the standard output
  std::optional<std::string> reportPath;  // the yearly report, "-" for the standard output
  std::optional<std::string> splitsPath;
  std::optional<std::string> dividendsPath;
  std::vector<std::string> namedSplits;     // every path given with --splits, even replaced
  std::vector<std::string> namedDividends;  // every path given with --dividends, even replaced
  std::vector<std::string> paths;           // the tokens taken for the output path, in order
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
// given as a log, a splits or a dividends file, not even one a later option replaced, nor
// each other: a slip of the hand must not cost a log or a result.
Arguments scanArguments(std::span<const char* const> arguments);

// True when the standard output is a file named as a log, a splits or a dividends file
// (- >> spot.csv):
// nothing may be written to it, not even the usage text.
bool standardOutputIsAnInput(const Arguments& arguments);

// True when the command line names no log with -g or -s, and paths that may be logs dropped
// on the program, with no other mistake.
bool mayNameDroppedLogs(const Arguments& arguments);

// The command line with its paths taken as logs of the given kinds, the output
// kDroppedResultName in the folder of the first, a relative report path taken from that
// folder too (a shortcut's start folder is no place a user looks), and checked again as any
// command line is.
Arguments withDroppedLogs(Arguments arguments, std::span<const LogKind> kinds);

// True when the paths name one file however they are spelled, or both the standard output.
bool samePath(const std::string& a, const std::string& b);

}  // namespace tradepl
