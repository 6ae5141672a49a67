// The room key's reading of "room/map" texts, the three room screens cell by
// cell, and the room browser's jumps, macros, searches, raw dump and walks over
// a real room file, with the walk replaced by one the test controls.
#include "browsers/room_browser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "console/keys.h"
#include "platform/btrieve/bytes.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

RoomRecord Room(uint32_t map, uint32_t room, const std::string& title = "") {
  RoomRecord r;
  r.setMapNumber(map);
  r.setRoomNumber(room);
  r.setTitle(title.empty() ? "room " + std::to_string(room) + " of map " + std::to_string(map)
                           : title);
  return r;
}

TEST(RoomKeyTest, TextsNameRoomThenMapAndKeepWhatTheyLeaveOut) {
  const RecordKey key = RoomKey();
  EXPECT_EQ(key.prompt, RecordKey::Prompt::kText);
  EXPECT_EQ(key.promptLength, 22);
  const RoomRecord shown = Room(2, 7);
  const struct {
    const char* text;
    uint32_t map, room;
    int16_t status;
  } cases[] = {{"12", 2, 12, 0},
               {"12/3", 3, 12, 0},
               {"x/3", 3, 7, 0},
               {"12/x", 2, 12, 0},
               {"/", 2, 7, 0},
               {"12/3/4", 2, 12, 0},
               {"4294967295/1", 1, 4294967295u, 0},
               {"4294967296", 0, 0, 4},
               {"-1/3", 0, 0, 4},
               {"5/-2", 0, 0, 4}};
  for (const auto& c : cases) {
    const std::optional<KeyTarget> target = key.TargetFor(c.text, shown.bytes());
    ASSERT_TRUE(target) << c.text;
    EXPECT_EQ(target->status, c.status) << c.text;
    if (c.status != 0) continue;
    ASSERT_EQ(target->key.size(), 8u) << c.text;
    EXPECT_EQ(btrieve::LoadU32(target->key.data()), c.map) << c.text;
    EXPECT_EQ(btrieve::LoadU32(target->key.data() + 4), c.room) << c.text;
  }
  EXPECT_FALSE(key.TargetFor("", shown.bytes()));
  EXPECT_EQ(key.macroText(shown.bytes()), "7/2");
  EXPECT_EQ(key.macroText(Room(1, 4000000000u).bytes()), "4000000000/1");
}

class RoomTest : public BrowserTest {
 protected:
  // What Ctrl+S runs: remembers where each walk started and ends it at `end`.
  WalkFunction FakeWalk() {
    return [this](Console&, uint32_t& map, uint32_t& room) {
      walks.emplace_back(room, map);
      map = end.second;
      room = end.first;
    };
  }
  // The browser over the scripted keys and a final q; returns "room/map" as
  // the screen shows them last.
  std::string Run() {
    Keys("q");
    RunRoomBrowser(hc.console, FakeWalk());
    EXPECT_EQ(hc.display.PendingKeys(), 0u) << "the browser left before the script ended";
    return Shown();
  }
  std::string Shown() const { return Word(64, 2) + "/" + Word(18, 2); }
  std::string Word(int column, int row) const {
    const std::string text = At(column, row, 12);
    return text.substr(0, text.find(' '));
  }
  void Jump(std::string_view text) {
    Keys("G");
    Vk('X', kCtrl);  // the prompt offers the last text typed
    Keys(text);
    Keys("\r");
  }
  void Search(int option, std::string_view answer) {
    Keys("S");
    for (int i = 0; i < option; ++i) Vk(vk::kDown);
    Keys("\r");
    Vk('X', kCtrl);
    Keys(answer);
    Keys("\r");
  }

  // (room, map) of each walk's start, and where walks end.
  std::vector<std::pair<uint32_t, uint32_t>> walks;
  std::pair<uint32_t, uint32_t> end{0, 0};
};

// In key order: room 5 of map 1, 7/2, 7/3, 12/2, 12/3.
class RoomFileTest : public RoomTest {
 protected:
  void SetUp() override {
    RoomTest::SetUp();
    RoomRecord b = Room(2, 7), c = Room(3, 7), d = Room(2, 12, "Dark Cave"), e = Room(3, 12);
    b.setPlacedItems(9, 77);
    b.setMonsterGroup(6);
    b.setMinIndex(2);
    b.setMaxIndex(4);
    b.setPermNPC(300);
    c.setItems(0, 88);
    c.setMonsterGroup(6);
    c.setMaxIndex(1);
    c.setShopNumber(4);
    c.setCommandText(900);
    d.setHiddenItems(14, 99);
    d.setPermNPCByNumber(41);
    e.setMonsterGroup(7);
    MakeFile(kRoomFile, {Bytes(d), Bytes(Room(1, 5)), Bytes(e), Bytes(b), Bytes(c)});
  }
};

TEST_F(RoomFileTest, JumpTextsKeepThePartTheyLeaveOut) {
  const struct {
    const char* text;
    const char* shown;
    bool error;
  } cases[] = {{"12", "12/2", false}, {"12/3", "12/3", false}, {"x/3", "7/3", false},
               {"7/x", "7/2", false}, {"9/2", "7/2", true},    {"99999999999", "7/2", true}};
  for (const auto& c : cases) {
    const int errors = WindowsTitled("Error");
    Jump("7/2");
    Jump(c.text);
    if (c.error) Keys(" ");  // closes the error box
    EXPECT_EQ(Run(), c.shown) << c.text;
    EXPECT_EQ(WindowsTitled("Error") - errors, c.error ? 1 : 0) << c.text;
  }
  EXPECT_TRUE(EverShown("[Goto Room]"));
}

TEST_F(RoomFileTest, MacrosStoreRoomThenMapAndJumpBackThere) {
  Jump("7/2");
  Vk(vk::kF1 + 1, kCtrl);
  Keys("L");
  Vk(vk::kF1 + 1);
  EXPECT_EQ(Run(), "7/2");
  auto& macros = CurrentSettings().macros[static_cast<size_t>(MacroKind::kRoom)];
  EXPECT_EQ(macros[1], "7/2");

  macros[2] = "12";  // a slot without a map keeps the map shown
  Jump("7/3");
  Vk(vk::kF1 + 2);
  EXPECT_EQ(Run(), "12/3");
}

TEST_F(RoomFileTest, RawDumpNamesTheMapFirst) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  Vk('E', kCtrl);
  EXPECT_EQ(Run(), "5/1");
  EXPECT_EQ(std::filesystem::file_size(work.File("rawmp001nt-1.5.bin")), RoomRecord::kDiskLength);
  EXPECT_FALSE(std::filesystem::exists(work.File("rawmp001nt-5.1.bin")));
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Room : room 5 of map 1 (5/1)");
}

TEST_F(RoomFileTest, EachSearchFindsTheNextMatchOrSaysWhatWasNotFound) {
  // Options: 0 title, 1 placed monster, 2 group/index, 3 by number monster,
  // 4 item, 5 command text, 6 shop.
  const struct {
    int option;
    const char* answer;
    const char* shown;
    const char* notFound;  // part of one line of the wrapped "No Results" window
  } cases[] = {{0, "cave", "12/2", nullptr},
               {1, "300", "7/2", nullptr},
               {2, "6", "7/2", nullptr},
               {2, "6/3", "7/2", nullptr},
               {2, "6/1", "7/3", nullptr},  // 7/2 regenerates indices 2..4 only
               {2, "7", "12/3", nullptr},
               {3, "41", "12/2", nullptr},
               {4, "77", "7/2", nullptr},  // listed only among placed items
               {4, "88", "7/3", nullptr},
               {4, "99", "12/2", nullptr},
               {5, "900", "7/3", nullptr},
               {6, "4", "7/3", nullptr},
               {2, "0/1", "5/1", nullptr},  // no group: nothing asked
               {2, "x", "5/1", nullptr},
               {1, "0", "5/1", nullptr},
               {0, "zzz", "5/1", "title search query"},
               {2, "6/9", "5/1", "\"6/9\","},
               {2, "7/1", "5/1", "\"7/1\","},
               {4, "78", "5/1", "item search query, \"78\""},
               {3, "42", "5/1", "by number monster search"}};
  for (const auto& c : cases) {
    const int windows = WindowsTitled("No Results");
    Search(c.option, c.answer);
    if (c.notFound) Keys(" ");
    EXPECT_EQ(Run(), c.shown) << c.option << " " << c.answer;
    EXPECT_EQ(WindowsTitled("No Results") - windows, c.notFound ? 1 : 0) << c.answer;
    if (c.notFound) {
      EXPECT_TRUE(EverShown(c.notFound)) << c.answer;
    }
  }
}

TEST_F(RoomFileTest, WalksEndWhereTheWalkEndedInEveryView) {
  const struct {
    const char* view;  // keys that open a viewer first, if any
    std::pair<uint32_t, uint32_t> end;
    const char* shown;
    bool error;
  } cases[] = {{"", {12, 3}, "12/3", false},
               {"", {9, 9}, "5/1", true},  // not in the file: reported, the room stays
               {"E", {7, 2}, "7/2", false},
               {"M", {12, 2}, "12/2", false}};
  for (const auto& c : cases) {
    walks.clear();
    const int errors = WindowsTitled("Error");
    end = c.end;
    Keys(c.view);
    Vk('S', kCtrl);
    if (c.error) Keys(" ");
    if (*c.view) Keys("q");  // back to the main screen
    EXPECT_EQ(Run(), c.shown) << c.view << " " << c.shown;
    ASSERT_EQ(walks.size(), 1u) << c.view;
    EXPECT_EQ(walks[0], std::make_pair(5u, 1u));
    EXPECT_EQ(WindowsTitled("Error") - errors, c.error ? 1 : 0) << c.shown;
  }
}

TEST_F(RoomFileTest, TheRoomWalkerStartWalksFromTheFirstRoom) {
  end = {12, 2};
  RunRoomWalkerStart(hc.console, FakeWalk());
  ASSERT_EQ(walks.size(), 1u);
  EXPECT_EQ(walks[0], std::make_pair(5u, 1u));

  RemoveFile(kRoomFile);
  walks.clear();
  Keys(" ");
  RunRoomWalkerStart(hc.console, FakeWalk());
  EXPECT_TRUE(walks.empty());
  EXPECT_EQ(WindowsTitled("Error"), 1);
  EXPECT_EQ(hc.display.PendingKeys(), 0u);
}

TEST_F(RoomFileTest, ViewersHaveTheirOwnHelpAndNoMainKeys) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  Keys("E>?\r");
  Vk('E', kCtrl);          // no raw dump,
  Vk(vk::kF1 + 1, kCtrl);  // nor macros there
  Keys("M");               // nor M
  Search(3, "99");         // the fourth option there is the item search
  Keys("q");
  EXPECT_EQ(Run(), "12/2");
  EXPECT_TRUE(EverShown("  Q    Exit the extended room viewer"));
  EXPECT_TRUE(EverShown("[Room Items]"));
  EXPECT_FALSE(EverShown("[Room Monsters]"));
  EXPECT_FALSE(std::filesystem::exists(work.File("rawmp001nt-2.7.bin")));
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kRoom)][1], "");
}

TEST_F(RoomTest, MainScreenCellByCell) {
  SpellRecord trap;
  trap.setNumber(9);
  trap.setName("Poison Cloud");
  MakeFile(kSpellFile, {Bytes(trap)});
  RoomRecord r = Room(3, 4000000000u, "Hall of Echoes");
  r.setDescription(0, "A long hall.");
  r.setDescription(6, "Its end.");
  r.setExitRoom(0, 12);
  r.setExitType(0, 2);  // key
  r.setExitParameter1(0, 4294967295u);
  r.setExitParameter2(0, 65535);  // shown signed
  r.setExitParameter3(9, 7);
  r.setExitParameter4(9, 8);
  r.setExitType(9, 99);
  r.setRoomType(1);
  r.setShopNumber(4);
  r.setAnsiMap("CAVEMAP");
  r.setLight(-3);
  r.setRoomSpell(0x00050009);  // the spell is the low 16 bits
  r.setFailPickSpell(9);
  r.setAttributes(0x81);  // NoPVP and Bit8
  r.setMonsterGroup(6);
  r.setMaxIndex(4);
  r.setLastKill((13 << 11) | (5 << 5) | 29);
  ShowRoomDetail(hc.console, r.bytes());
  ExpectCells({{18, 2, "3 ", 15},
               {64, 2, "4000000000 ", 15},
               {18, 3, "Hall of Echoes "},
               {3, 6, "A long hall. "},
               {3, 12, "Its end. "},
               {6, 15, "North     : 12          key    4294967295  -1      0           0"},
               {18, 24, "0           exitty 0           0       7           8"},
               {18, 26, "shop                       (1) "},
               {18, 27, "CAVEMAP "},
               {64, 27, "-3 "},
               {18, 29, "327689(Poison Cloud          ) "},
               {18, 31, "9     (Poison Cloud          ) "},
               {19, 32, "NoPVP", 7},
               {34, 32, "Patrollable", 8},
               {64, 33, "Bit8", 7},
               {19, 33, "Purge", 8},
               {18, 35, "6 "},
               {18, 36, "4 "},
               {18, 39, "01:05:58 PM"}});
  EXPECT_EQ(hc.console.WhereX(), 3);
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdge(39, {5, 13, 25, 34});
}

TEST_F(RoomTest, ItemsAndMonstersScreensNameWhatTheyList) {
  MakeItems({Item(5, "Club")});
  ActiveMonsterRecord rat;
  rat.setNumber(30);
  rat.setName("Giant Rat");
  MakeFile(kActiveMonsterFile, {Bytes(rat)});
  RoomRecord r = Room(1, 2);
  r.setPlacedItems(0, 5);
  r.setPlacedItems(1, 404);
  r.setHiddenItems(0, 5);
  r.setHiddenItemQuantity(0, 3);
  r.setHiddenItemUses(0, -1);
  r.setItems(16, 404);
  r.setItemQuantity(16, 65535);
  r.setActiveMonsters(0, 30);
  r.setActiveMonsters(14, 31);
  ShowRoomItems(hc.console, r.bytes());
  ExpectCells({{18, 5, "5           Club "},
               {18, 6, "404         <invalid item> ", 15},
               {30, 6, "<", 8},
               {31, 6, "invalid item", 7},
               {18, 7, "0                                          "},
               {18, 16, "5           Club"},
               {61, 16, "3         -1 "},
               {61, 17, "0         0 "},
               {18, 47, "404         <invalid item>"},
               {61, 47, "65535"},
               {18, 3, "room 2 of map 1"}});
  ExpectRightEdge(47, {4, 15});
  EXPECT_EQ(hc.console.WhereY(), 49);

  ShowRoomMonsters(hc.console, r.bytes());
  ExpectCells({{18, 5, "30          Giant Rat "},
               {18, 19, "31                                          "},
               {18, 6, "0 "},
               {64, 2, "2 "}});
  ExpectRightEdge(19, {4});
}

TEST_F(RoomTest, ShortAndGarbageRecordsStayInsideTheFrame) {
  ShowRoomDetail(hc.console, std::vector<uint8_t>{});
  ExpectCells({{18, 2, "0 "}, {18, 26, "normal"}, {18, 39, "00:00:00 AM"}});
  const std::vector<uint8_t> garbage(RoomRecord::kDiskLength, 0xFF);
  ShowRoomDetail(hc.console, garbage);
  ExpectCells({{18, 3, std::string(53, '\xFF')},
               {3, 6, std::string(71, '\xFF')},
               {30, 15, "exitty"},
               {18, 26, "roomtype--1            (65535)"},
               {18, 39, "11:59:59 PM"}});
  ExpectRightEdge(39, {5, 13, 25, 34});
  ShowRoomItems(hc.console, garbage);
  ExpectCells({{61, 16, "65535     -1 "}});
  ExpectRightEdge(47, {4, 15});
  ShowRoomMonsters(hc.console, garbage);
  ExpectRightEdge(19, {4});
}

}  // namespace
}  // namespace torvex::testing
