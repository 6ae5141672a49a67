// The race browser (WCCRACE2) and the class browser (WCCCLAS2): one screen per
// record with its statistics and ten ability slots, and a search by name that
// goes straight to its prompt.
#pragma once

#include <cstdint>
#include <span>

#include "browsers/browser_frame.h"
#include "console/console.h"

namespace torvex {

// Run the browsers until the user leaves them (main menu, "/RACES",
// "/CLASSES").
void RunRaceBrowser(Console& console);
void RunClassBrowser(Console& console);

const BrowserDescription& RaceBrowserDescription();
const BrowserDescription& ClassBrowserDescription();

// Paint the whole screen for a record's bytes (shorter input reads as zeros).
// Ability names are looked up.
void ShowRaceDetail(Console& console, std::span<const uint8_t> record);
void ShowClassDetail(Console& console, std::span<const uint8_t> record);

}  // namespace torvex
