// The keyboard translation table: key events to the PC BIOS codes that
// Console::ReadKey returns.
#pragma once

#include <cstdint>
#include <optional>

#include "console/keys.h"
#include "platform/terminal/display.h"

namespace torvex {

// The whole key (console/keys.h) a key event gives, or nullopt when the combination gives nothing
// (modifier keys alone, keys without a row, missing entries).
std::optional<uint16_t> TranslateKey(const KeyEvent& event);

}  // namespace torvex
