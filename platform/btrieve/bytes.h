// Explicit little-endian field access for the engine's buffers (Create specifications,
// extended-get descriptors and results, Version entries, position blocks).
#pragma once

#include <cstdint>

namespace torvex::btrieve {

inline uint16_t LoadU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void StoreU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
// Little-endian unsigned value of 1..8 bytes.
inline uint64_t LoadUnsigned(const uint8_t* p, uint32_t length) {
  uint64_t v = 0;
  for (uint32_t i = length; i-- > 0;) v = (v << 8) | p[i];
  return v;
}
inline void StoreUnsigned(uint8_t* p, uint32_t length, uint64_t v) {
  for (uint32_t i = 0; i < length; ++i, v >>= 8) p[i] = static_cast<uint8_t>(v);
}

}  // namespace torvex::btrieve
