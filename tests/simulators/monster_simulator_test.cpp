#include "simulators/monster_simulator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/terminal/headless_display.h"
#include "tests/simulators/monster_test_world.h"

namespace torvex {
namespace {

// Unless `typeAhead`, scripted keys reach only the reads that wait, so the
// attacks' check for Esc (which does not wait) leaves the script alone.
class ScriptedDisplay : public HeadlessDisplay {
 public:
  bool ReadKeyEvent(KeyEvent* event, int timeoutMs) override {
    return (typeAhead || timeoutMs != 0) && HeadlessDisplay::ReadKeyEvent(event, timeoutMs);
  }
  bool typeAhead = false;
};

class MonsterSimulatorTest : public testing::MonsterWorldTest {
 protected:
  // Screen row `row` (1-based) without its trailing blanks.
  std::string Row(int row) const {
    std::string text;
    for (int x = 0; x < 80; ++x) text += static_cast<char>(console.CellAt(x, row - 1).ch);
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }
  uint8_t Attr(int column, int row) const { return console.CellAt(column - 1, row - 1).attr; }

  ScriptedDisplay display;
  Console console{display, 80, 50};
  Random random;
};

// A roll of 0 hits (60 - (20 + 10) = 30); 600 a blow: round 1 affords one of
// its 1000 and shows the 400 left + 1000.
TEST_F(MonsterSimulatorTest, TheScreenOfARound) {
  MonsterRecord goblin = Goblin();
  goblin.setAttackEnergy(0, 600);
  random.SetSeed(testing::SeedBefore(100, 0));
  display.PushText("10\r20/0\r\rq");
  RunMonsterSimulator(console, goblin, random);
  EXPECT_EQ(Row(11), "Enter your Dodge %:10");
  EXPECT_EQ(Row(12), "Enter your AC:20/0") << "no DR prompt after an AC/DR answer";
  EXPECT_EQ(Row(13), "Enter your MR:");
  EXPECT_EQ(Row(25), "Goblin hits you for 7 damage!");
  EXPECT_EQ(Row(26), "[ENERGY=1400/ROUND=1]:Q");
  EXPECT_EQ(Attr(1, 26), 3);
  EXPECT_EQ(Attr(9, 26), 11);
  EXPECT_EQ(Attr(23, 26), 7);
  EXPECT_EQ(display.PendingKeys(), 0u);
}

// Spells only: from row 26 alternate the cast and the prompt; '?' and 'X' echo.
TEST_F(MonsterSimulatorTest, RoundsGoOnUntilQXOrEscAndEchoTheirKeys) {
  MonsterRecord imp;
  imp.setName("Imp");
  imp.setSpells(0, 12);
  imp.setSpellPercent(0, 100);
  display.PushText("0\r0\r0\r\r? x");
  RunMonsterSimulator(console, imp, random);
  EXPECT_EQ(Row(26), "Imp casts Mend on itself.");
  EXPECT_EQ(Row(27), "[ENERGY=2000/ROUND=1]:?");
  EXPECT_EQ(Row(29), "[ENERGY=3000/ROUND=2]:");
  EXPECT_EQ(Row(31), "[ENERGY=4000/ROUND=3]:X");
  EXPECT_EQ(display.PendingKeys(), 0u);
}

TEST_F(MonsterSimulatorTest, AMonsterWithoutAttacksOrSpellsSaysSo) {
  MonsterRecord statue;
  statue.setName("Statue");
  statue.setAttackType(0, 1);  // percent 0: no attack
  display.PushText(" ");
  RunMonsterSimulator(console, statue, random);
  EXPECT_EQ(Row(11), "Statue has no attacks!");
  EXPECT_EQ(Attr(1, 11), 12);
  EXPECT_EQ(Attr(8, 11), 4);
  EXPECT_EQ(Row(13), "Press a key.");
  EXPECT_EQ(display.PendingKeys(), 0u) << "no prompt asked";
}

// Typed ahead, the Esc after the answers is there when the attacks check for
// it: no blow is struck and the energy stays for the next round.
TEST_F(MonsterSimulatorTest, EscDuringTheAttacksEndsOnlyTheirRound) {
  display.typeAhead = true;
  display.PushText("0\r0\r0\r\r");
  display.PushVk(vk::kEscape, 0, 27);
  display.PushText("Q");
  RunMonsterSimulator(console, Goblin(), random);
  EXPECT_EQ(Row(26), "[ENERGY=2000/ROUND=1]:Q");
}

TEST(AskDefenderTest, AnswersAndWhatTheyGive) {
  const struct {
    const char* typed;
    int64_t dodge, ac, dr, mr;
  } cases[] = {
      {"10\r20\r5\r60\r", 10, 20, 5, 60}, {"10\r20/5\r60\r", 10, 20, 5, 60},  // no DR prompt
      {"1\r2/x\r\r", 1, 2, 0, 50},        {"a\rb\rc\rd\r", 0, 0, 0, 0},
      {"\r/\r\r", 0, 0, 0, 50},           {"-5\r3/4/5\r0\r", -5, 3, 0, 0},  // "4/5": no number
  };
  for (const auto& c : cases) {
    HeadlessDisplay display;
    Console console(display, 80, 50);
    display.PushText(c.typed);
    const Defender d = AskDefender(console);
    EXPECT_EQ((std::vector<int64_t>{d.dodge, d.armourClass, d.damageReduction, d.magicResistance}),
              (std::vector<int64_t>{c.dodge, c.ac, c.dr, c.mr}))
        << c.typed;
    EXPECT_EQ(display.PendingKeys(), 0u) << c.typed;
  }
}

// Numbers at their limits fill their columns; a spell slot shows its spell
// and no accuracy; types 3 and 200 are "None" and "Unk".
TEST(AttackTableTest, RowsByType) {
  MonsterRecord m;
  testing::SetBlow(m, 0, 65535, 65535, 65535, 0, 255);
  m.setAttackMinHit(0, 1);
  m.setAttackHitSpell(0, 65535);
  testing::SetBlow(m, 1, 12, 250, 9, 0, 40);
  m.setAttackType(1, 2);
  m.setAttackMinHit(1, 75);
  m.setAttackType(3, 3);
  m.setAttackType(4, 200);
  const std::vector<std::string> lines = AttackTableLines(m);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[5], "  |121   |11Attack |07---   |1565535 255  1     |08- |1565535 65535  65535");
  EXPECT_EQ(lines[6], "  |122   |12Spell  |1512    |07---   |1540   75    |08- |159     250    0");
  EXPECT_EQ(lines[7], "  |123   |07None   ---   ---   ---  ---   |08- |07---   ---    ---");
  EXPECT_EQ(lines[8], "  |124   |14Unk    |07---   ---   ---  ---   |08- |07---   ---    ---");
  EXPECT_EQ(lines[9], "  |125   |14Unk    |07---   ---   ---  ---   |08- |07---   ---    ---");
}

}  // namespace
}  // namespace torvex
