#include "browsers/shop_browser.h"

#include <string>
#include <vector>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "console/keys.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "database/records/records.h"
#include "screens/screens.h"

namespace torvex {
namespace {

constexpr int kFirstSlotRow = 10;

constexpr char kHelpText[] =
    "Use the following keys to navigate the shops data:\r\n\r\n"
    "  >    Move to next logical shop\r\n"
    "  <    Move to previous logical shop\r\n"
    "  }    Move to next physical shop\r\n"
    "  {    Move to previous physical shop\r\n"
    "  F    Move to the first shop\r\n"
    "  L    Move to the last shop\r\n"
    "  G    Go to a specific shop\r\n"
    "  S    Search for a specific shop\r\n"
    "  ^S   Show a simulated shop listing\r\n"
    "  Q    Exit the shop viewer\r\n\r\n"
    "You can also use ESC and X to quit the viewer.  When you use { and } you must use F, L or "
    "G to reset your navigation method to physical.  You cannot switch from logical to physical "
    "then back to logical navigation.";

// Cells of one stock slot, each a fixed width.
constexpr int kNumberColumn = 18;
constexpr int kNameColumn = 30;
constexpr int kNormalColumn = 51;
constexpr int kMaxColumn = 57;
constexpr int kTimeColumn = 63;
constexpr int kPercentColumn = 69;
constexpr int kRestockColumn = 75;

std::string Cell5(uint64_t n) {
  return Format("%-5.5s", std::to_string(n).c_str());
}

void WriteSlot(Console& console, const ShopRecord& shop, size_t slot, const ItemRecord& item) {
  const int row = kFirstSlotRow + static_cast<int>(slot);
  const uint32_t number = shop.items(slot);
  WriteValueAt(console, kNumberColumn, row, Format("%-11.11s", std::to_string(number).c_str()));
  const std::string name = item.name();
  if (!name.empty()) {
    WriteValueAt(console, kNameColumn, row, Format("%-20.20s", name.c_str()));
  } else {
    console.TextColor(kValueColour);
    WriteColourClipped(console, kNameColumn, row,
                       number == 0 ? "|07---" : "|08<|07invalid item|08>");
  }
  WriteValueAt(console, kNormalColumn, row, Cell5(shop.normalQuantity(slot)));
  WriteValueAt(console, kMaxColumn, row, Cell5(shop.maxQuantity(slot)));
  WriteValueAt(console, kTimeColumn, row, Cell5(shop.regenTime(slot)));
  console.TextColor(kValueColour);
  WriteColourClipped(console, kPercentColumn, row,
                     Format("%-8.8s", (std::to_string(shop.regenPercent(slot)) + "|07%").c_str()));
  WriteValueAt(console, kRestockColumn, row, Cell5(shop.regenNumber(slot)));
}

SearchOption NameSearch() {
  SearchOption option = TextSearchOption(
      "Search for Name", kTextSearchPrompt,
      [](std::span<const uint8_t> r) { return std::vector<std::string>{ShopRecord(r).name()}; });
  option.promptTitle = "Name Search";
  return option;
}

SearchOption StockedItemSearch() {
  SearchOption option = NumberSearchOption(
      "Search for Sold / Bought Item", "Enter item number to search for:",
      "No records matching your item search query, \"%d\", were found.",
      [](std::span<const uint8_t> r, int32_t number) {
        const ShopRecord shop(r);
        for (size_t i = 0; i < ShopRecord::kItemsCount; ++i) {
          if (static_cast<int64_t>(shop.items(i)) == number) return true;
        }
        return false;
      },
      RecordKey::Prompt::kNumber, 10);
  option.promptTitle = "Sold / Bought Item Search";
  return option;
}

BrowserDescription MakeDescription() {
  BrowserDescription d(kShopFile);
  d.kindWord = "Shop";
  d.helpTitle = "Shops Help";
  d.helpText = kHelpText;
  d.searchTitle = "Search Shops";
  d.jumpTitle = "Goto Shop";
  d.jumpPrompt = "Enter a shop number to jump to:";
  d.showDetail = [](BrowserState& s) { ShowShopDetail(s.console, s.Record()); };
  d.windowTitle = [](std::span<const uint8_t> r) {
    const ShopRecord shop(r);
    return NamedRecordTitle("Shop", shop.name(), static_cast<int32_t>(shop.number()));
  };
  d.searches = {NameSearch(), StockedItemSearch()};
  d.simulator = [](BrowserState& s, std::span<const uint8_t> r) { RunShopPriceList(s.console, r); };
  d.rawDumpName = [](std::span<const uint8_t> r) {
    return Format("rawshops%s-%d.bin", kRawDumpEdition, static_cast<int32_t>(RecordNumberAt0(r)));
  };
  d.macros = MacroKind::kShop;
  return d;
}

}  // namespace

const BrowserDescription& ShopBrowserDescription() {
  static const BrowserDescription description = MakeDescription();
  return description;
}

void RunShopBrowser(Console& console) {
  RunBrowser(console, ShopBrowserDescription());
}

void ShowShopDetail(Console& console, std::span<const uint8_t> record) {
  const ShopRecord shop(record);
  PaintDetailScreen(console, screens::kShopBrowser);

  WriteValueAt(console, kValueLeft, 2, std::to_string(shop.number()));
  WriteValueAt(console, kValueLeft, 3, shop.name());
  // The code is shown at the field's width, signed, as the type word's
  // fallback shows it.
  const int type = static_cast<int16_t>(shop.shopType());
  WriteValueAt(console, kValueRight, 3,
               Format("%-10.10s", ShopTypeText(shop.shopType()).c_str()) +
                   Format("%5.5s", Format("(%d)", type).c_str()));
  if (shop.isGangShop()) {
    WriteValueAt(console, kValueLeft, 4, shop.bankAccountName());
  } else {
    console.TextColor(kValueColour);
    WriteColourClipped(console, kValueLeft, 4, "|08<|07not a gang shop|08>|15");
  }
  for (size_t i = 0; i < ShopRecord::kDescriptionLines; ++i) {
    WriteValueAt(console, kValueLeft, 5 + static_cast<int>(i), shop.description(i));
  }

  const std::vector<ItemRecord> items = StockedItems(shop);
  for (size_t i = 0; i < ShopRecord::kItemsCount; ++i) WriteSlot(console, shop, i, items[i]);

  WriteValueAt(console, kValueLeft, 31, std::to_string(shop.minLevel()));
  WriteValueAt(console, kValueRight, 31, std::to_string(shop.maxLevel()));
  const uint16_t trained = shop.trainClass();
  WriteValueAt(console, kValueLeft, 32,
               Format("%-23.23s", ClassName(trained).c_str()) +
                   Format("%7.7s", ("(" + std::to_string(trained) + ")").c_str()));
  WriteValueAt(console, kValueRight, 32, std::to_string(shop.markupPercent()));
  console.GotoXY(3, 49);
}

void RunShopPriceList(Console& console, std::span<const uint8_t> record) {
  WriteShopPriceList(console, record);
  // The frame repaints the shop as soon as this returns: hold the list on
  // screen until the user has read it.
  WriteColour(console, "|07Press any key to return to viewer.");
  ReadWholeKey(console);
}

}  // namespace torvex
