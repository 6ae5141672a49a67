#include "console/read_line.h"

#include <gtest/gtest.h>

#include "console_test_util.h"

namespace torvex {
namespace {

using testing::HeadlessConsole;

TEST(ReadLineTest, EchoesInTheTextAttributeAndEndsOnEnter) {
  HeadlessConsole t(80, 25);
  t.console.GotoXY(5, 3);
  t.console.SetTextAttr(0x0E);
  t.display.PushText("look north\r");
  EXPECT_EQ(ReadLine(t.console), "look north");
  EXPECT_EQ(t.Text(5, 3, 10), "look north");
  EXPECT_EQ(t.Attr(5, 3), 0x0E);
  EXPECT_EQ(t.console.WhereX(), 1);  // Enter: start of the next line
  EXPECT_EQ(t.console.WhereY(), 4);
}

TEST(ReadLineTest, BackspaceErasesAndStopsAtTheStart) {
  HeadlessConsole t(80, 25);
  t.console.Write("> ");
  t.display.PushText("ab\b\b\bc\r");
  EXPECT_EQ(ReadLine(t.console), "c");
  EXPECT_EQ(t.Text(1, 1, 4), "> c ");  // the prompt itself is never erased
}

TEST(ReadLineTest, BackspaceAcrossAWrappedRow) {
  HeadlessConsole t(80, 25);
  t.console.Window(1, 1, 10, 5);
  t.console.GotoXY(9, 1);
  t.display.PushText("xyz\b\b");
  t.display.PushText("q\r");
  EXPECT_EQ(ReadLine(t.console), "xq");
  EXPECT_EQ(t.Text(9, 1, 2), "xq");
  EXPECT_EQ(t.Text(1, 2, 1), " ");  // the wrapped 'z' was erased
}

TEST(ReadLineTest, IgnoresExtendedAndControlKeysAndLimitsTheLength) {
  HeadlessConsole t(80, 25);
  t.display.PushVk(vk::kUp);
  t.display.PushVk(vk::kF1);
  t.display.PushText("\x1b\t|07x12345");
  t.display.PushText("\r");
  EXPECT_EQ(ReadLine(t.console, 6), "|07x12");
  EXPECT_EQ(t.Text(1, 1, 7), "|07x12 ");  // colour codes are not interpreted
  EXPECT_EQ(t.display.PendingKeys(), 0u);
}

}  // namespace
}  // namespace torvex
