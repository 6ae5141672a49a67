#include "walker/character_commands.h"

#include <string>
#include <vector>

#include "console/colour_text.h"
#include "walker/character_death.h"
#include "walker/character_form.h"
#include "walker/character_rules.h"
#include "walker/character_screens.h"
#include "walker/character_training.h"
#include "walker/holdings.h"

namespace torvex {

namespace {

void SayAll(WalkTurn& turn, const std::vector<std::string>& lines) {
  WriteLines(turn.console, lines);
}

void ShowStatus(WalkTurn& turn) {
  SayAll(turn, StatusLines(turn.session, LoadCharacterSheet(turn.session)));
}

}  // namespace

bool ShowStatusCommand(WalkTurn& turn, const TypedLine&, std::string_view) {
  ShowStatus(turn);
  return true;
}

bool ShowExperienceCommand(WalkTurn& turn, const TypedLine&, std::string_view) {
  WriteColourLn(turn.console,
                ExperienceLine(turn.session.character, LoadCharacterSheet(turn.session)));
  return true;
}

bool ShowExperienceTableCommand(WalkTurn& turn, const TypedLine&, std::string_view) {
  SayAll(turn, ExperienceTableLines(turn.session.character, LoadCharacterSheet(turn.session)));
  return true;
}

bool ShowPartyCommand(WalkTurn& turn, const TypedLine&, std::string_view) {
  SayAll(turn, PartyLines(turn.session.character, LoadCharacterSheet(turn.session)));
  return true;
}

bool ShowRegenerationCommand(WalkTurn& turn, const TypedLine& line, std::string_view) {
  const bool mana = Abbreviates(line.Word(0), "MPREGEN", 4);
  SayAll(turn, mana ? ManaRegenLines(turn.session) : HitPointRegenLines(turn.session));
  return true;
}

bool TrainLevelCommand(WalkTurn& turn, const TypedLine&, std::string_view) {
  SayAll(turn, TrainLevel(turn.session));
  return true;
}

bool TrainStatsCommand(WalkTurn& turn, const TypedLine&, std::string_view) {
  TrainStats(turn.console, turn.session);
  ShowStatus(turn);
  return true;
}

bool SuicideCommand(WalkTurn& turn, const TypedLine&, std::string_view) {
  const uint32_t map = turn.session.map(), room = turn.session.roomNumber();
  if (Suicide(turn.console, turn.session)) {
    turn.leave = true;
  } else if (turn.session.map() != map || turn.session.roomNumber() != room) {
    turn.show = RoomShow::kAsBriefModeSays;
  }
  return true;
}

bool RerollCommand(WalkTurn& turn, const TypedLine&, std::string_view) {
  Reroll(turn.console, turn.session);
  turn.leave = true;
  return true;
}

}  // namespace torvex
