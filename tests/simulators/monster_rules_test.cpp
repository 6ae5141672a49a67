#include "simulators/monster_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/records/records.h"
#include "tests/database/record_files.h"
#include "tests/simulators/monster_test_world.h"

namespace torvex {
namespace {

using testing::SeedBefore;

class MonsterRulesTest : public testing::MonsterWorldTest {
 protected:
  // One fight against `defender`, its lines collected in `lines`.
  MonsterCombat Combat(const MonsterRecord& monster, Defender defender, StopRequested stop = {}) {
    return {monster, defender, random, [this](std::string_view l) { lines.emplace_back(l); },
            std::move(stop)};
  }

  Random random;
  std::vector<std::string> lines;
};

// Accuracy 60 against AC 20 and dodge 10: hit chance 60 - (20 + 10) = 30, so
// rolls 0..30 hit; rolls up to AC + 30 = 50 use the miss message's second
// line; 51..99 the dodge message's third line. Every hit does 7 - 0 = 7.
TEST_F(MonsterRulesTest, EveryRollOfABlowFallsInItsBand) {
  const MonsterRecord goblin = Goblin();
  const std::string hit = "|12Goblin hits you for 7 damage!";
  const std::string armour =
      "|03Goblin swings a wild swing with its rusty blade, but your armour holds.";
  const std::string dodged = "|03You dodge Goblin's a wild swing rusty blade!";
  for (int roll = 0; roll < 100; ++roll) {
    random.SetSeed(SeedBefore(100, roll));
    lines.clear();
    MonsterCombat combat = Combat(goblin, {.dodge = 10, .armourClass = 20});
    int64_t energy = 1000;
    EXPECT_EQ(PhysicalAttack(combat, 0, energy), ActionResult::kContinue);
    EXPECT_EQ(energy, 1000 - 100) << roll;
    ASSERT_EQ(lines.size(), 1u) << roll;
    EXPECT_EQ(lines[0], roll <= 30 ? hit : roll <= 50 ? armour : dodged) << "roll " << roll;
  }
}

// Minimum 5, maximum 5, DR 10: Random(0) still draws, damage 0 + 5 - 10 = -5,
// so the blow shows the dodge message's first line in colour 4.
TEST_F(MonsterRulesTest, AHitTheArmourSwallowsShowsTheDodgeLineInColourFour) {
  MonsterRecord goblin = Goblin();
  goblin.setAttackMinHit(0, 5);
  goblin.setAttackMaxHit(0, 5);
  const uint32_t seed = SeedBefore(100, 0);
  random.SetSeed(seed);
  MonsterCombat combat = Combat(goblin, {.damageReduction = 10});
  int64_t energy = 100;
  EXPECT_EQ(PhysicalAttack(combat, 0, energy), ActionResult::kContinue);
  EXPECT_EQ(energy, 0);
  EXPECT_EQ(lines, std::vector<std::string>{
                       "|04Goblin barely scratches you with a wild swing rusty blade."});
  Random twoDraws(seed);
  twoDraws.Next(100);
  twoDraws.Next(1);
  EXPECT_EQ(random.Seed(), twoDraws.Seed());
}

TEST_F(MonsterRulesTest, ABlowBeyondTheEnergyLeftStopsTheAttacks) {
  MonsterCombat combat = Combat(Goblin(), {});
  int64_t energy = 99;
  EXPECT_EQ(PhysicalAttack(combat, 0, energy), ActionResult::kStop);
  EXPECT_EQ(energy, 99);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(random.Seed(), 0u);
}

TEST(ResistedDamageTest, MagicResistanceAtItsEdges) {
  const struct {
    int64_t damage, mr, expected;
  } cases[] = {
      {40, 50, 40},                          // m = 0
      {40, 0, 60},                           // m = -50: 40 + 20
      {50, 30, 60},                          // m = -20: 50 + 10
      {40, 150, 0},                          // m = 100
      {40, 1000, 0},                         // MR above 150 counts as 150
      {99, 149, 1},                          // 99 - trunc(98.01)
      {7, 53, 7},                            // 7 - trunc(0.21)
      {-10, 0, -15},                         // -10 - trunc(5.0)
      {2147483647, 100, 1073741824},         // 2147483647 - trunc(1073741823.5)
      {1000, -2147483648LL, 21474837980LL},  // m = -2147483698: 1000 + 21474836980
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResistedDamage(c.damage, c.mr), c.expected) << c.damage << " at MR " << c.mr;
  }
}

// Spell 10 does 40..40 (Random(0) + 40). Its message's second line carries
// the caster, the spell and "you"; ability 120's and 115's lines come before
// and after it.
TEST_F(MonsterRulesTest, AnAttackSpellsDamageAfterResistance) {
  const struct {
    uint32_t spell;
    int64_t mr;
    const char* damage;
  } cases[] = {{10, 150, "0"}, {10, 0, "60"}, {10, 50, "40"}, {11, 150, "40"}, {11, 0, "40"}};
  for (const auto& c : cases) {
    lines.clear();
    MonsterCombat combat = Combat(Goblin(), {.magicResistance = c.mr});
    EXPECT_EQ(HitSpellAttack(combat, c.spell), ActionResult::kContinue);
    const std::string name = c.spell == 10 ? "Firebolt" : "True Bolt";
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "|12Goblin raises its hands.",
                         "|12Goblin casts " + name + " at you for " + c.damage + " damage!",
                         "|12The air smells of Goblin."}))
        << c.spell << " at MR " << c.mr;
  }
}

TEST_F(MonsterRulesTest, ASlotSpellPaysThenMayFailItsCastRoll) {
  MonsterRecord goblin = Goblin();
  goblin.setAttackType(1, 2);
  goblin.setAttackAccuracy(1, 10);  // the spell
  goblin.setAttackMinHit(1, 0);     // cast percent: below every roll 1..99
  goblin.setAttackEnergy(1, 300);
  MonsterCombat combat = Combat(goblin, {});
  int64_t energy = 1000;
  EXPECT_EQ(SlotSpellAttack(combat, 1, energy), ActionResult::kContinue);
  EXPECT_EQ(energy, 700);
  EXPECT_EQ(lines,
            std::vector<std::string>{"|03Goblin attempted to cast Firebolt on you, but failed."});

  combat.monster.setAttackAccuracy(1, 999);  // no such spell: the energy is spent all the same
  EXPECT_EQ(SlotSpellAttack(combat, 1, energy), ActionResult::kStop);
  EXPECT_EQ(energy, 400);
}

// Slot 1 takes rolls 0..40, slot 2 rolls 41..60, higher rolls draw again.
// Re-rolls by hand: the state before a roll of 80 is ceil(80 * 2^32 / 100) =
// 3435973837; the next is 3435973837 * 134775813 + 1 mod 2^32 = 1744942082,
// whose roll is 1744942082 * 100 / 2^32 = 40.6 -> 40 (slot 1). From 81:
// 3478923510 -> 2308678863 -> 53.7 -> 53 (slot 2). Each slot costs the whole
// 1000, so one blow a round; accuracy 200 always hits.
TEST_F(MonsterRulesTest, AttackPercentsAreThresholdsAndHigherRollsDrawAgain) {
  MonsterRecord twoSlots = Goblin();
  twoSlots.setAttackPercent(0, 40);
  twoSlots.setAttackAccuracy(0, 200);
  twoSlots.setAttackEnergy(0, 1000);
  twoSlots.setAttackType(1, 1);
  twoSlots.setAttackPercent(1, 60);
  twoSlots.setAttackAccuracy(1, 200);
  twoSlots.setAttackMinHit(1, 9);
  twoSlots.setAttackMaxHit(1, 9);
  twoSlots.setAttackHitMessage(1, 3);
  twoSlots.setAttackEnergy(1, 1000);
  const std::string first = "|12Goblin hits you for 7 damage!";
  const std::string second = "|12Goblin bites you for 9 damage!";
  const struct {
    int roll;
    std::string line;
  } cases[] = {{0, first}, {40, first}, {41, second}, {60, second}, {80, first}, {81, second}};
  for (const auto& c : cases) {
    random.SetSeed(SeedBefore(100, c.roll));
    lines.clear();
    MonsterCombat combat = Combat(twoSlots, {});
    int64_t energy = 1000;
    AttackPhase(combat, energy);
    EXPECT_EQ(energy, 0) << c.roll;
    EXPECT_EQ(lines, std::vector<std::string>{c.line}) << "roll " << c.roll;
  }
}

// 600 a blow: the round affords one and stops at the second with 400 left.
TEST_F(MonsterRulesTest, TheAttacksStopWhenTheNextBlowCostsMoreThanIsLeft) {
  MonsterRecord goblin = Goblin();
  goblin.setAttackEnergy(0, 600);
  MonsterCombat combat = Combat(goblin, {});
  int64_t energy = 1000;
  AttackPhase(combat, energy);
  EXPECT_EQ(energy, 400);
  EXPECT_EQ(lines.size(), 1u);
}

TEST_F(MonsterRulesTest, OnlyRobAttacksSkipTheAttackPhase) {
  MonsterRecord robber = Goblin();
  robber.setAttackType(0, static_cast<uint8_t>(AttackKind::kRob));
  robber.setAttackType(2, 7);  // a type no table knows
  robber.setAttackPercent(2, 100);
  ASSERT_TRUE(CanAttack(robber));
  MonsterCombat combat = Combat(robber, {});
  int64_t energy = 1000;
  AttackPhase(combat, energy);
  EXPECT_EQ(energy, 1000);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(random.Seed(), 0u) << "no roll drawn";
}

TEST_F(MonsterRulesTest, BlowsThatCostNoEnergyEndAtTheBound) {
  MonsterRecord goblin = Goblin();
  goblin.setAttackEnergy(0, 0);
  MonsterCombat combat = Combat(goblin, {.dodge = 1000});  // every blow dodged
  int64_t energy = 1000;
  AttackPhase(combat, energy);
  EXPECT_EQ(energy, 1000);
  ASSERT_EQ(lines.size(), static_cast<size_t>(kRerollBound) + 1);
  EXPECT_EQ(lines.back(), NoticeOfBound("The attacks that cost no energy"));
}

// Esc before the first blow: no energy spent, nothing written by the attacks;
// the spell list still casts; the next round attacks again.
TEST_F(MonsterRulesTest, EscDuringTheAttacksStopsOnlyThisRoundsAttacks) {
  MonsterRecord goblin = Goblin();
  goblin.setSpells(0, 12);
  goblin.setSpellPercent(0, 100);
  int asked = 0;
  MonsterCombat combat = Combat(goblin, {}, [&asked] { return ++asked == 1; });
  int64_t energy = 1000;
  PlayMonsterRound(combat, energy);
  EXPECT_EQ(energy, 1000);
  EXPECT_EQ(lines, std::vector<std::string>{"|12Goblin casts Mend on itself."});
  lines.clear();
  energy += 1000;
  PlayMonsterRound(combat, energy);
  EXPECT_EQ(energy, 0);  // twenty blows of 100
  EXPECT_EQ(lines.size(), 21u);
}

TEST_F(MonsterRulesTest, AnEscTakenByTheHitSpellStopsTheAttacks) {
  MonsterRecord goblin = Goblin();
  goblin.setAttackAccuracy(0, 200);
  goblin.setAttackHitSpell(0, 10);
  int asked = 0;
  MonsterCombat combat = Combat(goblin, {}, [&asked] { return ++asked == 2; });
  int64_t energy = 1000;
  AttackPhase(combat, energy);
  EXPECT_EQ(energy, 900);
  EXPECT_EQ(lines, std::vector<std::string>{"|12Goblin hits you for 7 damage!"});
}

TEST_F(MonsterRulesTest, SpellListCastsByTargetAndGender) {
  const struct {
    uint32_t spell;
    uint8_t gender;
    std::vector<std::string> lines;
  } cases[] = {
      {12, 0, {"|12Goblin casts Mend on itself."}},
      {12, 1, {"|12Goblin casts Mend on himself."}},
      {12, 2, {"|12Goblin casts Mend on herself."}},
      {12, 9, {"|12Goblin casts Mend on %s."}},
      {13,
       0,
       {"|12goblin, goblin, goblin!", "|12Goblin hurls Doom for 40 damage.",
        "|12The air smells of goblin.", "|12You have been killed!",
        "|07But, due to a miracle, you have been saved."}},
      {14, 0, {"|14Wolf|02 pads in from nowhere."}},  // target 3: only the summons
      {999, 0, {}},
  };
  for (const auto& c : cases) {
    MonsterRecord goblin = Goblin();
    goblin.setName("goblin");
    goblin.setGender(c.gender);
    lines.clear();
    MonsterCombat combat = Combat(goblin, {});
    CastListSpell(combat, c.spell, 1);
    EXPECT_EQ(lines, c.lines) << "spell " << c.spell << ", gender " << int{c.gender};
  }
}

TEST_F(MonsterRulesTest, CanAttackAndCanCast) {
  MonsterRecord m;
  EXPECT_FALSE(CanAttack(m));
  EXPECT_FALSE(CanCast(m));
  m.setAttackType(4, 1);
  EXPECT_FALSE(CanAttack(m)) << "percent 0";
  m.setAttackPercent(4, 1);
  EXPECT_TRUE(CanAttack(m));
  m.setSpells(4, 1);
  EXPECT_TRUE(CanCast(m));
}

}  // namespace
}  // namespace torvex
