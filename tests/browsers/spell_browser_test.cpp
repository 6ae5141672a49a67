// The spell screen cell by cell for a telling, a zeroed and an all-ones
// record, its formulas at their edges in one table, and the browser's keys and
// searches over a real spell file.
#include "browsers/spell_browser.h"

#include <gtest/gtest.h>

#include "console/format.h"
#include "database/records/text_block_text.h"
#include "simulators/rules.h"
#include "simulators/spell_rules.h"
#include "tests/browsers/ability_file_support.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

constexpr uint16_t kDamage = 200;    // value format 0: "+5"
constexpr uint16_t kLongName = 201;  // a name wider than the row

SpellRecord Spell(uint16_t number, const std::string& name) {
  SpellRecord spell;
  spell.setNumber(number);
  spell.setName(name);
  return spell;
}

SpellRecord Fireball() {
  SpellRecord s = Spell(7, "Fireball");
  s.setShortName("fball");
  s.setLevel(12);
  s.setEnergy(300);
  s.setMana(25);
  s.setMaxLevel(20);
  s.setMinValue(4);
  s.setMaxValue(9);
  s.setDifficulty(-15);
  s.setTarget(5);
  s.setMagicType(1);
  s.setMagicLevel(3);
  s.setElement(1);
  s.setCastMessage(1234);
  s.setCastStyle(3);
  s.setMessageStyle(0xFE);  // only bit 0 counts
  s.setResistedBy(2);
  s.setResistable(1);
  s.setDescription(0, "Hurls |12fire.");
  s.setAbilityNumbers(0, kDamage);
  s.setAbilityValues(0, 5);
  s.setAbilityValues(1, -1);       // ability 0 with a value: its text
  s.setAbilityNumbers(3, 0x1234);  // beyond the ability file, value 0: the damage
  s.setAbilityNumbers(4, kLongName);
  return s;
}

class SpellBrowserTest : public BrowserTest {
 protected:
  void Show(const SpellRecord& spell) { ShowSpellDetail(hc.console, spell.bytes()); }
  OpenedAbilityFile abilities_{
      {{kDamage, "Damage", 0x0B, 0}, {kLongName, std::string(60, 'L'), 0x0C, 0}}};
};

TEST_F(SpellBrowserTest, TellingZeroedAndAllOnesRecords) {
  const std::string ff(51, '\xFF');  // unterminated texts, cut at their lengths
  Show(Fireball());
  ExpectCells({{18, 2, "7 ", 15},
               {18, 3, "Fireball "},
               {64, 3, "fball "},
               {18, 5, "12 "},
               {64, 5, "300 "},
               {18, 6, "25 "},
               {18, 11, "20 "},
               {18, 12, "-15 "},
               {64, 13, "mage-3 "},
               {18, 13, "divided-area-incl-you "},
               {18, 14, "fire ", 12},
               {64, 14, "1234 ", 15},
               {18, 15, "general "},
               {64, 15, "alternate "},
               {18, 16, "agility "},
               {64, 16, "yes "},
               {18, 18, "Hurls |12fire. "},
               {18, 19, "      "},
               {18, 22, "(00c8:0005) Damage +5 "},
               {30, 22, "D", 0x0B},
               {18, 23, "(0000:ffff) Unknown -1 "},
               {18, 24, "(0000:0000) Unknown  "},
               {18, 25, "(1234:0000) Unknown min: 4 max: 9 "},
               {18, 26, "(00c9:0000) " + std::string(50, 'L')}});
  EXPECT_EQ(std::pair(hc.console.WhereX(), hc.console.WhereY()), std::pair(3, 49));
  ExpectRightEdge(49, {4, 17, 21, 48});

  Show(SpellRecord());
  ExpectCells({{18, 2, "0 "},
               {64, 13, "none-0 "},
               {18, 14, "cold ", 9},
               {64, 15, "alternate "},
               {18, 18, "  "},
               {18, 31, "(0000:0000) Unknown  "}});

  Show(SpellRecord(std::vector<uint8_t>(SpellRecord::kDiskLength, 0xFF)));
  ExpectCells({{18, 2, "65535 "},
               {18, 3, ff.substr(0, 30) + "("},
               {64, 3, ff.substr(0, 7) + " "},
               {26, 8, "65535Total: 16711425 "},
               {18, 13, "spelltarget--1 "},
               {64, 13, "magictype--1-655"},
               {18, 14, "elementtype--1 ", 15},
               {64, 14, "4294967295 "},
               {18, 15, "spelltype--1 "},
               {64, 15, "normal "},
               {18, 16, "resistype--1 "},
               {64, 16, "resists--1 "},
               {18, 18, ff + " "},
               {18, 19, ff + " "},
               {18, 22, "(ffff:ffff) Unknown -1 "}});
  ExpectRightEdge(49, {4, 17, 21, 48});
}

// The totals on rows 7 to 10 and the damage text of a value-0 slot of kDamage.
struct FormulaCase {
  int duration, durationStep, durationIncrement, perLevel, maxLevel;
  int minBase, minIncrement, minStep, maxBase, maxIncrement, maxStep;
  std::vector<std::string> shown;  // the four totals and the damage text

  SpellRecord Record() const {
    SpellRecord s = Spell(1, "s");
    s.setMinDuration(duration);
    s.setDurationLevelStep(durationStep);
    s.setDurationIncrement(durationIncrement);
    s.setDurationPerLevel(perLevel);
    s.setMaxLevel(maxLevel);
    s.setMinValue(minBase);
    s.setMinIncrement(minIncrement);
    s.setMinLevelStep(minStep);
    s.setMaxValue(maxBase);
    s.setMaxIncrement(maxIncrement);
    s.setMaxLevelStep(maxStep);
    s.setAbilityNumbers(0, kDamage);
    return s;
  }
};

TEST_F(SpellBrowserTest, FormulasAtTheirEdges) {
  const FormulaCase cases[] = {
      // 10 + (20 / 5) * 2; 3 * 20; 4 + (3 * 20) / 2; 9 (no step); damage 4 + (20 / 2) * 3, 9 + 20

      {10, 5, 2, 3, 20, 4, 3, 2, 9, 1, 0, {"18", "60", "34", "9", "min: 34 max: 29"}},
      {10, 5, 2, 3, 0, 4, 3, 2, 9, 1, 0, {"36", "195", "101", "9", "min: 100 max: 74"}},  // L65
      {10, 0, 2, 0, 20, 0, 0, 0, 0, 0, 0, {"10", "0", "0", "0", ""}},   // no duration step
      {10, 21, 2, 0, 20, 0, 0, 0, 0, 0, 0, {"10", "0", "0", "0", ""}},  // step beyond the level
      // 130560 cut to the five columns; 255 * 65535 needs more than 16 bits.
      {65535, 1, 255, 65535, 255, 0, 0, 0, 0, 0, 0, {"13056", "16711425", "0", "0", ""}},
      // The screen multiplies before it divides (10 + 195 / 2); the damage rule does not.
      {0, 0, 0, 0, 0, 0, 0, 0, 10, 3, 2, {"0", "0", "0", "107", "min: 0 max: 106"}},
      {0,
       0,
       0,
       0,
       255,
       -32768,
       255,
       1,
       32767,
       255,
       1,
       {"0", "0", "32257", "97792", "min: 32257 max: 97792"}},
      {0, 0, 0, 0, 255, -32768, 0, 1, 0, 0, 0, {"0", "0", "-3276", "0", "min: -32768 max: 0"}},
      {0, 0, 0, 0, 0, 4, 0, 0, 9, 0, 0, {"0", "0", "4", "9", "min: 4 max: 9"}},
      {0, 0, 0, 0, 0, 5, 0, 0, 5, 0, 0, {"0", "0", "5", "5", "+5"}},  // equal: the value alone
      // Again: 5 + (2 * 65) / 10 on the screen, 5 + (65 / 10) * 2 dealt.
      {0, 0, 0, 0, 0, 5, 0, 0, 5, 2, 10, {"0", "0", "5", "18", "min: 5 max: 17"}},
      {0, 0, 0, 0, 20, 5, 0, 0, 5, 2, 10, {"0", "0", "5", "9", "min: 5 max: 9"}},
      {0, 0, 0, 0, 0, 5, 0, 0, 5, 2, 0, {"0", "0", "5", "5", "+5"}},   // increment, no step
      {0, 0, 0, 0, 0, 5, 0, 0, 5, 0, 10, {"0", "0", "5", "5", "+5"}},  // step, no increment
  };
  const auto total = [](const std::string& n) { return Format("%-5s)", n.c_str()); };
  for (size_t i = 0; i < std::size(cases); ++i) {
    Show(cases[i].Record());
    const std::vector<std::string>& w = cases[i].shown;
    const std::vector<std::string> shown = {At(57, 7, 6), At(38, 8, w[1].size() + 1), At(57, 9, 6),
                                            At(57, 10, 6), At(18, 22, w[4].size() + 20)};
    EXPECT_EQ(shown, (std::vector<std::string>{total(w[0]), w[1] + " ", total(w[2]), total(w[3]),
                                               "(00c8:0000) Damage " + w[4] + " "}))
        << "case " << i;
  }
  // 10 + (65 / 2) * 3: one less than the screen's total.
  EXPECT_EQ(MaximumDamageAt(cases[5].Record(), 65) + 1, 107);
}

TEST_F(SpellBrowserTest, KeysAndSearches) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  SpellRecord nova = Spell(300, "Nova");
  nova.setAbilityNumbers(9, kDamage);
  nova.setAbilityValues(9, -4);
  MakeFile(kSpellFile, {Bytes(Spell(1, "Spark")), Bytes(Fireball()), Bytes(nova)});
  Keys("S\rzzz\r ");  // by name, none
  Keys("S\r");
  Vk('X', kCtrl);
  Keys("FIRE\r");          // the last text cleared; any case: 7
  Keys("G70000\r ");       // status 4, dismissed; 70000 is not cut down to 4464
  Vk(vk::kF1 + 1, kCtrl);  // the macro keeps the spell the failed jump left: 7
  Vk('E', kCtrl);          // raw dump
  Vk('S', kCtrl);          // the simulator: stored inputs kept, one round
  Keys("\r\r\rq");         // type 3, target 5: the round empties the pool
  Keys("E? ");             // no extended viewer; help
  Keys("S");
  Vk(vk::kDown);
  Keys("\r");
  Vk('X', kCtrl);
  Keys("200/-4\rq");  // ability and value in one slot: 300, not 7's 200/5
  RunSpellBrowser(hc.console);
  EXPECT_EQ(hc.display.PendingKeys(), 0u);
  for (const char* text : {"No records matching your search query, \"zzz\", were", "Status: 4 ",
                           "Enter a spell number to jump to:", "Show simulated casts of this spell",
                           "[Energy=0/Round=1]:", "Search for Ability Value"}) {
    EXPECT_TRUE(EverShown(text)) << text;
  }
  for (const char* title : {"No Results", "Error", "Spells Help"}) {
    EXPECT_EQ(WindowsTitled(title), 1) << title;
  }
  EXPECT_GE(WindowsTitled("Goto Spell"), 1);
  EXPECT_GE(WindowsTitled("Search Spells"), 3);
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kSpell)][1], "7");
  EXPECT_EQ(std::filesystem::file_size(work.File("rawspelsnt-7.bin")), SpellRecord::kDiskLength);
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Spell : Nova (300)");
}

TEST_F(SpellBrowserTest, SimulatedCastsRunTheirTextBlocks) {
  SpellRecord glow = Spell(5, "Glow");
  glow.setCastStyle(3);
  glow.setTarget(1);
  glow.setAbilityNumbers(0, 148);
  glow.setAbilityValues(0, 70);
  MakeFile(kSpellFile, {Bytes(glow)});
  TextBlockRecord block;
  block.setBlockNumber(70);
  block.setText(EncodeStoredText("FAILITEM 1 0:ADDEXP 7\nADDEXP 8"));
  MakeFile(kTextFile, {{block.data(), block.data() + block.storedLength()}});
  Vk('S', kCtrl);
  Keys("\r\r\r");  // the stored inputs
  Keys("n");       // the block's question, in the first round
  Keys("q");
  Keys("q");
  RunSpellBrowser(hc.console);
  SetTextBlockRunner({});
  EXPECT_EQ(hc.display.PendingKeys(), 0u);
  EXPECT_TRUE(EverShown("Do you have item 1 ()? [y/n]:"));
  EXPECT_TRUE(EverShown("You were given 7 experience."));
  EXPECT_FALSE(EverShown("You were given 8 experience."));
}

}  // namespace
}  // namespace torvex::testing
