#include "app/converter.hpp"

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/arguments.hpp"
#include "app/conversion.hpp"
#include "app/plan.hpp"
#include "input/log_reader.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/text.hpp"
#include "records/log_kinds.hpp"
#include "words/reporter.hpp"
#include "words/say.hpp"

namespace tradepl {

void printUsage(std::ostream& out, bool toConsole) {
  std::string usage = "Usage:";
  for (const LogKindFacts& log : kLogKinds) {
    usage += " [" + std::string(log.option) + ' ' + std::string(log.exportName) + ']';
  }
  usage += " o_log.csv\n";
  for (const LogKindFacts& log : kLogKinds) {
    usage += "\t--- " + std::string(log.exportName) + " ---\n";
    usage += '\t' + headingLine(log.kind) + '\n';
    usage += "\t...\n";
  }
  // A file or a pipe gets the bytes the program has always printed; a person at a console
  // gets headings that read.
  out << (toConsole ? platform::forConsole(platform::utf8FromShiftJis(usage),
                                           platform::StandardStream::output)
                    : usage);
}

bool pausesBeforeClosing(unsigned processesOnConsole, bool logsNamedWithOptions) {
  return processesOnConsole == 1 && !logsNamedWithOptions;
}

namespace {

// Why the command line cannot run, or nothing: a fault of its own, or an output or report
// that would be written over a trade log.
std::string refusalOf(const Arguments& arguments, Language language, const FileOpener& openFile) {
  if (arguments.error != ArgumentError::none) return describe(language, arguments);
  if (const std::optional<std::string> log = writesOverALog(arguments, openFile)) {
    return say(language, Message::outputIsALog, *log);
  }
  return {};
}

int refuseCommandLine(const std::string& refusal, const Arguments& arguments, Reporter& reporter,
                      std::ostream& out) {
  // The reason first: the usage text after it is long, and may scroll it away.
  reporter.report(refusal);
  reporter.flush();
  // The standard output may be a log itself (- >> spot.csv, /dev/stdout >> spot.csv):
  // the usage text would be written into it.
  if (!standardOutputIsAnInput(arguments)) printUsage(out, platform::standardOutputIsConsole());
  return kCommandLineError;
}

int runCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                   const FileOpener& openFile, Language language, bool& logsNamedWithOptions) {
  if (argc <= 1) {
    // A double-click: whoever started it has no command line to type the usage into.
    if (pausesBeforeClosing(platform::processesOnConsole(), false)) {
      out << platform::forConsole(say(language, Message::withoutCommandLine),
                                  platform::StandardStream::output);
    }
    printUsage(out, platform::standardOutputIsConsole());
    return kNoArguments;
  }
  const Arguments scanned =
      scanArguments(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  logsNamedWithOptions = !scanned.logs.empty();
  Reporter reporter(err);
  std::vector<LookedLog> looked;
  const Arguments arguments = takeDroppedLogs(scanned, reporter, language, openFile, looked);
  if (arguments.help) {
    out << platform::forConsole(say(language, Message::help, TRADEPL_VERSION, kSynopsis),
                                platform::StandardStream::output);
    return kCompleted;
  }
  if (arguments.version) {
    out << "tradepl " << TRADEPL_VERSION << '\n';
    return kCompleted;
  }
  if (const std::string refusal = refusalOf(arguments, language, openFile); !refusal.empty()) {
    return refuseCommandLine(refusal, arguments, reporter, out);
  }
  std::optional<std::vector<StockSplit>> splits =
      readSplits(arguments, reporter, language, openFile);
  if (!splits) return kCommandLineError;
  std::optional<YearlyDividends> dividends = readDividends(arguments, reporter, language, openFile);
  if (!dividends) return kCommandLineError;
  return Conversion(arguments, reporter, language, std::move(*splits), std::move(*dividends),
                    openFile, std::move(looked))
      .run();
}

}  // namespace

OpenedLog openFileAs(const std::string& path, ReadAs how) {
  return how == ReadAs::log ? openLogFile(path) : openToReadOnce(path);
}

int runConverter(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  return runConverter(argc, argv, out, err, openFileAs);
}

int runConverter(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                 const FileOpener& openFile) {
  const Language language = platform::userReadsJapanese() ? Language::japanese : Language::english;
  bool logsNamedWithOptions = false;
  const int status = runCommandLine(argc, argv, out, err, openFile, language, logsNamedWithOptions);
  // A window Explorer opened for a double-click or a drop closes with the program: what the
  // run said stays until the user has read it.
  if (pausesBeforeClosing(platform::processesOnConsole(), logsNamedWithOptions)) {
    out << '\n'
        << platform::forConsole(say(language, Message::pressEnter),
                                platform::StandardStream::output)
        << std::flush;
    platform::waitForEnter();
  }
  return status;
}

}  // namespace tradepl
