// Making a new character at the start of a walk: the race and class choices
// and the values the character starts with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "console/console.h"
#include "walker/session.h"

namespace torvex {

// A race or class as the choice lists show it.
struct ListedChoice {
  uint32_t number = 0;
  std::string name;
};
// Every race or class of its file in number order; empty when the file cannot
// be read.
std::vector<ListedChoice> ListRaces();
std::vector<ListedChoice> ListClasses();

enum class ChoiceKind { kRace, kClass };

// Lists `choices` and asks until the operator names one of them. nullopt when
// the operator types X or 0, or when there is nothing to choose from.
std::optional<uint32_t> AskChoice(Console& console, ChoiceKind kind,
                                  const std::vector<ListedChoice>& choices);

// Asks for a race and a class and, when both are chosen, makes the new
// character: race, class, nine lives, nothing carried, the race's starting
// stats and character points, and then lets the operator fill in the
// character sheet form. The character is made whether the form was saved or
// left. False when the operator gave up at a choice.
bool CreateCharacter(Console& console, WalkerSession& session);

}  // namespace torvex
