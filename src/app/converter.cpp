#include "app/converter.hpp"

#include <memory>
#include <ostream>
#include <string_view>
#include <utility>
#include <vector>

#include "app/reporter.hpp"
#include "input/log_reader.hpp"
#include "ledger/ledger.hpp"
#include "output/result_writer.hpp"
#include "platform/files.hpp"

namespace tradepl {
namespace {

constexpr std::string_view kSpotOption = "-g";
constexpr std::string_view kMarginOption = "-s";

void printHeadingLine(std::ostream& out, LogKind log) {
  out << '\t';
  const char* separator = "";
  for (const std::string_view heading : columnHeadings(log)) {
    out << separator << heading;
    separator = ",";
  }
  out << '\n';
}

// True when writing `output` would replace one of the input logs.
bool namesAnInput(const std::string& output, const std::optional<std::string>& input) {
  if (!input) return false;
  return output == *input || platform::sameFile(output, *input);
}

std::string commandLineError(const Arguments& arguments) {
  if (!arguments.spotPath && !arguments.marginPath) {
    return "no input log: name a spot log with -g or a margin log with -s";
  }
  if (!arguments.outputPath) return "no output path";
  if (namesAnInput(*arguments.outputPath, arguments.spotPath) ||
      namesAnInput(*arguments.outputPath, arguments.marginPath)) {
    return "the output path " + *arguments.outputPath + " names an input log";
  }
  return {};
}

std::string displayName(const std::string& path) {
  return path.empty() ? "''" : path;
}

// Takes each row of a log through the ledger to the result file as it is read, and tells
// the user what it could not use.
class ConvertingSink final : public LineSink {
 public:
  ConvertingSink(LogKind log, const std::string& path, HoldingLedger& ledger, ResultLog& results,
                 Reporter& reporter)
      : log_(log), path_(path), ledger_(ledger), results_(results), reporter_(reporter) {}

  void kept(const TradeRow& row) override {
    const TradeOutcome outcome = applyTrade(ledger_, row);
    if (outcome.result) results_.append(*outcome.result);
    if (outcome.note) reporter_.report(path_, row.line, describe(*outcome.note, row));
  }
  void skipped(std::uint64_t line, const LineProblem& problem) override {
    reporter_.report(path_, line, "skipped: " + describe(problem, log_));
  }

 private:
  LogKind log_;
  const std::string& path_;
  HoldingLedger& ledger_;
  ResultLog& results_;
  Reporter& reporter_;
};

struct LogToRead {
  LogKind kind;
  std::string path;
  std::unique_ptr<LogBytes> bytes;
};

// Opens the logs named on the command line, saying which cannot be read.
std::vector<LogToRead> openLogs(const Arguments& arguments, Reporter& reporter, int& status) {
  std::vector<LogToRead> logs;
  for (const auto& [kind, path] : {std::pair(LogKind::spot, &arguments.spotPath),
                                   std::pair(LogKind::margin, &arguments.marginPath)}) {
    if (!*path) continue;
    OpenedLog opened = openLogFile(**path);
    if (!opened.bytes) {
      reporter.report(displayName(**path), "cannot read: " + opened.failure);
      status = kInputUnreadable;
      continue;
    }
    logs.push_back({kind, **path, std::move(opened.bytes)});
  }
  return logs;
}

}  // namespace

Arguments scanArguments(std::span<const char* const> arguments) {
  Arguments scanned;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view token = arguments[i];
    if (token == kSpotOption || token == kMarginOption) {
      if (i + 1 == arguments.size()) {
        scanned.error = std::string(token) + " needs a path after it";
        return scanned;
      }
      (token == kSpotOption ? scanned.spotPath : scanned.marginPath) = arguments[++i];
    } else {
      scanned.outputPath = std::string(token);
    }
  }
  scanned.error = commandLineError(scanned);
  return scanned;
}

void printUsage(std::ostream& out) {
  out << "Usage: [-g i_zelGenbutsu_log.csv] [-s i_zelShinyo_log.csv] o_log.csv\n";
  out << "\t--- i_zelGenbutsu_log.csv ---\n";
  printHeadingLine(out, LogKind::spot);
  out << "\t...\n";
  out << "\t--- i_zelShinyo_log.csv ---\n";
  printHeadingLine(out, LogKind::margin);
  out << "\t...\n";
}

int runConverter(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  if (argc <= 1) {
    printUsage(out);
    return kNoArguments;
  }
  Reporter reporter(err);
  const Arguments arguments =
      scanArguments(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  if (!arguments.error.empty()) {
    printUsage(out);
    reporter.report(arguments.error);
    return kCommandLineError;
  }

  int status = kCompleted;
  std::vector<LogToRead> logs = openLogs(arguments, reporter, status);
  HoldingLedger ledger;
  const std::string& outputPath = *arguments.outputPath;
  const std::string failure = writeResultLog(outputPath, [&](ResultLog& results) {
    for (LogToRead& log : logs) {
      ConvertingSink sink(log.kind, log.path, ledger, results, reporter);
      const LogReport report = readTradeLines(*log.bytes, log.kind, sink);
      if (!report.readable()) {
        reporter.report(log.path, "cannot read: " + report.failure);
        status = kInputUnreadable;
      }
    }
  });
  if (!failure.empty()) {
    reporter.report(outputPath, "cannot write: " + failure);
    status = kOutputUnwritable;
  }
  return status;
}

}  // namespace tradepl
