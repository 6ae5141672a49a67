#include "database/record_cache.h"

#include <zlib.h>

namespace torvex {

std::vector<uint8_t> CompressRecord(std::span<const uint8_t> data) {
  uLongf length = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(length);
  if (compress2(out.data(), &length, data.data(), static_cast<uLong>(data.size()), 9) != Z_OK) {
    return {};
  }
  out.resize(length);
  out.shrink_to_fit();
  return out;
}

long DecompressRecord(std::span<const uint8_t> compressed, std::span<uint8_t> out) {
  uLongf length = static_cast<uLongf>(out.size());
  if (uncompress(out.data(), &length, compressed.data(), static_cast<uLong>(compressed.size())) !=
      Z_OK) {
    return -1;
  }
  return static_cast<long>(length);
}

RecordCaches& ProgramCaches() {
  static RecordCaches caches;
  return caches;
}

void ClearItemCache() {
  ProgramCaches().items.Clear();
}
void ClearRoomCache() {
  ProgramCaches().rooms.Clear();
}
void ClearTextCache() {
  ProgramCaches().texts.Clear();
}

}  // namespace torvex
