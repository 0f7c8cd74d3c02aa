#pragma once
// POSIX only: what output_file_posix.cpp takes from its neighbours: where the links of an
// output path lead (paths_posix.cpp), and the temporary file beside it that an interrupted
// run removes (temporary_posix.cpp).

#include <optional>
#include <string>

#include "platform/files.hpp"

namespace tradepl::platform::detail {

// The file a path finally names once its symbolic links are followed; a link that leads
// nowhere names the file it would create. None, with errno set, when a link does not read.
std::optional<std::string> finalTarget(std::string path);

// Refuses a path whose links lead through a symbolic link another user planted in a shared
// folder (sticky and writable by all, as /tmp): at its end, or at any folder on the way, as
// the kernel's walk of the path would meet them.
FileProblem mayFollowLinks(const std::string& path);

// Makes SIGINT, SIGTERM and SIGHUP remove the temporary file published, if any, before the
// run ends as the signal would have ended it.
void removeOnInterrupt();
// Publishes `name` as the temporary file to remove on an interrupt; false when it is too
// long to be kept for the signal handler.
bool publishTemporary(const std::string& name);
void forgetTemporary();

// A path for a new temporary file in `folder`: a name no other run picks, and short, so
// that no file name is pushed over the system's length limit by it.
std::string temporaryNameIn(const std::string& folder);

}  // namespace tradepl::platform::detail
