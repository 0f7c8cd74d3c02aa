#pragma once
// The result file, written whole: the heading line, then one line per result in the order
// the results arise, or nothing at all if it cannot be written to the end.

#include <string>

#include "output/result_line.hpp"
#include "platform/output_file.hpp"
#include "records/records.hpp"

namespace tradepl {

using platform::FileFailure;
using platform::FileProblem;

class ResultFile {
 public:
  // With `detail`, each line ends with the account, trade type and settlement date. A test
  // may pass `writeBlock` to fail as a full disk would (see platform::OutputFile).
  explicit ResultFile(bool detail = false, platform::OutputFile::BlockWrite writeBlock = {})
      : detail_(detail),
        file_(platform::OutputFile::TemporaryName::noneWherePossible, std::move(writeBlock)) {}

  // Starts the file for `path` with its heading line; returns why it cannot be written, if
  // it cannot, and a file already at the path is then unchanged.
  FileProblem create(const std::string& path);
  // Each line is written straight into the file's block.
  void append(const ResultRow& result) {
    char* const room = file_.room(resultLineBound(result, detail_));
    file_.keep(writeResultLine(room, result, detail_));
    file_.flushIfFull();
  }
  // The file the lines go to, readied and committed with the report (output/outputs.hpp).
  platform::OutputFile& file() { return file_; }
  const platform::OutputFile& file() const { return file_; }

 private:
  bool detail_;
  platform::OutputFile file_;
};

}  // namespace tradepl
