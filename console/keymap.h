// The keyboard translation table: key events to the PC BIOS codes that
// Console::ReadKey returns.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/terminal/display.h"

namespace torvex {

// Extended codes are 256 + scan code (ReadKey returns 0, then the scan code).
inline constexpr uint16_t kExtended = 256;

// The code a key event gives, or nullopt when the combination gives nothing
// (modifier keys alone, keys without a row, missing entries).
std::optional<uint16_t> TranslateKey(const KeyEvent& event);

}  // namespace torvex
