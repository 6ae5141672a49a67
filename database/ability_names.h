// Ability names, colours and value texts, answered from the ability file
// (kestrune.dat) through the Kestrune library. The program keeps one file open
// from start-up to exit.
//
// With no file open every look-up answers as having no entry: the name is
// empty, the colour 7 and every ability text empty. Ability numbers are taken
// as 16 bits, like the records' ability slots. The colour codes of an ability
// are ColourCodes(AbilityColour(number)) (console/colour_text.h).
//
// Not thread-safe: the open file is program state, opened and closed by the
// main thread while nothing else looks abilities up.
#pragma once

#include <cstdint>
#include <string>

namespace torvex {

// Opens kestrune.dat in the executable's directory. Call once at start-up. A
// missing or unreadable file is not reported; look-ups then find no entries.
void OpenAbilityNames();
// Opens the ability file at `path` in place of any open one. Returns whether
// it opened.
bool OpenAbilityNames(const std::string& path);
// Closes the open file, if any. Call at exit; texts already returned are
// copies and stay valid.
void CloseAbilityNames();

// The ability's name; "" when it has no entry.
std::string AbilityName(int32_t number);
// The ability's colour byte; 7 when it has no entry.
uint32_t AbilityColour(int32_t number);

// Names of the records an ability value can refer to (value formats 1 to 5),
// each "" when the record cannot be read. kRecordAccessNames are the
// program's look-ups through the record cache; tests pass their own.
struct AbilityValueNames {
  std::string (*race)(uint32_t number);
  std::string (*characterClass)(uint32_t number);
  std::string (*spell)(uint32_t number);
  std::string (*item)(uint32_t number);
  std::string (*monster)(uint32_t number);
};
extern const AbilityValueNames kRecordAccessNames;

// The ability's name with its value, as the item, monster, race and class
// screens show it: "Alter HP +5", "Follow-on Spell 17 (Firebolt)",
// "Gold Worth 5 gold crowns", "Protective Shield +1.5". "" when the ability has
// no entry or its value format is 20 or more.
std::string AbilityText(int32_t number, int32_t value,
                        const AbilityValueNames& names = kRecordAccessNames);

// The value alone, as the spell screen shows it ("+5", "17 (Firebolt)", "25"),
// except that the coin and tenths formats read as in AbilityText, name
// included. "" in the same cases as AbilityText.
std::string AbilityValueText(int32_t number, int32_t value,
                             const AbilityValueNames& names = kRecordAccessNames);

}  // namespace torvex
