#include "walker/character_screens.h"

#include <algorithm>

#include "console/format.h"
#include "database/record_access.h"
#include "walker/holdings.h"

namespace torvex {

namespace {

using u64 = unsigned long long;

constexpr uint16_t kAbilityMana = 69;
constexpr uint16_t kAbilityAlterHp = 88;
constexpr int kTableRows = 10;

// part / whole in whole percent, rounded down; 0 when whole is 0. Long double
// holds every 64-bit value exactly, so the quotient is exact before it is cut.
int32_t SharePercent(uint64_t part, uint64_t whole) {
  if (whole == 0) return 0;
  const long double share = static_cast<long double>(part) * 100.0L / whole;
  return static_cast<int32_t>(std::min<long double>(share, INT32_MAX));
}

int32_t Sum(int32_t a, int32_t b) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{a} + b, INT32_MIN, INT32_MAX));
}

std::string BracketedClass(const CharacterSheet& sheet) {
  return "(" + sheet.characterClass.name() + ")";
}

}  // namespace

std::string CharacterFullName(const WalkerCharacter& character) {
  return Format("%s %s", character.firstName.c_str(), character.lastName.c_str());
}

std::vector<std::string> ExperienceTableLines(const WalkerCharacter& character,
                                              const CharacterSheet& sheet) {
  std::vector<std::string> lines{"|07The following is a table of experience for Your character:",
                                 "", "Level   Experience", "-----   ----------"};
  const int32_t first = character.level - 3 >= 1 ? character.level - 3 : 2;
  for (int32_t level = first; level < first + kTableRows; ++level) {
    lines.push_back(
        Format("%4d     %llu", level, static_cast<u64>(ExperienceForLevel(sheet, level))));
  }
  return lines;
}

std::string ExperienceLine(const WalkerCharacter& character, const CharacterSheet& sheet) {
  const uint64_t next = ExperienceForLevel(sheet, character.level + 1);
  const uint64_t missing = next > character.experience ? next - character.experience : 0;
  return Format(
      "|02Exp: |03%llu |02Level: |03%u |02Exp needed for next level: |03%llu (%llu) [%d%%]",
      static_cast<u64>(character.experience), static_cast<uint32_t>(character.level),
      static_cast<u64>(missing), static_cast<u64>(next), SharePercent(character.experience, next));
}

std::vector<std::string> PartyLines(const WalkerCharacter& character, const CharacterSheet& sheet) {
  const MagicKind magic = MagicOf(sheet.characterClass);
  const std::string name = CharacterFullName(character);
  const std::string className = BracketedClass(sheet);
  std::string member;
  if (magic == kMagicNone) {
    member = Format("|12  %-30.30s %-12.12s          [H:%d%%] %-s - %-s", name.c_str(),
                    className.c_str(), 100, " ", "Midrank");
  } else {
    member = Format("|12  %-30.30s %-12.12s          [H:%d%%] [%s:%d%%] %-s - %-s", name.c_str(),
                    className.c_str(), 100, magic == kMagicKai ? "K" : "M", 100, " ", "Midrank");
  }
  return {"|12You are not in a party at the present time.", member};
}

std::vector<std::string> StatusLines(const WalkerSession& session, const CharacterSheet& sheet) {
  const WalkerCharacter& c = session.character;
  const Skills skills = CharacterSkills(c, sheet);
  const Gauge hits = HealthHitPoints(c, sheet);
  const int32_t alterHp = AbilityTotal(c, sheet, kAbilityAlterHp);
  const ArmourTotals armour = WornArmourTotals(session, {CachedItemReader(), sheet});
  const std::string name = CharacterFullName(c);
  const std::string race = sheet.race.name();
  const std::string cls = sheet.characterClass.name();

  std::vector<std::string> lines;
  lines.push_back(Format("|02Name: |03%-32.32s |02Lives/CP:      |03%d/%d", name.c_str(), c.lives,
                         c.characterPoints));
  lines.push_back(Format("|02Race: |03%-11.11s |02Exp: |03%-15llu |02Perception: |03%6d",
                         race.c_str(), static_cast<u64>(c.experience), skills.perception));
  lines.push_back(Format("|02Class: |03%-10.10s |02Level: |03%-13d |02Stealth: |03%9d", cls.c_str(),
                         c.level, skills.stealth));
  lines.push_back(
      Format("|02Hits: |12 |03%4d/%-5d |02Armour Class: |03%3d/%-2d |02Thievery: |03%8d",
             Sum(hits.current, alterHp), Sum(hits.maximum, alterHp), armour.armourClass / 10,
             armour.damageReduction / 10, skills.thievery));
  const MagicKind magic = MagicOf(sheet.characterClass);
  const int32_t mana = MaximumMana(c, sheet, true);
  const char* manaMark = AbilityPresent(c, sheet, kAbilityMana) ? "*" : " ";
  if (magic == kMagicNone) {
    lines.push_back(
        Format("                                       |02Traps: |03%11d", skills.traps));
  } else if (magic == kMagicKai) {
    lines.push_back(Format("|02Kai:  |12%1.1s|03%4d/%-5d                      |02Traps: |03%11d",
                           manaMark, mana, mana, skills.traps));
  } else {
    lines.push_back(
        Format("|02Mana: |12%1.1s|03%4d/%-5d |02Spellcasting: |03%-6d |02Traps: |03%11d", manaMark,
               mana, mana, Spellcasting(c, sheet), skills.traps));
  }
  lines.push_back(
      Format("                                       |02Picklocks:    |03%4d", skills.picklocks));
  lines.push_back(
      Format("|02Strength: |03%1s%-6d |02Agility:|03%1s%-6d      |02Tracking:     |03%4d", "",
             c.strength, "", c.agility, skills.tracking));
  lines.push_back(
      Format("|02Intellect:|03%1s%-6d |02Health: |03%1s%-6d      |02Martial Arts: |03%4d", "",
             c.intellect, "", c.health, skills.martialArts));
  lines.push_back(
      Format("|02Willpower:|03%1s%-6d |02Charm:  |03%1s%-6d      |02MagicRes:     |03%4d", "",
             c.willpower, "", c.charm, skills.magicRes));
  return lines;
}

namespace {

// The invalid-class line, or nothing when the class can be read.
std::vector<std::string> InvalidClass(const WalkerCharacter& character) {
  ClassRecord record;
  if (GetClass(character.characterClass, record) == 0) return {};
  return {Format("|12Class %d is invalid, please choose a valid class!",
                 static_cast<int32_t>(character.characterClass))};
}

}  // namespace

std::vector<std::string> HitPointRegenLines(const WalkerSession& session) {
  std::vector<std::string> invalid = InvalidClass(session.character);
  if (!invalid.empty()) return invalid;
  const Regeneration r = HitPointRegeneration(session.character, LoadCharacterSheet(session));
  return {Format("|07Raw HP Regen|08: |14%d/%d", r.walking, r.resting),
          Format("|07Modified HP Regen|08: |14%d/%d (%d%%)", r.modifiedWalking, r.modifiedResting,
                 r.percent)};
}

std::vector<std::string> ManaRegenLines(const WalkerSession& session) {
  std::vector<std::string> invalid = InvalidClass(session.character);
  if (!invalid.empty()) return invalid;
  const Regeneration r = ManaRegeneration(session.character, LoadCharacterSheet(session));
  return {Format("|07Raw MP Regen|08: |14%d", r.walking),
          Format("|07Modified MP Regen|08: |14%d (%d%%)", r.modifiedWalking, r.percent)};
}

}  // namespace torvex
