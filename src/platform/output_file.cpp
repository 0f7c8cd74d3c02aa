#include "platform/output_file.hpp"

#include <cerrno>

namespace tradepl::platform {

void OutputFile::flush() {
  if (error_ == 0 && used_ != 0) {
    const std::string_view block(block_.get(), used_);
    errno = 0;
    const bool wrote =
        writeBlock_
            ? writeBlock_(block, [this](std::string_view bytes) { return writeThrough(bytes); })
            : writeThrough(block);
    if (!wrote) error_ = errno != 0 ? errno : EIO;
    sent_ = true;
  }
  used_ = 0;
}

void OutputFile::makeRoom(std::size_t bound) {
  flush();
  if (bound > capacity_) {
    capacity_ = bound;
    block_ = std::make_unique_for_overwrite<char[]>(capacity_);
  }
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
