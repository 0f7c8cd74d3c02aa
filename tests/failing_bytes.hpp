#pragma once
// Log bytes that fail as a disk with one bad place does: a read that reaches byte `badAt`
// hands over the bytes before it, the next read fails with EIO, and so does every read after
// it, as the file's reader has it. The bad place may read well the first `goodPasses` times,
// as a place going bad does: a log read newest first is counted before it is read.

#include <cerrno>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string_view>

#include "input/log_bytes.hpp"

namespace tradepl::testing {

class FailingBytes final : public LogBytes {
 public:
  static constexpr std::uint64_t kNowhere = std::numeric_limits<std::uint64_t>::max();

  // Without `knowsSize`, the bytes come as from a pipe.
  FailingBytes(std::string_view bytes, std::uint64_t badAt, bool knowsSize = true,
               int goodPasses = 0)
      : bytes_(bytes), badAt_(badAt), knowsSize_(knowsSize), goodPasses_(goodPasses) {}

  std::size_t read(std::span<char> into) override {
    const std::size_t got = readAt(next_, into);
    next_ += got;
    return got;
  }
  std::optional<std::uint64_t> size() const override {
    return knowsSize_ ? bytes_.size() : std::nullopt;
  }
  std::size_t readAt(std::uint64_t offset, std::span<char> into) override {
    if (failure_) return 0;
    if (goodPasses_ > 0 && offset <= badAt_ && badAt_ - offset < into.size()) {
      --goodPasses_;
      return bytes_.readAt(offset, into);
    }
    if (offset == badAt_) {
      failure_ = {FileFailure::readError, EIO};
      return 0;
    }
    const std::uint64_t room = offset < badAt_ ? badAt_ - offset : into.size();
    return bytes_.readAt(offset, into.first(std::min<std::uint64_t>(into.size(), room)));
  }
  FileProblem failure() const override { return failure_; }

 private:
  MemoryBytes bytes_;
  std::uint64_t badAt_;
  bool knowsSize_;
  int goodPasses_;
  std::uint64_t next_ = 0;
  FileProblem failure_;
};

}  // namespace tradepl::testing
