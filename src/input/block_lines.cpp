#include "input/block_lines.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tradepl::detail {
namespace {

// Hands a found line to the visitor, or says it is too long; false to stop.
bool visit(LineVisitor& visitor, char lineEnd, const char* begin, const char* end) {
  if (static_cast<std::size_t>(end - begin) > kLongestLine) {
    visitor.tooLong();
    return true;
  }
  return visitor.line(
      lineText(std::string_view(begin, static_cast<std::size_t>(end - begin)), lineEnd));
}

}  // namespace

std::uint64_t readLinesForward(LogBytes& bytes, char lineEnd, std::span<char> buffer,
                               std::size_t filled, LineVisitor& visitor) {
  char* const base = buffer.data();
  std::uint64_t total = filled;
  std::size_t kept = 0;      // bytes of an unfinished line at the front, searched already
  std::size_t got = filled;  // bytes behind them, not searched yet
  bool skipping = false;     // inside a line too long to keep, whose start is gone
  for (;;) {
    if (got == 0) {
      got = bytes.read(buffer.subspan(kept));
      total += got;
    }
    if (got == 0) break;
    char* lineStart = base;
    char* const end = base + kept + got;
    char* searchFrom = base + kept;
    while (auto* found = static_cast<char*>(
               std::memchr(searchFrom, lineEnd, static_cast<std::size_t>(end - searchFrom)))) {
      if (skipping) {
        skipping = false;
      } else if (!visit(visitor, lineEnd, lineStart, found)) {
        return total;
      }
      lineStart = searchFrom = found + 1;
    }
    kept = static_cast<std::size_t>(end - lineStart);
    got = 0;
    // A buffer sized for a small log is full only if the log grew while it was read.
    if (!skipping && (kept > kLongestLine || kept == buffer.size())) {
      visitor.tooLong();
      skipping = true;
    }
    if (skipping) {
      kept = 0;
    } else if (lineStart != base) {
      std::memmove(base, lineStart, kept);
    }
  }
  // No line end at the end.
  if (kept > 0 && !skipping && !bytes.failure()) visit(visitor, lineEnd, base, base + kept);
  return total;
}

bool readLinesBackward(LogBytes& bytes, char lineEnd, std::span<char> buffer, LineVisitor& visitor,
                       std::uint64_t floor) {
  char* const base = buffer.data();
  char* const top = base + buffer.size();
  std::uint64_t position = bytes.size().value_or(0);  // where the bytes in hand start
  std::size_t carried = 0;  // bytes of an unfinished line at the top, its start not read yet
  bool atEnd = true;        // the next line found is the one the log ends with
  bool skipping = false;    // inside a line too long to keep, whose end is gone
  while (position > floor) {
    const std::size_t size =
        static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, position - floor));
    char* const block = top - carried - size;
    // Fewer bytes than the size said: the file shrank, or a read failed.
    if (readFully(bytes, std::span<char>(block, size), position - size) != size) return false;
    position -= size;
    char* lineEnds = top;  // where the line being found ends
    std::string_view search(block, size);
    for (std::size_t found; (found = search.rfind(lineEnd)) != std::string_view::npos;
         search.remove_suffix(search.size() - found)) {
      char* const start = block + found + 1;
      // A log that ends with a line end has no line after it.
      const bool noLine = atEnd && start == lineEnds;
      atEnd = false;
      if (skipping) {
        skipping = false;
      } else if (!noLine && !visit(visitor, lineEnd, start, lineEnds)) {
        return true;
      }
      lineEnds = block + found;
    }
    carried = static_cast<std::size_t>(lineEnds - block);
    if (!skipping && (carried > kLongestLine || carried == buffer.size())) {
      visitor.tooLong();
      skipping = true;
    }
    if (skipping) {
      carried = 0;
    } else {
      std::memmove(top - carried, block, carried);
    }
  }
  if (floor == 0 && !skipping && (carried > 0 || !atEnd))
    visit(visitor, lineEnd, top - carried, top);
  return true;
}

std::uint64_t countLines(LogBytes& bytes, char lineEnd, std::span<char> buffer) {
  const std::uint64_t size = bytes.size().value_or(0);
  std::uint64_t lines = 0;
  char last = lineEnd;
  for (std::uint64_t at = 0; at < size;) {
    const std::size_t got = bytes.readAt(at, buffer);
    if (got == 0) break;
    lines += static_cast<std::uint64_t>(std::count(buffer.data(), buffer.data() + got, lineEnd));
    last = buffer[got - 1];
    at += got;
  }
  return last == lineEnd ? lines : lines + 1;
}

}  // namespace tradepl::detail
