#pragma once
// Everything that differs between Windows and the other platforms, in one place; all of it
// is about files. Paths arrive as the bytes of the command line: on Windows in the ANSI
// code page (932 on a Japanese Windows), elsewhere as the file system's own bytes, and the
// program passes them on as they are.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tradepl::platform {

// Text files end their lines as the platform's text mode writes them.
#ifdef _WIN32
inline constexpr std::string_view kLineEnd = "\r\n";
#else
inline constexpr std::string_view kLineEnd = "\n";
#endif

// The path as the file-system library takes it.
std::filesystem::path filePath(const std::string& path);

bool isDirectory(const std::string& path);

// True when both paths name one existing file, however they are spelled.
bool sameFile(const std::string& a, const std::string& b);

std::FILE* openForReading(const std::string& path);

// Creates a file for writing that must not exist yet; fails with errno EEXIST if it does.
std::FILE* createNewFile(const std::string& path);

// Puts `from` in the place of `to` in one step, replacing a file already there. Returns
// why it could not, or an empty string.
std::string replaceFile(const std::string& from, const std::string& to);

void removeFile(const std::string& path);

// The text of an errno value, for a message about a file.
std::string systemReason(int error);

}  // namespace tradepl::platform
