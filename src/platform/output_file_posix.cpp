#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <vector>

#include "platform/console.hpp"
#include "platform/output_file.hpp"
#include "platform/posix_output.hpp"

namespace tradepl::platform {
namespace {

// The permission bits a new file gets from open(..., 0666) under the process's umask.
mode_t newFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Whether this user may write the existing file at `path`, by the system's own rule for
// the effective user and groups, as the shell's > would find it: the owner's write bit
// alone says nothing of another user's file, nor of root.
FileProblem mayWrite(const std::string& path) {
  if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0) return {};
  if (errno == EACCES || errno == EPERM) return {FileFailure::readOnly};
  return {FileFailure::cannotOpen, errno};
}

// True for the errors of a folder that takes no new file, or lets no file be renamed over
// another user's (the sticky bit of /tmp), from this user.
bool refusedByFolder(int error) {
  return error == EACCES || error == EPERM;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

// Copies the first `size` bytes of `from` over the start of `to`.
FileProblem copyBytes(int from, int to, std::uint64_t size) {
  std::vector<char> block(std::size_t{1} << 20);
  for (std::uint64_t at = 0; at < size;) {
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - at));
    const ssize_t got = pread(from, block.data(), wanted, static_cast<off_t>(at));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return {FileFailure::writeError, got < 0 ? errno : EIO};
    if (!writeAll(to, std::string_view(block.data(), static_cast<std::size_t>(got)))) {
      return {FileFailure::writeError, errno};
    }
    at += static_cast<std::uint64_t>(got);
  }
  return {};
}

}  // namespace

struct OutputFile::State {
  // What prepare() does in a mode, and what commit() does then.
  struct Steps {
    WriteMode mode;
    FileProblem (State::*prepare)();
    FileProblem (State::*commit)();
  };
  static const Steps& stepsOf(WriteMode mode);

  WriteMode mode = WriteMode::replaceNamed;
  bool mayBeUnnamed = true;  // false: named, even where an unnamed one is offered
  int fd = -1;
  std::FILE* spool = nullptr;  // where the bytes wait for copyOver
  std::string named;           // the path as given
  std::string target;          // the file the path finally names
  std::string temporaryName;
  std::optional<struct stat> replaced;  // the file that is replaced, if there is one
  std::uint64_t written = 0;
  int overTarget = -1;    // the file itself, open and locked, for the bytes written over it
  bool prepared = false;  // all that can fail before the commit is done
  bool copying = false;   // the bytes began to go over the file itself
  int modeError = 0;      // why the file could not be given its mode or owner

  void removeTemporary() {
    detail::forgetTemporary();
    if (!temporaryName.empty()) unlink(temporaryName.c_str());
    temporaryName.clear();
  }
  void close() {
    if (overTarget >= 0) ::close(overTarget);  // and the lock with it
    overTarget = -1;
    if (spool != nullptr) {
      std::fclose(spool);
      spool = nullptr;
    } else if (fd > STDERR_FILENO) {
      ::close(fd);
    }
    fd = -1;
  }

  // The modes, as open() chooses them.

  FileProblem openDirect(const std::string& path) {
    mode = WriteMode::direct;
    fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return {FileFailure::cannotOpen, errno};
    return {};
  }

  // A descriptor the process was given, as it stands: a file opened with >> keeps its
  // earlier lines, and lines written around the run keep their places.
  FileProblem openStream(int descriptor) {
    mode = WriteMode::direct;
    if (streamClosedAtStart(descriptor)) return {FileFailure::streamClosed};
    fd = fcntl(descriptor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (fd >= 0) return {};
    if (errno == EBADF) return {FileFailure::streamClosed};
    return {FileFailure::cannotOpen, errno};
  }

  // Where the kernel offers it, the temporary file has no name at all while it is
  // written, so that even a killed run leaves nothing; elsewhere, a named one. Either is
  // readable by its owner alone until the commit gives it the mode it is meant to have.
  FileProblem openTemporary() {
    detail::removeOnInterrupt();
    const std::string folder = parentFolder(target);
#ifdef O_TMPFILE
    if (mayBeUnnamed) {
      fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
      if (fd >= 0) {
        mode = WriteMode::replaceUnnamed;
        return {};
      }
    }
#endif
    mode = WriteMode::replaceNamed;
    for (int attempt = 0; attempt < 100; ++attempt) {
      temporaryName = detail::temporaryNameIn(folder);
      detail::publishTemporary(temporaryName);
      fd = ::open(temporaryName.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
      if (fd >= 0) return {};
      const int error = errno;
      detail::forgetTemporary();
      temporaryName.clear();
      if (error != EEXIST) return {FileFailure::cannotCreate, error};
    }
    return {FileFailure::cannotCreate, EEXIST};
  }

  // A file this user may write in a folder that takes no new file from them: the bytes wait
  // in a temporary file of the system's and are copied over the file at the commit.
  FileProblem openSpool() {
    mode = WriteMode::copyOver;
    spool = openTemporaryFile();
    if (spool == nullptr) return {FileFailure::cannotCreate, errno};
    fd = fileno(spool);
    return {};
  }

  // The steps of prepare().

  FileProblem nothingToPrepare() {
    return {};
  }

  // The mode the file is meant to have, and every byte on disk before it takes the old
  // file's place, so that a power cut never leaves an empty result where a good one stood.
  FileProblem readyTemporary() {
    takeFinalMode();
    if (fsync(fd) != 0) return {FileFailure::writeError, errno};
    return {};
  }

  // Gives the temporary file the mode the result is meant to have: the replaced file's, with
  // its owner; for a new file, the one open() would give it under the umask. Where the
  // system does not let it (another user's file replaced by one who may not give files
  // away), the file is written all the same, and modeError says why it was not.
  void takeFinalMode() {
    const mode_t finalMode = replaced ? replaced->st_mode & 07777 : newFileMode();
    if (replaced && (replaced->st_uid != geteuid() || replaced->st_gid != getegid()) &&
        fchown(fd, replaced->st_uid, replaced->st_gid) != 0) {
      modeError = errno;
    }
    if (fchmod(fd, finalMode) != 0) modeError = errno;
  }

  // Opens the file itself to write the bytes over it, and takes its lock: two runs that
  // wrote over it at once would leave lines of each, cut anywhere. A run that holds the lock
  // is waited for a few seconds, the time a result file of some megabytes takes.
  FileProblem lockTarget() {
    if (overTarget >= 0) return {};
    modeError = 0;  // the file itself keeps its own mode and owner
    overTarget = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (overTarget < 0) return {FileFailure::cannotOpen, errno};
    constexpr int kAttempts = 50;  // of 0.1 s each
    for (int attempt = 0; flock(overTarget, LOCK_EX | LOCK_NB) != 0; ++attempt) {
      if (errno == EINTR) continue;
      if (errno != EWOULDBLOCK || attempt == kAttempts) {
        return {FileFailure::anotherRun, errno == EWOULDBLOCK ? 0 : errno, named};
      }
      usleep(100'000);
    }
    return {};
  }

  // The steps of commit().

  FileProblem closeDirect() {
    const int direct = fd;
    fd = -1;
    if (direct > STDERR_FILENO && ::close(direct) != 0) return {FileFailure::writeError, errno};
    return {};
  }

  // Named only now, so that a run killed at any moment before leaves no file behind; from
  // here to the rename, a killed run leaves the whole new file under its temporary name.
  FileProblem nameAndRename() {
    temporaryName = detail::temporaryNameIn(parentFolder(target));
    detail::publishTemporary(temporaryName);
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporaryName.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return renameOverTarget();
    }
    const int error = errno;
    detail::forgetTemporary();
    temporaryName.clear();
    if (replaced && refusedByFolder(error)) return copyOverTarget();
    return {FileFailure::cannotReplace, error};
  }

  FileProblem renameOverTarget() {
    if (rename(temporaryName.c_str(), target.c_str()) != 0) {
      const int error = errno;
      // A folder with the sticky bit lets nobody but the owner rename over a file.
      const FileProblem problem = replaced && refusedByFolder(error)
                                      ? copyOverTarget()
                                      : FileProblem{FileFailure::cannotReplace, error};
      removeTemporary();
      return problem;
    }
    detail::forgetTemporary();
    temporaryName.clear();
    close();
    // The rename itself on disk too.
    const int folder = ::open(parentFolder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      fsync(folder);
      ::close(folder);
    }
    return {};
  }

  // The bytes written, over the file itself: a file that was there keeps its mode, owner
  // and links, but not all at once as with a rename, so a run stopped in the middle of the
  // copy leaves it incomplete. The lock stays until the file is closed, so that the report
  // and the results of one run are written before another run writes either.
  FileProblem copyOverTarget() {
    if (const FileProblem problem = lockTarget()) return problem;
    copying = true;
    FileProblem problem = copyBytes(fd, overTarget, written);
    if (!problem && ftruncate(overTarget, static_cast<off_t>(written)) != 0) {
      problem = {FileFailure::writeError, errno};
    }
    if (!problem && fsync(overTarget) != 0) problem = {FileFailure::writeError, errno};
    return problem;
  }
};

const OutputFile::State::Steps& OutputFile::State::stepsOf(WriteMode mode) {
  static constexpr Steps kSteps[] = {
      {WriteMode::direct, &State::nothingToPrepare, &State::closeDirect},
      {WriteMode::replaceUnnamed, &State::readyTemporary, &State::nameAndRename},
      {WriteMode::replaceNamed, &State::readyTemporary, &State::renameOverTarget},
      {WriteMode::copyOver, &State::lockTarget, &State::copyOverTarget},
  };
  static_assert([] {
    for (std::size_t i = 0; i < std::size(kSteps); ++i) {
      if (static_cast<std::size_t>(kSteps[i].mode) != i) return false;
    }
    return true;
  }());
  return kSteps[static_cast<std::size_t>(mode)];
}

OutputFile::OutputFile(TemporaryName name, BlockWrite writeBlock)
    : state_(std::make_unique<State>()), writeBlock_(std::move(writeBlock)) {
  state_->mayBeUnnamed = name == TemporaryName::noneWherePossible;
}

OutputFile::~OutputFile() {
  state_->close();
  state_->removeTemporary();
}

FileProblem OutputFile::open(const std::string& path) {
  State& state = *state_;
  state.named = path;
  if (const FileProblem problem = detail::mayFollowLinks(path)) return problem;
  if (path == kStandardOutput) return state.openStream(STDOUT_FILENO);
  if (const std::optional<int> descriptor = descriptorNamedBy(path)) {
    return state.openStream(*descriptor);
  }
  struct stat status {};
  if (stat(path.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) return {FileFailure::isDirectory};
    if (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode)) return state.openDirect(path);
    if (!S_ISREG(status.st_mode)) return {FileFailure::notAFile};
    if (const FileProblem problem = mayWrite(path)) return problem;
    state.replaced = status;
  }
  const std::optional<std::string> target = detail::finalTarget(path);
  if (!target) return {FileFailure::cannotOpen, errno};
  state.target = *target;
  const FileProblem problem = state.openTemporary();
  if (problem.failure == FileFailure::cannotCreate && state.replaced &&
      refusedByFolder(problem.error)) {
    return state.openSpool();
  }
  return problem;
}

WriteMode OutputFile::mode() const {
  return state_->mode;
}

bool OutputFile::wroteInPlace() const {
  return state_->copying;
}

int OutputFile::modeError() const {
  return state_->modeError;
}

bool OutputFile::writeThrough(std::string_view bytes) {
  State& state = *state_;
  if (!writeAll(state.fd, bytes)) return false;
#ifdef __linux__
  // The disk starts on each block as it is written, so that the flush before the rename
  // waits for little more than the last one: on a result of 100 MB it waited 0.1 s.
  if (state.mode != WriteMode::direct) {
    sync_file_range(state.fd, static_cast<off64_t>(state.written),
                    static_cast<off64_t>(bytes.size()), SYNC_FILE_RANGE_WRITE);
  }
#endif
  state.written += bytes.size();
  return true;
}

FileProblem OutputFile::prepareSystem() {
  State& state = *state_;
  if (state.prepared) return {};
  if (const FileProblem problem = (state.*State::stepsOf(state.mode).prepare)()) return problem;
  state.prepared = true;
  return {};
}

FileProblem OutputFile::commitSystem() {
  State& state = *state_;
  return (state.*State::stepsOf(state.mode).commit)();
}

}  // namespace tradepl::platform
