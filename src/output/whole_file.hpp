#pragma once
// A file written whole or not at all: the bytes go to a temporary file beside the path, in
// large blocks, and the temporary file takes the path's place only once every byte is
// written. Until then a file already at the path stays as it was.

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "platform/files.hpp"

namespace tradepl {

using platform::FileFailure;
using platform::FileProblem;

// How a block of bytes reaches the open file: fwrite, unless a test puts a failing one in
// its place, as a full disk would fail. Returns false on failure, with errno set.
using BlockWrite = std::function<bool(std::FILE* file, std::string_view bytes)>;
bool writeToFile(std::FILE* file, std::string_view bytes);

class WholeFile {
 public:
  explicit WholeFile(BlockWrite writeBlock = writeToFile);
  // A file never committed leaves nothing behind.
  ~WholeFile();
  WholeFile(const WholeFile&) = delete;
  WholeFile& operator=(const WholeFile&) = delete;

  // Starts writing the file for `path`; returns why it cannot be written, if it cannot.
  FileProblem create(const std::string& path);

  // Bytes appended here reach the file as the block fills.
  std::string& block() { return block_; }
  void flushIfFull() {
    if (block_.size() >= kBlockSize) flush();
  }

  // Writes the rest and puts the file in the path's place; returns why it could not, if so.
  FileProblem commit();

 private:
  // One write per line would dominate a big run; after a failed write nothing more is
  // written, and the reason is kept from the moment it happened.
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

  void flush();
  void discard();

  BlockWrite writeBlock_;
  std::string path_;
  std::string temporaryPath_;
  std::FILE* file_ = nullptr;
  std::string block_;
  int error_ = 0;  // the errno of the first failed write
};

}  // namespace tradepl
