#include "simulators/monster_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/simulators/monster_test_world.h"

namespace torvex {
namespace {

using testing::SeedBefore;
using testing::SetBlow;
using Lines = std::vector<std::string>;

class MonsterRulesTest : public testing::MonsterWorldTest {
 protected:
  // One fight against `defender`, its lines collected in `lines`.
  MonsterCombat Combat(const MonsterRecord& monster, Defender defender, StopRequested stop = {}) {
    return {monster, defender, random, [this](std::string_view l) { lines.emplace_back(l); },
            std::move(stop)};
  }

  Random random;
  Lines lines;
};

// Accuracy 60 against AC 20 and dodge 10: hit chance 60 - (20 + 10) = 30, so
// rolls 0..30 hit for 7; rolls up to 20 + 30 = 50 the armour holds (the miss
// message's second line); 51..99 are dodged (the dodge message's third line).
// Minimum 5, maximum 5, DR 10: Random(0) + 5 - 10 = -5, so the hit shows the
// dodge message's first line in colour 4. A hit draws twice (roll, damage), a
// miss once; with 99 energy left the 100 blow is not struck and draws nothing.
TEST_F(MonsterRulesTest, EachBandOfABlowsRoll) {
  const std::string hit = "|12Goblin hits you for 7 damage!";
  const std::string armour =
      "|03Goblin swings a wild swing with its rusty blade, but your armour holds.";
  const std::string dodged = "|03You dodge Goblin's a wild swing rusty blade!";
  const std::string scratch = "|04Goblin barely scratches you with a wild swing rusty blade.";
  const struct {
    uint32_t roll;
    uint16_t damage;
    int64_t dr, energy, left;
    int draws;
    Lines lines;
  } cases[] = {
      {0, 7, 0, 1000, 900, 2, {hit}},     {30, 7, 0, 1000, 900, 2, {hit}},
      {31, 7, 0, 1000, 900, 1, {armour}}, {50, 7, 0, 1000, 900, 1, {armour}},
      {51, 7, 0, 1000, 900, 1, {dodged}}, {99, 7, 0, 1000, 900, 1, {dodged}},
      {0, 5, 10, 100, 0, 2, {scratch}},   {0, 7, 0, 99, 99, 0, {}},
  };
  for (const auto& c : cases) {
    MonsterRecord goblin = Goblin();
    goblin.setAttackMinHit(0, c.damage);
    goblin.setAttackMaxHit(0, c.damage);
    const uint32_t seed = SeedBefore(100, c.roll);
    random.SetSeed(seed);
    lines.clear();
    MonsterCombat combat =
        Combat(goblin, {.dodge = 10, .armourClass = 20, .damageReduction = c.dr});
    int64_t energy = c.energy;
    EXPECT_EQ(PhysicalAttack(combat, 0, energy),
              c.draws ? ActionResult::kContinue : ActionResult::kStop);
    EXPECT_EQ(energy, c.left) << "roll " << c.roll;
    EXPECT_EQ(lines, c.lines) << "roll " << c.roll << ", DR " << c.dr;
    Random drawn(seed);
    for (int i = 0; i < c.draws; ++i) drawn.Next(1);
    EXPECT_EQ(random.Seed(), drawn.Seed()) << "roll " << c.roll;
  }
}

// Spells 10 and 11 do Random(0) + 40 = 40 before resistance. MR 150: 40 - 40 *
// 100 / 100 = 0; MR 0: 40 - 40 * -50 / 100 = 60; MR 50: 40. Spell 11 has
// ability 144 and does 40 at any MR. Ability 120's line comes before, 115's
// after.
TEST_F(MonsterRulesTest, AttackSpellsAfterResistanceAndTheirCastRoll) {
  const struct {
    uint32_t spell;
    int64_t mr;
    std::string cast;
  } cases[] = {{10, 150, "Firebolt at you for 0"},
               {10, 0, "Firebolt at you for 60"},
               {10, 50, "Firebolt at you for 40"},
               {11, 150, "True Bolt at you for 40"}};
  for (const auto& c : cases) {
    lines.clear();
    MonsterCombat combat = Combat(Goblin(), {.magicResistance = c.mr});
    EXPECT_EQ(HitSpellAttack(combat, c.spell), ActionResult::kContinue);
    EXPECT_EQ(lines, (Lines{"|12Goblin raises its hands.", "|12Goblin casts " + c.cast + " damage!",
                            "|12The air smells of Goblin."}))
        << c.spell << " at MR " << c.mr;
  }

  // A slot spell of cast percent 0 (below every roll 1..99) pays, then fails;
  // a missing spell is paid for too and stops the attacks.
  MonsterRecord goblin = Goblin();
  SetBlow(goblin, 1, 10, 300, 0, 0);
  goblin.setAttackType(1, 2);
  MonsterCombat combat = Combat(goblin, {});
  int64_t energy = 1000;
  lines.clear();
  EXPECT_EQ(SlotSpellAttack(combat, 1, energy), ActionResult::kContinue);
  EXPECT_EQ(energy, 700);
  EXPECT_EQ(lines, Lines{"|03Goblin attempted to cast Firebolt on you, but failed."});
  combat.monster.setAttackAccuracy(1, 999);
  EXPECT_EQ(SlotSpellAttack(combat, 1, energy), ActionResult::kStop);
  EXPECT_EQ(energy, 400);
}

// Slot 1 takes rolls 0..40, slot 2 rolls 41..60, higher rolls draw again. The
// state before a roll of 80 is ceil(80 * 2^32 / 100) = 3435973837; the next is
// 3435973837 * 134775813 + 1 mod 2^32 = 1744942082, whose roll is
// 1744942082 * 100 / 2^32 = 40.6 -> 40 (slot 1). From 81: 3478923510 ->
// 2308678863 -> 53.7 -> 53 (slot 2). Each blow costs the round's 1000.
TEST_F(MonsterRulesTest, AttackPercentsAreThresholdsAndHigherRollsDrawAgain) {
  MonsterRecord twoSlots;
  twoSlots.setName("Goblin");
  SetBlow(twoSlots, 0, 200, 1000, 7, 1, 40);
  SetBlow(twoSlots, 1, 200, 1000, 9, 3, 60);
  const std::string first = "|12Goblin hits you for 7 damage!";
  const std::string second = "|12Goblin bites you for 9 damage!";
  const struct {
    uint32_t roll;
    std::string line;
  } cases[] = {{0, first}, {40, first}, {41, second}, {60, second}, {80, first}, {81, second}};
  for (const auto& c : cases) {
    random.SetSeed(SeedBefore(100, c.roll));
    lines.clear();
    MonsterCombat combat = Combat(twoSlots, {});
    int64_t energy = 1000;
    AttackPhase(combat, energy);
    EXPECT_EQ(energy, 0) << c.roll;
    EXPECT_EQ(lines, Lines{c.line}) << "roll " << c.roll;
  }
}

// A rob slot and a slot of unknown type can attack but never take a roll: the
// phase is skipped without a draw. Blows of 0 energy against a dodge of 1000
// end after the bound with its notice.
TEST_F(MonsterRulesTest, TheAttackPhasesMends) {
  MonsterRecord robber = Goblin();
  robber.setAttackType(0, static_cast<uint8_t>(AttackKind::kRob));
  robber.setAttackType(2, 7);
  robber.setAttackPercent(2, 100);
  ASSERT_TRUE(CanAttack(robber));
  MonsterCombat robbing = Combat(robber, {});
  int64_t energy = 1000;
  AttackPhase(robbing, energy);
  EXPECT_EQ(energy, 1000);
  EXPECT_EQ(lines, Lines{});
  EXPECT_EQ(random.Seed(), 0u) << "no roll drawn";

  MonsterRecord goblin = Goblin();
  goblin.setAttackEnergy(0, 0);
  MonsterCombat free = Combat(goblin, {.dodge = 1000});
  AttackPhase(free, energy);
  EXPECT_EQ(energy, 1000);
  ASSERT_EQ(lines.size(), static_cast<size_t>(kRerollBound) + 1);
  EXPECT_EQ(lines.back(), NoticeOfBound("The attacks that cost no energy"));
}

// Esc before the first blow: nothing spent or written by the attacks, the
// spell list still casts, and the next round strikes ten blows of 100. An Esc
// taken by a hit spell's check ends the attacks after that blow.
TEST_F(MonsterRulesTest, EscStopsOnlyThisRoundsAttacks) {
  MonsterRecord goblin = Goblin();
  goblin.setSpells(0, 12);
  goblin.setSpellPercent(0, 100);
  int asked = 0;
  MonsterCombat combat = Combat(goblin, {}, [&asked] { return ++asked == 1; });
  int64_t energy = 1000;
  PlayMonsterRound(combat, energy);
  EXPECT_EQ(energy, 1000);
  EXPECT_EQ(lines, Lines{"|12Goblin casts Mend on itself."});
  lines.clear();
  PlayMonsterRound(combat, energy);
  EXPECT_EQ(energy, 0);
  EXPECT_EQ(lines.size(), 11u);

  goblin.setAttackAccuracy(0, 200);
  goblin.setAttackHitSpell(0, 10);
  asked = 0;
  lines.clear();
  MonsterCombat hitSpell = Combat(goblin, {}, [&asked] { return ++asked == 2; });
  energy = 1000;
  AttackPhase(hitSpell, energy);
  EXPECT_EQ(energy, 900);
  EXPECT_EQ(lines, Lines{"|12Goblin hits you for 7 damage!"});
}

// Spell 12 targets the caster; 13 does damage with lines before (every "%s"
// the name) and after and kills; 14 (target 3) writes only its summons, the
// missing monster 99 nothing.
TEST_F(MonsterRulesTest, SpellListCastsByTargetAndGender) {
  const struct {
    uint32_t spell;
    uint8_t gender;
    Lines lines;
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
      {14, 0, {"|14Wolf|02 pads in from nowhere."}},
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

}  // namespace
}  // namespace torvex
