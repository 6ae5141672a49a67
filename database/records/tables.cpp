#include "database/records/tables.h"

namespace torvex {
namespace {

template <typename T, size_t N>
T At(const std::array<T, N>& table, long long index, T outside) {
  return index >= 0 && index < static_cast<long long>(N) ? table[index] : outside;
}

constexpr std::array<std::string_view, 8> kRoomAttributeNames{
    "NoPVP", "Patrollable", "Ownable", "NPCIsAlive", "Purge", "SpellOnEntry", "GangRoom", "Bit8"};
constexpr std::array<std::string_view, 8> kGangFlagNames{"B1", "B2", "Disbanded", "RolledOver",
                                                         "B5", "B6", "B7",        "B8"};
constexpr std::array<uint32_t, kCoinKinds> kCoinValues{0, 1, 10, 100, 10000, 1000000};

}  // namespace

const std::array<std::string_view, 21> kWornOnPlaceNames{
    "Unknown", "Nowhere", "Everywhere", "Head", "Hands", "Finger", "Feet",
    "Arms",    "Back",    "Neck",       "Legs", "Waist", "Torso",  "Off-Hand",
    "Finger",  "Wrist",   "Ears",       "Worn", "Wrist", "Eyes",   "Face"};

const std::array<std::string_view, 12> kCoinNames{
    "unknown",        "copper farthing", "silver noble",    "gold crown",
    "platinum piece", "runic coin",      "unknowns",        "copper farthings",
    "silver nobles",  "gold crowns",     "platinum pieces", "runic coins"};
const std::array<std::string_view, 6> kCoinNamesPlural{"unknown",         "copper farthings",
                                                       "silver nobles",   "gold crowns",
                                                       "platinum pieces", "runic coins"};
const std::array<std::string_view, 6> kCoinNamesSingular{
    "unknown", "copper farthing", "silver noble", "gold crown", "platinum piece", "runic coin"};

const std::array<std::string_view, 10> kHairColours{
    "black", "white", "silver", "red", "brown", "dark-brown", "blonde", "green", "blue", "grey"};
const std::array<std::string_view, 6> kHairLengths{"none", "short",        "shoulder-length",
                                                   "long", "waist-length", "ankle-length"};
const std::array<std::string_view, 17> kEyeColours{
    "black",      "crimson",    "yellow",       "pale-blue",    "sea-blue",   "dark-blue",
    "grey-blue",  "slate-grey", "bright-green", "forest-green", "pale-green", "chesnut-brown",
    "dark-brown", "hazel",      "violet",       "lavender",     "golden"};

const std::array<std::string_view, 7> kLightLevels{
    "pitch black",   "very dark", "barely visible", "dimly lit",
    "Regular Light", "Daylight",  "You are blind!"};

const std::array<std::string_view, 2> kListSeparators{"", ", "};

const std::array<std::string_view, kDirectionCount> kDirectionNames{
    "North",     "South",     "East",      "West", "Northeast",
    "Northwest", "Southeast", "Southwest", "Up",   "Down"};

const std::array<std::string_view, kDatabaseFileCount> kDatabaseFileNames{
    "WCCRACE2", "WCCCLAS2", "WCCMP002", "WCCSHOP2", "WCCITEM2", "WCCSPEL2", "WCCKNMS2", "WCCMSG2",
    "WCCTEXT2", "WCCACTS2", "WCCUSER2", "WCCUPDA2", "WCCACMS2", "WCCITOW2", "WCCGANG2", "WCCVACN"};

const std::array<std::string_view, 2> kDatabaseExtensions{"VIR", "DAT"};

const std::array<uint16_t, kDatabaseFileCount> kRecordLengths{
    0, 126, 156, 1544, 504, 1072, 260, 756, 256, 24, 1010, 2028, 2020, 400, 72, 256};

std::string_view WornOnPlaceName(int8_t wornOn) {
  return At(kWornOnPlaceNames, static_cast<long long>(wornOn) + 1, kWornOnPlaceNames[0]);
}

std::string_view CoinName(int coinKind, uint64_t count) {
  if (coinKind < 0 || coinKind >= kCoinKinds) coinKind = 0;
  return kCoinNames[coinKind + (count == 1 ? 0 : kCoinKinds)];
}

int CoinKindOfCurrency(uint8_t currencyType) {
  return currencyType <= 4 ? currencyType + 1 : 0;
}

uint32_t CoinValue(int coinKind) {
  return At(kCoinValues, coinKind, uint32_t{0});
}

std::string_view DirectionName(int direction) {
  return At(kDirectionNames, direction, std::string_view());
}
std::string_view RoomAttributeName(int bit) {
  return At(kRoomAttributeNames, bit, std::string_view());
}
std::string_view GangFlagName(int bit) {
  return At(kGangFlagNames, bit, std::string_view());
}

std::string_view DatabaseFileName(int index) {
  return At(kDatabaseFileNames, index, std::string_view());
}

std::string_view DatabaseExtensionFor(uint8_t option) {
  return kDatabaseExtensions[option == 1 ? 1 : 0];
}

uint16_t RecordLengthForCode(int fileCode) {
  return At(kRecordLengths, fileCode, uint16_t{0});
}

}  // namespace torvex
