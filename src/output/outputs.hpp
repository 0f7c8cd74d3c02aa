#pragma once
// The files a run writes, the result file and the yearly report, committed together: both
// are created before a log is read, both written to their end and readied, and only then
// does either take the place of a file already there, the report first. A report that
// cannot be created, written or committed leaves the result file as it was: a report beside
// results of another run would not match them, nor would results beside an old report.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ledger/yearly_totals.hpp"
#include "output/result_file.hpp"
#include "platform/output_file.hpp"
#include "records/dividends.hpp"

namespace tradepl {

// Why one of the files could not be written, and which.
struct OutputProblem {
  std::string path;
  bool isReport = false;
  FileProblem problem;

  explicit operator bool() const { return static_cast<bool>(problem); }
};

// What there is to tell about a file once it is committed.
struct OutputNote {
  enum class Kind : std::uint8_t {
    writtenInPlace,  // written over, not replaced all at once (see OutputFile::wroteInPlace)
    modeNotKept,     // error: why it lacks the mode or owner of the file it replaced
  };
  std::string path;
  Kind kind;
  int error = 0;
};

class RunOutputs {
 public:
  // With `detail`, result lines carry the account, trade type and settlement date.
  explicit RunOutputs(bool detail);

  // Creates the result file at `resultPath` and the report at `reportPath`, if one is named;
  // returns why either cannot be written, and then nothing at either path has changed.
  OutputProblem create(const std::string& resultPath, const std::optional<std::string>& reportPath);

  ResultFile& results() { return results_; }

  // Writes the report of `totals` and `dividends`, readies both files and commits them; returns why
  // one could not be written. The result file is then as it was, unless it alone failed at its own
  // commit, after the report's.
  OutputProblem commit(const YearlyTotals& totals, const YearlyDividends& dividends);

  // True when part of the results already reached a stream or a device (see
  // platform::OutputFile::sentPart).
  bool sentPart() const { return results_.file().sentPart(); }
  // What to tell about the files committed.
  std::vector<OutputNote> notes() const;

 private:
  struct Report {
    explicit Report(std::string reportPath) : path(std::move(reportPath)) {}
    std::string path;
    platform::OutputFile file;
  };

  OutputProblem aboutResults(FileProblem problem) const { return {resultPath_, false, problem}; }
  OutputProblem aboutReport(FileProblem problem) const { return {report_->path, true, problem}; }

  ResultFile results_;
  std::string resultPath_;
  std::optional<Report> report_;
};

}  // namespace tradepl
