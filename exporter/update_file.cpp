#include "exporter/update_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "database/records/tables.h"
#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"

namespace torvex::exporter {

namespace bt = torvex::btrieve;

uint8_t FileCode(std::span<const uint8_t> updateRecord) {
  return updateRecord.size() > kFileCodeOffset ? updateRecord[kFileCodeOffset] & 0x7F : 0;
}

uint32_t CarriedLength(uint8_t code, std::span<const uint8_t> updateRecord) {
  if (FileIndexForCode(code) != kTextFile) return RecordLengthForCode(code);
  // A text with no terminator inside the record would otherwise run on into whatever
  // follows it in the caller's buffer.
  const size_t end = std::min<size_t>(updateRecord.size(), kUpdateRecordLength);
  uint32_t text = 0;
  if (end > kTextOffset) {
    const uint8_t* first = updateRecord.data() + kTextOffset;
    const uint8_t* zero = std::find(first, updateRecord.data() + end, uint8_t{0});
    text = static_cast<uint32_t>(zero - first);
  }
  return text + kTextBlockHeadLength + 1;
}

UpdateFileWriter::~UpdateFileWriter() {
  Close();
}

int16_t UpdateFileWriter::Create(const std::string& path) {
  return Create(path, Shape{});
}

int16_t UpdateFileWriter::Create(const std::string& path, Shape shape) {
  Close();
  if (path.size() > bt::kMaxPathLength) return bt::status::kInvalidFileName;
  namespace cl = bt::create_layout;
  uint8_t spec[cl::kFileSpecSize + cl::kKeySpecSize] = {};
  bt::StoreU16(spec + cl::kRecordLength, shape.recordLength);
  bt::StoreU16(spec + cl::kPageSize, 4096);
  bt::StoreU16(spec + cl::kKeyCount, 1);
  bt::StoreU16(spec + cl::kFileFlags, shape.variableLength ? bt::file_flag::kVariableLength : 0);
  uint8_t* key = spec + cl::kFileSpecSize;
  bt::StoreU16(key + cl::kKeyPosition, 1);
  bt::StoreU16(key + cl::kKeyLength, 4);
  bt::StoreU16(key + cl::kKeyFlags, bt::key_flag::kExtendedType);
  key[cl::kKeyType] = bt::key_type::kAutoIncrement;

  char keyBuffer[bt::kMaxKeyLength] = {};
  std::memcpy(keyBuffer, path.data(), path.size());
  uint32_t length = sizeof spec;
  uint8_t scratch[bt::kPositionBlockSize] = {};
  int16_t st = BTRCALL(bt::op::kCreate, scratch, spec, &length, keyBuffer, bt::kMaxKeyLength,
                       bt::create_mode::kReplace);
  if (st != bt::status::kSuccess) return st;
  length = 0;
  st = BTRCALL(bt::op::kOpen, position_.data(), nullptr, &length, keyBuffer, bt::kMaxKeyLength,
               bt::open_mode::kNormal);
  if (st != bt::status::kSuccess) return st;
  shape_ = shape;
  open_ = true;
  appended_ = 0;
  return st;
}

int16_t UpdateFileWriter::Append(uint8_t fileCode, std::span<const uint8_t> carried) {
  std::vector<uint8_t> record(kUpdateRecordLength, 0);
  record[kFileCodeOffset] = fileCode;
  const size_t n = std::min<size_t>(carried.size(), kMaxCarriedLength);
  std::copy_n(carried.begin(), n, record.begin() + kCarriedOffset);
  return AppendRaw(record);
}

int16_t UpdateFileWriter::AppendRaw(std::span<const uint8_t> record) {
  if (!open_) return bt::status::kFileNotOpen;
  size_t size = shape_.variableLength ? std::max<size_t>(record.size(), shape_.recordLength)
                                      : shape_.recordLength;
  size = std::min<size_t>(size, bt::kMaxRecordLength);
  std::vector<uint8_t> buffer(size, 0);
  std::copy_n(record.begin(), std::min(record.size(), size), buffer.begin());
  uint8_t key[bt::kMaxKeyLength] = {};
  uint32_t length = static_cast<uint32_t>(size);
  const int16_t st =
      BTRCALL(bt::op::kInsert, position_.data(), buffer.data(), &length, key, bt::kMaxKeyLength, 0);
  if (st == bt::status::kSuccess) ++appended_;
  return st;
}

int16_t UpdateFileWriter::Close() {
  if (!open_) return bt::status::kSuccess;
  open_ = false;
  uint8_t key[bt::kMaxKeyLength] = {};
  uint32_t length = 0;
  return BTRCALL(bt::op::kClose, position_.data(), nullptr, &length, key, bt::kMaxKeyLength, 0);
}

}  // namespace torvex::exporter
