#pragma once
// Writing the output path as the system keeps it. A regular file is replaced whole: the
// new bytes go to a temporary file in the same folder, readable by its owner alone, which
// is flushed to disk and takes the file's place, with its mode and owner, only once every
// byte is written. A file the user may not write is left alone; one they may write in a
// folder that takes no new file from them is overwritten in place at the commit instead.
// A symbolic link stays a link: the file it points to is the one replaced. A character
// device or a FIFO (/dev/null, a named pipe) is written directly, and an open stream, "-"
// (the standard output) or any other name of one (/dev/stdout, /dev/fd/2), through the
// descriptor the process holds. Until the commit a file already at the path stays as it
// was, and an interrupted run (Ctrl-C, a closed console, SIGTERM) leaves no temporary
// file behind. A run killed outright (SIGKILL) leaves none either while it writes, where the
// temporary file has no name (Linux); only one killed between the naming of the new file
// and its rename, a moment at the commit, leaves it whole as .tradepl-….tmp beside the path.
//
// A symbolic link that another user planted in a shared folder (sticky and writable by all,
// as /tmp) is never followed, as the kernel would not follow it either. A file written in
// place is locked while it is written, so that two runs never write it at once.

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files.hpp"

namespace tradepl::platform {

// How the bytes reach the path, chosen once when it is opened.
enum class WriteMode : std::uint8_t {
  direct,          // a device, a FIFO or an open stream: straight there, as they come
  replaceUnnamed,  // a temporary file without a name, named and renamed over the path at the
                   // commit (O_TMPFILE, Linux)
  replaceNamed,    // a named temporary file beside the path, renamed over it at the commit (a
                   // replace call on Windows); on POSIX, either replace goes over the file
                   // itself instead when the folder refuses the rename (sticky, as /tmp)
  copyOver,        // a temporary file of the system's, copied over the file itself at the
                   // commit: the path's folder takes no new file from this user
};

// A file written whole or not at all, in large blocks: after a failed write nothing more is
// written, and the reason is kept from the moment it happened.
class OutputFile {
 public:
  // Whether the temporary file may be one without a name (O_TMPFILE on Linux), as it is
  // where the system offers it; tests ask for a named one, as other systems have.
  enum class TemporaryName : std::uint8_t { noneWherePossible, always };
  // How a block reaches the open file: through `write`, the system's call, unless a test
  // puts in its place one that fails part-way, as a full disk would. False on failure, with
  // errno set.
  using SystemWrite = std::function<bool(std::string_view bytes)>;
  using BlockWrite = std::function<bool(std::string_view block, const SystemWrite& write)>;

  explicit OutputFile(TemporaryName name = TemporaryName::noneWherePossible,
                      BlockWrite writeBlock = {});
  // A file never committed leaves nothing behind.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Readies `path` for new bytes; returns why it cannot be written, if it cannot.
  FileProblem open(const std::string& path);
  // Bytes appended reach the file as the block fills.
  void append(std::string_view bytes) {
    std::memcpy(room(bytes.size()), bytes.data(), bytes.size());
    used_ += bytes.size();
  }
  // Room for up to `bound` bytes at the end of the block, to be written in place and then
  // kept up to `end` with keep(end): a writer that knows the most a line can take writes it
  // there, with no copy between.
  char* room(std::size_t bound) {
    if (capacity_ - used_ < bound) makeRoom(bound);
    return block_.get() + used_;
  }
  void keep(const char* end) { used_ = static_cast<std::size_t>(end - block_.get()); }
  void flushIfFull() {
    if (used_ >= kBlockSize) flush();
  }
  // Writes the rest, and does what can fail before the bytes take the path's place, so that
  // a second file can be made ready as well before either is committed: the bytes go to
  // disk, the file gets its mode, and a file written in place is locked against other runs
  // (which are waited for a few seconds). Returns why it could not, if it could not; the
  // path is unchanged.
  FileProblem prepare();
  // Makes the bytes written the path's (prepare() first, if it was not called): returns why
  // it could not, if it could not, and then nothing at the path has changed, unless the
  // copy over a file written in place failed part-way.
  FileProblem commit();

  WriteMode mode() const;
  // The errno of a failure to give the committed file its mode or its owner (those of the
  // file replaced); 0 when it has them. The file is written either way.
  int modeError() const;
  // True when the bytes went over the file itself rather than replacing it whole, as a
  // folder that takes no new file from this user makes it (see open()).
  bool wroteInPlace() const;
  // True when some bytes already reached a path written directly (a stream, a device): a
  // file never committed is not all unwritten there.
  bool sentPart() const { return sent_ && mode() == WriteMode::direct; }

 private:
  // One write per line would dominate a big run.
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
  // Past a full block, room for a line of any real log, so that the block is written whole.
  static constexpr std::size_t kSlack = 64 * 1024;
  struct State;  // the system's, in output_file_posix.cpp or output_file_windows.cpp

  void flush();
  // Writes the block, and makes it large enough for `bound` bytes (a line of the rare file
  // that has one of more than the slack).
  void makeRoom(std::size_t bound);
  // The system's steps behind write, prepare() and commit().
  bool writeThrough(std::string_view bytes);
  FileProblem prepareSystem();
  FileProblem commitSystem();

  std::unique_ptr<State> state_;
  BlockWrite writeBlock_;
  std::size_t capacity_ = kBlockSize + kSlack;
  std::unique_ptr<char[]> block_ = std::make_unique_for_overwrite<char[]>(capacity_);
  std::size_t used_ = 0;
  int error_ = 0;  // the errno of the first failed write
  bool sent_ = false;
};

// "-": the standard output, not a file of that name.
inline constexpr std::string_view kStandardOutput = "-";

}  // namespace tradepl::platform
