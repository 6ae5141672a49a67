#include "walker/character_rules.h"

#include <algorithm>
#include <cmath>

#include "console/format.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "database/records/tables.h"
#include "walker/holdings.h"

namespace torvex {

namespace {

constexpr uint16_t kAbilityLightSource = 54;
constexpr uint16_t kAbilityLightA = 13;
constexpr uint16_t kAbilityLightB = 14;
constexpr uint16_t kAbilityLightAfterCap = 53;
constexpr uint16_t kAbilityAlterHp = 88;
constexpr uint16_t kAbilityMana = 69;
constexpr int32_t kNoLargest = -32000;

int32_t Narrow(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Calls visit(number, value) for every slot of every place the character's
// abilities come from.
template <typename Visit>
void ForEachSlot(const WalkerCharacter& character, const CharacterSheet& sheet, Visit visit) {
  for (const CharacterAbility& own : character.abilities) visit(own.number, own.value);
  auto record = [&](const auto& r) {
    for (size_t i = 0; i < r.kAbilitySlots; ++i) visit(r.abilityNumbers(i), r.abilityValues(i));
  };
  record(sheet.race);
  record(sheet.characterClass);
  for (const ItemRecord& item : sheet.equipped) record(item);
  for (const ItemRecord& item : sheet.carried) record(item);
}

// Sum of the values of `ability` in one record's slots.
template <typename Record>
int64_t SlotSum(const Record& record, uint16_t ability) {
  int64_t sum = 0;
  for (size_t i = 0; i < record.kAbilitySlots; ++i) {
    if (record.abilityNumbers(i) == ability) sum += record.abilityValues(i);
  }
  return sum;
}

int32_t RoundedPercent(int64_t part, int64_t whole) {
  if (whole <= 0) return 0;
  return Narrow(std::llround(static_cast<double>(part) * 100.0 / static_cast<double>(whole)));
}

// The game's hit-point formula around a base of `x`.
int64_t HitPointsAround(int64_t x, const WalkerCharacter& c, const ClassRecord& cls) {
  const int64_t hea = c.health, level = c.level;
  return x + hea / 2 + level * cls.minHP() + ((hea - 50) * level) / 16;
}

}  // namespace

CharacterSheet LoadCharacterSheet(const WalkerSession& session) {
  CharacterSheet sheet;
  GetRace(session.character.race, sheet.race);
  GetClass(session.character.characterClass, sheet.characterClass);
  const WalkerHoldings& h = session.holdings;
  ItemRecord item;
  auto read = [&](int32_t number) {
    return number > 0 && GetItem(static_cast<uint32_t>(number), item, true) == 0;
  };
  for (const int32_t worn : h.wornItems) {
    if (read(worn)) sheet.equipped.push_back(item);
  }
  if (read(h.weapon)) sheet.equipped.push_back(item);
  for (const int32_t carried : h.items) {
    if (read(carried) && item.itemType() != static_cast<uint16_t>(ItemType::kArmour) &&
        item.wornOn() == 0) {
      sheet.carried.push_back(item);
    }
  }
  if (read(static_cast<int32_t>(LitItemNumber(h)))) sheet.lit = item;
  return sheet;
}

bool TakesLargestValue(uint16_t ability) {
  switch (ability) {
    case 22:
    case 71:
    case 72:
    case 87:
    case 101:
    case 105:
    case 106:
      return true;
    default:
      return false;
  }
}

int32_t AbilityTotal(const WalkerCharacter& character, const CharacterSheet& sheet,
                     uint16_t ability) {
  const bool largest = TakesLargestValue(ability);
  int64_t total = largest ? kNoLargest : 0;
  ForEachSlot(character, sheet, [&](uint16_t number, int16_t value) {
    if (number != ability) return;
    total = largest ? std::max<int64_t>(total, value) : total + value;
  });
  if (largest && total == kNoLargest) return 0;
  return Narrow(total);
}

bool AbilityPresent(const WalkerCharacter& character, const CharacterSheet& sheet,
                    uint16_t ability) {
  bool present = false;
  ForEachSlot(character, sheet, [&](uint16_t number, int16_t) { present |= number == ability; });
  return present;
}

MagicKind MagicOf(const ClassRecord& characterClass) {
  const uint16_t type = characterClass.magicType();
  return type <= kMagicKai ? static_cast<MagicKind>(type) : kMagicNone;
}

int32_t PromptHitPoints(const WalkerCharacter& character, const CharacterSheet& sheet) {
  const ClassRecord& cls = sheet.characterClass;
  const int64_t hp =
      HitPointsAround(int64_t{character.rolledHitPoints} + cls.hpRange(), character, cls) +
      int64_t{sheet.race.hpBonus()} * character.level +
      AbilityTotal(character, sheet, kAbilityAlterHp);
  return Narrow(hp);
}

Gauge HealthHitPoints(const WalkerCharacter& character, const CharacterSheet& sheet) {
  const ClassRecord& cls = sheet.characterClass;
  const int64_t bonus = int64_t{sheet.race.hpBonus()} * character.level;
  const int64_t current = HitPointsAround(cls.hpRange(), character, cls) + bonus;
  const int64_t maximum =
      HitPointsAround(int64_t{cls.hpRange()} * character.level, character, cls) + bonus;
  return {Narrow(current), Narrow(maximum), RoundedPercent(current, maximum)};
}

int32_t MaximumMana(const WalkerCharacter& character, const CharacterSheet& sheet, bool fromTotal) {
  const MagicKind magic = MagicOf(sheet.characterClass);
  if (magic == kMagicNone) return 0;
  if (magic == kMagicKai) return character.level - 1;
  const int64_t extra =
      fromTotal ? AbilityTotal(character, sheet, kAbilityMana)
                : SlotSum(sheet.race, kAbilityMana) + SlotSum(sheet.characterClass, kAbilityMana);
  return Narrow(2 * int64_t{character.level} * sheet.characterClass.magicLevel() + 6 + extra);
}

std::string HealthLine(const WalkerCharacter& character, const CharacterSheet& sheet) {
  const Gauge hp = HealthHitPoints(character, sheet);
  const MagicKind magic = MagicOf(sheet.characterClass);
  if (magic == kMagicNone) {
    return Format("Health: %5d/%-5d [%d%%]", hp.current, hp.maximum, hp.percent);
  }
  const int32_t mana = MaximumMana(character, sheet, false);
  return Format("Health: %5d/%-5d [%d%%]  %s: %3d/%-3d [%d%%]", hp.current, hp.maximum, hp.percent,
                magic == kMagicKai ? "Kai" : "Mana", mana, mana, 100);
}

Light RoomLight(const RoomRecord& room, const WalkerCharacter& character,
                const CharacterSheet& sheet) {
  int64_t level = room.light();
  if (sheet.lit) level += sheet.lit->abilityValue(kAbilityLightSource);
  int64_t afterCap = 0;
  auto add = [&](const auto& record) {
    for (size_t i = 0; i < record.kAbilitySlots; ++i) {
      const uint16_t number = record.abilityNumbers(i);
      if (number == kAbilityLightA || number == kAbilityLightB) level += record.abilityValues(i);
      if (number == kAbilityLightAfterCap) afterCap += record.abilityValues(i);
    }
  };
  add(sheet.race);
  add(sheet.characterClass);
  for (const ItemRecord& item : sheet.equipped) add(item);
  (void)character;
  const int32_t total = Narrow(std::min<int64_t>(level, kLightCap) + afterCap);
  return {total, LightName(total)};
}

std::string_view LightName(int32_t level) {
  // The lower bound of each name after the first, darkest first.
  static constexpr int32_t kFrom[] = {-200, -150, -100, 0, 200, kLightCap};
  size_t index = 0;
  while (index < std::size(kFrom) && level >= kFrom[index]) ++index;
  return kLightLevels[index];
}

}  // namespace torvex
