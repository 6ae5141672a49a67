// The shared rules: ability slots, money, experience, abbreviations, random
// ranges and the game's date and time words.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

#include "database/records/record_rules.h"
#include "platform/random.h"

namespace torvex {
namespace {

TEST(AbilitySlotTest, HasAbilityLooksOnlyUpToLastIndex) {
  const std::array<uint16_t, 10> numbers{0, 0, 12, 0, 0, 0, 0, 12, 0, 99};
  EXPECT_TRUE(HasAbility(12, numbers, 9));
  EXPECT_TRUE(HasAbility(12, numbers, 2));
  EXPECT_FALSE(HasAbility(12, numbers, 1));
  EXPECT_FALSE(HasAbility(12, numbers, -1));
  EXPECT_TRUE(HasAbility(99, numbers, 9));
  EXPECT_FALSE(HasAbility(99, numbers, 8));
  // A last index beyond the slots stops at the last slot.
  EXPECT_TRUE(HasAbility(99, numbers, 500));
  EXPECT_FALSE(HasAbility(7, numbers, 500));
}

TEST(AbilitySlotTest, AbilityValueTakesTheLastSlotHoldingTheAbility) {
  const std::array<uint16_t, 10> numbers{0, 0, 12, 0, 0, 0, 0, 12, 0, 0};
  const std::array<int16_t, 10> values{0, 0, 5, 0, 0, 0, 0, -9, 0, 0};
  EXPECT_EQ(-9, AbilityValue(12, numbers, 9, values));
  EXPECT_EQ(5, AbilityValue(12, numbers, 6, values));
  EXPECT_EQ(0, AbilityValue(12, numbers, 1, values));
  EXPECT_EQ(0, AbilityValue(12, numbers, -1, values));
  EXPECT_EQ(0, AbilityValue(13, numbers, 9, values));
  // Fewer values than numbers: only slots with both are examined.
  EXPECT_EQ(5, AbilityValue(12, numbers, 9, std::span<const int16_t>(values).first(7)));
}

TEST(MoneyTextTest, Amounts) {
  const struct {
    uint64_t amount;
    const char* text;
  } cases[] = {
      {0, "nothing"},
      {1, "1 copper farthing"},
      {2, "2 copper farthings"},
      {10, "1 silver noble"},
      {11, "1 silver noble, 1 copper farthing"},
      {100, "1 gold crown"},
      {10000, "1 platinum piece"},
      {1000000, "1 runic coin"},
      {1000001, "1 runic coin, 1 copper farthing"},
      {1234567,
       "1 runic coin, 23 platinum pieces, 45 gold crowns, 6 silver nobles, 7 copper "
       "farthings"},
      {4294967295u,
       "4294 runic coins, 96 platinum pieces, 72 gold crowns, 9 silver nobles, 5 "
       "copper farthings"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, MoneyText(c.amount)) << "amount " << c.amount;
}

TEST(ConsolidateCoinsTest, Passes) {
  struct Coins {
    uint32_t runic, platinum, gold, copper, silver;
    bool operator==(const Coins&) const = default;
  };
  const struct {
    Coins in, out;
  } cases[] = {
      {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
      // Strictly greater: the exact thresholds stay.
      {{0, 0, 0, 10, 0}, {0, 0, 0, 10, 0}},
      {{0, 0, 100, 0, 0}, {0, 0, 100, 0, 0}},
      {{0, 100, 0, 0, 0}, {0, 100, 0, 0, 0}},
      {{0, 0, 0, 0, 10}, {0, 0, 0, 0, 10}},
      {{0, 0, 0, 11, 0}, {0, 0, 0, 1, 1}},
      {{0, 0, 0, 1000001, 0}, {1, 0, 0, 1, 0}},
      // Each pass works on what the earlier ones left.
      {{0, 0, 0, 1000000, 0}, {0, 99, 99, 10, 9}},
      {{0, 0, 0, 0, 11}, {0, 0, 1, 0, 1}},
      {{0, 0, 101, 0, 0}, {0, 1, 1, 0, 0}},
      {{0, 101, 0, 0, 0}, {1, 1, 0, 0, 0}},
      {{0, 0, 0, 105, 10}, {0, 0, 1, 5, 10}},
      // Silver made from copper carries on into gold in the same call.
      {{0, 0, 0, 20, 10}, {0, 0, 1, 10, 1}},
      // A pass moves at most 5000 coins; the gold they make moves on.
      {{0, 0, 0, 0, 60000}, {0, 49, 100, 0, 10000}},
      {{0, 0, 0, 0, 50010}, {0, 49, 100, 0, 10}},
  };
  for (const auto& c : cases) {
    Coins coins = c.in;
    ConsolidateCoins(coins.runic, coins.platinum, coins.gold, coins.copper, coins.silver);
    EXPECT_TRUE(coins == c.out) << "in r" << c.in.runic << " p" << c.in.platinum << " g"
                                << c.in.gold << " c" << c.in.copper << " s" << c.in.silver
                                << " -> r" << coins.runic << " p" << coins.platinum << " g"
                                << coins.gold << " c" << coins.copper << " s" << coins.silver;
  }
}

TEST(ExpForLevelTest, Levels) {
  // Values from an independent model of the table with 32-bit wrapping.
  const struct {
    int32_t level, expPercent;
    uint64_t exp;
  } cases[] = {
      {-5, 100, 0},
      {0, 100, 0},
      {1, 100, 0},
      {1, 999, 0},
      {2, 100, 1000},
      {3, 100, 2000},
      {4, 100, 3666},
      {10, 100, 81123},
      {26, 100, 9437226},
      {27, 100, 10852809},
      {55, 100, 543348700},
      {58, 100, 703652200},
      {80, 100, 5472365900ull},
      {100, 100, 41907129400ull},
      {150, 100, 110389803708ull},
      {255, 100, 282973380824ull},
      {4, 250, 9166},
      {100, 250, 47782961264ull},
      {5, -1, 6229946100ull},
      {65535, 100, 88247400216076ull},
      // Beyond the 16-bit level range the last level counts.
      {2000000000, 100, 88247400216076ull},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.exp, ExpForLevel(c.level, c.expPercent))
        << "level " << c.level << " percent " << c.expPercent;
}

TEST(PrefixMatchesTest, Cases) {
  const struct {
    const char* abbreviation;
    const char* word;
    bool matches;
  } cases[] = {
      {"n", "north", true},     {"NOR", "north", true},
      {"north", "NORTH", true}, {"northe", "north", false},
      {"s", "north", false},    {"", "north", true},
      {"", "", true},           {"a", "", false},
      {"nx", "north", false},   {"\x8E", "\x84", false},  // case folding is ASCII only
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.matches, PrefixMatches(c.abbreviation, c.word))
        << "'" << c.abbreviation << "' / '" << c.word << "'";
}

TEST(RandomRangeTest, DegenerateRangesDoNotDraw) {
  ProgramRandom().SetSeed(1234);
  EXPECT_EQ(0, RandomRange(5, 0));
  EXPECT_EQ(7, RandomRange(7, 7));
  EXPECT_EQ(9, RandomRange(9, 3));
  EXPECT_EQ(-4, RandomRange(-4, -6));
  EXPECT_EQ(1234u, ProgramRandom().Seed());
}

TEST(RandomRangeTest, DrawsFromTheProgramGeneratorWithinTheRange) {
  ProgramRandom().SetSeed(42);
  Random twin(42);
  std::set<int32_t> seen;
  for (int i = 0; i < 400; ++i) {
    const int32_t value = RandomRange(3, 8);
    EXPECT_EQ(static_cast<int32_t>(3 + twin.Next(5)), value);
    ASSERT_GE(value, 3);
    ASSERT_LT(value, 8);
    seen.insert(value);
  }
  EXPECT_EQ(5u, seen.size());
  // The whole 32-bit span, with a negative low end.
  for (int i = 0; i < 100; ++i) {
    const int32_t value = RandomRange(-2000000000, 2000000000);
    ASSERT_GE(value, -2000000000);
    ASSERT_LT(value, 2000000000);
  }
  for (int i = 0; i < 20; ++i) EXPECT_EQ(-3, RandomRange(-3, -2));
}

}  // namespace
}  // namespace torvex
