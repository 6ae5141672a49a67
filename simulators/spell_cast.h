// One cast of a spell as the game plays it, with the casts that follow it, and
// a spell's effect on the player. Plain functions over records and an injected
// generator: every draw is made in the game's order, including draws whose
// value is not used, so a fixed seed replays a whole sequence.
#pragma once

#include <cstdint>

#include "database/records/records.h"
#include "platform/random.h"
#include "simulators/rules.h"

namespace torvex {

// Damage left after magic resistance `mr`: m = mr - 50, held to at most 100;
// damage - trunc(damage * m / 100), the product and quotient in floating
// point, so resistance below 50 raises the damage.
int64_t ResistedDamage(int64_t damage, int64_t mr);

// Resistance a target can have against a cast: at most 100 for an AntiMagic
// target, at most 75 for any other.
int64_t EffectiveResistance(int64_t mr, bool antiMagic);

// How a cast call ended.
enum class CastEnd {
  kFinished,  // the spell and every cast that followed it were played
  kStopped,   // `stop` answered true before a follow-on cast
  kBounded,   // follow-on casts that spent no energy ran past kChainBound
};

// Casts `spell` at caster `level` on the practice dummy with magic resistance
// `mr` (AntiMagic: `antiMagic`), spending from `energy`, then the casts that
// follow it (the follow-on spell of ability 151, or the same spell again while
// the energy lasts). Lines go to `output`; `result`, when not null, receives
// the numbers of abilities 141 (first) and 140 (second); `stop` (may be empty)
// is asked before each follow-on cast. Spells followed by number are read with
// GetSpell. Text blocks (ability 148) run through CurrentTextBlockRunner().
// `energy` never goes below 0 through a cast.
CastEnd CastSpell(const SpellRecord& spell, int32_t& energy, int32_t mr, int32_t level,
                  bool antiMagic, CastResult* result, Random& random, const RulesOutput& output,
                  const StopRequested& stop);

// A spell numbered `spellNumber` taking effect on the player (resistance `mr`,
// caster `level`): writes its lines to `output` and sets `first` and `second`
// from abilities 141 and 140. A spell that cannot be read does nothing.
void SpellEffectOnPlayer(uint32_t spellNumber, int32_t mr, int32_t level, int32_t& first,
                         int32_t& second, Random& random, const RulesOutput& output);

// The summons of a spell (ability 12): for each slot holding 12 whose value
// names a monster that can be read, that monster's move message (first line)
// with its name + "|02" and "nowhere", written after "|14" (an empty message
// still gives its line). The monster round's attack spells summon the same way.
void WriteSummons(const SpellRecord& spell, const RulesOutput& output);

}  // namespace torvex
