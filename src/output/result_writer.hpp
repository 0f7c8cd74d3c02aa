#pragma once
// The result file, written whole: the heading line, then one line per result in the order
// the results arise, or nothing at all if it cannot be written to the end.

#include <functional>
#include <string>

#include "output/result_line.hpp"
#include "output/whole_file.hpp"
#include "records/records.hpp"

namespace tradepl {

// Where the results go while they arise.
class ResultLog {
 public:
  explicit ResultLog(WholeFile& file) : file_(file) {}
  void append(const ResultRow& result) {
    appendResultLine(file_.block(), result);
    file_.flushIfFull();
  }

 private:
  WholeFile& file_;
};

// Writes the result file at `path` with the results that `writeResults` appends. Returns
// why the file could not be written, if it could not; `writeResults` was then not called
// or its lines went nowhere, and a file already at the path is unchanged.
FileProblem writeResultLog(const std::string& path,
                           const std::function<void(ResultLog&)>& writeResults,
                           const BlockWrite& writeBlock = writeToFile);

}  // namespace tradepl
