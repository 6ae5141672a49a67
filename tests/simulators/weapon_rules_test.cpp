// The weapon rules at their edges, and fixed-seed swings and spell procs whose
// every draw was worked out by hand from the generator's definition:
// seed := seed * 134775813 + 1 (mod 2^32), Random(n) = (seed * n) >> 32.
#include "simulators/weapon_rules.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tests/database/record_files.h"

namespace torvex {
namespace {

using testing::RecordFilesTest;

TEST(WeaponRulesTest, WorkedExampleOfTheEnergyPerSwing) {
  // D = (3 * 1 + 45) * 200 * 1500 / 9000 = 1600; base 1000 * 1000 / 1600 =
  // 625; energy (0 / 2 + 75) * 625 / 100 = 468 (468.75 truncated).
  const int64_t divisor = SwingDivisor(1, 1, 50);
  EXPECT_EQ(divisor, 1600);
  const int64_t base = BaseEnergy(1000, divisor, 0, 50);
  EXPECT_EQ(base, 625);
  EXPECT_EQ(EnergyPerSwing(EncumbrancePercent(0, 100), base), 468);
  // Round 1: 1000 / 468 = 2, 1000 mod 468 + 1000 = 1064 carried.
  const RoundSwings first = SwingsOfRound(1000, 468);
  EXPECT_EQ(first.swings, 2);
  EXPECT_EQ(first.nextPool, 1064);
  // 1000, 1064, 1128, ... 1448 (3 swings, 44 left) ... 1428 (3, 24 left) ...
  const std::array<int64_t, 17> listing{2, 2, 2, 2, 2, 2, 2, 3, 2, 2, 2, 2, 2, 2, 3, 2, 2};
  EXPECT_EQ(SwingListing(468), listing);
}

TEST(WeaponRulesTest, StrengthPenaltyRaisesTheBaseEnergy) {
  const struct {
    int64_t required, strength, base;
  } cases[] = {
      {50, 50, 625},    // not above the strength: no penalty
      {51, 50, 634},    // (1 * 3 + 200) * 625 / 200 = 634.375
      {100, 50, 1093},  // (50 * 3 + 200) * 625 / 200 = 1093.75
      {0, -40, 1000},   // (40 * 3 + 200) * 625 / 200
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BaseEnergy(1000, 1600, c.required, c.strength), c.base) << c.required;
  }
}

TEST(WeaponRulesTest, QuickAndDeadlyAroundItsLimits) {
  const struct {
    int64_t energy, percent, agility, crits;
    bool quick;
  } cases[] = {
      {180, 40, 150, 10, true},                           // v = 20 + 10 = 30, capped at 20, halved
      {190, 32, 50, 10, true},                            // below 33: v itself
      {190, 33, 50, 5, true},                             // from 33 on: v / 2
      {190, 66, 50, 5, true},   {190, 67, 50, 0, false},  // above 66: no crits, not quick
      {199, 10, 50, 1, true},   {200, 10, 50, 0, false},
      {190, 10, -60, -1, true},  // (−110) / 10 = −11 truncates toward 0
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QuickAndDeadlyCrits(c.energy, c.percent, c.agility), c.crits)
        << c.energy << " " << c.percent;
    EXPECT_EQ(IsQuickAndDeadly(c.energy, c.percent), c.quick) << c.energy << " " << c.percent;
  }
}

TEST(WeaponRulesTest, DamageEndsMoveWithStrength) {
  EXPECT_EQ(MaximumDamage(20, 50), 20);
  EXPECT_EQ(MaximumDamage(20, 59), 20);
  EXPECT_EQ(MaximumDamage(20, 150), 30);
  EXPECT_EQ(MaximumDamage(20, 0), 15);
  EXPECT_EQ(MinimumDamage(5, 0), 5);  // never lowered
  EXPECT_EQ(MinimumDamage(5, 119), 6);
}

TEST(WeaponRulesTest, ExtremeInputsStayInSixtyFourBits) {
  // ((2^31 + 1) * 2^31 + 45) * (2^31 + 149) * 1500 / 9000 passes 2^63.
  EXPECT_EQ(SwingDivisor(INT32_MAX, INT32_MAX, INT32_MAX), INT64_MAX);
  EXPECT_EQ(BaseEnergy(65535, INT64_MAX, 0, 0), 0);
  EXPECT_EQ(EncumbrancePercent(INT32_MAX, 1), int64_t{INT32_MAX} * 100);
  EXPECT_EQ(EnergyPerSwing(INT64_MAX, INT64_MAX), INT64_MAX);
}

TEST(WeaponRulesTest, DivisionsByZeroThrow) {
  EXPECT_THROW(EncumbrancePercent(10, 0), std::runtime_error);
  EXPECT_THROW(BaseEnergy(1000, 0, 0, 0), std::runtime_error);
  EXPECT_THROW(SwingsOfRound(1000, 0), std::runtime_error);
  EXPECT_THROW(SwingListing(0), std::runtime_error);
  EXPECT_THROW(RawSwingsText(0), std::runtime_error);
  // Level 0, combat -2 or agility -150 give D = 45 * ..., 0 or 0.
  ItemRecord item;
  item.setSpeed(10);
  Attacker attacker{1, 1, -150, 50, 0, 100, 0};
  EXPECT_THROW(WeaponFiguresFor(item, attacker), std::runtime_error);
  // Speed 1 against D = 1600 * 1000: base energy 0, so energy per swing 0.
  attacker.agility = 50;
  attacker.level = 1000;
  item.setSpeed(1);
  EXPECT_EQ(SwingDivisor(1000, 1, 50), (3 * 1000 + 45) * 200 * 1500 / 9000);
  EXPECT_THROW(WeaponFiguresFor(item, attacker), std::runtime_error);
}

TEST(WeaponRulesTest, RawSwingsGroupedWithTwoToSixDecimals) {
  const struct {
    int64_t energy;
    const char* text;
  } cases[] = {
      {1, "1,000.00"},      {468, "2.136752"},  // 2.13675213...
      {1000, "1.00"},       {800, "1.25"},
      {1024, "0.976563"},  // 0.9765625: the exact half rounds away from zero
      {3, "333.333333"},    {6, "166.666667"},
      {-1024, "-0.976563"}, {2000000001, "0.00"},  // 0.0000005 minus a little: rounds down
  };
  for (const auto& c : cases) EXPECT_EQ(RawSwingsText(c.energy), c.text) << c.energy;
}

TEST(WeaponRulesTest, VerbsFromTheHitMessage) {
  // Seed 2: seed 269551627, Random(3) = 269551627 * 3 >> 32 = 0; Random(1) = 0;
  // Random(0) = 0 still steps.
  const struct {
    const char* verbs;
    const char* verb;
  } cases[] = {{"slash|stab|hack|bash", "slash"}, {"cut", "cut"}, {"|x", ""}, {"", ""}};
  for (const auto& c : cases) {
    Random random(2);
    EXPECT_EQ(DrawVerb(c.verbs, random), c.verb) << c.verbs;
    EXPECT_EQ(random.Seed(), 269551627u) << c.verbs;
  }
  // Seed 1: seed 134775814, Random(99) = 3; the same seed with Random(4) gives
  // 134775814 * 4 >> 32 = 0; seed 30 gives 30 * 134775813 + 1 = 4043274391,
  // * 4 >> 32 = 3: the last of four.
  Random last(30);
  EXPECT_EQ(DrawVerb("a|b|c|d|", last), "d");
}

std::vector<std::string> Lines(const std::function<void(const RulesOutput&)>& run) {
  std::vector<std::string> lines;
  run([&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

TEST(WeaponRulesTest, FixedSeedSwingsPinTheDrawSequence) {
  ItemRecord item;
  WeaponFigures figures;
  figures.totalCrits = 10;
  figures.maximumDamage = 20;
  figures.minimumDamage = 5;
  Random random(2);
  // Swing 1: seed 269551627, Random(99) = 6 < 10: critical.
  //   seed 2966606904, Random(40) = 27: damage 27 + 40 = 67.
  //   seed 2336949529, Random(3) = 1: skip "slash", "stab".
  // Swing 2: seed 1474297214, Random(99) = 33: not critical.
  //   seed 302312311, Random(15) = 1: damage 1 + 5 = 6.
  //   seed 4147770708, Random(3) = 2: "hack".
  const std::vector<std::string> lines = Lines([&](const RulesOutput& out) {
    Swing(item, figures, "slash|stab|hack|bash", random, out);
    Swing(item, figures, "slash|stab|hack|bash", random, out);
  });
  EXPECT_EQ(lines, (std::vector<std::string>{"|12You critically stab practice dummy for 67 damage!",
                                             "|12You hack practice dummy for 6 damage!"}));
  EXPECT_EQ(random.Seed(), 4147770708u);
}

class WeaponProcTest : public RecordFilesTest {
 protected:
  static SpellRecord Spell(uint16_t number, const char* name, uint32_t message, int16_t min,
                           int16_t max) {
    SpellRecord spell;
    spell.setNumber(number);
    spell.setName(name);
    spell.setCastMessage(message);
    spell.setMinValue(min);
    spell.setMaxValue(max);
    return spell;
  }
  static MessageRecord Message(uint32_t number, const char* line) {
    MessageRecord message;
    message.setNumber(number);
    message.setLine1(line);
    return message;
  }
  static ItemRecord ProcWeapon(int16_t chance, int16_t spell) {
    ItemRecord item;
    item.setAbilityNumbers(0, 114);
    item.setAbilityValues(0, chance);
    item.setAbilityNumbers(3, 43);
    item.setAbilityValues(3, spell);
    return item;
  }
  void SetUp() override {
    RecordFilesTest::SetUp();
    SpellRecord burn = Spell(7, "Burn", 300, 10, 20);  // normal message type
    burn.setMessageStyle(1);
    burn.setAbilityNumbers(0, 120);
    burn.setAbilityValues(0, 301);
    burn.setAbilityNumbers(1, 151);
    burn.setAbilityValues(1, 8);
    SpellRecord frost = Spell(8, "Frost", 302, 1, 3);  // alternate, general
    frost.setCastStyle(3);
    SpellRecord loop = Spell(9, "Loop", 0, 0, 0);
    loop.setAbilityNumbers(0, 151);
    loop.setAbilityValues(0, 9);
    SpellRecord pick = Spell(10, "Pick", 0, 8, 9);  // follows with spell 8 or 9
    pick.setAbilityNumbers(0, 151);
    MakeFile(kSpellFile, {Bytes(burn), Bytes(frost), Bytes(loop), Bytes(pick)});
    MakeFile(kMessageFile,
             {Bytes(Message(300, "%s is burnt for %d!")), Bytes(Message(301, "Flames leap!")),
              Bytes(Message(302, "%s chills %s for %d"))});
  }
};

TEST_F(WeaponProcTest, ProcCastsAndChains) {
  // Seed 5: seed 673879066, Random(99) = 15, roll 16 < 50: spell 7.
  //   "Flames leap!" (ability 120); seed 771902595, Random(20 - 10 + 1) = 1:
  //   damage 11; ability 151 -> spell 8: seed 2442594960, Random(3 - 1 + 1)
  //   = 1: damage 2, general type in colour 11, alternate arguments.
  Random random(5);
  const std::vector<std::string> lines =
      Lines([&](const RulesOutput& out) { SpellProc(ProcWeapon(50, 7), random, out); });
  EXPECT_EQ(lines,
            (std::vector<std::string>{"|12Flames leap!", "|12practice dummy is burnt for 11!",
                                      "|11Frost chills practice dummy for 2"}));
  EXPECT_EQ(random.Seed(), 2442594960u);
}

TEST_F(WeaponProcTest, RollMustBeBelowTheChance) {
  // Seed 5 rolls 16: a chance of 16 casts nothing but still draws once.
  Random random(5);
  EXPECT_TRUE(
      Lines([&](const RulesOutput& out) { SpellProc(ProcWeapon(16, 7), random, out); }).empty());
  EXPECT_EQ(random.Seed(), 673879066u);
  // Without a chance, or without a spell, nothing is drawn at all.
  ItemRecord noSpell = ProcWeapon(99, 7);
  noSpell.setAbilityNumbers(3, 0);
  for (const ItemRecord& item : {ProcWeapon(0, 7), noSpell}) {
    Random still(5);
    SpellProc(item, still, [](std::string_view) {});
    EXPECT_EQ(still.Seed(), 5u);
  }
}

TEST_F(WeaponProcTest, ChainsEndAtTheBoundAndAtMissingSpells) {
  Random random(5);
  EXPECT_EQ(Lines([&](const RulesOutput& out) { CastProcSpell(9, random, out); }),
            std::vector<std::string>{NoticeOfBound("Spell proc chain")});
  // Spell 10: ability 151 with value 0 follows with Random(9 - 8) + 8: seed
  // 673879066, Random(1) = 0, spell 8; seed 771902595, Random(3) = 771902595 *
  // 3 >> 32 = 0: damage 1.
  Random pick(5);
  EXPECT_EQ(Lines([&](const RulesOutput& out) { CastProcSpell(10, pick, out); }),
            std::vector<std::string>{"|11Frost chills practice dummy for 1"});
  EXPECT_EQ(pick.Seed(), 771902595u);
  for (int64_t missing : {0, -3, 4444}) {
    EXPECT_TRUE(
        Lines([&](const RulesOutput& out) { CastProcSpell(missing, random, out); }).empty());
  }
}

}  // namespace
}  // namespace torvex
