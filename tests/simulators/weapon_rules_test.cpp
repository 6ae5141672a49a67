// The weapon rules at their edges, and fixed-seed swings and spell procs whose
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
  // Round 1: 1000 / 468 = 2, 1000 mod 468 + 1000 = 1064 carried.
  EXPECT_EQ(SwingsOfRound(1000, 468).swings, 2);
  EXPECT_EQ(SwingsOfRound(1000, 468).nextPool, 1064);
  // 1000, 1064, 1128, ... 1448 (3 swings, 44 left) ... 1428 (3, 24 left) ...
  const std::array<int64_t, 17> listing{2, 2, 2, 2, 2, 2, 2, 3, 2, 2, 2, 2, 2, 2, 3, 2, 2};
  EXPECT_EQ(SwingListing(468), listing);
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
  const struct {
    int64_t energy, percent, agility, crits;
    bool quick;
  } cases[] = {
      {180, 40, 150, 10, true},  // v = 20 + 10 = 30, capped at 20, halved
      {190, 32, 50, 10, true},   // below 33: v itself
      {190, 33, 50, 5, true},    // from 33 on: v / 2
      {190, 66, 50, 5, true},    // up to 66 ...
      {190, 67, 50, 0, false},   // ... above it: no crits, not quick
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
  item.setSpeed(10);
  Attacker attacker{1, 1, -150, 50, 0, 100, 0};  // agility -150: D = 48 * 0 = 0
  EXPECT_THROW(WeaponFiguresFor(item, attacker), std::runtime_error);
  // Level 1000: D = 3045 * 200 * 1500 / 9000 = 101500; speed 1: base 0, so
  // energy per swing 0.
  attacker = {1000, 1, 50, 50, 0, 100, 0};
  item.setSpeed(1);
  EXPECT_THROW(WeaponFiguresFor(item, attacker), std::runtime_error);
}

TEST(WeaponRulesTest, RawSwingsGroupedWithTwoToSixDecimals) {
  const struct {
    int64_t energy;
    const char* text;
  } cases[] = {
      {1, "1,000.00"},      {468, "2.136752"},  // 2.13675213...
      {1000, "1.00"},       {800, "1.25"},        {3, "333.333333"},
      {6, "166.666667"},    {1024, "0.976563"},  // 0.9765625: the exact half rounds away from zero
      {-1024, "-0.976563"}, {2000000001, "0.00"},  // 0.0000005 minus a little: rounds down
  };
  for (const auto& c : cases) EXPECT_EQ(RawSwingsText(c.energy), c.text) << c.energy;
}

TEST(WeaponRulesTest, VerbsFromTheHitMessage) {
  // Seed 2 steps to 269551627: Random(3) = 269551627 * 3 >> 32 = 0, and
  // Random(0) = 0 still steps. Seed 30 steps to 30 * 134775813 + 1 =
  // 4043274391: Random(4) = 3, the last of four.
  const struct {
    const char* verbs;
    uint32_t seed, after;
    const char* verb;
  } cases[] = {{"slash|stab|hack|bash", 2, 269551627u, "slash"},
               {"cut", 2, 269551627u, "cut"},
               {"|x", 2, 269551627u, ""},
               {"", 2, 269551627u, ""},
               {"a|b|c|d|", 30, 4043274391u, "d"}};
  for (const auto& c : cases) {
    Random random(c.seed);
    EXPECT_EQ(DrawVerb(c.verbs, random), c.verb) << c.verbs;
    EXPECT_EQ(random.Seed(), c.after) << c.verbs;
  }
}

std::vector<std::string> Lines(const std::function<void(const RulesOutput&)>& run) {
  std::vector<std::string> lines;
  run([&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

TEST(WeaponRulesTest, FixedSeedSwingsPinTheDrawSequence) {
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
    for (int i = 0; i < 2; ++i) Swing(ItemRecord(), figures, "slash|stab|hack|bash", random, out);
  });
  EXPECT_EQ(lines, (std::vector<std::string>{"|12You critically stab practice dummy for 67 damage!",
                                             "|12You hack practice dummy for 6 damage!"}));
  EXPECT_EQ(random.Seed(), 4147770708u);
}

ItemRecord ProcWeapon(int16_t chance, uint16_t spellAbility = 43) {
  ItemRecord item;
  item.setAbilityNumbers(0, 114);
  item.setAbilityValues(0, chance);
  item.setAbilityNumbers(3, spellAbility);
  item.setAbilityValues(3, 7);
  return item;
}

using WeaponProcTest = testing::RecordFilesTest;

TEST_F(WeaponProcTest, ProcCastsChainsAndStopsAtTheBound) {
  using testing::MakeSpell;
  using testing::Message;
  MakeFile(kSpellFile,
           {Bytes(MakeSpell({.number = 7,  // cast text 301, then spell 8
                             .minimum = 10,
                             .maximum = 20,
                             .abilities = {{120, 301}, {151, 8}}})),
            Bytes(MakeSpell({.number = 8,
                             .type = 3,
                             .minimum = 1,
                             .maximum = 3,
                             .message = testing::kHurlsMessage})),  // general, with its name
            Bytes(MakeSpell({.number = 9, .message = 0, .abilities = {{151, 9}}})),
            Bytes(MakeSpell({.number = 10,  // follows with spell 8 or 9
                             .minimum = 8,
                             .maximum = 9,
                             .message = 0,
                             .abilities = {{151, 0}}}))});
  MakeFile(kMessageFile, {Bytes(Message(testing::kTakesMessage, "%s takes %d damage")),
                          Bytes(Message(testing::kHurlsMessage, "%s hurls at %s for %d")),
                          Bytes(Message(301, "Flames leap!"))});
  // Seed 5: seed 673879066, Random(99) = 15, roll 16 < 50: spell 7.
  //   "Flames leap!" (ability 120); seed 771902595, Random(20 - 10 + 1) = 1:
  //   damage 11; ability 151 -> spell 8: seed 2442594960, Random(3 - 1 + 1)
  //   = 1: damage 2, general type in colour 11, with the spell's name.
  Random random(5);
  EXPECT_EQ(Lines([&](const RulesOutput& out) { SpellProc(ProcWeapon(50), random, out); }),
            (std::vector<std::string>{"|12Flames leap!", "|12practice dummy takes 11 damage",
                                      "|11Zap hurls at practice dummy for 2"}));
  EXPECT_EQ(random.Seed(), 2442594960u);
  // A roll of 16 against a chance of 16 casts nothing but still draws once;
  // without a chance or without a spell nothing is drawn at all.
  const struct {
    ItemRecord item;
    uint32_t after;
  } misses[] = {{ProcWeapon(16), 673879066u}, {ProcWeapon(0), 5u}, {ProcWeapon(99, 0), 5u}};
  for (const auto& miss : misses) {
    Random still(5);
    EXPECT_TRUE(Lines([&](const RulesOutput& out) { SpellProc(miss.item, still, out); }).empty());
    EXPECT_EQ(still.Seed(), miss.after) << miss.after;
  }
  // Spell 10: ability 151 with value 0 follows with Random(9 - 8) + 8: seed
  // 673879066, Random(1) = 0, spell 8; seed 771902595, Random(3) = 771902595 *
  // 3 >> 32 = 0: damage 1.
  Random pick(5);
  EXPECT_EQ(Lines([&](const RulesOutput& out) { CastProcSpell(10, pick, out); }),
            std::vector<std::string>{"|11Zap hurls at practice dummy for 1"});
  EXPECT_EQ(pick.Seed(), 771902595u);
  EXPECT_EQ(Lines([&](const RulesOutput& out) { CastProcSpell(9, pick, out); }),
            std::vector<std::string>{NoticeOfBound("Spell proc chain")});
  for (int64_t missing : {0, -3, 4444}) {
    EXPECT_TRUE(Lines([&](const RulesOutput& out) { CastProcSpell(missing, pick, out); }).empty());
  }
}

}  // namespace
}  // namespace torvex
