#pragma once
// Splitting one CSV line of the broker's logs into its columns, at the commas that stand
// outside double quotes. The line is never changed.

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

namespace tradepl {

// One column of a split line, viewing its bytes. Left uninitialized until a split fills it:
// zeroing two dozen of them cost a tenth of reading a line.
struct Column {
  const char* data;
  std::size_t size;

  std::string_view view() const { return {data, size}; }
};

// How the commas are looked for: sixteen bytes at a time where the processor can, or one
// byte at a time. Both find the same columns.
enum class CommaSearch : bool { oneByteAtATime, sixteenAtATime };
#if defined(__SSE2__) || defined(_M_X64)
inline constexpr CommaSearch kFastestCommaSearch = CommaSearch::sixteenAtATime;
#else
inline constexpr CommaSearch kFastestCommaSearch = CommaSearch::oneByteAtATime;
#endif

// The room past the columns wanted that spares a split every count: a stretch of 64 bytes
// holds at most 64 commas.
inline constexpr std::size_t kColumnSlack = 64;

class ColumnSplitter {
 public:
  explicit ColumnSplitter(CommaSearch search = kFastestCommaSearch) : search_(search) {}

  // Splits `line` at the commas that stand outside double quotes, filling at most
  // columns.size() columns and returning how many it filled; bytes past the last wanted
  // column are left alone. A '"' opens or closes a quoted stretch and is dropped; inside
  // quotes, '""' is one literal '"' and a comma belongs to the column; an unclosed quote
  // runs to the end of the line. Safe on Shift_JIS: neither ',' nor '"' occurs as the
  // second byte of a double-byte character. `mayHoldNul` is false when no NUL byte stands
  // in the columns filled.
  //
  // The columns view `line` up to its first quote; from there on they view this splitter's
  // own copy, unquoted, which lasts until the next split.
  std::size_t split(std::string_view line, std::span<Column> columns, bool& mayHoldNul);
  // As above, for the columns of `room` but its last `slack`, which the split may overwrite
  // as it likes: a split that need not count the columns as it finds them is faster.
  std::size_t split(std::string_view line, std::span<Column> room, std::size_t slack,
                    bool& mayHoldNul);

 private:
  char* unquotedCopyFor(std::size_t lineSize);

  CommaSearch search_;
  std::unique_ptr<char[]> unquoted_;
  std::size_t capacity_ = 0;
};

// True for a line of nothing but spaces and tabs, or nothing at all.
bool isBlank(std::string_view line);

}  // namespace tradepl
