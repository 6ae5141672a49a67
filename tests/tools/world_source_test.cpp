#include "tools/world_source.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "database/records/records.h"
#include "database/records/text_block_text.h"
#include "exporter/update_file.h"
#include "tests/platform/btrieve/btrieve_test_support.h"

namespace torvex::worldsrc {
namespace {

namespace bt = torvex::btrieve;
using bt::testing::TempDir;

using Records = std::vector<std::vector<uint8_t>>;

Records ReadAll(const std::string& path) {
  Records out = bt::testing::ReadAllRecords(path);
  WBTRVSTOP();
  return out;
}

// A world from one source text, checked; the error text when it is refused.
bool Load(const std::string& text, World& world, std::string& error) {
  SourceError e;
  if (AddSource(text, "test.toml", world, e) && CheckWorld(world, e)) return true;
  error = e.Text();
  return false;
}

constexpr char kSmallWorld[] = R"(
live_extensions = ["DAT"]
messages = [ { number = 4, lines = ["cut|slice", "", "third"] } ]
texts = [ { number = 7, part = 1, link = 7, text = "LOOK:MESSAGE 4\n" },
          { number = 7, text = "A:tall\n" } ]

[[races]]
number = 2
name = "Fenling"
base = [1, 2, 3, 4, 5, 6]
max = [11, 12, 13, 14, 15, 16]
hp_bonus = -3
abilities = [[13, 40], [71, -5]]

[[items]]
number = 9
name = "Reed Spear"
type = "weapon"
weapon_type = "any-2h"
worn_on = "finger2"
material = "bronze"
currency = "runic"
cost = 700
hit_message = 4
description = ["one", "two"]

[[monsters]]
number = 3
name = "fen cat"
desc_text = 7
alignment = "lawful-evil"
attacks = [ { type = "attack", percent = 60, min_hit = 2, max_hit = 5, hit_message = 4 },
            { type = "rob", percent = 40 } ]
drops = [ { item = 9, uses = -1, percent = 25 } ]
last_killed_date = "1999-12-31"
last_killed_time = "23:59:58"

[[areas]]
map = 4
first = 10
width = 3
height = 2
titles = ["Reeds", "Mud"]
descriptions = [["wet"]]
light = -150

[[rooms]]
map = 4
room = 11
type = "lair"
exits = { south = 0, down = { to = 1, type = "map-change", p1 = 5, p3 = 4 } }

[[rooms]]
map = 5
room = 1
title = "Elsewhere"
attributes = ["NoPVP", "GangRoom"]

[[active_monsters]]
number = 6
known = 3
map = 5
room = 1

[[gangs]]
id = "FENS"
created = "1990-01-02"
flags = ["Disbanded"]
)";

TEST(WorldSource, FieldsLandWhereTheRecordsKeepThem) {
  World w;
  std::string error;
  ASSERT_TRUE(Load(kSmallWorld, w, error)) << error;

  ASSERT_EQ(w.races.size(), 1u);
  const RaceRecord& race = w.races[0];
  EXPECT_EQ(race.number(), 2);
  EXPECT_EQ(race.name(), "Fenling");
  EXPECT_EQ(race.baseIntellect(), 1);
  EXPECT_EQ(race.baseCharm(), 6);
  EXPECT_EQ(race.maxStrength(), 13);
  EXPECT_EQ(race.hpBonus(), -3);
  EXPECT_EQ(race.abilityValue(71), -5);
  EXPECT_EQ(race.abilityNumbers(0), 13);

  const ItemRecord& item = w.items.at(0);
  EXPECT_EQ(item.itemType(), 1);
  EXPECT_EQ(item.weaponType(), 5);
  EXPECT_EQ(item.wornOn(), 13);
  EXPECT_EQ(item.material(), 2);
  EXPECT_EQ(item.costCurrency(), 4);
  EXPECT_EQ(item.cost(), 700);
  EXPECT_EQ(item.gettable(), 1) << "items can be picked up unless a source says otherwise";
  EXPECT_EQ(item.description(1), "two");

  const MonsterRecord& m = w.monsters.at(0);
  EXPECT_EQ(m.alignment(), 6);
  EXPECT_EQ(m.attackType(0), 1);
  EXPECT_EQ(m.attackType(1), 3);
  EXPECT_EQ(m.attackMaxHit(0), 5);
  EXPECT_EQ(m.dropUses(0), -1);
  EXPECT_EQ(m.dropPercent(0), 25);
  EXPECT_EQ(m.expMultiplier(), 1u);
  EXPECT_EQ(m.lastKilledDate(), (19 << 9) | (12 << 5) | 31);
  EXPECT_EQ(m.lastKilledTime(), (23 << 11) | (59 << 5) | 29);

  // Texts are stored raised by 32 and sorted by block, then part.
  ASSERT_EQ(w.texts.size(), 2u);
  EXPECT_EQ(w.texts[0].part(), 0);
  EXPECT_EQ(DecodeTextBlock(w.texts[1]), "LOOK:MESSAGE 4\n");
  EXPECT_EQ(w.texts[1].text()[0], 'L' + 32);

  // The area's grid is wired; the hand-written entry changed room 11.
  ASSERT_EQ(w.rooms.size(), 7u);
  const RoomRecord& r10 = w.rooms[0];
  EXPECT_EQ(r10.roomNumber(), 10u);
  EXPECT_EQ(r10.exitRoom(2), 11u);  // east
  EXPECT_EQ(r10.exitRoom(1), 13u);  // south
  EXPECT_EQ(r10.exitRoom(3), 0u);   // west: the edge
  EXPECT_EQ(r10.title(), "Reeds");
  EXPECT_EQ(r10.light(), -150);
  const RoomRecord& r11 = w.rooms[1];
  EXPECT_EQ(r11.title(), "Mud");
  EXPECT_EQ(r11.roomType(), 3);
  EXPECT_EQ(r11.exitRoom(1), 0u);
  EXPECT_EQ(r11.exitRoom(3), 10u);
  EXPECT_EQ(r11.exitType(9), 8);
  EXPECT_EQ(r11.exitParameter1(9), 5u);
  EXPECT_EQ(r11.exitParameter3(9), 4u);
  const RoomRecord& elsewhere = w.rooms.back();
  EXPECT_EQ(elsewhere.attributes(), 0x41);
  EXPECT_EQ(elsewhere.activeMonsters(0), 6u) << "an active monster is listed in its room";

  // The active monster took its known monster's name.
  EXPECT_EQ(w.activeMonsters.at(0).name(), "fen cat");
  EXPECT_EQ(w.activeMonsters.at(0).spawnRoom(), 1u);
  EXPECT_EQ(w.gangs.at(0).flags(), 4);
}

TEST(WorldSource, WrittenFilesCarryEveryRecord) {
  World w;
  std::string error;
  ASSERT_TRUE(Load(kSmallWorld, w, error)) << error;
  TempDir dir;
  ASSERT_TRUE(WriteWorld(w, dir.path(), error)) << error;

  const Records update = ReadAll(dir.File("WCCUPDA2.DAT"));
  // 1 race, 7 rooms, 1 item, 1 monster, 1 message, 2 text parts, in file-code order.
  ASSERT_EQ(update.size(), 13u);
  EXPECT_EQ(update[0][4], 1);   // race
  EXPECT_EQ(update[1][4], 3);   // rooms next
  EXPECT_EQ(update[12][4], 9);  // text blocks last
  EXPECT_EQ(exporter::CarriedLength(9, update[12]), 24u + 15u + 1u);
  EXPECT_EQ(RaceRecord(std::span(update[0]).subspan(8)).name(), "Fenling");

  const Records active = ReadAll(dir.File("WCCACMS2.DAT"));
  ASSERT_EQ(active.size(), 1u);
  EXPECT_EQ(active[0].size(), ActiveMonsterRecord::kDiskLength);
  EXPECT_EQ(ActiveMonsterRecord(active[0]).knownNumber(), 3u);
  EXPECT_EQ(ReadAll(dir.File("WCCGANG2.DAT")).size(), 1u);
  EXPECT_TRUE(ReadAll(dir.File("WCCITOW2.DAT")).empty());
  std::ifstream vir(dir.File("WCCACMS2.VIR"));
  EXPECT_FALSE(vir.good()) << "only the extensions asked for are written";
}

TEST(WorldSource, RebuildReplacesTheOutputWhole) {
  World w;
  std::string error;
  ASSERT_TRUE(Load(kSmallWorld, w, error)) << error;
  TempDir dir;
  ASSERT_TRUE(WriteWorld(w, dir.path(), error)) << error;
  w.gangs.clear();
  ASSERT_TRUE(WriteWorld(w, dir.path(), error)) << error;
  EXPECT_TRUE(ReadAll(dir.File("WCCGANG2.DAT")).empty());
  size_t entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 4u) << "no temporary directory is left behind";
}

struct BadCase {
  std::string source;
  std::string expected;  // part of the message
};

TEST(WorldSource, BadSourcesAreRefusedWithPlaceAndReason) {
  const std::vector<BadCase> cases = {
      {"races = [ { number = 1, nmae = \"x\" } ]",
       "test.toml:1: races[0] (number 1): unknown key \"nmae\""},
      {"races = [ { name = \"x\" } ]", "races[0]: missing \"number\""},
      {"races = [ { number = 70000 } ]", "\"number\" is 70000, outside 0..65535"},
      {"items = [ { number = 1, type = \"spoon\" } ]", "unknown word \"spoon\""},
      {"items = [ { number = 1, name = \"0123456789012345678901234567890\" } ]",
       "\"name\" is 31 characters long, at most 29 fit"},
      {"items = [ { number = 1, name = \"\u2603\" } ]", "code page 437 lacks"},
      {"texts = [ { number = 1, text = \"\u03b1\" } ]", "byte 224"},
      {"races = [ { number = 1 }, { number = 1 } ]", "race 1 is defined twice"},
      {"items = [ { number = 1, hit_message = 5 } ]", "message 5 does not exist"},
      {"monsters = [ { number = 1, attacks = [ { type = \"bite\" } ] } ]", "unknown word \"bite\""},
      {"races = [ { number = 1, abilities = [[1,1],[2,2],[3,3],[4,4],[5,5],[6,6],[7,7],[8,8],"
       "[9,9],[10,10],[11,11]] } ]",
       "has 11 entries, at most 10 fit"},
      {"races = [ { number = 1, base = [1, 2] } ]", "\"base\" must have 6 entries"},
      {"gangs = [ { id = \"A\", created = \"1970-01-01\" } ]", "between 1980 and 2107"},
      {"rooms = [ { map = 1, room = 1, exits = { sideways = 2 } } ]",
       "unknown direction \"sideways\""},
      {"rooms = [ { map = 1, room = 1, exits = { north = 2 } } ]",
       "room 1 of map 1: exit north leads to room 2 of map 1, which does not exist"},
      {"rooms = [ { map = 1, room = 1, exits = { up = { type = \"door\" } } } ]",
       "an exit needs \"to\""},
      {"areas = [ { map = 1, first = 1, width = 2, height = 2 } ]", "missing \"titles\""},
      {"active_monsters = [ { number = 1, map = 1, room = 9 } ]",
       "room 9 of map 1, which does not exist"},
      {"weather = 1", "unknown top-level key \"weather\""},
      {"races = [ { number = 1", "test.toml:1:"},
      {"live_extensions = [\"BAK\"]", "\"VIR\" and/or \"DAT\""},
      // A missing item is excused only in the slot that asks for it.
      {"[[shops]]\nnumber = 2\nstock = [ { item = 900 } ]",
       "test.toml:3: shops[0] (number 2): item 900 does not exist"},
      {"[[shops]]\nnumber = 2\nstock = [ { item = 900, allow_missing = true },\n"
       "         { item = 901 } ]",
       "test.toml:4: shops[0] (number 2): item 901 does not exist"},
      {"shops = [ { number = 2, stock = [ { item = 900, allow_missing = false } ] } ]",
       "item 900 does not exist"},
      {"shops = [ { number = 2, stock = [ { item = 900, allow_missing = 1 } ] } ]",
       "\"allow_missing\" must be true or false"},
      {"shops = [ { number = 2, allow_missing = true, stock = [ { item = 900 } ] } ]",
       "unknown key \"allow_missing\""},
      {"[[monsters]]\nnumber = 1\nweapon_item = 5\n"
       "drops = [ { item = 900, allow_missing = true } ]",
       "test.toml:3: monsters[0] (number 1): item 5 does not exist"},
      {"monsters = [ { number = 1, attacks = [ { type = 1, allow_missing = true } ] } ]",
       "unknown key \"allow_missing\""},
      {"[[rooms]]\nmap = 1\nroom = 1\nitems = [ { item = 900, allow_missing = true } ]\n"
       "hidden_items = [ { item = 902 } ]",
       "test.toml:5: rooms[0] (room 1): item 902 does not exist"},
      // An exit is excused only when it asks, and only until it is replaced.
      {"rooms = [ { map = 1, room = 1, exits = { north = { to = 2, allow_missing = 1 } } } ]",
       "\"allow_missing\" must be true or false"},
      {"rooms = [ { map = 1, room = 1, exits = { north = { to = 2, allow_missing = false } } } ]",
       "exit north leads to room 2 of map 1, which does not exist"},
      {"[[rooms]]\nmap = 1\nroom = 1\n"
       "exits = { north = { to = 2, allow_missing = true }, east = 3 }",
       "exit east leads to room 3 of map 1, which does not exist"},
      {"[[rooms]]\nmap = 1\nroom = 1\nexits = { north = { to = 2, allow_missing = true } }\n"
       "[[rooms]]\nmap = 1\nroom = 1\nexits = { north = { to = 2, type = \"door\" } }",
       "exit north leads to room 2 of map 1, which does not exist"},
      {"rooms = [ { map = 1, room = 1, allow_missing = true, exits = { north = 2 } } ]",
       "unknown key \"allow_missing\""},
  };
  for (const BadCase& c : cases) {
    World w;
    std::string error;
    EXPECT_FALSE(Load(c.source, w, error)) << c.source;
    EXPECT_NE(error.find(c.expected), std::string::npos)
        << "source: " << c.source << "\nmessage: " << error << "\nexpected: " << c.expected;
  }
}

TEST(WorldSource, SlotsThatAskMayNameMissingItems) {
  constexpr char kSource[] = R"(
items = [ { number = 1, name = "reed" } ]
monsters = [ { number = 5, drops = [ { item = 903, percent = 9, allow_missing = true } ] } ]

[[shops]]
number = 2
stock = [ { item = 900, normal = 3, allow_missing = true },
          { item = 1, normal = 4 } ]

[[rooms]]
map = 1
room = 1
items = [ { item = 901, quantity = 2, allow_missing = true } ]
hidden_items = [ { item = 1, allow_missing = true } ]
)";
  World w;
  std::string error;
  ASSERT_TRUE(Load(kSource, w, error)) << error;
  const ShopRecord& shop = w.shops.at(0);
  EXPECT_EQ(shop.items(0), 900u);
  EXPECT_EQ(shop.normalQuantity(0), 3);
  EXPECT_EQ(shop.items(1), 1u);
  const RoomRecord& room = w.rooms.at(0);
  EXPECT_EQ(room.items(0), 901u);
  EXPECT_EQ(room.itemQuantity(0), 2);
  EXPECT_EQ(room.hiddenItems(0), 1u) << "an existing item may say so too";
  EXPECT_EQ(w.monsters.at(0).dropItems(0), 903u);
  EXPECT_EQ(w.monsters.at(0).dropPercent(0), 9);
}

TEST(WorldSource, ExitsThatAskMayLeadNowhere) {
  constexpr char kSource[] = R"(
[[rooms]]
map = 1
room = 1
exits.north = { to = 9, allow_missing = true }
exits.south = 2
exits.east = { to = 5, type = "map-change", p1 = 7, allow_missing = true }

[[rooms]]
map = 1
room = 2
exits = { north = 1 }
)";
  World w;
  std::string error;
  ASSERT_TRUE(Load(kSource, w, error)) << error;
  const RoomRecord& room = w.rooms.at(0);
  EXPECT_EQ(room.exitRoom(0), 9u);
  EXPECT_EQ(room.exitRoom(2), 5u);
  EXPECT_EQ(room.exitParameter1(2), 7u) << "a map change into a map that does not exist";
  EXPECT_EQ(w.danglingExits.size(), 2u);
}

TEST(WorldSource, ProgramReportsBadSourceAndUsage) {
  TempDir src;
  std::ofstream(src.File("a.toml")) << "races = [ { number = 1, bogus = 1 } ]\n";
  TempDir out;
  EXPECT_EQ(WorldBuildMain({src.path(), out.path()}), 1);
  EXPECT_EQ(WorldBuildMain({src.path()}), 2);
  TempDir empty;
  EXPECT_EQ(WorldBuildMain({empty.path(), out.path()}), 1) << "a directory without sources";
  std::ifstream update(out.File("WCCUPDA2.DAT"));
  EXPECT_FALSE(update.good()) << "nothing is written from a bad source";
}

}  // namespace
}  // namespace torvex::worldsrc
