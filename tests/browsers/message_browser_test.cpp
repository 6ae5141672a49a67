// The message screen cell by cell, its title, and the message browser's search
// and keys over a real message file.
#include "browsers/message_browser.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

class MessageScreenTest : public BrowserTest {
 protected:
  static MessageRecord Message(uint32_t number, const std::string& line1,
                               const std::string& line2 = "", const std::string& line3 = "") {
    MessageRecord message;
    message.setNumber(number);
    message.setLine1(line1);
    message.setLine2(line2);
    message.setLine3(line3);
    return message;
  }
  void MakeMessages(const std::vector<MessageRecord>& messages) {
    std::vector<std::vector<uint8_t>> records;
    for (const MessageRecord& message : messages) records.push_back(Bytes(message));
    MakeFile(kMessageFile, records);
  }
  void Show(const MessageRecord& message) { ShowMessageDetail(hc.console, message.bytes()); }
  std::string At(int column, int row, int length) const { return hc.Text(column, row, length); }
  int Fg(int column, int row) const { return hc.Attr(column, row) & 0x0F; }
  void ExpectRightEdgeIntact() const {
    for (int row = 2; row <= 9; ++row) {
      if (row == 3) continue;                                               // ┤
      EXPECT_EQ(hc.console.CellAt(79, row - 1).ch, 0xB3) << "row " << row;  // │
    }
  }
};

TEST_F(MessageScreenTest, LinesShownAsWrittenBelowTheirLabels) {
  Show(Message(255, "You hit |04hard|07!", "", "The %s falls."));
  const struct {
    int column, row;
    std::string text;
  } cases[] = {
      {2, 2, "    Message # : 255 "},
      {2, 4, "(1) Line #1 "},
      {2, 6, "(2) Line #2 "},
      {2, 8, "(3) Line #3 "},
      {2, 5, " You hit |04hard|07!   "},
      {3, 7, std::string(76, ' ')},
      {3, 9, "The %s falls.   "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(At(c.column, c.row, static_cast<int>(c.text.size())), c.text)
        << "column " << c.column << " row " << c.row;
  }
  // The codes are text: the whole line stays in the value colour, padding too.
  for (int column : {3, 11, 20, 78}) EXPECT_EQ(Fg(column, 5), 15) << "column " << column;
  EXPECT_EQ(Fg(18, 2), 15);
  EXPECT_EQ(hc.console.WhereX(), 3);
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdgeIntact();
}

TEST_F(MessageScreenTest, UnterminatedLineShowsItsFirst76Characters) {
  MessageRecord message = Message(9, "");
  std::vector<uint8_t> bytes(message.bytes().begin(), message.bytes().end());
  std::string all;
  for (int i = 0; i < 82; ++i) all.push_back(static_cast<char>('a' + i % 26));
  all[1] = '\n';                                         // a control byte shows, it does not act
  std::copy(all.begin(), all.end(), bytes.begin() + 4);  // line 1 without its zero
  ShowMessageDetail(hc.console, bytes);
  EXPECT_EQ(At(3, 5, 76), all.substr(0, 76));
  EXPECT_EQ(At(79, 5, 1), " ");
  EXPECT_EQ(At(3, 7, 3), "   ");  // line 2 starts with its own bytes, all zero here
  ExpectRightEdgeIntact();
}

TEST_F(MessageScreenTest, ZeroedAndShortRecords) {
  ShowMessageDetail(hc.console, {});
  EXPECT_EQ(At(18, 2, 2), "0 ");
  EXPECT_EQ(At(3, 5, 76), std::string(76, ' '));
  const std::vector<uint8_t> bytes = {0xFF, 0xFF, 0xFF, 0xFF, 'H', 'i'};
  ShowMessageDetail(hc.console, bytes);
  EXPECT_EQ(At(18, 2, 11), "4294967295 ");
  EXPECT_EQ(At(3, 5, 3), "Hi ");
  ExpectRightEdgeIntact();
}

TEST(MessageTitleTest, NumberInDecimalAndHex) {
  const struct {
    uint32_t number;
    const char* title;
  } cases[] = {
      {255, "TORVEXNT - Message : 255 (0xff)"},
      {0, "TORVEXNT - Message : 0 (0x0)"},
      {1, "TORVEXNT - Message : 1 (0x1)"},
      {4096, "TORVEXNT - Message : 4096 (0x1000)"},
      {0x7FFFFFFF, "TORVEXNT - Message : 2147483647 (0x7fffffff)"},
  };
  for (const auto& c : cases) {
    MessageRecord message;
    message.setNumber(c.number);
    EXPECT_EQ(MessageTitle(message.bytes()), c.title) << c.number;
  }
}

// The browser itself over a file.
class MessageBrowserTest : public MessageScreenTest {
 protected:
  void Run() {
    Keys("q");
    RunMessageBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
  std::string NumberShown() const {
    const std::string text = At(18, 2, 12);
    return text.substr(0, text.find(' '));
  }
};

TEST_F(MessageBrowserTest, SearchFindsTextInAnyLine) {
  MakeMessages(
      {Message(1, "first"), Message(2, "nothing", "to see"), Message(3, "", "", "a NeeDLe here")});
  Keys("Sneedle\r");  // straight to the prompt, found only in line 3
  Run();
  EXPECT_FALSE(EverShown("Select how you would like to search:"));
  EXPECT_GT(WindowsTitled("Search Messages"), 0);
  EXPECT_TRUE(EverShown("sensetive):"));
  EXPECT_EQ(NumberShown(), "3");
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Message : 3 (0x3)");
}

TEST_F(MessageBrowserTest, SearchLooksAtTheSecondLineAndEndsOnTheFirstRecord) {
  MakeMessages({Message(1, "first"), Message(2, "nothing", "Hidden"), Message(3, "last")});
  Keys("Shidden\r");
  Keys("S");
  Vk('X', kCtrl);  // the prompt offers the last text typed
  Keys("zzz\r ");
  Run();
  EXPECT_TRUE(EverShown("\"zzz\""));
  EXPECT_EQ(WindowsTitled("No Results"), 1);
  EXPECT_EQ(NumberShown(), "1");
}

TEST_F(MessageBrowserTest, HelpJumpMacrosAndRawDump) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  MakeMessages({Message(1, "one"), Message(255, "two")});
  Keys("?\r");
  Keys("G255\r");
  Vk(vk::kF1 + 2, kCtrl);
  Vk('E', kCtrl);
  Keys("F");
  Keys("E");       // no extended view
  Vk('S', kCtrl);  // no simulator
  Vk(vk::kF1 + 2);
  Run();
  EXPECT_EQ(WindowsTitled("Messages Help"), 1);
  EXPECT_TRUE(EverShown("  S    Search for a specific message"));
  EXPECT_FALSE(EverShown("^S"));
  EXPECT_GT(WindowsTitled("Goto Message"), 0);
  EXPECT_TRUE(EverShown("Enter a message number to jump to:"));
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kMessage)][2], "255");
  EXPECT_EQ(std::filesystem::file_size(work.File("rawmsgnt-255.bin")), MessageRecord::kDiskLength);
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Message : 255 (0xff)");
  EXPECT_EQ(NumberShown(), "255");
}

}  // namespace
}  // namespace torvex::testing
