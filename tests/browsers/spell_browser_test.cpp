// The spell screen cell by cell for a few telling records, its formulas at
// their edges, its ability rows in both of their forms, and the browser's keys
// and searches over a real spell file.
#include "browsers/spell_browser.h"

#include <gtest/gtest.h>

#include "browsers/detail_writer.h"
#include "simulators/spell_rules.h"
#include "tests/browsers/ability_file_support.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

constexpr uint16_t kDamage = 200;    // value format 0: "+5"
constexpr uint16_t kLongName = 201;  // a name wider than the row

struct CellCase {
  int column, row;
  std::string text;
};

class SpellScreenTest : public BrowserTest {
 protected:
  void Show(const SpellRecord& spell) { ShowSpellDetail(hc.console, spell.bytes()); }
  std::string At(int column, int row, int length) const { return hc.Text(column, row, length); }
  int Fg(int column, int row) const { return hc.Attr(column, row) & 0x0F; }
  void ExpectCells(std::span<const CellCase> cases) const {
    for (const CellCase& c : cases) {
      EXPECT_EQ(At(c.column, c.row, static_cast<int>(c.text.size())), c.text)
          << "column " << c.column << " row " << c.row;
    }
  }
  // The frame's right edge on every row: nothing written ran over it.
  void ExpectRightEdgeIntact() const {
    for (int row = 2; row <= 49; ++row) {
      if (row == 4 || row == 17 || row == 21 || row == 48) continue;  // ┤
      EXPECT_EQ(hc.console.CellAt(79, row - 1).ch, 0xB3) << "row " << row;
    }
  }

  static SpellRecord Spell(uint16_t number, const std::string& name) {
    SpellRecord spell;
    spell.setNumber(number);
    spell.setName(name);
    return spell;
  }

  static SpellRecord Fireball() {
    SpellRecord spell = Spell(7, "Fireball");
    spell.setShortName("fball");
    spell.setLevel(12);
    spell.setEnergy(300);
    spell.setMana(25);
    spell.setMinDuration(10);
    spell.setDurationLevelStep(5);
    spell.setDurationIncrement(2);
    spell.setDurationPerLevel(3);
    spell.setMaxLevel(20);
    spell.setMinValue(4);
    spell.setMinIncrement(3);
    spell.setMinLevelStep(2);
    spell.setMaxValue(9);
    spell.setMaxIncrement(1);
    spell.setDifficulty(-15);
    spell.setTarget(5);
    spell.setMagicType(1);
    spell.setMagicLevel(3);
    spell.setElement(1);
    spell.setCastMessage(1234);
    spell.setCastStyle(3);
    spell.setMessageStyle(0xFF);  // only bit 0 counts
    spell.setResistedBy(2);
    spell.setResistable(1);
    spell.setDescription(0, "Hurls a ball of fire.");
    spell.setAbilityNumbers(0, kDamage);  // value 0: the damage at the level
    spell.setAbilityNumbers(1, kDamage);
    spell.setAbilityValues(1, 5);
    spell.setAbilityNumbers(3, 0x1234);  // beyond the ability file: "Unknown"
    return spell;
  }

  OpenedAbilityFile abilities_{
      {{kDamage, "Damage", 0x0B, 0}, {kLongName, std::string(60, 'L'), 0x0C, 0}}};
};

TEST_F(SpellScreenTest, FieldsWhereTheyBelong) {
  Show(Fireball());
  // At level 20 (the cap): duration 10 + (20 / 5) * 2, per level 3 * 20, range
  // 4 + (3 * 20) / 2 and 9 (no step); the damage rule gives 4 + (20 / 2) * 3
  // and 9 + 1 * 20.
  const CellCase cases[] = {
      {18, 2, "7 "},
      {18, 3, "Fireball "},
      {64, 3, "fball "},
      {18, 5, "12 "},
      {64, 5, "300 "},
      {18, 6, "25 "},
      {18, 7, "10 "},
      {25, 7, "+ ((Level / 5  ) * 2  ) (Total: 18   )"},
      {14, 8, "Max:Level * 3   (Total: 60   )"},
      {18, 9, "4 "},
      {25, 9, "+ ((3   * Level) / 2  ) (Total: 34   )"},
      {18, 10, "9 "},
      {25, 10, "+ ((1   * Level) / 0  ) (Total: 9    )"},
      {18, 11, "20 "},
      {18, 12, "-15 "},
      {18, 13, "divided-area-incl-you "},
      {64, 13, "mage-3 "},
      {18, 14, "fire "},
      {64, 14, "1234 "},
      {18, 15, "general "},
      {64, 15, "normal "},
      {18, 16, "agility "},
      {64, 16, "yes "},
      {18, 18, "Hurls a ball of fire. "},
      {18, 19, "      "},
      {18, 22, "(00c8:0000) Damage min: 34 max: 29 "},
      {18, 23, "(00c8:0005) Damage +5 "},
      {18, 24, "(0000:0000) Unknown  "},
      {18, 25, "(1234:0000) Unknown min: 34 max: 29 "},
      {2, 3, "(1) Long name :"},
      {48, 3, "(2) Short Name: "},
      {2, 49, ": "},
  };
  ExpectCells(cases);
  EXPECT_EQ(Fg(18, 2), 15);
  EXPECT_EQ(Fg(18, 14), 12);  // fire's own colour
  EXPECT_EQ(Fg(64, 14), 15);  // and white again after it
  EXPECT_EQ(Fg(30, 22), 0x0B);
  EXPECT_EQ(Fg(57, 7), 15);
  EXPECT_EQ(hc.console.WhereX(), 3);
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdgeIntact();
}

TEST_F(SpellScreenTest, NoMaximumLevelWorksTotalsAtLevel65) {
  SpellRecord spell = Fireball();
  spell.setMaxLevel(0);
  Show(spell);
  EXPECT_EQ(At(18, 11, 2), "0 ");
  EXPECT_EQ(At(57, 7, 5), "36   ");                      // 10 + (65 / 5) * 2
  EXPECT_EQ(At(38, 8, 4), "195 ");                       // 3 * 65
  EXPECT_EQ(At(57, 9, 5), "101  ");                      // 4 + (3 * 65) / 2
  EXPECT_EQ(At(30, 22, 23), "Damage min: 100 max: 74");  // 4 + 32 * 3, 9 + 65
}

struct DurationCase {
  uint16_t base;
  uint8_t step, increment, maxLevel;
  const char* total;
};

TEST_F(SpellScreenTest, DurationTotal) {
  const DurationCase cases[] = {
      {10, 5, 2, 20, "18   "},       {10, 0, 2, 20, "10   "},  // no step: the base
      {10, 5, 0, 20, "10   "},                                 // no increment
      {10, 21, 2, 20, "10   "},                                // a step longer than the level
      {10, 1, 255, 0, "16585"},                                // 10 + 65 * 255
      {65535, 1, 255, 255, "13056"},                           // 130560 cut to the five columns
      {0, 0, 0, 0, "0    "},
  };
  for (const DurationCase& c : cases) {
    SpellRecord spell = Spell(1, "s");
    spell.setMinDuration(c.base);
    spell.setDurationLevelStep(c.step);
    spell.setDurationIncrement(c.increment);
    spell.setMaxLevel(c.maxLevel);
    Show(spell);
    EXPECT_EQ(At(57, 7, 6), std::string(c.total) + ")") << c.base << "/" << int{c.step};
  }
}

TEST_F(SpellScreenTest, RangeTotalMultipliesBeforeDividing) {
  SpellRecord spell = Spell(1, "s");
  spell.setMaxValue(10);
  spell.setMaxIncrement(3);
  spell.setMaxLevelStep(2);
  spell.setAbilityNumbers(4, kDamage);
  Show(spell);
  EXPECT_EQ(At(57, 10, 5), "107  ");           // 10 + (3 * 65) / 2 = 10 + 97
  EXPECT_EQ(MaximumDamageAt(spell, 65), 106);  // 10 + (65 / 2) * 3 = 10 + 96
  EXPECT_EQ(At(30, 26, 23), "Damage min: 0 max: 106 ");
}

TEST_F(SpellScreenTest, RangeTotalAtItsLimits) {
  SpellRecord spell = Spell(1, "s");
  spell.setMinValue(-32768);
  spell.setMinIncrement(255);
  spell.setMinLevelStep(1);
  spell.setMaxValue(32767);
  spell.setMaxIncrement(255);
  spell.setMaxLevelStep(1);
  spell.setMaxLevel(255);
  Show(spell);
  EXPECT_EQ(At(18, 9, 7), "-32768 ");
  EXPECT_EQ(At(57, 9, 6), "32257)");  // -32768 + 255 * 255
  EXPECT_EQ(At(57, 10, 6), "97792)");
  spell.setMinIncrement(0);
  Show(spell);
  EXPECT_EQ(At(62, 9, 1), ")");  // a six-character total keeps to its five columns
}

// The text a value-0 slot of ability kDamage shows after its head.
struct ValueZeroCase {
  const char* what;
  int16_t minBase, maxBase;
  uint8_t maxIncrement, maxStep, maxLevel;
  const char* text;
};

TEST_F(SpellScreenTest, ValueZeroSlotShowsTheDamageAtTheLevel) {
  // clang-format off
  const ValueZeroCase cases[] = {
      {"bases differ",                      4,  9, 0,  0,  0, "Damage min: 4 max: 9"},
      {"equal bases: the value alone",      5,  5, 0,  0,  0, "Damage +5"},
      {"equal bases, stepped maximum",      5,  5, 2, 10,  0, "Damage min: 5 max: 17"},
      {"stepped maximum at the cap",        5,  5, 2, 10, 20, "Damage min: 5 max: 9"},
      {"increment without a step",          5,  5, 2,  0,  0, "Damage +5"},
      {"step without an increment",         5,  5, 0, 10,  0, "Damage +5"},
      {"negative",                         -3, -3, 0,  0,  0, "Damage -3"},
      {"zero",                              0,  0, 0,  0,  0, "Damage "},
  };
  // clang-format on
  for (const ValueZeroCase& c : cases) {
    SpellRecord spell = Spell(1, "s");
    spell.setMinValue(c.minBase);
    spell.setMaxValue(c.maxBase);
    spell.setMaxIncrement(c.maxIncrement);
    spell.setMaxLevelStep(c.maxStep);
    spell.setMaxLevel(c.maxLevel);
    spell.setAbilityNumbers(9, kDamage);
    Show(spell);
    const std::string text = c.text;
    EXPECT_EQ(At(18, 31, 13 + static_cast<int>(text.size())), "(00c8:0000) " + text + " ")
        << c.what;
  }
}

TEST_F(SpellScreenTest, NonZeroValueAndAbilityZeroReadAsOnTheItemScreen) {
  SpellRecord spell = Fireball();
  spell.setAbilityNumbers(0, 0);
  spell.setAbilityValues(0, -1);  // ability 0 with a value: its text
  Show(spell);
  EXPECT_EQ(At(18, 22, 23), "(0000:ffff) Unknown -1 ");
  EXPECT_EQ(At(18, 23, 22), "(00c8:0005) Damage +5 ");
  EXPECT_EQ(AbilityRowHead(kDamage, -2) + AbilityText(kDamage, -2), AbilityRowText(kDamage, -2));
}

TEST_F(SpellScreenTest, ZeroedRecord) {
  Show(SpellRecord());
  const CellCase cases[] = {
      {18, 2, "0 "},          {18, 3, "   "},
      {57, 7, "0    )"},      {26, 8, "0   (Total: 0    )"},
      {57, 9, "0    )"},      {57, 10, "0    )"},
      {18, 13, "single "},    {64, 13, "none-0 "},
      {18, 14, "cold "},      {18, 15, "auto-combat "},
      {64, 15, "alternate "}, {18, 16, "magic-resistance "},
      {64, 16, "never "},     {18, 18, "  "},
  };
  ExpectCells(cases);
  EXPECT_EQ(Fg(18, 14), 9);
  for (int row = 22; row <= 31; ++row) EXPECT_EQ(At(18, row, 21), "(0000:0000) Unknown  ") << row;
  ExpectRightEdgeIntact();
}

TEST_F(SpellScreenTest, HostileRecordStaysInsideTheScreen) {
  SpellRecord spell = Spell(65535, "");
  std::vector<uint8_t> bytes(spell.bytes().begin(), spell.bytes().end());
  std::fill_n(bytes.begin() + 2, 30, 'N');    // name without its zero
  std::fill_n(bytes.begin() + 32, 102, 'D');  // both description lines
  std::fill_n(bytes.begin() + 250, 7, 'S');   // short name to the record's end
  bytes[40] = '|';                            // no colour code in a plain text
  SpellRecord hostile(bytes);
  hostile.setLevel(65535);
  hostile.setEnergy(65535);
  hostile.setMana(65535);
  hostile.setDurationPerLevel(65535);
  hostile.setMaxLevel(255);
  hostile.setDifficulty(-32768);
  hostile.setTarget(0xFFFF);
  hostile.setMagicType(0xFFFF);
  hostile.setMagicLevel(65535);
  hostile.setElement(0xFFFF);
  hostile.setCastMessage(0xFFFFFFFF);
  hostile.setCastStyle(9);
  hostile.setResistedBy(200);
  hostile.setResistable(255);
  hostile.setAbilityNumbers(0, kLongName);
  hostile.setAbilityNumbers(1, kLongName);
  hostile.setAbilityValues(1, 32767);
  Show(hostile);
  const CellCase cases[] = {
      {18, 2, "65535 "},
      {18, 3, std::string(30, 'N') + "("},
      {64, 3, "SSSSSSS "},
      {26, 8, "65535Total: 16711425 "},
      {18, 13, "spelltarget--1 "},
      {64, 13, "magictype--1-655"},
      {18, 14, "elementtype--1 "},
      {64, 14, "4294967295 "},
      {18, 15, "spelltype-9 "},
      {18, 16, "resistype--56 "},
      {64, 16, "resists--1 "},
      {18, 18, "DDDDDDDD|DD"},
      {30, 22, std::string(50, 'L')},
      {30, 23, std::string(50, 'L')},
  };
  ExpectCells(cases);
  EXPECT_EQ(At(18, 19, 52), std::string(51, 'D') + " ");
  EXPECT_EQ(Fg(18, 14), 15);
  ExpectRightEdgeIntact();
}

// The browser itself over a file.
class SpellBrowserTest : public SpellScreenTest {
 protected:
  void Run() {
    Keys("q");
    RunSpellBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
  std::string NumberShown() const {
    const std::string text = At(18, 2, 10);
    return text.substr(0, text.find(' '));
  }
  void MakeSpells(const std::vector<SpellRecord>& spells) {
    std::vector<std::vector<uint8_t>> records;
    for (const SpellRecord& spell : spells) records.push_back(Bytes(spell));
    MakeFile(kSpellFile, records);
  }
};

TEST_F(SpellBrowserTest, JumpsAboveSixteenBitsAreRefusedAndKeepTheSpell) {
  MakeSpells({Spell(1, "Spark"), Fireball(), Spell(300, "Nova")});
  Keys("g7\r");
  Keys("G70000\r ");  // status 4, dismissed; 70000 is not cut down to 4464
  Vk(vk::kF1 + 1, kCtrl);
  Keys("L");
  Vk(vk::kF1 + 1);
  Run();
  EXPECT_TRUE(EverShown("Status: 4 "));
  EXPECT_EQ(WindowsTitled("Error"), 1);
  EXPECT_GE(WindowsTitled("Goto Spell"), 2);
  EXPECT_TRUE(EverShown("Enter a spell number to jump to:"));
  EXPECT_EQ(NumberShown(), "7");
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Spell : Fireball (7)");
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kSpell)][1], "7");
}

TEST_F(SpellBrowserTest, SearchByNameAndByAbility) {
  SpellRecord nova = Spell(300, "Nova");
  nova.setAbilityNumbers(9, kDamage);
  nova.setAbilityValues(9, -4);
  MakeSpells({Spell(1, "Spark"), Fireball(), nova});
  Keys("S\rFIRE\r");  // name: 7
  Keys("S");
  Vk(vk::kDown);
  Keys("\r");
  Vk('X', kCtrl);    // the prompt offers the last text typed
  Keys("200/-4\r");  // ability and value in one slot: 300
  Run();
  EXPECT_GE(WindowsTitled("Search Spells"), 2);
  EXPECT_TRUE(EverShown("Search for Ability Value"));
  EXPECT_EQ(WindowsTitled("No Results"), 0);
  EXPECT_EQ(NumberShown(), "300");
}

TEST_F(SpellBrowserTest, RawDumpHelpAndSimulatorKeys) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  MakeSpells({Fireball()});
  Vk('E', kCtrl);
  Vk('S', kCtrl);  // the simulator's place: the spell is shown again
  Keys("E");       // no extended viewer
  Keys("? ");
  Run();
  EXPECT_EQ(std::filesystem::file_size(work.File("rawspelsnt-7.bin")), SpellRecord::kDiskLength);
  EXPECT_EQ(WindowsTitled("Spells Help"), 1);
  EXPECT_TRUE(EverShown("Show simulated casts of this spell"));
  EXPECT_EQ(NumberShown(), "7");
}

}  // namespace
}  // namespace torvex::testing
