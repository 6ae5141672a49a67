// Every kind of record of the game's database files, as it lies in the file.
// Each class owns the bytes the program keeps of one record and names its
// fields: a getter named after the field (`number()`, `abilityNumbers(i)`,
// `description(line)`) and a setter `set` + the name (`setNumber(v)`,
// `setAbilityNumbers(i, v)`, `setDescription(line, text)`). Integers are
// little-endian at their fixed offsets; text fields read up to their first zero
// byte and are written zero-filled; array and line indexes outside a field read
// 0 or "" and write nothing. Bytes that no accessor names are kept as stored.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "database/records/record_bytes.h"
#include "database/records/record_rules.h"

// One line per field keeps each offset written exactly once.
#define TORVEX_FIELD(T, name, Name, offset) \
  T name() const {                          \
    return Get<T, offset>();                \
  }                                         \
  void set##Name(T value) {                 \
    Set<T, offset>(value);                  \
  }

#define TORVEX_ARRAY(T, name, Name, offset, count) \
  static constexpr size_t k##Name##Count = count;  \
  T name(size_t index) const {                     \
    return GetAt<T, offset, count>(index);         \
  }                                                \
  void set##Name(size_t index, T value) {          \
    SetAt<T, offset, count>(index, value);         \
  }

#define TORVEX_TEXT(name, Name, offset, length)     \
  static constexpr size_t k##Name##Length = length; \
  std::string name() const {                        \
    return GetText<offset, length>();               \
  }                                                 \
  void set##Name(std::string_view text) {           \
    SetText<offset, length>(text);                  \
  }

#define TORVEX_TEXT_LINES(name, Name, offset, length, lines) \
  static constexpr size_t k##Name##Length = length;          \
  static constexpr size_t k##Name##Lines = lines;            \
  std::string name(size_t line) const {                      \
    return GetText<offset, length, lines>(line);             \
  }                                                          \
  void set##Name(size_t line, std::string_view text) {       \
    SetText<offset, length, lines>(text, line);              \
  }

// The parallel ability arrays, whole-array copies for HasAbility/AbilityValue,
// and the two questions every caller asks of them.
#define TORVEX_ABILITY_SLOTS(numbersOffset, valuesOffset, count)                      \
  static constexpr size_t kAbilitySlots = count;                                      \
  TORVEX_ARRAY(uint16_t, abilityNumbers, AbilityNumbers, numbersOffset, count)        \
  TORVEX_ARRAY(int16_t, abilityValues, AbilityValues, valuesOffset, count)            \
  std::array<uint16_t, count> abilityNumberList() const {                             \
    return GetArray<uint16_t, numbersOffset, count>();                                \
  }                                                                                   \
  std::array<int16_t, count> abilityValueList() const {                               \
    return GetArray<int16_t, valuesOffset, count>();                                  \
  }                                                                                   \
  bool hasAbility(uint16_t ability) const {                                           \
    return HasAbility(ability, abilityNumberList(), count - 1);                       \
  }                                                                                   \
  int16_t abilityValue(uint16_t ability) const {                                      \
    return AbilityValue(ability, abilityNumberList(), count - 1, abilityValueList()); \
  }

namespace torvex {

// WCCRACE2. 126 bytes on disk; the kept copy is 128, its last two bytes zero.
class RaceRecord : public RecordBytes<128> {
 public:
  static constexpr size_t kDiskLength = 126;
  using RecordBytes::RecordBytes;

  TORVEX_FIELD(uint16_t, number, Number, 0)
  TORVEX_TEXT(name, Name, 2, 30)
  TORVEX_FIELD(uint16_t, baseIntellect, BaseIntellect, 32)
  TORVEX_FIELD(uint16_t, baseWillpower, BaseWillpower, 34)
  TORVEX_FIELD(uint16_t, baseStrength, BaseStrength, 36)
  TORVEX_FIELD(uint16_t, baseHealth, BaseHealth, 38)
  TORVEX_FIELD(uint16_t, baseAgility, BaseAgility, 40)
  TORVEX_FIELD(uint16_t, baseCharm, BaseCharm, 42)
  TORVEX_FIELD(int16_t, hpBonus, HpBonus, 44)
  TORVEX_ABILITY_SLOTS(50, 72, 10)
  TORVEX_FIELD(uint16_t, startCP, StartCP, 70)
  TORVEX_FIELD(int16_t, expPercent, ExpPercent, 98)
  TORVEX_FIELD(uint16_t, maxIntellect, MaxIntellect, 102)
  TORVEX_FIELD(uint16_t, maxWillpower, MaxWillpower, 104)
  TORVEX_FIELD(uint16_t, maxStrength, MaxStrength, 106)
  TORVEX_FIELD(uint16_t, maxHealth, MaxHealth, 108)
  TORVEX_FIELD(uint16_t, maxAgility, MaxAgility, 110)
  TORVEX_FIELD(uint16_t, maxCharm, MaxCharm, 112)
};

// WCCCLAS2.
class ClassRecord : public RecordBytes<156> {
 public:
  static constexpr size_t kDiskLength = 156;
  using RecordBytes::RecordBytes;

  TORVEX_FIELD(uint16_t, number, Number, 0)
  TORVEX_TEXT(name, Name, 2, 30)
  TORVEX_FIELD(uint16_t, minHP, MinHP, 32)
  TORVEX_FIELD(uint16_t, hpRange, HpRange, 34)
  TORVEX_FIELD(int16_t, expPercent, ExpPercent, 36)
  TORVEX_ABILITY_SLOTS(44, 74, 10)
  TORVEX_FIELD(uint16_t, magicType, MagicType, 64)
  TORVEX_FIELD(uint16_t, magicLevel, MagicLevel, 66)
  TORVEX_FIELD(uint16_t, weaponType, WeaponType, 68)
  TORVEX_FIELD(uint16_t, armourType, ArmourType, 70)
  TORVEX_FIELD(uint16_t, combat, Combat, 72)
  TORVEX_FIELD(uint32_t, titles, Titles, 100)
};

// WCCITEM2.
class ItemRecord : public RecordBytes<1072> {
 public:
  static constexpr size_t kDiskLength = 1072;
  using RecordBytes::RecordBytes;

  TORVEX_FIELD(uint32_t, number, Number, 0)
  TORVEX_FIELD(uint16_t, loreDifficulty, LoreDifficulty, 4)
  TORVEX_FIELD(uint16_t, limit, Limit, 6)
  TORVEX_TEXT(name, Name, 173, 30)
  TORVEX_TEXT_LINES(description, Description, 203, 61, 6)
  TORVEX_TEXT_LINES(loreDescription, LoreDescription, 569, 61, 3)
  TORVEX_FIELD(uint16_t, weight, Weight, 754)
  TORVEX_FIELD(uint16_t, itemType, ItemType, 756)
  TORVEX_ABILITY_SLOTS(758, 994, 20)
  TORVEX_FIELD(int16_t, uses, Uses, 798)
  TORVEX_FIELD(uint16_t, energyMod, EnergyMod, 800)
  TORVEX_FIELD(uint16_t, cost, Cost, 802)
  TORVEX_ARRAY(uint16_t, classes, Classes, 804, 10)
  TORVEX_FIELD(uint8_t, material, Material, 824)
  TORVEX_FIELD(uint16_t, minHit, MinHit, 830)
  TORVEX_FIELD(uint16_t, maxHit, MaxHit, 832)
  TORVEX_FIELD(uint16_t, armourClass, ArmourClass, 834)
  TORVEX_ARRAY(uint16_t, races, Races, 836, 10)
  TORVEX_ARRAY(uint32_t, negateSpells, NegateSpells, 876, 10)
  TORVEX_FIELD(uint16_t, weaponType, WeaponType, 916)
  TORVEX_FIELD(uint16_t, armourType, ArmourType, 918)
  TORVEX_FIELD(int8_t, wornOn, WornOn, 920)
  TORVEX_FIELD(int16_t, accuracy, Accuracy, 922)
  TORVEX_FIELD(uint16_t, damageReduction, DamageReduction, 924)
  TORVEX_FIELD(uint8_t, gettable, Gettable, 926)
  TORVEX_FIELD(uint16_t, requiredStrength, RequiredStrength, 928)
  TORVEX_FIELD(uint32_t, runic, Runic, 944)
  TORVEX_FIELD(uint32_t, platinum, Platinum, 948)
  TORVEX_FIELD(uint32_t, gold, Gold, 952)
  TORVEX_FIELD(uint32_t, silver, Silver, 956)
  TORVEX_FIELD(uint32_t, copper, Copper, 960)
  TORVEX_FIELD(uint16_t, speed, Speed, 990)
  TORVEX_FIELD(uint32_t, hitMessage, HitMessage, 1036)
  TORVEX_FIELD(uint32_t, missMessage, MissMessage, 1040)
  TORVEX_FIELD(uint32_t, readMessage, ReadMessage, 1044)
  TORVEX_FIELD(uint32_t, destructMessage, DestructMessage, 1048)
  TORVEX_FIELD(uint8_t, notDroppable, NotDroppable, 1064)
  TORVEX_FIELD(uint8_t, costCurrency, CostCurrency, 1065)
  TORVEX_FIELD(uint8_t, keepOnLastUse, KeepOnLastUse, 1066)
  TORVEX_FIELD(uint8_t, robbable, Robbable, 1067)
  TORVEX_FIELD(uint8_t, poofOnDeath, PoofOnDeath, 1068)
};

// WCCKNMS2: one record per kind of monster.
class MonsterRecord : public RecordBytes<756> {
 public:
  static constexpr size_t kDiskLength = 756;
  static constexpr size_t kAttacks = 5;
  using RecordBytes::RecordBytes;

  TORVEX_FIELD(uint32_t, number, Number, 0)
  TORVEX_TEXT(name, Name, 54, 30)
  TORVEX_FIELD(uint16_t, group, Group, 84)
  TORVEX_FIELD(uint32_t, expMultiplier, ExpMultiplier, 88)
  TORVEX_FIELD(uint16_t, groupIndex, GroupIndex, 92)
  TORVEX_FIELD(uint32_t, armourItem, ArmourItem, 96)
  TORVEX_FIELD(uint32_t, weaponItem, WeaponItem, 100)
  TORVEX_FIELD(uint16_t, damageReduction, DamageReduction, 104)
  TORVEX_FIELD(uint16_t, armourClass, ArmourClass, 106)
  TORVEX_FIELD(uint16_t, allyGroup, AllyGroup, 108)
  TORVEX_FIELD(uint16_t, followPercent, FollowPercent, 110)
  TORVEX_FIELD(int16_t, magicResistance, MagicResistance, 112)
  TORVEX_FIELD(uint8_t, backstabDefense, BackstabDefense, 114)
  TORVEX_FIELD(uint32_t, exp, Exp, 116)
  TORVEX_FIELD(uint16_t, hitPoints, HitPoints, 120)
  TORVEX_FIELD(uint16_t, energy, Energy, 122)
  TORVEX_FIELD(uint16_t, hpRegen, HpRegen, 124)
  TORVEX_ABILITY_SLOTS(126, 146, 10)
  TORVEX_FIELD(uint16_t, limit, Limit, 166)
  TORVEX_FIELD(uint16_t, active, Active, 168)
  TORVEX_FIELD(uint8_t, movementType, MovementType, 170)
  TORVEX_FIELD(uint8_t, maxFollow, MaxFollow, 172)
  TORVEX_FIELD(uint8_t, undead, Undead, 173)
  TORVEX_FIELD(uint16_t, alignment, Alignment, 174)
  TORVEX_FIELD(uint8_t, regenTime, RegenTime, 178)
  TORVEX_FIELD(uint16_t, lastKilledDate, LastKilledDate, 180)
  TORVEX_FIELD(uint16_t, lastKilledTime, LastKilledTime, 182)
  TORVEX_FIELD(uint32_t, moveMessage, MoveMessage, 184)
  TORVEX_FIELD(uint32_t, deathMessage, DeathMessage, 188)
  TORVEX_ARRAY(uint32_t, dropItems, DropItems, 192, 10)
  TORVEX_ARRAY(int16_t, dropUses, DropUses, 232, 10)
  TORVEX_ARRAY(uint8_t, dropPercent, DropPercent, 252, 10)
  TORVEX_FIELD(uint32_t, runic, Runic, 264)
  TORVEX_FIELD(uint32_t, platinum, Platinum, 268)
  TORVEX_FIELD(uint32_t, gold, Gold, 272)
  TORVEX_FIELD(uint32_t, silver, Silver, 276)
  TORVEX_FIELD(uint32_t, copper, Copper, 280)
  TORVEX_FIELD(uint32_t, greetText, GreetText, 284)
  TORVEX_FIELD(int16_t, charmLevel, CharmLevel, 288)
  TORVEX_FIELD(uint32_t, descText, DescText, 292)
  // Per attack: 0 none, 1 attack, 2 spell, 3 rob. For a spell attack the
  // accuracy holds the spell number, the minimum hit the cast percent and the
  // maximum hit the cast level.
  TORVEX_ARRAY(uint8_t, attackType, AttackType, 296, 5)
  TORVEX_ARRAY(uint16_t, attackAccuracy, AttackAccuracy, 302, 5)
  TORVEX_ARRAY(uint8_t, attackPercent, AttackPercent, 312, 5)
  TORVEX_ARRAY(uint16_t, attackMinHit, AttackMinHit, 318, 5)
  TORVEX_ARRAY(uint16_t, attackMaxHit, AttackMaxHit, 328, 5)
  TORVEX_ARRAY(uint32_t, attackHitMessage, AttackHitMessage, 340, 5)
  TORVEX_ARRAY(uint32_t, attackDodgeMessage, AttackDodgeMessage, 360, 5)
  TORVEX_ARRAY(uint32_t, attackMissMessage, AttackMissMessage, 380, 5)
  TORVEX_ARRAY(uint16_t, attackEnergy, AttackEnergy, 400, 5)
  TORVEX_FIELD(uint32_t, talkText, TalkText, 412)
  TORVEX_FIELD(uint16_t, charmResistance, CharmResistance, 416)
  TORVEX_ARRAY(uint16_t, attackHitSpell, AttackHitSpell, 420, 5)
  TORVEX_FIELD(uint16_t, deathSpell, DeathSpell, 430)
  TORVEX_FIELD(uint16_t, createSpell, CreateSpell, 446)
  TORVEX_ARRAY(uint16_t, spells, Spells, 448, 5)
  TORVEX_ARRAY(uint8_t, spellPercent, SpellPercent, 458, 5)
  TORVEX_ARRAY(uint8_t, spellCastLevel, SpellCastLevel, 463, 5)
  TORVEX_TEXT_LINES(description, Description, 468, 71, 4)
  TORVEX_FIELD(uint8_t, gender, Gender, 752)
};

// The monster attack kinds of MonsterRecord::attackType.
enum class AttackKind : uint8_t { kNone = 0, kAttack = 1, kSpell = 2, kRob = 3 };

// WCCMP002. Key: map number then room number, compared as 8 unsigned bytes.
class RoomRecord : public RecordBytes<1544> {
 public:
  static constexpr size_t kDiskLength = 1544;
  static constexpr size_t kDirections = 10;
  using RecordBytes::RecordBytes;

  TORVEX_FIELD(uint32_t, mapNumber, MapNumber, 0)
  TORVEX_FIELD(uint32_t, roomNumber, RoomNumber, 4)
  TORVEX_TEXT(title, Title, 261, 53)
  TORVEX_TEXT_LINES(description, Description, 314, 71, 7)
  TORVEX_TEXT(ansiMap, AnsiMap, 811, 13)
  // Exit arrays are indexed by direction (see DirectionName).
  TORVEX_ARRAY(uint32_t, exitRoom, ExitRoom, 824, 10)
  TORVEX_ARRAY(uint16_t, exitType, ExitType, 864, 10)
  TORVEX_ARRAY(uint32_t, exitParameter1, ExitParameter1, 884, 10)
  TORVEX_ARRAY(uint16_t, exitParameter2, ExitParameter2, 924, 10)
  TORVEX_ARRAY(uint32_t, exitParameter3, ExitParameter3, 944, 10)
  TORVEX_ARRAY(uint32_t, exitParameter4, ExitParameter4, 984, 10)
  TORVEX_ARRAY(uint32_t, activeMonsters, ActiveMonsters, 1024, 15)
  TORVEX_FIELD(uint16_t, roomType, RoomType, 1084)
  TORVEX_FIELD(uint32_t, shopNumber, ShopNumber, 1088)
  TORVEX_FIELD(uint16_t, minIndex, MinIndex, 1122)
  TORVEX_FIELD(uint16_t, maxIndex, MaxIndex, 1124)
  TORVEX_FIELD(uint32_t, permNPCByNumber, PermNPCByNumber, 1128)
  TORVEX_FIELD(int16_t, light, Light, 1132)
  TORVEX_ARRAY(uint32_t, items, Items, 1136, 17)
  TORVEX_ARRAY(int16_t, itemUses, ItemUses, 1204, 17)
  TORVEX_ARRAY(uint32_t, hiddenItems, HiddenItems, 1240, 15)
  TORVEX_ARRAY(int16_t, hiddenItemUses, HiddenItemUses, 1300, 15)
  TORVEX_FIELD(uint8_t, maxRegen, MaxRegen, 1372)
  TORVEX_FIELD(uint16_t, monsterGroup, MonsterGroup, 1376)
  TORVEX_FIELD(uint16_t, lastKill, LastKill, 1378)
  // Bit set; see RoomAttributeName.
  TORVEX_FIELD(uint8_t, attributes, Attributes, 1380)
  TORVEX_FIELD(uint32_t, deathRoom, DeathRoom, 1388)
  TORVEX_FIELD(uint32_t, exitRoomNumber, ExitRoomNumber, 1392)
  TORVEX_ARRAY(uint16_t, itemQuantity, ItemQuantity, 1396, 17)
  TORVEX_ARRAY(uint16_t, hiddenItemQuantity, HiddenItemQuantity, 1430, 15)
  TORVEX_FIELD(uint32_t, commandText, CommandText, 1460)
  TORVEX_FIELD(uint16_t, regenDelay, RegenDelay, 1468)
  TORVEX_FIELD(uint16_t, maxArea, MaxArea, 1470)
  TORVEX_FIELD(uint32_t, controlRoom, ControlRoom, 1476)
  TORVEX_FIELD(uint32_t, permNPC, PermNPC, 1480)
  TORVEX_ARRAY(uint32_t, placedItems, PlacedItems, 1484, 10)
  TORVEX_FIELD(uint32_t, noPVPText, NoPVPText, 1524)
  TORVEX_FIELD(uint16_t, failPickSpell, FailPickSpell, 1530)
  // The spell number is the low 16 bits.
  TORVEX_FIELD(uint32_t, roomSpell, RoomSpell, 1536)

  bool hasAttribute(int bit) const { return bit >= 0 && bit < 8 && (attributes() >> bit) & 1; }
};

// Bits of RoomRecord::attributes.
enum RoomAttributeBit : int {
  kRoomNoPVP = 0,
  kRoomPatrollable = 1,
  kRoomOwnable = 2,
  kRoomNPCIsAlive = 3,
  kRoomPurge = 4,
  kRoomSpellOnEntry = 5,
  kRoomGangRoom = 6,
  kRoomBit8 = 7,
};

// WCCSPEL2.
class SpellRecord : public RecordBytes<260> {
 public:
  static constexpr size_t kDiskLength = 260;
  using RecordBytes::RecordBytes;

  TORVEX_FIELD(uint16_t, number, Number, 0)
  TORVEX_TEXT(name, Name, 2, 30)
  TORVEX_TEXT_LINES(description, Description, 32, 51, 2)
  TORVEX_FIELD(uint8_t, maxLevel, MaxLevel, 162)
  // Bit 0 set: the normal message type; clear: the alternate one.
  TORVEX_FIELD(uint8_t, messageStyle, MessageStyle, 164)
  TORVEX_ABILITY_SLOTS(216, 168, 10)
  TORVEX_FIELD(uint16_t, energy, Energy, 188)
  TORVEX_FIELD(uint16_t, level, Level, 190)
  TORVEX_FIELD(int16_t, minValue, MinValue, 192)
  TORVEX_FIELD(int16_t, maxValue, MaxValue, 194)
  TORVEX_FIELD(uint16_t, castStyle, CastStyle, 196)
  TORVEX_FIELD(uint8_t, resistable, Resistable, 198)
  TORVEX_FIELD(int16_t, difficulty, Difficulty, 200)
  TORVEX_FIELD(uint16_t, durationPerLevel, DurationPerLevel, 202)
  TORVEX_FIELD(uint16_t, target, Target, 204)
  TORVEX_FIELD(uint16_t, minDuration, MinDuration, 206)
  TORVEX_FIELD(uint16_t, element, Element, 208)
  TORVEX_FIELD(uint8_t, resistedBy, ResistedBy, 212)
  TORVEX_FIELD(uint16_t, magicType, MagicType, 214)
  TORVEX_FIELD(uint32_t, castMessage, CastMessage, 236)
  TORVEX_FIELD(uint16_t, mana, Mana, 240)
  TORVEX_FIELD(uint8_t, maxIncrement, MaxIncrement, 242)
  TORVEX_FIELD(uint8_t, maxLevelStep, MaxLevelStep, 243)
  TORVEX_FIELD(uint16_t, magicLevel, MagicLevel, 244)
  TORVEX_FIELD(uint8_t, minIncrement, MinIncrement, 246)
  TORVEX_FIELD(uint8_t, minLevelStep, MinLevelStep, 247)
  TORVEX_FIELD(uint8_t, durationIncrement, DurationIncrement, 248)
  TORVEX_FIELD(uint8_t, durationLevelStep, DurationLevelStep, 249)
  TORVEX_TEXT(shortName, ShortName, 250, 7)
};

// WCCSHOP2.
class ShopRecord : public RecordBytes<504> {
 public:
  static constexpr size_t kDiskLength = 504;
  static constexpr uint16_t kGangShopType = 11;
  using RecordBytes::RecordBytes;

  TORVEX_FIELD(uint32_t, number, Number, 0)
  TORVEX_TEXT(name, Name, 4, 40)
  TORVEX_TEXT_LINES(description, Description, 44, 53, 3)
  TORVEX_FIELD(uint16_t, shopType, ShopType, 204)
  TORVEX_FIELD(uint16_t, minLevel, MinLevel, 206)
  TORVEX_FIELD(uint16_t, maxLevel, MaxLevel, 208)
  TORVEX_FIELD(uint16_t, markupPercent, MarkupPercent, 210)
  TORVEX_FIELD(uint16_t, trainClass, TrainClass, 214)
  TORVEX_ARRAY(uint32_t, items, Items, 216, 20)
  // A gang shop keeps its bank-account name in the bytes of the maximum
  // quantities; both views read the same 40 bytes.
  TORVEX_ARRAY(uint16_t, maxQuantity, MaxQuantity, 296, 20)
  TORVEX_TEXT(bankAccountName, BankAccountName, 296, 40)
  TORVEX_ARRAY(uint16_t, normalQuantity, NormalQuantity, 336, 20)
  TORVEX_ARRAY(uint16_t, regenTime, RegenTime, 376, 20)
  TORVEX_ARRAY(uint16_t, regenNumber, RegenNumber, 416, 20)
  TORVEX_ARRAY(uint8_t, regenPercent, RegenPercent, 456, 20)
  // A gang shop keeps each slot's price in the bytes of the restocking times
  // and the slot's CurrencyType code in the low byte of each restock number.
  TORVEX_ARRAY(uint16_t, gangPrice, GangPrice, 376, 20)
  uint8_t gangCurrency(size_t index) const {
    return static_cast<uint8_t>(regenNumber(index) & 0xFF);
  }

  bool isGangShop() const { return shopType() == kGangShopType; }
};

// WCCMSG2. 256 bytes on disk; the kept copy is the first 250.
class MessageRecord : public RecordBytes<250> {
 public:
  static constexpr size_t kDiskLength = 256;
  static constexpr size_t kLines = 3;
  using RecordBytes::RecordBytes;

  TORVEX_FIELD(uint32_t, number, Number, 0)
  TORVEX_TEXT(line1, Line1, 4, 82)
  TORVEX_TEXT(line2, Line2, 86, 82)
  TORVEX_TEXT(line3, Line3, 168, 82)
  // line(0) is line1(); other indexes read "".
  std::string line(size_t index) const { return GetText<4, 82, kLines>(index); }
  void setLine(size_t index, std::string_view text) { SetText<4, 82, kLines>(text, index); }
};

// WCCTEXT2: a 24-byte head and zero-terminated text, stored at its own length
// (text length + 25). The kept copy has room for 2047 characters and the zero.
// The text is kept in its stored (encoded) form.
class TextBlockRecord : public RecordBytes<2072> {
 public:
  static constexpr size_t kHeadSize = 24;
  static constexpr size_t kKeyLength = 18;
  static constexpr size_t kTextCapacity = 2048;
  using RecordBytes::RecordBytes;

  TORVEX_FIELD(uint16_t, part, Part, 0)
  TORVEX_FIELD(uint32_t, blockNumber, BlockNumber, 16)
  TORVEX_FIELD(uint32_t, linkTo, LinkTo, 20)
  TORVEX_TEXT(text, Text, 24, 2048)

  // The length of this record in the file: the head, the text and its zero.
  // At most kSize, so that writing that many bytes of the copy never reads
  // past it (a copy whose text area holds no zero is written without one).
  size_t storedLength() const { return std::min(kSize, kHeadSize + text().size() + 1); }
};

// WCCACMS2: one live monster. 400 bytes on disk; the kept copy is the first 368.
class ActiveMonsterRecord : public RecordBytes<368> {
 public:
  static constexpr size_t kDiskLength = 400;
  using RecordBytes::RecordBytes;

  TORVEX_FIELD(uint32_t, number, Number, 0)
  TORVEX_FIELD(uint32_t, knownNumber, KnownNumber, 4)
  TORVEX_FIELD(uint32_t, expMultiplier, ExpMultiplier, 8)
  TORVEX_FIELD(uint32_t, mapNumber, MapNumber, 12)
  TORVEX_FIELD(uint32_t, currentRoom, CurrentRoom, 16)
  TORVEX_FIELD(uint16_t, energy, Energy, 22)
  TORVEX_FIELD(int16_t, hitPoints, HitPoints, 24)
  TORVEX_TEXT(following, Following, 26, 11)
  TORVEX_ARRAY(uint32_t, tracks, Tracks, 52, 10)
  // The low 16 bits name the monster.
  TORVEX_FIELD(uint32_t, monsterNumber, MonsterNumber, 136)
  TORVEX_TEXT(name, Name, 142, 30)
  TORVEX_FIELD(uint32_t, armourItem, ArmourItem, 172)
  TORVEX_FIELD(uint32_t, weaponItem, WeaponItem, 176)
  TORVEX_ARRAY(uint32_t, dropItems, DropItems, 180, 10)
  TORVEX_ARRAY(int16_t, dropUses, DropUses, 220, 10)
  TORVEX_FIELD(uint32_t, runic, Runic, 240)
  TORVEX_FIELD(uint32_t, platinum, Platinum, 244)
  TORVEX_FIELD(uint32_t, gold, Gold, 248)
  TORVEX_FIELD(uint32_t, silver, Silver, 252)
  TORVEX_FIELD(uint32_t, copper, Copper, 256)
  TORVEX_FIELD(int16_t, maxHitPoints, MaxHitPoints, 260)
  TORVEX_FIELD(uint16_t, alignment, Alignment, 262)
  TORVEX_FIELD(uint16_t, followPercent, FollowPercent, 264)
  TORVEX_FIELD(uint16_t, damageReduction, DamageReduction, 266)
  TORVEX_FIELD(uint16_t, armourClass, ArmourClass, 268)
  TORVEX_FIELD(uint32_t, exp, Exp, 272)
  TORVEX_FIELD(uint16_t, maxEnergy, MaxEnergy, 276)
  // The game's field is named "friend", which C++ reserves.
  TORVEX_FIELD(uint8_t, isFriend, Friend, 278)
  TORVEX_FIELD(uint32_t, spawnRoom, SpawnRoom, 288)
  TORVEX_FIELD(uint16_t, hpRegen, HpRegen, 304)
  TORVEX_FIELD(uint8_t, movementType, MovementType, 328)
  TORVEX_ARRAY(uint16_t, activeSpells, ActiveSpells, 330, 5)
  TORVEX_ARRAY(int16_t, activeSpellValues, ActiveSpellValues, 340, 5)
  TORVEX_ARRAY(uint16_t, activeSpellRounds, ActiveSpellRounds, 350, 5)
  TORVEX_FIELD(uint16_t, created, Created, 362)
};

// WCCITOW2: who holds a limited item. Which fields count depends on ownerType.
class ItemOwnerRecord : public RecordBytes<72> {
 public:
  static constexpr size_t kDiskLength = 72;
  using RecordBytes::RecordBytes;

  TORVEX_FIELD(uint32_t, number, Number, 0)
  TORVEX_FIELD(uint32_t, itemNumber, ItemNumber, 4)
  TORVEX_FIELD(uint8_t, ownerType, OwnerType, 8)
  TORVEX_FIELD(uint32_t, mapNumber, MapNumber, 12)
  TORVEX_FIELD(uint32_t, roomNumber, RoomNumber, 16)
  TORVEX_TEXT(ownerName, OwnerName, 20, 30)
  // The low 16 bits name the active monster.
  TORVEX_FIELD(uint32_t, activeMonster, ActiveMonster, 52)
};

// WCCGANG2.
class GangRecord : public RecordBytes<256> {
 public:
  static constexpr size_t kDiskLength = 256;
  using RecordBytes::RecordBytes;

  TORVEX_TEXT(gangID, GangID, 0, 20)
  TORVEX_TEXT(name, Name, 20, 20)
  TORVEX_FIELD(uint32_t, exp, Exp, 40)
  TORVEX_TEXT(leader, Leader, 44, 30)
  TORVEX_FIELD(uint16_t, created, Created, 74)
  TORVEX_FIELD(uint16_t, members, Members, 78)
  // Bit set; see GangFlagName.
  TORVEX_FIELD(uint8_t, flags, Flags, 80)
  TORVEX_FIELD(uint32_t, extraExp, ExtraExp, 88)
  TORVEX_FIELD(uint16_t, rollCount, RollCount, 92)
};

// WCCACTS2. Only its key, the action word, is named.
class ActionRecord : public RecordBytes<1010> {
 public:
  static constexpr size_t kDiskLength = 1010;
  using RecordBytes::RecordBytes;

  TORVEX_TEXT(word, Word, 0, 30)
};

}  // namespace torvex

#undef TORVEX_FIELD
#undef TORVEX_ARRAY
#undef TORVEX_TEXT
#undef TORVEX_TEXT_LINES
#undef TORVEX_ABILITY_SLOTS
