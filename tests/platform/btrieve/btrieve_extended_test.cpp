// Get Next Extended: descriptors, filters, extraction, limits and the result layout.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/btrieve/btrieve_test_support.h"

namespace torvex::btrieve {
namespace {

using testing::CreateSpec;
using testing::File;
using testing::RecordWith;
using testing::TempDir;

// Builds a descriptor the way a caller lays it out.
class Descriptor {
 public:
  Descriptor(const char* signature, uint16_t rejectCount) {
    bytes_.resize(8, 0);
    bytes_[2] = signature[0];
    bytes_[3] = signature[1];
    StoreU16(&bytes_[4], rejectCount);
  }
  Descriptor& Term(uint8_t type, uint16_t length, uint16_t offset, uint8_t comparison,
                   uint8_t connector, std::vector<uint8_t> value) {
    size_t at = bytes_.size();
    bytes_.resize(at + 7);
    bytes_[at] = type;
    StoreU16(&bytes_[at + 1], length);
    StoreU16(&bytes_[at + 3], offset);
    bytes_[at + 5] = comparison;
    bytes_[at + 6] = connector;
    bytes_.insert(bytes_.end(), value.begin(), value.end());
    ++terms_;
    return *this;
  }
  Descriptor& U16Term(uint16_t offset, uint8_t comparison, uint8_t connector, uint16_t v) {
    return Term(key_type::kUnsignedBinary, 2, offset, comparison, connector,
                {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
  }
  std::vector<uint8_t> Extract(uint16_t records,
                               std::vector<std::pair<uint16_t, uint16_t>> fields) {
    std::vector<uint8_t> b = bytes_;
    StoreU16(&b[6], terms_);
    size_t at = b.size();
    b.resize(at + 4 + 4 * fields.size());
    StoreU16(&b[at], records);
    StoreU16(&b[at + 2], static_cast<uint16_t>(fields.size()));
    for (size_t i = 0; i < fields.size(); ++i) {
      StoreU16(&b[at + 4 + 4 * i], fields[i].first);
      StoreU16(&b[at + 6 + 4 * i], fields[i].second);
    }
    StoreU16(&b[0], static_cast<uint16_t>(b.size()));
    return b;
  }

 private:
  std::vector<uint8_t> bytes_;
  uint16_t terms_ = 0;
};

struct Result {
  int16_t status;
  std::vector<std::vector<uint8_t>> records;
  std::vector<uint32_t> positions;
  uint32_t length;
};

Result GetNextExtended(File& f, const std::vector<uint8_t>& descriptor, uint32_t capacity,
                       int8_t keyNumber = 0) {
  f.data.assign(std::max<size_t>(capacity, descriptor.size()), 0xCC);
  std::memcpy(f.data.data(), descriptor.data(), descriptor.size());
  f.length = capacity;
  Result r;
  r.status = BTRCALL(op::kGetNextExtended, f.pos, f.data.data(), &f.length, f.key, 255, keyNumber);
  r.length = f.length;
  if (f.length < 2 || f.length > capacity) return r;
  uint32_t at = 2;
  for (uint16_t i = 0, n = LoadU16(f.data.data()); i < n && at + 6 <= f.length; ++i) {
    uint16_t len = LoadU16(&f.data[at]);
    if (at + 6 + len > f.length) break;
    r.positions.push_back(LoadU32(&f.data[at + 2]));
    r.records.emplace_back(f.data.begin() + at + 6, f.data.begin() + at + 6 + len);
    at += 6 + len;
  }
  EXPECT_EQ(at, f.length);
  return r;
}

class BtrieveExtended : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(WBTRVSTOP(), 0); }
  TempDir dir;
};

// The text-block look-up: Get First, then one record whose block and part match.
TEST_F(BtrieveExtended, FindsATextBlockPartWithTheLoadersDescriptor) {
  std::string path = dir.File("WCCTEXT2.VIR");
  ASSERT_EQ(testing::Create(path, CreateSpec(24, 2048, 0x1201, {{{1, 18, 0x0104, 14}}})), 0);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  for (uint32_t block : {5, 7, 9}) {
    for (uint16_t part : {1, 2}) {
      std::string text = "block " + std::to_string(block) + " part " + std::to_string(part);
      std::vector<uint8_t> r = RecordWith(24, {{16, block}});
      StoreU16(&r[0], part);
      r.insert(r.end(), text.begin(), text.end());
      r.push_back(0);
      ASSERT_EQ(f.Insert(r), 0);
    }
  }
  ASSERT_EQ(f.Close(), 0);
  ASSERT_EQ(f.Open(path, open_mode::kReadOnly), 0);
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  auto desc = Descriptor("UC", 65535)
                  .Term(14, 4, 16, extended::kEqual, extended::kAnd, {7, 0, 0, 0})
                  .Term(14, 2, 0, extended::kEqual, extended::kLastTerm, {2, 0})
                  .Extract(1, {{2072, 0}});
  ASSERT_EQ(desc.size(), 36u);
  Result r = GetNextExtended(f, desc, 2048);
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(r.records.size(), 1u);
  const char* want = "block 7 part 2";
  EXPECT_EQ(r.records[0].size(), 24 + std::strlen(want) + 1);  // the record's own length
  EXPECT_STREQ(reinterpret_cast<const char*>(&r.records[0][24]), want);
  EXPECT_EQ(r.positions[0], 4u);  // fourth record inserted
  // The examined records are behind: the same search from there finds nothing more.
  Result again =
      GetNextExtended(f,
                      Descriptor("EG", 65535)
                          .Term(14, 4, 16, extended::kEqual, extended::kAnd, {7, 0, 0, 0})
                          .Term(14, 2, 0, extended::kEqual, 0, {2, 0})
                          .Extract(1, {{2072, 0}}),
                      2048);
  EXPECT_EQ(again.status, status::kEndOfFile);
  EXPECT_TRUE(again.records.empty());
}

class MonsterFile : public BtrieveExtended {
 protected:
  void SetUp() override {
    path = dir.File("WCCKNMS2.VIR");
    ASSERT_EQ(testing::Create(path, CreateSpec(756, 1536, 0x1200, {{{1, 4, 0x100, 15}}})), 0);
    ASSERT_EQ(f.Open(path), 0);
  }
  void AddMonster(uint16_t group, uint16_t index) {
    std::vector<uint8_t> r(756, 0);
    StoreU16(&r[84], group);
    StoreU16(&r[92], index);
    r[755] = 0x5A;
    ASSERT_EQ(f.Insert(r), 0);
  }
  static std::vector<uint8_t> GroupDescriptor(uint16_t group, uint16_t lo, uint16_t hi) {
    return Descriptor("UC", 65535)
        .U16Term(84, extended::kEqual, extended::kAnd, group)
        .U16Term(92, extended::kGreaterOrEqual, extended::kAnd, lo)
        .U16Term(92, extended::kLessOrEqual, extended::kLastTerm, hi)
        .Extract(85, {{756, 0}});
  }
  std::string path;
  File f;
};

TEST_F(MonsterFile, FindsAGroupsMonstersWithTheLoadersDescriptor) {
  for (uint16_t i = 0; i < 10; ++i) AddMonster(i % 2 ? 3 : 4, i);
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  auto desc = GroupDescriptor(3, 2, 7);
  ASSERT_EQ(desc.size(), 43u);
  Result r = GetNextExtended(f, desc, 65528);
  EXPECT_EQ(r.status, status::kEndOfFile);  // fewer than 85 found before the end
  ASSERT_EQ(r.records.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(r.records[i].size(), 756u);
    EXPECT_EQ(LoadU16(&r.records[i][92]), 3 + 2 * i);
    EXPECT_EQ(r.records[i][755], 0x5A);
    EXPECT_EQ(LoadU32(&r.records[i][0]), 4 + 2 * i);  // autoincrement numbers in key order
  }
}

TEST_F(MonsterFile, StopsAtTheRequestedRecordCount) {
  for (uint16_t i = 0; i < 100; ++i) AddMonster(1, i);
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  Result r = GetNextExtended(f, GroupDescriptor(1, 0, 1000), 65528);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.records.size(), 85u);
  // The position is on the last record returned.
  ASSERT_EQ(f.Call(op::kGetNext, 0, 2048), 0);
  EXPECT_EQ(f.U32(0), 86u);
}

TEST_F(MonsterFile, EachComparisonSelectsItsRecords) {
  for (uint16_t i = 1; i <= 5; ++i) AddMonster(0, i * 10);
  struct Case {
    uint8_t comparison;
    std::vector<uint16_t> want;
  };
  Case cases[] = {{extended::kEqual, {30}},
                  {extended::kGreater, {40, 50}},
                  {extended::kLess, {10, 20}},
                  {extended::kNotEqual, {10, 20, 40, 50}},
                  {extended::kGreaterOrEqual, {30, 40, 50}},
                  {extended::kLessOrEqual, {10, 20, 30}}};
  for (const Case& c : cases) {
    ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
    Result r = GetNextExtended(
        f, Descriptor("UC", 0).U16Term(92, c.comparison, 0, 30).Extract(10, {{2, 92}}), 1000);
    std::vector<uint16_t> got;
    for (auto& rec : r.records) got.push_back(LoadU16(rec.data()));
    EXPECT_EQ(got, c.want) << "comparison " << int(c.comparison);
    EXPECT_EQ(r.status, status::kEndOfFile);
  }
}

TEST_F(MonsterFile, ConnectorsApplyStrictlyLeftToRight) {
  // (index = 10 OR index = 20) AND group = 1: with precedence it would also take 10/0.
  AddMonster(0, 10);
  AddMonster(1, 10);
  AddMonster(1, 20);
  AddMonster(1, 30);
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  Result r = GetNextExtended(f,
                             Descriptor("UC", 0)
                                 .U16Term(92, extended::kEqual, extended::kOr, 10)
                                 .U16Term(92, extended::kEqual, extended::kAnd, 20)
                                 .U16Term(84, extended::kEqual, 0, 1)
                                 .Extract(10, {{4, 0}}),
                             1000);
  ASSERT_EQ(r.records.size(), 2u);
  EXPECT_EQ(LoadU32(r.records[0].data()), 2u);
  EXPECT_EQ(LoadU32(r.records[1].data()), 3u);
}

TEST_F(MonsterFile, UcExaminesTheCurrentRecordAndEgStartsAfterIt) {
  for (uint16_t i = 0; i < 3; ++i) AddMonster(1, i);
  auto all = [](const char* sig) { return Descriptor(sig, 0).Extract(2, {{4, 0}, {2, 92}}); };
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  Result uc = GetNextExtended(f, all("UC"), 1000);
  ASSERT_EQ(uc.records.size(), 2u);
  EXPECT_EQ(LoadU32(uc.records[0].data()), 1u);
  EXPECT_EQ(uc.records[0].size(), 6u);  // two fields, one after the other
  EXPECT_EQ(LoadU16(&uc.records[1][4]), 1u);
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  Result eg = GetNextExtended(f, all("EG"), 1000);
  ASSERT_EQ(eg.records.size(), 2u);
  EXPECT_EQ(LoadU32(eg.records[0].data()), 2u);
  Result rest = GetNextExtended(f, all("EG"), 1000);
  EXPECT_EQ(rest.status, status::kEndOfFile);
  EXPECT_TRUE(rest.records.empty());
}

TEST_F(MonsterFile, RejectCountEndsTheSearchWith60) {
  for (uint16_t i = 0; i < 10; ++i) AddMonster(i == 8 ? 9 : 1, i);
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  auto desc = Descriptor("UC", 3).U16Term(84, extended::kEqual, 0, 9).Extract(5, {{4, 0}});
  Result r = GetNextExtended(f, desc, 1000);
  EXPECT_EQ(r.status, status::kRejectCountReached);
  EXPECT_TRUE(r.records.empty());
  // The search goes on from the last rejected record.
  r = GetNextExtended(
      f, Descriptor("EG", 10).U16Term(84, extended::kEqual, 0, 9).Extract(1, {{4, 0}}), 1000);
  EXPECT_EQ(r.status, 0);
  ASSERT_EQ(r.records.size(), 1u);
  EXPECT_EQ(LoadU32(r.records[0].data()), 9u);
}

TEST_F(MonsterFile, AFullBufferAnswers22WithTheRecordsThatFit) {
  for (uint16_t i = 0; i < 5; ++i) AddMonster(1, i);
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  // Room for the count, two whole records and part of a third.
  uint32_t capacity = 2 + 2 * (6 + 756) + 6 + 100;
  Result r = GetNextExtended(f, Descriptor("UC", 0).Extract(5, {{756, 0}}), capacity);
  EXPECT_EQ(r.status, status::kDataBufferTooShort);
  ASSERT_EQ(r.records.size(), 3u);
  EXPECT_EQ(r.records[2].size(), 100u);
  EXPECT_EQ(r.length, capacity);
}

TEST_F(MonsterFile, MalformedDescriptorsAnswer62) {
  AddMonster(1, 1);
  auto good = Descriptor("UC", 0).U16Term(92, extended::kEqual, 0, 1).Extract(1, {{4, 0}});
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> spoil;
  };
  Case cases[] = {
      {"length too long", [](auto& d) { StoreU16(&d[0], d.size() + 1); }},
      {"length too short", [](auto& d) { StoreU16(&d[0], d.size() - 1); }},
      {"length below the header", [](auto& d) { StoreU16(&d[0], 4); }},
      {"signature", [](auto& d) { d[2] = 'X'; }},
      {"data type", [](auto& d) { d[8] = 2; }},
      {"field length 0", [](auto& d) { StoreU16(&d[9], 0); }},
      {"comparison 0", [](auto& d) { d[13] = 0; }},
      {"comparison 7", [](auto& d) { d[13] = 7; }},
      {"collating-sequence comparison", [](auto& d) { d[13] = 0x81; }},
      {"connector on the last term", [](auto& d) { d[14] = extended::kAnd; }},
      {"term count beyond the descriptor", [](auto& d) { StoreU16(&d[6], 5); }},
      {"no records to extract", [](auto& d) { StoreU16(&d[17], 0); }},
      {"no fields", [](auto& d) { StoreU16(&d[19], 0); }},
      {"term beyond a fixed record", [](auto& d) { StoreU16(&d[11], 755); }},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> d = good;
    c.spoil(d);
    ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
    Result r = GetNextExtended(f, d, static_cast<uint32_t>(good.size()));
    EXPECT_EQ(r.status, status::kIncorrectDescriptor) << c.what;
  }
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  EXPECT_EQ(GetNextExtended(f, good, 1000).status, 0);
  // A descriptor longer than the data the caller says it sent.
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  EXPECT_EQ(GetNextExtended(f, good, 10).status, status::kIncorrectDescriptor);
}

TEST_F(MonsterFile, NeedsALogicalPositionOnTheSameKey) {
  AddMonster(1, 1);
  auto desc = Descriptor("UC", 0).Extract(1, {{4, 0}});
  ASSERT_EQ(f.Close(), 0);
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(GetNextExtended(f, desc, 100).status, status::kInvalidPositioning);
  ASSERT_EQ(f.Call(op::kStepNext), 0);
  EXPECT_EQ(GetNextExtended(f, desc, 100).status, status::kInvalidPositioning);
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  EXPECT_EQ(GetNextExtended(f, desc, 100, 1).status, status::kInvalidKeyNumber);
}

TEST_F(BtrieveExtended, StringTermsAndFieldComparisonsOnVariableRecords) {
  std::string path = dir.File("VAR.DAT");
  ASSERT_EQ(testing::Create(path, CreateSpec(8, 512, 1, {{{1, 4, 0x100, 15}}})), 0);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  auto add = [&](uint16_t a, uint16_t b, const char* text) {
    std::vector<uint8_t> r(8, 0);
    StoreU16(&r[4], a);
    StoreU16(&r[6], b);
    r.insert(r.end(), text, text + std::strlen(text) + 1);
    ASSERT_EQ(f.Insert(r), 0);
  };
  add(1, 2, "Hello");
  add(3, 3, "help");
  add(5, 4, "HELLO there");
  // Case-insensitive zero-terminated string at offset 8; records too short fail the term.
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  Result r = GetNextExtended(f,
                             Descriptor("UC", 0)
                                 .Term(11, 6, 8, extended::kEqual | extended::kCaseInsensitive, 0,
                                       {'h', 'e', 'l', 'l', 'o', 0})
                                 .Extract(5, {{4, 0}}),
                             1000);
  ASSERT_EQ(r.records.size(), 1u);
  EXPECT_EQ(LoadU32(r.records[0].data()), 1u);
  // Field against field: a at 4 >= b at 6.
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  r = GetNextExtended(
      f,
      Descriptor("UC", 0)
          .Term(14, 2, 4, extended::kGreaterOrEqual | extended::kCompareWithField, 0, {6, 0})
          .Extract(5, {{4, 0}, {100, 8}}),
      1000);
  ASSERT_EQ(r.records.size(), 2u);
  EXPECT_EQ(r.records[0].size(), 4u + 5);  // the text field cut at the record's end
  EXPECT_EQ(r.records[1].size(), 4u + 12);
  // An extractor field starting beyond a record answers 65.
  ASSERT_EQ(f.Call(op::kGetFirst, 0, 2048), 0);
  r = GetNextExtended(f, Descriptor("UC", 0).Extract(5, {{2, 18}}), 1000);
  EXPECT_EQ(r.status, status::kIncorrectFieldOffset);
  EXPECT_TRUE(r.records.empty());
}

}  // namespace
}  // namespace torvex::btrieve
