#include "simulators/spell_rules.h"

#include <algorithm>
#include <limits>

namespace torvex {

int32_t DamageAtLevel(int16_t base, uint8_t increment, uint8_t step, uint8_t levelCap,
                      int32_t level) {
  int64_t capped = level;
  if (levelCap != 0 && capped > levelCap) capped = levelCap;
  int64_t damage = base;
  if (step != 0) {
    damage = (capped / step) * increment + base;
  } else if (increment != 0) {
    damage = base + increment * capped;
  }
  return static_cast<int32_t>(std::clamp<int64_t>(damage, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int32_t MinimumDamageAt(const SpellRecord& spell, int32_t level) {
  return DamageAtLevel(spell.minValue(), spell.minIncrement(), spell.minLevelStep(),
                       spell.maxLevel(), level);
}

int32_t MaximumDamageAt(const SpellRecord& spell, int32_t level) {
  return DamageAtLevel(spell.maxValue(), spell.maxIncrement(), spell.maxLevelStep(),
                       spell.maxLevel(), level);
}

}  // namespace torvex
