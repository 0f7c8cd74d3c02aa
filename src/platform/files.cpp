#include "platform/files.hpp"

#include <system_error>

#include "platform/console.hpp"
#include "platform/output_file.hpp"
#include "platform/system.hpp"

namespace tradepl::platform {

bool isWindowsDeviceName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/:");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  // The device is the name before its first dot, spaces at its end not counted: "aux .csv".
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  if (slash != std::string_view::npos && path[slash] == ':' && name.empty()) {
    // "COM1:": the colon after the device's name, not a drive's.
    return isWindowsDeviceName(path.substr(0, slash));
  }
  std::string upper;
  for (const char c : name) upper += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

bool isDirectory(const std::string& path) {
  std::error_code status;
  return std::filesystem::is_directory(filePath(path), status);
}

namespace {

// The path as the system resolves it, as far as it exists, and then as written; compared
// as the system compares names.
std::filesystem::path resolved(const std::string& path) {
  std::error_code status;
  std::filesystem::path full = std::filesystem::weakly_canonical(filePath(path), status);
  if (status) full = std::filesystem::absolute(filePath(path), status).lexically_normal();
  return detail::comparedName(std::move(full));
}

// A name of a descriptor closed when the program started reaches nothing of the caller's,
// whatever file has the number by now.
bool namesDescriptorClosedAtStart(const std::string& path) {
  const std::optional<int> descriptor = descriptorNamedBy(path);
  return descriptor && streamClosedAtStart(*descriptor);
}

}  // namespace

bool sameFile(const std::string& a, const std::string& b) {
  if (namesDescriptorClosedAtStart(a) || namesDescriptorClosedAtStart(b)) return false;
  if (a == kStandardOutput) return detail::standardOutputIs(b);
  if (b == kStandardOutput) return detail::standardOutputIs(a);
  std::error_code status;
  if (std::filesystem::equivalent(filePath(a), filePath(b), status) && !status) return true;
  return resolved(a) == resolved(b);
}

bool isRegularFile(const std::string& path) {
  std::error_code status;
  return std::filesystem::is_regular_file(filePath(path), status);
}

std::string parentFolder(const std::string& path) {
  const std::filesystem::path folder = filePath(path).parent_path();
  return folder.empty() ? std::string(".") : detail::textOf(folder);
}

std::string pathBeside(const std::string& path, const std::string& name) {
  return detail::textOf(filePath(path).parent_path() / filePath(name));
}

std::string fullPath(const std::string& path) {
  std::error_code status;
  std::filesystem::path full = std::filesystem::absolute(filePath(path), status);
  if (status) return path;
  full = full.lexically_normal();
  // A folder named as ".", or with a separator after it, is written without one.
  if (!full.has_filename() && full.has_relative_path()) full = full.parent_path();
  return detail::textOf(full);
}

std::string systemReason(int error) {
  return std::generic_category().message(error);
}

}  // namespace tradepl::platform
