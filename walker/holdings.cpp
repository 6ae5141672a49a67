#include "walker/holdings.h"

#include <algorithm>
#include <limits>

#include "console/format.h"
#include "console/text_values.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "database/records/record_rules.h"
#include "database/records/tables.h"
#include "simulators/weapon_rules.h"

namespace torvex {

namespace {

constexpr uint16_t kAbilityProtectiveShield = 10;
constexpr uint16_t kAbilityAlterDamageResistance = 7;
constexpr uint16_t kAbilityMagical = 28;
constexpr uint16_t kAbilityAntiMagic = 51;
constexpr uint16_t kAbilityClassInclusion = 59;
constexpr uint16_t kAbilityAlterEncumbrance = 96;
constexpr uint16_t kAbilityGoodAligned = 97;
constexpr uint16_t kAbilityEvilAligned = 98;
constexpr uint16_t kAbilityNotGood = 110;
constexpr uint16_t kAbilityNotEvil = 111;
constexpr uint16_t kAbilityNeutral = 112;
constexpr uint16_t kAbilityNotNeutral = 113;
constexpr uint16_t kAbilityMinimumLevel = 135;
constexpr uint16_t kAbilityMaximumLevel = 136;

// Evil points from which a character counts as evil, and below which as good.
constexpr int32_t kEvilFrom = 40;
constexpr int32_t kGoodBelow = -50;

// Class weapon types with a rule of their own.
constexpr uint16_t kClassWeaponsLimited = 9;
constexpr uint32_t kLimitedWeapons[] = {68, 100};

constexpr uint32_t kMaxCount = std::numeric_limits<uint32_t>::max();
constexpr std::string_view kCopperName = "copper farthings";

uint32_t Number(int32_t stored) {
  return static_cast<uint32_t>(stored);
}

uint32_t Saturated(uint64_t value) {
  return static_cast<uint32_t>(std::min<uint64_t>(value, kMaxCount));
}

int32_t Narrow(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), INT32_MAX));
}

std::string Trimmed(std::string_view text) {
  return std::string(TrimmedSpaces(text));
}

// The item's name, or a stand-in for a number that names no item.
std::string NameOf(const ItemReader& readItem, uint32_t number) {
  ItemRecord item;
  if (readItem(number, item)) return item.name();
  return Format("item %u", number);
}

bool IsRingPlace(int8_t place) {
  return place == kWornFinger1 || place == kWornFinger2;
}

bool IsTwoHanded(const ItemRecord& weapon) {
  const uint16_t type = weapon.weaponType();
  return type == 1 || type == 3;
}

// The class's weapon type `c` against the item's, by the game's table.
bool WeaponTypeAllows(uint16_t itemType, uint16_t c) {
  auto among = [c](std::initializer_list<uint16_t> types) {
    return std::find(types.begin(), types.end(), c) != types.end();
  };
  switch (itemType) {
    case 0:
      return among({0, 4, 7, 8});
    case 1:
      return among({1, 5, 7, 8});
    case 2:
      return among({2, 4, 6, 8});
    case 3:
      return among({3, 5, 6, 8});
    default:
      return false;
  }
}

// The item-type step of the may-use rules.
bool ItemTypeAllows(const ItemRecord& item, const ClassRecord& characterClass) {
  const uint16_t c = characterClass.weaponType();
  switch (static_cast<ItemType>(item.itemType())) {
    case ItemType::kArmour:
      if (item.wornOn() == kWornOffHand && (c == 0 || c == 2 || c == 4)) return false;
      return item.armourType() <= characterClass.armourType();
    case ItemType::kWeapon:
      if (c == kClassWeaponsLimited) {
        return std::find(std::begin(kLimitedWeapons), std::end(kLimitedWeapons), item.number()) !=
               std::end(kLimitedWeapons);
      }
      return WeaponTypeAllows(item.weaponType(), c);
    default:
      return true;
  }
}

bool IncludesClass(const ItemRecord& item, uint32_t characterClass) {
  for (size_t i = 0; i < ItemRecord::kAbilitySlots; ++i) {
    if (item.abilityNumbers(i) == kAbilityClassInclusion &&
        static_cast<int64_t>(item.abilityValues(i)) == static_cast<int64_t>(characterClass)) {
      return true;
    }
  }
  return false;
}

bool AlignmentAllows(const ItemRecord& item, int32_t evilPoints) {
  auto barredBy = [&](std::initializer_list<uint16_t> abilities) {
    for (const uint16_t a : abilities) {
      if (item.hasAbility(a)) return false;
    }
    return true;
  };
  if (evilPoints >= kEvilFrom)
    return barredBy({kAbilityGoodAligned, kAbilityNotEvil, kAbilityNeutral});
  if (evilPoints >= kGoodBelow) {
    return barredBy({kAbilityGoodAligned, kAbilityEvilAligned, kAbilityNotNeutral});
  }
  return barredBy({kAbilityEvilAligned, kAbilityNotGood, kAbilityNeutral});
}

// An empty list admits everyone; otherwise `who` must be on it.
template <typename Record, typename Get>
bool ListAdmits(const Record& item, size_t count, Get get, uint32_t who) {
  bool any = false;
  for (size_t i = 0; i < count; ++i) {
    const uint16_t entry = get(item, i);
    if (entry == 0) continue;
    any = true;
    if (entry == who) return true;
  }
  return !any;
}

// Empties worn slot `slot`, saying so.
void TakeOffSlot(WalkerHoldings& h, const ItemReader& readItem, size_t slot, Lines& out) {
  const uint32_t number = Number(h.wornItems[slot]);
  h.wornItems[slot] = 0;
  h.wornItemUses[slot] = kEmptyItemUses;
  out.push_back(Format("|07You have removed %s.", NameOf(readItem, number).c_str()));
}

int FirstEmpty(const auto& slots) {
  for (size_t i = 0; i < slots.size(); ++i) {
    if (slots[i] == 0) return static_cast<int>(i);
  }
  return -1;
}

int FirstHolding(const auto& slots, uint32_t number) {
  for (size_t i = 0; i < slots.size(); ++i) {
    if (slots[i] != 0 && Number(slots[i]) == number) return static_cast<int>(i);
  }
  return -1;
}

// The coin pieces of a purse, runic first, skipping kinds of which there are
// none; `suffix` makes what follows each piece from its count.
template <typename Suffix>
std::vector<std::string> CoinPieces(const Purse& purse, std::string_view runicName, Suffix suffix) {
  const uint32_t counts[] = {purse.runic, purse.platinum, purse.gold, purse.silver, purse.copper};
  std::vector<std::string> pieces;
  for (int k = 0; k < 5; ++k) {
    const uint32_t count = counts[k];
    if (count == 0) continue;
    const int kind = 5 - k;
    std::string name(CoinName(kind, count));
    if (kind == 5 && !runicName.empty()) {
      // The configured name is the plural; one coin drops its final s.
      name = runicName;
      if (count == 1 && name.back() == 's') name.pop_back();
    }
    pieces.push_back(CountedEntry(pieces.size(), count, name) + suffix(count));
  }
  return pieces;
}

std::string Joined(const std::vector<std::string>& entries) {
  std::string text;
  for (const std::string& e : entries) text += e;
  return text;
}

std::string WealthLine(const WalkerHoldings& h) {
  return Format("|02Wealth: |03%u %s", MoneyValue(PurseOf(h)), std::string(kCopperName).c_str());
}

std::string ItemSuffix(ListingSuffix suffix, uint32_t number, const ItemRecord& item,
                       int64_t maximum) {
  switch (suffix) {
    case ListingSuffix::kNumbers:
      return Format(" (%u)", number);
    case ListingSuffix::kPercent:
      return Format(" (%lld%%)", static_cast<long long>(ShareOfMaximum(item.weight(), maximum)));
    case ListingSuffix::kNone:
      break;
  }
  return "";
}

}  // namespace

ItemReader CachedItemReader() {
  return [](uint32_t number, ItemRecord& item) {
    return number != 0 && GetItem(number, item, true) == 0;
  };
}

HoldingsInput LoadHoldingsInput(const WalkerSession& session) {
  return {CachedItemReader(), LoadCharacterSheet(session)};
}

void ClearHoldings(WalkerHoldings& h) {
  h.items.fill(0);
  h.itemUses.fill(kEmptyItemUses);
  h.keys.fill(0);
  h.keyUses.fill(kEmptyKeyUses);
  h.wornItems.fill(0);
  h.wornItemUses.fill(kEmptyItemUses);
  h.weapon = 0;
  h.torchItemIndex = -1;
}

bool NamesItem(std::string_view typed, std::string_view name) {
  if (typed.empty()) return false;
  if (PrefixMatches(typed, name)) return true;
  for (size_t space = name.find(' '); space != std::string_view::npos;
       space = name.find(' ', space + 1)) {
    if (PrefixMatches(typed, name.substr(space + 1))) return true;
  }
  return false;
}

uint32_t FindCarriedItem(const WalkerHoldings& h, std::string_view typed, FindMode mode,
                         const ItemReader& readItem) {
  const std::string text = Trimmed(typed);
  if (text.empty()) return 0;
  ItemRecord item;
  auto named = [&](int32_t stored) {
    return stored != 0 && readItem(Number(stored), item) && NamesItem(text, item.name());
  };
  const uint32_t lit = LitItemNumber(h);
  for (const int32_t stored : h.items) {
    if (!named(stored)) continue;
    const uint32_t number = Number(stored);
    const bool worn = IsWorn(h, number);
    if (mode == FindMode::kAny || (mode == FindMode::kEquipped && (worn || number == lit)) ||
        (mode == FindMode::kUnequipped && !worn)) {
      return number;
    }
  }
  if (mode == FindMode::kEquipped && named(h.weapon)) return Number(h.weapon);
  for (const int32_t stored : h.keys) {
    if (named(stored)) return Number(stored);
  }
  return 0;
}

bool IsWorn(const WalkerHoldings& h, uint32_t number) {
  return number != 0 && FirstHolding(h.wornItems, number) >= 0;
}

int CopiesCarried(const WalkerHoldings& h, uint32_t number) {
  if (number == 0) return 0;
  return static_cast<int>(std::count_if(h.items.begin(), h.items.end(), [number](int32_t stored) {
    return Number(stored) == number;
  }));
}

uint32_t LitItemNumber(const WalkerHoldings& h) {
  const int32_t torch = h.torchItemIndex;
  if (torch < 0 || torch >= WalkerHoldings::kItemSlots) return 0;
  return Number(h.items[static_cast<size_t>(torch)]);
}

bool GiveItem(WalkerHoldings& h, uint32_t number, const ItemReader& readItem) {
  ItemRecord item;
  if (!readItem(number, item)) return false;
  const bool key = item.itemType() == static_cast<uint16_t>(ItemType::kKey);
  const int slot = key ? FirstEmpty(h.keys) : FirstEmpty(h.items);
  if (slot < 0) return false;
  if (key) {
    h.keys[static_cast<size_t>(slot)] = static_cast<int32_t>(number);
    h.keyUses[static_cast<size_t>(slot)] = item.uses();
  } else {
    h.items[static_cast<size_t>(slot)] = static_cast<int32_t>(number);
    h.itemUses[static_cast<size_t>(slot)] = item.uses();
  }
  return true;
}

bool TakeItem(WalkerHoldings& h, uint32_t number, const ItemReader& readItem, Lines& out) {
  if (number == 0) return false;
  if (const int slot = FirstHolding(h.items, number); slot >= 0) {
    h.items[static_cast<size_t>(slot)] = 0;
    h.itemUses[static_cast<size_t>(slot)] = kEmptyItemUses;
    // A lit index left on an emptied slot would light whatever fills it next.
    if (h.torchItemIndex == slot) h.torchItemIndex = -1;
    if (CopiesCarried(h, number) == 0) {
      for (size_t s = 0; s < h.wornItems.size(); ++s) {
        if (h.wornItems[s] != 0 && Number(h.wornItems[s]) == number) {
          TakeOffSlot(h, readItem, s, out);
        }
      }
      if (h.weapon != 0 && Number(h.weapon) == number) {
        h.weapon = 0;
        out.push_back(Format("|07You have removed %s.", NameOf(readItem, number).c_str()));
      }
    }
    return true;
  }
  if (const int slot = FirstHolding(h.keys, number); slot >= 0) {
    h.keys[static_cast<size_t>(slot)] = 0;
    h.keyUses[static_cast<size_t>(slot)] = kEmptyKeyUses;
    return true;
  }
  return false;
}

bool MayUse(const ItemRecord& item, const WalkerCharacter& character, const CharacterSheet& sheet) {
  if (!AlignmentAllows(item, character.evilPoints)) return false;
  const uint32_t cls = character.characterClass;
  if (!ListAdmits(
          item, ItemRecord::kClassesCount,
          [](const ItemRecord& r, size_t i) { return r.classes(i); }, cls)) {
    return false;
  }
  if (!ListAdmits(
          item, ItemRecord::kRacesCount, [](const ItemRecord& r, size_t i) { return r.races(i); },
          character.race)) {
    return false;
  }
  if (item.hasAbility(kAbilityMagical) && AbilityPresent(character, sheet, kAbilityAntiMagic)) {
    return false;
  }
  if (item.hasAbility(kAbilityMinimumLevel) &&
      character.level < item.abilityValue(kAbilityMinimumLevel)) {
    return false;
  }
  if (item.hasAbility(kAbilityMaximumLevel) &&
      character.level > item.abilityValue(kAbilityMaximumLevel)) {
    return false;
  }
  return ItemTypeAllows(item, sheet.characterClass) || IncludesClass(item, cls);
}

namespace {

// Reads item `number`; an item that cannot be read is reported in `out`.
bool ReadOrReport(const HoldingsInput& input, uint32_t number, ItemRecord& item, Lines& out) {
  if (input.readItem(number, item)) return true;
  out.push_back(Format("|12Item %u does not exist!", number));
  return false;
}

}  // namespace

void WearItem(WalkerSession& session, const HoldingsInput& input, uint32_t number, Lines& out) {
  WalkerHoldings& h = session.holdings;
  ItemRecord item;
  if (!ReadOrReport(input, number, item, out)) return;
  if (FirstEmpty(h.wornItems) < 0) {
    out.push_back("|07You have no more room to wear that item!");
    return;
  }
  const int8_t place = item.wornOn();
  if (place == kWornNowhere) {
    out.push_back(Format("|12%s may not be worn!", item.name().c_str()));
    return;
  }
  if (!MayUse(item, session.character, input.sheet)) {
    out.push_back("|12You may not wear that item!");
    return;
  }
  // Asked before anything is taken off, so that a refusal changes nothing.
  ItemRecord weapon;
  if (place == kWornOffHand && input.readItem(Number(h.weapon), weapon) && IsTwoHanded(weapon)) {
    out.push_back("|12You may not wear an off-hand item while you have a 2-handed weapon readied.");
    return;
  }
  // Rings share one place that holds two: the first ring worn stays, later
  // ones make room, and the same ring is never worn twice.
  int ringsKept = 0;
  for (size_t s = 0; s < h.wornItems.size(); ++s) {
    if (h.wornItems[s] == 0) continue;
    const uint32_t worn = Number(h.wornItems[s]);
    ItemRecord other;
    if (!input.readItem(worn, other)) continue;
    const int8_t otherPlace = other.wornOn();
    bool displaced = otherPlace == kWornEverywhere;
    if (IsRingPlace(place) && IsRingPlace(otherPlace)) {
      displaced = displaced || worn == number || ++ringsKept >= 2;
    } else {
      displaced = displaced || otherPlace == place;
    }
    if (displaced) TakeOffSlot(h, input.readItem, s, out);
  }
  const size_t slot = static_cast<size_t>(FirstEmpty(h.wornItems));
  const int carried = FirstHolding(h.items, number);
  h.wornItems[slot] = static_cast<int32_t>(number);
  h.wornItemUses[slot] = carried >= 0 ? h.itemUses[static_cast<size_t>(carried)] : item.uses();
  out.push_back(Format("|07You are now wearing %s.", item.name().c_str()));
}

void ReadyItem(WalkerSession& session, const HoldingsInput& input, uint32_t number, Lines& out) {
  WalkerHoldings& h = session.holdings;
  ItemRecord item;
  if (!ReadOrReport(input, number, item, out)) return;
  if (item.itemType() != static_cast<uint16_t>(ItemType::kWeapon)) {
    out.push_back(Format("%s is not a weapon!", item.name().c_str()));
    return;
  }
  if (!MayUse(item, session.character, input.sheet)) {
    out.push_back("|12You may not use that weapon.");
    return;
  }
  if (IsTwoHanded(item)) {
    for (const int32_t worn : h.wornItems) {
      ItemRecord other;
      if (worn != 0 && input.readItem(Number(worn), other) && other.wornOn() == kWornOffHand) {
        out.push_back(Format("|12You may not ready a 2-handed weapon with your %s worn!",
                             other.name().c_str()));
        return;
      }
    }
  }
  h.weapon = static_cast<int32_t>(number);
  out.push_back(Format("|07You are now holding %s.", item.name().c_str()));
  if (session.character.strength < item.requiredStrength()) {
    out.push_back("This weapon feels heavy in your hands.");
  }
}

void EquipItem(WalkerSession& session, const HoldingsInput& input, uint32_t number, Lines& out) {
  ItemRecord item;
  if (input.readItem(number, item) && item.itemType() == static_cast<uint16_t>(ItemType::kWeapon)) {
    ReadyItem(session, input, number, out);
  } else {
    WearItem(session, input, number, out);
  }
}

void DisarmWeapon(WalkerHoldings& h, Lines& out) {
  h.weapon = 0;
  out.push_back("|06You now have no weapon readied.");
}

void RemoveItem(WalkerHoldings& h, const ItemReader& readItem, uint32_t number, Lines& out) {
  const std::string name = NameOf(readItem, number);
  if (number != 0 && number == LitItemNumber(h)) {
    h.torchItemIndex = -1;
    out.push_back(Format("You have removed %s and extinguished it.", name.c_str()));
    return;
  }
  if (const int slot = FirstHolding(h.wornItems, number); slot >= 0) {
    TakeOffSlot(h, readItem, static_cast<size_t>(slot), out);
    return;
  }
  if (h.weapon != 0 && Number(h.weapon) == number) {
    h.weapon = 0;
    out.push_back(Format("|07You have removed %s.", name.c_str()));
    return;
  }
  ItemRecord item;
  if (readItem(number, item) && item.itemType() == static_cast<uint16_t>(ItemType::kLight)) {
    out.push_back(Format("|12You do not have %s lit.", name.c_str()));
    return;
  }
  out.push_back(Format("|12You are not wearing %s.", name.c_str()));
}

void LightItem(WalkerSession& session, const HoldingsInput& input, uint32_t number, Lines& out) {
  WalkerHoldings& h = session.holdings;
  ItemRecord item;
  if (!ReadOrReport(input, number, item, out)) return;
  if (!MayUse(item, session.character, input.sheet)) {
    out.push_back("You may not light that item!");
    return;
  }
  const int slot = FirstHolding(h.items, number);
  if (item.itemType() != static_cast<uint16_t>(ItemType::kLight) || slot < 0) {
    out.push_back(Format("|12You cannot light %s!", item.name().c_str()));
    return;
  }
  if (LitItemNumber(h) != 0) {
    out.push_back("You already have something lit!");
    return;
  }
  h.torchItemIndex = slot;
  out.push_back(Format("You lit the %s.", item.name().c_str()));
}

void RecheckEquipment(WalkerSession& session, const HoldingsInput& input, Lines& out) {
  WalkerHoldings& h = session.holdings;
  auto barred = [&](int32_t stored, ItemRecord& item) {
    return stored != 0 && input.readItem(Number(stored), item) &&
           !MayUse(item, session.character, input.sheet);
  };
  ItemRecord item;
  for (size_t s = 0; s < h.wornItems.size(); ++s) {
    if (!barred(h.wornItems[s], item)) continue;
    h.wornItems[s] = 0;
    h.wornItemUses[s] = kEmptyItemUses;
    out.push_back(Format("|07Your %s has been removed.", item.name().c_str()));
  }
  if (barred(h.weapon, item)) {
    h.weapon = 0;
    out.push_back(Format("|07Your %s has been removed.", item.name().c_str()));
  }
}

int64_t Encumbrance(const WalkerHoldings& h, const ItemReader& readItem) {
  const Purse p = PurseOf(h);
  int64_t total = int64_t{p.runic / 3} + p.platinum / 3 + p.gold / 3 + p.silver / 3 + p.copper / 3;
  ItemRecord item;
  auto add = [&](int32_t stored) {
    if (stored != 0 && readItem(Number(stored), item)) total += item.weight();
  };
  for (const int32_t stored : h.items) add(stored);
  for (const int32_t stored : h.keys) add(stored);
  return total;
}

int64_t MaximumEncumbrance(const WalkerCharacter& character, const CharacterSheet& sheet) {
  const int64_t strength = character.strength;
  const int64_t base = strength > 100 ? 84 * strength - 3600 : 48 * strength;
  const int64_t percent = AbilityTotal(character, sheet, kAbilityAlterEncumbrance);
  return ((percent + 100) * base) / 100;
}

int64_t ShareOfMaximum(int64_t part, int64_t whole) {
  if (whole == 0) return 0;
  return EncumbrancePercent(part, whole);
}

std::string_view EncumbranceCategory(int64_t percent) {
  if (percent > 66) return "|04Heavy";
  if (percent > 33) return "|06Medium";
  if (percent > 16) return "|02Light";
  return "|07None";
}

ArmourTotals WornArmourTotals(const WalkerSession& session, const HoldingsInput& input) {
  int64_t armourClass = AbilityTotal(session.character, input.sheet, kAbilityProtectiveShield);
  int64_t reduction = AbilityTotal(session.character, input.sheet, kAbilityAlterDamageResistance);
  ItemRecord item;
  for (const int32_t worn : session.holdings.wornItems) {
    if (worn == 0 || !input.readItem(Number(worn), item)) continue;
    armourClass += item.armourClass();
    reduction += item.damageReduction();
  }
  return {Narrow(armourClass), Narrow(reduction)};
}

Purse PurseOf(const WalkerHoldings& h) {
  return {Number(h.runic), Number(h.platinum), Number(h.gold), Number(h.silver), Number(h.copper)};
}

void StorePurse(WalkerHoldings& h, const Purse& p) {
  h.runic = static_cast<int32_t>(p.runic);
  h.platinum = static_cast<int32_t>(p.platinum);
  h.gold = static_cast<int32_t>(p.gold);
  h.silver = static_cast<int32_t>(p.silver);
  h.copper = static_cast<int32_t>(p.copper);
}

uint32_t MoneyValue(const Purse& p) {
  uint32_t value = p.runic;
  auto times = [&value](uint32_t factor) {
    const uint64_t product = uint64_t{value} * factor;
    if (product <= kMaxCount) value = static_cast<uint32_t>(product);
  };
  auto plus = [&value](uint32_t coins) {
    const uint64_t sum = uint64_t{value} + coins;
    if (sum <= kMaxCount) value = static_cast<uint32_t>(sum);
  };
  times(100);
  plus(p.platinum);
  times(100);
  plus(p.gold);
  times(10);
  plus(p.silver);
  times(10);
  plus(p.copper);
  return value;
}

void AddCopper(WalkerHoldings& h, uint64_t amount) {
  Purse p = PurseOf(h);
  p.copper = Saturated(uint64_t{p.copper} + amount);
  ConsolidateCoins(p.runic, p.platinum, p.gold, p.copper, p.silver);
  StorePurse(h, p);
}

uint32_t ItemValue(const ItemRecord& item) {
  return Saturated(uint64_t{item.cost()} * CoinValue(CoinKindOfCurrency(item.costCurrency())));
}

uint32_t SellingPrice(const ItemRecord& item, int32_t charm) {
  const int64_t share = int64_t{charm} / 2 + 25;
  const int64_t price = share * ItemValue(item) / 100;
  return price <= 0 ? 0 : Saturated(static_cast<uint64_t>(price));
}

void SellItem(WalkerSession& session, const HoldingsInput& input, const ShopRecord* shop,
              uint32_t shopNumber, std::string_view typed, bool appraiseOnly, Lines& out) {
  WalkerHoldings& h = session.holdings;
  if (shop == nullptr) {
    out.push_back(Format("|12Shop %u does not exist!", shopNumber));
    return;
  }
  if (shop->isGangShop()) {
    out.push_back("|07You may not sell items to a gang shop.");
    return;
  }
  const uint32_t number = FindCarriedItem(h, typed, FindMode::kAny, input.readItem);
  ItemRecord item;
  if (number == 0 || !input.readItem(number, item)) {
    out.push_back(Format("|07You don't have %s to sell!", Trimmed(typed).c_str()));
    return;
  }
  const bool equipped = IsWorn(h, number) || (h.weapon != 0 && Number(h.weapon) == number);
  if (equipped && CopiesCarried(h, number) < 2) {
    out.push_back("|12You may not sell that item!");
    return;
  }
  bool stocked = false;
  for (size_t i = 0; i < ShopRecord::kItemsCount; ++i) stocked |= shop->items(i) == number;
  if (!stocked) {
    out.push_back(Format("|07You cannot sell %s here.", item.name().c_str()));
    return;
  }
  const uint32_t price = SellingPrice(item, session.character.charm);
  const std::string coins(kCopperName);
  if (appraiseOnly) {
    out.push_back(
        Format("|07You would get %u %s for your %s.", price, coins.c_str(), item.name().c_str()));
    return;
  }
  out.push_back(Format("|07You sold %s for %u %s.", item.name().c_str(), price, coins.c_str()));
  TakeItem(h, number, input.readItem, out);
  AddCopper(h, price);
}

std::string CountedEntry(size_t index, int64_t count, std::string_view name) {
  const std::string_view separator = kListSeparators[index == 0 ? 0 : 1];
  return Format("%.*s%lld %.*s", static_cast<int>(separator.size()), separator.data(),
                static_cast<long long>(count), static_cast<int>(name.size()), name.data());
}

Lines InventoryLines(const WalkerSession& session, const HoldingsInput& input,
                     ListingSuffix suffix) {
  const WalkerHoldings& h = session.holdings;
  const int64_t maximum = MaximumEncumbrance(session.character, input.sheet);
  std::vector<std::string> entries =
      CoinPieces(PurseOf(h), session.runicCoinName, [](uint32_t) { return std::string(); });
  // Each worn slot and the readied weapon mark one carried copy; any left
  // unmatched (not carried at all) are listed after the carried items.
  std::vector<uint32_t> worn;
  for (const int32_t stored : h.wornItems) {
    if (stored != 0) worn.push_back(Number(stored));
  }
  bool weaponLeft = h.weapon != 0;
  auto separator = [&]() { return std::string(kListSeparators[entries.empty() ? 0 : 1]); };
  auto wornEntry = [&](const ItemRecord& item) {
    return separator() + item.name() + " (" + std::string(WornOnPlaceName(item.wornOn())) + ")";
  };
  auto weaponEntry = [&](const ItemRecord& item, uint32_t number) {
    return separator() + item.name() +
           (suffix == ListingSuffix::kNumbers ? Format(" (Readied/%u)", number)
                                              : std::string(" (Weapon Hand)"));
  };
  ItemRecord item;
  for (const int32_t stored : h.items) {
    const uint32_t number = Number(stored);
    if (stored == 0 || !input.readItem(number, item)) continue;
    if (const auto w = std::find(worn.begin(), worn.end(), number); w != worn.end()) {
      worn.erase(w);
      entries.push_back(wornEntry(item));
    } else if (weaponLeft && number == Number(h.weapon)) {
      weaponLeft = false;
      entries.push_back(weaponEntry(item, number));
    } else {
      entries.push_back(separator() + item.name() + ItemSuffix(suffix, number, item, maximum));
    }
  }
  for (const uint32_t number : worn) {
    if (input.readItem(number, item)) entries.push_back(wornEntry(item));
  }
  if (weaponLeft && input.readItem(Number(h.weapon), item)) {
    entries.push_back(weaponEntry(item, Number(h.weapon)));
  }

  const int64_t carried = Encumbrance(h, input.readItem);
  const int64_t percent = ShareOfMaximum(carried, maximum);
  const std::string category(EncumbranceCategory(percent));
  return {"You are carrying " + (entries.empty() ? std::string("Nothing!") : Joined(entries) + "."),
          WealthLine(h),
          Format("|02Encumbrance: |03%d/%d - %s [%d%%]", Narrow(carried), Narrow(maximum),
                 category.c_str(), Narrow(percent))};
}

Lines KeyLines(const WalkerSession& session, const HoldingsInput& input, ListingSuffix suffix) {
  const WalkerHoldings& h = session.holdings;
  const int64_t maximum = MaximumEncumbrance(session.character, input.sheet);
  std::string names;
  size_t count = 0;
  ItemRecord item;
  for (const int32_t stored : h.keys) {
    const uint32_t number = Number(stored);
    if (stored == 0 || !input.readItem(number, item)) continue;
    names += std::string(kListSeparators[count++ == 0 ? 0 : 1]) + item.name() +
             ItemSuffix(suffix, number, item, maximum);
  }
  if (count == 0) return {"You have no keys."};
  return {"You have the following keys: " + names};
}

Lines WealthLines(const WalkerSession& session, const HoldingsInput& input, bool percent) {
  const WalkerHoldings& h = session.holdings;
  const int64_t maximum = MaximumEncumbrance(session.character, input.sheet);
  const std::vector<std::string> pieces =
      CoinPieces(PurseOf(h), session.runicCoinName, [&](uint32_t count) {
        if (!percent) return std::string();
        return Format(" (%lld%%)", static_cast<long long>(ShareOfMaximum(count / 3, maximum)));
      });
  return {pieces.empty() ? std::string("No money!") : "You have " + Joined(pieces) + ".",
          WealthLine(h)};
}

Lines InventorySyntaxLines() {
  return {"|07Syntax|08: |14INVENTORY |07[PERCENT|08, |07IDS |08or |07HELP|08]",
          "  |14PERCENT |07- Show each item's share of your maximum encumbrance.",
          "  |14IDS     |07- Show each item's number.", "  |14HELP    |07- Show this screen.",
          "|07I and EQUIP alone list what you carry as well."};
}

Lines KeysSyntaxLines() {
  return {"|07Syntax|08: |14KEYS |07[PERCENT|08, |07IDS |08or |07HELP|08]",
          "  |14PERCENT |07- Show each key's share of your maximum encumbrance.",
          "  |14IDS     |07- Show each key's number.", "  |14HELP    |07- Show this screen."};
}

}  // namespace torvex
