#include "simulators/weapon_simulator.h"

#include <algorithm>
#include <string>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/keys.h"
#include "database/record_access.h"
#include "simulators/simulator_screen.h"
#include "simulators/weapon_rules.h"

namespace torvex {
namespace {

// The verbs used when the weapon's hit message is missing: its first line.
constexpr std::string_view kBuiltInVerbs = "attack";

void AskStoredEncumbrance(Console& console, SimulatorSettings& stored) {
  const std::string answer =
      AskLine(console, Format("|07Encumbrance (%d/%d)|08:|15", stored.itemEnc, stored.itemMaxEnc));
  const size_t slash = answer.find('/');
  const std::string_view current = std::string_view(answer).substr(0, slash);
  if (const std::optional<int32_t> value = ParseDecimal(current)) stored.itemEnc = *value;
  if (slash == std::string::npos) return;
  if (const std::optional<int32_t> value =
          ParseDecimal(std::string_view(answer).substr(slash + 1))) {
    stored.itemMaxEnc = *value;
  }
}

void AskAttacker(Console& console, SimulatorSettings& stored) {
  WriteColourLn(console, "|07Press ENTER to accept the defaults shown in paranthesis.");
  AskStoredNumber(console, Format("|07Level (%d)|08:|15", stored.itemLevel), stored.itemLevel);
  AskStoredNumber(console, Format("|07Combat Level (%d)|08:|15", stored.itemCombat),
                  stored.itemCombat);
  AskStoredNumber(console, Format("|07Agility (%d)|08:|15", stored.itemAgility),
                  stored.itemAgility);
  AskStoredNumber(console, Format("|07Strength (%d)|08:|15", stored.itemStrength),
                  stored.itemStrength);
  AskStoredEncumbrance(console, stored);
  AskStoredNumber(console,
                  Format("|07Critical hit bonus (items, etc) (%d)|08:|15", stored.itemCritBonus),
                  stored.itemCritBonus);
  WriteColourLn(console, "");
}

long long Shown(int64_t value) {
  return static_cast<long long>(value);
}

void WriteFigures(Console& console, const WeaponFigures& f) {
  WriteColourLn(console, Format("|07Raw swings:|15%16.16s", f.rawSwings.c_str()));
  WriteColourLn(console, Format("|07Energy per swing:|15%10lld", Shown(f.energyPerSwing)));
  WriteColourLn(console, Format("|07Encumbrance Percent:|15%7lld", Shown(f.encumbrancePercent)));
  WriteColourLn(console, Format("|07Items Crits:|15%15lld|07%%", Shown(f.critBonus)));
  WriteColourLn(console, Format("|07Weapon Crits:|15%14lld|07%%", Shown(f.weaponCrits)));
  WriteColourLn(console, Format("|07Q&D Crits:|15%17lld|07%%", Shown(f.quickAndDeadlyCrits)));
  WriteColourLn(console, Format("|07Total Crits:|15%15lld|07%%", Shown(f.totalCrits)));
  WriteColourLn(console, "");
  if (f.heavy) WriteColourLn(console, "|07This weapon feels heavy in your hands.");
  if (f.quickAndDeadly) {
    WriteColourLn(console, "|07You are extremely quick and deadly with this weapon.");
  }
}

// Rounds until the user ends them at a round's prompt.
void PlayRounds(Console& console, const ItemRecord& item, const WeaponFigures& f,
                std::string_view verbs, Random& random) {
  const RulesOutput output = ConsoleOutput(console);
  int64_t pool = 1000;
  for (int64_t round = 1;; ++round) {
    const RoundSwings share = SwingsOfRound(pool, f.energyPerSwing);
    pool = share.nextPool;
    const int64_t swings = std::clamp<int64_t>(share.swings, 0, kMaxSwingsPerRound);
    for (int64_t i = 0; i < swings; ++i) Swing(item, f, verbs, random, output);
    const std::string remaining = std::to_string(pool - 1000);
    WriteColour(console, Format("|08[|03EU REMAINING|08=|11%-4.4s|08/|03SWINGS|08=|11%lld"
                                "|08/|03ROUND|08=|11%lld|08]:|15",
                                remaining.c_str(), Shown(swings), Shown(round)));
    if (EndsSimulation(ReadWholeKey(console))) return;
    console.WriteLn();
  }
}

void WriteListing(Console& console, int64_t energyPerSwing) {
  console.Write("\n");
  console.WriteLn();
  std::string entries;
  for (int64_t swings : SwingListing(energyPerSwing)) {
    entries += (entries.empty() ? "|11" : "|03/|11") + std::to_string(swings);
  }
  WriteColour(console, "|07Ten swing listing--\n" + entries + "\n");
}

}  // namespace

void RunWeaponSimulator(Console& console, const ItemRecord& item, SimulatorSettings& stored,
                        Random& random) {
  WriteSimulatorHeading(
      console,
      {"|07    This simulator can be used to see how well a weapon will do with a given",
       "|07set of stats and other information.  The formula used is the exact same formula",
       "|07used by Dunmarrow.  It has been tested and appears to be 100% accurate."});
  const std::string name = item.name();
  if (item.itemType() != 1) {
    WriteColourLn(console,
                  Format("|04Item |08|12%s|08 |04is |12NOT|04 flagged as a weapon!", name.c_str()));
  } else if (item.speed() == 0) {
    WriteColourLn(console,
                  Format("|04Item |08|12%s|08 |04has an |12INVALID|04 speed value!", name.c_str()));
  } else {
    AskAttacker(console, stored);
    MessageRecord hit;
    const std::string verbs =
        GetMessage(item.hitMessage(), hit) == 0 ? hit.line1() : std::string(kBuiltInVerbs);
    const Attacker attacker{stored.itemLevel,    stored.itemCombat, stored.itemAgility,
                            stored.itemStrength, stored.itemEnc,    stored.itemMaxEnc,
                            stored.itemCritBonus};
    // Every division that can fail happens here, before any figure is shown.
    const WeaponFigures figures = WeaponFiguresFor(item, attacker);
    WriteFigures(console, figures);
    PlayRounds(console, item, figures, verbs, random);
    WriteListing(console, figures.energyPerSwing);
  }
  WriteColour(console, "|07Press any key...");
  ReadWholeKey(console);
}

}  // namespace torvex
