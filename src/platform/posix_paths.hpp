#pragma once
// POSIX only: where the links of an output path lead, for output_file_posix.cpp.

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

}  // namespace tradepl::platform::detail
