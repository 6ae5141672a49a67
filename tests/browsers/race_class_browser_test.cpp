// The race and class screens cell by cell for a telling, a zeroed and an
// all-ones record each, and the two browsers' name search without a list,
// 16-bit jumps, titles, help and raw dumps over real files.
#include "browsers/race_class_browser.h"

#include <gtest/gtest.h>

#include "tests/browsers/ability_file_support.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

constexpr uint16_t kStealth = 0x0014;
constexpr uint16_t kLongName = 201;

template <typename Record>
Record Named(uint16_t number, const std::string& name) {
  Record record;
  record.setNumber(number);
  record.setName(name);
  return record;
}

class RaceClassTest : public BrowserTest {
 protected:
  template <typename Record>
  void Run(void (*browser)(Console&), DatabaseFile file, const std::vector<Record>& records) {
    std::vector<std::vector<uint8_t>> bytes;
    for (const Record& record : records) bytes.push_back(Bytes(record));
    MakeFile(file, bytes);
    Keys("q");
    browser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
  OpenedAbilityFile abilities_{
      {{kStealth, "Stealth", 0x0A, 0}, {kLongName, std::string(60, 'L'), 0x0C, 0}}};
};

TEST_F(RaceClassTest, RaceScreen) {
  RaceRecord elf = Named<RaceRecord>(3, "Elf");
  elf.setExpPercent(-10);
  elf.setHpBonus(-32768);
  elf.setStartCP(100);
  elf.setAbilityNumbers(0, kStealth);
  elf.setAbilityValues(0, -2);
  elf.setAbilityNumbers(9, kLongName);
  // Each statistic its own value, found in its own cell.
  const struct {
    void (RaceRecord::*set)(uint16_t);
    uint16_t value;
    int column, row;
  } stats[] = {
      {&RaceRecord::setBaseStrength, 10, 18, 6},  {&RaceRecord::setBaseAgility, 14, 64, 6},
      {&RaceRecord::setBaseIntellect, 12, 18, 7}, {&RaceRecord::setBaseHealth, 9, 64, 7},
      {&RaceRecord::setBaseWillpower, 11, 18, 8}, {&RaceRecord::setBaseCharm, 13, 64, 8},
      {&RaceRecord::setMaxStrength, 50, 18, 10},  {&RaceRecord::setMaxAgility, 64, 64, 10},
      {&RaceRecord::setMaxIntellect, 62, 18, 11}, {&RaceRecord::setMaxHealth, 59, 64, 11},
      {&RaceRecord::setMaxWillpower, 61, 18, 12}, {&RaceRecord::setMaxCharm, 65535, 64, 12}};
  for (const auto& s : stats) (elf.*s.set)(s.value);
  ShowRaceDetail(hc.console, elf.bytes());
  for (const auto& s : stats) ExpectCells({{s.column, s.row, std::to_string(s.value) + " ", 15}});
  ExpectCells({{18, 2, "3 ", 15},
               {18, 3, "Elf "},
               {64, 3, "-10 "},
               {18, 4, "-32768 "},
               {64, 4, "100 "},
               {18, 14, "(0014:fffe) Stealth -2 ", 8},
               {19, 14, "0014", 9},
               {23, 14, ":", 1},
               {30, 14, "S", 0x0A},
               {18, 15, "(0000:0000) Unknown  "},
               {18, 23, "(00c9:0000) " + std::string(50, 'L')}});
  EXPECT_EQ(std::pair(hc.console.WhereX(), hc.console.WhereY()), std::pair(3, 49));
  ExpectRightEdge(23, {5, 13});

  ShowRaceDetail(hc.console, RaceRecord().bytes());
  ExpectCells({{18, 2, "0 "}, {18, 3, "  "}, {64, 12, "0 "}, {18, 23, "(0000:0000) Unknown "}});
  ShowRaceDetail(hc.console, std::vector<uint8_t>(RaceRecord::kDiskLength, 0xFF));
  ExpectCells({{18, 3, std::string(30, '\xFF') + "("},
               {64, 3, "-1 "},
               {18, 4, "-1 "},
               {64, 4, "65535 "},
               {64, 12, "65535 "},
               {18, 14, "(ffff:ffff) Unknown -1 "}});
  ExpectRightEdge(23, {5, 13});
}

TEST_F(RaceClassTest, ClassScreen) {
  ClassRecord warrior = Named<ClassRecord>(4, "Warrior");
  warrior.setExpPercent(150);
  warrior.setMinHP(20);
  warrior.setHpRange(15);
  warrior.setWeaponType(12);
  warrior.setCombat(4);
  warrior.setTitles(7);
  warrior.setAbilityNumbers(0, kStealth);
  warrior.setAbilityValues(0, -2);
  warrior.setAbilityNumbers(9, kLongName);
  ShowClassDetail(hc.console, warrior.bytes());
  ExpectCells({{18, 2, "4 ", 15},
               {18, 3, "Warrior "},
               {64, 3, "150 "},
               {18, 5, "20 "},
               {64, 5, "35 "},
               {18, 6, "weapontype-12              (12) "},
               {18, 7, "natural                    (0) "},
               {18, 8, "none-0 "},
               {64, 8, "4 "},
               {18, 9, "7 "},
               {18, 11, "(0014:fffe) Stealth -2 "},
               {30, 11, "S", 0x0A},
               {18, 19, "(0000:0000) Unknown  "},
               {18, 20, "(00c9:0000) " + std::string(50, 'L')}});
  EXPECT_EQ(std::pair(hc.console.WhereX(), hc.console.WhereY()), std::pair(3, 49));
  ExpectRightEdge(20, {4, 10});

  // The sum of the two 16-bit fields does not wrap; codes outside the tables.
  ShowClassDetail(hc.console, std::vector<uint8_t>(ClassRecord::kDiskLength, 0xFF));
  ExpectCells({{18, 3, std::string(30, '\xFF') + "("},
               {64, 3, "-1 "},
               {18, 5, "65535 "},
               {64, 5, "131070 "},
               {18, 6, "weapontype--1              (-1) "},
               {18, 7, "armourtype--1              (-1) "},
               {18, 8, "magictype--1-65535 "},
               {18, 9, "4294967295 "},
               {18, 11, "(ffff:ffff) Unknown -1 "}});
  ExpectRightEdge(20, {4, 10});
}

TEST_F(RaceClassTest, RaceBrowser) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  Keys("Self\r");  // straight to the prompt: 2
  Keys("S\r");     // the prompt offers "elf" again: 3
  Keys("S");
  Vk('X', kCtrl);
  Keys("orc\r L");  // none; then the last, which has no name
  Vk('E', kCtrl);
  Vk(vk::kF1, kCtrl);
  Vk('S', kCtrl);
  Keys("E");  // no simulator, no extended viewer: ignored
  Run(RunRaceBrowser, kRaceFile,
      std::vector{Named<RaceRecord>(1, "Human"), Named<RaceRecord>(2, "Elf"),
                  Named<RaceRecord>(3, "Dark Elf"), Named<RaceRecord>(4, "")});
  EXPECT_FALSE(EverShown("Select how you would like to search:"));
  EXPECT_GE(WindowsTitled("Search Races"), 3);
  EXPECT_TRUE(EverShown("Enter text to search for (not case"));  // the window wraps it
  EXPECT_TRUE(EverShown("Dark Elf"));
  EXPECT_TRUE(EverShown("No records matching your search query, \"orc\", were"));
  EXPECT_EQ(WindowsTitled("No Results"), 1);
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Race : <unnamed> (4)");
  EXPECT_EQ(std::filesystem::file_size(work.File("rawracent-4.bin")), RaceRecord::kDiskLength);
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kRace)][0], "4");
}

TEST_F(RaceClassTest, ClassBrowser) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  Keys("Smage\r");    // straight to the prompt; any case: 3
  Keys("G70000\r ");  // status 4; never 70000 - 65536 = 4464
  Vk('E', kCtrl);     // 3 kept
  Vk(vk::kF1 + 9, kCtrl);
  Keys("? ");
  Run(RunClassBrowser, kClassFile,
      std::vector{Named<ClassRecord>(1, "Mage"), Named<ClassRecord>(3, "Battle MAGE"),
                  Named<ClassRecord>(4464, "Bard")});
  EXPECT_FALSE(EverShown("Select how you would like to search:"));
  EXPECT_GE(WindowsTitled("Search Classes"), 1);
  EXPECT_TRUE(EverShown("Status: 4 "));
  EXPECT_TRUE(EverShown("Enter a class number to jump to:"));
  EXPECT_EQ(WindowsTitled("Classes Help"), 1);
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Class : Battle MAGE (3)");
  EXPECT_EQ(std::filesystem::file_size(work.File("rawclassnt-3.bin")), ClassRecord::kDiskLength);
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kClass)][9], "3");
}

TEST_F(RaceClassTest, HelpTexts) {
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
}

}  // namespace
}  // namespace torvex::testing
