#include "platform/btrieve/create_spec.h"

#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"

namespace torvex::btrieve {

namespace {
constexpr uint16_t kMaxKeys = 119;
constexpr uint16_t kSharedFlags =
    key_flag::kDuplicates | key_flag::kModifiable | key_flag::kNullKey;
}  // namespace

int16_t ParseCreateSpec(std::span<const uint8_t> buffer, FileDefinition& out) {
  namespace L = create_layout;
  if (buffer.size() < L::kFileSpecSize) return status::kDataBufferTooShort;
  const uint8_t* spec = buffer.data();
  FileDefinition def;
  def.recordLength = LoadU16(spec + L::kRecordLength);
  def.pageSize = LoadU16(spec + L::kPageSize);
  def.fileFlags = LoadU16(spec + L::kFileFlags);
  uint16_t keyCount = LoadU16(spec + L::kKeyCount);
  if (def.recordLength < 4) return status::kInvalidRecordLength;
  if (def.pageSize < 512 || def.pageSize > 16384 || def.pageSize % 512 != 0) {
    return status::kInvalidPageSize;
  }
  if (keyCount < 1 || keyCount > kMaxKeys) return status::kInvalidKeyCount;
  size_t at = L::kFileSpecSize;
  for (uint16_t k = 0; k < keyCount; ++k) {
    KeyDefinition key;
    bool more = true;
    while (more) {
      if (at + L::kKeySpecSize > buffer.size()) return status::kDataBufferTooShort;
      const uint8_t* ks = buffer.data() + at;
      at += L::kKeySpecSize;
      uint16_t position = LoadU16(ks + L::kKeyPosition);
      KeySegment seg;
      seg.length = LoadU16(ks + L::kKeyLength);
      seg.flags = LoadU16(ks + L::kKeyFlags);
      seg.declaredType = ks[L::kKeyType];
      seg.nullValue = ks[L::kNullValue];
      more = seg.flags & key_flag::kSegmented;
      if (seg.length == 0) return status::kInvalidKeyLength;
      if (position == 0 || position - 1 + seg.length > def.recordLength) {
        return status::kInvalidKeyPosition;
      }
      seg.offset = static_cast<uint16_t>(position - 1);
      if (seg.flags & key_flag::kAlternateCollating) return status::kInvalidCollatingSequence;
      if (!IsSupportedKeyType(seg.type())) return status::kInvalidKeyType;
      // Duplicates, modifiability and null handling belong to the whole key.
      if (!key.segments.empty() &&
          (key.segments[0].flags & kSharedFlags) != (seg.flags & kSharedFlags)) {
        return status::kInvalidKeyFlags;
      }
      key.segments.push_back(seg);
      key.length += seg.length;
      if (key.length > kMaxKeyLength) return status::kInvalidKeyLength;
    }
    for (const KeySegment& seg : key.segments) {
      if (seg.type() != key_type::kAutoIncrement) continue;
      // An autoincrement key stands alone, is unique and holds a number we can add to.
      if (key.segments.size() != 1 || key.AllowsDuplicates()) return status::kInvalidKeyFlags;
      if (seg.length != 2 && seg.length != 4 && seg.length != 8) {
        return status::kInvalidKeyLength;
      }
    }
    def.keys.push_back(std::move(key));
  }
  out = std::move(def);
  return status::kSuccess;
}

}  // namespace torvex::btrieve
