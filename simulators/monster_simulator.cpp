#include "simulators/monster_simulator.h"

#include <optional>
#include <string_view>
#include <vector>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/keys.h"
#include "simulators/simulator_screen.h"

namespace torvex {
namespace {

constexpr char kSquare = '\xFE';    // the block before "Monster Stats"
constexpr char kLineChar = '\xC4';  // the table's rules
constexpr size_t kRuleLength = 54;

int64_t NumberOrZero(std::string_view text) {
  return ParseDecimal(text).value_or(0);
}

// A number as decimal text, then cut or padded to its column as the table's
// "%-N.Ns" does.
std::string Column(int64_t value, int width) {
  return Format("%-*.*s", width, width, std::to_string(value).c_str());
}

std::string AttackRow(const MonsterRecord& m, size_t k) {
  std::string row = "  |12" + Column(static_cast<int64_t>(k + 1), 4);
  switch (m.attackType(k)) {
    case static_cast<uint8_t>(AttackKind::kNone):
      return row + "|07None   ---   ---   ---  ---   |08- |07---   ---    ---";
    case static_cast<uint8_t>(AttackKind::kAttack):
      return row + "|11Attack |07---   |15" + Column(m.attackAccuracy(k), 6) +
             Column(m.attackPercent(k), 5) + Column(m.attackMinHit(k), 6) + "|08- |15" +
             Column(m.attackMaxHit(k), 6) + Column(m.attackEnergy(k), 7) +
             std::to_string(m.attackHitSpell(k));
    case static_cast<uint8_t>(AttackKind::kSpell):
      return row + "|12Spell  |15" + Column(m.attackAccuracy(k), 6) + "|07---   |15" +
             Column(m.attackPercent(k), 5) + Column(m.attackMinHit(k), 6) + "|08- |15" +
             Column(m.attackMaxHit(k), 6) + Column(m.attackEnergy(k), 7) +
             std::to_string(m.attackHitSpell(k));
    default:
      return row + "|14Unk    |07---   ---   ---  ---   |08- |07---   ---    ---";
  }
}

}  // namespace

Defender AskDefender(Console& console) {
  Defender d;
  d.dodge = NumberOrZero(AskLine(console, "|07Enter your Dodge %|08:|15"));
  const std::string armour = AskLine(console, "|07Enter your AC|08:|15");
  if (const size_t slash = armour.find('/'); slash != std::string::npos) {
    d.armourClass = NumberOrZero(std::string_view(armour).substr(0, slash));
    d.damageReduction = NumberOrZero(std::string_view(armour).substr(slash + 1));
  } else {
    d.armourClass = NumberOrZero(armour);
    d.damageReduction = NumberOrZero(AskLine(console, "|07Enter your DR|08:|15"));
  }
  const std::string resistance = AskLine(console, "|07Enter your MR|08:|15");
  d.magicResistance = resistance.empty() ? 50 : NumberOrZero(resistance);
  return d;
}

std::vector<std::string> AttackTableLines(const MonsterRecord& monster) {
  const std::string rule = "  |08" + std::string(kRuleLength, kLineChar);
  std::vector<std::string> lines = {"", std::string("|08") + kSquare + " |12Monster Stats", "",
                                    "  |15Att Type   Spell Acc   %    Min   - Max   Energy HitSp",
                                    rule};
  for (size_t k = 0; k < MonsterRecord::kAttacks; ++k) lines.push_back(AttackRow(monster, k));
  lines.push_back(rule);
  return lines;
}

void RunMonsterSimulator(Console& console, const MonsterRecord& monster, Random& random) {
  WriteSimulatorHeading(console,
                        {"|07    This simulator can be used to show approximations of attack "
                         "rounds from",
                         "|07various monsters and NPC's.  It's not 100% accurate (well, it's not "
                         "promised",
                         "|07to be anyways) but it's a decent simulation."});
  if (!CanAttack(monster) && !CanCast(monster)) {
    WriteColourLn(console, "|12" + monster.name() + " |04has no attacks!");
    WriteColourLn(console, "");
    WriteColour(console, "|07Press a key.");
    ReadWholeKey(console);
    return;
  }
  MonsterCombat combat{monster, AskDefender(console), random, ConsoleOutput(console),
                       EscapeOrCtrlC(console)};
  for (const std::string& line : AttackTableLines(monster)) WriteColourLn(console, line);

  int64_t energy = 0;
  for (int64_t round = 1;; ++round) {
    energy += 1000;
    PlayMonsterRound(combat, energy);
    WriteColour(console,
                Format("|03[ENERGY=|11%lld|03/ROUND=|11%lld|03]:|07",
                       static_cast<long long>(energy + 1000), static_cast<long long>(round)));
    const int k = ReadWholeKey(console);
    const int upper = key::Upper(k);
    if (upper == '?' || upper == 'Q' || upper == 'X') {
      WriteColour(console, std::string(1, static_cast<char>(upper)));
    }
    WriteColourLn(console, "");
    if (EndsSimulation(k)) return;
  }
}

}  // namespace torvex
