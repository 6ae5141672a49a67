// The ability table source, its encoding into kestrune.dat, the builder tool
// and the demo table in data/abilities.toml.
#include "abilitylib/ability_source.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "abilitylib/kestrune.h"
#include "tests/temp_dir.h"

namespace torvex {
namespace {

namespace fs = std::filesystem;

using torvex::testing::ReadFile;
using torvex::testing::TempDir;

std::string SourcePath() {
  const char* root = std::getenv("TORVEX_SOURCE_DIR");
  return std::string(root != nullptr ? root : ".") + "/data/abilities.toml";
}

std::vector<AbilityDescription> ParseOrFail(const std::string& text) {
  std::vector<AbilityDescription> out;
  std::string error;
  EXPECT_TRUE(ParseAbilitySource(text, out, error)) << error;
  return out;
}

TEST(AbilitySourceTest, RefusesBadTablesWithTheLine) {
  const struct {
    const char* text;
    const char* error;  // a part of the message
  } cases[] = {
      {"abilities = [\n{ number = 1, name = \"A\", colour = 7 },\n]", "line 2: \"format\""},
      {"abilities = [{ number = 65536, name = \"A\", colour = 7, format = 0 }]",
       "outside 0..65535"},
      {"abilities = [{ number = -1, name = \"A\", colour = 7, format = 0 }]", "outside 0..65535"},
      {"abilities = [{ number = 1, name = \"A\", colour = 256, format = 0 }]", "outside 0..255"},
      {"abilities = [{ number = 1, name = \"A\", colour = 7, format = 20 }]", "outside 0..19"},
      {"abilities = [{ number = 1, name = \"A\", colour = 7, format = \"0\" }]", "integer"},
      {"abilities = [{ number = 1, name = \"\", colour = 7, format = 0 }]", "\"name\""},
      {"abilities = [{ number = 1, name = \"A|B\", colour = 7, format = 0 }]", "\"|\""},
      {"abilities = [{ number = 1, name = \"caf\u00e9\", colour = 7, format = 0 }]", "ASCII"},
      {"abilities = [{ number = 1, name = \"A\\u0000B\", colour = 7, format = 0 }]", "ASCII"},
      {"abilities = [{ number = 1, name = 5, colour = 7, format = 0 }]", "\"name\""},
      {"abilities = [{ number = 1, name = \"A\", colour = 7, format = 0, colur = 3 }]",
       "unknown key \"colur\""},
      {"abilities = [\n{ number = 1, name = \"A\", colour = 7, format = 0 },\n"
       "{ number = 1, name = \"B\", colour = 7, format = 0 }]",
       "line 3: ability 1 is described twice"},
      {"abilities = [1, 2]", "must be a table"},
      {"abilities = []", "empty"},
      {"ability = []", "no \"abilities\""},
      {"abilities = [\n{ number = 1,", "line 2"},
  };
  for (const auto& c : cases) {
    std::vector<AbilityDescription> out;
    std::string error;
    EXPECT_FALSE(ParseAbilitySource(c.text, out, error)) << c.text;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.text << "\n gave: " << error;
  }
  std::vector<AbilityDescription> out;
  std::string error;
  EXPECT_TRUE(ParseAbilitySource("abilities = [{ number = 1, name = \"" + std::string(63, 'x') +
                                     "\", colour = 0, format = 0 }]",
                                 out, error))
      << error;
  EXPECT_FALSE(ParseAbilitySource("abilities = [{ number = 1, name = \"" + std::string(64, 'x') +
                                      "\", colour = 0, format = 0 }]",
                                  out, error));
}

TEST(AbilitySourceTest, EncodesTheDocumentedLayout) {
  const auto table = ParseOrFail(
      "abilities = [\n"
      "  { number = 3, name = \"Three\", colour = 0x1E, format = 19 },\n"
      "  { number = 1, name = \"One\", colour = 2, format = 5 },\n"
      "  { number = 5, name = \"Three\", colour = 3, format = 0 },\n"
      "]\n");
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[0].number, 1) << "sorted by number";
  const std::vector<uint8_t> bytes = EncodeAbilityFile(table);
  const std::vector<uint8_t> header = {0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_GE(bytes.size(), 16u + 6 * 16u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 16), header);
  const auto u32 = [&](size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
  };
  const size_t entry3 = 16 + 3 * 16, entry5 = 16 + 5 * 16;
  EXPECT_EQ(u32(entry3 + 8), 0x1Eu);
  EXPECT_EQ(bytes[entry3 + 12], 19);
  EXPECT_EQ(u32(entry3 + 4), u32(entry5 + 4)) << "a name is stored once";
  EXPECT_GE(u32(entry3 + 4), 16u + 6 * 16u) << "names follow the entries";
  EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[u32(entry3 + 4)]), "Three");
  for (size_t n = 0; n < 6; ++n) {
    const size_t e = 16 + 16 * n;
    EXPECT_EQ(u32(e), 0u) << n;
    EXPECT_EQ(bytes[e + 13] | bytes[e + 14] | bytes[e + 15], 0) << n;
  }
}

// data/abilities.toml through the writer and back through the library.
TEST(AbilitySourceTest, DemoTableRoundTripsThroughTheLibrary) {
  const auto table = ParseOrFail(ReadFile(SourcePath()));
  ASSERT_FALSE(table.empty());
  TempDir dir;
  const std::vector<uint8_t> bytes = EncodeAbilityFile(table);
  const std::string path = dir.Write("k.dat", std::string(bytes.begin(), bytes.end()));
  AbilityFile* file = OpenAbilityFile(path.c_str());
  ASSERT_NE(file, nullptr);
  std::set<uint32_t> described;
  for (const auto& a : table) {
    AbilityInfo info{KESTRUNE_ABILITY_INFO_SIZE, a.number, nullptr, 0, 0};
    ASSERT_EQ(GetAbilityInfo(file, &info), KESTRUNE_TRUE);
    EXPECT_EQ(info.name, a.name) << a.number;
    EXPECT_EQ(info.colour, a.colour) << a.number;
    EXPECT_EQ(info.format, a.format) << a.number;
    described.insert(a.number);
  }
  const uint32_t highest = *described.rbegin();
  for (uint32_t n = 0; n <= highest + 1; ++n) {
    if (described.count(n)) continue;
    AbilityInfo info{KESTRUNE_ABILITY_INFO_SIZE, n, nullptr, 0, 0};
    GetAbilityInfo(file, &info);
    EXPECT_STREQ(info.name, "Unknown") << n;
    EXPECT_EQ(info.colour, 7u) << n;
  }
  CloseAbilityFile(file);
}

TEST(AbilitySourceTest, DemoTableNamesTheRulesAbilitiesAndEveryFormat) {
  // Every ability number the rules of the simulators, the walker, the
  // browsers' examples and the searches refer to.
  const std::set<uint16_t> used = {0,   7,   10,  12,  13,  14,  20,  22,  27,  28,  34,  35,  36,
                                   37,  38,  39,  40,  42,  43,  51,  53,  54,  58,  59,  69,  70,
                                   71,  72,  77,  83,  87,  88,  95,  96,  97,  98,  100, 101, 102,
                                   103, 105, 106, 110, 111, 112, 113, 114, 115, 120, 123, 128, 135,
                                   136, 140, 141, 144, 145, 148, 151, 155, 164, 179, 180};
  std::set<uint16_t> named;
  std::set<int> formats;
  for (const auto& a : ParseOrFail(ReadFile(SourcePath()))) {
    named.insert(a.number);
    formats.insert(a.format);
  }
  for (uint16_t n : used) EXPECT_TRUE(named.count(n)) << "ability " << n << " has no name";
  for (int f = 0; f < 20; ++f) EXPECT_TRUE(formats.count(f)) << "format " << f << " unused";
}

// The build puts kestrune.dat beside the program; it is the demo table.
TEST(AbilitySourceTest, BuiltFileBesideTheProgramIsTheDemoTable) {
  const std::string built = ReadFile(KESTRUNE_BUILT_DATA);
  const std::vector<uint8_t> expected = EncodeAbilityFile(ParseOrFail(ReadFile(SourcePath())));
  EXPECT_EQ(built, std::string(expected.begin(), expected.end()));
}

TEST(AbilitySourceTest, BuilderReplacesTheOutputWholeOrNotAtAll) {
  TempDir dir;
  const std::string good = dir.Write(
      "good.toml", "abilities = [{ number = 2, name = \"Two\", colour = 9, format = 3 }]");
  const std::string bad = dir.Write("bad.toml", "abilities = [{ number = 2 }]");
  const std::string out = dir.Write("out.dat", "old contents");
  const std::string tool = KESTRUNE_BUILD_TOOL;

  EXPECT_NE(std::system((tool + " " + bad + " " + out + " 2>/dev/null").c_str()), 0);
  EXPECT_EQ(ReadFile(out), "old contents");
  EXPECT_NE(std::system((tool + " " + good + " /nonexistent/dir/out.dat 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((tool + " " + good + " 2>/dev/null").c_str()), 0) << "usage";

  ASSERT_EQ(std::system((tool + " " + good + " " + out).c_str()), 0);
  const std::vector<uint8_t> expected = EncodeAbilityFile(ParseOrFail(ReadFile(good)));
  EXPECT_EQ(ReadFile(out), std::string(expected.begin(), expected.end()));
  EXPECT_FALSE(fs::exists(out + ".tmp"));
}

}  // namespace
}  // namespace torvex
