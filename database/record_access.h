// Records by number. Each get opens its file read-only for the one look-up and
// closes it before returning, whatever happens; items, rooms and text blocks
// are served from the program's compressed caches (record_cache.h) when they
// are there.
//
// Every get returns 0 on success, -1 when the number asked for is 0 (nothing is
// read), and otherwise the record manager's status of the Open or read that
// failed. On any failure the caller's record is all zeros, so it can always be
// read. Nothing is shown on screen: callers decide what a failure means.
//
// Files are found through CurrentDatabaseSettings(): the data directory
// followed by the file name, a dot and the extension of the chosen file kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "database/records/records.h"
#include "database/records/tables.h"

namespace torvex {

// Result of a get for the number 0.
inline constexpr int32_t kNoRecordNumber = -1;

// The path a database file is opened from, as Open receives it (at most 254
// characters).
std::string DatabaseFilePath(DatabaseFile file);

// Files keyed by a 16-bit number (races, classes, spells) cannot hold numbers
// above 65535: those answer status 4 (key not found) without an Open.
int32_t GetRace(uint32_t number, RaceRecord& record);
int32_t GetClass(uint32_t number, ClassRecord& record);
int32_t GetSpell(uint32_t number, SpellRecord& record);
int32_t GetShop(uint32_t number, ShopRecord& record);
int32_t GetMonster(uint32_t number, MonsterRecord& record);
int32_t GetActiveMonster(uint32_t number, ActiveMonsterRecord& record);
int32_t GetMessage(uint32_t number, MessageRecord& record);

// Looked up in the item cache first; a record read from the file is added to
// the cache when `remember` is true.
int32_t GetItem(uint32_t number, ItemRecord& record, bool remember);
// As GetItem, for the room of a map (either number 0 gives -1).
int32_t GetRoom(uint32_t map, uint32_t room, RoomRecord& record, bool remember);

// Reads the items numbers[i] into records[i] with one Open, without the cache.
// Found records are copied and missing ones zeroed. Returns 0 when all were
// found, minus the status of the last failed read when some were, and that
// status itself when none were (or the Open's status when the file cannot be
// opened). Only the first min(numbers.size(), records.size()) pairs are read;
// records beyond the numbers are zeroed.
int32_t GetItems(std::span<const uint32_t> numbers, std::span<ItemRecord> records);

// The known monsters of a regeneration group whose groupIndex lies in
// minIndex..maxIndex, in key order. `records` (the caller's lastIndex + 1
// slots) is zeroed first; then the first min(found, records.size()) matches are
// copied, and never more than kMaxGroupMonsters. Returns -1 when minIndex and
// maxIndex are both 0, 0 when any monster matched, otherwise the status of the
// search. `found`, when given, receives the number of records copied.
inline constexpr size_t kMaxGroupMonsters = 85;
int32_t FindGroupMonsters(uint16_t group, uint16_t minIndex, uint16_t maxIndex,
                          std::span<MonsterRecord> records, size_t* found = nullptr);

// One part of a text block: the 24-byte head and the stored (encoded) text,
// zero-filled behind it. From the text cache when it is there; a record read
// from the file is added to the cache when `remember` is true. A part that does
// not exist gives a non-zero status and a zeroed record.
int32_t GetTextBlock(uint32_t block, uint16_t part, TextBlockRecord& record, bool remember);

// The extended-get descriptors of the two searches (Get Next Extended on key
// 0, examining the current record too, up to 65535 rejects): the part of a
// text block (36 bytes, one record of 2072 bytes), and the monsters of a group
// within an index range (43 bytes, 85 records of 756 bytes).
std::vector<uint8_t> TextBlockDescriptor(uint32_t block, uint16_t part);
std::vector<uint8_t> GroupMonsterDescriptor(uint16_t group, uint16_t minIndex, uint16_t maxIndex);

// Name look-ups: "" when the number is 0 or the record cannot be read.
std::string RaceName(uint32_t number);
std::string ClassName(uint32_t number);
std::string SpellName(uint32_t number);
// Reads through the item and room caches with `remember` set.
std::string ItemName(uint32_t number);
std::string RoomTitle(uint32_t map, uint32_t room);
// The first of the message's three lines that is not empty.
std::string MessageText(uint32_t number);
std::string MonsterName(uint32_t number);
// The monster's name after the colour codes of its alignment.
std::string MonsterNameColoured(uint32_t number);
std::string ActiveMonsterName(uint32_t number);

// The colour codes an alignment is shown in: "|03" for good (0) and neutral
// (3), "|07" for lawful-good (4), "|13" for every other code.
std::string AlignmentColourCode(uint16_t alignment);

// "" for 0, "+5" for 5, "-5" for -5.
std::string SignedText(int32_t value);
// "no" for 0, "yes" otherwise.
std::string YesNo(uint8_t value);
// Armour class and damage reduction in tenths: ArmourText(25, 7) is "2.5/0.7".
std::string ArmourText(int32_t armourClass, int32_t damageReduction);

}  // namespace torvex
