// A small world for the monster attack simulator's tests: a goblin with one
// blow and a weapon, the messages its blows and spells write, a few spells of
// each kind and a wolf to summon. And the seed that makes a chosen draw come
// next, so a test can pin each roll of a rule by hand.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "database/records/records.h"
#include "tests/database/record_files.h"

namespace torvex::testing {

// The seed after which Random(n) answers `roll`: the generator steps to
// t = ceil(roll * 2^32 / n) (the smallest state whose draw is `roll`), so the
// seed is (t - 1) times the inverse of the multiplier 134775813 mod 2^32.
inline uint32_t SeedBefore(uint32_t n, uint32_t roll) {
  const uint64_t t = ((uint64_t{roll} << 32) + n - 1) / n;
  uint32_t inverse = 134775813u;  // Newton's iteration doubles the right bits
  for (int i = 0; i < 5; ++i) inverse *= 2u - 134775813u * inverse;
  return static_cast<uint32_t>(t - 1) * inverse;
}

class MonsterWorldTest : public RecordFilesTest {
 protected:
  void SetUp() override {
    RecordFilesTest::SetUp();
    MakeFile(
        kMessageFile,
        {Message(1, {"%s hits you for %d damage!"}),
         Message(2, {"%s barely scratches you with %s %s.", "", "You dodge %s's %s %s!"}),
         Message(3, {"%s bites you for %d damage!"}),
         Message(4, {"", "%s swings %s with its %s, but your armour holds."}),
         Message(9, {"", "a wild swing"}), Message(20, {"", "%s casts %s at %s for %d damage!"}),
         Message(21, {"", "%s raises its hands."}), Message(22, {"", "", "The air smells of %s."}),
         Message(23, {"", "", "%s casts %s on %s."}),
         Message(24, {"", "%s hurls %s for %d damage."}), Message(25, {"", "%s, %s, %s!"}),
         Message(30, {"%s pads in from %s."})});
    ItemRecord blade;
    blade.setNumber(7);
    blade.setName("rusty blade");
    blade.setMissMessage(9);
    MakeFile(kItemFile, {Bytes(blade)});
    MakeFile(kSpellFile, {Spell(10, "Firebolt", 0, 20, {{120, 21}, {115, 22}}),
                          Spell(11, "True Bolt", 0, 20, {{120, 21}, {115, 22}, {144, 0}}),
                          Spell(12, "Mend", 1, 23, {}),
                          Spell(13, "Doom", 0, 24, {{120, 25}, {115, 22}, {95, 0}}),
                          Spell(14, "Call", 3, 24, {{12, 2}, {12, 99}})});
    MonsterRecord wolf;
    wolf.setNumber(2);
    wolf.setName("Wolf");
    wolf.setMoveMessage(30);
    MakeFile(kMonsterFile, {Bytes(Goblin()), Bytes(wolf)});
  }

  // One blow: accuracy 60, taken on any roll, 7..7 damage, 100 energy.
  static MonsterRecord Goblin() {
    MonsterRecord m;
    m.setNumber(1);
    m.setName("Goblin");
    m.setWeaponItem(7);
    m.setAttackType(0, 1);
    m.setAttackAccuracy(0, 60);
    m.setAttackPercent(0, 100);
    m.setAttackMinHit(0, 7);
    m.setAttackMaxHit(0, 7);
    m.setAttackHitMessage(0, 1);
    m.setAttackDodgeMessage(0, 2);
    m.setAttackMissMessage(0, 4);
    m.setAttackEnergy(0, 100);
    return m;
  }

 private:
  static std::vector<uint8_t> Message(uint32_t number, std::initializer_list<const char*> lines) {
    MessageRecord m;
    m.setNumber(number);
    size_t i = 0;
    for (const char* line : lines) m.setLine(i++, line);
    return Bytes(m);
  }

  // Damage 40..40 at every level; abilities as (number, value) pairs.
  static std::vector<uint8_t> Spell(uint16_t number, const char* name, uint16_t target,
                                    uint32_t message,
                                    std::initializer_list<std::pair<uint16_t, int16_t>> abilities) {
    SpellRecord s;
    s.setNumber(number);
    s.setName(name);
    s.setTarget(target);
    s.setCastMessage(message);
    s.setMinValue(40);
    s.setMaxValue(40);
    size_t i = 0;
    for (const auto& [ability, value] : abilities) {
      s.setAbilityNumbers(i, ability);
      s.setAbilityValues(i++, value);
    }
    return Bytes(s);
  }
};

}  // namespace torvex::testing
