#include "database/ability_names.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "abilitylib/kestrune.h"
#include "console/format.h"
#include "database/record_access.h"
#include "database/records/tables.h"
#include "platform/system_info.h"

namespace torvex {
namespace {

AbilityFile* abilityFile = nullptr;

struct Lookup {
  bool found = false;
  std::string_view name;
  uint32_t colour = 7;
  uint8_t format = 0;
};

Lookup Find(int32_t number) {
  AbilityInfo info{};
  info.size = KESTRUNE_ABILITY_INFO_SIZE;
  info.number = static_cast<uint16_t>(number);
  Lookup result;
  if (GetAbilityInfo(abilityFile, &info) == KESTRUNE_FALSE) return result;
  result.found = true;
  result.name = info.name;
  result.colour = info.colour;
  result.format = info.format;
  return result;
}

std::string NameOf(std::string (*lookup)(uint32_t), int32_t value) {
  return lookup != nullptr ? lookup(static_cast<uint32_t>(value)) : std::string();
}

std::string RecordName(const AbilityValueNames& names, uint8_t format, int32_t value) {
  switch (format) {
    case 1:
      return NameOf(names.race, value);
    case 2:
      return NameOf(names.characterClass, value);
    case 3:
      return NameOf(names.spell, value);
    case 4:
      return NameOf(names.item, value);
    case 5:
      return NameOf(names.monster, value);
    default:
      return {};
  }
}

bool IsCoinFormat(uint8_t format) {
  return format >= 14 && format <= 18;
}

// Formats 14 to 18 and 19 read the same with or without the name asked for.
std::string NamedValueText(const std::string& name, uint8_t format, int32_t value) {
  if (IsCoinFormat(format)) {
    const std::string coins(kCoinNamesPlural[format - 13]);
    return Format("%s %d %s", name.c_str(), value, coins.c_str());
  }
  // Tenths: the whole part keeps its sign, and a value between -1 and 0 still
  // shows its minus sign before the point.
  if (value % 10 == 0) return Format("%s %s", name.c_str(), SignedText(value / 10).c_str());
  std::string whole = SignedText(value / 10);
  if (whole.empty() && value < 0) whole = "-";
  return Format("%s %s.%d", name.c_str(), whole.c_str(), std::abs(value % 10));
}

}  // namespace

const AbilityValueNames kRecordAccessNames{RaceName, ClassName, SpellName, ItemName, MonsterName};

void OpenAbilityNames() {
  OpenAbilityNames(ExecutableDirectory() + "kestrune.dat");
}

bool OpenAbilityNames(const std::string& path) {
  CloseAbilityNames();
  abilityFile = OpenAbilityFile(path.c_str());
  return abilityFile != nullptr;
}

void CloseAbilityNames() {
  if (abilityFile != nullptr) CloseAbilityFile(abilityFile);
  abilityFile = nullptr;
}

std::string AbilityName(int32_t number) {
  const Lookup found = Find(number);
  return found.found ? std::string(found.name) : std::string();
}

uint32_t AbilityColour(int32_t number) {
  return Find(number).colour;
}

namespace {

// The value as it follows the name; `alone` when it is shown without the name
// (format 12 then carries its sign). nullopt for a format without a reading.
std::optional<std::string> ValuePart(uint8_t format, int32_t value, bool alone,
                                     const AbilityValueNames& names) {
  switch (format) {
    case 0:
      return SignedText(value);
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
      return Format("%d (%s)", value, RecordName(names, format, value).c_str());
    case 12:
      if (alone) return SignedText(value);
      [[fallthrough]];
    case 6:
    case 7:
    case 8:
    case 9:
    case 13:
      return Format("%d", value);
    case 10:
      return Format("%d (%s)", value, AbilityName(value).c_str());
    case 11:
      return SignedText(value) + "%";
    default:
      return std::nullopt;
  }
}

std::string Text(int32_t number, int32_t value, bool alone, const AbilityValueNames& names) {
  const Lookup found = Find(number);
  if (!found.found) return {};
  const std::string name(found.name);
  // Coins and tenths read the same with or without the name asked for.
  if (found.format >= 14 && found.format <= 19) {
    return NamedValueText(name, found.format, value);
  }
  const auto part = ValuePart(found.format, value, alone, names);
  if (!part) return {};
  return alone ? *part : name + " " + *part;
}

}  // namespace

std::string AbilityText(int32_t number, int32_t value, const AbilityValueNames& names) {
  return Text(number, value, false, names);
}

std::string AbilityValueText(int32_t number, int32_t value, const AbilityValueNames& names) {
  return Text(number, value, true, names);
}

}  // namespace torvex
