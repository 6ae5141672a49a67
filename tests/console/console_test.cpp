#include "console/console.h"

#include <gtest/gtest.h>

#include "console/keymap.h"
#include "console_test_util.h"

namespace torvex {
namespace {

using testing::HeadlessConsole;

TEST(ConsoleTest, StartsWithWholeScreenWindowAndModeFromSize) {
  HeadlessConsole t(80, 25);
  EXPECT_EQ(t.console.LastMode(), kModeColour80x25);
  EXPECT_EQ(t.console.WhereX(), 1);
  EXPECT_EQ(t.console.WhereY(), 1);
  HeadlessConsole big(80, 50);
  EXPECT_EQ(big.console.LastMode(), kModeDefault);  // 18 is the default mode
  HeadlessConsole odd(100, 37);
  EXPECT_EQ(odd.console.LastMode(), kModeStartup);
}

TEST(ConsoleTest, ModeTableLookup) {
  struct Case {
    int mode, columns, rows;
  } cases[] = {{18, 80, 50}, {3, 80, 25},  {1, 40, 25},  {12, 40, 50}, {0, 40, 25},
               {2, 80, 25},  {31, 80, 60}, {14, 80, 14}, {7, 80, 25},  {37, 80, 60}};
  for (const auto& c : cases) {
    auto size = TextModeSize(c.mode);
    ASSERT_TRUE(size) << c.mode;
    EXPECT_EQ(size->columns, c.columns) << c.mode;
    EXPECT_EQ(size->rows, c.rows) << c.mode;
  }
  EXPECT_FALSE(TextModeSize(6));
  EXPECT_FALSE(TextModeSize(38));
}

TEST(ConsoleTest, TextModeResizesAndResetsAttributeAndWindow) {
  HeadlessConsole t(80, 25);
  t.console.TextColor(14);
  t.console.Window(10, 5, 20, 10);
  t.console.TextMode(kModeColour80x50);
  EXPECT_EQ(t.console.ScreenWidth(), 80);
  EXPECT_EQ(t.console.ScreenHeight(), 50);
  EXPECT_EQ(t.console.LastMode(), 18);
  EXPECT_EQ(t.console.TextAttr(), 7);
  t.console.GotoXY(80, 50);  // the window is the whole screen again
  EXPECT_EQ(t.console.WhereX(), 80);
  t.console.TextMode(kModeStartup);
  EXPECT_EQ(t.console.ScreenHeight(), 25);
  t.console.TextMode(kModeDefault);
  EXPECT_EQ(t.console.ScreenHeight(), 50);
  EXPECT_EQ(t.console.LastMode(), kModeDefault);
}

TEST(ConsoleTest, GotoXYOutsideWindowIsIgnored) {
  HeadlessConsole t;
  t.console.GotoXY(5, 6);
  t.console.GotoXY(81, 1);
  t.console.GotoXY(1, 51);
  t.console.GotoXY(0, 3);
  EXPECT_EQ(t.console.WhereX(), 5);
  EXPECT_EQ(t.console.WhereY(), 6);
  t.console.Window(11, 11, 20, 15);
  t.console.GotoXY(11, 1);  // column 11 of a 10-wide window
  EXPECT_EQ(t.console.WhereX(), 1);
  t.console.GotoXY(10, 5);
  EXPECT_EQ(t.console.WhereX(), 10);
  EXPECT_EQ(t.console.WhereY(), 5);
}

TEST(ConsoleTest, WindowRejectsBadBounds) {
  HeadlessConsole t;
  t.console.Window(5, 5, 4, 10);
  t.console.Window(1, 1, 81, 10);
  t.console.Window(0, 1, 10, 10);
  t.console.Window(1, 10, 10, 9);
  t.console.GotoXY(80, 50);
  EXPECT_EQ(t.console.WhereX(), 80);  // still the whole screen
}

TEST(ConsoleTest, TextColorAndBackgroundMasks) {
  HeadlessConsole t;
  struct Case {
    int start, colour;
    bool background;
    int expected;
  } cases[] = {
      {0x07, 12, false, 0x0C},      {0x17, 9, false, 0x19}, {0x07, 16 + 3, false, 0x03},
      {0x07, 128 + 3, false, 0x83}, {0x8F, 2, true, 0xAF},  {0x0F, 16, true, 0x0F},
      {0x0F, 7, true, 0x7F},        {0x0F, 8, true, 0x0F},
  };
  for (const auto& c : cases) {
    t.console.SetTextAttr(static_cast<uint8_t>(c.start));
    if (c.background) {
      t.console.TextBackground(c.colour);
    } else {
      t.console.TextColor(c.colour);
    }
    EXPECT_EQ(t.console.TextAttr(), c.expected) << c.start << " " << c.colour;
  }
  t.console.SetTextAttr(0x11);
  t.console.HighVideo();
  EXPECT_EQ(t.console.TextAttr(), 0x19);
}

TEST(ConsoleTest, WriteWrapsAndControlCharactersAct) {
  HeadlessConsole t(80, 25);
  t.console.GotoXY(79, 1);
  t.console.Write("abc");
  EXPECT_EQ(t.Text(79, 1, 2), "ab");
  EXPECT_EQ(t.Text(1, 2, 1), "c");
  EXPECT_EQ(t.console.WhereX(), 2);
  t.console.Write("\r");
  EXPECT_EQ(t.console.WhereX(), 1);
  t.console.Write("\b");  // at the left edge: stays
  EXPECT_EQ(t.console.WhereX(), 1);
  t.console.Write("xy\bz\n");
  EXPECT_EQ(t.Text(1, 2, 2), "xz");
  EXPECT_EQ(t.console.WhereX(), 3);  // line feed keeps the column
  EXPECT_EQ(t.console.WhereY(), 3);
  t.console.Write("\a");
  EXPECT_EQ(t.display.Bells(), 1);
  t.console.SetRawOutput(true);
  t.console.Write("\a\n");
  EXPECT_EQ(t.display.Bells(), 1);
  EXPECT_EQ(t.console.CellAt(2, 2).ch, 7);
  EXPECT_EQ(t.console.CellAt(3, 2).ch, 10);
}

TEST(ConsoleTest, BottomRightCornerScrollsTheWindowOnly) {
  HeadlessConsole t(80, 25);
  t.console.GotoXY(1, 1);
  t.console.Write("outside");
  t.console.Window(11, 3, 20, 5);
  t.console.Write("first");
  t.console.GotoXY(10, 3);
  t.console.SetTextAttr(0x1F);
  t.console.Write("Z");
  // The window scrolled: "first" left row 3, the corner character moved up a row.
  EXPECT_EQ(t.Text(11, 3, 5), "     ");
  EXPECT_EQ(t.Text(20, 4, 1), "Z");
  EXPECT_EQ(t.Attr(11, 5), 0x1F);  // new line filled in the text attribute
  EXPECT_EQ(t.Text(1, 1, 7), "outside");
  EXPECT_EQ(t.console.WhereX(), 1);
  EXPECT_EQ(t.console.WhereY(), 3);
}

TEST(ConsoleTest, ClrScrClrEolInsLineDelLine) {
  HeadlessConsole t(80, 25);
  for (int row = 1; row <= 5; ++row) {
    t.console.GotoXY(1, row);
    t.console.Write(std::string(1, static_cast<char>('0' + row)) + "xxxx");
  }
  t.console.GotoXY(3, 2);
  t.console.ClrEol();
  EXPECT_EQ(t.Text(1, 2, 5), "2x   ");
  EXPECT_EQ(t.console.WhereX(), 3);
  t.console.Window(1, 1, 10, 4);
  t.console.GotoXY(1, 2);
  t.console.InsLine();
  EXPECT_EQ(t.Text(1, 2, 5), "     ");
  EXPECT_EQ(t.Text(1, 3, 5), "2x   ");
  EXPECT_EQ(t.Text(1, 4, 5), "3xxxx");
  EXPECT_EQ(t.Text(1, 5, 5), "5xxxx");  // below the window: untouched
  t.console.DelLine();
  EXPECT_EQ(t.Text(1, 2, 5), "2x   ");
  EXPECT_EQ(t.Text(1, 4, 5), "     ");
  t.console.SetTextAttr(0x20);
  t.console.ClrScr();
  EXPECT_EQ(t.Attr(10, 4), 0x20);
  EXPECT_EQ(t.Attr(11, 4), 0x07);
  EXPECT_EQ(t.Text(1, 5, 5), "5xxxx");
  EXPECT_EQ(t.console.WhereX(), 1);
  EXPECT_EQ(t.console.WhereY(), 1);
}

TEST(ConsoleTest, CursorStyles) {
  HeadlessConsole t;
  struct Case {
    int style, size;
    bool visible;
    int expectSize;
    bool expectVisible;
  } cases[] = {{kCursorSmall, 0, true, 15, true},
               {kCursorBlock, 0, true, 99, true},
               {kCursorUnderline, 0, true, 25, true},
               {kCursorCustom, 40, false, 40, false},
               {kCursorCustom, 400, true, 100, true}};
  for (const auto& c : cases) {
    t.console.SetCursorStyle(c.style, c.size, c.visible);
    EXPECT_EQ(t.console.CursorSize(), c.expectSize) << c.style;
    EXPECT_EQ(t.console.CursorVisible(), c.expectVisible) << c.style;
  }
  t.console.SetCursorStyle(kCursorHidden);
  EXPECT_FALSE(t.console.CursorVisible());
  t.console.Flush();
  EXPECT_EQ(t.display.Last().cursorSize, 0);
}

TEST(ConsoleTest, ExtendedKeysComeInTwoCallsAndKeyPressedSeesTheSecond) {
  HeadlessConsole t;
  t.display.PushVk(vk::kUp);
  t.display.PushVk(vk::kShift);  // modifier alone: skipped
  t.display.PushText("a");
  EXPECT_TRUE(t.console.KeyPressed());
  EXPECT_EQ(t.console.ReadKey(), 0);
  EXPECT_TRUE(t.console.KeyPressed());
  EXPECT_EQ(t.console.ReadKey(), 72);
  EXPECT_TRUE(t.console.KeyPressed());  // skips the Shift, keeps the 'a'
  EXPECT_EQ(t.display.PendingKeys(), 0u);
  EXPECT_EQ(t.console.ReadKey(), 'a');
  EXPECT_FALSE(t.console.KeyPressed());
}

TEST(ConsoleTest, ShiftAloneNeitherSatisfiesKeyPressedNorEndsReadKey) {
  HeadlessConsole t;
  t.display.PushVk(vk::kShift, kShift);
  t.display.PushVk(vk::kControl, kCtrl);
  EXPECT_FALSE(t.console.KeyPressed());
  EXPECT_EQ(t.display.PendingKeys(), 0u);  // discarded
  t.display.PushVk(vk::kShift, kShift);
  t.display.PushText("q");
  EXPECT_EQ(t.console.ReadKey(), 'q');
}

TEST(ConsoleTest, ReadKeyPresentsTheScreenFirst) {
  HeadlessConsole t;
  t.console.Write("hello");
  t.display.PushText("x");
  t.console.ReadKey();
  ASSERT_EQ(t.display.AtKeyWaits().size(), 1u);
  EXPECT_EQ(t.display.AtKeyWaits()[0].Text(0, 0, 5), "hello");
  EXPECT_EQ(t.display.AtKeyWaits()[0].cursorX, 5);
}

TEST(ConsoleTest, ReadKeyWithinTimesOut) {
  HeadlessConsole t;
  uint8_t key = 1;
  EXPECT_FALSE(t.console.ReadKeyWithin(10000, &key));
  EXPECT_EQ(t.display.WaitedMillis(), 10000);
  t.display.PushText("z");
  EXPECT_TRUE(t.console.ReadKeyWithin(10000, &key));
  EXPECT_EQ(key, 'z');
}

TEST(ConsoleTest, SaveAndRestoreEveryPart) {
  HeadlessConsole t(80, 25);
  t.console.Write("keep me");
  t.console.Window(2, 2, 40, 20);
  t.console.GotoXY(3, 4);
  t.console.SetTextAttr(0x1E);
  t.console.SetCursorStyle(kCursorSmall);
  ConsoleState saved = t.console.SaveConsoleState(kStateAll);

  t.console.TextMode(kModeColour80x50);
  t.console.Write("overwritten");
  t.console.SetCursorStyle(kCursorHidden);
  t.console.SetRawOutput(true);
  t.console.GotoXY(1, 1);
  t.console.Write("keep");  // raw output on: plain text either way

  t.console.RestoreConsoleState(std::move(saved));
  EXPECT_EQ(t.console.ScreenHeight(), 25);
  EXPECT_EQ(t.console.LastMode(), kModeColour80x25);
  EXPECT_EQ(t.Text(1, 1, 7), "keep me");
  EXPECT_EQ(t.console.WhereX(), 3);
  EXPECT_EQ(t.console.WhereY(), 4);
  EXPECT_EQ(t.console.TextAttr(), 0x1E);
  EXPECT_TRUE(t.console.CursorVisible());
  EXPECT_EQ(t.console.CursorSize(), 15);
  EXPECT_FALSE(t.console.RawOutput());
  t.console.GotoXY(39, 19);  // the window came back
  EXPECT_EQ(t.console.WhereX(), 39);
  t.console.GotoXY(40, 1);
  EXPECT_EQ(t.console.WhereX(), 39);
}

TEST(ConsoleTest, RestoreOnlyTheSavedParts) {
  HeadlessConsole t;
  t.console.SetTextAttr(0x4F);
  ConsoleState saved = t.console.SaveConsoleState(kStateScreen | kStateAttribute);
  t.console.GotoXY(10, 10);
  t.console.Write("x");
  t.console.SetTextAttr(0x07);
  t.console.RestoreConsoleState(std::move(saved));
  EXPECT_EQ(t.console.TextAttr(), 0x4F);
  EXPECT_EQ(t.Text(10, 10, 1), " ");
  EXPECT_EQ(t.console.WhereX(), 11);  // position was not saved
}

TEST(ConsoleTest, PutCellsRunsOnAndClipsAtTheEnd) {
  HeadlessConsole t(80, 2);
  t.console.PutCells(78, 0, {'#', 0x0C}, 4);
  EXPECT_EQ(t.Text(79, 1, 2), "##");
  EXPECT_EQ(t.Text(1, 2, 3), "## ");
  t.console.PutCells(79, 1, {'!', 7}, 50);  // past the end: dropped
  t.console.PutCells(0, 5, {'!', 7}, 5);
  t.console.PutCells(-1, 0, {'!', 7}, 5);
  EXPECT_EQ(t.Text(80, 2, 1), "!");
  EXPECT_EQ(t.Text(1, 1, 1), " ");
}

}  // namespace
}  // namespace torvex
