#include "simulators/spell_simulator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/format.h"
#include "console/keys.h"
#include "database/settings.h"
#include "tests/console/console_test_util.h"
#include "tests/simulators/spell_test_records.h"

namespace torvex {
namespace {

using testing::SpellShape;

class SpellSimulatorTest : public testing::SpellFilesTest {
 protected:
  static constexpr int kFirstOutputRow = 19;  // below the heading and the three prompts

  void SetUp() override {
    SpellFilesTest::SetUp();
    saved_ = CurrentSettings().simulator;
    CurrentSettings().simulator.spellLevel = 65;
    CurrentSettings().simulator.spellMr = 50;
    CurrentSettings().simulator.spellAntiMagic = false;
  }
  void TearDown() override {
    CurrentSettings().simulator = saved_;
    SpellFilesTest::TearDown();
  }
  // Runs the simulator on `keys` ("\x03" is Ctrl+C); every key must be read.
  void Run(testing::HeadlessConsole& hc, const SpellShape& spell, std::string_view keys) {
    for (const char c : keys) {
      c == key::kCtrlC ? hc.display.PushVk('C', kCtrl) : hc.display.PushText(std::string(1, c));
    }
    Random random{2024};
    RunSpellSimulator(hc.console, MakeSpell(spell), random);
    EXPECT_EQ(hc.display.PendingKeys(), 0u) << keys;
  }

 private:
  SimulatorSettings saved_;
};

TEST_F(SpellSimulatorTest, StoredInputs) {
  CurrentSettings().simulator.spellMr = 100;
  testing::HeadlessConsole hc;
  Run(hc, {.type = 1}, "30\rabc\rTrue\r");  // neither type: ends after the prompts
  EXPECT_EQ(hc.Text(1, 16, 31), "Enter the players Level (65):30");
  EXPECT_EQ(hc.Text(1, 17, 30), "Enter the targets MR (100):abc");
  EXPECT_EQ(hc.Text(1, 18, 37), "Is the target AntiMagic? (False):True");
  EXPECT_EQ(hc.Attr(29, 16), 8);   // the colon
  EXPECT_EQ(hc.Attr(30, 16), 15);  // the answer
  EXPECT_EQ(CurrentSettings().simulator.spellLevel, 30);
  EXPECT_EQ(CurrentSettings().simulator.spellMr, 100);  // not a number: kept
  EXPECT_TRUE(CurrentSettings().simulator.spellAntiMagic);
}

TEST_F(SpellSimulatorTest, Rounds) {
  const std::string z11 = "practice dummy takes 11 damage", z10 = "practice dummy takes 10 damage";
  const std::string z0 = "practice dummy takes 0 damage", z5 = "practice dummy takes 5 damage";
  auto prompt = [](int e, int r) { return Format("[Energy=%d/Round=%d]:", e, r); };
  const struct {
    SpellShape spell;
    uint8_t colour;                 // of the casts' lines
    const char* keys;               // after the three prompts
    std::vector<std::string> rows;  // from kFirstOutputRow, then a blank row
  } cases[] = {
      // Seed 2024, Random(3) for 10..12: s1..s3 give 1, 0, 0, then s4..s6 again:
      // s4 = 2453939716, * 3 / 2^32 = 1.71 -> 1; s5 -> 0.93 -> 0; s6 -> 0.82 -> 0.
      // Three casts a round: 1000 - 900 = 100, then 1100 - 900 = 200. A stop check
      // before each follow-on and one after the call (the "a"s), then the prompt.
      {{.energy = 300, .minimum = 10, .maximum = 12},
       12,
       "aaaa aaaaq",
       {z11, z10, z10, prompt(100, 1), z11, z10, z10, prompt(200, 2)}},
      // Esc, then Ctrl+C, at the first stop check: 1000 - 300, 1700 - 300.
      {{.energy = 300}, 12, "\x1b \x03x", {z0, prompt(700, 1), z0, prompt(1400, 2)}},
      // Esc at the prompt, after the check that follows a free spell's one cast.
      {{.energy = 0}, 12, "a\x1b", {z0, prompt(0, 1)}},
      // Auto-combat at a target outside its list casts nothing: the round ends.
      {{.target = 1, .energy = 300}, 12, " q", {prompt(1000, 1), prompt(2000, 2)}},
      // General: one call a round, a check before each follow-on only.
      {{.type = 3, .target = 9, .energy = 300, .minimum = 5, .maximum = 5},
       11,
       "aaa aaa\x1b",
       {z5, z5, z5, prompt(100, 1), z5, z5, z5, prompt(200, 2)}},
  };
  for (const auto& c : cases) {
    testing::HeadlessConsole hc;
    Run(hc, c.spell, std::string("\r\r\r") + c.keys);
    for (size_t i = 0; i <= c.rows.size(); ++i) {
      const int row = kFirstOutputRow + static_cast<int>(i);
      const std::string text = i < c.rows.size() ? c.rows[i] : "";
      EXPECT_EQ(hc.Text(1, row, 80), text + std::string(80 - text.size(), ' ')) << "row " << row;
      if (text.empty()) continue;
      // A prompt's "[" in 3 and its energy (column 9) in 11; a cast's line in its colour.
      const bool isPrompt = text[0] == '[';
      EXPECT_EQ(hc.Attr(1, row) * 100 + hc.Attr(9, row), isPrompt ? 311 : c.colour * 101) << row;
    }
  }
}

}  // namespace
}  // namespace torvex
