#include "platform/files.hpp"
#include "platform/text.hpp"

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cerrno>
#include <system_error>

namespace tradepl::platform {

#ifdef _WIN32

std::filesystem::path filePath(const std::string& path) {
  return std::filesystem::path(widen(path));
}

std::FILE* openForReading(const std::string& path) {
  return _wfopen(widen(path).c_str(), L"rb");
}

std::optional<std::uint64_t> regularFileSize(std::FILE* file) {
  struct _stat64 status {};
  if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(status.st_size);
}

bool seekTo(std::FILE* file, std::uint64_t offset) {
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

// No path a Windows user gives names a pipe the way /dev/fd/63 or a FIFO does; a named
// pipe (\\.\pipe\…) is read as it comes.
bool isPipe(std::FILE*) {
  return false;
}

// In the user's temporary folder: the C library's tmpfile() would make it in the root of
// the drive, where a user may not write.
std::FILE* openTemporaryFile() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return nullptr;
  wchar_t name[MAX_PATH + 1];
  if (GetTempFileNameW(folder, L"tpl", 0, name) == 0) return nullptr;
  // T: kept in memory while the system can; D: deleted when closed.
  std::FILE* file = _wfopen(name, L"w+bTD");
  if (file == nullptr) DeleteFileW(name);
  return file;
}

#else

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
  return std::tmpfile();
}

#endif

bool isDirectory(const std::string& path) {
  std::error_code status;
  return std::filesystem::is_directory(filePath(path), status);
}

namespace {

// The path as the system resolves it, as far as it exists, and then as written; compared
// without case on Windows, whose file names ignore it.
std::filesystem::path resolved(const std::string& path) {
  std::error_code status;
  std::filesystem::path full = std::filesystem::weakly_canonical(filePath(path), status);
  if (status) full = std::filesystem::absolute(filePath(path), status).lexically_normal();
#ifdef _WIN32
  std::wstring folded = full.wstring();
  CharLowerBuffW(folded.data(), static_cast<DWORD>(folded.size()));
  full = folded;
#endif
  return full;
}

}  // namespace

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code status;
  if (std::filesystem::equivalent(filePath(a), filePath(b), status) && !status) return true;
  return resolved(a) == resolved(b);
}

std::string systemReason(int error) {
  return std::generic_category().message(error);
}

}  // namespace tradepl::platform
