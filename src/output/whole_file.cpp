#include "output/whole_file.hpp"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>

#include "platform/files.hpp"

namespace tradepl {
namespace {

// A file beside `path` that nobody else is using: created exclusively, under a name no
// other run picks.
std::FILE* createTemporaryBeside(const std::string& path, std::string& temporaryPath) {
  std::mt19937_64 random(static_cast<std::uint64_t>(
      std::chrono::steady_clock::now().time_since_epoch().count() ^ std::random_device{}()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
    temporaryPath = path + suffix;
    errno = 0;
    if (std::FILE* file = platform::createNewFile(temporaryPath)) return file;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

int errnoOr(int fallback) {
  return errno != 0 ? errno : fallback;
}

}  // namespace

bool writeToFile(std::FILE* file, std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

WholeFile::WholeFile(BlockWrite writeBlock) : writeBlock_(std::move(writeBlock)) {
  block_.reserve(kBlockSize + 4096);
}

WholeFile::~WholeFile() {
  discard();
}

FileProblem WholeFile::create(const std::string& path) {
  if (platform::isDirectory(path)) return {FileFailure::isDirectory};
  path_ = path;
  file_ = createTemporaryBeside(path, temporaryPath_);
  if (file_ == nullptr) return {FileFailure::cannotCreate, errno};
  return {};
}

void WholeFile::flush() {
  if (error_ == 0 && !block_.empty()) {
    errno = 0;
    if (!writeBlock_(file_, block_)) error_ = errnoOr(EIO);
  }
  block_.clear();
}

FileProblem WholeFile::commit() {
  flush();
  if (error_ == 0 && std::fflush(file_) != 0) error_ = errnoOr(EIO);
  if (std::fclose(file_) != 0 && error_ == 0) error_ = errnoOr(EIO);
  file_ = nullptr;
  if (error_ != 0) {
    discard();
    return {FileFailure::writeError, error_};
  }
  if (const int error = platform::replaceFile(temporaryPath_, path_); error != 0) {
    discard();
    return {FileFailure::cannotReplace, error};
  }
  temporaryPath_.clear();
  return {};
}

void WholeFile::discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temporaryPath_.empty()) platform::removeFile(temporaryPath_);
  temporaryPath_.clear();
}

}  // namespace tradepl
