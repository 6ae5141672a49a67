// Files written by the genuine record manager: the samples read as their README states,
// they cannot be written, and damaged copies answer a status.
#include "platform/btrieve/genuine_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/platform/btrieve/btrieve_test_support.h"

namespace torvex::btrieve {
namespace {

using testing::File;
using testing::TempDir;

// The samples live beside this test; a checkout without them falls back to the shared
// folder next to the repository.
std::string SamplePath(const std::string& name) {
  const char* root = std::getenv("TORVEX_SOURCE_DIR");
  std::filesystem::path base = root ? root : ".";
  for (auto dir : {base / "tests/platform/btrieve/samples", base / "../shared/btrieve-samples"}) {
    if (std::filesystem::exists(dir / name)) return (dir / name).string();
  }
  return {};
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class GenuineFile : public ::testing::Test {
 protected:
  void TearDown() override { WBTRVSTOP(); }
  // The sample's bytes, or an empty vector after marking the test skipped.
  std::vector<uint8_t> Sample(const std::string& name) {
    std::string path = SamplePath(name);
    if (path.empty()) return {};
    return ReadBytes(path);
  }
  // A writable copy of a sample, so that no test can touch the original.
  std::string Copy(const std::string& name, const std::vector<uint8_t>& bytes) {
    return dir.Write(name, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  }
  TempDir dir;
};

#define REQUIRE_SAMPLE(bytes, name)          \
  std::vector<uint8_t> bytes = Sample(name); \
  if (bytes.empty()) GTEST_SKIP() << "sample " << name << " missing"

using Pair = std::pair<std::string, std::string>;

std::string ZString(const std::vector<uint8_t>& r, size_t at, size_t length) {
  std::string s(reinterpret_cast<const char*>(&r[at]), length);
  return s.substr(0, s.find('\0'));
}

// The autoincrement values of the records a walk over `keyNumber` gives.
std::vector<uint32_t> WalkFixedV5(File& f, int8_t keyNumber, bool backwards) {
  std::vector<uint32_t> out;
  uint16_t first = backwards ? op::kGetLast : op::kGetFirst;
  uint16_t next = backwards ? op::kGetPrevious : op::kGetNext;
  int16_t st = f.Call(first, keyNumber);
  for (; st == 0; st = f.Call(next, keyNumber)) out.push_back(f.U32(70));
  EXPECT_EQ(st, status::kEndOfFile);
  return out;
}

TEST_F(GenuineFile, FixedV5RecordsAndEveryKeyOrder) {
  REQUIRE_SAMPLE(bytes, "fixed-v5.dat");
  std::string path = Copy("FIXED.DAT", bytes);
  File f;
  ASSERT_EQ(f.Open(path), 0);

  struct Row {
    std::string name;
    int32_t number;
    std::string text;
    uint32_t counter;
  };
  const Row rows[] = {{"Sysop", 3444, "3444", 1},
                      {"Sysop", 7776, "7776", 2},
                      {"Sysop", 1052234073, "StringValue", 3},
                      {"Sysop", -615634567, "stringValue", 4}};
  int16_t st = f.Call(op::kStepNext);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.counter);
    ASSERT_EQ(st, 0);
    ASSERT_EQ(f.length, 74u);
    EXPECT_EQ(f.U16(0), 0);
    EXPECT_EQ(ZString(f.Record(), 2, 32), row.name);
    EXPECT_EQ(static_cast<int32_t>(f.U32(34)), row.number);
    EXPECT_EQ(ZString(f.Record(), 38, 32), row.text);
    EXPECT_EQ(f.U32(70), row.counter);
    st = f.Call(op::kStepNext);
  }
  EXPECT_EQ(st, status::kEndOfFile);

  struct Order {
    int8_t key;
    std::vector<uint32_t> counters;
  };
  const Order orders[] = {
      {0, {1, 2, 3, 4}},  // all "Sysop": duplicates in the order they were inserted
      {1, {4, 1, 2, 3}},  // signed: -615634567 first
      {2, {1, 2, 3, 4}},  // "3444" < "7776" < "StringValue" < "stringValue"
      {3, {1, 2, 3, 4}},
  };
  for (const Order& o : orders) {
    SCOPED_TRACE(::testing::Message() << "key " << int{o.key});
    EXPECT_EQ(WalkFixedV5(f, o.key, false), o.counters);
    std::vector<uint32_t> reversed(o.counters.rbegin(), o.counters.rend());
    EXPECT_EQ(WalkFixedV5(f, o.key, true), reversed);
  }
  EXPECT_EQ(f.GetEqual(int32_t{7776}, 1), 0);
  EXPECT_EQ(f.U32(70), 2u);
  EXPECT_EQ(f.GetEqual(int32_t{7777}, 1), status::kKeyNotFound);
  EXPECT_EQ(f.GetEqual(uint32_t{3}, 3), 0);
  EXPECT_EQ(static_cast<int32_t>(f.U32(34)), 1052234073);
  EXPECT_EQ(f.Call(op::kGetFirst, 4), status::kInvalidKeyNumber);
}

std::vector<uint8_t> VariableRecord(uint32_t i) {
  std::vector<uint8_t> r(8 + i);
  StoreU32(&r[0], 0xDEADBEEF);
  StoreU16(&r[4], static_cast<uint16_t>(i % 64));
  StoreU16(&r[6], static_cast<uint16_t>(i));
  for (uint32_t b = 0; b < i; ++b) r[8 + b] = static_cast<uint8_t>(b);
  return r;
}

TEST_F(GenuineFile, VariableV5RecordsWholeInBothKeyOrders) {
  REQUIRE_SAMPLE(bytes, "variable-v5.dat");
  std::string path = Copy("VARIABLE.DAT", bytes);
  File f;
  ASSERT_EQ(f.Open(path, open_mode::kReadOnly), 0);
  // Key 1 is the record number.
  uint32_t i = 0;
  int16_t st = f.Call(op::kGetFirst, 1);
  for (; st == 0 && i < 2000; st = f.Call(op::kGetNext, 1), ++i) {
    ASSERT_EQ(f.Record(), VariableRecord(i)) << "record " << i;
  }
  EXPECT_EQ(st, status::kEndOfFile);
  EXPECT_EQ(i, 1024u);

  // Key 0 is i mod 64 with duplicates, which come in insertion order.
  std::vector<uint32_t> expected, got;
  for (uint32_t m = 0; m < 64; ++m) {
    for (uint32_t n = m; n < 1024; n += 64) expected.push_back(n);
  }
  for (st = f.Call(op::kGetFirst, 0); st == 0 && got.size() < 2000; st = f.Call(op::kGetNext, 0)) {
    got.push_back(f.U16(6));
    ASSERT_EQ(f.length, 8u + f.U16(6));
  }
  EXPECT_EQ(got, expected);

  // Physical order visits each record once.
  ASSERT_EQ(f.Close(), 0);
  ASSERT_EQ(f.Open(path, open_mode::kReadOnly), 0);
  std::set<uint32_t> seen;
  for (st = f.Call(op::kStepNext); st == 0 && seen.size() < 2000; st = f.Call(op::kStepNext)) {
    EXPECT_TRUE(seen.insert(f.U16(6)).second);
  }
  EXPECT_EQ(seen.size(), 1024u);

  // A buffer too short for the whole record returns it cut, as for native files.
  ASSERT_EQ(f.GetEqual(uint16_t{1000}, 1), 0);
  EXPECT_EQ(f.Call(op::kGetEqual, 1, 100), status::kDataBufferTooShort);
  EXPECT_EQ(f.length, 100u);
}

TEST_F(GenuineFile, FixedV6RecordsInKeyZeroOrder) {
  REQUIRE_SAMPLE(bytes, "fixed-v6.dat");
  std::string path = Copy("FIXED6.DAT", bytes);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  std::vector<std::pair<std::string, std::string>> keys;
  int16_t st = f.Call(op::kGetFirst);
  for (; st == 0 && keys.size() < 200; st = f.Call(op::kGetNext)) {
    ASSERT_EQ(f.length, 950u);
    keys.emplace_back(ZString(f.Record(), 0, 16), ZString(f.Record(), 16, 16));
  }
  EXPECT_EQ(st, status::kEndOfFile);
  ASSERT_EQ(keys.size(), 73u);
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  EXPECT_EQ(std::set(keys.begin(), keys.end()).size(), 73u);
  EXPECT_EQ(keys[0], Pair("!List", "DEFAULT"));
  EXPECT_EQ(keys[1], Pair("DEFAULT", "bearhug"));
  EXPECT_EQ(keys[72], Pair("DEFAULT", "yell"));

  // A two-segment key value: both halves as the key buffer carries them.
  std::memset(f.key, 0, sizeof f.key);
  std::memcpy(f.key, "DEFAULT", 7);
  std::memcpy(f.key + 16, "smile", 5);
  ASSERT_EQ(f.Call(op::kGetEqual), 0);
  EXPECT_EQ(ZString(f.Record(), 16, 16), "smile");
  ASSERT_EQ(f.Call(op::kGetNext), 0);
  EXPECT_EQ(ZString(f.Record(), 16, 16), "smirk");

  // Key 2 (position 17) orders by the second half alone.
  ASSERT_EQ(f.Call(op::kGetFirst, 2), 0);
  EXPECT_EQ(ZString(f.Record(), 16, 16), "DEFAULT");
  ASSERT_EQ(f.Call(op::kGetLast, 2), 0);
  EXPECT_EQ(ZString(f.Record(), 16, 16), "yell");
}

TEST_F(GenuineFile, EmptyFileWithCollatingSequencesOpens) {
  REQUIRE_SAMPLE(bytes, "acs-v6-empty.dat");
  std::string path = Copy("ACS.DAT", bytes);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(f.Call(op::kGetFirst), status::kEndOfFile);
  EXPECT_EQ(f.Call(op::kGetLast, 2), status::kEndOfFile);
  EXPECT_EQ(f.Call(op::kStepNext), status::kEndOfFile);
}

TEST_F(GenuineFile, NeverWrittenWhateverTheOpenMode) {
  for (const char* name : {"fixed-v5.dat", "variable-v5.dat", "fixed-v6.dat", "acs-v6-empty.dat"}) {
    SCOPED_TRACE(name);
    REQUIRE_SAMPLE(bytes, name);
    std::string path = Copy(name, bytes);
    for (int8_t mode : {open_mode::kNormal, open_mode::kReadOnly}) {
      File f;
      ASSERT_EQ(f.Open(path, mode), 0);
      std::vector<uint8_t> record(1000, 0);
      EXPECT_EQ(f.Insert(record), status::kAccessDenied);
      EXPECT_EQ(f.Close(), 0);
    }
    EXPECT_EQ(ReadBytes(path), bytes);
  }
}

TEST_F(GenuineFile, TruncatedCopiesAnswerAStatus) {
  for (const char* name : {"fixed-v5.dat", "variable-v5.dat", "fixed-v6.dat", "acs-v6-empty.dat"}) {
    REQUIRE_SAMPLE(bytes, name);
    std::unique_ptr<RecordTable> whole;
    ASSERT_EQ(ReadGenuineImage(bytes, whole), 0);
    for (size_t cut : {size_t{0}, size_t{3}, size_t{100}, size_t{511}, size_t{700},
                       bytes.size() / 2, bytes.size() - 512, bytes.size() - 1}) {
      SCOPED_TRACE(::testing::Message() << name << " cut at " << cut);
      std::vector<uint8_t> head(bytes.begin(), bytes.begin() + cut);
      std::unique_ptr<RecordTable> table;
      int16_t st = ReadGenuineImage(head, table);
      // Version 5 knows its page count; version 6 notices a cut through a mapped page.
      // A cut through pages nothing maps loses nothing.
      if (st == 0) {
        ASSERT_EQ(table->size(), whole->size());
        for (uint32_t r = 0; r < table->size(); ++r) {
          ASSERT_TRUE(std::ranges::equal(table->Data(r), whole->Data(r)));
        }
      } else {
        EXPECT_TRUE(st == status::kIoError || st == status::kNotRecordFile) << st;
      }
      // Through the engine the same cut never crashes and never reads a record that is
      // not whole.
      std::string path = Copy("CUT.DAT", head);
      File f;
      if (f.Open(path) == 0) {
        for (int16_t s = f.Call(op::kStepNext); s == 0; s = f.Call(op::kStepNext)) {
          EXPECT_GE(f.length, whole->definition().recordLength);
        }
        f.Close();
      }
      WBTRVSTOP();
    }
  }
}

// Bytes of the control record, the page table and the first data and variable pages,
// set to values that break lengths and links, give either a whole image or a status.
TEST_F(GenuineFile, FlippedBytesAnswerAStatus) {
  struct Region {
    size_t begin, end, step;
  };
  struct Case {
    const char* name;
    std::vector<Region> regions;
  };
  const Case cases[] = {
      {"fixed-v5.dat", {{0, 3072, 1}}},
      {"fixed-v6.dat",
       {{4096, 4096 + 0x190, 1}, {3 * 4096, 3 * 4096 + 0x100, 1}, {0x9000, 0x9010, 1}}},
      {"variable-v5.dat",
       {{0, 0x190, 3},
        {0x600, 0x620, 1},
        {0x800, 0x810, 1},
        {0x9C0, 0xA00, 1},
        {0x1E00, 0x1E10, 1}}},
  };
  for (const Case& c : cases) {
    REQUIRE_SAMPLE(bytes, c.name);
    int opened = 0, refused = 0;
    for (const Region& region : c.regions) {
      for (size_t at = region.begin; at < region.end; at += region.step) {
        const uint8_t original = bytes[at];
        for (uint8_t value : {uint8_t{0xFF}, uint8_t(original ^ 0x80)}) {
          bytes[at] = value;
          std::unique_ptr<RecordTable> table;
          int16_t st = ReadGenuineImage(bytes, table);
          bytes[at] = original;
          if (st == 0) {
            ++opened;
            for (uint32_t r = 0; r < table->size(); ++r) {
              ASSERT_GE(table->Data(r).size(), table->definition().recordLength);
            }
          } else {
            ++refused;
            ASSERT_TRUE(st == status::kIoError || st == status::kNotRecordFile)
                << c.name << " byte " << at << " = " << int{value} << ": " << st;
          }
        }
      }
    }
    EXPECT_GT(opened, 0) << c.name;
    EXPECT_GT(refused, 0) << c.name;
  }
}

uint32_t Swapped(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t{LoadU16(&b[at])} << 16) | LoadU16(&b[at + 2]);
}
void StoreSwapped(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  StoreU16(&b[at], static_cast<uint16_t>(v >> 16));
  StoreU16(&b[at + 2], static_cast<uint16_t>(v));
}

TEST_F(GenuineFile, FragmentChainCycleIsDamage) {
  REQUIRE_SAMPLE(bytes, "variable-v5.dat");
  // Find a fragment that continues elsewhere and point it at itself.
  const size_t page = 512;
  bool patched = false;
  for (size_t p = 1; p * page < bytes.size() && !patched; ++p) {
    const uint8_t* pg = &bytes[p * page];
    if (Swapped(bytes, p * page) != p || (LoadU16(pg + 4) & 0x8000)) continue;
    uint16_t slots = LoadU16(pg + 0x0A);
    if (2u * (slots + 1) > page - 12) continue;  // an index page
    for (uint16_t n = 0; n < slots && 2u * (n + 1) < page; ++n) {
      uint16_t entry = LoadU16(pg + page - 2 * (n + 1));
      if (entry == 0xFFFF || !(entry & 0x8000)) continue;
      size_t at = p * page + (entry & 0x7FFF);
      bytes[at] = static_cast<uint8_t>(p >> 16);
      bytes[at + 1] = static_cast<uint8_t>(p);
      bytes[at + 2] = static_cast<uint8_t>(p >> 8);
      bytes[at + 3] = static_cast<uint8_t>(n);
      patched = true;
      break;
    }
  }
  ASSERT_TRUE(patched);
  std::unique_ptr<RecordTable> table;
  EXPECT_EQ(ReadGenuineImage(bytes, table), status::kIoError);
}

TEST_F(GenuineFile, DeletedChainIsSkippedAndACycleIsDamage) {
  REQUIRE_SAMPLE(bytes, "fixed-v5.dat");
  // Mark the second record (page 5, slot 1) deleted: the head points at it, its link ends.
  const uint32_t second = 5 * 512 + 6 + 90;
  std::vector<uint8_t> copy = bytes;
  StoreSwapped(copy, 0x10, second);
  StoreSwapped(copy, second, 0xFFFFFFFF);
  StoreSwapped(copy, 0x1A, 3);
  std::unique_ptr<RecordTable> table;
  ASSERT_EQ(ReadGenuineImage(copy, table), 0);
  ASSERT_EQ(table->size(), 3u);
  EXPECT_EQ(LoadU32(table->Data(0).data() + 70), 1u);
  EXPECT_EQ(LoadU32(table->Data(1).data() + 70), 3u);
  EXPECT_EQ(LoadU32(table->Data(2).data() + 70), 4u);

  StoreSwapped(copy, second, second);  // a link to itself
  EXPECT_EQ(ReadGenuineImage(copy, table), status::kIoError);
}

// A small version 6 variable-length file laid out as the format describes: control
// record, page tables mapping logical 1 to a data page and logical 2 to a variable page,
// one record whose variable part spans two fragments.
std::vector<uint8_t> VariableV6File() {
  const size_t page = 512;
  std::vector<uint8_t> f(6 * page, 0);
  f[0] = 'F', f[1] = 'C';
  StoreU32(&f[0x04], 1);
  StoreU16(&f[0x08], page);
  StoreU16(&f[0x14], 1);  // keys
  StoreU16(&f[0x16], 8);  // record length
  StoreU16(&f[0x18], 2 + 8 + 4);
  StoreU16(&f[0x4A], 0x0600);
  StoreU16(&f[0x106], 0x0001);  // variable length
  StoreU16(&f[0x110 + 0x08], key_flag::kExtendedType);
  StoreU16(&f[0x110 + 0x14], 2 + 4);  // the u32 at offset 4, behind the usage count
  StoreU16(&f[0x110 + 0x16], 4);
  f[0x110 + 0x1C] = key_type::kUnsignedBinary;
  for (size_t table : {2 * page, 3 * page}) {
    f[table] = 'P', f[table + 1] = 'P';
    StoreU32(&f[table + 4], table == 3 * page ? 2 : 1);
  }
  // Only the current table (page 3) maps anything.
  const uint8_t entries[] = {0, 'D', 4, 0, 0, 'V', 5, 0};
  std::copy(std::begin(entries), std::end(entries), &f[3 * page + 8]);
  // Data page: one record, its variable part at logical page 2, fragment 1.
  size_t slot = 4 * page + 6;
  StoreU16(&f[slot], 1);
  StoreU32(&f[slot + 2], 0x11111111);
  StoreU32(&f[slot + 6], 42);
  const uint8_t pointer[] = {0, 2, 0, 1};
  std::copy(std::begin(pointer), std::end(pointer), &f[slot + 10]);
  // Variable page: fragment 0 "world" ends the chain, fragment 1 "hello " leads to it.
  size_t v = 5 * page;
  StoreU16(&f[v + 0x0A], 2);
  const char* parts[] = {"world", "hello "};
  const uint8_t links[][4] = {{0xFF, 0xFF, 0xFF, 0xFF}, {0, 2, 0, 0}};
  size_t at = 0x0C;
  for (int n = 0; n < 2; ++n) {
    StoreU16(&f[v + page - 2 * (n + 1)], static_cast<uint16_t>(at));
    std::copy(links[n], links[n] + 4, &f[v + at]);
    std::memcpy(&f[v + at + 4], parts[n], std::strlen(parts[n]));
    at += 4 + std::strlen(parts[n]);
  }
  StoreU16(&f[v + page - 6], static_cast<uint16_t>(at));  // where free space begins
  return f;
}

TEST_F(GenuineFile, VariableV6FragmentsThroughThePageTable) {
  std::vector<uint8_t> bytes = VariableV6File();
  std::unique_ptr<RecordTable> table;
  ASSERT_EQ(ReadGenuineImage(bytes, table), 0);
  ASSERT_EQ(table->size(), 1u);
  std::span<const uint8_t> r = table->Data(0);
  ASSERT_EQ(r.size(), 8u + 11u);
  EXPECT_EQ(LoadU32(r.data() + 4), 42u);
  EXPECT_EQ(std::string(r.begin() + 8, r.end()), "hello world");

  // The older page table maps nothing: made current, the file has no records.
  StoreU32(&bytes[2 * 512 + 4], 3);
  ASSERT_EQ(ReadGenuineImage(bytes, table), 0);
  EXPECT_EQ(table->size(), 0u);
  StoreU32(&bytes[2 * 512 + 4], 1);

  // "world" leading back to "hello " is a cycle.
  const uint8_t back[] = {0, 2, 0, 1};
  std::copy(std::begin(back), std::end(back), &bytes[5 * 512 + 0x0C]);
  EXPECT_EQ(ReadGenuineImage(bytes, table), status::kIoError);
}

TEST_F(GenuineFile, UnhandledFeaturesAreNotRecordFiles) {
  REQUIRE_SAMPLE(v5, "fixed-v5.dat");
  REQUIRE_SAMPLE(v6, "fixed-v6.dat");
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    size_t at;
    uint16_t value;
  };
  const Case cases[] = {
      {"compressed", v5, 0x106, 0x0008},
      {"variable-allocation tails", v5, 0x106, 0x0801},
      {"blank truncation", v5, 0x106, 0x0002},
      {"version 7", v6, 4096 + 0x4A, 0x0700},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> copy = c.bytes;
    StoreU16(&copy[c.at], c.value);
    std::unique_ptr<RecordTable> table;
    EXPECT_EQ(ReadGenuineImage(copy, table), status::kNotRecordFile) << c.what;
  }
}

}  // namespace
}  // namespace torvex::btrieve
