#pragma once
// What the program says to people, by kind. Each language keeps all of its texts in one
// table (messages_en.cpp, messages_ja.cpp); the code names a message by its kind and hands
// over what fills its blanks, {1}, {2}…, which each language places where its grammar wants
// them.
//
// Texts are UTF-8; they reach the console in its own encoding. Words quoted from a log
// (an account, a date) are converted from Shift_JIS first.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "input/dividends_file.hpp"
#include "input/splits_file.hpp"
#include "input/trade_line.hpp"
#include "output/outputs.hpp"
#include "platform/files.hpp"
#include "records/records.hpp"

namespace tradepl {

enum class Language : std::uint8_t { english, japanese };

enum class Message : std::uint8_t {
  // The command line.
  noInputLog,
  optionWithoutPath,  // {1} the option
  unknownOption,      // {1} the option
  logsNotMarked,
  noOutputPath,
  outputNamesInput,   // {1} the path
  reportNamesOutput,  // {1} the path
  reportNamesInput,   // {1} the path
  namesSplitsFile,    // {1} the path
  help,               // {1} the version, {2} the command line
  pressEnter,
  // Files.
  cannotRead,   // {1} why
  cannotWrite,  // {1} why
  notWritten,   // no log could be read
  emptyPath,
  isDirectory,
  readError,  // {1} the system's reason
  fileShrank,
  lostTemporary,
  cannotCreateBeside,  // {1} the system's reason
  writeError,          // {1} the system's reason
  readOnly,
  notAFile,
  // Logs.
  readFromUtf8,
  readFromUtf16,
  badUtf16,
  workbook,
  notText,
  readAsMargin,
  readAsSpot,
  namedTwice,
  emptyLog,
  newestFirst,
  noSpotTrades,
  noMarginTrades,
  moreLinesSkipped,  // {1} how many
  moreNotes,         // {1} how many
  // Lines.
  skipped,        // {1} why
  tooFewColumns,  // {1} found, {2} expected
  emptyColumn,    // {1} the column's number, {2} its name
  nulInColumn,    // likewise
  notANumber,     // likewise
  outOfRange,     // likewise
  notAStockCode,  // likewise
  longerThanAnyLine,
  lineInUtf8,
  notUtf8Line,
  notInShiftJis,
  outOfOrder,
  // The splits file.
  splitsNotRead,  // {1} why
  splitsTooLong,
  notASplit,  // {1} why
  splitColumns,
  splitDate,
  splitCode,
  splitShares,      // {1} the column's number
  splitFraction,    // {1} before, {2} after, {3} the code, {4} the account, {5} shares held,
                    // {6} shares after, {7} the fraction
  splitOutOfRange,  // {1} before, {2} after, {3} the code, {4} the account, {5} shares held
  // Trades.
  saleWithoutHolding,  // {1} the code, {2} the account
  soldMoreThanHeld,    // {1} the code, {2} the account, {3} the shares held
  // The same, and a split that would explain it: {4} the price before, {5} the price of the
  // sale, {6} the day before, {7} the ratio, {8} the day of the sale
  soldMoreThanHeldSplit,
  amountOutOfRange,  // {1} the code, {2} the account
  dateDoesNotRead,   // {1} the date as written
  // The summary at the end of a run.
  summary,
  logSummary,  // {1} lines read, {2} trades used, {3} lines skipped, {4} other trade types
  logNotRead,
  resultsWritten,     // {1} how many, {2} where
  resultsNotWritten,  // {1} where
  reportWritten,      // {1} where
  reportNotWritten,   // {1} where
  standardOutput,
  totalsHeading,
  totalsColumns,  // the yearly table's headings, between |
  spotKind,
  marginKind,
  totalKind,
  lossCarriedIn,
  lossCarriedOut,
  lossYear,  // {1} the year the loss arose in
  taxable,
  taxExempt,
  unknownYear,
  withoutTaxYear,  // {1} how many results
  movingAverageMethod,
  taxOfficeMethod,
  mayBeIncomplete,  // {1} how many messages
  resultFile,       // {1} its full path
  noSuchFolder,     // {1} the folder
  logLeftUnread,
  // Files, again.
  streamClosed,
  heldOpen,
  writtenInPlace,
  // Added later, kept at the end so that each table keeps its order.
  notACalendarDate,   // {1} the date as written
  notPositive,        // {1} the column's number, {2} its name
  readStoppedAfter,   // {1} the last line read, {2} why
  readStoppedBefore,  // {1} the last line read, from the end up, {2} why
  leftAsItWas,
  cannotSpool,   // {1} the system's reason
  moreAccounts,  // {1} how many
  sentInPart,
  resultsInPart,  // {1} where
  givenTwice,
  alsoInAnotherLog,  // {1} how many rows
  oneAlsoInAnotherLog,
  daysNewestFirst,
  tradesNewestFirst,
  outputIsALog,  // {1} the path
  dividendIncome,
  lossOffset,
  lossCarriedInDividends,
  afterLossCarriedIn,
  lossesByTaxOffice,
  reportFile,          // {1} its full path
  namesDividendsFile,  // {1} the path
  dividendsNotRead,    // {1} why
  dividendsTooLong,
  notADividend,  // {1} why
  dividendColumns,
  dividendYear,
  dividendAmount,
  reportReachesOutput,  // {1} the report's path
  sharedLink,           // {1} the folder
  anotherRun,           // {1} the path
  deviceName,
  modeNotKept,  // {1} the system's reason
  reportHeldOpen,
  deliveryNotReread,  // {1} the column's number, {2} its name
  neitherSide,        // {1} the column's number, {2} its name
  shiftedColumns,     // {1} the column's number, {2} the kind of log
  withoutCommandLine,
};

// The table of each language.
std::string_view englishText(Message message);
std::string_view japaneseText(Message message);
// The system's reason for an errno value in Japanese, or empty where the table has none.
std::string_view japaneseSystemReason(int error);

// The text of `message` in `language`, its blanks filled.
std::string say(Language language, Message message,
                std::initializer_list<std::string_view> fills = {});

// A count with thousands separators: 3,912.
std::string grouped(std::uint64_t count);

// Why a line was skipped, in `language`.
std::string describe(Language language, const LineProblem& problem, LogKind log);
// Why a line of a splits file does not read, in `language`.
std::string describe(Language language, SplitLineProblem problem);
// Why a line of a dividends file does not read, in `language`.
std::string describe(Language language, DividendLineProblem problem);
// Why a file could not be read or written, in `language`; `aboutReport` when the file is
// the yearly report, not the result file.
std::string describe(Language language, const platform::FileProblem& problem,
                     bool aboutReport = false);
// What there is to say about a file once it is written, in `language`.
std::string describe(Language language, const OutputNote& note);

}  // namespace tradepl
