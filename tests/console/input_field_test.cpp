#include "console/input_field.h"

#include <gtest/gtest.h>

#include <string>

#include "console_test_util.h"

namespace torvex {
namespace {

using testing::HeadlessConsole;
using testing::PushScript;

struct EditCase {
  const char* defaultText;
  int maxLength;
  uint8_t options;
  const char* keys;
  const char* result;
  bool cancelled;
  const char* finished;  // the field as shown after it ended, over its full width
};

TEST(InputFieldTest, EditingKeysAndFilters) {
  const EditCase cases[] = {
      // Full field refuses typing; Home then three Deletes empties it.
      {"abc", 3, 0, "d{home}{del}{del}{del}xy{enter}", "xy", false, "xy "},
      {"abc", 3, 0, "d{enter}", "abc", false, "abc"},
      // Backspace at the start and Delete at the end do nothing.
      {"abc", 5, 0, "{home}{bs}{enter}", "abc", false, "abc  "},
      {"abc", 5, 0, "{del}{enter}", "abc", false, "abc  "},
      {"abcd", 6, 0, "{left}{left}{bs}{enter}", "acd", false, "acd   "},
      {"abcd", 6, 0, "{left}{left}{del}{enter}", "abd", false, "abd   "},
      {"ad", 6, 0, "{left}bc{enter}", "abcd", false, "abcd  "},
      {"ab", 6, 0, "{home}{left}x{end}{right}y{enter}", "xaby", false, "xaby  "},
      {"abc", 6, 0, "{home}{right}{right}-{enter}", "ab-c", false, "ab-c  "},
      // Insert is no overwrite toggle, and other extended keys are ignored.
      {"ab", 6, 0, "{home}{ins}{f1}{up}{down}x{enter}", "xab", false, "xab   "},
      // Ctrl+X empties from anywhere and leaves the cursor at the start.
      {"abc", 5, 0, "{left}{ctrl-x}z{enter}", "z", false, "z    "},
      {"", 5, 0, "{ctrl-x}q{enter}", "q", false, "q    "},
      // Esc: ignored without bit 0; with it the default comes back even if edited.
      {"ab", 5, 0, "{esc}c{enter}", "abc", false, "abc  "},
      {"ab", 5, kFieldEscCancels, "{bs}z{esc}", "ab", true, "ab   "},
      {"", 5, kFieldEscCancels, "12{esc}", "", true, "     "},
      // Line feed (Ctrl+Enter) finishes like Enter.
      {"ab", 4, 0, "c{lf}", "abc", false, "abc "},
      // Lower case folds the default and typed keys, and leaves Home and End alone.
      {"AbC", 8, kFieldLowerCase, "DeF{enter}", "abcdef", false, "abcdef  "},
      {"AB", 8, kFieldLowerCase, "{home}X{end}Y{enter}", "xaby", false, "xaby    "},
      {"AB", 8, kFieldLowerCase | kFieldEscCancels, "x{esc}", "ab", true, "ab      "},
      // Numeric accepts "*" to "?", refuses letters and space; printable wins over it.
      {"", 10, kFieldNumeric, "1a-2.5 /Z*?@{enter}", "1-2.5/*?", false, "1-2.5/*?  "},
      {"", 10, kFieldNumeric | kFieldPrintable, "a1 -Z~{enter}", "a1 -Z~", false, "a1 -Z~    "},
      {"", 10, kFieldPrintable, "a{tab}{ctrl-a}b{enter}", "ab", false, "ab        "},
      // Without a filter any code is a character, control codes included.
      {"", 4, 0, "a{tab}{ctrl-a}{enter}", "a\t\x01", false, "a\t\x01 "},
      // Right-aligned finish, also for passwords.
      {"ab", 5, kFieldRightAlign, "{enter}", "ab", false, "   ab"},
      {"ab", 5, kFieldRightAlign | kFieldPassword, "c{enter}", "abc", false, "  XXX"},
      {"secret", 8, kFieldPassword, "{bs}{enter}", "secre", false, "XXXXX   "},
      // A default longer than the field is cut to it.
      {"abcdef", 4, 0, "{enter}", "abcd", false, "abcd"},
      {"abcdef", 4, kFieldEscCancels, "{esc}", "abcd", true, "abcd"},
      {"abc", 0, 0, "x{enter}", "", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "default \"" << c.defaultText << "\" max " << c.maxLength
                                      << " options " << int{c.options} << " keys " << c.keys);
    HeadlessConsole t;
    PushScript(t.display, c.keys);
    uint8_t flags = 0xFF;
    const std::string result =
        InputField(t.console, 5, 3, c.defaultText, c.maxLength, c.options, &flags);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(flags, c.cancelled ? kFieldCancelled : 0);
    EXPECT_EQ(t.display.PendingKeys(), 0u);
    const std::string finished = c.finished;
    EXPECT_EQ(t.Text(5, 3, static_cast<int>(finished.size())), finished);
    EXPECT_EQ(t.Text(5 + static_cast<int>(finished.size()), 3, 1), " ");  // nothing beyond
    for (int i = 0; i < static_cast<int>(finished.size()); ++i) {
      EXPECT_EQ(t.Attr(5 + i, 3), 0x0F) << "column " << 5 + i;
    }
    EXPECT_EQ(t.console.WhereX(), 5 + static_cast<int>(finished.size()));
    EXPECT_EQ(t.console.WhereY(), 3);
    EXPECT_EQ(t.console.TextAttr(), 0x0F);
  }
}

TEST(InputFieldTest, DrawsFullWidthAndTracksTheCursorWhileEditing) {
  HeadlessConsole t;
  t.console.SetTextAttr(0x4E);
  PushScript(t.display, "{home}{right}{del}{end}{bs}{ctrl-x}{enter}");
  InputField(t.console, 10, 5, "abcd", 6, kFieldWhiteOnBlue);
  const auto& waits = t.display.AtKeyWaits();
  ASSERT_EQ(waits.size(), 7u);
  struct Step {
    const char* shown;
    int cursorColumn;  // 1-based
  } steps[] = {
      {"abcd  ", 14},  // drawn: default, then blanks to the full width
      {"abcd  ", 10},  // Home
      {"abcd  ", 11},  // Right
      {"acd   ", 11},  // Delete
      {"acd   ", 13},  // End
      {"ac    ", 12},  // Backspace
      {"      ", 10},  // Ctrl+X
  };
  for (size_t i = 0; i < waits.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "key wait " << i);
    EXPECT_EQ(waits[i].Text(9, 4, 6), steps[i].shown);
    for (int x = 9; x < 15; ++x) EXPECT_EQ(waits[i].At(x, 4).attr, 0x1F);
    EXPECT_EQ(waits[i].At(15, 4).ch, ' ');
    EXPECT_EQ(waits[i].At(15, 4).attr, 0x07);  // the field draws nothing past its width
    EXPECT_EQ(waits[i].cursorX, steps[i].cursorColumn - 1);
    EXPECT_EQ(waits[i].cursorY, 4);
  }
  // Finished: white on black whatever it was edited in.
  EXPECT_EQ(t.Attr(10, 5), 0x0F);
  EXPECT_EQ(t.Attr(15, 5), 0x0F);
}

TEST(InputFieldTest, PasswordNeverShowsItsCharacters) {
  HeadlessConsole t;
  PushScript(t.display, "ab{left}Z{end}{enter}");
  const std::string result = InputField(t.console, 1, 1, "pw", 8, kFieldPassword);
  EXPECT_EQ(result, "pwaZb");
  for (const auto& wait : t.display.AtKeyWaits()) {
    const std::string row = wait.Text(0, 0, 8);
    EXPECT_EQ(row.find_first_not_of("X "), std::string::npos) << row;
  }
  EXPECT_EQ(t.display.AtKeyWaits().back().Text(0, 0, 8), "XXXXX   ");
  EXPECT_EQ(t.Text(1, 1, 8), "XXXXX   ");
}

TEST(InputFieldTest, TypedBarsAndControlsShowAsTyped) {
  HeadlessConsole t;
  t.console.SetRawOutput(false);
  PushScript(t.display, "a|12b\x07{enter}");
  const std::string result = InputField(t.console, 2, 2, "", 10, 0);
  EXPECT_EQ(result, "a|12b\x07");
  // A bar is no colour code here and a bell is a cell, not a sound.
  EXPECT_EQ(t.Text(2, 2, 7), "a|12b\x07 ");
  for (int x = 2; x < 12; ++x) EXPECT_EQ(t.Attr(x, 2), 0x0F);
  EXPECT_EQ(t.display.Bells(), 0);
  EXPECT_FALSE(t.console.RawOutput());  // the caller's flag is put back

  HeadlessConsole raw;
  raw.console.SetRawOutput(true);
  PushScript(raw.display, "x{left}{enter}");
  EXPECT_EQ(InputField(raw.console, 1, 1, "", 4, 0), "x");
  EXPECT_EQ(raw.Text(1, 1, 5), "x    ");  // backspaces still move the cursor
  EXPECT_TRUE(raw.console.RawOutput());
}

TEST(InputFieldTest, ResultFlagsAreOptionalAndClearedAtEntry) {
  HeadlessConsole t;
  PushScript(t.display, "{esc}");
  EXPECT_EQ(InputField(t.console, 1, 1, "keep", 8, kFieldEscCancels), "keep");

  uint8_t flags = 0xFE;
  PushScript(t.display, "{enter}");
  InputField(t.console, 1, 1, "", 8, kFieldEscCancels, &flags);
  EXPECT_EQ(flags, 0);
}

TEST(InputFieldTest, HugeMaximumLengthIsBounded) {
  HeadlessConsole t;
  PushScript(t.display, "{enter}");
  EXPECT_EQ(InputField(t.console, 1, 1, "x", 1 << 30, 0), "x");
  // 255 cells: three full rows and 15 cells of the fourth.
  EXPECT_EQ(t.Attr(15, 4), 0x0F);
  EXPECT_EQ(t.Attr(16, 4), 0x07);
}

TEST(InputFieldTest, FieldRunningOverTheRowEndEditsInPlace) {
  HeadlessConsole t;
  PushScript(t.display, "{home}X{end}{bs}{enter}");
  EXPECT_EQ(InputField(t.console, 75, 2, "abcdefgh", 10, 0), "Xabcdefg");
  const auto& waits = t.display.AtKeyWaits();
  ASSERT_EQ(waits.size(), 5u);
  EXPECT_EQ(waits[0].cursorX, 2);  // behind "h" on the next row
  EXPECT_EQ(waits[0].cursorY, 2);
  EXPECT_EQ(waits[1].cursorX, 74);  // Home goes back up to the field start
  EXPECT_EQ(waits[1].cursorY, 1);
  EXPECT_EQ(t.Text(75, 2, 6), "Xabcde");
  EXPECT_EQ(t.Text(1, 3, 5), "fg   ");
  EXPECT_EQ(t.console.WhereX(), 5);
  EXPECT_EQ(t.console.WhereY(), 3);
}

// A text longer than its field scrolls inside it: the cursor cell is always one of
// the field's cells, and nothing is drawn past the field.
TEST(InputFieldTest, LongTextScrollsInsideTheField) {
  HeadlessConsole t;
  const std::string path = "/very/long/path/to/the/game";  // 27 characters
  PushScript(t.display, "{home}{right}{end}X{bs}{bs}{home}{del}{enter}");
  const std::string result = InputField(t.console, 5, 2, path, 100, 0, nullptr, 10);
  EXPECT_EQ(result, "very/long/path/to/the/gam");
  const auto& waits = t.display.AtKeyWaits();
  ASSERT_EQ(waits.size(), 9u);
  struct Step {
    const char* shown;  // the field's 10 cells
    int cursorColumn;   // 1-based
  } steps[] = {
      {"/the/game ", 14},  // drawn: the end, the cursor on the free last cell
      {"/very/long", 5},   // Home
      {"/very/long", 6},   // Right
      {"/the/game ", 14},  // End
      {"the/gameX ", 14},  // X typed at the end
      {"/the/game ", 14},  // Backspace
      {"o/the/gam ", 14},  // Backspace
      {"/very/long", 5},   // Home
      {"very/long/", 5},   // Delete
  };
  for (size_t i = 0; i < waits.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "key wait " << i);
    EXPECT_EQ(waits[i].Text(4, 1, 10), steps[i].shown);
    EXPECT_EQ(waits[i].At(14, 1).ch, ' ');  // nothing past the field
    EXPECT_EQ(waits[i].At(14, 1).attr, 0x07);
    EXPECT_EQ(waits[i].cursorX, steps[i].cursorColumn - 1);
    EXPECT_EQ(waits[i].cursorY, 1);
  }
  // Finished: the start of the text.
  EXPECT_EQ(t.Text(5, 2, 10), "very/long/");
  EXPECT_EQ(t.Text(15, 2, 1), " ");
}

TEST(InputFieldTest, ScrollingFieldTypesPastItsWidthUpToTheMaximum) {
  HeadlessConsole t;
  PushScript(t.display, "abcdefghij{left}{left}{left}{left}{left}{left}{left}{enter}");
  EXPECT_EQ(InputField(t.console, 1, 1, "", 8, 0, nullptr, 4), "abcdefgh");
  const auto& waits = t.display.AtKeyWaits();
  ASSERT_EQ(waits.size(), 18u);
  EXPECT_EQ(waits[4].Text(0, 0, 4), "bcd ");  // after "abcd": the cursor cell stays free
  EXPECT_EQ(waits[4].cursorX, 3);
  EXPECT_EQ(waits[10].Text(0, 0, 4), "fgh ");  // "i" and "j" were refused
  EXPECT_EQ(waits[17].Text(0, 0, 4), "bcde");  // seven steps left: the cursor on "b"
  EXPECT_EQ(waits[17].cursorX, 0);
}

}  // namespace
}  // namespace torvex
