#include "database/record_access.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "console/format.h"
#include "database/btrieve_layer.h"
#include "database/record_cache.h"
#include "database/settings.h"
#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"

namespace torvex {
namespace {

using btrieve::StoreU16;
using btrieve::StoreU32;

// A file open for one look-up. The destructor closes it, so every path out of
// a get closes what it opened.
class TaskFile {
 public:
  TaskFile() = default;
  TaskFile(const TaskFile&) = delete;
  TaskFile& operator=(const TaskFile&) = delete;
  ~TaskFile() {
    if (open_) {
      uint32_t length = 0;
      BTRCALL(btrieve::op::kClose, positionBlock_.data(), nullptr, &length, keyBuffer_.data(),
              kKeyBufferLength, 0);
    }
  }

  int16_t OpenReadOnly(DatabaseFile file) {
    const std::string path = CutOpenPath(DatabaseFilePath(file));
    keyBuffer_.fill(0);
    std::memcpy(keyBuffer_.data(), path.data(), path.size());
    uint32_t length = 0;  // no owner name
    const int16_t status =
        BTRCALL(btrieve::op::kOpen, positionBlock_.data(), nullptr, &length, keyBuffer_.data(),
                kKeyBufferLength, btrieve::open_mode::kReadOnly);
    open_ = status == 0;
    return status;
  }

  // Get Equal on key 0 with a key of `keyLength` bytes from `key`.
  int16_t GetEqual(const uint8_t* key, size_t keyLength, uint8_t* data, uint32_t* length) {
    keyBuffer_.fill(0);
    std::memcpy(keyBuffer_.data(), key, keyLength);
    return Call(btrieve::op::kGetEqual, data, length);
  }

  int16_t Call(uint16_t operation, uint8_t* data, uint32_t* length) {
    return BTRCALL(operation, positionBlock_.data(), data, length, keyBuffer_.data(),
                   kKeyBufferLength, 0);
  }

 private:
  std::array<uint8_t, btrieve::kPositionBlockSize> positionBlock_{};
  std::array<uint8_t, kKeyBufferLength> keyBuffer_{};
  bool open_ = false;
};

// Key buffers of the record kinds: a 16-bit or 32-bit number, or a room's map
// and room numbers.
struct KeyBytes {
  std::array<uint8_t, 8> bytes{};
  size_t length = 0;
};
KeyBytes Key16(uint32_t number) {
  KeyBytes key;
  StoreU16(key.bytes.data(), static_cast<uint16_t>(number));
  key.length = 2;
  return key;
}
KeyBytes Key32(uint32_t number) {
  KeyBytes key;
  StoreU32(key.bytes.data(), number);
  key.length = 4;
  return key;
}
KeyBytes RoomKey(uint32_t map, uint32_t room) {
  KeyBytes key;
  StoreU32(key.bytes.data(), map);
  StoreU32(key.bytes.data() + 4, room);
  key.length = 8;
  return key;
}

// One Get Equal with the task buffer. The record takes the bytes returned, cut
// or zero-filled to its kept size; on failure it is zeroed.
template <typename Record>
int32_t ReadOne(TaskFile& file, const KeyBytes& key, Record& record) {
  std::array<uint8_t, kTaskBufferSize> data{};
  uint32_t length = kTaskBufferSize;
  const int16_t status = file.GetEqual(key.bytes.data(), key.length, data.data(), &length);
  if (status != 0) {
    record.Clear();
    return status;
  }
  record.Assign(std::span<const uint8_t>(data.data(), std::min(length, kTaskBufferSize)));
  return 0;
}

template <typename Record>
int32_t GetUncached(DatabaseFile kind, const KeyBytes& key, Record& record) {
  TaskFile file;
  const int16_t status = file.OpenReadOnly(kind);
  if (status != 0) {
    record.Clear();
    return status;
  }
  return ReadOne(file, key, record);
}

template <typename Record>
int32_t GetBy16BitNumber(DatabaseFile kind, uint32_t number, Record& record) {
  if (number == 0) {
    record.Clear();
    return kNoRecordNumber;
  }
  if (number > 0xFFFF) {
    record.Clear();
    return btrieve::status::kKeyNotFound;
  }
  return GetUncached(kind, Key16(number), record);
}

template <typename Record>
int32_t GetBy32BitNumber(DatabaseFile kind, uint32_t number, Record& record) {
  if (number == 0) {
    record.Clear();
    return kNoRecordNumber;
  }
  return GetUncached(kind, Key32(number), record);
}

// Serves a cached kind from its cache, or from the file (adding the record
// when `remember` is set). An entry that no longer decompresses is dropped and
// the file is read instead.
template <typename Cache, typename Key, typename Record>
int32_t GetThroughCache(Cache& cache, const Key& cacheKey, DatabaseFile kind,
                        const KeyBytes& fileKey, Record& record, bool remember) {
  if (const auto* entry = cache.Find(cacheKey)) {
    record.Clear();
    if (DecompressRecord(entry->compressed, record.bytes()) >= 0) return 0;
    cache.Remove(cacheKey);
  }
  const int32_t status = GetUncached(kind, fileKey, record);
  if (status == 0 && remember) cache.Add(cacheKey, record.bytes());
  return status;
}

// Length of the extended-get result for one text block: the record count, one
// record's length and position, and the whole kept record.
constexpr uint32_t kTextResultSize = 2 + 6 + TextBlockRecord::kSize;

// Reads the records of an extended-get result: u16 count, then per record u16
// length, u32 position and the data. Stops at the first record that would
// reach past `length` bytes.
template <typename Visit>
size_t ForEachResultRecord(const uint8_t* result, uint32_t length, Visit visit) {
  if (length < 2) return 0;
  const uint16_t count = btrieve::LoadU16(result);
  uint32_t at = 2;
  size_t seen = 0;
  for (uint16_t i = 0; i < count; ++i) {
    if (at + 6 > length) break;
    const uint16_t recordLength = btrieve::LoadU16(result + at);
    if (at + 6 + recordLength > length) break;
    ++seen;
    if (!visit(std::span<const uint8_t>(result + at + 6, recordLength))) break;
    at += 6 + recordLength;
  }
  return seen;
}

// Appends one filter term on an unsigned binary field.
void AppendTerm(std::vector<uint8_t>& d, uint16_t length, uint16_t offset, uint8_t comparison,
                uint8_t connector, uint32_t value) {
  const size_t at = d.size();
  d.resize(at + 7 + length);
  d[at] = btrieve::key_type::kUnsignedBinary;
  StoreU16(&d[at + 1], length);
  StoreU16(&d[at + 3], offset);
  d[at + 5] = comparison;
  d[at + 6] = connector;
  btrieve::StoreUnsigned(&d[at + 7], length, value);
}

void AppendHeader(std::vector<uint8_t>& d, uint16_t termCount) {
  d.resize(8);
  d[2] = static_cast<uint8_t>(btrieve::extended::kSignatureIncludeCurrent[0]);
  d[3] = static_cast<uint8_t>(btrieve::extended::kSignatureIncludeCurrent[1]);
  StoreU16(&d[4], 65535);  // reject count
  StoreU16(&d[6], termCount);
}

void AppendExtractor(std::vector<uint8_t>& d, uint16_t records, uint16_t fieldLength) {
  const size_t at = d.size();
  d.resize(at + 8);
  StoreU16(&d[at], records);
  StoreU16(&d[at + 2], 1);  // one field
  StoreU16(&d[at + 4], fieldLength);
  StoreU16(&d[at + 6], 0);  // at offset 0
  StoreU16(&d[0], static_cast<uint16_t>(d.size()));
}

}  // namespace

std::vector<uint8_t> TextBlockDescriptor(uint32_t block, uint16_t part) {
  namespace ext = btrieve::extended;
  std::vector<uint8_t> d;
  AppendHeader(d, 2);
  AppendTerm(d, 4, 16, ext::kEqual, ext::kAnd, block);
  AppendTerm(d, 2, 0, ext::kEqual, ext::kLastTerm, part);
  AppendExtractor(d, 1, static_cast<uint16_t>(TextBlockRecord::kSize));
  return d;
}

std::vector<uint8_t> GroupMonsterDescriptor(uint16_t group, uint16_t minIndex, uint16_t maxIndex) {
  namespace ext = btrieve::extended;
  std::vector<uint8_t> d;
  AppendHeader(d, 3);
  AppendTerm(d, 2, 84, ext::kEqual, ext::kAnd, group);
  AppendTerm(d, 2, 92, ext::kGreaterOrEqual, ext::kAnd, minIndex);
  AppendTerm(d, 2, 92, ext::kLessOrEqual, ext::kLastTerm, maxIndex);
  AppendExtractor(d, static_cast<uint16_t>(kMaxGroupMonsters),
                  static_cast<uint16_t>(MonsterRecord::kSize));
  return d;
}

std::string DatabaseFilePath(DatabaseFile file) {
  return CutOpenPath(DatabasePath(CurrentDatabaseSettings(), std::string(DatabaseFileName(file))));
}

int32_t GetRace(uint32_t number, RaceRecord& record) {
  return GetBy16BitNumber(kRaceFile, number, record);
}
int32_t GetClass(uint32_t number, ClassRecord& record) {
  return GetBy16BitNumber(kClassFile, number, record);
}
int32_t GetSpell(uint32_t number, SpellRecord& record) {
  return GetBy16BitNumber(kSpellFile, number, record);
}
int32_t GetShop(uint32_t number, ShopRecord& record) {
  return GetBy32BitNumber(kShopFile, number, record);
}
int32_t GetMonster(uint32_t number, MonsterRecord& record) {
  return GetBy32BitNumber(kMonsterFile, number, record);
}
int32_t GetActiveMonster(uint32_t number, ActiveMonsterRecord& record) {
  return GetBy32BitNumber(kActiveMonsterFile, number, record);
}
int32_t GetMessage(uint32_t number, MessageRecord& record) {
  return GetBy32BitNumber(kMessageFile, number, record);
}

int32_t GetItem(uint32_t number, ItemRecord& record, bool remember) {
  if (number == 0) {
    record.Clear();
    return kNoRecordNumber;
  }
  return GetThroughCache(ProgramCaches().items, ItemCacheKey{number}, kItemFile, Key32(number),
                         record, remember);
}

int32_t GetRoom(uint32_t map, uint32_t room, RoomRecord& record, bool remember) {
  if (map == 0 || room == 0) {
    record.Clear();
    return kNoRecordNumber;
  }
  return GetThroughCache(ProgramCaches().rooms, MakeRoomCacheKey(map, room), kRoomFile,
                         RoomKey(map, room), record, remember);
}

int32_t GetItems(std::span<const uint32_t> numbers, std::span<ItemRecord> records) {
  for (ItemRecord& record : records) record.Clear();
  const size_t count = std::min(numbers.size(), records.size());
  TaskFile file;
  const int16_t openStatus = file.OpenReadOnly(kItemFile);
  if (openStatus != 0) return openStatus;
  int32_t lastFailure = 0;
  size_t found = 0;
  for (size_t i = 0; i < count; ++i) {
    const int32_t status = ReadOne(file, Key32(numbers[i]), records[i]);
    if (status == 0) {
      ++found;
    } else {
      lastFailure = status;
    }
  }
  if (lastFailure == 0) return 0;
  return found > 0 ? -lastFailure : lastFailure;
}

int32_t FindGroupMonsters(uint16_t group, uint16_t minIndex, uint16_t maxIndex,
                          std::span<MonsterRecord> records, size_t* found) {
  if (found) *found = 0;
  for (MonsterRecord& record : records) record.Clear();
  if (minIndex == 0 && maxIndex == 0) return kNoRecordNumber;

  // 65528 bytes: room for the descriptor going in, and for the result of 85
  // whole records (2 + 85 * (6 + 756) = 64772) coming back. Failing to get it
  // is left to std::bad_alloc: there is nothing sensible to read without it.
  constexpr uint32_t kWorkBufferSize = 65528;
  std::vector<uint8_t> work(kWorkBufferSize);

  TaskFile file;
  int16_t status = file.OpenReadOnly(kMonsterFile);
  if (status != 0) return status;
  uint32_t length = kWorkBufferSize;
  status = file.Call(btrieve::op::kGetFirst, work.data(), &length);
  if (status != 0) return status;

  const std::vector<uint8_t> descriptor = GroupMonsterDescriptor(group, minIndex, maxIndex);
  std::fill(work.begin(), work.end(), uint8_t{0});
  std::copy(descriptor.begin(), descriptor.end(), work.begin());
  length = kWorkBufferSize;
  status = file.Call(btrieve::op::kGetNextExtended, work.data(), &length);

  const size_t limit = std::min(records.size(), kMaxGroupMonsters);
  size_t copied = 0;
  const size_t returned = ForEachResultRecord(work.data(), std::min(length, kWorkBufferSize),
                                              [&](std::span<const uint8_t> bytes) {
                                                if (copied >= limit) return false;
                                                records[copied++].Assign(bytes);
                                                return true;
                                              });
  if (returned == 0) return status;
  if (found) *found = copied;
  return 0;
}

int32_t GetTextBlock(uint32_t block, uint16_t part, TextBlockRecord& record, bool remember) {
  record.Clear();
  TextCache& cache = ProgramCaches().texts;
  const TextCacheKey cacheKey = MakeTextCacheKey(block, part);
  if (const auto* entry = cache.Find(cacheKey)) {
    std::copy(entry->head.begin(), entry->head.end(), record.data());
    if (DecompressRecord(entry->compressed, record.bytes().subspan(TextBlockRecord::kHeadSize)) >=
        0) {
      return 0;
    }
    record.Clear();
    cache.Remove(cacheKey);
  }

  TaskFile file;
  int16_t status = file.OpenReadOnly(kTextFile);
  if (status != 0) return status;
  // The result holds at most one record cut to the kept size by the extractor,
  // so this buffer takes it whole: a text of up to 2047 characters is never
  // cut short.
  std::array<uint8_t, kTextResultSize> result{};
  uint32_t length = kTextResultSize;
  status = file.Call(btrieve::op::kGetFirst, result.data(), &length);
  // A first record longer than the buffer still sets the position the search
  // starts from; giving up here would fail every look-up in such a file.
  if (status != 0 && status != btrieve::status::kDataBufferTooShort) return status;

  const std::vector<uint8_t> descriptor = TextBlockDescriptor(block, part);
  result.fill(0);
  std::copy(descriptor.begin(), descriptor.end(), result.begin());
  length = kTextResultSize;
  status = file.Call(btrieve::op::kGetNextExtended, result.data(), &length);
  // A record that came back cut (status 22) is not the record: the text would
  // silently lose its end.
  if (status == btrieve::status::kDataBufferTooShort) return status;

  std::span<const uint8_t> found;
  const size_t returned = ForEachResultRecord(result.data(), std::min(length, kTextResultSize),
                                              [&](std::span<const uint8_t> bytes) {
                                                found = bytes;
                                                return true;
                                              });
  if (returned != 1) return status != 0 ? status : btrieve::status::kKeyNotFound;

  record.Assign(found);
  if (remember) {
    TextCacheHead head{};
    std::copy_n(record.data(), head.size(), head.begin());
    const size_t textLength = std::min(found.size(), TextBlockRecord::kSize) -
                              std::min(found.size(), TextBlockRecord::kHeadSize);
    cache.Add(cacheKey, record.bytes().subspan(TextBlockRecord::kHeadSize, textLength), head);
  }
  return 0;
}

std::string RaceName(uint32_t number) {
  RaceRecord record;
  return GetRace(number, record) == 0 ? record.name() : std::string();
}

std::string ClassName(uint32_t number) {
  ClassRecord record;
  return GetClass(number, record) == 0 ? record.name() : std::string();
}

std::string SpellName(uint32_t number) {
  SpellRecord record;
  return GetSpell(number, record) == 0 ? record.name() : std::string();
}

std::string ItemName(uint32_t number) {
  ItemRecord record;
  return GetItem(number, record, true) == 0 ? record.name() : std::string();
}

std::string RoomTitle(uint32_t map, uint32_t room) {
  RoomRecord record;
  return GetRoom(map, room, record, true) == 0 ? record.title() : std::string();
}

std::string MessageText(uint32_t number) {
  MessageRecord record;
  if (GetMessage(number, record) != 0) return {};
  for (size_t line = 0; line < MessageRecord::kLines; ++line) {
    std::string text = record.line(line);
    if (!text.empty()) return text;
  }
  return {};
}

std::string MonsterName(uint32_t number) {
  MonsterRecord record;
  return GetMonster(number, record) == 0 ? record.name() : std::string();
}

std::string MonsterNameColoured(uint32_t number) {
  MonsterRecord record;
  if (GetMonster(number, record) != 0) return {};
  return AlignmentColourCode(record.alignment()) + record.name();
}

std::string ActiveMonsterName(uint32_t number) {
  ActiveMonsterRecord record;
  return GetActiveMonster(number, record) == 0 ? record.name() : std::string();
}

std::string AlignmentColourCode(uint16_t alignment) {
  switch (alignment) {
    case 0:  // good
    case 3:  // neutral
      return "|03";
    case 4:  // lawful-good
      return "|07";
    default:
      return "|13";
  }
}

std::string SignedText(int32_t value) {
  if (value == 0) return {};
  return Format(value > 0 ? "+%d" : "%d", value);
}

std::string YesNo(uint8_t value) {
  return value == 0 ? "no" : "yes";
}

std::string ArmourText(int32_t armourClass, int32_t damageReduction) {
  // Tenths of a negative value keep one sign in front ("-1.5", not "-1.-5").
  auto tenths = [](int32_t value) {
    const int64_t magnitude = value < 0 ? -int64_t{value} : int64_t{value};
    return Format("%s%lld.%lld", value < 0 ? "-" : "", static_cast<long long>(magnitude / 10),
                  static_cast<long long>(magnitude % 10));
  };
  return tenths(armourClass) + "/" + tenths(damageReduction);
}

}  // namespace torvex
