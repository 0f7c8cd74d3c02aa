#include "platform/output_file.hpp"

#include <cerrno>

namespace tradepl::platform {

void OutputFile::flush() {
  if (error_ == 0 && !block_.empty()) {
    errno = 0;
    const bool wrote =
        writeBlock_
            ? writeBlock_(block_, [this](std::string_view bytes) { return writeThrough(bytes); })
            : writeThrough(block_);
    if (!wrote) error_ = errno != 0 ? errno : EIO;
    sent_ = true;
  }
  block_.clear();
}

FileProblem OutputFile::prepare() {
  flush();
  if (error_ != 0) return {FileFailure::writeError, error_};
  return prepareSystem();
}

FileProblem OutputFile::commit() {
  if (const FileProblem problem = prepare()) return problem;
  return commitSystem();
}

}  // namespace tradepl::platform
