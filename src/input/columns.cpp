#include "input/columns.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "input/number_grammar.hpp"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TRADEPL_SSE2 1
#endif

namespace tradepl {
namespace {

// The columns from `read` on, for a line with a quote in it: each column unquoted into
// `write`, which has room for the rest of the line.
std::size_t splitQuoted(const char* read, const char* end, char* write, std::span<Column> columns) {
  std::size_t found = 0;
  while (found < columns.size()) {
    const char* const begin = write;
    bool quoted = false;
    for (; read != end; ++read) {
      const char c = *read;
      if (c == '"') {
        if (quoted && read + 1 != end && read[1] == '"') {
          *write++ = '"';
          ++read;
        } else {
          quoted = !quoted;
        }
      } else if (c == ',' && !quoted) {
        break;
      } else {
        *write++ = c;
      }
    }
    columns[found++] = Column{begin, static_cast<std::size_t>(write - begin)};
    if (read == end) break;
    ++read;
  }
  return found;
}

// Splits a line at its commas up to the first quote, if any; from the column that holds a
// quote on, the careful splitter above takes over. Looks at 64 or 16 bytes at a time where
// the processor can, the last stretch overlapping those before it: the columns are short, so
// finding the commas is most of the work of reading a line. Notes on the way whether a
// NUL may stand in the columns, which spares every line a search of its own.
// `columns` holds the columns wanted; `slack` more may follow them, which a wide split
// writes without counting.
template <typename UnquotedCopy>
class PlainSplitter {
 public:
  PlainSplitter(std::string_view line, std::span<Column> columns, std::size_t slack,
                UnquotedCopy unquotedCopy)
      : line_(line.data()),
        size_(line.size()),
        columns_(columns),
        slack_(slack),
        unquotedCopy_(unquotedCopy) {}

  std::size_t split(CommaSearch search) {
#ifdef TRADEPL_SSE2
    if (search == CommaSearch::sixteenAtATime && size_ >= 64) {
      return slack_ >= 64 ? splitWide<64, true>() : splitWide<64, false>();
    }
    if (search == CommaSearch::sixteenAtATime && size_ >= 16) {
      return slack_ >= 16 ? splitWide<16, true>() : splitWide<16, false>();
    }
#endif
    (void)search;
    for (std::size_t at = 0; at < size_; ++at) {
      const char c = line_[at];
      mayHoldNul_ = mayHoldNul_ || c == '\0';
      if (c == '"') return splitRestQuoted();
      if (c == ',' && endColumn(at)) return found_;
    }
    return endLastColumn();
  }

  bool mayHoldNul() const {
    return mayHoldNul_;
  }

 private:
#ifdef TRADEPL_SSE2
  // Where the commas stand among the kWidth bytes from `at`, a bit each, and whether any of
  // those bytes is a quote or a NUL. A log line holds neither, and a stretch that does is
  // looked at again for each, so one answer for the stretch does: the smaller of a byte and
  // the byte xor '"' is zero for a quote or a NUL alone, and the smallest of those over the
  // stretch is found without a mask per sixteen bytes: eleven instructions fewer a 64-byte
  // stretch, 10 million on 2 x 200,000 lines (callgrind).
  struct Marks {
    std::uint64_t commas = 0;
    bool quoteOrNul = false;
  };
  static std::uint64_t bitsOf(__m128i matches, std::size_t i) {
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(matches))) << i;
  }
  static __m128i bytesAt(const char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  }
  template <std::size_t kWidth>
  static Marks marksAt(const char* at) {
    Marks marks;
    __m128i least = _mm_set1_epi8(-1);
    for (std::size_t i = 0; i < kWidth; i += 16) {
      const __m128i bytes = bytesAt(at + i);
      marks.commas |= bitsOf(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(',')), i);
      least = _mm_min_epu8(least, _mm_min_epu8(bytes, _mm_xor_si128(bytes, _mm_set1_epi8('"'))));
    }
    marks.quoteOrNul = _mm_movemask_epi8(_mm_cmpeq_epi8(least, _mm_setzero_si128())) != 0;
    return marks;
  }
  template <std::size_t kWidth>
  static std::uint64_t matchesAt(const char* at, char byte) {
    std::uint64_t matches = 0;
    for (std::size_t i = 0; i < kWidth; i += 16) {
      matches |= bitsOf(_mm_cmpeq_epi8(bytesAt(at + i), _mm_set1_epi8(byte)), i);
    }
    return matches;
  }

  // Takes the line kWidth bytes at a time, the last stretch overlapping those before it. A
  // log line's commas are looked at 64 bytes at a time: the loop over the commas of a
  // stretch ends once a stretch, and the processor mispredicts that end about every time.
  // Works on locals: a column stored through the span could, for all the compiler knows,
  // change the splitter's own fields, which it would then read again for every comma.
  //
  // With room for kWidth columns past those wanted, a stretch's commas are stored without a
  // count, and the count is looked at once a stretch: twelve instructions a comma instead of
  // sixteen, on the 7.5 million commas of 2 x 200,000 lines 13 million instructions fewer.
  template <std::size_t kWidth, bool kRoomPastLast>
  std::size_t splitWide() {
    const char* const line = line_;
    const std::size_t size = size_;
    Column* const first = columns_.data();
    Column* const last = first + columns_.size();
    Column* column = first;
    const char* begin = line;  // of the column being found
    std::uint64_t nuls = 0;
    const auto keepAll = [&] {
      return keep(static_cast<std::size_t>(column - first), static_cast<std::size_t>(begin - line),
                  nuls != 0);
    };
    for (std::size_t at = 0; at < size; at += kWidth) {
      const std::size_t from = std::min(at, size - kWidth);
      const std::uint64_t unseen = ~std::uint64_t{0} << (at - from);  // of the last stretch
      const char* const stretch = line + from;
      const Marks marks = marksAt<kWidth>(stretch);
      std::uint64_t commas = marks.commas & unseen;
      std::uint64_t quotes = 0;
      if (marks.quoteOrNul) {
        quotes = matchesAt<kWidth>(stretch, '"') & unseen;
        nuls |= matchesAt<kWidth>(stretch, '\0') & unseen;
        if (quotes != 0) commas &= (quotes & (0 - quotes)) - 1;  // the commas before the quote
      }
      for (; commas != 0; commas &= commas - 1) {
        const char* const end = stretch + static_cast<unsigned>(std::countr_zero(commas));
        *column++ = Column{begin, static_cast<std::size_t>(end - begin)};
        begin = end + 1;
        if (!kRoomPastLast && column == last) return keepAll();
      }
      if (kRoomPastLast && column >= last) {
        // Columns past the last wanted went into the slack, and are not counted.
        column = last;
        return keepAll();
      }
      if (quotes != 0) {
        keepAll();
        return splitRestQuoted();
      }
    }
    keepAll();
    return endLastColumn();
  }

  std::size_t keep(std::size_t found, std::size_t start, bool mayHoldNul) {
    found_ = found;
    start_ = start;
    mayHoldNul_ = mayHoldNul;
    return found;
  }
#endif

  // Ends a column at the comma at `at`; true when no more columns are wanted.
  bool endColumn(std::size_t at) {
    columns_[found_++] = Column{line_ + start_, at - start_};
    start_ = at + 1;
    return found_ == columns_.size();
  }
  std::size_t endLastColumn() {
    columns_[found_++] = Column{line_ + start_, size_ - start_};
    return found_;
  }
  std::size_t splitRestQuoted() {
    mayHoldNul_ = true;  // not looked for in the quoted part
    char* const copy = unquotedCopy_(size_ - start_);
    return found_ + splitQuoted(line_ + start_, line_ + size_, copy, columns_.subspan(found_));
  }

  const char* line_;
  std::size_t size_;
  std::span<Column> columns_;
  std::size_t slack_;
  UnquotedCopy unquotedCopy_;
  std::size_t found_ = 0;
  std::size_t start_ = 0;
  bool mayHoldNul_ = false;
};

}  // namespace

std::size_t ColumnSplitter::split(std::string_view line, std::span<Column> columns,
                                  bool& mayHoldNul) {
  return split(line, columns, 0, mayHoldNul);
}

std::size_t ColumnSplitter::split(std::string_view line, std::span<Column> room, std::size_t slack,
                                  bool& mayHoldNul) {
  mayHoldNul = false;
  const std::span<Column> columns = room.first(room.size() - slack);
  if (columns.empty()) return 0;
  PlainSplitter splitter(line, columns, slack,
                         [this](std::size_t size) { return unquotedCopyFor(size); });
  const std::size_t found = splitter.split(search_);
  mayHoldNul = splitter.mayHoldNul();
  return found;
}

// Room for the unquoted columns, which are never longer than the bytes they come from.
// Grown only for a longer line than any before it, and never while columns view it.
char* ColumnSplitter::unquotedCopyFor(std::size_t size) {
  if (size > capacity_) {
    capacity_ = std::max(size, capacity_ * 2);
    unquoted_ = std::make_unique_for_overwrite<char[]>(capacity_);
  }
  return unquoted_.get();
}

bool isBlank(std::string_view line) {
  for (const char c : line) {
    if (!isSpaceOrTab(c)) return false;
  }
  return true;
}

}  // namespace tradepl
