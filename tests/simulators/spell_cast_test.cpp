#include "simulators/spell_cast.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/simulators/spell_test_records.h"

namespace torvex {
namespace {

using namespace testing;  // the records' constants
using Lines = std::vector<std::string>;

class SpellCastTest : public SpellFilesTest {
 protected:
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
  // D - trunc(D * (MR held to 75, AntiMagic to 100, - 50) / 100): 100 at MR 200
  // is 75 or, AntiMagic, 50; 50 at MR 30 is 50 + 10; -7 at 75 is -7 - trunc(-1.75).
  // A spell costing nothing without a follow-on empties the pool after its cast.
  // Auto-combat at a target outside its list: the foreword, no cast, no cost.
  const SpellShape outside = {.target = 1, .energy = 300, .abilities = {120, kForewordMessage}};
  const struct {
    int16_t damage;
    int32_t mr;
    bool antiMagic;
    const char* line;  // "" for none
    SpellShape spell = {};
    int32_t energy = 0;
  } cases[] = {
      {100, 200, false, "|12practice dummy takes 75 damage"},
      {100, 200, true, "|12practice dummy takes 50 damage"},
      {50, 30, false, "|12practice dummy takes 60 damage"},
      {-7, 75, false, "|12practice dummy takes -6 damage"},
      {100, 200, true, "|12practice dummy takes 100 damage", {.abilities = {144, 1}}},
      {100, 200, false, "|12Zap hurls at practice dummy for 75", {.message = kHurlsMessage}},
      {9, 50, false, "", {.message = 999}},          // no such message
      {9, 50, false, "", {.type = 1, .energy = 5}},  // neither type
      {9, 50, false, "|12practice dummy braces", outside, 1000},
  };
  for (const auto& c : cases) {
    SpellShape spell = c.spell;
    spell.minimum = spell.maximum = c.damage;
    EXPECT_EQ(Cast(spell, c.mr, c.antiMagic), CastEnd::kFinished);
    EXPECT_EQ(lines, *c.line ? Lines{c.line} : Lines{}) << c.damage << " at " << c.mr;
    EXPECT_EQ(energy, c.energy) << c.damage << " at " << c.mr;
  }
  const uint32_t seed = random.Seed();  // energy short of the cost: no draw, no line
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
    Cast({.energy = 10, .minimum = 100, .maximum = 105, .abilities = {151, 0, 164, chance}});
    Lines expected = {"|12practice dummy takes 103 damage"};
    if (chance == 60) expected.push_back("|12spell 103 at practice dummy");
    EXPECT_EQ(lines, expected) << chance;
    EXPECT_EQ(energy, chance == 60 ? 0 : 990) << chance;
  }
}

TEST_F(SpellCastTest, FollowOnLoopWithoutCostIsBounded) {
  Spells({{.number = 40, .abilities = {151, 40}}});
  EXPECT_EQ(Cast({.number = 40, .abilities = {151, 40}}), CastEnd::kBounded);
  ASSERT_EQ(lines.size(), size_t{kChainBound} + 1);
  EXPECT_EQ(lines[0], "|12practice dummy takes 0 damage");
  EXPECT_EQ(lines.back(), NoticeOfBound("Follow-on casts"));
  EXPECT_EQ(energy, 1000);
}

TEST_F(SpellCastTest, GeneralSpellsByTargetGroup) {
  // D = 40, at MR 75 resisted to 40 - trunc(40 * 25 / 100) = 30. Text block 0 runs as block D;
  // monster 77 does not exist.
  const Lines cast = {"|11practice dummy braces", "|11practice dummy takes 40 damage"};
  const std::string drained = "|11<no name> feels drained";
  const std::string hound = "|14bog-hound|02 arrives from nowhere";
  SpellShape spell = {.type = 3, .energy = 600, .minimum = 40, .maximum = 40};
  spell.abilities = {
      120, kForewordMessage, 148, 0, 115, kForewordMessage, 12, kHound, 12, 77, 148, 7, 140, 0, 141,
      3};
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
    spell.target = c.target;
    Cast(spell, 75, false, &result);
    EXPECT_EQ(lines, c.lines) << c.target;
    EXPECT_EQ(blocks, c.blocks) << c.target;
    EXPECT_EQ(energy, c.energy) << c.target;
    // Only a cast that went ahead fills the result: 141 -> first, 140 value 0 -> D.
    EXPECT_EQ(std::pair(result.first, result.second),
              std::pair(c.energy ? 3 : 0, c.energy ? 40 : 0))
        << c.target;
  }
  SetTextBlockRunner(nullptr);
}

TEST_F(SpellCastTest, EffectOnThePlayer) {
  SpellShape eight = {.number = 8, .minimum = 10, .maximum = 20};
  eight.abilities = {120, kForewordMessage, 140, 0,      141, 6,
                     115, kForewordMessage, 12,  kHound, 95,  1};
  Spells({eight, {.number = 9, .target = 2, .minimum = 3, .maximum = 3, .message = kHurlsMessage}});
  // Seed 77: s1 = 1787803010, * 10 / 2^32 = 4.16 -> D = 10 + 4 = 14; MR 30:
  // 14 - trunc(14 * -20 / 100) = 16. The foreword is written unfilled.
  random.SetSeed(77);
  int32_t first = 0, second = 0;
  SpellEffectOnPlayer(8, 30, 1, first, second, random, out);
  EXPECT_EQ(lines,
            (Lines{"|00|12%s braces", "|12<no name> takes 16 damage",
                   "|00|12<no name> feels drained", "|14bog-hound|02 arrives from nowhere",
                   "|12You have been killed!", "|07But, due to a miracle, you have been saved."}));
  EXPECT_EQ(std::pair(first, second), std::pair(6, 14));
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
