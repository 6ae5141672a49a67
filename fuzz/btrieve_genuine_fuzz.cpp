// Reads arbitrary bytes as a genuine record file and walks whatever image comes out,
// in every key's order.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/genuine_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace b = torvex::btrieve;
  // Reading is linear in the file; large inputs only slow the search down.
  if (size > 256 * 1024) return 0;
  std::unique_ptr<b::RecordTable> table;
  int16_t st = b::ReadGenuineImage({data, size}, table);
  if (st != b::status::kSuccess) {
    if (table || (st != b::status::kIoError && st != b::status::kNotRecordFile)) std::abort();
    return 0;
  }
  const b::FileDefinition& def = table->definition();
  std::vector<uint8_t> key(b::kMaxKeyLength);
  for (size_t k = 0; k < def.keys.size(); ++k) {
    int previous = -1;
    for (uint32_t record : table->index(static_cast<int>(k))) {
      table->ExtractKey(static_cast<int>(k), record, key.data());
      // The index must agree with the comparison it was built by.
      if (previous >= 0 &&
          table->CompareWithPacked(static_cast<int>(k), previous, key.data()) > 0) {
        std::abort();
      }
      previous = static_cast<int>(record);
    }
  }
  for (uint32_t r = 0; r < table->size(); ++r) {
    std::span<const uint8_t> record = table->Data(r);
    if (record.size() < def.recordLength) std::abort();
    if (r > 0 && table->Position(r) <= table->Position(r - 1)) std::abort();
  }
  return 0;
}
