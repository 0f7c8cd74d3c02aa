#include "app/converter.hpp"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/arguments.hpp"
#include "app/messages.hpp"
#include "app/reporter.hpp"
#include "app/summary.hpp"
#include "app/teller.hpp"
#include "app/trade_flow.hpp"
#include "input/log_reader.hpp"
#include "input/splits_file.hpp"
#include "ledger/tax_report.hpp"
#include "output/report_file.hpp"
#include "output/result_file.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/output_file.hpp"
#include "platform/text.hpp"

namespace tradepl {
namespace {

std::string describe(Language language, const Arguments& arguments) {
  switch (arguments.error) {
    case ArgumentError::optionWithoutPath:
      return say(language, Message::optionWithoutPath, {arguments.errorToken});
    case ArgumentError::unknownOption:
      return say(language, Message::unknownOption, {arguments.errorToken});
    case ArgumentError::noInputLog:
      return say(language, Message::noInputLog);
    case ArgumentError::logsNotMarked:
      return say(language, Message::logsNotMarked);
    case ArgumentError::noOutputPath:
      return say(language, Message::noOutputPath);
    case ArgumentError::outputNamesInput:
      return say(language, Message::outputNamesInput, {arguments.errorToken});
    case ArgumentError::reportNamesOutput:
      return say(language, Message::reportNamesOutput, {arguments.errorToken});
    case ArgumentError::reportNamesInput:
      return say(language, Message::reportNamesInput, {arguments.errorToken});
    case ArgumentError::namesSplitsFile:
      return say(language, Message::namesSplitsFile, {arguments.errorToken});
    case ArgumentError::none:
      break;
  }
  return {};
}

Message refusalMessage(LogRefusal refusal) {
  switch (refusal) {
    case LogRefusal::badUtf16:
      return Message::badUtf16;
    case LogRefusal::workbook:
      return Message::workbook;
    case LogRefusal::notText:
    case LogRefusal::none:
      break;
  }
  return Message::notText;
}

std::string displayName(const std::string& path) {
  return path.empty() ? "''" : path;
}

// A log named on the command line, opened and looked over.
struct NamedLog {
  LogKind kind;
  std::string path;
  std::unique_ptr<LogBytes> bytes;
  std::unique_ptr<LogReader> reader;
  std::size_t inSummary;
};

// Where one log's results and messages go while it is read.
class LogOutput final : public FlowListener {
 public:
  LogOutput(ResultFile& results, LogVoice& voice, std::string_view splitsPath)
      : results_(results), voice_(voice), splitsPath_(splitsPath) {}

  void result(const ResultRow& result) override { results_.append(result); }
  void note(const LedgerNote& note, const TradeRow& trade) override { voice_.note(note, trade); }
  void undatedResult(const TradeRow& trade) override { voice_.undatedResult(trade); }
  void skipped(std::uint64_t line, const LineProblem& problem) override {
    voice_.skipped(line, problem);
  }
  void outOfOrder(const TradeRow& row) override { voice_.outOfOrder(row); }
  void splitNote(const SplitNote& note, const StockSplit& split) override {
    voice_.splitNote(note, split, splitsPath_);
  }

 private:
  ResultFile& results_;
  LogVoice& voice_;
  std::string_view splitsPath_;
};

// One conversion, from the logs named to the summary.
class Conversion {
 public:
  Conversion(const Arguments& arguments, Reporter& reporter, Language language,
             std::vector<StockSplit> splits, const LogOpener& openLog)
      : arguments_(arguments),
        openLog_(openLog),
        teller_(reporter, language),
        reporter_(reporter),
        method_(arguments.tax ? CostMethod::taxOffice : CostMethod::movingAverage),
        flow_(FlowSettings{.method = method_,
                           .splits = std::move(splits),
                           .keepTotals = !arguments.quiet || arguments.reportPath.has_value()}) {}

  int run() {
    openLogs();
    const std::string& output = *arguments_.outputPath;
    bool written = false;
    if (failedPartWay_) {
      leftAsItWas(output);  // a log failed while it was looked over
    } else if (logs_.empty()) {
      // A mistyped log name must not cost the user a good result file.
      teller_.aboutFile(output, say(Message::notWritten));
    } else if (const FileProblem problem = convert(output)) {
      cannotWrite(output, problem);
      for (const NamedLog& log : logs_) summary_.logLeftUnread(log.inSummary);
    } else if (failedPartWay_) {
      leftAsItWas(output);
    } else {
      written = true;
    }
    summary_.resultsWent(output, written, sentPart_);
    if (arguments_.dropped) summary_.showResultPath(platform::fullPath(output));
    if (arguments_.reportPath) writeReportOf(*arguments_.reportPath, written);
    if (!arguments_.quiet) {
      const std::vector<std::string> lines =
          summary_.lines(language(), flow_.totals(), method_, teller_.gapsExplained());
      reporter_.report(lines.front());
      for (std::size_t i = 1; i < lines.size(); ++i) reporter_.write(lines[i]);
    }
    return status_;
  }

 private:
  Language language() const { return teller_.language(); }
  std::string say(Message message, std::initializer_list<std::string_view> fills = {}) const {
    return tradepl::say(language(), message, fills);
  }

  void cannotRead(const std::string& path, const FileProblem& problem) {
    teller_.cannotRead(path, problem);
    if (status_ == kCompleted) status_ = kInputUnreadable;
  }

  // A log read in part would give results without some of its trades, and a file that
  // looks whole: the output stays as it was. A stream or a device that already took part of
  // them cannot be given them back, and is told so.
  void leftAsItWas(const std::string& output) {
    teller_.aboutFile(output, say(sentPart_ ? Message::sentInPart : Message::leftAsItWas));
  }

  // A log that failed once it was open: says how far it was read.
  void failedPartWay(const std::string& path, const LogReport& report) {
    failedPartWay_ = true;
    if (report.reached == 0) return cannotRead(path, report.failure);
    const Message message =
        report.newestFirst ? Message::readStoppedBefore : Message::readStoppedAfter;
    teller_.aboutFile(path,
                      say(message, {grouped(report.reached), describe(language(), report.failure)}),
                      Gap::explained);
    if (status_ == kCompleted) status_ = kInputUnreadable;
  }

  void cannotWrite(const std::string& path, const FileProblem& problem) {
    // A file cannot be made in a folder that is not there: the folder is named, since the
    // system's "No such file or directory" would seem to be about the file.
    const std::string folder = platform::parentFolder(path);
    const std::string why = problem.failure == FileFailure::cannotCreate &&
                                    problem.error == ENOENT && !platform::isDirectory(folder)
                                ? say(Message::noSuchFolder, {folder})
                                : describe(language(), problem);
    teller_.aboutFile(path, say(Message::cannotWrite, {why}));
    status_ = kOutputUnwritable;
  }

  // The yearly report, after the result file and only with it: its figures are those of
  // the results, and a report beside an old result file would not match it.
  void writeReportOf(const std::string& path, bool resultsWritten) {
    if (!resultsWritten) {
      summary_.reportWent(path, false);
      return;
    }
    bool inPlace = false;
    const FileProblem problem = writeReport(path, flow_.totals(), writeToFile, &inPlace);
    if (inPlace) teller_.aboutFile(path, say(Message::writtenInPlace));
    if (problem) cannotWrite(path, problem);
    summary_.reportWent(path, !problem);
  }

  // Opens and looks over the logs named on the command line; says which cannot be read.
  // Spot logs are read before margin logs, whichever option named them: a log named with
  // the wrong one is read as what it is.
  void openLogs() {
    const bool namedTwice = arguments_.spotPath && arguments_.marginPath &&
                            samePath(*arguments_.spotPath, *arguments_.marginPath);
    for (const auto& [kind, path] : {std::pair(LogKind::spot, &arguments_.spotPath),
                                     std::pair(LogKind::margin, &arguments_.marginPath)}) {
      if (!*path) continue;
      if (kind == LogKind::margin && namedTwice) {
        teller_.aboutFile(**path,
                          say(arguments_.dropped ? Message::givenTwice : Message::namedTwice));
        continue;
      }
      openLog(kind, **path);
    }
    std::stable_sort(logs_.begin(), logs_.end(), [](const NamedLog& a, const NamedLog& b) {
      return a.kind == LogKind::spot && b.kind == LogKind::margin;
    });
  }

  void openLog(LogKind named, const std::string& path) {
    const std::size_t inSummary = summary_.logNamed(displayName(path));
    OpenedLog opened = openLog_(path);
    if (!opened.bytes) {
      cannotRead(displayName(path), opened.problem);
      return;
    }
    auto reader = std::make_unique<LogReader>(*opened.bytes, named);
    if (reader->failure()) {
      failedPartWay_ = true;
      cannotRead(path, reader->failure());
    } else if (reader->refusal() != LogRefusal::none) {
      teller_.aboutFile(path, say(refusalMessage(reader->refusal())), Gap::explained);
      if (status_ == kCompleted) status_ = kInputUnreadable;
    } else {
      if (reader->kind() != named && !arguments_.dropped) {
        teller_.aboutFile(path, say(reader->kind() == LogKind::spot ? Message::readAsSpot
                                                                    : Message::readAsMargin));
      }
      logs_.push_back(
          {reader->kind(), path, std::move(opened.bytes), std::move(reader), inSummary});
    }
  }

  // The result file: created, every log read into it, committed unless a log failed
  // part-way (the file made is then dropped). Returns why it could not be written, if it
  // could not; the logs are then not read.
  FileProblem convert(const std::string& output) {
    ResultFile results(arguments_.detail);
    if (const FileProblem problem = results.create(output)) return problem;
    for (NamedLog& log : logs_) read(log, results);
    if (failedPartWay_) {
      sentPart_ = results.sentPart();
      return {};
    }
    const FileProblem problem = results.commit();
    if (results.wroteInPlace()) teller_.aboutFile(output, say(Message::writtenInPlace));
    return problem;
  }

  void read(NamedLog& log, ResultFile& results) {
    const LogEncoding savedIn = log.reader->savedIn();
    if (savedIn != LogEncoding::shiftJis) {
      teller_.aboutFile(log.path, say(savedIn == LogEncoding::utf8 ? Message::readFromUtf8
                                                                   : Message::readFromUtf16));
    }
    if (log.reader->newestFirst()) teller_.aboutFile(log.path, say(Message::newestFirst));
    LogVoice voice(teller_, log.kind, log.path);
    const std::string_view splitsPath =
        arguments_.splitsPath ? std::string_view(*arguments_.splitsPath) : std::string_view();
    LogOutput output(results, voice, splitsPath);
    const LogReport report = flow_.read(*log.reader, output);
    voice.finish(report);
    summary_.logRead(log.inSummary, report);
    if (!report.readable()) failedPartWay(log.path, report);
  }

  const Arguments& arguments_;
  const LogOpener& openLog_;
  Teller teller_;
  Reporter& reporter_;
  CostMethod method_;
  TradeFlow flow_;
  RunSummary summary_;
  std::vector<NamedLog> logs_;
  int status_ = kCompleted;
  bool failedPartWay_ = false;  // a log opened could not be read to its end
  bool sentPart_ = false;       // a stream or a device took results before that
};

}  // namespace

void printUsage(std::ostream& out, bool toConsole) {
  std::string usage = "Usage: [-g i_zelGenbutsu_log.csv] [-s i_zelShinyo_log.csv] o_log.csv\n";
  for (const auto& [kind, name] : {std::pair(LogKind::spot, "i_zelGenbutsu_log.csv"),
                                   std::pair(LogKind::margin, "i_zelShinyo_log.csv")}) {
    usage += std::string("\t--- ") + name + " ---\n";
    usage += '\t' + headingLine(kind) + '\n';
    usage += "\t...\n";
  }
  // A file or a pipe gets the bytes the program has always printed; a person at a console
  // gets headings that read.
  out << (toConsole ? platform::forConsole(platform::utf8FromShiftJis(usage),
                                           platform::StandardStream::output)
                    : usage);
}

// The splits named on the command line, or why there are none to be had: a splits file that
// does not read refuses the run, since a wrong split would make every later result wrong.
std::optional<std::vector<StockSplit>> readSplits(const Arguments& arguments, Reporter& reporter,
                                                  Language language) {
  if (!arguments.splitsPath) return std::vector<StockSplit>{};
  const std::string& path = *arguments.splitsPath;
  OpenedLog opened = openLogFile(path);
  const SplitsFile file = opened.bytes ? readSplitsFile(*opened.bytes) : SplitsFile{};
  if (file.badLine != 0) {
    reporter.report(path, file.badLine,
                    say(language, Message::notASplit, {describe(language, file.problem)}));
    return std::nullopt;
  }
  if (!opened.bytes || file.refused()) {
    const std::string why = !opened.bytes  ? describe(language, opened.problem)
                            : file.failure ? describe(language, file.failure)
                                           : say(language, Message::splitsTooLong);
    reporter.report(displayName(path), say(language, Message::splitsNotRead, {why}));
    return std::nullopt;
  }
  return file.splits;
}

bool pausesBeforeClosing(unsigned processesOnConsole, bool logsNamedWithOptions) {
  return processesOnConsole == 1 && !logsNamedWithOptions;
}

namespace {

// What a path given without -g and -s is: a log of a kind, if it is a regular file whose
// first block holds a heading line or a row of either kind; or a file that can be no log.
struct PathLooked {
  std::optional<LogKind> kind;
  LogRefusal refusal = LogRefusal::none;  // a workbook, binary data
};

PathLooked lookAtPath(const std::string& path) {
  if (!platform::isRegularFile(path)) return {};
  const OpenedLog opened = openLogFile(path);
  if (!opened.bytes) return {};
  const LogReader reader(*opened.bytes, LogKind::spot);
  if (reader.failure()) return {};
  if (reader.refusal() != LogRefusal::none) return {std::nullopt, reader.refusal()};
  return {reader.recognised() ? std::optional(reader.kind()) : std::nullopt};
}

// The command line, with the paths given without -g and -s taken as logs when each of them
// reads as one: the files a drop on the program hands over. Otherwise it stands as it is,
// and a path that can be no log (a workbook dropped in place of its CSV) is said why.
Arguments takeDroppedLogs(const Arguments& scanned, Reporter& reporter, Language language) {
  if (!mayNameDroppedLogs(scanned)) return scanned;
  std::vector<LogKind> kinds;
  std::vector<std::pair<std::string, LogRefusal>> refused;
  for (const std::string& path : scanned.paths) {
    const PathLooked looked = lookAtPath(path);
    if (looked.kind) kinds.push_back(*looked.kind);
    if (looked.refusal != LogRefusal::none) refused.emplace_back(path, looked.refusal);
  }
  if (kinds.size() == scanned.paths.size()) return withDroppedLogs(scanned, kinds);
  for (const auto& [path, refusal] : refused) {
    reporter.report(path, say(language, refusalMessage(refusal)));
  }
  return scanned;
}

int runCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                   const LogOpener& openLog, Language language, bool& logsNamedWithOptions) {
  if (argc <= 1) {
    // A double-click: whoever started it has no command line to type the usage into.
    if (pausesBeforeClosing(platform::processesOnConsole(), false)) {
      out << platform::forConsole(say(language, Message::withoutCommandLine),
                                  platform::StandardStream::output);
    }
    printUsage(out, platform::standardOutputIsConsole());
    return kNoArguments;
  }
  const Arguments scanned =
      scanArguments(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  logsNamedWithOptions = !scanned.namedLogs.empty();
  Reporter reporter(err);
  const Arguments arguments = takeDroppedLogs(scanned, reporter, language);
  if (arguments.help) {
    out << platform::forConsole(say(language, Message::help, {TRADEPL_VERSION, kSynopsis}),
                                platform::StandardStream::output);
    return kCompleted;
  }
  if (arguments.version) {
    out << "tradepl " << TRADEPL_VERSION << '\n';
    return kCompleted;
  }
  if (arguments.error != ArgumentError::none) {
    // The reason first: the usage text after it is long, and may scroll it away.
    reporter.report(describe(language, arguments));
    reporter.flush();
    // The standard output may be a log itself (- >> spot.csv, /dev/stdout >> spot.csv):
    // the usage text would be written into it.
    if (!standardOutputIsAnInput(arguments)) {
      printUsage(out, platform::standardOutputIsConsole());
    }
    return kCommandLineError;
  }
  std::optional<std::vector<StockSplit>> splits = readSplits(arguments, reporter, language);
  if (!splits) return kCommandLineError;
  return Conversion(arguments, reporter, language, std::move(*splits), openLog).run();
}

}  // namespace

int runConverter(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  return runConverter(argc, argv, out, err, openLogFile);
}

int runConverter(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                 const LogOpener& openLog) {
  const Language language = platform::userReadsJapanese() ? Language::japanese : Language::english;
  bool logsNamedWithOptions = false;
  const int status = runCommandLine(argc, argv, out, err, openLog, language, logsNamedWithOptions);
  // A window Explorer opened for a double-click or a drop closes with the program: what the
  // run said stays until the user has read it.
  if (pausesBeforeClosing(platform::processesOnConsole(), logsNamedWithOptions)) {
    out << '\n'
        << platform::forConsole(say(language, Message::pressEnter),
                                platform::StandardStream::output)
        << std::flush;
    platform::waitForEnter();
  }
  return status;
}

}  // namespace tradepl
