// The shop screen cell by cell for a few telling shops, the price list and its
// arithmetic, and the shop browser's own keys over real record files.
#include "browsers/shop_browser.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

struct CellCase {
  int column, row;
  const char* text;
};

class ShopScreenTest : public BrowserTest {
 protected:
  static ItemRecord Priced(uint32_t number, const std::string& name, uint16_t cost,
                           uint8_t currency) {
    ItemRecord item = Item(number, name);
    item.setCost(cost);
    item.setCostCurrency(currency);
    return item;
  }
  static ShopRecord Shop(uint32_t number, const std::string& name) {
    ShopRecord shop;
    shop.setNumber(number);
    shop.setName(name);
    return shop;
  }
  void MakeShops(const std::vector<ShopRecord>& shops) {
    std::vector<std::vector<uint8_t>> records;
    for (const ShopRecord& shop : shops) records.push_back(Bytes(shop));
    MakeFile(kShopFile, records);
  }

  // A general store: an empty slot, a stocked item, a slot naming no item.
  static ShopRecord CornerStore() {
    ShopRecord shop = Shop(7, "Corner Store");
    shop.setDescription(0, "Dusty shelves.");
    shop.setDescription(2, "A bell over the door.");
    shop.setItems(1, 10);
    shop.setNormalQuantity(1, 5);
    shop.setMaxQuantity(1, 12);
    shop.setRegenTime(1, 300);
    shop.setRegenPercent(1, 50);
    shop.setRegenNumber(1, 2);
    shop.setItems(2, 99);
    shop.setMinLevel(1);
    shop.setMaxLevel(65535);
    shop.setTrainClass(4);
    shop.setMarkupPercent(50);
    return shop;
  }
  void MakeWorld() {
    MakeItems({Priced(10, "Bread", 3, 2), Priced(11, "Torch", 1, 0)});
    ClassRecord warrior;
    warrior.setNumber(4);
    warrior.setName("Warrior");
    MakeFile(kClassFile, {Bytes(warrior)});
  }

  void Show(const ShopRecord& shop) { ShowShopDetail(hc.console, shop.bytes()); }
  std::string At(int column, int row, int length) const { return hc.Text(column, row, length); }
  int Fg(int column, int row) const { return hc.Attr(column, row) & 0x0F; }
  void ExpectCells(std::span<const CellCase> cases) const {
    for (const CellCase& c : cases) {
      EXPECT_EQ(At(c.column, c.row, static_cast<int>(std::string(c.text).size())), c.text)
          << "column " << c.column << " row " << c.row;
    }
  }
  // Nothing written ran over the frame's right edge.
  void ExpectRightEdgeIntact() const {
    for (int row = 2; row <= 32; ++row) {
      if (row == 8 || row == 30) continue;                                  // ┤
      EXPECT_EQ(hc.console.CellAt(79, row - 1).ch, 0xB3) << "row " << row;  // │
    }
  }
};

TEST_F(ShopScreenTest, GeneralShopFieldsWhereTheyBelong) {
  MakeWorld();
  Show(CornerStore());
  const CellCase cases[] = {
      {2, 3, "(1) Shop Name :"},
      {53, 3, "(2) Type :"},
      {48, 31, "(5) Max Level :"},
      {49, 32, "(7) Markup % :"},
      {18, 9, "Item #      Name                 Norm  Max   Time  Rgn % Rgn #"},
      {18, 2, "7 "},
      {18, 3, "Corner Store "},
      {64, 3, "general     (0) "},
      {18, 4, "<not a gang shop> "},
      {18, 5, "Dusty shelves. "},
      {18, 6, "   "},
      {18, 7, "A bell over the door. "},
      {18, 10, "0           ---                  0     0     0     0%    0    "},
      {18, 11, "10          Bread                5     12    300   50%   2    "},
      {18, 12, "99          <invalid item>       0 "},
      {18, 29, "0           --- "},
      {18, 31, "1 "},
      {64, 31, "65535 "},
      {18, 32, "Warrior                    (4) "},
      {64, 32, "50 "},
  };
  ExpectCells(cases);
  const struct {
    int column, row, fg;
  } colours[] = {
      {18, 2, 15},  {18, 3, 15},  {64, 3, 15},  {18, 4, 8},   {19, 4, 7},   {34, 4, 8},
      {18, 10, 15}, {30, 10, 7},  {30, 11, 15}, {30, 12, 8},  {31, 12, 7},  {43, 12, 8},
      {51, 11, 15}, {69, 11, 15}, {71, 11, 7},  {75, 11, 15}, {18, 32, 15},
  };
  for (const auto& c : colours) {
    EXPECT_EQ(Fg(c.column, c.row), c.fg) << "column " << c.column << " row " << c.row;
  }
  EXPECT_EQ(hc.console.WhereX(), 3);
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdgeIntact();
}

TEST_F(ShopScreenTest, GangShopShowsItsBankAccount) {
  MakeWorld();
  ShopRecord shop = Shop(8, "Den");
  shop.setShopType(ShopRecord::kGangShopType);
  shop.setBankAccountName("Iron Vault");
  shop.setItems(0, 10);
  shop.setGangPrice(0, 250);
  Show(shop);
  const CellCase cases[] = {
      {64, 3, "gang-shop  (11) "},
      {18, 4, "Iron Vault "},
      // The quantity columns read the arrays as stored: "Ir" is the word 0x7249.
      {57, 10, "29257 250   "},
  };
  ExpectCells(cases);
  EXPECT_EQ(Fg(18, 4), 15);
}

TEST_F(ShopScreenTest, ZeroedRecordShowsZerosAndEmptySlots) {
  ShowShopDetail(hc.console, {});
  const CellCase cases[] = {
      {18, 2, "0 "},
      {18, 3, "    "},
      {64, 3, "general     (0)"},
      {18, 10, "0    "},
      {30, 10, "---  "},
      {30, 29, "---  "},
      {18, 32, "                           (0) "},
  };
  ExpectCells(cases);
  ExpectRightEdgeIntact();
}

TEST_F(ShopScreenTest, HostileRecordStaysInsideItsFields) {
  ShopRecord shop;
  std::vector<uint8_t> bytes(shop.bytes().begin(), shop.bytes().end());
  std::fill_n(bytes.begin() + 4, 40, 'N');    // name without its zero
  bytes[6] = '\r';                            // a control byte shows, it does not act
  std::fill_n(bytes.begin() + 44, 159, 'D');  // three unterminated description lines
  ShopRecord hostile(bytes);
  hostile.setNumber(0xFFFFFFFF);
  hostile.setShopType(0xFFFF);
  hostile.setMinLevel(65535);
  hostile.setMarkupPercent(65535);
  hostile.setTrainClass(65535);
  for (size_t i = 0; i < ShopRecord::kItemsCount; ++i) {
    hostile.setItems(i, 0xFFFFFFFF);
    hostile.setNormalQuantity(i, 65535);
    hostile.setMaxQuantity(i, 65535);
    hostile.setRegenTime(i, 65535);
    hostile.setRegenNumber(i, 65535);
    hostile.setRegenPercent(i, 255);
  }
  Show(hostile);  // no item or class file at all
  const CellCase cases[] = {
      {18, 2, "4294967295 "},
      {64, 3, "shoptype-- (-1) "},
      {18, 10, "4294967295  <invalid item>       65535 65535 65535 255%  65535"},
      {18, 29, "4294967295  <invalid item>"},
      {18, 31, "65535 "},
      {18, 32, "                       (65535) "},
      {64, 32, "65535 "},
  };
  ExpectCells(cases);
  // A 40-character name runs into the type's label, which stands where the
  // right half's labels do; the name is shown whole.
  EXPECT_EQ(At(18, 3, 40), "NN\r" + std::string(37, 'N'));
  for (int row = 5; row <= 7; ++row) {
    EXPECT_EQ(At(18, row, 54), std::string(53, 'D') + " ") << "row " << row;
  }
  ExpectRightEdgeIntact();
}

TEST(ShopPriceTest, MarkupRoundsHalvesToEven) {
  const struct {
    uint32_t base;
    uint16_t markup;
    uint64_t price;
  } cases[] = {
      {3, 50, 4},     // 4.5
      {1, 0, 1},      // no markup
      {55, 10, 60},   // 60.5: a floating-point product lands above the half
      {5, 10, 6},     // 5.5
      {65, 10, 72},   // 71.5
      {45, 10, 50},   // 49.5
      {1, 50, 2},     // 1.5
      {1, 49, 1},     // 1.49
      {1, 51, 2},     // 1.51
      {7, 100, 14},   // doubled
      {0, 65535, 0},  // nothing stays nothing
      {65535, 65535, 43013897},
      {4294967295u, 65535, 2819001784073},  // beyond 32 bits
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShopPrice(c.base, c.markup), c.price) << c.base << " at " << c.markup << "%";
  }
}

TEST(ShopPriceTest, PriceTextNamesTheCoin) {
  const struct {
    uint64_t price;
    uint8_t currency;
    const char* text;
  } cases[] = {
      {0, 2, "       Free"},
      {1, 0, "       1 copper farthing"},
      {2, 0, "       2 copper farthings"},
      {4, 2, "       4 gold crowns"},
      {1, 4, "       1 runic coin"},
      {5, 5, "       5 unknowns"},  // one past the table
      {2, 200, "       2 unknowns"},
      {1, 255, "       1 unknown"},
      {123456789, 1, "123456789 silver nobles"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PriceText(c.price, c.currency), c.text)
        << c.price << " of " << static_cast<int>(c.currency);
  }
}

class ShopPriceListTest : public ShopScreenTest {
 protected:
  // The list from the top-left corner of a clear screen.
  void List(const ShopRecord& shop) {
    hc.console.ClrScr();
    WriteShopPriceList(hc.console, shop.bytes());
  }
};

TEST_F(ShopPriceListTest, ListsEveryStockedItemWithItsPrice) {
  MakeWorld();
  ShopRecord shop = CornerStore();  // markup 50, slots: 0, Bread, missing 99
  shop.setItems(3, 11);             // Torch, cost 1: 1.5 halves to 2
  shop.setNormalQuantity(3, 123456 % 65536);
  List(shop);
  const CellCase cases[] = {
      {1, 1, "Item                          Quantity    Price "},
      {1, 2, "------------------------------------------------------ "},
      {1, 3, "Bread                         5            4 gold crowns "},
      {1, 4, "Torch                         57920        2 copper farthings "},
      {1, 5, "    "},
  };
  ExpectCells(cases);
  EXPECT_EQ(Fg(1, 1), 2);
  EXPECT_EQ(Fg(31, 1), 3);
  EXPECT_EQ(Fg(1, 3), 2);
  EXPECT_EQ(Fg(31, 3), 3);
  EXPECT_EQ(Fg(50, 3), 3);
  EXPECT_EQ(hc.console.WhereX(), 1);
  EXPECT_EQ(hc.console.WhereY(), 5);
}

TEST_F(ShopPriceListTest, PricesFollowTheMarkup) {
  MakeItems({Priced(10, "Torch", 1, 0), Priced(11, "Rope", 55, 1), Priced(12, "Gem", 9, 200)});
  ShopRecord shop = Shop(1, "Plain");
  shop.setItems(0, 10);
  shop.setItems(1, 11);
  shop.setItems(2, 12);
  shop.setMarkupPercent(0);
  List(shop);
  EXPECT_EQ(At(37, 3, 26), "       1 copper farthing  ");
  shop.setMarkupPercent(10);
  List(shop);
  EXPECT_EQ(At(37, 4, 22), "      60 silver nobles");
  // A coin code outside the table names the unknown coin, never past it.
  EXPECT_EQ(At(37, 5, 20), "      10 unknowns   ");
}

TEST_F(ShopPriceListTest, GangShopPricesAndCoinsComeFromTheSlots) {
  MakeWorld();
  ShopRecord shop = Shop(8, "Den");
  shop.setShopType(ShopRecord::kGangShopType);
  shop.setItems(0, 10);  // Bread costs 3 gold, the slot says free
  shop.setItems(1, 11);
  shop.setGangPrice(1, 7);
  shop.setRegenNumber(1, 0x01C8);  // coin code 200 in the low byte
  shop.setItems(2, 10);
  shop.setGangPrice(2, 1);
  shop.setRegenNumber(2, 0x0103);  // platinum; the high byte is not part of it
  List(shop);
  const CellCase cases[] = {
      {1, 3, "Bread                         0            Free "},
      {1, 4, "Torch                         0            7 unknowns "},
      {1, 5, "Bread                         0            1 platinum piece "},
  };
  ExpectCells(cases);
}

TEST_F(ShopPriceListTest, NothingListedWithoutStockedItems) {
  ShopRecord shop = CornerStore();  // no item file: every item is missing
  List(shop);
  EXPECT_EQ(At(1, 1, 80), std::string(80, ' '));
  EXPECT_EQ(hc.console.WhereY(), 1);
}

TEST_F(ShopPriceListTest, StartsOnALineOfItsOwnAndControlBytesStayGlyphs) {
  MakeItems({Priced(10, "Bad\nName", 1, 0), Priced(11, "Next", 1, 0)});
  ShopRecord shop = Shop(1, "Odd");
  shop.setItems(0, 10);
  shop.setItems(1, 11);
  hc.console.ClrScr();
  hc.console.GotoXY(3, 1);
  WriteShopPriceList(hc.console, shop.bytes());
  EXPECT_EQ(At(1, 2, 4), "Item");
  EXPECT_EQ(At(1, 4, 9), "Bad\nName ");
  EXPECT_EQ(At(1, 5, 5), "Next ");
}

// The browser itself over a file.
class ShopBrowserTest : public ShopScreenTest {
 protected:
  void Run() {
    Keys("q");
    RunShopBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
  std::string ShopNumberShown() const {
    const std::string text = At(18, 2, 10);
    return text.substr(0, text.find(' '));
  }
  static std::string Row(const HeadlessDisplay::Snapshot& snap, int row) {
    return snap.Row(row - 1);
  }
};

TEST_F(ShopBrowserTest, PriceListStaysUntilAKey) {
  MakeWorld();
  MakeShops({CornerStore()});
  Vk('S', kCtrl);
  Keys("x");  // read by the list, not by the browser: it does not leave
  Run();
  const auto& waits = hc.display.AtKeyWaits();
  ASSERT_EQ(waits.size(), 3u);
  bool listed = false;
  bool asked = false;
  for (int row = 1; row <= 50; ++row) {
    listed = listed || Row(waits[1], row).find("Bread") == 0;
    asked = asked || Row(waits[1], row).find("Press any key to return to viewer.") == 0;
  }
  EXPECT_TRUE(listed);
  EXPECT_TRUE(asked);
  EXPECT_NE(Row(waits[2], 2).find("Shop #"), std::string::npos);  // repainted afterwards
  EXPECT_EQ(ShopNumberShown(), "7");
}

TEST_F(ShopBrowserTest, NameSearchHasItsOwnTitle) {
  MakeShops({Shop(1, "Armoury"), Shop(2, "Smithy"), Shop(3, "Old Corner Store")});
  Keys("S\rcorner\r");
  Run();
  EXPECT_TRUE(EverShown("Search for Sold / Bought Item"));
  EXPECT_EQ(WindowsTitled("Search Shops"), 1);
  EXPECT_GT(WindowsTitled("Name Search"), 0);
  EXPECT_EQ(ShopNumberShown(), "3");
}

TEST_F(ShopBrowserTest, StockedItemSearchLooksAtEverySlot) {
  ShopRecord b = Shop(2, "B");
  b.setItems(19, 77);
  MakeShops({Shop(1, "A"), b, Shop(3, "C")});
  Keys("S");
  Vk(vk::kDown);
  Keys("\r77\r");  // found in shop 2's last slot
  Keys("S");
  Vk(vk::kDown);
  Keys("\r77\r ");  // none after it: back to the first shop
  Run();
  EXPECT_GT(WindowsTitled("Sold / Bought Item Search"), 0);
  EXPECT_TRUE(EverShown("Enter item number to search for:"));
  EXPECT_TRUE(EverShown("your item search query, \"77\","));
  EXPECT_EQ(ShopNumberShown(), "1");
}

TEST_F(ShopBrowserTest, ItemSearchIgnoresZero) {
  MakeShops({Shop(1, "A"), Shop(2, "B")});
  Keys("S");
  Vk(vk::kDown);
  Keys("\r0\r");
  Run();
  EXPECT_EQ(WindowsTitled("No Results"), 0);
  EXPECT_EQ(ShopNumberShown(), "1");
}

TEST_F(ShopBrowserTest, TitleHelpJumpMacrosAndRawDump) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  MakeShops({Shop(1, "A"), Shop(42, "Corner Store")});
  Keys("?\r");
  Keys("G");
  Keys("42\r");
  Vk(vk::kF1, kCtrl);
  Vk('E', kCtrl);
  Keys("F");
  Keys("E");  // no extended view: ignored
  Vk(vk::kF1);
  Run();
  EXPECT_EQ(WindowsTitled("Shops Help"), 1);
  EXPECT_TRUE(EverShown("^S   Show a simulated shop listing"));
  EXPECT_GT(WindowsTitled("Goto Shop"), 0);
  EXPECT_TRUE(EverShown("Enter a shop number to jump to:"));
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kShop)][0], "42");
  EXPECT_EQ(std::filesystem::file_size(work.File("rawshopsnt-42.bin")), ShopRecord::kDiskLength);
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Shop : Corner Store (42)");
  EXPECT_EQ(ShopNumberShown(), "42");
}

}  // namespace
}  // namespace torvex::testing
