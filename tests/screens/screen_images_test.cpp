// The stored images: each decodes to exactly its source, and the screens the
// program writes over have room where it writes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/terminal/cp437.h"
#include "screens/screens.h"
#include "tests/screens/image_decoder.h"
#include "tools/screen_source.h"

namespace torvex {
namespace {

using screens::ScreenImage;

std::filesystem::path ScreensDir() {
  const char* env = std::getenv("TORVEX_SOURCE_DIR");
  return std::filesystem::path(env != nullptr ? env : TORVEX_SOURCE_DIR_DEFAULT) / "screens";
}

std::string ReadSource(const std::string& name) {
  std::ifstream in(ScreensDir() / name, std::ios::binary);
  EXPECT_TRUE(in) << "cannot open " << (ScreensDir() / name);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// What the program shows after painting `image` on a fresh screen.
struct Painted {
  std::vector<Cell> cells;

  const Cell& At(int column, int row) const {  // 1-based, like the screens' descriptions
    return cells[static_cast<size_t>((row - 1) * 80 + column - 1)];
  }
  std::string Text(int column, int row, int length) const {
    std::string out;
    for (int x = column; x < column + length; ++x) out += static_cast<char>(At(x, row).ch);
    return out;
  }
  std::string Row(int row) const { return Text(1, row, 80); }
  bool Blank(int fromColumn, int toColumn, int row) const {
    return Text(fromColumn, row, toColumn - fromColumn + 1) ==
           std::string(static_cast<size_t>(toColumn - fromColumn + 1), ' ');
  }
  int Fg(int column, int row) const { return At(column, row).attr & 0x0F; }
};

Painted Paint(const ScreenImage& image) {
  std::string problems;
  Painted p{screentest::DecodeImage(image.data, image.size, &problems)};
  EXPECT_EQ(problems, "") << image.name;
  return p;
}

std::string Cp437(std::string_view utf8) {
  return Utf8ToCp437(utf8);
}

TEST(ScreenImagesTest, EveryImageDecodesToItsSource) {
  ASSERT_FALSE(screens::AllScreens().empty());
  for (const ScreenImage& image : screens::AllScreens()) {
    SCOPED_TRACE(image.name);
    ScreenCells source;
    std::string error;
    ASSERT_TRUE(ParseScreenSource(ReadSource(image.name), &source, &error)) << error;
    ASSERT_GT(image.size, 0u);
    EXPECT_EQ(image.data[image.size - 1], kImageNewRow);

    const Painted painted = Paint(image);
    int mismatches = 0;
    for (int row = 1; row <= kScreenRows; ++row) {
      for (int column = 1; column <= kScreenColumns; ++column) {
        const Cell& want = source.At(column - 1, row - 1);
        const Cell& got = painted.At(column, row);
        if (want != got && ++mismatches <= 5) {
          ADD_FAILURE() << "column " << column << ", row " << row << ": painted char "
                        << int(got.ch) << " attr " << int(got.attr) << ", source char "
                        << int(want.ch) << " attr " << int(want.attr);
        }
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
}

TEST(ScreenImagesTest, ListNamesEverySourceInTheFolder) {
  std::set<std::string> files, listed;
  for (const auto& entry : std::filesystem::directory_iterator(ScreensDir())) {
    if (entry.path().extension() == ".scr") files.insert(entry.path().filename().string());
  }
  for (const ScreenImage& image : screens::AllScreens()) {
    EXPECT_TRUE(listed.insert(image.name).second) << "listed twice: " << image.name;
  }
  EXPECT_EQ(files, listed);
}

// The program writes over these screens with the background of its current
// attribute, which is black; a coloured background would show as holes.
TEST(ScreenImagesTest, BackgroundsAreBlack) {
  for (const ScreenImage& image :
       {screens::kMainMenu, screens::kExitScreen, screens::kStartupCheck}) {
    const Painted p = Paint(image);
    for (size_t i = 0; i < p.cells.size(); ++i) {
      ASSERT_EQ(p.cells[i].attr & 0xF0, 0)
          << image.name << ", column " << i % 80 + 1 << ", row " << i / 80 + 1;
    }
  }
}

void ExpectBox(const Painted& p, int lastRow, const std::set<int>& separators) {
  EXPECT_EQ(p.Row(1), Cp437("┌") + std::string(78, '\xC4') + Cp437("┐"));
  EXPECT_EQ(p.Row(lastRow), Cp437("└") + std::string(78, '\xC4') + Cp437("┘"));
  for (int row = 2; row < lastRow; ++row) {
    const bool sep = separators.count(row) > 0;
    EXPECT_EQ(p.Text(1, row, 1), Cp437(sep ? "├" : "│")) << "row " << row;
    EXPECT_EQ(p.Text(80, row, 1), Cp437(sep ? "┤" : "│")) << "row " << row;
    if (sep) {
      EXPECT_EQ(p.Text(2, row, 78), std::string(78, '\xC4')) << "row " << row;
    }
  }
}

TEST(MainMenuImageTest, FrameTitleAndSections) {
  const Painted p = Paint(screens::kMainMenu);
  ExpectBox(p, 50, {6, 16});

  // Title: "-NT 1.00 (Build 1) SSE2" follows from column 9.
  EXPECT_EQ(p.Text(3, 2, 6), "TORVEX");
  EXPECT_EQ(p.Fg(3, 2), 15);
  EXPECT_EQ(p.Fg(8, 2), 8);
  EXPECT_TRUE(p.Blank(9, 79, 2));
  for (int row : {3, 4, 5}) EXPECT_FALSE(p.Blank(2, 79, row)) << "row " << row;

  EXPECT_EQ(p.Text(3, 8, 6), Cp437("■ View"));
  EXPECT_EQ(p.Text(3, 18, 15), Cp437("■ Miscellaneous"));
  for (int column = 5; column <= 8; ++column) EXPECT_EQ(p.Fg(column, 8), 9);
  for (int column = 5; column <= 17; ++column) EXPECT_EQ(p.Fg(column, 18), 9);

  // The input box, where the cursor waits at column 5; nothing below it.
  EXPECT_EQ(p.Text(4, 23, 3), "[ ]");
  EXPECT_TRUE(p.Blank(2, 3, 23));
  EXPECT_TRUE(p.Blank(7, 79, 23));
  for (int row = 24; row <= 49; ++row) EXPECT_TRUE(p.Blank(2, 79, row)) << "row " << row;
}

TEST(MainMenuImageTest, ViewerEntries) {
  struct Entry {
    int row, column;
    std::string text;
  } entries[] = {
      {10, 4, "[1] or [R] Races"},
      {10, 45, "[2] or [C] Classes"},
      {11, 4, "[3] or [S] Spells"},
      {11, 45, "[4] or [M] Monsters"},
      {12, 4, "[5] or [I] Items"},
      {12, 45, "[6] or [G] Messages"},
      {13, 4, "[7] or [B] Text Blocks"},
      {13, 45, "[8] or [A] Rooms"},
      {14, 4, "[9] or [T] Shops and Trainers"},
      {14, 45, "[0] or [U] Users"},
  };
  const Painted p = Paint(screens::kMainMenu);
  for (const Entry& e : entries) {
    SCOPED_TRACE(e.text);
    const int n = static_cast<int>(e.text.size());
    EXPECT_EQ(p.Text(e.column, e.row, n), e.text);
    EXPECT_TRUE(p.Blank(e.column == 4 ? 2 : 41, e.column - 1, e.row));
    EXPECT_TRUE(p.Blank(e.column + n, e.column == 4 ? 44 : 79, e.row));
    for (int offset : {0, 2, 7, 9}) EXPECT_EQ(p.Fg(e.column + offset, e.row), 8) << offset;
    for (int offset : {1, 8}) EXPECT_EQ(p.Fg(e.column + offset, e.row), 9) << offset;
    for (int offset = 11; offset < n; ++offset) {
      if (e.text[static_cast<size_t>(offset)] != ' ') {
        EXPECT_EQ(p.Fg(e.column + offset, e.row), 1) << offset;
      }
    }
  }
}

TEST(MainMenuImageTest, ExitAndPreferences) {
  const Painted p = Paint(screens::kMainMenu);
  EXPECT_EQ(p.Text(4, 20, 8), "[X] Exit");
  EXPECT_EQ(p.Text(45, 20, 15), "[P] Preferences");
  EXPECT_TRUE(p.Blank(12, 44, 20));
  EXPECT_TRUE(p.Blank(60, 79, 20));
  for (int column : {4, 6, 45, 47}) EXPECT_EQ(p.Fg(column, 20), 8) << column;
  EXPECT_EQ(p.Fg(5, 20), 12);
  EXPECT_EQ(p.Fg(46, 20), 11);
  for (int column = 8; column <= 11; ++column) EXPECT_EQ(p.Fg(column, 20), 4);
  for (int column = 49; column <= 59; ++column) EXPECT_EQ(p.Fg(column, 20), 3);
}

TEST(ExitScreenImageTest, TenRowBoxAndNothingBelow) {
  const Painted p = Paint(screens::kExitScreen);
  ExpectBox(p, 10, {});
  EXPECT_NE(p.Row(2).find("TORVEX - Dunmarrow Viewer for Win32"), std::string::npos);
  EXPECT_NE(p.Row(8).find("TORVEX - The name in Dunmarrow database viewing."), std::string::npos);
  EXPECT_FALSE(p.Blank(2, 79, 4));
  EXPECT_FALSE(p.Blank(2, 79, 6));
  // The cursor goes to row 11 afterwards and the shell's prompt follows.
  for (int row = 11; row <= 50; ++row) EXPECT_TRUE(p.Blank(1, 80, row)) << "row " << row;
}

TEST(StartupCheckImageTest, LabelsAndTheAreasTheCheckFillsIn) {
  const Painted p = Paint(screens::kStartupCheck);
  EXPECT_EQ(p.Text(1, 1, 1), Cp437("┌"));
  EXPECT_EQ(p.Text(80, 50, 1), Cp437("┘"));
  EXPECT_NE(p.Row(1).find("[Startup Check]"), std::string::npos);

  std::string explanation;
  for (int row = 2; row <= 19; ++row) explanation += p.Row(row);
  for (const char* words : {".VIR", "WCCDNMW.ZIP", "WCCDNMW.Z ", "Preferences", "INI file"}) {
    EXPECT_NE(explanation.find(words), std::string::npos) << words;
  }

  const std::string ini = "Current INI file--";
  const std::string dir = "Current data directory (if blank, looking in current)--";
  EXPECT_EQ(p.Text(3, 20, static_cast<int>(ini.size())), ini);
  EXPECT_EQ(p.Text(3, 22, static_cast<int>(dir.size())), dir);
  EXPECT_TRUE(p.Blank(2, 79, 21));
  EXPECT_TRUE(p.Blank(2, 79, 23));

  EXPECT_EQ(p.Text(3, 25, 30), "Filename                Status");
  for (int row : {26, 36}) {
    EXPECT_EQ(p.Text(3, row, 44), std::string(44, '\xC4')) << "row " << row;
  }
  for (int row = 27; row <= 35; ++row) {
    EXPECT_TRUE(p.Blank(2, 26, row)) << "row " << row;
    EXPECT_EQ(p.Text(27, row, 11), "Checking...") << "row " << row;
    // Room for "Failure! (Error: nnnnn)".
    EXPECT_TRUE(p.Blank(38, 79, row)) << "row " << row;
  }
  EXPECT_EQ(p.Text(3, 38, 35), "Overall Status          Checking...");
  EXPECT_TRUE(p.Blank(38, 79, 38));
  // The longest prompt the check writes at column 3 of row 39.
  EXPECT_TRUE(p.Blank(2, 79, 39));
  for (int row = 40; row <= 42; ++row) EXPECT_TRUE(p.Blank(2, 79, row)) << "row " << row;
  EXPECT_FALSE(p.Blank(2, 79, 43));
  EXPECT_FALSE(p.Blank(2, 79, 49));
}

// The character sheet: the banner, and blank room wherever the walker writes a
// value or a field is edited, and for the message row.
TEST(CharacterImageTest, BannerAndRoomForTheFields) {
  const Painted p = Paint(screens::kCharacter);
  EXPECT_NE(p.Row(2).find("DUNMARROW"), std::string::npos);
  EXPECT_NE(p.Row(2).find("Character Creation"), std::string::npos);
  const struct {
    int fromColumn, toColumn, fromRow, toRow;
  } areas[] = {
      {20, 37, 4, 7},    // names, race and class
      {20, 37, 9, 14},   // stat ranges and values
      {22, 36, 16, 18},  // hair and eyes
      {14, 17, 20, 20},  // SAVE, EDIT, QUIT
      {65, 69, 13, 13},  // character points
      {1, 80, 23, 23},   // messages
  };
  for (const auto& a : areas) {
    for (int row = a.fromRow; row <= a.toRow; ++row) {
      EXPECT_TRUE(p.Blank(a.fromColumn, a.toColumn, row)) << "row " << row;
    }
  }
  for (const char* label : {"Given Name", "Strength", "Charm", "Eye Colour", "Point Costs"}) {
    bool found = false;
    for (int row = 1; row <= kScreenRows; ++row)
      found |= p.Row(row).find(label) != std::string::npos;
    EXPECT_TRUE(found) << label;
  }
}

}  // namespace
}  // namespace torvex
