#pragma once
// Where a log's bytes come from: a file, or bytes already in memory. A regular file can be
// read from any place, so a log written newest first can be read from its end; a pipe or
// a device only from start to end.

#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/files.hpp"

namespace tradepl {

using platform::FileFailure;
using platform::FileProblem;

class LogBytes {
 public:
  virtual ~LogBytes() = default;

  // Fills the front of `into` with the bytes after those read so far and returns how
  // many; 0 at the end, or after a read error, which failure() then names.
  virtual std::size_t read(std::span<char> into) = 0;
  // How many bytes there are, where they can be read from any place.
  virtual std::optional<std::uint64_t> size() const = 0;
  // Reads from `offset` on, where size() is known; as read() otherwise.
  virtual std::size_t readAt(std::uint64_t offset, std::span<char> into) = 0;
  virtual FileProblem failure() const { return {}; }
};

// Bytes in memory, handed out at most `mostPerRead` at a time, as a file might.
class MemoryBytes final : public LogBytes {
 public:
  explicit MemoryBytes(std::string_view bytes,
                       std::size_t mostPerRead = std::numeric_limits<std::size_t>::max())
      : bytes_(bytes), mostPerRead_(mostPerRead) {}
  // It views the bytes: a temporary string would be gone before they are read.
  MemoryBytes(std::string&&, std::size_t = 0) = delete;

  std::size_t read(std::span<char> into) override;
  std::optional<std::uint64_t> size() const override { return bytes_.size(); }
  std::size_t readAt(std::uint64_t offset, std::span<char> into) override;

 private:
  std::string_view bytes_;
  std::size_t mostPerRead_;
  std::size_t next_ = 0;
};

struct OpenedLog {
  std::unique_ptr<LogBytes> bytes;
  FileProblem problem;  // why the log cannot be read, when bytes is empty
};

// The bytes of a file opened for reading, which they close.
std::unique_ptr<LogBytes> fileBytes(std::FILE* file);

// Opens a log. One from a pipe or a FIFO (standard input piped in, a shell's <(…)) is first
// copied whole to a temporary file, so that a log written newest first can be read from its
// end whatever it comes from; the copy is never held in memory. A device (a terminal,
// /dev/zero) is read as it comes, from start to end only. A name of a descriptor that was
// closed when the program started (/dev/fd/3 3<&-, /dev/stdin <&-) is refused: the number
// may be a file of the program's own by now, another log read twice.
OpenedLog openLogFile(const std::string& path);

// Opens a file to be read once from start to end, as openLogFile does, but a pipe is read
// as it comes and never copied: a reader that stops at a limit (a splits file) stops the
// bytes there, not after a copy of all of them (yes | tradepl --splits /dev/stdin …).
OpenedLog openToReadOnce(const std::string& path);

// The bytes of `source`, copied to a temporary file that the system removes once it is
// closed, or the run ends however it ends. When the copy fails (a read error, a full disk)
// the bytes returned are not read at all, and their failure() says why.
std::unique_ptr<LogBytes> spoolToTemporaryFile(LogBytes& source);

// Fills `into` until it is full or the bytes end, and returns how many it filled: a pipe
// hands over what it has at a time. From `offset` on, where the bytes can be read from any
// place; otherwise with the bytes after those read so far.
std::size_t readFully(LogBytes& bytes, std::span<char> into,
                      std::optional<std::uint64_t> offset = std::nullopt);

}  // namespace tradepl
