// The text-block screens cell by cell (the decoded detail screen, the game
// view and the annotated view), the title and jump key, and the browser's keys, search and
// exports over a real text file.
#include "browsers/text_block_browser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "browsers/detail_writer.h"
#include "console/keys.h"
#include "database/records/text_block_text.h"
#include "tests/browsers/ability_file_support.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

// A part as the file stores it: the head, the encoded text and its zero.
std::vector<uint8_t> Part(uint32_t block, uint16_t part, const std::string& text,
                          uint32_t link = 0) {
  TextBlockRecord record;
  record.setBlockNumber(block);
  record.setPart(part);
  record.setLinkTo(link);
  record.setText(EncodeStoredText(text));
  return {record.data(), record.data() + record.storedLength()};
}

std::string Lines(int count, const std::string& stem = "line ") {
  std::string text;
  for (int i = 1; i <= count; ++i) text += stem + std::to_string(i) + "\n";
  return text;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TextBlockTest : public BrowserTest {
 protected:
  void Show(const std::vector<uint8_t>& record) { ShowTextBlockDetail(hc.console, record); }
  void Run() {
    Keys("q");
    RunTextBlockBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
  // The block and part the detail screen shows.
  std::string Shown() const {
    auto field = [this](int column) {
      const std::string text = At(column, 2, 12);
      return text.substr(0, text.find(' '));
    };
    return field(18) + "/" + field(64);
  }
};

TEST_F(TextBlockTest, DetailShowsTheDecodedTextAsGlyphs) {
  const std::vector<uint8_t> record =
      Part(12, 1, "pull lever:giveitem 5\n|04Red|07 and \x1b[1mbold\n\nlast", 34);
  const std::vector<uint8_t> before = record;
  Show(record);
  ExpectCells({{18, 2, "12 ", 15},
               {64, 2, "1 ", 15},
               {18, 3, "34 ", 15},
               {1, 5, "pull lever:giveitem 5 ", 15},
               // Colour codes and escape sequences are written, not obeyed.
               {1, 6, "|04Red|07 and \x1b[1mbold ", 15},
               {11, 6, "a", 15},
               {1, 7, std::string(80, ' ')},
               {1, 8, "last ", 15},
               {1, 9, "**** ", 9}});
  EXPECT_EQ(hc.console.WhereX(), 3);
  EXPECT_EQ(hc.console.WhereY(), 49);
  EXPECT_EQ(record, before);
}

TEST_F(TextBlockTest, LongLinesTakeRowsOf80AndTheTextStopsAtRow47) {
  struct Case {
    const char* name;
    std::string text;
    int rows;  // rows the text takes; the end mark follows unless 43
    std::string lastRow;
  };
  const Case cases[] = {
      {"empty", "", 0, ""},
      {"80 characters", std::string(80, 'x'), 1, std::string(80, 'x')},
      {"81 characters", std::string(81, 'y'), 2, "y "},
      {"final line feed", "one\n", 1, "one "},
      {"empty line", "a\n\nb", 3, "b "},
      {"2047 characters", std::string(2000, 'w') + std::string(47, 'v'), 26, std::string(47, 'v')},
      {"42 lines", Lines(42), 42, "line 42 "},
      {"43 lines", Lines(43), 43, "line 43 "},
      {"60 lines", Lines(60), 43, "line 43 "},
      {"42 lines and a long one", Lines(42) + std::string(100, 'z'), 43, std::string(80, 'z')},
  };
  for (const Case& c : cases) {
    Show(Part(1, 0, c.text));
    const int next = 5 + c.rows;
    if (c.rows > 0) {
      EXPECT_EQ(At(1, next - 1, static_cast<int>(c.lastRow.size())), c.lastRow) << c.name;
    }
    if (c.rows < 43) {
      EXPECT_EQ(At(1, next, 5), "**** ") << c.name;
      EXPECT_EQ(Fg(1, next), 9) << c.name;
    } else {
      EXPECT_EQ(At(1, 48, 80), std::string(80, ' ')) << c.name;
    }
    EXPECT_EQ(hc.console.CellAt(0, 0).ch, 0xDA) << c.name;  // nothing scrolled
  }
}

TEST(TextBlockTitleTest, BlockAndPartInDecimalAndHex) {
  EXPECT_EQ(TextBlockTitle(Part(12, 1, "x")), "TORVEXNT - Text : 12/1 (0xc/0x1)");
  EXPECT_EQ(TextBlockTitle(Part(255, 16, "")), "TORVEXNT - Text : 255/16 (0xff/0x10)");
  EXPECT_EQ(TextBlockTitle({}), "TORVEXNT - Text : 0/0 (0x0/0x0)");
}

TEST(TextBlockKeyTest, ABlockNumberNamesItsPartZero) {
  struct Case {
    const char* text;
    bool target;
    int16_t status;
    uint32_t block;
  };
  const Case cases[] = {
      {"12", true, 0, 12},        {"65535", true, 0, 0xFFFF}, {"65536", true, 4, 0},
      {"4294967312", true, 4, 0}, {"-3", true, 4, 0},         {"0", false, 0, 0},
      {"", false, 0, 0},          {"12abc", false, 0, 0},
  };
  const RecordKey key = TextBlockKey();
  const std::vector<uint8_t> shown = Part(7, 3, "shown");
  for (const Case& c : cases) {
    const std::optional<KeyTarget> target = key.TargetFor(c.text, shown);
    ASSERT_EQ(target.has_value(), c.target) << c.text;
    if (!target) continue;
    EXPECT_EQ(target->status, c.status) << c.text;
    if (c.status != 0) continue;
    std::vector<uint8_t> expected(18, 0);
    expected[16] = static_cast<uint8_t>(c.block);
    expected[17] = static_cast<uint8_t>(c.block >> 8);
    EXPECT_EQ(target->key, expected) << c.text;
  }
  EXPECT_EQ(key.macroText(Part(70000, 3, "")), "70000");
}

TEST(ColourTextColumnsTest, CodesTakeNoColumnAndADoubledBarOne) {
  const std::pair<std::string, size_t> cases[] = {
      {"", 0},     {"abc", 3},     {"|04abc|07", 3}, {"||", 1},
      {"a||b", 3}, {"x|||05y", 3}, {"a|0", 1},       {"|1", 0},
  };
  for (const auto& [text, columns] : cases) {
    EXPECT_EQ(ColourTextColumns(text), columns) << text;
    // Clipping at the width it takes keeps the whole text.
    EXPECT_EQ(ClipColourText(text, static_cast<int>(columns)), text) << text;
  }
}

TEST(CrLfLineEndsTest, EveryLineFeedEndsWithCarriageReturnOnce) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"a\nb", "a\r\nb"},
      {"a\n", "a\r\n"},
      {"\n\n", "\r\n\r\n"},
      {"a\r\nb\n", "a\r\nb\r\n"},
      {"cr\ronly", "cr\ronly"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(CrLfLineEnds(text), expected) << text;
}

class TextFileTest : public TextBlockTest {
 protected:
  void SetUp() override {
    TextBlockTest::SetUp();
    MakeFile(kTextFile, {Part(3, 0, "first"), Part(5, 0, "!\"#"),  // stored as "ABC"
                         Part(7, 0, "the abc here"), Part(12, 0, "twelve"),
                         Part(12, 1, "one\ntwo\r\n|04three\xb3", 99), Part(20, 0, "last")});
  }
};

TEST_F(TextFileTest, SearchLooksAtTheDecodedTextOnly) {
  Keys("Sabc\r");  // straight to the prompt; 5/0 holds "ABC" only in its stored form
  Run();
  EXPECT_FALSE(EverShown("Select how you would like to search:"));
  EXPECT_GT(WindowsTitled("Search Text Blocks"), 0);
  EXPECT_TRUE(EverShown("sensetive):"));
  EXPECT_EQ(Shown(), "7/0");
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Text : 7/0 (0x7/0x0)");

  Keys("Sthree\r");
  Run();
  EXPECT_EQ(Shown(), "12/1");
  Keys("LSabc\r ");  // nothing after 20/0: back to the first part
  Run();
  EXPECT_EQ(WindowsTitled("No Results"), 1);
  EXPECT_TRUE(EverShown("No records matching your search query"));
  EXPECT_TRUE(EverShown("\"abc\""));
  EXPECT_EQ(Shown(), "3/0");
}

TEST_F(TextFileTest, JumpsAndMacrosGoToPartZeroOfTheBlock) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  Keys("G12\r>");  // 12/1
  Vk(vk::kF1 + 4, kCtrl);
  Vk('E', kCtrl);
  Keys("G20\r");
  Vk(vk::kF1 + 4);
  Run();
  EXPECT_TRUE(EverShown("Enter a text block number"));
  EXPECT_GT(WindowsTitled("Goto Text Block"), 0);
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kText)][4], "12");
  EXPECT_EQ(Shown(), "12/0");
  // Ctrl+E dumps nothing in this browser.
  EXPECT_FALSE(std::filesystem::exists(work.File("rawtextnt-12.1.bin")));

  Keys("G13\r ");  // no block 13: the error, and the screen stays
  Run();
  EXPECT_EQ(WindowsTitled("Error"), 1);
  EXPECT_EQ(Shown(), "3/0");
}

TEST_F(TextFileTest, ExportsWriteTheDecodedTextWholeOrNotAtAll) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  Keys("G12\r>R\rE\r?\r");
  Run();
  EXPECT_EQ(FileText(work.File("textblock.raw.12.1.txt")), "one\ntwo\r\n|04three\xb3");
  EXPECT_EQ(FileText(work.File("textblock.12.1.txt")), "one\r\ntwo\r\n|04three\xb3");
  EXPECT_EQ(WindowsTitled("Export Successful"), 2);
  EXPECT_TRUE(EverShown("Successfully exported the text block to file"));
  EXPECT_TRUE(EverShown("\"textblock.12.1.txt\"!"));
  EXPECT_EQ(WindowsTitled("Text Block Help"), 1);
  EXPECT_TRUE(EverShown("  E    Exports line adjusted text block"));

  // A target the writer refuses: the error window, and no file half-written.
  std::filesystem::create_directory(work.File("textblock.12.0.txt"));
  Keys("G12\rE\r");
  Run();
  EXPECT_EQ(WindowsTitled("Export Error"), 1);
  EXPECT_TRUE(EverShown("Couldn't export the text block to file"));
  EXPECT_TRUE(EverShown("\"textblock.12.0.txt\"!"));
  EXPECT_TRUE(std::filesystem::is_directory(work.File("textblock.12.0.txt")));
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(work.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 3u);
}

TEST_F(TextBlockTest, TheGameViewObeysTheTextItShows) {
  MakeFile(kTextFile, {Part(4, 0, "part zero"), Part(4, 1, "Hi \x1b[1;31mred\x1b[0m!\nline2")});
  Keys(">A ");
  Run();
  // The key wait at "Press any key to return...".
  ASSERT_EQ(hc.display.AtKeyWaits().size(), 4u);
  const auto& shown = hc.display.AtKeyWaits()[2];
  EXPECT_EQ(shown.Text(0, 0, 8), "Hi red! ");
  EXPECT_EQ(shown.At(0, 0).attr & 0x0F, 2);  // the game's green
  EXPECT_EQ(shown.At(3, 0).attr & 0x0F, 12);
  EXPECT_EQ(shown.Text(0, 1, 6), "line2 ");
  EXPECT_EQ(shown.Text(0, 2, 27), "Press any key to return... ");
  EXPECT_EQ(shown.Text(0, 3, 80), std::string(80, ' '));
  EXPECT_EQ(Shown(), "4/1");  // the detail screen is back afterwards
}

TEST_F(TextFileTest, AnExportOfAPartTheCacheCannotReadIsAnError) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  TInputManager input(hc.console);
  Keys(" ");
  EXPECT_FALSE(ExportTextBlock(input, 13, 0, false));
  EXPECT_EQ(WindowsTitled("Export Error"), 1);
  EXPECT_FALSE(std::filesystem::exists(work.File("textblock.raw.13.0.txt")));
}

TEST_F(TextBlockTest, TheLongestPartsReadWholeAndSearchesPassThem) {
  const std::string longest = std::string(2042, '.') + "ZZEND";
  ASSERT_EQ(Part(2, 0, longest).size(), TextBlockRecord::kSize);
  MakeFile(kTextFile, {Part(1, 0, "first"), Part(2, 0, longest), Part(3, 0, "after zzend")});
  Keys(">");
  Run();
  EXPECT_EQ(WindowsTitled("Error"), 0);
  EXPECT_EQ(Shown(), "2/0");
  EXPECT_EQ(At(43, 30, 6), "ZZEND ");  // 2047 characters: 25 full rows and 47 more
  Keys("Fszzend\rs");
  Vk('X', kCtrl);  // the prompt offers the last text typed
  Keys("zzend\r");
  Run();
  EXPECT_EQ(WindowsTitled("No Results"), 0);
  EXPECT_EQ(Shown(), "3/0");
}

class AnnotatedTest : public TextBlockTest {
 protected:
  void SetUp() override {
    TextBlockTest::SetUp();
    MakeItems({Item(5, "Rusty Sword")});
    MonsterRecord goblin;
    goblin.setNumber(9);
    goblin.setName("Goblin");
    MakeFile(kMonsterFile, {Bytes(goblin)});
    SpellRecord firebolt;
    firebolt.setNumber(3);
    firebolt.setName("Firebolt");
    MakeFile(kSpellFile, {Bytes(firebolt)});
    ClassRecord warrior;
    warrior.setNumber(2);
    warrior.setName("Warrior");
    MakeFile(kClassFile, {Bytes(warrior)});
    RaceRecord dwarf;
    dwarf.setNumber(4);
    dwarf.setName("Dwarf");
    MakeFile(kRaceFile, {Bytes(dwarf)});
  }
  OpenedAbilityFile abilities_{{{7, "Strength", 0x0B, 0}}};
};

TEST_F(AnnotatedTest, CommandsSeparatedAndRecordsNamedInTheirColours) {
  Keys(" ");
  ShowAnnotatedTextBlock(hc.console, Part(40, 2,
                                          "pull lever:GIVEITEM 5:summon 9\n"
                                          "cast 3:class 2:race 4:addability 7 10\n"
                                          "casting 3:giveitem 0:takeitem 77:giveitem\n"
                                          "plain |04text\x1b[0m",
                                          41));
  const std::string row3 = "pull lever:GIVEITEM 5 Rusty Sword:summon 9 Goblin ";
  const std::string row4 = "cast 3 Firebolt:class 2 Warrior:race 4 Dwarf:addability 7 10 Strength ";
  ExpectCells({
      {1, 1, "Block 40, part 2, linked to 41", 3},
      {7, 1, "40", 15},
      {1, 3, row3, 3},
      {11, 3, ":", 8},
      {12, 3, "G", 3},
      {23, 3, "Rusty Sword", 11},
      {34, 3, ":", 8},
      {44, 3, "Goblin", 15},
      {1, 4, row4, 3},
      {8, 4, "Firebolt", 14},
      {25, 4, "Warrior", 9},
      {40, 4, "Dwarf", 10},
      {62, 4, "Strength", 13},
      // Not exactly CAST, record 0, a record that is not there: no names.
      {1, 5, "casting 3:giveitem 0:takeitem 77:giveitem ", 3},
      // A game text's codes are shown, not obeyed.
      {1, 6, "plain |04text\x1b[0m ", 3},
      {13, 6, "t", 3},
      {1, 7, "Press any key to return... ", 7},
  });
}

TEST_F(AnnotatedTest, PagesStopAtRow47AndEscEndsTheListing) {
  Keys("  ");
  ShowAnnotatedTextBlock(hc.console, Part(1, 0, Lines(60)));
  ASSERT_EQ(hc.display.AtKeyWaits().size(), 2u);
  const auto& first = hc.display.AtKeyWaits()[0];
  EXPECT_EQ(first.Text(0, 46, 8), "line 45 ");
  EXPECT_EQ(first.Text(0, 47, 80), std::string(80, ' '));
  EXPECT_EQ(first.Text(0, 48, 26), "Hit any key to continue...");
  const auto& second = hc.display.AtKeyWaits()[1];
  EXPECT_EQ(second.Text(0, 0, 8), "line 46 ");
  EXPECT_EQ(second.Text(0, 14, 8), "line 60 ");
  EXPECT_EQ(second.Text(0, 15, 26), "Press any key to return...");

  // A line wider than what is left of a page starts the next page whole.
  Vk(vk::kEscape, 0, 27);
  Keys(" ");
  ShowAnnotatedTextBlock(hc.console, Part(1, 0, Lines(44) + std::string(200, 'q') + "\nnever"));
  ASSERT_EQ(hc.display.AtKeyWaits().size(), 4u);
  EXPECT_EQ(hc.display.AtKeyWaits()[2].Text(0, 45, 8), "line 44 ");
  EXPECT_EQ(hc.display.AtKeyWaits()[2].Text(0, 46, 80), std::string(80, ' '));
  const auto& ended = hc.display.AtKeyWaits()[3];
  EXPECT_EQ(ended.Text(0, 0, 26), "Press any key to return...");
  EXPECT_FALSE(EverShown("never"));
}

}  // namespace
}  // namespace torvex::testing
