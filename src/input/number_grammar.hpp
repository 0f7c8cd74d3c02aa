#pragma once
// The number grammar of the logs: whole numbers, prices and security codes, each column
// scanned once and then converted exactly. Plain digits, nearly every column of a log, are
// read inline, so that reading one costs no call; the general grammar stands behind them.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "records/numbers.hpp"
#include "records/records.hpp"

// Plain digits are read in the caller: each of the two dozen number columns of a layout is a
// call site of its own, and GCC would otherwise leave the readers out of line, with a call
// and six saved registers around a few dozen instructions of work.
#if defined(__GNUC__)
#define TRADEPL_INLINE_DIGITS [[gnu::always_inline]] inline
#else
#define TRADEPL_INLINE_DIGITS inline
#endif

namespace tradepl {

enum class NumberProblem : std::uint8_t { none, notANumber, outOfRange };

// Prices below this many yen in magnitude are accepted; larger ones are out of range.
// Keeping prices far from the double's limits means no product or sum of them can
// overflow to infinity.
inline constexpr double kPriceLimit = 1e15;

inline bool isSpaceOrTab(char c) {
  return c == ' ' || c == '\t';
}
inline bool isAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline std::string_view trimSpacesAndTabs(std::string_view text) {
  while (!text.empty() && isSpaceOrTab(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpaceOrTab(text.back())) text.remove_suffix(1);
  return text;
}

namespace detail {

// Plain digits, the way nearly every number column of a log is written ("4223", "-335"),
// read eight at a time: the bytes are loaded into one 64-bit word and checked and converted
// with a few multiplications, which costs no branch per digit and so no misprediction where
// the columns' lengths vary. Everything else takes the general grammar, in the .cpp.
namespace swar {

TRADEPL_INLINE_DIGITS std::uint64_t load(const char* at, std::size_t size) {
  std::uint64_t word = 0;
  std::memcpy(&word, at, size);
  return word;
}

// The `size` (1 to 8) bytes from `at`, right-aligned in a word as a little-endian load of
// eight bytes would hold them, the bytes before them '0'. Reads only the bytes given: two
// loads that overlap where they must, each of a fixed size.
TRADEPL_INLINE_DIGITS std::uint64_t rightAligned(const char* at, std::size_t size) {
  const std::size_t shift = 8 * (8 - size);  // 0 to 56
  std::uint64_t word = 0;
  if (size >= 4) {
    word = (load(at, 4) << shift) | (load(at + size - 4, 4) << 32);
  } else {
    const std::uint64_t first = static_cast<unsigned char>(at[0]);
    const std::uint64_t middle = static_cast<unsigned char>(at[size / 2]);
    const std::uint64_t last = static_cast<unsigned char>(at[size - 1]);
    word = (first << shift) | (middle << (shift + 8 * (size / 2))) | (last << 56);
  }
  return word | (0x3030303030303030u & ((std::uint64_t{1} << shift) - 1));
}

// As rightAligned, for the `size` (1 to 8) bytes that end at `end` where the eight bytes
// before `end` may be read: one load, the bytes before the text masked to '0'. Spares the
// branch on the length, which varies from column to column and is mispredicted.
// The bytes before the text, by its size, from a table: a load where a shift by a variable
// count costs five instructions.
inline constexpr std::uint64_t kBytesBefore[9] = {
    ~std::uint64_t{0},   0x00FFFFFFFFFFFFFFu, 0x0000FFFFFFFFFFFFu,
    0x000000FFFFFFFFFFu, 0x00000000FFFFFFFFu, 0x0000000000FFFFFFu,
    0x000000000000FFFFu, 0x00000000000000FFu, 0};
TRADEPL_INLINE_DIGITS std::uint64_t endingAt(const char* end, std::size_t size) {
  const std::uint64_t before = kBytesBefore[size];
  return (load(end - 8, 8) & ~before) | (0x3030303030303030u & before);
}

// True when all eight bytes are ASCII digits: each has 3 for its high half, and a low half
// that 6 more does not carry past 15.
TRADEPL_INLINE_DIGITS bool eightDigits(std::uint64_t word) {
  return ((word & 0xF0F0F0F0F0F0F0F0u) |
          (((word + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u) >> 4)) == 0x3333333333333333u;
}

// The value of eight digits, the first the most significant: pairs, then fours, then all.
TRADEPL_INLINE_DIGITS std::uint64_t valueOfEight(std::uint64_t word) {
  word -= 0x3030303030303030u;
  word = word * 10 + (word >> 8);
  word = (((word & 0x000000FF000000FFu) * 0x000F424000000064u) +
          (((word >> 16) & 0x000000FF000000FFu) * 0x0000271000000001u)) >>
         32;
  return static_cast<std::uint32_t>(word);
}

// As eightDigits and valueOfEight, for four bytes: a price, a quantity, a commission or a
// stock code, most columns but the amounts; the branch goes one way for each column nearly
// always (2 x 200,000 lines: 12 million instructions fewer).
TRADEPL_INLINE_DIGITS bool fourDigits(std::uint32_t word) {
  return ((word & 0xF0F0F0F0u) | (((word + 0x06060606u) & 0xF0F0F0F0u) >> 4)) == 0x33333333u;
}
TRADEPL_INLINE_DIGITS std::uint64_t valueOfFour(std::uint32_t word) {
  word -= 0x30303030u;
  word = word * 10 + (word >> 8);  // the first pair in the low byte, the second in the third
  return (word & 0xFF) * 100 + ((word >> 16) & 0xFF);
}

// What plainDigits gives for a text that is not plain digits: more than sixteen digits can
// make. A value, not an optional: GCC returns an optional through memory, a byte stored and
// eight loaded, and the processor then waits for the store on every column.
inline constexpr std::uint64_t kNotPlain = ~std::uint64_t{0};

// The digits of `text`, one to sixteen of them and nothing else, as a number. `roomBefore`:
// the eight bytes before the text's end may be read.
TRADEPL_INLINE_DIGITS std::uint64_t plainDigits(std::string_view text, bool roomBefore) {
  if constexpr (std::endian::native != std::endian::little) return kNotPlain;
  const std::size_t size = text.size();
  if (size - 1 < 8) {  // one to eight: nearly every column, in one word
    const std::uint64_t word =
        roomBefore ? endingAt(text.data() + size, size) : rightAligned(text.data(), size);
    if (size <= 4) {
      // The last four bytes, where the digits stand: half the work of eight.
      const auto four = static_cast<std::uint32_t>(word >> 32);
      return fourDigits(four) ? valueOfFour(four) : kNotPlain;
    }
    return eightDigits(word) ? valueOfEight(word) : kNotPlain;
  }
  if (size - 9 >= 8) return kNotPlain;
  const std::uint64_t high = rightAligned(text.data(), size - 8);
  const std::uint64_t low = load(text.data() + size - 8, 8);
  if (!eightDigits(high) || !eightDigits(low)) return kNotPlain;
  return valueOfEight(high) * 100000000 + valueOfEight(low);
}

}  // namespace swar

// The digits of `text` after an optional '-', one to sixteen of them and nothing else: the
// magnitude, and `negative`; swar::kNotPlain for any other text.
TRADEPL_INLINE_DIGITS std::uint64_t plainNumber(std::string_view text, bool& negative,
                                                bool roomBefore) {
  // One digit, most often the 0 of a fee not charged: half the number columns of a margin
  // log. Each column's reading is inlined on its own, so the branch is taken or not for the
  // column's own habit, and seldom mispredicted.
  if (text.size() == 1) {
    negative = false;
    const auto digit = static_cast<unsigned char>(text.front() - '0');
    return digit < 10 ? digit : swar::kNotPlain;
  }
  negative = !text.empty() && text.front() == '-';
  // Not substr, which GCC leaves out of line for its bounds check: a '-' stands in the text.
  const std::size_t sign = negative ? 1 : 0;
  return swar::plainDigits(std::string_view(text.data() + sign, text.size() - sign), roomBefore);
}

// The general grammar, for every column that is not plain digits.
NumberProblem readIntegerCarefully(std::string_view text, std::int64_t& value);
NumberProblem readPriceCarefully(std::string_view text, double& value, ExactPrice& exact);

}  // namespace detail

// A whole number: spaces or tabs around it, an optional sign, decimal digits, with single
// commas allowed between digits ("1,234,567"); anything else is not a number. 64 bits.
// `roomBefore`: the eight bytes before the text's end may be read, which is faster.
TRADEPL_INLINE_DIGITS NumberProblem readInteger(std::string_view text, std::int64_t& value,
                                                bool roomBefore = false) {
  bool negative = false;
  const std::uint64_t digits = detail::plainNumber(text, negative, roomBefore);
  if (digits == detail::swar::kNotPlain) return detail::readIntegerCarefully(text, value);
  const auto magnitude = static_cast<std::int64_t>(digits);  // below 10^16
  value = negative ? -magnitude : magnitude;
  return NumberProblem::none;
}

// A price: the grammar of readInteger, optionally followed by '.' and decimal digits
// ("2345.5"). Read to the nearest double, without any locale, and exactly as written.
TRADEPL_INLINE_DIGITS NumberProblem readPrice(std::string_view text, double& value,
                                              ExactPrice& exact, bool roomBefore = false) {
  bool negative = false;
  const std::uint64_t digits = detail::plainNumber(text, negative, roomBefore);
  // Below 10^15 yen, a whole price is an exact double within the limit (kNotPlain is not).
  if (digits >= std::uint64_t{1000000000000000}) {
    return detail::readPriceCarefully(text, value, exact);
  }
  value = static_cast<double>(digits);  // a plain "-0" is a price of 0, not of minus zero
  if (negative) value = 0.0 - value;
  exact = ExactPrice{.digits = digits, .decimals = 0, .negative = negative, .known = true};
  return NumberProblem::none;
}

namespace detail {
// The letters-and-digits form of readStockCode.
bool readLetterCode(std::string_view text, StockCode& code);
}  // namespace detail

// A security code: a whole number (as readInteger), or ASCII letters and digits with at
// least one letter ("130A"), kept as written. Spaces and tabs around it are trimmed.
// `roomBefore` as for readInteger. A number, nearly every code, is read inline: readInteger
// takes the blanks around it as they are.
TRADEPL_INLINE_DIGITS bool readStockCode(std::string_view text, StockCode& code,
                                         bool roomBefore = false) {
  std::int64_t number = 0;
  if (readInteger(text, number, roomBefore) == NumberProblem::none) {
    code = StockCode{.number = number, .symbol = Text()};
    return true;
  }
  return detail::readLetterCode(text, code);
}

}  // namespace tradepl
