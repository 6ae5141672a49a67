// The weapon simulator's screen through the headless console: two worked
// rounds cell by cell, the early ends, the prompts' stored values and the
// error that a division by zero raises before any figure is shown. Draws were
// worked out by hand: seed := seed * 134775813 + 1, Random(n) = seed * n >> 32.
#include "simulators/weapon_simulator.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "tests/console/console_test_util.h"
#include "tests/database/record_files.h"

namespace torvex {
namespace {

class WeaponSimulatorTest : public testing::RecordFilesTest {
 protected:
  void SetUp() override {
    RecordFilesTest::SetUp();
    MessageRecord hit;
    hit.setNumber(101);
    hit.setLine1("slash|stab|hack|bash");
    MakeFile(kMessageFile, {Bytes(hit)});
  }
  static ItemRecord Blade() {
    ItemRecord item;
    item.setName("Test Blade");
    item.setItemType(1);
    item.setSpeed(1000);
    item.setMinHit(5);
    item.setMaxHit(20);
    item.setHitMessage(101);
    return item;
  }
  void Run(const ItemRecord& item, const std::string& keys) {
    hc.display.PushText(keys);
    Random random(2);
    RunWeaponSimulator(hc.console, item, stored, random);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
  // Screen row `row` (1-based) without its trailing blanks.
  std::string Row(int row) const {
    std::string text = hc.Text(1, row, 80);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
  }
  // Level, combat, agility, strength, encumbrance / maximum, crit bonus.
  std::vector<int32_t> Stored() const {
    return {stored.itemLevel, stored.itemCombat, stored.itemAgility,  stored.itemStrength,
            stored.itemEnc,   stored.itemMaxEnc, stored.itemCritBonus};
  }

  testing::HeadlessConsole hc;
  SimulatorSettings stored;  // itemLevel 50, combat 4, agility 100, ...
};

TEST_F(WeaponSimulatorTest, TwoWorkedRoundsCellByCell) {
  hc.display.PushText("1\r1\r50\r50\r0/100\r10\r ");
  hc.display.PushVk(vk::kEscape);  // at the second round's prompt
  Run(Blade(), "q");
  // D 1600, base 625, energy 468 (see the rules test); 1000 / 468 =
  // 2.1367521...; crits 10 + 0 + 0. Round 1, seed 2: 269551627, Random(99) =
  // 6 < 10: critical; 2966606904, Random(40) = 27: 27 + 40; 2336949529,
  // Random(3) = 1: "stab"; 1474297214, Random(99) = 33; 302312311, Random(15)
  // = 1: 1 + 5; 4147770708, Random(3) = 2: "hack". 1000 / 468 = 2 swings,
  // 1000 mod 468 = 64 left. Round 2 from 1064: 21043877, Random(99) = 0;
  // 2502596922, Random(40) = 23: 63; 2057758243, Random(3) = 1; 3171191472,
  // Random(99) = 73; 3726210417, Random(15) = 13: 18; 2861928246, Random(3) =
  // 1. 2 swings, 1064 mod 468 = 128 left. The listing: 1000, 1064, 1128, ...
  // 1448 (3 swings, 44 left) ... 1428 (3, 24 left) ...
  const std::string expected[] = {
      "Press ENTER to accept the defaults shown in paranthesis.",
      "Level (50):1",
      "Combat Level (4):1",
      "Agility (100):50",
      "Strength (100):50",
      "Encumbrance (2400/4800):0/100",
      "Critical hit bonus (items, etc) (0):10",
      "",
      "Raw swings:        2.136752",
      "Energy per swing:       468",
      "Encumbrance Percent:      0",
      "Items Crits:             10%",
      "Weapon Crits:             0%",
      "Q&D Crits:                0%",
      "Total Crits:             10%",
      "",
      "You critically stab practice dummy for 67 damage!",
      "You hack practice dummy for 6 damage!",
      "[EU REMAINING=64  /SWINGS=2/ROUND=1]:",
      "You critically stab practice dummy for 63 damage!",
      "You stab practice dummy for 18 damage!",
      "[EU REMAINING=128 /SWINGS=2/ROUND=2]:",
      "",
      "Ten swing listing--",
      // The line feeds keep the column: the entries start under the dash.
      std::string(19, ' ') + "2/2/2/2/2/2/2/3/2/2/2/2/2/2/3/2/2",
      std::string(52, ' ') + "Press any key...",
  };
  for (int i = 0; i < static_cast<int>(std::size(expected)); ++i) {
    EXPECT_EQ(Row(11 + i), expected[i]) << "row " << 11 + i;
  }
  EXPECT_EQ(Row(5), "used by Dunmarrow.  It has been tested and appears to be 100% accurate.");
  // Label, last digit, "%", a swing, "EU REMAINING", "64", first entry, "/".
  const int colours[][3] = {{1, 19, 7}, {27, 19, 15}, {28, 22, 7},  {1, 27, 12},
                            {2, 29, 3}, {16, 29, 11}, {20, 35, 11}, {21, 35, 3}};
  for (const auto& [column, row, fg] : colours) {
    EXPECT_EQ(hc.Attr(column, row) & 0x0F, fg) << column << "," << row;
  }
  EXPECT_EQ(Stored(), (std::vector<int32_t>{1, 1, 50, 50, 0, 100, 10}));
}

TEST_F(WeaponSimulatorTest, NotAWeaponAndInvalidSpeed) {
  for (const auto& [type, speed, line] :
       {std::tuple{2, 1000, "Item Test Blade is NOT flagged as a weapon!"},
        {1, 0, "Item Test Blade has an INVALID speed value!"}}) {
    ItemRecord item = Blade();
    item.setItemType(type);
    item.setSpeed(speed);
    Run(item, " ");
    EXPECT_EQ(Row(11), line);
    EXPECT_EQ(hc.Attr(6, 11) & 0x0F, 12);  // the name
    EXPECT_EQ(Row(12), "Press any key...");
    EXPECT_EQ(Row(13), "");
  }
}

TEST_F(WeaponSimulatorTest, NonNumbersKeepTheStoredValues) {
  ItemRecord item = Blade();
  item.setHitMessage(999);  // missing: the built-in verb
  Run(item, "abc\r\r1x\r+\r5/zz\rq\rx ");
  EXPECT_EQ(Stored(), (std::vector<int32_t>{50, 4, 100, 100, 5, 4800, 0}));
  // D = (6 * 50 + 45) * 250 * 1500 / 9000 = 14375; base 1000000 / 14375 = 69;
  // energy 75 * 69 / 100 = 51: 19 swings afforded, 5 made; 1000 mod 51 = 31.
  EXPECT_EQ(Row(20), "Energy per swing:        51");
  EXPECT_EQ(Row(27), "You are extremely quick and deadly with this weapon.");
  for (int row = 28; row <= 32; ++row) {  // Q&D crits 20: some may be critical
    EXPECT_NE(Row(row).find("attack practice dummy for "), std::string::npos) << row;
  }
  EXPECT_EQ(Row(33), "[EU REMAINING=31  /SWINGS=5/ROUND=1]:");
}

TEST_F(WeaponSimulatorTest, HeavyWeaponSaysSo) {
  ItemRecord item = Blade();
  item.setRequiredStrength(60);
  Run(item, "1\r1\r50\r50\r0/100\r0\rx ");
  // (10 * 3 + 200) * 625 / 200 = 718; 75 * 718 / 100 = 538.
  EXPECT_EQ(Row(20), "Energy per swing:       538");
  EXPECT_EQ(Row(27), "This weapon feels heavy in your hands.");
}

TEST_F(WeaponSimulatorTest, ZeroMaximumEncumbranceThrowsBeforeAnyFigure) {
  EXPECT_THROW(Run(Blade(), "\r\r\r\r3/0\r\r"), std::runtime_error);
  EXPECT_EQ(Row(17), "Critical hit bonus (items, etc) (0):");
  for (int row = 18; row <= 50; ++row) EXPECT_EQ(Row(row), "") << row;
  EXPECT_EQ(Stored(), (std::vector<int32_t>{50, 4, 100, 100, 3, 0, 0}));
}

}  // namespace
}  // namespace torvex
