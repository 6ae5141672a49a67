// The holdings commands as the walker runs them: the rules of holdings.cpp
// over the record cache, their lines written at the cursor.
#include "console/colour_text.h"
#include "console/format.h"
#include "console/text_values.h"
#include "database/record_access.h"
#include "database/shop_price_list.h"
#include "walker/holdings.h"

namespace torvex {

namespace {

std::string Trimmed(std::string_view text) {
  return std::string(TrimmedSpaces(text));
}

}  // namespace

void WriteLines(Console& console, const Lines& lines) {
  for (const std::string& line : lines) WriteColourLn(console, line);
}

void ShowShopList(Console& console, uint32_t shopNumber) {
  ShopRecord shop;
  if (GetShop(shopNumber, shop) != 0) {
    WriteColourLn(console, Format("|12Shop %u does not exist!", shopNumber));
    return;
  }
  WriteColourLn(console, "|07The following items are for sale here:");
  WriteShopPriceList(console, shop.bytes());
}

void RunEquipmentRecheck(Console& console, WalkerSession& session) {
  Lines out;
  RecheckEquipment(session, LoadHoldingsInput(session), out);
  WriteLines(console, out);
}

void RunRemoveCommand(Console& console, WalkerSession& session, std::string_view typed) {
  const HoldingsInput input = LoadHoldingsInput(session);
  const uint32_t number =
      FindCarriedItem(session.holdings, typed, FindMode::kEquipped, input.readItem);
  Lines out;
  if (number == 0) {
    out.push_back(Format("|12You are not wearing %s.", Trimmed(typed).c_str()));
  } else {
    RemoveItem(session.holdings, input.readItem, number, out);
  }
  WriteLines(console, out);
}

void RunEquipCommand(Console& console, WalkerSession& session, std::string_view typed) {
  const HoldingsInput input = LoadHoldingsInput(session);
  const uint32_t number =
      FindCarriedItem(session.holdings, typed, FindMode::kUnequipped, input.readItem);
  Lines out;
  if (number == 0) {
    out.push_back(Format("|07You do not have %s left unequipped.", Trimmed(typed).c_str()));
  } else {
    EquipItem(session, input, number, out);
  }
  WriteLines(console, out);
}

void RunLightCommand(Console& console, WalkerSession& session, std::string_view typed) {
  const HoldingsInput input = LoadHoldingsInput(session);
  const uint32_t number = FindCarriedItem(session.holdings, typed, FindMode::kAny, input.readItem);
  Lines out;
  if (number == 0) {
    out.push_back(Format("|07You don't have %s to light!", Trimmed(typed).c_str()));
  } else {
    LightItem(session, input, number, out);
  }
  WriteLines(console, out);
}

void RunSellCommand(Console& console, WalkerSession& session, std::string_view typed,
                    bool appraiseOnly) {
  const uint32_t shopNumber = session.room.shopNumber();
  ShopRecord shop;
  const bool found = GetShop(shopNumber, shop) == 0;
  Lines out;
  SellItem(session, LoadHoldingsInput(session), found ? &shop : nullptr, shopNumber, typed,
           appraiseOnly, out);
  WriteLines(console, out);
}

void RunDisarmCommand(Console& console, WalkerSession& session) {
  Lines out;
  DisarmWeapon(session.holdings, out);
  WriteLines(console, out);
}

void ShowInventory(Console& console, const WalkerSession& session, ListingSuffix suffix) {
  WriteLines(console, InventoryLines(session, LoadHoldingsInput(session), suffix));
}

void ShowKeys(Console& console, const WalkerSession& session, ListingSuffix suffix) {
  WriteLines(console, KeyLines(session, LoadHoldingsInput(session), suffix));
}

void ShowWealth(Console& console, const WalkerSession& session, bool percent) {
  WriteLines(console, WealthLines(session, LoadHoldingsInput(session), percent));
}

}  // namespace torvex
