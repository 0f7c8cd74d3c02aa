#pragma once
// Whole numbers, read and summed one way everywhere: digits are scanned by one loop, and
// 64-bit arithmetic says when a result would not fit instead of wrapping. A log edited by
// hand can hold any amount, and a wrapped sum would be a plausible-looking wrong number.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

namespace tradepl {

inline bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// A run of digits read so far: their value, how many there were, and whether the value
// left 64 bits on the way.
struct Digits {
  std::uint64_t value = 0;
  std::size_t count = 0;
  bool overflow = false;
};

// Reads the digits from `at` on into `digits`, as more digits of the same number; with
// `grouped`, a single comma between two digits is passed over ("1,234,567"). Returns where
// the digits stop. Nineteen digits cannot overflow, so only those past them are checked.
// Works on locals: the bytes are chars, which the compiler must assume alias any field
// written through a reference.
inline const char* readDigits(const char* at, const char* end, bool grouped, Digits& digits) {
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
  const char* const first = at;
  std::uint64_t value = digits.value;
  std::size_t count = digits.count;
  bool overflow = digits.overflow;
  for (; at != end; ++at) {
    const auto digit = static_cast<unsigned>(static_cast<unsigned char>(*at) - '0');
    if (digit > 9) {
      // A comma stands only between two digits.
      if (grouped && *at == ',' && at != first && at + 1 != end && isDigit(at[1])) continue;
      break;
    }
    if (++count > 19 && value > (kMost - digit) / 10) {
      overflow = true;
    } else {
      value = value * 10 + digit;
    }
  }
  digits = {value, count, overflow};
  return at;
}

// The signed number of a sign and a magnitude, when it fits 64 bits. Negating in unsigned
// arithmetic reaches INT64_MIN without signed overflow.
inline std::optional<std::int64_t> signedValue(bool negative, std::uint64_t magnitude) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (magnitude > (negative ? kMax + 1 : kMax)) return std::nullopt;
  return static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
}

// |value|, which for INT64_MIN needs the unsigned type.
inline std::uint64_t magnitudeOf(std::int64_t value) {
  const auto bits = static_cast<std::uint64_t>(value);
  return value < 0 ? 0 - bits : bits;
}

inline std::optional<std::int64_t> checkedAdd(std::int64_t a, std::int64_t b) {
  using Limits = std::numeric_limits<std::int64_t>;
  if ((b > 0 && a > Limits::max() - b) || (b < 0 && a < Limits::min() - b)) return std::nullopt;
  return a + b;
}

inline std::optional<std::int64_t> checkedSubtract(std::int64_t a, std::int64_t b) {
  using Limits = std::numeric_limits<std::int64_t>;
  if ((b < 0 && a > Limits::max() + b) || (b > 0 && a < Limits::min() + b)) return std::nullopt;
  return a - b;
}

inline std::optional<std::int64_t> checkedMultiply(std::int64_t a, std::int64_t b) {
  if (a == 0 || b == 0) return 0;
  const std::uint64_t magnitude = magnitudeOf(a);
  if (magnitudeOf(b) > std::numeric_limits<std::uint64_t>::max() / magnitude) return std::nullopt;
  return signedValue((a < 0) != (b < 0), magnitude * magnitudeOf(b));
}

// A sum that has left 64 bits stays empty: it is said as unknown, never wrapped.
inline void addTo(std::optional<std::int64_t>& sum, std::optional<std::int64_t> amount) {
  if (sum) sum = amount ? checkedAdd(*sum, *amount) : std::nullopt;
}

}  // namespace tradepl
