#include "simulators/spell_simulator.h"

#include <gtest/gtest.h>

#include <string>

#include "database/settings.h"
#include "tests/console/console_test_util.h"
#include "tests/database/record_files.h"
#include "tests/simulators/spell_test_records.h"

namespace torvex {
namespace {

using testing::MakeSpell;
using testing::SpellShape;

TEST(TextToBooleanTest, WordsOrNumbers) {
  const struct {
    const char* text;
    std::optional<bool> value;
  } cases[] = {{"True", true}, {"false", false}, {"TRUE", true}, {"0", false},  {"-3", true},
               {"1", true},    {"", {}},         {"yes", {}},    {"Truex", {}}, {" 1", {}}};
  for (const auto& c : cases) EXPECT_EQ(TextToBoolean(c.text), c.value) << c.text;
}

class SpellSimulatorTest : public testing::RecordFilesTest {
 protected:
  // Rows the heading and the three prompts take.
  static constexpr int kFirstOutputRow = 19;

  void SetUp() override {
    RecordFilesTest::SetUp();
    saved_ = CurrentSettings().simulator;
    CurrentSettings().simulator.spellLevel = 65;
    CurrentSettings().simulator.spellMr = 50;
    CurrentSettings().simulator.spellAntiMagic = false;
    MakeFile(kMessageFile, {Bytes(testing::Message(testing::kTakesMessage, "%s takes %d damage"))});
  }
  void TearDown() override {
    CurrentSettings().simulator = saved_;
    RecordFilesTest::TearDown();
  }

  void Keys(std::string_view text) { hc.display.PushText(text); }
  void Escape() { hc.display.PushVk(vk::kEscape, 0, 27); }
  void Run(const SpellShape& shape) {
    RunSpellSimulator(hc.console, MakeSpell(shape), random);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
  std::string Row(int row) const { return hc.display.Last().Row(row - 1); }
  std::string Start(int row, size_t length) const { return Row(row).substr(0, length); }

  testing::HeadlessConsole hc;
  Random random{2024};

 private:
  SimulatorSettings saved_;
};

TEST_F(SpellSimulatorTest, HeadingPromptsAndStoredInputs) {
  CurrentSettings().simulator.spellMr = 100;
  Keys("30\rabc\rTrue\r");  // MR kept: not a number
  Run({.type = 1});         // neither auto-combat nor general: ends here
  const struct {
    int row;
    const char* text;
    uint8_t attr;  // of the first character
  } cells[] = {
      {1, "Dunmarrow - Simulator", 14},
      {2, "=-=-=-", 8},
      {3, "    This simulator can be used to show approximations of how a spell will be", 7},
      {10, "an AntiMagic flag.", 7},
      {12, "NOTE - Once the simulation starts, you can use Q, X, or ESC to quit.", 14},
      {14, "=-=-=-", 8},
      {16, "Enter the players Level (65):30", 7},
      {17, "Enter the targets MR (100):abc", 7},
      {18, "Is the target AntiMagic? (False):True", 7},
  };
  for (const auto& c : cells) {
    EXPECT_EQ(Start(c.row, std::string(c.text).size()), c.text) << c.row;
    EXPECT_EQ(hc.Attr(1, c.row), c.attr) << c.row;
  }
  EXPECT_EQ(hc.Attr(29, 16), 8);   // the colon
  EXPECT_EQ(hc.Attr(30, 16), 15);  // the answer
  EXPECT_EQ(CurrentSettings().simulator.spellLevel, 30);
  EXPECT_EQ(CurrentSettings().simulator.spellMr, 100);
  EXPECT_TRUE(CurrentSettings().simulator.spellAntiMagic);
}

TEST_F(SpellSimulatorTest, ThreeCastsARoundFromTheRoundsEnergy) {
  // Each round: three casts in one call, a stop check before each of the
  // three follow-ons and one after the call (the "a"s), then the prompt.
  // Seed 2024, Random(3) for 10..12 gives 1, 0, 0, then 1, 0, 0:
  //   s4 = 2453939716, * 3 / 2^32 = 1.71 -> 1; s5 = 1326370325 -> 0.93 -> 0;
  //   s6 = 1177868906 -> 0.82 -> 0.
  // Round 1: 1000 - 900 = 100; round 2: 1100 - 900 = 200.
  Keys("\r\r\raaaa aaaaq");
  Run({.energy = 300, .minimum = 10, .maximum = 12});
  const std::string rows[] = {"practice dummy takes 11 damage", "practice dummy takes 10 damage",
                              "practice dummy takes 10 damage", "[Energy=100/Round=1]:",
                              "practice dummy takes 11 damage", "practice dummy takes 10 damage",
                              "practice dummy takes 10 damage", "[Energy=200/Round=2]:"};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(Start(kFirstOutputRow + i, rows[i].size()), rows[i]) << i;
  }
  EXPECT_EQ(hc.Attr(1, kFirstOutputRow), 12);
  EXPECT_EQ(hc.Attr(1, kFirstOutputRow + 3), 3);   // "["
  EXPECT_EQ(hc.Attr(9, kFirstOutputRow + 3), 11);  // "100"
  EXPECT_EQ(hc.Attr(12, kFirstOutputRow + 3), 3);  // "/Round="
  EXPECT_EQ(Row(kFirstOutputRow + 8).substr(0, 10), std::string(10, ' '));
}

TEST_F(SpellSimulatorTest, EscapeOrCtrlCStopsTheRoundsCasting) {
  // The first stop check, before the second cast, takes the key: 1000 - 300.
  Keys("\r\r\r");
  Escape();
  Keys(" ");
  hc.display.PushVk('C', kCtrl);
  Keys("x");
  Run({.energy = 300});
  EXPECT_EQ(Start(kFirstOutputRow + 1, 21), "[Energy=700/Round=1]:");
  EXPECT_EQ(Start(kFirstOutputRow + 3, 22), "[Energy=1400/Round=2]:");
}

TEST_F(SpellSimulatorTest, EscapeAtThePromptEnds) {
  Keys("\r\r\ra");  // the check after the one cast of a spell that costs nothing
  Escape();
  Run({.energy = 0});
  EXPECT_EQ(Start(kFirstOutputRow + 1, 19), "[Energy=0/Round=1]:");
}

TEST_F(SpellSimulatorTest, AutoCombatSpellThatCastsNothingEndsItsRound) {
  Keys("\r\r\r q");
  Run({.target = 1, .energy = 300});
  EXPECT_EQ(Start(kFirstOutputRow, 22), "[Energy=1000/Round=1]:");
  EXPECT_EQ(Start(kFirstOutputRow + 1, 22), "[Energy=2000/Round=2]:");
}

TEST_F(SpellSimulatorTest, GeneralSpellOneCallARound) {
  // Target 9: the message without resistance; three casts in the one call.
  Keys("\r\r\raaa aaa");  // no check after the call: one before each follow-on
  Escape();
  Run({.type = 3, .target = 9, .energy = 300, .minimum = 5, .maximum = 5});
  EXPECT_EQ(Start(kFirstOutputRow, 29), "practice dummy takes 5 damage");
  EXPECT_EQ(hc.Attr(1, kFirstOutputRow), 11);
  EXPECT_EQ(Start(kFirstOutputRow + 3, 21), "[Energy=100/Round=1]:");
  EXPECT_EQ(Start(kFirstOutputRow + 7, 21), "[Energy=200/Round=2]:");
}

}  // namespace
}  // namespace torvex
