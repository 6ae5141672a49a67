// The words shown for the enumerated codes of the game's records. A code
// outside a table gives the table's fallback prefix followed by the code in
// signed decimal at the field's width, so a byte 255 shows as "-1" and a word
// 65535 as "-1" too. The parameter types are the field widths.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace torvex {

// A table of words indexed by code, and the prefix of the fallback text.
struct EnumerationTable {
  std::span<const std::string_view> words;
  std::string_view fallbackPrefix;
};

std::string OwnerTypeText(uint8_t code);
std::string CastTargetText(uint16_t code);
std::string CastStyleText(uint16_t code);
std::string ResistableText(uint8_t code);
std::string ResistTypeText(uint8_t code);
std::string ElementTypeText(uint16_t code);
std::string MagicTypeText(uint16_t code);
std::string ItemTypeText(uint16_t code);
std::string ArmourTypeText(uint16_t code);
std::string WeaponTypeText(uint16_t code);
std::string CurrencyTypeText(uint8_t code);
std::string WornOnText(uint8_t code);
std::string MaterialTypeText(uint8_t code);
std::string MovementTypeText(uint8_t code);
std::string AlignmentTypeText(uint16_t code);
std::string MonsterGenderText(uint8_t code);
std::string ShopTypeText(uint16_t code);
std::string ExitTypeText(uint16_t code);
std::string RoomTypeText(uint16_t code);

// The tables behind the texts, for screens that list every choice.
const EnumerationTable& OwnerTypes();
const EnumerationTable& CastTargets();
const EnumerationTable& CastStyles();
const EnumerationTable& Resistables();
const EnumerationTable& ResistTypes();
const EnumerationTable& ElementTypes();
const EnumerationTable& MagicTypes();
const EnumerationTable& ItemTypes();
const EnumerationTable& ArmourTypes();
const EnumerationTable& WeaponTypes();
const EnumerationTable& CurrencyTypes();
const EnumerationTable& WornOnPlaces();
const EnumerationTable& MaterialTypes();
const EnumerationTable& MovementTypes();
const EnumerationTable& AlignmentTypes();
const EnumerationTable& MonsterGenders();
const EnumerationTable& ShopTypes();
const EnumerationTable& ExitTypes();
const EnumerationTable& RoomTypes();

// The colour number (of the colour-code writer) an element is shown in; 15 for
// codes outside the table.
uint8_t ElementColour(uint16_t code);

// Codes the program's rules branch on.
enum class ItemType : uint16_t {
  kArmour = 0,
  kWeapon = 1,
  kProjectile = 2,
  kSign = 3,
  kFood = 4,
  kDrink = 5,
  kLight = 6,
  kKey = 7,
  kContainer = 8,
  kScroll = 9,
  kGeneral = 10,
};

enum class ExitType : uint16_t {
  kNormal = 0,
  kSpell = 1,
  kKey = 2,
  kItem = 3,
  kToll = 4,
  kAction = 5,
  kHidden = 6,
  kDoor = 7,
  kMapChange = 8,
  kTrap = 9,
  kText = 10,
  kGate = 11,
  kRemoteAction = 12,
  kClass = 13,
  kRace = 14,
  kLevel = 15,
  kTimed = 16,
  kTicket = 17,
  kUserCount = 18,
  kBlockGuard = 19,
  kAlignment = 20,
  kDelay = 21,
  kCast = 22,
  kAbility = 23,
  kSpellTrap = 24,
};

enum class ShopType : uint16_t {
  kGeneral = 0,
  kWeapons = 1,
  kArmour = 2,
  kItems = 3,
  kSpells = 4,
  kHospital = 5,
  kTavern = 6,
  kBank = 7,
  kTraining = 8,
  kInn = 9,
  kSpecific = 10,
  kGangShop = 11,
  kDeedShop = 12,
};

enum class OwnerType : uint8_t { kRoom = 0, kUser = 1, kMonster = 2 };

// An item's price currency; note that the coin kinds of the coin-name tables
// are numbered one higher (CoinKindOfCurrency).
enum class CurrencyType : uint8_t {
  kCopper = 0,
  kSilver = 1,
  kGold = 2,
  kPlatinum = 3,
  kRunic = 4,
};

}  // namespace torvex
