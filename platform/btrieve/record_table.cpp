#include "platform/btrieve/record_table.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"

namespace torvex::btrieve {

uint8_t KeySegment::type() const {
  if (flags & key_flag::kExtendedType) return declaredType;
  return (flags & key_flag::kBinary) ? key_type::kUnsignedBinary : key_type::kString;
}

bool KeyDefinition::AllowsDuplicates() const {
  return !segments.empty() && (segments[0].flags & key_flag::kDuplicates);
}
bool KeyDefinition::HasNullValue() const {
  return !segments.empty() && (segments[0].flags & key_flag::kNullKey);
}
bool KeyDefinition::IsAutoIncrement() const {
  return segments.size() == 1 && segments[0].type() == key_type::kAutoIncrement;
}

bool FileDefinition::VariableLength() const {
  return fileFlags & file_flag::kVariableLength;
}

bool IsSupportedKeyType(uint8_t type) {
  return type == key_type::kString || type == key_type::kInteger || type == key_type::kZString ||
         type == key_type::kUnsignedBinary || type == key_type::kAutoIncrement;
}

namespace {

int CompareBytes(const uint8_t* a, const uint8_t* b, uint32_t length, bool caseInsensitive) {
  if (!caseInsensitive) {
    int c = std::memcmp(a, b, length);
    return (c > 0) - (c < 0);
  }
  for (uint32_t i = 0; i < length; ++i) {
    int x = std::toupper(a[i]), y = std::toupper(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

uint32_t ZLength(const uint8_t* p, uint32_t length) {
  const void* zero = std::memchr(p, 0, length);
  return zero ? static_cast<uint32_t>(static_cast<const uint8_t*>(zero) - p) : length;
}

}  // namespace

int CompareTyped(uint8_t type, const uint8_t* a, const uint8_t* b, uint32_t length,
                 bool caseInsensitive) {
  switch (type) {
    case key_type::kInteger:
    case key_type::kUnsignedBinary:
    case key_type::kAutoIncrement: {
      if (length == 0) return 0;
      // Most significant byte is the last; only an integer's top byte is signed.
      uint32_t i = length - 1;
      if (type == key_type::kInteger && a[i] != b[i]) {
        return static_cast<int8_t>(a[i]) < static_cast<int8_t>(b[i]) ? -1 : 1;
      }
      for (uint32_t j = length; j-- > 0;) {
        if (a[j] != b[j]) return a[j] < b[j] ? -1 : 1;
      }
      return 0;
    }
    case key_type::kZString: {
      uint32_t la = ZLength(a, length), lb = ZLength(b, length);
      int c = CompareBytes(a, b, std::min(la, lb), caseInsensitive);
      if (c != 0) return c;
      return (la > lb) - (la < lb);
    }
    default:
      return CompareBytes(a, b, length, caseInsensitive);
  }
}

RecordTable::RecordTable(FileDefinition definition) : definition_(std::move(definition)) {
  indexes_.reserve(definition_.keys.size());
  for (size_t k = 0; k < definition_.keys.size(); ++k) {
    indexes_.emplace_back(IndexLess(this, static_cast<int>(k)));
  }
}

bool RecordTable::IsNull(int key, const uint8_t* record) const {
  const KeyDefinition& def = definition_.keys[key];
  if (!def.HasNullValue()) return false;
  for (const KeySegment& s : def.segments) {
    for (uint32_t i = 0; i < s.length; ++i) {
      if (record[s.offset + i] != s.nullValue) return false;
    }
  }
  return true;
}

namespace {

// Compares a key whose segments lie at their record offsets (when `aInRecord`) or one
// after another, with another such key.
int CompareKey(const KeyDefinition& key, const uint8_t* a, bool aInRecord, const uint8_t* b,
               bool bInRecord) {
  uint32_t packed = 0;
  for (const KeySegment& s : key.segments) {
    const uint8_t* pa = a + (aInRecord ? s.offset : packed);
    const uint8_t* pb = b + (bInRecord ? s.offset : packed);
    int c = CompareTyped(s.type(), pa, pb, s.length);
    if (c != 0) return (s.flags & key_flag::kDescending) ? -c : c;
    packed += s.length;
  }
  return 0;
}

void PackKey(const KeyDefinition& key, const uint8_t* record, uint8_t* out) {
  for (const KeySegment& s : key.segments) {
    std::memcpy(out, record + s.offset, s.length);
    out += s.length;
  }
}

}  // namespace

int RecordTable::CompareRecords(int key, uint32_t a, uint32_t b) const {
  return CompareKey(definition_.keys[key], Data(a).data(), true, Data(b).data(), true);
}

int RecordTable::CompareWithPacked(int key, uint32_t record, const uint8_t* packed) const {
  return CompareKey(definition_.keys[key], Data(record).data(), true, packed, false);
}

bool RecordTable::IndexLess::operator()(uint32_t a, uint32_t b) const {
  int c = table_->CompareRecords(key_, a, b);
  // Equal keys keep insertion order, which is the order duplicates are read in.
  return c < 0 || (c == 0 && a < b);
}
bool RecordTable::IndexLess::operator()(uint32_t a, PackedKey b) const {
  return table_->CompareWithPacked(key_, a, b.bytes) < 0;
}
bool RecordTable::IndexLess::operator()(PackedKey a, uint32_t b) const {
  return table_->CompareWithPacked(key_, b, a.bytes) > 0;
}

int16_t RecordTable::CheckDuplicates(std::span<const uint8_t> data) const {
  uint8_t packed[kMaxKeyLength];
  for (size_t k = 0; k < definition_.keys.size(); ++k) {
    const KeyDefinition& def = definition_.keys[k];
    if (def.AllowsDuplicates() || IsNull(static_cast<int>(k), data.data())) continue;
    PackKey(def, data.data(), packed);
    const Index& index = indexes_[k];
    auto it = index.lower_bound(PackedKey{packed});
    if (it != index.end() && CompareWithPacked(static_cast<int>(k), *it, packed) == 0) {
      return status::kDuplicateKey;
    }
  }
  return status::kSuccess;
}

uint64_t RecordTable::HighestValue(int key) const {
  const Index& index = indexes_[key];
  if (index.empty()) return 0;
  const KeySegment& s = definition_.keys[key].segments[0];
  uint32_t top = (s.flags & key_flag::kDescending) ? *index.begin() : *index.rbegin();
  return LoadUnsigned(Data(top).data() + s.offset, std::min<uint32_t>(s.length, 8));
}

uint32_t RecordTable::Append(int64_t position, std::span<const uint8_t> data) {
  uint32_t record = static_cast<uint32_t>(records_.size());
  records_.push_back(Slot{position, arena_.size(), static_cast<uint32_t>(data.size())});
  arena_.insert(arena_.end(), data.begin(), data.end());
  for (size_t k = 0; k < indexes_.size(); ++k) {
    if (!IsNull(static_cast<int>(k), data.data())) indexes_[k].insert(record);
  }
  return record;
}

void RecordTable::ExtractKey(int key, uint32_t record, uint8_t* out) const {
  PackKey(definition_.keys[key], Data(record).data(), out);
}

}  // namespace torvex::btrieve
