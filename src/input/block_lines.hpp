#pragma once
// The lines of a log, found block by block, from the first to the last or from the last to
// the first, one line each time they are asked for. Internal to the readers: the buffer
// belongs to the caller, and a line is handed over as a stretch of it that lives until the
// next line is asked for.

#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "input/log_bytes.hpp"

namespace tradepl::detail {

// Large enough that a read costs little per line, small enough to stay in the cache.
inline constexpr std::size_t kBlockSize = std::size_t{256} << 10;
// No log line comes near this; a longer one is skipped rather than held, so that memory
// stays bounded whatever the file (a log saved without line ends, /dev/zero).
inline constexpr std::size_t kLongestLine = std::size_t{1} << 20;
// What a buffer for these cursors must hold; for a log of known size, its size and one
// byte more is enough.
inline constexpr std::size_t kBufferSize = kBlockSize + kLongestLine;

// A line's text without its line end. Where LF ends lines, one CR before it belongs to the
// line end too, so that logs with CR LF read as logs with LF.
inline std::string_view lineText(std::string_view line, char lineEnd) {
  if (lineEnd == '\n' && line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

// What a cursor found next.
struct FoundLine {
  enum class Kind : std::uint8_t {
    text,     // a line, as lineText has it
    tooLong,  // a line longer than kLongestLine, which is skipped
    end,      // no more lines: the bytes ended, or a read failed
  };
  Kind kind = Kind::end;
  std::string_view text;
  std::uint64_t start = 0;  // where the line begins in the log (for text)
};

// A found line, or its being too long to keep.
inline FoundLine lineAt(char lineEnd, const char* begin, const char* end, std::uint64_t start) {
  const auto size = static_cast<std::size_t>(end - begin);
  if (size > kLongestLine) return {FoundLine::Kind::tooLong, {}, 0};
  return {FoundLine::Kind::text, lineText(std::string_view(begin, size), lineEnd), start};
}

// The lines from `from` on, up to `to` (a line start, or the end of the log).
class ForwardLines {
 public:
  // Reads on after the first `filled` bytes of `buffer`, which hold the log from `from` on
  // already, with the bytes' read() where `to` is the end of the log, and from their places
  // otherwise (`bytes` must then know its size).
  ForwardLines(LogBytes& bytes, char lineEnd, std::span<char> buffer, std::size_t filled,
               std::uint64_t from = 0, std::optional<std::uint64_t> to = std::nullopt);

  // Inline, the search of the bytes in hand, where nearly every line is found: the call and
  // the line handed back through memory cost 28 instructions a line (callgrind).
  FoundLine next() {
    if (searchFrom_ < end_ && !skipping_) {
      char* const lineEnd = static_cast<char*>(
          std::memchr(searchFrom_, lineEnd_, static_cast<std::size_t>(end_ - searchFrom_)));
      if (lineEnd != nullptr) {
        char* const begin = lineStart_;
        lineStart_ = searchFrom_ = lineEnd + 1;
        return found(begin, lineEnd);
      }
      searchFrom_ = end_;
    }
    return nextAfterSearch();
  }
  // How many bytes the log gave: fewer than its size when it was cut while read.
  std::uint64_t bytesGiven() const { return given_; }

 private:
  FoundLine nextAfterSearch();
  std::size_t readMore();
  FoundLine found(const char* begin, const char* end) const {
    return lineAt(lineEnd_, begin, end,
                  bufferAt_ + static_cast<std::uint64_t>(begin - buffer_.data()));
  }

  LogBytes& bytes_;
  char lineEnd_;
  std::span<char> buffer_;
  std::optional<std::uint64_t> to_;
  std::uint64_t given_;
  std::uint64_t bufferAt_;  // where the buffer's first byte stands in the log
  char* lineStart_;
  char* searchFrom_;
  char* end_;
  bool skipping_ = false;  // inside a line too long to keep, whose start is gone
  bool ended_ = false;
};

// The lines from the last back to the first whose line end before it stands at or after
// `floor` (with a floor of 0, every line), of the bytes before `ceiling` (a line start, or
// the size). The bytes must know their size. A read that gives fewer bytes than the size
// said ends the lines early, and failed() says so.
class BackwardLines {
 public:
  BackwardLines(LogBytes& bytes, char lineEnd, std::span<char> buffer, std::uint64_t floor = 0,
                std::optional<std::uint64_t> ceiling = std::nullopt);

  FoundLine next();
  bool failed() const { return failed_; }

 private:
  bool readBlock();
  FoundLine found(const char* begin, const char* end);

  LogBytes& bytes_;
  char lineEnd_;
  char* const base_;
  char* const top_;
  std::uint64_t floor_;
  std::uint64_t position_;  // where the bytes in hand start
  char* block_ = nullptr;   // the bytes of the block in hand not searched yet
  std::size_t unsearched_ = 0;
  char* lineEnds_ = nullptr;  // where the line being found ends
  std::size_t carried_ = 0;   // bytes of an unfinished line at the top, its start not read yet
  bool inBlock_ = false;
  bool atEnd_ = true;       // the next line found is the one the bytes end with
  bool skipping_ = false;   // inside a line too long to keep, whose end is gone
  bool firstDone_ = false;  // the line before the first line end was handed over
  bool failed_ = false;
};

// How many lines the log has, counted as the readers count them.
std::uint64_t countLines(LogBytes& bytes, char lineEnd, std::span<char> buffer);

}  // namespace tradepl::detail
