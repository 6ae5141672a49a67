// The walker's commands about its character, as rows of the command tables
// call them: the status, experience, party and regeneration screens, training,
// death and reroll.
#pragma once

#include <string_view>

#include "walker/commands.h"
#include "walker/typed_line.h"

namespace torvex {

// STATUS.
bool ShowStatusCommand(WalkTurn& turn, const TypedLine& line, std::string_view command);
// EXPERIENCE.
bool ShowExperienceCommand(WalkTurn& turn, const TypedLine& line, std::string_view command);
// ? or HELP EXPERIENCE.
bool ShowExperienceTableCommand(WalkTurn& turn, const TypedLine& line, std::string_view command);
// PARTY.
bool ShowPartyCommand(WalkTurn& turn, const TypedLine& line, std::string_view command);
// HPREGEN or MPREGEN, as the first word says.
bool ShowRegenerationCommand(WalkTurn& turn, const TypedLine& line, std::string_view command);
// TRAIN, and BUY TRAINING in a shop room.
bool TrainLevelCommand(WalkTurn& turn, const TypedLine& line, std::string_view command);
// TRAIN STATS: the stat form in a training hall, then the status screen.
bool TrainStatsCommand(WalkTurn& turn, const TypedLine& line, std::string_view command);
// SUICIDE: the room is shown again when the death moved the character; the
// walk ends after the last life.
bool SuicideCommand(WalkTurn& turn, const TypedLine& line, std::string_view command);
// REROLL: the walk ends.
bool RerollCommand(WalkTurn& turn, const TypedLine& line, std::string_view command);

}  // namespace torvex
