// The compressed record caches: least-recently-used lists whose size is bounded
// by the bytes their entries take compressed, not by how many entries they hold.
// Each record is compressed on its own (zlib stream format, level 9), so a hit
// decompresses only the record asked for.
//
// Order: entries run from the least recently used (the front) to the most
// recently used (the back). A hit moves its entry to the back; an add appends
// at the back and, when the byte count then exceeds the limit, drops the front
// entry — exactly one per add, even if the count stays over the limit.
//
// Single-threaded, like the rest of the program. Entries are owned by the
// cache; a pointer returned by Find stays valid until the next Add, Clear or
// Remove on the same cache.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <span>
#include <unordered_map>
#include <vector>

namespace torvex {

// Compresses `data` as one zlib stream at level 9. Empty on failure (out of
// memory in zlib).
std::vector<uint8_t> CompressRecord(std::span<const uint8_t> data);
// Decompresses one stream into `out`, which it must fit. Returns the number of
// bytes written, or -1 when the stream is damaged or larger than `out`.
long DecompressRecord(std::span<const uint8_t> compressed, std::span<uint8_t> out);

// Nothing kept beside the compressed bytes.
struct NoHead {};

// Key: a hashable value identifying a record. Head: bytes kept uncompressed
// beside each entry (the text cache keeps each record's fixed head there).
template <typename Key, typename Head = NoHead>
class RecordCache {
 public:
  struct Entry {
    Key key{};
    Head head{};
    // Identity shown on the statistics screens: numbered from 1 in the order
    // of adding, never reused until the program ends.
    uint32_t id = 0;
    // Length of the record before compression.
    uint32_t size = 0;
    std::vector<uint8_t> compressed;
  };
  using List = std::list<Entry>;

  explicit RecordCache(size_t byteLimit) : limit_(byteLimit) {}
  RecordCache(const RecordCache&) = delete;
  RecordCache& operator=(const RecordCache&) = delete;

  // The entry for `key`, moved to the back; null when there is none.
  const Entry* Find(const Key& key) {
    auto found = index_.find(key);
    if (found == index_.end()) return nullptr;
    entries_.splice(entries_.end(), entries_, found->second);
    return &*found->second;
  }

  // Adds `record` under `key` unless the key is present already (then the
  // cache is unchanged: not even the order). False when the record could not
  // be compressed, or when the new entry was itself the one evicted.
  bool Add(const Key& key, std::span<const uint8_t> record, const Head& head = {}) {
    if (index_.contains(key)) return true;
    std::vector<uint8_t> compressed = CompressRecord(record);
    if (compressed.empty()) return false;
    Entry& entry = entries_.emplace_back();
    entry.key = key;
    entry.head = head;
    entry.id = ++lastId_;
    entry.size = static_cast<uint32_t>(record.size());
    entry.compressed = std::move(compressed);
    bytes_ += entry.compressed.size();
    index_.emplace(key, std::prev(entries_.end()));
    if (bytes_ > limit_) {
      const bool evictingNew = entries_.size() == 1;
      Remove(entries_.front().key);
      return !evictingNew;
    }
    return true;
  }

  // Drops the entry for `key`, if any.
  void Remove(const Key& key) {
    auto found = index_.find(key);
    if (found == index_.end()) return;
    bytes_ -= found->second->compressed.size();
    entries_.erase(found->second);
    index_.erase(found);
  }

  // Frees every entry; the byte count returns to 0.
  void Clear() {
    entries_.clear();
    index_.clear();
    bytes_ = 0;
  }

  // Entries from least to most recently used.
  const List& entries() const { return entries_; }
  size_t count() const { return entries_.size(); }
  // Sum of the compressed sizes of the entries.
  size_t bytes() const { return bytes_; }
  size_t limit() const { return limit_; }

 private:
  size_t limit_;
  size_t bytes_ = 0;
  uint32_t lastId_ = 0;
  List entries_;
  std::unordered_map<Key, typename List::iterator> index_;
};

// Keys of the three program caches.
using ItemCacheKey = uint32_t;  // item number
// Map number in the high half, room number in the low half.
using RoomCacheKey = uint64_t;
inline RoomCacheKey MakeRoomCacheKey(uint32_t map, uint32_t room) {
  return (uint64_t{map} << 32) | room;
}
// Block number in the high bits, part in the low 16.
using TextCacheKey = uint64_t;
inline TextCacheKey MakeTextCacheKey(uint32_t block, uint16_t part) {
  return (uint64_t{block} << 16) | part;
}

// The text cache keeps a text block's 24-byte head beside the compressed text.
using TextCacheHead = std::array<uint8_t, 24>;

using ItemCache = RecordCache<ItemCacheKey>;
using RoomCache = RecordCache<RoomCacheKey>;
using TextCache = RecordCache<TextCacheKey, TextCacheHead>;

inline constexpr size_t kItemCacheLimit = 2097152;
inline constexpr size_t kRoomCacheLimit = 4194304;
inline constexpr size_t kTextCacheLimit = 4194304;

// The caches of the running program. They start empty, grow as records are
// read with `remember` set, and live until the program ends.
struct RecordCaches {
  ItemCache items{kItemCacheLimit};
  RoomCache rooms{kRoomCacheLimit};
  TextCache texts{kTextCacheLimit};
};
RecordCaches& ProgramCaches();

// Free every entry of one program cache.
void ClearItemCache();
void ClearRoomCache();
void ClearTextCache();

}  // namespace torvex
