// The holdings rules over items held in memory: who may use what, wearing
// and its refusals, readying, removing and lighting, selling, money and
// encumbrance at their edges, and the listings' exact lines. The commands are
// tried once through the walker against record files.
#include "walker/holdings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "database/records/enumerations.h"
#include "tests/walker/walker_test_world.h"
#include "walker/commands.h"

namespace torvex {
namespace {

ItemRecord MakeItem(uint32_t number, const std::string& name, ItemType type, int8_t wornOn = 0) {
  ItemRecord item;
  item.setNumber(number);
  item.setName(name);
  item.setItemType(static_cast<uint16_t>(type));
  item.setWornOn(wornOn);
  return item;
}

ItemRecord Weapon(uint32_t number, const std::string& name, uint16_t weaponType) {
  ItemRecord item = MakeItem(number, name, ItemType::kWeapon);
  item.setWeaponType(weaponType);
  return item;
}

ItemRecord WithAbility(ItemRecord item, uint16_t ability, int16_t value, size_t slot = 0) {
  item.setAbilityNumbers(slot, ability);
  item.setAbilityValues(slot, value);
  return item;
}

std::vector<uint32_t> Coins(const Purse& p) {
  return {p.runic, p.platinum, p.gold, p.silver, p.copper};
}

// Items by number, as the rules read them.
class HoldingsTest : public ::testing::Test {
 protected:
  HoldingsTest() {
    ClearHoldings(session.holdings);
    session.character.characterClass = 1;
    session.character.race = 1;
    sheet().characterClass.setNumber(1);
    sheet().characterClass.setWeaponType(8);  // all weapons
    sheet().characterClass.setArmourType(5);
  }

  void Add(const ItemRecord& item) { items[item.number()] = item; }
  HoldingsInput& Input() {
    input.readItem = [this](uint32_t number, ItemRecord& item) {
      const auto found = items.find(number);
      if (found == items.end()) return false;
      item = found->second;
      return true;
    };
    return input;
  }
  CharacterSheet& sheet() { return input.sheet; }
  void Carry(std::initializer_list<uint32_t> numbers) {
    for (uint32_t n : numbers) ASSERT_TRUE(GiveItem(session.holdings, n, Input().readItem)) << n;
  }
  Lines Wear(uint32_t number) {
    Lines out;
    WearItem(session, Input(), number, out);
    return out;
  }
  Lines Ready(uint32_t number) {
    Lines out;
    ReadyItem(session, Input(), number, out);
    return out;
  }
  std::vector<int32_t> Worn() const {
    std::vector<int32_t> worn;
    for (int32_t n : session.holdings.wornItems) {
      if (n != 0) worn.push_back(n);
    }
    return worn;
  }

  std::map<uint32_t, ItemRecord> items;
  HoldingsInput input;
  WalkerSession session;
};

TEST_F(HoldingsTest, MayUseByAlignmentClassRaceMagicAndLevel) {
  const ItemRecord plain = MakeItem(1, "trinket", ItemType::kGeneral);
  ItemRecord forClasses = plain;
  forClasses.setClasses(0, 2);
  forClasses.setClasses(3, 3);
  ItemRecord forRace = plain;
  forRace.setRaces(5, 3);
  const struct {
    const char* what;
    ItemRecord item;
    int32_t ep, level;
    uint32_t cls, race;
    bool antiMagic, allowed;
  } cases[] = {
      {"good aligned, evil", WithAbility(plain, 97, 1), 50, 1, 1, 1, false, false},
      {"good aligned, neutral", WithAbility(plain, 97, 1), 0, 1, 1, 1, false, false},
      {"good aligned, good", WithAbility(plain, 97, 1), -100, 1, 1, 1, false, true},
      {"evil aligned, at -50", WithAbility(plain, 98, 1), -50, 1, 1, 1, false, false},
      {"evil aligned, at -51", WithAbility(plain, 98, 1), -51, 1, 1, 1, false, false},
      {"evil aligned, at 40", WithAbility(plain, 98, 1), 40, 1, 1, 1, false, true},
      {"not neutral, at 39", WithAbility(plain, 113, 1), 39, 1, 1, 1, false, false},
      {"not neutral, at 40", WithAbility(plain, 113, 1), 40, 1, 1, 1, false, true},
      {"not good, good", WithAbility(plain, 110, 1), -51, 1, 1, 1, false, false},
      {"not good, neutral", WithAbility(plain, 110, 1), -50, 1, 1, 1, false, true},
      {"not evil, evil", WithAbility(plain, 111, 1), 40, 1, 1, 1, false, false},
      {"neutral, evil", WithAbility(plain, 112, 1), 40, 1, 1, 1, false, false},
      {"neutral, good", WithAbility(plain, 112, 1), -51, 1, 1, 1, false, false},
      {"neutral, neutral", WithAbility(plain, 112, 1), 0, 1, 1, 1, false, true},
      {"class listed", forClasses, 0, 1, 3, 1, false, true},
      {"class not listed", forClasses, 0, 1, 1, 1, false, false},
      {"race listed", forRace, 0, 1, 1, 3, false, true},
      {"race not listed", forRace, 0, 1, 1, 1, false, false},
      {"magical, anti-magic", WithAbility(plain, 28, 1), 0, 1, 1, 1, true, false},
      {"magical", WithAbility(plain, 28, 1), 0, 1, 1, 1, false, true},
      {"minimum level 10 at 9", WithAbility(plain, 135, 10), 0, 9, 1, 1, false, false},
      {"minimum level 10 at 10", WithAbility(plain, 135, 10), 0, 10, 1, 1, false, true},
      {"maximum level 5 at 6", WithAbility(plain, 136, 5), 0, 6, 1, 1, false, false},
      {"maximum level 5 at 5", WithAbility(plain, 136, 5), 0, 5, 1, 1, false, true},
  };
  for (const auto& c : cases) {
    WalkerCharacter who;
    who.evilPoints = c.ep;
    who.level = c.level;
    who.characterClass = c.cls;
    who.race = c.race;
    if (c.antiMagic) who.abilities[4] = {51, 1};
    EXPECT_EQ(MayUse(c.item, who, sheet()), c.allowed) << c.what;
  }
}

TEST_F(HoldingsTest, WeaponTypesByTheClassWeaponType) {
  // Per item weapon type, whether class weapon types 0..9 may use it.
  const char* allowed[] = {"1000100110", "0100010110", "0010101010", "0001011010", "0000000000"};
  for (uint16_t type = 0; type < 5; ++type) {
    for (uint16_t c = 0; c < 10; ++c) {
      sheet().characterClass.setWeaponType(c);
      EXPECT_EQ(MayUse(Weapon(5, "blade", type), session.character, sheet()),
                allowed[type][c] == '1')
          << "weapon type " << type << ", class weapon type " << c;
    }
  }
  // Limited classes use items 68 and 100 only, whatever their type.
  sheet().characterClass.setWeaponType(9);
  for (const auto& [number, ok] : {std::pair{68u, true}, {100u, true}, {67u, false}}) {
    EXPECT_EQ(MayUse(Weapon(number, "rod", 0), session.character, sheet()), ok) << number;
  }
}

TEST_F(HoldingsTest, ArmourTypesOffHandsAndClassInclusion) {
  ItemRecord mail = MakeItem(1, "mail", ItemType::kArmour, 11);
  mail.setArmourType(3);
  ItemRecord shield = MakeItem(2, "buckler", ItemType::kArmour, kWornOffHand);
  const ItemRecord axe = Weapon(3, "axe", 3);
  const struct {
    const char* what;
    ItemRecord item;
    uint16_t classWeapon, classArmour;
    bool allowed;
  } cases[] = {
      {"armour above the class's", mail, 8, 2, false},
      {"armour at the class's", mail, 8, 3, true},
      {"off-hand, 1h-blunt class", shield, 0, 9, false},
      {"off-hand, 1h-sharp class", shield, 2, 9, false},
      {"off-hand, any-1h class", shield, 4, 9, false},
      {"off-hand, 2h-blunt class", shield, 1, 9, true},
      {"2h-sharp, 1h-blunt class", axe, 0, 9, false},
      {"included: class 1", WithAbility(axe, 59, 1, 7), 0, 9, true},
      {"included: another class", WithAbility(axe, 59, 2, 7), 0, 9, false},
      {"armour included", WithAbility(mail, 59, 1), 8, 2, true},
      {"a light is no weapon or armour", MakeItem(4, "torch", ItemType::kLight), 0, 0, true},
  };
  for (const auto& c : cases) {
    sheet().characterClass.setWeaponType(c.classWeapon);
    sheet().characterClass.setArmourType(c.classArmour);
    EXPECT_EQ(MayUse(c.item, session.character, sheet()), c.allowed) << c.what;
  }
  // Inclusion makes up for the item type only, not for alignment.
  session.character.evilPoints = 50;
  EXPECT_FALSE(MayUse(WithAbility(WithAbility(axe, 59, 1, 7), 97, 1), session.character, sheet()));
}

TEST_F(HoldingsTest, AThirdRingTakesTheSecondsPlace) {
  Add(MakeItem(1, "iron ring", ItemType::kArmour, kWornFinger1));
  Add(MakeItem(2, "gold ring", ItemType::kArmour, kWornFinger2));
  Add(MakeItem(3, "jade ring", ItemType::kArmour, kWornFinger1));
  Add(MakeItem(4, "cap", ItemType::kArmour, 2));
  Carry({1, 2, 3, 4});
  EXPECT_EQ(Wear(4), Lines{"|07You are now wearing cap."});
  EXPECT_EQ(Wear(1), Lines{"|07You are now wearing iron ring."});
  EXPECT_EQ(Wear(2), Lines{"|07You are now wearing gold ring."});
  EXPECT_EQ(Worn(), (std::vector<int32_t>{4, 1, 2}));
  EXPECT_EQ(Wear(3),
            (Lines{"|07You have removed gold ring.", "|07You are now wearing jade ring."}));
  EXPECT_EQ(Worn(), (std::vector<int32_t>{4, 1, 3}));
  // The same ring again comes off before it goes on.
  EXPECT_EQ(Wear(1),
            (Lines{"|07You have removed iron ring.", "|07You are now wearing iron ring."}));
  EXPECT_EQ(Worn(), (std::vector<int32_t>{4, 1, 3}));
}

TEST_F(HoldingsTest, WearingDisplacesItsPlaceAndWhatIsWornEverywhere) {
  Add(MakeItem(1, "cap", ItemType::kArmour, 2));
  Add(MakeItem(2, "helm", ItemType::kArmour, 2));
  Add(MakeItem(3, "aura", ItemType::kArmour, kWornEverywhere));
  Add(MakeItem(4, "boots", ItemType::kArmour, 5));
  Add(MakeItem(5, "stone", ItemType::kGeneral));
  Carry({1, 2, 3, 4, 5});
  Wear(1);
  Wear(3);
  EXPECT_EQ(Wear(2), (Lines{"|07You have removed cap.", "|07You have removed aura.",
                            "|07You are now wearing helm."}));
  EXPECT_EQ(Wear(5), Lines{"|12stone may not be worn!"});
  session.holdings.wornItems.fill(99);
  EXPECT_EQ(Wear(4), Lines{"|07You have no more room to wear that item!"});
}

TEST_F(HoldingsTest, AnOffHandRefusalChangesNothing) {
  Add(MakeItem(1, "aura", ItemType::kArmour, kWornEverywhere));
  Add(MakeItem(2, "buckler", ItemType::kArmour, kWornOffHand));
  Add(Weapon(3, "greatsword", 3));
  Carry({1, 2, 3});
  Wear(1);
  Ready(3);
  const WalkerHoldings before = session.holdings;
  EXPECT_EQ(
      Wear(2),
      Lines{"|12You may not wear an off-hand item while you have a 2-handed weapon readied."});
  EXPECT_EQ(session.holdings.wornItems, before.wornItems);
  EXPECT_EQ(session.holdings.wornItemUses, before.wornItemUses);
  EXPECT_EQ(session.holdings.weapon, 3);
}

TEST_F(HoldingsTest, ReadyingWeapons) {
  Add(MakeItem(1, "buckler", ItemType::kArmour, kWornOffHand));
  Add(Weapon(2, "greatsword", 3));
  Add(Weapon(3, "maul", 1));
  Add(Weapon(4, "dagger", 2));
  ItemRecord heavy = Weapon(5, "pick", 0);
  heavy.setRequiredStrength(51);
  Add(heavy);
  Add(MakeItem(6, "cap", ItemType::kArmour, 2));
  Carry({1, 2, 3, 4, 5, 6});
  Wear(1);
  EXPECT_EQ(Ready(2), Lines{"|12You may not ready a 2-handed weapon with your buckler worn!"});
  EXPECT_EQ(Ready(3), Lines{"|12You may not ready a 2-handed weapon with your buckler worn!"});
  EXPECT_EQ(session.holdings.weapon, 0);
  EXPECT_EQ(Ready(4), Lines{"|07You are now holding dagger."});
  EXPECT_EQ(Ready(5),
            (Lines{"|07You are now holding pick.", "This weapon feels heavy in your hands."}));
  EXPECT_EQ(Ready(6), Lines{"cap is not a weapon!"});
  sheet().characterClass.setWeaponType(2);
  EXPECT_EQ(Ready(3), Lines{"|12You may not use that weapon."});
  EXPECT_EQ(session.holdings.weapon, 5);
  Lines out;
  EquipItem(session, Input(), 6, out);
  EXPECT_EQ(out, Lines{"|07You are now wearing cap."});
}

TEST_F(HoldingsTest, FindingByNameAndMode) {
  Add(MakeItem(1, "short sword", ItemType::kWeapon));
  Add(MakeItem(2, "leather cap", ItemType::kArmour, 2));
  Add(MakeItem(3, "cap of stars", ItemType::kArmour, 2));
  Add(MakeItem(4, "iron key", ItemType::kKey));
  Add(MakeItem(5, "torch", ItemType::kLight));
  Carry({1, 2, 3, 4, 5});
  Wear(3);
  session.holdings.torchItemIndex = 3;
  session.holdings.weapon = 9;  // readied but not carried
  Add(MakeItem(9, "war axe", ItemType::kWeapon));
  const struct {
    const char* typed;
    FindMode mode;
    uint32_t found;
  } cases[] = {
      {"sword", FindMode::kAny, 1},        {"SH", FindMode::kAny, 1},
      {"ord", FindMode::kAny, 0},          {"  cap ", FindMode::kAny, 2},
      {"cap", FindMode::kEquipped, 3},     {"cap", FindMode::kUnequipped, 2},
      {"stars", FindMode::kUnequipped, 0}, {"torch", FindMode::kEquipped, 5},
      {"axe", FindMode::kEquipped, 9},     {"axe", FindMode::kAny, 0},
      {"key", FindMode::kEquipped, 4},     {"", FindMode::kAny, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindCarriedItem(session.holdings, c.typed, c.mode, Input().readItem), c.found)
        << '"' << c.typed << "\" mode " << static_cast<int>(c.mode);
  }
}

TEST_F(HoldingsTest, GivingAndTakingKeepSlotsAndTheLight) {
  ItemRecord key = MakeItem(1, "iron key", ItemType::kKey);
  key.setUses(3);
  Add(key);
  Add(MakeItem(2, "torch", ItemType::kLight));
  Add(MakeItem(3, "cap", ItemType::kArmour, 2));
  WalkerHoldings& h = session.holdings;
  EXPECT_FALSE(GiveItem(h, 77, Input().readItem));
  Carry({1, 2, 2, 3});
  EXPECT_EQ(h.keys[0], 1);
  EXPECT_EQ(h.keyUses[0], 3);
  EXPECT_EQ(h.keyUses[1], kEmptyKeyUses);
  EXPECT_EQ(h.items[0], 2);
  h.torchItemIndex = 0;
  Wear(3);
  Lines out;
  // The lit copy goes: the light goes out with it, the other copy stays.
  EXPECT_TRUE(TakeItem(h, 2, Input().readItem, out));
  EXPECT_EQ(h.torchItemIndex, -1);
  EXPECT_EQ(h.itemUses[0], kEmptyItemUses);
  EXPECT_EQ(CopiesCarried(h, 2), 1);
  // The last copy of a worn item comes off too.
  EXPECT_TRUE(TakeItem(h, 3, Input().readItem, out));
  EXPECT_EQ(out, Lines{"|07You have removed cap."});
  EXPECT_FALSE(IsWorn(h, 3));
  EXPECT_TRUE(TakeItem(h, 1, Input().readItem, out));
  EXPECT_EQ(h.keyUses[0], kEmptyKeyUses);
  EXPECT_FALSE(TakeItem(h, 1, Input().readItem, out));
  // A full inventory takes nothing more.
  h.items.fill(2);
  EXPECT_FALSE(GiveItem(h, 3, Input().readItem));
}

TEST_F(HoldingsTest, RemovingAndLighting) {
  Add(MakeItem(1, "torch", ItemType::kLight));
  Add(MakeItem(2, "lantern", ItemType::kLight));
  Add(MakeItem(3, "cap", ItemType::kArmour, 2));
  Add(WithAbility(MakeItem(4, "dark lamp", ItemType::kLight), 97, 1));
  Carry({3, 1, 2, 4});
  Wear(3);
  auto light = [&](uint32_t number) {
    Lines out;
    LightItem(session, Input(), number, out);
    return out;
  };
  auto remove = [&](uint32_t number) {
    Lines out;
    RemoveItem(session.holdings, Input().readItem, number, out);
    return out;
  };
  EXPECT_EQ(light(3), Lines{"|12You cannot light cap!"});
  EXPECT_EQ(light(4), Lines{"You may not light that item!"});
  EXPECT_EQ(light(1), Lines{"You lit the torch."});
  EXPECT_EQ(session.holdings.torchItemIndex, 1);
  EXPECT_EQ(light(2), Lines{"You already have something lit!"});
  EXPECT_EQ(remove(2), Lines{"|12You do not have lantern lit."});
  EXPECT_EQ(remove(1), Lines{"You have removed torch and extinguished it."});
  EXPECT_EQ(session.holdings.torchItemIndex, -1);
  EXPECT_EQ(remove(3), Lines{"|07You have removed cap."});
  EXPECT_EQ(remove(3), Lines{"|12You are not wearing cap."});
}

TEST_F(HoldingsTest, EquipmentNoLongerAllowedComesOff) {
  ItemRecord robe = MakeItem(1, "robe", ItemType::kArmour, 11);
  robe.setClasses(0, 1);
  Add(robe);
  Add(WithAbility(Weapon(2, "fang", 2), 136, 4));
  Add(MakeItem(3, "cap", ItemType::kArmour, 2));
  Carry({1, 2, 3});
  Wear(1);
  Wear(3);
  Ready(2);
  session.character.characterClass = 2;
  session.character.level = 5;
  Lines out;
  RecheckEquipment(session, Input(), out);
  EXPECT_EQ(out, (Lines{"|07Your robe has been removed.", "|07Your fang has been removed."}));
  EXPECT_EQ(Worn(), std::vector<int32_t>{3});
  EXPECT_EQ(session.holdings.weapon, 0);
}

TEST_F(HoldingsTest, MoneyValueKeepsOrSkipsWhatWouldOverflow) {
  const struct {
    Purse purse;
    uint32_t value;
  } cases[] = {
      {{1, 2, 3, 4, 5}, 1020345},
      {{0, 0, 0, 0, 4294967295u}, 4294967295u},
      // 50000 runic: the product by 10 would overflow twice and is left out.
      {{50000, 0, 0, 0, 7}, 500000007},
      // 4294900000 after the silver; copper that would pass 2^32 - 1 is skipped,
      {{42949, 0, 0, 0, 67296}, 4294900000u},
      // and copper that reaches it exactly is added.
      {{42949, 0, 0, 0, 67295}, 4294967295u},
  };
  for (const auto& c : cases) EXPECT_EQ(MoneyValue(c.purse), c.value) << c.purse.runic;
}

TEST_F(HoldingsTest, EncumbranceAtItsEdges) {
  const struct {
    int64_t percent;
    const char* category;
  } categories[] = {{16, "|07None"},   {17, "|02Light"},  {33, "|02Light"},
                    {34, "|06Medium"}, {66, "|06Medium"}, {67, "|04Heavy"}};
  for (const auto& c : categories) EXPECT_EQ(EncumbranceCategory(c.percent), c.category);
  EXPECT_EQ(ShareOfMaximum(500, 0), 0);
  EXPECT_EQ(ShareOfMaximum(167, 1000), 16);

  const struct {
    int32_t strength;
    int16_t alter;
    int64_t maximum;
  } maxima[] = {{100, 0, 4800}, {101, 0, 4884}, {100, 10, 5280}, {0, 0, 0}, {100, -100, 0}};
  for (const auto& c : maxima) {
    session.character.strength = c.strength;
    session.character.abilities[0] = {96, c.alter};
    EXPECT_EQ(MaximumEncumbrance(session.character, sheet()), c.maximum) << c.strength;
  }

  ItemRecord rock = MakeItem(1, "rock", ItemType::kGeneral);
  rock.setWeight(40);
  ItemRecord key = MakeItem(2, "key", ItemType::kKey);
  key.setWeight(5);
  Add(rock);
  Add(key);
  Carry({1, 2});
  StorePurse(session.holdings, {2, 3, 5, 8, 4294967295u});
  // 0 + 1 + 1 + 2 + 1431655765 for the coins.
  EXPECT_EQ(Encumbrance(session.holdings, Input().readItem), 1431655769 + 45);
  // A maximum of 0 shows 0 %, not a division by zero.
  session.character.strength = 0;
  EXPECT_EQ(InventoryLines(session, Input(), ListingSuffix::kNone)[2],
            "|02Encumbrance: |03" + std::to_string(1431655769 + 45) + "/0 - |07None [0%]");
}

class SellingTest : public HoldingsTest {
 protected:
  SellingTest() {
    ItemRecord gem = MakeItem(1, "red gem", ItemType::kGeneral);
    gem.setCost(21);
    gem.setCostCurrency(1);  // silver: 210 copper
    Add(gem);
    ItemRecord ring = MakeItem(2, "gold ring", ItemType::kArmour, kWornFinger1);
    ring.setCost(4);
    ring.setCostCurrency(2);
    Add(ring);
    Add(Weapon(3, "dagger", 2));
    Add(MakeItem(4, "pebble", ItemType::kGeneral));
    for (uint32_t n : {1u, 2u, 3u}) shop.setItems(n + 2, n);
    session.character.charm = 50;
  }
  Lines Sell(const std::string& typed, bool appraise = false, const ShopRecord* at = nullptr) {
    Lines out;
    SellItem(session, Input(), at ? at : &shop, 7, typed, appraise, out);
    return out;
  }
  ShopRecord shop;
};

TEST_F(SellingTest, PricesRefusalsAndTheCoinsAfterwards) {
  Carry({1, 2, 3, 4});
  Wear(2);
  session.holdings.weapon = 3;
  ShopRecord gang = shop;
  gang.setShopType(ShopRecord::kGangShopType);
  EXPECT_EQ(Sell("gem", false, &gang), Lines{"|07You may not sell items to a gang shop."});
  EXPECT_EQ(Sell("opal"), Lines{"|07You don't have opal to sell!"});
  EXPECT_EQ(Sell("ring"), Lines{"|12You may not sell that item!"});
  EXPECT_EQ(Sell("dag"), Lines{"|12You may not sell that item!"});
  EXPECT_EQ(Sell("pebble"), Lines{"|07You cannot sell pebble here."});
  Lines out;
  SellItem(session, Input(), nullptr, 7, "gem", false, out);
  EXPECT_EQ(out, Lines{"|12Shop 7 does not exist!"});
  // CHA 50: half the value.
  EXPECT_EQ(Sell("red", true), Lines{"|07You would get 105 copper farthings for your red gem."});
  EXPECT_EQ(CopiesCarried(session.holdings, 1), 1);
  EXPECT_EQ(Sell("gem"), Lines{"|07You sold red gem for 105 copper farthings."});
  EXPECT_EQ(CopiesCarried(session.holdings, 1), 0);
  EXPECT_EQ(Coins(PurseOf(session.holdings)), (Coins(Purse{0, 0, 1, 0, 5})));

  // With a second copy the worn ring sells, and stays worn.
  Carry({2});
  EXPECT_EQ(Sell("gold"), Lines{"|07You sold gold ring for 200 copper farthings."});
  EXPECT_TRUE(IsWorn(session.holdings, 2));
  EXPECT_EQ(CopiesCarried(session.holdings, 2), 1);
}

TEST_F(SellingTest, ExactlyAHundredCopperBecomesSilver) {
  StorePurse(session.holdings, {});
  AddCopper(session.holdings, 100);
  EXPECT_EQ(Coins(PurseOf(session.holdings)), (Coins(Purse{0, 0, 0, 9, 10})));
  // Copper stops at the largest count rather than wrapping round.
  StorePurse(session.holdings, {0, 0, 0, 0, 4294967000u});
  AddCopper(session.holdings, 1000);
  EXPECT_GT(MoneyValue(PurseOf(session.holdings)), 4294960000u);
}

TEST_F(SellingTest, PricesByCharmAndCoin) {
  ItemRecord crown = MakeItem(9, "crown", ItemType::kGeneral);
  const struct {
    uint16_t cost;
    uint8_t coin;
    int32_t charm;
    uint32_t price;
  } cases[] = {
      {21, 1, 50, 105}, {21, 1, 0, 52}, {21, 1, 150, 210}, {21, 1, -80, 0}, {7, 0, 51, 3},
  };
  for (const auto& c : cases) {
    crown.setCost(c.cost);
    crown.setCostCurrency(c.coin);
    EXPECT_EQ(SellingPrice(crown, c.charm), c.price) << c.cost << " at CHA " << c.charm;
  }
  crown.setCost(65535);
  crown.setCostCurrency(4);  // runic: more copper than 32 bits hold
  EXPECT_EQ(ItemValue(crown), 4294967295u);
  EXPECT_EQ(SellingPrice(crown, 50), 2147483647u);
}

TEST_F(HoldingsTest, ListingsLineByLine) {
  session.character.strength = 50;  // maximum 2400
  Add(MakeItem(1, "cap", ItemType::kArmour, 2));
  ItemRecord sword = Weapon(2, "sword", 2);
  sword.setWeight(240);
  Add(sword);
  ItemRecord rock = MakeItem(3, "rock", ItemType::kGeneral);
  rock.setWeight(480);
  Add(rock);
  Add(MakeItem(4, "iron key", ItemType::kKey));
  Add(MakeItem(5, "bone key", ItemType::kKey));

  EXPECT_EQ(InventoryLines(session, Input(), ListingSuffix::kNone),
            (Lines{"You are carrying Nothing!", "|02Wealth: |030 copper farthings",
                   "|02Encumbrance: |030/2400 - |07None [0%]"}));
  EXPECT_EQ(KeyLines(session, Input(), ListingSuffix::kNone), Lines{"You have no keys."});
  EXPECT_EQ(WealthLines(session, Input(), false),
            (Lines{"No money!", "|02Wealth: |030 copper farthings"}));

  Carry({1, 2, 3, 4, 5});
  Wear(1);
  session.holdings.weapon = 2;
  StorePurse(session.holdings, {1, 0, 2, 0, 1});
  EXPECT_EQ(InventoryLines(session, Input(), ListingSuffix::kNone),
            (Lines{"You are carrying 1 runic coin, 2 gold crowns, 1 copper farthing, cap (Head), "
                   "sword (Weapon Hand), rock.",
                   "|02Wealth: |031000201 copper farthings",
                   "|02Encumbrance: |03720/2400 - |02Light [30%]"}));
  EXPECT_EQ(InventoryLines(session, Input(), ListingSuffix::kNumbers)[0],
            "You are carrying 1 runic coin, 2 gold crowns, 1 copper farthing, cap (Head), "
            "sword (Readied/2), rock (3).");
  EXPECT_EQ(InventoryLines(session, Input(), ListingSuffix::kPercent)[0],
            "You are carrying 1 runic coin, 2 gold crowns, 1 copper farthing, cap (Head), "
            "sword (Weapon Hand), rock (20%).");
  EXPECT_EQ(KeyLines(session, Input(), ListingSuffix::kNumbers),
            Lines{"You have the following keys: iron key (4), bone key (5)"});
  StorePurse(session.holdings, {0, 0, 0, 3, 3600});
  session.runicCoinName = "star marks";
  EXPECT_EQ(WealthLines(session, Input(), true),
            (Lines{"You have 3 silver nobles (0%), 3600 copper farthings (50%).",
                   "|02Wealth: |033630 copper farthings"}));
  StorePurse(session.holdings, {1, 0, 0, 0, 0});
  EXPECT_EQ(WealthLines(session, Input(), false)[0], "You have 1 star mark.");
}

TEST_F(HoldingsTest, ArmourTotalsCountWornItemsAndTheirAbilities) {
  ItemRecord mail = MakeItem(1, "mail", ItemType::kArmour, 11);
  mail.setArmourClass(45);
  mail.setDamageReduction(12);
  Add(WithAbility(mail, 10, 5));
  ItemRecord spare = mail;
  spare.setNumber(2);
  Add(spare);  // carried, not worn
  Carry({1, 2});
  Wear(1);
  sheet().equipped = {items[1]};
  session.character.abilities[0] = {7, 3};
  const ArmourTotals totals = WornArmourTotals(session, Input());
  EXPECT_EQ(totals.armourClass, 50);
  EXPECT_EQ(totals.damageReduction, 15);
}

// The commands through the walker, with items and a shop in record files.
class HoldingsCommandsTest : public testing::WalkerWorldTest {
 protected:
  void SetUp() override {
    WalkerWorldTest::SetUp();
    ItemRecord cap = MakeItem(20, "leather cap", ItemType::kArmour, 2);
    cap.setCost(30);
    ItemRecord stone = MakeItem(21, "whetstone", ItemType::kGeneral);
    stone.setCost(4);
    stone.setCostCurrency(1);
    MakeFile(kItemFile, {Bytes(cap), Bytes(stone),
                         Bytes(MakeItem(testing::kTorch, "bright torch", ItemType::kLight))});
    ShopRecord shop;
    shop.setNumber(3);
    shop.setName("Tack Shop");
    shop.setItems(0, 20);
    shop.setNormalQuantity(0, 2);
    MakeFile(kShopFile, {Bytes(shop)});
    ClassRecord warrior;
    warrior.setNumber(1);
    warrior.setWeaponType(8);
    warrior.setArmourType(9);
    MakeFile(kClassFile, {Bytes(warrior)});
  }
  Lines Type(WalkerSession& session, const std::string& text) {
    testing::HeadlessConsole hc;
    WalkTurn turn{hc.console, session};
    RunTypedLine(turn, text);
    return testing::ScreenLines(hc);
  }
};

TEST_F(HoldingsCommandsTest, WearListSellAndListings) {
  RoomRecord room = testing::MakeRoom(1, 1, "Tack Shop", {});
  room.setRoomType(1);
  room.setShopNumber(3);
  WalkerSession session = SessionIn(room);
  ClearHoldings(session.holdings);
  for (uint32_t n : {20u, 20u, 21u, testing::kTorch}) {
    ASSERT_TRUE(GiveItem(session.holdings, n, CachedItemReader()));
  }
  const struct {
    const char* line;
    Lines shown;
  } steps[] = {
      {"wear cap", {"You are now wearing leather cap."}},
      // Both copies count as worn while one is.
      {"wear cap", {"You do not have cap left unequipped."}},
      {"remove stone", {"You are not wearing stone."}},
      {"light torch", {"You lit the bright torch."}},
      {"wield nothing", {"You do not have nothing left unequipped."}},
      {"list",
       {"The following items are for sale here:", "Item                          Quantity    Price",
        "------------------------------------------------------",
        "leather cap                   2           30 copper farthings"}},
      {"sell whet", {"You cannot sell whetstone here."}},
      {"appr cap", {"You would get 15 copper farthings for your leather cap."}},
      {"sell cap", {"You sold leather cap for 15 copper farthings."}},
      {"sell cap", {"You may not sell that item!"}},
      {"wealth", {"You have 1 silver noble, 5 copper farthings.", "Wealth: 15 copper farthings"}},
      {"keys", {"You have no keys."}},
      {"disarm", {"You now have no weapon readied."}},
      {"remove torch", {"You have removed bright torch and extinguished it."}},
  };
  for (const auto& s : steps) EXPECT_EQ(Type(session, s.line), s.shown) << s.line;
  // The listing wraps at 80 columns: its first line takes two rows.
  const Lines inventory = Type(session, "i ids");
  ASSERT_EQ(inventory.size(), 4u);
  EXPECT_EQ(inventory[0] + inventory[1],
            "You are carrying 1 silver noble, 5 copper farthings, leather cap (Head), whetstone "
            "(21), bright torch (11).");
  EXPECT_EQ(inventory[3], "Encumbrance: 1/2400 - None [0%]");  // five copper weigh one
}

}  // namespace
}  // namespace torvex
