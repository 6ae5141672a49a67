#include "console/ansi_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console_test_util.h"

namespace torvex {
namespace {

using testing::HeadlessConsole;

// A console with the emulator that writes to it.
struct AnsiScreen : HeadlessConsole {
  void Write(std::string_view text) { writer.Write(console, text); }
  // The screen position of the cursor, 1-based.
  std::pair<int, int> Cursor() const {
    const Frame f = console.CurrentFrame();
    return {f.cursorX + 1, f.cursorY + 1};
  }
  AnsiWriter writer;
};

struct RenditionCase {
  const char* text;  // followed by an "X" whose attribute is checked
  uint8_t startAttr;
  uint8_t attr;
};

TEST(AnsiWriterTest, Renditions) {
  const RenditionCase cases[] = {
      {"\x1b[1;31m", 0x07, 0x0C},
      {"\x1b[31;1m", 0x07, 0x0C},    // red, then only the bright bit
      {"\x1b[1;5;31m", 0x07, 0x8C},  // blinking light red
      {"\x1b[1;31m\x1b[0m", 0x07, 0x07},
      {"\x1b[m", 0x1C, 0x07},     // no numbers: a reset
      {"\x1b[;32m", 0x1C, 0x02},  // an empty number is 0
      {"\x1b[8m", 0x1F, 0x00},
      {"\x1b[7m", 0x0C, 0x70},
      {"\x1b[5;7m", 0x07, 0xF0},  // reverse keeps blinking
      {"\x1b[7m\x1b[41m", 0x07, 0x40},
      {"\x1b[44m", 0x0C, 0x1C},
      {"\x1b[5;44m", 0x07, 0x97},     // a background keeps blink
      {"\x1b[31;1;32m", 0x07, 0x0A},  // bold after red applies to the next colour
      {"\x1b[1;7;1m", 0x07, 0x70},    // bold once: the second 1 does nothing
      {"\x1b[5;31m", 0x17, 0x94},
      {"\x1b[5;31;32m", 0x07, 0x82},  // blink is a bit: set twice, still one bit
      {"\x1b[5m", 0x94, 0x94},        // already blinking from elsewhere: unchanged
      {"\x1b[5m\x1b[5m", 0x1E, 0x9E},
      {"\x1b[99;2;38;48;29m", 0x1E, 0x1E},  // unknown numbers are ignored
      {"\x1b[x1m", 0x1E, 0x07},             // unreadable number: 0
      {"\x1b[99999999999m", 0x1E, 0x07},    // out of range: 0
      {"\x1b[1m\x1b[34m", 0x07, 0x09},
      {"\x1b[1m\x1b[0m\x1b[34m", 0x07, 0x01},
  };
  // Each text is written whole, then a character at a time with empty writes
  // between: a sequence may be cut anywhere and the flags last across writes.
  for (const auto& c : cases) {
    for (const bool split : {false, true}) {
      SCOPED_TRACE(::testing::PrintToString(c.text) + (split ? " split" : ""));
      AnsiScreen t;
      t.console.SetTextAttr(c.startAttr);
      const std::string text = std::string(c.text) + "X";
      if (!split) t.Write(text);
      for (size_t i = 0; split && i < text.size(); ++i) {
        t.Write(text.substr(i, 1));
        t.Write("");
      }
      EXPECT_EQ(t.Text(1, 1, 2), "X ");
      EXPECT_EQ(t.Attr(1, 1), c.attr);
    }
  }
}

TEST(AnsiWriterTest, ColourTablesMapAnsiOrderToPcColours) {
  const uint8_t normal[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  const uint8_t bold[8] = {8, 12, 10, 14, 9, 13, 11, 15};
  for (int i = 0; i < 8; ++i) {
    AnsiScreen t;
    const std::string n = std::to_string(i);
    t.Write("\x1b[3" + n + "ma\x1b[4" + n + "mb\x1b[1;3" + n + "mc");
    EXPECT_EQ(t.Attr(1, 1), normal[i]) << i;
    EXPECT_EQ(t.Attr(2, 1), normal[i] | normal[i] << 4) << i;
    EXPECT_EQ(t.Attr(3, 1), bold[i] | normal[i] << 4) << i;
  }
}

struct MoveCase {
  const char* text;
  int column, row;  // where the cursor ends, starting from column 10, row 10
};

TEST(AnsiWriterTest, CursorMoves) {
  // clang-format off
  const MoveCase cases[] = {
      {"\x1b[H", 1, 1},      {"\x1b[f", 1, 1},       {"\x1b[10;5H", 5, 10},  {"\x1b[0;0H", 1, 1},
      {"\x1b[;5f", 5, 1},    {"\x1b[7H", 1, 7},      {"\x1b[50;80H", 80, 50},
      {"\x1b[51;5H", 10, 10}, {"\x1b[5;81H", 10, 10},  // outside the window: stays
      {"\x1b[A", 10, 9},     {"\x1b[3A", 10, 7},     {"\x1b[30A", 10, 1},    {"\x1b[0A", 10, 10},
      {"\x1b[B", 10, 11},    {"\x1b[5B", 10, 15},    {"\x1b[41B", 10, 10},
      {"\x1b[C", 11, 10},    {"\x1b[70C", 80, 10},   {"\x1b[71C", 10, 10},
      {"\x1b[D", 9, 10},     {"\x1b[4D", 6, 10},     {"\x1b[40D", 1, 10},
      {"\x1b[E", 10, 11},    {"\x1b[3E", 10, 13},    // a line feed keeps the column
      {"\x1b[2147483647B", 10, 10}, {"\x1b[-2147483648A", 10, 10},
      {"\x1b[2147483647;2147483647H", 10, 10},
      // Moves without a count stop at the window's edge.
      {"\x1b[H\x1b[A\x1b[D", 1, 1}, {"\x1b[50;80H\x1b[B\x1b[C", 80, 50},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    AnsiScreen t;
    t.console.GotoXY(10, 10);
    t.Write(c.text);
    EXPECT_EQ(t.Cursor(), std::make_pair(c.column, c.row));
    EXPECT_EQ(t.Text(1, 10, 80), std::string(80, ' '));
  }
}

TEST(AnsiWriterTest, NextLineAtTheBottomScrollsAndAHugeCountEnds) {
  AnsiScreen t;
  t.Write("\x1b[49;1Htop\x1b[50;1Hlow\x1b[2E");
  EXPECT_EQ(t.Text(1, 47, 3), "top");
  EXPECT_EQ(t.Text(1, 48, 3), "low");
  EXPECT_EQ(t.Cursor(), std::make_pair(4, 50));
  t.Write("\x1b[2000000000E");
  EXPECT_EQ(t.Text(1, 48, 3), "   ");
}

struct EraseCase {
  const char* text;
  const char* row;  // row 3 afterwards, from column 1
};

TEST(AnsiWriterTest, EraseLine) {
  const EraseCase cases[] = {
      {"\x1b[K", "ABC       "},  {"\x1b[0K", "ABC       "}, {"\x1b[1K", "    EFGHIJ"},
      {"\x1b[2K", "          "}, {"\x1b[3K", "ABCDEFGHIJ"}, {"\x1b[9K", "ABCDEFGHIJ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    AnsiScreen t;
    t.Write("\x1b[3;1HABCDEFGHIJ\x1b[3;4H\x1b[44m");
    t.Write(c.text);
    EXPECT_EQ(t.Text(1, 3, 10), c.row);
    EXPECT_EQ(t.Cursor(), std::make_pair(4, 3));
    for (int x = 1; x <= 10; ++x) {
      const bool erased = t.Text(x, 3, 1) == " ";
      EXPECT_EQ(t.Attr(x, 3), erased ? 0x17 : 0x07) << x;
    }
  }
}

TEST(AnsiWriterTest, EraseLineAtTheLastCellDoesNotScroll) {
  for (const char* erase : {"\x1b[K", "\x1b[1K", "\x1b[2K"}) {
    SCOPED_TRACE(::testing::PrintToString(erase));
    AnsiScreen t;
    t.Write("\x1b[49;1Hmarker\x1b[50;1H" + std::string(79, 'z') + "\x1b[50;80H");
    t.Write(erase);
    EXPECT_EQ(t.Text(1, 49, 6), "marker");
    EXPECT_EQ(t.Cursor(), std::make_pair(80, 50));
    const bool wholeRow = std::string(erase) != "\x1b[K";
    EXPECT_EQ(t.Text(1, 50, 1), wholeRow ? " " : "z");
  }
}

TEST(AnsiWriterTest, EraseLineStaysInsideTheWindow) {
  AnsiScreen t;
  t.Write("\x1b[5;1H" + std::string(80, 'q'));
  t.console.Window(11, 1, 20, 10);
  t.console.GotoXY(5, 5);
  t.Write("\x1b[1K");
  EXPECT_EQ(t.Text(10, 5, 7), "q     q");
  t.Write("\x1b[2K");
  EXPECT_EQ(t.Text(10, 5, 12), "q          q");
}

TEST(AnsiWriterTest, EraseDisplay) {
  for (const char* text : {"\x1b[J", "\x1b[2J"}) {
    SCOPED_TRACE(::testing::PrintToString(text));
    AnsiScreen t;
    t.Write("\x1b[5;5Hhello\x1b[41m");
    t.Write(text);
    EXPECT_EQ(t.Text(5, 5, 5), "     ");
    EXPECT_EQ(t.Attr(80, 50), 0x47);
    EXPECT_EQ(t.Cursor(), std::make_pair(1, 1));
  }
}

struct WrittenBackCase {
  const char* text;
  const char* shown;  // from column 1 of row 1
};

TEST(AnsiWriterTest, SequencesWrittenBackAsText) {
  const WrittenBackCase cases[] = {
      {"\x1b[3J", "\x1b[3J"},      {"\x1b[0J", "\x1b[0J"},
      {"a\x1b[1sb", "a\x1b[1sb"},  {"\x1b[;u", "\x1b[;u"},
      {"\x1b[12\x1b[0mX", "12X"},  {"a\033xb", "axb"},
      {"\x1b\x1b", "\x1b"},        {"\x1b[?25lb\x1b[4hc\x1b[2Ld\x1b[!e", "bcde"},
      {"\x1b[[12\x1b[0mX", "12X"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    AnsiScreen t;
    t.Write(c.text);
    const std::string shown = c.shown;
    EXPECT_EQ(t.Text(1, 1, static_cast<int>(shown.size()) + 1), shown + " ");
    EXPECT_TRUE(t.writer.InPlainText());
  }
}

TEST(AnsiWriterTest, AbandonedSequenceTextKeepsTheAttributeThenTheResetApplies) {
  AnsiScreen t;
  t.console.SetTextAttr(0x1C);
  t.Write("\x1b[12\x1b[0mX");
  EXPECT_EQ(t.Attr(1, 1), 0x1C);
  EXPECT_EQ(t.Attr(3, 1), 0x07);
}

TEST(AnsiWriterTest, SaveAndRestoreCursor) {
  AnsiScreen t;
  t.Write("\x1b[u");  // nothing saved yet: stays
  EXPECT_EQ(t.Cursor(), std::make_pair(1, 1));
  t.Write("\x1b[5;7H\x1b[s\x1b[20;30H\x1b[u");
  EXPECT_EQ(t.Cursor(), std::make_pair(7, 5));
  t.Write("\x1b[2u");  // written back, cursor moves on with the text
  EXPECT_EQ(t.Text(7, 5, 4), "\x1b[2u");
}

TEST(AnsiWriterTest, ScrollingRegion) {
  AnsiScreen t;
  t.Write("\x1b[9;1Habove\x1b[21;1Hbelow");
  t.Write("\x1b[10;20r");
  EXPECT_EQ(t.Cursor(), std::make_pair(1, 10));
  EXPECT_EQ(t.console.WindowHeight(), 11);
  t.Write("first\n\r");
  for (int i = 0; i < 11; ++i) t.Write("\n");
  EXPECT_EQ(t.Text(1, 9, 5), "above");
  EXPECT_EQ(t.Text(1, 21, 5), "below");
  EXPECT_EQ(t.Text(1, 10, 5), "     ");  // scrolled out of the region
  t.Write("\x1b[H");
  EXPECT_EQ(t.Cursor(), std::make_pair(1, 10));
}

TEST(AnsiWriterTest, ScrollingRegionsThatChangeNothing) {
  for (const char* text : {"\x1b[r", "\x1b[5r", "\x1b[20;10r", "\x1b[0;10r", "\x1b[10;51r"}) {
    SCOPED_TRACE(::testing::PrintToString(text));
    AnsiScreen t;
    t.Write("\x1b[3;4H");
    t.Write(text);
    EXPECT_EQ(t.console.WindowHeight(), 50);
    EXPECT_EQ(t.Cursor(), std::make_pair(4, 3));
  }
}

TEST(AnsiWriterTest, EscDAndEscMScrollTheWindowAndKeepTheCursor) {
  AnsiScreen t;
  t.Write("one\n\rtwo\n\rthree\x1b[50;1Hlast\x1b[2;5H");
  t.Write("\033D");
  EXPECT_EQ(t.Text(1, 1, 5), "two  ");
  EXPECT_EQ(t.Text(1, 2, 5), "three");
  EXPECT_EQ(t.Text(1, 49, 4), "last");
  EXPECT_EQ(t.Text(1, 50, 4), "    ");
  EXPECT_EQ(t.Cursor(), std::make_pair(5, 2));
  t.Write("\x1bM\x1bM");
  EXPECT_EQ(t.Text(1, 1, 5), "     ");
  EXPECT_EQ(t.Text(1, 3, 5), "two  ");
  EXPECT_EQ(t.Text(1, 50, 4), "    ");
  EXPECT_EQ(t.Cursor(), std::make_pair(5, 2));
}

TEST(AnsiWriterTest, EscDInsideARegionScrollsOnlyTheRegion) {
  AnsiScreen t;
  t.Write("\x1b[1;1Htop\x1b[2;1Hmid\x1b[3;1Hend\x1b[2;3r\033D");
  EXPECT_EQ(t.Text(1, 1, 3), "top");
  EXPECT_EQ(t.Text(1, 2, 3), "end");
  EXPECT_EQ(t.Text(1, 3, 3), "   ");
}

struct BackspaceCase {
  const char* text;
  const char* shown;  // from column 1 of row 1
  int column;         // where the cursor ends
};

TEST(AnsiWriterTest, BackspaceErasesOnlyBetweenAnEscAndTheNextSequenceEnd) {
  const BackspaceCase cases[] = {
      {"ab\b", "ab", 2},                  // plain text: only moves
      {"\033Dab\b", "a ", 2},             // after Esc D: erases
      {"\033xab\b", "xa ", 3},            // after an Esc and a character
      {"\x1b[0mab\b", "ab", 2},           // the sequence ended: plain again
      {"\x1b[12\x1b[1mab\b", "12ab", 4},  // the second sequence ended
      {"\033x\b\b", "  ", 1},             // at the left edge the cell under it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    AnsiScreen t;
    t.Write(c.text);
    const std::string shown = c.shown;
    EXPECT_EQ(t.Text(1, 1, static_cast<int>(shown.size())), shown);
    EXPECT_EQ(t.Cursor(), std::make_pair(c.column, 1));
  }
}

TEST(AnsiWriterTest, BellRingsTheTerminalAndWritesNothing) {
  struct Case {
    const char* text;
    int bells;
  };
  // Inside a sequence a bell is one more parameter character.
  const Case cases[] = {{"a\ab", 1}, {"\033xa\ab", 1}, {"\x1b[1\a2mab", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    AnsiScreen t;
    t.Write(c.text);
    EXPECT_EQ(t.display.Bells(), c.bells);
    EXPECT_EQ(t.Text(1, 1, 3).find('\a'), std::string::npos);
  }
  AnsiScreen raw;
  raw.console.SetRawOutput(true);
  raw.Write("\033x\ay");
  EXPECT_EQ(raw.Text(1, 1, 2), "xy");
  EXPECT_EQ(raw.display.Bells(), 1);
}

TEST(AnsiWriterTest, WriteLnBreaksTheLineEvenInsideASequence) {
  AnsiScreen t;
  t.writer.WriteLn(t.console, "a\x1b[3");
  EXPECT_EQ(t.Cursor(), std::make_pair(1, 2));
  t.Write("2mb");
  EXPECT_EQ(t.Text(1, 2, 1), "b");
  EXPECT_EQ(t.Attr(1, 2), 0x02);
}

TEST(AnsiWriterTest, DeviceStatusGoesToTheHandler) {
  AnsiScreen t;
  t.Write("\x1b[6n");  // no handler: nothing happens
  EXPECT_EQ(t.Cursor(), std::make_pair(1, 1));
  std::vector<int> codes;
  t.writer.SetReportHandler([&](int code) { codes.push_back(code); });
  t.Write("\x1b[5n\x1b[6n\x1b[255n\x1b[7n\x1b[n");
  EXPECT_EQ(codes, (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(t.Cursor(), std::make_pair(1, 1));
}

TEST(AnsiWriterTest, FinishWritesAnOpenSequenceOutAndStartsPlain) {
  struct Case {
    const char* text;
    const char* shown;
  };
  const Case cases[] = {{"a\x1b[12", "a12"}, {"a\x1b", "a"}, {"a\x1b[", "a"}, {"a", "a"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    AnsiScreen t;
    t.Write(c.text);
    t.writer.FinishDisplay(t.console);
    EXPECT_TRUE(t.writer.InPlainText());
    t.Write("[0m");
    const std::string shown = std::string(c.shown) + "[0m ";
    EXPECT_EQ(t.Text(1, 1, static_cast<int>(shown.size())), shown);
  }
}

TEST(AnsiWriterTest, FinishUndoesAScrollingRegionOnly) {
  AnsiScreen t;
  t.Write("\x1b[1m\x1b[10;20r\x1b[5;3H");
  EXPECT_EQ(t.Cursor(), std::make_pair(3, 14));
  t.writer.FinishDisplay(t.console);
  EXPECT_EQ(t.console.WindowHeight(), 50);
  EXPECT_EQ(t.console.WindowWidth(), 80);
  EXPECT_EQ(t.Cursor(), std::make_pair(3, 14));
  t.Write("\x1b[34mX");  // bold is still on
  EXPECT_EQ(t.Attr(3, 14), 0x09);

  // A window the caller set stays when no text set a region.
  AnsiScreen caller;
  caller.console.Window(1, 1, 40, 10);
  caller.writer.FinishDisplay(caller.console);
  EXPECT_EQ(caller.console.WindowWidth(), 40);
}

TEST(AnsiWriterTest, FinishPutsBackTheCallersWindowWithTheCursorInsideIt) {
  AnsiScreen t;
  t.console.Window(1, 1, 80, 10);
  t.Write("\x1b[20;30r\x1b[2;2r\x1b[30;40r");
  EXPECT_EQ(t.Cursor(), std::make_pair(1, 30));
  t.writer.FinishDisplay(t.console);
  EXPECT_EQ(t.console.WindowHeight(), 10);
  EXPECT_EQ(t.Cursor(), std::make_pair(1, 1));
}

TEST(AnsiWriterTest, ProgramWriterKeepsOneStateForAllWrites) {
  AnsiScreen t;
  WriteAnsi(t.console, "\x1b[3");
  WriteAnsiLn(t.console, "2ma");
  FinishAnsiDisplay(t.console);
  WriteAnsi(t.console, "\x1b[0m\x1b[12");
  FinishAnsiDisplay(t.console);
  EXPECT_EQ(t.Attr(1, 1), 0x02);
  EXPECT_EQ(t.Text(1, 2, 3), "12 ");
  EXPECT_TRUE(ProgramAnsiWriter().InPlainText());
}

}  // namespace
}  // namespace torvex
