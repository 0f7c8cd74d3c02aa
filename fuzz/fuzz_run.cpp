// Fuzzes a whole run: the input is a spot log and a margin log separated by the first
// 0x1E byte; an input of odd length runs with --tax, the tax office's method. The logs go through
// the readers, the ledger and the result lines in memory, handed to the reader a few bytes at a
// time, and through the real command line on files in a temporary folder, and the two must agree.
//
// Properties: every result line has 11 columns; no line is both kept and reported; the
// same logs give the same bytes whatever the size of the reads; a log read from its end
// because it is newest first gives the results of its lines reversed, read from the top
// (where reversing its lines leaves its kind and encoding as they were); logs that read as
// spot logs are applied first, whichever option named them, with the deliveries of the
// margin logs among their rows;
// the run's status is -3 exactly when a log is refused, and 0 otherwise; the command line
// writes exactly the in-memory result, unless both logs are refused, when it writes
// nothing; and it says at most twenty things line by line about a log.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/converter.hpp"
#include "flow/trade_flow.hpp"
#include "fuzz_checks.hpp"
#include "input/log_reader.hpp"
#include "input/row_source.hpp"
#include "output/result_line.hpp"

namespace {

using namespace tradepl;
namespace fs = std::filesystem;

using fuzzing::columnsOf;
using fuzzing::require;

struct InMemoryRun {
  std::string result;
  bool refused[2] = {false, false};
  bool newestFirst[2] = {false, false};
  LogKind kind[2] = {LogKind::spot, LogKind::margin};  // what each log read as
  LogEncoding savedIn[2] = {LogEncoding::shiftJis, LogEncoding::shiftJis};
};

void requireOneLine(std::string_view line) {
  require(line.size() >= kLineEnd.size() && line.substr(line.size() - kLineEnd.size()) == kLineEnd,
          "a result line ends with the line end");
  line.remove_suffix(kLineEnd.size());
  require(line.find('\n') == std::string_view::npos, "a result is one line");
  require(columnsOf(line) == 11, "a result line has 11 columns");
}

// What the reader hands on: a line is kept once, and never both kept and reported.
class ReaderChecks final : public LineListener {
 public:
  void kept(const TradeRow& row) { require(kept_.insert(row.line).second, "a line is kept once"); }
  void skipped(std::uint64_t line, const LineProblem&) override {
    require(kept_.count(line) == 0 && skipped_.insert(line).second,
            "a line is never both kept and reported");
  }
  void outOfOrder(const TradeRow& row) override {
    require(!saidOutOfOrder_, "a log is said to be out of order once");
    require(kept_.count(row.line) == 0, "the row out of order is about to be kept");
    saidOutOfOrder_ = true;
  }

 private:
  std::set<std::uint64_t> kept_;
  std::set<std::uint64_t> skipped_;
  bool saidOutOfOrder_ = false;
};

// The lines a log's reading reports, which give no result.
class SkippedLines final : public LineListener {
 public:
  void skipped(std::uint64_t line, const LineProblem&) override { lines.insert(line); }
  void outOfOrder(const TradeRow&) override {}

  std::set<std::uint64_t> lines;
};

// What the flow hands on: each result to a result line in memory, one line each.
class InMemoryListener final : public FlowListener {
 public:
  explicit InMemoryListener(InMemoryRun& run) : run_(run) {}

  void result(const ResultRow& result) override {
    require(results_.insert({result.row->source, result.row->line}).second,
            "a line gives one result");
    const std::size_t start = run_.result.size();
    appendResultLine(run_.result, result);
    requireOneLine(std::string_view(run_.result).substr(start));
  }
  void note(const LedgerNote&, const TradeRow&) override {}
  void undatedResult(const TradeRow& trade) override {
    require(!trade.executed.dated(), "an undated result has no calendar date");
  }
  void splitNote(const SplitNote&, const StockSplit&) override {}

  // Checks, once the logs are read, that no line reported gave a result.
  void requireNoResultOf(std::uint32_t source, const std::set<std::uint64_t>& skipped) const {
    for (const std::uint64_t line : skipped) {
      require(results_.count({source, line}) == 0, "a line reported gives no result");
    }
  }

 private:
  InMemoryRun& run_;
  std::set<std::pair<std::uint32_t, std::uint64_t>> results_;
};

// The run without the command line: each log read once by the reader alone, to check what
// it hands on, and once through the trade flow, handed over `readSize` bytes at a time; the
// logs that read as spot logs first, as the command line takes them.
InMemoryRun runInMemory(std::string_view spot, std::string_view margin, std::size_t readSize,
                        CostMethod method) {
  InMemoryRun run;
  appendResultHeading(run.result);
  TradeFlow flow(FlowSettings{.method = method});
  std::vector<std::unique_ptr<MemoryBytes>> sources;
  std::vector<std::pair<std::size_t, std::unique_ptr<LogReader>>> readers;
  for (const auto& [log, bytes] :
       {std::pair(LogKind::spot, spot), std::pair(LogKind::margin, margin)}) {
    MemoryBytes plain(bytes);
    LogReader plainReader(plain, log);
    ReaderChecks checks;
    if (plainReader.refusal() == LogRefusal::none) {
      RowSource plainRows(plainReader, checks);
      while (const TradeRow* row = plainRows.next()) checks.kept(*row);
    }

    sources.push_back(std::make_unique<MemoryBytes>(bytes, readSize));
    auto reader = std::make_unique<LogReader>(*sources.back(), log);
    require(!reader->failure(), "bytes in memory always read");
    const auto index = static_cast<std::size_t>(log);
    run.refused[index] = reader->refusal() != LogRefusal::none;
    run.kind[index] = reader->kind();
    run.savedIn[index] = reader->savedIn();
    if (!run.refused[index]) readers.emplace_back(index, std::move(reader));
  }
  // The logs of each kind as one stream, spot first; the spot stream takes the deliveries of
  // the margin logs too, read a second time, each at its log's place.
  InMemoryListener listener(run);
  for (const LogKind kind : {LogKind::spot, LogKind::margin}) {
    struct Read {
      std::size_t index;
      std::unique_ptr<SkippedLines> skipped;  // none for a second reading, which says nothing
      std::unique_ptr<RowSource> source;
    };
    std::vector<Read> reads;
    std::vector<RowSource*> stream;
    for (auto& [index, reader] : readers) {
      const auto source = static_cast<std::uint32_t>(index);
      if (reader->kind() == kind) {
        auto skipped = std::make_unique<SkippedLines>();
        auto rows = std::make_unique<RowSource>(*reader, *skipped, source);
        reads.push_back({index, std::move(skipped), std::move(rows)});
      } else if (kind == LogKind::spot) {
        // None where the margin log's bytes hold no delivery.
        std::unique_ptr<RowSource> deliveries = RowSource::deliveriesOf(*reader, source);
        if (!deliveries) continue;
        reads.push_back({index, nullptr, std::move(deliveries)});
      } else {
        continue;
      }
      stream.push_back(reads.back().source.get());
    }
    MergedRows rows(stream);
    flow.takeAll(rows, listener);
    for (const Read& read : reads) {
      const LogReport& report = read.source->report();
      require(report.readable(), "bytes in memory always read");
      if (!read.skipped) continue;
      listener.requireNoResultOf(static_cast<std::uint32_t>(read.index), read.skipped->lines);
      run.newestFirst[read.index] = report.order == LogOrder::newestFirst;
    }
  }
  return run;
}

// The log's lines in the opposite order, each with the line end the log uses.
std::string reversedLines(std::string_view log) {
  const char lineEnd =
      log.find('\n') == std::string_view::npos && log.find('\r') != std::string_view::npos ? '\r'
                                                                                           : '\n';
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < log.size();) {
    const std::size_t end = std::min(log.find(lineEnd, start), log.size());
    lines.push_back(log.substr(start, end - start));
    start = end + 1;
  }
  std::string reversed;
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    reversed += *line;
    reversed += lineEnd;
  }
  return reversed;
}

// A log read from its end must come to what its lines reversed come to, read from the top.
void requireNewestFirstIsReversed(std::string_view spot, std::string_view margin,
                                  const InMemoryRun& run, CostMethod method) {
  if (!run.newestFirst[0] && !run.newestFirst[1]) return;
  const std::string reversedSpot = run.newestFirst[0] ? reversedLines(spot) : std::string(spot);
  const std::string reversedMargin =
      run.newestFirst[1] ? reversedLines(margin) : std::string(margin);
  const InMemoryRun reversed =
      runInMemory(reversedSpot, reversedMargin, std::numeric_limits<std::size_t>::max(), method);
  // Reversed, a line in UTF-8 can come before the first kept row and make the log a UTF-8
  // one, a row of the other layout the log of the other kind, and UTF-16 is no longer UTF-16.
  for (std::size_t log = 0; log < 2; ++log) {
    if (reversed.refused[log] || reversed.kind[log] != run.kind[log] ||
        reversed.savedIn[log] != run.savedIn[log] || run.savedIn[log] == LogEncoding::utf16) {
      return;
    }
  }
  require(!reversed.newestFirst[0] && !reversed.newestFirst[1],
          "a newest-first log reversed is oldest first");
  require(reversed.result == run.result, "newest first reads as the lines reversed");
}

const fs::path& scratchFolder() {
  static const fs::path folder = [] {
    fs::path path = fs::temp_directory_path() / ("tradepl-fuzz-" + std::to_string(getpid()));
    fs::create_directories(path);
    return path;
  }();
  return folder;
}

void writeFile(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Every message has the prefix but the summary's lines after its first, which are
// indented and come last; and a log says at most twenty things line by line.
void requireFewLineMessages(const std::string& messages) {
  std::size_t aboutLines = 0;
  bool inSummary = false;
  bool saidAnything = false;
  for (std::size_t start = 0; start < messages.size();) {
    const std::size_t end = messages.find('\n', start);
    require(end != std::string::npos, "messages end with a line end");
    const std::string_view message(messages.data() + start, end - start);
    start = end + 1;
    if (message.starts_with("  ")) {
      require(saidAnything, "indented lines follow the summary's heading");
      inSummary = true;
      continue;
    }
    require(!inSummary, "the summary comes last");
    require(message.starts_with("tradepl: "), "every message has the prefix");
    saidAnything = true;
    // "tradepl: FILE:LINE: ..." names a line; the files here have no digits after a colon.
    const std::size_t colon = message.find(".csv:");
    if (colon != std::string_view::npos && colon + 5 < message.size() &&
        message[colon + 5] >= '0' && message[colon + 5] <= '9') {
      ++aboutLines;
    }
  }
  require(aboutLines <= 40, "at most twenty messages a log about its lines");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t separator = input.find('\x1E');
  const std::string_view spot = input.substr(0, separator);
  const std::string_view margin =
      separator == std::string_view::npos ? std::string_view() : input.substr(separator + 1);

  const bool tax = size % 2 == 1;
  const CostMethod method = tax ? CostMethod::taxOffice : CostMethod::movingAverage;
  const InMemoryRun first = runInMemory(spot, margin, 1 + size % 4096, method);
  const InMemoryRun second =
      runInMemory(spot, margin, std::numeric_limits<std::size_t>::max(), method);
  require(first.result == second.result, "the same logs give the same result twice");
  requireNewestFirstIsReversed(spot, margin, second, method);

  const fs::path spotPath = scratchFolder() / "spot.csv";
  const fs::path marginPath = scratchFolder() / "margin.csv";
  const fs::path outputPath = scratchFolder() / "out.csv";
  fs::remove(outputPath);
  writeFile(spotPath, spot);
  writeFile(marginPath, margin);
  std::vector<std::string> arguments = {
      "tradepl", "-g", spotPath.string(), "-s", marginPath.string(), outputPath.string()};
  if (tax) arguments.push_back("--tax");
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out;
  std::ostringstream err;
  const int status = runConverter(static_cast<int>(argv.size()), argv.data(), out, err);
  const bool refused = first.refused[0] || first.refused[1];
  require(status == (refused ? kInputUnreadable : kCompleted),
          "a run completes unless a log is refused");
  require(out.str().empty(), "a run prints nothing on standard output");
  if (first.refused[0] && first.refused[1]) {
    require(!fs::exists(outputPath), "with no log read, nothing is written");
  } else {
    require(readFile(outputPath) == first.result, "the command line writes the in-memory result");
  }
  requireFewLineMessages(err.str());
  return 0;
}
