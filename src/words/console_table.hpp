#pragma once
// Tables for a terminal: columns of UTF-8 text padded so that they line up, wide East Asian
// characters taking two columns.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tradepl {

// How many columns of a terminal a UTF-8 text takes.
std::size_t displayWidth(std::string_view text);

// Rows of columns, padded to line up on a terminal: the last `rightAligned` columns on
// their right, as amounts are. Every row has as many columns as the first.
std::vector<std::string> table(const std::vector<std::vector<std::string>>& rows,
                               std::size_t rightAligned, std::string_view indent);

// The parts of `text` between the separators: "a|b" is {"a", "b"}.
std::vector<std::string> split(std::string_view text, char separator);

}  // namespace tradepl
