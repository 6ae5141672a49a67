// The spell-casting simulator's screen: asks for the caster's level, the
// target's magic resistance and whether it is AntiMagic, then plays rounds of
// casts against a practice dummy until the user ends it.
#pragma once

#include <optional>
#include <string_view>

#include "console/console.h"
#include "database/records/records.h"
#include "platform/random.h"

namespace torvex {

// Runs the simulator for `spell` on `console`, drawing from `random`. The
// three inputs start from CurrentSettings().simulator (spellLevel, spellMr,
// spellAntiMagic) and what the user enters is stored back there before the
// first round. Returns when the user ends it (Esc, Q or X at a round prompt),
// or after the prompts for a spell type that is neither auto-combat nor
// general.
void RunSpellSimulator(Console& console, const SpellRecord& spell, Random& random);

}  // namespace torvex
