// Get Next Extended: the descriptor the caller sends, the filter it describes and the
// result layout (see namespace extended in btrieve.h).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/btrieve/record_table.h"

namespace torvex::btrieve {

struct ExtendedTerm {
  uint8_t type = 0;
  uint16_t length = 0;
  uint16_t offset = 0;
  uint8_t comparison = 0;  // 1..6, without modifier bits
  bool caseInsensitive = false;
  bool withField = false;  // compare with the field at otherOffset instead of `value`
  uint16_t otherOffset = 0;
  uint8_t connector = 0;  // to the next term: kAnd, kOr, or kLastTerm
  std::vector<uint8_t> value;
};

struct ExtendedField {
  uint16_t length = 0;
  uint16_t offset = 0;
};

struct ExtendedDescriptor {
  bool includeCurrent = false;  // "UC"; "EG" starts after the current record
  uint16_t rejectCount = 0;     // as sent; 0 means kDefaultRejectCount
  std::vector<ExtendedTerm> terms;
  uint16_t recordCount = 0;
  std::vector<ExtendedField> fields;
};

// Reads the descriptor at the start of `buffer` (the data buffer as far as the caller
// said it holds bytes). Returns 0, or 62 when the descriptor is malformed: its length
// disagrees with its contents or exceeds the buffer, an unknown signature, data type,
// comparison or connector, a zero-length field, no records or no fields to extract.
int16_t ParseExtendedDescriptor(std::span<const uint8_t> buffer, ExtendedDescriptor& out);

// Whether every term's fields lie inside a record of `recordLength` bytes (checked for
// files of fixed-length records, where a term outside could never hold).
bool DescriptorFitsRecord(const ExtendedDescriptor& d, uint32_t recordLength);

// Evaluates the filter on one record, strictly left to right. A term whose field is not
// inside the record is false.
bool MatchesFilter(const ExtendedDescriptor& d, std::span<const uint8_t> record);

// Collects result records into a caller's buffer of `capacity` bytes (at least 2).
class ExtendedResultWriter {
 public:
  ExtendedResultWriter(uint8_t* buffer, uint32_t capacity);
  // Appends the extracted fields of `record`. Returns 0; 65 when a field starts beyond
  // the record (nothing appended); 22 when the buffer is full: the record is then
  // appended cut to the space left when at least its header and one byte fit
  // (`appended` tells), otherwise not at all.
  int16_t Add(const ExtendedDescriptor& d, std::span<const uint8_t> record, uint32_t position,
              bool& appended);
  uint16_t count() const { return count_; }
  // Writes the record count; returns the number of bytes used.
  uint32_t Finish();

 private:
  uint8_t* buffer_;
  uint32_t capacity_;
  uint32_t used_ = 2;
  uint16_t count_ = 0;
};

}  // namespace torvex::btrieve
