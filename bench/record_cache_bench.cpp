// Record access by number against baselines measured in the same run:
// - a cache hit against a miss (items and rooms): counter "hit_over_miss";
// - a miss (open, Get Equal, close) against a raw Get Equal on a file held
//   open: counter "miss_over_raw".
// Each iteration times a batch of every kind alternately, so that drift in a
// noisy machine touches both sides of a ratio alike.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "database/record_access.h"
#include "database/record_cache.h"
#include "database/settings.h"
#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"

namespace torvex {
namespace {

using Clock = std::chrono::steady_clock;

// Records 1..kCached are served from the cache, kCached+1..2*kCached from the
// file.
constexpr uint32_t kCached = 500;
constexpr uint32_t kRecords = 2 * kCached;
constexpr int kBatch = 50;

std::string DataDirectory() {
  static const std::string dir = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "record-cache-bench-XXXXXX").string();
    return std::string(mkdtemp(pattern.data())) + "/";
  }();
  return dir;
}

struct RawFile {
  uint8_t pos[128] = {};
  uint8_t key[255] = {};
  std::vector<uint8_t> data = std::vector<uint8_t>(2048);
  int16_t Open(const std::string& path, int8_t mode) {
    std::memset(key, 0, sizeof key);
    std::memcpy(key, path.data(), path.size());
    uint32_t length = 0;
    return BTRCALL(btrieve::op::kOpen, pos, data.data(), &length, key, 255, mode);
  }
  int16_t Call(uint16_t op, uint32_t length) {
    return BTRCALL(op, pos, data.data(), &length, key, 255, 0);
  }
  int16_t Insert(const uint8_t* record, uint32_t length) {
    std::memcpy(data.data(), record, length);
    return Call(btrieve::op::kInsert, length);
  }
  int16_t GetEqual(const uint8_t* keyBytes, size_t keyLength) {
    std::memset(key, 0, sizeof key);
    std::memcpy(key, keyBytes, keyLength);
    return Call(btrieve::op::kGetEqual, 2048);
  }
  void Close() { Call(btrieve::op::kClose, 0); }
};

void CreateFile(const std::string& path, uint16_t recordLength, uint16_t keyLength, uint8_t keyType,
                uint16_t keyFlags) {
  std::vector<uint8_t> spec(32, 0);
  btrieve::StoreU16(&spec[0], recordLength);
  btrieve::StoreU16(&spec[2], 4096);
  btrieve::StoreU16(&spec[4], 1);
  btrieve::StoreU16(&spec[16], 1);
  btrieve::StoreU16(&spec[18], keyLength);
  btrieve::StoreU16(&spec[20], keyFlags);
  spec[26] = keyType;
  uint8_t pos[128] = {};
  char key[255] = {};
  std::strncpy(key, path.c_str(), 254);
  uint32_t length = static_cast<uint32_t>(spec.size());
  if (BTRCALL(btrieve::op::kCreate, pos, spec.data(), &length, key, 255, 0) != 0) std::abort();
}

// Items and rooms with the kind of text a world holds: names, several lines
// of description, a few numbers.
void MakeFiles() {
  static bool made = false;
  if (made) return;
  made = true;
  CurrentDatabaseSettings().dataDirectory = DataDirectory();
  CurrentDatabaseSettings().useDatFiles = false;

  const std::string itemPath = DatabaseFilePath(kItemFile);
  CreateFile(itemPath, 1072, 4, btrieve::key_type::kAutoIncrement,
             btrieve::key_flag::kExtendedType);
  RawFile items;
  if (items.Open(itemPath, 0) != 0) std::abort();
  for (uint32_t n = 1; n <= kRecords; ++n) {
    ItemRecord item;
    item.setNumber(n);
    item.setName("Polished item number " + std::to_string(n));
    for (size_t line = 0; line < 4; ++line) {
      item.setDescription(line, "It is worn along its edge and smells faintly of lamp oil, " +
                                    std::to_string(n * 7 + line));
    }
    item.setWeight(static_cast<uint16_t>(n % 300));
    item.setCost(static_cast<uint16_t>(n * 13));
    item.setAbilityNumbers(0, static_cast<uint16_t>(n % 150));
    item.setAbilityValues(0, static_cast<int16_t>(n % 20));
    if (items.Insert(item.data(), 1072) != 0) std::abort();
  }
  items.Close();

  const std::string roomPath = DatabaseFilePath(kRoomFile);
  CreateFile(roomPath, 1544, 8, btrieve::key_type::kUnsignedBinary,
             btrieve::key_flag::kExtendedType | btrieve::key_flag::kBinary);
  RawFile rooms;
  if (rooms.Open(roomPath, 0) != 0) std::abort();
  for (uint32_t n = 1; n <= kRecords; ++n) {
    RoomRecord room;
    room.setMapNumber(1);
    room.setRoomNumber(n);
    room.setTitle("A damp passage, room " + std::to_string(n));
    for (size_t line = 0; line < 5; ++line) {
      room.setDescription(line, "Water drips from the vaulted stone overhead and pools between " +
                                    std::to_string(n + line));
    }
    room.setExitRoom(0, n + 1);
    room.setExitRoom(1, n > 1 ? n - 1 : 0);
    if (rooms.Insert(room.data(), 1544) != 0) std::abort();
  }
  rooms.Close();
}

template <typename Fn>
double Time(Fn fn) {
  const auto start = Clock::now();
  fn();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_ItemAccess(benchmark::State& state) {
  MakeFiles();
  ClearItemCache();
  ItemRecord record;
  for (uint32_t n = 1; n <= kCached; ++n) GetItem(n, record, true);

  RawFile raw;
  if (raw.Open(DatabaseFilePath(kItemFile), btrieve::open_mode::kReadOnly) != 0) std::abort();
  double hit = 0, miss = 0, rawTime = 0;
  uint32_t next = 0;
  for (auto _ : state) {
    const uint32_t base = next;
    next = (next + kBatch) % kCached;
    hit += Time([&] {
      for (int i = 0; i < kBatch; ++i)
        benchmark::DoNotOptimize(GetItem(base + i + 1, record, true));
    });
    miss += Time([&] {
      for (int i = 0; i < kBatch; ++i) {
        benchmark::DoNotOptimize(GetItem(kCached + base + i + 1, record, false));
      }
    });
    rawTime += Time([&] {
      for (int i = 0; i < kBatch; ++i) {
        uint8_t key[4];
        btrieve::StoreU32(key, kCached + base + i + 1);
        benchmark::DoNotOptimize(raw.GetEqual(key, 4));
      }
    });
  }
  raw.Close();
  const double calls = static_cast<double>(state.iterations()) * kBatch;
  state.counters["hit_us"] = hit / calls * 1e6;
  state.counters["miss_us"] = miss / calls * 1e6;
  state.counters["raw_us"] = rawTime / calls * 1e6;
  state.counters["hit_over_miss"] = hit / miss;
  state.counters["miss_over_raw"] = miss / rawTime;
  state.counters["cache_bytes"] = static_cast<double>(ProgramCaches().items.bytes());
}
BENCHMARK(BM_ItemAccess)->Unit(benchmark::kMicrosecond);

void BM_RoomAccess(benchmark::State& state) {
  MakeFiles();
  ClearRoomCache();
  RoomRecord record;
  for (uint32_t n = 1; n <= kCached; ++n) GetRoom(1, n, record, true);

  RawFile raw;
  if (raw.Open(DatabaseFilePath(kRoomFile), btrieve::open_mode::kReadOnly) != 0) std::abort();
  double hit = 0, miss = 0, rawTime = 0;
  uint32_t next = 0;
  for (auto _ : state) {
    const uint32_t base = next;
    next = (next + kBatch) % kCached;
    hit += Time([&] {
      for (int i = 0; i < kBatch; ++i) {
        benchmark::DoNotOptimize(GetRoom(1, base + i + 1, record, true));
      }
    });
    miss += Time([&] {
      for (int i = 0; i < kBatch; ++i) {
        benchmark::DoNotOptimize(GetRoom(1, kCached + base + i + 1, record, false));
      }
    });
    rawTime += Time([&] {
      for (int i = 0; i < kBatch; ++i) {
        uint8_t key[8];
        btrieve::StoreU32(key, 1);
        btrieve::StoreU32(key + 4, kCached + base + i + 1);
        benchmark::DoNotOptimize(raw.GetEqual(key, 8));
      }
    });
  }
  raw.Close();
  const double calls = static_cast<double>(state.iterations()) * kBatch;
  state.counters["hit_us"] = hit / calls * 1e6;
  state.counters["miss_us"] = miss / calls * 1e6;
  state.counters["raw_us"] = rawTime / calls * 1e6;
  state.counters["hit_over_miss"] = hit / miss;
  state.counters["miss_over_raw"] = miss / rawTime;
  state.counters["cache_bytes"] = static_cast<double>(ProgramCaches().rooms.bytes());
}
BENCHMARK(BM_RoomAccess)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace torvex
