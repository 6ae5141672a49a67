// The monster attack simulator's screen: the heading, the defender's values
// asked afresh on every run, the monster's attack table, and one combat round
// per key until Esc, Q or X.
#pragma once

#include <string>
#include <vector>

#include "console/console.h"
#include "database/records/records.h"
#include "platform/random.h"
#include "simulators/monster_rules.h"

namespace torvex {

// Asks the four defender values: dodge, armour class (an answer "AC/DR" gives
// both and skips the DR prompt), damage reduction and magic resistance (50
// when left empty). Anything that is not a number counts as 0.
Defender AskDefender(Console& console);

// The attack table's rows for `monster`, colour-code text, one entry a line
// (from the empty line before "Monster Stats" to the closing rule).
std::vector<std::string> AttackTableLines(const MonsterRecord& monster);

// Runs the simulator for `monster` on `console`, drawing from `random`, until
// the user ends it. Reads records through the record look-ups; a monster that
// can neither attack nor cast is told so and the simulator waits for a key.
void RunMonsterSimulator(Console& console, const MonsterRecord& monster, Random& random);

}  // namespace torvex
