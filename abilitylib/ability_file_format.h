// The layout of kestrune.dat, shared by the library that reads it and the
// writer that builds it. kestrune.h describes the format in words.
#pragma once

#include <cstddef>
#include <cstdint>

namespace torvex::ability_file {

inline constexpr size_t kHighestNumberOffset = 8;
inline constexpr size_t kHeaderSize = 16;
inline constexpr size_t kEntrySize = 16;

// Within an entry.
inline constexpr size_t kNameOffsetField = 4;
inline constexpr size_t kColourField = 8;
inline constexpr size_t kFormatField = 12;

// Value formats run from 0 to kFormatCount - 1; callers show nothing for
// larger ones.
inline constexpr uint8_t kFormatCount = 20;

// What an ability without a readable entry is.
inline constexpr char kUnknownName[] = "Unknown";
inline constexpr uint32_t kUnknownColour = 7;
inline constexpr uint8_t kUnknownFormat = 0;

inline uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void WriteU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace torvex::ability_file
