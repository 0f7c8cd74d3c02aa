#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>

#include <cstring>

#include "platform/files.hpp"
#include "platform/system.hpp"
#include "platform/wide.hpp"

namespace tradepl::platform {

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

// Windows paths name no descriptor of the process.
std::optional<int> descriptorNamedBy(const std::string&) {
  return std::nullopt;
}

bool sameStreamOrDevice(const std::string& a, const std::string& b) {
  if (!isWindowsDeviceName(a) || !isWindowsDeviceName(b)) return false;
  const auto device = [](const std::string& path) {
    std::wstring name = filePath(path).stem().wstring();
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
  };
  return device(a) == device(b);
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

}  // namespace

namespace detail {

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

std::filesystem::path comparedName(std::filesystem::path path) {
  std::wstring folded = path.wstring();
  CharLowerBuffW(folded.data(), static_cast<DWORD>(folded.size()));
  return folded;
}

std::string textOf(const std::filesystem::path& path) {
  return narrow(path.wstring());
}

}  // namespace detail
}  // namespace tradepl::platform
