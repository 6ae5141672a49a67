#include "walker/walker.h"

#include <string>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/read_line.h"
#include "database/record_access.h"
#include "database/settings.h"
#include "walker/character_choice.h"
#include "walker/character_rules.h"
#include "walker/commands.h"
#include "walker/movement.h"
#include "walker/room_view.h"
#include "walker/session.h"
#include "walker/text_script.h"
#include "walker/walker_screens.h"

namespace torvex {

namespace {

void WriteHeading(Console& console) {
  console.ClrScr();
  WriteColourLn(console, "|14Dunmarrow - ROL");
  WriteColourLn(
      console,
      "|08=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=|07");
  WriteColourLn(console, "");
  WriteColourLn(console, "Attention!");
  WriteColourLn(console, "");
  WriteColourLn(console, WalkerNotice());
  WriteColourLn(console, "");
  WriteColourLn(console,
                "|14NOTE|07 - Type |15? |07or |15HELP |07for command help.  Type |15X |07to exit "
                "the simulator.");
}

void SetTitle(Console& console, const RoomRecord& room) {
  const std::string title = room.title();
  console.display().SetTitle(Format(
      "%s - %s : %s (%d/%d)", "TORVEXNT", "RoomSim", title.empty() ? "<unnamed>" : title.c_str(),
      static_cast<int32_t>(room.roomNumber()), static_cast<int32_t>(room.mapNumber())));
}

void WritePrompt(Console& console, const WalkerSession& session) {
  const CharacterSheet sheet = LoadCharacterSheet(session);
  const MagicKind magic = MagicOf(sheet.characterClass);
  WriteColour(console,
              PromptText(session.options.palette, magic, PromptHitPoints(session.character, sheet),
                         MaximumMana(session.character, sheet, true)));
}

// The walk from its first room on; false when it never started.
bool RunWalk(Console& console, WalkerSession& session, uint32_t map, uint32_t room) {
  RoomRecord start;
  if (GetRoom(map, room, start, true) != 0) {
    WriteColourLn(console, MissingRoomText(map, room));
    return false;
  }
  // A walk may start from a browser's screen: the whole screen in grey, and a
  // clear one for the choice of a new character.
  console.Window(1, 1, console.ScreenWidth(), console.ScreenHeight());
  console.SetTextAttr(7);
  if (session.character.newCharacter) {
    console.ClrScr();
    if (!CreateCharacter(console, session)) return false;
    session.StoreToSettings(CurrentSettings());
  }

  WriteHeading(console);
  if (session.character.lives == 1) WriteColourLn(console, "|07You feel your life-force ebbing.");
  EnterRoom(session, start);

  WalkTurn turn{console, session};
  turn.show = RoomShow::kAsBriefModeSays;
  while (!turn.leave) {
    SetTitle(console, session.room);
    switch (turn.show) {
      case RoomShow::kNothing:
        break;
      case RoomShow::kWithoutText:
        DisplayRoom(console, session, session.room, false, true);
        break;
      case RoomShow::kAsBriefModeSays:
        DisplayRoom(console, session, session.room, !session.options.brief, true);
        break;
      case RoomShow::kFull:
        DisplayRoom(console, session, session.room, true, true);
        break;
    }
    turn.show = RoomShow::kNothing;
    WritePrompt(console, session);
    RunTypedLine(turn, ReadLine(console, kMaxTypedLine));
    // The program may end on a signal while the walk waits for the next
    // line; what is saved then must be the character as it stands now.
    session.StoreToSettings(CurrentSettings());
  }
  return true;
}

}  // namespace

void Walk(Console& console, uint32_t& map, uint32_t& room) {
  WalkerSession& session = CurrentWalkerSession();
  session.LoadFromSettings(CurrentSettings());
  // Spells cast on the walk (exits, scripts) run their text blocks here.
  InstallTextBlockRunner(console, session);
  if (RunWalk(console, session, map, room)) {
    map = session.map();
    room = session.roomNumber();
  }
  session.StoreToSettings(CurrentSettings());
}

}  // namespace torvex
