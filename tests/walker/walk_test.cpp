#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "database/records/text_block_text.h"
#include "database/settings.h"
#include "tests/walker/walker_test_world.h"
#include "walker/commands.h"
#include "walker/movement.h"
#include "walker/session.h"
#include "walker/text_script.h"
#include "walker/walker.h"

namespace torvex {
namespace {

using namespace testing;

class WalkTest : public WalkerWorldTest {
 protected:
  void SetUp() override {
    WalkerWorldTest::SetUp();
    savedSession_ = CurrentWalkerSession();
    CurrentSettings().simulator = SimulatorSettings{};
    CurrentSettings().simulator.roomFirstName = "Ysolde";
    CurrentSettings().simulator.roomRolled = false;
  }
  void TearDown() override {
    CurrentWalkerSession() = savedSession_;
    WalkerWorldTest::TearDown();
  }

  // Walks from `map`/`room` typing `keys` ("\r" ends a line); every key must
  // be read.
  void RunWalk(HeadlessConsole& hc, uint32_t& map, uint32_t& room, const std::string& keys) {
    hc.display.PushText(keys);
    Walk(hc.console, map, room);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
    hc.console.Flush();
  }

  // Runs one typed line in `session` on a clear screen.
  std::vector<std::string> Type(WalkerSession& session, const std::string& text,
                                RoomShow* show = nullptr) {
    HeadlessConsole hc;
    WalkTurn turn{hc.console, session};
    RunTypedLine(turn, text);
    if (show) *show = turn.show;
    return ScreenLines(hc);
  }

 private:
  WalkerSession savedSession_;
};

// Lines no command takes go to the room's command block; a script that
// teleports moves the character, one that does not leaves it where it stands.
TEST_F(WalkTest, TypedLinesRunTheRoomsCommandBlock) {
  const TextBlockReader previous =
      SetTextBlockReader([](uint32_t block, uint16_t part, TextBlockRecord& r) -> int32_t {
        if (block != 7 || part != 0) return 4;
        r.setText(EncodeStoredText("PRAY:TELEPORT 2 1\nWAVE:CHECK\n"));
        return 0;
      });
  const struct {
    std::string typed;
    uint32_t room;
    bool noEffect;
  } cases[] = {{"pray", kHall, false}, {"wave", kCrossroads, false}, {"dance", kCrossroads, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    WalkerSession session = SessionIn(Crossroads());
    session.room.setCommandText(7);
    RoomShow show = RoomShow::kNothing;
    const std::vector<std::string> lines = Type(session, c.typed, &show);
    EXPECT_EQ(session.roomNumber(), c.room);
    EXPECT_EQ(Shows(lines, "Your command had no effect."), c.noEffect);
    EXPECT_EQ(show == RoomShow::kAsBriefModeSays, c.room != kCrossroads);
  }
  SetTextBlockReader(previous);
}

TEST_F(WalkTest, EachExitTypeByDirection) {
  const std::string none = "There is no exit in that direction!";
  const struct {
    int direction;
    bool moved;
    uint32_t map, room;  // where the character stands afterwards
    std::vector<std::string> lines;
    uint8_t colour;  // of the last line
  } cases[] = {
      {0, true, 1, kHall, {}, 0},
      {1, false, 1, kCrossroads, {none}, 7},  // spell
      {2, true, 1, kHall, {"You just paid 5 gold in toll charges."}, 7},
      {3, true, 1, kHall, {"The lever clunks."}, 2},      // action
      {4, true, 2, 1, {}, 0},                             // map change
      {5, true, 1, kHall, {"You squeeze through."}, 2},   // hidden
      {6, false, 1, kCrossroads, {none}, 7},              // remote action
      {7, true, 1, kPool, {"You squeeze through."}, 14},  // text
      {8, true, 1, kHall, {"You squeeze through."}, 2},   // item
      // A trap into room 99, which does not exist: the character stays.
      {9, false, 1, kCrossroads, {"You squeeze through.", "Map 1 Room 99 does not exist!"}, 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.direction);
    WalkerSession session = SessionIn(Crossroads());
    session.holdings.gold = 3;
    HeadlessConsole hc;
    EXPECT_EQ(WalkThroughExit(hc.console, session, c.direction), c.moved);
    EXPECT_EQ(ScreenLines(hc), c.lines);
    if (!c.lines.empty()) {
      EXPECT_EQ(hc.Attr(1, static_cast<int>(c.lines.size())), c.colour);
    }
    EXPECT_EQ(session.map(), c.map);
    EXPECT_EQ(session.roomNumber(), c.room);
    EXPECT_EQ(session.holdings.gold, 3) << "a toll takes nothing";
  }
}

// Cast and spell-trap exits cast their spell on the way only while exit
// spells are cast; either way the character goes through.
TEST_F(WalkTest, CastExitsCastWhenExitSpellsAreOn) {
  const RoomRecord room = MakeRoom(
      1, 4, "Shrine",
      {{8, kHall, ExitType::kCast, 0, kZapSpell}, {9, kHall, ExitType::kSpellTrap, kZapSpell}});
  for (const int direction : {8, 9}) {
    for (const bool cast : {true, false}) {
      WalkerSession session = SessionIn(room);
      session.options.mapping = cast ? kMapCastExitSpells : 62 & ~kMapCastExitSpells;
      HeadlessConsole hc;
      EXPECT_TRUE(WalkThroughExit(hc.console, session, direction));
      const std::vector<std::string> lines = ScreenLines(hc);
      EXPECT_EQ(lines.size(), cast ? 1u : 0u) << direction << cast;
      if (cast && !lines.empty()) {
        EXPECT_NE(lines[0].find(" takes "), std::string::npos) << lines[0];
      }
      EXPECT_EQ(session.roomNumber(), kHall);
    }
  }
}

TEST_F(WalkTest, HiddenExitMessageOnlyWhenAsked) {
  RoomRecord room = Crossroads();
  room.setExitParameter2(5, 1);
  WalkerSession session = SessionIn(room);
  HeadlessConsole hc;
  EXPECT_TRUE(WalkThroughExit(hc.console, session, 5));
  EXPECT_TRUE(ScreenLines(hc).empty());
}

TEST_F(WalkTest, NoExitThatWay) {
  WalkerSession session = SessionIn(MakeRoom(1, kHall, "Hall", {{1, 1, ExitType::kNormal}}));
  EXPECT_EQ(Type(session, "n"), std::vector<std::string>{"There is no exit in that direction!"});
  RoomShow show = RoomShow::kNothing;
  EXPECT_TRUE(Type(session, "SOUTH", &show).empty());
  EXPECT_EQ(show, RoomShow::kAsBriefModeSays);
  EXPECT_EQ(session.roomNumber(), kCrossroads);
}

TEST_F(WalkTest, TypedExitWords) {
  const struct {
    const char* line;
    uint32_t room;
    std::vector<std::string> lines;
    RoomShow show;
  } cases[] = {
      {"enter pool", kPool, {"You squeeze through."}, RoomShow::kAsBriefModeSays},
      {"  Dive ", kPool, {"You squeeze through."}, RoomShow::kAsBriefModeSays},
      {"ring bell", kCrossroads, {"The bell tolls."}, RoomShow::kNothing},
      {"ring", kCrossroads, {"Your command had no effect."}, RoomShow::kNothing},
      {"enter", kCrossroads, {"Your command had no effect."}, RoomShow::kNothing},
  };
  for (const auto& c : cases) {
    WalkerSession session = SessionIn(Crossroads());
    RoomShow show = RoomShow::kFull;
    EXPECT_EQ(Type(session, c.line, &show), c.lines) << c.line;
    EXPECT_EQ(session.roomNumber(), c.room) << c.line;
    EXPECT_EQ(session.map(), 1u) << c.line;
    EXPECT_EQ(show, c.show) << c.line;
  }
}

TEST_F(WalkTest, TeleportGotoAndPeek) {
  CurrentSettings().gotoSections = {{"baseline", {{"shore", 2, 1}, {"hall", 1, 2}}}};
  const struct {
    const char* line;
    uint32_t map, room;
    std::vector<std::string> lines;
  } cases[] = {
      {"teleport 2", 1, kHall, {}},
      {"T 1 2", 2, 1, {}},
      {"TELEPORT abc 2", 1, kCrossroads, {"Map 2 Room 0 does not exist!"}},
      {"teleport 2 abc", 1, kCrossroads, {"Map 0 Room 2 does not exist!"}},
      {"peek 2", 1, kCrossroads, {"Hall", "Obvious exits: south."}},
      {"PEEK 50 1", 1, kCrossroads, {"Map 1 Room 50 does not exist!"}},
      {"goto mill", 1, kCrossroads, {"There is no GOTO location named mill!"}},
  };
  for (const auto& c : cases) {
    WalkerSession session = SessionIn(Crossroads());
    EXPECT_EQ(Type(session, c.line), c.lines) << c.line;
    EXPECT_EQ(session.map(), c.map) << c.line;
    EXPECT_EQ(session.roomNumber(), c.room) << c.line;
  }
}

TEST_F(WalkTest, LookThroughExitsAndAtItems) {
  RoomRecord here = MakeRoom(
      1, kHall, "Hall", {{1, kCrossroads, ExitType::kNormal}, {2, kNowhere, ExitType::kNormal}});
  here.setItems(0, kTorch);
  here.setItemQuantity(0, 1);
  here.setItems(1, kPebble);
  here.setItemQuantity(1, 1);
  const struct {
    const char* line;
    std::vector<std::string> lines;
  } cases[] = {
      {"L S",
       {"Crossroads", "    A dusty crossing of four ways.", "Signs point every way.",
        "Obvious exits: north, south (spell:Zap), east (toll:5 gold crowns), west, northeast "
        "(map:2), a crack to the northwest (hidden), southeast (remote:RING BELL), southwest "
        "(gocmd:enter pool), up (item:rusty key), down (trap:3-9)."}},
      {"look east", {"Map 1 Room 99 does not exist!"}},
      {"look up", {"There are no exits upwards!"}},
      {"look d", {"There are no exits downwards!"}},
      {"look nw", {"There are no exits to the northwest!"}},
      {"look TORCH", {"A torch of pitch-soaked rags.", "It burns with a steady flame."}},
      {"l  bri", {"A torch of pitch-soaked rags.", "It burns with a steady flame."}},
      {"look Rags", {"You do not see Rags here!"}},
      {"look pebble", {std::string(60, 'p')}},
  };
  for (const auto& c : cases) {
    WalkerSession session = SessionIn(here);
    // The display wraps at 80 columns: join the exit line's rows again.
    std::vector<std::string> lines = Type(session, c.line);
    if (lines.size() > 4) {
      for (size_t i = 4; i < lines.size(); ++i) lines[3] += lines[i];
      lines.resize(4);
    }
    EXPECT_EQ(lines, c.lines) << c.line;
    EXPECT_EQ(session.roomNumber(), kHall) << c.line;
  }
}

TEST_F(WalkTest, ChatAndSmallCommands) {
  const struct {
    const char* line;
    std::vector<std::string> lines;
  } cases[] = {
      {"\"Hello all", {"You yell \"Hello all\""}},
      {".hi", {"You say \"hi\""}},
      {"-news", {"Broadcast from Ysolde \"news\""}},
      {"-", {"The following users are on channel 1:", "Ysolde"}},
      {"BROADCAST big news", {"Broadcast from Ysolde \"big news\""}},
      {"gos hi there", {"Ysolde gossips: hi there"}},
      {"auc a sword", {"Ysolde auctions: a sword"}},
      {"gb to arms", {"Ysolde gangpaths: to arms"}},
      {"/", {"You have to telepath something!"}},
      {"whi", {"You have to telepath something!"}},
      {"wear", {"Syntax: WEAR <item name>"}},
      {"ar", {"Syntax: ARM <item name>"}},
      {"tel", {"Syntax: TELEPORT <room> [map]"}},
      {"peek", {"Syntax: PEEK <room> [map]"}},
      {"LIGHT", {"The current light level is Regular Light"}},
      {"exi", {"Obvious exits: north, south, east, west, northeast, up, down."}},
      {"LI", {"Your command had no effect."}},
      {"list", {"You cannot LIST if you are not in a shop!"}},
      {"sell sword", {"You cannot SELL if you are not in a shop!"}},
      {"buy training", {"You cannot BUY if you are not in a shop!"}},
      {"buy sword", {}},
      {"party",
       {"You are not in a party at the present time.",
        "  Ysolde                         (Warrior)             [H:100%]   - Midrank"}},
      {"set char level 5", {"Character level changed to 5."}},
      {"appraise sword", {"Your command had no effect."}},  // no shop here
      // Warrior, HEA 50, level 1: 6 + 25 + 3 + 0 both ways.
      {"HEALTH", {"Health:    34/34    [100%]"}},
  };
  for (const auto& c : cases) {
    WalkerSession session = SessionIn(Crossroads());
    session.options.exits = kExitsNormal;
    EXPECT_EQ(Type(session, c.line), c.lines) << c.line;
  }
}

TEST_F(WalkTest, RedisplayAfterLookClsAndEmptyLines) {
  const struct {
    const char* line;
    RoomShow show;
  } cases[] = {
      {"", RoomShow::kWithoutText},
      {"   ", RoomShow::kWithoutText},
      {"l", RoomShow::kFull},
      {"CL", RoomShow::kWithoutText},
      {"BUY sword", RoomShow::kAsBriefModeSays},
      {"health", RoomShow::kNothing},
  };
  for (const auto& c : cases) {
    WalkerSession session = SessionIn(Crossroads());
    RoomShow show = RoomShow::kNothing;
    Type(session, c.line, &show);
    EXPECT_EQ(show, c.show) << '"' << c.line << '"';
  }
  WalkerSession session = SessionIn(Crossroads());
  EXPECT_EQ(Type(session, "bri"), std::vector<std::string>{"Quiet mode set"});
  EXPECT_TRUE(session.options.brief);
  EXPECT_EQ(Type(session, "v"), std::vector<std::string>{"Verbose mode set"});
  EXPECT_FALSE(session.options.brief);
}

TEST_F(WalkTest, TheWalkEndsWhereItWasLeft) {
  HeadlessConsole hc;
  uint32_t map = 1, room = kCrossroads;
  RunWalk(hc, map, room, "n\rlook\rx\r");
  EXPECT_EQ(map, 1u);
  EXPECT_EQ(room, kHall);
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - RoomSim : Hall (2/1)");
  const std::vector<std::string> seen = Transcript(hc);
  for (const char* line :
       {"Dunmarrow - ROL", "Crossroads", "    A dusty crossing of four ways.", "[HP=34]:x"}) {
    EXPECT_TRUE(Shows(seen, line)) << line;
  }
  EXPECT_FALSE(Shows(seen, "You feel your life-force ebbing."));
}

TEST_F(WalkTest, TheLastLifeIsAnnounced) {
  for (const int lives : {1, 2}) {
    CurrentWalkerSession().character.lives = lives;
    HeadlessConsole hc;
    uint32_t map = 1, room = kHall;
    RunWalk(hc, map, room, "x\r");
    EXPECT_EQ(Shows(Transcript(hc), "You feel your life-force ebbing."), lives == 1) << lives;
  }
}

TEST_F(WalkTest, AStartInAMissingRoomEndsAtOnce) {
  HeadlessConsole hc;
  uint32_t map = 1, room = kNowhere;
  RunWalk(hc, map, room, "");
  EXPECT_EQ(ScreenLines(hc), std::vector<std::string>{"Map 1 Room 99 does not exist!"});
  EXPECT_EQ(room, kNowhere);
}

TEST_F(WalkTest, LongLinesEscapeAndCtrlCAtThePrompt) {
  HeadlessConsole hc;
  hc.display.PushVk(vk::kEscape, 0, 27);
  hc.display.PushVk('C', kCtrl);
  uint32_t map = 1, room = kHall;
  CurrentSettings().simulator.roomTitleOptions = kTitleNormal;
  CurrentSettings().simulator.response = 0;
  CurrentSettings().simulator.roomRolled = false;
  CurrentSettings().simulator.roomStr = 1;  // SimulatorSettings reset: lives 9 by default
  RunWalk(hc, map, room, std::string(1000, 'y') + "\r.\rq\r");
  const std::vector<std::string> seen = Transcript(hc);
  EXPECT_TRUE(Shows(seen, "Your command had no effect."));
  EXPECT_TRUE(Shows(seen, "Well Spoken..."));
  EXPECT_EQ(room, kHall);
}

TEST_F(WalkTest, ANewCharacterChoosesRaceAndClass) {
  CurrentSettings().simulator.roomRolled = true;
  CurrentSettings().holdings.items[3] = kTorch;
  CurrentSettings().holdings.torchItemIndex = 3;
  HeadlessConsole hc;
  uint32_t map = 1, room = kHall;
  // 2 lies in a gap of the race numbers and 7 beyond them: both asked again.
  // Esc leaves the character sheet with the race's starting stats.
  RunWalk(hc, map, room, "\rabc\r2\r7\r?\r3\r2\r\x1bx\r");
  const std::vector<std::string> seen = Transcript(hc);
  for (const char* line :
       {"Please choose a race from the following list:", "[1]  Human", "[3]  Elf",
        "You must choose a race. [ ? for help ]", "You must choose a valid race. [ ? for help ]",
        "[2]  Mage", "[HP=-3/MA=10]:x"}) {
    EXPECT_TRUE(Shows(seen, line)) << line;
  }
  const SimulatorSettings& stored = CurrentSettings().simulator;
  EXPECT_FALSE(stored.roomRolled);
  EXPECT_EQ(stored.roomRace, 3);
  EXPECT_EQ(stored.roomClass, 2);
  EXPECT_EQ(stored.roomStr, 30);
  EXPECT_EQ(CurrentWalkerSession().character.characterPoints, 120);
  EXPECT_EQ(CurrentWalkerSession().character.lives, 9);
  EXPECT_EQ(CurrentSettings().holdings.items[3], 0);
  EXPECT_EQ(CurrentSettings().holdings.torchItemIndex, -1);
}

TEST_F(WalkTest, CancellingTheChoiceEndsTheWalk) {
  const char* scripts[] = {"X\r", "0\r", "1\rx\r", "1\r0\r"};
  for (const char* keys : scripts) {
    CurrentSettings().simulator.roomRolled = true;
    HeadlessConsole hc;
    // A walk started from a browser finds its screen and a colour behind it:
    // the choice starts on a clear screen at the top.
    hc.console.SetTextAttr(0x1F);
    hc.console.GotoXY(3, 49);
    hc.console.Write("browser screen");
    uint32_t map = 1, room = kHall;
    RunWalk(hc, map, room, keys);
    EXPECT_EQ(hc.Text(1, 1, 45), "Please choose a race from the following list:") << keys;
    EXPECT_EQ(hc.Attr(1, 49), 7) << keys;
    EXPECT_TRUE(CurrentSettings().simulator.roomRolled) << keys;
    EXPECT_FALSE(Shows(Transcript(hc), "Dunmarrow - ROL")) << keys;
  }
}

}  // namespace
}  // namespace torvex
