// Operations, statuses and currency, through BTRCALL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "tests/platform/btrieve/btrieve_test_support.h"

namespace torvex::btrieve {
namespace {

using testing::CreateSpec;
using testing::File;
using testing::RecordWith;
using testing::Segment;
using testing::TempDir;

constexpr uint16_t kExt = key_flag::kExtendedType;

class BtrieveOps : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(WBTRVSTOP(), 0); }
  // A fixed-length file of 16-byte records with a u32 key at offset 0 of `type`.
  std::string MakeFile(uint8_t type = key_type::kUnsignedBinary, uint16_t flags = kExt,
                       uint16_t keyLength = 4) {
    std::string path = dir.File("FILE.DAT");
    EXPECT_EQ(testing::Create(path, CreateSpec(16, 4096, 0, {{{1, keyLength, flags, type}}})), 0);
    return path;
  }
  std::vector<uint32_t> ReadAll(File& f, uint16_t first, uint16_t next, size_t at = 0) {
    std::vector<uint32_t> keys;
    for (int16_t st = f.Call(first); st == 0; st = f.Call(next)) keys.push_back(f.U32(at));
    return keys;
  }
  TempDir dir;
};

TEST_F(BtrieveOps, EmptyFileAnswersEndOfFileEverywhere) {
  File f;
  ASSERT_EQ(f.Open(MakeFile()), 0);
  EXPECT_EQ(f.Call(op::kGetFirst), status::kEndOfFile);
  EXPECT_EQ(f.Call(op::kGetLast), status::kEndOfFile);
  EXPECT_EQ(f.Call(op::kStepNext), status::kEndOfFile);
  EXPECT_EQ(f.Call(op::kStepPrevious), status::kEndOfFile);
  EXPECT_EQ(f.Call(op::kGetNext), status::kInvalidPositioning);
  EXPECT_EQ(f.Call(op::kGetPrevious), status::kInvalidPositioning);
  EXPECT_EQ(f.GetEqual(uint32_t{1}), status::kKeyNotFound);
  EXPECT_EQ(f.Close(), 0);
}

TEST_F(BtrieveOps, NumericKeysOrderAsLittleEndianNumbersAtBothEnds) {
  File f;
  ASSERT_EQ(f.Open(MakeFile()), 0);
  std::vector<uint32_t> values = {256, 1, 0x01000000, 255, 65536, 0xFFFFFFFF, 2};
  for (uint32_t v : values) ASSERT_EQ(f.Insert(RecordWith(16, {{0, v}})), 0) << v;
  std::vector<uint32_t> sorted = values;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(ReadAll(f, op::kGetFirst, op::kGetNext), sorted);
  EXPECT_EQ(f.Call(op::kGetNext), status::kEndOfFile);  // still at the end
  std::reverse(sorted.begin(), sorted.end());
  EXPECT_EQ(ReadAll(f, op::kGetLast, op::kGetPrevious), sorted);
  EXPECT_EQ(f.Call(op::kGetPrevious), status::kEndOfFile);
  // The key buffer receives the key of the record read.
  ASSERT_EQ(f.Call(op::kGetLast), 0);
  EXPECT_EQ(LoadU32(f.key), 0xFFFFFFFFu);
}

TEST_F(BtrieveOps, SignedIntegerKeysOrderNegativesFirst) {
  File f;
  ASSERT_EQ(f.Open(MakeFile(key_type::kInteger, kExt, 2)), 0);
  for (int16_t v : {5, -1, 0, -300, 300}) {
    std::vector<uint8_t> r(16, 0);
    StoreU16(r.data(), static_cast<uint16_t>(v));
    ASSERT_EQ(f.Insert(r), 0);
  }
  std::vector<int16_t> got;
  for (int16_t st = f.Call(op::kGetFirst); st == 0; st = f.Call(op::kGetNext)) {
    got.push_back(static_cast<int16_t>(f.U16(0)));
  }
  EXPECT_EQ(got, (std::vector<int16_t>{-300, -1, 0, 5, 300}));
}

// The room file's key: map number (u32) then room number (u32), one 8-byte number.
TEST_F(BtrieveOps, EightByteBinaryKeyOrdersByHighHalfThenLowHalf) {
  std::string path = dir.File("WCCMP002.VIR");
  ASSERT_EQ(testing::Create(path, CreateSpec(1544, 4096, 0x1200,
                                             {{{1, 8, 0x0104, key_type::kUnsignedBinary}}})),
            0);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  std::vector<std::pair<uint32_t, uint32_t>> mapRoom = {{2, 1}, {1, 2}, {1, 1}, {3, 1}, {1, 300}};
  for (auto [map, room] : mapRoom) {
    ASSERT_EQ(f.Insert(RecordWith(1544, {{0, map}, {4, room}})), 0);
  }
  std::vector<std::pair<uint32_t, uint32_t>> got;
  for (int16_t st = f.Call(op::kGetFirst); st == 0; st = f.Call(op::kGetNext)) {
    got.emplace_back(f.U32(0), f.U32(4));
  }
  std::vector<std::pair<uint32_t, uint32_t>> want = {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {1, 300}};
  EXPECT_EQ(got, want);
  uint8_t probe[8];
  StoreU32(probe, 3);
  StoreU32(probe + 4, 1);
  std::memcpy(f.key, probe, 8);
  ASSERT_EQ(f.Call(op::kGetEqual), 0);
  EXPECT_EQ(f.U32(0), 3u);
}

TEST_F(BtrieveOps, ZeroTerminatedStringKeysCompareUpToTheZero) {
  File f;
  ASSERT_EQ(f.Open(MakeFile(key_type::kZString, kExt, 8)), 0);
  auto rec = [](const char* s, char fill) {
    std::vector<uint8_t> r(16, static_cast<uint8_t>(fill));
    std::memcpy(r.data(), s, std::strlen(s) + 1);
    return r;
  };
  ASSERT_EQ(f.Insert(rec("abc", 'x')), 0);
  ASSERT_EQ(f.Insert(rec("ab", 'x')), 0);
  ASSERT_EQ(f.Insert(rec("b", 'x')), 0);
  // Bytes after the zero are not part of the value.
  EXPECT_EQ(f.Insert(rec("abc", 'y')), status::kDuplicateKey);
  std::vector<std::string> got;
  for (int16_t st = f.Call(op::kGetFirst); st == 0; st = f.Call(op::kGetNext)) {
    got.emplace_back(reinterpret_cast<const char*>(f.data.data()));
  }
  EXPECT_EQ(got, (std::vector<std::string>{"ab", "abc", "b"}));
  std::memcpy(f.key, "abc\0zzzz", 8);
  EXPECT_EQ(f.Call(op::kGetEqual), 0);
}

TEST_F(BtrieveOps, SegmentedKeysCompareSegmentBySegment) {
  std::string path = dir.File("SEG.DAT");
  // Segment 1: u16 at offset 4 descending; segment 2: u16 at offset 0 ascending.
  ASSERT_EQ(testing::Create(
                path, CreateSpec(8, 512, 0,
                                 {{{5, 2, kExt | key_flag::kDescending, key_type::kUnsignedBinary},
                                   {1, 2, kExt, key_type::kUnsignedBinary}}})),
            0);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  for (auto [a, b] : std::vector<std::pair<uint16_t, uint16_t>>{{1, 1}, {2, 1}, {1, 2}, {2, 2}}) {
    std::vector<uint8_t> r(8, 0);
    StoreU16(&r[0], a);
    StoreU16(&r[4], b);
    ASSERT_EQ(f.Insert(r), 0);
  }
  std::vector<std::pair<uint16_t, uint16_t>> got;
  for (int16_t st = f.Call(op::kGetFirst); st == 0; st = f.Call(op::kGetNext)) {
    got.emplace_back(f.U16(4), f.U16(0));
  }
  EXPECT_EQ(got, (std::vector<std::pair<uint16_t, uint16_t>>{{2, 1}, {2, 2}, {1, 1}, {1, 2}}));
}

TEST_F(BtrieveOps, FailedGetEqualLeavesNoLogicalPosition) {
  File f;
  ASSERT_EQ(f.Open(MakeFile()), 0);
  for (uint32_t v : {10, 20, 30}) ASSERT_EQ(f.Insert(RecordWith(16, {{0, v}})), 0);
  ASSERT_EQ(f.GetEqual(uint32_t{20}), 0);
  ASSERT_EQ(f.Call(op::kGetNext), 0);
  EXPECT_EQ(f.U32(0), 30u);
  EXPECT_EQ(f.GetEqual(uint32_t{25}), status::kKeyNotFound);
  EXPECT_EQ(f.Call(op::kGetNext), status::kInvalidPositioning);
  EXPECT_EQ(f.Call(op::kGetPrevious), status::kInvalidPositioning);
  ASSERT_EQ(f.GetEqual(uint32_t{10}), 0);
  ASSERT_EQ(f.Call(op::kGetPrevious), status::kEndOfFile);
}

TEST_F(BtrieveOps, StepMovesInPhysicalOrderAndDropsTheLogicalPosition) {
  File f;
  ASSERT_EQ(f.Open(MakeFile()), 0);
  // Physical (insertion) order differs from key order.
  for (uint32_t v : {30, 10, 20}) ASSERT_EQ(f.Insert(RecordWith(16, {{0, v}})), 0);
  ASSERT_EQ(f.Close(), 0);
  ASSERT_EQ(f.Open(dir.File("FILE.DAT")), 0);
  EXPECT_EQ(ReadAll(f, op::kStepNext, op::kStepNext), (std::vector<uint32_t>{30, 10, 20}));
  EXPECT_EQ(f.Call(op::kStepNext), status::kEndOfFile);
  EXPECT_EQ(ReadAll(f, op::kStepPrevious, op::kStepPrevious), (std::vector<uint32_t>{10, 30}));
  // Stepping starts from the record a Get made current.
  ASSERT_EQ(f.GetEqual(uint32_t{10}), 0);
  ASSERT_EQ(f.Call(op::kStepNext), 0);
  EXPECT_EQ(f.U32(0), 20u);
  EXPECT_EQ(f.Call(op::kGetNext), status::kInvalidPositioning);
  ASSERT_EQ(f.Call(op::kStepPrevious), 0);
  EXPECT_EQ(f.U32(0), 10u);
  ASSERT_EQ(f.Call(op::kGetFirst), 0);
  ASSERT_EQ(f.Call(op::kGetNext), 0);
  EXPECT_EQ(f.U32(0), 20u);
}

TEST_F(BtrieveOps, InsertMakesTheNewRecordCurrent) {
  File f;
  ASSERT_EQ(f.Open(MakeFile()), 0);
  for (uint32_t v : {10, 30}) ASSERT_EQ(f.Insert(RecordWith(16, {{0, v}})), 0);
  ASSERT_EQ(f.Insert(RecordWith(16, {{0, 20}})), 0);
  EXPECT_EQ(LoadU32(f.key), 20u);
  ASSERT_EQ(f.Call(op::kGetNext), 0);
  EXPECT_EQ(f.U32(0), 30u);
}

TEST_F(BtrieveOps, AutoIncrementFillsZeroKeysAndKeepsOthers) {
  std::string path = dir.File("WCCITEM2.VIR");
  ASSERT_EQ(testing::Create(
                path, CreateSpec(1072, 4096, 0x1200, {{{1, 4, 0x0100, key_type::kAutoIncrement}}})),
            0);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  ASSERT_EQ(f.Insert(RecordWith(1072, {{0, 0}, {8, 111}})), 0);
  EXPECT_EQ(LoadU32(f.inserted.data()), 1u);  // written back into the caller's record
  ASSERT_EQ(f.Insert(RecordWith(1072, {{0, 50}})), 0);
  ASSERT_EQ(f.Insert(RecordWith(1072, {{0, 0}})), 0);
  EXPECT_EQ(LoadU32(f.inserted.data()), 51u);
  EXPECT_EQ(f.Insert(RecordWith(1072, {{0, 50}})), status::kDuplicateKey);
  ASSERT_EQ(f.Close(), 0);
  ASSERT_EQ(WBTRVSTOP(), 0);  // read back from the file, not the cache
  ASSERT_EQ(f.Open(path, open_mode::kReadOnly), 0);
  ASSERT_EQ(f.GetEqual(uint32_t{1}), 0);
  EXPECT_EQ(f.U32(8), 111u);
  EXPECT_EQ(ReadAll(f, op::kGetFirst, op::kGetNext), (std::vector<uint32_t>{1, 50, 51}));
}

TEST_F(BtrieveOps, AutoIncrementRefusesToWrapAround) {
  File f;
  ASSERT_EQ(f.Open(MakeFile(key_type::kAutoIncrement, kExt, 2)), 0);
  ASSERT_EQ(f.Insert(RecordWith(16, {{0, 0xFFFF}})), 0);
  EXPECT_EQ(f.Insert(RecordWith(16, {{0, 0}})), status::kDuplicateKey);
}

TEST_F(BtrieveOps, DuplicatesFollowTheKeyFlags) {
  File unique;
  ASSERT_EQ(unique.Open(MakeFile()), 0);
  ASSERT_EQ(unique.Insert(RecordWith(16, {{0, 7}, {4, 1}})), 0);
  EXPECT_EQ(unique.Insert(RecordWith(16, {{0, 7}, {4, 2}})), status::kDuplicateKey);
  ASSERT_EQ(unique.Close(), 0);

  std::string path = dir.File("DUP.DAT");
  ASSERT_EQ(
      testing::Create(
          path, CreateSpec(16, 4096, 0,
                           {{{1, 4, kExt | key_flag::kDuplicates, key_type::kUnsignedBinary}}})),
      0);
  File dup;
  ASSERT_EQ(dup.Open(path), 0);
  for (uint32_t tag : {1, 2, 3}) ASSERT_EQ(dup.Insert(RecordWith(16, {{0, 7}, {4, tag}})), 0);
  ASSERT_EQ(dup.Insert(RecordWith(16, {{0, 5}, {4, 9}})), 0);
  // Duplicates come in insertion order; Get Equal finds the first.
  EXPECT_EQ(ReadAll(dup, op::kGetFirst, op::kGetNext, 4), (std::vector<uint32_t>{9, 1, 2, 3}));
  ASSERT_EQ(dup.GetEqual(uint32_t{7}), 0);
  EXPECT_EQ(dup.U32(4), 1u);
}

TEST_F(BtrieveOps, NullKeysAreLeftOutOfTheirKeyPath) {
  std::string path = dir.File("NULL.DAT");
  ASSERT_EQ(
      testing::Create(path, CreateSpec(16, 4096, 0,
                                       {{{1, 4, kExt, key_type::kUnsignedBinary}},
                                        {{5, 4, kExt | key_flag::kNullKey | key_flag::kDuplicates,
                                          key_type::kUnsignedBinary, 0}}})),
      0);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  ASSERT_EQ(f.Insert(RecordWith(16, {{0, 1}, {4, 0}})), 0);
  ASSERT_EQ(f.Insert(RecordWith(16, {{0, 2}, {4, 5}})), 0);
  EXPECT_EQ(ReadAll(f, op::kGetFirst, op::kGetNext), (std::vector<uint32_t>{1, 2}));
  std::vector<uint32_t> byKey1;
  for (int16_t st = f.Call(op::kGetFirst, 1); st == 0; st = f.Call(op::kGetNext, 1)) {
    byKey1.push_back(f.U32(0));
  }
  EXPECT_EQ(byKey1, (std::vector<uint32_t>{2}));
}

TEST_F(BtrieveOps, KeyNumberAndKeyBufferAreChecked) {
  File f;
  ASSERT_EQ(f.Open(MakeFile()), 0);
  ASSERT_EQ(f.Insert(RecordWith(16, {{0, 1}})), 0);
  EXPECT_EQ(f.Call(op::kGetFirst, 1), status::kInvalidKeyNumber);
  EXPECT_EQ(f.Call(op::kGetFirst, -1), status::kInvalidKeyNumber);
  uint32_t len = 16;
  EXPECT_EQ(BTRCALL(op::kGetFirst, f.pos, f.data.data(), &len, f.key, 3, 0),
            status::kKeyBufferTooShort);
}

TEST_F(BtrieveOps, ShortDataBufferAnswers22WithoutPartialFixedRecords) {
  File f;
  ASSERT_EQ(f.Open(MakeFile()), 0);
  ASSERT_EQ(f.Insert(RecordWith(16, {{0, 1}})), 0);
  std::fill(f.data.begin(), f.data.end(), 0xEE);
  EXPECT_EQ(f.Call(op::kGetFirst, 0, 15), status::kDataBufferTooShort);
  EXPECT_EQ(f.length, 0u);
  EXPECT_EQ(f.data[0], 0xEE);
  // The record was still reached: the logical position is on it.
  EXPECT_EQ(f.Call(op::kGetNext), status::kEndOfFile);
  EXPECT_EQ(f.Insert(std::vector<uint8_t>(15, 0)), status::kDataBufferTooShort);
}

TEST_F(BtrieveOps, VariableLengthRecordsKeepTheirOwnLength) {
  std::string path = dir.File("WCCTEXT2.VIR");
  ASSERT_EQ(testing::Create(
                path, CreateSpec(24, 2048, 0x1201, {{{1, 18, 0x0104, key_type::kUnsignedBinary}}})),
            0);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  for (uint32_t i = 1; i <= 3; ++i) {
    std::vector<uint8_t> r = RecordWith(24 + 100 * i, {{16, i}});
    for (size_t b = 24; b < r.size(); ++b) r[b] = static_cast<uint8_t>(b);
    ASSERT_EQ(f.Insert(r), 0);
  }
  EXPECT_EQ(f.Insert(std::vector<uint8_t>(23, 0)), status::kDataBufferTooShort);
  ASSERT_EQ(f.Call(op::kGetFirst), 0);
  EXPECT_EQ(f.length, 124u);
  ASSERT_EQ(f.Call(op::kGetNext), 0);
  EXPECT_EQ(f.length, 224u);
  EXPECT_EQ(f.data[223], 223);
  // Room for the fixed part but not the whole record: as much as fits, and 22.
  EXPECT_EQ(f.Call(op::kGetNext, 0, 200), status::kDataBufferTooShort);
  EXPECT_EQ(f.length, 200u);
  EXPECT_EQ(f.U32(16), 3u);
  EXPECT_EQ(f.data[199], 199);
  EXPECT_EQ(f.Call(op::kGetFirst, 0, 20), status::kDataBufferTooShort);
  EXPECT_EQ(f.length, 0u);
}

TEST_F(BtrieveOps, ReadOnlyOpensRefuseInserts) {
  std::string path = MakeFile();
  for (int8_t mode : {open_mode::kReadOnly, open_mode::kReadOnlyAccelerated}) {
    File f;
    ASSERT_EQ(f.Open(path, mode), 0);
    EXPECT_EQ(f.Insert(RecordWith(16, {{0, 1}})), status::kAccessDenied) << int(mode);
    EXPECT_EQ(f.Call(op::kGetFirst), status::kEndOfFile);
    EXPECT_EQ(f.Close(), 0);
  }
  File f;
  ASSERT_EQ(f.Open(path, open_mode::kNormalAlternate), 0);
  EXPECT_EQ(f.Insert(RecordWith(16, {{0, 1}})), 0);
  EXPECT_EQ(f.Open(path, 7), status::kInvalidOperation);
}

TEST_F(BtrieveOps, PositionBlocksWithoutAnOpenFileAnswer3) {
  std::string path = MakeFile();
  File f;
  ASSERT_EQ(f.Open(path), 0);
  uint8_t copy[128];
  std::memcpy(copy, f.pos, 128);
  ASSERT_EQ(f.Close(), 0);
  uint8_t garbage[128];
  for (int i = 0; i < 128; ++i) garbage[i] = static_cast<uint8_t>(i * 37 + 11);
  uint8_t zero[128] = {};
  uint8_t buf[64];
  uint8_t key[255] = {};
  for (uint8_t* block : {zero, garbage, copy, static_cast<uint8_t*>(nullptr)}) {
    for (uint16_t op :
         {op::kClose, op::kInsert, op::kGetEqual, op::kGetNext, op::kGetPrevious, op::kGetFirst,
          op::kGetLast, op::kStepNext, op::kStepPrevious, op::kGetNextExtended}) {
      uint32_t len = sizeof buf;
      EXPECT_EQ(BTRCALL(op, block, buf, &len, key, 255, 0), status::kFileNotOpen) << op;
    }
  }
  // A block copied from a handle that was closed stays dead after new opens.
  File g;
  ASSERT_EQ(g.Open(path), 0);
  uint32_t len = sizeof buf;
  EXPECT_EQ(BTRCALL(op::kGetFirst, copy, buf, &len, key, 255, 0), status::kFileNotOpen);
}

TEST_F(BtrieveOps, UnknownOperationsAnswer1) {
  File f;
  ASSERT_EQ(f.Open(MakeFile()), 0);
  for (uint16_t op : {3, 4, 8, 23, 25, 37, 50, 106, 0xFFFF}) {
    EXPECT_EQ(f.Call(op), status::kInvalidOperation) << op;
  }
}

TEST_F(BtrieveOps, VersionFillsAsManyEntriesAsFit) {
  uint8_t buf[16];
  std::memset(buf, 0xAA, sizeof buf);
  uint32_t len = 15;
  uint8_t pos[128] = {};
  ASSERT_EQ(BTRCALL(op::kVersion, pos, buf, &len, nullptr, 0, 0), 0);
  EXPECT_EQ(len, 15u);
  EXPECT_EQ(LoadU16(buf), 6);
  EXPECT_EQ(LoadU16(buf + 2), 15);
  EXPECT_EQ(buf[4], 'U');
  EXPECT_EQ(buf[9], 0);  // no second entry
  EXPECT_EQ(buf[15], 0xAA);
  len = 4;
  EXPECT_EQ(BTRCALL(op::kVersion, pos, buf, &len, nullptr, 0, 0), status::kDataBufferTooShort);
}

}  // namespace
}  // namespace torvex::btrieve
