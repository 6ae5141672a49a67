#include "walker/character_settings.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>

#include "console/format.h"
#include "console/text_values.h"
#include "database/record_access.h"
#include "database/records/record_rules.h"
#include "walker/holdings.h"

namespace torvex {

namespace {

using u64 = unsigned long long;

// The word at `index` as typed, "" past the end of the line.
std::string TypedWord(const TypedLine& line, size_t index) {
  return index < line.typed.size() ? line.typed[index] : std::string();
}

// The value typed as a whole number within [low, high], or nullopt.
std::optional<int64_t> NumberWithin(const TypedLine& line, int64_t low, int64_t high) {
  const std::optional<int64_t> value = ParseInteger(line.Word(3));
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

// The setting's own line after what the equipment check took off.
std::vector<std::string> WithRecheck(WalkerSession& session, std::string first) {
  std::vector<std::string> lines;
  RecheckEquipment(session, LoadHoldingsInput(session), lines);
  lines.push_back(std::move(first));
  return lines;
}

std::vector<std::string> SetLevel(WalkerSession& session, const TypedLine& line) {
  WalkerCharacter& c = session.character;
  std::optional<int64_t> typed = ParseInteger(line.Word(3));
  // Digits beyond the 64-bit range still name a level above the highest.
  const std::string& word = line.Word(3);
  if (!typed && !word.empty() && word.find_first_not_of("0123456789") == std::string::npos) {
    typed = kHighestSetLevel;
  }
  if (!typed || *typed <= 0) {
    return {Format("|12Character level may not be changed to %s.", TypedWord(line, 3).c_str())};
  }
  const int32_t level = static_cast<int32_t>(std::min<int64_t>(*typed, kHighestSetLevel));
  ClassRecord cls;
  GetClass(c.characterClass, cls);
  const int32_t rollHigh = int32_t{cls.hpRange()} + 1;
  int64_t rolled = c.rolledHitPoints;
  for (int32_t l = c.level; l > level; --l) rolled -= RandomRange(0, rollHigh);
  for (int32_t l = c.level; l < level; ++l) rolled += RandomRange(0, rollHigh);
  if (level <= 1) rolled = 0;
  c.rolledHitPoints = static_cast<int32_t>(std::clamp<int64_t>(rolled, INT32_MIN, INT32_MAX));
  c.level = level;
  return WithRecheck(session,
                     Format("|07Character level changed to %u.", static_cast<uint32_t>(level)));
}

std::vector<std::string> SetExperience(WalkerSession& session, const TypedLine& line) {
  WalkerCharacter& c = session.character;
  if (const auto value = NumberWithin(line, 0, INT64_MAX))
    c.experience = static_cast<uint64_t>(*value);
  return {Format("|07Character experience changed to %llu.", static_cast<u64>(c.experience))};
}

std::vector<std::string> SetFirstName(WalkerSession& session, const TypedLine& line) {
  WalkerCharacter& c = session.character;
  if (line.size() > 3) c.firstName = TypedWord(line, 3);
  return {Format("|07Character first name changed to \"%s\".", c.firstName.c_str())};
}

std::vector<std::string> SetLastName(WalkerSession& session, const TypedLine& line) {
  WalkerCharacter& c = session.character;
  c.lastName = TypedWord(line, 3);
  return {Format("|07Character last name changed to \"%s\".", c.lastName.c_str())};
}

std::vector<std::string> SetRace(WalkerSession& session, const TypedLine& line) {
  WalkerCharacter& c = session.character;
  if (const auto value = NumberWithin(line, 0, UINT32_MAX)) c.race = static_cast<uint32_t>(*value);
  return WithRecheck(
      session, Format("|07Character race changed to %u (%s).", c.race, RaceName(c.race).c_str()));
}

std::vector<std::string> SetClass(WalkerSession& session, const TypedLine& line) {
  WalkerCharacter& c = session.character;
  if (const auto value = NumberWithin(line, 0, UINT32_MAX)) {
    c.characterClass = static_cast<uint32_t>(*value);
  }
  return WithRecheck(session, Format("|07Character class changed to %u (%s).", c.characterClass,
                                     ClassName(c.characterClass).c_str()));
}

// A 32-bit figure shown unsigned: negative values are refused.
std::vector<std::string> SetUnsigned(const TypedLine& line, int32_t& figure, const char* name) {
  if (const auto value = NumberWithin(line, 0, INT32_MAX)) figure = static_cast<int32_t>(*value);
  return {Format("|07Character %s changed to %u.", name, static_cast<uint32_t>(figure))};
}

std::vector<std::string> SetStrength(WalkerSession& s, const TypedLine& line) {
  return SetUnsigned(line, s.character.strength, "STR");
}
std::vector<std::string> SetAgility(WalkerSession& s, const TypedLine& line) {
  return SetUnsigned(line, s.character.agility, "AGL");
}
std::vector<std::string> SetIntellect(WalkerSession& s, const TypedLine& line) {
  return SetUnsigned(line, s.character.intellect, "INT");
}
std::vector<std::string> SetHealth(WalkerSession& s, const TypedLine& line) {
  return SetUnsigned(line, s.character.health, "HEA");
}
std::vector<std::string> SetWillpower(WalkerSession& s, const TypedLine& line) {
  return SetUnsigned(line, s.character.willpower, "WIL");
}
std::vector<std::string> SetCharm(WalkerSession& s, const TypedLine& line) {
  return SetUnsigned(line, s.character.charm, "CHA");
}
std::vector<std::string> SetLives(WalkerSession& s, const TypedLine& line) {
  return SetUnsigned(line, s.character.lives, "lives");
}

std::vector<std::string> SetEvilPoints(WalkerSession& session, const TypedLine& line) {
  WalkerCharacter& c = session.character;
  if (const auto value = NumberWithin(line, INT32_MIN, INT32_MAX)) {
    c.evilPoints = static_cast<int32_t>(*value);
  }
  return {Format("|07Character EP changed to %d.", c.evilPoints)};
}

// The item a GIVEITEM or TAKEITEM names, or nullopt after saying it is none.
std::optional<ItemRecord> NamedItem(const TypedLine& line, std::vector<std::string>& lines) {
  ItemRecord item;
  const std::optional<int64_t> number = ParseInteger(line.Word(3));
  if (!number || *number <= 0 || *number > UINT32_MAX ||
      GetItem(static_cast<uint32_t>(*number), item, true) != 0) {
    lines.push_back(Format("|12\"%s\" is not a valid item number!", TypedWord(line, 3).c_str()));
    return std::nullopt;
  }
  return item;
}

std::vector<std::string> SetGiveItem(WalkerSession& session, const TypedLine& line) {
  std::vector<std::string> lines;
  const std::optional<ItemRecord> item = NamedItem(line, lines);
  if (!item) return lines;
  const bool given = GiveItem(session.holdings, item->number(), CachedItemReader());
  return {Format(given ? "|07Item %d (%s) given to character."
                       : "|12Unable to give item %d (%s) to character.",
                 static_cast<int32_t>(item->number()), item->name().c_str())};
}

std::vector<std::string> SetTakeItem(WalkerSession& session, const TypedLine& line) {
  std::vector<std::string> lines;
  const std::optional<ItemRecord> item = NamedItem(line, lines);
  if (!item) return lines;
  const bool taken = TakeItem(session.holdings, item->number(), CachedItemReader(), lines);
  lines.push_back(Format(taken ? "|07Item %d (%s) taken from character."
                               : "|12Unable to take item %d (%s) from character.",
                         static_cast<int32_t>(item->number()), item->name().c_str()));
  return lines;
}

std::vector<std::string> SetGender(WalkerSession& session, const TypedLine& line) {
  const std::string& value = line.Word(3);
  if (value == "MALE" || value == "M") {
    session.character.gender = "male";
  } else if (value == "FEMALE" || value == "F") {
    session.character.gender = "female";
  } else {
    return {Format("|12\"%s\" is not a recognized gender!", TypedWord(line, 3).c_str())};
  }
  return {Format("|07Character gender set to %s.", session.character.gender.c_str())};
}

using SettingHandler = std::vector<std::string> (*)(WalkerSession&, const TypedLine&);

struct CharacterSetting {
  std::string_view word;
  SettingHandler handler;
  std::string_view help;  // empty: not listed on its own line
};

// In matching order: the first setting the typed word abbreviates wins.
// clang-format off
constexpr CharacterSetting kSettings[] = {
    {"LEVEL",      SetLevel,      "<1-65535> sets the level; hit-point rolls follow it."},
    {"EXPERIENCE", SetExperience, "<number> sets the experience."},
    {"FIRSTNAME",  SetFirstName,  "<name> sets the given name."},
    {"LASTNAME",   SetLastName,   "[name] sets the family name; alone it clears it."},
    {"RACE",       SetRace,       "<number> sets the race."},
    {"CLASS",      SetClass,      "<number> sets the class."},
    {"STR",        SetStrength,   "<number> sets a stat; likewise AGL, INT, HEA, WIL, CHA."},
    {"AGL",        SetAgility,    ""},
    {"INT",        SetIntellect,  ""},
    {"HEA",        SetHealth,     ""},
    {"WIL",        SetWillpower,  ""},
    {"CHA",        SetCharm,      ""},
    {"LIVES",      SetLives,      "<number> sets the lives left."},
    {"EP",         SetEvilPoints, "<number> sets the evil points."},
    {"GIVEITEM",   SetGiveItem,   "<item number> gives the character an item."},
    {"TAKEITEM",   SetTakeItem,   "<item number> takes an item from the character."},
    {"GENDER",     SetGender,     "MALE (M) or FEMALE (F) sets the gender."},
};
// clang-format on

}  // namespace

std::vector<std::string> SetCharacterSyntaxLines() {
  std::vector<std::string> lines{"|07Syntax|08: |14SET CHAR |07<option> [...]"};
  for (const CharacterSetting& s : kSettings) {
    if (s.help.empty()) continue;
    lines.push_back(Format("  |14%-11.*s|07- %.*s", static_cast<int>(s.word.size()), s.word.data(),
                           static_cast<int>(s.help.size()), s.help.data()));
  }
  return lines;
}

std::vector<std::string> SetCharacterLines(WalkerSession& session, const TypedLine& line) {
  if (line.size() < 3) return SetCharacterSyntaxLines();
  const std::string& setting = line.Word(2);
  for (const CharacterSetting& s : kSettings) {
    if (!setting.empty() && PrefixMatches(setting, s.word)) return s.handler(session, line);
  }
  return {Format("|12Unrecognized character setting, \"%s\"!", TypedWord(line, 2).c_str())};
}

}  // namespace torvex
