#include "walker/character_rules.h"

#include <gtest/gtest.h>

#include "walker/room_view.h"

namespace torvex {
namespace {

template <typename Record>
void GiveAbility(Record& record, size_t slot, uint16_t ability, int16_t value) {
  record.setAbilityNumbers(slot, ability);
  record.setAbilityValues(slot, value);
}

TEST(CharacterRulesTest, LightNamesAtTheirThresholds) {
  const struct {
    int32_t level;
    const char* name;
  } cases[] = {
      {-201, "pitch black"},    {-200, "very dark"}, {-151, "very dark"}, {-150, "barely visible"},
      {-101, "barely visible"}, {-100, "dimly lit"}, {-1, "dimly lit"},   {0, "Regular Light"},
      {199, "Regular Light"},   {200, "Daylight"},   {899, "Daylight"},   {900, "You are blind!"},
  };
  for (const auto& c : cases) EXPECT_EQ(LightName(c.level), c.name) << c.level;
}

TEST(CharacterRulesTest, RoomLightAddsTheLitItemAndAbilitiesThenCaps) {
  const struct {
    int16_t roomLight;
    int16_t torch;      // ability 54 of the lit item; 0: nothing lit
    int16_t raceLight;  // ability 13 of the race
    int16_t wornLight;  // ability 14 of a worn item
    int16_t afterCap;   // ability 53 of the class
    int32_t level;
    const char* line;
  } cases[] = {
      {0, 0, 0, 0, 0, 0, ""},
      {-151, 0, 0, 0, 0, -151, "|07The room is very dark - you can't see anything"},
      {-150, 0, 0, 0, 0, -150, "|07The room is barely visible"},
      {-300, 200, 0, 0, 0, -100, "|07The room is dimly lit"},
      {800, 100, 30, 20, 0, 900, ""},  // 950 is held at 900
      {800, 100, 30, 20, 5, 905, "|07You are blind!"},
      {800, 0, 0, 0, -1000, -200, "|07The room is very dark - you can't see anything"},
  };
  for (const auto& c : cases) {
    RoomRecord room;
    room.setLight(c.roomLight);
    CharacterSheet sheet;
    GiveAbility(sheet.race, 0, 13, c.raceLight);
    GiveAbility(sheet.characterClass, 9, 53, c.afterCap);
    ItemRecord worn;
    GiveAbility(worn, 19, 14, c.wornLight);
    sheet.equipped.push_back(worn);
    if (c.torch != 0) {
      ItemRecord torch;
      GiveAbility(torch, 0, 54, c.torch);
      sheet.lit = torch;
    }
    // Light abilities of carried items do not count.
    ItemRecord carried;
    GiveAbility(carried, 0, 13, 500);
    sheet.carried.push_back(carried);
    const Light light = RoomLight(room, WalkerCharacter{}, sheet);
    EXPECT_EQ(light.level, c.level) << c.roomLight;
    EXPECT_EQ(LightLine(light), c.line) << c.roomLight;
  }
}

TEST(CharacterRulesTest, AbilityTotalSumsOrTakesTheLargest) {
  WalkerCharacter character;
  character.abilities[0] = {88, 5};
  character.abilities[29] = {22, -40};
  CharacterSheet sheet;
  GiveAbility(sheet.race, 0, 88, 10);
  GiveAbility(sheet.characterClass, 0, 22, -50);
  ItemRecord worn, carried;
  GiveAbility(worn, 0, 88, 100);
  GiveAbility(carried, 3, 88, 1000);
  GiveAbility(carried, 4, 71, 7);
  GiveAbility(worn, 5, 71, 3);
  sheet.equipped.push_back(worn);
  sheet.carried.push_back(carried);
  const struct {
    uint16_t ability;
    int32_t total;
    bool present;
  } cases[] = {
      {88, 1115, true},  // summed over every place
      {71, 7, true},     // the largest value
      {22, -40, true},   // the largest, though negative
      {87, 0, false},    // no value at all reads 0, not -32000
      {1, 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AbilityTotal(character, sheet, c.ability), c.total) << c.ability;
    EXPECT_EQ(AbilityPresent(character, sheet, c.ability), c.present) << c.ability;
  }
}

TEST(CharacterRulesTest, HitPointsAndMana) {
  // HEA 60, level 4, class minimum 3 and range 6, race bonus 2, rolled 9:
  // H(x) = x + 30 + 12 + (10 * 4) / 16 = x + 44.
  WalkerCharacter character;
  character.health = 60;
  character.level = 4;
  character.rolledHitPoints = 9;
  CharacterSheet sheet;
  sheet.characterClass.setMinHP(3);
  sheet.characterClass.setHpRange(6);
  sheet.race.setHpBonus(2);
  GiveAbility(sheet.race, 1, 88, 4);  // Alter HP counts on the prompt only
  EXPECT_EQ(PromptHitPoints(character, sheet), (9 + 6) + 44 + 8 + 4);
  const Gauge health = HealthHitPoints(character, sheet);
  EXPECT_EQ(health.current, 6 + 44 + 8);
  EXPECT_EQ(health.maximum, 24 + 44 + 8);
  EXPECT_EQ(health.percent, 76);  // 58 / 76 = 76.3 %
  EXPECT_EQ(HealthLine(character, sheet), "Health:    58/76    [76%]");

  sheet.characterClass.setMagicType(kMagicMage);
  sheet.characterClass.setMagicLevel(3);
  GiveAbility(sheet.characterClass, 2, 69, 10);
  ItemRecord ring;
  GiveAbility(ring, 0, 69, 100);
  sheet.equipped.push_back(ring);
  EXPECT_EQ(MaximumMana(character, sheet, false), 2 * 4 * 3 + 6 + 10);
  EXPECT_EQ(MaximumMana(character, sheet, true), 2 * 4 * 3 + 6 + 110);
  EXPECT_EQ(HealthLine(character, sheet), "Health:    58/76    [76%]  Mana:  40/40  [100%]");
  sheet.characterClass.setMagicType(kMagicKai);
  EXPECT_EQ(MaximumMana(character, sheet, true), 3);
  EXPECT_EQ(HealthLine(character, sheet), "Health:    58/76    [76%]  Kai:   3/3   [100%]");
}

TEST(CharacterRulesTest, PromptByMagicAndPalette) {
  const struct {
    int32_t palette;
    MagicKind magic;
    const char* prompt;
  } cases[] = {
      {0, kMagicNone, "|07[HP=50]:"},
      {1, kMagicPriest, "|07[HP=50/MA=12]:"},
      {0, kMagicKai, "|07[HP=50/KAI=12]:"},
      {2, kMagicNone, "|03[HP=|1150|03]:|07"},
      {3, kMagicBard, "|03[HP=|1150|03/MA=|1112|03]:|07"},
      {2, kMagicKai, "|03[HP=|1150|03/KAI=|1112|03]:|07"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PromptText(c.palette, c.magic, 50, 12), c.prompt) << c.palette << " " << c.magic;
  }
}

}  // namespace
}  // namespace torvex
