// The program's side of the ability file: names, colours and the ability and
// value texts of every value format.
#include "database/ability_names.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "abilitylib/ability_source.h"
#include "console/colour_text.h"

namespace torvex {
namespace {

namespace fs = std::filesystem;

// Ability 100 + f has value format f and is called "A<f>".
constexpr int32_t kFormatBase = 100;
constexpr int32_t kEmptyName = 130;
constexpr int32_t kColoured = 131;

std::string Race(uint32_t n) {
  return "Race " + std::to_string(n);
}
std::string Class(uint32_t n) {
  return "Class " + std::to_string(n);
}
std::string Spell(uint32_t n) {
  return "Spell " + std::to_string(n);
}
std::string Item(uint32_t n) {
  return "Item " + std::to_string(n);
}
std::string Monster(uint32_t n) {
  return "Monster " + std::to_string(n);
}
const AbilityValueNames kNames{Race, Class, Spell, Item, Monster};

class AbilityNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<AbilityDescription> table;
    for (int f = 0; f <= 21; ++f) {
      table.push_back({static_cast<uint16_t>(kFormatBase + f), "A" + std::to_string(f), 7,
                       static_cast<uint8_t>(f == 21 ? 255 : f)});
    }
    table.push_back({kEmptyName, "", 7, 0});
    table.push_back({kColoured, "Blue", 0x1E, 0});
    const std::vector<uint8_t> bytes = EncodeAbilityFile(table);
    std::string pattern = (fs::temp_directory_path() / "ability_names_XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    path_ = dir_ + "/kestrune.dat";
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    ASSERT_TRUE(OpenAbilityNames(path_));
  }
  void TearDown() override {
    CloseAbilityNames();
    fs::remove_all(dir_);
  }
  std::string dir_, path_;
};

struct TextCase {
  int format;
  int32_t value;
  const char* text;
};

TEST_F(AbilityNamesTest, AbilityTextOfEveryFormat) {
  const TextCase cases[] = {
      {0, 5, "A0 +5"},
      {0, -3, "A0 -3"},
      {0, 0, "A0 "},
      {1, 3, "A1 3 (Race 3)"},
      {2, 2, "A2 2 (Class 2)"},
      {3, 17, "A3 17 (Spell 17)"},
      {4, 40, "A4 40 (Item 40)"},
      {5, 9, "A5 9 (Monster 9)"},
      {5, -1, "A5 -1 (Monster 4294967295)"},
      {6, 4, "A6 4"},
      {7, -4, "A7 -4"},
      {8, 0, "A8 0"},
      {9, 4, "A9 4"},
      {10, kFormatBase + 6, "A10 106 (A6)"},
      {10, 65536 + kFormatBase + 7, "A10 65643 (A7)"},
      {10, 999, "A10 999 (Unknown)"},
      {11, 25, "A11 +25%"},
      {11, -10, "A11 -10%"},
      {11, 0, "A11 %"},
      {12, 4, "A12 4"},
      {12, -4, "A12 -4"},
      {13, 4, "A13 4"},
      {14, 5, "A14 5 copper farthings"},
      {15, 5, "A15 5 silver nobles"},
      {16, 1, "A16 1 gold crowns"},
      {17, 5, "A17 5 platinum pieces"},
      {18, -2, "A18 -2 runic coins"},
      {19, 15, "A19 +1.5"},
      {19, 20, "A19 +2"},
      {19, 5, "A19 .5"},
      {19, -15, "A19 -1.5"},
      {19, -5, "A19 -.5"},
      {19, -20, "A19 -2"},
      {19, 0, "A19 "},
      {19, 123, "A19 +12.3"},
      {20, 5, ""},
      {21, 5, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AbilityText(kFormatBase + c.format, c.value, kNames), c.text)
        << "format " << c.format << ", value " << c.value;
  }
}

TEST_F(AbilityNamesTest, AbilityValueTextOfEveryFormat) {
  const TextCase cases[] = {
      {0, 5, "+5"},
      {0, -3, "-3"},
      {0, 0, ""},
      {1, 3, "3 (Race 3)"},
      {2, 2, "2 (Class 2)"},
      {3, 17, "17 (Spell 17)"},
      {4, 40, "40 (Item 40)"},
      {5, 9, "9 (Monster 9)"},
      {6, 4, "4"},
      {7, 0, "0"},
      {8, -4, "-4"},
      {9, 4, "4"},
      {10, kFormatBase + 6, "106 (A6)"},
      {11, 25, "+25%"},
      {11, 0, "%"},
      {12, 4, "+4"},
      {12, 0, ""},
      {13, 4, "4"},
      {14, 5, "A14 5 copper farthings"},
      {15, 5, "A15 5 silver nobles"},
      {16, 5, "A16 5 gold crowns"},
      {17, 5, "A17 5 platinum pieces"},
      {18, 5, "A18 5 runic coins"},
      {19, 15, "A19 +1.5"},
      {19, -5, "A19 -.5"},
      {20, 5, ""},
      {21, 5, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AbilityValueText(kFormatBase + c.format, c.value, kNames), c.text)
        << "format " << c.format << ", value " << c.value;
  }
}

TEST_F(AbilityNamesTest, MissingRecordLookupsGiveEmptyNames) {
  const AbilityValueNames none{};
  EXPECT_EQ(AbilityText(kFormatBase + 1, 3, none), "A1 3 ()");
  EXPECT_EQ(AbilityValueText(kFormatBase + 5, 9, none), "9 ()");
}

TEST_F(AbilityNamesTest, NamesAndColours) {
  EXPECT_EQ(AbilityName(kFormatBase + 3), "A3");
  EXPECT_EQ(AbilityName(65536 + kFormatBase + 3), "A3") << "numbers are taken as 16 bits";
  EXPECT_EQ(AbilityName(50), "Unknown") << "a number the table leaves out";
  EXPECT_EQ(AbilityName(5000), "Unknown") << "a number above the highest";
  EXPECT_EQ(ColourCodes(static_cast<int>(AbilityColour(kColoured))), "|16|14");
  EXPECT_EQ(AbilityColour(5000), 7u);
}

TEST_F(AbilityNamesTest, EmptyNameStillShowsTheValue) {
  EXPECT_EQ(AbilityName(kEmptyName), "");
  EXPECT_EQ(AbilityText(kEmptyName, 5, kNames), " +5");
}

TEST_F(AbilityNamesTest, WithoutAFileEverythingIsEmpty) {
  CloseAbilityNames();
  EXPECT_EQ(AbilityName(kFormatBase), "");
  EXPECT_EQ(AbilityColour(kColoured), 7u);
  EXPECT_EQ(AbilityText(kFormatBase, 5, kNames), "");
  EXPECT_EQ(AbilityValueText(kFormatBase, 5, kNames), "");

  EXPECT_FALSE(OpenAbilityNames(dir_ + "/missing.dat"));
  EXPECT_EQ(AbilityName(kFormatBase), "");
  EXPECT_TRUE(OpenAbilityNames(path_)) << "reopens after a failed open";
  EXPECT_EQ(AbilityName(kFormatBase), "A0");
}

TEST_F(AbilityNamesTest, TextsOutliveTheFile) {
  const std::string name = AbilityName(kFormatBase + 2);
  CloseAbilityNames();
  EXPECT_EQ(name, "A2");
}

}  // namespace
}  // namespace torvex
