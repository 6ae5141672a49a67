// The character's figures worked by hand: skills, spellcasting, regeneration,
// the experience table and line, and the party and status screens.
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "walker/character_rules.h"
#include "walker/character_screens.h"

namespace torvex {
namespace {

// Gives `record` the (ability, value) pairs in its first slots.
template <typename Record>
void GiveAbilities(Record& record, std::initializer_list<std::pair<uint16_t, int16_t>> pairs) {
  size_t slot = 0;
  for (const auto& [ability, value] : pairs) {
    record.setAbilityNumbers(slot, ability);
    record.setAbilityValues(slot++, value);
  }
}

struct Stats {
  int32_t level, intellect, willpower, agility, charm;
};

WalkerCharacter CharacterWith(const Stats& s) {
  WalkerCharacter c;
  c.level = s.level;
  c.intellect = s.intellect;
  c.willpower = s.willpower;
  c.agility = s.agility;
  c.charm = s.charm;
  return c;
}

// The figures as arrays, so that one comparison prints every figure that differs.
std::array<int32_t, 8> Figures(const Skills& s) {
  return {s.perception, s.stealth,  s.thievery,    s.traps,
          s.picklocks,  s.tracking, s.martialArts, s.magicRes};
}
std::array<int32_t, 5> Figures(const Regeneration& r) {
  return {r.walking, r.resting, r.modifiedWalking, r.modifiedResting, r.percent};
}

TEST(CharacterFormulasTest, SkillLevelHalvesLevelsBeyondFifteen) {
  const int32_t cases[][2] = {{1, 1}, {15, 15}, {16, 15}, {17, 16}, {20, 17}, {100, 57}};
  for (const auto& c : cases) EXPECT_EQ(SkillLevel(c[0]), c[1]) << c[0];
}

TEST(CharacterFormulasTest, Skills) {
  // A: level 20 (skill level 15 + 5/2 = 17), INT 80, WIL 60, AGL 70, CHA 40; race
  // stealth, perception 5, stealth 10, thievery 25, find traps 20 and trap bonus 3,
  // picklocks 30, martial-arts bonus 3, magic resistance 10.
  WalkerCharacter a = CharacterWith({20, 80, 60, 70, 40});
  CharacterSheet sheetA;
  GiveAbilities(sheetA.race, {{102, 1}, {77, 5}, {27, 10}, {36, 10}});
  GiveAbilities(sheetA.characterClass, {{39, 25}, {40, 20}, {179, 3}, {37, 30}, {58, 3}});

  // B: level 5, INT 20, WIL 30, AGL 30, CHA 100; race and class stealth,
  // tracking 20, jumpkick, martial arts 25.
  WalkerCharacter b = CharacterWith({5, 20, 30, 30, 100});
  CharacterSheet sheetB;
  GiveAbilities(sheetB.race, {{102, 1}});
  GiveAbilities(sheetB.characterClass, {{103, 1}, {38, 20}});
  b.abilities[0] = {35, 1};
  b.abilities[1] = {34, 25};

  // C: level 16, every stat 0; class stealth only.
  WalkerCharacter c = CharacterWith({16, 0, 0, 0, 0});
  CharacterSheet sheetC;
  GiveAbilities(sheetC.characterClass, {{103, 1}});

  const struct {
    const char* name;
    const WalkerCharacter& character;
    const CharacterSheet& sheet;
    Skills want;
  } cases[] = {
      // perception 5 + (400 + 120 + 40) / 8 = 75
      // stealth 10 + (20 + 15) + 40/6 + 70/4 + 80/8 + 5 = 10 + 35 + 6 + 17 + 10 + 5 = 83
      // thievery 25 + (24*17 + 80 + 70 + 40) / 6 = 25 + 598/6 = 124
      // traps 3 + 20 + (70 + 80 + 80 + 28*17) / 7 = 23 + 706/7 = 123
      // picklocks 30 + 2 * (170 + 70 + 80) / 7 = 30 + 640/7 = 121
      // martial k = 2 + 3 + 1 + (-10/30 = 0) = 6; 3 + 6 + 4 + 14 + 4 = 31
      // magic res 10 + (80 + 180) / 4 = 75
      {"A", a, sheetA, {75, 83, 124, 123, 121, 0, 31, 75}},
      // perception (100 + 60 + 100) / 8 = 32
      // stealth 10 + 100/6 + 30/4 + 20/8 + 30 = 10 + 16 + 7 + 2 + 30 = 65
      // tracking 20 + (200 + 40 + 30 + 100) / 8 = 20 + 46 = 66
      // martial k = 0 - 3 - 1 + 1 = -3 -> 1; M = 1 + 10 + 6 + 1 = 18;
      //   jumpkick (5 + 18) * 2 = 46; + 25 = 71
      // magic res (20 + 90) / 4 = 27
      {"B", b, sheetB, {32, 65, 0, 0, 0, 66, 71, 27}},
      // stealth 16 + 15 + 20 = 51; martial k = 1 - 5 - 2 - 1 -> 1; 1 + 16/5 = 4
      {"C", c, sheetC, {0, 51, 0, 0, 0, 0, 4, 0}},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(Figures(CharacterSkills(t.character, t.sheet)), Figures(t.want)) << t.name;
  }
}

TEST(CharacterFormulasTest, SpellcastingByMagicType) {
  // Level 10, INT 60, WIL 90, CHA 30, magic level 3, spellcasting 15:
  // 2L + 5 * 3 = 35 for every caster.
  WalkerCharacter c = CharacterWith({10, 60, 90, 0, 30});
  const struct {
    MagicKind magic;
    int32_t want;
  } cases[] = {
      {kMagicMage, 45 + 35 + 15},    // (180 + 90) / 6
      {kMagicPriest, 55 + 35 + 15},  // (270 + 60) / 6
      {kMagicDruid, 50 + 35 + 15},   // (60 + 90) / 3
      {kMagicBard, 30 + 35 + 15},    // (90 + 90) / 6
      {kMagicKai, 500 + 35 + 15},
      {kMagicNone, 0},  // spellcasting from abilities counts only for casters
  };
  for (const auto& t : cases) {
    CharacterSheet sheet;
    sheet.characterClass.setMagicType(t.magic);
    sheet.characterClass.setMagicLevel(3);
    GiveAbilities(sheet.characterClass, {{70, 15}});
    EXPECT_EQ(Spellcasting(c, sheet), t.want) << t.magic;
  }
}

TEST(CharacterFormulasTest, Regeneration) {
  const struct {
    int32_t level, health;
    int16_t alter;  // ability 123
    Regeneration want;
  } hp[] = {
      {10, 80, 50, {3, 9, 4, 13, 50}},  // 30 * 80 / 750 = 3; 150 * 3 / 100, 150 * 9 / 100
      {1, 10, 0, {1, 3, 1, 3, 0}},      // 21 * 10 / 750 = 0, raised to 1
      {1, 10, -100, {1, 3, 0, 0, -100}},
  };
  for (const auto& t : hp) {
    WalkerCharacter c;
    c.level = t.level;
    c.health = t.health;
    CharacterSheet sheet;
    GiveAbilities(sheet.race, {{123, t.alter}});
    EXPECT_EQ(Figures(HitPointRegeneration(c, sheet)), Figures(t.want)) << t.level;
  }
  // Level 10, magic level 3: (10 + 20) * s * 5 / 1650 = 150 s / 1650.
  const struct {
    MagicKind magic;
    int16_t alter;  // ability 145
    int32_t raw, modified;
  } mp[] = {
      {kMagicMage, 0, 6, 6},    // INT 66: 9900 / 1650
      {kMagicMage, -50, 6, 3},  // 50 * 6 / 100
      {kMagicPriest, 0, 8, 8},  // WIL 90: 13500 / 1650 = 8.2
      {kMagicDruid, 0, 7, 7},   // (66 + 90) / 2 = 78: 11700 / 1650 = 7.1
      {kMagicBard, 0, 3, 3},    // CHA 33: 4950 / 1650
      {kMagicKai, 100, 1, 2},   // always 1; 200 * 1 / 100
      {kMagicNone, 100, 0, 0},
  };
  for (const auto& t : mp) {
    WalkerCharacter c = CharacterWith({10, 66, 90, 0, 33});
    CharacterSheet sheet;
    sheet.characterClass.setMagicType(t.magic);
    sheet.characterClass.setMagicLevel(3);
    GiveAbilities(sheet.characterClass, {{145, t.alter}});
    const Regeneration got = ManaRegeneration(c, sheet);
    EXPECT_EQ(got.walking, t.raw) << t.magic << " " << t.alter;
    EXPECT_EQ(got.modifiedWalking, t.modified) << t.magic << " " << t.alter;
  }
}

TEST(CharacterFormulasTest, ExperienceTableStartsThreeLevelsDown) {
  // Race and class percentages 0: P = 100, the table's own values.
  const CharacterSheet sheet;
  const struct {
    int32_t level;
    std::vector<std::string> rows;  // the first rows after the heading
  } cases[] = {
      {1, {"   2     1000", "   3     2000", "   4     3666", "   5     6721"}},
      {3, {"   2     1000", "   3     2000"}},  // 3 - 3 = 0 is below 1
      {4, {"   1     0", "   2     1000"}},
      {7, {"   4     3666", "   5     6721", "   6     "}},
  };
  for (const auto& t : cases) {
    WalkerCharacter c;
    c.level = t.level;
    const std::vector<std::string> lines = ExperienceTableLines(c, sheet);
    ASSERT_EQ(lines.size(), 14u) << t.level;
    EXPECT_EQ(lines[0], "|07The following is a table of experience for Your character:");
    EXPECT_EQ(lines[2], "Level   Experience");
    EXPECT_EQ(lines[3], "-----   ----------");
    for (size_t i = 0; i < t.rows.size(); ++i) {
      EXPECT_EQ(lines[4 + i].substr(0, t.rows[i].size()), t.rows[i]) << t.level << " row " << i;
    }
  }
  WalkerCharacter c;
  c.level = 7;
  EXPECT_EQ(ExperienceTableLines(c, sheet)[10], "  10     81123");
}

TEST(CharacterFormulasTest, ExperienceLinePrintsSixtyFourBitsWhole) {
  CharacterSheet sheet;
  const struct {
    int32_t level;
    uint64_t experience;
    int16_t raceExp;
    const char* line;
  } cases[] = {
      // Level 3 needs 2000 at P = 100: 500 missing, 1500 of 2000 is 75 %.
      {2, 1500, 0,
       "|02Exp: |031500 |02Level: |032 |02Exp needed for next level: |03500 (2000) [75%]"},
      // P = 150: level 2 needs 10 * 150.
      {1, 0, 50, "|02Exp: |030 |02Level: |031 |02Exp needed for next level: |031500 (1500) [0%]"},
      {1, 5000000000ull, 0,
       "|02Exp: |035000000000 |02Level: |031 |02Exp needed for next level: |030 (1000) "
       "[500000000%]"},
  };
  for (const auto& t : cases) {
    WalkerCharacter c;
    c.level = t.level;
    c.experience = t.experience;
    sheet.race.setExpPercent(t.raceExp);
    EXPECT_EQ(ExperienceLine(c, sheet), t.line) << t.experience;
  }
}

TEST(CharacterFormulasTest, PartyLineNamesTheCastersGauge) {
  WalkerCharacter c;
  c.firstName = "Ysolde";
  c.lastName = "Tarn";
  const struct {
    MagicKind magic;
    const char* line;
  } cases[] = {
      {kMagicNone,
       "|12  Ysolde Tarn                    (Sage)                [H:100%]   - Midrank"},
      {kMagicPriest,
       "|12  Ysolde Tarn                    (Sage)                [H:100%] [M:100%]   - Midrank"},
      {kMagicKai,
       "|12  Ysolde Tarn                    (Sage)                [H:100%] [K:100%]   - Midrank"},
  };
  for (const auto& t : cases) {
    CharacterSheet sheet;
    sheet.characterClass.setName("Sage");
    sheet.characterClass.setMagicType(t.magic);
    const std::vector<std::string> lines = PartyLines(c, sheet);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "|12You are not in a party at the present time.");
    EXPECT_EQ(lines[1], t.line) << t.magic;
  }
}

}  // namespace
}  // namespace torvex
