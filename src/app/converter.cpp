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
#include "flow/trade_flow.hpp"
#include "input/dividends_file.hpp"
#include "input/log_reader.hpp"
#include "input/row_source.hpp"
#include "input/splits_file.hpp"
#include "ledger/tax_report.hpp"
#include "output/outputs.hpp"
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
    case ArgumentError::reportReachesOutput:
      return say(language, Message::reportReachesOutput, {arguments.errorToken});
    case ArgumentError::reportNamesInput:
      return say(language, Message::reportNamesInput, {arguments.errorToken});
    case ArgumentError::namesSplitsFile:
      return say(language, Message::namesSplitsFile, {arguments.errorToken});
    case ArgumentError::namesDividendsFile:
      return say(language, Message::namesDividendsFile, {arguments.errorToken});
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

// A file named on the command line, opened through the run's own way of opening files and
// looked over, once: what is seen of it while the command line is settled is what the run
// reads.
struct LookedLog {
  std::string path;
  OpenedLog opened;
  std::unique_ptr<LogReader> reader;  // when it could be opened
};

LookedLog lookAt(const std::string& path, LogKind namedAs, const FileOpener& openFile) {
  LookedLog looked{path, openFile(path, ReadAs::log), nullptr};
  if (looked.opened.bytes) {
    looked.reader = std::make_unique<LogReader>(*looked.opened.bytes, namedAs);
  }
  return looked;
}

// True for a log that was looked over without a fault and reads as a trade log.
bool readsAsALog(const LookedLog& looked) {
  return looked.reader && !looked.reader->failure() &&
         looked.reader->refusal() == LogRefusal::none && looked.reader->recognised();
}

// A log of the run, looked over and not refused.
struct NamedLog {
  LogKind kind;
  std::string path;
  std::unique_ptr<LogBytes> bytes;
  std::unique_ptr<LogReader> reader;
  std::size_t inSummary;
  std::unique_ptr<LogVoice> voice;  // while its streams are read
  // What the reading of a margin log's deliveries for the spot stream came to.
  std::optional<LogReport> deliveries{};
};

// Where the results of a stream and what is said about its rows go while it is read.
class StreamOutput final : public FlowListener {
 public:
  StreamOutput(ResultFile& results, std::vector<NamedLog>& logs, std::string_view splitsPath)
      : results_(results), logs_(logs), splitsPath_(splitsPath) {}

  void result(const ResultRow& result) override { results_.append(result); }
  void note(const LedgerNote& note, const TradeRow& trade) override {
    voiceOf(trade).note(note, trade);
  }
  void undatedResult(const TradeRow& trade) override { voiceOf(trade).undatedResult(trade); }
  void splitNote(const SplitNote& note, const StockSplit& split) override {
    // Said about the line of the splits file, whichever log's trade set it off.
    for (NamedLog& log : logs_) {
      if (log.voice) return log.voice->splitNote(note, split, splitsPath_);
    }
  }

 private:
  LogVoice& voiceOf(const TradeRow& row) { return *logs_[row.source].voice; }

  ResultFile& results_;
  std::vector<NamedLog>& logs_;
  std::string_view splitsPath_;
};

// What is said before a log is read: how it is written, and the order it is read in.
std::optional<Message> orderNote(LogOrder order) {
  switch (order) {
    case LogOrder::newestFirst:
      return Message::newestFirst;
    case LogOrder::daysNewestFirst:
      return Message::daysNewestFirst;
    case LogOrder::tradesNewestFirst:
      return Message::tradesNewestFirst;
    case LogOrder::oldestFirst:
      break;
  }
  return std::nullopt;
}

// One conversion, from the logs named to the summary: the logs are opened and looked over
// first, then the rows of each kind are pulled from all of its logs at once, merged in time,
// through the flow into the result file.
class Conversion {
 public:
  Conversion(const Arguments& arguments, Reporter& reporter, Language language,
             std::vector<StockSplit> splits, YearlyDividends dividends, const FileOpener& openFile,
             std::vector<LookedLog> looked)
      : arguments_(arguments),
        dividends_(std::move(dividends)),
        openFile_(openFile),
        looked_(std::move(looked)),
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
    } else if (const OutputProblem problem = convert(output)) {
      cannotWrite(problem.path, problem.problem, problem.isReport);
      for (const NamedLog& log : logs_) summary_.logLeftUnread(log.inSummary);
    } else if (failedPartWay_) {
      leftAsItWas(output);
    } else {
      written = true;
    }
    summary_.resultsWent(output, written, sentPart_);
    if (arguments_.dropped) summary_.showResultPath(platform::fullPath(output));
    if (arguments_.dropped && arguments_.reportPath) {
      summary_.showReportPath(platform::fullPath(*arguments_.reportPath));
    }
    if (arguments_.reportPath) writeReportOf(*arguments_.reportPath, written);
    if (!arguments_.quiet) {
      const std::vector<std::string> lines =
          summary_.lines(language(), flow_.totals(), dividends_, method_, teller_.gapsExplained());
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
        daysFromTheEnd(report.order) ? Message::readStoppedBefore : Message::readStoppedAfter;
    teller_.aboutFile(path,
                      say(message, {grouped(report.reached), describe(language(), report.failure)}),
                      Gap::explained);
    if (status_ == kCompleted) status_ = kInputUnreadable;
  }

  void cannotWrite(const std::string& path, const FileProblem& problem, bool isReport) {
    // A file cannot be made in a folder that is not there: the folder is named, since the
    // system's "No such file or directory" would seem to be about the file.
    const std::string folder = platform::parentFolder(path);
    const std::string why = problem.failure == FileFailure::cannotCreate &&
                                    problem.error == ENOENT && !platform::isDirectory(folder)
                                ? say(Message::noSuchFolder, {folder})
                                : describe(language(), problem, isReport);
    teller_.aboutFile(path, say(Message::cannotWrite, {why}));
    status_ = kOutputUnwritable;
  }

  // The yearly report, committed with the result file (RunOutputs) and only with it.
  void writeReportOf(const std::string& path, bool resultsWritten) {
    summary_.reportWent(path, resultsWritten);
  }

  // Opens and looks over the logs named on the command line, each once however often it is
  // named; says which cannot be read.
  void openLogs() {
    const std::vector<LogPath>& named = arguments_.logs;
    for (std::size_t i = 0; i < named.size(); ++i) {
      const auto earlier =
          std::find_if(named.begin(), named.begin() + static_cast<long>(i),
                       [&](const LogPath& log) { return samePath(log.path, named[i].path); });
      if (earlier != named.begin() + static_cast<long>(i)) {
        const bool otherOption = !arguments_.dropped && earlier->kind != named[i].kind;
        teller_.aboutFile(named[i].path,
                          say(otherOption ? Message::namedTwice : Message::givenTwice));
        continue;
      }
      openLog(named[i].kind, lookedAt(named[i]));
    }
  }

  // The log as it was looked at already, where it was, or opened and looked over now.
  LookedLog lookedAt(const LogPath& log) {
    for (LookedLog& looked : looked_) {
      if (looked.reader && looked.path == log.path) return std::move(looked);
    }
    return lookAt(log.path, log.kind, openFile_);
  }

  void openLog(LogKind named, LookedLog looked) {
    const std::string& path = looked.path;
    const std::size_t inSummary = summary_.logNamed(displayName(path));
    if (!looked.opened.bytes) {
      cannotRead(displayName(path), looked.opened.problem);
      return;
    }
    const LogReader& reader = *looked.reader;
    if (reader.failure()) {
      failedPartWay_ = true;
      cannotRead(path, reader.failure());
    } else if (reader.refusal() != LogRefusal::none) {
      teller_.aboutFile(path, say(refusalMessage(reader.refusal())), Gap::explained);
      if (status_ == kCompleted) status_ = kInputUnreadable;
    } else {
      if (reader.kind() != named && !arguments_.dropped) {
        teller_.aboutFile(path, say(reader.kind() == LogKind::spot ? Message::readAsSpot
                                                                   : Message::readAsMargin));
      }
      logs_.push_back({reader.kind(), path, std::move(looked.opened.bytes),
                       std::move(looked.reader), inSummary, nullptr});
    }
  }

  // The result file and the report: created, every log read into them, committed together
  // unless a log failed part-way (the files made are then dropped). Returns why one could
  // not be written, if one could not; when it could not be created, the logs are not read.
  OutputProblem convert(const std::string& output) {
    RunOutputs outputs(arguments_.detail);
    if (const OutputProblem problem = outputs.create(output, arguments_.reportPath)) return problem;
    // Spot results first, then margin results, whichever option named the logs.
    for (const LogKind kind : {LogKind::spot, LogKind::margin}) {
      readStream(kind, outputs.results());
    }
    if (failedPartWay_) {
      sentPart_ = outputs.sentPart();
      return {};
    }
    const OutputProblem problem = outputs.commit(flow_.totals(), dividends_);
    for (const OutputNote& note : outputs.notes()) {
      teller_.aboutFile(note.path, describe(language(), note));
    }
    return problem;
  }

  // Reads every log of one kind as one stream. The spot stream takes the deliveries of every
  // margin log too (現引, 現渡: they move spot shares), each at its log's place in the order
  // the logs were named.
  void readStream(LogKind kind, ResultFile& results) {
    std::vector<std::unique_ptr<RowSource>> sources;
    std::vector<RowSource*> stream;
    std::vector<NamedLog*> streamLogs;
    for (std::size_t i = 0; i < logs_.size(); ++i) {
      if (std::unique_ptr<RowSource> source = sourceFor(kind, logs_[i], i)) {
        sources.push_back(std::move(source));
        stream.push_back(sources.back().get());
        streamLogs.push_back(&logs_[i]);
      }
    }
    if (stream.empty()) return;
    const std::string_view splitsPath =
        arguments_.splitsPath ? std::string_view(*arguments_.splitsPath) : std::string_view();
    StreamOutput output(results, logs_, splitsPath);
    MergedRows rows(stream);
    flow_.takeAll(rows, output);
    for (std::size_t i = 0; i < stream.size(); ++i) {
      LogReport report = stream[i]->report();
      // Rows of a day that waited in a temporary file and could not be read back are
      // missing from the run, as the rows of a log cut short would be.
      if (i == 0 && flow_.lostRows() && report.readable()) {
        report.failure = {FileFailure::lostTemporary};
      }
      if (streamLogs[i]->kind == kind) {
        finishLog(*streamLogs[i], report);
      } else {
        streamLogs[i]->deliveries = report;
      }
    }
  }

  // What one stream reads of a log: every row, for the stream of its kind; for the spot
  // stream, a margin log's deliveries, read a second time.
  std::unique_ptr<RowSource> sourceFor(LogKind stream, NamedLog& log, std::size_t number) {
    const auto source = static_cast<std::uint32_t>(number);
    std::unique_ptr<RowSource> rows;
    if (log.kind == stream) {
      startVoice(log);
      rows = std::make_unique<RowSource>(*log.reader, *log.voice, source);
    } else if (stream == LogKind::spot) {
      rows = RowSource::deliveriesOf(*log.reader, source);
      if (rows) startVoice(log);
    }
    return rows;
  }

  // The voice of a log, from the first stream that reads it to the end of its own.
  void startVoice(NamedLog& log) {
    if (log.voice) return;
    sayHowItIsRead(log);
    log.voice = std::make_unique<LogVoice>(teller_, log.kind, log.path);
  }

  void sayHowItIsRead(const NamedLog& log) {
    const LogEncoding savedIn = log.reader->savedIn();
    if (savedIn != LogEncoding::shiftJis) {
      teller_.aboutFile(log.path, say(savedIn == LogEncoding::utf8 ? Message::readFromUtf8
                                                                   : Message::readFromUtf16));
    }
    if (const std::optional<Message> note = orderNote(log.reader->order())) {
      teller_.aboutFile(log.path, say(*note));
    }
  }

  void finishLog(NamedLog& log, LogReport report) {
    if (log.deliveries) addDeliveries(report, *log.deliveries);
    log.voice->finish(report);
    if (report.duplicates == 1) teller_.aboutFile(log.path, say(Message::oneAlsoInAnotherLog));
    if (report.duplicates > 1) {
      teller_.aboutFile(log.path, say(Message::alsoInAnotherLog, {grouped(report.duplicates)}));
    }
    summary_.logRead(log.inSummary, report);
    if (!report.readable()) failedPartWay(log.path, report);
    log.voice.reset();
  }

  // The first reading of a margin log counts its deliveries as rows used; the reading that
  // handed them to the spot stream knows which another log held too, and whether it failed.
  static void addDeliveries(LogReport& report, const LogReport& deliveries) {
    report.duplicates += deliveries.duplicates;
    if (report.readable() && !deliveries.readable()) report.failure = deliveries.failure;
  }

  const Arguments& arguments_;
  YearlyDividends dividends_;
  const FileOpener& openFile_;
  std::vector<LookedLog> looked_;  // the logs looked at while the command line was settled
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

namespace {

// What is said of a small file of the user's that does not read.
struct UserFileWords {
  Message badLine;  // {1} why
  Message notRead;  // {1} why
  Message tooLong;
};

// A small file of the user's (splits, dividends) read whole before any log, or nothing when
// it does not read: it then refuses the run, since one wrong line would make every later
// result, or every loss carried after it, wrong. `read` reads the opened bytes.
template <typename File, typename Read>
std::optional<File> readUserFile(const std::string& path, Reporter& reporter, Language language,
                                 const FileOpener& openFile, Read read, UserFileWords words) {
  OpenedLog opened = openFile(path, ReadAs::once);
  const File file = opened.bytes ? read(*opened.bytes) : File{};
  if (file.badLine != 0) {
    reporter.report(path, file.badLine,
                    say(language, words.badLine, {describe(language, file.problem)}));
    return std::nullopt;
  }
  if (!opened.bytes || file.refused()) {
    const std::string why = !opened.bytes  ? describe(language, opened.problem)
                            : file.failure ? describe(language, file.failure)
                                           : say(language, words.tooLong);
    reporter.report(displayName(path), say(language, words.notRead, {why}));
    return std::nullopt;
  }
  return file;
}

std::optional<std::vector<StockSplit>> readSplits(const Arguments& arguments, Reporter& reporter,
                                                  Language language, const FileOpener& openFile) {
  if (!arguments.splitsPath) return std::vector<StockSplit>{};
  const std::optional<SplitsFile> file = readUserFile<SplitsFile>(
      *arguments.splitsPath, reporter, language, openFile, readSplitsFile,
      {Message::notASplit, Message::splitsNotRead, Message::splitsTooLong});
  return file ? std::optional(file->splits) : std::nullopt;
}

std::optional<YearlyDividends> readDividends(const Arguments& arguments, Reporter& reporter,
                                             Language language, const FileOpener& openFile) {
  if (!arguments.dividendsPath) return YearlyDividends{};
  const std::optional<DividendsFile> file = readUserFile<DividendsFile>(
      *arguments.dividendsPath, reporter, language, openFile, readDividendsFile,
      {Message::notADividend, Message::dividendsNotRead, Message::dividendsTooLong});
  return file ? std::optional(file->dividends) : std::nullopt;
}

}  // namespace

bool pausesBeforeClosing(unsigned processesOnConsole, bool logsNamedWithOptions) {
  return processesOnConsole == 1 && !logsNamedWithOptions;
}

namespace {

// The command line, with the paths given without -g and -s taken as logs when each of them
// reads as one: the files a drop on the program hands over, which stay open in `looked` for
// the run. Otherwise it stands as it is, and a path that can be no log (a workbook dropped
// in place of its CSV) is said why.
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
      reporter.report(log.path, say(language, refusalMessage(log.reader->refusal())));
    }
  }
  looked.clear();
  return scanned;
}

// The output or the report, if either is a file already there that reads as a trade log:
// a broker's export may be impossible to get again, and a slip of the hand must not cost it.
std::optional<std::string> writesOverALog(const Arguments& arguments, const FileOpener& openFile) {
  for (const std::optional<std::string>* written : {&arguments.outputPath, &arguments.reportPath}) {
    if (!*written || !platform::isRegularFile(**written)) continue;
    if (readsAsALog(lookAt(**written, LogKind::spot, openFile))) return **written;
  }
  return std::nullopt;
}

int runCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                   const FileOpener& openFile, Language language, bool& logsNamedWithOptions) {
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
  logsNamedWithOptions = !scanned.logs.empty();
  Reporter reporter(err);
  std::vector<LookedLog> looked;
  const Arguments arguments = takeDroppedLogs(scanned, reporter, language, openFile, looked);
  if (arguments.help) {
    out << platform::forConsole(say(language, Message::help, {TRADEPL_VERSION, kSynopsis}),
                                platform::StandardStream::output);
    return kCompleted;
  }
  if (arguments.version) {
    out << "tradepl " << TRADEPL_VERSION << '\n';
    return kCompleted;
  }
  std::string refusal = describe(language, arguments);
  if (arguments.error == ArgumentError::none) {
    if (const std::optional<std::string> log = writesOverALog(arguments, openFile)) {
      refusal = say(language, Message::outputIsALog, {*log});
    }
  }
  if (!refusal.empty()) {
    // The reason first: the usage text after it is long, and may scroll it away.
    reporter.report(refusal);
    reporter.flush();
    // The standard output may be a log itself (- >> spot.csv, /dev/stdout >> spot.csv):
    // the usage text would be written into it.
    if (!standardOutputIsAnInput(arguments)) {
      printUsage(out, platform::standardOutputIsConsole());
    }
    return kCommandLineError;
  }
  std::optional<std::vector<StockSplit>> splits =
      readSplits(arguments, reporter, language, openFile);
  if (!splits) return kCommandLineError;
  std::optional<YearlyDividends> dividends = readDividends(arguments, reporter, language, openFile);
  if (!dividends) return kCommandLineError;
  return Conversion(arguments, reporter, language, std::move(*splits), std::move(*dividends),
                    openFile, std::move(looked))
      .run();
}

}  // namespace

OpenedLog openFileAs(const std::string& path, ReadAs how) {
  return how == ReadAs::log ? openLogFile(path) : openToReadOnce(path);
}

int runConverter(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  return runConverter(argc, argv, out, err, openFileAs);
}

int runConverter(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                 const FileOpener& openFile) {
  const Language language = platform::userReadsJapanese() ? Language::japanese : Language::english;
  bool logsNamedWithOptions = false;
  const int status = runCommandLine(argc, argv, out, err, openFile, language, logsNamedWithOptions);
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
