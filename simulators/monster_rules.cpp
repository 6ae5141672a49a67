#include "simulators/monster_rules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "console/format.h"
#include "console/stored_text.h"
#include "database/record_access.h"
#include "simulators/spell_rules.h"

namespace torvex {
namespace {

constexpr uint8_t kPhysical = static_cast<uint8_t>(AttackKind::kAttack);
constexpr uint8_t kSpell = static_cast<uint8_t>(AttackKind::kSpell);

constexpr uint16_t kAbilitySummon = 12;
constexpr uint16_t kAbilityKills = 95;
constexpr uint16_t kAbilityAfterText = 115;
constexpr uint16_t kAbilityBeforeText = 120;
constexpr uint16_t kAbilityIgnoresResistance = 144;

std::string Fill(std::string_view text, std::vector<std::string> texts,
                 std::vector<int64_t> numbers = {}) {
  return FillStoredText(text, texts, numbers);
}

bool Stopped(const MonsterCombat& combat) {
  return combat.stopRequested && combat.stopRequested();
}

// The second line of the weapon's miss message and the weapon's name, for the
// dodge and miss lines; both empty when the monster has no weapon.
struct WeaponWords {
  std::string missLine;
  std::string name;
};

WeaponWords WeaponOf(const MonsterRecord& monster) {
  ItemRecord weapon;
  GetItem(monster.weaponItem(), weapon, true);
  return {MessageOrEmpty(weapon.missMessage()).line2(), weapon.name()};
}

// The line of the message named by the spell's ability `ability`, its first
// "%s" the monster's name, after "|12" when not empty.
void WriteAbilityLine(const MonsterCombat& combat, const SpellRecord& spell, uint16_t ability,
                      size_t line) {
  if (!spell.hasAbility(ability)) return;
  const MessageRecord message = MessageOrEmpty(RecordNumberOf(spell.abilityValue(ability)));
  WriteUnlessEmpty(combat.output, "|12", Fill(message.line(line), {combat.monster.name()}));
}

// The monster's name with its first letter upper-cased.
std::string Capitalised(std::string name) {
  if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 32);
  return name;
}

std::string ReflexiveFor(uint8_t gender) {
  switch (gender) {
    case 0:
      return "itself";
    case 1:
      return "himself";
    case 2:
      return "herself";
    default:
      // The placeholder stays as it is: the filler never scans its arguments.
      return "%s";
  }
}

bool IsDamageTarget(uint16_t target) {
  constexpr std::array<uint16_t, 6> kTargets = {0, 4, 6, 7, 8, 12};
  return std::find(kTargets.begin(), kTargets.end(), target) != kTargets.end();
}

bool IsSelfTarget(uint16_t target) {
  constexpr std::array<uint16_t, 4> kTargets = {1, 2, 9, 13};
  return std::find(kTargets.begin(), kTargets.end(), target) != kTargets.end();
}

// The attack spell once paid for: the Esc check, the cast roll and the lines.
ActionResult CastAttackSpell(MonsterCombat& combat, uint32_t number, int32_t level,
                             int64_t castChance) {
  if (Stopped(combat)) return ActionResult::kEscaped;
  SpellRecord spell;
  if (GetSpell(number, spell) != 0) return ActionResult::kStop;
  const std::string name = combat.monster.name();
  const int64_t roll = Roll(combat.random, 99) + 1;
  if (castChance < roll) {
    combat.output(Format("|03%s attempted to cast %s on you, but failed.", name.c_str(),
                         spell.name().c_str()));
    return ActionResult::kContinue;
  }
  WriteAbilityLine(combat, spell, kAbilityBeforeText, 1);
  const MessageRecord message = MessageOrEmpty(spell.castMessage());
  const int64_t damage =
      AttackSpellDamage(spell, level, combat.defender.magicResistance, combat.random);
  WriteUnlessEmpty(combat.output, "|12",
                   Fill(message.line2(), {name, spell.name(), "you"}, {damage}));
  WriteSummons(spell, combat.output);
  WriteAbilityLine(combat, spell, kAbilityAfterText, 2);
  return ActionResult::kContinue;
}

}  // namespace

bool CanAttack(const MonsterRecord& monster) {
  for (size_t k = 0; k < MonsterRecord::kAttacks; ++k) {
    if (monster.attackType(k) != 0 && monster.attackPercent(k) != 0) return true;
  }
  return false;
}

bool CanCast(const MonsterRecord& monster) {
  for (size_t k = 0; k < MonsterRecord::kSpellsCount; ++k) {
    if (monster.spells(k) != 0) return true;
  }
  return false;
}

bool HasUsableAttackSlot(const MonsterRecord& monster) {
  for (size_t k = 0; k < MonsterRecord::kAttacks; ++k) {
    const uint8_t type = monster.attackType(k);
    if (type == kPhysical || type == kSpell) return true;
  }
  return false;
}

int64_t AttackSpellDamage(const SpellRecord& spell, int32_t level, int64_t magicResistance,
                          Random& random) {
  const int64_t minimum = MinimumDamageAt(spell, level);
  const int64_t maximum = MaximumDamageAt(spell, level);
  const int64_t damage = Roll(random, maximum - minimum) + minimum;
  if (spell.hasAbility(kAbilityIgnoresResistance)) return damage;
  return ResistedDamage(damage, magicResistance);
}

ActionResult PhysicalAttack(MonsterCombat& combat, size_t slot, int64_t& energy) {
  const MonsterRecord& monster = combat.monster;
  const int64_t cost = monster.attackEnergy(slot);
  if (cost > energy) return ActionResult::kStop;
  if (Stopped(combat)) return ActionResult::kEscaped;
  energy -= cost;

  const Defender& d = combat.defender;
  const int64_t hitChance = int64_t{monster.attackAccuracy(slot)} - (d.armourClass + d.dodge);
  const int64_t roll = Roll(combat.random, 100);
  const std::string name = monster.name();
  if (roll <= hitChance) {
    const int64_t minimum = monster.attackMinHit(slot);
    const int64_t maximum = monster.attackMaxHit(slot);
    const int64_t damage = Roll(combat.random, maximum - minimum) + minimum - d.damageReduction;
    if (damage >= 1) {
      const MessageRecord hit = MessageOrEmpty(monster.attackHitMessage(slot));
      combat.output("|12" + Fill(hit.line1(), {name}, {damage}));
      if (monster.attackHitSpell(slot) != 0 &&
          HitSpellAttack(combat, monster.attackHitSpell(slot)) == ActionResult::kEscaped) {
        return ActionResult::kEscaped;
      }
      return ActionResult::kContinue;
    }
    const WeaponWords weapon = WeaponOf(monster);
    const MessageRecord dodge = MessageOrEmpty(monster.attackDodgeMessage(slot));
    combat.output("|04" + Fill(dodge.line1(), {name, weapon.missLine, weapon.name}));
    return ActionResult::kContinue;
  }
  const WeaponWords weapon = WeaponOf(monster);
  // Within the accuracy less the dodge the armour turned the blow (the miss
  // message); beyond it the blow was dodged.
  const std::string line = roll <= d.armourClass + hitChance
                               ? MessageOrEmpty(monster.attackMissMessage(slot)).line2()
                               : MessageOrEmpty(monster.attackDodgeMessage(slot)).line3();
  combat.output("|03" + Fill(line, {name, weapon.missLine, weapon.name}));
  return ActionResult::kContinue;
}

ActionResult SlotSpellAttack(MonsterCombat& combat, size_t slot, int64_t& energy) {
  const MonsterRecord& monster = combat.monster;
  const int64_t cost = monster.attackEnergy(slot);
  if (cost > energy) return ActionResult::kStop;
  energy -= cost;
  return CastAttackSpell(combat, monster.attackAccuracy(slot), monster.attackMaxHit(slot),
                         monster.attackMinHit(slot));
}

ActionResult HitSpellAttack(MonsterCombat& combat, uint32_t spell) {
  return CastAttackSpell(combat, spell, 0, 100);
}

void CastListSpell(MonsterCombat& combat, uint32_t number, int32_t level) {
  SpellRecord spell;
  if (GetSpell(number, spell) != 0) return;
  const std::string name = combat.monster.name();
  if (spell.hasAbility(kAbilityBeforeText)) {
    // Every "%s" of this line is the monster's name: a line of 82 characters
    // holds at most 41 of them.
    const MessageRecord before =
        MessageOrEmpty(RecordNumberOf(spell.abilityValue(kAbilityBeforeText)));
    const std::string line = before.line2();
    WriteUnlessEmpty(combat.output, "|12",
                     Fill(line, std::vector<std::string>(line.size() / 2 + 1, name)));
  }
  WriteSummons(spell, combat.output);
  const MessageRecord message = MessageOrEmpty(spell.castMessage());
  const std::string caster = Capitalised(name);
  const uint16_t target = spell.target();
  if (IsDamageTarget(target)) {
    const int64_t damage =
        AttackSpellDamage(spell, level, combat.defender.magicResistance, combat.random);
    WriteUnlessEmpty(combat.output, "|12", Fill(message.line2(), {caster, spell.name()}, {damage}));
    WriteAbilityLine(combat, spell, kAbilityAfterText, 2);
    if (spell.hasAbility(kAbilityKills)) {
      combat.output("|12You have been killed!");
      combat.output("|07But, due to a miracle, you have been saved.");
    }
  } else if (IsSelfTarget(target)) {
    WriteUnlessEmpty(
        combat.output, "|12",
        Fill(message.line3(), {caster, spell.name(), ReflexiveFor(combat.monster.gender())}));
  }
}

void AttackPhase(MonsterCombat& combat, int64_t& energy) {
  const MonsterRecord& monster = combat.monster;
  if (!CanAttack(monster) || !HasUsableAttackSlot(monster)) return;
  ActionResult last = ActionResult::kContinue;
  int rerolls = 0;
  int actionsWithoutCost = 0;
  while (last == ActionResult::kContinue && energy > 0) {
    const int64_t roll = Roll(combat.random, 100);
    size_t slot = MonsterRecord::kAttacks;
    for (size_t k = 0; k < MonsterRecord::kAttacks; ++k) {
      const uint8_t type = monster.attackType(k);
      if ((type == kPhysical || type == kSpell) && monster.attackPercent(k) >= roll) {
        slot = k;
        break;
      }
    }
    if (slot == MonsterRecord::kAttacks) {
      if (++rerolls >= kRerollBound) {
        combat.output(NoticeOfBound("The attack rolls"));
        return;
      }
      continue;
    }
    rerolls = 0;
    const int64_t before = energy;
    last = monster.attackType(slot) == kPhysical ? PhysicalAttack(combat, slot, energy)
                                                 : SlotSpellAttack(combat, slot, energy);
    // An attack that costs nothing leaves the energy where it was, and the
    // loop would never end on its own.
    if (last == ActionResult::kContinue && energy == before &&
        ++actionsWithoutCost >= kRerollBound) {
      combat.output(NoticeOfBound("The attacks that cost no energy"));
      return;
    }
  }
}

void SpellPhase(MonsterCombat& combat) {
  const MonsterRecord& monster = combat.monster;
  if (!CanCast(monster)) return;
  const int64_t roll = Roll(combat.random, 99) + 1;
  for (size_t k = 0; k < MonsterRecord::kSpellsCount; ++k) {
    if (monster.spellPercent(k) >= roll) {
      CastListSpell(combat, monster.spells(k), monster.spellCastLevel(k));
      return;
    }
  }
}

void PlayMonsterRound(MonsterCombat& combat, int64_t& energy) {
  AttackPhase(combat, energy);
  SpellPhase(combat);
}

}  // namespace torvex
