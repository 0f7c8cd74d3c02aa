#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <vector>

#include "platform/files.hpp"
#include "platform/posix_output.hpp"

namespace tradepl::platform {
namespace {

// Where the symbolic link at `path` leads, as a path; none when it does not read.
std::optional<std::string> linkDestination(const std::string& path) {
  std::string link(4096, '\0');
  const ssize_t size = readlink(path.c_str(), link.data(), link.size());
  if (size <= 0 || static_cast<std::size_t>(size) == link.size()) return std::nullopt;
  link.resize(static_cast<std::size_t>(size));
  return link.front() == '/' ? link : parentFolder(path) + "/" + link;
}

bool isSymbolicLink(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

// True when `folder` is this process's own folder of open descriptors: /proc/self/fd, and
// /dev/fd, which is a link to it on Linux and a folder of its own elsewhere.
bool isDescriptorFolder(const std::string& folder) {
  struct stat status {};
  if (stat(folder.c_str(), &status) != 0) return false;
  return std::ranges::any_of(
      std::initializer_list<const char*>{"/proc/self/fd", "/dev/fd"}, [&status](const char* own) {
        struct stat descriptors {};
        return stat(own, &descriptors) == 0 && descriptors.st_dev == status.st_dev &&
               descriptors.st_ino == status.st_ino;
      });
}

// The descriptor a path names as an entry of the descriptor folder (/dev/fd/1).
std::optional<int> descriptorEntry(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string_view name = std::string_view(path).substr(slash + 1);
  int descriptor = -1;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), descriptor);
  if (slash == std::string::npos || name.empty() || error != std::errc() ||
      end != name.data() + name.size() || descriptor < 0 ||
      !isDescriptorFolder(parentFolder(path))) {
    return std::nullopt;
  }
  return descriptor;
}

// The folder that holds the symbolic link at `path` when the link may not be followed by
// the kernel's own rule for links in shared folders (fs.protected_symlinks): the folder is
// sticky and anyone may write in it (/tmp), and the link belongs neither to this user nor to
// the folder's owner. Another user could have planted it there to point this run at a file
// of this user's. The program follows links itself, to replace the file a link points to,
// so the kernel's rule would never apply.
std::optional<std::string> sharedFolderOfForeignLink(const std::string& path) {
  struct stat link {};
  if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return std::nullopt;
  const std::string folder = parentFolder(path);
  struct stat holder {};
  if (stat(folder.c_str(), &holder) != 0) return std::nullopt;
  const bool shared = (holder.st_mode & S_ISVTX) != 0 && (holder.st_mode & S_IWOTH) != 0;
  if (!shared || link.st_uid == geteuid() || link.st_uid == holder.st_uid) return std::nullopt;
  return folder;
}

}  // namespace

namespace detail {

std::optional<std::string> finalTarget(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    if (!isSymbolicLink(path)) return path;
    std::optional<std::string> next = linkDestination(path);
    if (!next) return std::nullopt;
    path = std::move(*next);
  }
  errno = ELOOP;
  return std::nullopt;
}

// Every name of the path walked as the kernel would, links and all.
FileProblem mayFollowLinks(const std::string& path) {
  std::string walked = path.starts_with('/') ? "/" : "";  // without links, so far
  std::vector<std::string> ahead;                         // the names still to walk, last first
  const auto push = [&ahead](const std::string& names) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= names.size();) {
      const std::size_t end = std::min(names.find('/', start), names.size());
      if (end > start) parts.push_back(names.substr(start, end - start));
      start = end + 1;
    }
    ahead.insert(ahead.end(), parts.rbegin(), parts.rend());
  };
  push(path);
  for (int links = 0; !ahead.empty();) {
    const std::string name = std::move(ahead.back());
    ahead.pop_back();
    if (name == ".") continue;
    const std::string next =
        walked.empty() ? name : walked + (walked.ends_with('/') ? "" : "/") + name;
    if (const std::optional<std::string> folder = sharedFolderOfForeignLink(next)) {
      return {FileFailure::sharedLink, 0, fullPath(*folder)};
    }
    std::string link(4096, '\0');
    const ssize_t size =
        isSymbolicLink(next) ? readlink(next.c_str(), link.data(), link.size()) : 0;
    if (size <= 0 || static_cast<std::size_t>(size) == link.size()) {
      walked = next;
      continue;
    }
    if (++links > 40) return {};  // a loop: opening it will fail by itself
    link.resize(static_cast<std::size_t>(size));
    if (link.starts_with('/')) walked.assign(1, '/');
    push(link);
  }
  return {};
}

}  // namespace detail

// Opened again by name, a path of an open descriptor would be the file behind the stream,
// which a replacement would wipe out (tradepl ... /dev/stdout >> log.txt): it is written
// through the descriptor instead.
std::optional<int> descriptorNamedBy(const std::string& named) {
  std::string path = named;
  for (int hop = 0; hop < 40; ++hop) {
    if (const std::optional<int> descriptor = descriptorEntry(path)) return descriptor;
    if (!isSymbolicLink(path)) return std::nullopt;
    std::optional<std::string> next = linkDestination(path);
    if (!next) return std::nullopt;
    path = std::move(*next);
  }
  return std::nullopt;
}

}  // namespace tradepl::platform
