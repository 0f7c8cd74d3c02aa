#pragma once
// The records every step of a run shares: a trade as read from either log (TradeRow),
// a realized result (ResultRow), and the ordered lists that hold them.
//
// Records are plain values that copy whole. Their text fields do not own bytes: they view
// the texts that the list which read them keeps (see TextBytes), so a row costs a couple
// of hundred bytes however long its texts are.

#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tradepl {

// Shift_JIS bytes exactly as they stood in a log, NUL-terminated, never converted.
class Text {
 public:
  constexpr Text() = default;
  explicit constexpr Text(const char* nulTerminated) : bytes_(nulTerminated) {}

  std::string_view view() const { return bytes_; }
  const char* c_str() const { return bytes_; }
  bool empty() const { return bytes_[0] == '\0'; }

  // Keywords are compared as whole byte strings, never as prefixes. Compares without
  // measuring the text first: this runs for every row.
  friend bool operator==(Text text, std::string_view bytes) {
    std::size_t i = 0;
    for (; i < bytes.size(); ++i) {
      if (text.bytes_[i] != bytes[i]) return false;  // also stops at the text's NUL
    }
    return text.bytes_[i] == '\0';
  }

 private:
  const char* bytes_ = "";
};

// A security code: a number for most listings (7203, written 0007 for 7), or letters and
// digits for newer ones (130A), kept as written. The ledger keys its holdings on it.
struct StockCode {
  std::int64_t number = 0;  // used when symbol is empty
  Text symbol;              // the code as written when it holds a letter

  bool isSymbol() const { return !symbol.empty(); }

  friend bool operator==(const StockCode& a, const StockCode& b) {
    if (a.isSymbol() != b.isSymbol()) return false;
    return a.isSymbol() ? a.symbol.view() == b.symbol.view() : a.number == b.number;
  }
};

struct StockCodeHash {
  std::size_t operator()(const StockCode& code) const {
    return code.isSymbol() ? std::hash<std::string_view>{}(code.symbol.view())
                           : std::hash<std::int64_t>{}(code.number);
  }
};

// Writes a code as the result file shows it: a symbol as written, a number zero-padded to
// four digits the way printf's %04d pads it (7 as 0007, -7 as -007).
inline void appendStockCode(std::string& out, const StockCode& code) {
  if (code.isSymbol()) {
    out += code.symbol.view();
    return;
  }
  char buffer[24];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, code.number);
  std::string_view digits(buffer, static_cast<std::size_t>(written.ptr - buffer));
  const bool negative = code.number < 0;
  if (negative) {
    out += '-';
    digits.remove_prefix(1);
  }
  for (std::size_t width = digits.size() + (negative ? 1 : 0); width < 4; ++width) out += '0';
  out += digits;
}

enum class LogKind : std::uint8_t { spot, margin };

// Where a row was read, so that anything said about it later names file and line.
// Packed into one word: every row carries it.
class SourceLine {
 public:
  constexpr SourceLine() = default;
  constexpr SourceLine(LogKind log, std::uint64_t line)
      : packed_(line << 1 | (log == LogKind::margin ? 1 : 0)) {}

  constexpr LogKind log() const { return (packed_ & 1) != 0 ? LogKind::margin : LogKind::spot; }
  constexpr std::uint64_t line() const { return packed_ >> 1; }

 private:
  std::uint64_t packed_ = 0;
};

// One trade of either log. Columns the spot log does not have stay empty or 0.
// Unit and position prices are doubles because stocks trade in 0.1-yen steps.
struct TradeRow {
  Text execDateTime;  // year/month/day hour:minute
  std::int64_t execNo = 0;
  StockCode stockCode;
  Text stockName;
  Text tradeType;
  Text side;
  Text market;
  Text account;
  std::int64_t quantity = 0;
  double unitPrice = 0.0;
  std::int64_t commission = 0;
  std::int64_t commissionTax = 0;
  std::int64_t settlementAmount = 0;
  Text settlementDate;
  // Margin log only.
  Text marginType;
  std::int64_t positionQty = 0;
  double positionPrice = 0.0;
  std::int64_t openCommission = 0;
  std::int64_t openCommissionTax = 0;
  std::int64_t managementFee = 0;
  std::int64_t transferFee = 0;
  std::int64_t interest = 0;
  std::int64_t lendingFee = 0;
  std::int64_t borrowingPremium = 0;

  SourceLine source;
};

// A realized result: the closing trade's row, with the fee columns as the ledger charged
// them, plus the profit and the average acquisition price of the closed position.
struct ResultRow {
  TradeRow trade;
  std::int64_t profit = 0;
  double averagePrice = 0.0;
};

// Keeps the bytes that Text fields view: copies of the log's texts, packed one after
// another in large blocks that never move. Lists share it, so results built from a trade
// list stay readable for as long as either list lives.
class TextBytes {
 public:
  // Copies `bytes`, followed by a NUL, and returns a Text of the copy.
  Text store(std::string_view bytes) {
    if (bytes.size() >= left_) startBlock(bytes.size() + 1);
    char* const copy = free_;
    std::memcpy(copy, bytes.data(), bytes.size());
    copy[bytes.size()] = '\0';
    free_ += bytes.size() + 1;
    left_ -= bytes.size() + 1;
    return Text(copy);
  }
  void share(std::shared_ptr<const TextBytes> other) { shared_.push_back(std::move(other)); }

 private:
  static constexpr std::size_t kBlockSize = 256 * 1024;

  void startBlock(std::size_t atLeast) {
    const std::size_t size = atLeast > kBlockSize ? atLeast : kBlockSize;
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    free_ = blocks_.back().get();
    left_ = size;
  }

  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;
  std::size_t left_ = 0;
  std::vector<std::shared_ptr<const TextBytes>> shared_;
};

// An ordered, append-only list of rows, kept in fixed-size chunks: appending never moves
// or copies the rows already there, so a list of millions of rows grows without the
// doubling copies (and the memory peak) of one contiguous array.
template <class Row>
class RecordList {
  static constexpr std::size_t kChunkRows = 4096;
  using Chunks = std::vector<std::vector<Row>>;

 public:
  class const_iterator {
   public:
    using value_type = Row;
    using difference_type = std::ptrdiff_t;
    using reference = const Row&;
    using pointer = const Row*;
    using iterator_category = std::forward_iterator_tag;

    const_iterator() = default;
    const_iterator(const Chunks* chunks, std::size_t chunk) : chunks_(chunks), chunk_(chunk) {}

    const Row& operator*() const { return (*chunks_)[chunk_][index_]; }
    const Row* operator->() const { return &**this; }
    const_iterator& operator++() {
      if (++index_ == (*chunks_)[chunk_].size()) {
        ++chunk_;
        index_ = 0;
      }
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) {
      return a.chunk_ == b.chunk_ && a.index_ == b.index_;
    }

   private:
    const Chunks* chunks_ = nullptr;
    std::size_t chunk_ = 0;
    std::size_t index_ = 0;
  };

  void append(const Row& row) {
    if (chunks_.empty() || chunks_.back().size() == kChunkRows) {
      chunks_.emplace_back().reserve(kChunkRows);
    }
    chunks_.back().push_back(row);
    ++size_;
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const_iterator begin() const { return {&chunks_, 0}; }
  const_iterator end() const { return {&chunks_, chunks_.size()}; }

  // The bytes this list's text fields view.
  TextBytes& text() { return *text_; }
  // Lets this list's rows view text that another list keeps.
  template <class Other>
  void shareTextOf(const RecordList<Other>& other) {
    text_->share(other.sharedText());
  }
  std::shared_ptr<const TextBytes> sharedText() const { return text_; }

 private:
  Chunks chunks_;
  std::size_t size_ = 0;
  std::shared_ptr<TextBytes> text_ = std::make_shared<TextBytes>();
};

using TradeList = RecordList<TradeRow>;
using ResultList = RecordList<ResultRow>;

}  // namespace tradepl
