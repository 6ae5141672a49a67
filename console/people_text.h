// Dates, times and numbers written for people to read, in the user's locale:
// the month's abbreviation upper-cased, a 12-hour clock, digits grouped in
// thousands. Where the locale has no text of its own the C locale's is used
// (English month abbreviations, "," between thousands).
#pragma once

#include <cstdint>
#include <string>

namespace torvex {

// An MS-DOS packed date as "MMM-DD-YYYY" ("JAN-01-1980" for 0); fields out of
// range are read as UnpackDate reads them.
std::string DateText(uint16_t packedDate);

// An MS-DOS packed time on a 12-hour clock, "HH:MM:SS AM": hours from 12 on are
// PM, hours above 12 lose 12, so 0 is "00 AM" and 12 is "12 PM".
std::string TimeText(uint16_t packedTime);

// The month abbreviation (1..12; anything else is taken as 1 or 12) of the
// locale, upper-cased.
std::string MonthAbbreviation(int month);

// `value` in decimal with the locale's thousands separator between groups of
// three digits ("###,##0"): 4294967310 is "4,294,967,310".
std::string GroupedNumber(int64_t value);
std::string GroupedNumber(unsigned __int128 value);

}  // namespace torvex
