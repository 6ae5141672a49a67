// Sends arbitrary Get Next Extended descriptors to a small file of variable-length
// records. Input: u16 data length the caller claims, a key-path selector byte, then the
// data buffer's contents.
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"

namespace {

namespace b = torvex::btrieve;

struct Fixture {
  uint8_t pos[128] = {};
  uint8_t key[255] = {};
  Fixture() {
    std::string pattern = (std::filesystem::temp_directory_path() / "btrieve-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    std::string path = pattern + "/EXT.DAT";
    std::memcpy(key, path.c_str(), path.size());
    // 12-byte fixed part: u32 autoincrement key at 0, u16 key with duplicates at 4.
    std::vector<uint8_t> spec(48, 0);
    b::StoreU16(&spec[0], 12);
    b::StoreU16(&spec[2], 512);
    b::StoreU16(&spec[4], 2);
    b::StoreU16(&spec[10], b::file_flag::kVariableLength);
    b::StoreU16(&spec[16], 1);
    b::StoreU16(&spec[18], 4);
    b::StoreU16(&spec[20], b::key_flag::kExtendedType);
    spec[26] = b::key_type::kAutoIncrement;
    b::StoreU16(&spec[32], 5);
    b::StoreU16(&spec[34], 2);
    b::StoreU16(&spec[36], b::key_flag::kExtendedType | b::key_flag::kDuplicates);
    spec[42] = b::key_type::kInteger;
    uint32_t len = static_cast<uint32_t>(spec.size());
    if (BTRCALL(b::op::kCreate, pos, spec.data(), &len, key, 255, 0) != 0) std::abort();
    len = 0;
    if (BTRCALL(b::op::kOpen, pos, nullptr, &len, key, 255, 0) != 0) std::abort();
    for (uint32_t i = 0; i < 40; ++i) {
      std::vector<uint8_t> r(12 + (i * 7) % 50, static_cast<uint8_t>('a' + i % 26));
      b::StoreU32(&r[0], 0);
      b::StoreU16(&r[4], static_cast<uint16_t>(i % 5));
      r.back() = 0;
      len = static_cast<uint32_t>(r.size());
      uint8_t k[255];
      if (BTRCALL(b::op::kInsert, pos, r.data(), &len, k, 255, 0) != 0) std::abort();
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Fixture fixture;
  if (size < 3) return 0;
  static std::vector<uint8_t> buffer(70000);
  uint32_t capacity = std::min<uint32_t>(b::LoadU16(data), static_cast<uint32_t>(buffer.size()));
  int8_t keyNumber = static_cast<int8_t>(data[2] % 3);  // 2 is not a key: status 6
  size_t n = std::min(size - 3, buffer.size());
  std::memset(buffer.data(), 0, buffer.size());
  std::memcpy(buffer.data(), data + 3, n);
  uint8_t record[256];
  uint32_t len = sizeof record;
  uint8_t key[255];
  BTRCALL(data[2] & 0x80 ? b::op::kGetLast : b::op::kGetFirst, fixture.pos, record, &len, key, 255,
          keyNumber == 2 ? 0 : keyNumber);
  len = capacity;
  BTRCALL(b::op::kGetNextExtended, fixture.pos, buffer.data(), &len, key, 255, keyNumber);
  if (len > capacity) std::abort();
  return 0;
}
