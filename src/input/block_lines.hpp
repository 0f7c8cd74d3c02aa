#pragma once
// The lines of a log, found block by block, from the first to the last or from the last to
// the first. Internal to the readers: the buffer belongs to the caller, and a line is handed
// over as a stretch of it that lives until the next line is asked for.

#include <cstdint>
#include <span>
#include <string_view>

#include "input/log_bytes.hpp"

namespace tradepl::detail {

// Large enough that a read costs little per line, small enough to stay in the cache.
inline constexpr std::size_t kBlockSize = std::size_t{256} << 10;
// No log line comes near this; a longer one is skipped rather than held, so that memory
// stays bounded whatever the file (a log saved without line ends, /dev/zero).
inline constexpr std::size_t kLongestLine = std::size_t{1} << 20;
// What a buffer for these functions must hold; for a log of known size, its size and one
// byte more is enough.
inline constexpr std::size_t kBufferSize = kBlockSize + kLongestLine;

// A line's text without its line end. Where LF ends lines, one CR before it belongs to the
// line end too, so that logs with CR LF read as logs with LF.
inline std::string_view lineText(std::string_view line, char lineEnd) {
  if (lineEnd == '\n' && line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

class LineVisitor {
 public:
  // A line's text, as lineText has it. Returns false to stop.
  virtual bool line(std::string_view text) = 0;
  // A line longer than kLongestLine, which is skipped.
  virtual void tooLong() = 0;

 protected:
  ~LineVisitor() = default;
};

// Visits the lines from the first on. The first `filled` bytes of `buffer` hold the start
// of the log, read already; reading goes on after them. Returns how many bytes the log
// gave. After a failed read, the line it cut is not visited: it is not the line the log has.
std::uint64_t readLinesForward(LogBytes& bytes, char lineEnd, std::span<char> buffer,
                               std::size_t filled, LineVisitor& visitor);

// Visits the lines from the last back to the first whose line end before it stands at or
// after `floor` (with a floor of 0, every line), reading from any place: `bytes` must know
// its size. False when the bytes ended before their size said, or a read failed: the lines
// before that place were not visited.
bool readLinesBackward(LogBytes& bytes, char lineEnd, std::span<char> buffer, LineVisitor& visitor,
                       std::uint64_t floor = 0);

// How many lines the log has, counted as the readers count them.
std::uint64_t countLines(LogBytes& bytes, char lineEnd, std::span<char> buffer);

}  // namespace tradepl::detail
