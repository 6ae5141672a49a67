#include "simulators/rules.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace torvex
