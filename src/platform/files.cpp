#include "platform/files.hpp"
#include "platform/console.hpp"
#include "platform/output_file.hpp"
#include "platform/text.hpp"

#include <sys/stat.h>
#include <sys/types.h>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#ifdef _WIN32
#include <windows.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>
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
namespace {

// The identity of an open file: its volume and its number there.
std::optional<FILE_ID_INFO> identityOf(HANDLE file) {
  FILE_ID_INFO identity{};
  if (file == nullptr || file == INVALID_HANDLE_VALUE || GetFileType(file) != FILE_TYPE_DISK ||
      !GetFileInformationByHandleEx(file, FileIdInfo, &identity, sizeof identity)) {
    return std::nullopt;
  }
  return identity;
}

bool standardOutputIs(const std::string& path) {
  const std::optional<FILE_ID_INFO> output = identityOf(GetStdHandle(STD_OUTPUT_HANDLE));
  if (!output) return false;
  const HANDLE file =
      CreateFileW(widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const std::optional<FILE_ID_INFO> identity = identityOf(file);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  // Wine knows no volume (0) for a stream the shell redirected; the number still tells.
  return identity &&
         std::memcmp(&identity->FileId, &output->FileId, sizeof identity->FileId) == 0 &&
         (identity->VolumeSerialNumber == output->VolumeSerialNumber ||
          output->VolumeSerialNumber == 0);
}

}  // namespace

bool sameStreamOrDevice(const std::string& a, const std::string& b) {
  if (!isWindowsDeviceName(a) || !isWindowsDeviceName(b)) return false;
  const auto device = [](const std::string& path) {
    std::wstring name = filePath(path).stem().wstring();
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
  };
  return device(a) == device(b);
}

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

namespace {

bool standardOutputIs(const std::string& path) {
  struct stat output {};
  struct stat file {};
  return fstat(STDOUT_FILENO, &output) == 0 && S_ISREG(output.st_mode) &&
         stat(path.c_str(), &file) == 0 && file.st_dev == output.st_dev &&
         file.st_ino == output.st_ino;
}

}  // namespace

#endif

bool isWindowsDeviceName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/:");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  // The device is the name before its first dot, spaces at its end not counted: "aux .csv".
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  if (slash != std::string_view::npos && path[slash] == ':' && name.empty()) {
    // "COM1:": the colon after the device's name, not a drive's.
    return isWindowsDeviceName(path.substr(0, slash));
  }
  std::string upper;
  for (const char c : name) upper += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

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

namespace {

// A name of a descriptor closed when the program started reaches nothing of the caller's,
// whatever file has the number by now.
bool namesDescriptorClosedAtStart(const std::string& path) {
  const std::optional<int> descriptor = descriptorNamedBy(path);
  return descriptor && streamClosedAtStart(*descriptor);
}

}  // namespace

bool sameFile(const std::string& a, const std::string& b) {
  if (namesDescriptorClosedAtStart(a) || namesDescriptorClosedAtStart(b)) return false;
  if (a == kStandardOutput) return standardOutputIs(b);
  if (b == kStandardOutput) return standardOutputIs(a);
  std::error_code status;
  if (std::filesystem::equivalent(filePath(a), filePath(b), status) && !status) return true;
  return resolved(a) == resolved(b);
}

bool isRegularFile(const std::string& path) {
  std::error_code status;
  return std::filesystem::is_regular_file(filePath(path), status);
}

namespace {

std::string textOf(const std::filesystem::path& path) {
#ifdef _WIN32
  return narrow(path.wstring());
#else
  return path.string();
#endif
}

}  // namespace

std::string parentFolder(const std::string& path) {
  const std::filesystem::path folder = filePath(path).parent_path();
  return folder.empty() ? std::string(".") : textOf(folder);
}

std::string pathBeside(const std::string& path, const std::string& name) {
  return textOf(filePath(path).parent_path() / filePath(name));
}

std::string fullPath(const std::string& path) {
  std::error_code status;
  std::filesystem::path full = std::filesystem::absolute(filePath(path), status);
  if (status) return path;
  full = full.lexically_normal();
  // A folder named as ".", or with a separator after it, is written without one.
  if (!full.has_filename() && full.has_relative_path()) full = full.parent_path();
  return textOf(full);
}

std::string systemReason(int error) {
  return std::generic_category().message(error);
}

}  // namespace tradepl::platform
