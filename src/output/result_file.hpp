#pragma once
// The result file, written whole: the heading line, then one line per result in the order
// the results arise, or nothing at all if it cannot be written to the end.

#include <string>

#include "output/result_line.hpp"
#include "output/whole_file.hpp"
#include "records/records.hpp"

namespace tradepl {

class ResultFile {
 public:
  // With `detail`, each line ends with the account, trade type and settlement date.
  explicit ResultFile(bool detail = false, BlockWrite writeBlock = writeToFile)
      : detail_(detail), file_(std::move(writeBlock)) {}

  // Starts the file for `path` with its heading line; returns why it cannot be written, if
  // it cannot, and a file already at the path is then unchanged.
  FileProblem create(const std::string& path);
  void append(const ResultRow& result) {
    appendResultLine(file_.block(), result, detail_);
    file_.flushIfFull();
  }
  // Makes the lines appended the file at the path; returns why it could not, if so, and
  // then nothing at the path has changed.
  FileProblem commit() { return file_.commit(); }
  // Readies the lines for the commit (see WholeFile::prepare).
  FileProblem prepare() { return file_.prepare(); }
  int modeError() const { return file_.modeError(); }
  // True when the file was written over in place, not replaced all at once.
  bool wroteInPlace() const { return file_.wroteInPlace(); }
  // True when part of the lines already reached a stream or a device (see WholeFile).
  bool sentPart() const { return file_.sentPart(); }

 private:
  bool detail_;
  WholeFile file_;
};

}  // namespace tradepl
