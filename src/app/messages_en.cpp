// Every text the program says in English.

#include "app/messages.hpp"

namespace tradepl {

std::string_view englishText(Message message) {
  switch (message) {
    case Message::noInputLog:
      return "no input log: name a spot log with -g or a margin log with -s";
    case Message::optionWithoutPath:
      return "{1} needs a path after it";
    case Message::unknownOption:
      return "unknown option {1} (a file whose name begins with - is written ./-name)";
    case Message::logsNotMarked:
      return "mark the logs with -g (spot) and -s (margin): tradepl -g spot.csv -s margin.csv "
             "out.csv";
    case Message::noOutputPath:
      return "no output path";
    case Message::outputNamesInput:
      return "the output path {1} names an input log";
    case Message::reportNamesOutput:
      return "the report {1} is the result file: give it another name";
    case Message::reportNamesInput:
      return "the report {1} names an input log";
    case Message::namesSplitsFile:
      return "{1} is the splits file: give the output another name";
    case Message::help:
      return "tradepl {1}: realized profit and loss from a broker's trade logs\n"
             "\n"
             "Reads a spot (cash) trade log and a margin trade log, CSV in Shift_JIS, and writes\n"
             "one CSV of realized results: a line for every spot sale of shares bought earlier\n"
             "in the logs (average price, commissions, profit or loss in yen) and for every\n"
             "margin closing trade. At the end it shows the figures per tax year.\n"
             "\n"
             "Usage: {2}\n"
             "\n"
             "  -g PATH          the spot log (現物), 14 columns\n"
             "  -s PATH          the margin log (信用), 24 columns\n"
             "  out.csv          the result file; - for the standard output\n"
             "  --splits PATH    stock splits the logs do not show, one a line:\n"
             "                   date,code,before,after (2023/06/28,9432,1,25 for 1:25), the\n"
             "                   date being the ex-rights date (権利落ち日) of the company's\n"
             "                   or the exchange's notice of the split (株式分割)\n"
             "  --tax            cost spot sales as the tax office does (総平均法に準ずる方法):\n"
             "                   purchase fees in the cost, the cost per share rounded up to\n"
             "                   the yen at each sale, a 特定口座's purchases of a day before\n"
             "                   its sales. For checking the 特定口座年間取引報告書 and for\n"
             "                   filing for a 一般口座. Without it, the moving average of the\n"
             "                   broker's statements, purchase commissions charged to the next\n"
             "                   sale.\n"
             "  --report PATH    the yearly table as CSV: per tax year, log and account the\n"
             "                   proceeds (譲渡収入), cost (取得費), expenses (譲渡費用) and\n"
             "                   profit, NISA apart, the taxable total, losses carried forward\n"
             "  --dividends PATH the dividends declared separately (申告分離課税), one tax\n"
             "                   year a line: year,yen (2024,120000), as 配当等の額 of the\n"
             "                   特定口座年間取引報告書; a year's loss offsets them before it is\n"
             "                   carried, and a loss carried takes them after the year's gain\n"
             "  --detail         each result line ends with its account, trade type and\n"
             "                   settlement date\n"
             "  -q, --quiet      no summary at the end\n"
             "  -h, --help       this text\n"
             "  --version        the version\n"
             "\n"
             "Logs named without -g and -s, as when they are dropped on tradepl.exe, are told\n"
             "apart by their columns; the result is then 実現損益.csv beside the first.\n"
             "\n"
             "The tax year is the year of the settlement date (受領日). A loss is carried\n"
             "forward three years only for those who file a return every year; dividends are\n"
             "not in the logs: give them with --dividends. The README says what else to know.\n"
             "\n"
             "Encodings: the logs and the result file are Shift_JIS (CP932), as the broker\n"
             "and Excel write them; logs saved as UTF-8 or UTF-16 are converted as they are\n"
             "read. Messages and this text are in the console's encoding. The logs may list\n"
             "their trades oldest or newest first, and a log named with the wrong option is\n"
             "read as what it is.\n"
             "\n"
             "Exit statuses:\n"
             "   0  the run completed\n"
             "  -1  no arguments: the usage text\n"
             "  -2  a mistake on the command line, or a splits or dividends file that does\n"
             "      not read: nothing was read or written\n"
             "  -3  a log could not be read; any other log named was used (a log that\n"
             "      failed part-way leaves the result file unchanged)\n"
             "  -4  the result file or the report could not be written; an old one is\n"
             "      unchanged\n";
    case Message::pressEnter:
      return "Press Enter to close this window.";

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
    case Message::fileShrank:
      return "the file grew shorter while it was read";
    case Message::lostTemporary:
      return "the trades of a day kept in a temporary file could not be read back";
    case Message::cannotCreateBeside:
      return "cannot create a file there: {1}";
    case Message::writeError:
      return "write error: {1}";
    case Message::readOnly:
      return "the file is read-only, or you may not write to it";
    case Message::notAFile:
      return "neither a file nor a device (a socket?)";

    case Message::readFromUtf8:
      return "saved as UTF-8: converted to Shift_JIS as it was read";
    case Message::readFromUtf16:
      return "saved as UTF-16: converted to Shift_JIS as it was read";
    case Message::badUtf16:
      return "starts as UTF-16 text but does not decode as UTF-16: open it in Excel and save "
             "it as CSV (comma separated)";
    case Message::workbook:
      return "an Excel workbook, not a CSV file: open it in Excel and save it as CSV (comma "
             "separated)";
    case Message::notText:
      return "not a CSV text file (it holds NUL bytes)";
    case Message::readAsMargin:
      return "a margin log (24 columns), though named with -g: taken as one";
    case Message::readAsSpot:
      return "a spot log (14 columns), though named with -s: taken as one";
    case Message::namedTwice:
      return "named with both -g and -s: read once";
    case Message::emptyLog:
      return "the log is empty: no trades in it";
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
      return "written in UTF-8, unlike the lines before it: save the whole log in one encoding";
    case Message::notUtf8Line:
      return "not UTF-8, unlike the rest of the log";
    case Message::notInShiftJis:
      return "holds a character Shift_JIS lacks (an emoji, a rare kanji)";
    case Message::outOfOrder:
      return "executed before the trade read just before it: the log is not in date order, "
             "and holdings follow the order of its lines";

    case Message::splitsNotRead:
      return "cannot read the splits file: {1}. Nothing was read or written";
    case Message::splitsTooLong:
      return "longer than 1 MiB, which no splits file is";
    case Message::notASplit:
      return "not a split: {1}. Write a split as date,code,before,after (2023/06/28,9432,1,25). "
             "Nothing was read or written";
    case Message::splitColumns:
      return "not four columns";
    case Message::splitDate:
      return "column 1 is not a date (year/month/day)";
    case Message::splitCode:
      return "column 2 is not a security code";
    case Message::splitShares:
      return "column {1} is not a whole number above 0";
    case Message::splitFraction:
      return "{1}:{2} split of {3} ({4}): {5} shares became {6} and {7} of a share; the broker "
             "pays such a fraction in cash, which the logs do not show";
    case Message::splitOutOfRange:
      return "{1}:{2} split of {3} ({4}) left out: {5} shares would become too many to count";

    case Message::saleWithoutHolding:
      return "sale of {1} ({2}) without a holding bought earlier in the logs: no result";
    case Message::soldMoreThanHeld:
      return "sale of {1} ({2}) is larger than the {3} shares held: result written, "
             "holding closed";
    case Message::soldMoreThanHeldSplit:
      return "sale of {1} ({2}) is larger than the {3} shares held: result written, holding "
             "closed. The price fell from {4} to {5} since {6}; if {1} was split 1:{7}, add "
             "\"{8},{1},1,{7}\" to a --splits file, dated the ex-rights day";
    case Message::amountOutOfRange:
      return "trade of {1} ({2}) left out: an amount is too large to compute";
    case Message::dateDoesNotRead:
      return "execution date {1} does not read as year/month/day: its result is written "
             "with empty date columns";

    case Message::summary:
      return "summary";
    case Message::logSummary:
      return "lines read {1}, trades used {2}, lines skipped {3}, of other trade types {4}";
    case Message::logNotRead:
      return "not read";
    case Message::resultsWritten:
      return "results written to {2}: {1}";
    case Message::resultsNotWritten:
      return "no results written: {1} was not written";
    case Message::reportWritten:
      return "yearly report written to {1}";
    case Message::reportNotWritten:
      return "no yearly report written: {1} was not written";
    case Message::standardOutput:
      return "the standard output";
    case Message::totalsHeading:
      return "Realized profit and loss per tax year (the year of the settlement date, 受領日):";
    case Message::totalsColumns:
      return "year|log|account|tax|results|proceeds|cost|expenses|profit (yen)";
    case Message::spotKind:
      return "spot";
    case Message::marginKind:
      return "margin";
    case Message::totalKind:
      return "total";
    case Message::lossCarriedIn:
      return "loss carried in";
    case Message::lossCarriedOut:
      return "loss carried forward";
    case Message::lossYear:
      return "of {1}";
    case Message::taxable:
      return "taxable";
    case Message::taxExempt:
      return "exempt";
    case Message::unknownYear:
      return "?";
    case Message::withoutTaxYear:
      return "results in no year's total, as their settlement date does not read: {1}";
    case Message::movingAverageMethod:
      return "Costs are moving averages with purchase commissions charged to the next sale, as on "
             "the broker's statements; for the figures of a tax return, run with --tax.";
    case Message::taxOfficeMethod:
      return "Costs by the tax office's method (総平均法に準ずる方法): purchase fees in the cost, "
             "the cost per share rounded up to the yen at each sale.";
    case Message::mayBeIncomplete:
      return "The totals may be incomplete: messages above that say what was left out: {1}";
    case Message::resultFile:
      return "The result file: {1}";
    case Message::noSuchFolder:
      return "there is no folder {1}";
    case Message::logLeftUnread:
      return "not converted, as the result file could not be written";

    case Message::streamClosed:
      return "the descriptor was closed when tradepl started";
    case Message::heldOpen:
      return "the result file is open in another program (such as Excel). Close it and run "
             "tradepl again.";
    case Message::writtenInPlace:
      return "written over in place: the folder does not let the file be replaced all at once, "
             "so a run stopped while it writes leaves the file incomplete";
    case Message::notACalendarDate:
      return "execution date {1} is not a calendar date: its result shows the date as written, "
             "but the date places the trade in no order and applies no split";
    case Message::notPositive:
      return "column {1} ({2}): 0 or fewer shares";
    case Message::deliveryNotReread:
      return "column {1} ({2}): a 現引 or 現渡 is applied only from a log saved as a file; save "
             "the log and name the file";
    case Message::readStoppedAfter:
      return "cannot read past line {1}: {2}";
    case Message::readStoppedBefore:
      return "cannot read above line {1} (read from the last line up): {2}";
    case Message::leftAsItWas:
      return "not written: a log could not be read to its end, and its results would be "
             "incomplete; a file already there is left as it was";
    case Message::cannotSpool:
      return "cannot keep a copy of it in a temporary file to read it: {1}";
    case Message::moreAccounts:
      return "… and {1} more accounts";
    case Message::sentInPart:
      return "a log could not be read to its end: the results written here before that are "
             "incomplete";
    case Message::resultsInPart:
      return "results incomplete: {1} took part of them before a log failed";
    case Message::givenTwice:
      return "given twice: read once";
    case Message::alsoInAnotherLog:
      return "{1} rows are also in another log: counted once";
    case Message::oneAlsoInAnotherLog:
      return "1 row is also in another log: counted once";
    case Message::daysNewestFirst:
      return "days newest first, the trades of each day oldest first: read a day at a time "
             "from the last";
    case Message::tradesNewestFirst:
      return "the trades of each day newest first: each day read from its last trade";
    case Message::outputIsALog:
      return "{1} is a trade log: name the result file last, or mark the logs with -g and -s";
    case Message::dividendIncome:
      return "dividends";
    case Message::lossOffset:
      return "offset against dividends";
    case Message::lossCarriedInDividends:
      return "loss carried in, dividends";
    case Message::afterLossCarriedIn:
      return "after losses carried in";
    case Message::lossesByTaxOffice:
      return "Losses offset and carried forward are worked out from the tax office's costs "
             "only, as a return counts them: run with --tax for them.";
    case Message::reportFile:
      return "The yearly report: {1}";
    case Message::namesDividendsFile:
      return "{1} is the dividends file: give the output another name";
    case Message::dividendsNotRead:
      return "cannot read the dividends file: {1}. Nothing was read or written";
    case Message::dividendsTooLong:
      return "longer than 1 MiB, which no dividends file is";
    case Message::notADividend:
      return "not a year's dividends: {1}. Write them as year,yen (2024,120000). Nothing was "
             "read or written";
    case Message::dividendColumns:
      return "not two columns";
    case Message::dividendYear:
      return "column 1 is not a year from 1900 to 2199";
    case Message::dividendAmount:
      return "column 2 is not a whole number of yen, 0 or more";
    case Message::reportReachesOutput:
      return "the report {1} would go where the results go, and their lines would be mixed: "
             "give it a path of its own";
    case Message::sharedLink:
      return "a link in a shared folder ({1}) that belongs to another user: not followed";
    case Message::anotherRun:
      return "another tradepl run is writing {1}: run again once it has finished";
    case Message::deviceName:
      return "a name Windows keeps for a device (CON, PRN, AUX, NUL, COM1-9, LPT1-9), whatever "
             "its extension: no file would be made. Give another name, or NUL alone to discard "
             "the output";
    case Message::modeNotKept:
      return "written, but without the permissions or the owner of the file it replaced: {1}";
    case Message::reportHeldOpen:
      return "the report is open in another program (such as Excel). Close it and run tradepl "
             "again.";
    case Message::neitherSide:
      return "column {1} ({2}) is neither a purchase (買) nor a sale (売)";
    case Message::shiftedColumns:
      return "more columns than a {2} log has, and column {1} (受領日) is not a date: an amount "
             "with a thousands separator but no quotes?";
    case Message::withoutCommandLine:
      return "tradepl needs no command line: select the spot log and the margin log (CSV) in\n"
             "Explorer, every year's exports of them at once, and drag them onto tradepl.exe.\n"
             "It writes 実現損益.csv in the folder of the first log and shows a summary. For "
             "options such as --tax, make a\n"
             "shortcut to tradepl.exe, add them to the end of its target (tradepl.exe --tax\n"
             "--report 年分別.csv) and drop the logs on the shortcut.\n"
             "\n"
             "At a command line:\n";
  }
  return {};
}

}  // namespace tradepl
