// The writer side of kestrune.dat: the readable ability table in data/ (TOML)
// parsed into descriptions, and descriptions encoded into the file the library
// maps. Used by the ability-file builder and by tests; not part of the shared
// library.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torvex {

struct AbilityDescription {
  uint16_t number = 0;
  std::string name;
  uint8_t colour = 7;
  uint8_t format = 0;
};

// Parses the TOML ability table:
//
//   abilities = [
//     { number = 7, name = "Alter Damage Resistance Value", colour = 0x0B, format = 19 },
//   ]
//
// Every entry needs all four keys: number 0..65535 (each at most once), a name
// of 1 to 63 printable ASCII characters without "|" (names are written through
// the colour-code writer, where "|" starts a code), colour 0..255 and format
// 0..19. On failure returns false and sets `error` to a message naming the
// line; `out` is then unspecified. On success `out` is sorted by number.
bool ParseAbilitySource(std::string_view text, std::vector<AbilityDescription>& out,
                        std::string& error);

// The file bytes: entries 0 .. H for H = the highest number described, names
// after the last entry, each distinct name stored once. Numbers without a
// description read as "Unknown", colour 7, format 0, the library's answer for
// numbers above H. The "not read" bytes are zero. Precondition: numbers are
// unique.
std::vector<uint8_t> EncodeAbilityFile(std::span<const AbilityDescription> abilities);

}  // namespace torvex
