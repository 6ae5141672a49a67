#include "browsers/spell_browser.h"

#include <string>
#include <vector>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "database/ability_names.h"
#include "database/records/enumerations.h"
#include "database/records/records.h"
#include "database/settings.h"
#include "screens/screens.h"
#include "search/ability_search.h"
#include "simulators/spell_rules.h"
#include "simulators/spell_simulator.h"
#include "walker/session.h"
#include "walker/text_script.h"

namespace torvex {
namespace {

// The level the screen works its totals at when the spell has no level cap.
constexpr int64_t kUncappedLevel = 65;

constexpr char kHelpText[] =
    "Use the following keys to navigate the spells data:\r\n\r\n"
    "  >    Move to next logical spell\r\n"
    "  <    Move to previous logical spell\r\n"
    "  }    Move to next physical spell\r\n"
    "  {    Move to previous physical spell\r\n"
    "  F    Move to the first spell\r\n"
    "  L    Move to the last spell\r\n"
    "  G    Go to a specific spell\r\n"
    "  S    Search for a specific spell\r\n"
    "  ^S   Show simulated casts of this spell\r\n"
    "  Q    Exit the spell viewer\r\n\r\n"
    "You can also use ESC and X to quit the viewer.  When you use { and } you must use F, L or "
    "G to reset your navigation method to physical.  You cannot switch from logical to physical "
    "then back to logical navigation.";

// A total in the five columns its brackets leave.
std::string Total(int64_t n) {
  return Format("%-5.5s", std::to_string(n).c_str());
}

// The screen's own duration formula: whole steps of levels, each adding the
// increment.
int64_t DurationTotal(const SpellRecord& spell, int64_t level) {
  const int64_t base = spell.minDuration();
  const int64_t step = spell.durationLevelStep();
  return step != 0 ? base + (level / step) * spell.durationIncrement() : base;
}

// The screen's own range formula, which multiplies before it divides and so
// can show one step more than the simulators' rule (spell_rules.h) deals.
int64_t RangeTotal(int64_t base, int64_t increment, int64_t step, int64_t level) {
  return step != 0 ? base + (increment * level) / step : base;
}

// A value-0 slot's own text: the damage the spell does at `level`, which such
// abilities take as their value.
std::string DamageValueText(const SpellRecord& spell, uint16_t ability, int32_t level) {
  const int32_t minimum = MinimumDamageAt(spell, level);
  const int32_t maximum = MaximumDamageAt(spell, level);
  const bool ranged = spell.minValue() != spell.maxValue() ||
                      (spell.maxIncrement() != 0 && level != 0 && spell.maxLevelStep() != 0);
  return AbilityName(ability) + " " +
         (ranged ? Format("min: %d max: %d", minimum, maximum)
                 : AbilityValueText(ability, minimum));
}

std::string SpellAbilityRow(const SpellRecord& spell, size_t slot, int32_t level) {
  const uint16_t ability = spell.abilityNumbers(slot);
  const int16_t value = spell.abilityValues(slot);
  if (ability != 0 && value == 0) {
    return AbilityRowHead(ability, value) + DamageValueText(spell, ability, level);
  }
  return AbilityRowText(ability, value);
}

void WriteFormulaRows(Console& console, const SpellRecord& spell, int64_t level) {
  WriteValueAt(console, kValueLeft, 7, std::to_string(spell.minDuration()));
  WriteValueAt(console, 37, 7, std::to_string(spell.durationLevelStep()));
  WriteValueAt(console, 44, 7, std::to_string(spell.durationIncrement()));
  WriteValueAt(console, 57, 7, Total(DurationTotal(spell, level)));

  WriteValueAt(console, 26, 8, std::to_string(spell.durationPerLevel()));
  WriteValueAt(console, 38, 8, std::to_string(spell.durationPerLevel() * level));

  const struct {
    int row;
    int64_t base, increment, step;
  } ranges[] = {
      {9, spell.minValue(), spell.minIncrement(), spell.minLevelStep()},
      {10, spell.maxValue(), spell.maxIncrement(), spell.maxLevelStep()},
  };
  for (const auto& r : ranges) {
    WriteValueAt(console, kValueLeft, r.row, std::to_string(r.base));
    WriteValueAt(console, 29, r.row, std::to_string(r.increment));
    WriteValueAt(console, 44, r.row, std::to_string(r.step));
    WriteValueAt(console, 57, r.row, Total(RangeTotal(r.base, r.increment, r.step, level)));
  }
}

void RunSpellSimulatorFor(BrowserState& state, std::span<const uint8_t> record) {
  // Casts that run text blocks (ability 148) run them through the
  // interpreter, with the text-block options the walker has in the settings.
  // The walker's own session is left alone: a walk installs the runner again.
  static WalkerSession scriptSession;
  scriptSession.LoadFromSettings(CurrentSettings());
  InstallTextBlockRunner(state.console, scriptSession);
  RunSpellSimulator(state.console, SpellRecord(record), ProgramRandom());
}

BrowserDescription MakeDescription() {
  BrowserDescription d(kSpellFile);
  d.kindWord = "Spell";
  d.helpTitle = "Spells Help";
  d.helpText = kHelpText;
  d.searchTitle = "Search Spells";
  d.jumpTitle = "Goto Spell";
  d.jumpPrompt = "Enter a spell number to jump to:";
  d.showDetail = [](BrowserState& s) { ShowSpellDetail(s.console, s.Record()); };
  d.windowTitle = [](std::span<const uint8_t> r) {
    return NamedRecordTitle("Spell", SpellRecord(r).name(), RecordNumber16At0(r));
  };
  d.key = Number16Key();
  d.searches = {
      TextSearchOption("Search for Name", kTextSearchPrompt,
                       [](std::span<const uint8_t> r) {
                         return std::vector<std::string>{SpellRecord(r).name()};
                       }),
      {"Search for Ability Value", AskAbilitySearch<SpellRecord>, ""},
  };
  d.simulator = RunSpellSimulatorFor;
  d.rawDumpName = [](std::span<const uint8_t> r) {
    return Format("rawspels%s-%d.bin", kRawDumpEdition, RecordNumber16At0(r));
  };
  d.macros = MacroKind::kSpell;
  return d;
}

}  // namespace

const BrowserDescription& SpellBrowserDescription() {
  static const BrowserDescription description = MakeDescription();
  return description;
}

void RunSpellBrowser(Console& console) {
  RunBrowser(console, SpellBrowserDescription());
}

void ShowSpellDetail(Console& console, std::span<const uint8_t> record) {
  const SpellRecord spell(record);
  const int64_t level = spell.maxLevel() != 0 ? spell.maxLevel() : kUncappedLevel;
  PaintDetailScreen(console, screens::kSpellBrowser);

  WriteValueAt(console, kValueLeft, 2, std::to_string(spell.number()));
  WriteValueAt(console, kValueLeft, 3, spell.name());
  WriteValueAt(console, kValueRight, 3, spell.shortName());
  WriteValueAt(console, kValueLeft, 5, std::to_string(spell.level()));
  WriteValueAt(console, kValueRight, 5, std::to_string(spell.energy()));
  WriteValueAt(console, kValueLeft, 6, std::to_string(spell.mana()));
  WriteFormulaRows(console, spell, level);
  WriteValueAt(console, kValueLeft, 11, std::to_string(spell.maxLevel()));
  WriteValueAt(console, kValueLeft, 12, std::to_string(spell.difficulty()));
  WriteValueAt(console, kValueLeft, 13, CastTargetText(spell.target()));
  WriteValueAt(console, kValueRight, 13,
               Format("%s-%d", MagicTypeText(spell.magicType()).c_str(), spell.magicLevel()));
  WriteColourClipped(
      console, kValueLeft, 14,
      ColourCodes(ElementColour(spell.element())) + ElementTypeText(spell.element()));
  WriteValueAt(console, kValueRight, 14, std::to_string(spell.castMessage()));
  WriteValueAt(console, kValueLeft, 15, CastStyleText(spell.castStyle()));
  WriteValueAt(console, kValueRight, 15, (spell.messageStyle() & 1) != 0 ? "normal" : "alternate");
  WriteValueAt(console, kValueLeft, 16, ResistTypeText(spell.resistedBy()));
  WriteValueAt(console, kValueRight, 16, ResistableText(spell.resistable()));

  for (size_t i = 0; i < SpellRecord::kDescriptionLines; ++i) {
    const std::string line = spell.description(i);
    if (line.empty()) break;
    WriteValueAt(console, kValueLeft, 18 + static_cast<int>(i), line);
  }
  for (size_t i = 0; i < SpellRecord::kAbilitySlots; ++i) {
    WriteColourClipped(console, kValueLeft, 22 + static_cast<int>(i),
                       SpellAbilityRow(spell, i, static_cast<int32_t>(level)));
  }
  console.GotoXY(3, 49);
}

}  // namespace torvex
