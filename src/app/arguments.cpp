#include "app/arguments.hpp"

#include <string_view>

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
  if (arguments.error != ArgumentError::none || arguments.help || arguments.version) return;
  if (!arguments.spotPath && !arguments.marginPath) {
    arguments.error =
        arguments.pathTokens > 1 ? ArgumentError::logsNotMarked : ArgumentError::noInputLog;
  } else if (!arguments.outputPath) {
    arguments.error = ArgumentError::noOutputPath;
  } else if (namesALog(*arguments.outputPath, arguments.namedLogs)) {
    arguments.error = ArgumentError::outputNamesInput;
    arguments.errorToken = *arguments.outputPath;
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

Arguments scanArguments(std::span<const char* const> arguments) {
  Arguments scanned;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view token = arguments[i];
    if (token == kSpotOption || token == kMarginOption) {
      if (i + 1 == arguments.size()) {
        refuse(scanned, ArgumentError::optionWithoutPath, token);
        break;
      }
      (token == kSpotOption ? scanned.spotPath : scanned.marginPath) = arguments[++i];
      scanned.namedLogs.emplace_back(arguments[i]);
    } else if (takeSwitch(token, scanned)) {
      continue;
    } else if (token.size() > 1 && token.front() == '-') {
      refuse(scanned, ArgumentError::unknownOption, token);
    } else {
      scanned.outputPath = std::string(token);
      ++scanned.pathTokens;
    }
  }
  checkCommandLine(scanned);
  return scanned;
}

}  // namespace tradepl
