#pragma once
// What the program says to people, by kind: the code names a message by its kind and hands
// over what fills its blanks, {1}, {2}…, which each language places where its grammar wants
// them. The texts are in message_table.hpp, one row a message.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tradepl {

enum class Language : std::uint8_t { english, japanese };

// In the order of the rows of the table of texts.
enum class Message : std::uint8_t {
  // The help texts.
  help,  // {1} the version, {2} the command line
  withoutCommandLine,
  pressEnter,
  // The command line.
  noInputLog,
  optionWithoutPath,  // {1} the option
  unknownOption,      // {1} the option
  logsNotMarked,
  noOutputPath,
  outputNamesInput,     // {1} the path
  reportNamesOutput,    // {1} the path
  reportNamesInput,     // {1} the path
  reportReachesOutput,  // {1} the report's path
  namesSplitsFile,      // {1} the path
  namesDividendsFile,   // {1} the path
  outputIsALog,         // {1} the path
  givenTwice,
  namedTwice,
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
  streamClosed,
  heldOpen,
  reportHeldOpen,
  writtenInPlace,
  modeNotKept,  // {1} the system's reason
  cannotSpool,  // {1} the system's reason
  sharedLink,   // {1} the folder
  anotherRun,   // {1} the path
  deviceName,
  noSuchFolder,       // {1} the folder
  readStoppedAfter,   // {1} the last line read, {2} why
  readStoppedBefore,  // {1} the last line read, from the end up, {2} why
  leftAsItWas,
  sentInPart,
  // Logs and their lines.
  readFromUtf8,
  readFromUtf16,
  badUtf16,
  workbook,
  notText,
  readAsMargin,
  readAsSpot,
  emptyLog,
  newestFirst,
  daysNewestFirst,
  tradesNewestFirst,
  noSpotTrades,
  noMarginTrades,
  moreLinesSkipped,  // {1} how many
  moreNotes,         // {1} how many
  alsoInAnotherLog,  // {1} how many rows
  oneAlsoInAnotherLog,
  skipped,            // {1} why
  tooFewColumns,      // {1} found, {2} expected
  emptyColumn,        // {1} the column's number, {2} its name
  nulInColumn,        // likewise
  notANumber,         // likewise
  outOfRange,         // likewise
  notAStockCode,      // likewise
  notPositive,        // {1} the column's number, {2} its name
  deliveryNotReread,  // {1} the column's number, {2} its name
  neitherSide,        // {1} the column's number, {2} its name
  shiftedColumns,     // {1} the column's number, {2} the kind of log
  longerThanAnyLine,
  lineInUtf8,
  notUtf8Line,
  notInShiftJis,
  outOfOrder,
  // Trades, splits and dividends.
  saleWithoutHolding,  // {1} the code, {2} the account
  soldMoreThanHeld,    // {1} the code, {2} the account, {3} the shares held
  // The same, and a split that would explain it: {4} the price before, {5} the price of the
  // sale, {6} the day before, {7} the ratio, {8} the day of the sale
  soldMoreThanHeldSplit,
  amountOutOfRange,  // {1} the code, {2} the account
  dateDoesNotRead,   // {1} the date as written
  notACalendarDate,  // {1} the date as written
  splitsNotRead,     // {1} why
  splitsTooLong,
  notASplit,  // {1} why
  splitColumns,
  splitDate,
  splitCode,
  splitShares,  // {1} the column's number
  // {1} before, {2} after, {3} the code, {4} the account, {5} shares held,
  // {6} shares after, {7} the fraction
  splitFraction,
  // {1} before, {2} after, {3} the code, {4} the account, {5} shares held
  splitOutOfRange,
  dividendsNotRead,  // {1} why
  dividendsTooLong,
  notADividend,  // {1} why
  dividendColumns,
  dividendYear,
  dividendAmount,
  // The summary at the end of a run.
  summary,
  // {1} lines read, {2} trades used, {3} lines skipped, {4} other trade types
  logSummary,
  logNotRead,
  logLeftUnread,
  resultsWritten,     // {1} how many, {2} where
  resultsNotWritten,  // {1} where
  resultsInPart,      // {1} where
  reportWritten,      // {1} where
  reportNotWritten,   // {1} where
  standardOutput,
  totalsHeading,
  totalsColumns,  // the yearly table's headings, between |
  spotKind,
  marginKind,
  totalKind,
  dividendIncome,
  lossOffset,
  lossCarriedIn,
  lossCarriedInDividends,
  afterLossCarriedIn,
  lossCarriedOut,
  lossYear,  // {1} the year the loss arose in
  taxable,
  taxExempt,
  unknownYear,
  moreAccounts,    // {1} how many
  withoutTaxYear,  // {1} how many results
  movingAverageMethod,
  taxOfficeMethod,
  lossesByTaxOffice,
  mayBeIncomplete,  // {1} how many messages
  resultFile,       // {1} its full path
  reportFile,       // {1} its full path
};

// How many messages there are: reportFile is the last.
inline constexpr std::size_t kMessageCount = static_cast<std::size_t>(Message::reportFile) + 1;

namespace detail {
// A message's texts, as each group of texts lists them.
struct MessageRow {
  Message id;
  std::string_view english;
  std::string_view japanese;
};
}  // namespace detail

}  // namespace tradepl
