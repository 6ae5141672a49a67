#include "simulators/monster_simulator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/terminal/headless_display.h"
#include "tests/simulators/monster_test_world.h"

namespace torvex {
namespace {

// Scripted keys reach only the reads that wait: the check for Esc between
// attacks, which does not wait, sees no key, so a script of prompt answers
// and round keys is not eaten by the attacks.
class WaitingReadsOnly : public HeadlessDisplay {
 public:
  bool ReadKeyEvent(KeyEvent* event, int timeoutMs) override {
    return timeoutMs != 0 && HeadlessDisplay::ReadKeyEvent(event, timeoutMs);
  }
};

class MonsterSimulatorTest : public testing::MonsterWorldTest {
 protected:
  std::string Row(int row) const {
    std::string text;
    for (int x = 0; x < 80; ++x) text += static_cast<char>(console.CellAt(x, row - 1).ch);
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }
  uint8_t Attr(int column, int row) const { return console.CellAt(column - 1, row - 1).attr; }
  // The first screen row that starts with `text`, or 0.
  int RowStarting(const std::string& text) const {
    for (int row = 1; row <= 50; ++row) {
      if (Row(row).rfind(text, 0) == 0) return row;
    }
    return 0;
  }

  WaitingReadsOnly display;
  Console console{display, 80, 50};
  Random random;
};

// 600 a blow: round 1 spends 600 of its 1000 and shows 400 + 1000.
TEST_F(MonsterSimulatorTest, TheScreenOfARound) {
  MonsterRecord goblin = Goblin();
  goblin.setAttackEnergy(0, 600);
  display.PushText("10\r20/0\r\rq");
  RunMonsterSimulator(console, goblin, random);

  EXPECT_EQ(Row(1), "Dunmarrow - Simulator");
  EXPECT_EQ(Attr(1, 1), 14);
  EXPECT_EQ(Row(3), "    This simulator can be used to show approximations of attack rounds from");
  EXPECT_EQ(Row(5), "to be anyways) but it's a decent simulation.");
  EXPECT_EQ(Row(11), "Enter your Dodge %:10");
  EXPECT_EQ(Row(12), "Enter your AC:20/0") << "no DR prompt after an AC/DR answer";
  EXPECT_EQ(Row(13), "Enter your MR:");
  EXPECT_EQ(Row(15), "\xFE Monster Stats");
  EXPECT_EQ(Attr(1, 15), 8);
  EXPECT_EQ(Attr(3, 15), 12);
  EXPECT_EQ(Row(17), "  Att Type   Spell Acc   %    Min   - Max   Energy HitSp");
  EXPECT_EQ(Row(18), "  " + std::string(54, '\xC4'));
  EXPECT_EQ(Row(19), "  1   Attack ---   60    100  7     - 7     600    0");
  EXPECT_EQ(Attr(7, 19), 11);
  EXPECT_EQ(Row(20), "  2   None   ---   ---   ---  ---   - ---   ---    ---");
  EXPECT_EQ(Row(24), "  " + std::string(54, '\xC4'));

  // Accuracy 60 against 20 + 10: whichever band the one roll fell in, it
  // wrote one line naming the goblin, then the prompt.
  EXPECT_NE(Row(25).find("Goblin"), std::string::npos) << Row(25);
  EXPECT_EQ(Row(26), "[ENERGY=1400/ROUND=1]:Q");
  EXPECT_EQ(Attr(1, 26), 3);
  EXPECT_EQ(Attr(9, 26), 11);
  EXPECT_EQ(Attr(23, 26), 7);
}

TEST_F(MonsterSimulatorTest, RoundsGoOnUntilQXOrEscAndEchoTheirKeys) {
  MonsterRecord spellsOnly;
  spellsOnly.setName("Imp");
  spellsOnly.setSpells(0, 12);
  spellsOnly.setSpellPercent(0, 100);
  display.PushText("0\r0\r0\r\r? x");
  RunMonsterSimulator(console, spellsOnly, random);
  const int first = RowStarting("Imp casts Mend on itself.");
  ASSERT_NE(first, 0);
  EXPECT_EQ(Row(first + 1), "[ENERGY=2000/ROUND=1]:?");
  EXPECT_EQ(Row(first + 3), "[ENERGY=3000/ROUND=2]:");
  EXPECT_EQ(Row(first + 5), "[ENERGY=4000/ROUND=3]:X");
  EXPECT_EQ(display.PendingKeys(), 0u);
}

TEST_F(MonsterSimulatorTest, AMonsterWithoutAttacksOrSpellsSaysSo) {
  MonsterRecord idle;
  idle.setName("Statue");
  idle.setAttackType(0, 1);  // percent 0: no attack
  display.PushText(" ");
  RunMonsterSimulator(console, idle, random);
  EXPECT_EQ(Row(11), "Statue has no attacks!");
  EXPECT_EQ(Attr(1, 11), 12);
  EXPECT_EQ(Attr(8, 11), 4);
  EXPECT_EQ(Row(12), "");
  EXPECT_EQ(Row(13), "Press a key.");
  EXPECT_EQ(display.PendingKeys(), 0u) << "no prompt asked";
}

// With the ordinary display the Esc typed after the answers is there when the
// attacks check for it: no blow is struck and the energy stays for the next.
TEST_F(MonsterSimulatorTest, EscDuringTheAttacksEndsOnlyTheirRound) {
  HeadlessDisplay typing;
  Console screen(typing, 80, 50);
  typing.PushText("0\r0\r0\r\r");
  typing.PushVk(vk::kEscape, 0, 27);
  typing.PushText("Q");
  RunMonsterSimulator(screen, Goblin(), random);
  std::string prompt;
  for (int x = 0; x < 23; ++x) prompt += static_cast<char>(screen.CellAt(x, 25).ch);
  EXPECT_EQ(prompt, "[ENERGY=2000/ROUND=1]:Q");
}

TEST(AskDefenderTest, AnswersAndWhatTheyGive) {
  const struct {
    const char* typed;
    Defender expected;
  } cases[] = {
      {"10\r20\r5\r60\r", {10, 20, 5, 60}},
      {"10\r20/5\r60\r", {10, 20, 5, 60}},  // no DR prompt
      {"1\r2/x\r\r", {1, 2, 0, 50}},        // empty MR: 50
      {"a\rb\rc\rd\r", {0, 0, 0, 0}},       // non-numbers: 0
      {"\r/\r\r", {0, 0, 0, 50}},
      {"-5\r3/4/5\r0\r", {-5, 3, 0, 0}},  // DR "4/5" is no number
  };
  for (const auto& c : cases) {
    HeadlessDisplay display;
    Console console(display, 80, 50);
    display.PushText(c.typed);
    const Defender d = AskDefender(console);
    EXPECT_EQ(d.dodge, c.expected.dodge) << c.typed;
    EXPECT_EQ(d.armourClass, c.expected.armourClass) << c.typed;
    EXPECT_EQ(d.damageReduction, c.expected.damageReduction) << c.typed;
    EXPECT_EQ(d.magicResistance, c.expected.magicResistance) << c.typed;
    EXPECT_EQ(display.PendingKeys(), 0u) << c.typed;
  }
}

TEST(AttackTableTest, RowsByType) {
  MonsterRecord m;
  m.setAttackType(0, 1);
  m.setAttackAccuracy(0, 65535);
  m.setAttackPercent(0, 255);
  m.setAttackMinHit(0, 1);
  m.setAttackMaxHit(0, 65535);
  m.setAttackEnergy(0, 65535);
  m.setAttackHitSpell(0, 65535);
  m.setAttackType(1, 2);
  m.setAttackAccuracy(1, 12);
  m.setAttackPercent(1, 40);
  m.setAttackMinHit(1, 75);
  m.setAttackMaxHit(1, 9);
  m.setAttackEnergy(1, 250);
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
