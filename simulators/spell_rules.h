// The rules of spells the simulators share: how much damage a spell does when
// cast at a given level. Plain functions over the record; no screen, no files.
#pragma once

#include <cstdint>

#include "database/records/records.h"

namespace torvex {

// The damage of one end of a spell's range at caster level `level`. The level
// is first held to `levelCap` when the cap is non-zero and the level above it.
// Then: with a non-zero `step`, (level / step) * increment + base (integer
// division, so a level short of the next step adds nothing); else with a
// non-zero `increment`, base + increment * level; else the base alone.
// Worked in 64 bits; a result outside 32 bits is held to its nearest limit.
int32_t DamageAtLevel(int16_t base, uint8_t increment, uint8_t step, uint8_t levelCap,
                      int32_t level);

// The two ends of a spell's damage range at `level`, from the spell's own
// minimum and maximum fields and its level cap (maxLevel).
int32_t MinimumDamageAt(const SpellRecord& spell, int32_t level);
int32_t MaximumDamageAt(const SpellRecord& spell, int32_t level);

}  // namespace torvex
