// The fixed text tables of the game's data model and the catalogue of its
// database files. Tables are exposed whole (index 0 first, in the game's order);
// the look-up functions beside them never index outside a table.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace torvex {

// Worn-on place names, indexed by WornOn code + 1 (index 0 "Unknown").
extern const std::array<std::string_view, 21> kWornOnPlaceNames;
// The place for a WornOn field value; "Unknown" for codes outside the table.
std::string_view WornOnPlaceName(int8_t wornOn);

// Coin kinds of the coin-name tables: 0 unknown, 1 copper ... 5 runic.
inline constexpr int kCoinKinds = 6;
// Singular names at the coin kind, plural names at coin kind + 6.
extern const std::array<std::string_view, 12> kCoinNames;
extern const std::array<std::string_view, 6> kCoinNamesPlural;
extern const std::array<std::string_view, 6> kCoinNamesSingular;
// The coin name for a count: singular for 1, plural otherwise. Kinds outside
// 0..5 name the unknown coin.
std::string_view CoinName(int coinKind, uint64_t count);
// An item's CurrencyType (0 copper ... 4 runic) as a coin kind (1 ... 5); 0 for
// codes outside that range.
int CoinKindOfCurrency(uint8_t currencyType);
// Copper farthings in one coin of a kind; 0 for the unknown kind.
uint32_t CoinValue(int coinKind);

// The walker's character description.
extern const std::array<std::string_view, 10> kHairColours;
extern const std::array<std::string_view, 6> kHairLengths;
extern const std::array<std::string_view, 17> kEyeColours;

// Light descriptions, from pitch black to "You are blind!".
extern const std::array<std::string_view, 7> kLightLevels;

// The separator before the first item of a list and before every later one.
extern const std::array<std::string_view, 2> kListSeparators;

// Directions in the order of a room's exit arrays.
inline constexpr int kDirectionCount = 10;
extern const std::array<std::string_view, kDirectionCount> kDirectionNames;
// "North" ... "Down"; "" outside 0..9.
std::string_view DirectionName(int direction);

// Names of the bits of a room's `attributes` and of a gang's `flags`, bit 0
// first; "" outside 0..7.
std::string_view RoomAttributeName(int bit);
std::string_view GangFlagName(int bit);

// The database files, in the game's order: index 0 WCCRACE2 ... 15 WCCVACN.
// The update file names its target by position in this table, counted from 1.
inline constexpr int kDatabaseFileCount = 16;
extern const std::array<std::string_view, kDatabaseFileCount> kDatabaseFileNames;
// "" outside 0..15.
std::string_view DatabaseFileName(int index);

// Index of each file in kDatabaseFileNames.
enum DatabaseFile : int {
  kRaceFile = 0,
  kClassFile = 1,
  kRoomFile = 2,
  kShopFile = 3,
  kItemFile = 4,
  kSpellFile = 5,
  kMonsterFile = 6,
  kMessageFile = 7,
  kTextFile = 8,
  kActionFile = 9,
  kUserFile = 10,
  kUpdateFile = 11,
  kActiveMonsterFile = 12,
  kItemOwnerFile = 13,
  kGangFile = 14,
  kVacationFile = 15,
};

// The extension chosen by the data-file option: 0 "VIR" (templates), 1 "DAT"
// (live files).
extern const std::array<std::string_view, 2> kDatabaseExtensions;
// "VIR" for any option other than 1.
std::string_view DatabaseExtensionFor(uint8_t option);

// Record length of each file on disk, by file code (1 WCCRACE2 ... 15
// WCCGANG2, the position in kDatabaseFileNames + 1). Text blocks have 24 here,
// their fixed part. Index 0 and WCCVACN, which no code reaches, hold 0.
extern const std::array<uint16_t, kDatabaseFileCount> kRecordLengths;
// 0 for codes outside the table.
uint16_t RecordLengthForCode(int fileCode);

}  // namespace torvex
