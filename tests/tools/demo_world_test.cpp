// The demo world as make run builds it: loaded from data/world, written, exported
// by quendex, and read back from the template files the browsers open.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
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

// ---- Walking: every exit type on foot, the overhead map, typed commands, goto.

using Place = std::pair<uint32_t, uint32_t>;  // map, room

// Exit types the walker moves through (spell and remote-action exits it lists
// but never takes).
bool Walkable(int type) {
  return type == 0 || (type >= 2 && type <= 11) || (type >= 13 && type <= 24);
}

uint32_t TargetMap(const RoomRecord& r, size_t d) {
  return r.exitType(d) == 8 ? r.exitParameter1(d) : r.mapNumber();
}

// The demo's rooms, and the rooms reached on foot from the market square.
struct Rooms {
  std::map<Place, RoomRecord> all;
  std::set<Place> reached;

  const RoomRecord* Get(uint32_t map, uint32_t room) const {
    const auto it = all.find({map, room});
    return it == all.end() ? nullptr : &it->second;
  }
};

Rooms LoadRooms(const std::string& path) {
  Rooms rooms;
  for (const RoomRecord& r : ReadAll<RoomRecord>(path)) {
    rooms.all.emplace(Place{r.mapNumber(), r.roomNumber()}, r);
  }
  std::vector<Place> todo{{1, 2104}};
  while (!todo.empty()) {
    const Place at = todo.back();
    todo.pop_back();
    const RoomRecord* r = rooms.Get(at.first, at.second);
    if (r == nullptr || !rooms.reached.insert(at).second) continue;
    for (size_t d = 0; d < RoomRecord::kDirections; ++d) {
      if (r->exitRoom(d) != 0 && Walkable(r->exitType(d))) {
        todo.push_back({TargetMap(*r, d), r->exitRoom(d)});
      }
    }
  }
  return rooms;
}

TEST_F(DemoWorld, EveryExitTypeStandsWhereTheWalkerCanGoOnFoot) {
  const Rooms rooms = LoadRooms(File("WCCMP002.VIR"));
  std::set<int> types, maps;
  for (const Place& p : rooms.reached) {
    const RoomRecord& r = *rooms.Get(p.first, p.second);
    maps.insert(r.mapNumber());
    for (size_t d = 0; d < RoomRecord::kDirections; ++d) {
      if (r.exitRoom(d) != 0) types.insert(r.exitType(d));
    }
  }
  EXPECT_EQ(Missing(types, 25), "") << "exit types of the rooms reached from 2104/1";
  EXPECT_EQ(maps, (std::set<int>{1, 2, 3, 4})) << "every map is reached on foot";
}

TEST_F(DemoWorld, WalkerEdgeCasesStandWhereTheWalkerCanGo) {
  const Rooms rooms = LoadRooms(File("WCCMP002.VIR"));
  const auto spells = ReadAll<SpellRecord>(File("WCCSPEL2.VIR"));
  const auto messages = ReadAll<MessageRecord>(File("WCCMSG2.VIR"));
  const auto monsters = ReadAll<MonsterRecord>(File("WCCKNMS2.VIR"));
  // The largest light added after the cap of 900 (ability 53 of a race or class).
  int innerLight = 0;
  for (const RaceRecord& x : ReadAll<RaceRecord>(File("WCCRACE2.VIR")))
    innerLight = std::max<int>(innerLight, x.abilityValue(53));
  for (const ClassRecord& x : ReadAll<ClassRecord>(File("WCCCLAS2.VIR")))
    innerLight = std::max<int>(innerLight, x.abilityValue(53));
  const auto anyExit = [](const RoomRecord& r, auto holds) {
    for (size_t d = 0; d < RoomRecord::kDirections; ++d) {
      if (r.exitRoom(d) != 0 && holds(d)) return true;
    }
    return false;
  };
  const auto mapExists = [&](uint32_t map) {
    return std::any_of(rooms.all.begin(), rooms.all.end(),
                       [&](const auto& e) { return e.first.first == map; });
  };
  // What the room generator of a lair finds before it draws extra monsters.
  const auto lairFinds = [&](const RoomRecord& r) {
    size_t found = 0;
    bool permFound = false;
    for (const MonsterRecord& m : monsters) {
      if (m.group() == r.monsterGroup() && m.groupIndex() >= r.minIndex() &&
          m.groupIndex() <= r.maxIndex()) {
        ++found;
        permFound |= m.number() == r.permNPC();
      }
    }
    return found + (found != 0 && r.permNPC() != 0 && !permFound);
  };

  struct Case {
    const char* what;
    std::function<bool(const RoomRecord&)> holds;
  };
  const std::vector<Case> cases = {
      {"a map change on a compass direction into a room that exists",
       [&](const RoomRecord& r) {
         return anyExit(r, [&](size_t d) {
           return d < 8 && r.exitType(d) == 8 && rooms.Get(TargetMap(r, d), r.exitRoom(d));
         });
       }},
      {"a cast exit on a compass direction whose spell exists",
       [&](const RoomRecord& r) {
         return anyExit(r, [&](size_t d) {
           return d < 8 && r.exitType(d) == 22 && Find(spells, r.exitParameter2(d)) != nullptr;
         });
       }},
      {"an exit into a room that does not exist",
       [&](const RoomRecord& r) {
         return anyExit(r, [&](size_t d) {
           return r.exitType(d) != 8 && Walkable(r.exitType(d)) &&
                  !rooms.Get(r.mapNumber(), r.exitRoom(d));
         });
       }},
      {"a map change into a map that does not exist",
       [&](const RoomRecord& r) {
         return anyExit(
             r, [&](size_t d) { return r.exitType(d) == 8 && !mapExists(r.exitParameter1(d)); });
       }},
      {"two rooms whose exits in one direction lead to each other",
       [&](const RoomRecord& r) {
         return anyExit(r, [&](size_t d) {
           const RoomRecord* b = rooms.Get(TargetMap(r, d), r.exitRoom(d));
           return b != nullptr && b != &r && b->exitRoom(d) == r.roomNumber() &&
                  TargetMap(*b, d) == r.mapNumber();
         });
       }},
      {"a toll",
       [&](const RoomRecord& r) {
         return anyExit(r, [&](size_t d) { return r.exitType(d) == 4 && r.exitParameter1(d) > 0; });
       }},
      {"a remote-action exit whose words exist",
       [&](const RoomRecord& r) {
         return anyExit(r, [&](size_t d) {
           return r.exitType(d) == 12 && Find(messages, r.exitParameter1(d)) != nullptr;
         });
       }},
      {"a barely visible room (light -150 to -101)",
       [](const RoomRecord& r) { return r.light() >= -150 && r.light() < -100; }},
      {"a very dark room (light -200 to -151)",
       [](const RoomRecord& r) { return r.light() >= -200 && r.light() < -150; }},
      {"a pitch black room (light below -200)",
       [](const RoomRecord& r) { return r.light() < -200; }},
      {"a room at most 900 that an inner light pushes past 900",
       [&](const RoomRecord& r) { return r.light() <= 900 && r.light() + innerLight > 900; }},
      {"a room above 900 before the cap", [](const RoomRecord& r) { return r.light() > 900; }},
      {"a lair whose group finds several monsters and keeps more than it finds",
       [&](const RoomRecord& r) {
         const size_t found = lairFinds(r);
         return r.roomType() == 3 && found >= 2 && r.maxRegen() > found;
       }},
      {"a lair keeping more than nine monsters",
       [](const RoomRecord& r) { return r.roomType() == 3 && r.maxRegen() > 9; }},
  };
  for (const Case& c : cases) {
    const bool found = std::any_of(rooms.reached.begin(), rooms.reached.end(), [&](const Place& p) {
      return c.holds(*rooms.Get(p.first, p.second));
    });
    EXPECT_TRUE(found) << c.what;
  }
}

// The overhead map as the walker draws it: rooms two cells apart, a connector
// between, compass exits followed depth first from the current room, each
// connector cell drawn once. Options 62 (the default): map changes are not
// followed, hidden, cast and text exits are.
class OverheadMap {
 public:
  static constexpr int kWidth = 82, kHeight = 44;

  OverheadMap(const Rooms& rooms, const std::vector<ShopRecord>& shops)
      : rooms_(rooms), shops_(shops) {
    for (auto& row : glyph_) row.fill(' ');
    for (auto& row : colour_) row.fill(7);
  }

  void Draw(uint32_t map, uint32_t room) {
    Place(map, room, 40, kHeight / 2);
    colour_[kHeight / 2][40] = 11;
  }
  // Every (character, attribute) pair drawn, with how often.
  std::map<std::pair<int, int>, int> Cells() const {
    std::map<std::pair<int, int>, int> out;
    for (int y = 1; y < kHeight; ++y) {
      for (int x = 1; x <= 80; ++x) {
        if (glyph_[y][x] != ' ') ++out[{glyph_[y][x], colour_[y][x]}];
      }
    }
    return out;
  }
  const std::set<std::pair<uint32_t, uint32_t>>& placed() const { return placed_; }

 private:
  static bool GlyphWalkable(const RoomRecord& r, size_t d) {
    const int t = r.exitType(d);
    return r.exitRoom(d) != 0 && (t == 0 || (t >= 2 && t <= 11) || (t >= 13 && t <= 23));
  }
  int ShopType(const RoomRecord& r) const {
    const ShopRecord* s = Find(shops_, r.shopNumber());
    return s == nullptr ? -1 : s->shopType();
  }
  int Glyph(const RoomRecord& r) const {
    const bool up = GlyphWalkable(r, 8), down = GlyphWalkable(r, 9);
    if (up && down) return 18;
    if (up) return 'U';
    if (down) return 'D';
    switch (r.roomType()) {
      case 1:
        return ShopType(r) == 7 ? '$' : ShopType(r) == 8 ? 'T' : 'S';
      case 2:
        return 'A';
      case 3:
        return r.maxRegen() <= 9 ? '0' + r.maxRegen() : 'L';
      case 4:
        return 'H';
      case 5:
        return 'C';
      case 6:
        return 'J';
      case 14:
      case 16:
        return 'T';
      case 15:
        return '$';
      case 17:
        return 'I';
      default:
        return '#';
    }
  }
  int Colour(const RoomRecord& r) const {
    int c = 7;
    if (GlyphWalkable(r, 8) || GlyphWalkable(r, 9)) {
      c = 5;
    } else if (r.roomType() == 1) {
      c = ShopType(r) == 7 ? 14 : ShopType(r) == 8 ? 15 : 2;
    } else if (r.roomType() == 2 || r.roomType() == 3 || r.roomType() == 5 || r.roomType() == 15) {
      c = r.roomType() == 2 ? 8 : r.roomType() == 3 ? 12 : r.roomType() == 5 ? 9 : 14;
    }
    return c + (r.permNPC() != 0 ? 128 : 0) + (r.commandText() != 0 ? 64 : 0);
  }
  void Place(uint32_t map, uint32_t room, int x, int y) {
    static constexpr int kDx[8] = {0, 0, 1, -1, 1, -1, 1, -1};
    static constexpr int kDy[8] = {-1, 1, 0, 0, -1, -1, 1, 1};
    static constexpr char kLine[8] = {'|', '|', '-', '-', '/', '\\', '\\', '/'};
    if (x - 2 < 0 || x + 2 > 81 || y - 2 < 0 || y + 2 > kHeight) return;
    const RoomRecord* r = rooms_.Get(map, room);
    if (r == nullptr) return;
    placed_.insert({map, room});
    glyph_[y][x] = static_cast<char>(Glyph(*r));
    colour_[y][x] = static_cast<uint8_t>(Colour(*r));
    for (size_t d = 0; d < 8; ++d) {
      const int t = r->exitType(d);
      if (r->exitRoom(d) == 0 || r->exitRoom(d) == room || !Walkable(t)) continue;
      const int cx = x + kDx[d], cy = y + kDy[d];
      if (glyph_[cy][cx] != ' ') continue;
      glyph_[cy][cx] = t == 2 || t == 4    ? '$'
                       : t == 6            ? '?'
                       : t == 7 || t == 11 ? '+'
                       : t == 8            ? '!'
                       : t == 9            ? '%'
                       : t == 10           ? '@'
                                           : kLine[d];
      colour_[cy][cx] = t == 22 ? 10 : t == 10 ? 9 : 7;
      if (t == 8) {
        colour_[cy][cx] = 13;
        continue;
      }
      Place(TargetMap(*r, d), r->exitRoom(d), x + 2 * kDx[d], y + 2 * kDy[d]);
    }
  }

  const Rooms& rooms_;
  const std::vector<ShopRecord>& shops_;
  std::array<std::array<char, kWidth>, kHeight + 1> glyph_;
  std::array<std::array<uint8_t, kWidth>, kHeight + 1> colour_;
  std::set<std::pair<uint32_t, uint32_t>> placed_;
};

TEST_F(DemoWorld, FairMapShowsEveryGlyphColourAndConnector) {
  const Rooms rooms = LoadRooms(File("WCCMP002.VIR"));
  const auto shops = ReadAll<ShopRecord>(File("WCCSHOP2.VIR"));
  OverheadMap map(rooms, shops);
  map.Draw(4, 44);
  const auto cells = map.Cells();
  struct Want {
    int glyph, colour, atLeast;
    const char* what;
  };
  const std::vector<Want> wanted = {
      {'#', 11, 1, "the current room"},
      {18, 5, 1, "up and down"},
      {18, 5 + 128 + 64, 1, "up and down, a permanent monster and typed commands"},
      {'U', 5 + 128, 1, "up only, a permanent monster"},
      {'D', 5 + 64, 1, "down only, typed commands"},
      {'$', 14, 2, "a bank shop and a bank room"},
      {'T', 15, 1, "a training shop"},
      {'S', 2, 1, "another shop"},
      {'A', 8 + 128, 1, "an arena with a permanent monster"},
      {'C', 9 + 64, 1, "a colliseum with typed commands"},
      {'H', 7, 1, "a hotel"},
      {'J', 7, 1, "a jail"},
      {'T', 7, 2, "a tavern and a training room"},
      {'I', 7, 1, "an inn"},
      {'6', 12, 1, "a lair of six"},
      {'L', 12, 1, "a lair of more than nine"},
      {'#', 7, 3, "plain rooms"},
      {'$', 7, 2, "key and toll connectors"},
      {'?', 7, 1, "a hidden connector"},
      {'+', 7, 2, "door and gate connectors"},
      {'!', 13, 2, "map changes, not followed"},
      {'%', 7, 1, "a trap connector"},
      {'@', 9, 1, "a text connector"},
      {'-', 10, 1, "a cast connector"},
      {'|', 7, 1, "north and south"},
      {'-', 7, 1, "east and west"},
      {'/', 7, 1, "northeast and southwest"},
      {'\\', 7, 1, "northwest and southeast"},
  };
  for (const Want& w : wanted) {
    const auto it = cells.find({w.glyph, w.colour});
    EXPECT_GE(it == cells.end() ? 0 : it->second, w.atLeast)
        << w.what << ": glyph " << w.glyph << " colour " << w.colour;
  }
  // Every room of the fair with a compass exit is on the one map.
  for (const auto& [place, room] : rooms.all) {
    if (place.first != 4) continue;
    bool compass = false;
    for (size_t d = 0; d < 8; ++d) compass |= room.exitRoom(d) != 0;
    EXPECT_TRUE(!compass || map.placed().count(place)) << "room " << place.second << " of map 4";
  }
}

// The built-in command words the walker matches before a room's own commands:
// its argument-command table (lines of two or more words: the first word) and
// its single-word table, each word with the fewest letters that select it
// (1 where any prefix does, the whole word where the word must be typed in
// full), in the walker's matching order. A typed line taken by one of them never
// reaches the room's command block or its text and remote-action exits.
struct BuiltIn {
  const char* word;
  size_t minimum;
};
constexpr BuiltIn kArgumentCommands[] = {
    {"LOOK", 1},      {"ASK", 2},      {"GREET", 2},     {"GOTO", 4},  {"REMOVE", 3},
    {"EQUIP", 2},     {"ARM", 2},      {"READY", 3},     {"WIELD", 3}, {"WEAR", 3},
    {"INVENTORY", 4}, {"I", 1},        {"KEYS", 2},      {"LIGHT", 3}, {"WEALTH", 4},
    {"GOSSIP", 3},    {"AUCTION", 3},  {"BROADCAST", 2}, {"BG", 2},    {"GB", 2},
    {"BROADGANG", 6}, {"TELEPORT", 1}, {"PEEK", 1},      {"BUY", 2},   {"SELL", 3},
    {"APPRAISE", 2},  {"DEBUG", 1},    {"SET", 3},       {"TRAIN", 4}, {"MAP", 2},
    {"?", 1},         {"HELP", 3},
};
constexpr BuiltIn kSingleWordCommands[] = {
    {"N", 1},         {"S", 1},          {"E", 1},         {"W", 1},       {"U", 1},
    {"D", 1},         {"NORTH", 5},      {"SOUTH", 5},     {"EAST", 4},    {"WEST", 4},
    {"NE", 2},        {"NW", 2},         {"SE", 2},        {"SW", 2},      {"NORTHEAST", 9},
    {"NORTHWEST", 9}, {"SOUTHEAST", 9},  {"SOUTHWEST", 9}, {"UP", 2},      {"DOWN", 4},
    {"LOOK", 1},      {"DEBUG", 3},      {"WEAR", 3},      {"READY", 3},   {"WIELD", 3},
    {"ARM", 2},       {"BUY", 2},        {"SELL", 3},      {"WEALTH", 4},  {"I", 1},
    {"INVENTORY", 4}, {"EQUIP", 2},      {"KEYS", 2},      {"DISARM", 2},  {"INFO", 3},
    {"LIST", 3},      {"LIGHT", 3},      {"COMMANDS", 3},  {"MAP", 2},     {"TELEPORT", 1},
    {"/", 1},         {"WHISPER", 3},    {"GOTO", 4},      {"SET", 1},     {"PEEK", 1},
    {"EXITS", 3},     {"X", 1},          {"Q", 1},         {"QUIT", 1},    {"-", 1},
    {"BROADCAST", 2}, {"BRIEF", 3},      {"CLS", 2},       {"VERBOSE", 1}, {"VERSION", 1},
    {"STATUS", 1},    {"EXPERIENCE", 3}, {"PARTY", 3},     {"HEALTH", 2},  {"TRAIN", 4},
    {"SUICIDE", 7},   {"REROLL", 6},     {"HPREGEN", 4},   {"MPREGEN", 4}, {"?", 1},
    {"HELP", 3},
};

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;) {
    for (char& ch : w) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    words.push_back(w);
  }
  return words;
}

// The built-in command that takes a typed line first, or "" when none does.
std::string TakenBy(const std::string& line) {
  const std::vector<std::string> words = Words(line);
  if (words.empty()) return "";
  const std::string& typed = words[0];
  const auto takes = [&](const BuiltIn& b) {
    const std::string_view command(b.word);
    return typed.size() >= b.minimum && typed.size() <= command.size() &&
           command.substr(0, typed.size()) == typed;
  };
  if (words.size() == 1) {
    for (const BuiltIn& b : kSingleWordCommands) {
      if (takes(b)) return b.word;
    }
  } else {
    for (const BuiltIn& b : kArgumentCommands) {
      if (takes(b)) return b.word;
    }
  }
  return "";
}

TEST(WalkerCommandWords, BuiltInCommandsTakeTheLinesTheWalkerGivesThem) {
  const struct {
    const char* line;
    const char* takenBy;
  } cases[] = {
      {"READ SIGN", "READY"},
      {"buy ale", "BUY"},
      {"GOSSIP REEVE", "GOSSIP"},
      {"LIGHT CANDLE", "LIGHT"},
      {"L north", "LOOK"},
      {"SE", "SE"},
      {"SEA", ""},
      {"SET", "SET"},
      {"LI", ""},
      {"LISTEN", ""},
      {"STUDY SIGN", ""},
      {"GO LADDER", ""},
      {"GOTO X", "GOTO"},
      {"GOT X", ""},
      {"V", "VERBOSE"},
      {"SUICID", ""},
      {"ORDER ALE", ""},
      {"KINDLE CANDLE", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(TakenBy(c.line), c.takenBy) << c.line;
}

TEST_F(DemoWorld, RoomCommandsAndExitWordsAreNotTakenByBuiltInCommands) {
  const auto texts = ReadAll<TextBlockRecord>(File("WCCTEXT2.VIR"));
  const auto messages = ReadAll<MessageRecord>(File("WCCMSG2.VIR"));
  std::string taken;
  size_t checked = 0;
  for (const RoomRecord& r : ReadAll<RoomRecord>(File("WCCMP002.VIR"))) {
    const std::string where =
        std::to_string(r.roomNumber()) + "/" + std::to_string(r.mapNumber()) + " ";
    std::set<std::string> commands;
    for (const TextBlockRecord& t : texts) {
      if (r.commandText() == 0 || t.blockNumber() != r.commandText()) continue;
      std::istringstream lines(DecodeTextBlock(t));
      for (std::string line; std::getline(lines, line);) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0) continue;
        const std::string typed = line.substr(0, colon);
        commands.insert(typed);
        ++checked;
        if (!TakenBy(typed).empty()) taken += where + typed + " by " + TakenBy(typed) + "; ";
      }
    }
    for (size_t d = 0; d < RoomRecord::kDirections; ++d) {
      if (r.exitRoom(d) == 0 || (r.exitType(d) != 10 && r.exitType(d) != 12)) continue;
      const MessageRecord* m = Find(messages, r.exitParameter1(d));
      if (m == nullptr) continue;
      for (const std::string& words : {m->line1(), m->line2(), m->line3()}) {
        if (words.empty()) continue;
        ++checked;
        if (!TakenBy(words).empty()) taken += where + words + " by " + TakenBy(words) + "; ";
        // The exits are tried before the room's command block.
        if (commands.count(words)) taken += where + words + " by its exit; ";
      }
    }
  }
  EXPECT_GE(checked, 30u);
  EXPECT_EQ(taken, "");
}

// ---- Room scripts: what they name exists, and the texts they show.

TEST_F(DemoWorld, ScriptsNameRecordsThatExistAndTeleportAcrossMaps) {
  const Rooms rooms = LoadRooms(File("WCCMP002.VIR"));
  const auto texts = ReadAll<TextBlockRecord>(File("WCCTEXT2.VIR"));
  std::map<char, std::set<uint32_t>> exist;
  for (const auto& m : ReadAll<MessageRecord>(File("WCCMSG2.VIR"))) exist['M'].insert(m.number());
  for (const auto& i : ReadAll<ItemRecord>(File("WCCITEM2.VIR"))) exist['I'].insert(i.number());
  for (const auto& s : ReadAll<SpellRecord>(File("WCCSPEL2.VIR"))) exist['S'].insert(s.number());
  for (const auto& t : texts) exist['B'].insert(t.blockNumber());
  const auto monsters = ReadAll<MonsterRecord>(File("WCCKNMS2.VIR"));
  for (const auto& m : monsters) exist['N'].insert(m.number());
  // The kinds of a command's arguments, from the first: Message (0 = none),
  // Item, moNster, Spell, Block; "-" for any other.
  static const std::map<std::string, std::string> kArguments = {
      {"MESSAGE", "M"},   {"MONSTERS", "M"},     {"NOMONSTERS", "M"},   {"REMOTEACTION", "-M"},
      {"PRICE", "-M"},    {"MINLEVEL", "-M"},    {"MAXLEVEL", "-M"},    {"CLASS", "-M"},
      {"RACE", "-M"},     {"GOODALIGNED", "-M"}, {"EVILALIGNED", "-M"}, {"CHECKITEM", "IM"},
      {"FAILITEM", "IM"}, {"TAKEITEM", "IM"},    {"ROOMITEM", "IM"},    {"FAILROOMITEM", "IM"},
      {"GIVEITEM", "I"},  {"CLEARITEM", "I"},    {"NEEDMONSTER", "NM"}, {"SUMMON", "N"},
      {"CAST", "S"},      {"LEARNSPELL", "S"},   {"RANDOM", "B"},       {"TEXT", "B"}};
  std::map<uint32_t, uint32_t> roomMapOfBlock;  // command block -> map of a room reached
  for (const Place& p : rooms.reached) {
    const RoomRecord& r = *rooms.Get(p.first, p.second);
    if (r.commandText() != 0) roomMapOfBlock[r.commandText()] = r.mapNumber();
  }
  std::string missing;
  std::set<uint32_t> shownByRooms;
  int crossMap = 0;
  for (const TextBlockRecord& t : texts) {
    const auto room = roomMapOfBlock.find(t.blockNumber());
    const std::string where = std::to_string(t.blockNumber()) + "/" + std::to_string(t.part());
    std::istringstream lines(DecodeTextBlock(t));
    for (std::string line; std::getline(lines, line);) {
      std::istringstream pieces(line);
      for (std::string piece; std::getline(pieces, piece, ':');) {
        const std::vector<std::string> w = Words(piece);
        if (w.empty()) continue;
        const auto number = [&](size_t i) {
          return i < w.size() ? static_cast<uint32_t>(std::atoi(w[i].c_str())) : 0u;
        };
        const auto kinds = kArguments.find(w[0]);
        for (size_t i = 0; kinds != kArguments.end() && i < kinds->second.size(); ++i) {
          const char kind = kinds->second[i];
          const uint32_t n = number(i + 1);
          if (kind != '-' && !(kind == 'M' && n == 0) && !exist[kind].count(n)) {
            missing += where + " " + piece + "; ";
          }
        }
        if (room != roomMapOfBlock.end() && w[0] == "TEXT") shownByRooms.insert(number(1));
        if (w[0] != "TELEPORT" || number(1) == 0) continue;
        const uint32_t map = number(2) != 0                 ? number(2)
                             : room != roomMapOfBlock.end() ? room->second
                                                            : 0;
        if (rooms.Get(map, number(1)) == nullptr) missing += where + " " + piece + "; ";
        crossMap += room != roomMapOfBlock.end() && map != room->second;
      }
    }
  }
  // Talk topics name their response blocks.
  for (const MonsterRecord& m : monsters) {
    for (const TextBlockRecord& t : texts) {
      if (m.talkText() == 0 || t.blockNumber() != m.talkText()) continue;
      std::istringstream lines(DecodeTextBlock(t));
      for (std::string line; std::getline(lines, line);) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos ||
            !exist['B'].count(static_cast<uint32_t>(std::atoi(line.c_str() + colon + 1)))) {
          missing += m.name() + ": " + line + "; ";
        }
      }
    }
  }
  EXPECT_EQ(missing, "");
  EXPECT_GE(crossMap, 1) << "a room command teleports to a room of another map";
  EXPECT_TRUE(shownByRooms.count(51) && shownByRooms.count(52))
      << "the test card and the annals are shown by room commands";
}

// The sequences of a text as the ANSI writer meets them: each control
// sequence by its final and the shape of its numbers ("H:none", "H:one",
// "H:two"), and by its exact numbers ("K:1"); every rendition number ("m31");
// "esc:D", "esc:M", "esc:other", "abandoned", "bell" and "backspace".
std::set<std::string> AnsiFeatures(const std::string& text) {
  static const std::string kFinals = "!ABCDEHJKLfhlmnrsu";
  std::set<std::string> out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\a') out.insert("bell");
    if (text[i] == '\b') out.insert("backspace");
    if (text[i] != '\x1b' || i + 1 >= text.size()) continue;
    const char next = text[++i];
    if (next != '[') {
      out.insert(next == 'D' || next == 'M' ? std::string("esc:") + next : "esc:other");
      continue;
    }
    size_t end = i + 1;
    while (end < text.size() && text[end] != '\x1b' && kFinals.find(text[end]) == std::string::npos)
      ++end;
    if (end == text.size()) break;
    const std::string params = text.substr(i + 1, end - i - 1);
    i = end;
    if (text[end] == '\x1b') {
      out.insert("abandoned");
      --i;
    } else if (text[end] == 'm') {
      std::istringstream numbers(params.empty() ? "0" : params);
      for (std::string n; std::getline(numbers, n, ';');) out.insert("m" + (n.empty() ? "0" : n));
    } else {
      const std::string final(1, text[end]);
      const bool two = params.find(';') != std::string::npos;
      out.insert(final + ":" + (params.empty() ? "none" : two ? "two" : "one"));
      if (!params.empty()) out.insert(final + ":" + params);
    }
  }
  return out;
}

TEST_F(DemoWorld, TestCardCarriesEveryAnsiSequence) {
  std::string card;
  for (const TextBlockRecord& t : ReadAll<TextBlockRecord>(File("WCCTEXT2.VIR"))) {
    if (t.blockNumber() == 51) card += DecodeTextBlock(t);
  }
  const std::set<std::string> seen = AnsiFeatures(card);
  std::vector<std::string> wanted = {
      "m0",    "m1",        "m5",       "m7",     "m8",     "H:none", "H:one",  "H:two",
      "f:two", "A:none",    "A:one",    "B:none", "B:one",  "C:none", "C:one",  "D:none",
      "D:one", "E:none",    "E:one",    "J:none", "J:2",    "J:3",    "K:none", "K:0",
      "K:1",   "K:2",       "s:none",   "s:one",  "u:none", "u:one",  "r:two",  "n:5",
      "n:6",   "!:none",    "L:none",   "h:one",  "l:one",  "esc:D",  "esc:M",  "esc:other",
      "bell",  "backspace", "abandoned"};
  for (int n = 30; n <= 47; ++n) {
    if (n != 38 && n != 39) wanted.push_back("m" + std::to_string(n));
  }
  std::string missing;
  for (const std::string& w : wanted) {
    if (!seen.count(w)) missing += w + " ";
  }
  EXPECT_EQ(missing, "");
  const bool ignoredRendition = std::any_of(seen.begin(), seen.end(), [](const std::string& f) {
    static const std::set<int> kActed = {0, 1, 5, 7, 8};
    if (f[0] != 'm') return false;
    const int n = std::atoi(f.c_str() + 1);
    return !kActed.count(n) && (n < 30 || n > 47 || n == 38 || n == 39);
  });
  EXPECT_TRUE(ignoredRendition) << "a rendition number the writer ignores";
}

TEST_F(DemoWorld, LongTextPagesAndFillsTheWidth) {
  size_t mostLines = 0;
  std::set<size_t> widths;
  for (const TextBlockRecord& t : ReadAll<TextBlockRecord>(File("WCCTEXT2.VIR"))) {
    if (t.blockNumber() != 52) continue;
    std::istringstream lines(DecodeTextBlock(t));
    size_t count = 0;
    for (std::string line; std::getline(lines, line); ++count) widths.insert(line.size());
    mostLines = std::max(mostLines, count);
  }
  EXPECT_GT(mostLines, 46u) << "a part longer than a page of the display";
  EXPECT_TRUE(widths.count(80)) << "a line of exactly 80 characters";
  EXPECT_TRUE(widths.count(81)) << "a line of 81 characters";
}

// The goto locations of the demo's ini file.
struct GotoEntry {
  std::string section, name;
  uint32_t room = 0, map = 0;
};

std::vector<GotoEntry> ReadGotoFile(const std::string& path, std::vector<std::string>& order) {
  std::ifstream in(path);
  std::vector<GotoEntry> entries;
  std::string section;
  for (std::string line; std::getline(in, line);) {
    if (line.empty()) continue;
    if (line.front() == '[') {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (section == "Simulator" && key == "GotoSections") {
      std::istringstream names(value);
      for (std::string n; std::getline(names, n, ',');) order.push_back(n);
    } else if (section != "Simulator") {
      GotoEntry e{section, key};
      e.room = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
      const size_t slash = value.find('/');
      if (slash != std::string::npos) {
        e.map = static_cast<uint32_t>(std::strtoul(value.c_str() + slash + 1, nullptr, 10));
      }
      entries.push_back(e);
    }
  }
  return entries;
}

TEST_F(DemoWorld, GotoSectionsHoldTheDemosPlaces) {
  const Rooms rooms = LoadRooms(File("WCCMP002.VIR"));
  std::vector<std::string> order;
  const auto entries =
      ReadGotoFile(std::string(std::getenv("TORVEX_SOURCE_DIR")) + "/data/demo_goto.ini", order);
  ASSERT_FALSE(entries.empty());
  std::set<std::string> names;
  std::set<uint32_t> maps;
  std::map<std::string, size_t> runningLength, lines;
  std::vector<std::string> missing;
  for (const GotoEntry& e : entries) {
    EXPECT_NE(std::find(order.begin(), order.end(), e.section), order.end())
        << "section " << e.section << " is not listed in GotoSections";
    EXPECT_TRUE(names.insert(e.name).second)
        << e.name << " is named twice: the second is never found";
    EXPECT_EQ(Words(e.name).size(), 1u) << e.name;
    EXPECT_TRUE(
        std::none_of(e.name.begin(), e.name.end(), [](char ch) { return std::isupper(ch); }))
        << e.name << " is looked up in lower case";
    if (rooms.Get(e.map, e.room)) {
      maps.insert(e.map);
    } else {
      missing.push_back(e.name);
    }
    // The list breaks its line before a name that would carry it past 78.
    size_t& length = runningLength[e.section];
    if (length + e.name.size() + 2 > 78) {
      ++lines[e.section];
      length = 0;
    }
    length += e.name.size() + 2;
  }
  EXPECT_EQ(maps, (std::set<uint32_t>{1, 2, 3, 4}));
  EXPECT_EQ(missing.size(), 1u) << "one location names a room that does not exist";
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const auto& l) { return l.second >= 2; }))
      << "a section whose names fill three lines of the GOTO list";
}

}  // namespace
}  // namespace torvex::worldsrc
