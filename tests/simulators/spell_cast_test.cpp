#include "simulators/spell_cast.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/simulators/spell_test_records.h"

namespace torvex {
namespace {

using testing::kForewordMessage;
using testing::kHound;
using testing::SpellShape;
using Lines = std::vector<std::string>;

TEST(ResistanceTest, FormulaAtItsEdges) {
  // damage - trunc(damage * m / 100) with m = mr - 50 held to at most 100.
  const struct {
    int64_t damage, mr, left;
  } cases[] = {
      {50, 30, 60},    // m = -20: resistance below 50 raises the damage
      {7, 75, 6},      // 7 - trunc(1.75)
      {-7, 75, -6},    // -7 - trunc(-1.75): towards zero
      {100, 9000, 0},  // m held to 100
      // m = -2147483698: 32767 + trunc(703665983323.66), no overflow in 64 bits.
      {32767, INT32_MIN, 703666016090},
  };
  for (const auto& c : cases) EXPECT_EQ(ResistedDamage(c.damage, c.mr), c.left) << c.mr;
  EXPECT_EQ(EffectiveResistance(-5, true), -5);
}

class SpellCastTest : public testing::SpellFilesTest {
 protected:
  void TearDown() override {
    SetTextBlockRunner(nullptr);
    SpellFilesTest::TearDown();
  }
  CastEnd Cast(const SpellShape& shape, int32_t mr = 50, bool antiMagic = false,
               CastResult* result = nullptr, int32_t start = 1000) {
    lines.clear();
    energy = start;
    return CastSpell(MakeSpell(shape), energy, mr, 1, antiMagic, result, random, out, {});
  }

  int32_t energy = 0;
  Random random{2024};
  Lines lines;
  RulesOutput out = [this](std::string_view line) { lines.emplace_back(line); };
};

TEST_F(SpellCastTest, OneCastByResistanceMessageAndType) {
  // D = 100 at MR 200: capped at 75 (100 - 25) or, AntiMagic, at 100 (100 - 50).
  // A spell costing nothing without a follow-on empties the pool after its cast.
  const std::vector<std::pair<uint16_t, int16_t>> foreword = {{120, kForewordMessage}};
  const struct {
    SpellShape spell;
    int32_t mr;
    bool antiMagic;
    Lines lines;
    int32_t energy;
  } cases[] = {
      {{.minimum = 100, .maximum = 100}, 200, false, {"|12practice dummy takes 75 damage"}, 0},
      {{.minimum = 100, .maximum = 100}, 200, true, {"|12practice dummy takes 50 damage"}, 0},
      {{.minimum = 50, .maximum = 50}, 30, false, {"|12practice dummy takes 60 damage"}, 0},
      {{.minimum = 100, .maximum = 100, .abilities = {{144, 1}}},  // ignores MR
       200,
       true,
       {"|12practice dummy takes 100 damage"},
       0},
      {{.minimum = 100, .maximum = 100, .message = testing::kHurlsMessage},
       200,
       false,
       {"|12Zap hurls at practice dummy for 75"},
       0},
      {{.message = 999}, 50, false, {}, 0},          // no such message: no line
      {{.type = 1, .energy = 5}, 50, false, {}, 0},  // neither type: the pool emptied
      // Auto-combat at a target outside its list: the foreword, no cast, no cost.
      {{.target = 1, .energy = 300, .abilities = foreword},
       50,
       false,
       {"|12practice dummy braces"},
       1000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cast(c.spell, c.mr, c.antiMagic), CastEnd::kFinished);
    EXPECT_EQ(lines, c.lines) << c.mr << " " << c.antiMagic;
    EXPECT_EQ(energy, c.energy) << c.mr << " " << c.antiMagic;
  }
  // Energy short of the cost: no draw, no line.
  const uint32_t seed = random.Seed();
  Cast({.energy = 300, .minimum = 10, .maximum = 12}, 50, false, nullptr, 299);
  EXPECT_EQ(lines, Lines{});
  EXPECT_EQ(random.Seed(), seed);
}

TEST_F(SpellCastTest, FollowOnNumberedByTheDamage) {
  std::vector<SpellShape> spells;
  for (uint16_t n = 100; n <= 105; ++n) spells.push_back({.number = n, .message = n});
  Spells(spells);
  // Seed 123456789: s1 = 2335298922, * 6 / 2^32 = 3.26 -> D = 100 + 3 = 103;
  // s2 = 1699992339, * 99 / 2^32 = 39.18 -> roll 40. Chance 60 > 40 follows
  // (spell 103 costs nothing: the pool emptied); chance 40 <= 40 does not.
  for (const int16_t chance : {60, 40}) {
    random.SetSeed(123456789);
    Cast({.number = 31,
          .energy = 10,
          .minimum = 100,
          .maximum = 105,
          .abilities = {{151, 0}, {164, chance}}});
    Lines expected = {"|12practice dummy takes 103 damage"};
    if (chance == 60) expected.push_back("|12spell 103 at practice dummy");
    EXPECT_EQ(lines, expected) << chance;
    EXPECT_EQ(energy, chance == 60 ? 0 : 990) << chance;
  }
}

TEST_F(SpellCastTest, FollowOnLoopWithoutCostIsBounded) {
  Spells({{.number = 40, .abilities = {{151, 40}}}});
  EXPECT_EQ(Cast({.number = 40, .abilities = {{151, 40}}}), CastEnd::kBounded);
  ASSERT_EQ(lines.size(), size_t{kChainBound} + 1);
  EXPECT_EQ(lines[0], "|12practice dummy takes 0 damage");
  EXPECT_EQ(lines.back(), NoticeOfBound("Follow-on casts"));
  EXPECT_EQ(energy, 1000);
}

TEST_F(SpellCastTest, GeneralSpellsByTargetGroup) {
  // D = 40; resisted at MR 75: 40 - trunc(40 * 25 / 100) = 30. Text block 0 runs as block D.
  const Lines cast = {"|11practice dummy braces", "|11practice dummy takes 40 damage"};
  const std::string drained = "|11<no name> feels drained";
  const std::string hound = "|14bog-hound|02 arrives from nowhere";
  const struct {
    uint16_t target;
    Lines lines;
    std::vector<uint32_t> blocks;
    int32_t energy;
  } cases[] = {
      {1, {cast[0], cast[1], drained, hound}, {40, 7}, 400},
      {6, {cast[0], cast[1], drained, hound}, {40, 7}, 400},
      {4, {cast[0], "|11practice dummy takes 30 damage"}, {40, 7}, 400},
      {12, cast, {}, 400},
      {13, {cast[0], cast[1], drained}, {}, 400},
      {5, {cast[0]}, {}, 0},
      {14, {cast[0]}, {}, 0},
  };
  for (const auto& c : cases) {
    std::vector<uint32_t> blocks;
    SetTextBlockRunner([&](uint32_t block, CastResult* result, const RulesOutput&) {
      blocks.push_back(block);
      EXPECT_NE(result, nullptr);
    });
    CastResult result;
    Cast({.type = 3,
          .target = c.target,
          .energy = 600,
          .minimum = 40,
          .maximum = 40,
          .abilities = {{120, kForewordMessage},
                        {148, 0},
                        {115, kForewordMessage},
                        {12, kHound},
                        {12, 77},  // no such monster
                        {148, 7},
                        {140, 0},
                        {141, 3}}},
         75, false, &result);
    EXPECT_EQ(lines, c.lines) << c.target;
    EXPECT_EQ(blocks, c.blocks) << c.target;
    EXPECT_EQ(energy, c.energy) << c.target;
    // Only a cast that went ahead fills the result: 140 value 0 gives D.
    EXPECT_EQ(std::pair(result.first, result.second),
              std::pair(c.energy ? 3 : 0, c.energy ? 40 : 0))
        << c.target;
  }
}

TEST_F(SpellCastTest, EffectOnThePlayer) {
  Spells(
      {{.number = 8,
        .minimum = 10,
        .maximum = 20,
        .abilities = {{120, kForewordMessage},
                      {140, 0},
                      {141, 6},
                      {115, kForewordMessage},
                      {12, kHound},
                      {95, 1}}},
       {.number = 9, .target = 2, .minimum = 3, .maximum = 3, .message = testing::kHurlsMessage}});
  // Seed 77: s1 = 1787803010, * 10 / 2^32 = 4.16 -> D = 10 + 4 = 14; MR 30:
  // 14 - trunc(14 * -20 / 100) = 16. The foreword is written unfilled.
  random.SetSeed(77);
  int32_t first = 0, second = 0;
  SpellEffectOnPlayer(8, 30, 1, first, second, random, out);
  EXPECT_EQ(lines,
            (Lines{"|00|12%s braces", "|12<no name> takes 16 damage",
                   "|00|12<no name> feels drained", "|14bog-hound|02 arrives from nowhere",
                   "|12You have been killed!", "|07But, due to a miracle, you have been saved."}));
  EXPECT_EQ(first, 6);
  EXPECT_EQ(second, 14);
  lines.clear();
  SpellEffectOnPlayer(9, 50, 1, first, second, random, out);  // Random(0): 3 + 0
  EXPECT_EQ(lines, Lines{"|00|11Zap hurls at <no name> for 3"});
  lines.clear();
  const uint32_t seed = random.Seed();
  SpellEffectOnPlayer(4, 50, 1, first, second, random, out);  // no such spell: no draw
  EXPECT_EQ(lines, Lines{});
  EXPECT_EQ(random.Seed(), seed);
}

}  // namespace
}  // namespace torvex
