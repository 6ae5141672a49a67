#include "database/shop_price_list.h"

#include "console/colour_text.h"
#include "console/format.h"
#include "database/record_access.h"
#include "database/records/tables.h"

namespace torvex {

namespace {

// One line of the list: its colour codes act, any other byte shows as its
// glyph, so a control byte in an item name cannot move the cursor.
void WriteListLine(Console& console, std::string_view text) {
  const bool raw = console.RawOutput();
  console.SetRawOutput(true);
  WriteColour(console, text);
  console.SetRawOutput(false);
  console.WriteLn();
  console.SetRawOutput(raw);
}

}  // namespace

std::vector<ItemRecord> StockedItems(const ShopRecord& shop) {
  std::vector<uint32_t> numbers(ShopRecord::kItemsCount);
  for (size_t i = 0; i < numbers.size(); ++i) numbers[i] = shop.items(i);
  std::vector<ItemRecord> items(numbers.size());
  GetItems(numbers, items);
  return items;
}

uint64_t ShopPrice(uint32_t base, uint16_t markupPercent) {
  // Whole-number arithmetic: a floating-point product of the two can land on
  // either side of a half (55 at 10% is 60.5 exactly, not 60.500000001).
  const uint64_t hundredths = uint64_t{base} * (100u + markupPercent);
  uint64_t price = hundredths / 100;
  const uint64_t rest = hundredths % 100;
  if (rest > 50 || (rest == 50 && price % 2 == 1)) ++price;
  return price;
}

std::string PriceText(uint64_t price, uint8_t currencyType) {
  if (price == 0) return "       Free";
  const std::string_view coin = CoinName(CoinKindOfCurrency(currencyType), price);
  return Format("%8llu %.*s", static_cast<unsigned long long>(price), static_cast<int>(coin.size()),
                coin.data());
}

void WriteShopPriceList(Console& console, std::span<const uint8_t> record) {
  const ShopRecord shop(record);
  const std::vector<ItemRecord> items = StockedItems(shop);
  if (console.WhereX() != 1) console.WriteLn();
  bool headed = false;
  for (size_t i = 0; i < ShopRecord::kItemsCount; ++i) {
    const std::string name = items[i].name();
    if (shop.items(i) == 0 || name.empty()) continue;
    if (!headed) {
      WriteListLine(console, "|02Item                          |03Quantity    Price");
      WriteListLine(console, "|03------------------------------------------------------");
      headed = true;
    }
    const bool gang = shop.isGangShop();
    const uint32_t base = gang ? shop.gangPrice(i) : items[i].cost();
    const uint8_t coin = gang ? shop.gangCurrency(i) : items[i].costCurrency();
    const uint64_t price = base == 0 ? 0 : ShopPrice(base, shop.markupPercent());
    WriteListLine(console, "|02" + Format("%-30.30s", name.c_str()) + "|03" +
                               Format("%-6d", shop.normalQuantity(i)) + PriceText(price, coin));
  }
}

}  // namespace torvex
