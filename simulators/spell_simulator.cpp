#include "simulators/spell_simulator.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/keys.h"
#include "database/settings.h"
#include "simulators/simulator_screen.h"
#include "simulators/spell_cast.h"

namespace torvex {
namespace {

constexpr int32_t kRoundEnergy = 1000;

// Spell types the simulator plays.
constexpr uint16_t kAutoCombat = 0;
constexpr uint16_t kGeneral = 3;

void AskInputs(Console& console, SimulatorSettings& stored) {
  int32_t level = stored.spellLevel;
  int32_t mr = stored.spellMr;
  bool antiMagic = stored.spellAntiMagic;
  AskStoredNumber(console, Format("|07Enter the players Level (%d)|08:|15", level), level);
  AskStoredNumber(console, Format("|07Enter the targets MR (%d)|08:|15", mr), mr);
  const std::string answer = AskLine(
      console, Format("|07Is the target AntiMagic? (%s)|08:|15", antiMagic ? "True" : "False"));
  if (const std::optional<bool> typed = ParseBoolean(answer)) antiMagic = *typed;
  stored.spellLevel = level;
  stored.spellMr = mr;
  stored.spellAntiMagic = antiMagic;
}

// The round prompt; answers whether the user ends the simulator.
bool RoundPromptEnds(Console& console, int32_t energy, int32_t round) {
  WriteColour(console, Format("|03[Energy=|11%d|03/Round=|11%d|03]:", energy, round));
  if (EndsSimulation(ReadWholeKey(console))) return true;
  WriteColourLn(console, "");
  return false;
}

int32_t NextRoundEnergy(int32_t energy) {
  return static_cast<int32_t>(
      std::min<int64_t>(int64_t{energy} + kRoundEnergy, std::numeric_limits<int32_t>::max()));
}

// Whether an auto-combat round has energy for another cast.
bool CanCastAgain(int64_t cost, int64_t energy) {
  return (cost != 0 && cost <= energy) || (cost == 0 && energy > 0);
}

}  // namespace

void RunSpellSimulator(Console& console, const SpellRecord& spell, Random& random) {
  WriteSimulatorHeading(
      console, {"|07    This simulator can be used to show approximations of how a spell will be",
                "|07cast if it were cast in the game.  The MR formula used may not be exact-- it",
                "|07assumes that the actual formula hasn't changed and that each one point of MR",
                "|07above 50 removes 1% of damage dealt.  What it does assume is that targets that",
                "|07are flagged AntiMagic (this includes Witchunters and some mobs) have a higher",
                "|07hard limit than non-AntiMagic's.  The limits are; up to 25% resistance of",
                "|07damage for non-AntiMagic's, and up to 50% resistance of damage for those with",
                "|07an AntiMagic flag."});
  SimulatorSettings& stored = CurrentSettings().simulator;
  AskInputs(console, stored);
  const int32_t level = stored.spellLevel;
  const int32_t mr = stored.spellMr;
  const bool antiMagic = stored.spellAntiMagic;

  const uint16_t type = spell.castStyle();
  if (type != kAutoCombat && type != kGeneral) return;

  const RulesOutput output = ConsoleOutput(console);
  const StopRequested stop = EscapeOrCtrlC(console);
  int32_t energy = kRoundEnergy;
  for (int32_t round = 1;; ++round) {
    if (type == kAutoCombat) {
      while (CanCastAgain(spell.energy(), energy)) {
        const int32_t before = energy;
        const CastEnd end =
            CastSpell(spell, energy, mr, level, antiMagic, nullptr, random, output, stop);
        // A cast that spends nothing (a target the auto-combat cast skips, a
        // follow-on that did not come) would be repeated for ever.
        if (end != CastEnd::kFinished || energy == before || stop()) break;
      }
    } else {
      CastSpell(spell, energy, mr, level, antiMagic, nullptr, random, output, stop);
    }
    if (RoundPromptEnds(console, energy, round)) return;
    energy = NextRoundEnergy(energy);
  }
}

}  // namespace torvex
