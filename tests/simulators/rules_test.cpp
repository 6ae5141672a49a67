#include "simulators/rules.h"

#include <gtest/gtest.h>

#include "simulators/simulator_screen.h"

namespace torvex {
namespace {

TEST(RollTest, AnEmptyRangeStillStepsTheGenerator) {
  for (int64_t n : {int64_t{0}, int64_t{-5}}) {
    Random a(1234), b(1234);
    EXPECT_EQ(Roll(a, n), 0) << n;
    b.Next(7);
    EXPECT_EQ(a.Seed(), b.Seed()) << n;
  }
  Random a(99), b(99);
  EXPECT_EQ(Roll(a, 6), int64_t{b.Next(6)});
}

TEST(ParseDecimalTest, OnlyWholeNumbersInThirtyTwoBits) {
  const struct {
    const char* text;
    std::optional<int32_t> value;
  } cases[] = {{"42", 42},
               {"-7", -7},
               {"+3", 3},
               {"", std::nullopt},
               {"4x", std::nullopt},
               {" 4", std::nullopt},
               {"+-3", std::nullopt},
               {"2147483648", std::nullopt},
               {"-2147483648", INT32_MIN}};
  for (const auto& c : cases) EXPECT_EQ(ParseDecimal(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace torvex
