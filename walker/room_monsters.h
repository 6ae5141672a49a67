// The monsters a player finds on entering a room: the room's group and lair,
// its placed monster, and their display names.
#pragma once

#include <vector>

#include "database/records/records.h"
#include "platform/random.h"

namespace torvex {

// The monster list made on entering `room`, in display order; every entry's
// name field holds its display name. Draws from `random` in the order of the
// rules (display names included). With `prefixes` false a monster keeps its
// own name and no name is drawn.
std::vector<MonsterRecord> GenerateRoomMonsters(const RoomRecord& room, Random& random,
                                                bool prefixes);

// The name `monster` shows with, drawn through its description block.
std::string MonsterDisplayName(const MonsterRecord& monster, Random& random);

}  // namespace torvex
