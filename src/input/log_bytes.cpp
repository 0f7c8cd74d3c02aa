#include "input/log_bytes.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files.hpp"

namespace tradepl {
namespace {

class FileBytes final : public LogBytes {
 public:
  explicit FileBytes(std::FILE* file) : file_(file), size_(platform::regularFileSize(file)) {}
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
    if (offset != position_ && !platform::seekTo(file_, offset)) return fail(errno);
    const std::size_t got = std::fread(into.data(), 1, into.size(), file_);
    if (got == 0 && std::ferror(file_) != 0) return fail(errno);
    position_ = offset + got;
    return got;
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

OpenedLog openLogFile(const std::string& path) {
  if (path.empty()) return {nullptr, {FileFailure::emptyPath}};
  if (platform::isDirectory(path)) return {nullptr, {FileFailure::isDirectory}};
  std::FILE* file = platform::openForReading(path);
  if (file == nullptr) return {nullptr, {FileFailure::cannotOpen, errno}};
  return {std::make_unique<FileBytes>(file), {}};
}

std::unique_ptr<LogBytes> bytesOfFile(std::FILE* file) {
  return std::make_unique<FileBytes>(file);
}

}  // namespace tradepl
