#include "walker/room_view.h"

#include <gtest/gtest.h>

#include "tests/walker/walker_test_world.h"

namespace torvex {
namespace {

using namespace testing;

class RoomViewTest : public WalkerWorldTest {};

TEST_F(RoomViewTest, ExitLineInEachStyleAndWithNoObviousExit) {
  const RoomRecord room = Crossroads();
  EXPECT_EQ(ExitLine(room, kExitsDetailed),
            "Obvious exits: north, south (spell:Zap), east (toll:5 gold crowns), west, "
            "northeast (map:2), a crack to the northwest (hidden), southeast (remote:RING BELL), "
            "southwest (gocmd:enter pool), up (item:rusty key), down (trap:3-9).");
  EXPECT_EQ(ExitLine(room, kExitsNormal),
            "Obvious exits: north, south, east, west, northeast, up, down.");
  EXPECT_EQ(ExitLine(room, kExitsNumber),
            "Obvious exits: north (2), south (2), east (2), west (2), northeast (1/2), "
            "a crack to the northwest (2), southeast (2), southwest (3), up (2), down (99).");
  // A hidden exit alone is not obvious in the normal style.
  const RoomRecord pool = MakeRoom(1, 3, "Pool", {{0, 1, ExitType::kHidden}});
  EXPECT_EQ(ExitLine(pool, kExitsNormal), "Obvious exits: NONE!!!.");
  EXPECT_EQ(ExitLine(MakeRoom(1, 3, "Shut", {}), kExitsDetailed), "Obvious exits: NONE!!!.");
}

TEST_F(RoomViewTest, EachExitTemplateAndDetail) {
  const struct {
    ExitShape exit;
    const char* line;
  } cases[] = {
      {{0, 2, ExitType::kKey, kRustyKey, 30}, "north (key:rusty key, picklocks:30)"},
      {{0, 2, ExitType::kKey, kRustyKey, 0}, "north (key:rusty key)"},
      {{0, 2, ExitType::kDoor, kRustyKey, 5}, "open door north (door:rusty key, picklocks:5)"},
      {{0, 2, ExitType::kDoor, kRustyKey, 0}, "open door north (door:rusty key)"},
      {{0, 2, ExitType::kDoor, 0, 5}, "open door north (picklocks:5)"},
      {{0, 2, ExitType::kDoor}, "open door north"},
      {{2, 2, ExitType::kGate, kRustyKey}, "open gate east (gate:rusty key)"},
      {{2, 2, ExitType::kClass, 2}, "east (class:Mage)"},
      {{2, 2, ExitType::kRace, 3}, "east (race:Elf)"},
      {{2, 2, ExitType::kLevel, 20}, "east (level:20)"},
      {{8, 2, ExitType::kCast, 0, kZapSpell}, "up (spell:Zap)"},
      {{8, 2, ExitType::kSpellTrap, kZapSpell}, "up (spelltrap:Zap)"},
      {{9, 2, ExitType::kHidden, 1}, "down (hidden)"},
      {{9, 2, ExitType::kHidden, 2, 0, 0, 0}, "secret passage down (hidden)"},
      {{9, 2, ExitType::kTimed, 6, 9}, "down"},
      {{9, 2, static_cast<ExitType>(30)}, "down"},
  };
  for (const auto& c : cases) {
    const RoomRecord room = MakeRoom(1, 1, "Here", {c.exit});
    EXPECT_EQ(ExitLine(room, kExitsDetailed), "Obvious exits: " + std::string(c.line) + ".")
        << static_cast<int>(c.exit.type);
  }
}

TEST_F(RoomViewTest, ItemsLineByOption) {
  RoomRecord room = MakeRoom(1, 5, "Store", {});
  const uint32_t items[] = {kTorch, 404, kPebble, kRustyKey};
  const uint16_t quantities[] = {1, 1, 3, 0};  // 404 does not exist; the key has none left
  for (size_t i = 0; i < 4; ++i) {
    room.setItems(i, items[i]);
    room.setItemQuantity(i, quantities[i]);
  }
  room.setHiddenItems(2, kRustyKey);
  room.setHiddenItemQuantity(2, 2);
  const struct {
    int32_t options;
    const char* line;
  } cases[] = {
      {0, "|03You notice 1 bright torch, 3 grey pebble here."},
      {kItemsShowAll, "|03You notice 1 bright torch, 3 grey pebble, 2 rusty key (hidden) here."},
      {kItemsShowNumbers, "|03You notice 1 bright torch (11), 3 grey pebble (12) here."},
      {kItemsShowAll | kItemsShowNumbers,
       "|03You notice 1 bright torch (11), 3 grey pebble (12), 2 rusty key (10/hidden) here."},
  };
  for (const auto& c : cases) EXPECT_EQ(ItemsLine(room, c.options), c.line) << c.options;

  RoomRecord onlyHidden = MakeRoom(1, 6, "Bare", {});
  onlyHidden.setHiddenItems(0, kPebble);
  onlyHidden.setHiddenItemQuantity(0, 1);
  EXPECT_EQ(ItemsLine(onlyHidden, 0), "");
  EXPECT_EQ(ItemsLine(onlyHidden, kItemsShowAll), "|03You notice 1 grey pebble (hidden) here.");
}

TEST_F(RoomViewTest, MonstersLineInThePaletteColour) {
  EXPECT_EQ(MonstersLine({}, 0), "");
  EXPECT_EQ(MonstersLine({"a rat"}, 0), "|05Also here: a rat|05.");
  EXPECT_EQ(MonstersLine({"a rat", "Odo (31)"}, 1), "|02Also here: a rat, Odo (31)|02.");
  EXPECT_EQ(MonstersLine({"a rat"}, 3), "|13Also here: a rat|13.");

  WalkerSession session = SessionIn(Crossroads());
  MonsterRecord rat;
  rat.setNumber(4);
  rat.setName("plump rat");
  session.roomMonsters = {rat};
  EXPECT_EQ(RoomMonsterNames(session, session.room, true), std::vector<std::string>{"plump rat"});
  EXPECT_TRUE(RoomMonsterNames(session, session.room, false).empty());
  session.options.monsters = kMonstersShowNumbers;
  EXPECT_EQ(RoomMonsterNames(session, session.room, true),
            std::vector<std::string>{"plump rat (4)"});
  session.options.monsters = kMonstersActiveOnly;  // the room has no live monsters
  EXPECT_TRUE(RoomMonsterNames(session, session.room, true).empty());
}

TEST_F(RoomViewTest, FullAndBriefDisplay) {
  WalkerSession session = SessionIn(Crossroads());
  session.options.title = kTitleDetailed;
  session.options.exits = kExitsNormal;
  session.options.palette = 1;
  HeadlessConsole hc;
  DisplayRoom(hc.console, session, session.room, true, true);
  const std::vector<std::string> full = {
      "Crossroads (Map 1 Room 1)", "    A dusty crossing of four ways.", "Signs point every way.",
      "Obvious exits: north, south, east, west, northeast, up, down."};
  EXPECT_EQ(ScreenLines(hc), full);
  EXPECT_EQ(hc.Attr(1, 1), 11);
  EXPECT_EQ(hc.Attr(1, 3), 14);  // the description's own colour codes
  EXPECT_EQ(hc.Attr(1, 4), 6);   // exits in palette 1

  HeadlessConsole brief;
  session.options.title = kTitleNormal;
  DisplayRoom(brief.console, session, session.room, false, true);
  const std::vector<std::string> shortForm = {
      "Crossroads", "Obvious exits: north, south, east, west, northeast, up, down."};
  EXPECT_EQ(ScreenLines(brief), shortForm);
}

}  // namespace
}  // namespace torvex
