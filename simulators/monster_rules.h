// The rules of a monster's combat round against the user: its attack slots
// (physical blows and attack spells, each paid for from the round's energy)
// and the one spell of its spell list it may cast a round. Plain functions over
// the monster's record and an injected generator; spells, messages, weapons and
// summoned monsters are read through the record look-ups, and a missing one
// gives empty text. Every draw is made in the order the game makes it, used or
// not, so a fixed seed replays a round exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "database/records/records.h"
#include "platform/random.h"
#include "simulators/rules.h"
#include "simulators/spell_cast.h"

namespace torvex {

// What the monster attacks: the values the user enters. Kept in 64 bits so
// that any 32-bit answer, however far out, cannot overflow the formulas.
struct Defender {
  int64_t dodge = 0;
  int64_t armourClass = 0;
  int64_t damageReduction = 0;
  int64_t magicResistance = 50;
};

// What one action of the attack phase tells the round.
enum class ActionResult : int {
  kContinue = 0,  // the round's attacks go on
  kStop = 1,      // not enough energy for the slot, or its spell is missing
  kEscaped = 2,   // the user asked to stop; only this round's attacks stop
};

// One monster's fight, holding its own copy of the monster. `random` is
// borrowed and must outlive every call made with this value, as must whatever
// `output` and `stopRequested` refer to; `stopRequested` may be empty (never
// asked to stop).
struct MonsterCombat {
  MonsterRecord monster;
  Defender defender;
  Random& random;
  RulesOutput output;
  StopRequested stopRequested;
};

// Some attack slot has a non-zero type and a non-zero attack percent.
bool CanAttack(const MonsterRecord& monster);
// Some spell slot holds a non-zero spell number.
bool CanCast(const MonsterRecord& monster);
// Some attack slot is a physical blow or an attack spell (types 1 and 2), so
// the attack phase's rolls can be taken at all (a roll of 0 always takes one).
bool HasUsableAttackSlot(const MonsterRecord& monster);

// Draws a spell's damage at `level` (Random(maximum - minimum) + minimum) and
// applies ResistedDamage (spell_cast.h) unless the spell has ability 144.
int64_t AttackSpellDamage(const SpellRecord& spell, int32_t level, int64_t magicResistance,
                          Random& random);

// A physical blow with attack slot `slot` (0-based, below
// MonsterRecord::kAttacks), paid from `energy`. Its hit spell, on a hit that
// does damage, is cast as by HitSpellAttack; an Esc that the hit spell's check
// takes ends the round's attacks as any other Esc does.
ActionResult PhysicalAttack(MonsterCombat& combat, size_t slot, int64_t& energy);
// An attack spell with attack slot `slot` (its spell number, cast level and
// cast percent), paid from `energy`.
ActionResult SlotSpellAttack(MonsterCombat& combat, size_t slot, int64_t& energy);
// The hit spell `spell` of a blow: level 0, cast chance 100, no energy.
ActionResult HitSpellAttack(MonsterCombat& combat, uint32_t spell);

// The monster casts `spell` from its spell list at `level`; a missing spell
// does nothing.
void CastListSpell(MonsterCombat& combat, uint32_t spell, int32_t level);

// The attack phase: while the last action continued and `energy` is above 0,
// roll Random(100) and act with the first slot of type 1 or 2 whose attack
// percent is at least the roll, rolling again when none is. Skipped when the
// monster cannot attack or has no such slot. Bounded: kRerollBound rolls in a
// row that take no slot, or kRerollBound actions in a round that spend no
// energy, end the phase with NoticeOfBound's line.
void AttackPhase(MonsterCombat& combat, int64_t& energy);
// The spell phase: when the monster can cast, roll Random(99) + 1 and cast
// the spell of the first spell slot whose cast percent is at least the roll.
void SpellPhase(MonsterCombat& combat);
// Both phases of one round, the attacks paid from `energy`.
void PlayMonsterRound(MonsterCombat& combat, int64_t& energy);

}  // namespace torvex
