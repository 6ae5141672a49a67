// The item screens cell by cell for a few telling records, and the item
// browser's own keys and searches over a real item file.
#include "browsers/item_browser.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "database/ability_names.h"
#include "database/settings.h"
#include "tests/browsers/ability_file_support.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

constexpr uint16_t kStrength = 200;
constexpr uint16_t kLongName = 201;

class ItemScreenTest : public BrowserTest {
 protected:
  void Show(const ItemRecord& item) { ShowItemDetail(hc.console, item.bytes()); }
  std::string At(int column, int row, int length) const { return hc.Text(column, row, length); }
  int Fg(int column, int row) const { return hc.Attr(column, row) & 0x0F; }
  // The frame's right edge on every row: nothing written ran over it.
  void ExpectRightEdgeIntact() const {
    for (int row = 2; row <= 49; ++row) {
      if (row == 4 || row == 14 || row == 17 || row == 27 || row == 48) continue;  // ┤
      EXPECT_EQ(hc.console.CellAt(79, row - 1).ch, 0xB3) << "row " << row;         // │
    }
  }

  static ItemRecord Sword() {
    ItemRecord item = Item(42, "Long Sword");
    item.setLimit(3);
    item.setLoreDifficulty(12);
    item.setWeight(50);
    item.setItemType(1);
    item.setWornOn(-1);  // outside the table
    item.setArmourType(2);
    item.setWeaponType(7);
    item.setMaterial(1);
    item.setUses(-1);
    item.setEnergyMod(1000);
    item.setCost(250);
    item.setCostCurrency(2);
    item.setMinHit(3);
    item.setMaxHit(9);
    item.setSpeed(4);
    item.setAccuracy(-5);
    item.setRequiredStrength(20);
    item.setArmourClass(35);
    item.setDamageReduction(7);
    item.setPoofOnDeath(1);
    item.setRobbable(1);
    item.setHitMessage(101);
    item.setMissMessage(102);
    item.setDestructMessage(104);
    item.setDescription(0, "A fine blade.");
    item.setDescription(2, "never shown: the empty line before it ends the block");
    item.setLoreDescription(0, "Lore one");
    item.setLoreDescription(1, "Lore two");
    item.setAbilityNumbers(0, kStrength);
    item.setAbilityValues(0, 5);
    item.setAbilityNumbers(1, 0x1234);
    item.setAbilityValues(1, -1);
    return item;
  }

  OpenedAbilityFile abilities_{{
      {kStrength, "Strength", 0x0B, 0},
      {kLongName, std::string(60, 'L'), 0x0C, 0},
  }};
};

struct CellCase {
  int column, row;
  const char* text;
};

TEST_F(ItemScreenTest, MainScreenFieldsWhereTheyBelong) {
  Show(Sword());
  const CellCase cases[] = {
      {18, 2, "42 "},
      {18, 3, "Long Sword "},
      {64, 3, "3 "},
      {18, 5, "weapon                   (1) "},
      {64, 5, "wornon--1  (-1)"},
      {18, 7, "steel                    (1)"},
      {64, 7, "12 "},
      {18, 8, "50 "},
      {64, 8, "-1 "},
      {18, 9, "250 gold "},
      {64, 9, "1000 "},
      {18, 10, "3 "},
      {64, 10, "9 "},
      {18, 11, "4 "},
      {64, 11, "-5 "},
      {18, 12, "20 "},
      {64, 12, "3.5/0.7 "},
      {18, 13, "[PoofOnDeath] [CanGet] [CanDrop] [CanRob] [KeepOnLastUse] "},
      {18, 15, "101 "},
      {64, 15, "102 "},
      {18, 16, "0 "},
      {64, 16, "104 "},
      {18, 18, "A fine blade. "},
      {18, 19, "      "},
      {18, 20, "      "},
      {18, 24, "Lore one "},
      {18, 25, "Lore two "},
      {18, 28, "(00c8:0005) Strength +5 "},
      {18, 29, "(1234:ffff) "},
      {2, 3, "(1) Item name"},
      {2, 49, ": "},
  };
  for (const CellCase& c : cases) {
    EXPECT_EQ(At(c.column, c.row, static_cast<int>(std::string(c.text).size())), c.text)
        << "column " << c.column << " row " << c.row;
  }
  EXPECT_EQ(Fg(18, 2), 15);
  EXPECT_EQ(Fg(64, 12), 15);
  EXPECT_EQ(hc.console.WhereX(), 3);
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdgeIntact();
}

TEST_F(ItemScreenTest, FlagsLitOrDim) {
  Show(Sword());  // poof, CanDrop (not-droppable 0) and rob lit; get and keep dim
  const struct {
    int column;
    int fg;
  } cells[] = {{18, 8}, {19, 9}, {30, 8}, {33, 7}, {42, 9}, {52, 9}, {61, 7}};
  for (const auto& c : cells) EXPECT_EQ(Fg(c.column, 13), c.fg) << "column " << c.column;

  ItemRecord other = Sword();
  other.setPoofOnDeath(0);
  other.setGettable(1);
  other.setNotDroppable(1);
  other.setKeepOnLastUse(1);
  Show(other);
  EXPECT_EQ(Fg(19, 13), 7);
  EXPECT_EQ(Fg(33, 13), 9);
  EXPECT_EQ(Fg(42, 13), 7);
  EXPECT_EQ(Fg(61, 13), 9);
}

TEST_F(ItemScreenTest, AbilityRowsColouredByTheAbilityFile) {
  Show(Sword());
  EXPECT_EQ(Fg(18, 28), 8);     // "("
  EXPECT_EQ(Fg(19, 28), 9);     // number
  EXPECT_EQ(Fg(23, 28), 1);     // ":"
  EXPECT_EQ(Fg(30, 28), 0x0B);  // the ability's colour
  EXPECT_EQ(AbilityRowText(kStrength, -1),
            "|08(|09"
            "00c8|01:|09ffff|08) |00|11Strength -1");
}

TEST_F(ItemScreenTest, HostileRecordStaysInsideItsFields) {
  ItemRecord item = Item(7);
  std::vector<uint8_t> bytes(item.bytes().begin(), item.bytes().end());
  std::fill_n(bytes.begin() + 173, 30, 'N');  // name without its zero
  bytes[175] = '\n';                          // a control byte shows, it does not act
  std::fill(bytes.begin() + 203, bytes.begin() + 569, 'D');  // six unterminated lines
  ItemRecord hostile(bytes);
  hostile.setItemType(0xFFFF);
  hostile.setMaterial(200);
  hostile.setCostCurrency(9);
  hostile.setAbilityNumbers(0, kLongName);
  hostile.setAbilityValues(0, 32767);
  Show(hostile);
  EXPECT_EQ(At(18, 3, 31), "NN\nNNNNNNNNNNNNNNNNNNNNNNNNNNN ");
  for (int row = 18; row <= 23; ++row) {
    EXPECT_EQ(At(18, row, 62), std::string(61, 'D') + " ") << "row " << row;
  }
  EXPECT_EQ(At(18, 5, 30), "itemtype--1              (-1) ");
  EXPECT_EQ(At(18, 7, 30), "materialtype--56         (-56)");
  EXPECT_EQ(At(18, 9, 17), "0 currencytype-9 ");
  EXPECT_EQ(At(30, 28, 50), std::string(50, 'L'));
  ExpectRightEdgeIntact();
}

TEST_F(ItemScreenTest, ShortBufferReadsAsZeros) {
  const std::vector<uint8_t> bytes = {5, 0, 0, 0};
  ShowItemDetail(hc.console, bytes);
  EXPECT_EQ(At(18, 2, 2), "5 ");
  EXPECT_EQ(At(18, 3, 2), "  ");
}

TEST_F(ItemScreenTest, ExtendedScreenNamesRestrictionsAndTreasure) {
  ClassRecord warrior;
  warrior.setNumber(2);
  warrior.setName("Warrior");
  MakeFile(kClassFile, {Bytes(warrior)});
  RaceRecord elf;
  elf.setNumber(1);
  elf.setName("Elf");
  MakeFile(kRaceFile, {Bytes(elf)});
  SpellRecord blast;
  blast.setNumber(5);
  blast.setName("Blast");
  MakeFile(kSpellFile, {Bytes(blast)});

  ItemRecord item = Sword();
  item.setClasses(0, 2);
  item.setClasses(1, 99);  // no such class
  item.setRaces(9, 1);
  item.setNegateSpells(0, 5);
  item.setRunic(1);
  item.setPlatinum(22);
  item.setGold(333);
  item.setSilver(4444);
  item.setCopper(55555);
  ShowItemExtended(hc.console, item.bytes());
  const CellCase cases[] = {
      {18, 2, "42 "},
      {18, 3, "Long Sword "},
      {64, 3, "3 "},
      {18, 5, "2     (Warrior                       ) "},
      {18, 6, "99    (                              ) "},
      {18, 7, "0     ("},
      {18, 24, "1     (Elf    "},
      {18, 15, "0     ("},
      {18, 26, "5      Blast "},
      {18, 27, "0 "},
      {18, 37, "1 "},
      {41, 37, "22 "},
      {64, 37, "333 "},
      {18, 38, "4444 "},
      {41, 38, "55555 "},
  };
  for (const CellCase& c : cases) {
    EXPECT_EQ(At(c.column, c.row, static_cast<int>(std::string(c.text).size())), c.text)
        << "column " << c.column << " row " << c.row;
  }
  EXPECT_EQ(At(24, 5, 1), "(");
  EXPECT_EQ(hc.console.WhereY(), 49);
}

// The browser itself over a file.
class ItemBrowserTest : public ItemScreenTest {
 protected:
  void Run() {
    Keys("q");
    RunItemBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
  std::string ItemNumberShown() const {
    const std::string text = At(18, 2, 10);
    return text.substr(0, text.find(' '));
  }
};

TEST_F(ItemBrowserTest, ExtendedViewerHandsBackItsRecord) {
  MakeItems({Item(1), Item(2), Item(3)});
  Keys("E");
  Keys(">");
  Keys("Q");
  Run();
  EXPECT_EQ(ItemNumberShown(), "2");
  EXPECT_EQ(At(2, 5, 11), "(3) Type   ");  // the main screen again
  EXPECT_TRUE(EverShown("(C) Classes"));
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Item : item 2 (2)");
}

TEST_F(ItemBrowserTest, SearchesOfTheMainViewer) {
  ItemRecord a = Item(1, "Dagger");
  ItemRecord b = Item(2, "Ring");
  b.setDescription(1, "It GLOWS faintly.");  // the second line counts
  ItemRecord c = Item(3, "Amulet");
  c.setNegateSpells(9, 77);
  c.setAbilityNumbers(19, kStrength);
  c.setAbilityValues(19, 3);
  MakeItems({a, b, c});
  Keys("S");
  Vk(vk::kDown);
  Keys("\rglows\r");  // description: 2
  Keys("F");
  Keys("S");
  Vk(vk::kDown);
  Vk(vk::kDown);
  Vk(vk::kDown);
  Keys("\r");
  Vk('X', kCtrl);  // the prompt offers the last text typed
  Keys("77\r");    // negated spell: 3
  Keys("F");
  Keys("S");
  Vk(vk::kUp);
  Vk(vk::kUp);
  Keys("\r");
  Vk('X', kCtrl);
  Keys("200/3\r");  // ability and value in one slot: 3
  Keys("S\r\r ");   // name again, offered the last text ("200/3"): none, back to 1
  Run();
  EXPECT_TRUE(EverShown("Search for Description"));
  EXPECT_TRUE(EverShown("Enter negated spell number"));
  EXPECT_EQ(WindowsTitled("No Results"), 1);
  EXPECT_EQ(ItemNumberShown(), "1");
}

TEST_F(ItemBrowserTest, ExtendedViewerOffersThreeSearches) {
  ItemRecord c = Item(3, "Amulet");
  c.setNegateSpells(0, 77);
  MakeItems({Item(1), Item(2), c});
  Keys("ES");
  Vk(vk::kUp);  // from the first option up to the last: negated spell
  Keys("\r77\rQ");
  Run();
  EXPECT_FALSE(EverShown("Search for Description"));
  EXPECT_TRUE(EverShown("Search for Negated Spell"));
  EXPECT_EQ(ItemNumberShown(), "3");
}

TEST_F(ItemBrowserTest, NegatedSpellSearchIgnoresZeroAndText) {
  MakeItems({Item(1), Item(2)});
  Keys("S");
  Vk(vk::kUp);
  Keys("\r0\r");
  Keys("S");
  Vk(vk::kUp);
  Keys("\r");
  Vk('X', kCtrl);
  Keys("abc\r");
  Run();
  EXPECT_EQ(WindowsTitled("No Results"), 0);
  EXPECT_EQ(ItemNumberShown(), "1");
}

TEST_F(ItemBrowserTest, RawDumpAndSimulatorKeys) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  MakeItems({Item(42)});
  Vk('E', kCtrl);
  Vk('S', kCtrl);  // not a weapon: the simulator says so and waits for a key
  Keys(" ");
  Run();
  EXPECT_EQ(std::filesystem::file_size(work.File("rawitemsnt-42.bin")), ItemRecord::kDiskLength);
  EXPECT_TRUE(EverShown("Item item 42 is NOT flagged as a weapon!"));
  EXPECT_EQ(ItemNumberShown(), "42");
}

// A maximum encumbrance of 0 divides by zero: the frame reports the error and
// the item is shown again, with nothing of the figures written first.
TEST_F(ItemBrowserTest, WeaponSimulatorDivisionByZeroIsReported) {
  const SimulatorSettings saved = CurrentSettings().simulator;
  ItemRecord weapon = Item(7, "Club");
  weapon.setItemType(1);
  weapon.setSpeed(1000);
  MakeItems({weapon});
  Vk('S', kCtrl);
  Keys("\r\r\r\r5/0\r\r");
  Keys(" ");  // "Press any key to return to viewer."
  Run();
  CurrentSettings().simulator = saved;
  EXPECT_TRUE(EverShown("Fatal Exception: Division by zero: the maximum encumbrance is 0 at 0x"));
  EXPECT_FALSE(EverShown("Raw swings:"));
  EXPECT_EQ(ItemNumberShown(), "7");
}

}  // namespace
}  // namespace torvex::testing
