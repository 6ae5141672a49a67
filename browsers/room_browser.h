// The room browser (WCCMP002): the main room screen with exits, details and
// regeneration, a room's items and its active monsters on screens of their
// own, the room searches, and Ctrl+S to walk the world from the room shown.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "browsers/browser_frame.h"
#include "console/console.h"

namespace torvex {

// A walk from room `room` of map `map`; on return the pair holds the room
// where the walk ended. Walk (walker/walker.h) is the program's.
using WalkFunction = std::function<void(Console& console, uint32_t& map, uint32_t& room)>;

// Runs the browser until the user leaves it (main menu key 8 or A, "/ROOMS").
// Ctrl+S walks with `walk`, then the browser stands on the room where the walk
// ended (a room that is not in the file is reported and the old one stays).
void RunRoomBrowser(Console& console);
void RunRoomBrowser(Console& console, const WalkFunction& walk);

// The "/ROOMSIM" start: walks from the first room of the room file. A file
// that cannot be opened or read is reported in the record manager's error box
// and nothing is walked. The file is closed before the walk starts.
void RunRoomWalkerStart(Console& console);
void RunRoomWalkerStart(Console& console, const WalkFunction& walk);

// The three views as frame descriptions, walking with `walk`; the main one's E
// and M run the others on the same open file.
BrowserDescription RoomBrowserDescription(const WalkFunction& walk);

// Paint the whole screen for a room record's bytes (shorter input reads as
// zeros). Spell, item and active-monster names are looked up.
void ShowRoomDetail(Console& console, std::span<const uint8_t> record);
void ShowRoomItems(Console& console, std::span<const uint8_t> record);
void ShowRoomMonsters(Console& console, std::span<const uint8_t> record);

}  // namespace torvex
