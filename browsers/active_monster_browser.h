// The active-monster browser (WCCACMS2): the monsters alive in the running
// game, their spells, drops, coins and the rooms they went through. Searches by
// name and by dropped item; no macros, extended view or simulator.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "browsers/browser_frame.h"
#include "console/console.h"

namespace torvex {

// Runs the browser until the user leaves it (main menu key K, "/ACTIVE").
void RunActiveMonsterBrowser(Console& console);

const BrowserDescription& ActiveMonsterBrowserDescription();

// Paints the whole screen for an active-monster record's bytes (shorter input
// reads as zeros). Items, spells, rooms and monsters named are looked up.
void ShowActiveMonsterDetail(Console& console, std::span<const uint8_t> record);

// The experience shown: expMultiplier * exp, whole (both are 32-bit).
uint64_t ActiveMonsterExp(uint32_t expMultiplier, uint32_t exp);

// The rooms of the track list to show, in their order: every non-zero entry.
// A zero entry is skipped, so it neither hides the entries after it nor leaves
// an empty row; "None" stands in for an empty result.
std::vector<uint32_t> ShownTracks(std::span<const uint32_t> tracks);

}  // namespace torvex
