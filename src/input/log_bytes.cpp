#include "input/log_bytes.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/console.hpp"
#include "platform/files.hpp"

namespace tradepl {
namespace {

class FileBytes final : public LogBytes {
 public:
  // With a failure, the file is not read at all: it stands for a log that could not be.
  explicit FileBytes(std::FILE* file, FileProblem failure = {})
      : file_(file), size_(platform::regularFileSize(file)), failure_(failure) {}
  ~FileBytes() override { std::fclose(file_); }
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  std::size_t read(std::span<char> into) override {
    const std::size_t got = readAt(next_, into);
    next_ += got;
    return got;
  }
  std::optional<std::uint64_t> size() const override { return size_; }
  std::size_t readAt(std::uint64_t offset, std::span<char> into) override {
    if (failure_) return 0;
    if (pendingError_ != 0) return fail(pendingError_);
    if (offset != position_ && !platform::seekTo(file_, offset)) return fail(errno);
    for (;;) {
      // The stream's error flag outlives the call that set it, and errno any call: both are
      // cleared first, so that only this read's own failure counts.
      std::clearerr(file_);
      errno = 0;
      const std::size_t got = std::fread(into.data(), 1, into.size(), file_);
      const int error = std::ferror(file_) != 0 ? (errno != 0 ? errno : EIO) : 0;
      position_ = offset + got;
      if (error == EINTR && got == 0) continue;  // interrupted before any byte: again
      // The bytes read before a failure are handed over; the failure comes with the next
      // read, even if the place would read now: a disk that failed once is not trusted.
      if (error != 0 && error != EINTR) {
        if (got == 0) return fail(error);
        pendingError_ = error;
      }
      return got;
    }
  }
  FileProblem failure() const override { return failure_; }

 private:
  std::size_t fail(int error) {
    failure_ = {FileFailure::readError, error};
    return 0;
  }

  std::FILE* file_;
  std::optional<std::uint64_t> size_;
  std::uint64_t next_ = 0;      // where read() goes on
  std::uint64_t position_ = 0;  // where the file stands
  FileProblem failure_;
  int pendingError_ = 0;  // of a read that handed over bytes before it failed
};

// A log that could not be had at all: no bytes, and why.
class UnreadBytes final : public LogBytes {
 public:
  explicit UnreadBytes(FileProblem failure) : failure_(failure) {}

  std::size_t read(std::span<char>) override { return 0; }
  std::optional<std::uint64_t> size() const override { return 0; }
  std::size_t readAt(std::uint64_t, std::span<char>) override { return 0; }
  FileProblem failure() const override { return failure_; }

 private:
  FileProblem failure_;
};

}  // namespace

std::size_t MemoryBytes::read(std::span<char> into) {
  const std::size_t got = readAt(next_, into);
  next_ += got;
  return got;
}

std::size_t MemoryBytes::readAt(std::uint64_t offset, std::span<char> into) {
  if (offset >= bytes_.size()) return 0;
  const std::size_t size = std::min({into.size(), bytes_.size() - offset, mostPerRead_});
  std::memcpy(into.data(), bytes_.data() + offset, size);
  return size;
}

std::size_t readFully(LogBytes& bytes, std::span<char> into, std::optional<std::uint64_t> offset) {
  std::size_t filled = 0;
  while (filled < into.size()) {
    const std::span<char> rest = into.subspan(filled);
    const std::size_t got = offset ? bytes.readAt(*offset + filled, rest) : bytes.read(rest);
    if (got == 0) break;
    filled += got;
  }
  return filled;
}

std::unique_ptr<LogBytes> spoolToTemporaryFile(LogBytes& source) {
  std::FILE* spool = platform::openTemporaryFile();
  if (spool == nullptr) {
    return std::make_unique<UnreadBytes>(
        FileProblem{FileFailure::cannotSpool, errno != 0 ? errno : EIO});
  }
  // One block on the heap, for the copy only.
  std::vector<char> block(std::size_t{1} << 16);
  FileProblem problem;
  for (;;) {
    const std::size_t got = source.read(block);
    if (got == 0) {
      problem = source.failure();
      break;
    }
    if (std::fwrite(block.data(), 1, got, spool) != got) {
      problem = {FileFailure::cannotSpool, errno != 0 ? errno : EIO};
      break;
    }
  }
  if (!problem && std::fflush(spool) != 0) problem = {FileFailure::cannotSpool, errno};
  std::rewind(spool);
  return std::make_unique<FileBytes>(spool, problem);
}

std::unique_ptr<LogBytes> fileBytes(std::FILE* file) {
  return std::make_unique<FileBytes>(file);
}

namespace {

OpenedLog openFile(const std::string& path, bool copyPipe) {
  if (path.empty()) return {nullptr, {FileFailure::emptyPath}};
  if (const std::optional<int> descriptor = platform::descriptorNamedBy(path);
      descriptor && platform::streamClosedAtStart(*descriptor)) {
    return {nullptr, {FileFailure::streamClosed}};
  }
  if (platform::isDirectory(path)) return {nullptr, {FileFailure::isDirectory}};
  std::FILE* file = platform::openForReading(path);
  if (file == nullptr) return {nullptr, {FileFailure::cannotOpen, errno}};
  // A device is read as it comes: /dev/zero would fill the disk with a copy.
  const bool isPipe = platform::isPipe(file);
  std::unique_ptr<LogBytes> bytes = fileBytes(file);
  if (!isPipe || !copyPipe) return {std::move(bytes), {}};
  return {spoolToTemporaryFile(*bytes), {}};
}

}  // namespace

OpenedLog openLogFile(const std::string& path) {
  return openFile(path, true);
}

OpenedLog openToReadOnce(const std::string& path) {
  return openFile(path, false);
}

}  // namespace tradepl
