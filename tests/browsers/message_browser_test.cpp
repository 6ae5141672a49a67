// The message screen cell by cell, its title, and the message browser's search
// and keys over a real message file.
#include "browsers/message_browser.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

std::vector<uint8_t> Message(uint32_t number, std::initializer_list<const char*> lines) {
  MessageRecord message;
  message.setNumber(number);
  size_t i = 0;
  for (const char* line : lines) message.setLine(i++, line);
  return {message.bytes().begin(), message.bytes().end()};
}

class MessageTest : public BrowserTest {
 protected:
  void Run() {
    Keys("q");
    RunMessageBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
};

TEST_F(MessageTest, LinesShownAsWrittenAndCutAtTheirWidth) {
  ShowMessageDetail(hc.console, Message(255, {"You hit |04hard|07!", "", "The %s falls."}));
  // The colour codes are text: the whole line stays in the value colour, padding too.
  ExpectCells({{18, 2, "255 ", 15},
               {2, 5, " You hit |04hard|07!   "},
               {3, 5, "Y", 15},
               {20, 5, "7", 15},
               {78, 5, " ", 15},
               {3, 7, std::string(76, ' ')},
               {3, 9, "The %s falls.   "}});
  EXPECT_EQ(hc.console.WhereX(), 3);
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdge(9, {3});

  std::vector<uint8_t> bytes = Message(9, {});
  std::string all;
  for (int i = 0; i < 82; ++i) all.push_back(static_cast<char>('a' + i % 26));
  all[1] = '\n';                                         // a control byte shows, it does not act
  std::copy(all.begin(), all.end(), bytes.begin() + 4);  // line 1 without its zero
  ShowMessageDetail(hc.console, bytes);
  ExpectCells({{3, 5, all.substr(0, 76) + " "}, {3, 7, "   "}});  // line 2 keeps its own bytes
  ExpectRightEdge(9, {3});

  ShowMessageDetail(hc.console, std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 'H', 'i'});
  ExpectCells({{18, 2, "4294967295 "}, {3, 5, "Hi "}, {3, 7, std::string(76, ' ')}});
}

TEST(MessageTitleTest, NumberInDecimalAndHex) {
  EXPECT_EQ(MessageTitle(Message(255, {})), "TORVEXNT - Message : 255 (0xff)");
  EXPECT_EQ(MessageTitle(Message(0, {})), "TORVEXNT - Message : 0 (0x0)");
  EXPECT_EQ(MessageTitle(Message(0x7FFFFFFF, {})), "TORVEXNT - Message : 2147483647 (0x7fffffff)");
}

TEST_F(MessageTest, SearchAnyLineThenHelpJumpMacrosAndRawDump) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  MakeFile(kMessageFile, {Message(1, {"first"}), Message(2, {"nothing", "to see"}),
                          Message(255, {"", "", "a NeeDLe here"})});
  Keys("Sneedle\r");  // straight to the prompt; found only in line 3
  Run();
  EXPECT_FALSE(EverShown("Select how you would like to search:"));
  EXPECT_GT(WindowsTitled("Search Messages"), 0);
  EXPECT_TRUE(EverShown("sensetive):"));
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Message : 255 (0xff)");

  Keys("Ssee\r");  // line 2
  Run();
  EXPECT_EQ(NumberShown(), "2");
  Keys("S");
  Vk('X', kCtrl);  // the prompt offers the last text typed
  Keys("zzz\r ");
  Run();
  EXPECT_TRUE(EverShown("\"zzz\""));
  EXPECT_EQ(WindowsTitled("No Results"), 1);

  Keys("?\rG255\r");
  Vk(vk::kF1 + 2, kCtrl);
  Vk('E', kCtrl);
  Keys("FE");      // no extended view
  Vk('S', kCtrl);  // no simulator
  Vk(vk::kF1 + 2);
  Run();
  EXPECT_EQ(WindowsTitled("Messages Help"), 1);
  EXPECT_TRUE(EverShown("  S    Search for a specific message"));
  EXPECT_FALSE(EverShown("^S"));
  EXPECT_TRUE(EverShown("Enter a message number to jump to:"));
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kMessage)][2], "255");
  EXPECT_EQ(std::filesystem::file_size(work.File("rawmsgnt-255.bin")), MessageRecord::kDiskLength);
  EXPECT_EQ(NumberShown(), "255");
}

}  // namespace
}  // namespace torvex::testing
