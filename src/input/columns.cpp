#include "input/columns.hpp"

#include <bit>
#include <charconv>
#include <limits>
#include <string>
#include <system_error>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TRADEPL_SSE2 1
#endif

namespace tradepl {
namespace {

bool isSpaceOrTab(char c) {
  return c == ' ' || c == '\t';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string_view trimSpacesAndTabs(std::string_view text) {
  while (!text.empty() && isSpaceOrTab(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpaceOrTab(text.back())) text.remove_suffix(1);
  return text;
}

// The columns from `read` on, for a line with a quote in it: unquotes each column in place,
// moving its bytes to the front of its own stretch of the line.
std::size_t splitQuoted(char* read, char* end, std::span<Column> columns) {
  std::size_t found = 0;
  while (found < columns.size()) {
    char* const begin = read;
    char* write = read;
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
// quote on, the careful splitter above takes over. Looks at 16 bytes at a time where the
// processor can: the columns are short, so finding the commas is most of the work of
// reading a line.
class PlainSplitter {
 public:
  PlainSplitter(std::span<char> line, std::span<Column> columns)
      : line_(line.data()), size_(line.size()), columns_(columns) {}

  std::size_t split() {
    std::size_t at = 0;
#ifdef TRADEPL_SSE2
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i quote = _mm_set1_epi8('"');
    for (; at + 16 <= size_; at += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line_ + at));
      auto commas = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, comma)));
      const auto quotes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, quote)));
      if (quotes != 0) commas &= (quotes & (0 - quotes)) - 1;  // the commas before the quote
      for (; commas != 0; commas &= commas - 1) {
        if (endColumn(at + static_cast<std::size_t>(std::countr_zero(commas)))) return found_;
      }
      if (quotes != 0) return splitRestQuoted();
    }
#endif
    for (; at < size_; ++at) {
      if (line_[at] == '"') return splitRestQuoted();
      if (line_[at] == ',' && endColumn(at)) return found_;
    }
    columns_[found_++] = Column{line_ + start_, size_ - start_};
    return found_;
  }

 private:
  // Ends a column at the comma at `at`; true when no more columns are wanted.
  bool endColumn(std::size_t at) {
    columns_[found_++] = Column{line_ + start_, at - start_};
    start_ = at + 1;
    return found_ == columns_.size();
  }
  std::size_t splitRestQuoted() {
    return found_ + splitQuoted(line_ + start_, line_ + size_, columns_.subspan(found_));
  }

  char* line_;
  std::size_t size_;
  std::span<Column> columns_;
  std::size_t found_ = 0;
  std::size_t start_ = 0;
};

// A number as written, scanned once: its sign, all its digits as one integer, and how many
// of them stand after the decimal point. Integers and prices are converted from it.
struct ScannedNumber {
  bool negative = false;
  std::uint64_t digits = 0;
  bool tooManyDigits = false;  // the digits do not fit in 64 bits
  std::size_t decimals = 0;
  std::string_view text;  // trimmed, for the careful conversion
};

// Reads a run of digits into `digits`, with single commas between them where `grouped`;
// returns where the run stops. Works on locals: the bytes are chars, which the compiler
// must assume alias any field written through a reference.
inline const char* readDigits(const char* at, const char* end, bool grouped, std::uint64_t& digits,
                              bool& tooManyDigits) {
  constexpr std::uint64_t kSafe = (std::numeric_limits<std::uint64_t>::max() - 9) / 10;
  const char* const first = at;
  std::uint64_t value = digits;
  bool overflow = tooManyDigits;
  for (; at != end; ++at) {
    const auto digit = static_cast<unsigned>(static_cast<unsigned char>(*at) - '0');
    if (digit > 9) {
      // A comma stands only between two digits.
      if (grouped && *at == ',' && at != first && at + 1 != end && isDigit(at[1])) continue;
      break;
    }
    if (value <= kSafe || value <= (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
      value = value * 10 + digit;
    } else {
      overflow = true;
    }
  }
  digits = value;
  tooManyDigits = overflow;
  return at;
}

// Reads the whole of `text` as a number: blanks around it, a sign, digits with single
// commas between them, and, where decimals are allowed, '.' and at least one digit.
inline bool scanNumber(std::string_view text, bool decimalsAllowed, ScannedNumber& number) {
  if (!text.empty() && (isSpaceOrTab(text.front()) || isSpaceOrTab(text.back()))) {
    text = trimSpacesAndTabs(text);
  }
  number.text = text;
  const char* at = text.data();
  const char* const end = at + text.size();
  bool negative = false;
  if (at != end && (*at == '+' || *at == '-')) negative = *at++ == '-';
  std::uint64_t digits = 0;
  bool tooManyDigits = false;
  const char* const whole = at;
  at = readDigits(at, end, true, digits, tooManyDigits);
  if (at == whole) return false;
  std::size_t decimals = 0;
  if (at != end && *at == '.' && decimalsAllowed) {
    const char* const fraction = ++at;
    at = readDigits(at, end, false, digits, tooManyDigits);
    decimals = static_cast<std::size_t>(at - fraction);
    if (decimals == 0) return false;  // "12." is not a price
  }
  number.negative = negative;
  number.digits = digits;
  number.tooManyDigits = tooManyDigits;
  number.decimals = decimals;
  return at == end;
}

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// "2345.5" as 23455 / 10: when the digits and the power of ten are both exact doubles, the
// one correctly rounded division gives the double nearest the decimal. Otherwise a full
// decimal conversion, on the digits without their grouping commas.
std::optional<double> priceOf(const ScannedNumber& number) {
  if (!number.tooManyDigits && number.digits < (std::uint64_t{1} << 53) &&
      number.decimals < std::size(kExactPowersOfTen)) {
    const double magnitude =
        static_cast<double>(number.digits) / kExactPowersOfTen[number.decimals];
    return number.negative ? -magnitude : magnitude;
  }
  std::string plain;
  for (const char c : number.text) {
    if (c != ',' && c != '+') plain.push_back(c);
  }
  double value = 0.0;
  const auto [stop, error] =
      std::from_chars(plain.data(), plain.data() + plain.size(), value, std::chars_format::fixed);
  if (error != std::errc{} || stop != plain.data() + plain.size()) return std::nullopt;
  return value;
}

}  // namespace

std::size_t splitColumns(std::span<char> line, std::span<Column> columns) {
  if (columns.empty()) return 0;
  return PlainSplitter(line, columns).split();
}

NumberProblem parseInteger(std::string_view text, std::int64_t& value) {
  ScannedNumber number;
  if (!scanNumber(text, false, number)) return NumberProblem::notANumber;
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (number.tooManyDigits || number.digits > (number.negative ? kMax + 1 : kMax)) {
    return NumberProblem::outOfRange;
  }
  // Negating in unsigned arithmetic reaches INT64_MIN without signed overflow.
  value = static_cast<std::int64_t>(number.negative ? 0 - number.digits : number.digits);
  return NumberProblem::none;
}

NumberProblem parsePrice(std::string_view text, double& value) {
  ScannedNumber number;
  if (!scanNumber(text, true, number)) return NumberProblem::notANumber;
  const std::optional<double> price = priceOf(number);
  if (!price || !(*price<kPriceLimit&& * price> - kPriceLimit)) return NumberProblem::outOfRange;
  value = *price + 0.0;  // "-0" is a price of 0, not of minus zero
  return NumberProblem::none;
}

bool parseStockCode(std::string_view text, StockCode& code) {
  const std::string_view trimmed = trimSpacesAndTabs(text);
  std::int64_t number = 0;
  if (parseInteger(trimmed, number) == NumberProblem::none) {
    code = StockCode{.number = number, .symbol = Text()};
    return true;
  }
  bool hasLetter = false;
  bool lettersAndDigits = !trimmed.empty();
  for (const char c : trimmed) {
    hasLetter = hasLetter || isAsciiLetter(c);
    lettersAndDigits = lettersAndDigits && (isAsciiLetter(c) || isDigit(c));
  }
  if (!lettersAndDigits || !hasLetter) return false;
  code = StockCode{.number = 0, .symbol = Text(trimmed)};
  return true;
}

bool isBlank(std::string_view line) {
  for (const char c : line) {
    if (!isSpaceOrTab(c)) return false;
  }
  return true;
}

}  // namespace tradepl
