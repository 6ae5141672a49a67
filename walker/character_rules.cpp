#include "walker/character_rules.h"

#include <algorithm>
#include <cmath>

#include "console/format.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "database/records/record_rules.h"
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
constexpr uint16_t kAbilitySpellcasting = 70;
constexpr uint16_t kAbilityPerception = 77;
constexpr uint16_t kAbilityStealth = 27;
constexpr uint16_t kAbilityRaceStealth = 102;
constexpr uint16_t kAbilityClassStealth = 103;
constexpr uint16_t kAbilityThievery = 39;
constexpr uint16_t kAbilityFindTraps = 40;
constexpr uint16_t kAbilityTrapsBonus = 179;
constexpr uint16_t kAbilityPicklocks = 37;
constexpr uint16_t kAbilityPicklocksBonus = 180;
constexpr uint16_t kAbilityTracking = 38;
constexpr uint16_t kAbilityMartialArts = 34;
constexpr uint16_t kAbilityMartialArtsBonus = 58;
constexpr uint16_t kAbilityJumpkick = 35;
constexpr uint16_t kAbilityMagicRes = 36;
constexpr uint16_t kAbilityAlterHealing = 123;
constexpr uint16_t kAbilityAlterManaRegen = 145;
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

int32_t ExperiencePercent(const CharacterSheet& sheet) {
  return int32_t{sheet.race.expPercent()} + sheet.characterClass.expPercent() + 100;
}

uint64_t ExperienceForLevel(const CharacterSheet& sheet, int32_t level) {
  return ExpForLevel(level, ExperiencePercent(sheet));
}

int32_t SkillLevel(int32_t level) {
  return level <= 15 ? level : 15 + (level - 15) / 2;
}

Skills CharacterSkills(const WalkerCharacter& c, const CharacterSheet& sheet) {
  auto total = [&](uint16_t ability) -> int64_t { return AbilityTotal(c, sheet, ability); };
  auto has = [&](uint16_t ability) { return AbilityPresent(c, sheet, ability); };
  const int64_t level = c.level, skillLevel = SkillLevel(c.level);
  const int64_t intl = c.intellect, wil = c.willpower, agl = c.agility, cha = c.charm;
  Skills out;
  out.perception = Narrow(total(kAbilityPerception) + (5 * intl + 2 * wil + cha) / 8);

  const bool raceStealth = has(kAbilityRaceStealth), classStealth = has(kAbilityClassStealth);
  if (raceStealth || classStealth) {
    const int64_t bonus = raceStealth && classStealth ? 30 : raceStealth ? 5 : 20;
    out.stealth = Narrow(total(kAbilityStealth) + (level < 16 ? 2 * level : level + 15) + cha / 6 +
                         agl / 4 + intl / 8 + bonus);
  }
  if (has(kAbilityThievery)) {
    out.thievery = Narrow(total(kAbilityThievery) + (24 * skillLevel + intl + agl + cha) / 6);
  }
  if (has(kAbilityFindTraps)) {
    out.traps = Narrow(total(kAbilityTrapsBonus) + total(kAbilityFindTraps) +
                       (agl + intl + 2 * cha + 28 * skillLevel) / 7);
  }
  if (has(kAbilityPicklocks)) {
    out.picklocks = Narrow(total(kAbilityPicklocks) + total(kAbilityPicklocksBonus) +
                           2 * (10 * skillLevel + agl + intl) / 7);
  }
  if (has(kAbilityTracking)) {
    out.tracking = Narrow(total(kAbilityTracking) + (40 * skillLevel + 2 * intl + wil + cha) / 8);
  }
  const int64_t k =
      std::clamp<int64_t>(level / 10 + (intl - 50) / 10 + (agl - 50) / 20 + (cha - 50) / 30, 1, 75);
  int64_t m = k + cha / 10 + agl / 5 + level / 5;
  if (has(kAbilityJumpkick)) m = (level + m) * 2;
  out.martialArts = Narrow(total(kAbilityMartialArts) + total(kAbilityMartialArtsBonus) + m);
  out.magicRes = Narrow(total(kAbilityMagicRes) + (intl + 3 * wil) / 4);
  return out;
}

int32_t Spellcasting(const WalkerCharacter& c, const CharacterSheet& sheet) {
  const int64_t intl = c.intellect, wil = c.willpower, cha = c.charm, level = c.level;
  const int64_t common = 2 * level + 5 * int64_t{sheet.characterClass.magicLevel()};
  int64_t own = 0;
  switch (MagicOf(sheet.characterClass)) {
    case kMagicNone:
      return 0;
    case kMagicMage:
      own = (3 * intl + wil) / 6 + common;
      break;
    case kMagicPriest:
      own = (3 * wil + intl) / 6 + common;
      break;
    case kMagicDruid:
      own = (intl + wil) / 3 + common;
      break;
    case kMagicBard:
      own = (3 * cha + wil) / 6 + common;
      break;
    case kMagicKai:
      own = 500 + common;
      break;
  }
  return Narrow(AbilityTotal(c, sheet, kAbilitySpellcasting) + own);
}

namespace {

int64_t Altered(int64_t percent, int64_t value) {
  return ((percent + 100) * value) / 100;
}

}  // namespace

Regeneration HitPointRegeneration(const WalkerCharacter& c, const CharacterSheet& sheet) {
  const int64_t base = std::max<int64_t>(1, ((int64_t{c.level} + 20) * c.health) / 750);
  const int64_t resting = base * 3;
  const int64_t percent = AbilityTotal(c, sheet, kAbilityAlterHealing);
  return {Narrow(base), Narrow(resting), Narrow(Altered(percent, base)),
          Narrow(Altered(percent, resting)), Narrow(percent)};
}

Regeneration ManaRegeneration(const WalkerCharacter& c, const CharacterSheet& sheet) {
  int64_t stat = 0;
  const MagicKind magic = MagicOf(sheet.characterClass);
  switch (magic) {
    case kMagicNone:
    case kMagicKai:
      break;
    case kMagicMage:
      stat = c.intellect;
      break;
    case kMagicPriest:
      stat = c.willpower;
      break;
    case kMagicDruid:
      stat = (int64_t{c.intellect} + c.willpower) / 2;
      break;
    case kMagicBard:
      stat = c.charm;
      break;
  }
  const int64_t value =
      magic == kMagicKai
          ? 1
          : ((int64_t{c.level} + 20) * stat * (int64_t{sheet.characterClass.magicLevel()} + 2)) /
                1650;
  const int64_t percent = AbilityTotal(c, sheet, kAbilityAlterManaRegen);
  const int32_t modified = Narrow(Altered(percent, value));
  return {Narrow(value), Narrow(value), modified, modified, Narrow(percent)};
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
