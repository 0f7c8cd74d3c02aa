#pragma once
// Writing the output path as the system keeps it. A regular file is replaced whole: the
// new bytes go to a temporary file in the same folder, which is flushed to disk and takes
// the file's place, with its mode and owner, only once every byte is written. A symbolic
// link stays a link: the file it points to is the one replaced. A character device or a
// FIFO (/dev/null, /dev/stdout, a named pipe) is written directly, and so is "-", the
// standard output. Until the commit a file already at the path stays as it was, and an
// interrupted run (Ctrl-C, a closed console, SIGTERM) leaves no temporary file behind.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files.hpp"

namespace tradepl::platform {

class OutputFile {
 public:
  OutputFile();
  // A file never committed leaves nothing behind.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Readies `path` for new bytes; returns why it cannot be written, if it cannot.
  FileProblem open(const std::string& path);
  // Writes all of `bytes`; false on failure, with errno set.
  bool write(std::string_view bytes);
  // Makes the bytes written the path's: returns why it could not, if it could not, and
  // then nothing at the path has changed.
  FileProblem commit();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// "-": the standard output, not a file of that name.
inline constexpr std::string_view kStandardOutput = "-";

}  // namespace tradepl::platform
