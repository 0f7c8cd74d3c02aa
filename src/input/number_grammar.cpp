#include "input/number_grammar.hpp"

#include <charconv>
#include <cmath>
#include <iterator>
#include <string>
#include <system_error>

namespace tradepl::detail {
namespace {

// A number as written, scanned once: its sign, all its digits as one integer, and how many
// of them stand after the decimal point. Integers and prices are converted from it.
struct ScannedNumber {
  bool negative = false;
  Digits digits;
  std::size_t decimals = 0;
  std::string_view text;  // trimmed, for the careful conversion
};

// Reads the whole of `text` as a number: blanks around it, a sign, digits with single
// commas between them, and, where decimals are allowed, '.' and at least one digit.
bool scanNumber(std::string_view text, bool decimalsAllowed, ScannedNumber& number) {
  if (!text.empty() && (isSpaceOrTab(text.front()) || isSpaceOrTab(text.back()))) {
    text = trimSpacesAndTabs(text);
  }
  number.text = text;
  const char* at = text.data();
  const char* const end = at + text.size();
  bool negative = false;
  if (at != end && (*at == '+' || *at == '-')) negative = *at++ == '-';
  Digits digits;
  const char* const whole = at;
  at = readDigits(at, end, true, digits);
  if (at == whole) return false;
  std::size_t decimals = 0;
  if (at != end && *at == '.' && decimalsAllowed) {
    const char* const fraction = ++at;
    at = readDigits(at, end, false, digits);
    decimals = static_cast<std::size_t>(at - fraction);
    if (decimals == 0) return false;  // "12." is not a price
  }
  number.negative = negative;
  number.digits = digits;
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
  if (!number.digits.overflow && number.digits.value < (std::uint64_t{1} << 53) &&
      number.decimals < std::size(kExactPowersOfTen)) {
    double magnitude = static_cast<double>(number.digits.value);
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

}  // namespace

NumberProblem readIntegerCarefully(std::string_view text, std::int64_t& value) {
  ScannedNumber number;
  if (!scanNumber(text, false, number)) return NumberProblem::notANumber;
  const std::optional<std::int64_t> read =
      number.digits.overflow ? std::nullopt : signedValue(number.negative, number.digits.value);
  if (!read) return NumberProblem::outOfRange;
  value = *read;
  return NumberProblem::none;
}

NumberProblem readPriceCarefully(std::string_view text, double& value, ExactPrice& exact) {
  ScannedNumber number;
  if (!scanNumber(text, true, number)) return NumberProblem::notANumber;
  const std::optional<double> price = priceOf(number);
  if (!price || !(std::fabs(*price) < kPriceLimit)) return NumberProblem::outOfRange;
  value = *price + 0.0;  // "-0" is a price of 0, not of minus zero
  const bool known = !number.digits.overflow && number.decimals <= UINT8_MAX;
  exact = ExactPrice{.digits = number.digits.value,
                     .decimals = static_cast<std::uint8_t>(known ? number.decimals : 0),
                     .negative = number.negative,
                     .known = known};
  return NumberProblem::none;
}

bool readLetterCode(std::string_view text, StockCode& code) {
  const std::string_view trimmed = trimSpacesAndTabs(text);
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
