#include "records/dates.hpp"

#include <charconv>
#include <system_error>
#include <tuple>

namespace tradepl {
namespace {

bool isScanfSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads a number the way scanf's %d does: leading white space, optional sign, digits.
// Advances `text` past it; a number that does not read, or does not fit, leaves `text` as
// it was.
std::optional<std::int64_t> scanNumber(std::string_view& text) {
  std::size_t i = 0;
  while (i < text.size() && isScanfSpace(text[i])) ++i;
  const std::size_t sign = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t digits = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  if (i == digits) return std::nullopt;
  // from_chars takes no '+'.
  const std::size_t from = text[sign] == '+' ? sign + 1 : sign;
  std::int64_t value = 0;
  const auto [stop, error] = std::from_chars(text.data() + from, text.data() + i, value);
  if (error != std::errc{} || stop != text.data() + i) return std::nullopt;
  text.remove_prefix(i);
  return value;
}

bool skipDateSeparator(std::string_view& text) {
  if (text.empty() || (text.front() != '/' && text.front() != '-')) return false;
  text.remove_prefix(1);
  return true;
}

// One or two digits, for an hour or a minute.
std::optional<std::int32_t> clockPart(std::string_view& text) {
  std::size_t i = 0;
  std::int32_t value = 0;
  while (i < text.size() && i < 2 && isDigit(text[i])) value = value * 10 + (text[i++] - '0');
  if (i == 0) return std::nullopt;
  text.remove_prefix(i);
  return value;
}

// " 11:48" after the day.
std::optional<std::int32_t> readTimeOfDay(std::string_view text) {
  std::size_t blanks = 0;
  while (blanks < text.size() && isScanfSpace(text[blanks])) ++blanks;
  if (blanks == 0) return std::nullopt;
  text.remove_prefix(blanks);
  const std::optional<std::int32_t> hour = clockPart(text);
  if (!hour || text.empty() || text.front() != ':') return std::nullopt;
  text.remove_prefix(1);
  const std::optional<std::int32_t> minute = clockPart(text);
  if (!minute) return std::nullopt;
  return *hour * 60 + *minute;
}

CalendarDate readDate(std::string_view& text) {
  CalendarDate date;
  date.year = scanNumber(text);
  if (!date.year || !skipDateSeparator(text)) return date;
  date.month = scanNumber(text);
  if (!date.month || !skipDateSeparator(text)) return date;
  date.day = scanNumber(text);
  return date;
}

}  // namespace

CalendarDate readCalendarDate(std::string_view text) {
  return readDate(text);
}

ExecutionDate readExecutionDate(std::string_view text) {
  ExecutionDate executed{readDate(text), std::nullopt};
  if (executed.date.day) executed.minuteOfDay = readTimeOfDay(text);
  return executed;
}

bool executedBefore(const ExecutionDate& a, const ExecutionDate& b) {
  const auto dayOf = [](const ExecutionDate& e) {
    return std::tuple(*e.date.year, *e.date.month, *e.date.day);
  };
  if (dayOf(a) != dayOf(b)) return dayOf(a) < dayOf(b);
  return a.minuteOfDay && b.minuteOfDay && *a.minuteOfDay < *b.minuteOfDay;
}

}  // namespace tradepl
