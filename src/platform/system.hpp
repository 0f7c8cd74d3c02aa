#pragma once
// What the platform's shared files (files.cpp, console.cpp) ask of each system's own
// (files_posix.cpp or files_windows.cpp, console_posix.cpp or console_windows.cpp): the
// few steps where the two differ inside a function that is otherwise common.

#include <cstddef>
#include <filesystem>
#include <string>

namespace tradepl::platform::detail {

// True when the standard output is the very file at `path` (tradepl ... - >> out.csv).
bool standardOutputIs(const std::string& path);

// `path` as the system compares file names: as it is, or in one case on Windows, whose
// names ignore it.
std::filesystem::path comparedName(std::filesystem::path path);

// The path as the program keeps it: the file system's bytes, or UTF-8 on Windows.
std::string textOf(const std::filesystem::path& path);

// Records whether descriptor `stream` was closed when the process started (see
// streamClosedAtStart); streams past the 64 followed are ignored.
void noteClosedAtStart(std::size_t stream, bool closed);
// How many descriptors streamClosedAtStart follows.
inline constexpr std::size_t kStreamsFollowed = 64;

}  // namespace tradepl::platform::detail
