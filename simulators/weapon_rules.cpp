#include "simulators/weapon_rules.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <vector>

#include "console/format.h"
#include "console/people_text.h"
#include "console/stored_text.h"
#include "database/record_access.h"
#include "simulators/spell_rules.h"

namespace torvex {
namespace {

// Products of two 32-bit inputs and a constant can pass 64 bits; they are
// formed in 128 bits and only the results are held to 64.
using Wide = __int128;

constexpr uint16_t kWeaponCritsAbility = 58;
constexpr uint16_t kProcSpellAbility = 43;
constexpr uint16_t kProcChanceAbility = 114;
constexpr uint16_t kCastTextAbility = 120;
constexpr uint16_t kFollowOnAbility = 151;
constexpr uint8_t kGeneralSpellType = 3;
// Proc damage is the spell's damage at this level, whatever the attacker's.
constexpr int32_t kProcLevel = 50;
constexpr std::string_view kDummy = "practice dummy";

int64_t Narrow(Wide value) {
  constexpr Wide kMin = std::numeric_limits<int64_t>::min();
  constexpr Wide kMax = std::numeric_limits<int64_t>::max();
  return static_cast<int64_t>(std::clamp(value, kMin, kMax));
}

Wide Divide(Wide dividend, Wide divisor, const char* what) {
  if (divisor == 0) throw std::runtime_error(std::string("Division by zero: ") + what);
  return dividend / divisor;
}

}  // namespace

int64_t EncumbrancePercent(int64_t current, int64_t maximum) {
  return Narrow(Divide(Wide{current} * 100, maximum, "the maximum encumbrance is 0"));
}

int64_t SwingDivisor(int64_t level, int64_t combat, int64_t agility) {
  const Wide skill = (Wide{combat} + 2) * level + 45;
  return Narrow(skill * (Wide{agility} + 150) * 1500 / 9000);
}

int64_t BaseEnergy(int64_t speed, int64_t divisor, int64_t requiredStrength, int64_t strength) {
  Wide energy = Divide(Wide{speed} * 1000, divisor,
                       "the level, combat level and agility give a divisor of 0");
  if (requiredStrength > strength) {
    energy = ((Wide{requiredStrength} - strength) * 3 + 200) * energy / 200;
  }
  return Narrow(energy);
}

int64_t EnergyPerSwing(int64_t encumbrancePercent, int64_t baseEnergy) {
  return Narrow((Wide{encumbrancePercent} / 2 + 75) * baseEnergy / 100);
}

bool IsQuickAndDeadly(int64_t energyPerSwing, int64_t encumbrancePercent) {
  return energyPerSwing < 200 && encumbrancePercent < 67;
}

int64_t QuickAndDeadlyCrits(int64_t energyPerSwing, int64_t encumbrancePercent, int64_t agility) {
  if (energyPerSwing >= 200 || encumbrancePercent > 66) return 0;
  const int64_t v =
      Narrow(std::min<Wide>(Wide{200} - energyPerSwing + (Wide{agility} - 50) / 10, 20));
  return encumbrancePercent < 33 ? v : v / 2;
}

int64_t MaximumDamage(int64_t maxHit, int64_t strength) {
  return Narrow(Wide{maxHit} + (Wide{strength} - 50) / 10);
}

int64_t MinimumDamage(int64_t minHit, int64_t strength) {
  return Narrow(Wide{minHit} + std::max<Wide>(0, (Wide{strength} - 100) / 10));
}

int64_t WeaponCrits(const ItemRecord& item) {
  return item.abilityValue(kWeaponCritsAbility);
}

RoundSwings SwingsOfRound(int64_t pool, int64_t energyPerSwing) {
  const char* why = "the energy per swing is 0";
  const Wide swings = Divide(pool, energyPerSwing, why);
  return {Narrow(swings), Narrow(Wide{pool} % energyPerSwing + 1000)};
}

std::array<int64_t, kSwingListingEntries> SwingListing(int64_t energyPerSwing) {
  std::array<int64_t, kSwingListingEntries> listing{};
  int64_t pool = 1000;
  for (int64_t& entry : listing) {
    const RoundSwings round = SwingsOfRound(pool, energyPerSwing);
    entry = round.swings;
    pool = round.nextPool;
  }
  return listing;
}

std::string RawSwingsText(int64_t energyPerSwing) {
  constexpr Wide kScale = 1000000;  // six decimals
  const Wide divisor = energyPerSwing < 0 ? -Wide{energyPerSwing} : Wide{energyPerSwing};
  Wide scaled = Divide(1000 * kScale, divisor, "the energy per swing is 0");
  // The exact remainder decides the sixth decimal: a half or more rounds up.
  if (2 * (1000 * kScale % divisor) >= divisor) ++scaled;
  std::string decimals = std::to_string(static_cast<int64_t>(scaled % kScale));
  decimals.insert(0, 6 - decimals.size(), '0');
  while (decimals.size() > 2 && decimals.back() == '0') decimals.pop_back();
  const std::string sign = energyPerSwing < 0 && scaled != 0 ? "-" : "";
  return sign + GroupedNumber(static_cast<int64_t>(scaled / kScale)) + "." + decimals;
}

WeaponFigures WeaponFiguresFor(const ItemRecord& item, const Attacker& attacker) {
  WeaponFigures f;
  f.encumbrancePercent = EncumbrancePercent(attacker.encumbrance, attacker.maxEncumbrance);
  const int64_t divisor = SwingDivisor(attacker.level, attacker.combat, attacker.agility);
  const int64_t base =
      BaseEnergy(item.speed(), divisor, item.requiredStrength(), attacker.strength);
  f.energyPerSwing = EnergyPerSwing(f.encumbrancePercent, base);
  f.rawSwings = RawSwingsText(f.energyPerSwing);  // throws for an energy of 0
  f.critBonus = attacker.critBonus;
  f.weaponCrits = WeaponCrits(item);
  f.quickAndDeadlyCrits =
      QuickAndDeadlyCrits(f.energyPerSwing, f.encumbrancePercent, attacker.agility);
  f.totalCrits = Narrow(Wide{f.critBonus} + f.quickAndDeadlyCrits + f.weaponCrits);
  f.maximumDamage = MaximumDamage(item.maxHit(), attacker.strength);
  f.minimumDamage = MinimumDamage(item.minHit(), attacker.strength);
  f.quickAndDeadly = IsQuickAndDeadly(f.energyPerSwing, f.encumbrancePercent);
  f.heavy = attacker.strength < item.requiredStrength();
  return f;
}

std::string DrawVerb(std::string_view verbs, Random& random) {
  const int64_t bars = std::count(verbs.begin(), verbs.end(), '|');
  const int64_t skip = Roll(random, bars);
  for (int64_t i = 0; i < skip; ++i) verbs.remove_prefix(verbs.find('|') + 1);
  return std::string(verbs.substr(0, verbs.find('|')));
}

void Swing(const ItemRecord& item, const WeaponFigures& figures, std::string_view verbs,
           Random& random, const RulesOutput& output) {
  const bool critical = Roll(random, 99) < figures.totalCrits;
  int64_t damage = 0;
  if (critical) {
    const int64_t twice = Narrow(Wide{figures.maximumDamage} * 2);
    damage = Narrow(Wide{Roll(random, twice)} + twice);
  } else {
    const Wide range = Wide{figures.maximumDamage} - figures.minimumDamage;
    damage = Narrow(Wide{Roll(random, Narrow(range))} + figures.minimumDamage);
  }
  const std::string verb = DrawVerb(verbs, random);
  const char* format = critical ? "|12You critically %s practice dummy for %lld damage!"
                                : "|12You %s practice dummy for %lld damage!";
  output(Format(format, verb.c_str(), static_cast<long long>(damage)));
  SpellProc(item, random, output);
}

void SpellProc(const ItemRecord& item, Random& random, const RulesOutput& output) {
  const int64_t chance = item.abilityValue(kProcChanceAbility);
  if (!item.hasAbility(kProcChanceAbility) || chance == 0 || !item.hasAbility(kProcSpellAbility)) {
    return;
  }
  if (Roll(random, 99) + 1 < chance) {
    CastProcSpell(item.abilityValue(kProcSpellAbility), random, output);
  }
}

void CastProcSpell(int64_t number, Random& random, const RulesOutput& output) {
  for (int cast = 0;; ++cast) {
    if (cast == kChainBound) {
      output(NoticeOfBound("Spell proc chain"));
      return;
    }
    SpellRecord spell;
    if (GetSpell(RecordNumberOf(number), spell) != 0) return;
    MessageRecord message;
    if (spell.hasAbility(kCastTextAbility) &&
        GetMessage(RecordNumberOf(spell.abilityValue(kCastTextAbility)), message) == 0) {
      output("|12" + message.line1());
    }
    const int64_t minimum = MinimumDamageAt(spell, kProcLevel);
    const int64_t maximum = MaximumDamageAt(spell, kProcLevel);
    if (GetMessage(spell.castMessage(), message) == 0) {
      // The minimum base, not the minimum at the level, starts the range.
      const int64_t base = spell.minValue();
      const int64_t damage = base + Roll(random, maximum - base + 1);
      std::vector<std::string> texts;
      if ((spell.messageStyle() & 1) == 0) texts.push_back(spell.name());
      texts.emplace_back(kDummy);
      const std::string text = FillStoredText(message.line1(), texts, std::vector{damage});
      if (!text.empty()) {
        output((spell.castStyle() == kGeneralSpellType ? "|11" : "|12") + text);
      }
    }
    if (!spell.hasAbility(kFollowOnAbility)) return;
    number = spell.abilityValue(kFollowOnAbility);
    if (number == 0) number = Roll(random, maximum - minimum) + minimum;
  }
}

}  // namespace torvex
