// The message browser (WCCMSG2): the numbered three-line messages other
// records refer to (hit, miss, death and cast messages and the like).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "browsers/browser_frame.h"
#include "console/console.h"

namespace torvex {

// Runs the browser until the user leaves it (main menu key 6 or G, "/MESSAGES").
void RunMessageBrowser(Console& console);

const BrowserDescription& MessageBrowserDescription();

// "TORVEXNT - Message : <number> (0x<number in lower-case hex>)".
std::string MessageTitle(std::span<const uint8_t> record);

// Paints the whole screen for a message record's bytes (shorter input reads as
// zeros). The lines are shown as stored: colour codes and control bytes appear
// as written, not obeyed.
void ShowMessageDetail(Console& console, std::span<const uint8_t> record);

}  // namespace torvex
