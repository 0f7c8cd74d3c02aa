#include "output/outputs.hpp"

#include "output/report_file.hpp"

namespace tradepl {

RunOutputs::RunOutputs(bool detail) : results_(detail) {}

OutputProblem RunOutputs::create(const std::string& resultPath,
                                 const std::optional<std::string>& reportPath) {
  resultPath_ = resultPath;
  if (const FileProblem problem = results_.create(resultPath)) return aboutResults(problem);
  if (!reportPath) return {};
  report_.emplace(*reportPath);
  return aboutReport(report_->file.open(*reportPath));
}

OutputProblem RunOutputs::commit(const YearlyTotals& totals, const YearlyDividends& dividends) {
  if (report_) appendReport(report_->file, totals, dividends);
  if (const FileProblem problem = results_.file().prepare()) return aboutResults(problem);
  if (report_) {
    if (const FileProblem problem = report_->file.commit()) return aboutReport(problem);
  }
  return aboutResults(results_.file().commit());
}

std::vector<OutputNote> RunOutputs::notes() const {
  std::vector<OutputNote> notes;
  const auto noteOf = [&notes](const std::string& path, const platform::OutputFile& file) {
    if (file.wroteInPlace()) notes.push_back({path, OutputNote::Kind::writtenInPlace});
    if (file.modeError() != 0) {
      notes.push_back({path, OutputNote::Kind::modeNotKept, file.modeError()});
    }
  };
  noteOf(resultPath_, results_.file());
  if (report_) noteOf(report_->path, report_->file);
  return notes;
}

}  // namespace tradepl
