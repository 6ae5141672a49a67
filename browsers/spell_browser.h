// The spell browser (WCCSPEL2): one screen per spell with its level, cost,
// duration and damage formulas worked out at the spell's level, its texts and
// its ability slots; searches by name and by ability; Ctrl+S for the
// spell-casting simulator.
#pragma once

#include <cstdint>
#include <span>

#include "browsers/browser_frame.h"
#include "console/console.h"

namespace torvex {

// Runs the browser until the user leaves it (main menu, "/SPELLS").
void RunSpellBrowser(Console& console);

const BrowserDescription& SpellBrowserDescription();

// Paints the whole screen for a spell record's bytes (shorter input reads as
// zeros). Ability names and values are looked up.
void ShowSpellDetail(Console& console, std::span<const uint8_t> record);

}  // namespace torvex
