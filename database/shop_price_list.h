// A shop's price list as a customer sees it: one line per stocked item with
// its quantity and marked-up price. The shop browser shows it on Ctrl+S and
// the room walker's LIST in a shop room; both write this one list.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "console/console.h"
#include "database/records/records.h"

namespace torvex {

// The shop's twenty stocked items through the record cache, in slot order;
// slots whose item is missing (or 0) hold a zeroed record, so their names
// read empty.
std::vector<ItemRecord> StockedItems(const ShopRecord& shop);

// A price with the shop's markup: base x (100 + markup) / 100, rounded to the
// nearest whole coin and halves to the even one. Exact for every base and
// markup the record fields can hold.
uint64_t ShopPrice(uint32_t base, uint16_t markupPercent);

// The price column of a price-list line: "       Free" for 0, otherwise the
// price in eight columns and the coin's name (singular for one coin). A
// CurrencyType code outside the table names the unknown coin.
std::string PriceText(uint64_t price, uint8_t currencyType);

// Writes the price list of the shop from the cursor down, one line per slot
// that names an existing item, starting on a line of its own. Item names are
// shown, control bytes included, as glyphs. Does not wait.
void WriteShopPriceList(Console& console, std::span<const uint8_t> record);

}  // namespace torvex
