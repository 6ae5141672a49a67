// What the walker's character carries and wears, and the game's rules for it:
// finding a carried item by name, giving and taking items, which items the
// character may use, wearing, readying, removing and lighting, encumbrance,
// armour, money and selling to shops, and the inventory, key and wealth
// listings.
//
// The rules are plain functions over the session's holdings and the records
// they name; they report what they say as colour-code lines appended to a
// `Lines` and never write to the console. Items are read through an
// ItemReader, so a caller may hand in records of its own; CachedItemReader()
// reads them through the record cache. The Show... and Run... functions at the
// end read the cache and write the lines at the cursor.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "database/records/records.h"
#include "walker/character_rules.h"
#include "walker/session.h"

namespace torvex {

using Lines = std::vector<std::string>;

// Reads item `number` into `item`; false when there is no such item.
using ItemReader = std::function<bool(uint32_t number, ItemRecord& item)>;
// Reads through the record cache; number 0 is no item.
ItemReader CachedItemReader();

// What the rules read besides the holdings: items, and the character's race,
// class and equipment for the may-use rules.
struct HoldingsInput {
  ItemReader readItem;
  CharacterSheet sheet;
};
// The session's sheet and the cache's items.
HoldingsInput LoadHoldingsInput(const WalkerSession& session);

// The uses a slot holds when it is empty (the stored 65535 and 65534).
inline constexpr int16_t kEmptyItemUses = -1;
inline constexpr int16_t kEmptyKeyUses = -2;
// Empties every slot: no items, keys or worn items, no weapon, nothing lit.
void ClearHoldings(WalkerHoldings& holdings);

// Worn-on places the rules single out.
inline constexpr int8_t kWornNowhere = 0;
inline constexpr int8_t kWornEverywhere = 1;
inline constexpr int8_t kWornFinger1 = 4;
inline constexpr int8_t kWornOffHand = 12;
inline constexpr int8_t kWornFinger2 = 13;

// True when `typed` abbreviates `name` or the part of it after any of its
// spaces ("sw" names "short sword"), ignoring case. An empty text names
// nothing.
bool NamesItem(std::string_view typed, std::string_view name);

enum class FindMode {
  kAny = 0,         // any carried item or key
  kEquipped = 1,    // worn items, the lit light and the readied weapon; keys
  kUnequipped = 2,  // carried items not worn; keys
};
// The item number the typed text (trimmed) names among the carried items, the
// readied weapon (kEquipped only) and the keys, in that order; 0 when none.
uint32_t FindCarriedItem(const WalkerHoldings& holdings, std::string_view typed, FindMode mode,
                         const ItemReader& readItem);

// True when one of the worn slots holds `number`.
bool IsWorn(const WalkerHoldings& holdings, uint32_t number);
// How many inventory slots hold `number`.
int CopiesCarried(const WalkerHoldings& holdings, uint32_t number);
// The item in the lit inventory slot; 0 when nothing is lit or the index
// names no carried item.
uint32_t LitItemNumber(const WalkerHoldings& holdings);

// Puts the item into the first empty inventory slot (a key, item type 7, into
// the first empty key slot) with the item's uses. False, and nothing changes,
// when the item does not exist or there is no room.
bool GiveItem(WalkerHoldings& holdings, uint32_t number, const ItemReader& readItem);
// Empties the first inventory slot holding `number`, or else the first key
// slot. When no inventory copy is left the item is also taken off, as REMOVE
// says it (lines appended to `out`); a light that goes with its slot is put
// out. False when nothing holds it.
bool TakeItem(WalkerHoldings& holdings, uint32_t number, const ItemReader& readItem, Lines& out);

// Whether the character may use the item: alignment, class and race lists,
// magic against anti-magic, level limits, and the class's weapon and armour
// types (which a class inclusion ability can overrule).
bool MayUse(const ItemRecord& item, const WalkerCharacter& character, const CharacterSheet& sheet);

// Wears item `number` (not a weapon), taking off what it displaces. Every
// refusal leaves the holdings as they were.
void WearItem(WalkerSession& session, const HoldingsInput& input, uint32_t number, Lines& out);
// Readies weapon `number`.
void ReadyItem(WalkerSession& session, const HoldingsInput& input, uint32_t number, Lines& out);
// EQUIP, WEAR and the like: a weapon is readied, anything else worn.
void EquipItem(WalkerSession& session, const HoldingsInput& input, uint32_t number, Lines& out);
// Unreadies the weapon.
void DisarmWeapon(WalkerHoldings& holdings, Lines& out);
// REMOVE of an item found among the equipped ones: the lit light is put out,
// a worn item or the readied weapon taken off.
void RemoveItem(WalkerHoldings& holdings, const ItemReader& readItem, uint32_t number, Lines& out);
// Lights item `number`, a carried light source.
void LightItem(WalkerSession& session, const HoldingsInput& input, uint32_t number, Lines& out);
// Takes off every worn item and unreadies the weapon when the character may no
// longer use it ("Your ... has been removed."). Items that cannot be read stay.
void RecheckEquipment(WalkerSession& session, const HoldingsInput& input, Lines& out);

// Weight carried: every 3 coins of a kind weigh one, and the items and keys
// their `weight`.
int64_t Encumbrance(const WalkerHoldings& holdings, const ItemReader& readItem);
// The most the character carries: 48 x STR (84 x STR - 3600 above 100),
// changed by the percentage of the Alter Encumbrance total.
int64_t MaximumEncumbrance(const WalkerCharacter& character, const CharacterSheet& sheet);
// part x 100 / whole in whole percent (the weapon simulator's encumbrance
// percentage), but 0 when whole is 0: a character without strength carries
// nothing rather than failing every listing.
int64_t ShareOfMaximum(int64_t part, int64_t whole);
// "|04Heavy" above 66 %, "|06Medium" above 33, "|02Light" above 16, else
// "|07None".
std::string_view EncumbranceCategory(int64_t percent);

// The worn items' armour class and damage reduction in tenths, each with the
// character's Protective Shield and Alter Damage Resistance Value totals.
struct ArmourTotals {
  int32_t armourClass = 0;
  int32_t damageReduction = 0;
};
ArmourTotals WornArmourTotals(const WalkerSession& session, const HoldingsInput& input);

// The coins, runic first, as the unsigned counts the game keeps.
struct Purse {
  uint32_t runic = 0, platinum = 0, gold = 0, silver = 0, copper = 0;
};
Purse PurseOf(const WalkerHoldings& holdings);
void StorePurse(WalkerHoldings& holdings, const Purse& purse);
// The purse's worth in copper by the game's 32-bit rule: a product that would
// overflow keeps the value it had, a sum that would overflow is skipped.
uint32_t MoneyValue(const Purse& purse);
// `amount` added to the copper (stopping at the largest count), then the
// coins changed up (ConsolidateCoins).
void AddCopper(WalkerHoldings& holdings, uint64_t amount);

// The item's `cost` in its `costCurrency`, in copper, at most 2^32 - 1.
uint32_t ItemValue(const ItemRecord& item);
// What a shop pays for the item at the character's charm:
// (CHA / 2 + 25) x value / 100, kept within 0 .. 2^32 - 1.
uint32_t SellingPrice(const ItemRecord& item, int32_t charm);

// SELL (or APPRAISE when `appraiseOnly`) of the item called `typed` to `shop`
// (nullptr: the room's shop does not exist; `shopNumber` names it then).
void SellItem(WalkerSession& session, const HoldingsInput& input, const ShopRecord* shop,
              uint32_t shopNumber, std::string_view typed, bool appraiseOnly, Lines& out);

// How the listings mark their entries.
enum class ListingSuffix { kNone, kPercent, kNumbers };
// "%s%d %s": the list separator (none for the first entry), a count and a
// name; the shape of coin and room-item entries.
std::string CountedEntry(size_t index, int64_t count, std::string_view name);
// INVENTORY, I and EQUIP: what is carried, worn and readied, then the wealth
// and encumbrance lines.
Lines InventoryLines(const WalkerSession& session, const HoldingsInput& input,
                     ListingSuffix suffix);
// KEYS.
Lines KeyLines(const WalkerSession& session, const HoldingsInput& input, ListingSuffix suffix);
// WEALTH; with `percent`, each kind of coin's share of the maximum encumbrance.
Lines WealthLines(const WalkerSession& session, const HoldingsInput& input, bool percent);
// INVENTORY HELP and KEYS HELP.
Lines InventorySyntaxLines();
Lines KeysSyntaxLines();

// --- The commands, through the record cache, writing at the cursor ---

// Writes `lines` at the cursor, one per line.
void WriteLines(Console& console, const Lines& lines);
// LIST in a shop room: the heading and the shop's price list.
void ShowShopList(Console& console, uint32_t shopNumber);
// The equipment re-check after a change of level, race or class.
void RunEquipmentRecheck(Console& console, WalkerSession& session);
// REMOVE <item>, EQUIP (WEAR, READY ...) <item>, LIGHT <item>, SELL and
// APPRAISE <item> (in the room's shop), with the item text as typed; DISARM.
void RunRemoveCommand(Console& console, WalkerSession& session, std::string_view typed);
void RunEquipCommand(Console& console, WalkerSession& session, std::string_view typed);
void RunLightCommand(Console& console, WalkerSession& session, std::string_view typed);
void RunSellCommand(Console& console, WalkerSession& session, std::string_view typed,
                    bool appraiseOnly);
void RunDisarmCommand(Console& console, WalkerSession& session);
// The listings.
void ShowInventory(Console& console, const WalkerSession& session, ListingSuffix suffix);
void ShowKeys(Console& console, const WalkerSession& session, ListingSuffix suffix);
void ShowWealth(Console& console, const WalkerSession& session, bool percent);

}  // namespace torvex
