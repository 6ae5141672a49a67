#include "database/records/enumerations.h"

#include "console/format.h"

namespace torvex {
namespace {

template <size_t N>
using Words = std::array<std::string_view, N>;

// The fallback shows the code as the field holds it: signed at its width.
std::string EnumText(const EnumerationTable& table, uint32_t code, int signedCode) {
  if (code < table.words.size()) return std::string(table.words[code]);
  return std::string(table.fallbackPrefix) + Format("%d", signedCode);
}
std::string Text8(const EnumerationTable& table, uint8_t code) {
  return EnumText(table, code, static_cast<int8_t>(code));
}
std::string Text16(const EnumerationTable& table, uint16_t code) {
  return EnumText(table, code, static_cast<int16_t>(code));
}

constexpr Words<3> kOwnerTypes{"room", "user", "monster"};
constexpr Words<14> kCastTargets{"single",
                                 "self",
                                 "self-or-single",
                                 "divided-area-not-you",
                                 "any-monster",
                                 "divided-area-incl-you",
                                 "any",
                                 "item",
                                 "any-monster-or-single",
                                 "divided-attack-area",
                                 "divided-party-area",
                                 "full-area",
                                 "full-attack-area",
                                 "full-party-area"};
constexpr Words<4> kCastStyles{"auto-combat", "poison", "change-me", "general"};
constexpr Words<3> kResistables{"never", "yes", "no"};
constexpr Words<7> kResistTypes{"magic-resistance", "strength",  "agility", "health",
                                "intellect",        "willpower", "charm"};
constexpr Words<7> kElementTypes{"cold", "fire", "stone", "lightning", "normal", "water", "poison"};
constexpr Words<6> kMagicTypes{"none", "mage", "priest", "druid", "bard", "kai"};
constexpr Words<11> kItemTypes{"armour", "weapon", "projectile", "sign",   "food",   "drink",
                               "light",  "key",    "container",  "scroll", "general"};
constexpr Words<10> kArmourTypes{"natural",
                                 "robes",
                                 "padded",
                                 "soft-leather",
                                 "soft-studded-leather",
                                 "rigid-leather",
                                 "studded-rigid-leather",
                                 "chainmail",
                                 "scalemail",
                                 "platemail"};
constexpr Words<10> kWeaponTypes{"1h-blunt", "2h-blunt",  "1h-sharp",  "2h-sharp",    "any-1h",
                                 "any-2h",   "any-sharp", "any-blunt", "all-weapons", "limited"};
constexpr Words<5> kCurrencyTypes{"copper", "silver", "gold", "platinum", "runic"};
constexpr Words<20> kWornOn{"nowhere", "everywhere", "head",     "hands",   "finger1",
                            "feet",    "arms",       "back",     "neck",    "legs",
                            "waist",   "torso",      "off-hand", "finger2", "wrist1",
                            "ears",    "worn",       "wrist2",   "eyes",    "face"};
constexpr Words<7> kMaterialTypes{"iron", "steel",    "bronze", "silver",
                                  "gold", "platinum", "cotton"};
constexpr Words<4> kMovementTypes{"solo", "leader", "follower", "stationary"};
constexpr Words<7> kAlignmentTypes{"good",        "evil",         "chaotic-evil", "neutral",
                                   "lawful-good", "neutral-evil", "lawful-evil"};
constexpr Words<3> kMonsterGenders{"it", "male", "female"};
constexpr Words<13> kShopTypes{"general",  "weapons",   "armour",   "items",    "spells",
                               "hospital", "tavern",    "bank",     "training", "inn",
                               "specific", "gang-shop", "deed-shop"};
constexpr Words<25> kExitTypes{"normal",    "spell",  "key",           "item",       "toll",
                               "action",    "hidden", "door",          "map-change", "trap",
                               "text",      "gate",   "remote-action", "class",      "race",
                               "level",     "timed",  "ticket",        "user-count", "block-guard",
                               "alignment", "delay",  "cast",          "ability",    "spell-trap"};
constexpr Words<18> kRoomTypes{"normal", "shop",     "arena",   "lair",    "hotel",    "colliseum",
                               "jail",   "library",  "general", "weapons", "armour",   "items",
                               "spells", "hospital", "tavern",  "bank",    "training", "inn"};

constexpr std::array<uint8_t, 7> kElementColours{9, 12, 7, 14, 15, 9, 2};

}  // namespace

#define TORVEX_ENUMERATION(Table, words, prefix)        \
  const EnumerationTable& Table() {                     \
    static const EnumerationTable table{words, prefix}; \
    return table;                                       \
  }
TORVEX_ENUMERATION(OwnerTypes, kOwnerTypes, "ownertype-")
TORVEX_ENUMERATION(CastTargets, kCastTargets, "spelltarget-")
TORVEX_ENUMERATION(CastStyles, kCastStyles, "spelltype-")
TORVEX_ENUMERATION(Resistables, kResistables, "resists-")
TORVEX_ENUMERATION(ResistTypes, kResistTypes, "resistype-")
TORVEX_ENUMERATION(ElementTypes, kElementTypes, "elementtype-")
TORVEX_ENUMERATION(MagicTypes, kMagicTypes, "magictype-")
TORVEX_ENUMERATION(ItemTypes, kItemTypes, "itemtype-")
TORVEX_ENUMERATION(ArmourTypes, kArmourTypes, "armourtype-")
TORVEX_ENUMERATION(WeaponTypes, kWeaponTypes, "weapontype-")
TORVEX_ENUMERATION(CurrencyTypes, kCurrencyTypes, "currencytype-")
TORVEX_ENUMERATION(WornOnPlaces, kWornOn, "wornon-")
TORVEX_ENUMERATION(MaterialTypes, kMaterialTypes, "materialtype-")
TORVEX_ENUMERATION(MovementTypes, kMovementTypes, "movementtype-")
TORVEX_ENUMERATION(AlignmentTypes, kAlignmentTypes, "alignmenttype-")
TORVEX_ENUMERATION(MonsterGenders, kMonsterGenders, "monstergender-")
TORVEX_ENUMERATION(ShopTypes, kShopTypes, "shoptype-")
TORVEX_ENUMERATION(ExitTypes, kExitTypes, "exittype-")
TORVEX_ENUMERATION(RoomTypes, kRoomTypes, "roomtype-")
#undef TORVEX_ENUMERATION

std::string OwnerTypeText(uint8_t code) {
  return Text8(OwnerTypes(), code);
}
std::string CastTargetText(uint16_t code) {
  return Text16(CastTargets(), code);
}
std::string CastStyleText(uint16_t code) {
  return Text16(CastStyles(), code);
}
std::string ResistableText(uint8_t code) {
  return Text8(Resistables(), code);
}
std::string ResistTypeText(uint8_t code) {
  return Text8(ResistTypes(), code);
}
std::string ElementTypeText(uint16_t code) {
  return Text16(ElementTypes(), code);
}
std::string MagicTypeText(uint16_t code) {
  return Text16(MagicTypes(), code);
}
std::string ItemTypeText(uint16_t code) {
  return Text16(ItemTypes(), code);
}
std::string ArmourTypeText(uint16_t code) {
  return Text16(ArmourTypes(), code);
}
std::string WeaponTypeText(uint16_t code) {
  return Text16(WeaponTypes(), code);
}
std::string CurrencyTypeText(uint8_t code) {
  return Text8(CurrencyTypes(), code);
}
std::string WornOnText(uint8_t code) {
  return Text8(WornOnPlaces(), code);
}
std::string MaterialTypeText(uint8_t code) {
  return Text8(MaterialTypes(), code);
}
std::string MovementTypeText(uint8_t code) {
  return Text8(MovementTypes(), code);
}
std::string AlignmentTypeText(uint16_t code) {
  return Text16(AlignmentTypes(), code);
}
std::string MonsterGenderText(uint8_t code) {
  return Text8(MonsterGenders(), code);
}
std::string ShopTypeText(uint16_t code) {
  return Text16(ShopTypes(), code);
}
std::string ExitTypeText(uint16_t code) {
  return Text16(ExitTypes(), code);
}
std::string RoomTypeText(uint16_t code) {
  return Text16(RoomTypes(), code);
}

uint8_t ElementColour(uint16_t code) {
  return code < kElementColours.size() ? kElementColours[code] : 15;
}

}  // namespace torvex
