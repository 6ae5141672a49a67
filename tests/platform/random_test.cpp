#include "platform/random.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/system_info.h"

namespace torvex {
namespace {

TEST(RandomTest, FollowsTheLinearCongruentialSequence) {
  Random r(0);
  // seed 0 -> 1 -> 134775814 -> ...; Next(n) is the high half of seed * n.
  EXPECT_EQ(r.Next(100), 0u);
  EXPECT_EQ(r.Seed(), 1u);
  uint32_t expected = static_cast<uint32_t>((uint64_t{134775814} * 100) >> 32);
  EXPECT_EQ(r.Next(100), expected);
  EXPECT_EQ(r.Seed(), 134775814u);
}

TEST(RandomTest, DrawsStayInRangeAndZeroRangeGivesZero) {
  Random r(0xDEADBEEF);
  for (int i = 0; i < 10000; ++i) ASSERT_LT(r.Next(7), 7u);
  EXPECT_EQ(r.Next(0), 0u);
  EXPECT_EQ(r.Next(1), 0u);
}

TEST(RandomTest, AnOperatorCanFixTheStartSeed) {
  const struct {
    const char* value;  // nullptr: unset
    bool fixed;
  } cases[] = {{"12345", true}, {"4294967295", true}, {"4294967296", false},
               {"12x", false},  {"", false},          {nullptr, false}};
  for (const auto& c : cases) {
    if (c.value) {
      setenv("TORVEX_SEED", c.value, 1);
    } else {
      unsetenv("TORVEX_SEED");
    }
    ProgramRandom().SetSeed(7);
    SeedProgramRandom();
    if (c.fixed) {
      EXPECT_EQ(std::to_string(ProgramRandom().Seed()), c.value);
    } else {
      // From the clock: anything but the value a failed parse would leave.
      EXPECT_NE(ProgramRandom().Seed(), 7u) << (c.value ? c.value : "unset");
    }
  }
  unsetenv("TORVEX_SEED");
}

TEST(SystemInfoTest, CpuLabelRules) {
  constexpr unsigned kMmx = 1u << 23, kSse2 = 1u << 26;
  struct Case {
    const char* vendor;
    unsigned edx;
    const char* label;
  } cases[] = {
      {"GenuineIntel", kSse2 | kMmx, "|14SSE2"},
      {"GenuineIntel", kMmx, "|11MMX"},
      {"AuthenticAMD", kSse2 | kMmx, "|11MMX"},  // SSE2 counts only for Intel
      {"AuthenticAMD", kSse2, ""},
      {"CyrixInstead", kMmx, ""},
      {"GenuineIntel", 0, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CpuLabelFor(c.vendor, c.edx), c.label) << c.vendor << " " << c.edx;
  }
}

TEST(SystemInfoTest, AbsolutePathAndUserName) {
  EXPECT_EQ(AbsolutePath("/a/b/../c.ini"), "/a/c.ini");
  EXPECT_EQ(AbsolutePath("x.ini").front(), '/');
  EXPECT_FALSE(UserName().empty());
}

}  // namespace
}  // namespace torvex
