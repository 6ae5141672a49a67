#include "simulators/spell_cast.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include "console/colour_text.h"
#include "console/stored_text.h"
#include "database/record_access.h"
#include "simulators/spell_rules.h"

namespace torvex {
namespace {

// Ability numbers the cast reads.
constexpr uint16_t kSummonAbility = 12;
constexpr uint16_t kKillSavedAbility = 95;
constexpr uint16_t kAftermathAbility = 115;
constexpr uint16_t kForewordAbility = 120;
constexpr uint16_t kResultSecondAbility = 140;
constexpr uint16_t kResultFirstAbility = 141;
constexpr uint16_t kIgnoresResistanceAbility = 144;
constexpr uint16_t kTextBlockAbility = 148;
constexpr uint16_t kFollowOnAbility = 151;
constexpr uint16_t kFollowOnChanceAbility = 164;

constexpr char kDummy[] = "practice dummy";
constexpr char kNoName[] = "<no name>";

bool OneOf(uint16_t value, std::initializer_list<uint16_t> set) {
  return std::find(set.begin(), set.end(), value) != set.end();
}

int32_t Narrow(int64_t n) {
  return static_cast<int32_t>(std::clamp<int64_t>(n, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// An ability's value, or the damage rolled when the value is 0.
int64_t ValueOrDamage(const SpellRecord& spell, uint16_t ability, int64_t damage) {
  const int64_t value = spell.abilityValue(ability);
  return value != 0 ? value : damage;
}

// The spell's own message, first line, filled for `target` with the damage:
// ("target", damage) for the normal message type, (spell name, "target",
// damage) for the alternate one.
std::string SpellLine(const SpellRecord& spell, std::string_view target, int64_t damage) {
  const std::string line = MessageOrEmpty(spell.castMessage()).line1();
  const int64_t numbers[] = {damage};
  if ((spell.messageStyle() & 1) != 0) {
    const std::string texts[] = {std::string(target)};
    return FillStoredText(line, texts, numbers);
  }
  const std::string texts[] = {spell.name(), std::string(target)};
  return FillStoredText(line, texts, numbers);
}

// A line of the message an ability names with its first "%s" (and any more,
// which stay empty) filled by `name`.
std::string NamedLine(const std::string& line, std::string_view name) {
  const std::string texts[] = {std::string(name)};
  return FillStoredText(line, texts, {});
}

void WriteForeword(const SpellRecord& spell, std::string_view colour, const RulesOutput& output) {
  if (!spell.hasAbility(kForewordAbility)) return;
  WriteUnlessEmpty(output, colour,
                   NamedLine(MessageOrEmpty(spell.abilityValue(kForewordAbility)).line1(), kDummy));
}

void WriteAftermath(const SpellRecord& spell, std::string_view colour, const RulesOutput& output) {
  if (!spell.hasAbility(kAftermathAbility)) return;
  WriteUnlessEmpty(
      output, colour,
      NamedLine(MessageOrEmpty(spell.abilityValue(kAftermathAbility)).line3(), kNoName));
}

void RunTextBlocks(const SpellRecord& spell, int64_t damage, CastResult* result,
                   const RulesOutput& output) {
  const TextBlockRunner& runner = CurrentTextBlockRunner();
  for (size_t slot = 0; slot < SpellRecord::kAbilitySlots; ++slot) {
    if (spell.abilityNumbers(slot) != kTextBlockAbility) continue;
    const int64_t value = spell.abilityValues(slot);
    if (runner) runner(RecordNumberOf(value != 0 ? value : damage), result, output);
  }
}

// One cast of `spell` without what follows it. Answers whether a follow-on
// cast comes, and which spell it is in `next`.
bool CastOnce(const SpellRecord& spell, int32_t& energy, int32_t mr, int32_t level, bool antiMagic,
              CastResult* result, Random& random, const RulesOutput& output, SpellRecord& next) {
  const int64_t cost = spell.energy();
  if (cost > energy) return false;
  const int64_t resistance = EffectiveResistance(mr, antiMagic);
  const int64_t minimum = MinimumDamageAt(spell, level);
  const int64_t maximum = MaximumDamageAt(spell, level);
  const int64_t damage = Roll(random, maximum - minimum + 1) + minimum;
  const bool resisted = !spell.hasAbility(kIgnoresResistanceAbility);
  const uint16_t target = spell.target();

  // The spell's message, then its cost.
  auto writeCast = [&](std::string_view colour, bool withResistance) {
    const int64_t dealt = withResistance ? ResistedDamage(damage, resistance) : damage;
    WriteUnlessEmpty(output, colour, SpellLine(spell, kDummy, dealt));
    energy = Narrow(energy - cost);
  };

  switch (spell.castStyle()) {
    case 0:
      WriteForeword(spell, "|12", output);
      if (!OneOf(target, {0, 3, 4, 5, 8, 9, 12})) return false;
      writeCast("|12", resisted);
      break;
    case 3:
      WriteForeword(spell, "|11", output);
      if (OneOf(target, {1, 2, 6})) {
        writeCast("|11", false);
        RunTextBlocks(spell, damage, result, output);
        WriteAftermath(spell, "|11", output);
        WriteSummons(spell, output);
      } else if (OneOf(target, {0, 4, 8})) {
        writeCast("|11", resisted);
        RunTextBlocks(spell, damage, result, output);
      } else if (OneOf(target, {9, 12})) {
        writeCast("|11", false);
      } else if (OneOf(target, {10, 13})) {
        writeCast("|11", false);
        WriteAftermath(spell, "|11", output);
      } else {
        energy = 0;
        return false;
      }
      break;
    default:
      energy = 0;
      return false;
  }

  if (result != nullptr) {
    if (spell.hasAbility(kResultSecondAbility)) {
      result->second = Narrow(ValueOrDamage(spell, kResultSecondAbility, damage));
    }
    if (spell.hasAbility(kResultFirstAbility)) {
      result->first = Narrow(ValueOrDamage(spell, kResultFirstAbility, damage));
    }
  }

  if (spell.hasAbility(kFollowOnAbility)) {
    const int64_t chance =
        spell.hasAbility(kFollowOnChanceAbility) ? spell.abilityValue(kFollowOnChanceAbility) : 100;
    const int64_t roll = Roll(random, 99) + 1;
    if (chance <= roll) return false;
    const uint32_t number = RecordNumberOf(ValueOrDamage(spell, kFollowOnAbility, damage));
    return GetSpell(number, next) == 0;
  }
  if (cost > 0) {
    next = spell;
    return true;
  }
  energy = 0;
  return false;
}

}  // namespace

int64_t ResistedDamage(int64_t damage, int64_t mr) {
  const int64_t m = std::min<int64_t>(mr - 50, 100);
  const double removed = std::trunc(static_cast<double>(damage) * static_cast<double>(m) / 100.0);
  return damage - static_cast<int64_t>(removed);
}

int64_t EffectiveResistance(int64_t mr, bool antiMagic) {
  return std::min<int64_t>(mr, antiMagic ? 100 : 75);
}

CastEnd CastSpell(const SpellRecord& spell, int32_t& energy, int32_t mr, int32_t level,
                  bool antiMagic, CastResult* result, Random& random, const RulesOutput& output,
                  const StopRequested& stop) {
  SpellRecord current = spell;
  SpellRecord next;
  // Casts that follow one another without spending energy could go on for
  // ever (a spell following itself at no cost); casts that spend energy end
  // when it runs out.
  int idleSteps = 0;
  for (;;) {
    const int32_t before = energy;
    if (!CastOnce(current, energy, mr, level, antiMagic, result, random, output, next)) {
      return CastEnd::kFinished;
    }
    idleSteps = energy == before ? idleSteps + 1 : 0;
    if (idleSteps >= kChainBound) {
      output(NoticeOfBound("Follow-on casts"));
      return CastEnd::kBounded;
    }
    if (stop && stop()) return CastEnd::kStopped;
    current = next;
  }
}

void WriteSummons(const SpellRecord& spell, const RulesOutput& output) {
  if (!spell.hasAbility(kSummonAbility)) return;
  for (size_t slot = 0; slot < SpellRecord::kAbilitySlots; ++slot) {
    if (spell.abilityNumbers(slot) != kSummonAbility) continue;
    MonsterRecord monster;
    if (GetMonster(RecordNumberOf(spell.abilityValues(slot)), monster) != 0) continue;
    const std::string texts[] = {monster.name() + "|02", "nowhere"};
    output("|14" + FillStoredText(MessageOrEmpty(monster.moveMessage()).line1(), texts, {}));
  }
}

void SpellEffectOnPlayer(uint32_t spellNumber, int32_t mr, int32_t level, int32_t& first,
                         int32_t& second, Random& random, const RulesOutput& output) {
  SpellRecord spell;
  if (GetSpell(spellNumber, spell) != 0) return;
  const uint16_t target = spell.target();
  const std::string colour = ColourCodes(OneOf(target, {1, 2, 10, 13}) ? 11 : 12);
  const int64_t minimum = MinimumDamageAt(spell, level);
  const int64_t maximum = MaximumDamageAt(spell, level);
  const int64_t damage = Roll(random, maximum - minimum) + minimum;

  if (spell.hasAbility(kForewordAbility)) {
    WriteUnlessEmpty(output, colour, MessageOrEmpty(spell.abilityValue(kForewordAbility)).line1());
  }
  if (spell.hasAbility(kResultSecondAbility)) {
    second = Narrow(ValueOrDamage(spell, kResultSecondAbility, damage));
  }
  if (spell.hasAbility(kResultFirstAbility)) {
    first = Narrow(ValueOrDamage(spell, kResultFirstAbility, damage));
  }
  const int64_t dealt =
      spell.hasAbility(kIgnoresResistanceAbility) ? damage : ResistedDamage(damage, mr);

  if (OneOf(target, {0, 4, 6, 7, 8, 12})) {
    WriteUnlessEmpty(output, "|12", SpellLine(spell, kNoName, dealt));
    WriteAftermath(spell, colour, output);
    WriteSummons(spell, output);
    if (spell.hasAbility(kKillSavedAbility)) {
      output("|12You have been killed!");
      output("|07But, due to a miracle, you have been saved.");
    }
  } else if (OneOf(target, {1, 2, 9, 13})) {
    WriteUnlessEmpty(output, colour, SpellLine(spell, kNoName, dealt));
  }
}

}  // namespace torvex
