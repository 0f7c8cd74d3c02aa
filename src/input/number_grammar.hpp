#pragma once
// The number grammar of the logs, scanned once and converted exactly: internal to the
// readers, kept inline so that reading a column costs no call.

#include <charconv>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "input/columns.hpp"

namespace tradepl::detail {

inline bool isSpaceOrTab(char c) {
  return c == ' ' || c == '\t';
}
inline bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
inline bool isAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline std::string_view trimSpacesAndTabs(std::string_view text) {
  while (!text.empty() && isSpaceOrTab(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpaceOrTab(text.back())) text.remove_suffix(1);
  return text;
}

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
// returns where the run stops. `count` is how many digits came before: nineteen digits
// cannot overflow 64 bits, and only those past them are checked one by one. Works on
// locals: the bytes are chars, which the compiler must assume alias any field written
// through a reference.
inline const char* readDigits(const char* at, const char* end, bool grouped, std::uint64_t& digits,
                              std::size_t& count, bool& tooManyDigits) {
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
  const char* const first = at;
  std::uint64_t value = digits;
  std::size_t seen = count;
  bool overflow = tooManyDigits;
  for (; at != end; ++at) {
    const auto digit = static_cast<unsigned>(static_cast<unsigned char>(*at) - '0');
    if (digit > 9) {
      // A comma stands only between two digits.
      if (grouped && *at == ',' && at != first && at + 1 != end && isDigit(at[1])) continue;
      break;
    }
    if (++seen > 19 && value > (kMost - digit) / 10) {
      overflow = true;
    } else {
      value = value * 10 + digit;
    }
  }
  digits = value;
  count = seen;
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
  std::size_t count = 0;
  bool tooManyDigits = false;
  const char* const whole = at;
  at = readDigits(at, end, true, digits, count, tooManyDigits);
  if (at == whole) return false;
  std::size_t decimals = 0;
  if (at != end && *at == '.' && decimalsAllowed) {
    const char* const fraction = ++at;
    at = readDigits(at, end, false, digits, count, tooManyDigits);
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
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// "2345.5" as 23455 / 10: when the digits and the power of ten are both exact doubles, the
// one correctly rounded division gives the double nearest the decimal. Otherwise a full
// decimal conversion, on the digits without their grouping commas.
inline std::optional<double> priceOf(const ScannedNumber& number) {
  if (!number.tooManyDigits && number.digits < (std::uint64_t{1} << 53) &&
      number.decimals < std::size(kExactPowersOfTen)) {
    double magnitude = static_cast<double>(number.digits);
    if (number.decimals > 0) magnitude /= kExactPowersOfTen[number.decimals];
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

inline NumberProblem readInteger(std::string_view text, std::int64_t& value) {
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

inline NumberProblem readPrice(std::string_view text, double& value) {
  ScannedNumber number;
  if (!scanNumber(text, true, number)) return NumberProblem::notANumber;
  const std::optional<double> price = priceOf(number);
  if (!price || !(*price<kPriceLimit&& * price> - kPriceLimit)) return NumberProblem::outOfRange;
  value = *price + 0.0;  // "-0" is a price of 0, not of minus zero
  return NumberProblem::none;
}

inline bool readStockCode(std::string_view text, StockCode& code) {
  const std::string_view trimmed = trimSpacesAndTabs(text);
  std::int64_t number = 0;
  if (readInteger(trimmed, number) == NumberProblem::none) {
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

}  // namespace tradepl::detail
