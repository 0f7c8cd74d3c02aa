#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>

#include "platform/output_file.hpp"

namespace tradepl::platform {
namespace {

// The temporary file an interrupted run must remove. A signal handler may only read what
// was fully written before it was published, hence the flag around a fixed buffer.
char gTemporaryName[4096];
std::atomic<bool> gHasTemporary{false};

extern "C" void removeTemporaryAndStop(int signal) {
  if (gHasTemporary.load()) unlink(gTemporaryName);
  // The run ends as the signal would have ended it, status and all.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void removeOnInterrupt() {
  static const bool installed = [] {
    struct sigaction action {};
    action.sa_handler = removeTemporaryAndStop;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    return true;
  }();
  (void)installed;
}

bool publishTemporary(const std::string& name) {
  gHasTemporary.store(false);
  if (name.size() >= sizeof gTemporaryName) return false;
  std::memcpy(gTemporaryName, name.c_str(), name.size() + 1);
  gHasTemporary.store(true);
  return true;
}

void forgetTemporary() {
  gHasTemporary.store(false);
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path finally names once its symbolic links are followed; a link that leads
// nowhere names the file it would create.
std::optional<std::string> finalTarget(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::string link(4096, '\0');
    const ssize_t size = readlink(path.c_str(), link.data(), link.size());
    if (size < 0 || static_cast<std::size_t>(size) == link.size()) return std::nullopt;
    link.resize(static_cast<std::size_t>(size));
    path = link.front() == '/' ? link : folderOf(path) + "/" + link;
  }
  errno = ELOOP;
  return std::nullopt;
}

// A name no other run picks, and short, so that no file name is pushed over the system's
// length limit by it.
std::string temporaryNameIn(const std::string& folder) {
  static std::mt19937_64 random(std::random_device{}() ^ static_cast<std::uint64_t>(getpid()));
  char name[40];
  std::snprintf(name, sizeof name, "/.tradepl-%016llx.tmp",
                static_cast<unsigned long long>(random()));
  return folder + name;
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

}  // namespace

struct OutputFile::State {
  int fd = -1;
  bool direct = false;     // a device, a FIFO or the standard output: written in place
  bool anonymous = false;  // a temporary file without a name until the commit
  std::string target;      // the file the path finally names
  std::string temporaryName;
  std::optional<struct stat> replaced;  // the file that is replaced, if there is one
  std::uint64_t written = 0;

  void removeTemporary() {
    forgetTemporary();
    if (!temporaryName.empty()) unlink(temporaryName.c_str());
    temporaryName.clear();
  }
  void close() {
    if (fd > STDERR_FILENO) ::close(fd);
    fd = -1;
  }

  FileProblem openDirect(const std::string& path) {
    direct = true;
    fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return {FileFailure::cannotOpen, errno};
    return {};
  }

  // Where the kernel offers it, the temporary file has no name at all while it is
  // written, so that even a killed run leaves nothing; elsewhere, a named one.
  FileProblem openTemporary() {
    removeOnInterrupt();
    const std::string folder = folderOf(target);
#ifdef O_TMPFILE
    fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    anonymous = fd >= 0;
    if (anonymous) return {};
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
      temporaryName = temporaryNameIn(folder);
      publishTemporary(temporaryName);
      fd = ::open(temporaryName.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
      if (fd >= 0) return {};
      const int error = errno;
      forgetTemporary();
      temporaryName.clear();
      if (error != EEXIST) return {FileFailure::cannotCreate, error};
    }
    return {FileFailure::cannotCreate, EEXIST};
  }

  // Gives the anonymous temporary file a name, for the rename.
  int nameTemporary() {
    temporaryName = temporaryNameIn(folderOf(target));
    publishTemporary(temporaryName);
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporaryName.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return 0;
    }
    const int error = errno;
    forgetTemporary();
    temporaryName.clear();
    return error;
  }
};

OutputFile::OutputFile() : state_(std::make_unique<State>()) {}

OutputFile::~OutputFile() {
  state_->close();
  state_->removeTemporary();
}

FileProblem OutputFile::open(const std::string& path) {
  State& state = *state_;
  if (path == kStandardOutput) {
    state.direct = true;
    state.fd = STDOUT_FILENO;
    return {};
  }
  struct stat status {};
  if (stat(path.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) return {FileFailure::isDirectory};
    if (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode)) return state.openDirect(path);
    if (!S_ISREG(status.st_mode)) return {FileFailure::notAFile};
    if ((status.st_mode & S_IWUSR) == 0) return {FileFailure::readOnly};
    state.replaced = status;
  }
  const std::optional<std::string> target = finalTarget(path);
  if (!target) return {FileFailure::cannotOpen, errno};
  state.target = *target;
  return state.openTemporary();
}

bool OutputFile::write(std::string_view bytes) {
  State& state = *state_;
  if (!writeAll(state.fd, bytes)) return false;
#ifdef __linux__
  // The disk starts on each block as it is written, so that the flush before the rename
  // waits for little more than the last one: on a result of 100 MB it waited 0.1 s.
  if (!state.direct) {
    sync_file_range(state.fd, static_cast<off64_t>(state.written),
                    static_cast<off64_t>(bytes.size()), SYNC_FILE_RANGE_WRITE);
  }
#endif
  state.written += bytes.size();
  return true;
}

FileProblem OutputFile::commit() {
  State& state = *state_;
  if (state.direct) {
    const int fd = state.fd;
    state.fd = -1;
    if (fd > STDERR_FILENO && ::close(fd) != 0) return {FileFailure::writeError, errno};
    return {};
  }
  if (state.replaced) {
    // The owner only where the system lets this user give the file away; the mode always.
    if (fchown(state.fd, state.replaced->st_uid, state.replaced->st_gid) != 0) errno = 0;
    fchmod(state.fd, state.replaced->st_mode & 07777);
  }
  // On disk before it takes the old file's place, so that a power cut never leaves an
  // empty result where a good one stood.
  if (fsync(state.fd) != 0) return {FileFailure::writeError, errno};
  if (state.anonymous) {
    if (const int error = state.nameTemporary(); error != 0) {
      return {FileFailure::cannotReplace, error};
    }
  }
  if (rename(state.temporaryName.c_str(), state.target.c_str()) != 0) {
    const int error = errno;
    state.removeTemporary();
    return {FileFailure::cannotReplace, error};
  }
  forgetTemporary();
  state.temporaryName.clear();
  state.close();
  // The rename itself on disk too.
  const int folder = ::open(folderOf(state.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    ::close(folder);
  }
  return {};
}

}  // namespace tradepl::platform
