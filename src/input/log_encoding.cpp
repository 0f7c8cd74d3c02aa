#include "input/log_encoding.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <utility>

#include "platform/text.hpp"

namespace tradepl::detail {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The length of the UTF-8 sequence `lead` starts, and the least value it may hold; 0 for a
// byte that starts none.
struct SequenceStart {
  std::size_t length;
  char32_t least;
};

SequenceStart sequenceStart(unsigned char lead) {
  if (lead < 0x80) return {1, 0};
  if (lead >= 0xC2 && lead < 0xE0) return {2, 0x80};
  if (lead >= 0xE0 && lead < 0xF0) return {3, 0x800};
  if (lead >= 0xF0 && lead < 0xF5) return {4, 0x10000};
  return {0, 0};
}

void appendUtf8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// UTF-16 code units to UTF-8, as the bytes come; a unit may be cut between two reads.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}

  // Decodes `bytes` onto the end of `out`; false once they are not UTF-16.
  bool decode(std::string_view bytes, std::string& out) {
    for (const char byte : bytes) {
      if (!haveHalf_) {
        half_ = static_cast<unsigned char>(byte);
        haveHalf_ = true;
        continue;
      }
      haveHalf_ = false;
      const auto low = static_cast<unsigned char>(byte);
      const char16_t unit = bigEndian_ ? static_cast<char16_t>(half_ << 8 | low)
                                       : static_cast<char16_t>(low << 8 | half_);
      if (!take(unit, out)) return false;
    }
    return true;
  }

  // True when the units ended whole.
  bool finished() const { return !haveHalf_ && highSurrogate_ == 0; }

 private:
  bool take(char16_t unit, std::string& out) {
    const bool high = unit >= 0xD800 && unit < 0xDC00;
    const bool low = unit >= 0xDC00 && unit < 0xE000;
    if (highSurrogate_ != 0) {
      if (!low) return false;
      appendUtf8(0x10000 + ((char32_t{highSurrogate_} - 0xD800) << 10) + (unit - 0xDC00), out);
      highSurrogate_ = 0;
      return true;
    }
    if (low) return false;
    if (high) {
      highSurrogate_ = unit;
    } else if (unit != 0xFEFF) {  // the byte-order mark is not text
      appendUtf8(unit, out);
    }
    return true;
  }

  bool bigEndian_;
  bool haveHalf_ = false;
  unsigned char half_ = 0;
  char16_t highSurrogate_ = 0;
};

// A UTF-16 log's bytes as UTF-8, as they are read: its first bytes, read already, then the
// rest. It can only be read from start to end, as a pipe can.
class Utf16AsUtf8 final : public LogBytes {
 public:
  Utf16AsUtf8(std::string_view head, LogBytes& rest)
      : decoder_(head.starts_with("\xFE\xFF")), head_(head), rest_(rest) {}

  std::size_t read(std::span<char> into) override {
    while (decoded_.size() - taken_ < into.size() && !ended_) decodeMore();
    const std::size_t size = std::min(into.size(), decoded_.size() - taken_);
    std::memcpy(into.data(), decoded_.data() + taken_, size);
    taken_ += size;
    return size;
  }
  std::optional<std::uint64_t> size() const override { return std::nullopt; }
  std::size_t readAt(std::uint64_t, std::span<char> into) override { return read(into); }
  FileProblem failure() const override { return rest_.failure(); }

  // True once the bytes turned out not to be UTF-16: an odd length, a lone surrogate.
  bool malformed() const { return malformed_; }

 private:
  void decodeMore() {
    decoded_.erase(0, taken_);
    taken_ = 0;
    std::string_view bytes = std::exchange(head_, std::string_view());
    if (bytes.empty()) bytes = std::string_view(block_.data(), rest_.read(block_));
    if (bytes.empty()) {
      ended_ = true;
      malformed_ = !decoder_.finished() && !rest_.failure();
    } else if (!decoder_.decode(bytes, decoded_)) {
      ended_ = malformed_ = true;
    }
  }

  Utf16Decoder decoder_;
  std::string_view head_;
  LogBytes& rest_;
  std::array<char, 64 << 10> block_;
  std::string decoded_;
  std::size_t taken_ = 0;
  bool ended_ = false;
  bool malformed_ = false;
};

}  // namespace

bool isUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const auto [length, least] = sequenceStart(lead);
    if (length == 0 || text.size() - i < length) return false;
    if (length == 1) {
      ++i;
      continue;
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return false;
    i += length;
  }
  return true;
}

std::optional<std::string_view> LineDecoder::fromUtf8(std::string_view line, LineProblem& problem) {
  if (line.starts_with(kUtf8Mark)) line.remove_prefix(kUtf8Mark.size());
  if (!isUtf8(line)) {
    problem = {LineProblemKind::invalidUtf8};
    return std::nullopt;
  }
  if (!platform::shiftJisFromUtf8(line, converted_)) {
    problem = {LineProblemKind::notInShiftJis};
    return std::nullopt;
  }
  return converted_;
}

DecodedLog decodeUtf16(std::string_view head, LogBytes& log) {
  Utf16AsUtf8 utf8(head, log);
  std::unique_ptr<LogBytes> decoded = spoolToTemporaryFile(utf8);
  if (utf8.malformed()) return {nullptr, true, {}};
  if (const FileProblem failure = decoded->failure()) return {nullptr, false, failure};
  return {std::move(decoded), false, {}};
}

}  // namespace tradepl::detail
