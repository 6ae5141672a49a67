// Spell, message and monster records for the spell-cast and spell-simulator
// tests, written to a temporary data directory.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "database/records/records.h"

namespace torvex::testing {

// Messages the test spells use.
inline constexpr uint32_t kTakesMessage = 10;     // "%s takes %d damage"
inline constexpr uint32_t kHurlsMessage = 11;     // "%s hurls at %s for %d"
inline constexpr uint32_t kForewordMessage = 20;  // "%s braces" / - / "%s feels drained"
inline constexpr uint32_t kMoveMessage = 30;      // "%s arrives from %s"
inline constexpr uint16_t kHound = 5;             // a monster with kMoveMessage

inline MessageRecord Message(uint32_t number, const std::string& line1,
                             const std::string& line3 = "") {
  MessageRecord m;
  m.setNumber(number);
  m.setLine1(line1);
  m.setLine3(line3);
  return m;
}

struct SpellShape {
  uint16_t number = 1;
  uint16_t type = 0;
  uint16_t target = 0;
  uint16_t energy = 0;
  int16_t minimum = 0;
  int16_t maximum = 0;
  uint32_t message = kTakesMessage;
  std::initializer_list<std::pair<uint16_t, int16_t>> abilities = {};
};

inline SpellRecord MakeSpell(const SpellShape& s) {
  SpellRecord spell;
  spell.setNumber(s.number);
  spell.setName("Zap");
  spell.setCastStyle(s.type);
  spell.setTarget(s.target);
  spell.setEnergy(s.energy);
  spell.setMinValue(s.minimum);
  spell.setMaxValue(s.maximum);
  spell.setCastMessage(s.message);
  spell.setMessageStyle(s.message == kHurlsMessage ? 0 : 1);
  size_t slot = 0;
  for (const auto& [ability, value] : s.abilities) {
    spell.setAbilityNumbers(slot, ability);
    spell.setAbilityValues(slot++, value);
  }
  return spell;
}

inline MonsterRecord Hound() {
  MonsterRecord monster;
  monster.setNumber(kHound);
  monster.setName("bog-hound");
  monster.setMoveMessage(kMoveMessage);
  return monster;
}

}  // namespace torvex::testing
