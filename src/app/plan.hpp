#pragma once
// The plan of a run, settled before any log is read: the command line, with the logs a drop
// hands over taken as logs; the files it would write looked at, so that no log is written
// over; the small files of the user's (splits, dividends) read whole.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/arguments.hpp"
#include "app/converter.hpp"
#include "input/log_reader.hpp"
#include "records/dividends.hpp"
#include "records/splits.hpp"
#include "words/reporter.hpp"
#include "words/say.hpp"

namespace tradepl {

// A file named on the command line, opened through the run's own way of opening files and
// looked over, once: what is seen of it while the command line is settled is what the run
// reads.
struct LookedLog {
  std::string path;
  OpenedLog opened;
  std::unique_ptr<LogReader> reader;  // when it could be opened
};

LookedLog lookAt(const std::string& path, LogKind namedAs, const FileOpener& openFile);

// A path as a message names it: '' for an empty one.
std::string displayName(const std::string& path);

// Why the command line cannot be run, in `language`; empty when it can.
std::string describe(Language language, const Arguments& arguments);

// The command line, with the paths given without -g and -s taken as logs when each of them
// reads as one: the files a drop on the program hands over, which stay open in `looked` for
// the run. Otherwise it stands as it is, and a path that can be no log (a workbook dropped
// in place of its CSV) is said why.
Arguments takeDroppedLogs(const Arguments& scanned, Reporter& reporter, Language language,
                          const FileOpener& openFile, std::vector<LookedLog>& looked);

// The output or the report, if either is a file already there that reads as a trade log:
// a broker's export may be impossible to get again, and a slip of the hand must not cost it.
std::optional<std::string> writesOverALog(const Arguments& arguments, const FileOpener& openFile);

// The splits and the dividends files, read whole before any log; nothing when one does not
// read, which is said: one wrong line would make every later result, or every loss carried
// after it, wrong.
std::optional<std::vector<StockSplit>> readSplits(const Arguments& arguments, Reporter& reporter,
                                                  Language language, const FileOpener& openFile);
std::optional<YearlyDividends> readDividends(const Arguments& arguments, Reporter& reporter,
                                             Language language, const FileOpener& openFile);

}  // namespace tradepl
