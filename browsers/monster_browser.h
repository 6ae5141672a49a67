// The monster browser (WCCKNMS2): the main monster screen, the extended screen
// with attacks, spells and the last kill, their searches, and Ctrl+S for the
// monster attack simulator.
#pragma once

#include <cstdint>
#include <span>

#include "browsers/browser_frame.h"
#include "console/console.h"

namespace torvex {

// Runs the browser until the user leaves it (main menu key 4 or M, "/MONSTERS").
void RunMonsterBrowser(Console& console);

// The two views as frame descriptions; the main one's E runs the extended one
// on the same open file.
const BrowserDescription& MonsterBrowserDescription();
const BrowserDescription& MonsterExtendedDescription();

// Paint the whole screen for a monster record's bytes (shorter input reads as
// zeros). Names of items, spells, messages and abilities are looked up.
void ShowMonsterDetail(Console& console, std::span<const uint8_t> record);
void ShowMonsterExtended(Console& console, std::span<const uint8_t> record);

}  // namespace torvex
