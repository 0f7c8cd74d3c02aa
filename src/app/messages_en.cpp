// Every text the program says in English.

#include "app/messages.hpp"

namespace tradepl {

std::string_view englishText(Message message) {
  switch (message) {
    case Message::noInputLog:
      return "no input log: name a spot log with -g or a margin log with -s";
    case Message::optionWithoutPath:
      return "{1} needs a path after it";
    case Message::noOutputPath:
      return "no output path";
    case Message::outputNamesInput:
      return "the output path {1} names an input log";

    case Message::cannotRead:
      return "cannot read: {1}";
    case Message::cannotWrite:
      return "cannot write: {1}";
    case Message::notWritten:
      return "not written: no log could be read";
    case Message::emptyPath:
      return "empty path";
    case Message::isDirectory:
      return "is a directory";
    case Message::readError:
      return "read error: {1}";
    case Message::cannotCreateBeside:
      return "cannot create a file there: {1}";
    case Message::writeError:
      return "write error: {1}";
    case Message::readOnly:
      return "the file is read-only";
    case Message::notAFile:
      return "neither a file nor a device (a socket?)";

    case Message::writtenInUtf8:
      return "written in UTF-8, not Shift_JIS: save it as Shift_JIS (CP932), or convert it "
             "with iconv -f UTF-8 -t CP932";
    case Message::writtenInUtf16:
      return "written in UTF-16, not Shift_JIS: save it as Shift_JIS (CP932), or convert it "
             "with iconv -f UTF-16 -t CP932";
    case Message::holdsNulBytes:
      return "holds NUL bytes, which no CSV log has: save the log as CSV in Shift_JIS (CP932)";
    case Message::isMarginLog:
      return "this is a margin log (24 columns): name it with -s";
    case Message::isSpotLog:
      return "this is a spot log (14 columns): name it with -g";
    case Message::newestFirst:
      return "newest first: read from the last line up";
    case Message::noSpotTrades:
      return "no spot trades (現物) in this log";
    case Message::noMarginTrades:
      return "no margin trades (信用新規, 信用返済) in this log";
    case Message::moreLinesSkipped:
      return "{1} more lines skipped";
    case Message::moreNotes:
      return "{1} more notes about trades";

    case Message::skipped:
      return "skipped: {1}";
    case Message::tooFewColumns:
      return "{1} columns, {2} expected";
    case Message::emptyColumn:
      return "column {1} ({2}) is empty";
    case Message::nulInColumn:
      return "column {1} ({2}) holds a NUL byte";
    case Message::notANumber:
      return "column {1} ({2}): not a number";
    case Message::outOfRange:
      return "column {1} ({2}): out of range";
    case Message::notAStockCode:
      return "column {1} ({2}): not a security code";
    case Message::longerThanAnyLine:
      return "longer than 1 MiB";
    case Message::lineInUtf8:
      return "written in UTF-8, not Shift_JIS (CP932): save the log as Shift_JIS";
    case Message::outOfOrder:
      return "executed before the trade read just before it: the log is not in date order, "
             "and holdings follow the order of its lines";

    case Message::saleWithoutHolding:
      return "sale of {1} ({2}) without a holding bought earlier in the logs: no result";
    case Message::soldMoreThanHeld:
      return "sale of {1} ({2}) is larger than the {3} shares held: result written, "
             "holding closed";
    case Message::amountOutOfRange:
      return "trade of {1} ({2}) left out: an amount is too large to compute";
    case Message::dateDoesNotRead:
      return "execution date {1} does not read as year/month/day: its result is written "
             "with empty date columns";
  }
  return {};
}

}  // namespace tradepl
