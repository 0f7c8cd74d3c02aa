#include "output/whole_file.hpp"

#include <cerrno>

namespace tradepl {

bool writeToFile(platform::OutputFile& file, std::string_view bytes) {
  return file.write(bytes);
}

WholeFile::WholeFile(BlockWrite writeBlock) : writeBlock_(std::move(writeBlock)) {
  block_.reserve(kBlockSize + 4096);
}

FileProblem WholeFile::create(const std::string& path) {
  return file_.open(path);
}

void WholeFile::flush() {
  if (error_ == 0 && !block_.empty()) {
    errno = 0;
    if (!writeBlock_(file_, block_)) error_ = errno != 0 ? errno : EIO;
    sent_ = true;
  }
  block_.clear();
}

FileProblem WholeFile::prepare() {
  flush();
  if (error_ != 0) return {FileFailure::writeError, error_};
  return file_.prepare();
}

FileProblem WholeFile::commit() {
  if (const FileProblem problem = prepare()) return problem;
  return file_.commit();
}

}  // namespace tradepl
