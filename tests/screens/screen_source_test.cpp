#include "tools/screen_source.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/screens/image_decoder.h"

namespace torvex {
namespace {

// Visible columns of a source line: a code takes none, "||" one, a UTF-8
// character one.
int VisibleWidth(std::string_view line) {
  int width = 0;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == '|') {
      const bool bar = i + 1 < line.size() && line[i + 1] == '|';
      width += bar ? 1 : 0;
      i += bar ? 2 : 3;
    } else {
      if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++width;
      ++i;
    }
  }
  return width;
}

// `text` padded with spaces to 80 columns.
std::string Line(std::string text) {
  return text + std::string(static_cast<size_t>(kScreenColumns - VisibleWidth(text)), ' ');
}

// A valid source whose first lines are `first` (each padded), the rest blank.
std::string Source(const std::vector<std::string>& first) {
  std::string out;
  for (int row = 0; row < kScreenRows; ++row) {
    out += Line(row < static_cast<int>(first.size()) ? first[static_cast<size_t>(row)] : "");
    out += '\n';
  }
  return out;
}

ScreenCells MustParse(const std::string& source) {
  ScreenCells screen;
  std::string error;
  EXPECT_TRUE(ParseScreenSource(source, &screen, &error)) << error;
  return screen;
}

TEST(ScreenSourceTest, ColourCodesSetTheAttributeLikeTheWriter) {
  struct Case {
    const char* codes;
    uint8_t attr;
  } cases[] = {
      {"|07", 0x07},    {"|17|15", 0x1F}, {"|23|00", 0x70},    {"|12|16", 0x0C},
      {"|17|31", 0x97}, {"|31|07", 0x07}, {"|31|18", 0xA7},    {"|17|45", 0x10},
      {"|24", 0x80},    {"|39", 0x8F},    {"|50", 0x80},       {"|65", 0x8F},
      {"|66", 0x80},    {"|99", 0x81},    {"|20|14|40", 0x4E}, {"|19|38|09", 0x39},
  };
  for (const Case& c : cases) {
    const ScreenCells screen = MustParse(Source({std::string(c.codes) + "X"}));
    EXPECT_EQ(screen.At(0, 0).attr, c.attr) << "codes " << c.codes;
    EXPECT_EQ(screen.At(0, 0).ch, 'X') << "codes " << c.codes;
  }
}

TEST(ScreenSourceTest, BarsAreCharactersAndColourCarriesToTheNextLine) {
  const ScreenCells screen = MustParse(Source({"|14a||15b", "c"}));
  const std::string row0 = {
      static_cast<char>(screen.At(0, 0).ch), static_cast<char>(screen.At(1, 0).ch),
      static_cast<char>(screen.At(2, 0).ch), static_cast<char>(screen.At(3, 0).ch),
      static_cast<char>(screen.At(4, 0).ch)};
  EXPECT_EQ(row0, "a|15b");
  for (int x = 0; x < 5; ++x) EXPECT_EQ(screen.At(x, 0).attr, 14) << "column " << x;
  EXPECT_EQ(screen.At(0, 1).ch, 'c');
  EXPECT_EQ(screen.At(0, 1).attr, 14);
  EXPECT_EQ(screen.At(79, 49).attr, 14);
}

TEST(ScreenSourceTest, CharactersBecomeCodePage437) {
  const ScreenCells screen = MustParse(Source({"|07┌─■é\u00A0│"}));
  const uint8_t expected[] = {0xDA, 0xC4, 0xFE, 0x82, 0xFF, 0xB3, ' '};
  for (int x = 0; x < 7; ++x) EXPECT_EQ(screen.At(x, 0).ch, expected[x]) << "column " << x;
}

TEST(ScreenSourceTest, AcceptsCrlfAndAMissingFinalLineBreak) {
  std::string crlf;
  for (int row = 0; row < kScreenRows; ++row) crlf += Line("|07x") + "\r\n";
  const ScreenCells a = MustParse(crlf);
  EXPECT_EQ(a.At(79, 49).ch, ' ');

  std::string noFinalBreak = Source({"|07x"});
  noFinalBreak.pop_back();
  const ScreenCells b = MustParse(noFinalBreak);
  EXPECT_EQ(b.At(0, 0).ch, 'x');
}

TEST(ScreenSourceTest, ErrorsNameLineAndColumn) {
  // Each case replaces line `line` (1-based) of a valid source, or the whole
  // source when `line` is 0.
  struct Case {
    const char* name;
    int line;
    std::string text;
    std::string where;  // expected "line:column: " prefix
    std::string what;   // expected part of the message
  } cases[] = {
      {"short line", 3, "|07" + std::string(79, 'a'), "3:80: ", "79 columns"},
      {"long line", 3, "|07" + std::string(81, 'a'), "3:81: ", "81 columns"},
      {"no code page 437 character", 7, "|07abcd€", "7:5: ", "U+20AC"},
      {"glyph stored below 32", 2, "☺", "2:1: ", "byte 1"},
      {"tab", 4, "|07123456789\tx", "4:10: ", "control"},
      {"delete", 4, "\x7F", "4:1: ", "control"},
      {"malformed UTF-8", 5, "|07a\xC3", "5:2: ", "malformed"},
      {"bar and a letter", 6, "|07ab|7a", "6:3: ", "bar"},
      {"bar at the end", 8, "|07" + std::string(80, 'a') + "|", "8:81: ", "bar"},
      {"bar and one digit at the end", 9, "|07" + std::string(80, 'a') + "|5", "9:81: ", "bar"},
      {"empty source", 0, "", "1:1: ", "0 lines"},
  };
  for (const Case& c : cases) {
    std::string source;
    if (c.line > 0) {
      for (int row = 1; row <= kScreenRows; ++row) {
        source += (row == c.line) ? c.text : Line("|07");
        source += '\n';
      }
    }
    ScreenCells screen;
    std::string error;
    EXPECT_FALSE(ParseScreenSource(source, &screen, &error)) << c.name;
    EXPECT_EQ(error.substr(0, c.where.size()), c.where) << c.name << ": " << error;
    EXPECT_NE(error.find(c.what), std::string::npos) << c.name << ": " << error;
  }
}

TEST(ScreenSourceTest, ErrorsForTheWrongNumberOfLines) {
  const std::string valid = Source({"|07"});
  std::string error;
  ScreenCells screen;

  std::string fewer = valid.substr(0, valid.size() - 81);  // 49 lines
  EXPECT_FALSE(ParseScreenSource(fewer, &screen, &error));
  EXPECT_EQ(error.substr(0, 5), "50:1:") << error;
  EXPECT_NE(error.find("49 lines"), std::string::npos) << error;

  EXPECT_FALSE(ParseScreenSource(valid + Line("") + "\n", &screen, &error));
  EXPECT_EQ(error.substr(0, 5), "51:1:") << error;

  // An empty line after the last one is a 51st line, not a line break.
  EXPECT_FALSE(ParseScreenSource(valid + "\n", &screen, &error));
  EXPECT_EQ(error.substr(0, 5), "51:1:") << error;
}

std::vector<uint8_t> Crunch(const std::string& source) {
  return CrunchScreen(MustParse(source));
}

TEST(ScreenCrunchTest, BlankScreenIsOneColourAndASpaceRunPerRow) {
  const std::vector<uint8_t> image = Crunch(Source({"|07"}));
  std::vector<uint8_t> expected = {7};
  for (int row = 0; row < kScreenRows; ++row) expected.insert(expected.end(), {25, 79, 24});
  EXPECT_EQ(image, expected);
}

TEST(ScreenCrunchTest, RunsStartAtThreeEqualCharacters) {
  const std::vector<uint8_t> image = Crunch(Source({"|07abccc   dd"}));
  const std::vector<uint8_t> firstRow = {7, 'a', 'b', 26, 2, 'c', 25, 2, 'd', 'd', 25, 69, 24};
  ASSERT_GE(image.size(), firstRow.size());
  EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 13), firstRow);
}

TEST(ScreenCrunchTest, FullRowOfOneCharacterIsOneRun) {
  const std::vector<uint8_t> image = Crunch(Source({"|08" + std::string(80, '=')}));
  const std::vector<uint8_t> firstRow = {8, 26, 79, '=', 24};
  EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 5), firstRow);
}

TEST(ScreenCrunchTest, ColourChangesAreMinimal) {
  struct Case {
    const char* line;
    std::vector<uint8_t> prefix;  // the row's bytes before its trailing spaces
  } cases[] = {
      // Blink needs a toggle after a foreground byte, which clears it.
      {"|07a|15b|31c|39d|23e|07f", {7, 'a', 15, 'b', 7, 27, 'c', 15, 27, 'd', 23, 'e', 7, 'f'}},
      {"|07a|31b", {7, 'a', 27, 'b'}},
      {"|31a|07b", {7, 27, 'a', 7, 'b'}},
      {"|17|15a|16b", {15, 17, 'a', 16, 'b'}},
      {"|07a|45b|07c", {7, 'a', 'b', 'c'}},
      // Same character, different colour: no run across the change.
      {"|07aa|08aaa", {7, 'a', 'a', 8, 26, 2, 'a'}},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> image = Crunch(Source({c.line}));
    ASSERT_GE(image.size(), c.prefix.size());
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + c.prefix.size()), c.prefix)
        << "line " << c.line;
  }
}

TEST(ScreenCrunchTest, LongRunsSplitAt256) {
  struct Case {
    uint8_t ch;
    size_t count;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {'x', 2, {'x', 'x'}},
      {'x', 3, {26, 2, 'x'}},
      {'x', 256, {26, 255, 'x'}},
      {'x', 257, {26, 255, 'x', 'x'}},
      {'x', 600, {26, 255, 'x', 26, 255, 'x', 26, 87, 'x'}},
      {' ', 258, {25, 255, ' ', ' '}},
      {' ', 259, {25, 255, 25, 2}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> image;
    AppendCharacters(&image, c.ch, c.count);
    EXPECT_EQ(image, c.bytes) << "'" << c.ch << "' x " << c.count;
  }
}

// Random screens with long runs, blinking and background colours, crunched and
// painted back by the test's own painter.
TEST(ScreenCrunchTest, RandomScreensRoundTrip) {
  std::mt19937 rng(20240611);
  const uint8_t attrs[] = {0x00, 0x07, 0x08, 0x0F, 0x17, 0x1F, 0x87, 0x8F, 0xF0, 0x70, 0x4E};
  const uint8_t chars[] = {' ', ' ', 'a', 0xC4, 0xB3, 0xFE, 0xFF, '|', 32, 255};
  for (int round = 0; round < 200; ++round) {
    ScreenCells screen;
    screen.cells.resize(static_cast<size_t>(kScreenColumns * kScreenRows));
    size_t i = 0;
    while (i < screen.cells.size()) {
      const Cell cell{chars[rng() % std::size(chars)], attrs[rng() % std::size(attrs)]};
      size_t length = (rng() % 4 == 0) ? rng() % 300 : 1 + rng() % 3;
      for (; length > 0 && i < screen.cells.size(); --length) screen.cells[i++] = cell;
    }
    const std::vector<uint8_t> image = CrunchScreen(screen);
    std::string problems;
    const std::vector<Cell> painted =
        screentest::DecodeImage(image.data(), image.size(), &problems);
    ASSERT_EQ(problems, "") << "round " << round;
    for (size_t k = 0; k < painted.size(); ++k) {
      ASSERT_EQ(painted[k], screen.cells[k])
          << "round " << round << ", column " << k % kScreenColumns << ", row "
          << k / kScreenColumns;
    }
  }
}

}  // namespace
}  // namespace torvex
