// The character's death (SUICIDE) and its reroll (REROLL).
//
// A death with lives to spare costs a life, all money and every item that is
// neither loyal nor cursed, and sends the character to the room's death room.
// A death on the last life, and a reroll, make way for a new character: the
// walk ends when the operator presses Enter, and the next walk creates one.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "console/console.h"
#include "walker/character_rules.h"
#include "walker/session.h"

namespace torvex {

// What taking a dead character's belongings showed, and the text block the
// death runs (0 for none).
struct DeathLosses {
  std::vector<std::string> lines;
  uint32_t deathTextBlock = 0;
};
// Empties the money, the inventory (items with the Loyal Item or Major Curse
// ability stay), the keys, the worn slots, the readied weapon and the light.
// Items whose records are missing are dropped with a line saying so.
DeathLosses TakeBelongingsOnDeath(WalkerHoldings& holdings);

// The map and room a character of `level` dying in `room` is sent to.
std::pair<uint32_t, uint32_t> DeathRoomOf(const RoomRecord& room, int32_t level);

// Makes way for a new character: sets the new-character flag, brings the
// experience down (to the larger of a tenth of it and one more than half the
// level's experience at the race's and class's own percentages; to 0 at
// level 1), the level to 1 and clears the hit-point rolls of the old levels.
void ResetForNewCharacter(WalkerCharacter& character, const CharacterSheet& sheet);

// SUICIDE. True when the walk ends (the last life was lost).
bool Suicide(Console& console, WalkerSession& session);
// REROLL. The walk always ends.
void Reroll(Console& console, WalkerSession& session);

}  // namespace torvex
