// The item-owner browser (WCCITOW2): who holds each limited item, a room, a
// user or an active monster. Searches by item number and by user name; no
// macros, extended view or simulator.
#pragma once

#include <cstdint>
#include <span>

#include "browsers/browser_frame.h"
#include "console/console.h"

namespace torvex {

// Runs the browser until the user leaves it (main menu key O, "/ITOWNERS").
void RunItemOwnerBrowser(Console& console);

const BrowserDescription& ItemOwnerBrowserDescription();

// Paints the whole screen for an item-owner record's bytes (shorter input
// reads as zeros). The item, room and active monster named are looked up.
void ShowItemOwnerDetail(Console& console, std::span<const uint8_t> record);

}  // namespace torvex
