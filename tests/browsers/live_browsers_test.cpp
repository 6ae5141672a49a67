// The gang, item-owner and active-monster screens cell by cell for a few
// telling records, their formulas at the edges, and each browser's own keys
// and searches over real record files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "browsers/active_monster_browser.h"
#include "browsers/gang_browser.h"
#include "browsers/item_owner_browser.h"
#include "database/records/enumerations.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

namespace fs = std::filesystem;

// A run of cells expected on screen; fg < 0: its colour is not checked.
struct Cell {
  int column, row;
  std::string text;
  int fg = -1;
};

std::string Pad(const std::string& text, size_t width) {
  return text + std::string(width - std::min(width, text.size()), ' ');
}

// Records built for a test, their fields laid out as a table.
template <typename Record>
Record Named(uint32_t number, const std::string& name) {
  Record r;
  r.setNumber(number);
  r.setName(name);
  return r;
}
RoomRecord Room(uint32_t map, uint32_t room, const std::string& title) {
  RoomRecord r;
  r.setMapNumber(map);
  r.setRoomNumber(room);
  r.setTitle(title);
  return r;
}
GangRecord Gang(const std::string& id) {
  GangRecord r;
  r.setGangID(id);
  return r;
}
ItemOwnerRecord Owner(uint32_t number, uint32_t item, OwnerType type, const std::string& name = "",
                      uint32_t map = 0, uint32_t room = 0, uint32_t active = 0) {
  ItemOwnerRecord r;
  r.setNumber(number);
  r.setItemNumber(item);
  r.setOwnerName(name);
  r.setOwnerType(static_cast<uint8_t>(type));
  r.setMapNumber(map);
  r.setRoomNumber(room);
  r.setActiveMonster(active);
  return r;
}

class LiveTest : public BrowserTest {
 protected:
  btrieve::testing::TempDir work;  // the working directory, where raw dumps go
  InTempDirectory in{work.path()};
  int Fg(int column, int row) const { return hc.Attr(column, row) & 0x0F; }
  void Expect(const std::vector<Cell>& cells, const std::string& record) const {
    for (const Cell& c : cells) {
      EXPECT_EQ(hc.Text(c.column, c.row, static_cast<int>(c.text.size())), c.text)
          << record << ": column " << c.column << " row " << c.row;
      EXPECT_EQ(c.fg < 0 ? -1 : Fg(c.column, c.row), c.fg) << record << ": row " << c.row;
    }
  }
  // Nothing written ran over the frame's right edge (│, or ┤ on a section
  // row) on rows 2..last, and the cursor waits on the command row.
  void ExpectFrameKept(int last) const {
    for (int row = 2; row <= last; ++row) {
      const int edge = hc.console.CellAt(79, row - 1).ch;
      EXPECT_TRUE(edge == 0xB3 || edge == 0xB4) << "row " << row << ": " << edge;
    }
    EXPECT_EQ(hc.console.WhereX(), 3);
    EXPECT_EQ(hc.console.WhereY(), 49);
  }
  void ExpectShown(const std::vector<std::string>& texts) const {
    for (const std::string& text : texts) EXPECT_TRUE(EverShown(text)) << text;
  }
  template <typename Record>
  void Make(DatabaseFile kind, const std::vector<Record>& records) {
    std::vector<std::vector<uint8_t>> bytes;
    for (const Record& r : records) bytes.push_back(Bytes(r));
    MakeFile(kind, bytes);
  }
  // Answers a text prompt, clearing the last text it offers first.
  void Answer(const std::string& text) {
    Vk('X', kCtrl);
    Keys(text + "\r");
  }
  // S, the search at `option` of the browser's list, and its text.
  void Search(int option, const std::string& text) {
    Keys("S");
    for (int i = 0; i < option; ++i) Vk(vk::kDown);
    Keys("\r");
    Answer(text);
  }
  // Runs the browser over the scripted keys and a final q; returns the ID or
  // number its screen shows last.
  std::string Run(void (*browser)(Console&)) {
    Keys("q");
    browser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u) << "the browser left before the script ended";
    const std::string first = hc.Text(18, 2, 21);
    return first.substr(0, first.find(' '));
  }
};

TEST(StringKeyTest, TypedTextIsTheZeroPaddedKeyAndTheRecordsKeyItsMacroText) {
  const RecordKey key = StringKey(4);
  EXPECT_EQ(key.prompt, RecordKey::Prompt::kText);
  EXPECT_EQ(key.promptLength, 4);
  EXPECT_FALSE(key.target(""));
  const std::pair<std::string, std::string> typed[] = {
      {"ab", std::string("ab\0\0", 4)}, {"a b", std::string("a b\0", 4)}, {"abcdef", "abcd"}};
  for (const auto& [text, wanted] : typed) {
    const std::optional<KeyTarget> target = key.target(text);
    ASSERT_TRUE(target) << text;
    EXPECT_EQ(target->status, 0);
    EXPECT_EQ(std::string(target->key.begin(), target->key.end()), wanted) << text;
  }
  EXPECT_EQ(key.macroText(std::vector<uint8_t>{'a', 'b', 0, 'z', 'q'}), "ab");
  EXPECT_EQ(key.macroText(std::vector<uint8_t>{'a', 'b', 'c', 'd', 'e'}), "abcd");  // cut
  EXPECT_EQ(key.macroText(std::vector<uint8_t>{'a'}), "a");
}

TEST(LiveFormulaTest, GangTotalExpAndRawDumpName) {
  const struct {
    uint8_t flags;
    uint16_t rollCount;
    uint32_t exp, extraExp;
    unsigned __int128 total;
  } gangs[] = {
      {0x08, 1, 5, 10, 4294967310u},
      {0x00, 1, 5, 10, 5},
      {0x08, 0, 5, 10, 15},
      {0xF7, 9, 5, 10, 5},                                      // every flag but RolledOver
      {0x08, 65535, 0xFFFFFFFF, 0xFFFFFFFF, 281479271612415u},  // every field at its limit
      {0x00, 65535, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFFu},
  };
  for (const auto& c : gangs) {
    EXPECT_TRUE(GangTotalExp(c.flags, c.rollCount, c.exp, c.extraExp) == c.total)
        << "flags " << int{c.flags} << " rolls " << c.rollCount;
  }
  // The dump's name: the ID can name no other place.
  const std::pair<std::string, std::string> ids[] = {
      {"Blue-Moon_2", "Blue-Moon_2"}, {"../etc/x", "___etc_x"}, {"a b*\xE9", "a_b__"}, {"", ""}};
  for (const auto& [id, name] : ids) {
    EXPECT_EQ(GangRawDumpName(Gang(id).bytes()), "rawgangsnt-" + name + ".bin") << id;
  }
  const std::vector<uint8_t> unterminated(30, 'Z');  // the ID field's 20 bytes and no more
  EXPECT_EQ(GangRawDumpName(unterminated), "rawgangsnt-" + std::string(20, 'Z') + ".bin");
}

TEST_F(LiveTest, GangScreen) {
  GangRecord gang = Gang("wolves");
  gang.setName("The Wolves");
  gang.setLeader("Grim");
  gang.setMembers(7);
  gang.setFlags(0x08);
  gang.setCreated(static_cast<uint16_t>((44 << 9) | (7 << 5) | 4));
  gang.setExp(5);
  gang.setRollCount(1);
  gang.setExtraExp(10);
  ShowGangDetail(hc.console, gang.bytes());
  Expect({{18, 2, "wolves ", 15},
          {18, 3, "The Wolves "},
          {64, 3, "7 "},
          {18, 4, "Grim "},
          {18, 7, "JUL-04-2024 "},
          {18, 8, "5 "},
          {64, 8, "1 "},
          {18, 9, "10 "},
          {18, 10, "4,294,967,310 ", 15}},
         "wolves");
  ExpectFrameKept(10);
  EXPECT_EQ(GangBrowserDescription().windowTitle(gang.bytes()), "TORVEXNT - Gang : The Wolves");

  // Each set flag lights its own label only, the brackets stay dark; only
  // RolledOver adds the rolls to the total.
  const int labels[] = {19, 24, 29, 41, 54, 59, 64, 69};
  for (int bit = 0; bit < 8; ++bit) {
    gang.setFlags(static_cast<uint8_t>(1 << bit));
    ShowGangDetail(hc.console, gang.bytes());
    for (int other = 0; other < 8; ++other) {
      EXPECT_EQ(Fg(labels[other], 6), other == bit ? 9 : 7) << "bit " << bit << " label " << other;
    }
    EXPECT_EQ(Fg(labels[bit] - 1, 6), 8) << "bit " << bit;
    EXPECT_EQ(hc.Text(18, 10, 2), bit == 3 ? "4," : "5 ") << "bit " << bit;
  }

  // Texts without their zeros, a control byte, every number at its limit.
  std::vector<uint8_t> bytes(GangRecord::kSize, 0);
  std::fill_n(bytes.begin(), 40, 'I');       // ID and name
  std::fill_n(bytes.begin() + 44, 30, 'L');  // leader
  bytes[45] = '\n';                          // shows, does not act
  GangRecord hostile(bytes);
  hostile.setFlags(0xFF);
  hostile.setMembers(65535);
  hostile.setRollCount(65535);
  hostile.setExp(0xFFFFFFFF);
  hostile.setExtraExp(0xFFFFFFFF);
  ShowGangDetail(hc.console, hostile.bytes());
  Expect({{18, 2, std::string(20, 'I') + " "},
          {18, 3, std::string(20, 'I') + " "},
          {18, 4, "L\n" + std::string(28, 'L') + " "},
          {64, 3, "65535 "},
          {18, 7, "JAN-01-1980 "},
          {18, 8, "4,294,967,295 "},
          {64, 8, "65,535 "},
          {18, 10, "281,479,271,612,415 "}},
         "hostile");
  for (int column : labels) EXPECT_EQ(Fg(column, 6), 9) << column;
  ExpectFrameKept(10);
}

TEST_F(LiveTest, GangBrowserKeys) {
  fs::create_directory(work.path() + "/inner");
  InTempDirectory inner(work.path() + "/inner");
  Make(kGangFile, std::vector{Gang("../up"), Gang("beta"), Gang("gamma")});
  Vk('E', kCtrl);     // the first gang's raw dump
  Keys("Ggamma\r<");  // G jumps by ID; "<" then shows beta
  Keys("SG");         // no search: S ignored
  Answer("");         // empty: nothing
  Keys("G");
  Answer("zeta");  // missing: reported, the record kept
  Keys(" ? ");
  EXPECT_EQ(Run(RunGangBrowser), "beta");
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Gang : <unnamed>");
  ExpectShown({"[Goto Gang]", "Enter a gang ID to jump to:", "Status: 4 ", "[Gangs Help]",
               "G    Go to a specific gang"});
  EXPECT_FALSE(EverShown("Select how you would like to search:"));
  // The ID's "/" and ".." name no other place than the working directory.
  EXPECT_EQ(fs::file_size(work.path() + "/inner/rawgangsnt-___up.bin"), GangRecord::kDiskLength);
  EXPECT_EQ(std::distance(fs::directory_iterator(work.path()), {}), 1);
}

TEST_F(LiveTest, ItemOwnerScreen) {
  MakeItems({Item(42, "Long Sword"), Item(1, std::string(40, 'S'))});
  Make(kRoomFile, std::vector{Room(2, 3, "Great Hall")});
  Make(kActiveMonsterFile, std::vector{Named<ActiveMonsterRecord>(5, "Orc")});
  const struct {
    ItemOwnerRecord owner;
    std::string type, location;
  } cases[] = {
      {Owner(1, 1, OwnerType::kRoom, "stale", 0, 3), "room", "0/3"},  // map 0: no title
      {Owner(1, 1, OwnerType::kRoom, "", 2, 0), "room", "2/0"},
      {Owner(1, 1, OwnerType::kRoom, "", 7, 7), "room", "7/7 ()"},  // no such room
      {Owner(1, 1, OwnerType::kRoom, "", 4294967295u, 1), "room", "4294967295/1 ()"},
      {Owner(1, 1, OwnerType::kUser, "Alice", 2), "user", "Alice"},
      {Owner(1, 1, OwnerType::kMonster, "", 0, 0, 5), "monster", "5 (Orc)"},
      {Owner(1, 1, OwnerType::kMonster, "", 0, 0, 0x10005), "monster",
       "65541 (Orc)"},  // low 16 bits
      {Owner(1, 1, OwnerType::kMonster), "monster", "0"},
      {Owner(1, 1, OwnerType{7}, "Alice", 2), "ownertype-7", ""},  // no name shown
      {Owner(9, 42, OwnerType::kRoom, "", 2, 3), "room", "2/3 (Great Hall)"},
  };
  for (const auto& c : cases) {
    ShowItemOwnerDetail(hc.console, c.owner.bytes());
    Expect({{18, 6, Pad(c.location, 40)}, {64, 3, c.type + " "}}, c.type + " " + c.location);
  }
  Expect({{18, 2, "9 "},
          {18, 3, "42 "},
          {18, 4, "(", 8},
          {19, 4, Pad("Long Sword", 28) + ")", 15},
          {18, 6, "2/3", 15},
          {22, 6, "(", 8},
          {23, 6, "Great Hall", 15},
          {33, 6, ")", 8}},
         "hall");
  ExpectFrameKept(6);
  EXPECT_EQ(ItemOwnerBrowserDescription().windowTitle(Owner(3, 6, OwnerType::kUser, "Bo").bytes()),
            "TORVEXNT - ItemOwner : Bo (3)");

  // The owner name and the bytes behind it without a zero; a type outside every table.
  std::vector<uint8_t> bytes = Bytes(Owner(0xFFFFFFFF, 1, OwnerType::kUser));
  std::fill_n(bytes.begin() + 20, 32, 'U');
  ItemOwnerRecord hostile(bytes);
  ShowItemOwnerDetail(hc.console, hostile.bytes());
  Expect({{18, 2, "4294967295 "},
          {18, 4, "(" + std::string(28, 'S') + ")"},
          {18, 6, std::string(30, 'U') + " "}},
         "hostile");
  hostile.setOwnerType(255);
  ShowItemOwnerDetail(hc.console, hostile.bytes());
  Expect({{64, 3, "ownertype--1    "}}, "type 255");
  ExpectFrameKept(6);
}

TEST_F(LiveTest, ItemOwnerBrowserKeys) {
  Make(kItemOwnerFile,
       std::vector{Owner(1, 5, OwnerType::kUser, "alice"),
                   Owner(2, 6, OwnerType::kRoom, "Bob"),  // not a holder
                   Owner(3, 6, OwnerType::kUser, "BOBBY"), Owner(17, 5, OwnerType::kRoom)});
  Search(1, "bob");  // by user name: 3, not the room's stale name
  Vk('E', kCtrl);
  Keys("F");
  Search(0, "6");  // by item: 2
  Vk('E', kCtrl);
  Search(0, "99");  // none: the message
  Keys(" ? ");
  Vk('S', kCtrl);  // no simulator: nothing
  Keys("EG");      // no extended view: nothing
  Answer("17");
  EXPECT_EQ(Run(RunItemOwnerBrowser), "17");
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - ItemOwner : <unnamed> (17)");
  EXPECT_EQ(fs::file_size(work.File("rawitemownernt-3.bin")), ItemOwnerRecord::kDiskLength);
  EXPECT_EQ(fs::file_size(work.File("rawitemownernt-2.bin")), ItemOwnerRecord::kDiskLength);
  ExpectShown({"[Search Items Owners]", " sensetive): ", "Enter item number to search for:",
               "No records matching your item search query, \"99\", were ", "[Goto Item Owner]",
               "[Items Help]", "S    Search for a specific item owner"});
}

TEST_F(LiveTest, ActiveMonsterScreen) {
  MakeItems({Item(42, "Club")});
  Make(kSpellFile, std::vector{Named<SpellRecord>(5, "Blast")});
  Make(kRoomFile, std::vector{Room(2, 3, "Lair"), Room(2, 4, "Tunnel"), Room(2, 9, "Pit")});
  Make(kActiveMonsterFile, std::vector{Named<ActiveMonsterRecord>(6, "Goblin")});
  auto m = Named<ActiveMonsterRecord>(5, "Cave Troll");
  m.setKnownNumber(12);
  m.setExpMultiplier(100000);
  m.setExp(100000);
  m.setHitPoints(-3);
  m.setMaxHitPoints(80);
  m.setMovementType(2);
  m.setAlignment(4);
  m.setWeaponItem(42);
  m.setFollowing("Gandalf");
  m.setFriend(1);
  m.setCreated(static_cast<uint16_t>((13 << 11) | (5 << 5) | 5));  // 13:05:10
  m.setMonsterNumber(0x10006);                                     // its low 16 bits name it
  m.setActiveSpells(0, 5);
  m.setActiveSpellValues(0, -20);
  m.setActiveSpellRounds(0, 3);
  m.setDropItems(0, 42);
  m.setDropUses(0, 2);
  m.setDropItems(9, 99);
  m.setDropUses(9, -1);  // no such item
  m.setGold(333);
  m.setCopper(4294967295u);
  m.setMapNumber(2);
  m.setSpawnRoom(3);
  m.setCurrentRoom(4);
  m.setTracks(0, 3);
  m.setTracks(2, 9);
  m.setTracks(5, 4);  // zeros between
  ShowActiveMonsterDetail(hc.console, m.bytes());
  Expect({{18, 2, "5 ", 15},
          {64, 2, "12 "},
          {18, 3, "Cave Troll "},
          {64, 3, "10000000000 "},
          {18, 5, "-3/80 "},
          {64, 7, "follower "},
          {64, 8, "lawful-good ", 7},
          {18, 9, Pad("Club", 26) + "(42) "},
          {18, 12, "Gandalf "},
          {31, 12, "Friend", 9},
          {64, 12, "01:05:10 PM "},
          {18, 13, "65542  Goblin "},
          {18, 17, "5     " + Pad("Blast", 30) + " -20     3 "},
          {18, 18, "0     " + std::string(31, ' ') + "0       0 "},
          {18, 23, Pad("42", 14) + Pad("Club", 33) + "  (2", 15},
          {69, 23, ") ", 8},
          {18, 32, Pad("99", 14) + Pad("", 33) + "  (-1) "},
          {69, 33, "333 "},
          {50, 34, "4294967295 "},
          {18, 36, Pad("3/2", 14) + Pad("Lair", 47)},
          {18, 37, Pad("4/2", 14) + "Tunnel "},
          {18, 38, Pad("3/2", 14) + "Lair "},
          {18, 39, Pad("9/2", 14) + "Pit "},
          {18, 40, Pad("4/2", 14) + "Tunnel "},
          {18, 41, "      "}},
         "troll");
  ExpectFrameKept(49);
  for (size_t i : {0, 2, 5}) m.setTracks(i, 0);
  m.setFriend(0);
  ShowActiveMonsterDetail(hc.console, m.bytes());
  Expect({{18, 38, "None "}, {18, 39, "     "}, {31, 12, "Friend", 7}}, "no tracks");

  // Texts without their zeros, codes outside every table, every number at
  // its limit: the largest Exp ends at the frame, ten tracks end on row 47.
  std::vector<uint8_t> bytes(ActiveMonsterRecord::kSize, 0xFF);
  std::fill_n(bytes.begin() + 142, 30, 'N');  // name
  std::fill_n(bytes.begin() + 26, 11, 'F');   // following
  ActiveMonsterRecord hostile(bytes);
  hostile.setMovementType(200);
  hostile.setAlignment(999);
  ShowActiveMonsterDetail(hc.console, hostile.bytes());
  Expect({{18, 2, "4294967295 "},
          {18, 3, std::string(30, 'N') + " "},
          {51, 3, "Exp"},
          {60, 3, "18446744065119617025"},
          {64, 7, "movementtype--56"},
          {64, 8, "alignmenttype-99"},
          {18, 12, std::string(11, 'F') + " "},
          {64, 12, "11:59:59 PM "},  // 31 hours, 63 minutes, 62 seconds capped
          {18, 13, "4294967295 "},
          {2, 48, "\xC4\xC4[Command]"}},
         "hostile");
  for (int row = 38; row <= 47; ++row) Expect({{18, row, "4294967295/4294967295 "}}, "tracks");
  ExpectFrameKept(49);
}

TEST_F(LiveTest, ActiveMonsterBrowserKeys) {
  auto orc = Named<ActiveMonsterRecord>(2, "Orc Chief");
  orc.setDropItems(9, 77);
  Make(kActiveMonsterFile, std::vector{Named<ActiveMonsterRecord>(1, "Rat"), orc,
                                       Named<ActiveMonsterRecord>(3, "orc grunt"),
                                       Named<ActiveMonsterRecord>(5, "Bat")});
  Search(0, "ORC");
  Search(0, "orc");  // by name, not case sensetive: 2, then 3
  Vk('E', kCtrl);
  Keys("F");
  Search(1, "77");  // by dropped item: 2
  Vk('E', kCtrl);
  Search(1, "78");  // none: the message
  Keys(" ? G");
  Answer("5");
  Vk(vk::kF1, kCtrl);  // no macros: nothing stored
  EXPECT_EQ(Run(RunActiveMonsterBrowser), "5");
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Active : Bat (5)");
  EXPECT_EQ(fs::file_size(work.File("rawacmsrnt-3.bin")), ActiveMonsterRecord::kDiskLength);
  EXPECT_EQ(fs::file_size(work.File("rawacmsrnt-2.bin")), ActiveMonsterRecord::kDiskLength);
  ExpectShown({"[Search Monsters]", "Search for Dropped Item",
               "No records matching your item query, \"78\", were found.", "[Goto Active]",
               "[Monsters Help]", "Q    Exit the active monster viewer"});
  for (const auto& slots : CurrentSettings().macros) {
    for (const std::string& slot : slots) EXPECT_NE(slot, "5");
  }
}

}  // namespace
}  // namespace torvex::testing
