// The library's C interface: opening, closing, look-ups, the per-thread last
// error, and files that are damaged or hostile. The files are written byte by
// byte here, independently of the writer in abilitylib/ability_source.h.
#include "abilitylib/kestrune.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "abilitylib/ability_file_format.h"
#include "tests/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using torvex::ability_file::WriteU32;

using torvex::testing::TempDir;

// A file image under construction: header with H, `entries` entries, then
// whatever the test appends. Unread bytes hold 0xAA so that nothing relies on
// them being zero.
struct Image {
  std::vector<uint8_t> bytes;
  Image(uint32_t highest, size_t entries) : bytes(16 + 16 * entries, 0xAA) {
    WriteU32(&bytes[8], highest);
  }
  uint32_t AddName(const std::string& name) {
    const auto at = static_cast<uint32_t>(bytes.size());
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.push_back(0);
    return at;
  }
  void SetEntry(size_t n, uint32_t nameOffset, uint32_t colour, uint8_t format) {
    uint8_t* e = &bytes[16 + 16 * n];
    WriteU32(e + 4, nameOffset);
    WriteU32(e + 8, colour);
    e[12] = format;
  }
};

AbilityInfo Ask(uint32_t number) {
  AbilityInfo info{};
  info.size = KESTRUNE_ABILITY_INFO_SIZE;
  info.number = number;
  return info;
}

struct Answer {
  std::string name;
  uint32_t colour;
  unsigned format;
  bool operator==(const Answer&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Answer& a) {
  return os << "{\"" << a.name << "\", " << a.colour << ", " << a.format << "}";
}

Answer Look(AbilityFile* file, uint32_t number) {
  AbilityInfo info = Ask(number);
  EXPECT_EQ(GetAbilityInfo(file, &info), KESTRUNE_TRUE) << "number " << number;
  return {info.name != nullptr ? info.name : "(null)", info.colour, info.format};
}

const Answer kUnknown{"Unknown", 7, 0};

class KestruneTest : public ::testing::Test {
 protected:
  void SetUp() override { GetAbilityLastError(); }
  TempDir dir_;
};

TEST_F(KestruneTest, InfoRecordHasNaturalLayout) {
  EXPECT_EQ(offsetof(AbilityInfo, size), 0u);
  EXPECT_EQ(offsetof(AbilityInfo, number), 4u);
  EXPECT_EQ(offsetof(AbilityInfo, name), 8u);
  EXPECT_EQ(offsetof(AbilityInfo, colour), 8u + sizeof(void*));
  EXPECT_EQ(offsetof(AbilityInfo, format), 12u + sizeof(void*));
  EXPECT_EQ(KESTRUNE_ABILITY_INFO_SIZE, sizeof(AbilityInfo));
}

TEST_F(KestruneTest, LooksUpEntriesUpToHighestAndUnknownAbove) {
  Image image(2, 3);
  image.SetEntry(0, image.AddName("Zero"), 0x1E, 4);
  image.SetEntry(1, image.AddName("One"), 0xFFFFFF0C, 19);
  image.SetEntry(2, image.AddName("Two"), 3, 255);
  AbilityFile* file = OpenAbilityFile(dir_.Write("k.dat", image.bytes).c_str());
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Look(file, 0), (Answer{"Zero", 0x1E, 4}));
  EXPECT_EQ(Look(file, 1), (Answer{"One", 0xFFFFFF0C, 19}));
  EXPECT_EQ(Look(file, 2), (Answer{"Two", 3, 255}));
  EXPECT_EQ(Look(file, 3), kUnknown);
  EXPECT_EQ(Look(file, 0xFFFFFFFF), kUnknown);
  AbilityInfo info = Ask(3);
  GetAbilityInfo(file, &info);
  EXPECT_EQ(info.number, 3u) << "the number asked for stays in the record";
  EXPECT_EQ(CloseAbilityFile(file), KESTRUNE_TRUE);
}

TEST_F(KestruneTest, NamePointsIntoTheMappedFileUntilClosed) {
  Image image(0, 1);
  const uint32_t at = image.AddName("Mapped");
  image.SetEntry(0, at, 7, 0);
  AbilityFile* file = OpenAbilityFile(dir_.Write("k.dat", image.bytes).c_str());
  ASSERT_NE(file, nullptr);
  AbilityInfo first = Ask(0), second = Ask(0);
  GetAbilityInfo(file, &first);
  GetAbilityInfo(file, &second);
  EXPECT_EQ(first.name, second.name) << "no copies: the name lives in the mapping";
  EXPECT_STREQ(first.name, "Mapped");
  CloseAbilityFile(file);
}

TEST_F(KestruneTest, FailedOpensSetTheOperatingSystemsCodeOnce) {
  const std::string empty = dir_.Write("empty.dat", std::string_view());
  const struct {
    const char* what;
    std::string path;
    bool nullPath;
    int code;
  } cases[] = {
      {"missing file", dir_.path() + "/missing.dat", false, ENOENT},
      {"missing directory", dir_.path() + "/no/k.dat", false, ENOENT},
      {"null path", "", true, ENOENT},
      {"empty path", "", false, ENOENT},
      {"empty file", empty, false, EINVAL},
      {"directory", dir_.path(), false, EISDIR},
      {"not a regular file", "/dev/null", false, ENODEV},
  };
  for (const auto& c : cases) {
    SetAbilityLastError(12345);
    EXPECT_EQ(OpenAbilityFile(c.nullPath ? nullptr : c.path.c_str()), nullptr) << c.what;
    EXPECT_EQ(GetAbilityLastError(), c.code) << c.what;
    EXPECT_EQ(GetAbilityLastError(), 0) << c.what << ": read resets it";
  }
}

TEST_F(KestruneTest, OpenFollowedByCloseLeavesNoDescriptorBehind) {
  Image image(0, 1);
  image.SetEntry(0, image.AddName("A"), 7, 0);
  const std::string path = dir_.Write("k.dat", image.bytes);
  const auto descriptors = [] {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
  };
  const auto before = descriptors();
  AbilityFile* file = OpenAbilityFile(path.c_str());
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(descriptors(), before) << "the mapping alone keeps the file";
  CloseAbilityFile(file);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(OpenAbilityFile(dir_.path().c_str()), nullptr);
  EXPECT_EQ(descriptors(), before) << "failed opens close what they opened";
}

TEST_F(KestruneTest, CloseRefusesWhatIsNotAnOpenHandle) {
  Image image(0, 1);
  image.SetEntry(0, image.AddName("A"), 7, 0);
  const std::string path = dir_.Write("k.dat", image.bytes);
  AbilityFile* file = OpenAbilityFile(path.c_str());
  ASSERT_NE(file, nullptr);
  SetAbilityLastError(99);
  EXPECT_EQ(CloseAbilityFile(file), KESTRUNE_TRUE);
  EXPECT_EQ(GetAbilityLastError(), 0) << "a successful close clears the last error";

  SetAbilityLastError(99);
  EXPECT_EQ(CloseAbilityFile(file), KESTRUNE_FALSE) << "already closed";
  EXPECT_EQ(CloseAbilityFile(nullptr), KESTRUNE_FALSE);
  // Memory that merely looks like a handle, the tag included, is still foreign.
  alignas(16) unsigned char lookalike[64] = {'K', 'R', 'X', 'A'};
  EXPECT_EQ(CloseAbilityFile(reinterpret_cast<AbilityFile*>(lookalike)), KESTRUNE_FALSE);
  alignas(16) unsigned char zeroed[64] = {};
  EXPECT_EQ(CloseAbilityFile(reinterpret_cast<AbilityFile*>(zeroed)), KESTRUNE_FALSE);
  EXPECT_EQ(GetAbilityLastError(), 99) << "refused calls touch nothing";
}

TEST_F(KestruneTest, GetAbilityInfoRefusesBadHandlesAndRecords) {
  Image image(0, 1);
  image.SetEntry(0, image.AddName("A"), 7, 0);
  AbilityFile* file = OpenAbilityFile(dir_.Write("k.dat", image.bytes).c_str());
  ASSERT_NE(file, nullptr);
  const uint32_t badSizes[] = {0, 17, 21, KESTRUNE_ABILITY_INFO_SIZE - 1,
                               KESTRUNE_ABILITY_INFO_SIZE + 1};
  for (uint32_t size : badSizes) {
    AbilityInfo info = Ask(0);
    info.size = size;
    info.colour = 1234;
    EXPECT_EQ(GetAbilityInfo(file, &info), KESTRUNE_FALSE) << "size " << size;
    EXPECT_EQ(info.name, nullptr) << "size " << size;
    EXPECT_EQ(info.colour, 1234u) << "size " << size;
  }
  EXPECT_EQ(GetAbilityInfo(file, nullptr), KESTRUNE_FALSE);
  AbilityInfo info = Ask(0);
  EXPECT_EQ(GetAbilityInfo(nullptr, &info), KESTRUNE_FALSE);
  alignas(16) unsigned char lookalike[64] = {'K', 'R', 'X', 'A'};
  EXPECT_EQ(GetAbilityInfo(reinterpret_cast<AbilityFile*>(lookalike), &info), KESTRUNE_FALSE);
  CloseAbilityFile(file);
  EXPECT_EQ(GetAbilityInfo(file, &info), KESTRUNE_FALSE) << "closed handle";
  EXPECT_EQ(info.name, nullptr);
}

TEST_F(KestruneTest, LastErrorIsKeptPerThread) {
  SetAbilityLastError(-7);
  int32_t seenByNewThread = -1;
  int32_t keptByOtherThread = -1;
  std::thread([&] {
    seenByNewThread = GetAbilityLastError();
    SetAbilityLastError(42);
    EXPECT_EQ(OpenAbilityFile((dir_.path() + "/missing").c_str()), nullptr);
    keptByOtherThread = GetAbilityLastError();
  }).join();
  EXPECT_EQ(seenByNewThread, 0);
  EXPECT_EQ(keptByOtherThread, ENOENT);
  EXPECT_EQ(GetAbilityLastError(), -7) << "the other thread's calls left this one alone";
}

TEST_F(KestruneTest, LookupsFromSeveralThreadsAgree) {
  Image image(63, 64);
  for (size_t n = 0; n < 64; ++n) {
    image.SetEntry(n, image.AddName("Ability " + std::to_string(n)), n, n % 20);
  }
  AbilityFile* file = OpenAbilityFile(dir_.Write("k.dat", image.bytes).c_str());
  ASSERT_NE(file, nullptr);
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 2000; ++round) {
        const uint32_t n = (round * 7 + t) % 70;
        AbilityInfo info = Ask(n);
        GetAbilityInfo(file, &info);
        const std::string expected = n < 64 ? "Ability " + std::to_string(n) : "Unknown";
        if (expected != info.name) ++wrong[t];
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
  CloseAbilityFile(file);
}

// Names that cannot be read whole inside the file are empty; they are never
// followed outside it.
TEST_F(KestruneTest, NamesOutsideTheFileReadAsEmpty) {
  Image image(4, 5);
  image.SetEntry(0, image.AddName(""), 0x0A, 1);
  image.SetEntry(1, 0xFFFFFFFF, 0x0B, 2);
  image.SetEntry(2, 1u << 20, 0x0C, 3);
  const uint32_t good = image.AddName("Good");
  image.SetEntry(3, good, 0x0D, 4);
  // The last name has no terminator before the end of the file.
  const auto end = static_cast<uint32_t>(image.bytes.size());
  image.bytes.insert(image.bytes.end(), {'T', 'a', 'i', 'l'});
  image.SetEntry(4, end, 0x0E, 5);
  const auto size = static_cast<uint32_t>(image.bytes.size());

  for (uint32_t offset : {size, size - 1}) {
    image.SetEntry(1, offset, 0x0B, 2);
    AbilityFile* file = OpenAbilityFile(dir_.Write("k.dat", image.bytes).c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(Look(file, 0), (Answer{"", 0x0A, 1})) << "offset of a zero byte";
    EXPECT_EQ(Look(file, 1), (Answer{"", 0x0B, 2})) << "offset " << offset << " of size " << size;
    EXPECT_EQ(Look(file, 2), (Answer{"", 0x0C, 3})) << "offset far outside";
    EXPECT_EQ(Look(file, 3), (Answer{"Good", 0x0D, 4}));
    EXPECT_EQ(Look(file, 4), (Answer{"", 0x0E, 5})) << "unterminated name at the end";
    CloseAbilityFile(file);
  }
}

// A file that claims more entries than it holds, cut anywhere: entries that do
// not lie wholly inside it read as "Unknown".
TEST_F(KestruneTest, EntriesPastTheEndReadAsUnknown) {
  Image full(0xFFFFFFFF, 3);
  const uint32_t name = 12;  // a name may lie anywhere, even in the header's unread bytes
  full.bytes[12] = 'X';
  full.bytes[13] = 0;
  for (size_t n = 0; n < 3; ++n) full.SetEntry(n, name, 0x20 + n, 6 + n);
  for (size_t size = 0; size <= full.bytes.size(); ++size) {
    if (size == 0) continue;  // refused at open
    std::vector<uint8_t> cut(full.bytes.begin(), full.bytes.begin() + size);
    AbilityFile* file = OpenAbilityFile(dir_.Write("cut.dat", cut).c_str());
    ASSERT_NE(file, nullptr) << "size " << size;
    for (uint32_t n = 0; n < 5; ++n) {
      const bool whole = size >= 16 + 16 * (n + 1) && n < 3;
      const Answer expected = whole ? Answer{"X", 0x20 + n, 6 + n} : kUnknown;
      EXPECT_EQ(Look(file, n), expected) << "size " << size << ", number " << n;
    }
    CloseAbilityFile(file);
  }
}

TEST_F(KestruneTest, HighestNumberLimitsEvenWhenMoreEntriesFollow) {
  Image image(1, 4);
  for (size_t n = 0; n < 4; ++n) image.SetEntry(n, image.AddName("N" + std::to_string(n)), 1, 0);
  AbilityFile* file = OpenAbilityFile(dir_.Write("k.dat", image.bytes).c_str());
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Look(file, 1).name, "N1");
  EXPECT_EQ(Look(file, 2), kUnknown);
  CloseAbilityFile(file);
}

}  // namespace
