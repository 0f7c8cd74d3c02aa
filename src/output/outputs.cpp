#include "output/outputs.hpp"

#include "output/report_file.hpp"

namespace tradepl {

RunOutputs::RunOutputs(bool detail, BlockWrite writeBlock)
    : writeBlock_(writeBlock), results_(detail, std::move(writeBlock)) {}

OutputProblem RunOutputs::create(const std::string& resultPath,
                                 const std::optional<std::string>& reportPath) {
  resultPath_ = resultPath;
  if (const FileProblem problem = results_.create(resultPath)) return aboutResults(problem);
  if (!reportPath) return {};
  report_.emplace(*reportPath, writeBlock_);
  return aboutReport(report_->file.create(*reportPath));
}

OutputProblem RunOutputs::commit(const YearlyTotals& totals, const YearlyDividends& dividends) {
  if (report_) appendReport(report_->file, totals, dividends);
  if (const FileProblem problem = results_.prepare()) return aboutResults(problem);
  if (report_) {
    if (const FileProblem problem = report_->file.commit()) return aboutReport(problem);
  }
  return aboutResults(results_.commit());
}

std::vector<OutputNote> RunOutputs::notes() const {
  std::vector<OutputNote> notes;
  const auto noteOf = [&notes](const std::string& path, bool inPlace, int modeError) {
    if (inPlace) notes.push_back({path, OutputNote::Kind::writtenInPlace});
    if (modeError != 0) notes.push_back({path, OutputNote::Kind::modeNotKept, modeError});
  };
  noteOf(resultPath_, results_.wroteInPlace(), results_.modeError());
  if (report_) noteOf(report_->path, report_->file.wroteInPlace(), report_->file.modeError());
  return notes;
}

}  // namespace tradepl
