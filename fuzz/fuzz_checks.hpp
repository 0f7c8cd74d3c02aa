#pragma once
// What the fuzz targets share: stopping on a broken property, and counting the columns of
// a result line the way a spreadsheet reads it.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace tradepl::fuzzing {

inline void require(bool condition, const char* property) {
  if (!condition) {
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
  }
}

// Columns of one output line, with the quoting rules of the input.
inline std::size_t columnsOf(std::string_view line) {
  std::size_t columns = 1;
  bool quoted = false;
  for (const char c : line) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) ++columns;
  }
  return columns;
}

}  // namespace tradepl::fuzzing
