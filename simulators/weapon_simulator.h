// The weapon simulator's screen: the attacker's figures asked with the
// remembered values as defaults, the weapon's energy and crit figures, then one
// combat round against a practice dummy per key until Q, X or Esc, and the
// swings of seventeen rounds in a row.
#pragma once

#include "console/console.h"
#include "database/records/records.h"
#include "database/settings.h"
#include "platform/random.h"

namespace torvex {

// Runs the simulator for `item` as plain console text on `console` (the
// caller repaints afterwards). The prompts offer and update the item* fields
// of `stored`, which the caller keeps for the next run. Draws come from
// `random`. Throws std::runtime_error when the figures need a division by 0
// (maximum encumbrance 0, or level, combat level, agility and speed giving no
// energy); the figures are worked out before any of them is written.
void RunWeaponSimulator(Console& console, const ItemRecord& item, SimulatorSettings& stored,
                        Random& random);

}  // namespace torvex
