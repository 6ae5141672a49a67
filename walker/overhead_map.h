// The walker's overhead map (MAP) and its legend (MAP HELP).
#pragma once

#include <string_view>

#include "console/console.h"
#include "walker/session.h"

namespace torvex {

// MAP with the typed height text ("" for MAP alone): draws the rooms around
// the session's current room as the map's rules give and writes the grid.
// Esc or Ctrl+C while drawing stops it with a warning.
void ShowOverheadMap(Console& console, const WalkerSession& session, std::string_view height);

// MAP HELP.
void ShowMapHelp(Console& console);

}  // namespace torvex
