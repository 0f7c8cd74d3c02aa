#include "input/columns.hpp"

#include <charconv>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

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
    columns[found++] = {begin, static_cast<std::size_t>(write - begin)};
    const bool lineEnded = read == end;
    *write = '\0';  // write never passes read, so this lands on a consumed byte or *end
    if (lineEnded) break;
    ++read;
  }
  return found;
}

// Reads the digits of a whole number, with single commas between digits, into a
// magnitude no larger than `limit`. Stops at the first byte that is neither.
struct Digits {
  std::uint64_t magnitude = 0;
  std::size_t length = 0;  // bytes consumed, commas included
  std::size_t count = 0;   // digits seen
  bool overflow = false;
};

Digits readGroupedDigits(std::string_view text, std::uint64_t limit) {
  Digits digits;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ',') {
      // A comma only stands between two digits.
      if (digits.count == 0 || i + 1 >= text.size() || !isDigit(text[i + 1])) break;
      ++i;
      continue;
    }
    if (!isDigit(c)) break;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (digits.magnitude > (limit - digit) / 10) {
      digits.overflow = true;
    } else {
      digits.magnitude = digits.magnitude * 10 + digit;
    }
    ++digits.count;
    ++i;
  }
  digits.length = i;
  return digits;
}

// Up to 18 digits, optionally after a '-': the way nearly every amount is written, and
// too short to overflow.
bool parsePlainInteger(std::string_view text, std::int64_t& value) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 18) return false;
  std::int64_t magnitude = 0;
  for (const char c : text) {
    const auto digit = static_cast<unsigned>(c - '0');
    if (digit > 9) return false;
    magnitude = magnitude * 10 + static_cast<std::int64_t>(digit);
  }
  value = negative ? -magnitude : magnitude;
  return true;
}

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// "2345.5" as 23455 / 10, for prices of up to 15 digits without commas: the digits and
// the power of ten are both exact doubles, so the one correctly rounded division gives
// the double nearest the decimal, as a full decimal conversion would.
bool parsePlainPrice(std::string_view text, double& value) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  std::int64_t digits = 0;
  std::size_t count = 0;
  std::size_t point = text.size();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto digit = static_cast<unsigned>(text[i] - '0');
    if (digit <= 9) {
      if (++count > 15) return false;  // before the digits could overflow
      digits = digits * 10 + static_cast<std::int64_t>(digit);
    } else if (text[i] == '.' && point == text.size() && i > 0 && i + 1 < text.size()) {
      point = i;
    } else {
      return false;
    }
  }
  if (count == 0) return false;
  const std::size_t decimals = point == text.size() ? 0 : text.size() - point - 1;
  const double magnitude = static_cast<double>(digits) / kExactPowersOfTen[decimals];
  value = (negative ? -magnitude : magnitude) + 0.0;  // "-0" is a price of 0
  return true;
}

}  // namespace

std::size_t splitColumns(std::span<char> line, std::span<Column> columns) {
  char* read = line.data();
  char* const end = read + line.size();
  // A comma past the end stops every scan there without a bounds check per byte.
  const char pastTheEnd = *end;
  *end = ',';
  std::size_t found = 0;
  while (found < columns.size()) {
    char* const begin = read;
    while (*read != ',' && *read != '"') ++read;
    // Nearly every line has no quote at all; the first one hands the rest of the line to
    // the slower splitter that rewrites columns as it unquotes them.
    if (*read == '"') {
      *end = pastTheEnd;
      return found + splitQuoted(begin, end, columns.subspan(found));
    }
    columns[found++] = {begin, static_cast<std::size_t>(read - begin)};
    *read = '\0';
    if (read == end) return found;
    ++read;
  }
  *end = pastTheEnd;
  return found;
}

NumberProblem parseInteger(std::string_view text, std::int64_t& value) {
  if (parsePlainInteger(text, value)) return NumberProblem::none;
  text = trimSpacesAndTabs(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  const Digits digits = readGroupedDigits(text, negative ? kMax + 1 : kMax);
  if (digits.count == 0 || digits.length != text.size()) return NumberProblem::notANumber;
  if (digits.overflow) return NumberProblem::outOfRange;
  // Negating in unsigned arithmetic reaches INT64_MIN without signed overflow.
  value = negative ? static_cast<std::int64_t>(0 - digits.magnitude)
                   : static_cast<std::int64_t>(digits.magnitude);
  return NumberProblem::none;
}

NumberProblem parsePrice(std::string_view text, double& value) {
  if (parsePlainPrice(text, value)) return NumberProblem::none;
  text = trimSpacesAndTabs(text);
  std::string_view unsignedPart = text;
  if (!unsignedPart.empty() && (unsignedPart.front() == '+' || unsignedPart.front() == '-')) {
    unsignedPart.remove_prefix(1);
  }
  const Digits whole = readGroupedDigits(unsignedPart, std::numeric_limits<std::uint64_t>::max());
  if (whole.count == 0) return NumberProblem::notANumber;
  std::size_t end = whole.length;
  if (end < unsignedPart.size() && unsignedPart[end] == '.') {
    std::size_t fraction = end + 1;
    while (fraction < unsignedPart.size() && isDigit(unsignedPart[fraction])) ++fraction;
    if (fraction == end + 1) return NumberProblem::notANumber;  // "12." is not a price
    end = fraction;
  }
  if (end != unsignedPart.size()) return NumberProblem::notANumber;
  if (whole.overflow) return NumberProblem::outOfRange;

  // from_chars takes neither '+' nor digit-group commas; drop them only when present.
  std::string_view digits = text.front() == '+' ? unsignedPart : text;
  std::string withoutCommas;
  if (digits.find(',') != std::string_view::npos) {
    for (const char c : digits) {
      if (c != ',') withoutCommas.push_back(c);
    }
    digits = withoutCommas;
  }
  double parsed = 0.0;
  const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed,
                                             std::chars_format::fixed);
  if (error != std::errc{} || stop != digits.data() + digits.size()) {
    return NumberProblem::outOfRange;
  }
  if (!(parsed < kPriceLimit && parsed > -kPriceLimit)) return NumberProblem::outOfRange;
  value = parsed + 0.0;  // "-0" is a price of 0, not of minus zero
  return NumberProblem::none;
}

bool parseStockCode(Column column, StockCode& code) {
  const std::string_view trimmed = trimSpacesAndTabs(column.view());
  bool hasLetter = false;
  bool lettersAndDigits = !trimmed.empty();
  for (const char c : trimmed) {
    hasLetter = hasLetter || isAsciiLetter(c);
    lettersAndDigits = lettersAndDigits && (isAsciiLetter(c) || isDigit(c));
  }
  if (lettersAndDigits && hasLetter) {
    // The trimmed code is terminated in place, over the first trailing blank if any.
    char* const symbol = column.begin + (trimmed.data() - column.begin);
    symbol[trimmed.size()] = '\0';
    code = StockCode{.number = 0, .symbol = Text(symbol)};
    return true;
  }
  std::int64_t number = 0;
  if (parseInteger(trimmed, number) != NumberProblem::none) return false;
  code = StockCode{.number = number, .symbol = Text()};
  return true;
}

bool isBlank(std::string_view line) {
  for (const char c : line) {
    if (!isSpaceOrTab(c)) return false;
  }
  return true;
}

}  // namespace tradepl
