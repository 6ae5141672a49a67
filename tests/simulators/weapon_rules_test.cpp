// The weapon rules at their edges, and fixed-seed verbs and spell procs whose
// every draw was worked out by hand from the generator's definition:
// seed := seed * 134775813 + 1 (mod 2^32), Random(n) = (seed * n) >> 32.
#include "simulators/weapon_rules.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tests/database/record_files.h"
#include "tests/simulators/spell_test_records.h"

namespace torvex {
namespace {

TEST(WeaponRulesTest, WorkedExampleAndEnergyEdges) {
  // D = (3 * 1 + 45) * 200 * 1500 / 9000 = 1600; base 1000 * 1000 / 1600 =
  // 625; energy (0 / 2 + 75) * 625 / 100 = 468 (468.75 truncated).
  EXPECT_EQ(SwingDivisor(1, 1, 50), 1600);
  EXPECT_EQ(BaseEnergy(1000, 1600, 0, 50), 625);
  EXPECT_EQ(EnergyPerSwing(EncumbrancePercent(0, 100), 625), 468);
  // The strength penalty: ((required - strength) * 3 + 200) * 625 / 200.
  EXPECT_EQ(BaseEnergy(1000, 1600, 50, 50), 625);    // not above: none
  EXPECT_EQ(BaseEnergy(1000, 1600, 51, 50), 634);    // 203 * 625 / 200 = 634.375
  EXPECT_EQ(BaseEnergy(1000, 1600, 100, 50), 1093);  // 350 * 625 / 200 = 1093.75
  EXPECT_EQ(BaseEnergy(1000, 1600, 0, -40), 1000);   // 320 * 625 / 200
  // Damage: maximum + (strength - 50) / 10; minimum never lowered.
  EXPECT_EQ(MaximumDamage(20, 59), 20);
  EXPECT_EQ(MaximumDamage(20, 150), 30);
  EXPECT_EQ(MaximumDamage(20, 0), 15);
  EXPECT_EQ(MinimumDamage(5, 0), 5);
  EXPECT_EQ(MinimumDamage(5, 119), 6);
  // ((2^31 + 1) * 2^31 + 45) * (2^31 + 149) * 1500 / 9000 passes 2^63.
  EXPECT_EQ(SwingDivisor(INT32_MAX, INT32_MAX, INT32_MAX), INT64_MAX);
  EXPECT_EQ(EncumbrancePercent(INT32_MAX, 1), int64_t{INT32_MAX} * 100);
  EXPECT_EQ(EnergyPerSwing(INT64_MAX, INT64_MAX), INT64_MAX);
}

TEST(WeaponRulesTest, QuickAndDeadlyAroundItsLimits) {
  // v = 200 - energy + (agility - 50) / 10, at most 20; halved from 33 %.
  const struct {
    int64_t energy, percent, agility, crits;
    bool quick;
  } cases[] = {
      {180, 40, 150, 10, true},  // 20 + 10 = 30, capped at 20, halved
      {190, 32, 50, 10, true},   // below 33: v itself
      {190, 33, 50, 5, true},   {190, 66, 50, 5, true},
      {190, 67, 50, 0, false},  // above 66: no crits, not quick
      {199, 10, 50, 1, true},   {200, 10, 50, 0, false},
      {190, 10, -60, -1, true},  // (-110) / 10 = -11 truncates toward 0
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QuickAndDeadlyCrits(c.energy, c.percent, c.agility), c.crits)
        << c.energy << " " << c.percent;
    EXPECT_EQ(IsQuickAndDeadly(c.energy, c.percent), c.quick) << c.energy << " " << c.percent;
  }
}

TEST(WeaponRulesTest, DivisionsByZeroThrow) {
  EXPECT_THROW(EncumbrancePercent(10, 0), std::runtime_error);
  EXPECT_THROW(BaseEnergy(1000, 0, 0, 0), std::runtime_error);
  EXPECT_THROW(SwingsOfRound(1000, 0), std::runtime_error);
  EXPECT_THROW(SwingListing(0), std::runtime_error);
  EXPECT_THROW(RawSwingsText(0), std::runtime_error);
  ItemRecord item;
  item.setSpeed(1);
  // Agility -150: D = 48 * 0 = 0. Level 1000: D = 3045 * 200 * 1500 / 9000 =
  // 101500, so speed 1 gives base energy 0 and energy per swing 0.
  for (const Attacker& attacker :
       {Attacker{1, 1, -150, 50, 0, 100, 0}, Attacker{1000, 1, 50, 50, 0, 100, 0}}) {
    EXPECT_THROW(WeaponFiguresFor(item, attacker), std::runtime_error) << attacker.level;
  }
}

TEST(WeaponRulesTest, RawSwingsGroupedWithTwoToSixDecimals) {
  // 1000 / 1024 = 0.9765625: the exact half rounds away from zero;
  // 1000 / 2000000001 = 0.0000005 minus a little: rounds down.
  const std::pair<int64_t, const char*> cases[] = {
      {1, "1,000.00"},    {468, "2.136752"},    {1000, "1.00"},
      {800, "1.25"},      {3, "333.333333"},    {6, "166.666667"},
      {1024, "0.976563"}, {-1024, "-0.976563"}, {2000000001, "0.00"}};
  for (const auto& [energy, text] : cases) EXPECT_EQ(RawSwingsText(energy), text) << energy;
}

TEST(WeaponRulesTest, VerbsFromTheHitMessage) {
  // Seed 2 steps to 269551627: Random(3) = 269551627 * 3 >> 32 = 0, and
  // Random(0) = 0 still steps. (The simulator's test pins longer draws.)
  for (const auto& [verbs, verb] :
       {std::pair{"slash|stab|hack|bash", "slash"}, {"cut", "cut"}, {"|x", ""}, {"", ""}}) {
    Random random(2);
    EXPECT_EQ(DrawVerb(verbs, random), verb) << verbs;
    EXPECT_EQ(random.Seed(), 269551627u) << verbs;
  }
  // Seed 30 steps to 30 * 134775813 + 1 = 4043274391: Random(4) = 3, the
  // last of four bars.
  Random last(30);
  EXPECT_EQ(DrawVerb("a|b|c|d|", last), "d");
}

using WeaponProcTest = testing::RecordFilesTest;

TEST_F(WeaponProcTest, ProcCastsChainsAndStopsAtTheBound) {
  // Spell 7 shows cast text 301 and follows with 8, a general spell whose
  // message names it; 9 follows with itself; 10 with 8 or 9 (151 = 0).
  using testing::kHurlsMessage;
  using testing::Message;
  const auto spell = [](const testing::SpellShape& shape) {
    return Bytes(testing::MakeSpell(shape));
  };
  MakeFile(
      kSpellFile,
      {spell({.number = 7, .minimum = 10, .maximum = 20, .abilities = {120, 301, 151, 8}}),
       spell({.number = 8, .type = 3, .minimum = 1, .maximum = 3, .message = kHurlsMessage}),
       spell({.number = 9, .message = 0, .abilities = {151, 9}}),
       spell({.number = 10, .minimum = 8, .maximum = 9, .message = 0, .abilities = {151, 0}})});
  MakeFile(kMessageFile, {Bytes(Message(testing::kTakesMessage, "%s takes %d damage")),
                          Bytes(Message(kHurlsMessage, "%s hurls at %s for %d")),
                          Bytes(Message(301, "Flames leap!"))});
  ItemRecord weapon;  // ability 114: the chance; ability 43: the spell
  weapon.setAbilityNumbers(0, 114);
  weapon.setAbilityValues(0, 50);
  weapon.setAbilityNumbers(3, 43);
  weapon.setAbilityValues(3, 7);
  // Seed 5: seed 673879066, Random(99) = 15, roll 16 < 50: spell 7.
  //   "Flames leap!" (ability 120); seed 771902595, Random(20 - 10 + 1) = 1:
  //   damage 11; ability 151 -> spell 8: seed 2442594960, Random(3 - 1 + 1)
  //   = 1: damage 2, general type in colour 11, with the spell's name.
  std::vector<std::string> lines;
  const RulesOutput out = [&lines](std::string_view line) { lines.emplace_back(line); };
  Random random(5);
  SpellProc(weapon, random, out);
  EXPECT_EQ(lines, (std::vector<std::string>{"|12Flames leap!", "|12practice dummy takes 11 damage",
                                             "|11Zap hurls at practice dummy for 2"}));
  EXPECT_EQ(random.Seed(), 2442594960u);
  // A roll of 16 against a chance of 16 casts nothing but still draws once;
  // without a chance or without a spell nothing is drawn at all.
  lines.clear();
  for (const auto& [slot, number, value, after] :
       {std::array<int, 4>{0, 114, 16, 673879066}, {0, 114, 0, 5}, {3, 0, 7, 5}}) {
    ItemRecord item = weapon;
    item.setAbilityNumbers(slot, number);
    item.setAbilityValues(slot, value);
    Random still(5);
    SpellProc(item, still, out);
    EXPECT_EQ(still.Seed(), static_cast<uint32_t>(after)) << slot << " " << value;
  }
  EXPECT_EQ(lines, std::vector<std::string>{});
  // Spell 10: ability 151 with value 0 follows with Random(9 - 8) + 8: seed
  // 673879066, Random(1) = 0, spell 8; seed 771902595, Random(3) = 771902595 *
  // 3 >> 32 = 0: damage 1. Spell 9 follows with itself until the bound;
  // missing spells cast nothing.
  Random pick(5);
  CastProcSpell(10, pick, out);
  EXPECT_EQ(pick.Seed(), 771902595u);
  for (int64_t number : {9, 0, -3, 4444}) CastProcSpell(number, pick, out);
  EXPECT_EQ(lines, (std::vector<std::string>{"|11Zap hurls at practice dummy for 1",
                                             NoticeOfBound("Spell proc chain")}));
}

}  // namespace
}  // namespace torvex
