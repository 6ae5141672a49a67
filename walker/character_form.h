// The character sheet form: names, the six stats and the appearance, entered
// in place on the character-creation screen. A new character fills it in at
// the start of a walk; TRAIN STATS opens it again in a training hall.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "console/console.h"
#include "database/records/records.h"
#include "walker/session.h"

namespace torvex {

// The lowest and highest value the form lets a stat take.
inline constexpr int32_t kLowestStat = 10;
inline constexpr int32_t kHighestStat = 250;

// The message row of the form.
inline constexpr int kFormMessageRow = 23;

// The name rule: a letter or "_" first, then letters, digits, "-" and "_".
// The empty name passes.
bool IsValidName(std::string_view name);

// The form's fields, in the order the form visits them.
enum StatFormField : int {
  kFieldFirstName = 0,
  kFieldLastName,
  kFieldStrength,
  kFieldIntellect,
  kFieldWillpower,
  kFieldAgility,
  kFieldHealth,
  kFieldCharm,
  kFieldHairLength,
  kFieldHairColour,
  kFieldEyeColour,
  kFieldButtons,
  kStatFormFields
};

// What is wrong with `value` entered in `field`, without colour codes, or
// nullopt when it may stand. A stat that is not a number may stand: saving
// gives it the race's base value.
std::optional<std::string> StatFormComplaint(int field, std::string_view value);

// Paints the character-creation screen for `character` of `race` and
// `className` and runs its form. SAVE stores the names, stats and appearance
// in `character`; QUIT and Esc leave it as it was. True when it was saved.
// Leaves the screen as the form left it.
bool RunStatForm(Console& console, WalkerCharacter& character, const RaceRecord& race,
                 const std::string& className);

// TRAIN STATS: the room's shop must be a training hall open to the
// character's class; then the form runs. Writes the refusal and returns false
// otherwise. The screen is cleared after the form.
bool TrainStats(Console& console, WalkerSession& session);

}  // namespace torvex
