// The gang browser (WCCGANG2): one gang per screen, moved through by the
// frame's keys and jumped to by its gang ID. No search, macros or simulator.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "browsers/browser_frame.h"
#include "console/console.h"

namespace torvex {

// Runs the browser until the user leaves it (main menu key N, "/GANGS").
void RunGangBrowser(Console& console);

const BrowserDescription& GangBrowserDescription();

// Paints the whole screen for a gang record's bytes (shorter input reads as
// zeros).
void ShowGangDetail(Console& console, std::span<const uint8_t> record);

// The experience a gang has earned: with the rolled-over flag (bit 3),
// rollCount * 4294967295 + exp + extraExp, which needs more than 64 bits at
// the fields' limits; otherwise exp alone.
unsigned __int128 GangTotalExp(uint8_t flags, uint16_t rollCount, uint32_t exp, uint32_t extraExp);

// The raw dump file of a gang: "rawgangsnt-<ID>.bin" in the working
// directory, every byte of the ID other than a letter, a digit, '-' or '_'
// written as '_' so that the ID can name no other place. An empty ID gives
// "rawgangsnt-.bin".
std::string GangRawDumpName(std::span<const uint8_t> record);

}  // namespace torvex
