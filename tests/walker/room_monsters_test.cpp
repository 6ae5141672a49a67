#include "walker/room_monsters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/records/text_block_text.h"
#include "tests/database/record_files.h"

namespace torvex {
namespace {

// The draws below were worked out by hand from the generator's rule
// (seed := seed * 134775813 + 1, Random(n) = high 32 bits of seed * n).
constexpr uint32_t kLairSeed = 55;       // Random(4) 2, Random(3) 1, Random(2) 1, Random(2) 0
constexpr uint32_t kNameSeed = 18;       // Random(100) 56, 96, 0
constexpr uint32_t kStopAtOnceSeed = 1;  // Random(100) 3
// Random(100) 69, Random(100) 83, Random(2) 0, Random(100) 0
constexpr uint32_t kInterleavedSeed = 54;

constexpr uint32_t kRat = 1, kBat = 2, kSnake = 3, kGuard = 4, kOutsider = 6;
constexpr uint32_t kRatNames = 50, kGuardNames = 51;

MonsterRecord Monster(uint32_t number, const std::string& name, uint16_t group, uint16_t index,
                      uint16_t limit = 0, uint32_t descText = 0) {
  MonsterRecord m;
  m.setNumber(number);
  m.setName(name);
  m.setGroup(group);
  m.setGroupIndex(index);
  m.setLimit(limit);
  m.setDescText(descText);
  m.setActive(9);  // a stale count from the game, which the list starts over
  return m;
}

std::vector<uint8_t> TextPart(uint32_t block, const std::string& text) {
  TextBlockRecord record;
  record.setBlockNumber(block);
  record.setText(EncodeStoredText(text));
  return {record.data(), record.data() + record.storedLength()};
}

RoomRecord Room(uint16_t type, uint8_t maxRegen, uint16_t minIndex, uint16_t maxIndex,
                uint32_t permNPC) {
  RoomRecord room;
  room.setMapNumber(1);
  room.setRoomNumber(10);
  room.setRoomType(type);
  room.setMaxRegen(maxRegen);
  room.setMonsterGroup(5);
  room.setMinIndex(minIndex);
  room.setMaxIndex(maxIndex);
  room.setPermNPC(permNPC);
  return room;
}

std::vector<uint32_t> Numbers(const std::vector<MonsterRecord>& monsters) {
  std::vector<uint32_t> out;
  for (const MonsterRecord& m : monsters) out.push_back(m.number());
  return out;
}

std::vector<std::string> Names(const std::vector<MonsterRecord>& monsters) {
  std::vector<std::string> out;
  for (const MonsterRecord& m : monsters) out.push_back(m.name());
  return out;
}

// The seed after `draws` steps from `seed`: how far a call moved the generator.
uint32_t SeedAfter(uint32_t seed, int draws) {
  Random r(seed);
  for (int i = 0; i < draws; ++i) r.Next(1);
  return r.Seed();
}

class RoomMonstersTest : public testing::RecordFilesTest {
 protected:
  void SetUp() override {
    RecordFilesTest::SetUp();
    MakeFile(kMonsterFile,
             {Bytes(Monster(kRat, "Rat", 5, 1, 0, kRatNames)), Bytes(Monster(kBat, "Bat", 5, 2, 2)),
              Bytes(Monster(kSnake, "Snake", 5, 3, 1)),
              Bytes(Monster(kGuard, "Guard", 9, 1, 0, kGuardNames)),
              Bytes(Monster(kOutsider, "Outsider", 5, 7))});
    MakeFile(kTextFile, {TextPart(kRatNames, "B:Angry\nF:Old Rat"),
                         TextPart(kGuardNames, "F:" + std::string(40, 'g'))});
  }
};

TEST_F(RoomMonstersTest, ALairPlacesEachCandidateThenDrawsOverAllOfThem) {
  Random random(kLairSeed);
  const auto monsters = GenerateRoomMonsters(Room(3, 7, 1, 3, kGuard), random, false);
  // Rat, Bat, Snake and the placed Guard once each; then Snake is drawn at its
  // limit and removed, Bat placed and removed at its limit, the last candidate
  // (Guard) drawn and placed, and Rat placed.
  EXPECT_EQ(Numbers(monsters),
            (std::vector<uint32_t>{kRat, kBat, kSnake, kGuard, kBat, kGuard, kRat}));
  EXPECT_EQ(random.Seed(), SeedAfter(kLairSeed, 4));
  EXPECT_EQ(Names(monsters)[0], "Rat");  // prefixes off: own names
}

TEST_F(RoomMonstersTest, CandidatesThatReachTheirLimitsEndTheLair) {
  // Every candidate has a limit of one: after the first pass each draw removes
  // one, and the list ends short of the lair count instead of spinning.
  MakeFile(kMonsterFile, {Bytes(Monster(1, "A", 5, 1, 1)), Bytes(Monster(2, "B", 5, 2, 1)),
                          Bytes(Monster(3, "C", 5, 3, 1))});
  Random random(7);
  const auto monsters = GenerateRoomMonsters(Room(3, 255, 1, 3, 0), random, false);
  EXPECT_EQ(Numbers(monsters), (std::vector<uint32_t>{1, 2, 3}));
  EXPECT_EQ(random.Seed(), SeedAfter(7, 3));
}

TEST_F(RoomMonstersTest, TheCandidateListAndThePlacedMonster) {
  struct Case {
    const char* what;
    RoomRecord room;
    std::vector<uint32_t> expected;
  };
  const std::vector<Case> cases = {
      {"placed monster added at the end", Room(0, 9, 1, 3, kGuard), {kRat, kBat, kSnake, kGuard}},
      {"placed monster among the group", Room(0, 0, 1, 3, kBat), {kRat, kBat, kSnake}},
      {"no group: placed monster alone", Room(0, 0, 0, 0, kGuard), {kGuard}},
      {"inverted range: placed monster alone", Room(0, 0, 9, 3, kGuard), {kGuard}},
      {"no group, no placed monster", Room(0, 0, 0, 0, 0), {}},
      {"missing placed monster ends the list", Room(0, 0, 2, 7, 99), {kBat, kSnake, kOutsider}},
      {"missing placed monster alone", Room(3, 20, 0, 0, 99), {}},
      {"not a lair: no draws", Room(2, 200, 3, 3, 0), {kSnake}},
  };
  for (const Case& c : cases) {
    Random random(1234);
    EXPECT_EQ(Numbers(GenerateRoomMonsters(c.room, random, false)), c.expected) << c.what;
    EXPECT_EQ(random.Seed(), 1234u) << c.what;
  }
}

TEST_F(RoomMonstersTest, NamesAreDrawnWhenTheirMonsterIsPlaced) {
  Random random(kInterleavedSeed);
  const auto monsters = GenerateRoomMonsters(Room(3, 3, 1, 2, 0), random, true);
  // Rat's names (69: go on, 83: end of text), Bat has none, the lair draw 0
  // picks Rat, whose name stops at once (0).
  EXPECT_EQ(Names(monsters), (std::vector<std::string>{"Old Rat", "Bat", "Angry Rat"}));
  EXPECT_EQ(random.Seed(), SeedAfter(kInterleavedSeed, 4));
}

TEST_F(RoomMonstersTest, ADisplayNameIsCutToTheNameField) {
  Random random(3);
  const auto monsters = GenerateRoomMonsters(Room(0, 0, 0, 0, kGuard), random, true);
  ASSERT_EQ(monsters.size(), 1u);
  EXPECT_EQ(monsters[0].name(), std::string(29, 'g'));
}

class DisplayNameTest : public testing::RecordFilesTest {
 protected:
  std::string NameFrom(const std::string& text, uint32_t seed, int* draws) {
    ClearCaches();
    MakeFile(kTextFile, {TextPart(60, text)});
    MonsterRecord rat = Monster(kRat, "Rat", 5, 1, 0, 60);
    Random random(seed);
    const std::string name = MonsterDisplayName(rat, random);
    *draws = 0;
    for (Random replay(seed); replay.Seed() != random.Seed() && *draws < 100; replay.Next(1)) {
      ++*draws;
    }
    return name;
  }
};

TEST_F(DisplayNameTest, LineFormsAndTheWalkThroughTheLinesThatStopsAtARollBelowTen) {
  struct Case {
    std::string text;
    uint32_t seed;
    std::string expected;
    int draws;
  };
  const std::vector<Case> cases = {
      // A single line applies, then one roll is drawn after it.
      {"A:the Bold", 5, "Rat the Bold", 1},
      {"B:Angry", 5, "Angry Rat", 1},
      {"F:Sir Squeak", 5, "Sir Squeak", 1},
      {"N:ignored", 5, "Rat", 1},
      {"X:whole line", 5, "X:whole line", 1},
      {"a:lower case is another letter", 5, "a:lower case is another letter", 1},
      {"plain words", 5, "Rat", 1},
      {":A", 5, "Rat", 1},
      {"B:Angry\r\n", 5, "Angry Rat", 1},
      {"B:Angry\nF:Old Rat\nA:the Third\nN:\n", kNameSeed, "Rat the Third", 3},
      {"B:Angry\nF:Old Rat\nA:the Third\nN:\n", kStopAtOnceSeed, "Angry Rat", 1},
      {"B:Angry\nF:Old Rat", kNameSeed, "Old Rat", 2},
      {"B:Angry\n\nA:the Third", kNameSeed, "Rat the Third", 3},
      {"B:Angry\nplain\nX", kNameSeed, "Rat", 3},
      {"", kNameSeed, "Rat", 0},
  };
  for (const Case& c : cases) {
    int draws = 0;
    EXPECT_EQ(NameFrom(c.text, c.seed, &draws), c.expected) << c.text;
    EXPECT_EQ(draws, c.draws) << c.text;
  }
}

TEST_F(DisplayNameTest, WithoutAReadableBlockTheOwnNameStandsAndNothingIsDrawn) {
  MakeFile(kTextFile, {TextPart(60, "F:Other")});
  for (uint32_t block : {0u, 61u}) {
    MonsterRecord rat = Monster(kRat, "Rat", 5, 1, 0, block);
    Random random(77);
    EXPECT_EQ(MonsterDisplayName(rat, random), "Rat") << block;
    EXPECT_EQ(random.Seed(), 77u) << block;
  }
}

}  // namespace
}  // namespace torvex
