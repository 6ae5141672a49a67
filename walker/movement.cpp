#include "walker/movement.h"

#include <array>
#include <optional>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/text_values.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "platform/random.h"
#include "simulators/simulator_screen.h"
#include "simulators/spell_cast.h"
#include "walker/room_monsters.h"
#include "walker/room_view.h"

namespace torvex {

namespace {

struct DirectionWord {
  std::string_view shortWord;
  std::string_view longWord;
};
constexpr std::array<DirectionWord, 10> kDirectionWords{{{"N", "NORTH"},
                                                         {"S", "SOUTH"},
                                                         {"E", "EAST"},
                                                         {"W", "WEST"},
                                                         {"NE", "NORTHEAST"},
                                                         {"NW", "NORTHWEST"},
                                                         {"SE", "SOUTHEAST"},
                                                         {"SW", "SOUTHWEST"},
                                                         {"U", "UP"},
                                                         {"D", "DOWN"}}};

std::optional<MessageRecord> FindMessage(uint32_t number) {
  MessageRecord message;
  if (GetMessage(number, message) != 0) return std::nullopt;
  return message;
}

// Writes `colour` + the first line of message `number`, when it exists.
void WriteExitMessage(Console& console, std::string_view colour, uint32_t number) {
  if (const auto message = FindMessage(number)) {
    WriteColourLn(console, std::string(colour) + message->line1());
  }
}

// Writes `colour` + the first line of message `number`, when it exists and
// says something.
void WriteExitMessageUnlessEmpty(Console& console, std::string_view colour, uint32_t number) {
  if (const auto message = FindMessage(number); message && !message->line1().empty()) {
    WriteColourLn(console, std::string(colour) + message->line1());
  }
}

void CastExitSpell(Console& console, const WalkerSession& session, uint32_t spellNumber) {
  if (!session.options.Has(session.options.mapping, kMapCastExitSpells)) return;
  SpellRecord spell;
  if (GetSpell(spellNumber, spell) != 0) return;
  int32_t energy = kExitSpellEnergy;
  // No stop is asked for: the follow-on casts are bounded by the rules, and a
  // key read here would be taken from the next command line.
  CastSpell(spell, energy, kExitSpellResistance, kExitSpellLevel, false, nullptr, ProgramRandom(),
            ConsoleOutput(console), {});
}

// What an exit says (or does) as it is taken by direction.
void BeforeWalking(Console& console, const WalkerSession& session, int d) {
  const RoomRecord& room = session.room;
  switch (static_cast<ExitType>(room.exitType(d))) {
    case ExitType::kToll:
      WriteColourLn(console,
                    Format("You just paid %u gold in toll charges.", room.exitParameter1(d)));
      break;
    case ExitType::kAction:
      WriteExitMessage(console, "|02", room.exitParameter1(d));
      break;
    case ExitType::kText:
      WriteExitMessage(console, "|14", room.exitParameter3(d));
      break;
    case ExitType::kItem:
    case ExitType::kTrap:
      WriteExitMessage(console, "|02", room.exitParameter3(d));
      break;
    case ExitType::kHidden:
      if (room.exitParameter2(d) == 0) WriteExitMessage(console, "|02", room.exitParameter3(d));
      break;
    case ExitType::kCast:
      CastExitSpell(console, session, room.exitParameter2(d));
      break;
    case ExitType::kSpellTrap:
      CastExitSpell(console, session, room.exitParameter1(d));
      break;
    default:
      break;
  }
}

// The map an exit leads to.
uint32_t TargetMap(const RoomRecord& room, int d) {
  return room.exitType(d) == static_cast<uint16_t>(ExitType::kMapChange) ? room.exitParameter1(d)
                                                                         : room.mapNumber();
}

bool ExitAnswers(const MessageRecord& words, std::string_view line) {
  for (size_t i = 0; i < MessageRecord::kLines; ++i) {
    if (UpperCased(words.line(i)) == line) return true;
  }
  return false;
}

}  // namespace

int DirectionNumber(std::string_view word) {
  for (size_t d = 0; d < kDirectionWords.size(); ++d) {
    if (word == kDirectionWords[d].shortWord || word == kDirectionWords[d].longWord) {
      return static_cast<int>(d);
    }
  }
  return -1;
}

bool IsWalkableExit(uint16_t exitType) {
  const auto type = static_cast<ExitType>(exitType);
  return exitType <= static_cast<uint16_t>(ExitType::kSpellTrap) && type != ExitType::kSpell &&
         type != ExitType::kRemoteAction;
}

std::string MissingRoomText(uint32_t map, uint32_t room) {
  return Format("|12Map %d Room %d does not exist!", static_cast<int32_t>(map),
                static_cast<int32_t>(room));
}

void EnterRoom(WalkerSession& session, const RoomRecord& room) {
  session.room = room;
  session.roomMonsters = GenerateRoomMonsters(
      room, ProgramRandom(), session.options.Has(session.options.monsters, kMonstersPrefixes));
}

bool GoToRoom(Console& console, WalkerSession& session, uint32_t map, uint32_t room) {
  RoomRecord record;
  if (GetRoom(map, room, record, true) != 0) {
    WriteColourLn(console, MissingRoomText(map, room));
    return false;
  }
  EnterRoom(session, record);
  return true;
}

bool WalkThroughExit(Console& console, WalkerSession& session, int direction) {
  const RoomRecord& room = session.room;
  if (direction < 0 || direction >= static_cast<int>(RoomRecord::kDirections) ||
      room.exitRoom(direction) == 0 || !IsWalkableExit(room.exitType(direction))) {
    WriteColourLn(console, "|07There is no exit in that direction!");
    return false;
  }
  const uint32_t map = TargetMap(room, direction);
  const uint32_t target = room.exitRoom(direction);
  BeforeWalking(console, session, direction);
  return GoToRoom(console, session, map, target);
}

void LookThroughExit(Console& console, const WalkerSession& session, int direction) {
  const RoomRecord& room = session.room;
  if (room.exitRoom(direction) == 0) {
    const std::string_view name = WalkerDirectionName(direction);
    if (name == "up") {
      WriteColourLn(console, "|12There are no exits upwards!");
    } else if (name == "down") {
      WriteColourLn(console, "|12There are no exits downwards!");
    } else {
      WriteColourLn(console, "|12There are no exits to the " + std::string(name) + "!");
    }
    return;
  }
  const uint32_t map = TargetMap(room, direction);
  RoomRecord target;
  if (GetRoom(map, room.exitRoom(direction), target, true) != 0) {
    WriteColourLn(console, MissingRoomText(map, room.exitRoom(direction)));
    return;
  }
  DisplayRoom(console, session, target, true, false);
}

TypedExit TakeTypedExit(Console& console, WalkerSession& session, std::string_view line) {
  const RoomRecord room = session.room;
  for (int d = 0; d < static_cast<int>(RoomRecord::kDirections); ++d) {
    const auto type = static_cast<ExitType>(room.exitType(d));
    if (type != ExitType::kText && type != ExitType::kRemoteAction) continue;
    const auto words = FindMessage(room.exitParameter1(d));
    if (!words || !ExitAnswers(*words, line)) continue;
    if (type == ExitType::kText) {
      WriteExitMessageUnlessEmpty(console, "|14", room.exitParameter3(d));
      return GoToRoom(console, session, room.mapNumber(), room.exitRoom(d)) ? TypedExit::kTaken
                                                                            : TypedExit::kMissing;
    }
    WriteExitMessageUnlessEmpty(console, "|02", room.exitParameter3(d));
    RoomRecord again;
    if (GetRoom(room.mapNumber(), room.roomNumber(), again, true) == 0) EnterRoom(session, again);
    return TypedExit::kRemote;
  }
  return TypedExit::kNone;
}

}  // namespace torvex
