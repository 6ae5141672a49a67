#include "database/record_access.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "database/record_cache.h"
#include "platform/btrieve/bytes.h"
#include "tests/database/record_files.h"

namespace torvex {
namespace {

using testing::RecordFilesTest;

template <typename Record>
bool IsZero(const Record& record) {
  return std::all_of(record.bytes().begin(), record.bytes().end(),
                     [](uint8_t b) { return b == 0; });
}
template <typename Record>
void Scribble(Record& record) {
  std::fill(record.bytes().begin(), record.bytes().end(), uint8_t{0xA5});
}

ItemRecord Item(uint32_t number, const std::string& name) {
  ItemRecord item;
  item.setNumber(number);
  item.setName(name);
  item.setDescription(0, "A plain thing, described at some length for the compressor.");
  return item;
}

RoomRecord Room(uint32_t map, uint32_t room, const std::string& title) {
  RoomRecord record;
  record.setMapNumber(map);
  record.setRoomNumber(room);
  record.setTitle(title);
  return record;
}

std::vector<uint8_t> TextPart(uint32_t block, uint16_t part, const std::string& text) {
  TextBlockRecord record;
  record.setBlockNumber(block);
  record.setPart(part);
  record.setLinkTo(block + 1000);
  record.setText(text);
  return {record.data(), record.data() + record.storedLength()};
}

MonsterRecord Monster(uint32_t number, uint16_t group, uint16_t index) {
  MonsterRecord monster;
  monster.setNumber(number);
  monster.setGroup(group);
  monster.setGroupIndex(index);
  monster.setName("monster " + std::to_string(number));
  return monster;
}

// Every get, for the cases that do not depend on the kind: a call with a
// number (a room's map and room both take it) and the record it fills.
struct GetCase {
  const char* name;
  std::function<int32_t(uint32_t, bool&)> get;  // sets the flag when the record is all zeros
};

template <typename Record, typename Get>
GetCase Case(const char* name, Get get) {
  return {name, [get](uint32_t number, bool& zero) {
            Record record;
            Scribble(record);
            const int32_t result = get(number, record);
            zero = IsZero(record);
            return result;
          }};
}

std::vector<GetCase> AllGets() {
  return {
      Case<RaceRecord>("race", [](uint32_t n, RaceRecord& r) { return GetRace(n, r); }),
      Case<ClassRecord>("class", [](uint32_t n, ClassRecord& r) { return GetClass(n, r); }),
      Case<ShopRecord>("shop", [](uint32_t n, ShopRecord& r) { return GetShop(n, r); }),
      Case<ItemRecord>("item", [](uint32_t n, ItemRecord& r) { return GetItem(n, r, true); }),
      Case<MonsterRecord>("monster", [](uint32_t n, MonsterRecord& r) { return GetMonster(n, r); }),
      Case<ActiveMonsterRecord>(
          "active", [](uint32_t n, ActiveMonsterRecord& r) { return GetActiveMonster(n, r); }),
      Case<SpellRecord>("spell", [](uint32_t n, SpellRecord& r) { return GetSpell(n, r); }),
      Case<MessageRecord>("message", [](uint32_t n, MessageRecord& r) { return GetMessage(n, r); }),
      Case<RoomRecord>("room", [](uint32_t n, RoomRecord& r) { return GetRoom(n, n, r, true); }),
      Case<TextBlockRecord>(
          "text", [](uint32_t n, TextBlockRecord& r) { return GetTextBlock(n, 1, r, true); }),
  };
}

class RecordAccessTest : public RecordFilesTest {};

TEST_F(RecordAccessTest, NumberZeroGivesMinusOneAndZerosWithoutOpeningAnything) {
  // The data directory holds no files: any Open would answer 12.
  for (const GetCase& c : AllGets()) {
    if (std::string(c.name) == "text") continue;  // text blocks have no number 0 rule
    bool zero = false;
    EXPECT_EQ(c.get(0, zero), kNoRecordNumber) << c.name;
    EXPECT_TRUE(zero) << c.name;
  }
  RoomRecord room;
  Scribble(room);
  EXPECT_EQ(GetRoom(0, 5, room, true), kNoRecordNumber);
  EXPECT_EQ(GetRoom(5, 0, room, true), kNoRecordNumber);
  EXPECT_TRUE(IsZero(room));
}

TEST_F(RecordAccessTest, MissingFileGivesItsStatusAndZeros) {
  for (const GetCase& c : AllGets()) {
    bool zero = false;
    EXPECT_EQ(c.get(7, zero), btrieve::status::kFileNotFound) << c.name;
    EXPECT_TRUE(zero) << c.name;
  }
}

TEST_F(RecordAccessTest, MissingRecordGivesItsStatusAndZeros) {
  // Each file holds record 1 only.
  RaceRecord race;
  race.setNumber(1);
  ClassRecord klass;
  klass.setNumber(1);
  ShopRecord shop;
  shop.setNumber(1);
  MonsterRecord monster = Monster(1, 1, 1);
  ActiveMonsterRecord active;
  active.setNumber(1);
  SpellRecord spell;
  spell.setNumber(1);
  MessageRecord message;
  message.setNumber(1);
  MakeFile(kRaceFile, {Bytes(race)});
  MakeFile(kClassFile, {Bytes(klass)});
  MakeFile(kShopFile, {Bytes(shop)});
  MakeFile(kItemFile, {Bytes(Item(1, "one"))});
  MakeFile(kMonsterFile, {Bytes(monster)});
  MakeFile(kActiveMonsterFile, {Bytes(active)});
  MakeFile(kSpellFile, {Bytes(spell)});
  MakeFile(kMessageFile, {Bytes(message)});
  MakeFile(kRoomFile, {Bytes(Room(1, 1, "one"))});
  MakeFile(kTextFile, {TextPart(1, 1, "one")});
  for (const GetCase& c : AllGets()) {
    bool zero = false;
    EXPECT_EQ(c.get(1, zero), 0) << c.name;
    EXPECT_FALSE(zero) << c.name;
    const int32_t result = c.get(2, zero);
    EXPECT_NE(result, 0) << c.name;
    EXPECT_GT(result, 0) << c.name;
    EXPECT_TRUE(zero) << c.name;
  }
}

TEST_F(RecordAccessTest, KeptCopiesTakeTheFileBytesAndZeroTheRest) {
  // A race is 126 bytes on disk and 128 kept: the last two bytes stay zero.
  std::vector<uint8_t> race(126, 0x5A);
  btrieve::StoreU16(race.data(), 3);
  // A message is 256 bytes on disk and 250 kept.
  MessageRecord message;
  message.setNumber(9);
  message.setLine3("third");
  std::vector<uint8_t> messageBytes = Bytes(message);
  messageBytes.resize(256, 0x77);
  MakeFile(kRaceFile, {race});
  MakeFile(kMessageFile, {messageBytes});

  RaceRecord gotRace;
  ASSERT_EQ(GetRace(3, gotRace), 0);
  EXPECT_EQ(gotRace.number(), 3);
  EXPECT_EQ(gotRace.data()[125], 0x5A);
  EXPECT_EQ(gotRace.data()[126], 0);
  EXPECT_EQ(gotRace.data()[127], 0);

  MessageRecord gotMessage;
  ASSERT_EQ(GetMessage(9, gotMessage), 0);
  EXPECT_EQ(gotMessage, message);
}

TEST_F(RecordAccessTest, SixteenBitKeysRejectLargerNumbersWithoutWrapping) {
  SpellRecord spell;
  spell.setNumber(4464);  // 70000 mod 65536
  spell.setName("wrapped");
  MakeFile(kSpellFile, {Bytes(spell)});
  SpellRecord got;
  EXPECT_EQ(GetSpell(4464, got), 0);
  Scribble(got);
  EXPECT_EQ(GetSpell(70000, got), btrieve::status::kKeyNotFound);
  EXPECT_TRUE(IsZero(got));
  EXPECT_EQ(SpellName(70000), "");
}

TEST_F(RecordAccessTest, ItemsAndRoomsComeFromTheCacheOnlyWhenRemembered) {
  MakeFile(kItemFile, {Bytes(Item(5, "lamp")), Bytes(Item(6, "rope"))});
  MakeFile(kRoomFile, {Bytes(Room(1, 2, "Hall")), Bytes(Room(1, 3, "Cellar"))});
  ItemRecord item;
  RoomRecord room;
  ASSERT_EQ(GetItem(5, item, false), 0);
  ASSERT_EQ(GetRoom(1, 2, room, false), 0);
  EXPECT_EQ(ProgramCaches().items.count(), 0u);
  EXPECT_EQ(ProgramCaches().rooms.count(), 0u);
  ASSERT_EQ(GetItem(6, item, true), 0);
  ASSERT_EQ(GetRoom(1, 3, room, true), 0);
  EXPECT_EQ(ProgramCaches().items.count(), 1u);
  EXPECT_EQ(ProgramCaches().rooms.count(), 1u);

  // With the files gone only the remembered records can still be read.
  RemoveFile(kItemFile);
  RemoveFile(kRoomFile);
  Scribble(item);
  ASSERT_EQ(GetItem(6, item, true), 0);
  EXPECT_EQ(item, Item(6, "rope"));
  Scribble(room);
  ASSERT_EQ(GetRoom(1, 3, room, true), 0);
  EXPECT_EQ(room, Room(1, 3, "Cellar"));
  EXPECT_EQ(GetItem(5, item, true), btrieve::status::kFileNotFound);
  EXPECT_TRUE(IsZero(item));
  // The room key is map and room: map 3, room 1 is another room.
  EXPECT_EQ(GetRoom(3, 1, room, true), btrieve::status::kFileNotFound);

  ClearItemCache();
  ClearRoomCache();
  EXPECT_EQ(ProgramCaches().items.bytes(), 0u);
  EXPECT_EQ(GetItem(6, item, true), btrieve::status::kFileNotFound);
}

TEST_F(RecordAccessTest, GetItemsResults) {
  MakeFile(kItemFile, {Bytes(Item(1, "a")), Bytes(Item(2, "b")), Bytes(Item(3, "c"))});
  struct Row {
    std::vector<uint32_t> numbers;
    int32_t result;
  };
  const Row rows[] = {
      {{1, 2, 3}, 0},
      {{1, 9, 3}, -btrieve::status::kKeyNotFound},
      {{8, 9, 3}, -btrieve::status::kKeyNotFound},
      {{7, 8, 9}, btrieve::status::kKeyNotFound},
      {{}, 0},
  };
  for (const Row& row : rows) {
    std::string shown;
    for (uint32_t n : row.numbers) shown += std::to_string(n) + " ";
    std::vector<ItemRecord> records(row.numbers.size());
    for (auto& r : records) Scribble(r);
    EXPECT_EQ(GetItems(row.numbers, records), row.result) << shown;
    for (size_t i = 0; i < records.size(); ++i) {
      const uint32_t n = row.numbers[i];
      if (n <= 3) {
        EXPECT_EQ(records[i].number(), n) << shown;
      } else {
        EXPECT_TRUE(IsZero(records[i])) << shown << "slot " << i;
      }
    }
  }
  // Records beyond the numbers are zeroed, and the batch never uses the cache.
  std::vector<ItemRecord> records(3);
  for (auto& r : records) Scribble(r);
  const uint32_t two[] = {2, 3};
  EXPECT_EQ(GetItems(two, records), 0);
  EXPECT_TRUE(IsZero(records[2]));
  EXPECT_EQ(ProgramCaches().items.count(), 0u);

  RemoveFile(kItemFile);
  EXPECT_EQ(GetItems(two, records), btrieve::status::kFileNotFound);
  EXPECT_TRUE(IsZero(records[0]));
}

TEST_F(RecordAccessTest, FindGroupMonstersLimits) {
  // 100 monsters of group 7 (indexes 1..100), and neighbours that must not
  // match: another group, and group 7 with indexes outside every range used.
  std::vector<std::vector<uint8_t>> monsters;
  for (uint32_t i = 1; i <= 100; ++i)
    monsters.push_back(Bytes(Monster(i, 7, static_cast<uint16_t>(i))));
  for (uint32_t i = 101; i <= 110; ++i) monsters.push_back(Bytes(Monster(i, 8, 5)));
  monsters.push_back(Bytes(Monster(111, 7, 500)));
  MakeFile(kMonsterFile, monsters);

  struct Row {
    uint16_t minIndex, maxIndex;
    size_t slots;
    int32_t result;
    size_t copied;
    uint32_t firstNumber;
  };
  const Row rows[] = {
      {1, 100, 10, 0, 10, 1},    // lastIndex + 1
      {1, 100, 120, 0, 85, 1},   // never more than 85
      {1, 1000, 200, 0, 85, 1},  // still 85 with 101 matches
      {20, 30, 40, 0, 11, 20},   // the range is inclusive at both ends
      {0, 3, 5, 0, 3, 1},        // only minIndex 0 is allowed
      {200, 300, 5, -2, 0, 0},   // nothing matches: the search's status (checked below)
      {0, 0, 5, kNoRecordNumber, 0, 0},
  };
  for (const Row& row : rows) {
    const std::string shown = std::to_string(row.minIndex) + ".." + std::to_string(row.maxIndex) +
                              " into " + std::to_string(row.slots);
    std::vector<MonsterRecord> records(row.slots);
    for (auto& r : records) Scribble(r);
    size_t copied = 99;
    const int32_t result = FindGroupMonsters(7, row.minIndex, row.maxIndex, records, &copied);
    if (row.result == -2) {
      EXPECT_GT(result, 0) << shown;
    } else {
      EXPECT_EQ(result, row.result) << shown;
    }
    EXPECT_EQ(copied, row.copied) << shown;
    for (size_t i = 0; i < records.size(); ++i) {
      if (i < row.copied) {
        EXPECT_EQ(records[i].number(), row.firstNumber + i) << shown;
        EXPECT_EQ(records[i].group(), 7) << shown;
        EXPECT_EQ(records[i], Monster(row.firstNumber + static_cast<uint32_t>(i), 7,
                                      static_cast<uint16_t>(row.firstNumber + i)))
            << shown;
      } else {
        EXPECT_TRUE(IsZero(records[i])) << shown << " slot " << i;
      }
    }
  }
  RemoveFile(kMonsterFile);
  std::vector<MonsterRecord> records(3);
  EXPECT_EQ(FindGroupMonsters(7, 1, 2, records), btrieve::status::kFileNotFound);
}

// A foreign file may hold a text longer than any kept copy; when it is the
// first record of the file, the look-ups of every other part still work.
TEST_F(RecordAccessTest, ALongFirstTextDoesNotStopOtherLookUps) {
  std::vector<uint8_t> huge = TextPart(1, 0, "");
  huge.pop_back();
  huge.insert(huge.end(), 3000, 'y');
  huge.push_back(0);
  MakeFile(kTextFile, {huge, TextPart(4, 2, "second")});
  TextBlockRecord record;
  ASSERT_EQ(GetTextBlock(4, 2, record, false), 0);
  EXPECT_EQ(record.text(), "second");
  // The long text itself arrives cut to the kept copy, without its zero.
  ASSERT_EQ(GetTextBlock(1, 0, record, false), 0);
  EXPECT_EQ(record.text(), std::string(TextBlockRecord::kTextCapacity, 'y'));
}

TEST_F(RecordAccessTest, TextBlockParts) {
  const std::string longText(2040, 'x');  // longer than a 2048-byte result could hold whole
  MakeFile(kTextFile, {TextPart(4, 1, "first"), TextPart(4, 2, "second"), TextPart(5, 1, "other"),
                       TextPart(6, 1, longText)});
  TextBlockRecord record;
  ASSERT_EQ(GetTextBlock(4, 2, record, false), 0);
  EXPECT_EQ(record.blockNumber(), 4u);
  EXPECT_EQ(record.part(), 2);
  EXPECT_EQ(record.linkTo(), 1004u);
  EXPECT_EQ(record.text(), "second");
  EXPECT_EQ(ProgramCaches().texts.count(), 0u);

  Scribble(record);
  EXPECT_NE(GetTextBlock(4, 3, record, true), 0);
  EXPECT_TRUE(IsZero(record));
  Scribble(record);
  EXPECT_NE(GetTextBlock(7, 1, record, true), 0);
  EXPECT_TRUE(IsZero(record));

  ASSERT_EQ(GetTextBlock(6, 1, record, true), 0);
  EXPECT_EQ(record.text(), longText);
  ASSERT_EQ(GetTextBlock(5, 1, record, true), 0);
  // The cache keeps the text and its zero, not the head.
  const TextCache& cache = ProgramCaches().texts;
  ASSERT_EQ(cache.count(), 2u);
  EXPECT_EQ(cache.entries().front().size, 2041u);
  EXPECT_EQ(cache.entries().back().size, 6u);

  RemoveFile(kTextFile);
  Scribble(record);
  ASSERT_EQ(GetTextBlock(6, 1, record, true), 0);
  EXPECT_EQ(record.blockNumber(), 6u);
  EXPECT_EQ(record.linkTo(), 1006u);
  EXPECT_EQ(record.text(), longText);
  EXPECT_EQ(record.data()[24 + 2040], 0);
  EXPECT_EQ(record.data()[2071], 0);
  EXPECT_EQ(GetTextBlock(4, 1, record, true), btrieve::status::kFileNotFound);
}

TEST_F(RecordAccessTest, NameLookups) {
  RaceRecord race;
  race.setNumber(2);
  race.setName("Dwarf");
  ClassRecord klass;
  klass.setNumber(3);
  klass.setName("Warden");
  SpellRecord spell;
  spell.setNumber(4);
  std::fill_n(spell.data() + 2, SpellRecord::kNameLength, 's');  // no terminating zero
  MessageRecord blank, second, third;
  blank.setNumber(1);
  second.setNumber(2);
  second.setLine2("middle");
  second.setLine3("last");
  third.setNumber(3);
  third.setLine3("only the third");
  ActiveMonsterRecord active;
  active.setNumber(12);
  active.setName("Grub the Elder");
  std::vector<std::vector<uint8_t>> monsters;
  for (uint16_t code = 0; code <= 8; ++code) {
    MonsterRecord m = Monster(code + 1u, 1, 1);
    m.setName("m" + std::to_string(code));
    m.setAlignment(code == 8 ? 65535 : code);
    monsters.push_back(Bytes(m));
  }
  MakeFile(kRaceFile, {Bytes(race)});
  MakeFile(kClassFile, {Bytes(klass)});
  MakeFile(kSpellFile, {Bytes(spell)});
  MakeFile(kMessageFile, {Bytes(blank), Bytes(second), Bytes(third)});
  MakeFile(kActiveMonsterFile, {Bytes(active)});
  MakeFile(kMonsterFile, monsters);
  MakeFile(kItemFile, {Bytes(Item(8, "Torch"))});
  MakeFile(kRoomFile, {Bytes(Room(1, 142, "Chapel of Rest"))});

  EXPECT_EQ(RaceName(2), "Dwarf");
  EXPECT_EQ(RaceName(0), "");
  EXPECT_EQ(RaceName(5), "");
  EXPECT_EQ(ClassName(3), "Warden");
  EXPECT_EQ(SpellName(4), std::string(30, 's'));
  EXPECT_EQ(MessageText(1), "");
  EXPECT_EQ(MessageText(2), "middle");
  EXPECT_EQ(MessageText(3), "only the third");
  EXPECT_EQ(MessageText(0), "");
  EXPECT_EQ(ActiveMonsterName(12), "Grub the Elder");
  EXPECT_EQ(MonsterName(1), "m0");

  const char* colours[] = {"|03", "|13", "|13", "|03", "|07", "|13", "|13", "|13", "|13"};
  for (uint16_t code = 0; code <= 8; ++code) {
    EXPECT_EQ(MonsterNameColoured(code + 1u),
              std::string(colours[code]) + "m" + std::to_string(code))
        << "alignment record " << code;
  }
  EXPECT_EQ(MonsterNameColoured(50), "");

  EXPECT_EQ(ItemName(8), "Torch");
  EXPECT_EQ(RoomTitle(1, 142), "Chapel of Rest");
  EXPECT_EQ(ProgramCaches().items.count(), 1u);
  EXPECT_EQ(ProgramCaches().rooms.count(), 1u);
}

TEST(RecordTextHelpersTest, SmallTexts) {
  EXPECT_EQ(SignedText(0), "");
  EXPECT_EQ(SignedText(5), "+5");
  EXPECT_EQ(SignedText(-5), "-5");
  EXPECT_EQ(SignedText(INT32_MIN), "-2147483648");
  EXPECT_EQ(YesNo(0), "no");
  EXPECT_EQ(YesNo(1), "yes");
  EXPECT_EQ(YesNo(255), "yes");
  struct Row {
    int32_t ac, dr;
    const char* text;
  };
  const Row rows[] = {{0, 0, "0.0/0.0"},
                      {25, 7, "2.5/0.7"},
                      {65535, 10, "6553.5/1.0"},
                      {-15, -3, "-1.5/-0.3"},
                      {INT32_MIN, 0, "-214748364.8/0.0"}};
  for (const Row& row : rows) {
    EXPECT_EQ(ArmourText(row.ac, row.dr), row.text) << row.ac << " " << row.dr;
  }
  EXPECT_EQ(AlignmentColourCode(4), "|07");
}

TEST(RecordDescriptorTest, TextBlockDescriptorBytes) {
  const std::vector<uint8_t> expected = {
      36, 0, 'U', 'C', 0xFF, 0xFF, 2, 0,                       // length, signature, rejects, terms
      14, 4, 0,   16,  0,    1,    1, 0x78, 0x56, 0x34, 0x12,  // block at 16, equal, AND
      14, 2, 0,   0,   0,    1,    0, 0x02, 0x01,              // part at 0, equal, last
      1,  0, 1,   0,   0x18, 0x08, 0, 0};                      // 1 record, 1 field: 2072 at 0
  EXPECT_EQ(TextBlockDescriptor(0x12345678, 0x0102), expected);
}

TEST(RecordDescriptorTest, GroupMonsterDescriptorBytes) {
  const std::vector<uint8_t> expected = {
      43, 0, 'U', 'C', 0xFF, 0xFF, 3, 0,           // length, signature, rejects, terms
      14, 2, 0,   84,  0,    1,    1, 0x07, 0x01,  // group at 84 equal, AND
      14, 2, 0,   92,  0,    5,    1, 0x03, 0x00,  // index at 92 >=, AND
      14, 2, 0,   92,  0,    6,    0, 0x10, 0x27,  // index at 92 <=, last
      85, 0, 1,   0,   0xF4, 0x02, 0, 0};          // 85 records, 1 field: 756 at 0
  EXPECT_EQ(GroupMonsterDescriptor(0x0107, 3, 10000), expected);
}

}  // namespace
}  // namespace torvex
