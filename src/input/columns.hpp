#pragma once
// Reading the columns of one CSV line: splitting at commas outside quotes, and the
// number, price and security-code grammars of the broker's logs. Pure functions on bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "records/records.hpp"

namespace tradepl {

// One column of a split line, viewing its bytes. Left uninitialized until a split fills it:
// zeroing two dozen of them cost a tenth of reading a line.
struct Column {
  const char* data;
  std::size_t size;

  std::string_view view() const { return {data, size}; }
};

// Splits `line` at the commas that stand outside double quotes, filling at most
// columns.size() columns and returning how many it filled; bytes past the last wanted
// column are left alone. A '"' opens or closes a quoted stretch and is dropped; inside
// quotes, '""' is one literal '"' and a comma belongs to the column; an unclosed quote runs
// to the end of the line. The columns view `line`, whose quoted stretches are unquoted in
// place. Safe on Shift_JIS: neither ',' nor '"' occurs as the second byte of a double-byte
// character. `mayHoldNul` is false when no NUL byte stands in the columns filled.
std::size_t splitColumns(std::span<char> line, std::span<Column> columns, bool& mayHoldNul);

enum class NumberProblem : std::uint8_t { none, notANumber, outOfRange };

// A whole number: spaces or tabs around it, an optional sign, decimal digits, with single
// commas allowed between digits ("1,234,567"); anything else is not a number. 64 bits.
NumberProblem parseInteger(std::string_view text, std::int64_t& value);

// Prices below this many yen in magnitude are accepted; larger ones are out of range.
// Keeping prices far from the double's limits means no product or sum of them can
// overflow to infinity.
inline constexpr double kPriceLimit = 1e15;

// A price: the grammar of parseInteger, optionally followed by '.' and decimal digits
// ("2345.5"). Read to the nearest double, without any locale.
NumberProblem parsePrice(std::string_view text, double& value);

// A security code: a whole number (as parseInteger), or ASCII letters and digits with at
// least one letter ("130A"), kept as written. Spaces and tabs around it are trimmed.
bool parseStockCode(std::string_view text, StockCode& code);

// True for a line of nothing but spaces and tabs, or nothing at all.
bool isBlank(std::string_view line);

}  // namespace tradepl
