// Dates, times and numbers as people read them, in the C locale the tests run
// in (English month abbreviations, "," between thousands).
#include "console/people_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace torvex {
namespace {

uint16_t PackDate(int year, int month, int day) {
  return static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
}
uint16_t PackTime(int hour, int minute, int second) {
  return static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
}

TEST(PeopleTextTest, Dates) {
  struct Case {
    uint16_t packed;
    const char* text;
  } cases[] = {
      {0, "JAN-01-1980"},                       // day and month 0 read as 1
      {PackDate(2024, 12, 31), "DEC-31-2024"},  // upper-cased abbreviation
      {PackDate(2107, 15, 9), "DEC-09-2107"},   // month above 12 read as 12
  };
  for (const Case& c : cases) EXPECT_EQ(DateText(c.packed), c.text) << c.packed;
}

TEST(PeopleTextTest, TwelveHourTimes) {
  struct Case {
    uint16_t packed;
    const char* text;
  } cases[] = {
      {0, "00:00:00 AM"},
      {PackTime(11, 59, 58), "11:59:58 AM"},
      {PackTime(12, 5, 0), "12:05:00 PM"},
      {PackTime(13, 0, 2), "01:00:02 PM"},
      {0xFFFF, "11:59:59 PM"},  // hour 31, minute 63, second 62 capped
  };
  for (const Case& c : cases) EXPECT_EQ(TimeText(c.packed), c.text) << c.packed;
}

TEST(PeopleTextTest, GroupedNumbers) {
  EXPECT_EQ(GroupedNumber(int64_t{0}), "0");
  EXPECT_EQ(GroupedNumber(int64_t{999}), "999");
  EXPECT_EQ(GroupedNumber(int64_t{1000}), "1,000");
  EXPECT_EQ(GroupedNumber(int64_t{-1234567}), "-1,234,567");
  EXPECT_EQ(GroupedNumber(std::numeric_limits<int64_t>::min()), "-9,223,372,036,854,775,808");
  EXPECT_EQ(GroupedNumber(static_cast<unsigned __int128>(4294967310u)), "4,294,967,310");
  // Past 64 bits: 2^64 + 5.
  EXPECT_EQ(GroupedNumber((static_cast<unsigned __int128>(1) << 64) + 5),
            "18,446,744,073,709,551,621");
}

}  // namespace
}  // namespace torvex
