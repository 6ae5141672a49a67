#include "console/text_values.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace torvex {
namespace {

TEST(TextValuesTest, WholeNumbersOnlyWithinTheirType) {
  const struct {
    const char* text;
    std::optional<int64_t> integer;
    std::optional<int32_t> decimal;
  } cases[] = {{"42", 42, 42},
               {"-7", -7, -7},
               {"+3", 3, 3},
               {"", {}, {}},
               {"-", {}, {}},
               {"4x", {}, {}},
               {" 4", {}, {}},
               {"+-3", {}, {}},
               {"2147483648", 2147483648, {}},
               {"-2147483648", INT32_MIN, INT32_MIN},
               {"-9223372036854775808", INT64_MIN, {}},
               {"9223372036854775808", {}, {}}};
  for (const auto& c : cases) {
    EXPECT_EQ(ParseInteger(c.text), c.integer) << c.text;
    EXPECT_EQ(ParseDecimal(c.text), c.decimal) << c.text;
  }
}

TEST(TextValuesTest, TrueFalseOrANumber) {
  const struct {
    const char* text;
    std::optional<bool> value;
  } cases[] = {{"True", true}, {"false", false}, {"TRUE", true}, {"0", false},  {"-3", true},
               {"1", true},    {"", {}},         {"yes", {}},    {"Truex", {}}, {" 1", {}}};
  for (const auto& c : cases) EXPECT_EQ(ParseBoolean(c.text), c.value) << c.text;
  EXPECT_TRUE(SameTextIgnoringCase("AntiMagic", "aNTImAGIC"));
  EXPECT_FALSE(SameTextIgnoringCase("abc", "abcd"));
}

}  // namespace
}  // namespace torvex
