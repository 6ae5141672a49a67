// Moving about: direction words, which exits can be walked, what an exit says
// when it is taken, entering rooms, looking through exits and the exits taken
// by typing their words.
#pragma once

#include <cstdint>
#include <string_view>

#include "console/console.h"
#include "database/records/records.h"
#include "walker/session.h"

namespace torvex {

// The direction an upper-case word names (N, NORTH ... D, DOWN), or -1.
int DirectionNumber(std::string_view word);

// True for the exit types a character can walk through by direction.
bool IsWalkableExit(uint16_t exitType);

// "|12Map %d Room %d does not exist!".
std::string MissingRoomText(uint32_t map, uint32_t room);

// Makes `room` the room stood in and generates the monsters found there.
void EnterRoom(WalkerSession& session, const RoomRecord& room);

// Enters room `room` of map `map` when it exists; otherwise writes the
// missing-room line and stays. True when the character moved.
bool GoToRoom(Console& console, WalkerSession& session, uint32_t map, uint32_t room);

// Walks through the exit in `direction` of the current room, writing what the
// exit says on the way. True when the character moved.
bool WalkThroughExit(Console& console, WalkerSession& session, int direction);

// LOOK <direction>: shows the room the exit leads to without moving.
void LookThroughExit(Console& console, const WalkerSession& session, int direction);

// How a typed line was taken by the current room's text exits.
enum class TypedExit {
  kNone,     // no text or remote-action exit answers the line
  kTaken,    // a text exit was taken into its room
  kMissing,  // a text exit answered but leads to a room that does not exist
  kRemote,   // a remote action was set off; the room stays
};
// Compares `line` (trimmed, upper case) with the words of the current room's
// text and remote-action exits, in direction order, and acts on the first
// that answers.
TypedExit TakeTypedExit(Console& console, WalkerSession& session, std::string_view line);

// The magic resistance and energy an exit's spell is cast with on the
// character.
inline constexpr int32_t kExitSpellResistance = 100;
inline constexpr int32_t kExitSpellEnergy = 1000;
inline constexpr int32_t kExitSpellLevel = 100;

}  // namespace torvex
