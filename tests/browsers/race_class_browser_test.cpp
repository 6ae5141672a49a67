// The race and class screens cell by cell for a few telling records, and the
// two browsers' name search without a list, 16-bit jumps, help and raw dumps
// over real files.
#include "browsers/race_class_browser.h"

#include <gtest/gtest.h>

#include "tests/browsers/ability_file_support.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

constexpr uint16_t kStealth = 0x0014;
constexpr uint16_t kLongName = 201;

struct CellCase {
  int column, row;
  std::string text;
};

class RaceClassScreenTest : public BrowserTest {
 protected:
  std::string At(int column, int row, int length) const { return hc.Text(column, row, length); }
  int Fg(int column, int row) const { return hc.Attr(column, row) & 0x0F; }
  void ExpectCells(std::span<const CellCase> cases) const {
    for (const CellCase& c : cases) {
      EXPECT_EQ(At(c.column, c.row, static_cast<int>(c.text.size())), c.text)
          << "column " << c.column << " row " << c.row;
    }
  }
  // The right edge from row 2 to the bottom border, tees excepted.
  void ExpectRightEdgeIntact(int bottom, std::initializer_list<int> tees) const {
    for (int row = 2; row < bottom; ++row) {
      if (std::find(tees.begin(), tees.end(), row) != tees.end()) continue;
      EXPECT_EQ(hc.console.CellAt(79, row - 1).ch, 0xB3) << "row " << row;  // │
    }
    EXPECT_EQ(hc.console.CellAt(79, bottom - 1).ch, 0xD9);  // ┘
  }

  static RaceRecord Race(uint16_t number, const std::string& name) {
    RaceRecord race;
    race.setNumber(number);
    race.setName(name);
    return race;
  }
  static ClassRecord Class(uint16_t number, const std::string& name) {
    ClassRecord cls;
    cls.setNumber(number);
    cls.setName(name);
    return cls;
  }

  static RaceRecord Elf() {
    RaceRecord race = Race(3, "Elf");
    race.setExpPercent(-10);
    race.setHpBonus(-2);
    race.setStartCP(100);
    race.setBaseStrength(10);
    race.setBaseIntellect(12);
    race.setBaseWillpower(11);
    race.setBaseAgility(14);
    race.setBaseHealth(9);
    race.setBaseCharm(13);
    race.setMaxStrength(50);
    race.setMaxIntellect(62);
    race.setMaxWillpower(61);
    race.setMaxAgility(64);
    race.setMaxHealth(59);
    race.setMaxCharm(65535);
    race.setAbilityNumbers(0, kStealth);
    race.setAbilityValues(0, -2);
    race.setAbilityNumbers(9, kStealth);
    race.setAbilityValues(9, 5);
    return race;
  }

  static ClassRecord Warrior() {
    ClassRecord cls = Class(4, "Warrior");
    cls.setExpPercent(150);
    cls.setMinHP(65535);
    cls.setHpRange(65535);
    cls.setWeaponType(12);
    cls.setArmourType(3);
    cls.setCombat(4);
    cls.setTitles(0xFFFFFFFF);
    cls.setAbilityNumbers(0, kStealth);
    cls.setAbilityValues(0, -2);
    return cls;
  }

  OpenedAbilityFile abilities_{
      {{kStealth, "Stealth", 0x0A, 0}, {kLongName, std::string(60, 'L'), 0x0C, 0}}};
};

TEST_F(RaceClassScreenTest, RaceFieldsWhereTheyBelong) {
  ShowRaceDetail(hc.console, Elf().bytes());
  const CellCase cases[] = {
      {18, 2, "3 "},
      {18, 3, "Elf "},
      {64, 3, "-10 "},
      {18, 4, "-2 "},
      {64, 4, "100 "},
      {18, 6, "10 "},
      {64, 6, "14 "},
      {18, 7, "12 "},
      {64, 7, "9 "},
      {18, 8, "11 "},
      {64, 8, "13 "},
      {18, 9, "  "},
      {18, 10, "50 "},
      {64, 10, "64 "},
      {18, 11, "62 "},
      {64, 11, "59 "},
      {18, 12, "61 "},
      {64, 12, "65535 "},
      {18, 14, "(0014:fffe) Stealth -2 "},
      {18, 15, "(0000:0000) Unknown  "},
      {18, 23, "(0014:0005) Stealth +5 "},
      {48, 3, "(2) Exp %     :"},
      {2, 14, "(*) Flags     :"},
  };
  ExpectCells(cases);
  EXPECT_EQ(Fg(18, 2), 15);
  EXPECT_EQ(Fg(64, 12), 15);
  EXPECT_EQ(Fg(18, 14), 8);                      // "("
  EXPECT_EQ(Fg(19, 14), 9);                      // the number
  EXPECT_EQ(Fg(23, 14), 1);                      // ":"
  EXPECT_EQ(Fg(30, 14), 0x0A);                   // the ability's own colour
  EXPECT_EQ(hc.console.CellAt(0, 23).ch, 0xC0);  // └ on row 24
  EXPECT_EQ(hc.console.WhereX(), 3);
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdgeIntact(24, {5, 13});
}

TEST_F(RaceClassScreenTest, ClassFieldsWhereTheyBelong) {
  ShowClassDetail(hc.console, Warrior().bytes());
  const CellCase cases[] = {
      {18, 2, "4 "},
      {18, 3, "Warrior "},
      {64, 3, "150 "},
      {18, 5, "65535 "},
      {64, 5, "131070 "},  // the sum does not wrap at 16 bits
      {18, 6, "weapontype-12              (12) "},
      {18, 7, "soft-leather               (3) "},
      {18, 8, "none-0 "},
      {64, 8, "4 "},
      {18, 9, "4294967295 "},
      {18, 11, "(0014:fffe) Stealth -2 "},
      {18, 20, "(0000:0000) Unknown  "},
      {2, 6, "(4) Weapons   :"},
      {48, 5, "    Max HP    :"},
  };
  ExpectCells(cases);
  EXPECT_EQ(Fg(30, 11), 0x0A);
  EXPECT_EQ(hc.console.CellAt(0, 20).ch, 0xC0);  // └ on row 21
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdgeIntact(21, {4, 10});
}

struct ClassTypeCase {
  uint16_t weapon, armour, magic, level;
  const char* weaponRow;
  const char* armourRow;
  const char* magicRow;
};

TEST_F(RaceClassScreenTest, ClassEnumeratedRows) {
  // clang-format off
  const ClassTypeCase cases[] = {
      {0, 0, 0, 0, "1h-blunt                   (0) ", "natural                    (0) ", "none-0 "},
      {9, 9, 2, 3, "limited                    (9) ", "platemail                  (9) ", "priest-3 "},
      {10, 10, 6, 1, "weapontype-10              (10) ", "armourtype-10              (10) ",
       "magictype-6-1 "},
      {0xFFFF, 0x8000, 0xFFFF, 65535, "weapontype--1              (-1) ",
       "armourtype--32768          (-32768) ", "magictype--1-65535 "},
  };
  // clang-format on
  for (const ClassTypeCase& c : cases) {
    ClassRecord cls = Class(1, "c");
    cls.setWeaponType(c.weapon);
    cls.setArmourType(c.armour);
    cls.setMagicType(c.magic);
    cls.setMagicLevel(c.level);
    ShowClassDetail(hc.console, cls.bytes());
    EXPECT_EQ(At(18, 6, static_cast<int>(strlen(c.weaponRow))), c.weaponRow) << c.weapon;
    EXPECT_EQ(At(18, 7, static_cast<int>(strlen(c.armourRow))), c.armourRow) << c.armour;
    EXPECT_EQ(At(18, 8, static_cast<int>(strlen(c.magicRow))), c.magicRow) << c.magic;
  }
}

TEST_F(RaceClassScreenTest, ZeroedRecords) {
  ShowRaceDetail(hc.console, RaceRecord().bytes());
  for (const int row : {2, 4, 6, 7, 8, 10, 11, 12}) EXPECT_EQ(At(18, row, 2), "0 ") << row;
  for (const int row : {3, 4, 6, 7, 8, 10, 11, 12}) EXPECT_EQ(At(64, row, 2), "0 ") << row;
  EXPECT_EQ(At(18, 3, 2), "  ");
  for (int row = 14; row <= 23; ++row) EXPECT_EQ(At(18, row, 20), "(0000:0000) Unknown ");

  ShowClassDetail(hc.console, ClassRecord().bytes());
  for (const int row : {2, 5, 9}) EXPECT_EQ(At(18, row, 2), "0 ") << row;
  for (const int row : {3, 5, 8}) EXPECT_EQ(At(64, row, 2), "0 ") << row;
  EXPECT_EQ(At(18, 8, 7), "none-0 ");
  for (int row = 11; row <= 20; ++row) EXPECT_EQ(At(18, row, 20), "(0000:0000) Unknown ");
}

TEST_F(RaceClassScreenTest, HostileRecordsStayInsideTheirFrames) {
  RaceRecord race = Race(65535, "");
  std::vector<uint8_t> bytes(race.bytes().begin(), race.bytes().end());
  std::fill_n(bytes.begin() + 2, 30, '|');  // name without its zero, all bars
  RaceRecord hostile(bytes);
  hostile.setExpPercent(-32768);
  hostile.setHpBonus(-32768);
  for (size_t i = 0; i < RaceRecord::kAbilitySlots; ++i) {
    hostile.setAbilityNumbers(i, kLongName);
    hostile.setAbilityValues(i, -32768);
  }
  ShowRaceDetail(hc.console, hostile.bytes());
  EXPECT_EQ(At(18, 2, 6), "65535 ");
  EXPECT_EQ(At(18, 3, 31), std::string(30, '|') + "(");  // bars shown, not taken as codes
  EXPECT_EQ(At(64, 3, 7), "-32768 ");
  EXPECT_EQ(At(18, 4, 7), "-32768 ");
  for (int row = 14; row <= 23; ++row) {
    EXPECT_EQ(At(18, row, 62), "(00c9:8000) " + std::string(50, 'L')) << row;
  }
  ExpectRightEdgeIntact(24, {5, 13});

  ClassRecord cls = Class(65535, "");
  bytes.assign(cls.bytes().begin(), cls.bytes().end());
  std::fill_n(bytes.begin() + 2, 30, 'C');
  cls = ClassRecord(bytes);
  cls.setExpPercent(-1);
  cls.setAbilityNumbers(9, kLongName);
  ShowClassDetail(hc.console, cls.bytes());
  EXPECT_EQ(At(18, 3, 31), std::string(30, 'C') + "(");
  EXPECT_EQ(At(64, 3, 3), "-1 ");
  EXPECT_EQ(At(30, 20, 50), std::string(50, 'L'));
  ExpectRightEdgeIntact(21, {4, 10});
}

// The browsers themselves over files.
class RaceClassBrowserTest : public RaceClassScreenTest {
 protected:
  void RunRaces() {
    Keys("q");
    RunRaceBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
  void RunClasses() {
    Keys("q");
    RunClassBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
  std::string NumberShown() const {
    const std::string text = At(18, 2, 10);
    return text.substr(0, text.find(' '));
  }
  template <typename Record>
  void Make(DatabaseFile file, const std::vector<Record>& records) {
    std::vector<std::vector<uint8_t>> bytes;
    for (const Record& record : records) bytes.push_back(Bytes(record));
    MakeFile(file, bytes);
  }
};

TEST_F(RaceClassBrowserTest, RaceWithoutNameIsTitledUnnamed) {
  Make(kRaceFile, std::vector<RaceRecord>{Race(3, "")});
  RunRaces();
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Race : <unnamed> (3)");
}

TEST_F(RaceClassBrowserTest, RaceSearchGoesStraightToItsPrompt) {
  Make(kRaceFile, std::vector<RaceRecord>{Race(1, "Human"), Race(2, "Elf"), Race(3, "Dark Elf")});
  Keys("Self\r");  // 2
  Keys("S\r");     // the prompt offers "elf" again: 3
  Keys("S");
  Vk('X', kCtrl);
  Keys("orc\r ");  // none: "No Results", back to the first
  RunRaces();
  EXPECT_FALSE(EverShown("Select how you would like to search:"));
  EXPECT_GE(WindowsTitled("Search Races"), 3);
  EXPECT_TRUE(EverShown("Enter text to search for (not case"));  // the window wraps it
  EXPECT_TRUE(EverShown("No records matching your search query, \"orc\", were"));
  EXPECT_EQ(WindowsTitled("No Results"), 1);
  EXPECT_EQ(NumberShown(), "1");
}

TEST_F(RaceClassBrowserTest, ClassSearchFindsTheNextMatch) {
  Make(kClassFile,
       std::vector<ClassRecord>{Class(1, "Mage"), Class(2, "Warrior"), Class(3, "Battle MAGE")});
  Keys("Smage\r");
  RunClasses();
  EXPECT_FALSE(EverShown("Select how you would like to search:"));
  EXPECT_GE(WindowsTitled("Search Classes"), 1);
  EXPECT_EQ(NumberShown(), "3");
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Class : Battle MAGE (3)");
}

TEST_F(RaceClassBrowserTest, ClassJumpAboveSixteenBitsKeepsTheRecord) {
  Make(kClassFile, std::vector<ClassRecord>{Class(1, "Mage"), Warrior(), Class(4464, "Bard")});
  Keys("G4\r");
  Keys("G70000\r ");  // status 4; never 70000 - 65536 = 4464
  RunClasses();
  EXPECT_TRUE(EverShown("Status: 4 "));
  EXPECT_GE(WindowsTitled("Goto Class"), 1);
  EXPECT_TRUE(EverShown("Enter a class number to jump to:"));
  EXPECT_EQ(NumberShown(), "4");
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Class : Warrior (4)");
}

TEST_F(RaceClassBrowserTest, RawDumpsAndMacros) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  Make(kRaceFile, std::vector<RaceRecord>{Race(1, "Human"), Elf()});
  Make(kClassFile, std::vector<ClassRecord>{Warrior()});
  Keys("L");
  Vk('E', kCtrl);
  Vk(vk::kF1, kCtrl);
  Vk('S', kCtrl);  // no simulator: ignored
  Keys("E");       // no extended viewer: ignored
  RunRaces();
  Vk('E', kCtrl);
  Vk(vk::kF1 + 9, kCtrl);
  RunClasses();
  EXPECT_EQ(std::filesystem::file_size(work.File("rawracent-3.bin")), RaceRecord::kDiskLength);
  EXPECT_EQ(std::filesystem::file_size(work.File("rawclassnt-4.bin")), ClassRecord::kDiskLength);
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kRace)][0], "3");
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kClass)][9], "4");
}

TEST_F(RaceClassBrowserTest, HelpTexts) {
  EXPECT_EQ(RaceBrowserDescription().helpText,
            "Use the following keys to navigate the races data:\r\n\r\n  >    Move to next "
            "logical race\r\n  <    Move to previous logical race\r\n  }    Move to next "
            "physical race\r\n  {    Move to previous physical race\r\n  F    Move to the first "
            "race\r\n  L    Move to the last race\r\n  G    Go to a specific race\r\n  S    "
            "Search for a specific race\r\n  Q    Exit the race viewer\r\n\r\nYou can also use "
            "ESC and X to quit the viewer.  When you use { and } you must use F, L or G to reset "
            "your navigation method to physical.  You cannot switch from logical to physical "
            "then back to logical navigation.");
  EXPECT_EQ(ClassBrowserDescription().helpText,
            "Use the following keys to navigate the classes data:\r\n\r\n  >    Move to next "
            "logical class\r\n  <    Move to previous logical class\r\n  }    Move to next "
            "physical class\r\n  {    Move to previous physical class\r\n  F    Move to the "
            "first class\r\n  L    Move to the last class\r\n  G    Go to a specific class\r\n  "
            "S    Search for a specific class\r\n  Q    Exit the class viewer\r\n\r\nYou can "
            "also use ESC and X to quit the viewer.  When you use { and } you must use F, L or G "
            "to reset your navigation method to physical.  You cannot switch from logical to "
            "physical then back to logical navigation.");
  Make(kClassFile, std::vector<ClassRecord>{Warrior()});
  Keys("? ");
  RunClasses();
  EXPECT_EQ(WindowsTitled("Classes Help"), 1);
}

}  // namespace
}  // namespace torvex::testing
