// The in-memory image of one record file: its definition (record length, page size,
// file flags, keys), its records in physical order, and one ordered index per key.
// Every operation reads from this image; loaders build it and writes go to it after
// they reach the file.
#pragma once

#include <cstdint>
#include <set>
#include <span>
#include <vector>

namespace torvex::btrieve {

struct KeySegment {
  uint16_t offset = 0;  // 0-based offset in the record
  uint16_t length = 0;
  uint16_t flags = 0;        // key flags as declared for this segment
  uint8_t declaredType = 0;  // extended key type byte as declared
  uint8_t nullValue = 0;
  // How the segment compares: the extended type, or string/unsigned binary for keys
  // declared without an extended type.
  uint8_t type() const;
};

struct KeyDefinition {
  std::vector<KeySegment> segments;
  uint32_t length = 0;  // sum of the segment lengths: the key value's size
  bool AllowsDuplicates() const;
  bool HasNullValue() const;
  bool IsAutoIncrement() const;
};

struct FileDefinition {
  uint16_t recordLength = 0;  // the fixed part for variable-length files
  uint16_t pageSize = 0;
  uint16_t fileFlags = 0;
  std::vector<KeyDefinition> keys;
  bool VariableLength() const;
};

bool IsSupportedKeyType(uint8_t type);

// Three-way comparison of two values of one key type and length, as the record manager
// orders them: numbers little-endian (integer signed), zero-terminated strings up to the
// zero, strings byte by byte.
int CompareTyped(uint8_t type, const uint8_t* a, const uint8_t* b, uint32_t length,
                 bool caseInsensitive = false);

// A key value laid out as the key buffer carries it: the segments one after another.
struct PackedKey {
  const uint8_t* bytes;
};

class RecordTable {
 public:
  explicit RecordTable(FileDefinition definition);
  RecordTable(const RecordTable&) = delete;
  RecordTable& operator=(const RecordTable&) = delete;

  const FileDefinition& definition() const { return definition_; }
  uint32_t size() const { return static_cast<uint32_t>(records_.size()); }
  int64_t Position(uint32_t record) const { return records_[record].position; }
  std::span<const uint8_t> Data(uint32_t record) const {
    const Slot& s = records_[record];
    return {arena_.data() + s.offset, s.length};
  }
  int64_t LastPosition() const { return records_.empty() ? 0 : records_.back().position; }

  // 0, or 5 when `data` repeats the value of a key that allows no duplicates.
  int16_t CheckDuplicates(std::span<const uint8_t> data) const;
  // The highest value of an autoincrement key (0 on an empty index).
  uint64_t HighestValue(int key) const;
  // Adds a record whose position is above every other and whose keys were checked.
  uint32_t Append(int64_t position, std::span<const uint8_t> data);

  // Copies the value of `key` in `record` to `out` (definition().keys[key].length bytes).
  void ExtractKey(int key, uint32_t record, uint8_t* out) const;

  class IndexLess {
   public:
    using is_transparent = void;
    IndexLess(const RecordTable* table, int key) : table_(table), key_(key) {}
    bool operator()(uint32_t a, uint32_t b) const;
    bool operator()(uint32_t a, PackedKey b) const;
    bool operator()(PackedKey a, uint32_t b) const;

   private:
    const RecordTable* table_;
    int key_;
  };
  using Index = std::set<uint32_t, IndexLess>;
  const Index& index(int key) const { return indexes_[key]; }

  // Three-way comparison of record's key with a packed key value.
  int CompareWithPacked(int key, uint32_t record, const uint8_t* packed) const;

 private:
  struct Slot {
    int64_t position;
    uint64_t offset;
    uint32_t length;
  };
  int CompareRecords(int key, uint32_t a, uint32_t b) const;
  bool IsNull(int key, const uint8_t* record) const;

  FileDefinition definition_;
  std::vector<uint8_t> arena_;
  std::vector<Slot> records_;
  std::vector<Index> indexes_;
};

}  // namespace torvex::btrieve
