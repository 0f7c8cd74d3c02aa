#include "app/messages.hpp"

#include <vector>

#include "platform/text.hpp"

namespace tradepl {
namespace {

std::string_view textOf(Language language, Message message) {
  return language == Language::japanese ? japaneseText(message) : englishText(message);
}

// The system's own words for an errno value, in Japanese where the table has them.
std::string systemReason(Language language, int error) {
  if (language == Language::japanese) {
    const std::string_view reason = japaneseSystemReason(error);
    if (!reason.empty()) return std::string(reason);
  }
  return platform::systemReason(error);
}

Message problemMessage(LineProblemKind kind) {
  switch (kind) {
    case LineProblemKind::emptyText:
      return Message::emptyColumn;
    case LineProblemKind::nulByte:
      return Message::nulInColumn;
    case LineProblemKind::notANumber:
      return Message::notANumber;
    case LineProblemKind::outOfRange:
      return Message::outOfRange;
    case LineProblemKind::notAStockCode:
      return Message::notAStockCode;
    case LineProblemKind::tooFewColumns:
      return Message::tooFewColumns;
    case LineProblemKind::tooLong:
      return Message::longerThanAnyLine;
    case LineProblemKind::utf8Text:
      return Message::lineInUtf8;
    case LineProblemKind::invalidUtf8:
      return Message::notUtf8Line;
    case LineProblemKind::notInShiftJis:
      return Message::notInShiftJis;
    case LineProblemKind::notPositive:
      return Message::notPositive;
    case LineProblemKind::deliveryNotReread:
      return Message::deliveryNotReread;
    case LineProblemKind::neitherSide:
      return Message::neitherSide;
    case LineProblemKind::shiftedColumns:
      return Message::shiftedColumns;
  }
  return Message::notANumber;
}

}  // namespace

std::string say(Language language, Message message, std::initializer_list<std::string_view> fills) {
  const std::string_view text = textOf(language, message);
  const std::vector<std::string_view> values(fills);
  std::string said;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A blank is {1} to {9}.
    if (text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}' && text[i + 1] >= '1' &&
        text[i + 1] <= '9') {
      const auto index = static_cast<std::size_t>(text[i + 1] - '1');
      if (index < values.size()) said += values[index];
      i += 2;
    } else {
      said += text[i];
    }
  }
  return said;
}

std::string grouped(std::uint64_t count) {
  const std::string digits = std::to_string(count);
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

std::string describe(Language language, const LineProblem& problem, LogKind log) {
  const Message message = problemMessage(problem.kind);
  if (problem.kind == LineProblemKind::tooFewColumns) {
    return say(language, message,
               {std::to_string(problem.columnsFound), std::to_string(columnCount(log))});
  }
  if (problem.kind == LineProblemKind::shiftedColumns) {
    const Message kind = log == LogKind::spot ? Message::spotKind : Message::marginKind;
    return say(language, message, {std::to_string(problem.column), say(language, kind)});
  }
  // A column is named as the user sees it: by its heading in the log, or in English words.
  const std::string name = language == Language::japanese
                               ? platform::utf8FromShiftJis(columnHeading(log, problem.column))
                               : std::string(columnName(log, problem.column));
  return say(language, message, {std::to_string(problem.column), name});
}

std::string describe(Language language, SplitLineProblem problem) {
  switch (problem) {
    case SplitLineProblem::columns:
      return say(language, Message::splitColumns);
    case SplitLineProblem::date:
      return say(language, Message::splitDate);
    case SplitLineProblem::code:
      return say(language, Message::splitCode);
    case SplitLineProblem::sharesBefore:
      return say(language, Message::splitShares, {"3"});
    case SplitLineProblem::sharesAfter:
      return say(language, Message::splitShares, {"4"});
  }
  return {};
}

std::string describe(Language language, DividendLineProblem problem) {
  switch (problem) {
    case DividendLineProblem::columns:
      return say(language, Message::dividendColumns);
    case DividendLineProblem::year:
      return say(language, Message::dividendYear);
    case DividendLineProblem::amount:
      return say(language, Message::dividendAmount);
  }
  return {};
}

std::string describe(Language language, const OutputNote& note) {
  switch (note.kind) {
    case OutputNote::Kind::writtenInPlace:
      return say(language, Message::writtenInPlace);
    case OutputNote::Kind::modeNotKept:
      return say(language, Message::modeNotKept, {systemReason(language, note.error)});
  }
  return {};
}

std::string describe(Language language, const platform::FileProblem& problem, bool aboutReport) {
  using platform::FileFailure;
  const std::string reason = systemReason(language, problem.error);
  switch (problem.failure) {
    case FileFailure::emptyPath:
      return say(language, Message::emptyPath);
    case FileFailure::isDirectory:
      return say(language, Message::isDirectory);
    case FileFailure::readError:
      return say(language, Message::readError, {reason});
    case FileFailure::shrank:
      return say(language, Message::fileShrank);
    case FileFailure::lostTemporary:
      return say(language, Message::lostTemporary);
    case FileFailure::cannotCreate:
      return say(language, Message::cannotCreateBeside, {reason});
    case FileFailure::writeError:
      return say(language, Message::writeError, {reason});
    case FileFailure::readOnly:
      return say(language, Message::readOnly);
    case FileFailure::notAFile:
      return say(language, Message::notAFile);
    case FileFailure::streamClosed:
      return say(language, Message::streamClosed);
    case FileFailure::heldOpen:
      return say(language, aboutReport ? Message::reportHeldOpen : Message::heldOpen);
    case FileFailure::sharedLink:
      return say(language, Message::sharedLink, {problem.where});
    case FileFailure::anotherRun:
      return say(language, Message::anotherRun, {problem.where});
    case FileFailure::deviceName:
      return say(language, Message::deviceName);
    case FileFailure::cannotSpool:
      return say(language, Message::cannotSpool, {reason});
    case FileFailure::cannotOpen:
    case FileFailure::cannotReplace:
    case FileFailure::none:
      break;
  }
  return reason;
}

}  // namespace tradepl
