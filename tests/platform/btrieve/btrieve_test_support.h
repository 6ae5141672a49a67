// Helpers for driving the engine through its C interface the way the program does.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"
#include "tests/temp_dir.h"

namespace torvex::btrieve::testing {

using ::torvex::testing::TempDir;

struct Segment {
  uint16_t position;  // 1-based
  uint16_t length;
  uint16_t flags;
  uint8_t type;
  uint8_t nullValue = 0;
};

// Create's data buffer. Each inner vector is one key's segments.
inline std::vector<uint8_t> CreateSpec(uint16_t recordLength, uint16_t pageSize, uint16_t fileFlags,
                                       const std::vector<std::vector<Segment>>& keys) {
  std::vector<uint8_t> b(16, 0);
  StoreU16(&b[0], recordLength);
  StoreU16(&b[2], pageSize);
  StoreU16(&b[4], static_cast<uint16_t>(keys.size()));
  StoreU16(&b[10], fileFlags);
  for (const auto& key : keys) {
    for (size_t i = 0; i < key.size(); ++i) {
      uint8_t s[16] = {};
      StoreU16(s, key[i].position);
      StoreU16(s + 2, key[i].length);
      uint16_t flags = key[i].flags | (i + 1 < key.size() ? key_flag::kSegmented : 0);
      StoreU16(s + 4, flags);
      s[10] = key[i].type;
      s[11] = key[i].nullValue;
      b.insert(b.end(), s, s + 16);
    }
  }
  return b;
}

inline int16_t Create(const std::string& path, std::vector<uint8_t> spec, int8_t mode = 0) {
  uint8_t pos[128] = {};
  char key[255] = {};
  std::strncpy(key, path.c_str(), 254);
  uint32_t len = static_cast<uint32_t>(spec.size());
  return BTRCALL(op::kCreate, pos, spec.data(), &len, key, 255, mode);
}

// One open file: its position block and buffers, as a browser keeps them.
class File {
 public:
  uint8_t pos[128] = {};
  std::vector<uint8_t> data = std::vector<uint8_t>(4096);
  uint32_t length = 0;
  uint8_t key[255] = {};

  int16_t Open(const std::string& path, int8_t mode = open_mode::kNormal) {
    std::memset(key, 0, sizeof key);
    std::memcpy(key, path.data(), std::min<size_t>(path.size(), sizeof key));
    length = 0;
    return BTRCALL(op::kOpen, pos, data.data(), &length, key, 255, mode);
  }
  int16_t Close() { return BTRCALL(op::kClose, pos, data.data(), &length, key, 255, 0); }
  // Runs a get or step with a data buffer of `capacity` bytes.
  int16_t Call(uint16_t op, int8_t keyNumber = 0, uint32_t capacity = 4096) {
    if (data.size() < capacity) data.resize(capacity);
    length = capacity;
    return BTRCALL(op, pos, data.data(), &length, key, 255, keyNumber);
  }
  int16_t Insert(std::vector<uint8_t> record, int8_t keyNumber = 0) {
    inserted = record;
    length = static_cast<uint32_t>(record.size());
    int16_t st = BTRCALL(op::kInsert, pos, inserted.data(), &length, key, 255, keyNumber);
    return st;
  }
  template <typename T>
  int16_t GetEqual(T keyValue, int8_t keyNumber = 0) {
    std::memset(key, 0, sizeof key);
    std::memcpy(key, &keyValue, sizeof keyValue);
    return Call(op::kGetEqual, keyNumber);
  }
  std::vector<uint8_t> Record() const { return {data.begin(), data.begin() + length}; }
  uint32_t U32(size_t at) const { return LoadU32(&data[at]); }
  uint16_t U16(size_t at) const { return LoadU16(&data[at]); }

  std::vector<uint8_t> inserted;  // the record as the engine left it after Insert
};

// Every record of a file in key order, each as long as the engine returns it;
// empty when the file cannot be opened.
inline std::vector<std::vector<uint8_t>> ReadAllRecords(const std::string& path) {
  File f;
  std::vector<std::vector<uint8_t>> out;
  if (f.Open(path, open_mode::kReadOnly) != 0) return out;
  for (int16_t st = f.Call(op::kGetFirst); st == 0; st = f.Call(op::kGetNext)) {
    out.push_back(f.Record());
  }
  f.Close();
  return out;
}

// A record of `length` bytes with a little-endian u32 at each given offset.
inline std::vector<uint8_t> RecordWith(size_t length,
                                       std::initializer_list<std::pair<size_t, uint32_t>> u32s) {
  std::vector<uint8_t> r(length, 0);
  for (auto [at, v] : u32s) StoreU32(&r[at], v);
  return r;
}

}  // namespace torvex::btrieve::testing
