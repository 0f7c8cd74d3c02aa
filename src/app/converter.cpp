#include "app/converter.hpp"

#include <ostream>
#include <string_view>
#include <system_error>
#include <vector>

#include "input/trade_log_reader.hpp"
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

// Reads one log into the list, saying on `err` what could not be read.
bool readLog(TradeList& trades, LogKind log, const std::string& path, std::ostream& err) {
  const LogReport report = readTradeLines(trades, log, path);
  if (!report.readable()) {
    err << "tradepl: " << displayName(path) << ": cannot read: " << report.failure << '\n';
    return false;
  }
  for (const SkippedLine& skipped : report.skipped) {
    err << "tradepl: " << path << ':' << skipped.line
        << ": skipped: " << describe(skipped.problem, log) << '\n';
  }
  return true;
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
  const Arguments arguments =
      scanArguments(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  if (!arguments.error.empty()) {
    printUsage(out);
    err << "tradepl: " << arguments.error << '\n';
    return kCommandLineError;
  }

  int status = kCompleted;
  TradeList trades;
  if (arguments.spotPath && !readLog(trades, LogKind::spot, *arguments.spotPath, err)) {
    status = kInputUnreadable;
  }
  if (arguments.marginPath && !readLog(trades, LogKind::margin, *arguments.marginPath, err)) {
    status = kInputUnreadable;
  }

  ResultList results;
  for (const LedgerNote& note : computeResults(trades, results)) {
    const std::string& path =
        note.source.log() == LogKind::spot ? *arguments.spotPath : *arguments.marginPath;
    err << "tradepl: " << path << ':' << note.source.line() << ": " << describe(note) << '\n';
  }

  const std::string& outputPath = *arguments.outputPath;
  const std::string failure = writeResultLog(outputPath, results);
  if (!failure.empty()) {
    err << "tradepl: " << outputPath << ": cannot write: " << failure << '\n';
    status = kOutputUnwritable;
  }
  return status;
}

}  // namespace tradepl
