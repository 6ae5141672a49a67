#include "browsers/spell_browser.h"

#include <string>
#include <vector>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "database/ability_names.h"
#include "database/records/enumerations.h"
#include "database/records/records.h"
#include "screens/screens.h"
#include "search/ability_search.h"
#include "simulators/spell_rules.h"

namespace torvex {
namespace {

constexpr int kLeft = 18;
constexpr int kRight = 64;
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

std::string Number(int64_t n) {
  return std::to_string(n);
}

// A total in the five columns its brackets leave.
std::string Total(int64_t n) {
  return Format("%-5.5s", Number(n).c_str());
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
  WriteValueAt(console, kLeft, 7, Number(spell.minDuration()));
  WriteValueAt(console, 37, 7, Number(spell.durationLevelStep()));
  WriteValueAt(console, 44, 7, Number(spell.durationIncrement()));
  WriteValueAt(console, 57, 7, Total(DurationTotal(spell, level)));

  WriteValueAt(console, 26, 8, Number(spell.durationPerLevel()));
  WriteValueAt(console, 38, 8, Number(spell.durationPerLevel() * level));

  const struct {
    int row;
    int64_t base, increment, step;
  } ranges[] = {
      {9, spell.minValue(), spell.minIncrement(), spell.minLevelStep()},
      {10, spell.maxValue(), spell.maxIncrement(), spell.maxLevelStep()},
  };
  for (const auto& r : ranges) {
    WriteValueAt(console, kLeft, r.row, Number(r.base));
    WriteValueAt(console, 29, r.row, Number(r.increment));
    WriteValueAt(console, 44, r.row, Number(r.step));
    WriteValueAt(console, 57, r.row, Total(RangeTotal(r.base, r.increment, r.step, level)));
  }
}

// The spell-casting simulator's place. Until it is built, Ctrl+S shows the
// spell again.
void RunSpellSimulatorFor(BrowserState&, std::span<const uint8_t>) {}

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
  console.SetTextAttr(7);
  PaintScreenImage(console, screens::kSpellBrowser.data, screens::kSpellBrowser.size);

  WriteValueAt(console, kLeft, 2, Number(spell.number()));
  WriteValueAt(console, kLeft, 3, spell.name());
  WriteValueAt(console, kRight, 3, spell.shortName());
  WriteValueAt(console, kLeft, 5, Number(spell.level()));
  WriteValueAt(console, kRight, 5, Number(spell.energy()));
  WriteValueAt(console, kLeft, 6, Number(spell.mana()));
  WriteFormulaRows(console, spell, level);
  WriteValueAt(console, kLeft, 11, Number(spell.maxLevel()));
  WriteValueAt(console, kLeft, 12, Number(spell.difficulty()));
  WriteValueAt(console, kLeft, 13, CastTargetText(spell.target()));
  WriteValueAt(console, kRight, 13,
               Format("%s-%d", MagicTypeText(spell.magicType()).c_str(), spell.magicLevel()));
  WriteColourClipped(
      console, kLeft, 14,
      ColourCodes(ElementColour(spell.element())) + ElementTypeText(spell.element()));
  WriteValueAt(console, kRight, 14, Number(spell.castMessage()));
  WriteValueAt(console, kLeft, 15, CastStyleText(spell.castStyle()));
  WriteValueAt(console, kRight, 15, (spell.messageStyle() & 1) != 0 ? "normal" : "alternate");
  WriteValueAt(console, kLeft, 16, ResistTypeText(spell.resistedBy()));
  WriteValueAt(console, kRight, 16, ResistableText(spell.resistable()));

  for (size_t i = 0; i < SpellRecord::kDescriptionLines; ++i) {
    const std::string line = spell.description(i);
    if (line.empty()) break;
    WriteValueAt(console, kLeft, 18 + static_cast<int>(i), line);
  }
  for (size_t i = 0; i < SpellRecord::kAbilitySlots; ++i) {
    WriteColourClipped(console, kLeft, 22 + static_cast<int>(i),
                       SpellAbilityRow(spell, i, static_cast<int32_t>(level)));
  }
  console.GotoXY(3, 49);
}

}  // namespace torvex
