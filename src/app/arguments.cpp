#include "app/arguments.hpp"

#include <string_view>

#include "platform/files.hpp"
#include "platform/output_file.hpp"
#include "records/log_kinds.hpp"

namespace tradepl {
namespace {

constexpr std::string_view kReportOption = "--report";
constexpr std::string_view kSplitsOption = "--splits";
constexpr std::string_view kDividendsOption = "--dividends";

// True when writing `output` would replace one of `inputs`, named on the command line, or,
// for "-", write into one: the standard output may itself be a log (- >> spot.csv).
// The paths of the logs, in the order named.
std::vector<std::string> pathsOf(const std::vector<LogPath>& logs) {
  std::vector<std::string> paths;
  for (const LogPath& log : logs) paths.push_back(log.path);
  return paths;
}

bool replacesAnInput(const std::string& output, const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs) {
    if (output == platform::kStandardOutput ? platform::sameFile(output, input)
                                            : samePath(output, input)) {
      return true;
    }
  }
  return false;
}

// The output or the report, if either names one of `files` given on the command line.
std::optional<std::string> writesOneOf(const Arguments& arguments,
                                       const std::vector<std::string>& files) {
  for (const std::optional<std::string>* written : {&arguments.outputPath, &arguments.reportPath}) {
    if (*written && replacesAnInput(**written, files)) return **written;
  }
  return std::nullopt;
}

void checkCommandLine(Arguments& arguments) {
  if (arguments.error != ArgumentError::none || arguments.help || arguments.version) return;
  if (arguments.logs.empty()) {
    arguments.error =
        arguments.paths.size() > 1 ? ArgumentError::logsNotMarked : ArgumentError::noInputLog;
  } else if (!arguments.outputPath) {
    arguments.error = ArgumentError::noOutputPath;
  } else if (replacesAnInput(*arguments.outputPath, pathsOf(arguments.logs))) {
    arguments.error = ArgumentError::outputNamesInput;
    arguments.errorToken = *arguments.outputPath;
  } else if (arguments.reportPath && samePath(*arguments.reportPath, *arguments.outputPath)) {
    arguments.error = ArgumentError::reportNamesOutput;
    arguments.errorToken = *arguments.reportPath;
  } else if (arguments.reportPath &&
             platform::sameStreamOrDevice(*arguments.reportPath, *arguments.outputPath)) {
    // Their lines would be mixed in one stream: --report /dev/stdout -, or 2>&1 with
    // --report /dev/stderr.
    arguments.error = ArgumentError::reportReachesOutput;
    arguments.errorToken = *arguments.reportPath;
  } else if (arguments.reportPath &&
             replacesAnInput(*arguments.reportPath, pathsOf(arguments.logs))) {
    arguments.error = ArgumentError::reportNamesInput;
    arguments.errorToken = *arguments.reportPath;
  } else if (const std::optional<std::string> written =
                 writesOneOf(arguments, arguments.namedSplits)) {
    arguments.error = ArgumentError::namesSplitsFile;
    arguments.errorToken = *written;
  } else if (const std::optional<std::string> dividends =
                 writesOneOf(arguments, arguments.namedDividends)) {
    arguments.error = ArgumentError::namesDividendsFile;
    arguments.errorToken = *dividends;
  }
}

// Takes an option that stands alone; false for a token that is none of them.
bool takeSwitch(std::string_view token, Arguments& arguments) {
  if (token == "-h" || token == "--help") {
    arguments.help = true;
  } else if (token == "--version") {
    arguments.version = true;
  } else if (token == "-q" || token == "--quiet") {
    arguments.quiet = true;
  } else if (token == "--tax") {
    arguments.tax = true;
  } else if (token == "--detail") {
    arguments.detail = true;
  } else {
    return false;
  }
  return true;
}

void refuse(Arguments& arguments, ArgumentError error, std::string_view token) {
  if (arguments.error != ArgumentError::none) return;  // the first one is said
  arguments.error = error;
  arguments.errorToken = std::string(token);
}

}  // namespace

bool samePath(const std::string& a, const std::string& b) {
  return a == b || platform::sameFile(a, b);
}

Arguments scanArguments(std::span<const char* const> arguments) {
  Arguments scanned;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view token = arguments[i];
    if (logKindOfOption(token) || token == kReportOption || token == kSplitsOption ||
        token == kDividendsOption) {
      if (i + 1 == arguments.size()) {
        refuse(scanned, ArgumentError::optionWithoutPath, token);
        break;
      }
      const std::string path = arguments[++i];
      if (token == kReportOption) {
        scanned.reportPath = path;
        continue;
      }
      if (token == kSplitsOption) {
        scanned.splitsPath = path;
        scanned.namedSplits.push_back(path);
        continue;
      }
      if (token == kDividendsOption) {
        scanned.dividendsPath = path;
        scanned.namedDividends.push_back(path);
        continue;
      }
      scanned.logs.push_back({*logKindOfOption(token), path});
    } else if (takeSwitch(token, scanned)) {
      continue;
    } else if (token.size() > 1 && token.front() == '-') {
      refuse(scanned, ArgumentError::unknownOption, token);
    } else {
      scanned.outputPath = std::string(token);
      scanned.paths.emplace_back(token);
    }
  }
  checkCommandLine(scanned);
  return scanned;
}

bool standardOutputIsAnInput(const Arguments& arguments) {
  const std::string standardOutput(platform::kStandardOutput);
  return replacesAnInput(standardOutput, pathsOf(arguments.logs)) ||
         replacesAnInput(standardOutput, arguments.namedSplits) ||
         replacesAnInput(standardOutput, arguments.namedDividends);
}

bool mayNameDroppedLogs(const Arguments& arguments) {
  return (arguments.error == ArgumentError::noInputLog ||
          arguments.error == ArgumentError::logsNotMarked) &&
         arguments.logs.empty() && !arguments.paths.empty();
}

Arguments withDroppedLogs(Arguments arguments, std::span<const LogKind> kinds) {
  for (std::size_t i = 0; i < arguments.paths.size() && i < kinds.size(); ++i) {
    arguments.logs.push_back({kinds[i], arguments.paths[i]});
  }
  arguments.outputPath =
      platform::pathBeside(arguments.paths.front(), std::string(kDroppedResultName));
  // A shortcut's "Start in" folder is often the program's own; the user looks for the
  // report beside the result file.
  std::optional<std::string>& report = arguments.reportPath;
  if (report && !report->empty() && *report != platform::kStandardOutput &&
      platform::filePath(*report).is_relative()) {
    report = platform::pathBeside(*arguments.outputPath, *report);
  }
  arguments.dropped = true;
  arguments.error = ArgumentError::none;
  arguments.errorToken.clear();
  checkCommandLine(arguments);
  return arguments;
}

}  // namespace tradepl
