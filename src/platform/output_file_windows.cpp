#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <random>

#include "platform/console.hpp"
#include "platform/output_file.hpp"
#include "platform/wide.hpp"

namespace tradepl::platform {
namespace {

// The temporary file an interrupted run must remove: Ctrl-C, Ctrl-Break and a closed
// console window reach the handler on a thread of its own.
wchar_t gTemporaryName[32768];
std::atomic<HANDLE> gTemporaryHandle{INVALID_HANDLE_VALUE};

BOOL WINAPI removeTemporaryAndStop(DWORD) {
  const HANDLE handle = gTemporaryHandle.exchange(INVALID_HANDLE_VALUE);
  if (handle != INVALID_HANDLE_VALUE) {
    CloseHandle(handle);
    DeleteFileW(gTemporaryName);
  }
  // The status Windows gives a run stopped by Ctrl-C or a closed console.
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

void removeOnInterrupt() {
  static const bool installed = SetConsoleCtrlHandler(removeTemporaryAndStop, TRUE) != 0;
  (void)installed;
}

int errnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
      return EPIPE;
    default:
      return EIO;
  }
}

bool isSharingViolation(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// True when another program holds the file open and lets nobody else write or remove it, as
// Excel holds a CSV file it shows: no replace call could then take its place.
bool heldByAnotherProgram(const std::wstring& path) {
  const HANDLE probe = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    return false;
  }
  return isSharingViolation(GetLastError());
}

// The path of an open file as the system resolves it, links followed; empty if unknown.
std::wstring finalPathOf(HANDLE file) {
  std::wstring resolved(32768, L'\0');
  const DWORD length =
      GetFinalPathNameByHandleW(file, resolved.data(), 32768, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= 32768) return {};
  resolved.resize(length);
  return resolved;
}

std::wstring folderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  return path.substr(0, slash + 1 == path.size() ? slash + 1 : slash);
}

// A name no other run picks, and short, so that no file name is pushed over the system's
// length limit by it.
std::wstring temporaryNameIn(const std::wstring& folder) {
  static std::mt19937_64 random(std::random_device{}() ^ GetCurrentProcessId());
  wchar_t name[40];
  std::swprintf(name, 40, L"\\.tradepl-%016llx.tmp", static_cast<unsigned long long>(random()));
  return folder + name;
}

}  // namespace

struct OutputFile::State {
  HANDLE handle = INVALID_HANDLE_VALUE;
  WriteMode mode = WriteMode::replaceNamed;  // direct for a device, a pipe, the standard output
  bool standardOutput = false;               // the process's own handle, which stays open
  bool replacing = false;                    // a file is at the path: a replace call takes it
  std::wstring target;
  std::wstring temporaryName;

  void close() {
    if (handle != INVALID_HANDLE_VALUE && !standardOutput) {
      if (mode != WriteMode::direct) gTemporaryHandle.store(INVALID_HANDLE_VALUE);
      CloseHandle(handle);
    }
    handle = INVALID_HANDLE_VALUE;
  }
  void removeTemporary() {
    close();
    if (!temporaryName.empty()) DeleteFileW(temporaryName.c_str());
    temporaryName.clear();
  }

  // Puts the temporary file at a path where open() found no file. The path is made first,
  // so that a symbolic link there that leads nowhere makes the file it points to, as on
  // Linux, and that file is the one replaced: a move would replace the link itself.
  bool moveToNewPath() {
    const HANDLE made =
        CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made == INVALID_HANDLE_VALUE) return false;
    const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    const std::wstring resolved = finalPathOf(made);
    CloseHandle(made);
    const std::wstring& destination = resolved.empty() ? target : resolved;
    if (MoveFileExW(temporaryName.c_str(), destination.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH | MOVEFILE_COPY_ALLOWED)) {
      return true;
    }
    const DWORD failure = GetLastError();
    if (created) DeleteFileW(destination.c_str());
    SetLastError(failure);
    return false;
  }

  FileProblem openTemporary() {
    removeOnInterrupt();
    const std::wstring folder = folderOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
      temporaryName = temporaryNameIn(folder);
      if (temporaryName.size() >= std::size(gTemporaryName))
        return {FileFailure::cannotCreate, ENAMETOOLONG};
      handle = CreateFileW(temporaryName.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle != INVALID_HANDLE_VALUE) {
        wcscpy(gTemporaryName, temporaryName.c_str());
        gTemporaryHandle.store(handle);
        return {};
      }
      const DWORD error = GetLastError();
      temporaryName.clear();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
        return {FileFailure::cannotCreate, errnoOf(error)};
      }
    }
    return {FileFailure::cannotCreate, EEXIST};
  }
};

// Windows has no temporary file without a name: it is always a named one.
OutputFile::OutputFile(TemporaryName, BlockWrite writeBlock)
    : state_(std::make_unique<State>()), writeBlock_(std::move(writeBlock)) {}

OutputFile::~OutputFile() {
  state_->removeTemporary();
}

WriteMode OutputFile::mode() const {
  return state_->mode;
}

bool OutputFile::wroteInPlace() const {
  return false;
}

int OutputFile::modeError() const {
  return 0;  // ReplaceFileW keeps the replaced file's attributes and access rights
}

FileProblem OutputFile::open(const std::string& path) {
  State& state = *state_;
  // NUL alone is the way to discard the results; aux.csv or COM1 would say they were
  // written, and no file would be there.
  if (isWindowsDeviceName(path) && _stricmp(path.c_str(), "NUL") != 0) {
    return {FileFailure::deviceName};
  }
  if (path == kStandardOutput) {
    // Written as bytes: the lines end with CR LF already, as text mode would end them.
    state.mode = WriteMode::direct;
    state.standardOutput = true;
    state.handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (streamClosedAtStart(1) || state.handle == nullptr || state.handle == INVALID_HANDLE_VALUE) {
      return {FileFailure::streamClosed};
    }
    return {};
  }
  const std::wstring wide = widen(path);
  const HANDLE existing =
      CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  state.target = wide;
  if (existing != INVALID_HANDLE_VALUE) {
    const DWORD type = GetFileType(existing);
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(existing, &information) != 0;
    // A link stays a link: the file it points to is the one replaced.
    const std::wstring resolved = finalPathOf(existing);
    CloseHandle(existing);
    if (type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE) {
      state.mode = WriteMode::direct;
      state.handle = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
      if (state.handle == INVALID_HANDLE_VALUE) {
        return {FileFailure::cannotOpen, errnoOf(GetLastError())};
      }
      return {};
    }
    if (known && (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return {FileFailure::isDirectory};
    }
    if (known && (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
      return {FileFailure::readOnly};
    }
    if (type != FILE_TYPE_DISK) return {FileFailure::notAFile};
    if (heldByAnotherProgram(wide)) return {FileFailure::heldOpen};
    if (!resolved.empty()) state.target = resolved;
    state.replacing = true;
  }
  return state.openTemporary();
}

bool OutputFile::writeThrough(std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD wrote = 0;
    if (!WriteFile(state_->handle, bytes.data(), chunk, &wrote, nullptr)) {
      errno = errnoOf(GetLastError());
      return false;
    }
    bytes.remove_prefix(wrote);
  }
  return true;
}

// The file is flushed at the commit: nothing else can fail before it. No file is written
// in place here, so none needs a lock.
FileProblem OutputFile::prepareSystem() {
  return {};
}

FileProblem OutputFile::commitSystem() {
  State& state = *state_;
  if (state.mode == WriteMode::direct) {
    state.close();
    return {};
  }
  // On disk before it takes the old file's place, so that a power cut never leaves an
  // empty result where a good one stood.
  if (!FlushFileBuffers(state.handle)) {
    const int error = errnoOf(GetLastError());
    state.removeTemporary();
    return {FileFailure::writeError, error};
  }
  state.close();
  // A program that opened the file since open() looked: asked before the replace call,
  // which would otherwise leave a file of its own beside it.
  if (state.replacing && heldByAnotherProgram(state.target)) {
    state.removeTemporary();
    return {FileFailure::heldOpen};
  }
  // ReplaceFileW keeps the replaced file's attributes and access rights.
  const bool moved = state.replacing
                         ? ReplaceFileW(state.target.c_str(), state.temporaryName.c_str(), nullptr,
                                        REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                         : state.moveToNewPath();
  if (!moved) {
    const DWORD error = GetLastError();
    const bool held = isSharingViolation(error) || heldByAnotherProgram(state.target);
    state.removeTemporary();
    if (held) return {FileFailure::heldOpen};
    return {FileFailure::cannotReplace, errnoOf(error)};
  }
  state.temporaryName.clear();
  return {};
}

}  // namespace tradepl::platform
