#include "records/dates.hpp"

#include <gtest/gtest.h>

#include <string>

namespace tradepl {
namespace {

std::string partsOf(const CalendarDate& date) {
  const auto part = [](const std::optional<std::int64_t>& value) {
    return value ? std::to_string(*value) : std::string();
  };
  return part(date.year) + "," + part(date.month) + "," + part(date.day);
}

struct DateCase {
  const char* text;
  const char* parts;  // year,month,day; empty where a part does not read
  int minuteOfDay;    // -1 for none

  friend void PrintTo(const DateCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }
};

class ReadExecutionDate : public ::testing::TestWithParam<DateCase> {};

TEST_P(ReadExecutionDate, ReadsYearMonthDayAndTheTimeAfterThem) {
  // The second time, the reader knows the day already and reads only the time after it.
  ExecutionDateReader reader;
  for (int time = 0; time < 2; ++time) {
    const ExecutionDate executed = reader.read(GetParam().text);
    EXPECT_EQ(partsOf(executed.date), GetParam().parts);
    EXPECT_EQ(executed.minuteOfDay.value_or(-1), GetParam().minuteOfDay);
  }
}

TEST(ExecutionDateReader, ReadsTheTimeOfEachRowOfADay) {
  ExecutionDateReader reader;
  EXPECT_EQ(reader.read("2014/09/04 11:48").minuteOfDay, 708);
  EXPECT_EQ(reader.read("2014/09/04 9:05").minuteOfDay, 545);
  EXPECT_EQ(reader.read("2014/09/04").minuteOfDay, std::nullopt);
  EXPECT_EQ(partsOf(reader.read("2014/09/05 9:05").date), "2014,9,5");
  // Texts that begin with the day before are other days.
  EXPECT_EQ(partsOf(reader.read("2014/09/051 9:05").date), "2014,9,51");
  reader.read("2014/09/05 9:05");
  EXPECT_EQ(reader.read("2014/09/05\t10:00").minuteOfDay, 600);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadExecutionDate,
    ::testing::Values(
        DateCase{"2014/09/04 11:48", "2014,9,4", 708}, DateCase{"2014/09/04", "2014,9,4", -1},
        DateCase{"2014-9-4 9:05", "2014,9,4", 545}, DateCase{" 2014/ 9/+4x", "2014,9,4", -1},
        DateCase{"2014/09/04 11", "2014,9,4", -1}, DateCase{"2014/09/04 23:59", "2014,9,4", 1439},
        DateCase{"2014/09/04 0:00", "2014,9,4", 0}, DateCase{"2014/09/04  9:05", "2014,9,4", 545},
        DateCase{"2014/09/04 25:99", "2014,9,4", -1}, DateCase{"2014/09/04 24:00", "2014,9,4", -1},
        DateCase{"2014/09/04 12:60", "2014,9,4", -1}, DateCase{"2014/09/04 -1:00", "2014,9,4", -1},
        DateCase{"2014/09", "2014,9,", -1}, DateCase{"2014.09.04", "2014,,", -1},
        DateCase{"H26/09/04", ",,", -1}, DateCase{"", ",,", -1},
        DateCase{"99999999999999999999/1/1", ",,", -1}));

TEST(ExecutionDate, IsDatedOnlyOnADayTheCalendarHas) {
  for (const auto& [text, dated] : {std::pair{"2024/02/29 10:00", true},
                                    std::pair{"1900/01/01", true}, std::pair{"2199/12/31", true},
                                    std::pair{"2023/02/29", false}, std::pair{"2024/13/45", false},
                                    std::pair{"9999/99/99", false}, std::pair{"0000/00/00", false},
                                    std::pair{"1899/12/31", false}, std::pair{"2024/7", false}}) {
    const ExecutionDate executed = ExecutionDateReader().read(text);
    EXPECT_EQ(executed.dated(), dated) << text;
    EXPECT_EQ(dayOf(executed.date).has_value(), dated) << text;
  }
}

struct OrderCase {
  const char* earlier;
  const char* later;
  bool before;  // whether the first counts as executed before the second
};

TEST(ExecutedBefore, OrdersByDayThenByTimeWhereBothHaveOne) {
  for (const OrderCase& c : {OrderCase{"2024/03/05 09:00", "2024/03/05 09:01", true},
                             OrderCase{"2024/03/05 15:00", "2024/03/06 09:00", true},
                             OrderCase{"2023/12/31", "2024/01/01", true},
                             OrderCase{"2024/03/05 09:01", "2024/03/05 09:00", false},
                             OrderCase{"2024/03/05 09:00", "2024/03/05 09:00", false},
                             OrderCase{"2024/03/05", "2024/03/05 09:00", false},
                             OrderCase{"2024/03/05 15:00", "2024/03/05", false}}) {
    ExecutionDateReader reader;
    const ExecutionDate earlier = reader.read(c.earlier);
    EXPECT_EQ(executedBefore(earlier, reader.read(c.later)), c.before)
        << c.earlier << " / " << c.later;
  }
}

}  // namespace
}  // namespace tradepl
