// The item browser (WCCITEM2): the main item screen, the extended screen with
// restrictions, negated spells and treasure, their searches, and Ctrl+S for the
// weapon simulator.
#pragma once

#include <cstdint>
#include <span>

#include "browsers/browser_frame.h"
#include "console/console.h"

namespace torvex {

// Runs the browser until the user leaves it (main menu key 5 or I, "/ITEMS").
void RunItemBrowser(Console& console);

// The two views as frame descriptions; the main one's E runs the extended one
// on the same open file.
const BrowserDescription& ItemBrowserDescription();
const BrowserDescription& ItemExtendedDescription();

// Paint the whole screen for an item record's bytes (shorter input reads as
// zeros). Names of classes, races, spells and abilities are looked up.
void ShowItemDetail(Console& console, std::span<const uint8_t> record);
void ShowItemExtended(Console& console, std::span<const uint8_t> record);

}  // namespace torvex
