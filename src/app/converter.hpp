#pragma once
// The command line and the run sequence: read the spot log (-g) and the margin log (-s)
// into one trade list, compute the realized results, write the result file.
//
//   tradepl [-g spot.csv] [-s margin.csv] out.csv
//
// Exit statuses:
//    0  the run completed
//   -1  no arguments: the usage text
//   -2  a command-line error: the usage text, and the reason on standard error
//   -3  a named input log could not be read, or is refused (the run still writes the
//       output from the other log; with no log read, it leaves the output untouched)
//   -4  the output could not be written (wins over -3); nothing at the path is changed

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tradepl {

enum ExitStatus : int {
  kCompleted = 0,
  kNoArguments = -1,
  kCommandLineError = -2,
  kInputUnreadable = -3,
  kOutputUnwritable = -4,
};

enum class ArgumentError : std::uint8_t {
  none,
  optionWithoutPath,  // -g or -s last
  noInputLog,
  noOutputPath,
  outputNamesInput,
};

struct Arguments {
  std::optional<std::string> spotPath;
  std::optional<std::string> marginPath;
  std::optional<std::string> outputPath;      // "-" for the standard output
  std::vector<std::string> namedLogs;         // every path given with -g or -s, even replaced
  ArgumentError error = ArgumentError::none;  // why the command line cannot be run
  std::string errorToken;                     // the option or path it is about
};

// Scans the arguments after the program name. "-g" and "-s" take the next token as their
// path whatever it reads, a later one replacing an earlier one; any other token is a
// candidate output path, the last one winning. The output may name no path given as a
// log, not even one a later option replaced: a slip of the hand must not cost a log.
Arguments scanArguments(std::span<const char* const> arguments);

void printUsage(std::ostream& out);

// The whole run; argv[0] is the program name. Messages go to `err`, the usage text to `out`.
int runConverter(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace tradepl
