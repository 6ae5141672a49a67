#include "walker/character_death.h"

#include <algorithm>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/keys.h"
#include "database/record_access.h"
#include "database/records/record_rules.h"
#include "walker/holdings.h"
#include "walker/movement.h"
#include "walker/text_script.h"

namespace torvex {

namespace {

constexpr uint16_t kAbilityLoyalItem = 100;
constexpr uint16_t kAbilityMajorCurse = 83;
constexpr uint16_t kAbilityDeathTextBlock = 155;

constexpr uint32_t kDefaultDeathMap = 1;
constexpr uint32_t kLowLevelDeathRoom = 2189;
constexpr uint32_t kHighLevelDeathRoom = 142;
constexpr int32_t kHighLevel = 40;

std::string PoofLine(const ItemRecord& item) {
  return Format("|07Your %s has returned to its rightful place.", item.name().c_str());
}

// Waits for Enter; Esc and Ctrl+C end the wait as well, since the walk ends
// whichever key ends it.
void WaitForEnter(Console& console) {
  for (;;) {
    const int k = ReadWholeKey(console);
    if (k == key::kEnter || k == key::kEscape || k == key::kCtrlC) return;
  }
}

}  // namespace

DeathLosses TakeBelongingsOnDeath(WalkerHoldings& h) {
  DeathLosses out;
  h.runic = h.platinum = h.gold = h.silver = h.copper = 0;
  ItemRecord item;
  for (int i = 0; i < WalkerHoldings::kItemSlots; ++i) {
    const int32_t number = h.items[i];
    if (number == 0) continue;
    if (number < 0 || GetItem(static_cast<uint32_t>(number), item, true) != 0) {
      out.lines.push_back(Format("|12Kil:Item %d not found", number));
    } else {
      out.deathTextBlock = static_cast<uint16_t>(item.abilityValue(kAbilityDeathTextBlock));
      if (item.hasAbility(kAbilityLoyalItem) || item.hasAbility(kAbilityMajorCurse)) continue;
      if (item.poofOnDeath() != 0) out.lines.push_back(PoofLine(item));
    }
    h.items[i] = 0;
    h.itemUses[i] = kEmptyItemUses;
  }
  for (int i = 0; i < WalkerHoldings::kKeySlots; ++i) {
    const int32_t number = h.keys[i];
    if (number == 0) continue;
    if (number < 0 || GetItem(static_cast<uint32_t>(number), item, true) != 0) {
      out.lines.push_back(Format("|12Kil:Key %d not found", number));
    } else if (item.poofOnDeath() != 0) {
      out.lines.push_back(PoofLine(item));
    }
    h.keys[i] = 0;
    h.keyUses[i] = kEmptyKeyUses;
  }
  h.wornItems.fill(0);
  h.wornItemUses.fill(kEmptyItemUses);
  h.weapon = 0;
  h.torchItemIndex = -1;
  return out;
}

std::pair<uint32_t, uint32_t> DeathRoomOf(const RoomRecord& room, int32_t level) {
  if (room.deathRoom() != 0) return {room.mapNumber(), room.deathRoom()};
  return {kDefaultDeathMap, level < kHighLevel ? kLowLevelDeathRoom : kHighLevelDeathRoom};
}

void ResetForNewCharacter(WalkerCharacter& c, const CharacterSheet& sheet) {
  c.newCharacter = true;
  if (c.level > 1) {
    const int32_t ownPercent = int32_t{sheet.race.expPercent()} + sheet.characterClass.expPercent();
    const uint64_t halfway = ExpForLevel(c.level / 2, ownPercent);
    c.experience = std::max(c.experience / 10, halfway + 1);
  } else {
    c.experience = 0;
  }
  c.level = 1;
  c.rolledHitPoints = 0;
}

bool Suicide(Console& console, WalkerSession& session) {
  WalkerCharacter& c = session.character;
  if (c.lives <= 1) {
    Reroll(console, session);
    return true;
  }
  --c.lives;
  WriteColourLn(console, "|12After a LONG thought, you take your own life.");
  WriteColourLn(console, Format("You now have %d lives remaining.", c.lives));
  const DeathLosses losses = TakeBelongingsOnDeath(session.holdings);
  WriteLines(console, losses.lines);

  const auto [map, room] = DeathRoomOf(session.room, c.level);
  GoToRoom(console, session, map, room);
  if (losses.deathTextBlock != 0) {
    uint32_t newMap = session.map(), newRoom = session.roomNumber();
    RunTextBlock(console, session, losses.deathTextBlock, 0, newMap, newRoom);
    if (newMap != session.map() || newRoom != session.roomNumber()) {
      GoToRoom(console, session, newMap, newRoom);
    }
  }
  return false;
}

void Reroll(Console& console, WalkerSession& session) {
  WriteColourLn(console, "|12After a LONG thought, you take your own life");
  ResetForNewCharacter(session.character, LoadCharacterSheet(session));
  WaitForEnter(console);
}

}  // namespace torvex
