// Spell, message and monster records for the spell-cast and spell-simulator
// tests, written to a temporary data directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/records/records.h"
#include "tests/database/record_files.h"

namespace torvex::testing {

inline constexpr uint32_t kTakesMessage = 10;     // "%s takes %d damage"
inline constexpr uint32_t kHurlsMessage = 11;     // "%s hurls at %s for %d"
inline constexpr uint32_t kForewordMessage = 20;  // "%s braces" / - / "%s feels drained"
inline constexpr uint32_t kMoveMessage = 30;      // "%s arrives from %s"
inline constexpr uint16_t kHound = 5;             // "bog-hound", moving in with kMoveMessage

// A message record whose first line is `line1`.
inline MessageRecord Message(uint32_t number, const std::string& line1) {
  MessageRecord m;
  m.setNumber(number);
  m.setLine1(line1);
  return m;
}

// A spell named "Zap"; kHurlsMessage goes with the alternate message type.
struct SpellShape {
  uint16_t number = 1, type = 0, target = 0, energy = 0;
  int16_t minimum = 0, maximum = 0;
  uint32_t message = kTakesMessage;
  std::vector<int16_t> abilities = {};  // ability number, value, number, value, ...
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
  for (size_t i = 0; i + 1 < s.abilities.size(); i += 2) {
    spell.setAbilityNumbers(i / 2, s.abilities[i]);
    spell.setAbilityValues(i / 2, s.abilities[i + 1]);
  }
  return spell;
}

// The messages above, messages 100..105 ("spell N at %s"), the hound, and
// through Spells() the spell file.
class SpellFilesTest : public RecordFilesTest {
 protected:
  void SetUp() override {
    RecordFilesTest::SetUp();
    std::vector<std::vector<uint8_t>> messages;
    auto add = [&](uint32_t number, const std::string& line1, const std::string& line3 = "") {
      MessageRecord m;
      m.setNumber(number);
      m.setLine1(line1);
      m.setLine3(line3);
      messages.push_back(Bytes(m));
    };
    add(kTakesMessage, "%s takes %d damage");
    add(kHurlsMessage, "%s hurls at %s for %d");
    add(kForewordMessage, "%s braces", "%s feels drained");
    add(kMoveMessage, "%s arrives from %s");
    for (uint32_t n = 100; n <= 105; ++n) add(n, "spell " + std::to_string(n) + " at %s");
    MakeFile(kMessageFile, messages);
    MonsterRecord hound;
    hound.setNumber(kHound);
    hound.setName("bog-hound");
    hound.setMoveMessage(kMoveMessage);
    MakeFile(kMonsterFile, {Bytes(hound)});
  }
  void Spells(const std::vector<SpellShape>& shapes) {
    std::vector<std::vector<uint8_t>> records;
    for (const SpellShape& s : shapes) records.push_back(Bytes(MakeSpell(s)));
    MakeFile(kSpellFile, records);
  }
};

}  // namespace torvex::testing
