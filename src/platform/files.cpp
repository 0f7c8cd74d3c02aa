#include "platform/files.hpp"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <clocale>
#include <cwchar>
#include <system_error>

namespace tradepl::platform {

std::filesystem::path filePath(const std::string& path) {
#ifdef _WIN32
  // MinGW's file-system library reads narrow paths as UTF-8, but the command line and
  // fopen speak the ANSI code page: widen with the C library, which follows the user's
  // code page once the character-type locale is taken from the environment.
  static const bool userCodePage = std::setlocale(LC_CTYPE, "") != nullptr;
  (void)userCodePage;
  std::mbstate_t state{};
  const char* source = path.c_str();
  const std::size_t length = std::mbsrtowcs(nullptr, &source, 0, &state);
  if (length != static_cast<std::size_t>(-1)) {
    std::wstring wide(length, L'\0');
    source = path.c_str();
    state = std::mbstate_t{};
    std::mbsrtowcs(wide.data(), &source, length, &state);
    return std::filesystem::path(wide);
  }
#endif
  return std::filesystem::path(path);
}

bool isDirectory(const std::string& path) {
  std::error_code status;
  return std::filesystem::is_directory(filePath(path), status);
}

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code status;
  return std::filesystem::equivalent(filePath(a), filePath(b), status) && !status;
}

std::FILE* openForReading(const std::string& path) {
  return std::fopen(path.c_str(), "rb");
}

std::optional<std::uint64_t> regularFileSize(std::FILE* file) {
#ifdef _WIN32
  struct _stat64 status {};
  if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
    return std::nullopt;
  }
#else
  struct stat status {};
  if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
#endif
  return static_cast<std::uint64_t>(status.st_size);
}

bool seekTo(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

std::FILE* createNewFile(const std::string& path) {
#ifdef _WIN32
  // The msvcrt that MinGW links against does not know fopen's "x"; the names asked for
  // here are random, so a check just before is as good.
  std::error_code status;
  if (std::filesystem::exists(filePath(path), status)) {
    errno = EEXIST;
    return nullptr;
  }
  return std::fopen(path.c_str(), "wb");
#else
  return std::fopen(path.c_str(), "wbx");
#endif
}

int replaceFile(const std::string& from, const std::string& to) {
  std::error_code status;
  std::filesystem::rename(filePath(from), filePath(to), status);
  return status ? status.value() : 0;
}

void removeFile(const std::string& path) {
  std::remove(path.c_str());
}

std::string systemReason(int error) {
  return std::generic_category().message(error);
}

}  // namespace tradepl::platform
