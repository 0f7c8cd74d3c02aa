#pragma once
// A message in the user's language, its blanks filled: say(language, Message::cannotRead, why).
//
// The number of fills is checked against the message's blanks as the call is compiled, as a
// format string is: say(language, Message::cannotRead) does not compile, since cannotRead has
// a blank ({1}, why). A message picked at run time, from a table of messages, is said through
// sayChosen, and the table checks its rows' blanks where it is written (allHaveBlanks).

#include <array>
#include <cassert>
#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "words/message_table.hpp"

namespace tradepl {

// A message known as the program is compiled, with `Fills` blanks.
template <std::size_t Fills>
class Said {
 public:
  // Implicit, as a message is written at each call; not a constant expression, and so no
  // program, where the blanks and the fills differ.
  consteval Said(Message message) : message_(message) {
    if (blanksOf(message) != Fills) throw "the message has another number of blanks";
  }
  constexpr Message message() const { return message_; }

 private:
  Message message_;
};

namespace detail {
std::string filled(std::string_view text, std::span<const std::string_view> fills);
}  // namespace detail

// Said<sizeof...(Fill)> is deduced from the fills alone: the message converts to it.
template <std::convertible_to<std::string_view>... Fill>
std::string say(Language language, Said<sizeof...(Fill)> message, const Fill&... fills) {
  const std::array<std::string_view, sizeof...(Fill)> values{std::string_view(fills)...};
  return detail::filled(textOf(language, message.message()), values);
}

// A message picked at run time from a table whose rows allHaveBlanks checks.
template <std::convertible_to<std::string_view>... Fill>
std::string sayChosen(Language language, Message message, const Fill&... fills) {
  assert(blanksOf(message) == sizeof...(Fill));
  const std::array<std::string_view, sizeof...(Fill)> values{std::string_view(fills)...};
  return detail::filled(textOf(language, message), values);
}

// True when the message `member` of every row has `fills` blanks: for the static_assert
// beside a table of messages said through sayChosen.
template <typename Rows, typename Row>
constexpr bool allHaveBlanks(const Rows& rows, Message Row::*member, std::size_t fills) {
  for (const Row& row : rows) {
    if (blanksOf(row.*member) != fills) return false;
  }
  return true;
}

// True when row i of `rows` is about the value i of its enum, for every value up to `last`:
// a table with a row for every value, in order.
template <typename Rows, typename Row, typename Enum>
constexpr bool isRowPerValue(const Rows& rows, Enum Row::*key, Enum last) {
  if (rows.size() != static_cast<std::size_t>(last) + 1) return false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (static_cast<std::size_t>(rows[i].*key) != i) return false;
  }
  return true;
}

// A count with thousands separators: 3,912.
std::string grouped(std::uint64_t count);

}  // namespace tradepl
