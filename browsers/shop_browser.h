// The shop browser (WCCSHOP2): a shop's name, type and description, its twenty
// stock slots with their restocking figures, its training limits, and Ctrl+S
// for the shop's price list as a customer sees it.
#pragma once

#include <cstdint>
#include <span>

#include "browsers/browser_frame.h"
#include "console/console.h"
#include "database/shop_price_list.h"

namespace torvex {

// Runs the browser until the user leaves it (main menu key 9 or T, "/SHOPS").
void RunShopBrowser(Console& console);

const BrowserDescription& ShopBrowserDescription();

// Paints the whole screen for a shop record's bytes (shorter input reads as
// zeros). The stocked items and the trained class are looked up by name.
void ShowShopDetail(Console& console, std::span<const uint8_t> record);

// Ctrl+S: the price list (WriteShopPriceList, shared with the room walker's
// LIST), then "Press any key to return to viewer." and a key.
void RunShopPriceList(Console& console, std::span<const uint8_t> record);

}  // namespace torvex
