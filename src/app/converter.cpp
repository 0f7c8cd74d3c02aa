#include "app/converter.hpp"

#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/arguments.hpp"
#include "app/log_run.hpp"
#include "app/messages.hpp"
#include "app/reporter.hpp"
#include "app/summary.hpp"
#include "input/log_reader.hpp"
#include "ledger/ledger.hpp"
#include "output/result_writer.hpp"
#include "platform/console.hpp"

namespace tradepl {
namespace {

std::string describe(Language language, const Arguments& arguments) {
  switch (arguments.error) {
    case ArgumentError::optionWithoutPath:
      return say(language, Message::optionWithoutPath, {arguments.errorToken});
    case ArgumentError::unknownOption:
      return say(language, Message::unknownOption, {arguments.errorToken});
    case ArgumentError::noInputLog:
      return say(language, Message::noInputLog);
    case ArgumentError::logsNotMarked:
      return say(language, Message::logsNotMarked);
    case ArgumentError::noOutputPath:
      return say(language, Message::noOutputPath);
    case ArgumentError::outputNamesInput:
      return say(language, Message::outputNamesInput, {arguments.errorToken});
    case ArgumentError::none:
      break;
  }
  return {};
}

Message refusalMessage(LogRefusal refusal, LogKind log) {
  switch (refusal) {
    case LogRefusal::utf8:
      return Message::writtenInUtf8;
    case LogRefusal::utf16:
      return Message::writtenInUtf16;
    case LogRefusal::nulBytes:
      return Message::holdsNulBytes;
    case LogRefusal::otherLog:
    case LogRefusal::none:
      break;
  }
  return log == LogKind::spot ? Message::isMarginLog : Message::isSpotLog;
}

std::string displayName(const std::string& path) {
  return path.empty() ? "''" : path;
}

// A log named on the command line, opened and looked over.
struct NamedLog {
  LogKind kind;
  std::string path;
  std::unique_ptr<LogBytes> bytes;
  std::unique_ptr<LogReader> reader;
  std::size_t inSummary;
};

// One conversion, from the logs named to the summary.
class Conversion {
 public:
  Conversion(const Arguments& arguments, Reporter& reporter, Language language)
      : arguments_(arguments), reporter_(reporter), language_(language) {}

  int run() {
    openLogs();
    const std::string& output = *arguments_.outputPath;
    bool written = false;
    if (logs_.empty()) {
      // A mistyped log name must not cost the user a good result file.
      reporter_.report(output, say(language_, Message::notWritten));
    } else if (const platform::FileProblem problem =
                   writeResultLog(output, [this](ResultLog& results) { readLogs(results); })) {
      reporter_.report(output,
                       say(language_, Message::cannotWrite, {describe(language_, problem)}));
      status_ = kOutputUnwritable;
    } else {
      written = true;
    }
    if (!arguments_.quiet) {
      const std::vector<std::string> lines = summary_.lines(language_, output, written);
      reporter_.report(lines.front());
      for (std::size_t i = 1; i < lines.size(); ++i) reporter_.write(lines[i]);
    }
    return status_;
  }

 private:
  void cannotRead(const std::string& path, const std::string& why) {
    reporter_.report(path, why);
    summary_.explained();
    status_ = kInputUnreadable;
  }

  // Opens and looks over the logs named on the command line; says which cannot be read.
  void openLogs() {
    for (const auto& [kind, path] : {std::pair(LogKind::spot, &arguments_.spotPath),
                                     std::pair(LogKind::margin, &arguments_.marginPath)}) {
      if (!*path) continue;
      const std::size_t inSummary = summary_.logNamed(displayName(**path));
      OpenedLog opened = openLogFile(**path);
      if (!opened.bytes) {
        cannotRead(displayName(**path),
                   say(language_, Message::cannotRead, {describe(language_, opened.problem)}));
        continue;
      }
      auto reader = std::make_unique<LogReader>(*opened.bytes, kind);
      if (reader->failure()) {
        cannotRead(**path,
                   say(language_, Message::cannotRead, {describe(language_, reader->failure())}));
      } else if (reader->refusal() != LogRefusal::none) {
        cannotRead(**path, say(language_, refusalMessage(reader->refusal(), kind)));
      } else {
        logs_.push_back({kind, **path, std::move(opened.bytes), std::move(reader), inSummary});
      }
    }
  }

  // Reads each log through the ledger into the result file.
  void readLogs(ResultLog& results) {
    HoldingLedger ledger;
    for (NamedLog& log : logs_) {
      if (log.reader->newestFirst()) {
        reporter_.report(log.path, say(language_, Message::newestFirst));
      }
      LogRun run(log.kind, log.path, ledger, results, reporter_, summary_, language_);
      const LogReport report = log.reader->read(run);
      run.finish(report);
      summary_.logRead(log.inSummary, report);
      if (!report.readable()) {
        reporter_.report(
            log.path, say(language_, Message::cannotRead, {describe(language_, report.failure)}));
        summary_.explained();
        status_ = kInputUnreadable;
      }
    }
  }

  const Arguments& arguments_;
  Reporter& reporter_;
  Language language_;
  RunSummary summary_;
  std::vector<NamedLog> logs_;
  int status_ = kCompleted;
};

}  // namespace

void printUsage(std::ostream& out) {
  out << "Usage: [-g i_zelGenbutsu_log.csv] [-s i_zelShinyo_log.csv] o_log.csv\n";
  out << "\t--- i_zelGenbutsu_log.csv ---\n";
  out << '\t' << headingLine(LogKind::spot) << '\n';
  out << "\t...\n";
  out << "\t--- i_zelShinyo_log.csv ---\n";
  out << '\t' << headingLine(LogKind::margin) << '\n';
  out << "\t...\n";
}

bool pausesBeforeClosing(int argc, unsigned processesOnConsole) {
  return argc <= 1 && processesOnConsole == 1;
}

int runConverter(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  const Language language = platform::userReadsJapanese() ? Language::japanese : Language::english;
  if (argc <= 1) {
    printUsage(out);
    if (pausesBeforeClosing(argc, platform::processesOnConsole())) {
      out << '\n' << platform::forConsole(say(language, Message::pressEnter)) << std::flush;
      platform::waitForEnter();
    }
    return kNoArguments;
  }
  const Arguments arguments =
      scanArguments(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  if (arguments.help) {
    out << platform::forConsole(say(language, Message::help, {TRADEPL_VERSION}));
    return kCompleted;
  }
  if (arguments.version) {
    out << "tradepl " << TRADEPL_VERSION << '\n';
    return kCompleted;
  }
  Reporter reporter(err);
  if (arguments.error != ArgumentError::none) {
    printUsage(out);
    reporter.report(describe(language, arguments));
    return kCommandLineError;
  }
  return Conversion(arguments, reporter, language).run();
}

}  // namespace tradepl
