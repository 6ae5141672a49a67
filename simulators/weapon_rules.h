// The game's melee rules for one weapon: what a swing costs in energy, how
// many swings a combat round affords, the chance of a critical hit, the damage
// of one swing and the spell a weapon may let loose after it.
//
// All arithmetic is done wider than the stored 32-bit inputs and held to
// 64 bits at the end, so extreme levels and stats give large numbers rather
// than wrapped ones. A division whose divisor is 0 throws std::runtime_error
// naming the input that made it 0; nothing else here throws.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "database/records/records.h"
#include "platform/random.h"
#include "simulators/rules.h"

namespace torvex {

// The attacker as the simulator's prompts describe it.
struct Attacker {
  int64_t level = 0;
  int64_t combat = 0;
  int64_t agility = 0;
  int64_t strength = 0;
  int64_t encumbrance = 0;
  int64_t maxEncumbrance = 0;
  int64_t critBonus = 0;
};

// current * 100 / maximum. Throws when `maximum` is 0.
int64_t EncumbrancePercent(int64_t current, int64_t maximum);

// D = ((combat + 2) * level + 45) * (agility + 150) * 1500 / 9000.
int64_t SwingDivisor(int64_t level, int64_t combat, int64_t agility);

// speed * 1000 / D; when the weapon asks for more strength than the attacker
// has, raised to ((required - strength) * 3 + 200) * that / 200. Throws when
// `divisor` is 0.
int64_t BaseEnergy(int64_t speed, int64_t divisor, int64_t requiredStrength, int64_t strength);

// (encumbrance percent / 2 + 75) * base energy / 100.
int64_t EnergyPerSwing(int64_t encumbrancePercent, int64_t baseEnergy);

// Energy per swing below 200 and encumbrance percent below 67.
bool IsQuickAndDeadly(int64_t energyPerSwing, int64_t encumbrancePercent);

// 0 when energy per swing is 200 or more or encumbrance percent above 66;
// otherwise v = 200 - energy + (agility - 50) / 10, at most 20, halved
// (truncating) from encumbrance percent 33 on.
int64_t QuickAndDeadlyCrits(int64_t energyPerSwing, int64_t encumbrancePercent, int64_t agility);

// maximum hit + (strength - 50) / 10.
int64_t MaximumDamage(int64_t maxHit, int64_t strength);
// minimum hit + max(0, (strength - 100) / 10).
int64_t MinimumDamage(int64_t minHit, int64_t strength);

// The item's value of ability 58 (0 when absent).
int64_t WeaponCrits(const ItemRecord& item);

// One round's share of the energy pool: swings = pool / energy per swing and
// the pool the next round starts with, pool mod energy per swing + 1000.
// `swings` is not capped here. Throws when `energyPerSwing` is 0.
struct RoundSwings {
  int64_t swings = 0;
  int64_t nextPool = 0;
};
RoundSwings SwingsOfRound(int64_t pool, int64_t energyPerSwing);

// The most swings a round makes, whatever the pool affords.
inline constexpr int64_t kMaxSwingsPerRound = 5;

// The swings of 17 rounds in a row from a pool of 1000, uncapped. Throws when
// `energyPerSwing` is 0.
inline constexpr size_t kSwingListingEntries = 17;
std::array<int64_t, kSwingListingEntries> SwingListing(int64_t energyPerSwing);

// 1000 / energy per swing as "#,###,##0.00####": digits grouped in
// thousands, at least two and at most six decimals, the sixth rounded half
// away from zero from the exact quotient. Throws when `energyPerSwing` is 0.
std::string RawSwingsText(int64_t energyPerSwing);

// Everything the simulator shows and a swing needs, worked out from the item
// and the attacker. Every division that can fail is done here, so a caller
// that computes this first has nothing of a round on screen when it throws.
struct WeaponFigures {
  int64_t encumbrancePercent = 0;
  int64_t energyPerSwing = 0;
  int64_t critBonus = 0;
  int64_t weaponCrits = 0;
  int64_t quickAndDeadlyCrits = 0;
  int64_t totalCrits = 0;
  int64_t maximumDamage = 0;
  int64_t minimumDamage = 0;
  bool quickAndDeadly = false;
  bool heavy = false;  // strength below the weapon's required strength
  std::string rawSwings;
};
WeaponFigures WeaponFiguresFor(const ItemRecord& item, const Attacker& attacker);

// The verb of one swing from a hit message's first line: with k "|" in
// `verbs`, Random(k) leading entries are skipped (a draw even when k is 0) and
// the entry that follows, up to the next "|", is the verb.
std::string DrawVerb(std::string_view verbs, Random& random);

// One swing at the practice dummy: the crit roll Random(99), the damage draw,
// the verb draw, the line "|12You [critically ]<verb> practice dummy for <n>
// damage!", then the weapon's spell proc.
void Swing(const ItemRecord& item, const WeaponFigures& figures, std::string_view verbs,
           Random& random, const RulesOutput& output);

// The spell a weapon may cast after a swing: with ability 114 non-zero and
// ability 43 present, Random(99) + 1 below ability 114's value casts the spell
// numbered by ability 43 (CastProcSpell). Otherwise nothing is drawn.
void SpellProc(const ItemRecord& item, Random& random, const RulesOutput& output);

// Casts spell `number` at the dummy as a weapon's proc does, and the spells
// its ability 151 chains to, at most kChainBound casts (then NoticeOfBound's
// line). Spells and messages are read with GetSpell and GetMessage; a missing
// spell ends the chain.
void CastProcSpell(int64_t number, Random& random, const RulesOutput& output);

}  // namespace torvex
