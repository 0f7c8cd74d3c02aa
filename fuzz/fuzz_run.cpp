// Fuzzes a whole run: the input is a spot log and a margin log separated by the first
// 0x1E byte. The logs go through the readers, the ledger and the result lines in memory,
// handed to the reader a few bytes at a time, and through the real command line on files
// in a temporary folder, and the two must agree.
//
// Properties: every result line has 11 columns; no line is both kept and reported; the
// same logs give the same bytes twice; the run's status is 0 (both logs are readable
// files); and the command line writes exactly the in-memory result, with one message per
// skipped line and per ledger note.

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
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

#include "app/converter.hpp"
#include "fuzz_checks.hpp"
#include "input/log_reader.hpp"
#include "ledger/ledger.hpp"
#include "output/result_line.hpp"

namespace {

using namespace tradepl;
namespace fs = std::filesystem;

using fuzzing::columnsOf;
using fuzzing::require;

struct InMemoryRun {
  std::string result;
  std::size_t messages = 0;
};

void requireOneLine(std::string_view line) {
  require(line.size() >= kLineEnd.size() && line.substr(line.size() - kLineEnd.size()) == kLineEnd,
          "a result line ends with the line end");
  line.remove_suffix(kLineEnd.size());
  require(line.find('\n') == std::string_view::npos, "a result is one line");
  require(columnsOf(line) == 11, "a result line has 11 columns");
}

// The run without the command line: each kept row through the ledger to a result line.
class InMemorySink final : public LineSink {
 public:
  InMemorySink(HoldingLedger& ledger, InMemoryRun& run) : ledger_(ledger), run_(run) {}

  void kept(const TradeRow& row) override {
    require(kept_.insert(row.line).second, "a line is kept once");
    const TradeOutcome outcome = applyTrade(ledger_, row);
    if (outcome.note) ++run_.messages;
    if (!outcome.result) return;
    const std::size_t start = run_.result.size();
    appendResultLine(run_.result, *outcome.result);
    requireOneLine(std::string_view(run_.result).substr(start));
  }
  void skipped(std::uint64_t line, const LineProblem&) override {
    require(kept_.count(line) == 0 && skipped_.insert(line).second,
            "a line is never both kept and reported");
    ++run_.messages;
  }

 private:
  HoldingLedger& ledger_;
  InMemoryRun& run_;
  std::set<std::uint64_t> kept_;
  std::set<std::uint64_t> skipped_;
};

InMemoryRun runInMemory(std::string_view spot, std::string_view margin, std::size_t readSize) {
  InMemoryRun run;
  appendResultHeading(run.result);
  HoldingLedger ledger;
  for (const auto& [log, bytes] :
       {std::pair(LogKind::spot, spot), std::pair(LogKind::margin, margin)}) {
    MemoryBytes source(bytes, readSize);
    InMemorySink sink(ledger, run);
    const LogReport report = readTradeLines(source, log, sink);
    require(report.readable(), "bytes in memory always read");
  }
  return run;
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t separator = input.find('\x1E');
  const std::string_view spot = input.substr(0, separator);
  const std::string_view margin =
      separator == std::string_view::npos ? std::string_view() : input.substr(separator + 1);

  const InMemoryRun first = runInMemory(spot, margin, 1 + size % 4096);
  const InMemoryRun second = runInMemory(spot, margin, std::numeric_limits<std::size_t>::max());
  require(first.result == second.result, "the same logs give the same result twice");

  const fs::path spotPath = scratchFolder() / "spot.csv";
  const fs::path marginPath = scratchFolder() / "margin.csv";
  const fs::path outputPath = scratchFolder() / "out.csv";
  writeFile(spotPath, spot);
  writeFile(marginPath, margin);
  const std::string arguments[] = {
      "tradepl", "-g", spotPath.string(), "-s", marginPath.string(), outputPath.string()};
  const char* argv[] = {arguments[0].c_str(), arguments[1].c_str(), arguments[2].c_str(),
                        arguments[3].c_str(), arguments[4].c_str(), arguments[5].c_str()};
  std::ostringstream out;
  std::ostringstream err;
  const int status = runConverter(6, argv, out, err);
  require(status == kCompleted, "a run over readable logs completes");
  require(out.str().empty(), "a run prints nothing on standard output");
  const std::string messages = err.str();
  require(static_cast<std::size_t>(std::count(messages.begin(), messages.end(), '\n')) ==
              first.messages,
          "one message per skipped line and per ledger note");
  require(readFile(outputPath) == first.result, "the command line writes the in-memory result");
  return 0;
}
