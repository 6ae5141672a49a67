// The damage of a spell at a level, at the edges of each of its three forms.
#include "simulators/spell_rules.h"

#include <gtest/gtest.h>

#include <limits>

namespace torvex::testing {
namespace {

constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();

struct DamageCase {
  const char* what;
  int16_t base;
  uint8_t increment, step, cap;
  int32_t level;
  int32_t expected;
};

TEST(SpellRulesTest, DamageAtLevel) {
  // clang-format off
  const DamageCase cases[] = {
      {"stepped, capped",                    10,   2,   5,  20,  50,  18},
      {"stepped, level at the cap",          10,   2,   5,  20,  20,  18},
      {"stepped, below the cap",             10,   2,   5,  20,  19,  16},
      {"stepped, no cap",                    10,   2,   5,   0,  50,  30},
      {"stepped, short of the first step",   10,   2,   5,   0,   4,  10},
      {"stepped, divides before multiplying", 0,   3,   2,   0,  65,  96},
      {"stepped, increment 0",               10,   0,   5,   0,  50,  10},
      {"stepped, level 0",                   -7,   9,   1,   0,   0,  -7},
      {"linear",                              1,   3,   0,   0,  10,  31},
      {"linear, capped",                      1,   3,   0,   4,  10,  13},
      {"linear, cap above the level",         1,   3,   0, 255,  10,  31},
      {"linear, negative base",          -32768, 255,   0,   0,   1, -32513},
      {"flat",                              500,   0,   0,   0,  99, 500},
      {"flat, cap ignored",                  -1,   0,   0,   1,  99,  -1},
      {"negative level, stepped",             0,   2,   3,   0,  -7,  -4},
      {"negative level, linear",              5,   1,   0,  10,  -7,  -2},
      {"largest stepped",                 32767, 255,   1,   0, kMax32, kMax32},
      {"largest linear",                  32767, 255,   0,   0, kMax32, kMax32},
      {"largest linear, capped",          32767, 255,   0, 255, kMax32, 32767 + 255 * 255},
      {"smallest linear",                -32768, 255,   0,   0, kMin32, kMin32},
      {"smallest stepped",               -32768, 255,   1,   0, kMin32, kMin32},
      {"step 255 at level 254",             100, 255, 255,   0, 254, 100},
      {"step 255 at level 255",             100, 255, 255,   0, 255, 355},
  };
  // clang-format on
  for (const DamageCase& c : cases) {
    EXPECT_EQ(DamageAtLevel(c.base, c.increment, c.step, c.cap, c.level), c.expected) << c.what;
  }
}

TEST(SpellRulesTest, EachEndReadsItsOwnFields) {
  SpellRecord spell;
  spell.setMinValue(2);
  spell.setMinIncrement(1);
  spell.setMinLevelStep(2);
  spell.setMaxValue(10);
  spell.setMaxIncrement(4);
  spell.setMaxLevelStep(0);
  spell.setMaxLevel(30);
  EXPECT_EQ(MinimumDamageAt(spell, 9), 2 + 4);
  EXPECT_EQ(MaximumDamageAt(spell, 9), 10 + 36);
  EXPECT_EQ(MinimumDamageAt(spell, 100), 2 + 15);  // held to level 30
  EXPECT_EQ(MaximumDamageAt(spell, 100), 10 + 120);
}

TEST(SpellRulesTest, ZeroedSpellDoesNothing) {
  const SpellRecord spell;
  EXPECT_EQ(MinimumDamageAt(spell, 65), 0);
  EXPECT_EQ(MaximumDamageAt(spell, kMax32), 0);
}

}  // namespace
}  // namespace torvex::testing
