#include "app/arguments.hpp"

#include <string_view>

#include "platform/files.hpp"
#include "platform/output_file.hpp"

namespace tradepl {
namespace {

constexpr std::string_view kSpotOption = "-g";
constexpr std::string_view kMarginOption = "-s";
constexpr std::string_view kReportOption = "--report";
constexpr std::string_view kSplitsOption = "--splits";

// True when writing `output` would replace one of `inputs`, named on the command line, or,
// for "-", write into one: the standard output may itself be a log (- >> spot.csv).
bool replacesAnInput(const std::string& output, const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs) {
    if (output == platform::kStandardOutput ? platform::sameFile(output, input)
                                            : samePath(output, input)) {
      return true;
    }
  }
  return false;
}

// The output or the report, if either names a splits file given on the command line.
std::optional<std::string> writesSplitsFile(const Arguments& arguments) {
  for (const std::optional<std::string>* written : {&arguments.outputPath, &arguments.reportPath}) {
    if (*written && replacesAnInput(**written, arguments.namedSplits)) return **written;
  }
  return std::nullopt;
}

void checkCommandLine(Arguments& arguments) {
  if (arguments.error != ArgumentError::none || arguments.help || arguments.version) return;
  if (!arguments.spotPath && !arguments.marginPath) {
    arguments.error =
        arguments.paths.size() > 1 ? ArgumentError::logsNotMarked : ArgumentError::noInputLog;
  } else if (!arguments.outputPath) {
    arguments.error = ArgumentError::noOutputPath;
  } else if (replacesAnInput(*arguments.outputPath, arguments.namedLogs)) {
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
  } else if (arguments.reportPath && replacesAnInput(*arguments.reportPath, arguments.namedLogs)) {
    arguments.error = ArgumentError::reportNamesInput;
    arguments.errorToken = *arguments.reportPath;
  } else if (const std::optional<std::string> written = writesSplitsFile(arguments)) {
    arguments.error = ArgumentError::namesSplitsFile;
    arguments.errorToken = *written;
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
    if (token == kSpotOption || token == kMarginOption || token == kReportOption ||
        token == kSplitsOption) {
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
      (token == kSpotOption ? scanned.spotPath : scanned.marginPath) = path;
      scanned.namedLogs.push_back(path);
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
  return replacesAnInput(std::string(platform::kStandardOutput), arguments.namedLogs) ||
         replacesAnInput(std::string(platform::kStandardOutput), arguments.namedSplits);
}

bool mayNameDroppedLogs(const Arguments& arguments) {
  return (arguments.error == ArgumentError::noInputLog ||
          arguments.error == ArgumentError::logsNotMarked) &&
         arguments.namedLogs.empty() && !arguments.paths.empty() && arguments.paths.size() <= 2;
}

Arguments withDroppedLogs(Arguments arguments, std::span<const LogKind> kinds) {
  // Two logs of one kind take both places in the order given, and the run reads each as
  // what it is.
  const bool oneKind = kinds.size() == 2 && kinds[0] == kinds[1];
  for (std::size_t i = 0; i < arguments.paths.size() && i < kinds.size(); ++i) {
    const bool spotPlace = oneKind ? i == 0 : kinds[i] == LogKind::spot;
    (spotPlace ? arguments.spotPath : arguments.marginPath) = arguments.paths[i];
    arguments.namedLogs.push_back(arguments.paths[i]);
  }
  arguments.outputPath =
      platform::pathBeside(arguments.paths.front(), std::string(kDroppedResultName));
  arguments.dropped = true;
  arguments.error = ArgumentError::none;
  arguments.errorToken.clear();
  checkCommandLine(arguments);
  return arguments;
}

}  // namespace tradepl
