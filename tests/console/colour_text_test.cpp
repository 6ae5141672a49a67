#include "console/colour_text.h"

#include <gtest/gtest.h>

#include "console/format.h"
#include "console_test_util.h"

// clang-format off

namespace torvex {
namespace {

using testing::HeadlessConsole;

struct WriteCase {
  const char* text;
  uint8_t startAttr;
  const char* shown;   // characters expected from column 1 of row 1
  uint8_t lastAttr;    // attribute of the last character shown
  uint8_t finalAttr;   // text attribute after the call
};

TEST(WriteColourTest, CodesAndBars) {
  const WriteCase cases[] = {
      {"plain", 0x07, "plain", 0x07, 0x07},
      {"a||15b", 0x07, "a|15b", 0x07, 0x07},
      {"|15x", 0x17, "x", 0x1F, 0x1F},
      {"|16|15name", 0x47, "name", 0x0F, 0x0F},
      {"|17|15name", 0x07, "name", 0x1F, 0x1F},
      {"|45text", 0x1C, "text", 0x1C, 0x1C},
      {"x|", 0x1F, "x", 0x1F, 0x10},    // a lone bar at the end: code 0
      {"x|5", 0x17, "x", 0x17, 0x15},   // one digit left: colour 5
      {"|7ab", 0x0F, "b", 0x00, 0x00},  // "7a" is no number: code 0, swallows the 'a'
      {"|28x", 0x17, "x", 0x94, 0x94},  // 24..39: foreground with blink
      {"|63x", 0x27, "x", 0xAD, 0xAD},  // >= 50: (code - 50) mod 16 with blink
      {"|99x", 0x07, "x", 0x81, 0x81},
      {"|31|07x", 0x00, "x", 0x07, 0x07},  // a plain colour clears blink
      {"|23x", 0x8E, "x", 0xFE, 0xFE},     // background keeps blink and foreground
  };
  for (const auto& c : cases) {
    HeadlessConsole t;
    t.console.SetTextAttr(c.startAttr);
    WriteColour(t.console, c.text);
    const std::string shown = c.shown;
    EXPECT_EQ(t.Text(1, 1, static_cast<int>(shown.size())), shown) << c.text;
    EXPECT_EQ(t.Text(static_cast<int>(shown.size()) + 1, 1, 1), " ") << c.text;
    EXPECT_EQ(t.Attr(static_cast<int>(shown.size()), 1), c.lastAttr) << c.text;
    EXPECT_EQ(t.console.TextAttr(), c.finalAttr) << c.text;
  }
}

TEST(WriteColourTest, EachPieceTakesItsOwnColour) {
  HeadlessConsole t;
  WriteColourAt(t.console, 3, 2, "|08[|091|08] |01Races");
  EXPECT_EQ(t.Text(3, 2, 10), "[1] Races ");
  EXPECT_EQ(t.Attr(3, 2), 0x08);
  EXPECT_EQ(t.Attr(4, 2), 0x09);
  EXPECT_EQ(t.Attr(5, 2), 0x08);
  EXPECT_EQ(t.Attr(7, 2), 0x01);
}

TEST(WriteColourTest, LnOfEmptyTextMovesToNextLineAndScrollsAtTheBottom) {
  HeadlessConsole t(80, 25);
  t.console.GotoXY(10, 3);
  WriteColourLn(t.console, "");
  EXPECT_EQ(t.console.WhereX(), 1);
  EXPECT_EQ(t.console.WhereY(), 4);
  t.console.GotoXY(1, 1);
  t.console.Write("top");
  t.console.GotoXY(5, 25);
  WriteColourLn(t.console, "");
  EXPECT_EQ(t.console.WhereY(), 25);
  EXPECT_EQ(t.Text(1, 1, 3), "   ");  // scrolled off
}

TEST(PaintScreenImageTest, OpcodesRunsAndAttributes) {
  HeadlessConsole t(80, 25);
  t.console.GotoXY(7, 9);
  t.console.SetTextAttr(0x4E);
  const uint8_t image[] = {
      15, 'A',          // white on black
      17, 'B',          // blue background
      25, 2,            // three spaces
      26, 3, 0xC4,      // four lines
      27, 'C',          // blink on
      27, 24,           // blink off, next row
      12, 'D', 28, 31,  // ignored codes
      24, 16, 26, 1, 'x',
  };
  PaintScreenImage(t.console, image, sizeof image);
  EXPECT_EQ(t.Text(1, 1, 10), "AB   \xC4\xC4\xC4\xC4" "C");
  EXPECT_EQ(t.Attr(1, 1), 0x0F);
  EXPECT_EQ(t.Attr(2, 1), 0x1F);
  EXPECT_EQ(t.Attr(3, 1), 0x1F);
  EXPECT_EQ(t.Attr(10, 1), 0x9F);
  EXPECT_EQ(t.Text(1, 2, 1), "D");
  EXPECT_EQ(t.Attr(1, 2), 0x1C);
  EXPECT_EQ(t.Text(1, 3, 2), "xx");
  EXPECT_EQ(t.Attr(1, 3), 0x0C);
  // Neither the cursor nor the text attribute moved.
  EXPECT_EQ(t.console.WhereX(), 7);
  EXPECT_EQ(t.console.WhereY(), 9);
  EXPECT_EQ(t.console.TextAttr(), 0x4E);
}

TEST(PaintScreenImageTest, RunsPastColumn80ContinueAndTheColumnResetsOnTheSameRow) {
  HeadlessConsole t(80, 25);
  std::vector<uint8_t> image = {7, 25, 77, 26, 4, '#'};  // 78 spaces, then 5 '#'
  image.push_back('!');  // column 83 > 79: reset to column 0 of the same row
  PaintScreenImage(t.console, image.data(), image.size());
  EXPECT_EQ(t.Text(79, 1, 2), "##");
  EXPECT_EQ(t.Text(1, 2, 3), "###");
  EXPECT_EQ(t.Text(1, 1, 1), "!");
}

TEST(PaintScreenImageTest, TruncatedAndOversizedImagesStayInBounds) {
  HeadlessConsole t(80, 3);
  const uint8_t cutRun[] = {15, 26, 5};
  PaintScreenImage(t.console, cutRun, sizeof cutRun);
  const uint8_t cutSpaces[] = {15, 25};
  PaintScreenImage(t.console, cutSpaces, sizeof cutSpaces);
  std::vector<uint8_t> tall;
  for (int i = 0; i < 200; ++i) {
    tall.insert(tall.end(), {26, 255, 'z', 24});
  }
  PaintScreenImage(t.console, tall.data(), tall.size());
  EXPECT_EQ(t.Text(80, 3, 1), "z");
}

TEST(NumberHelpersTest, PercentRoundsHalfToEven) {
  struct Case {
    int32_t part, whole, expected;
  } cases[] = {{5, 0, 0},   {0, 10, 0},  {1, 3, 33},   {2, 3, 67},    {1, 8, 12},
               {3, 8, 38},  {-4, 9, -4}, {1, 200, 0},  {3, 200, 2},   {200, 100, 200},
               {2147483647, 2147483647, 100}, {1, -3, -33}};
  for (const auto& c : cases) {
    EXPECT_EQ(Percent(c.part, c.whole), c.expected) << c.part << "/" << c.whole;
  }
  EXPECT_EQ(Percent64(10, 0), 0);
  EXPECT_EQ(Percent64(10, -5), 0);
  EXPECT_EQ(Percent64(8, 1), 12);
  EXPECT_EQ(Percent64(8, 3), 38);
  EXPECT_EQ(Percent64(3, 2), 67);
  EXPECT_EQ(Percent64(INT64_MAX, INT64_MAX), 100);  // no overflow in part * 100
}

TEST(NumberHelpersTest, UnpackDateAndTime) {
  struct DateCase {
    uint16_t packed, year, month, day;
  } dates[] = {
      {(44 << 9) | (7 << 5) | 15, 2024, 7, 15},
      {0, 1980, 1, 1},                        // month and day 0 read as 1
      {(1 << 9) | (15 << 5) | 31, 1981, 12, 31},  // month above 12 read as 12
      {0xFFFF, 2107, 12, 31},
  };
  for (const auto& c : dates) {
    uint16_t y, m, d;
    UnpackDate(c.packed, &y, &m, &d);
    EXPECT_EQ(y, c.year) << c.packed;
    EXPECT_EQ(m, c.month) << c.packed;
    EXPECT_EQ(d, c.day) << c.packed;
  }
  struct TimeCase {
    uint16_t packed, hour, minute, second;
  } times[] = {
      {(13 << 11) | (45 << 5) | 10, 13, 45, 20},
      {0xFFFF, 23, 59, 59},  // clamped
      {(23 << 11) | (59 << 5) | 29, 23, 59, 58},
  };
  for (const auto& c : times) {
    uint16_t h, m, s;
    UnpackTime(c.packed, &h, &m, &s);
    EXPECT_EQ(h, c.hour) << c.packed;
    EXPECT_EQ(m, c.minute) << c.packed;
    EXPECT_EQ(s, c.second) << c.packed;
  }
}

TEST(FormatTest, PrintfFieldSemantics) {
  EXPECT_EQ(Format("%-6.3s|", "abcdef"), "abc   |");
  EXPECT_EQ(Format("%*.*s|", 5, 5, "ab"), "   ab|");
  EXPECT_EQ(Format("%-*.*s|", 4, 4, "abcdefg"), "abcd|");
  EXPECT_EQ(Format("%.8x", 12u), "0000000c");
  EXPECT_EQ(Format("%d.%.2d", 1, 5), "1.05");
  EXPECT_EQ(Format("%d.%.2d.%d.%d", 1, 0, 0, 1), "1.00.0.1");
  EXPECT_EQ(Format("%lld %ld %u %c%%", -5LL, 7L, 3u, 'x'), "-5 7 3 x%");
  EXPECT_EQ(Format("%5.1f", 2.25), "  2.2");
  const std::string big(1000, 'q');
  EXPECT_EQ(Format("<%s>", big.c_str()), "<" + big + ">");
}

TEST(FormatTest, PointerIsEightHexDigits) {
  EXPECT_EQ(Format("at 0x%p!", reinterpret_cast<void*>(0x1234abcd)), "at 0x1234ABCD!");
  EXPECT_EQ(Format("%p", static_cast<void*>(nullptr)), "00000000");
}

TEST(ColourCodesTest, TwoDigitsPerHalf) {
  EXPECT_EQ(ColourCodes(15), "|00|15");
  EXPECT_EQ(ColourCodes(8), "|00|08");
  EXPECT_EQ(ColourCodes(0x1C), "|16|12");
}

// Outside texts may hold bars and digits; written through the colour writer
// after ColourLiteral they show byte for byte and leave the colour alone.
TEST(ColourLiteralTest, ShowsOutsideTextAsItIs) {
  const char* texts[] = {"plain", "a|15b", "|", "||", "x|0", "/tmp/|12dir|"};
  for (const char* text : texts) {
    HeadlessConsole t;
    t.console.SetTextAttr(0x0E);
    WriteColour(t.console, ColourLiteral(text));
    const std::string shown = text;
    EXPECT_EQ(t.Text(1, 1, static_cast<int>(shown.size()) + 1), shown + " ") << text;
    EXPECT_EQ(t.console.TextAttr(), 0x0E) << text;
  }
}

}  // namespace
}  // namespace torvex
// clang-format on
