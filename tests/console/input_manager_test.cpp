#include "console/input_manager.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "console_test_util.h"

namespace torvex {
namespace {

using testing::HeadlessConsole;
using Snapshot = HeadlessDisplay::Snapshot;

constexpr uint8_t kCornerTL = 218, kCornerTR = 191, kCornerBL = 192, kCornerBR = 217;
constexpr uint8_t kHoriz = 196, kVert = 179;

// A busy screen under the windows, so that restoring it proves something: every
// cell differs from its neighbours in character or attribute, the cursor is
// somewhere odd, the attribute unusual and the output window smaller.
void PaintBackground(Console& console) {
  for (int y = 0; y < console.ScreenHeight(); ++y) {
    for (int x = 0; x < console.ScreenWidth(); ++x) {
      console.PutCells(x, y,
                       {static_cast<uint8_t>('a' + (x + y) % 26),
                        static_cast<uint8_t>(0x10 + (x * 7 + y) % 0x70)});
    }
  }
  console.Window(5, 5, 60, 30);
  console.GotoXY(7, 3);
  console.SetTextAttr(0x4E);
  console.SetCursorStyle(kCursorBlock);
}

// Everything a window must put back.
void ExpectSameState(const ConsoleState& before, const Console& console) {
  const ConsoleState after = console.SaveConsoleState(kStateAll);
  EXPECT_TRUE(after.cells == before.cells) << "screen contents differ";
  EXPECT_EQ(after.cursorX, before.cursorX);
  EXPECT_EQ(after.cursorY, before.cursorY);
  EXPECT_EQ(after.cursorSize, before.cursorSize);
  EXPECT_EQ(after.cursorVisible, before.cursorVisible);
  EXPECT_EQ(after.attribute, before.attribute);
  EXPECT_EQ(after.mode, before.mode);
  EXPECT_EQ(after.windowLeft, before.windowLeft);
  EXPECT_EQ(after.windowTop, before.windowTop);
  EXPECT_EQ(after.windowRight, before.windowRight);
  EXPECT_EQ(after.windowBottom, before.windowBottom);
  EXPECT_EQ(after.rawOutput, before.rawOutput);
}

// Checks the frame of a window at 1-based screen position in a snapshot.
void ExpectFrame(const Snapshot& s, int left, int top, int width, int height, uint8_t attr) {
  const int x0 = left - 1, y0 = top - 1, x1 = left + width - 2, y1 = top + height - 1;
  EXPECT_EQ(s.At(x0, y0).ch, kCornerTL);
  EXPECT_EQ(s.At(x1, y0).ch, kCornerTR);
  EXPECT_EQ(s.At(x0, y1).ch, kCornerBL);
  EXPECT_EQ(s.At(x1, y1).ch, kCornerBR);
  for (int x = x0 + 1; x < x1; ++x) {
    EXPECT_EQ(s.At(x, y1).ch, kHoriz) << "bottom border, column " << x + 1;
    EXPECT_EQ(s.At(x, y1).attr, attr);
  }
  for (int y = y0 + 1; y < y1; ++y) {
    EXPECT_EQ(s.At(x0, y).ch, kVert) << "row " << y + 1;
    EXPECT_EQ(s.At(x1, y).ch, kVert) << "row " << y + 1;
    EXPECT_EQ(s.At(x1, y).attr, attr);
  }
  // Nothing outside the frame on its rows belongs to it.
  if (x0 > 0) {
    EXPECT_NE(s.At(x0 - 1, y0).ch, kHoriz);
  }
  if (x1 + 1 < s.width) {
    EXPECT_NE(s.At(x1 + 1, y0).ch, kHoriz);
  }
}

TEST(InputManagerTest, NumberPromptIsCentredFramedAndTitled) {
  HeadlessConsole t;
  PaintBackground(t.console);
  const ConsoleState before = t.console.SaveConsoleState(kStateAll);
  TInputManager m(t.console);
  ApplyWindowStyle(m, kInputStyle);
  m.Title = "Goto";
  m.Prompt = "Item number:";
  m.MaxLength = 10;
  t.display.PushText("42\r");
  m.AskNumber();

  EXPECT_EQ(m.Width, 40);
  EXPECT_EQ(m.Height, 4);
  EXPECT_EQ(m.Left, 20);
  EXPECT_EQ(m.Top, 23);
  const Snapshot& s = t.display.AtKeyWaits().front();
  ExpectFrame(s, 20, 23, 40, 4, 0x08);  // columns 20 to 59
  // Title: brackets in the frame colour, the name in the title colour.
  EXPECT_EQ(s.Text(20, 22, 8),
            std::string{static_cast<char>(kHoriz)} + "[Goto]" + static_cast<char>(kHoriz));
  EXPECT_EQ(s.At(21, 22).attr, 0x08);
  EXPECT_EQ(s.At(22, 22).attr, 0x09);
  EXPECT_EQ(s.At(25, 22).attr, 0x09);
  EXPECT_EQ(s.At(26, 22).attr, 0x08);
  // Prompt in the text colour on the first inner row, blank interior around it.
  EXPECT_EQ(s.Text(20, 23, 14), " Item number: ");
  EXPECT_EQ(s.At(21, 23).attr, 0x01);
  EXPECT_EQ(s.Text(20, 24, 38), std::string(38, ' '));
  EXPECT_EQ(s.At(20, 24).attr, 0x08);
  // The field: ten cells white on blue on the last inner row, cursor at its start.
  for (int x = 21; x < 31; ++x) EXPECT_EQ(s.At(x, 25).attr, 0x1F) << x;
  EXPECT_EQ(s.At(31, 25).attr, 0x08);
  EXPECT_EQ(s.cursorX, 21);
  EXPECT_EQ(s.cursorY, 25);

  EXPECT_EQ(m.ResultText, "42");
  EXPECT_EQ(m.ResultNumber, 42);
  EXPECT_FALSE(m.Cancelled);
  ExpectSameState(before, t.console);
}

TEST(InputManagerTest, NumberPromptCancelAndNonNumbers) {
  struct Case {
    const char* keys;
    const char* text;
    int32_t number;
    bool cancelled;
  } cases[] = {
      {"12\x1b", "", 0, true},
      {"-17\r", "-17", -17, false},
      {"1.5\r", "1.5", 0, false},
      {"abc\r", "abc", 0, false},
      {"\r", "", 0, false},
      {"2147483647\r", "2147483647", INT32_MAX, false},
      {"-2147483648\r", "-2147483648", INT32_MIN, false},
      {"2147483648\r", "2147483648", 0, false},
      {"99999999999999999999\r", "99999999999999999999", 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    HeadlessConsole t;
    TInputManager m(t.console);
    m.MaxLength = 20;
    m.ResultNumber = 99;
    t.display.PushText(c.keys);
    m.AskNumber();
    EXPECT_EQ(m.ResultText, c.text);
    EXPECT_EQ(m.ResultNumber, c.number);
    EXPECT_EQ(m.Cancelled, c.cancelled);
  }
}

TEST(InputManagerTest, DecimalValue) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {
      {"0", 0},
      {"+5", 5},
      {"-0", 0},
      {"007", 7},
      {"", 0},
      {"-", 0},
      {"+", 0},
      {" 5", 0},
      {"5 ", 0},
      {"0x10", 0},
      {"--1", 0},
      {"12a", 0},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"-2147483649", 0},
      {"4294967296", 0},
      {"123456789012345678901234567890", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(DecimalValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(InputManagerTest, TextPromptOffersAndKeepsTheLastText) {
  HeadlessConsole t;
  TInputManager m(t.console);
  ApplyWindowStyle(m, kInputStyle);
  m.MaxLength = 12;
  m.DefaultText = "old";
  t.display.PushText("er\r");
  m.AskText();
  const Snapshot& first = t.display.AtKeyWaits().front();
  EXPECT_EQ(first.Text(m.Left + 1, m.Top + m.Height - 2, 12), "old         ");
  EXPECT_EQ(first.cursorX, m.Left + 1 + 3);
  EXPECT_EQ(m.ResultText, "older");
  EXPECT_EQ(m.DefaultText, "older");
  EXPECT_FALSE(m.Cancelled);

  // Cancelled: the result is the offered text and the default stays.
  t.display.PushText("\b\b\bnew\x1b");
  m.AskText();
  EXPECT_TRUE(m.Cancelled);
  EXPECT_EQ(m.ResultText, "older");
  EXPECT_EQ(m.DefaultText, "older");

  // A number typed into a text prompt is read as one too.
  m.DefaultText.clear();
  t.display.PushText("305\r");
  m.AskText();
  EXPECT_EQ(m.ResultNumber, 305);
}

TEST(InputManagerTest, WideFieldsWidenTheWindowAndKeepTheBorder) {
  struct Case {
    int maxLength, width, left;
  } cases[] = {
      {0, 40, 20}, {37, 40, 20}, {38, 41, 20}, {39, 42, 19}, {40, 43, 19}, {50, 53, 14},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.maxLength);
    HeadlessConsole t;
    TInputManager m(t.console);
    m.MaxLength = c.maxLength;
    t.display.PushText("\r");
    m.AskNumber();
    EXPECT_EQ(m.Width, c.width);
    EXPECT_EQ(m.Left, c.left);
    const Snapshot& s = t.display.AtKeyWaits().front();
    ExpectFrame(s, m.Left, m.Top, m.Width, m.Height, 0x08);
  }
}

TEST(InputManagerTest, MessageDropsEmptyLinesAndTakesOneKey) {
  HeadlessConsole t;
  PaintBackground(t.console);
  const ConsoleState before = t.console.SaveConsoleState(kStateAll);
  TInputManager m(t.console);
  ApplyWindowStyle(m, kAlertStyle);
  m.Title = "Error";
  m.Prompt = "First paragraph.\r\n\r\nSecond paragraph.";
  // An extended key closes it; both of its codes are consumed.
  t.display.PushVk(vk::kUp);
  t.display.PushText("q");
  m.ShowMessage();

  EXPECT_EQ(m.Width, 58);
  EXPECT_EQ(m.Height, 3);
  EXPECT_EQ(m.Left, 11);
  EXPECT_EQ(m.Top, 24);
  ASSERT_EQ(t.display.AtKeyWaits().size(), 1u);
  const Snapshot& s = t.display.AtKeyWaits().front();
  ExpectFrame(s, 11, 24, 58, 3, 0x08);
  EXPECT_EQ(s.Text(12, 24, 18), "First paragraph.  ");
  EXPECT_EQ(s.Text(12, 25, 19), "Second paragraph.  ");
  EXPECT_EQ(s.At(12, 24).attr, 0x04);
  EXPECT_EQ(s.Text(12, 23, 7), "[Error]");
  EXPECT_EQ(s.At(13, 23).attr, 0x0C);
  EXPECT_EQ(s.cursorSize, 0);  // hidden

  ExpectSameState(before, t.console);
  EXPECT_EQ(t.console.ReadKey(), 'q');
}

TEST(InputManagerTest, MessageWrapsLongTextInsideTheFrame) {
  HeadlessConsole t;
  TInputManager m(t.console);
  // 54 columns inside the frame; colour codes take none.
  m.Prompt =
      "|15The quick brown fox jumps over the lazy dog and then |07keeps on running "
      "through the whole field until nightfall.";
  t.display.PushText(" ");
  m.ShowMessage();
  const Snapshot& s = t.display.AtKeyWaits().front();
  ASSERT_EQ(m.Height, 4);
  ASSERT_EQ(m.Top, 23);
  ExpectFrame(s, 11, 23, 58, 4, 0x08);
  EXPECT_EQ(s.Text(12, 23, 54), "The quick brown fox jumps over the lazy dog and then  ");
  EXPECT_EQ(s.At(12, 23).attr, 0x0F);
  EXPECT_EQ(s.Text(12, 24, 54), "keeps on running through the whole field until        ");
  // The colour carries on from line to line as in one text.
  EXPECT_EQ(s.At(12, 24).attr, 0x07);
  EXPECT_EQ(s.Text(12, 25, 11), "nightfall. ");
  EXPECT_EQ(s.At(12, 25).attr, 0x07);
}

TEST(InputManagerTest, WrapTextBreaksAtSpacesAndKeepsCodesWhole) {
  struct Case {
    const char* text;
    int columns;
    const char* wrapped;
  } cases[] = {
      {"aaa bbb ccc", 7, "aaa bbb\r\nccc"},
      {"aaa bbb ccc", 6, "aaa\r\nbbb\r\nccc"},
      {"aaa bbb ccc", 11, "aaa bbb ccc"},
      {"aaa  bbb", 4, "aaa\r\nbbb"},
      {"abcdefghij", 4, "abcd\r\nefgh\r\nij"},
      {"|15aaa |07bbb", 3, "|15aaa\r\n|07bbb"},
      {"a||b c", 3, "a||b\r\nc"},
      {"one\r\ntwo", 10, "one\r\ntwo"},
      {"one\ntwo", 10, "one\r\ntwo"},
      {"ab\r\n\r\ncd", 10, "ab\r\n\r\ncd"},
      {"  indented", 20, "  indented"},
      {"", 5, ""},
      {"x y", 0, "x\r\ny"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WrapText(c.text, c.columns), c.wrapped) << '"' << c.text << "\" at " << c.columns;
  }
}

// An item as the list shows it: cut or padded to the 36 columns of a 40-column window.
std::string Fitted(const std::string& item) {
  std::string out = item.substr(0, 36);
  out.resize(36, ' ');
  return out;
}

TEST(InputManagerTest, ChooseFromListWrapsAroundAndAccepts) {
  HeadlessConsole t;
  PaintBackground(t.console);
  const ConsoleState before = t.console.SaveConsoleState(kStateAll);
  TInputManager m(t.console);
  ApplyWindowStyle(m, kInputStyle);
  m.Prompt = "Pick one";
  m.Items = {"Alpha", "Beta", "Gamma"};
  EXPECT_EQ(m.ChosenIndex, -1);
  // Preselecting one past the end starts on the first; Up from there is the last.
  t.display.PushVk(vk::kUp);
  t.display.PushVk(vk::kDown);
  t.display.PushText("x");
  t.display.PushVk(vk::kF1);
  t.display.PushVk(vk::kDown);
  t.display.PushText("\r");
  m.ChooseFromList(3);

  EXPECT_EQ(m.Height, 6);
  EXPECT_EQ(m.Top, 22);
  const auto& waits = t.display.AtKeyWaits();
  ASSERT_EQ(waits.size(), 6u);
  ExpectFrame(waits[0], 20, 22, 40, 6, 0x08);
  EXPECT_EQ(waits[0].Text(21, 22, 8), "Pick one");
  const int expected[] = {0, 2, 0, 0, 0, 1};  // selection shown at each key wait
  for (size_t w = 0; w < waits.size(); ++w) {
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(::testing::Message() << "wait " << w << " item " << i);
      const int row = 25 + i - 1;  // items fill the last inner rows
      EXPECT_EQ(waits[w].Text(21, row, 36), Fitted(m.Items[static_cast<size_t>(i)]));
      const uint8_t attr = i == expected[w] ? 0x1F : 0x0F;
      EXPECT_EQ(waits[w].At(21, row).attr, attr);
      EXPECT_EQ(waits[w].At(56, row).attr, attr);
      EXPECT_EQ(waits[w].At(57, row).attr, 0x08);  // the blank before the border
      EXPECT_EQ(waits[w].At(58, row).ch, kVert);
    }
    EXPECT_EQ(waits[w].cursorSize, 0);
  }
  EXPECT_EQ(m.ChosenIndex, 1);
  ExpectSameState(before, t.console);
}

TEST(InputManagerTest, ChooseFromListPreselectAndCancel) {
  struct Case {
    int items;
    int32_t preselect;
    const char* keys;  // "u" Up, "d" Down, "e" Enter, "x" Esc
    int32_t chosen;    // ChosenIndex after the call; it starts at 7
  } cases[] = {
      {3, 2, "e", 2},   {3, -1, "e", 0},  {3, 1, "x", 7},     {3, 1, "dx", 7},
      {3, 2, "de", 0},  {3, 0, "uue", 1}, {1, 0, "uddue", 0}, {4, 4, "ue", 3},
      {0, 0, "udx", 7}, {0, 0, "e", 7},   {0, -1, "uue", 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.items << " items, preselect " << c.preselect << ", keys " << c.keys);
    HeadlessConsole t;
    const ConsoleState before = t.console.SaveConsoleState(kStateAll);
    TInputManager m(t.console);
    for (int i = 0; i < c.items; ++i) m.Items.push_back("item " + std::to_string(i));
    m.ChosenIndex = 7;
    for (const char* k = c.keys; *k != 0; ++k) {
      switch (*k) {
        case 'u':
          t.display.PushVk(vk::kUp);
          break;
        case 'd':
          t.display.PushVk(vk::kDown);
          break;
        case 'e':
          t.display.PushText("\r");
          break;
        case 'x':
          t.display.PushText("\x1b");
          break;
      }
    }
    m.ChooseFromList(c.preselect);
    EXPECT_EQ(m.ChosenIndex, c.chosen);
    EXPECT_EQ(t.display.PendingKeys(), 0u);
    EXPECT_EQ(m.Height, 3 + c.items);
    ExpectSameState(before, t.console);
  }
}

TEST(InputManagerTest, ListItemsAreCutToTheWindowAndShownAsTyped) {
  HeadlessConsole t;
  TInputManager m(t.console);
  ApplyWindowStyle(m, kInputStyle);
  m.Items = {std::string(50, 'w'), "a|12b"};
  t.display.PushText("\x1b");
  m.ChooseFromList(1);
  const Snapshot& s = t.display.AtKeyWaits().front();
  const int top = m.Top;  // items on rows Top + 3 and Top + 4 (1-based)
  EXPECT_EQ(s.Text(21, top + 2, 38), std::string(36, 'w') + ' ' + static_cast<char>(kVert));
  EXPECT_EQ(s.Text(21, top + 3, 6), "a|12b ");
  EXPECT_EQ(s.At(23, top + 3).attr, 0x1F);
}

TEST(InputManagerTest, MultiLinePromptPushesTheFieldDown) {
  HeadlessConsole t;
  TInputManager m(t.console);
  m.Title = "|14Odd";
  m.Prompt = "Room number\r\n|15(room/map):";
  m.MaxLength = 10;
  t.display.PushText("7\r");
  m.AskText();
  EXPECT_EQ(m.Height, 5);
  EXPECT_EQ(m.Top, 23);
  const Snapshot& s = t.display.AtKeyWaits().front();
  ExpectFrame(s, 20, 23, 40, 5, 0x08);
  EXPECT_EQ(s.Text(21, 22, 5), "[Odd]");
  EXPECT_EQ(s.At(22, 22).attr, 0x0E);  // colour codes inside the title apply
  EXPECT_EQ(s.Text(21, 23, 11), "Room number");
  EXPECT_EQ(s.Text(21, 24, 11), "(room/map):");
  EXPECT_EQ(s.At(21, 24).attr, 0x0F);
  EXPECT_EQ(s.cursorY, 26);  // field on the last inner row
  EXPECT_EQ(m.ResultText, "7");
}

TEST(InputManagerTest, WindowIsRestoredWhenTheKeyboardFails) {
  HeadlessConsole t;
  PaintBackground(t.console);
  const ConsoleState before = t.console.SaveConsoleState(kStateAll);
  TInputManager m(t.console);
  m.Prompt = "Waiting";
  EXPECT_THROW(m.ShowMessage(), KeyScriptExhausted);
  ExpectSameState(before, t.console);
  EXPECT_THROW(m.AskNumber(), KeyScriptExhausted);
  ExpectSameState(before, t.console);
  m.Items = {"one"};
  EXPECT_THROW(m.ChooseFromList(0), KeyScriptExhausted);
  ExpectSameState(before, t.console);
}

}  // namespace
}  // namespace torvex
