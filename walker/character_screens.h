// The character's own screens: the experience table and line, the party
// line, the status screen and the regeneration figures. Each is a list of
// colour-code lines built by a plain function of the character and the records
// it draws on, and written at the cursor by the walker's commands.
//
// Experience is 64-bit and printed whole everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "walker/character_rules.h"
#include "walker/session.h"

namespace torvex {

// "first last", as the status and party screens name the character.
std::string CharacterFullName(const WalkerCharacter& character);

// HELP EXPERIENCE: ten levels from three below the character's (from level 2
// when that would be below 1) with the experience each needs.
std::vector<std::string> ExperienceTableLines(const WalkerCharacter& character,
                                              const CharacterSheet& sheet);
// EXPERIENCE: experience, level, what is still missing for the next level,
// what the next level needs, and the share of it gained.
std::string ExperienceLine(const WalkerCharacter& character, const CharacterSheet& sheet);
// PARTY.
std::vector<std::string> PartyLines(const WalkerCharacter& character, const CharacterSheet& sheet);
// STATUS: the sheet of names, figures and skills. Worn items are read through
// the item cache for the armour totals.
std::vector<std::string> StatusLines(const WalkerSession& session, const CharacterSheet& sheet);

// HPREGEN and MPREGEN: the plain and the altered figures, or the invalid-class
// line when the character's class cannot be read.
std::vector<std::string> HitPointRegenLines(const WalkerSession& session);
std::vector<std::string> ManaRegenLines(const WalkerSession& session);

}  // namespace torvex
