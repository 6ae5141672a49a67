#include "console/people_text.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cctype>

#include "console/colour_text.h"
#include "console/format.h"

namespace torvex {
namespace {

constexpr const char* kCMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr nl_item kMonthItems[] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,  ABMON_5,  ABMON_6,
                                   ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string ThousandsSeparator() {
  const struct lconv* conv = localeconv();
  if (conv == nullptr || conv->thousands_sep == nullptr || *conv->thousands_sep == '\0') {
    return ",";
  }
  return conv->thousands_sep;
}

std::string Group(const std::string& digits, bool negative) {
  const std::string separator = ThousandsSeparator();
  std::string out;
  const size_t n = digits.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

}  // namespace

std::string MonthAbbreviation(int month) {
  const int index = std::clamp(month, 1, 12) - 1;
  const char* text = nl_langinfo(kMonthItems[index]);
  if (text == nullptr || *text == '\0') text = kCMonths[index];
  return Upper(text);
}

std::string DateText(uint16_t packedDate) {
  uint16_t year = 0, month = 0, day = 0;
  UnpackDate(packedDate, &year, &month, &day);
  return Format("%s-%.2d-%.4d", MonthAbbreviation(month).c_str(), day, year);
}

std::string TimeText(uint16_t packedTime) {
  uint16_t hour = 0, minute = 0, second = 0;
  UnpackTime(packedTime, &hour, &minute, &second);
  const bool pm = hour >= 12;
  if (hour > 12) hour = static_cast<uint16_t>(hour - 12);
  return Format("%.2d:%.2d:%.2d %s", hour, minute, second, pm ? "PM" : "AM");
}

std::string GroupedNumber(int64_t value) {
  const bool negative = value < 0;
  // The magnitude of INT64_MIN does not fit in int64_t.
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : value;
  return Group(std::to_string(magnitude), negative);
}

std::string GroupedNumber(unsigned __int128 value) {
  std::string digits;
  do {
    digits += static_cast<char>('0' + static_cast<int>(value % 10));
    value /= 10;
  } while (value != 0);
  std::reverse(digits.begin(), digits.end());
  return Group(digits, false);
}

}  // namespace torvex
