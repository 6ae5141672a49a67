// The shop browser (WCCSHOP2): a shop's name, type and description, its twenty
// stock slots with their restocking figures, its training limits, and Ctrl+S
// for the shop's price list as a customer sees it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "browsers/browser_frame.h"
#include "console/console.h"

namespace torvex {

// Runs the browser until the user leaves it (main menu key 9 or T, "/SHOPS").
void RunShopBrowser(Console& console);

const BrowserDescription& ShopBrowserDescription();

// Paints the whole screen for a shop record's bytes (shorter input reads as
// zeros). The stocked items and the trained class are looked up by name.
void ShowShopDetail(Console& console, std::span<const uint8_t> record);

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

// Ctrl+S: the price list, then "Press any key to return to viewer." and a key.
void RunShopPriceList(Console& console, std::span<const uint8_t> record);

}  // namespace torvex
