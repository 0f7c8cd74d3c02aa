#include "words/describe.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>

#include "platform/text.hpp"
#include "words/log_kind_words.hpp"

namespace tradepl {
namespace {

using platform::FileFailure;

// What fills the blanks of a line problem's message.
enum class LineFills : std::uint8_t {
  none,
  columnAndName,       // {1} the column's number, {2} its name
  foundAndExpected,    // {1} the columns found, {2} the columns the log has
  columnAndKindOfLog,  // {1} the column's number, {2} the kind of log
};

struct LineProblemWords {
  LineProblemKind kind;
  Message message;
  LineFills fills;
};

constexpr auto kLineProblemWords = std::to_array<LineProblemWords>({
    {LineProblemKind::tooFewColumns, Message::tooFewColumns, LineFills::foundAndExpected},
    {LineProblemKind::emptyText, Message::emptyColumn, LineFills::columnAndName},
    {LineProblemKind::nulByte, Message::nulInColumn, LineFills::columnAndName},
    {LineProblemKind::notANumber, Message::notANumber, LineFills::columnAndName},
    {LineProblemKind::outOfRange, Message::outOfRange, LineFills::columnAndName},
    {LineProblemKind::notAStockCode, Message::notAStockCode, LineFills::columnAndName},
    {LineProblemKind::tooLong, Message::longerThanAnyLine, LineFills::none},
    {LineProblemKind::utf8Text, Message::lineInUtf8, LineFills::none},
    {LineProblemKind::invalidUtf8, Message::notUtf8Line, LineFills::none},
    {LineProblemKind::notInShiftJis, Message::notInShiftJis, LineFills::none},
    {LineProblemKind::notPositive, Message::notPositive, LineFills::columnAndName},
    {LineProblemKind::deliveryNotReread, Message::deliveryNotReread, LineFills::columnAndName},
    {LineProblemKind::neitherSide, Message::neitherSide, LineFills::columnAndName},
    {LineProblemKind::shiftedColumns, Message::shiftedColumns, LineFills::columnAndKindOfLog},
});
static_assert(isRowPerValue(kLineProblemWords, &LineProblemWords::kind,
                            LineProblemKind::shiftedColumns));

constexpr bool lineFillsMatch() {
  for (const LineProblemWords& row : kLineProblemWords) {
    if (blanksOf(row.message) != (row.fills == LineFills::none ? 0 : 2)) return false;
  }
  return true;
}
static_assert(lineFillsMatch(), "each line problem's message has the blanks its fills fill");

struct SplitProblemWords {
  SplitLineProblem problem;
  Message message;
  std::string_view column;  // the blank {1}, where the message has one
};

constexpr auto kSplitProblemWords = std::to_array<SplitProblemWords>({
    {SplitLineProblem::columns, Message::splitColumns, {}},
    {SplitLineProblem::date, Message::splitDate, {}},
    {SplitLineProblem::code, Message::splitCode, {}},
    {SplitLineProblem::sharesBefore, Message::splitShares, "3"},
    {SplitLineProblem::sharesAfter, Message::splitShares, "4"},
});
static_assert(isRowPerValue(kSplitProblemWords, &SplitProblemWords::problem,
                            SplitLineProblem::sharesAfter));
static_assert(std::ranges::all_of(kSplitProblemWords, [](const SplitProblemWords& row) {
  return blanksOf(row.message) == (row.column.empty() ? 0 : 1);
}));

struct DividendProblemWords {
  DividendLineProblem problem;
  Message message;
};

constexpr auto kDividendProblemWords = std::to_array<DividendProblemWords>({
    {DividendLineProblem::columns, Message::dividendColumns},
    {DividendLineProblem::year, Message::dividendYear},
    {DividendLineProblem::amount, Message::dividendAmount},
});
static_assert(isRowPerValue(kDividendProblemWords, &DividendProblemWords::problem,
                            DividendLineProblem::amount));
static_assert(allHaveBlanks(kDividendProblemWords, &DividendProblemWords::message, 0));

// What fills the blank of a file failure's message.
enum class FileFills : std::uint8_t {
  none,
  reason,  // {1} the system's reason
  where,   // {1} the place the failure names
};

struct FileFailureWords {
  FileFailure failure;
  std::optional<Message> message;  // none: the system's reason alone
  FileFills fills;
};

constexpr auto kFileFailureWords = std::to_array<FileFailureWords>({
    {FileFailure::none, std::nullopt, FileFills::none},
    {FileFailure::emptyPath, Message::emptyPath, FileFills::none},
    {FileFailure::isDirectory, Message::isDirectory, FileFills::none},
    {FileFailure::cannotOpen, std::nullopt, FileFills::none},
    {FileFailure::readError, Message::readError, FileFills::reason},
    {FileFailure::shrank, Message::fileShrank, FileFills::none},
    {FileFailure::lostTemporary, Message::lostTemporary, FileFills::none},
    {FileFailure::cannotCreate, Message::cannotCreateBeside, FileFills::reason},
    {FileFailure::writeError, Message::writeError, FileFills::reason},
    {FileFailure::cannotReplace, std::nullopt, FileFills::none},
    {FileFailure::readOnly, Message::readOnly, FileFills::none},
    {FileFailure::notAFile, Message::notAFile, FileFills::none},
    {FileFailure::streamClosed, Message::streamClosed, FileFills::none},
    {FileFailure::heldOpen, Message::heldOpen, FileFills::none},
    {FileFailure::cannotSpool, Message::cannotSpool, FileFills::reason},
    {FileFailure::sharedLink, Message::sharedLink, FileFills::where},
    {FileFailure::anotherRun, Message::anotherRun, FileFills::where},
    {FileFailure::deviceName, Message::deviceName, FileFills::none},
});
static_assert(isRowPerValue(kFileFailureWords, &FileFailureWords::failure,
                            FileFailure::deviceName));
static_assert(std::ranges::all_of(kFileFailureWords, [](const FileFailureWords& row) {
  return !row.message || blanksOf(*row.message) == (row.fills == FileFills::none ? 0 : 1);
}));

struct OutputNoteWords {
  OutputNote::Kind kind;
  Message message;
  bool withReason;  // {1} the system's reason
};

constexpr auto kOutputNoteWords = std::to_array<OutputNoteWords>({
    {OutputNote::Kind::writtenInPlace, Message::writtenInPlace, false},
    {OutputNote::Kind::modeNotKept, Message::modeNotKept, true},
});
static_assert(isRowPerValue(kOutputNoteWords, &OutputNoteWords::kind,
                            OutputNote::Kind::modeNotKept));
static_assert(std::ranges::all_of(kOutputNoteWords, [](const OutputNoteWords& row) {
  return blanksOf(row.message) == (row.withReason ? 1 : 0);
}));

struct RefusalWords {
  LogRefusal refusal;
  Message message;
};

constexpr auto kRefusalWords = std::to_array<RefusalWords>({
    {LogRefusal::none, Message::notText},
    {LogRefusal::badUtf16, Message::badUtf16},
    {LogRefusal::workbook, Message::workbook},
    {LogRefusal::notText, Message::notText},
});
static_assert(isRowPerValue(kRefusalWords, &RefusalWords::refusal, LogRefusal::notText));
static_assert(allHaveBlanks(kRefusalWords, &RefusalWords::message, 0));

struct OrderWords {
  LogOrder order;
  std::optional<Message> message;  // none: nothing to say
};

constexpr auto kOrderWords = std::to_array<OrderWords>({
    {LogOrder::oldestFirst, std::nullopt},
    {LogOrder::newestFirst, Message::newestFirst},
    {LogOrder::daysNewestFirst, Message::daysNewestFirst},
    {LogOrder::tradesNewestFirst, Message::tradesNewestFirst},
});
static_assert(isRowPerValue(kOrderWords, &OrderWords::order, LogOrder::tradesNewestFirst));
static_assert(std::ranges::all_of(kOrderWords, [](const OrderWords& row) {
  return !row.message || blanksOf(*row.message) == 0;
}));

// The system's reasons a Japanese user meets most; others are shown in the system's words.
struct SystemReason {
  int error;
  std::string_view japanese;
};

constexpr auto kJapaneseSystemReasons = std::to_array<SystemReason>({
    {ENOENT, "ファイルまたはフォルダーがありません"},
    {EACCES, "アクセスが許可されていません"},
    {EPERM, "アクセスが許可されていません"},
    {ENOSPC, "ディスクの空き容量が足りません"},
    {EROFS, "読み取り専用のファイルシステムです"},
    {ENAMETOOLONG, "ファイル名が長すぎます"},
    {EISDIR, "フォルダーです"},
    {ENOTDIR, "途中にフォルダーでない名前があります"},
    {EIO, "入出力エラーが発生しました"},
    {EPIPE, "出力先のパイプが閉じられています"},
    {ELOOP, "シンボリックリンクの参照が多すぎます"},
});

// The system's own words for an errno value, in Japanese where the table has them.
std::string systemReason(Language language, int error) {
  if (language == Language::japanese) {
    const std::string_view reason = japaneseSystemReason(error);
    if (!reason.empty()) return std::string(reason);
  }
  return platform::systemReason(error);
}

template <typename Rows>
const auto& rowFor(const Rows& rows, auto value) {
  return rows[static_cast<std::size_t>(value)];
}

}  // namespace

std::string_view japaneseSystemReason(int error) {
  for (const SystemReason& reason : kJapaneseSystemReasons) {
    if (reason.error == error) return reason.japanese;
  }
  return {};
}

std::string describe(Language language, const LineProblem& problem, LogKind log) {
  const LineProblemWords& words = rowFor(kLineProblemWords, problem.kind);
  const std::string column = std::to_string(problem.column);
  switch (words.fills) {
    case LineFills::none:
      return sayChosen(language, words.message);
    case LineFills::foundAndExpected:
      return sayChosen(language, words.message, std::to_string(problem.columnsFound),
                       std::to_string(columnCount(log)));
    case LineFills::columnAndKindOfLog:
      return sayChosen(language, words.message, column, sayChosen(language, wordsFor(log).name));
    case LineFills::columnAndName:
      break;
  }
  // A column is named as the user sees it: by its heading in the log, or in English words.
  const std::string name = language == Language::japanese
                               ? platform::utf8FromShiftJis(columnHeading(log, problem.column))
                               : std::string(columnName(log, problem.column));
  return sayChosen(language, words.message, column, name);
}

std::string describe(Language language, SplitLineProblem problem) {
  const SplitProblemWords& words = rowFor(kSplitProblemWords, problem);
  return words.column.empty() ? sayChosen(language, words.message)
                              : sayChosen(language, words.message, words.column);
}

std::string describe(Language language, DividendLineProblem problem) {
  return sayChosen(language, rowFor(kDividendProblemWords, problem).message);
}

std::string describe(Language language, const OutputNote& note) {
  const OutputNoteWords& words = rowFor(kOutputNoteWords, note.kind);
  return words.withReason ? sayChosen(language, words.message, systemReason(language, note.error))
                          : sayChosen(language, words.message);
}

std::string describe(Language language, const platform::FileProblem& problem, bool aboutReport) {
  const std::string reason = systemReason(language, problem.error);
  if (problem.failure == FileFailure::heldOpen && aboutReport) {
    return say(language, Message::reportHeldOpen);
  }
  const FileFailureWords& words = rowFor(kFileFailureWords, problem.failure);
  if (!words.message) return reason;
  switch (words.fills) {
    case FileFills::reason:
      return sayChosen(language, *words.message, reason);
    case FileFills::where:
      return sayChosen(language, *words.message, problem.where);
    case FileFills::none:
      break;
  }
  return sayChosen(language, *words.message);
}

std::string describe(Language language, LogRefusal refusal) {
  return sayChosen(language, rowFor(kRefusalWords, refusal).message);
}

std::string describe(Language language, LogOrder order) {
  const std::optional<Message> message = rowFor(kOrderWords, order).message;
  return message ? sayChosen(language, *message) : std::string();
}

}  // namespace tradepl
