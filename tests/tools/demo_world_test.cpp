// The demo world as make run builds it: loaded from data/world, written, exported
// by quendex, and read back from the template files the browsers open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "database/records/records.h"
#include "database/records/text_block_text.h"
#include "exporter/quendex.h"
#include "tests/platform/btrieve/btrieve_test_support.h"
#include "tools/world_source.h"

namespace torvex::worldsrc {
namespace {

namespace bt = torvex::btrieve;
using bt::testing::TempDir;

template <typename R>
std::vector<R> ReadAll(const std::string& path) {
  bt::testing::File f;
  std::vector<R> out;
  if (f.Open(path, bt::open_mode::kReadOnly) != 0) return out;
  for (int16_t st = f.Call(bt::op::kGetFirst); st == 0; st = f.Call(bt::op::kGetNext)) {
    out.emplace_back(f.Record());
  }
  f.Close();
  return out;
}

// Which of the codes 0..count-1 never occur.
std::string Missing(const std::set<int>& seen, int count) {
  std::ostringstream s;
  for (int code = 0; code < count; ++code) {
    if (!seen.count(code)) s << code << ' ';
  }
  return s.str();
}

class DemoWorld : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    const char* source = std::getenv("TORVEX_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    World world;
    SourceError error;
    ASSERT_TRUE(LoadWorld(std::string(source) + "/data/world", world, error)) << error.Text();
    std::string written;
    ASSERT_TRUE(WriteWorld(world, dir_->path(), written)) << written;
    exporter::StringSink out;
    ASSERT_EQ(exporter::QuendexMain({}, out, dir_->path() + "/"), 0) << out.text();
    ASSERT_EQ(out.text().find("! Error"), std::string::npos) << out.text();
  }
  static void TearDownTestSuite() {
    WBTRVSTOP();
    delete dir_;
  }
  static std::string File(const char* name) { return dir_->File(name); }

  static TempDir* dir_;
};
TempDir* DemoWorld::dir_ = nullptr;

TEST_F(DemoWorld, HasAtLeastTheRecordsPromised) {
  EXPECT_GE(ReadAll<RaceRecord>(File("WCCRACE2.VIR")).size(), 6u);
  EXPECT_GE(ReadAll<ClassRecord>(File("WCCCLAS2.VIR")).size(), 8u);
  EXPECT_GE(ReadAll<ItemRecord>(File("WCCITEM2.VIR")).size(), 60u);
  EXPECT_GE(ReadAll<SpellRecord>(File("WCCSPEL2.VIR")).size(), 30u);
  EXPECT_GE(ReadAll<MonsterRecord>(File("WCCKNMS2.VIR")).size(), 30u);
  const auto rooms = ReadAll<RoomRecord>(File("WCCMP002.VIR"));
  EXPECT_GE(rooms.size(), 300u);
  std::set<uint32_t> maps;
  bool deathRooms[2] = {false, false};
  for (const RoomRecord& r : rooms) {
    maps.insert(r.mapNumber());
    if (r.mapNumber() == 1 && r.roomNumber() == 2189) deathRooms[0] = true;
    if (r.mapNumber() == 1 && r.roomNumber() == 142) deathRooms[1] = true;
  }
  EXPECT_GE(maps.size(), 3u);
  EXPECT_TRUE(deathRooms[0]) << "room 2189 of map 1";
  EXPECT_TRUE(deathRooms[1]) << "room 142 of map 1";
  for (const char* ext : {"VIR", "DAT"}) {
    const std::string e = std::string(".") + ext;
    EXPECT_GE(ReadAll<ActiveMonsterRecord>(File(("WCCACMS2" + e).c_str())).size(), 3u) << ext;
    EXPECT_GE(ReadAll<ItemOwnerRecord>(File(("WCCITOW2" + e).c_str())).size(), 3u) << ext;
    EXPECT_GE(ReadAll<GangRecord>(File(("WCCGANG2" + e).c_str())).size(), 3u) << ext;
  }
}

TEST_F(DemoWorld, ClassesCoverEveryMagicType) {
  std::set<int> magic;
  for (const ClassRecord& c : ReadAll<ClassRecord>(File("WCCCLAS2.VIR")))
    magic.insert(c.magicType());
  EXPECT_EQ(Missing(magic, 6), "");
}

TEST_F(DemoWorld, ItemsCoverEveryTypePlaceAndCoin) {
  const auto messages = ReadAll<MessageRecord>(File("WCCMSG2.VIR"));
  const auto hitVerbs = [&](uint32_t number) {
    for (const MessageRecord& m : messages) {
      // Each verb closed by its bar, so that every verb can be drawn.
      if (m.number() == number) return !m.line1().empty() && m.line1().back() == '|';
    }
    return false;
  };
  std::set<int> types, weapons, armour, worn, material, currency;
  int lights = 0, keys = 0, withAbilities = 0, verbLists = 0, withoutVerbs = 0;
  for (const ItemRecord& i : ReadAll<ItemRecord>(File("WCCITEM2.VIR"))) {
    types.insert(i.itemType());
    if (i.itemType() == 1 || i.itemType() == 2) {
      weapons.insert(i.weaponType());
      // One weapon goes without, to show the simulator's own verbs.
      withoutVerbs += i.hitMessage() == 0;
      if (hitVerbs(i.hitMessage())) ++verbLists;
    }
    if (i.itemType() == 0) armour.insert(i.armourType());
    worn.insert(i.wornOn());
    material.insert(i.material());
    currency.insert(i.costCurrency());
    if (i.itemType() == 6 && i.hasAbility(54)) ++lights;
    if (i.itemType() == 7) ++keys;
    if (i.abilityNumbers(0) != 0) ++withAbilities;
  }
  EXPECT_EQ(Missing(types, 11), "");
  EXPECT_EQ(Missing(weapons, 10), "");
  EXPECT_EQ(Missing(armour, 10), "");
  EXPECT_EQ(Missing(worn, 20), "");
  EXPECT_EQ(Missing(material, 7), "");
  EXPECT_EQ(Missing(currency, 5), "");
  EXPECT_GE(lights, 2);
  EXPECT_GE(keys, 2);
  EXPECT_GE(withAbilities, 20);
  EXPECT_GE(verbLists, 10) << "weapon hit messages list their verbs, each closed by \"|\"";
  EXPECT_EQ(withoutVerbs, 1);
}

TEST_F(DemoWorld, SpellsCoverStylesTargetsResistsAndChains) {
  std::set<int> styles, targets, resistable, resistedBy, elements, magic, chains;
  for (const SpellRecord& s : ReadAll<SpellRecord>(File("WCCSPEL2.VIR"))) {
    styles.insert(s.castStyle());
    targets.insert(s.target());
    resistable.insert(s.resistable());
    resistedBy.insert(s.resistedBy());
    elements.insert(s.element());
    magic.insert(s.magicType());
    for (int ability : {151, 114, 43, 120, 115, 12, 148}) {
      if (s.hasAbility(ability)) chains.insert(ability);
    }
  }
  EXPECT_EQ(Missing(styles, 4), "");
  EXPECT_EQ(Missing(targets, 14), "");
  EXPECT_EQ(Missing(resistable, 3), "");
  EXPECT_EQ(Missing(resistedBy, 7), "");
  EXPECT_EQ(Missing(elements, 7), "");
  EXPECT_EQ(Missing(magic, 6), "");
  EXPECT_EQ(chains, (std::set<int>{12, 43, 114, 115, 120, 148, 151}));
}

TEST_F(DemoWorld, MonstersAttackCastDropAndTalk) {
  std::set<int> attacks, movement, alignment, gender;
  int casters = 0, droppers = 0, greeters = 0, talkers = 0, described = 0;
  for (const MonsterRecord& m : ReadAll<MonsterRecord>(File("WCCKNMS2.VIR"))) {
    for (size_t a = 0; a < MonsterRecord::kAttacks; ++a) attacks.insert(m.attackType(a));
    movement.insert(m.movementType());
    alignment.insert(m.alignment());
    gender.insert(m.gender());
    casters += m.spells(0) != 0;
    droppers += m.dropItems(0) != 0;
    greeters += m.greetText() != 0;
    talkers += m.talkText() != 0;
    described += m.descText() != 0;
  }
  EXPECT_EQ(Missing(attacks, 4), "");
  EXPECT_EQ(Missing(movement, 4), "");
  EXPECT_EQ(Missing(alignment, 7), "");
  EXPECT_EQ(Missing(gender, 3), "");
  EXPECT_GE(casters, 3);
  EXPECT_GE(droppers, 10);
  EXPECT_GE(greeters, 2);
  EXPECT_GE(talkers, 3);
  EXPECT_GE(described, 2);
}

TEST_F(DemoWorld, RoomsAndShopsCoverEveryType) {
  std::set<int> exits, roomTypes, shopTypes;
  int lairs = 0, regenerating = 0, secretNames = 0, commands = 0;
  for (const RoomRecord& r : ReadAll<RoomRecord>(File("WCCMP002.VIR"))) {
    roomTypes.insert(r.roomType());
    for (size_t d = 0; d < RoomRecord::kDirections; ++d) {
      if (r.exitRoom(d) == 0) continue;
      exits.insert(r.exitType(d));
      if (r.exitType(d) == 6 && r.exitParameter1(d) > 1 && r.exitParameter4(d) != 0) ++secretNames;
    }
    lairs += r.roomType() == 3 && r.maxRegen() > 0;
    regenerating += r.monsterGroup() != 0;
    commands += r.commandText() != 0;
  }
  EXPECT_EQ(Missing(exits, 25), "");
  EXPECT_EQ(Missing(roomTypes, 18), "");
  EXPECT_GE(lairs, 3);
  EXPECT_GE(regenerating, 250);
  EXPECT_GE(secretNames, 2);
  EXPECT_GE(commands, 8);
  int training = 0;
  for (const ShopRecord& s : ReadAll<ShopRecord>(File("WCCSHOP2.VIR"))) {
    shopTypes.insert(s.shopType());
    training += s.shopType() == 8 && s.trainClass() != 0;
  }
  EXPECT_EQ(Missing(shopTypes, 13), "");
  EXPECT_GE(training, 3);
}

TEST_F(DemoWorld, ScriptsUseEveryCommand) {
  static const char* const kCommands[] = {
      "ADDABILITY",    "ADDDELAY",   "ADDEVIL",      "ADDEXP",      "CAST",      "CHECK",
      "CHECKABILITY",  "CHECKITEM",  "CHECKSPELL",   "CLASS",       "CLEARITEM", "EVILALIGNED",
      "FAILABILITY",   "FAILITEM",   "FAILROOMITEM", "GIVEABILITY", "GIVECOINS", "GIVEITEM",
      "GOODALIGNED",   "LEARNSPELL", "MAXLEVEL",     "MONSTERS",    "MESSAGE",   "MINLEVEL",
      "NEEDMONSTER",   "NOMONSTERS", "PRICE",        "RACE",        "RANDOM",    "REMOTEACTION",
      "REMOVEABILITY", "ROOMITEM",   "SUMMON",       "TAKEITEM",    "TELEPORT",  "TESTABILITY",
      "TEXT"};
  std::set<std::string> words;
  bool ansi = false, laterParts = false, linked = false;
  for (const TextBlockRecord& t : ReadAll<TextBlockRecord>(File("WCCTEXT2.VIR"))) {
    const std::string text = DecodeTextBlock(t);
    ansi |= text.find("\x1b[") != std::string::npos;
    laterParts |= t.part() > 0;
    linked |= t.linkTo() != 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      std::istringstream pieces(line);
      for (std::string piece; std::getline(pieces, piece, ':');) {
        words.insert(piece.substr(0, piece.find(' ')));
      }
    }
  }
  std::string missing;
  for (const char* c : kCommands) {
    if (!words.count(c)) missing += std::string(c) + " ";
  }
  EXPECT_EQ(missing, "");
  EXPECT_TRUE(ansi) << "some texts carry ANSI colour sequences";
  EXPECT_TRUE(laterParts) << "some blocks continue in later parts";
  EXPECT_TRUE(linked) << "talk trees link greetings and actions";
}

// ---- Every branch of the record screens and the simulators has a record to show it.

template <typename R>
const R* Find(const std::vector<R>& list, uint32_t number) {
  for (const R& r : list) {
    if (r.number() == number) return &r;
  }
  return nullptr;
}

TEST_F(DemoWorld, MonstersShowEveryBranchOfTheirScreens) {
  const auto spells = ReadAll<SpellRecord>(File("WCCSPEL2.VIR"));
  std::set<int> attacks, alignment, hours;
  int noMultiplier = 0, bigMultiplier = 0, maleSelfCasters = 0, idle = 0, robbersOnly = 0;
  for (const MonsterRecord& m : ReadAll<MonsterRecord>(File("WCCKNMS2.VIR"))) {
    alignment.insert(m.alignment());
    noMultiplier += m.expMultiplier() == 0;
    bigMultiplier += m.expMultiplier() > 1;
    if (m.lastKilledDate() != 0) hours.insert(m.lastKilledTime() >> 11);
    bool canAttack = false, robs = false, blowsOrSpells = false;
    int threshold = -1;
    for (size_t a = 0; a < MonsterRecord::kAttacks; ++a) {
      const int type = m.attackType(a);
      const int percent = m.attackPercent(a);
      attacks.insert(type);
      canAttack |= type != 0 && percent != 0;
      robs |= type == 3 && percent != 0;
      if ((type != 1 && type != 2) || percent == 0) continue;
      blowsOrSpells = true;
      // The percents are thresholds: a slot at or below an earlier one is never chosen.
      EXPECT_GT(percent, threshold) << m.name() << " attack " << a + 1 << " is never reached";
      threshold = percent;
    }
    bool selfSpell = false;
    for (size_t s = 0; s < MonsterRecord::kSpellsCount; ++s) {
      const SpellRecord* spell = Find(spells, m.spells(s));
      selfSpell |= spell != nullptr && spell->target() == 1;
    }
    maleSelfCasters += m.gender() == 1 && selfSpell;
    idle += !canAttack && m.spells(0) == 0;
    robbersOnly += robs && !blowsOrSpells;
  }
  EXPECT_TRUE(attacks.count(0) && attacks.count(1) && attacks.count(2) && attacks.count(3));
  EXPECT_TRUE(std::any_of(attacks.begin(), attacks.end(), [](int t) { return t > 3; }))
      << "an attack type without a name";
  EXPECT_EQ(Missing(alignment, 7), "");
  EXPECT_GT(*alignment.rbegin(), 6) << "an alignment without a name";
  EXPECT_GE(noMultiplier, 1);
  EXPECT_GE(bigMultiplier, 1);
  EXPECT_TRUE(hours.count(0)) << "a kill at 00:xx (12-hour clock: 00 AM)";
  EXPECT_TRUE(hours.count(12)) << "a kill at 12:xx (12 PM)";
  EXPECT_TRUE(std::any_of(hours.begin(), hours.end(), [](int h) { return h > 12; }))
      << "a kill in an afternoon or evening hour";
  EXPECT_GE(maleSelfCasters, 1) << "a male monster listing a spell on itself";
  EXPECT_GE(idle, 1) << "a monster with no attacks and no spells";
  EXPECT_GE(robbersOnly, 1) << "a monster whose only attacks rob";
}

TEST_F(DemoWorld, SpellsShowEveryBranchOfTheirScreenAndSimulator) {
  int uncapped = 0, zeroEnergy = 0, followsItsDamage = 0, rangeOfZero = 0, valueOfZero = 0;
  std::set<int> generalGroups;
  for (const SpellRecord& s : ReadAll<SpellRecord>(File("WCCSPEL2.VIR"))) {
    uncapped += s.maxLevel() == 0;
    zeroEnergy += s.energy() == 0;
    followsItsDamage += s.hasAbility(151) && s.abilityValue(151) == 0;
    bool zeroSlot = false;
    for (size_t i = 0; i < SpellRecord::kAbilitySlots; ++i) {
      zeroSlot |= s.abilityNumbers(i) != 0 && s.abilityValues(i) == 0;
    }
    if (zeroSlot && s.minValue() != s.maxValue()) ++rangeOfZero;
    if (zeroSlot && s.minValue() == s.maxValue() && s.maxIncrement() == 0) ++valueOfZero;
    if (s.castStyle() == 3) {
      // The target groups a general spell is cast by.
      const int t = s.target();
      generalGroups.insert(t == 1 || t == 2 || t == 6   ? 0
                           : t == 0 || t == 4 || t == 8 ? 1
                           : t == 9 || t == 12          ? 2
                           : t == 10 || t == 13         ? 3
                                                        : 4);
    }
  }
  EXPECT_GE(uncapped, 1);
  EXPECT_GE(zeroEnergy, 1);
  EXPECT_GE(followsItsDamage, 1);
  EXPECT_GE(rangeOfZero, 1) << "a zero-valued ability shown as min/max";
  EXPECT_GE(valueOfZero, 1) << "a zero-valued ability shown as one value";
  EXPECT_EQ(Missing(generalGroups, 5), "");
}

TEST_F(DemoWorld, WeaponsClassesAndShopsShowTheirOddCases) {
  const auto spells = ReadAll<SpellRecord>(File("WCCSPEL2.VIR"));
  const auto items = ReadAll<ItemRecord>(File("WCCITEM2.VIR"));
  int noSpeed = 0, generalProcs = 0;
  for (const ItemRecord& i : items) {
    if (i.itemType() != 1) continue;
    noSpeed += i.speed() == 0;
    const SpellRecord* proc = i.hasAbility(43) ? Find(spells, i.abilityValue(43)) : nullptr;
    generalProcs += proc != nullptr && proc->castStyle() == 3;
  }
  EXPECT_GE(noSpeed, 1);
  EXPECT_GE(generalProcs, 1);

  bool unnamedWeaponType = false;
  for (const ClassRecord& c : ReadAll<ClassRecord>(File("WCCCLAS2.VIR"))) {
    unnamedWeaponType |= c.weaponType() >= 10;
  }
  EXPECT_TRUE(unnamedWeaponType);

  std::set<std::string> gangs;
  for (const GangRecord& g : ReadAll<GangRecord>(File("WCCGANG2.VIR"))) gangs.insert(g.gangID());
  int missingStock = 0, pricedGangSlots = 0;
  for (const ShopRecord& s : ReadAll<ShopRecord>(File("WCCSHOP2.VIR"))) {
    for (size_t i = 0; i < ShopRecord::kItemsCount; ++i) {
      missingStock += s.items(i) != 0 && Find(items, s.items(i)) == nullptr;
      pricedGangSlots += s.isGangShop() && s.items(i) != 0 && s.regenTime(i) != 0;
    }
    if (s.isGangShop()) {
      EXPECT_TRUE(gangs.count(s.bankAccountName())) << s.bankAccountName() << " is no gang";
    }
  }
  EXPECT_GE(missingStock, 1);
  EXPECT_GE(pricedGangSlots, 2);

  int missingRoomItems = 0;
  for (const RoomRecord& r : ReadAll<RoomRecord>(File("WCCMP002.VIR"))) {
    for (size_t i = 0; i < RoomRecord::kItemsCount; ++i) {
      missingRoomItems += r.items(i) != 0 && Find(items, r.items(i)) == nullptr;
    }
  }
  EXPECT_GE(missingRoomItems, 1);
}

TEST_F(DemoWorld, MessagesShowCodesAndFullWidth) {
  int codes = 0, wide = 0;
  for (const MessageRecord& m : ReadAll<MessageRecord>(File("WCCMSG2.VIR"))) {
    for (size_t l = 0; l < MessageRecord::kLines; ++l) {
      const std::string line = l == 0 ? m.line1() : l == 1 ? m.line2() : m.line3();
      const bool formats =
          line.find("%s") != std::string::npos && line.find("%d") != std::string::npos;
      codes += formats && line.find("|1") != std::string::npos;
      wide += line.size() >= 76;
    }
  }
  EXPECT_GE(codes, 1) << "a line with \"%s\", \"%d\" and a colour code";
  EXPECT_GE(wide, 2) << "lines of 76 characters and more";
}

TEST_F(DemoWorld, LiveFilesShowEveryBranch) {
  for (const char* ext : {"VIR", "DAT"}) {
    const std::string e = std::string(".") + ext;
    std::set<int> owners;
    for (const ItemOwnerRecord& o : ReadAll<ItemOwnerRecord>(File(("WCCITOW2" + e).c_str()))) {
      owners.insert(o.ownerType() > 2 ? 3 : o.ownerType());
    }
    EXPECT_EQ(Missing(owners, 4), "") << ext << ": room, user, monster and an unknown type";

    int gapped = 0, trackless = 0;
    for (const ActiveMonsterRecord& a :
         ReadAll<ActiveMonsterRecord>(File(("WCCACMS2" + e).c_str()))) {
      bool zeroSeen = false, nonZeroAfter = false;
      for (size_t t = 0; t < ActiveMonsterRecord::kTracksCount; ++t) {
        if (a.tracks(t) == 0)
          zeroSeen = true;
        else if (zeroSeen)
          nonZeroAfter = true;
      }
      gapped += a.tracks(0) != 0 && nonZeroAfter;
      trackless += a.tracks(0) == 0;
    }
    EXPECT_GE(gapped, 1) << ext << ": tracks with a zero between rooms";
    EXPECT_GE(trackless, 1) << ext;

    int rolled = 0, counted = 0;
    for (const GangRecord& g : ReadAll<GangRecord>(File(("WCCGANG2" + e).c_str()))) {
      rolled += (g.flags() & 0x08) != 0 && g.rollCount() >= 1;
      counted += (g.flags() & 0x08) == 0 && g.rollCount() >= 1;
    }
    EXPECT_GE(rolled, 1) << ext << ": a gang whose experience rolled over";
    EXPECT_GE(counted, 1) << ext << ": a roll count without the flag";
  }
}

}  // namespace
}  // namespace torvex::worldsrc
