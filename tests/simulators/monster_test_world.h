// A small world for the monster attack simulator's tests: a goblin with one
// blow and a weapon, the messages its blows and spells write, spells of each
// kind and a wolf to summon; and the seed that makes a chosen draw come next.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "database/records/records.h"
#include "tests/database/record_files.h"

namespace torvex::testing {

// The seed after which Random(n) answers `roll`: the smallest state t whose
// draw is `roll` is ceil(roll * 2^32 / n), and the seed before it is (t - 1)
// times the inverse of the multiplier 134775813 mod 2^32.
inline uint32_t SeedBefore(uint32_t n, uint32_t roll) {
  const uint64_t t = ((uint64_t{roll} << 32) + n - 1) / n;
  uint32_t inverse = 134775813u;  // Newton's iteration doubles the right bits
  for (int i = 0; i < 5; ++i) inverse *= 2u - 134775813u * inverse;
  return static_cast<uint32_t>(t - 1) * inverse;
}

// Attack slot `slot` as a physical blow doing `damage`..`damage`.
inline void SetBlow(MonsterRecord& m, size_t slot, uint16_t accuracy, uint16_t energy,
                    uint16_t damage, uint32_t hitMessage, uint8_t percent = 100) {
  m.setAttackType(slot, 1);
  m.setAttackAccuracy(slot, accuracy);
  m.setAttackPercent(slot, percent);
  m.setAttackMinHit(slot, damage);
  m.setAttackMaxHit(slot, damage);
  m.setAttackHitMessage(slot, hitMessage);
  m.setAttackEnergy(slot, energy);
}

class MonsterWorldTest : public RecordFilesTest {
 protected:
  void SetUp() override {
    RecordFilesTest::SetUp();
    std::vector<std::vector<uint8_t>> messages;
    auto message = [&](uint32_t number, std::initializer_list<const char*> lines) {
      MessageRecord m;
      m.setNumber(number);
      size_t i = 0;
      for (const char* line : lines) m.setLine(i++, line);
      messages.push_back(Bytes(m));
    };
    message(1, {"%s hits you for %d damage!"});
    message(2, {"%s barely scratches you with %s %s.", "", "You dodge %s's %s %s!"});
    message(3, {"%s bites you for %d damage!"});
    message(4, {"", "%s swings %s with its %s, but your armour holds."});
    message(9, {"", "a wild swing"});
    message(20, {"", "%s casts %s at %s for %d damage!"});
    message(21, {"", "%s raises its hands."});
    message(22, {"", "", "The air smells of %s."});
    message(23, {"", "", "%s casts %s on %s."});
    message(24, {"", "%s hurls %s for %d damage."});
    message(25, {"", "%s, %s, %s!"});
    message(30, {"%s pads in from %s."});
    MakeFile(kMessageFile, messages);
    ItemRecord blade;
    blade.setNumber(7);
    blade.setName("rusty blade");
    blade.setMissMessage(9);
    MakeFile(kItemFile, {Bytes(blade)});
    // Damage 40..40 at every level; abilities as (number, value) pairs.
    std::vector<std::vector<uint8_t>> spells;
    auto spell = [&](uint16_t number, const char* name, uint16_t target, uint32_t message,
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
      spells.push_back(Bytes(s));
    };
    spell(10, "Firebolt", 0, 20, {{120, 21}, {115, 22}});
    spell(11, "True Bolt", 0, 20, {{120, 21}, {115, 22}, {144, 0}});
    spell(12, "Mend", 1, 23, {});
    spell(13, "Doom", 0, 24, {{120, 25}, {115, 22}, {95, 0}});
    spell(14, "Call", 3, 24, {{12, 2}, {12, 99}});  // the wolf, and a monster that is missing
    MakeFile(kSpellFile, spells);
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
    SetBlow(m, 0, 60, 100, 7, 1);
    m.setAttackDodgeMessage(0, 2);
    m.setAttackMissMessage(0, 4);
    return m;
  }
};

}  // namespace torvex::testing
