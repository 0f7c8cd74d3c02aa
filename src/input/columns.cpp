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

// Lines without a quote, which are nearly all of them, split with memchr alone.
std::size_t splitUnquoted(char* read, char* end, std::span<Column> columns) {
  std::size_t found = 0;
  while (found < columns.size()) {
    auto* comma = static_cast<char*>(std::memchr(read, ',', static_cast<std::size_t>(end - read)));
    char* stop = comma != nullptr ? comma : end;
    columns[found++] = {read, static_cast<std::size_t>(stop - read)};
    *stop = '\0';
    if (comma == nullptr) break;
    read = comma + 1;
  }
  return found;
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

}  // namespace

std::size_t splitColumns(std::span<char> line, std::span<Column> columns) {
  if (columns.empty()) return 0;
  char* const begin = line.data();
  char* const end = begin + line.size();
  if (std::memchr(begin, '"', line.size()) == nullptr) {
    return splitUnquoted(begin, end, columns);
  }
  return splitQuoted(begin, end, columns);
}

NumberProblem parseInteger(std::string_view text, std::int64_t& value) {
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
