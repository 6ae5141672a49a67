// The shop screen cell by cell for a telling shop and a hostile one, the price
// arithmetic at its edges, the price list, and the shop browser's own keys.
#include "browsers/shop_browser.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

class ShopTest : public BrowserTest {
 protected:
  static ItemRecord Priced(uint32_t number, const std::string& name, uint16_t cost, uint8_t coin) {
    ItemRecord item = Item(number, name);
    item.setCost(cost);
    item.setCostCurrency(coin);
    return item;
  }
  static ShopRecord Shop(uint32_t number, const std::string& name,
                         std::initializer_list<uint32_t> items = {}) {
    ShopRecord shop;
    shop.setNumber(number);
    shop.setName(name);
    size_t slot = 0;
    for (uint32_t item : items) shop.setItems(slot++, item);
    return shop;
  }
  void List(const ShopRecord& shop, int column = 1) {
    hc.console.ClrScr();
    hc.console.GotoXY(column, 1);
    WriteShopPriceList(hc.console, shop.bytes());
  }
  void Run() {
    Keys("q");
    RunShopBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
};

TEST_F(ShopTest, GeneralAndGangShopsOnTheScreen) {
  MakeItems({Priced(10, "Bread", 3, 2)});
  ClassRecord warrior;
  warrior.setNumber(4);
  warrior.setName("Warrior");
  MakeFile(kClassFile, {Bytes(warrior)});
  // An empty slot, a stocked item, a slot naming no item.
  ShopRecord shop = Shop(7, "Corner Store", {0, 10, 99});
  shop.setDescription(0, "Dusty shelves.");
  shop.setDescription(2, "A bell over the door.");
  shop.setNormalQuantity(1, 5);
  shop.setMaxQuantity(1, 12);
  shop.setRegenTime(1, 300);
  shop.setRegenPercent(1, 50);
  shop.setRegenNumber(1, 2);
  shop.setMinLevel(1);
  shop.setMaxLevel(65535);
  shop.setTrainClass(4);
  shop.setMarkupPercent(50);
  ShowShopDetail(hc.console, shop.bytes());
  ExpectCells({{18, 2, "7 ", 15},
               {18, 3, "Corner Store ", 15},
               {64, 3, "general     (0) ", 15},
               {18, 4, "<", 8},
               {19, 4, "not a gang shop", 7},
               {34, 4, "> ", 8},
               {18, 6, "   "},
               {18, 5, "Dusty shelves. "},
               {18, 7, "A bell over the door. "},
               {30, 10, "---", 7},
               {18, 10, "0           ---                  0     0     0     0%    0    ", 15},
               {18, 11, "10          Bread                5     12    300   50%   2    ", 15},
               {30, 11, "B", 15},
               {51, 11, "5", 15},
               {69, 11, "5", 15},
               {71, 11, "%", 7},
               {75, 11, "2", 15},
               {18, 12, "99          <invalid item>       0 "},
               {30, 12, "<", 8},
               {31, 12, "i", 7},
               {43, 12, ">", 8},
               {18, 29, "0           --- "},
               {18, 31, "1 "},
               {64, 31, "65535 "},
               {18, 32, "Warrior                    (4) ", 15},
               {64, 32, "50 "}});
  EXPECT_EQ(hc.console.WhereX(), 3);
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdge(32, {8, 30});

  ShopRecord gang = Shop(8, "Den", {10});
  gang.setShopType(ShopRecord::kGangShopType);
  gang.setBankAccountName("Iron Vault");
  gang.setGangPrice(0, 250);
  ShowShopDetail(hc.console, gang.bytes());
  // The quantity columns read the arrays as stored: "Ir" is the word 0x7249.
  ExpectCells({{64, 3, "gang-shop  (11) "}, {18, 4, "Iron Vault ", 15}, {57, 10, "29257 250   "}});
}

TEST_F(ShopTest, HostileRecordStaysInsideItsFields) {
  std::vector<uint8_t> bytes(ShopRecord::kDiskLength, 0xFF);
  std::fill_n(bytes.begin() + 4, 40, 'N');    // name without its zero
  bytes[6] = '\r';                            // a control byte shows, it does not act
  std::fill_n(bytes.begin() + 44, 159, 'D');  // three unterminated description lines
  ShowShopDetail(hc.console, bytes);          // no item or class file at all
  ExpectCells({{18, 2, "4294967295 "},
               {64, 3, "shoptype-- (-1) "},
               {18, 5, std::string(53, 'D') + " "},
               {18, 7, std::string(53, 'D') + " "},
               {18, 29, "4294967295  <invalid item>       65535 65535 65535 255%  65535"},
               {18, 31, "65535 "},
               {18, 32, "                       (65535) "},
               {64, 32, "65535 "},
               {18, 3, "NN\r" + std::string(37, 'N')}});  // runs into the type's label, shown whole
  ExpectRightEdge(32, {8, 30});
  List(ShopRecord(bytes));  // every stocked item is missing: nothing is listed
  EXPECT_EQ(At(1, 1, 80), std::string(80, ' '));
  EXPECT_EQ(hc.console.WhereY(), 1);
  ShowShopDetail(hc.console, {});
  ExpectCells({{18, 2, "0 "}, {64, 3, "general     (0)"}, {30, 10, "---  "}, {30, 29, "---  "}});
}

TEST(ShopPriceTest, MarkupRoundsHalvesToEvenAndTheTextNamesTheCoin) {
  const struct {
    uint32_t base;
    uint16_t markup;
    uint64_t price;
  } prices[] = {{3, 50, 4},
                {1, 0, 1},
                {5, 10, 6},
                {65, 10, 72},
                {45, 10, 50},
                {1, 50, 2},
                {1, 49, 1},
                {1, 51, 2},
                {7, 100, 14},
                {0, 65535, 0},
                {65535, 65535, 43013897},
                {55, 10, 60},  // 60.5: a floating-point product lands above the half
                {4294967295u, 65535, 2819001784073}};  // beyond 32 bits
  for (const auto& c : prices) EXPECT_EQ(ShopPrice(c.base, c.markup), c.price) << c.base;
  const struct {
    uint64_t price;
    uint8_t coin;
    const char* text;
  } texts[] = {{0, 2, "       Free"},
               {1, 0, "       1 copper farthing"},
               {1, 4, "       1 runic coin"},
               {2, 0, "       2 copper farthings"},
               {5, 5, "       5 unknowns"} /* one past the table */,
               {1, 255, "       1 unknown"},
               {123456789, 1, "123456789 silver nobles"}};
  for (const auto& c : texts) EXPECT_EQ(PriceText(c.price, c.coin), c.text) << c.price;
}

TEST_F(ShopTest, PriceListMarksUpEachStockedItemInItsCoin) {
  MakeItems({Priced(10, "Bread", 3, 2), Priced(11, "Bad\nName", 1, 0), Priced(12, "Rope", 55, 1),
             Priced(13, "Gem", 9, 200)});
  ShopRecord shop = Shop(1, "Plain", {0, 10, 99, 11, 12, 13});  // 0 and the missing 99 are skipped
  shop.setNormalQuantity(1, 57920);
  shop.setMarkupPercent(50);
  List(shop, 3);  // starts on a line of its own
  ExpectCells({{1, 2, "Item                          Quantity    Price ", 2},
               {31, 2, "Q", 3},
               {1, 3, std::string(54, '-') + " ", 3},
               {31, 4, "5", 3},
               {44, 4, "4 gold crowns ", 3},
               {1, 4, "Bread                         57920        4 gold crowns ", 2},
               {1, 5, "Bad\nName                      0            2 copper farthings "},
               {1, 6, "Rope                          0           82 silver nobles "},
               {1, 7, "Gem                           0           14 unknowns "},
               {1, 8, "    "}});
  EXPECT_EQ(hc.console.WhereX(), 1);
  EXPECT_EQ(hc.console.WhereY(), 8);

  ShopRecord gang = Shop(8, "Den", {10, 11, 10});  // Bread costs 3 gold, the slot says free
  gang.setShopType(ShopRecord::kGangShopType);
  gang.setGangPrice(1, 7);
  gang.setGangPrice(2, 1);
  gang.setRegenNumber(1, 0x01C8);  // coin code 200 in the low byte
  gang.setRegenNumber(2, 0x0103);  // platinum; the high byte is not part of it
  List(gang);
  ExpectCells({{31, 3, "0            Free "},
               {31, 4, "0            7 unknowns "},
               {31, 5, "0            1 platinum piece "}});
}

TEST_F(ShopTest, BrowserKeysSearchesAndThePriceListThatWaitsForAKey) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  MakeItems({Priced(10, "Bread", 3, 2)});
  ShopRecord corner = Shop(2, "Old Corner Store", {10});
  corner.setItems(19, 77);
  MakeFile(kShopFile, {Bytes(Shop(1, "Armoury")), Bytes(corner), Bytes(Shop(42, "Smithy"))});
  Keys("S\rcorner\r");
  Vk('S', kCtrl);
  Keys("x");  // read by the list, not by the browser: it does not leave
  Run();
  EXPECT_EQ(WindowsTitled("Search Shops"), 1);
  EXPECT_GT(WindowsTitled("Name Search"), 0);
  EXPECT_TRUE(EverShown("Bread"));
  EXPECT_TRUE(EverShown("Press any key to return to viewer."));
  EXPECT_EQ(NumberShown(), "2");

  // Found in the last slot; not found; 0 asks for nothing.
  const struct {
    const char* keys;
    const char* shown;
  } searches[] = {{"\r77\r", "2"}, {"\r78\r ", "1"}, {"\r0\r", "1"}};
  for (const auto& c : searches) {
    Keys("S");
    Vk(vk::kDown);
    Keys(c.keys);
    Run();
    EXPECT_EQ(NumberShown(), c.shown) << c.keys;
  }
  EXPECT_GT(WindowsTitled("Sold / Bought Item Search"), 0);
  EXPECT_TRUE(EverShown("Enter item number to search for:"));
  EXPECT_TRUE(EverShown("your item search query, \"78\","));
  EXPECT_EQ(WindowsTitled("No Results"), 1);

  Keys("?\rG42\rE");  // no extended view: E is ignored
  Vk('E', kCtrl);
  Vk(vk::kF1, kCtrl);
  Run();
  EXPECT_EQ(WindowsTitled("Shops Help"), 1);
  EXPECT_TRUE(EverShown("^S   Show a simulated shop listing"));
  EXPECT_TRUE(EverShown("Enter a shop number to jump to:"));
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kShop)][0], "42");
  EXPECT_EQ(std::filesystem::file_size(work.File("rawshopsnt-42.bin")), ShopRecord::kDiskLength);
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Shop : Smithy (42)");
}

}  // namespace
}  // namespace torvex::testing
