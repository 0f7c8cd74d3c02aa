#pragma once
// One conversion, from the logs named to the summary: the logs are opened and looked over
// first, then the rows of each kind are pulled from all of its logs at once, merged in time,
// through the flow into the result file.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/arguments.hpp"
#include "app/plan.hpp"
#include "flow/trade_flow.hpp"
#include "input/log_reader.hpp"
#include "output/outputs.hpp"
#include "words/diagnostics.hpp"
#include "words/summary.hpp"

namespace tradepl {

class Conversion {
 public:
  Conversion(const Arguments& arguments, Reporter& reporter, Language language,
             std::vector<StockSplit> splits, YearlyDividends dividends, const FileOpener& openFile,
             std::vector<LookedLog> looked);

  // Returns the exit status.
  int run();

 private:
  // A log of the run, looked over and not refused; its number among the logs_ is its number
  // in diagnostics_ and the rows' TradeRow::source.
  struct NamedLog {
    LogKind kind;
    std::string path;
    std::unique_ptr<LogBytes> bytes;
    std::unique_ptr<LogReader> reader;
    std::size_t inSummary;
    bool started = false;  // a stream has begun to read it
    // What the reading of a margin log's deliveries for the spot stream came to.
    std::optional<LogReport> deliveries{};
  };

  Language language() const { return diagnostics_.language(); }
  void cannotRead(const std::string& path, const FileProblem& problem);
  void leftAsItWas(const std::string& output);
  void failedPartWay(const std::string& path, const LogReport& report);
  void cannotWrite(const std::string& path, const FileProblem& problem, bool isReport);
  void summarize(bool written);
  void openLogs();
  LookedLog lookedAt(const LogPath& log);
  void openLog(LogKind named, LookedLog looked);
  OutputProblem convert(const std::string& output);
  void readStream(LogKind kind, ResultFile& results);
  std::unique_ptr<RowSource> sourceFor(LogKind stream, std::size_t number);
  void start(NamedLog& log);
  void finishLog(std::size_t number, LogReport report);

  const Arguments& arguments_;
  YearlyDividends dividends_;
  const FileOpener& openFile_;
  std::vector<LookedLog> looked_;  // the logs looked at while the command line was settled
  Reporter& reporter_;
  Diagnostics diagnostics_;
  CostMethod method_;
  TradeFlow flow_;
  RunSummary summary_;
  std::vector<NamedLog> logs_;
  int status_ = kCompleted;
  bool failedPartWay_ = false;  // a log opened could not be read to its end
  bool sentPart_ = false;       // a stream or a device took results before that
};

}  // namespace tradepl
