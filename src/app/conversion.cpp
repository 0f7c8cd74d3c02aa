#include "app/conversion.hpp"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "input/row_source.hpp"
#include "output/result_file.hpp"
#include "platform/files.hpp"
#include "platform/output_file.hpp"
#include "words/describe.hpp"
#include "words/log_kind_words.hpp"

namespace tradepl {
namespace {

std::string_view splitsPathOf(const Arguments& arguments) {
  return arguments.splitsPath ? std::string_view(*arguments.splitsPath) : std::string_view();
}

// The first reading of a margin log counts its deliveries as rows used; the reading that
// handed them to the spot stream knows which another log held too, and whether it failed.
void addDeliveries(LogReport& report, const LogReport& deliveries) {
  report.duplicates += deliveries.duplicates;
  if (report.readable() && !deliveries.readable()) report.failure = deliveries.failure;
}

}  // namespace

Conversion::Conversion(const Arguments& arguments, Reporter& reporter, Language language,
                       std::vector<StockSplit> splits, YearlyDividends dividends,
                       const FileOpener& openFile, std::vector<LookedLog> looked)
    : arguments_(arguments),
      dividends_(std::move(dividends)),
      openFile_(openFile),
      looked_(std::move(looked)),
      reporter_(reporter),
      diagnostics_(reporter, language, splitsPathOf(arguments)),
      method_(arguments.tax ? CostMethod::taxOffice : CostMethod::movingAverage),
      flow_(FlowSettings{.method = method_,
                         .splits = std::move(splits),
                         .keepTotals = !arguments.quiet || arguments.reportPath.has_value()}) {}

int Conversion::run() {
  openLogs();
  const std::string& output = *arguments_.outputPath;
  bool written = false;
  if (failedPartWay_) {
    leftAsItWas(output);  // a log failed while it was looked over
  } else if (logs_.empty()) {
    // A mistyped log name must not cost the user a good result file.
    diagnostics_.aboutFile(output, say(language(), Message::notWritten));
  } else if (const OutputProblem problem = convert(output)) {
    cannotWrite(problem.path, problem.problem, problem.isReport);
    for (const NamedLog& log : logs_) summary_.logLeftUnread(log.inSummary);
  } else if (failedPartWay_) {
    leftAsItWas(output);
  } else {
    written = true;
  }
  summarize(written);
  return status_;
}

void Conversion::summarize(bool written) {
  const std::string& output = *arguments_.outputPath;
  summary_.resultsWent(output, written, sentPart_);
  if (arguments_.dropped) summary_.showResultPath(platform::fullPath(output));
  if (arguments_.dropped && arguments_.reportPath) {
    summary_.showReportPath(platform::fullPath(*arguments_.reportPath));
  }
  // The yearly report is committed with the result file (RunOutputs), and only with it.
  if (arguments_.reportPath) summary_.reportWent(*arguments_.reportPath, written);
  if (arguments_.quiet) return;
  const std::vector<std::string> lines =
      summary_.lines(language(), flow_.totals(), dividends_, method_, diagnostics_.gapsExplained());
  reporter_.report(lines.front());
  for (std::size_t i = 1; i < lines.size(); ++i) reporter_.write(lines[i]);
}

void Conversion::cannotRead(const std::string& path, const FileProblem& problem) {
  diagnostics_.cannotRead(path, problem);
  if (status_ == kCompleted) status_ = kInputUnreadable;
}

// A log read in part would give results without some of its trades, and a file that looks
// whole: the output stays as it was. A stream or a device that already took part of them
// cannot be given them back, and is told so.
void Conversion::leftAsItWas(const std::string& output) {
  diagnostics_.aboutFile(output, sentPart_ ? say(language(), Message::sentInPart)
                                           : say(language(), Message::leftAsItWas));
}

// A log that failed once it was open: says how far it was read.
void Conversion::failedPartWay(const std::string& path, const LogReport& report) {
  failedPartWay_ = true;
  if (report.reached == 0) return cannotRead(path, report.failure);
  const std::string reached = grouped(report.reached);
  const std::string why = describe(language(), report.failure);
  diagnostics_.aboutFile(path,
                         daysFromTheEnd(report.order)
                             ? say(language(), Message::readStoppedBefore, reached, why)
                             : say(language(), Message::readStoppedAfter, reached, why),
                         Gap::explained);
  if (status_ == kCompleted) status_ = kInputUnreadable;
}

void Conversion::cannotWrite(const std::string& path, const FileProblem& problem, bool isReport) {
  // A file cannot be made in a folder that is not there: the folder is named, since the
  // system's "No such file or directory" would seem to be about the file.
  const std::string folder = platform::parentFolder(path);
  const std::string why = problem.failure == FileFailure::cannotCreate && problem.error == ENOENT &&
                                  !platform::isDirectory(folder)
                              ? say(language(), Message::noSuchFolder, folder)
                              : describe(language(), problem, isReport);
  diagnostics_.aboutFile(path, say(language(), Message::cannotWrite, why));
  status_ = kOutputUnwritable;
}

// Opens and looks over the logs named on the command line, each once however often it is
// named; says which cannot be read.
void Conversion::openLogs() {
  const std::vector<LogPath>& named = arguments_.logs;
  for (std::size_t i = 0; i < named.size(); ++i) {
    const auto earlier =
        std::find_if(named.begin(), named.begin() + static_cast<long>(i),
                     [&](const LogPath& log) { return samePath(log.path, named[i].path); });
    if (earlier != named.begin() + static_cast<long>(i)) {
      const bool otherOption = !arguments_.dropped && earlier->kind != named[i].kind;
      diagnostics_.aboutFile(named[i].path, otherOption ? say(language(), Message::namedTwice)
                                                        : say(language(), Message::givenTwice));
      continue;
    }
    openLog(named[i].kind, lookedAt(named[i]));
  }
}

// The log as it was looked at already, where it was, or opened and looked over now.
LookedLog Conversion::lookedAt(const LogPath& log) {
  for (LookedLog& looked : looked_) {
    if (looked.reader && looked.path == log.path) return std::move(looked);
  }
  return lookAt(log.path, log.kind, openFile_);
}

void Conversion::openLog(LogKind named, LookedLog looked) {
  const std::string& path = looked.path;
  const std::size_t inSummary = summary_.logNamed(displayName(path));
  if (!looked.opened.bytes) return cannotRead(displayName(path), looked.opened.problem);
  const LogReader& reader = *looked.reader;
  if (reader.failure()) {
    failedPartWay_ = true;
    cannotRead(path, reader.failure());
  } else if (reader.refusal() != LogRefusal::none) {
    diagnostics_.aboutFile(path, describe(language(), reader.refusal()), Gap::explained);
    if (status_ == kCompleted) status_ = kInputUnreadable;
  } else {
    if (reader.kind() != named && !arguments_.dropped) {
      diagnostics_.aboutFile(path, sayChosen(language(), wordsFor(reader.kind()).readAs));
    }
    diagnostics_.addLog(reader.kind(), path);
    logs_.push_back(
        {reader.kind(), path, std::move(looked.opened.bytes), std::move(looked.reader), inSummary});
  }
}

// The result file and the report: created, every log read into them, committed together
// unless a log failed part-way (the files made are then dropped). Returns why one could not
// be written, if one could not; when it could not be created, the logs are not read.
OutputProblem Conversion::convert(const std::string& output) {
  RunOutputs outputs(arguments_.detail);
  if (const OutputProblem problem = outputs.create(output, arguments_.reportPath)) return problem;
  // Spot results first, then margin results, whichever option named the logs.
  for (const LogKind kind : {LogKind::spot, LogKind::margin}) readStream(kind, outputs.results());
  if (failedPartWay_) {
    sentPart_ = outputs.sentPart();
    return {};
  }
  const OutputProblem problem = outputs.commit(flow_.totals(), dividends_);
  for (const OutputNote& note : outputs.notes()) {
    diagnostics_.aboutFile(note.path, describe(language(), note));
  }
  return problem;
}

// Reads every log of one kind as one stream. The spot stream takes the deliveries of every
// margin log too (現引, 現渡: they move spot shares), each at its log's place in the order the
// logs were named.
void Conversion::readStream(LogKind kind, ResultFile& results) {
  std::vector<std::unique_ptr<RowSource>> sources;
  std::vector<RowSource*> stream;
  std::vector<std::size_t> streamLogs;
  for (std::size_t i = 0; i < logs_.size(); ++i) {
    if (std::unique_ptr<RowSource> source = sourceFor(kind, i)) {
      sources.push_back(std::move(source));
      stream.push_back(sources.back().get());
      streamLogs.push_back(i);
    }
  }
  if (stream.empty()) return;
  diagnostics_.sendResultsTo(results);
  MergedRows rows(stream);
  flow_.takeAll(rows, diagnostics_);
  for (std::size_t i = 0; i < stream.size(); ++i) {
    LogReport report = stream[i]->report();
    // Rows of a day that waited in a temporary file and could not be read back are missing
    // from the run, as the rows of a log cut short would be.
    if (i == 0 && flow_.lostRows() && report.readable()) {
      report.failure = {FileFailure::lostTemporary};
    }
    NamedLog& log = logs_[streamLogs[i]];
    if (log.kind == kind) {
      finishLog(streamLogs[i], report);
    } else {
      log.deliveries = report;
    }
  }
}

// What one stream reads of a log: every row, for the stream of its kind; for the spot
// stream, a margin log's deliveries, read a second time.
std::unique_ptr<RowSource> Conversion::sourceFor(LogKind stream, std::size_t number) {
  NamedLog& log = logs_[number];
  const auto source = static_cast<std::uint32_t>(number);
  std::unique_ptr<RowSource> rows;
  if (log.kind == stream) {
    start(log);
    rows = std::make_unique<RowSource>(*log.reader, diagnostics_.linesOf(number), source);
  } else if (stream == LogKind::spot) {
    rows = RowSource::deliveriesOf(*log.reader, source);
    if (rows) start(log);
  }
  return rows;
}

// What is said before the first stream reads a log: how it is written, and the order it is
// read in.
void Conversion::start(NamedLog& log) {
  if (std::exchange(log.started, true)) return;
  const LogEncoding savedIn = log.reader->savedIn();
  if (savedIn != LogEncoding::shiftJis) {
    diagnostics_.aboutFile(log.path, savedIn == LogEncoding::utf8
                                         ? say(language(), Message::readFromUtf8)
                                         : say(language(), Message::readFromUtf16));
  }
  if (const std::string order = describe(language(), log.reader->order()); !order.empty()) {
    diagnostics_.aboutFile(log.path, order);
  }
}

void Conversion::finishLog(std::size_t number, LogReport report) {
  NamedLog& log = logs_[number];
  if (log.deliveries) addDeliveries(report, *log.deliveries);
  diagnostics_.finishLog(number, report);
  if (report.duplicates == 1) {
    diagnostics_.aboutFile(log.path, say(language(), Message::oneAlsoInAnotherLog));
  }
  if (report.duplicates > 1) {
    diagnostics_.aboutFile(log.path,
                           say(language(), Message::alsoInAnotherLog, grouped(report.duplicates)));
  }
  summary_.logRead(log.inSummary, report);
  if (!report.readable()) failedPartWay(log.path, report);
}

}  // namespace tradepl
