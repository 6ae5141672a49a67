// The words shown for codes, their fallbacks at the field's width, and the
// fixed tables of the data model.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "database/records/enumerations.h"
#include "database/records/tables.h"

namespace torvex {
namespace {

struct EnumerationCase {
  const char* name;
  std::function<std::string(uint32_t)> text;  // the code is cut to the field's width
  const EnumerationTable& table;
  size_t size;
  const char* first;
  const char* last;
  const char* prefix;
  bool eightBit;
};

template <typename T>
std::function<std::string(uint32_t)> Cut(std::string (*f)(T)) {
  return [f](uint32_t code) { return f(static_cast<T>(code)); };
}

TEST(EnumerationTest, WordsAndFallbacks) {
  const EnumerationCase cases[] = {
      {"OwnerType", Cut(OwnerTypeText), OwnerTypes(), 3, "room", "monster", "ownertype-", true},
      {"CastTarget", Cut(CastTargetText), CastTargets(), 14, "single", "full-party-area",
       "spelltarget-", false},
      {"CastStyle", Cut(CastStyleText), CastStyles(), 4, "auto-combat", "general", "spelltype-",
       false},
      {"Resistable", Cut(ResistableText), Resistables(), 3, "never", "no", "resists-", true},
      {"ResistType", Cut(ResistTypeText), ResistTypes(), 7, "magic-resistance", "charm",
       "resistype-", true},
      {"ElementType", Cut(ElementTypeText), ElementTypes(), 7, "cold", "poison", "elementtype-",
       false},
      {"MagicType", Cut(MagicTypeText), MagicTypes(), 6, "none", "kai", "magictype-", false},
      {"ItemType", Cut(ItemTypeText), ItemTypes(), 11, "armour", "general", "itemtype-", false},
      {"ArmourType", Cut(ArmourTypeText), ArmourTypes(), 10, "natural", "platemail", "armourtype-",
       false},
      {"WeaponType", Cut(WeaponTypeText), WeaponTypes(), 10, "1h-blunt", "limited", "weapontype-",
       false},
      {"CurrencyType", Cut(CurrencyTypeText), CurrencyTypes(), 5, "copper", "runic",
       "currencytype-", true},
      {"WornOn", Cut(WornOnText), WornOnPlaces(), 20, "nowhere", "face", "wornon-", true},
      {"MaterialType", Cut(MaterialTypeText), MaterialTypes(), 7, "iron", "cotton", "materialtype-",
       true},
      {"MovementType", Cut(MovementTypeText), MovementTypes(), 4, "solo", "stationary",
       "movementtype-", true},
      {"AlignmentType", Cut(AlignmentTypeText), AlignmentTypes(), 7, "good", "lawful-evil",
       "alignmenttype-", false},
      {"MonsterGender", Cut(MonsterGenderText), MonsterGenders(), 3, "it", "female",
       "monstergender-", true},
      {"ShopType", Cut(ShopTypeText), ShopTypes(), 13, "general", "deed-shop", "shoptype-", false},
      {"ExitType", Cut(ExitTypeText), ExitTypes(), 25, "normal", "spell-trap", "exittype-", false},
      {"RoomType", Cut(RoomTypeText), RoomTypes(), 18, "normal", "inn", "roomtype-", false},
  };
  for (const EnumerationCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string prefix = c.prefix;
    EXPECT_EQ(c.size, c.table.words.size());
    EXPECT_EQ(prefix, c.table.fallbackPrefix);
    EXPECT_EQ(c.first, c.text(0));
    EXPECT_EQ(c.last, c.text(static_cast<uint32_t>(c.size - 1)));
    EXPECT_EQ(prefix + std::to_string(c.size), c.text(static_cast<uint32_t>(c.size)));
    // The code is shown signed at the field's width.
    EXPECT_EQ(prefix + "-1", c.text(c.eightBit ? 0xFF : 0xFFFF));
    if (c.eightBit) {
      EXPECT_EQ(prefix + "127", c.text(127));
      EXPECT_EQ(prefix + "-128", c.text(128));
    } else {
      EXPECT_EQ(prefix + "255", c.text(255));
      EXPECT_EQ(prefix + "32767", c.text(32767));
      EXPECT_EQ(prefix + "-32768", c.text(32768));
    }
  }
}

TEST(EnumerationTest, CodesFromRecords) {
  EXPECT_EQ("itemtype-11", ItemTypeText(11));
  EXPECT_EQ("wornon--56", WornOnText(200));
  EXPECT_EQ("wornon--56", WornOnText(static_cast<int8_t>(-56)));
  EXPECT_EQ("monstergender-3", MonsterGenderText(3));
  EXPECT_EQ("finger2", WornOnText(13));
  EXPECT_EQ("gang-shop", ShopTypeText(11));
  EXPECT_EQ("map-change", ExitTypeText(static_cast<uint16_t>(ExitType::kMapChange)));
  EXPECT_EQ("colliseum", RoomTypeText(5));
  EXPECT_EQ("divided-area-incl-you", CastTargetText(5));
}

TEST(EnumerationTest, ElementColours) {
  const uint8_t expected[] = {9, 12, 7, 14, 15, 9, 2};
  for (uint16_t code = 0; code < 7; ++code)
    EXPECT_EQ(expected[code], ElementColour(code)) << ElementTypeText(code);
  EXPECT_EQ(15, ElementColour(7));
  EXPECT_EQ(15, ElementColour(0xFFFF));
}

TEST(TextTableTest, WornOnPlacesAreShiftedByOne) {
  EXPECT_EQ(21u, kWornOnPlaceNames.size());
  EXPECT_EQ("Unknown", WornOnPlaceName(-1));
  EXPECT_EQ("Nowhere", WornOnPlaceName(0));
  EXPECT_EQ("Finger", WornOnPlaceName(4));
  EXPECT_EQ("Finger", WornOnPlaceName(13));
  EXPECT_EQ("Wrist", WornOnPlaceName(17));
  EXPECT_EQ("Face", WornOnPlaceName(19));
  EXPECT_EQ("Unknown", WornOnPlaceName(20));
  EXPECT_EQ("Unknown", WornOnPlaceName(-128));
  EXPECT_EQ("Unknown", WornOnPlaceName(127));
}

TEST(TextTableTest, CoinNames) {
  EXPECT_EQ("copper farthing", CoinName(1, 1));
  EXPECT_EQ("copper farthings", CoinName(1, 2));
  EXPECT_EQ("copper farthings", CoinName(1, 0));
  EXPECT_EQ("runic coin", CoinName(5, 1));
  EXPECT_EQ("runic coins", CoinName(5, 7));
  EXPECT_EQ("unknown", CoinName(0, 1));
  EXPECT_EQ("unknowns", CoinName(0, 3));
  EXPECT_EQ("unknown", CoinName(6, 1));
  EXPECT_EQ("unknowns", CoinName(-1, 2));
  for (int kind = 0; kind < kCoinKinds; ++kind) {
    EXPECT_EQ(kCoinNamesSingular[kind], kCoinNames[kind]);
    if (kind > 0) {
      EXPECT_EQ(kCoinNamesPlural[kind], kCoinNames[kind + kCoinKinds]);
    }
  }
  EXPECT_EQ("unknown", kCoinNamesPlural[0]);
  // Currency codes are one below coin kinds.
  EXPECT_EQ(1, CoinKindOfCurrency(0));
  EXPECT_EQ(5, CoinKindOfCurrency(4));
  EXPECT_EQ(0, CoinKindOfCurrency(5));
  EXPECT_EQ(1000000u, CoinValue(CoinKindOfCurrency(4)));
  EXPECT_EQ(1u, CoinValue(1));
  EXPECT_EQ(0u, CoinValue(0));
  EXPECT_EQ(0u, CoinValue(6));
}

TEST(TextTableTest, DescriptionTables) {
  EXPECT_EQ(10u, kHairColours.size());
  EXPECT_EQ("grey", kHairColours[9]);
  EXPECT_EQ(6u, kHairLengths.size());
  EXPECT_EQ("ankle-length", kHairLengths[5]);
  EXPECT_EQ(17u, kEyeColours.size());
  EXPECT_EQ("chesnut-brown", kEyeColours[11]);
  EXPECT_EQ("golden", kEyeColours[16]);
  EXPECT_EQ(7u, kLightLevels.size());
  EXPECT_EQ("Regular Light", kLightLevels[4]);
  EXPECT_EQ("You are blind!", kLightLevels[6]);
  EXPECT_EQ("", kListSeparators[0]);
  EXPECT_EQ(", ", kListSeparators[1]);
  EXPECT_EQ("Northwest", DirectionName(5));
  EXPECT_EQ("Down", DirectionName(9));
  EXPECT_EQ("", DirectionName(10));
  EXPECT_EQ("SpellOnEntry", RoomAttributeName(5));
  EXPECT_EQ("", RoomAttributeName(8));
  EXPECT_EQ("RolledOver", GangFlagName(3));
  EXPECT_EQ("", GangFlagName(-1));
}

TEST(FileCatalogueTest, NamesExtensionsAndLengths) {
  EXPECT_EQ("WCCRACE2", DatabaseFileName(kRaceFile));
  EXPECT_EQ("WCCMP002", DatabaseFileName(kRoomFile));
  EXPECT_EQ("WCCACTS2", DatabaseFileName(kActionFile));
  EXPECT_EQ("WCCVACN", DatabaseFileName(15));
  EXPECT_EQ("", DatabaseFileName(16));
  EXPECT_EQ("", DatabaseFileName(-1));
  EXPECT_EQ("VIR", DatabaseExtensionFor(0));
  EXPECT_EQ("DAT", DatabaseExtensionFor(1));
  EXPECT_EQ("VIR", DatabaseExtensionFor(7));

  // File code c names kDatabaseFileNames[c - 1].
  const struct {
    int code;
    const char* file;
    uint16_t length;
  } lengths[] = {{1, "WCCRACE2", 126},   {2, "WCCCLAS2", 156},   {3, "WCCMP002", 1544},
                 {4, "WCCSHOP2", 504},   {5, "WCCITEM2", 1072},  {6, "WCCSPEL2", 260},
                 {7, "WCCKNMS2", 756},   {8, "WCCMSG2", 256},    {9, "WCCTEXT2", 24},
                 {10, "WCCACTS2", 1010}, {11, "WCCUSER2", 2028}, {12, "WCCUPDA2", 2020},
                 {13, "WCCACMS2", 400},  {14, "WCCITOW2", 72},   {15, "WCCGANG2", 256}};
  for (const auto& l : lengths) {
    EXPECT_EQ(l.length, RecordLengthForCode(l.code)) << "code " << l.code;
    EXPECT_EQ(l.file, DatabaseFileName(l.code - 1)) << "code " << l.code;
  }
  for (int code : {0, 16, 127, -1}) EXPECT_EQ(0, RecordLengthForCode(code)) << "code " << code;
}

}  // namespace
}  // namespace torvex
