// Every named field of every record kind is checked against the layout: the
// getter reads the little-endian value at its offset and width, the setter
// writes exactly those bytes and leaves every other byte as it was, text fields
// stop at the end of their field, and indexes past an array touch nothing.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "database/records/records.h"

namespace torvex {
namespace {

using u8 = uint8_t;
using i8 = int8_t;
using u16 = uint16_t;
using i16 = int16_t;
using u32 = uint32_t;
using i32 = int32_t;

template <typename R>
struct FieldCase {
  std::string name;
  size_t offset = 0;
  size_t width = 0;  // numeric: bytes of the value; text: length of the field
  bool isSigned = false;
  bool isText = false;
  bool outOfRange = false;  // an index past the field: reads 0 or "", writes nothing
  std::function<int64_t(const R&)> get;
  std::function<void(R&, int64_t)> set;
  std::function<std::string(const R&)> getText;
  std::function<void(R&, std::string_view)> setText;
};

template <typename R, typename T, typename G, typename Set>
FieldCase<R> Numeric(std::string name, size_t offset, G get, Set set) {
  static_assert(std::is_same_v<std::invoke_result_t<G, const R&>, T>, "field type");
  FieldCase<R> c;
  c.name = std::move(name);
  c.offset = offset;
  c.width = sizeof(T);
  c.isSigned = std::is_signed_v<T>;
  c.get = [get](const R& r) { return static_cast<int64_t>(get(r)); };
  c.set = [set](R& r, int64_t v) { set(r, static_cast<T>(v)); };
  return c;
}

template <typename R, typename G, typename Set>
FieldCase<R> NumericOutOfRange(std::string name, G get, Set set) {
  FieldCase<R> c;
  c.name = std::move(name);
  c.outOfRange = true;
  c.get = [get](const R& r) { return static_cast<int64_t>(get(r)); };
  c.set = set;
  return c;
}

template <typename R, typename G, typename Set>
FieldCase<R> Text(std::string name, size_t offset, size_t length, G get, Set set) {
  FieldCase<R> c;
  c.name = std::move(name);
  c.offset = offset;
  c.width = length;
  c.isText = true;
  c.getText = get;
  c.setText = set;
  return c;
}

template <typename R, typename G, typename Set>
FieldCase<R> TextOutOfRange(std::string name, G get, Set set) {
  FieldCase<R> c = Text<R>(std::move(name), 0, 0, get, set);
  c.outOfRange = true;
  return c;
}

// A scalar field.
#define S(T, name, Name, offset) \
  Numeric<R, T>(                 \
      #name, offset, [](const R& r) { return r.name(); }, [](R& r, T v) { r.set##Name(v); })
// An array: its first and last element and the index just past it.
#define A(T, name, Name, offset, count)                              \
  Numeric<R, T>(                                                     \
      #name "[0]", offset, [](const R& r) { return r.name(0); },     \
      [](R& r, T v) { r.set##Name(0, v); }),                         \
      Numeric<R, T>(                                                 \
          #name "[last]", (offset) + ((count)-1) * sizeof(T),        \
          [](const R& r) { return r.name((count)-1); },              \
          [](R& r, T v) { r.set##Name((count)-1, v); }),             \
      NumericOutOfRange<R>(                                          \
          #name "[count]", [](const R& r) { return r.name(count); }, \
          [](R& r, int64_t v) { r.set##Name(count, static_cast<T>(v)); })
// A single text field.
#define T(name, Name, offset, length)                             \
  Text<R>(                                                        \
      #name, offset, length, [](const R& r) { return r.name(); }, \
      [](R& r, std::string_view s) { r.set##Name(s); })
// `lines` consecutive text fields: the first and last line and the one past.
#define L(name, Name, offset, length, lines)                             \
  Text<R>(                                                               \
      #name "[0]", offset, length, [](const R& r) { return r.name(0); }, \
      [](R& r, std::string_view s) { r.set##Name(0, s); }),              \
      Text<R>(                                                           \
          #name "[last]", (offset) + ((lines)-1) * (length), length,     \
          [](const R& r) { return r.name((lines)-1); },                  \
          [](R& r, std::string_view s) { r.set##Name((lines)-1, s); }),  \
      TextOutOfRange<R>(                                                 \
          #name "[lines]", [](const R& r) { return r.name(lines); },     \
          [](R& r, std::string_view s) { r.set##Name(lines, s); })

// Bytes with no zero among them, so that every text field is unterminated and
// every numeric field reads a distinct value.
template <size_t N>
std::vector<uint8_t> Pattern() {
  std::vector<uint8_t> bytes(N);
  for (size_t i = 0; i < N; ++i) bytes[i] = static_cast<uint8_t>(1 + (i * 131 + 7) % 255);
  return bytes;
}

int64_t LoadLE(const uint8_t* p, size_t width, bool isSigned) {
  uint64_t v = 0;
  for (size_t i = width; i-- > 0;) v = (v << 8) | p[i];
  if (isSigned && width < 8 && (v >> (8 * width - 1)) & 1) v |= ~uint64_t{0} << (8 * width);
  return static_cast<int64_t>(v);
}

// Every byte of `after` equals `before` outside [offset, offset + width).
template <size_t N>
void ExpectOnlyChanged(const std::vector<uint8_t>& before, std::span<const uint8_t, N> after,
                       size_t offset, size_t width, const std::string& name) {
  for (size_t i = 0; i < N; ++i) {
    if (i >= offset && i < offset + width) continue;
    ASSERT_EQ(before[i], after[i]) << name << ": byte " << i << " changed";
  }
}

template <typename R>
void CheckNumeric(const FieldCase<R>& c, const std::vector<uint8_t>& pattern) {
  const R original(pattern);
  if (c.outOfRange) {
    EXPECT_EQ(0, c.get(original)) << c.name;
    R written = original;
    c.set(written, 0x5A);
    EXPECT_TRUE(written == original) << c.name << " wrote outside its array";
    return;
  }
  EXPECT_EQ(LoadLE(pattern.data() + c.offset, c.width, c.isSigned), c.get(original)) << c.name;
  // One value with the top bit clear, one with it set, at the field's width.
  for (uint64_t raw : {uint64_t{0x3A5C7E91}, uint64_t{0xF1E2D3C4}}) {
    const uint64_t mask = c.width == 4 ? 0xFFFFFFFFu : (uint64_t{1} << (8 * c.width)) - 1;
    const uint64_t bits = raw & mask;
    const int64_t value = c.isSigned
                              ? LoadLE(reinterpret_cast<const uint8_t*>(&bits), c.width, true)
                              : static_cast<int64_t>(bits);
    R written = original;
    c.set(written, value);
    EXPECT_EQ(value, c.get(written)) << c.name;
    for (size_t i = 0; i < c.width; ++i)
      EXPECT_EQ(static_cast<uint8_t>(bits >> (8 * i)), written.bytes()[c.offset + i])
          << c.name << " byte " << i;
    ExpectOnlyChanged(pattern, std::span<const uint8_t, R::kSize>(written.bytes()), c.offset,
                      c.width, c.name);
  }
}

template <typename R>
void CheckText(const FieldCase<R>& c, const std::vector<uint8_t>& pattern) {
  const R original(pattern);
  if (c.outOfRange) {
    EXPECT_EQ("", c.getText(original)) << c.name;
    R written = original;
    c.setText(written, "abc");
    EXPECT_TRUE(written == original) << c.name << " wrote outside its lines";
    return;
  }
  // No zero in the field: all of it, and not one byte of what follows.
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(pattern.data() + c.offset), c.width),
            c.getText(original))
      << c.name;

  R shortText = original;
  c.setText(shortText, "abc");
  EXPECT_EQ("abc", c.getText(shortText)) << c.name;
  for (size_t i = 3; i < c.width; ++i)
    ASSERT_EQ(0, shortText.bytes()[c.offset + i]) << c.name << " not zero-filled at " << i;
  ExpectOnlyChanged(pattern, std::span<const uint8_t, R::kSize>(shortText.bytes()), c.offset,
                    c.width, c.name);

  // Too long: cut so that the field keeps its terminating zero.
  R longText = original;
  c.setText(longText, std::string(c.width + 5, 'Z'));
  EXPECT_EQ(std::string(c.width - 1, 'Z'), c.getText(longText)) << c.name;
  EXPECT_EQ(0, longText.bytes()[c.offset + c.width - 1]) << c.name;
  ExpectOnlyChanged(pattern, std::span<const uint8_t, R::kSize>(longText.bytes()), c.offset,
                    c.width, c.name);

  R empty = original;
  c.setText(empty, "");
  EXPECT_EQ("", c.getText(empty)) << c.name;
}

template <typename R>
void CheckLayout(const std::vector<FieldCase<R>>& cases) {
  const std::vector<uint8_t> pattern = Pattern<R::kSize>();
  for (const FieldCase<R>& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.isText)
      CheckText(c, pattern);
    else
      CheckNumeric(c, pattern);
  }
}

TEST(RecordLayoutTest, RaceFields) {
  using R = RaceRecord;
  CheckLayout<R>({
      S(u16, number, Number, 0),
      T(name, Name, 2, 30),
      S(u16, baseIntellect, BaseIntellect, 32),
      S(u16, baseWillpower, BaseWillpower, 34),
      S(u16, baseStrength, BaseStrength, 36),
      S(u16, baseHealth, BaseHealth, 38),
      S(u16, baseAgility, BaseAgility, 40),
      S(u16, baseCharm, BaseCharm, 42),
      S(i16, hpBonus, HpBonus, 44),
      A(u16, abilityNumbers, AbilityNumbers, 50, 10),
      S(u16, startCP, StartCP, 70),
      A(i16, abilityValues, AbilityValues, 72, 10),
      S(i16, expPercent, ExpPercent, 98),
      S(u16, maxIntellect, MaxIntellect, 102),
      S(u16, maxWillpower, MaxWillpower, 104),
      S(u16, maxStrength, MaxStrength, 106),
      S(u16, maxHealth, MaxHealth, 108),
      S(u16, maxAgility, MaxAgility, 110),
      S(u16, maxCharm, MaxCharm, 112),
  });
}

TEST(RecordLayoutTest, ClassFields) {
  using R = ClassRecord;
  CheckLayout<R>({
      S(u16, number, Number, 0),
      T(name, Name, 2, 30),
      S(u16, minHP, MinHP, 32),
      S(u16, hpRange, HpRange, 34),
      S(i16, expPercent, ExpPercent, 36),
      A(u16, abilityNumbers, AbilityNumbers, 44, 10),
      S(u16, magicType, MagicType, 64),
      S(u16, magicLevel, MagicLevel, 66),
      S(u16, weaponType, WeaponType, 68),
      S(u16, armourType, ArmourType, 70),
      S(u16, combat, Combat, 72),
      A(i16, abilityValues, AbilityValues, 74, 10),
      S(u32, titles, Titles, 100),
  });
}

TEST(RecordLayoutTest, ItemFields) {
  using R = ItemRecord;
  CheckLayout<R>({
      S(u32, number, Number, 0),
      S(u16, loreDifficulty, LoreDifficulty, 4),
      S(u16, limit, Limit, 6),
      T(name, Name, 173, 30),
      L(description, Description, 203, 61, 6),
      L(loreDescription, LoreDescription, 569, 61, 3),
      S(u16, weight, Weight, 754),
      S(u16, itemType, ItemType, 756),
      A(u16, abilityNumbers, AbilityNumbers, 758, 20),
      S(i16, uses, Uses, 798),
      S(u16, energyMod, EnergyMod, 800),
      S(u16, cost, Cost, 802),
      A(u16, classes, Classes, 804, 10),
      S(u8, material, Material, 824),
      S(u16, minHit, MinHit, 830),
      S(u16, maxHit, MaxHit, 832),
      S(u16, armourClass, ArmourClass, 834),
      A(u16, races, Races, 836, 10),
      A(u32, negateSpells, NegateSpells, 876, 10),
      S(u16, weaponType, WeaponType, 916),
      S(u16, armourType, ArmourType, 918),
      S(i8, wornOn, WornOn, 920),
      S(i16, accuracy, Accuracy, 922),
      S(u16, damageReduction, DamageReduction, 924),
      S(u8, gettable, Gettable, 926),
      S(u16, requiredStrength, RequiredStrength, 928),
      S(u32, runic, Runic, 944),
      S(u32, platinum, Platinum, 948),
      S(u32, gold, Gold, 952),
      S(u32, silver, Silver, 956),
      S(u32, copper, Copper, 960),
      S(u16, speed, Speed, 990),
      A(i16, abilityValues, AbilityValues, 994, 20),
      S(u32, hitMessage, HitMessage, 1036),
      S(u32, missMessage, MissMessage, 1040),
      S(u32, readMessage, ReadMessage, 1044),
      S(u32, destructMessage, DestructMessage, 1048),
      S(u8, notDroppable, NotDroppable, 1064),
      S(u8, costCurrency, CostCurrency, 1065),
      S(u8, keepOnLastUse, KeepOnLastUse, 1066),
      S(u8, robbable, Robbable, 1067),
      S(u8, poofOnDeath, PoofOnDeath, 1068),
  });
}

TEST(RecordLayoutTest, MonsterFields) {
  using R = MonsterRecord;
  CheckLayout<R>({
      S(u32, number, Number, 0),
      T(name, Name, 54, 30),
      S(u16, group, Group, 84),
      S(u32, expMultiplier, ExpMultiplier, 88),
      S(u16, groupIndex, GroupIndex, 92),
      S(u32, armourItem, ArmourItem, 96),
      S(u32, weaponItem, WeaponItem, 100),
      S(u16, damageReduction, DamageReduction, 104),
      S(u16, armourClass, ArmourClass, 106),
      S(u16, allyGroup, AllyGroup, 108),
      S(u16, followPercent, FollowPercent, 110),
      S(i16, magicResistance, MagicResistance, 112),
      S(u8, backstabDefense, BackstabDefense, 114),
      S(u32, exp, Exp, 116),
      S(u16, hitPoints, HitPoints, 120),
      S(u16, energy, Energy, 122),
      S(u16, hpRegen, HpRegen, 124),
      A(u16, abilityNumbers, AbilityNumbers, 126, 10),
      A(i16, abilityValues, AbilityValues, 146, 10),
      S(u16, limit, Limit, 166),
      S(u16, active, Active, 168),
      S(u8, movementType, MovementType, 170),
      S(u8, maxFollow, MaxFollow, 172),
      S(u8, undead, Undead, 173),
      S(u16, alignment, Alignment, 174),
      S(u8, regenTime, RegenTime, 178),
      S(u16, lastKilledDate, LastKilledDate, 180),
      S(u16, lastKilledTime, LastKilledTime, 182),
      S(u32, moveMessage, MoveMessage, 184),
      S(u32, deathMessage, DeathMessage, 188),
      A(u32, dropItems, DropItems, 192, 10),
      A(i16, dropUses, DropUses, 232, 10),
      A(u8, dropPercent, DropPercent, 252, 10),
      S(u32, runic, Runic, 264),
      S(u32, platinum, Platinum, 268),
      S(u32, gold, Gold, 272),
      S(u32, silver, Silver, 276),
      S(u32, copper, Copper, 280),
      S(u32, greetText, GreetText, 284),
      S(i16, charmLevel, CharmLevel, 288),
      S(u32, descText, DescText, 292),
      A(u8, attackType, AttackType, 296, 5),
      A(u16, attackAccuracy, AttackAccuracy, 302, 5),
      A(u8, attackPercent, AttackPercent, 312, 5),
      A(u16, attackMinHit, AttackMinHit, 318, 5),
      A(u16, attackMaxHit, AttackMaxHit, 328, 5),
      A(u32, attackHitMessage, AttackHitMessage, 340, 5),
      A(u32, attackDodgeMessage, AttackDodgeMessage, 360, 5),
      A(u32, attackMissMessage, AttackMissMessage, 380, 5),
      A(u16, attackEnergy, AttackEnergy, 400, 5),
      S(u32, talkText, TalkText, 412),
      S(u16, charmResistance, CharmResistance, 416),
      A(u16, attackHitSpell, AttackHitSpell, 420, 5),
      S(u16, deathSpell, DeathSpell, 430),
      S(u16, createSpell, CreateSpell, 446),
      A(u16, spells, Spells, 448, 5),
      A(u8, spellPercent, SpellPercent, 458, 5),
      A(u8, spellCastLevel, SpellCastLevel, 463, 5),
      L(description, Description, 468, 71, 4),
      S(u8, gender, Gender, 752),
  });
}

TEST(RecordLayoutTest, RoomFields) {
  using R = RoomRecord;
  CheckLayout<R>({
      S(u32, mapNumber, MapNumber, 0),
      S(u32, roomNumber, RoomNumber, 4),
      T(title, Title, 261, 53),
      L(description, Description, 314, 71, 7),
      T(ansiMap, AnsiMap, 811, 13),
      A(u32, exitRoom, ExitRoom, 824, 10),
      A(u16, exitType, ExitType, 864, 10),
      A(u32, exitParameter1, ExitParameter1, 884, 10),
      A(u16, exitParameter2, ExitParameter2, 924, 10),
      A(u32, exitParameter3, ExitParameter3, 944, 10),
      A(u32, exitParameter4, ExitParameter4, 984, 10),
      A(u32, activeMonsters, ActiveMonsters, 1024, 15),
      S(u16, roomType, RoomType, 1084),
      S(u32, shopNumber, ShopNumber, 1088),
      S(u16, minIndex, MinIndex, 1122),
      S(u16, maxIndex, MaxIndex, 1124),
      S(u32, permNPCByNumber, PermNPCByNumber, 1128),
      S(i16, light, Light, 1132),
      A(u32, items, Items, 1136, 17),
      A(i16, itemUses, ItemUses, 1204, 17),
      A(u32, hiddenItems, HiddenItems, 1240, 15),
      A(i16, hiddenItemUses, HiddenItemUses, 1300, 15),
      S(u8, maxRegen, MaxRegen, 1372),
      S(u16, monsterGroup, MonsterGroup, 1376),
      S(u16, lastKill, LastKill, 1378),
      S(u8, attributes, Attributes, 1380),
      S(u32, deathRoom, DeathRoom, 1388),
      S(u32, exitRoomNumber, ExitRoomNumber, 1392),
      A(u16, itemQuantity, ItemQuantity, 1396, 17),
      A(u16, hiddenItemQuantity, HiddenItemQuantity, 1430, 15),
      S(u32, commandText, CommandText, 1460),
      S(u16, regenDelay, RegenDelay, 1468),
      S(u16, maxArea, MaxArea, 1470),
      S(u32, controlRoom, ControlRoom, 1476),
      S(u32, permNPC, PermNPC, 1480),
      A(u32, placedItems, PlacedItems, 1484, 10),
      S(u32, noPVPText, NoPVPText, 1524),
      S(u16, failPickSpell, FailPickSpell, 1530),
      S(u32, roomSpell, RoomSpell, 1536),
  });
}

TEST(RecordLayoutTest, SpellFields) {
  using R = SpellRecord;
  CheckLayout<R>({
      S(u16, number, Number, 0),
      T(name, Name, 2, 30),
      L(description, Description, 32, 51, 2),
      S(u8, maxLevel, MaxLevel, 162),
      S(u8, messageStyle, MessageStyle, 164),
      A(i16, abilityValues, AbilityValues, 168, 10),
      S(u16, energy, Energy, 188),
      S(u16, level, Level, 190),
      S(i16, minValue, MinValue, 192),
      S(i16, maxValue, MaxValue, 194),
      S(u16, castStyle, CastStyle, 196),
      S(u8, resistable, Resistable, 198),
      S(i16, difficulty, Difficulty, 200),
      S(u16, durationPerLevel, DurationPerLevel, 202),
      S(u16, target, Target, 204),
      S(u16, minDuration, MinDuration, 206),
      S(u16, element, Element, 208),
      S(u8, resistedBy, ResistedBy, 212),
      S(u16, magicType, MagicType, 214),
      A(u16, abilityNumbers, AbilityNumbers, 216, 10),
      S(u32, castMessage, CastMessage, 236),
      S(u16, mana, Mana, 240),
      S(u8, maxIncrement, MaxIncrement, 242),
      S(u8, maxLevelStep, MaxLevelStep, 243),
      S(u16, magicLevel, MagicLevel, 244),
      S(u8, minIncrement, MinIncrement, 246),
      S(u8, minLevelStep, MinLevelStep, 247),
      S(u8, durationIncrement, DurationIncrement, 248),
      S(u8, durationLevelStep, DurationLevelStep, 249),
      T(shortName, ShortName, 250, 7),
  });
}

TEST(RecordLayoutTest, ShopFields) {
  using R = ShopRecord;
  CheckLayout<R>({
      S(u32, number, Number, 0),
      T(name, Name, 4, 40),
      L(description, Description, 44, 53, 3),
      S(u16, shopType, ShopType, 204),
      S(u16, minLevel, MinLevel, 206),
      S(u16, maxLevel, MaxLevel, 208),
      S(u16, markupPercent, MarkupPercent, 210),
      S(u16, trainClass, TrainClass, 214),
      A(u32, items, Items, 216, 20),
      A(u16, maxQuantity, MaxQuantity, 296, 20),
      A(u16, normalQuantity, NormalQuantity, 336, 20),
      A(u16, regenTime, RegenTime, 376, 20),
      A(u16, regenNumber, RegenNumber, 416, 20),
      A(u8, regenPercent, RegenPercent, 456, 20),
      T(bankAccountName, BankAccountName, 296, 40),
  });
}

TEST(RecordLayoutTest, MessageFields) {
  using R = MessageRecord;
  CheckLayout<R>({
      S(u32, number, Number, 0),
      T(line1, Line1, 4, 82),
      T(line2, Line2, 86, 82),
      T(line3, Line3, 168, 82),
      L(line, Line, 4, 82, 3),
  });
}

TEST(RecordLayoutTest, TextBlockFields) {
  using R = TextBlockRecord;
  CheckLayout<R>({
      S(u16, part, Part, 0),
      S(u32, blockNumber, BlockNumber, 16),
      S(u32, linkTo, LinkTo, 20),
      T(text, Text, 24, 2048),
  });
}

TEST(RecordLayoutTest, ActiveMonsterFields) {
  using R = ActiveMonsterRecord;
  CheckLayout<R>({
      S(u32, number, Number, 0),
      S(u32, knownNumber, KnownNumber, 4),
      S(u32, expMultiplier, ExpMultiplier, 8),
      S(u32, mapNumber, MapNumber, 12),
      S(u32, currentRoom, CurrentRoom, 16),
      S(u16, energy, Energy, 22),
      S(i16, hitPoints, HitPoints, 24),
      T(following, Following, 26, 11),
      A(u32, tracks, Tracks, 52, 10),
      S(u32, monsterNumber, MonsterNumber, 136),
      T(name, Name, 142, 30),
      S(u32, armourItem, ArmourItem, 172),
      S(u32, weaponItem, WeaponItem, 176),
      A(u32, dropItems, DropItems, 180, 10),
      A(i16, dropUses, DropUses, 220, 10),
      S(u32, runic, Runic, 240),
      S(u32, platinum, Platinum, 244),
      S(u32, gold, Gold, 248),
      S(u32, silver, Silver, 252),
      S(u32, copper, Copper, 256),
      S(i16, maxHitPoints, MaxHitPoints, 260),
      S(u16, alignment, Alignment, 262),
      S(u16, followPercent, FollowPercent, 264),
      S(u16, damageReduction, DamageReduction, 266),
      S(u16, armourClass, ArmourClass, 268),
      S(u32, exp, Exp, 272),
      S(u16, maxEnergy, MaxEnergy, 276),
      S(u8, isFriend, Friend, 278),
      S(u32, spawnRoom, SpawnRoom, 288),
      S(u16, hpRegen, HpRegen, 304),
      S(u8, movementType, MovementType, 328),
      A(u16, activeSpells, ActiveSpells, 330, 5),
      A(i16, activeSpellValues, ActiveSpellValues, 340, 5),
      A(u16, activeSpellRounds, ActiveSpellRounds, 350, 5),
      S(u16, created, Created, 362),
  });
}

TEST(RecordLayoutTest, ItemOwnerFields) {
  using R = ItemOwnerRecord;
  CheckLayout<R>({
      S(u32, number, Number, 0),
      S(u32, itemNumber, ItemNumber, 4),
      S(u8, ownerType, OwnerType, 8),
      S(u32, mapNumber, MapNumber, 12),
      S(u32, roomNumber, RoomNumber, 16),
      T(ownerName, OwnerName, 20, 30),
      S(u32, activeMonster, ActiveMonster, 52),
  });
}

TEST(RecordLayoutTest, GangFields) {
  using R = GangRecord;
  CheckLayout<R>({
      T(gangID, GangID, 0, 20),
      T(name, Name, 20, 20),
      S(u32, exp, Exp, 40),
      T(leader, Leader, 44, 30),
      S(u16, created, Created, 74),
      S(u16, members, Members, 78),
      S(u8, flags, Flags, 80),
      S(u32, extraExp, ExtraExp, 88),
      S(u16, rollCount, RollCount, 92),
  });
}

TEST(RecordLayoutTest, ActionFields) {
  using R = ActionRecord;
  CheckLayout<R>({
      T(word, Word, 0, 30),
  });
}

#undef S
#undef A
#undef T
#undef L

}  // namespace
}  // namespace torvex
