#pragma once
// Everything about files that differs between Windows and the other platforms. Paths are
// the bytes of the command line: the file system's own bytes elsewhere, UTF-8 on Windows,
// where the command line is taken in UTF-16 so that any folder name reaches the program,
// and every path is widened again for the system's calls.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tradepl::platform {

// Why a file could not be read or written; the messages say it in the user's language.
enum class FileFailure : std::uint8_t {
  none,
  emptyPath,
  isDirectory,
  cannotOpen,     // error: why opening failed
  readError,      // error: why a read failed part-way
  shrank,         // the file held fewer bytes than its size said: cut while it was read
  lostTemporary,  // what the program kept in a temporary file could not be read back
  cannotCreate,   // error: why the new file could not be created beside the path
  writeError,     // error: why a write failed part-way (a full disk)
  cannotReplace,  // error: why the new file could not take the old one's place
  readOnly,       // the user marked the file read-only: it is not replaced
  notAFile,       // neither a file, a folder, a character device nor a FIFO (a socket)
  streamClosed,   // a standard stream, or another descriptor named as a path, is closed
  heldOpen,       // another program holds the file open and lets nobody write it (Windows)
  cannotSpool,    // error: why a log read from a pipe could not be copied to a temporary file
  sharedLink,     // where: the shared folder that holds a link of another user's
  anotherRun,     // where: the file another run of the program is writing in place
  deviceName,     // a name Windows keeps for a device (CON, AUX, COM1…), not a file
};

struct FileProblem {
  FileFailure failure = FileFailure::none;
  int error = 0;           // the errno value, where the failure has one
  std::string where = {};  // the folder or file it is about, where that is not the path named

  explicit operator bool() const { return failure != FileFailure::none; }
  friend bool operator==(const FileProblem&, const FileProblem&) = default;
};

// The path as the file-system library takes it.
std::filesystem::path filePath(const std::string& path);

bool isDirectory(const std::string& path);

// True when both paths name one file, however they are spelled: one that exists, or one
// that writing either path would create (./out.csv and out.csv; on Windows OUT.CSV too).
// "-" as `a` is the standard output, which is `b` when it writes to that very file
// (tradepl -g spot.csv - >> spot.csv).
bool sameFile(const std::string& a, const std::string& b);

std::FILE* openForReading(const std::string& path);

// The open descriptor a path names by any spelling: /dev/stdin, /dev/stderr, /dev/fd/N,
// /proc/self/fd/N or a link to one of them. Opened again by name, such a path is the file
// behind the descriptor; for one closed when the program started (streamClosedAtStart),
// whatever file of its own the program opened under that number since. None on Windows,
// whose paths name no descriptor.
std::optional<int> descriptorNamedBy(const std::string& path);

// True when both paths reach one open stream or one device however they are spelled, "-"
// being the standard output: - and /dev/stdout, /dev/stderr when it is the standard output
// too (2>&1), one FIFO by two names. On Windows, two names of one device (NUL and nul).
bool sameStreamOrDevice(const std::string& a, const std::string& b);

// The size of an open regular file, which can then be read from any place; none for a
// pipe, a terminal or a device, which can only be read from start to end.
std::optional<std::uint64_t> regularFileSize(std::FILE* file);
// True for a pipe, a FIFO or a socket: bytes that come once, from start to end, and end
// when the writer is done (a device such as /dev/zero may never end). Never on Windows.
bool isPipe(std::FILE* file);
// Moves where the next read of a regular file starts.
bool seekTo(std::FILE* file, std::uint64_t offset);

// True for a name Windows keeps for a device whatever folder it stands in: CON, PRN, AUX,
// NUL, COM1 to COM9, LPT1 to LPT9, in any case and with any extension (aux.csv, nul.txt).
// Such a path writes to the device, and no file is made.
bool isWindowsDeviceName(std::string_view path);

// A new file for the program's own use, opened for reading and writing, which the system
// removes once it is closed: nobody else sees it, and nothing of it stays behind. It is made
// in the folder TMPDIR names, or /tmp without it (the user's temporary folder on Windows,
// as GetTempPath has it). Null when none can be made.
std::FILE* openTemporaryFile();

// True for a path that names a regular file (not a folder, a FIFO or a device).
bool isRegularFile(const std::string& path);

// The folder that holds `path`, "." for a bare name.
std::string parentFolder(const std::string& path);

// The path of a file named `name` in the folder that holds `path`.
std::string pathBeside(const std::string& path, const std::string& name);

// The path from the root, for a message that must say where a file is whatever the folder
// the program ran in.
std::string fullPath(const std::string& path);

// The text of an errno value, for a message about a file.
std::string systemReason(int error);

}  // namespace tradepl::platform
