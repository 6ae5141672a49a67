#include "platform/btrieve/extended_get.h"

#include <algorithm>
#include <cstring>

#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"

namespace torvex::btrieve {

namespace {

constexpr uint8_t kModifierBits = extended::kCaseInsensitive | extended::kCompareWithField;
constexpr uint8_t kLogicalType = 7;  // compares like an unsigned number

bool IsFilterType(uint8_t type) {
  return type == key_type::kString || type == key_type::kInteger || type == kLogicalType ||
         type == key_type::kZString || type == key_type::kUnsignedBinary ||
         type == key_type::kAutoIncrement;
}

uint8_t CompareAs(uint8_t type) {
  return type == kLogicalType ? key_type::kUnsignedBinary : type;
}

}  // namespace

int16_t ParseExtendedDescriptor(std::span<const uint8_t> buffer, ExtendedDescriptor& out) {
  constexpr int16_t kBad = status::kIncorrectDescriptor;
  if (buffer.size() < 8) return kBad;
  const uint8_t* p = buffer.data();
  uint32_t total = LoadU16(p);
  if (total < 8 || total > buffer.size()) return kBad;
  ExtendedDescriptor d;
  if (std::memcmp(p + 2, extended::kSignatureIncludeCurrent, 2) == 0) {
    d.includeCurrent = true;
  } else if (std::memcmp(p + 2, extended::kSignatureAfterCurrent, 2) != 0) {
    return kBad;
  }
  d.rejectCount = LoadU16(p + 4);
  uint32_t termCount = LoadU16(p + 6);
  uint32_t at = 8;
  for (uint32_t t = 0; t < termCount; ++t) {
    if (at + 7 > total) return kBad;
    ExtendedTerm term;
    term.type = p[at];
    term.length = LoadU16(p + at + 1);
    term.offset = LoadU16(p + at + 3);
    uint8_t code = p[at + 5];
    term.connector = p[at + 6];
    at += 7;
    term.comparison = code & ~kModifierBits;
    term.caseInsensitive = code & extended::kCaseInsensitive;
    term.withField = code & extended::kCompareWithField;
    if (!IsFilterType(term.type) || term.length == 0 || term.comparison < extended::kEqual ||
        term.comparison > extended::kLessOrEqual) {
      return kBad;
    }
    bool last = t + 1 == termCount;
    if (last ? term.connector != extended::kLastTerm
             : term.connector != extended::kAnd && term.connector != extended::kOr) {
      return kBad;
    }
    uint32_t valueLength = term.withField ? 2 : term.length;
    if (at + valueLength > total) return kBad;
    if (term.withField) {
      term.otherOffset = LoadU16(p + at);
    } else {
      term.value.assign(p + at, p + at + valueLength);
    }
    at += valueLength;
    d.terms.push_back(std::move(term));
  }
  if (at + 4 > total) return kBad;
  d.recordCount = LoadU16(p + at);
  uint32_t fieldCount = LoadU16(p + at + 2);
  at += 4;
  if (d.recordCount == 0 || fieldCount == 0) return kBad;
  for (uint32_t f = 0; f < fieldCount; ++f) {
    if (at + 4 > total) return kBad;
    ExtendedField field{LoadU16(p + at), LoadU16(p + at + 2)};
    at += 4;
    if (field.length == 0) return kBad;
    d.fields.push_back(field);
  }
  if (at != total) return kBad;
  out = std::move(d);
  return status::kSuccess;
}

bool DescriptorFitsRecord(const ExtendedDescriptor& d, uint32_t recordLength) {
  for (const ExtendedTerm& t : d.terms) {
    if (t.offset + t.length > recordLength) return false;
    if (t.withField && t.otherOffset + t.length > recordLength) return false;
  }
  return true;
}

namespace {

bool TermHolds(const ExtendedTerm& t, std::span<const uint8_t> record) {
  if (t.offset + t.length > record.size()) return false;
  const uint8_t* other;
  if (t.withField) {
    if (t.otherOffset + t.length > record.size()) return false;
    other = record.data() + t.otherOffset;
  } else {
    other = t.value.data();
  }
  int c =
      CompareTyped(CompareAs(t.type), record.data() + t.offset, other, t.length, t.caseInsensitive);
  switch (t.comparison) {
    case extended::kEqual:
      return c == 0;
    case extended::kGreater:
      return c > 0;
    case extended::kLess:
      return c < 0;
    case extended::kNotEqual:
      return c != 0;
    case extended::kGreaterOrEqual:
      return c >= 0;
    default:
      return c <= 0;
  }
}

}  // namespace

bool MatchesFilter(const ExtendedDescriptor& d, std::span<const uint8_t> record) {
  if (d.terms.empty()) return true;
  bool result = TermHolds(d.terms[0], record);
  for (size_t i = 1; i < d.terms.size(); ++i) {
    bool next = TermHolds(d.terms[i], record);
    result = d.terms[i - 1].connector == extended::kAnd ? (result && next) : (result || next);
  }
  return result;
}

ExtendedResultWriter::ExtendedResultWriter(uint8_t* buffer, uint32_t capacity)
    : buffer_(buffer), capacity_(capacity) {}

int16_t ExtendedResultWriter::Add(const ExtendedDescriptor& d, std::span<const uint8_t> record,
                                  uint32_t position, bool& appended) {
  appended = false;
  uint32_t length = 0;
  for (const ExtendedField& f : d.fields) {
    if (f.offset >= record.size()) return status::kIncorrectFieldOffset;
    length += std::min<uint32_t>(f.length, static_cast<uint32_t>(record.size()) - f.offset);
  }
  int16_t st = status::kSuccess;
  uint32_t room = capacity_ - used_;
  if (6 + length > room) {
    st = status::kDataBufferTooShort;
    if (room <= 6) return st;
    length = room - 6;
  }
  // Results travel with 16-bit lengths.
  length = std::min<uint32_t>(length, 0xFFFF);
  StoreU16(buffer_ + used_, static_cast<uint16_t>(length));
  StoreU32(buffer_ + used_ + 2, position);
  uint32_t at = used_ + 6, left = length;
  for (const ExtendedField& f : d.fields) {
    uint32_t n = std::min<uint32_t>(f.length, static_cast<uint32_t>(record.size()) - f.offset);
    n = std::min(n, left);
    std::memcpy(buffer_ + at, record.data() + f.offset, n);
    at += n;
    left -= n;
  }
  used_ = at;
  ++count_;
  appended = true;
  return st;
}

uint32_t ExtendedResultWriter::Finish() {
  StoreU16(buffer_, count_);
  return used_;
}

}  // namespace torvex::btrieve
