// The record manager's client interface: three C entry points and the numbers that
// travel through them. Everything above the engine calls only these.
//
// Contract of BTRCALL, whatever the operation:
// - positionBlock points to 128 bytes owned by the caller. Open fills it; every later
//   call on that file passes it back unchanged. The engine stores only a handle in it
//   and validates that handle on every call, so a block that holds no open file
//   (zeroed, stale, copied garbage) answers status 3 instead of being trusted.
// - dataBuffer holds at least *dataLength bytes; on return *dataLength says how many
//   bytes the engine wrote (or 0). A null dataLength is taken as a zero-length buffer.
// - keyBuffer holds at least keyLength bytes: a key value, or for Open and Create the
//   file's path, zero-terminated, at most 254 characters.
// - keyNumber is the key path; for Open it is the open mode, for Create 0 (replace an
//   existing file) or -1 (fail with status 59 when the file exists).
// - The return value is the status: 0 success, otherwise one of the codes below.
// Calls are serialised internally; the engine is meant for one thread, but a second
// thread calling in does not corrupt it.
#pragma once

#include <cstdint>

extern "C" {
int16_t BTRCALL(uint16_t op, void* positionBlock, void* dataBuffer, uint32_t* dataLength,
                void* keyBuffer, uint8_t keyLength, int8_t keyNumber);
// Starts the client. The initialisation string is accepted and ignored. Returns 0.
int16_t WBTRVINIT(const char* initString);
// Commits pending writes, closes every open file, forgets every cached file. Returns 0,
// or the status of the first commit that failed. The engine may be used again later.
int16_t WBTRVSTOP();
}

namespace torvex::btrieve {

inline constexpr uint32_t kPositionBlockSize = 128;
inline constexpr uint32_t kMaxPathLength = 254;
inline constexpr uint32_t kMaxKeyLength = 255;
// Variable-length records and extended-get results describe lengths in 16 bits.
inline constexpr uint32_t kMaxRecordLength = 65535;

namespace op {
inline constexpr uint16_t kOpen = 0;
inline constexpr uint16_t kClose = 1;
inline constexpr uint16_t kInsert = 2;
inline constexpr uint16_t kGetEqual = 5;
inline constexpr uint16_t kGetNext = 6;
inline constexpr uint16_t kGetPrevious = 7;
inline constexpr uint16_t kGetFirst = 12;
inline constexpr uint16_t kGetLast = 13;
inline constexpr uint16_t kCreate = 14;
inline constexpr uint16_t kStepNext = 24;
inline constexpr uint16_t kVersion = 26;
inline constexpr uint16_t kStepPrevious = 35;
inline constexpr uint16_t kGetNextExtended = 36;
}  // namespace op

namespace status {
inline constexpr int16_t kSuccess = 0;
inline constexpr int16_t kInvalidOperation = 1;
inline constexpr int16_t kIoError = 2;
inline constexpr int16_t kFileNotOpen = 3;
inline constexpr int16_t kKeyNotFound = 4;
inline constexpr int16_t kDuplicateKey = 5;
inline constexpr int16_t kInvalidKeyNumber = 6;
inline constexpr int16_t kDifferentKeyNumber = 7;
inline constexpr int16_t kInvalidPositioning = 8;
inline constexpr int16_t kEndOfFile = 9;
inline constexpr int16_t kInvalidFileName = 11;
inline constexpr int16_t kFileNotFound = 12;
inline constexpr int16_t kDiskFull = 18;
inline constexpr int16_t kKeyBufferTooShort = 21;
inline constexpr int16_t kDataBufferTooShort = 22;
inline constexpr int16_t kInvalidPositionBlock = 23;
inline constexpr int16_t kInvalidPageSize = 24;
inline constexpr int16_t kCreateError = 25;
inline constexpr int16_t kInvalidKeyCount = 26;
inline constexpr int16_t kInvalidKeyPosition = 27;
inline constexpr int16_t kInvalidRecordLength = 28;
inline constexpr int16_t kInvalidKeyLength = 29;
inline constexpr int16_t kNotRecordFile = 30;
inline constexpr int16_t kInvalidKeyFlags = 45;
inline constexpr int16_t kAccessDenied = 46;
inline constexpr int16_t kInvalidCollatingSequence = 48;
inline constexpr int16_t kInvalidKeyType = 49;
inline constexpr int16_t kFileExists = 59;
inline constexpr int16_t kRejectCountReached = 60;
inline constexpr int16_t kIncorrectDescriptor = 62;
inline constexpr int16_t kIncorrectFieldOffset = 65;
inline constexpr int16_t kFileLocked = 85;
}  // namespace status

// Open modes, passed as the key number of Open.
namespace open_mode {
inline constexpr int8_t kNormal = 0;
inline constexpr int8_t kNormalAlternate = 2;  // accepted; behaves as kNormal
inline constexpr int8_t kReadOnlyAccelerated = -1;
inline constexpr int8_t kReadOnly = -2;
}  // namespace open_mode

// Create's key number.
namespace create_mode {
inline constexpr int8_t kReplace = 0;
inline constexpr int8_t kFailIfExists = -1;
}  // namespace create_mode

namespace key_type {
inline constexpr uint8_t kString = 0;
inline constexpr uint8_t kInteger = 1;  // signed, little-endian, any length
inline constexpr uint8_t kZString = 11;
inline constexpr uint8_t kUnsignedBinary = 14;  // little-endian, any length
inline constexpr uint8_t kAutoIncrement = 15;   // unsigned little-endian, 2, 4 or 8 bytes
}  // namespace key_type

namespace key_flag {
inline constexpr uint16_t kDuplicates = 0x0001;
inline constexpr uint16_t kModifiable = 0x0002;
inline constexpr uint16_t kBinary = 0x0004;  // without kExtendedType: unsigned binary
inline constexpr uint16_t kNullKey = 0x0008;
inline constexpr uint16_t kSegmented = 0x0010;  // another segment of this key follows
inline constexpr uint16_t kAlternateCollating = 0x0020;
inline constexpr uint16_t kDescending = 0x0040;
inline constexpr uint16_t kExtendedType = 0x0100;
}  // namespace key_flag

namespace file_flag {
inline constexpr uint16_t kVariableLength = 0x0001;
}  // namespace file_flag

// Create's data buffer: one file specification, then one key specification per key
// segment, all little-endian.
namespace create_layout {
inline constexpr uint32_t kFileSpecSize = 16;
inline constexpr uint32_t kRecordLength = 0;  // u16
inline constexpr uint32_t kPageSize = 2;      // u16
inline constexpr uint32_t kKeyCount = 4;      // u16
inline constexpr uint32_t kFileFlags = 10;    // u16
inline constexpr uint32_t kKeySpecSize = 16;
inline constexpr uint32_t kKeyPosition = 0;  // u16, 1-based
inline constexpr uint32_t kKeyLength = 2;    // u16
inline constexpr uint32_t kKeyFlags = 4;     // u16
inline constexpr uint32_t kKeyType = 10;     // u8
inline constexpr uint32_t kNullValue = 11;   // u8
}  // namespace create_layout

// Get Next Extended. Descriptor: u16 total length, 2-byte signature, u16 reject count,
// u16 term count, terms (u8 type, u16 length, u16 offset, u8 comparison, u8 connector,
// value of `length` bytes or, with kCompareWithField, a u16 offset of a second field),
// u16 record count, u16 field count, fields (u16 length, u16 offset).
// Result: u16 record count, then per record u16 length, u32 position, the fields.
namespace extended {
inline constexpr char kSignatureIncludeCurrent[2] = {'U', 'C'};
inline constexpr char kSignatureAfterCurrent[2] = {'E', 'G'};
inline constexpr uint8_t kEqual = 1;
inline constexpr uint8_t kGreater = 2;
inline constexpr uint8_t kLess = 3;
inline constexpr uint8_t kNotEqual = 4;
inline constexpr uint8_t kGreaterOrEqual = 5;
inline constexpr uint8_t kLessOrEqual = 6;
inline constexpr uint8_t kCaseInsensitive = 0x20;
inline constexpr uint8_t kCompareWithField = 0x40;
inline constexpr uint8_t kLastTerm = 0;
inline constexpr uint8_t kAnd = 1;
inline constexpr uint8_t kOr = 2;
// A reject count of 0 means this many.
inline constexpr uint16_t kDefaultRejectCount = 4095;
}  // namespace extended

// Version: entries of u16 major, u16 minor, one type character.
namespace version {
inline constexpr uint32_t kEntrySize = 5;
inline constexpr uint16_t kMajor = 6;
inline constexpr uint16_t kMinor = 15;
inline constexpr char kType = 'U';
}  // namespace version

}  // namespace torvex::btrieve
