// Scaffold: replaced by the monster-list rules.
#include "walker/room_monsters.h"

namespace torvex {

std::vector<MonsterRecord> GenerateRoomMonsters(const RoomRecord&, Random&, bool) {
  return {};
}
std::string MonsterDisplayName(const MonsterRecord& monster, Random&) {
  return monster.name();
}

}  // namespace torvex
