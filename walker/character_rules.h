// The figures the walker works out for its character: ability totals, hit
// points, mana or kai, and the light a room has for it. Plain functions over
// the session's character and the records it draws on; only
// LoadCharacterSheet reads files.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "database/records/records.h"
#include "walker/session.h"

namespace torvex {

// The records the character's figures are worked from.
struct CharacterSheet {
  RaceRecord race;
  ClassRecord characterClass;
  // The worn items and the readied weapon.
  std::vector<ItemRecord> equipped;
  // Carried items whose abilities count although they are not worn: every
  // inventory item that is not armour and is worn nowhere.
  std::vector<ItemRecord> carried;
  // The lit light source, when one is lit and can be read.
  std::optional<ItemRecord> lit;
};

// Reads the race, class and items of `session` through the record cache.
// Records that cannot be read are left out (race and class read as zeros).
CharacterSheet LoadCharacterSheet(const WalkerSession& session);

// True for the abilities whose total is the largest single value rather than
// the sum.
bool TakesLargestValue(uint16_t ability);

// The total of `ability` over the character's own slots, its race, class,
// equipped and counted carried items.
int32_t AbilityTotal(const WalkerCharacter& character, const CharacterSheet& sheet,
                     uint16_t ability);
// True when `ability` occurs in any of those places.
bool AbilityPresent(const WalkerCharacter& character, const CharacterSheet& sheet,
                    uint16_t ability);

// The class's magic types.
enum MagicKind : uint16_t {
  kMagicNone = 0,
  kMagicMage = 1,
  kMagicPriest = 2,
  kMagicDruid = 3,
  kMagicBard = 4,
  kMagicKai = 5
};
// The class's magic type, with values beyond kai read as none.
MagicKind MagicOf(const ClassRecord& characterClass);

// The hit points the prompt shows.
int32_t PromptHitPoints(const WalkerCharacter& character, const CharacterSheet& sheet);

struct Gauge {
  int32_t current = 0;
  int32_t maximum = 0;
  // current / maximum in whole percent, rounded to the nearest; 0 when the
  // maximum is not above 0.
  int32_t percent = 0;
};
// The health line's hit points.
Gauge HealthHitPoints(const WalkerCharacter& character, const CharacterSheet& sheet);
// Mana for magic types 1 to 4 (counting ability 69 of the race and class only
// when `fromTotal` is false, its ability total otherwise), kai points for kai,
// 0 without magic.
int32_t MaximumMana(const WalkerCharacter& character, const CharacterSheet& sheet, bool fromTotal);

// The experience percentage P of the experience table: the race's and the
// class's percentages plus 100.
int32_t ExperiencePercent(const CharacterSheet& sheet);
// Experience needed for `level` at the character's percentage.
uint64_t ExperienceForLevel(const CharacterSheet& sheet, int32_t level);

// The level the thieving skills and tracking grow with: the level up to 15,
// half of each level beyond.
int32_t SkillLevel(int32_t level);

// The skills of the status screen.
struct Skills {
  int32_t perception = 0;
  int32_t stealth = 0;
  int32_t thievery = 0;
  int32_t traps = 0;
  int32_t picklocks = 0;
  int32_t tracking = 0;
  int32_t martialArts = 0;
  int32_t magicRes = 0;
};
Skills CharacterSkills(const WalkerCharacter& character, const CharacterSheet& sheet);
// The spellcasting figure of the status screen (0 without magic).
int32_t Spellcasting(const WalkerCharacter& character, const CharacterSheet& sheet);

// Regeneration per tick while walking and while resting, plain and altered by
// the character's healing or mana-regeneration percentage.
struct Regeneration {
  int32_t walking = 0;
  int32_t resting = 0;
  int32_t modifiedWalking = 0;
  int32_t modifiedResting = 0;
  int32_t percent = 0;  // the alteration, as an ability total
};
Regeneration HitPointRegeneration(const WalkerCharacter& character, const CharacterSheet& sheet);
// Mana has no resting figure: `resting` and `modifiedResting` equal the
// walking ones.
Regeneration ManaRegeneration(const WalkerCharacter& character, const CharacterSheet& sheet);

// The health line: "Health: ..." with the mana or kai part for casters,
// without colour codes.
std::string HealthLine(const WalkerCharacter& character, const CharacterSheet& sheet);

// The light level L of `room` for the character, and its name.
struct Light {
  int32_t level = 0;
  std::string_view name;
};
inline constexpr int32_t kLightCap = 900;
Light RoomLight(const RoomRecord& room, const WalkerCharacter& character,
                const CharacterSheet& sheet);
std::string_view LightName(int32_t level);

}  // namespace torvex
