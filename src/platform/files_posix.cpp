#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/output_file.hpp"
#include "platform/system.hpp"

namespace tradepl::platform {

std::filesystem::path filePath(const std::string& path) {
  return std::filesystem::path(path);
}

std::FILE* openForReading(const std::string& path) {
  return std::fopen(path.c_str(), "rb");
}

std::optional<std::uint64_t> regularFileSize(std::FILE* file) {
  struct stat status {};
  if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

bool seekTo(std::FILE* file, std::uint64_t offset) {
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool isPipe(std::FILE* file) {
  struct stat status {};
  return fstat(fileno(file), &status) == 0 &&
         (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode));
}

std::FILE* openTemporaryFile() {
  const char* variable = std::getenv("TMPDIR");
  const std::string folder = variable != nullptr && *variable != '\0' ? variable : "/tmp";
  int fd = -1;
#ifdef O_TMPFILE
  fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#endif
  if (fd < 0) {
    std::string name = folder + "/.tradepl-XXXXXX";
    fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return nullptr;
    unlink(name.c_str());
  }
  std::FILE* file = fdopen(fd, "w+b");
  if (file == nullptr) close(fd);
  return file;
}

namespace {

// The stream or file a path reaches: the standard output for "-", the descriptor itself for
// a name of one; none for a descriptor closed at the start, which reaches nothing of the
// caller's.
std::optional<struct stat> reachedBy(const std::string& path) {
  struct stat status {};
  const std::optional<int> descriptor =
      path == kStandardOutput ? std::optional<int>(STDOUT_FILENO) : descriptorNamedBy(path);
  if (descriptor && streamClosedAtStart(*descriptor)) return std::nullopt;
  if (descriptor ? fstat(*descriptor, &status) != 0 : stat(path.c_str(), &status) != 0) {
    return std::nullopt;
  }
  return status;
}

}  // namespace

bool sameStreamOrDevice(const std::string& a, const std::string& b) {
  const std::optional<struct stat> first = reachedBy(a);
  const std::optional<struct stat> second = reachedBy(b);
  return first && second && first->st_dev == second->st_dev && first->st_ino == second->st_ino;
}

namespace detail {

bool standardOutputIs(const std::string& path) {
  struct stat output {};
  struct stat file {};
  return fstat(STDOUT_FILENO, &output) == 0 && S_ISREG(output.st_mode) &&
         stat(path.c_str(), &file) == 0 && file.st_dev == output.st_dev &&
         file.st_ino == output.st_ino;
}

std::filesystem::path comparedName(std::filesystem::path path) {
  return path;
}

std::string textOf(const std::filesystem::path& path) {
  return path.string();
}

}  // namespace detail
}  // namespace tradepl::platform
