// The gang, item-owner and active-monster screens cell by cell for a few
// telling records, their formulas at the edges, and each browser's own keys
// and searches over real record files.
#include <gtest/gtest.h>

#include <algorithm>
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

struct CellCase {
  int column, row;
  std::string text;
};

// `text` padded with spaces to `width` columns.
std::string Pad(const std::string& text, size_t width) {
  return text + std::string(width - std::min(width, text.size()), ' ');
}

class LiveScreenTest : public BrowserTest {
 protected:
  std::string At(int column, int row, int length) const { return hc.Text(column, row, length); }
  int Fg(int column, int row) const { return hc.Attr(column, row) & 0x0F; }
  void ExpectCells(const std::vector<CellCase>& cases) const {
    for (const CellCase& c : cases) {
      EXPECT_EQ(At(c.column, c.row, static_cast<int>(c.text.size())), c.text)
          << "column " << c.column << " row " << c.row;
    }
  }
  // The frame's right edge on rows first..last, section rows excepted: nothing
  // written ran over it.
  void ExpectRightEdgeIntact(int first, int last, std::vector<int> tees = {}) const {
    for (int row = first; row <= last; ++row) {
      if (std::find(tees.begin(), tees.end(), row) != tees.end()) continue;
      EXPECT_EQ(hc.console.CellAt(79, row - 1).ch, 0xB3) << "row " << row;  // │
    }
  }
  void ExpectCursorOnCommandRow() const {
    EXPECT_EQ(hc.console.WhereX(), 3);
    EXPECT_EQ(hc.console.WhereY(), 49);
  }

  void MakeItemNamed(uint32_t number, const std::string& name) {
    items_.push_back(Item(number, name));
  }
  void MakeItemFile() { MakeItems(items_); }

  static ActiveMonsterRecord Active(uint32_t number, const std::string& name) {
    ActiveMonsterRecord monster;
    monster.setNumber(number);
    monster.setName(name);
    return monster;
  }
  static RoomRecord Room(uint32_t map, uint32_t room, const std::string& title) {
    RoomRecord record;
    record.setMapNumber(map);
    record.setRoomNumber(room);
    record.setTitle(title);
    return record;
  }

  std::vector<ItemRecord> items_;
};

// ---------------------------------------------------------------------------
// The text key the gang browser jumps with.

TEST(StringKeyTest, TypedTextBecomesTheZeroPaddedKey) {
  const RecordKey key = StringKey(20);
  EXPECT_EQ(key.prompt, RecordKey::Prompt::kText);
  EXPECT_EQ(key.promptLength, 20);
  const struct {
    std::string typed;
    std::string key;  // empty: no jump
  } cases[] = {
      {"abc", std::string("abc") + std::string(17, '\0')},
      {"", ""},
      {std::string(25, 'x'), std::string(20, 'x')},  // cut to the key's length
      {"a b", std::string("a b") + std::string(17, '\0')},
  };
  for (const auto& c : cases) {
    const std::optional<KeyTarget> target = key.target(c.typed);
    if (c.key.empty()) {
      EXPECT_FALSE(target) << c.typed;
      continue;
    }
    ASSERT_TRUE(target) << c.typed;
    EXPECT_EQ(target->status, 0);
    EXPECT_EQ(std::string(target->key.begin(), target->key.end()), c.key) << c.typed;
  }
}

TEST(StringKeyTest, MacroTextIsTheRecordsKeyText) {
  const RecordKey key = StringKey(4);
  const std::vector<uint8_t> terminated = {'a', 'b', 0, 'z', 'q'};
  const std::vector<uint8_t> unterminated = {'a', 'b', 'c', 'd', 'e'};
  const std::vector<uint8_t> shorter = {'a'};
  EXPECT_EQ(key.macroText(terminated), "ab");
  EXPECT_EQ(key.macroText(unterminated), "abcd");
  EXPECT_EQ(key.macroText(shorter), "a");
}

// ---------------------------------------------------------------------------
// Gangs.

TEST(GangTotalExpTest, RolledOverAddsEveryRollAndTheExtra) {
  const struct {
    uint8_t flags;
    uint16_t rollCount;
    uint32_t exp, extraExp;
    unsigned __int128 total;
  } cases[] = {
      {0x08, 1, 5, 10, 4294967310u},
      {0x00, 1, 5, 10, 5},
      {0xF7, 9, 5, 10, 5},  // every bit but RolledOver
      {0x08, 0, 5, 10, 15},
      {0x08, 65535, 0xFFFFFFFF, 0xFFFFFFFF, 281479271612415u},  // every field at its limit
      {0x00, 65535, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFFu},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(GangTotalExp(c.flags, c.rollCount, c.exp, c.extraExp) == c.total)
        << "flags " << int{c.flags} << " rolls " << c.rollCount;
  }
}

TEST(GangRawDumpNameTest, TheIdCanNameNoOtherPlace) {
  const struct {
    std::string id;
    std::string name;
  } cases[] = {
      {"G1", "rawgangsnt-G1.bin"},
      {"Blue-Moon_2", "rawgangsnt-Blue-Moon_2.bin"},
      {"../../etc/x", "rawgangsnt-______etc_x.bin"},
      {"/", "rawgangsnt-_.bin"},
      {"a b.c*", "rawgangsnt-a_b_c_.bin"},
      {"\xE9t\xE9", "rawgangsnt-_t_.bin"},
      {"", "rawgangsnt-.bin"},
  };
  for (const auto& c : cases) {
    GangRecord gang;
    gang.setGangID(c.id);
    EXPECT_EQ(GangRawDumpName(gang.bytes()), c.name) << c.id;
  }
  const std::vector<uint8_t> unterminated(30, 'Z');  // the ID field's 20 bytes and no more
  EXPECT_EQ(GangRawDumpName(unterminated), "rawgangsnt-" + std::string(20, 'Z') + ".bin");
}

class GangScreenTest : public LiveScreenTest {
 protected:
  static GangRecord Gang(const std::string& id, const std::string& name) {
    GangRecord gang;
    gang.setGangID(id);
    gang.setName(name);
    return gang;
  }
  void Show(const GangRecord& gang) { ShowGangDetail(hc.console, gang.bytes()); }
};

TEST_F(GangScreenTest, FieldsWhereTheyBelong) {
  GangRecord gang = Gang("wolves", "The Wolves");
  gang.setLeader("Grim");
  gang.setMembers(7);
  gang.setFlags(0x09);  // B1 and RolledOver
  gang.setCreated(0);
  gang.setExp(5);
  gang.setRollCount(1);
  gang.setExtraExp(10);
  Show(gang);
  ExpectCells({
      {18, 2, "wolves "},
      {18, 3, "The Wolves "},
      {64, 3, "7 "},
      {18, 4, "Grim "},
      {18, 6, "[B1] [B2] [Disbanded] [RolledOver] [B5] [B6] [B7] [B8] "},
      {18, 7, "JAN-01-1980 "},
      {18, 8, "5 "},
      {64, 8, "1 "},
      {18, 9, "10 "},
      {18, 10, "4,294,967,310 "},
      {2, 3, "(1) Name      :"},
      {51, 8, "Roll Count :"},
  });
  EXPECT_EQ(Fg(18, 2), 15);
  EXPECT_EQ(Fg(18, 10), 15);
  ExpectCursorOnCommandRow();
}

TEST_F(GangScreenTest, EachSetFlagLightsItsOwnLabel) {
  // The first column of each label, bit 0 first.
  const int labels[] = {19, 24, 29, 41, 54, 59, 64, 69};
  for (int bit = 0; bit < 8; ++bit) {
    GangRecord gang = Gang("g", "g");
    gang.setFlags(static_cast<uint8_t>(1 << bit));
    Show(gang);
    for (int other = 0; other < 8; ++other) {
      EXPECT_EQ(Fg(labels[other], 6), other == bit ? 9 : 7) << "bit " << bit << " label " << other;
    }
    EXPECT_EQ(Fg(labels[bit] - 1, 6), 8) << "the bracket stays";
  }
}

TEST_F(GangScreenTest, WithoutRolledOverTheTotalIsTheExp) {
  GangRecord gang = Gang("g", "g");
  gang.setExp(5);
  gang.setRollCount(1);
  gang.setExtraExp(10);
  Show(gang);
  EXPECT_EQ(At(18, 10, 2), "5 ");
}

TEST_F(GangScreenTest, DatesOfTheDosWord) {
  const struct {
    uint16_t word;
    const char* text;
  } cases[] = {
      {0, "JAN-01-1980 "},
      {static_cast<uint16_t>((44 << 9) | (7 << 5) | 4), "JUL-04-2024 "},
      {0xFFFF, "DEC-31-2107 "},  // month 15 read as 12
  };
  for (const auto& c : cases) {
    GangRecord gang = Gang("g", "g");
    gang.setCreated(c.word);
    Show(gang);
    EXPECT_EQ(At(18, 7, 12), c.text) << c.word;
  }
}

TEST_F(GangScreenTest, HostileRecordStaysInsideItsFields) {
  std::vector<uint8_t> bytes(GangRecord::kSize, 0);
  std::fill_n(bytes.begin(), 40, 'I');       // ID and name without their zeros
  std::fill_n(bytes.begin() + 44, 30, 'L');  // leader without its zero
  bytes[45] = '\n';                          // a control byte shows, it does not act
  GangRecord gang(bytes);
  gang.setFlags(0xFF);
  gang.setMembers(65535);
  gang.setExp(0xFFFFFFFF);
  gang.setExtraExp(0xFFFFFFFF);
  gang.setRollCount(65535);
  Show(gang);
  ExpectCells({
      {18, 2, std::string(20, 'I') + " "},
      {18, 3, std::string(20, 'I') + " "},
      {18, 4, "L\n" + std::string(28, 'L') + " "},
      {64, 3, "65535 "},
      {18, 8, "4,294,967,295 "},
      {64, 8, "65,535 "},
      {18, 10, "281,479,271,612,415 "},
  });
  for (int column : {19, 24, 29, 41, 54, 59, 64, 69}) EXPECT_EQ(Fg(column, 6), 9);
  ExpectRightEdgeIntact(2, 10, {5});
  EXPECT_EQ(At(1, 11, 1), "\xC0");  // └: the frame ends where it should
}

TEST_F(GangScreenTest, ZeroedRecord) {
  Show(GangRecord());
  ExpectCells({
      {18, 2, "  "},
      {64, 3, "0 "},
      {18, 7, "JAN-01-1980 "},
      {18, 8, "0 "},
      {18, 10, "0 "},
  });
  for (int column : {19, 24, 29, 41, 54, 59, 64, 69}) EXPECT_EQ(Fg(column, 6), 7);
  ExpectCursorOnCommandRow();
}

class GangBrowserTest : public GangScreenTest {
 protected:
  void MakeGangs(const std::vector<GangRecord>& gangs) {
    std::vector<std::vector<uint8_t>> records;
    for (const GangRecord& gang : gangs) records.push_back(Bytes(gang));
    MakeFile(kGangFile, records);
  }
  void Run() {
    Keys("q");
    RunGangBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u) << "the browser left before the script ended";
  }
  std::string IdShown() const {
    const std::string text = At(18, 2, 21);
    return text.substr(0, text.find(' '));
  }
};

TEST_F(GangBrowserTest, GJumpsByGangId) {
  MakeGangs({Gang("alpha", "First"), Gang("beta", "Second"), Gang("gamma", "Third")});
  Keys("Ggamma\r");
  Run();
  EXPECT_TRUE(EverShown("[Goto Gang]"));
  EXPECT_TRUE(EverShown("Enter a gang ID to jump to:"));
  EXPECT_EQ(IdShown(), "gamma");
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Gang : Third");
}

TEST_F(GangBrowserTest, EmptyOrMissingIdStaysPut) {
  MakeGangs({Gang("alpha", "First"), Gang("beta", "")});
  Keys(">");
  Keys("G");
  Vk('X', kCtrl);    // the prompt offers the last text typed: clear it
  Keys("\r");        // empty: nothing
  Keys("Gzeta\r ");  // missing: reported, the screen repainted from the buffer
  Run();
  EXPECT_EQ(IdShown(), "beta");
  EXPECT_TRUE(EverShown("Status: 4 "));
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Gang : <unnamed>");
}

TEST_F(GangBrowserTest, NoSearchHelpAndNavigation) {
  MakeGangs({Gang("a", "A"), Gang("b", "B"), Gang("c", "C")});
  Keys("S");   // no search: ignored
  Keys("? ");  // help, dismissed with a key
  Keys("L<");
  Run();
  EXPECT_EQ(WindowsTitled("Gangs Help"), 1);
  EXPECT_TRUE(EverShown("G    Go to a specific gang"));
  EXPECT_FALSE(EverShown("Select how you would like to search:"));
  EXPECT_EQ(IdShown(), "b");
}

TEST_F(GangBrowserTest, RawDumpStaysInTheWorkingDirectory) {
  btrieve::testing::TempDir work;
  std::filesystem::create_directory(work.path() + "/inner");
  InTempDirectory in(work.path() + "/inner");
  MakeGangs({Gang("../up", "Climbers")});
  Vk('E', kCtrl);
  Run();
  EXPECT_EQ(std::filesystem::file_size(work.path() + "/inner/rawgangsnt-___up.bin"),
            GangRecord::kDiskLength);
  size_t outside = 0;
  for (const auto& entry : std::filesystem::directory_iterator(work.path())) {
    if (entry.path().filename() != "inner") ++outside;
  }
  EXPECT_EQ(outside, 0u);
}

// ---------------------------------------------------------------------------
// Item owners.

class ItemOwnerScreenTest : public LiveScreenTest {
 protected:
  static ItemOwnerRecord Owner(uint32_t number, uint32_t item, OwnerType type) {
    ItemOwnerRecord owner;
    owner.setNumber(number);
    owner.setItemNumber(item);
    owner.setOwnerType(static_cast<uint8_t>(type));
    return owner;
  }
  void Show(const ItemOwnerRecord& owner) { ShowItemOwnerDetail(hc.console, owner.bytes()); }
  std::string Location() const { return At(18, 6, 40); }
};

TEST_F(ItemOwnerScreenTest, RoomOwnerWithTitle) {
  MakeItemNamed(42, "Long Sword");
  MakeItemFile();
  MakeFile(kRoomFile, {Bytes(Room(2, 3, "Great Hall"))});
  ItemOwnerRecord owner = Owner(9, 42, OwnerType::kRoom);
  owner.setMapNumber(2);
  owner.setRoomNumber(3);
  Show(owner);
  ExpectCells({
      {18, 2, "9 "},
      {18, 3, "42 "},
      {64, 3, "room "},
      {18, 4, "(" + Pad("Long Sword", 28) + ")"},
      {18, 6, "2/3 (Great Hall) "},
  });
  EXPECT_EQ(Fg(18, 4), 8);
  EXPECT_EQ(Fg(19, 4), 15);
  EXPECT_EQ(Fg(22, 6), 8);   // (
  EXPECT_EQ(Fg(23, 6), 15);  // the title
  EXPECT_EQ(Fg(33, 6), 8);   // )
  ExpectCursorOnCommandRow();
}

TEST_F(ItemOwnerScreenTest, LocationOfEachOwnerType) {
  MakeFile(kRoomFile, {Bytes(Room(2, 3, "Great Hall"))});
  MakeFile(kActiveMonsterFile, {Bytes(Active(5, "Orc"))});
  const auto room = [](uint32_t map, uint32_t number) {
    ItemOwnerRecord owner = Owner(1, 1, OwnerType::kRoom);
    owner.setMapNumber(map);
    owner.setRoomNumber(number);
    owner.setOwnerName("stale");  // not a user: never shown
    return owner;
  };
  const auto user = [](const std::string& name) {
    ItemOwnerRecord owner = Owner(1, 1, OwnerType::kUser);
    owner.setOwnerName(name);
    owner.setMapNumber(2);
    return owner;
  };
  const auto monster = [](uint32_t active) {
    ItemOwnerRecord owner = Owner(1, 1, OwnerType::kMonster);
    owner.setActiveMonster(active);
    return owner;
  };
  ItemOwnerRecord other = user("Alice");
  other.setOwnerType(7);
  const struct {
    ItemOwnerRecord owner;
    std::string type;
    std::string location;
  } cases[] = {
      {room(0, 3), "room", "0/3"},  // map 0: no title
      {room(2, 0), "room", "2/0"},
      {room(2, 3), "room", "2/3 (Great Hall)"},
      {room(7, 7), "room", "7/7 ()"},  // no such room: an empty title
      {room(4294967295u, 1), "room", "4294967295/1 ()"},
      {user("Alice"), "user", "Alice"},
      {monster(5), "monster", "5 (Orc)"},
      {monster(0x10005), "monster", "65541 (Orc)"},  // its low 16 bits name it
      {monster(0), "monster", "0"},
      {other, "ownertype-7", ""},
  };
  for (const auto& c : cases) {
    Show(c.owner);
    EXPECT_EQ(Location(), Pad(c.location, 40)) << c.location;
    EXPECT_EQ(At(64, 3, static_cast<int>(c.type.size()) + 1), c.type + " ") << c.location;
  }
}

TEST_F(ItemOwnerScreenTest, HostileRecordStaysInsideItsFields) {
  MakeItemNamed(1, std::string(40, 'S'));
  MakeItemFile();
  std::vector<uint8_t> bytes(ItemOwnerRecord::kSize, 0);
  std::fill_n(bytes.begin() + 20, 32, 'U');  // owner name without its zero
  ItemOwnerRecord owner(bytes);
  owner.setNumber(0xFFFFFFFF);
  owner.setItemNumber(1);
  owner.setOwnerType(static_cast<uint8_t>(OwnerType::kUser));
  owner.setActiveMonster(0);  // the bytes behind the name
  Show(owner);
  ExpectCells({
      {18, 2, "4294967295 "},
      {18, 4, "(" + std::string(28, 'S') + ")"},
      {18, 6, std::string(30, 'U') + " "},
  });
  owner.setOwnerType(255);
  Show(owner);
  EXPECT_EQ(At(64, 3, 16), "ownertype--1    ");
  ExpectRightEdgeIntact(2, 6, {5});
}

TEST_F(ItemOwnerScreenTest, ZeroedRecordIsARoomOwnerWithoutTitle) {
  Show(ItemOwnerRecord());
  ExpectCells({
      {18, 2, "0 "},
      {18, 3, "0 "},
      {64, 3, "room "},
      {18, 4, "(" + Pad("", 28) + ")"},
      {18, 6, "0/0 "},
  });
  ExpectCursorOnCommandRow();
}

class ItemOwnerBrowserTest : public ItemOwnerScreenTest {
 protected:
  void MakeOwners(const std::vector<ItemOwnerRecord>& owners) {
    std::vector<std::vector<uint8_t>> records;
    for (const ItemOwnerRecord& owner : owners) records.push_back(Bytes(owner));
    MakeFile(kItemOwnerFile, records);
  }
  void Run() {
    Keys("q");
    RunItemOwnerBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u) << "the browser left before the script ended";
  }
  std::string NumberShown() const {
    const std::string text = At(18, 2, 11);
    return text.substr(0, text.find(' '));
  }
  static ItemOwnerRecord User(uint32_t number, uint32_t item, const std::string& name) {
    ItemOwnerRecord owner = Owner(number, item, OwnerType::kUser);
    owner.setOwnerName(name);
    return owner;
  }
};

TEST_F(ItemOwnerBrowserTest, UserNameSearchTestsOnlyUsers) {
  ItemOwnerRecord stale = Owner(2, 8, OwnerType::kRoom);
  stale.setOwnerName("Bob");  // a room: its name is not a holder's
  MakeOwners({User(1, 5, "alice"), stale, User(3, 8, "BOBBY")});
  Keys("S");
  Vk(vk::kDown);
  Keys("\rbob\r");
  Run();
  EXPECT_TRUE(EverShown("[Search Items Owners]"));
  EXPECT_TRUE(EverShown("Enter user name to search for (not case "));  // the window wraps
  EXPECT_TRUE(EverShown(" sensetive): "));
  EXPECT_EQ(NumberShown(), "3");
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - ItemOwner : BOBBY (3)");
}

TEST_F(ItemOwnerBrowserTest, ItemSearchAndItsNotFoundMessage) {
  MakeOwners({User(1, 5, "a"), User(2, 6, "b"), User(3, 6, "c")});
  Keys("S\r6\r");  // item 6: owner 2
  Keys("S\r");
  Vk('X', kCtrl);  // the prompt offers the last text typed: clear it
  Keys("6\r");     // and the next: owner 3
  Keys("S\r");
  Vk('X', kCtrl);
  Keys("99\r ");  // none: the message, then the first record
  Run();
  EXPECT_TRUE(EverShown("Enter item number to search for:"));
  EXPECT_TRUE(EverShown("No records matching your item search query, \"99\", were "));
  EXPECT_TRUE(EverShown(" found. "));
  EXPECT_EQ(WindowsTitled("No Results"), 1);
  EXPECT_EQ(NumberShown(), "1");
}

TEST_F(ItemOwnerBrowserTest, JumpHelpTitleAndRawDump) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  MakeOwners({Owner(1, 5, OwnerType::kRoom), User(17, 6, "b")});
  Keys("G17\r");
  Keys("? ");
  Vk('E', kCtrl);
  Vk('S', kCtrl);  // no simulator: nothing
  Keys("E");       // no extended view: nothing
  Run();
  EXPECT_TRUE(EverShown("[Goto Item Owner]"));
  EXPECT_TRUE(EverShown("Enter an item owner number to jump "));  // the window wraps
  EXPECT_TRUE(EverShown(" to: "));
  EXPECT_EQ(WindowsTitled("Items Help"), 1);
  EXPECT_TRUE(EverShown("S    Search for a specific item owner"));
  EXPECT_EQ(NumberShown(), "17");
  EXPECT_EQ(std::filesystem::file_size(work.File("rawitemownernt-17.bin")),
            ItemOwnerRecord::kDiskLength);
}

TEST_F(ItemOwnerBrowserTest, OwnerWithoutNameIsUnnamedInTheTitle) {
  MakeOwners({Owner(4, 5, OwnerType::kRoom)});
  Run();
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - ItemOwner : <unnamed> (4)");
}

// ---------------------------------------------------------------------------
// Active monsters.

TEST(ActiveMonsterExpTest, TheProductNeverWrapsAt32Bits) {
  const struct {
    uint32_t multiplier, exp;
    uint64_t product;
  } cases[] = {
      {0, 0xFFFFFFFF, 0},
      {1, 0xFFFFFFFF, 0xFFFFFFFFu},
      {2, 0x80000000, 0x100000000u},
      {100000, 100000, 10000000000u},
      {0xFFFFFFFF, 0xFFFFFFFF, 18446744065119617025u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ActiveMonsterExp(c.multiplier, c.exp), c.product) << c.multiplier << " " << c.exp;
  }
}

TEST(ShownTracksTest, ZerosNeitherHideLaterRoomsNorLeaveHoles) {
  const struct {
    std::vector<uint32_t> tracks;
    std::vector<uint32_t> shown;
  } cases[] = {
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {}},
      {{4, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {4}},
      {{3, 0, 9, 0, 0, 0, 0, 0, 0, 2}, {3, 9, 2}},
      {{0, 5, 0, 7, 0, 0, 0, 0, 0, 0}, {5, 7}},
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
  };
  for (const auto& c : cases) EXPECT_EQ(ShownTracks(c.tracks), c.shown);
}

class ActiveMonsterScreenTest : public LiveScreenTest {
 protected:
  void Show(const ActiveMonsterRecord& monster) {
    ShowActiveMonsterDetail(hc.console, monster.bytes());
  }
  static ActiveMonsterRecord Troll() {
    ActiveMonsterRecord m = Active(5, "Cave Troll");
    m.setKnownNumber(12);
    m.setExpMultiplier(100000);
    m.setExp(100000);
    m.setArmourClass(35);
    m.setDamageReduction(7);
    m.setHitPoints(-3);
    m.setMaxHitPoints(80);
    m.setHpRegen(4);
    m.setFollowPercent(60);
    m.setMovementType(2);
    m.setEnergy(900);
    m.setMaxEnergy(1000);
    m.setAlignment(4);
    m.setWeaponItem(42);
    m.setArmourItem(43);
    m.setFollowing("Gandalf");
    m.setFriend(1);
    m.setCreated(static_cast<uint16_t>((13 << 11) | (5 << 5) | 5));  // 13:05:10
    m.setMonsterNumber(0x10006);
    m.setActiveSpells(0, 5);
    m.setActiveSpellValues(0, -20);
    m.setActiveSpellRounds(0, 3);
    m.setDropItems(0, 42);
    m.setDropUses(0, 2);
    m.setDropItems(9, 99);  // no such item
    m.setDropUses(9, -1);
    m.setRunic(1);
    m.setPlatinum(22);
    m.setGold(333);
    m.setSilver(4444);
    m.setCopper(4294967295u);
    m.setMapNumber(2);
    m.setSpawnRoom(3);
    m.setCurrentRoom(4);
    return m;
  }
  void MakeWorld() {
    MakeItemNamed(42, "Club");
    MakeItemNamed(43, "Hide");
    MakeItemFile();
    SpellRecord blast;
    blast.setNumber(5);
    blast.setName("Blast");
    MakeFile(kSpellFile, {Bytes(blast)});
    MakeFile(kRoomFile,
             {Bytes(Room(2, 3, "Lair")), Bytes(Room(2, 4, "Tunnel")), Bytes(Room(2, 9, "Pit"))});
    MakeFile(kActiveMonsterFile, {Bytes(Active(6, "Goblin"))});
  }
};

TEST_F(ActiveMonsterScreenTest, FieldsWhereTheyBelong) {
  MakeWorld();
  Show(Troll());
  ExpectCells({
      {18, 2, "5 "},
      {64, 2, "12 "},
      {18, 3, "Cave Troll "},
      {64, 3, "10000000000 "},
      {18, 4, "35/7 "},
      {18, 5, "-3/80 "},
      {64, 5, "4 "},
      {18, 7, "60 "},
      {64, 7, "follower "},
      {18, 8, "900/1000 "},
      {64, 8, "lawful-good "},
      {18, 9, Pad("Club", 26) + "(42) "},
      {18, 10, Pad("Hide", 26) + "(43) "},
      {18, 12, "Gandalf "},
      {30, 12, "[Friend]"},
      {64, 12, "01:05:10 PM "},
      {18, 13, "65542  Goblin "},
      {18, 17, "5     " + Pad("Blast", 30) + " -20     3 "},
      {18, 18, "0     " + std::string(31, ' ') + "0       0 "},
      {18, 23, Pad("42", 14) + Pad("Club", 33) + "  (2) "},
      {18, 32, Pad("99", 14) + Pad("", 33) + "  (-1) "},
      {27, 33, "1 "},
      {50, 33, "22 "},
      {69, 33, "333 "},
      {27, 34, "4444 "},
      {50, 34, "4294967295 "},
      {18, 36, Pad("3/2", 14) + Pad("Lair", 47)},
      {18, 37, Pad("4/2", 14) + "Tunnel "},
      {18, 38, "None "},
      {18, 39, "     "},
  });
  EXPECT_EQ(Fg(31, 12), 9);  // friend lit
  EXPECT_EQ(Fg(64, 8), 7);   // the alignment's colour
  EXPECT_EQ(Fg(69, 23), 8);  // ) after the uses
  EXPECT_EQ(Fg(18, 2), 15);
  ExpectCursorOnCommandRow();
  ExpectRightEdgeIntact(2, 49, {6, 11, 15, 22, 35, 48});
}

TEST_F(ActiveMonsterScreenTest, TracksOnePerRowWithoutHoles) {
  MakeWorld();
  ActiveMonsterRecord m = Troll();
  m.setFriend(0);
  m.setTracks(0, 3);
  m.setTracks(1, 0);
  m.setTracks(2, 9);
  m.setTracks(5, 4);
  Show(m);
  ExpectCells({
      {18, 38, Pad("3/2", 14) + "Lair "},
      {18, 39, Pad("9/2", 14) + "Pit "},
      {18, 40, Pad("4/2", 14) + "Tunnel "},
      {18, 41, "      "},
  });
  EXPECT_EQ(Fg(31, 12), 7);  // friend dim

  ActiveMonsterRecord leading = Troll();
  leading.setTracks(3, 9);  // only a later entry
  Show(leading);
  EXPECT_EQ(At(18, 38, 18), Pad("9/2", 14) + "Pit ");
}

TEST_F(ActiveMonsterScreenTest, EveryTrackFillsTheRowsTo47AndNoFurther) {
  ActiveMonsterRecord m = Troll();
  for (size_t i = 0; i < ActiveMonsterRecord::kTracksCount; ++i) {
    m.setTracks(i, static_cast<uint32_t>(100 + i));
  }
  Show(m);
  for (int row = 38; row <= 47; ++row) {
    EXPECT_EQ(At(18, row, 6), std::to_string(62 + row) + "/2 ") << "row " << row;
  }
  EXPECT_EQ(At(2, 48, 11), "\xC4\xC4[Command]");
}

TEST_F(ActiveMonsterScreenTest, TheLargestExpEndsAtTheFrame) {
  ActiveMonsterRecord m = Troll();
  m.setExpMultiplier(0xFFFFFFFF);
  m.setExp(0xFFFFFFFF);
  Show(m);
  EXPECT_EQ(At(60, 3, 20), "18446744065119617025");
  EXPECT_EQ(At(51, 3, 3), "Exp");
  ExpectRightEdgeIntact(2, 5);

  m.setExpMultiplier(2);
  m.setExp(0x80000000);
  Show(m);
  EXPECT_EQ(At(62, 3, 13), ": 4294967296 ");
}

TEST_F(ActiveMonsterScreenTest, HostileRecordStaysInsideItsFields) {
  std::vector<uint8_t> bytes(ActiveMonsterRecord::kSize, 0xFF);
  std::fill_n(bytes.begin() + 142, 30, 'N');  // name without its zero
  std::fill_n(bytes.begin() + 26, 11, 'F');   // following without its zero
  ActiveMonsterRecord m(bytes);
  m.setMovementType(200);
  m.setAlignment(999);
  for (size_t i = 0; i < ActiveMonsterRecord::kTracksCount; ++i) m.setTracks(i, 0xFFFFFFFF);
  Show(m);
  ExpectCells({
      {18, 2, "4294967295 "},
      {18, 3, std::string(30, 'N') + " "},
      {64, 7, "movementtype--56"},
      {64, 8, "alignmenttype-99"},
      {18, 12, std::string(11, 'F') + " "},
      {18, 13, "4294967295 "},
      {18, 38, "4294967295/4294967295 "},
  });
  // A time word out of range: 31 hours, 63 minutes, 62 seconds are capped.
  EXPECT_EQ(At(64, 12, 12), "11:59:59 PM ");
  ExpectRightEdgeIntact(2, 49, {6, 11, 15, 22, 35, 48});
}

TEST_F(ActiveMonsterScreenTest, ZeroedRecord) {
  Show(ActiveMonsterRecord());
  ExpectCells({
      {18, 2, "0 "},
      {64, 3, "0 "},
      {18, 9, std::string(22, ' ') + "     (0) "},
      {64, 12, "00:00:00 AM "},
      {18, 36, "0/0 "},
      {18, 38, "None "},
  });
}

class ActiveMonsterBrowserTest : public ActiveMonsterScreenTest {
 protected:
  void MakeMonsters(const std::vector<ActiveMonsterRecord>& monsters) {
    std::vector<std::vector<uint8_t>> records;
    for (const ActiveMonsterRecord& m : monsters) records.push_back(Bytes(m));
    MakeFile(kActiveMonsterFile, records);
  }
  void Run() {
    Keys("q");
    RunActiveMonsterBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u) << "the browser left before the script ended";
  }
  std::string NumberShown() const {
    const std::string text = At(18, 2, 11);
    return text.substr(0, text.find(' '));
  }
};

TEST_F(ActiveMonsterBrowserTest, NameAndDropSearches) {
  ActiveMonsterRecord orc = Active(2, "Orc Chief");
  orc.setDropItems(9, 77);
  MakeMonsters({Active(1, "Rat"), orc, Active(3, "orc grunt")});
  Keys("S\rORC\r");  // name: 2
  Keys("S\r");
  Vk('X', kCtrl);  // the prompt offers the last text typed: clear it
  Keys("orc\r");   // and the next: 3
  Keys("F");
  Keys("S");
  Vk(vk::kDown);
  Keys("\r");
  Vk('X', kCtrl);
  Keys("77\r");  // dropped item: 2
  Keys("S");
  Vk(vk::kDown);
  Keys("\r");
  Vk('X', kCtrl);
  Keys("78\r ");  // none: the message, then the first record
  Run();
  EXPECT_TRUE(EverShown("[Search Monsters]"));
  EXPECT_TRUE(EverShown("Search for Dropped Item"));
  EXPECT_TRUE(EverShown("No records matching your item query, \"78\", were found."));
  EXPECT_EQ(WindowsTitled("No Results"), 1);
  EXPECT_EQ(NumberShown(), "1");
}

TEST_F(ActiveMonsterBrowserTest, JumpHelpAndRawDump) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  MakeMonsters({Active(1, "Rat"), Active(5, "Bat")});
  Keys("G5\r");
  Keys("? ");
  Vk('E', kCtrl);
  Vk(vk::kF1, kCtrl);  // no macros: nothing stored
  Run();
  EXPECT_TRUE(EverShown("[Goto Active]"));
  EXPECT_TRUE(EverShown("Enter an active monster number to "));  // the window wraps
  EXPECT_TRUE(EverShown(" jump to: "));
  EXPECT_EQ(WindowsTitled("Monsters Help"), 1);
  EXPECT_TRUE(EverShown("Q    Exit the active monster viewer"));
  EXPECT_EQ(NumberShown(), "5");
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Active : Bat (5)");
  EXPECT_EQ(std::filesystem::file_size(work.File("rawacmsrnt-5.bin")),
            ActiveMonsterRecord::kDiskLength);
  for (const auto& slots : CurrentSettings().macros) {
    for (const std::string& slot : slots) EXPECT_NE(slot, "5");
  }
}

}  // namespace
}  // namespace torvex::testing
