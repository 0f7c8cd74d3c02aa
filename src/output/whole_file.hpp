#pragma once
// A file written whole or not at all, in large blocks: the output file of the platform
// (see platform/output_file.hpp) fed one block at a time. After a failed write nothing
// more is written, and the reason is kept from the moment it happened.

#include <functional>
#include <string>
#include <string_view>

#include "platform/files.hpp"
#include "platform/output_file.hpp"

namespace tradepl {

using platform::FileFailure;
using platform::FileProblem;

// How a block of bytes reaches the open file: OutputFile::write, unless a test puts a
// failing one in its place, as a full disk would fail. Returns false on failure, with
// errno set.
using BlockWrite = std::function<bool(platform::OutputFile& file, std::string_view bytes)>;
bool writeToFile(platform::OutputFile& file, std::string_view bytes);

class WholeFile {
 public:
  explicit WholeFile(BlockWrite writeBlock = writeToFile);

  // Starts writing the file for `path`; returns why it cannot be written, if it cannot.
  FileProblem create(const std::string& path);

  // Bytes appended here reach the file as the block fills.
  std::string& block() { return block_; }
  void flushIfFull() {
    if (block_.size() >= kBlockSize) flush();
  }

  // Writes the rest and readies the file to take the path's place (OutputFile::prepare);
  // returns why it could not, if so, and the path is then unchanged.
  FileProblem prepare();
  // Writes the rest and makes the file the path's; returns why it could not, if so.
  FileProblem commit();
  // Why the file committed could not keep the mode or owner of the file it replaced, as an
  // errno value; 0 when it did.
  int modeError() const { return file_.modeError(); }
  // True when the file was written over in place, not replaced all at once.
  bool wroteInPlace() const { return file_.wroteInPlace(); }
  // True when some bytes already reached a path written directly (a stream, a device): a
  // file never committed is not all unwritten there.
  bool sentPart() const { return sent_ && file_.writesDirectly(); }

 private:
  // One write per line would dominate a big run.
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

  void flush();

  BlockWrite writeBlock_;
  platform::OutputFile file_;
  std::string block_;
  int error_ = 0;  // the errno of the first failed write
  bool sent_ = false;
};

}  // namespace tradepl
