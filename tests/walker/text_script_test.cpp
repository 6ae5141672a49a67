#include "walker/text_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "console/ansi_writer.h"
#include "console/keys.h"
#include "database/record_access.h"
#include "database/records/text_block_text.h"
#include "platform/random.h"
#include "simulators/rules.h"
#include "simulators/spell_cast.h"
#include "tests/browsers/ability_file_support.h"
#include "tests/console/console_test_util.h"
#include "tests/database/record_files.h"
#include "tests/walker/walker_test_world.h"

namespace torvex {
namespace {

using testing::Shows;

constexpr uint32_t kGateMessage = 7;   // "The gate stays shut."
constexpr uint32_t kItemKey = 5;       // "brass key"
constexpr uint16_t kGlowAbility = 33;  // "Glow"
constexpr uint32_t kHermit = 4;        // talks; arrives "%s arrives from %s"
constexpr uint32_t kShade = 6;         // arrives "A shadow falls from %s %n %d"
constexpr uint32_t kGuard = 8;         // talk block without a greeting
constexpr uint32_t kStatue = 9;        // no talk block
constexpr uint16_t kKindleSpell = 9;   // runs block 60 (TELEPORT 8 2)
constexpr uint16_t kEchoSpell = 10;    // runs block 61 (CAST 10)
constexpr uint32_t kRoomCommands = 10;
constexpr uint32_t kSelfRandom = 20;
constexpr uint32_t kAlways = 21;
constexpr uint32_t kNever = 22;
constexpr uint32_t kTwoParts = 30;
constexpr uint32_t kFiftyLines = 31;
constexpr uint32_t kChainStart = 100;  // 100..114 each run the next twice
constexpr int kChainLength = 15;

struct Part {
  uint32_t block;
  uint16_t part;
  std::string text;
  uint32_t link = 0;
};

std::vector<uint8_t> PartBytes(const Part& p) {
  TextBlockRecord record;
  record.setBlockNumber(p.block);
  record.setPart(p.part);
  record.setLinkTo(p.link);
  record.setText(EncodeStoredText(p.text));
  return {record.data(), record.data() + record.storedLength()};
}

std::string Lines(int count, const std::string& stem) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += stem + std::to_string(i) + "\n";
  return text;
}

class TextScriptTest : public testing::RecordFilesTest {
 protected:
  void SetUp() override {
    RecordFilesTest::SetUp();
    std::vector<std::vector<uint8_t>> messages;
    auto message = [&](uint32_t number, const std::string& line1) {
      MessageRecord m;
      m.setNumber(number);
      m.setLine1(line1);
      messages.push_back(Bytes(m));
    };
    message(1, "The lever clunks.");
    message(kGateMessage, "The gate stays shut.");
    message(8, "\x1b[1;31mRed");
    message(20, "%s arrives from %s");
    message(21, "A shadow falls from %s %n %d");
    MakeFile(kMessageFile, messages);

    ItemRecord key;
    key.setNumber(kItemKey);
    key.setName("brass key");
    MakeFile(kItemFile, {Bytes(key)});
    ClassRecord mage;
    mage.setNumber(2);
    mage.setName("Mage");
    MakeFile(kClassFile, {Bytes(mage)});
    RaceRecord elf;
    elf.setNumber(3);
    elf.setName("Elf");
    MakeFile(kRaceFile, {Bytes(elf)});

    auto monster = [](uint32_t number, const std::string& name, uint32_t talk, uint32_t move) {
      MonsterRecord m;
      m.setNumber(number);
      m.setName(name);
      m.setTalkText(talk);
      m.setMoveMessage(move);
      return Bytes(m);
    };
    MakeFile(kMonsterFile,
             {monster(kHermit, "Old Hermit", 40, 20), monster(kShade, "shade", 0, 21),
              monster(kGuard, "mute guard", 45, 0), monster(kStatue, "Old statue", 0, 0)});

    auto spell = [](uint16_t number, const std::string& name, int16_t block) {
      SpellRecord s;
      s.setNumber(number);
      s.setName(name);
      s.setCastStyle(3);
      s.setTarget(1);
      s.setAbilityNumbers(0, 148);
      s.setAbilityValues(0, block);
      return Bytes(s);
    };
    MakeFile(kSpellFile, {spell(kKindleSpell, "Kindle", 60), spell(kEchoSpell, "Echo", 61)});

    std::vector<Part> parts = {
        {kRoomCommands, 0,
         "pull lever:CHECKITEM 5 7:MESSAGE 1\npull lever:GIVECOINS 3 GOLD\ngrab:CHECKITEM 5 0\n"
         "dance:ADDEXP 4:\n\nwhistle"},
        {kRoomCommands, 1, "grab:ADDEVIL 1\nsing:ADDEXP 2\npull lever:ADDEVIL 9"},
        {kSelfRandom, 0, "99:RANDOM 20"},
        {kAlways, 0, "99:ADDEXP 21"},
        {kNever, 0, "0:ADDEXP 22"},
        {kTwoParts, 0, "first line\nsecond line"},
        {kTwoParts, 1, "part two\n"},
        {kFiftyLines, 0, Lines(50, "line ")},
        {40, 0, "lantern:42 \r\nwell:43\n", 41},
        {41, 0, "Greetings, traveller. I am %s.\n"},
        {42, 0, "%s lifts the lantern.\n", 44},
        {44, 0, "CHECKITEM 5 0\nADDEXP 44\nADDEXP 45\n"},
        {45, 0, "anything:41\n"},
        {60, 0, "TELEPORT 8 2"},
        {61, 0, "CAST 10"},
    };
    for (int i = 0; i < kChainLength; ++i) {
      const uint32_t next = kChainStart + i + 1;
      parts.push_back({kChainStart + i, 0,
                       i + 1 < kChainLength
                           ? "99:RANDOM " + std::to_string(next) + ":RANDOM " + std::to_string(next)
                           : "99:ADDEXP 1"});
    }
    std::vector<std::vector<uint8_t>> records;
    for (const Part& p : parts) records.push_back(PartBytes(p));
    MakeFile(kTextFile, records);

    session_.room.setMapNumber(1);
    session_.room.setRoomNumber(1);
    session_.room.setPermNPC(kHermit);
    session_.options.debugging = 0;
  }
  void TearDown() override {
    SetTextBlockRunner({});
    RecordFilesTest::TearDown();
  }

  // Queues keys; "\x03" is Ctrl+C.
  void Keys(std::string_view keys) {
    for (const char c : keys) {
      c == key::kCtrlC ? hc_.display.PushVk('C', kCtrl) : hc_.display.PushText(std::string(1, c));
    }
  }
  void Options(int32_t debugging) { session_.options.debugging = debugging; }
  int Line(std::string_view line, std::string_view keys = "") {
    Keys(keys);
    const int result = RunScriptLine(hc_.console, session_, line, map_, room_, {});
    EXPECT_EQ(hc_.display.PendingKeys(), 0u) << line << " did not read every key";
    return result;
  }
  // Every row shown at a key wait, then the rows on screen now.
  std::vector<std::string> Seen() {
    hc_.console.Flush();
    return testing::Transcript(hc_);
  }
  std::vector<std::string> Screen() const { return testing::ScreenLines(hc_); }
  // The rows shown at key waits after the first `waits`, then the screen now.
  std::vector<std::string> SeenSince(size_t waits) const {
    std::vector<std::string> seen;
    for (size_t i = waits; i < hc_.display.AtKeyWaits().size(); ++i) {
      const auto& s = hc_.display.AtKeyWaits()[i];
      for (int y = 0; y < s.height; ++y) {
        seen.push_back(s.Row(y));
        seen.back().erase(seen.back().find_last_not_of(' ') + 1);
      }
    }
    for (const std::string& row : Screen()) seen.push_back(row);
    return seen;
  }
  // The key wait of a long text: `prompt` on its row, "line 46" the row above.
  void ExpectPausedAfterLine46(const std::string& prompt) const {
    ASSERT_EQ(hc_.display.AtKeyWaits().size(), 1u);
    const auto& paused = hc_.display.AtKeyWaits()[0];
    EXPECT_EQ(paused.Text(0, paused.cursorY, static_cast<int>(prompt.size())), prompt);
    EXPECT_EQ(paused.Text(0, paused.cursorY - 1, 7), "line 46");
  }

  testing::OpenedAbilityFile abilities_{{{kGlowAbility, "Glow", 0x0E, 0}}};
  testing::HeadlessConsole hc_;
  WalkerSession session_;
  uint32_t map_ = 1;
  uint32_t room_ = 1;
};

const std::string kGate = "The gate stays shut.";
const std::string kStopped = "(Script stopped)";

// A line run with `keys` queued: its result and what is (not) shown.
struct CommandCase {
  std::string line;
  std::string keys;
  int result;
  std::vector<std::string> shown;
  std::vector<std::string> notShown = {};
};

void ExpectShown(const std::vector<std::string>& seen, const std::vector<std::string>& shown,
                 const std::vector<std::string>& notShown = {}) {
  for (const std::string& line : shown) EXPECT_TRUE(Shows(seen, line)) << "missing " << line;
  for (const std::string& line : notShown) EXPECT_FALSE(Shows(seen, line)) << "shows " << line;
}

TEST_F(TextScriptTest, EachCommand) {
  const std::string taken = "Item 5 (brass key) was taken.";
  const std::vector<CommandCase> cases = {
      {"ADDABILITY 33 5", "", 0, {"Ability Glow was modified with a value of 5."}},
      {"ADDDELAY 3", "", 0, {"3 second delay."}},
      {"ADDEVIL 2", "", 0, {"You were given 2 evil points."}},
      {"addexp 40", "", 0, {"You were given 40 experience."}},
      {"CHECK 5", "", 0, {}},
      {"CHECKABILITY 33 4", "y", 0, {"Is ability Glow = 4? [y/n]:"}},
      {"CHECKABILITY 33 4", "n", -1, {}},
      {"CHECKITEM 5 7", "n", -1, {"Is item 5 (brass key) in your inventory? [y/n]:", kGate}},
      {"CHECKITEM 5 7", "Y", 0, {}, {kGate}},
      {"CHECKITEM 5 7", "xq1 N", -1, {kGate}},
      {"CHECKITEM 5 7", "\x1b", -1, {kStopped}, {kGate}},
      {"CHECKITEM 5 7", "\x03", -1, {kStopped}, {kGate}},
      {"CHECKSPELL 4", "", 0, {}},
      {"CLASS 2 7", "n", -1, {"Are you class 2 (Mage)? [y/n]:", kGate}},
      {"CLEARITEM 5", "", 0, {"Item 5 (brass key) was cleared from the room."}},
      {"EVILALIGNED 30 7", "y", 0, {"Are you above (or equal) 30 EP? [y/n]:"}, {kGate}},
      {"FAILABILITY 33", "y", -1, {"Do you have ability Glow? [y/n]:"}},
      {"FAILABILITY 33", "n", 0, {}},
      {"FAILITEM 5 7", "y", -1, {"Do you have item 5 (brass key)? [y/n]:", kGate}},
      {"FAILROOMITEM 5 7", "n", 0, {"Is item 5 (brass key) in the room? [y/n]:"}, {kGate}},
      {"FAILROOMITEM 5 7", "y", -1, {kGate}},
      {"GIVEABILITY 33 2", "", 0, {"You were given ability Glow with a value of 2."}},
      {"GIVEITEM 5", "", 0, {"You were given item 5 (brass key)."}},
      {"GOODALIGNED 10 7", "n", -1, {"Are you below (or equal) 10 EP? [y/n]:", kGate}},
      {"LEARNSPELL 9", "", 0, {"You learned spell 9 (Kindle).", "You learn the spell Kindle."}},
      {"MAXLEVEL 20 7", "n", -1, {"Are you below level 20? [y/n]:", kGate}},
      {"MONSTERS 7", "n", -1, {"Are there monsters present? [y/n]:", kGate}},
      {"MESSAGE 7", "", 0, {kGate}},
      {"MESSAGE 99", "", 0, {"Failed to display message 99 in message."}},
      {"MINLEVEL 5 7", "y", 0, {"Are you level 5, or above? [y/n]:"}},
      {"NEEDMONSTER 6 7", "n", -1, {"Is monster 6 (shade) present? [y/n]:", kGate}},
      {"NOMONSTERS 7", "y", -1, {"Are there monsters present? [y/n]:", kGate}},
      {"NOMONSTERS 7", "n", 0, {}, {kGate}},
      {"PRICE 250 7", "y", 0, {"Do you have 250 copper? [y/n]:", "250 copper farthings taken."}},
      {"PRICE 250 7", "n", -1, {kGate}, {"250 copper farthings taken."}},
      {"RACE 3 7", "n", -1, {"Are you race 3 (Elf)? [y/n]:", kGate}},
      {"REMOTEACTION 4 7", "", 0, {kGate}},
      {"REMOTEACTION 4 99", "", 0, {"Failed to display message 99 in remoteaction."}},
      {"REMOVEABILITY 33", "", 0, {"Ability Glow was removed."}},
      {"ROOMITEM 5 7", "n", -1, {"Is item 5 (brass key) in the room? [y/n]:", kGate}},
      {"SUMMON 6", "", 0, {"Summoning monster 6 (shade).", "A shadow falls from nowhere %n 0"}},
      {"SUMMON 4", "", 0, {"Summoning monster 4 (Old Hermit).", "Old Hermit arrives from nowhere"}},
      {"TAKEITEM 5 7", "y", 0, {"Do you have item 5 (brass key)? [y/n]:", taken}},
      {"TAKEITEM 5 7", "n", -1, {kGate}, {taken}},
      {"TESTABILITY 33 9", "n", -1, {"Is ability Glow <= 9? [y/n]:"}},
      {"TEXT 30",
       "z",
       0,
       {"Showing text block 30 (press any key).", "first line", "second linepart two"}},
      {"TEXT 30", "\x1b", -1, {kStopped}, {"first line"}},
      {"FROBNICATE 1", "", 0, {"Unhandled command FROBNICATE!"}},
      {"CHECKS 1", "", 0, {"Unhandled command CHECKS!"}},
      {"CASTLE 9", "", 0, {"Unhandled command CASTLE!"}},
      {"ADDEXP 1::ADDEXP 2:",
       "",
       0,
       {"You were given 1 experience.", "Unhandled command !", "You were given 2 experience."}},
      {"CHECKITEM 5 0:ADDEXP 3", "n", -1, {}, {"You were given 3 experience."}},
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.line + " with " + c.keys);
    hc_.console.ClrScr();
    const size_t waits = hc_.display.AtKeyWaits().size();
    EXPECT_EQ(Line(c.line, c.keys), c.result);
    ExpectShown(SeenSince(waits), c.shown, c.notShown);
  }
}

TEST_F(TextScriptTest, CoinKinds) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"C", "copper farthings"},    {"S", "silver nobles"},   {"G", "gold crowns"},
      {"g", "gold crowns"},         {"P", "platinum pieces"}, {"R", "Runic Coins"},
      {"GOLD", "copper farthings"}, {"", "copper farthings"},
  };
  for (const auto& [kind, name] : cases) {
    hc_.console.ClrScr();
    EXPECT_EQ(Line("GIVECOINS 12 " + kind), 0);
    EXPECT_EQ(Screen().front(), "You were given 12 " + name + ".") << kind;
  }
}

TEST_F(TextScriptTest, QuestionsAreErasedOrAnsweredOnTheirRow) {
  EXPECT_EQ(Line("CHECKITEM 5 0:ADDEXP 1", "y"), 0);
  EXPECT_EQ(Screen(), std::vector<std::string>{"You were given 1 experience."});

  hc_.console.ClrScr();
  Options(kDebugLineInfo);
  Keys("n");
  EXPECT_EQ(
      RunScriptLine(hc_.console, session_, "ADDEXP 4:CHECKITEM 5 0", map_, room_, {10, 1, 3, 0}),
      -1);
  EXPECT_EQ(Screen(), (std::vector<std::string>{
                          "[B:10/1 L:3 I:1] - You were given 4 experience.",
                          "[B:10/1 L:3 I:2] - Is item 5 (brass key) in your inventory? [y/n]:n"}));
  EXPECT_EQ(hc_.Attr(1, 1), 8);                                      // the bracket
  EXPECT_EQ(hc_.Attr(static_cast<int>(Screen()[1].size()), 2), 15);  // the key
}

TEST_F(TextScriptTest, LineInformationShowsWhatIsOtherwiseSilent) {
  Options(kDebugLineInfo);
  Line("MESSAGE 7");
  Line("RANDOM 21");
  Line("CAST 9");
  Line("TELEPORT 0 5:ADDEXP 1");
  ExpectShown(Seen(),
              {"[B:0/0 L:0 I:1] - Showing message 7.", kGate, "[B:0/0 L:0 I:1] - Random 21.",
               "[B:21/0 L:1 I:1] - You were given 21 experience.",
               "[B:0/0 L:0 I:1] - Casting spell 9 (Kindle).",
               "[B:0/0 L:0 I:1] -",  // TELEPORT 0 ends its line
               "[B:0/0 L:0 I:2] - You were given 1 experience."});
}

struct TeleportCase {
  std::string line;
  uint32_t map, room;
  std::vector<std::string> screen;
};

TEST_F(TextScriptTest, Teleport) {
  const std::vector<TeleportCase> cases = {
      {"TELEPORT 0 5", 1, 1, {}},
      {"TELEPORT 8", 1, 8, {"Teleporting to Map 1 Room 8."}},
      {"TELEPORT 8 2", 2, 8, {"Teleporting to Map 2 Room 8."}},
      {"TELEPORT 8 0", 1, 8, {"Teleporting to Map 1 Room 8."}},
  };
  for (const TeleportCase& c : cases) {
    hc_.console.ClrScr();
    map_ = 1;
    room_ = 1;
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Line(c.line), 0);
    EXPECT_EQ(map_, c.map);
    EXPECT_EQ(room_, c.room);
    EXPECT_EQ(Screen(), c.screen);
  }
}

// The result of a room command is whether the typed words matched.
TEST_F(TextScriptTest, RoomCommands) {
  const std::vector<CommandCase> cases = {
      // The first line's condition fails: the second line for the same words runs.
      {"pull lever",
       "n",
       true,
       {kGate, "You were given 3 copper farthings."},
       {"The lever clunks.", "You were given 9 evil points."}},
      {"PULL LEVER", "y", true, {"The lever clunks."}, {"You were given 3 copper farthings."}},
      // Esc ends the run: no alternative runs after it.
      {"pull lever", "\x1b", true, {kStopped}, {"You were given 3 copper farthings."}},
      // Matched in part 0 but failed there: part 1 is not searched.
      {"grab", "n", true, {}, {"You were given 1 evil points."}},
      {"sing", "", true, {"You were given 2 experience."}},
      {"dance", "", true, {"You were given 4 experience."}},
      {"whistle", "", true, {}},
      {"jump", "", false, {}},
      {"pull", "", false, {}},
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.line);
    hc_.console.ClrScr();
    const size_t waits = hc_.display.AtKeyWaits().size();
    Keys(c.keys);
    EXPECT_EQ(RunRoomCommand(hc_.console, session_, kRoomCommands, c.line, map_, room_), c.result);
    ExpectShown(SeenSince(waits), c.shown, c.notShown);
    EXPECT_EQ(hc_.display.PendingKeys(), 0u);
  }
}

TEST_F(TextScriptTest, RandomBlockRollsOneToNinetyNine) {
  for (const uint32_t seed : {0u, 1u, 2024u, 77777u, 0xFFFFFFFFu}) {
    ProgramRandom().SetSeed(seed);
    EXPECT_TRUE(RunRandomBlock(hc_.console, session_, kAlways, map_, room_)) << seed;
    ProgramRandom().SetSeed(seed);
    EXPECT_FALSE(RunRandomBlock(hc_.console, session_, kNever, map_, room_)) << seed;

    // A threshold equal to the roll runs; one below it does not.
    Random copy(seed);
    const int roll = static_cast<int>(copy.Next(99)) + 1;
    const auto run = [&](int threshold) {
      TextBlockReader previous =
          SetTextBlockReader([threshold](uint32_t, uint16_t part, TextBlockRecord& r) {
            if (part != 0) return 4;
            r.setText(EncodeStoredText(std::to_string(threshold) + ":CHECK"));
            return 0;
          });
      ProgramRandom().SetSeed(seed);
      const bool ran = RunRandomBlock(hc_.console, session_, 1, map_, room_);
      SetTextBlockReader(previous);
      return ran;
    };
    EXPECT_TRUE(run(roll)) << seed;
    EXPECT_EQ(ProgramRandom().Seed(), copy.Seed()) << "one draw a block";
    EXPECT_FALSE(run(roll - 1)) << seed;
  }
  EXPECT_FALSE(RunRandomBlock(hc_.console, session_, 999, map_, room_));
  const auto seen = Seen();
  EXPECT_TRUE(Shows(seen, "You were given 21 experience."));
  EXPECT_FALSE(Shows(seen, "You were given 22 experience."));
}

TEST_F(TextScriptTest, ShownBlocks) {
  ShowTextBlock(hc_.console, kTwoParts, 0, false, false);
  EXPECT_EQ(Screen(), (std::vector<std::string>{"first line", "second line"}));
  EXPECT_EQ(hc_.Attr(1, 1), 2);
  EXPECT_EQ(hc_.console.TextAttr(), 7);

  hc_.console.ClrScr();
  // The first part ends without a line feed: the second part follows on its row.
  ShowTextBlock(hc_.console, kTwoParts, 0, true, false);
  EXPECT_EQ(Screen(), (std::vector<std::string>{"first line", "second linepart two"}));
  EXPECT_EQ(hc_.console.WhereY(), 4);

  hc_.console.ClrScr();
  ShowTextBlock(hc_.console, kTwoParts, 1, true, false);
  EXPECT_EQ(Screen(), (std::vector<std::string>{"part two"}));

  hc_.console.ClrScr();
  ShowTextBlock(hc_.console, kFiftyLines, 0, false, false);  // no pause: no key is read
  EXPECT_EQ(hc_.display.AtKeyWaits().size(), 0u);

  Keys("x");
  ShowTextBlock(hc_.console, kFiftyLines, 0, false, true);
  ExpectPausedAfterLine46("Hit any key to continue...");
  EXPECT_FALSE(Shows(Screen(), "Hit any key to continue..."));
  EXPECT_TRUE(Shows(Screen(), "line 50"));
}

TEST_F(TextScriptTest, AnsiSequencesInShownTexts) {
  EXPECT_EQ(Line("MESSAGE 8"), 0);
  EXPECT_EQ(Screen(), std::vector<std::string>{"Red"});
  EXPECT_EQ(hc_.Attr(1, 1), 12);

  // A block whose text fills the record with no terminator: the decoder stops
  // at the record's end, and the open sequence is closed by the display's end.
  SetTextBlockReader([](uint32_t, uint16_t part, TextBlockRecord& r) {
    if (part != 0) return 4;
    std::fill(r.data() + TextBlockRecord::kHeadSize, r.data() + r.kSize, 'A' + 32);
    r.data()[r.kSize - 1] = 27 + 32;
    return 0;
  });
  hc_.console.ClrScr();
  ShowTextBlock(hc_.console, 1, 0, true, false);
  EXPECT_EQ(Screen().size(), 2048u / 80 + 1);
  uint32_t map = 0, room = 0;
  RunTextBlock(hc_.console, session_, 1, 0, map, room);
  SetTextBlockReader({});
  EXPECT_TRUE(ProgramAnsiWriter().InPlainText());
}

TEST_F(TextScriptTest, Talking) {
  struct TalkCase {
    uint32_t monster;
    std::string name, topic, keys;
    std::vector<std::string> screen;
  };
  const std::vector<TalkCase> cases = {
      {kHermit, "old", "", "", {"Greetings, traveller. I am Old Hermit."}},
      {kHermit,
       "OLD HERMIT",
       "LANtern  ",
       "n",
       {"Old Hermit lifts the lantern.", "", "You were given 44 experience."}},
      {kHermit, "hermit", "", "", {}},
      {kHermit, "old", "weather", "", {}},
      {kHermit, "old", "well", "", {}},  // the response block is missing
      {kGuard, "mute", "", "", {"mute guard doesn't understand you."}},
      {kStatue, "old", "", "", {"Old statue has nothing to tell you!"}},
      {0, "old", "", "", {}},
  };
  for (const TalkCase& c : cases) {
    hc_.console.ClrScr();
    session_.room.setPermNPC(c.monster);
    Keys(c.keys);
    Talk(hc_.console, session_, c.name, c.topic, map_, room_);
    EXPECT_EQ(Screen(), c.screen) << c.name << " / " << c.topic;
    EXPECT_EQ(hc_.display.PendingKeys(), 0u);
  }
}

TEST_F(TextScriptTest, RunsThatCallThemselvesAreBounded) {
  ProgramRandom().SetSeed(5);
  EXPECT_TRUE(RunRandomBlock(hc_.console, session_, kSelfRandom, map_, room_));
  const std::string depth = "(Text blocks running other blocks stopped after too many steps)";
  EXPECT_EQ(Screen(), std::vector<std::string>{depth});  // one notice, nothing else

  // A spell whose text block casts the same spell again.
  InstallTextBlockRunner(hc_.console, session_);
  hc_.console.ClrScr();
  Line("CAST 10");
  EXPECT_EQ(Screen(), std::vector<std::string>{depth});

  // Blocks that each run the next twice: the run is cut by its length.
  hc_.console.ClrScr();
  EXPECT_TRUE(RunRandomBlock(hc_.console, session_, kChainStart, map_, room_));
  EXPECT_EQ(Screen().back(), "(Text-block script commands stopped after too many steps)");

  // The bound belongs to one run: the next starts afresh.
  hc_.console.ClrScr();
  EXPECT_TRUE(RunRandomBlock(hc_.console, session_, kAlways, map_, room_));
  EXPECT_EQ(Screen(), std::vector<std::string>{"You were given 21 experience."});
}

TEST_F(TextScriptTest, CastRunsTextBlocksAtTheRunsPosition) {
  InstallTextBlockRunner(hc_.console, session_);
  EXPECT_EQ(Line("CAST 9"), 0);
  EXPECT_EQ(map_, 2u);
  EXPECT_EQ(room_, 8u);
  EXPECT_TRUE(Shows(Screen(), "Teleporting to Map 2 Room 8."));

  // Outside a run (the spell simulator, an exit's spell) the position is a
  // scratch one: the caller's stays.
  hc_.console.ClrScr();
  SpellRecord kindle;
  ASSERT_EQ(GetSpell(kKindleSpell, kindle), 0);
  int32_t energy = 1000;
  map_ = room_ = 1;
  CastSpell(kindle, energy, 100, 100, false, nullptr, ProgramRandom(), [](std::string_view) {}, {});
  EXPECT_TRUE(Shows(Screen(), "Teleporting to Map 2 Room 8."));
  EXPECT_EQ(room_, 1u);
}

TEST_F(TextScriptTest, StepDebugging) {
  Options(kDebugStep);
  EXPECT_EQ(Line("ADDEXP 1:ADDEXP 2", " \x1b"), -1);
  const std::string step = "Step [B:0/0 L:0 I:1] ADDEXP 1 (any key runs it, Esc stops)";
  ExpectShown(Seen(), {step, "You were given 1 experience.", kStopped},
              {"You were given 2 experience."});
  EXPECT_FALSE(Shows(Screen(), step));
}

TEST_F(TextScriptTest, ErrorLines) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"RANDOM 77", "Text block 77 does not exist."},
      {"TEXT 77", "Text block 77 does not exist."},
      {"CAST 77", "Spell 77 does not exist."},
      {"SUMMON 77", "Monster 77 does not exist."},
  };
  for (const bool on : {false, true}) {
    Options(on ? kDebugShowErrors : 0);
    for (const auto& [line, error] : cases) {
      hc_.console.ClrScr();
      EXPECT_EQ(Line(line, line.starts_with("TEXT") ? "k" : ""), 0);
      EXPECT_EQ(Shows(Screen(), error), on) << line;
    }
  }
}

TEST_F(TextScriptTest, CommandsListing) {
  ListRoomCommands(hc_.console, kRoomCommands);
  const std::string rule = std::string(24, '\xC4') + " " + std::string(54, '\xC4');
  EXPECT_EQ(Screen(), (std::vector<std::string>{
                          "",
                          "Command                  Script",
                          rule,
                          "pull lever               CHECKITEM 5 7",
                          "                         MESSAGE 1",
                          "pull lever               GIVECOINS 3 GOLD",
                          "grab                     CHECKITEM 5 0",
                          "dance                    ADDEXP 4",
                          "whistle",
                          "grab                     ADDEVIL 1",
                          "sing                     ADDEXP 2",
                          "pull lever               ADDEVIL 9",
                          rule,
                      }));
  EXPECT_EQ(hc_.Attr(1, 4), 10);
  EXPECT_EQ(hc_.Attr(26, 4), 2);

  hc_.console.ClrScr();
  ListRoomCommands(hc_.console, 0);
  EXPECT_EQ(Screen(),
            std::vector<std::string>{
                "The specified text block doesn't exist, is invalid, or was unreadable."});

  hc_.console.ClrScr();
  ListRoomCommands(hc_.console, 999);
  EXPECT_TRUE(Screen().empty());

  // Long listings pause once more than 45 rows were written.
  Keys("x");
  ListRoomCommands(hc_.console, kFiftyLines);
  ExpectPausedAfterLine46("[press any key to continue]");
  EXPECT_EQ(Screen().back(), rule);
}

TEST(TextScriptWords, SplitCommandWords) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"CHECKITEM 5 7", {"CHECKITEM", "5", "7"}},
      {"  A   B  C ", {"A", "B", "C"}},
      {"", {}},
      {"   ", {}},
      {"1 2 3 4 5 6 7 8 9  10", {"1", "2", "3", "4", "5", "6", "7", "8 9  10"}},
  };
  for (const auto& [command, words] : cases)
    EXPECT_EQ(SplitCommandWords(command), words) << command;
}

TEST(TextScriptWords, ScriptNumber) {
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {"12", 12},
      {"-5", -5},
      {"+7", 7},
      {"12abc", 0},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"2147483648", 0},
  };
  for (const auto& [word, number] : cases) EXPECT_EQ(ScriptNumber(word), number) << word;
}

}  // namespace
}  // namespace torvex
