#include "app/converter.hpp"

#include <memory>
#include <ostream>
#include <string_view>
#include <utility>
#include <vector>

#include "app/log_run.hpp"
#include "app/messages.hpp"
#include "app/reporter.hpp"
#include "input/log_reader.hpp"
#include "ledger/ledger.hpp"
#include "output/result_writer.hpp"
#include "platform/files.hpp"
#include "platform/output_file.hpp"

namespace tradepl {
namespace {

constexpr std::string_view kSpotOption = "-g";
constexpr std::string_view kMarginOption = "-s";

// True when writing `output` would replace a log named on the command line.
bool namesALog(const std::string& output, const std::vector<std::string>& logs) {
  if (output == platform::kStandardOutput) return false;
  for (const std::string& log : logs) {
    if (output == log || platform::sameFile(output, log)) return true;
  }
  return false;
}

void checkCommandLine(Arguments& arguments) {
  if (!arguments.spotPath && !arguments.marginPath) {
    arguments.error = ArgumentError::noInputLog;
  } else if (!arguments.outputPath) {
    arguments.error = ArgumentError::noOutputPath;
  } else if (namesALog(*arguments.outputPath, arguments.namedLogs)) {
    arguments.error = ArgumentError::outputNamesInput;
    arguments.errorToken = *arguments.outputPath;
  }
}

std::string describe(Language language, const Arguments& arguments) {
  switch (arguments.error) {
    case ArgumentError::optionWithoutPath:
      return say(language, Message::optionWithoutPath, {arguments.errorToken});
    case ArgumentError::noInputLog:
      return say(language, Message::noInputLog);
    case ArgumentError::noOutputPath:
      return say(language, Message::noOutputPath);
    case ArgumentError::outputNamesInput:
      return say(language, Message::outputNamesInput, {arguments.errorToken});
    case ArgumentError::none:
      break;
  }
  return {};
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
};

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

// Opens and looks over the logs named on the command line; says which cannot be read.
std::vector<NamedLog> openLogs(const Arguments& arguments, Reporter& reporter, Language language,
                               int& status) {
  std::vector<NamedLog> logs;
  for (const auto& [kind, path] : {std::pair(LogKind::spot, &arguments.spotPath),
                                   std::pair(LogKind::margin, &arguments.marginPath)}) {
    if (!*path) continue;
    OpenedLog opened = openLogFile(**path);
    if (!opened.bytes) {
      reporter.report(displayName(**path),
                      say(language, Message::cannotRead, {describe(language, opened.problem)}));
      status = kInputUnreadable;
      continue;
    }
    auto reader = std::make_unique<LogReader>(*opened.bytes, kind);
    if (reader->failure()) {
      reporter.report(**path,
                      say(language, Message::cannotRead, {describe(language, reader->failure())}));
      status = kInputUnreadable;
    } else if (reader->refusal() != LogRefusal::none) {
      reporter.report(**path, say(language, refusalMessage(reader->refusal(), kind)));
      status = kInputUnreadable;
    } else {
      logs.push_back({kind, **path, std::move(opened.bytes), std::move(reader)});
    }
  }
  return logs;
}

// Reads each log through the ledger into the result file.
void readLogs(std::vector<NamedLog>& logs, ResultLog& results, Reporter& reporter,
              Language language, int& status) {
  HoldingLedger ledger;
  for (NamedLog& log : logs) {
    if (log.reader->newestFirst()) reporter.report(log.path, say(language, Message::newestFirst));
    LogRun run(log.kind, log.path, ledger, results, reporter, language);
    const LogReport report = log.reader->read(run);
    run.finish(report);
    if (!report.readable()) {
      reporter.report(log.path,
                      say(language, Message::cannotRead, {describe(language, report.failure)}));
      status = kInputUnreadable;
    }
  }
}

}  // namespace

Arguments scanArguments(std::span<const char* const> arguments) {
  Arguments scanned;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view token = arguments[i];
    if (token == kSpotOption || token == kMarginOption) {
      if (i + 1 == arguments.size()) {
        scanned.error = ArgumentError::optionWithoutPath;
        scanned.errorToken = std::string(token);
        return scanned;
      }
      (token == kSpotOption ? scanned.spotPath : scanned.marginPath) = arguments[++i];
      scanned.namedLogs.emplace_back(arguments[i]);
    } else {
      scanned.outputPath = std::string(token);
    }
  }
  checkCommandLine(scanned);
  return scanned;
}

void printUsage(std::ostream& out) {
  out << "Usage: [-g i_zelGenbutsu_log.csv] [-s i_zelShinyo_log.csv] o_log.csv\n";
  out << "\t--- i_zelGenbutsu_log.csv ---\n";
  out << '\t' << headingLine(LogKind::spot) << '\n';
  out << "\t...\n";
  out << "\t--- i_zelShinyo_log.csv ---\n";
  out << '\t' << headingLine(LogKind::margin) << '\n';
  out << "\t...\n";
}

int runConverter(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  if (argc <= 1) {
    printUsage(out);
    return kNoArguments;
  }
  const Language language = Language::english;
  Reporter reporter(err);
  const Arguments arguments =
      scanArguments(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  if (arguments.error != ArgumentError::none) {
    printUsage(out);
    reporter.report(describe(language, arguments));
    return kCommandLineError;
  }

  int status = kCompleted;
  std::vector<NamedLog> logs = openLogs(arguments, reporter, language, status);
  const std::string& outputPath = *arguments.outputPath;
  if (logs.empty()) {
    // A mistyped log name must not cost the user a good result file.
    reporter.report(outputPath, say(language, Message::notWritten));
    return status;
  }
  const platform::FileProblem problem = writeResultLog(
      outputPath, [&](ResultLog& results) { readLogs(logs, results, reporter, language, status); });
  if (problem) {
    reporter.report(outputPath, say(language, Message::cannotWrite, {describe(language, problem)}));
    status = kOutputUnwritable;
  }
  return status;
}

}  // namespace tradepl
