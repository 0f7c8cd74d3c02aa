#include "input/block_lines.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tradepl::detail {
namespace {

FoundLine tooLongLine() {
  return {FoundLine::Kind::tooLong, {}, 0};
}

}  // namespace

ForwardLines::ForwardLines(LogBytes& bytes, char lineEnd, std::span<char> buffer,
                           std::size_t filled, std::uint64_t from, std::optional<std::uint64_t> to)
    : bytes_(bytes),
      lineEnd_(lineEnd),
      buffer_(buffer),
      to_(to),
      given_(filled),
      bufferAt_(from),
      lineStart_(buffer.data()),
      searchFrom_(buffer.data()),
      end_(buffer.data() + filled) {}

std::size_t ForwardLines::readMore() {
  // A block at a time: the rest of the buffer is there for a line longer than a block, and
  // memory a log's reading never needs is never touched.
  std::span<char> into = buffer_.subspan(static_cast<std::size_t>(end_ - buffer_.data()));
  into = into.first(std::min(into.size(), kBlockSize));
  std::size_t got = 0;
  if (!to_) {
    got = bytes_.read(into);
  } else {
    const std::uint64_t at = bufferAt_ + static_cast<std::uint64_t>(end_ - buffer_.data());
    if (at >= *to_) return 0;
    into = into.first(static_cast<std::size_t>(std::min<std::uint64_t>(into.size(), *to_ - at)));
    got = bytes_.readAt(at, into);
  }
  given_ += got;
  return got;
}

FoundLine ForwardLines::nextAfterSearch() {
  char* const base = buffer_.data();
  for (;;) {
    if (searchFrom_ < end_) {
      if (auto* lineEnd = static_cast<char*>(
              std::memchr(searchFrom_, lineEnd_, static_cast<std::size_t>(end_ - searchFrom_)))) {
        char* const begin = lineStart_;
        lineStart_ = searchFrom_ = lineEnd + 1;
        if (skipping_) {
          skipping_ = false;
          continue;
        }
        return found(begin, lineEnd);
      }
      searchFrom_ = end_;
    }
    if (ended_) return {};
    // No line end in what is in hand: the unfinished line moves to the front, and the
    // reading goes on after it.
    std::size_t kept = static_cast<std::size_t>(end_ - lineStart_);
    // A buffer sized for a small log is full only if the log grew while it was read.
    const bool tooLong = !skipping_ && (kept > kLongestLine || kept == buffer_.size());
    skipping_ = skipping_ || tooLong;
    if (skipping_) {
      bufferAt_ += static_cast<std::uint64_t>(end_ - base);
      kept = 0;
    } else if (lineStart_ != base) {
      bufferAt_ += static_cast<std::uint64_t>(lineStart_ - base);
      std::memmove(base, lineStart_, kept);
    }
    lineStart_ = base;
    searchFrom_ = end_ = base + kept;
    const std::size_t got = readMore();
    end_ += got;
    if (tooLong) {
      ended_ = got == 0;
      return tooLongLine();
    }
    if (got == 0) {
      ended_ = true;
      // The last line, without a line end after it; after a failed read, the line it cut is
      // not handed over: it is not the line the log has.
      if (kept == 0 || skipping_ || bytes_.failure()) return {};
      searchFrom_ = lineStart_ = end_;
      return found(base, base + kept);
    }
  }
}

BackwardLines::BackwardLines(LogBytes& bytes, char lineEnd, std::span<char> buffer,
                             std::uint64_t floor, std::optional<std::uint64_t> ceiling)
    : bytes_(bytes),
      lineEnd_(lineEnd),
      base_(buffer.data()),
      top_(buffer.data() + buffer.size()),
      floor_(floor),
      position_(ceiling.value_or(bytes.size().value_or(0))) {}

FoundLine BackwardLines::found(const char* begin, const char* end) {
  return lineAt(lineEnd_, begin, end, position_ + static_cast<std::uint64_t>(begin - block_));
}

bool BackwardLines::readBlock() {
  const auto size =
      static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, position_ - floor_));
  block_ = top_ - carried_ - size;
  // Fewer bytes than the size said: the file shrank, or a read failed.
  if (readFully(bytes_, std::span<char>(block_, size), position_ - size) != size) return false;
  position_ -= size;
  unsearched_ = size;
  lineEnds_ = top_;
  inBlock_ = true;
  return true;
}

FoundLine BackwardLines::next() {
  for (;;) {
    if (inBlock_) {
      const std::size_t at = std::string_view(block_, unsearched_).rfind(lineEnd_);
      if (at != std::string_view::npos) {
        char* const start = block_ + at + 1;
        char* const end = lineEnds_;
        // Bytes that end with a line end have no line after it.
        const bool noLine = atEnd_ && start == end;
        atEnd_ = false;
        lineEnds_ = block_ + at;
        unsearched_ = at;
        if (skipping_) {
          skipping_ = false;
          continue;
        }
        if (noLine) continue;
        return found(start, end);
      }
      // What is left of the block begins a line whose start is further back.
      inBlock_ = false;
      carried_ = static_cast<std::size_t>(lineEnds_ - block_);
      const bool tooLong = !skipping_ && (carried_ > kLongestLine ||
                                          carried_ == static_cast<std::size_t>(top_ - base_));
      skipping_ = skipping_ || tooLong;
      if (skipping_) {
        carried_ = 0;
      } else {
        std::memmove(top_ - carried_, block_, carried_);
        block_ = top_ - carried_;
      }
      if (tooLong) return tooLongLine();
    }
    if (position_ > floor_) {
      if (readBlock()) continue;
      failed_ = true;
      return {};
    }
    if (firstDone_) return {};
    firstDone_ = true;
    if (floor_ == 0 && !skipping_ && (carried_ > 0 || !atEnd_)) {
      block_ = top_ - carried_;
      return found(top_ - carried_, top_);
    }
    return {};
  }
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
