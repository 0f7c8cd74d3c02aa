#pragma once
// The run: the logs named on the command line are looked over, then read one after the
// other, each row through one ledger into the result file, and the run ends with a summary.
//
// Exit statuses:
//    0  the run completed (and -h, --help, --version)
//   -1  no arguments: the usage text
//   -2  a command-line error: the usage text, and the reason on standard error
//   -3  a named log could not be opened, or is refused (the run still writes the output
//       from the other log; with no log read, it leaves the output untouched), or a log
//       failed part-way (a read error, a file cut while read): the output is left untouched
//   -4  the output could not be written (wins over -3); nothing at the path is changed

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "input/log_bytes.hpp"

namespace tradepl {

enum ExitStatus : int {
  kCompleted = 0,
  kNoArguments = -1,
  kCommandLineError = -2,
  kInputUnreadable = -3,
  kOutputUnwritable = -4,
};

// The usage text: the command line and the heading lines of both logs, in Shift_JIS, as
// the program has always printed it; for a console, in the console's encoding.
void printUsage(std::ostream& out, bool toConsole = false);

// True when a run should wait for Enter before it ends: alone in a console of its own, as
// Explorer starts it for a double-click or a drop, whose window would close before what
// the run said could be read. Explorer never names a log with -g or -s; a command line that
// does comes from a script or a scheduled task, where nobody would press Enter.
bool pausesBeforeClosing(unsigned processesOnConsole, bool logsNamedWithOptions);

// The whole run; argv[0] is the program name. Messages and the summary go to `err`; the
// usage and help texts, and the results when the output is "-", to `out`.
int runConverter(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// How a file is to be read: a log, from any place (one from a pipe is first copied to a
// temporary file), or a small file of the user's, from start to end, once.
enum class ReadAs : std::uint8_t { log, once };

// How a run opens every file it reads: openFileAs, unless a test puts in bytes that fail as a
// disk would.
using FileOpener = std::function<OpenedLog(const std::string& path, ReadAs how)>;
OpenedLog openFileAs(const std::string& path, ReadAs how);
int runConverter(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                 const FileOpener& openFile);

}  // namespace tradepl
