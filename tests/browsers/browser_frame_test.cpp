// The frame's keys, driven through a headless console over a real item file.
// The detail view here only notes which record it painted, so that every test
// reads the frame's behaviour and nothing of a particular screen.
#include "browsers/browser_frame.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "console/colour_text.h"
#include "console/keys.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

class FrameTest : public BrowserTest {
 protected:
  FrameTest() {
    d.file = kItemFile;
    d.kindWord = "Item";
    d.helpTitle = "Items Help";
    d.helpText = "Use the following keys.";
    d.searchTitle = "Search Items";
    d.jumpTitle = "Goto Item";
    d.jumpPrompt = "Enter an item number to jump to:";
    d.showDetail = [this](BrowserState& s) {
      const ItemRecord item(s.Record());
      shown.push_back(item.number());
      s.console.ClrScr();
      WriteColourAt(s.console, 1, 1, "record " + std::to_string(item.number()));
    };
    d.windowTitle = [](std::span<const uint8_t> r) {
      const ItemRecord item(r);
      return NamedRecordTitle("Item", item.name(), static_cast<int32_t>(item.number()));
    };
    d.macros = MacroKind::kItem;
    d.rawDumpName = [](std::span<const uint8_t> r) {
      return "rawitemsnt-" + std::to_string(RecordNumberAt0(r)) + ".bin";
    };
    d.searches = {TextSearchOption("Search for Name", kTextSearchPrompt, [](auto r) {
      return std::vector<std::string>{ItemRecord(r).name()};
    })};
  }

  void Run() {
    Keys("q");
    RunBrowser(hc.console, d);
    EXPECT_EQ(hc.display.PendingKeys(), 0u) << "the browser left before the script ended";
  }
  // The record the screen shows at the end.
  uint32_t OnScreen() const { return shown.empty() ? 0 : shown.back(); }

  BrowserDescription d{kItemFile};
  std::vector<uint32_t> shown;
};

TEST_F(FrameTest, LogicalNavigationStopsAtBothEndsAndKeepsTheRecord) {
  MakeItems({Item(1), Item(2), Item(3)});
  Keys("< ");  // before the first: end of file, dismissed with a key
  Keys(">+");
  Vk(vk::kRight);  // past the last
  Keys(" ");
  Vk(vk::kF1 + 2, kCtrl);  // stores what the screen shows, not what a failed read left
  Keys("-");
  Vk(vk::kLeft);
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 2, 3, 2, 1}));
  EXPECT_EQ(WindowsTitled("Error"), 2);
  EXPECT_TRUE(EverShown("Status: 9 "));
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kItem)][2], "3");
}

TEST_F(FrameTest, FirstLastAndLowerCaseLetters) {
  MakeItems({Item(1), Item(2), Item(3)});
  Keys("lfLF");
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 3, 1, 3, 1}));
}

TEST_F(FrameTest, PhysicalStepsLeaveNoLogicalPositionUntilFirst) {
  MakeItems({Item(3), Item(1), Item(2)});  // file order 3, 1, 2
  Keys("}");                               // after 1 in file order: 2
  Keys("} ");                              // 2 is last in file order
  Keys("{{");                              // 1, then 3
  Keys("> ");                              // no logical position after a step
  Keys("F>");
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 2, 1, 3, 1, 2}));
  EXPECT_EQ(WindowsTitled("Error"), 2);
  EXPECT_TRUE(EverShown("Status: 8 "));
}

TEST_F(FrameTest, JumpPrompt) {
  MakeItems({Item(1), Item(2), Item(42)});
  Keys("G42\r");
  Keys("g0\r");             // 0: nothing
  Keys("G\x1b");            // cancelled: nothing
  Keys("G7\r ");            // missing: reported, screen repainted from the buffer
  Keys("G12345678901\r ");  // ten characters at most: 1234567890 does not exist
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 42, 42, 42}));
  EXPECT_TRUE(EverShown("Status: 4 "));
}

TEST_F(FrameTest, MacroStoreJumpAndClear) {
  MakeItems({Item(1), Item(117), Item(200)});
  Keys(">");
  Vk(vk::kF1 + 2, kCtrl);  // Ctrl+F3 on 117
  Keys("L");
  Vk(vk::kF1 + 2);  // F3: back to 117
  ASSERT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kItem)][2], "");
  Keys("F");
  Vk(vk::kF1 + 2, kShift);  // Shift+F3 clears
  Vk(vk::kF1 + 2);          // nothing now
  Vk(vk::kF1 + 9);          // F10, never set: nothing
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 117, 200, 117, 1}));
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kItem)][2], "");
}

TEST_F(FrameTest, MacroSlotsComeFromTheSettings) {
  MakeItems({Item(1), Item(5), Item(9)});
  auto& slots = CurrentSettings().macros[static_cast<size_t>(MacroKind::kItem)];
  slots[0] = "9";
  slots[1] = "five";  // malformed: does nothing
  slots[9] = "8";     // missing record: reported, repainted
  Vk(vk::kF1);
  Vk(vk::kF1 + 1);
  Vk(vk::kF1 + 9);
  Keys(" ");
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 9, 9}));
  EXPECT_EQ(WindowsTitled("Error"), 1);
}

TEST_F(FrameTest, BrowsersWithoutMacrosIgnoreFunctionKeys) {
  MakeItems({Item(1), Item(2)});
  d.macros.reset();
  CurrentSettings().macros[static_cast<size_t>(MacroKind::kItem)][0] = "2";
  Vk(vk::kF1);
  Vk(vk::kF1 + 1, kCtrl);
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1}));
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kItem)][1], "");
}

TEST_F(FrameTest, SearchFindsTheNextMatchNotTheCurrentRecord) {
  MakeItems({Item(1, "Iron Sword"), Item(2, "Bread"), Item(3, "long sword"), Item(4, "Shield")});
  Keys("S\rSWORD\r");  // from 1 (a match itself): finds 3
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 3}));
  EXPECT_TRUE(EverShown("[Search Items]"));
  EXPECT_TRUE(EverShown("Search for Name"));
}

TEST_F(FrameTest, FailedSearchEndsOnTheFirstRecord) {
  MakeItems({Item(1, "Iron Sword"), Item(2, "Bread"), Item(3, "long sword")});
  Keys("L");
  Keys("S\rsword\r ");  // nothing after the last record
  Keys("S\x1b");        // choice cancelled
  Keys("S\r\r");        // the prompt offers the last text again: from 1 finds 3
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 3, 1, 3}));
  EXPECT_EQ(WindowsTitled("No Results"), 1);
  EXPECT_TRUE(EverShown("No records matching your search query,"));
  EXPECT_TRUE(EverShown("\"sword\", were"));
}

TEST_F(FrameTest, SearchAfterPhysicalStepsStillEndsOnTheFirstRecord) {
  MakeItems({Item(1, "a"), Item(2, "b"), Item(3, "b")});
  Keys("}");  // physical: Get Next has no position, so 3 is not found
  Keys("S\rb\r ");
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 2, 1}));
  EXPECT_EQ(WindowsTitled("No Results"), 1);
}

TEST_F(FrameTest, RawDumpWritesTheRecordAsReturned) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  ItemRecord item = Item(42);
  item.setDescription(0, "bytes as they are");
  MakeItems({Item(1), item});
  Keys(">");
  Vk('E', kCtrl);
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 42}));  // no repaint after the dump
  std::ifstream in_file(work.File("rawitemsnt-42.bin"), std::ios::binary);
  ASSERT_TRUE(in_file);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in_file)), {});
  EXPECT_EQ(bytes.size(), ItemRecord::kDiskLength);
  EXPECT_EQ(bytes, Bytes(item));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(work.path()), {}), 1)
      << "a temporary file was left behind";
}

TEST_F(FrameTest, RawDumpThatCannotBeWrittenIsSilent) {
  btrieve::testing::TempDir work;
  MakeItems({Item(1)});
  const std::string target = work.File("missing-dir/dump.bin");
  d.rawDumpName = [&](std::span<const uint8_t>) { return target; };
  Vk('E', kCtrl);
  Keys(">");  // the browser still answers keys afterwards
  Keys(" ");
  Run();
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_EQ(shown, (std::vector<uint32_t>{1}));
  EXPECT_EQ(WindowsTitled("Error"), 1);  // the end of file only
  EXPECT_FALSE(WriteRawDump(target, {}));
}

TEST_F(FrameTest, ExtendedViewerLeavesTheBrowserOnItsRecord) {
  MakeItems({Item(1), Item(2), Item(3)});
  BrowserDescription extended = d;
  extended.kindWord = "ItemEx";
  extended.extendedViewer = nullptr;
  extended.macros.reset();
  std::vector<uint32_t> extendedShown;
  extended.showDetail = [&](BrowserState& s) {
    extendedShown.push_back(ItemRecord(s.Record()).number());
  };
  d.extendedViewer = [&](BrowserState& s) { RunKeyLoop(s, extended); };
  Keys("E>>Q");
  Run();
  EXPECT_EQ(extendedShown, (std::vector<uint32_t>{1, 2, 3}));
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 3}));
}

TEST_F(FrameTest, HelpWindowInTheHelpStyle) {
  MakeItems({Item(1)});
  Keys("? ");
  Run();
  EXPECT_EQ(WindowsTitled("Items Help"), 1);
  EXPECT_EQ(shown.size(), 1u);  // the window restores the screen itself
}

TEST_F(FrameTest, TitleNamesTheRecord) {
  ItemRecord unnamed;
  unnamed.setNumber(9);
  MakeItems({Item(7, "Lamp"), unnamed});
  Run();
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Item : Lamp (7)");
  Keys(">");
  Run();
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Item : <unnamed> (9)");
}

TEST_F(FrameTest, SimulatorFailureIsReportedAndTheBrowserGoesOn) {
  MakeItems({Item(1), Item(2)});
  d.simulator = [](BrowserState&, std::span<const uint8_t>) { throw std::runtime_error("boom"); };
  Vk('S', kCtrl);
  Keys(" >");
  Run();
  EXPECT_TRUE(EverShown("Fatal Exception: boom at 0x"));
  EXPECT_TRUE(EverShown("Press any key to return to viewer."));
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 1, 2}));
}

TEST_F(FrameTest, EndOfProgramRequestPassesThroughTheSimulatorGuard) {
  MakeItems({Item(1)});
  d.simulator = [](BrowserState&, std::span<const uint8_t>) { throw TerminationRequest(15); };
  Vk('S', kCtrl);
  EXPECT_THROW(RunBrowser(hc.console, d), TerminationRequest);
  // The file was closed on the way out: it can be replaced at once.
  MakeItems({Item(5)});
  Run();
  EXPECT_EQ(shown.back(), 5u);
}

TEST_F(FrameTest, MissingFileShowsTheErrorAndReturns) {
  Keys(" ");
  RunBrowser(hc.console, d);
  EXPECT_EQ(WindowsTitled("Error"), 1);
  EXPECT_TRUE(EverShown("Status: 12 "));
  EXPECT_TRUE(shown.empty());
}

TEST_F(FrameTest, EmptyFileReturnsWithoutDrawing) {
  MakeItems({});
  RunBrowser(hc.console, d);
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(hc.display.AtKeyWaits().empty());
}

TEST_F(FrameTest, EscAndXLeave) {
  MakeItems({Item(1)});
  for (const char* key : {"\x1b", "x", "X"}) {
    Keys(key);
    RunBrowser(hc.console, d);
    EXPECT_EQ(hc.display.PendingKeys(), 0u) << key;
  }
}

TEST_F(FrameTest, SixteenBitKeyRefusesNumbersItCannotHold) {
  // 70000 would be 4464 cut to 16 bits: it must not land there.
  MakeItems({Item(1), Item(4464)});
  d.key = Number16Key();
  CurrentSettings().macros[static_cast<size_t>(MacroKind::kItem)][0] = "70000";
  Keys("G70000\r ");
  Vk(vk::kF1);
  Keys(" G4464\r");
  Vk(vk::kF1 + 1, kCtrl);
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 1, 1, 4464}));
  EXPECT_EQ(WindowsTitled("Error"), 2);
  EXPECT_TRUE(EverShown("Status: 4 "));
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kItem)][1], "4464");
}

TEST_F(FrameTest, WithoutAKeyThereIsNoJumpAndNoMacro) {
  MakeItems({Item(1), Item(2)});
  d.key.reset();
  CurrentSettings().macros[static_cast<size_t>(MacroKind::kItem)][0] = "2";
  Keys("G");
  Vk(vk::kF1);
  Keys("2\r");  // had a prompt opened, this would have jumped
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1}));
  EXPECT_FALSE(EverShown("[Goto Item]"));
}

TEST_F(FrameTest, KeysSwitchedOffAreIgnored) {
  MakeItems({Item(1), Item(2), Item(3)});
  d.keysOff = {'L', key::kRight};
  Keys("l");
  Vk(vk::kRight);
  Keys(">");
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 2}));
}

TEST_F(FrameTest, OneSearchWithoutTheListUsesItsOwnTitle) {
  MakeItems({Item(1, "Bread"), Item(2, "Sword")});
  d.searches.front().promptTitle = "Search Races";
  d.searchWithoutList = true;
  Keys("Ssword\r");
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 2}));
  EXPECT_TRUE(EverShown("[Search Races]"));
  EXPECT_FALSE(EverShown("Select how you would like to search:"));
}

TEST_F(FrameTest, NumberSearchUsesTheNumberAndItsNotFoundText) {
  ItemRecord a = Item(1), b = Item(2), c = Item(3);
  b.setLimit(7);
  c.setLimit(9);
  MakeItems({a, b, c});
  d.searches = {NumberSearchOption(
      "Search for Limit", "Enter limit:", "No limit \"%d\" here.",
      [](std::span<const uint8_t> r, int32_t n) { return ItemRecord(r).limit() == n; })};
  // Each prompt offers the last text typed; Ctrl+X clears it.
  Keys("S\r9\r");          // found after the current record
  Keys("S\r\x18seven\r");  // not a number: nothing
  Keys("S\r\x1b");         // cancelled: nothing
  Keys(
      "S\r\x18"
      "7\r ");  // 7 lies behind: not found, back to the first
  Run();
  EXPECT_EQ(shown, (std::vector<uint32_t>{1, 3, 1}));
  EXPECT_TRUE(EverShown("No limit \"7\" here."));
  EXPECT_EQ(WindowsTitled("No Results"), 1);
}

TEST(ContainsIgnoringCaseTest, Cases) {
  EXPECT_TRUE(ContainsIgnoringCase("Long Sword", "sWoRd"));
  EXPECT_TRUE(ContainsIgnoringCase("abc", ""));
  EXPECT_FALSE(ContainsIgnoringCase("Sword", "swords"));
  EXPECT_FALSE(ContainsIgnoringCase("", "a"));
}

}  // namespace
}  // namespace torvex::testing
