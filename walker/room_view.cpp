#include "walker/room_view.h"

#include <array>
#include <optional>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/stored_text.h"
#include "database/ability_names.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "database/records/tables.h"
#include "walker/holdings.h"

namespace torvex {

namespace {

constexpr std::array<std::string_view, kDirectionCount> kWalkerDirectionNames{
    "north",     "south",     "east",      "west", "northeast",
    "northwest", "southeast", "southwest", "up",   "down"};

int Signed(uint16_t value) {
  return static_cast<int16_t>(value);
}
int Signed(uint32_t value) {
  return static_cast<int32_t>(value);
}

// The first line of message `number` when that message exists.
std::optional<std::string> MessageLine1(uint32_t number) {
  MessageRecord message;
  if (GetMessage(number, message) != 0) return std::nullopt;
  return message.line1();
}

// The words an exit is listed by, before any detail.
std::string ExitEntry(const RoomRecord& room, int d) {
  const std::string name(WalkerDirectionName(d));
  switch (static_cast<ExitType>(room.exitType(d))) {
    case ExitType::kDoor:
      return "open door " + name;
    case ExitType::kGate:
      return "open gate " + name;
    case ExitType::kHidden:
      if (room.exitParameter1(d) > 1) {
        if (const auto passage = MessageLine1(room.exitParameter4(d))) {
          const std::string texts[] = {name};
          return FillStoredText(*passage, texts, {});
        }
        return "secret passage " + name;
      }
      return name;
    default:
      return name;
  }
}

// A door's or gate's key and lock: "(door:key, picklocks:n)" and its shorter forms.
std::string LockDetail(std::string_view kind, const RoomRecord& room, int d) {
  const uint32_t key = room.exitParameter1(d);
  const int picklocks = Signed(room.exitParameter2(d));
  const std::string k(kind);
  if (key != 0 && picklocks != 0) {
    return Format("(%s:%s, picklocks:%d)", k.c_str(), ItemName(key).c_str(), picklocks);
  }
  if (key != 0) return Format("(%s:%s)", k.c_str(), ItemName(key).c_str());
  if (picklocks != 0) return Format("(picklocks:%d)", picklocks);
  return "";
}

// What the detailed exit style adds after an entry; "" for exits with nothing to add.
std::string ExitDetail(const RoomRecord& room, int d) {
  const uint32_t p1 = room.exitParameter1(d);
  const uint16_t p2 = room.exitParameter2(d);
  switch (static_cast<ExitType>(room.exitType(d))) {
    case ExitType::kKey:
      if (p2 != 0) return Format("(key:%s, picklocks:%d)", ItemName(p1).c_str(), Signed(p2));
      return Format("(key:%s)", ItemName(p1).c_str());
    case ExitType::kItem:
      return Format("(item:%s)", ItemName(p1).c_str());
    case ExitType::kToll:
      return Format("(toll:%d gold crowns)", Signed(p1));
    case ExitType::kHidden:
      return "(hidden)";
    case ExitType::kDoor:
      return LockDetail("door", room, d);
    case ExitType::kGate:
      return LockDetail("gate", room, d);
    case ExitType::kMapChange:
      return Format("(map:%d)", Signed(p1));
    case ExitType::kTrap:
      return Format("(trap:%d-%d)", Signed(p1), Signed(p2));
    case ExitType::kText:
      return "(gocmd:" + MessageText(p1) + ")";
    case ExitType::kRemoteAction:
      return Format("(remote:%s)", MessageText(p1).c_str());
    case ExitType::kClass:
      return Format("(class:%s)", ClassName(p1).c_str());
    case ExitType::kRace:
      return Format("(race:%s)", RaceName(p1).c_str());
    case ExitType::kLevel:
      return Format("(level:%d)", Signed(p1));
    case ExitType::kSpell:
      return Format("(spell:%s)", SpellName(p1).c_str());
    case ExitType::kCast:
      return Format("(spell:%s)", SpellName(p2).c_str());
    case ExitType::kAbility: {
      const std::string name =
          ColourCodes(static_cast<int>(AbilityColour(Signed(p1)))) + AbilityName(Signed(p1));
      return Format("(ability:%s %d|02)", name.c_str(), Signed(p2));
    }
    case ExitType::kSpellTrap:
      return Format("(spelltrap:%s)", SpellName(p1).c_str());
    default:
      return "";
  }
}

}  // namespace

std::string_view PaletteColour(int32_t palette) {
  switch (palette) {
    case 0:
      return "|05";
    case 1:
      return "|02";
    default:
      return "|13";
  }
}

std::string_view WalkerDirectionName(int direction) {
  if (direction < 0 || direction >= kDirectionCount) return "";
  return kWalkerDirectionNames[static_cast<size_t>(direction)];
}

std::string TitleLine(const RoomRecord& room, int32_t titleStyle) {
  if (titleStyle == kTitleDetailed) {
    return Format("|11%s (Map %d Room %d)", room.title().c_str(), Signed(room.mapNumber()),
                  Signed(room.roomNumber()));
  }
  return "|11" + room.title();
}

std::vector<std::string> DescriptionLines(const RoomRecord& room) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < RoomRecord::kDescriptionLines; ++i) {
    const std::string line = room.description(i);
    if (line.empty()) break;
    lines.push_back((i == 0 ? "|07    " : "|07") + line);
  }
  return lines;
}

std::string ItemsLine(const RoomRecord& room, int32_t itemOptions) {
  const bool numbers = (itemOptions & kItemsShowNumbers) != 0;
  std::string entries;
  size_t count = 0;
  auto add = [&](uint32_t number, uint16_t quantity, bool hidden) {
    // A slot with no copies left holds nothing to see.
    if (number == 0 || quantity == 0) return;
    ItemRecord item;
    if (GetItem(number, item, true) != 0) return;
    entries += CountedEntry(count, quantity, item.name());
    if (numbers) {
      entries += hidden ? Format(" (%d/hidden)", Signed(number)) : Format(" (%d)", Signed(number));
    } else if (hidden) {
      entries += " (hidden)";
    }
    ++count;
  };
  for (size_t i = 0; i < RoomRecord::kItemsCount; ++i) {
    add(room.items(i), room.itemQuantity(i), false);
  }
  if ((itemOptions & kItemsShowAll) != 0) {
    for (size_t i = 0; i < RoomRecord::kHiddenItemsCount; ++i) {
      add(room.hiddenItems(i), room.hiddenItemQuantity(i), true);
    }
  }
  if (count == 0) return "";
  return "|03You notice " + entries + " here.";
}

std::string MonstersLine(const std::vector<std::string>& names, int32_t palette) {
  if (names.empty()) return "";
  const std::string colour(PaletteColour(palette));
  std::string line = colour + "Also here: ";
  for (size_t i = 0; i < names.size(); ++i) {
    line += std::string(kListSeparators[i == 0 ? 0 : 1]) + names[i];
  }
  return line + colour + ".";
}

std::vector<std::string> RoomMonsterNames(const WalkerSession& session, const RoomRecord& room,
                                          bool generated) {
  const bool numbers = session.options.Has(session.options.monsters, kMonstersShowNumbers);
  std::vector<std::string> names;
  auto add = [&](const std::string& name, uint32_t number) {
    names.push_back(numbers ? name + Format(" (%d)", Signed(number)) : name);
  };
  if (session.options.Has(session.options.monsters, kMonstersActiveOnly)) {
    for (size_t i = 0; i < RoomRecord::kActiveMonstersCount; ++i) {
      const uint32_t number = room.activeMonsters(i);
      if (number == 0) continue;
      const std::string name = ActiveMonsterName(number);
      if (!name.empty()) add(name, number);
    }
  } else if (generated) {
    for (const MonsterRecord& monster : session.roomMonsters) add(monster.name(), monster.number());
  }
  return names;
}

std::string ExitLine(const RoomRecord& room, int32_t exitStyle) {
  std::string entries;
  bool any = false;
  for (int d = 0; d < kDirectionCount; ++d) {
    if (room.exitRoom(d) == 0) continue;
    const auto type = static_cast<ExitType>(room.exitType(d));
    if (exitStyle == kExitsNormal &&
        (type == ExitType::kHidden || type == ExitType::kText || type == ExitType::kRemoteAction)) {
      continue;
    }
    std::string entry = ExitEntry(room, d);
    if (exitStyle == kExitsDetailed) {
      const std::string detail = ExitDetail(room, d);
      if (!detail.empty()) entry += " " + detail;
    } else if (exitStyle == kExitsNumber) {
      entry += type == ExitType::kMapChange
                   ? Format(" (%d/%d)", Signed(room.exitRoom(d)), Signed(room.exitParameter1(d)))
                   : Format(" (%d)", Signed(room.exitRoom(d)));
    }
    entries += std::string(kListSeparators[any ? 1 : 0]) + entry;
    any = true;
  }
  return "Obvious exits: " + (any ? entries : std::string("NONE!!!")) + ".";
}

std::string ExitLineForDisplay(const RoomRecord& room, const WalkerOptions& options) {
  return (options.palette == 1 ? "|06" : "|02") + ExitLine(room, options.exits);
}

std::string LightLine(const Light& light) {
  const std::string name(light.name);
  if (light.level < -150) return Format("|07The room is %s - you can't see anything", name.c_str());
  if (light.level < 0) return Format("|07The room is %s", name.c_str());
  if (light.level > kLightCap) return "|07" + name;
  return "";
}

std::string PromptText(int32_t palette, MagicKind magic, int32_t hitPoints, int32_t mana) {
  const bool coloured = palette == 2 || palette == 3;
  if (magic == kMagicNone) {
    return Format(coloured ? "|03[HP=|11%d|03]:|07" : "|07[HP=%d]:", hitPoints);
  }
  if (magic == kMagicKai) {
    return Format(coloured ? "|03[HP=|11%d|03/KAI=|11%d|03]:|07" : "|07[HP=%d/KAI=%d]:", hitPoints,
                  mana);
  }
  return Format(coloured ? "|03[HP=|11%d|03/MA=|11%d|03]:|07" : "|07[HP=%d/MA=%d]:", hitPoints,
                mana);
}

void DisplayRoom(Console& console, const WalkerSession& session, const RoomRecord& room, bool full,
                 bool entered) {
  const WalkerOptions& options = session.options;
  WriteColourLn(console, TitleLine(room, options.title));
  if (full) {
    for (const std::string& line : DescriptionLines(room)) WriteColourLn(console, line);
  }
  auto writeUnlessEmpty = [&](const std::string& line) {
    if (!line.empty()) WriteColourLn(console, line);
  };
  writeUnlessEmpty(ItemsLine(room, options.items));
  writeUnlessEmpty(MonstersLine(RoomMonsterNames(session, room, entered), options.palette));
  WriteColourLn(console, ExitLineForDisplay(room, options));
  const CharacterSheet sheet = LoadCharacterSheet(session);
  writeUnlessEmpty(LightLine(RoomLight(room, session.character, sheet)));
}

}  // namespace torvex
