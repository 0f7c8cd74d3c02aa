#include "records/dates.hpp"

#include <limits>
#include <tuple>

namespace tradepl {
namespace {

bool isScanfSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

// Reads a number the way scanf's %d does: leading white space, optional sign, digits.
// Advances `text` past it; a number that does not read, or does not fit, leaves `text` as
// it was. Every result line reads three of these, so the digits are summed here rather
// than handed to a general conversion: eighteen of them cannot overflow, and more are
// checked one by one.
std::optional<std::int64_t> scanNumber(std::string_view& text) {
  std::size_t i = 0;
  while (i < text.size() && isScanfSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t digits = i;
  const std::uint64_t limit = kLargest + (negative ? 1 : 0);
  std::uint64_t magnitude = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    const auto digit = static_cast<std::uint64_t>(text[i] - '0');
    if (i - digits >= 18 && magnitude > (limit - digit) / 10) return std::nullopt;
    magnitude = magnitude * 10 + digit;
  }
  if (i == digits) return std::nullopt;
  text.remove_prefix(i);
  // Negating in unsigned arithmetic reaches INT64_MIN without signed overflow.
  return static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
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

ExecutionDate ExecutionDateReader::read(std::string_view text) {
  // The day is what stands before the first space. When the last day took its text whole
  // and this one is the same text, followed by the same space or end, it reads the same.
  const std::string_view day = text.substr(0, text.find(' '));
  if (!lastDay_.empty() && day == lastDay_) {
    return {lastDate_, readTimeOfDay(text.substr(day.size()))};
  }
  std::string_view rest = text;
  const CalendarDate date = readDate(rest);
  const bool tookTheDayWhole = date.complete() && rest.size() == text.size() - day.size();
  lastDay_.assign(tookTheDayWhole ? day : std::string_view());
  lastDate_ = date;
  return {date, date.day ? readTimeOfDay(rest) : std::nullopt};
}

bool executedBefore(const ExecutionDate& a, const ExecutionDate& b) {
  const auto dayOf = [](const ExecutionDate& e) {
    return std::tuple(*e.date.year, *e.date.month, *e.date.day);
  };
  if (dayOf(a) != dayOf(b)) return dayOf(a) < dayOf(b);
  return a.minuteOfDay && b.minuteOfDay && *a.minuteOfDay < *b.minuteOfDay;
}

}  // namespace tradepl
