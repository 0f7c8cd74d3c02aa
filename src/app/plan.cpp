#include "app/plan.hpp"

#include <algorithm>
#include <array>
#include <utility>

#include "input/dividends_file.hpp"
#include "input/splits_file.hpp"
#include "platform/files.hpp"
#include "words/describe.hpp"

namespace tradepl {
namespace {

// What is said of a command line that cannot be run, one row an ArgumentError.
struct ArgumentWords {
  ArgumentError error;
  std::optional<Message> message;  // none: the command line can be run
  bool withToken;                  // {1} the option or the path it is about
};

constexpr auto kArgumentWords = std::to_array<ArgumentWords>({
    {ArgumentError::none, std::nullopt, false},
    {ArgumentError::optionWithoutPath, Message::optionWithoutPath, true},
    {ArgumentError::unknownOption, Message::unknownOption, true},
    {ArgumentError::noInputLog, Message::noInputLog, false},
    {ArgumentError::logsNotMarked, Message::logsNotMarked, false},
    {ArgumentError::noOutputPath, Message::noOutputPath, false},
    {ArgumentError::outputNamesInput, Message::outputNamesInput, true},
    {ArgumentError::reportNamesOutput, Message::reportNamesOutput, true},
    {ArgumentError::reportReachesOutput, Message::reportReachesOutput, true},
    {ArgumentError::reportNamesInput, Message::reportNamesInput, true},
    {ArgumentError::namesSplitsFile, Message::namesSplitsFile, true},
    {ArgumentError::namesDividendsFile, Message::namesDividendsFile, true},
});
static_assert(isRowPerValue(kArgumentWords, &ArgumentWords::error,
                            ArgumentError::namesDividendsFile));
static_assert(std::ranges::all_of(kArgumentWords, [](const ArgumentWords& row) {
  return !row.message || blanksOf(*row.message) == (row.withToken ? 1 : 0);
}));

// True for a log that was looked over without a fault and reads as a trade log.
bool readsAsALog(const LookedLog& looked) {
  return looked.reader && !looked.reader->failure() &&
         looked.reader->refusal() == LogRefusal::none && looked.reader->recognised();
}

// What is said of a small file of the user's that does not read.
struct UserFileWords {
  Message badLine;  // {1} why
  Message notRead;  // {1} why
  Message tooLong;
};

constexpr UserFileWords kSplitsWords{Message::notASplit, Message::splitsNotRead,
                                     Message::splitsTooLong};
constexpr UserFileWords kDividendsWords{Message::notADividend, Message::dividendsNotRead,
                                        Message::dividendsTooLong};
constexpr std::array kUserFileWords{kSplitsWords, kDividendsWords};
static_assert(allHaveBlanks(kUserFileWords, &UserFileWords::badLine, 1) &&
              allHaveBlanks(kUserFileWords, &UserFileWords::notRead, 1) &&
              allHaveBlanks(kUserFileWords, &UserFileWords::tooLong, 0));

// A small file of the user's (splits, dividends) read whole before any log, or nothing when
// it does not read: it then refuses the run. `read` reads the opened bytes.
template <typename File, typename Read>
std::optional<File> readUserFile(const std::string& path, Reporter& reporter, Language language,
                                 const FileOpener& openFile, Read read,
                                 const UserFileWords& words) {
  OpenedLog opened = openFile(path, ReadAs::once);
  const File file = opened.bytes ? read(*opened.bytes) : File{};
  if (file.badLine != 0) {
    reporter.report(path, file.badLine,
                    sayChosen(language, words.badLine, describe(language, file.problem)));
    return std::nullopt;
  }
  if (!opened.bytes || file.refused()) {
    const std::string why = !opened.bytes  ? describe(language, opened.problem)
                            : file.failure ? describe(language, file.failure)
                                           : sayChosen(language, words.tooLong);
    reporter.report(displayName(path), sayChosen(language, words.notRead, why));
    return std::nullopt;
  }
  return file;
}

}  // namespace

LookedLog lookAt(const std::string& path, LogKind namedAs, const FileOpener& openFile) {
  LookedLog looked{path, openFile(path, ReadAs::log), nullptr};
  if (looked.opened.bytes) {
    looked.reader = std::make_unique<LogReader>(*looked.opened.bytes, namedAs);
  }
  return looked;
}

std::string displayName(const std::string& path) {
  return path.empty() ? "''" : path;
}

std::string describe(Language language, const Arguments& arguments) {
  const ArgumentWords& words = kArgumentWords[static_cast<std::size_t>(arguments.error)];
  if (!words.message) return {};
  return words.withToken ? sayChosen(language, *words.message, arguments.errorToken)
                         : sayChosen(language, *words.message);
}

Arguments takeDroppedLogs(const Arguments& scanned, Reporter& reporter, Language language,
                          const FileOpener& openFile, std::vector<LookedLog>& looked) {
  if (!mayNameDroppedLogs(scanned)) return scanned;
  std::vector<LogKind> kinds;
  for (const std::string& path : scanned.paths) {
    // A FIFO or a device is not opened to look: reading it would take what it holds.
    if (!platform::isRegularFile(path)) continue;
    looked.push_back(lookAt(path, LogKind::spot, openFile));
    if (readsAsALog(looked.back())) kinds.push_back(looked.back().reader->kind());
  }
  if (kinds.size() == scanned.paths.size()) return withDroppedLogs(scanned, kinds);
  for (const LookedLog& log : looked) {
    if (log.reader && !log.reader->failure() && log.reader->refusal() != LogRefusal::none) {
      reporter.report(log.path, describe(language, log.reader->refusal()));
    }
  }
  looked.clear();
  return scanned;
}

std::optional<std::string> writesOverALog(const Arguments& arguments, const FileOpener& openFile) {
  for (const std::optional<std::string>* written : {&arguments.outputPath, &arguments.reportPath}) {
    if (!*written || !platform::isRegularFile(**written)) continue;
    if (readsAsALog(lookAt(**written, LogKind::spot, openFile))) return **written;
  }
  return std::nullopt;
}

std::optional<std::vector<StockSplit>> readSplits(const Arguments& arguments, Reporter& reporter,
                                                  Language language, const FileOpener& openFile) {
  if (!arguments.splitsPath) return std::vector<StockSplit>{};
  const std::optional<SplitsFile> file = readUserFile<SplitsFile>(
      *arguments.splitsPath, reporter, language, openFile, readSplitsFile, kSplitsWords);
  return file ? std::optional(file->splits) : std::nullopt;
}

std::optional<YearlyDividends> readDividends(const Arguments& arguments, Reporter& reporter,
                                             Language language, const FileOpener& openFile) {
  if (!arguments.dividendsPath) return YearlyDividends{};
  const std::optional<DividendsFile> file = readUserFile<DividendsFile>(
      *arguments.dividendsPath, reporter, language, openFile, readDividendsFile, kDividendsWords);
  return file ? std::optional(file->dividends) : std::nullopt;
}

}  // namespace tradepl
