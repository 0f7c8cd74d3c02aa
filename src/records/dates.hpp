#pragma once
// Dates as the logs write them: "2014/09/04 11:48" for an execution, "2014/09/06" for a
// settlement, sometimes with '-' for '/', sometimes without leading zeros.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tradepl {

// Year, month and day: three numbers, each read like scanf's %d (leading white space, an
// optional sign, digits), separated by '/' or '-'. A part that does not read is left
// empty, and so is every part after it.
struct CalendarDate {
  std::optional<std::int64_t> year;
  std::optional<std::int64_t> month;
  std::optional<std::int64_t> day;

  bool complete() const { return year && month && day; }
};

// A calendar day whose year, month and day all read, for ordering and comparing days.
struct Day {
  std::int64_t year = 0;
  std::int64_t month = 0;
  std::int64_t day = 0;

  friend auto operator<=>(const Day&, const Day&) = default;
};

// True for a day the calendar has, in the years a trade can bear: 1900 to 2199, a month
// of 1 to 12, and a day its month has (29 February in leap years only).
// Inline: every step of a run asks for the day of the row in hand.
inline bool isCalendarDay(const Day& day) {
  if (day.year < 1900 || day.year > 2199 || day.month < 1 || day.month > 12) return false;
  const bool leap = (day.year % 4 == 0 && day.year % 100 != 0) || day.year % 400 == 0;
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int last = kDays[day.month - 1] + (day.month == 2 && leap ? 1 : 0);
  return day.day >= 1 && day.day <= last;
}

// The day of a date that the calendar has; none when a part does not read, or the numbers
// name no day (2024/13/45, 2023/02/29): such a date orders nothing, splits nothing and
// belongs to no tax year.
inline std::optional<Day> dayOf(const CalendarDate& date) {
  if (!date.complete()) return std::nullopt;
  const Day day{*date.year, *date.month, *date.day};
  if (!isCalendarDay(day)) return std::nullopt;
  return day;
}

// A day written year/month/day (or with '-'), with nothing but blanks around it, that the
// calendar has. For dates a person types, where a slip must not pass as another date.
std::optional<Day> readDay(std::string_view text);

// When a trade was executed: its calendar date, and the time of day when " H:M" follows it.
struct ExecutionDate {
  CalendarDate date;
  std::optional<std::int32_t> minuteOfDay;
  // The day and the time packed to compare in one word, as ExecutionDateReader works them
  // out: the day it has read once stands for every row of it, where checking the calendar
  // and comparing three optional numbers cost a log 60 instructions a row. 0 when undated.
  std::uint64_t order = 0;

  // True when its date is a day the calendar has: only such a date places a trade in time.
  bool dated() const { return order != 0; }
};

CalendarDate readCalendarDate(std::string_view text);

// Reads execution dates, the calendar date and the time of day after it, remembering the
// last day it read: the rows of a log come in runs of one day, and a day written as the
// last one was is not read again; only the time after it is.
class ExecutionDateReader {
 public:
  ExecutionDate read(std::string_view text);

 private:
  ExecutionDate dated(const CalendarDate& date, std::optional<std::int32_t> minuteOfDay) const;

  std::string lastDay_;  // the text before the first space, which the date took whole
  CalendarDate lastDate_;
  std::uint64_t lastDayOrder_ = 0;  // the day's part of ExecutionDate::order
};

// True when `a` was executed before `b`; both must be dated. A date without a time is
// earlier than no time of its own day, nor later: brokers leave the time out of some
// exports, and such a row cannot be placed within its day.
bool executedBefore(const ExecutionDate& a, const ExecutionDate& b);

}  // namespace tradepl
