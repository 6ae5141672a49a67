#include "browsers/item_browser.h"

#include <string>
#include <vector>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "database/records/records.h"
#include "database/settings.h"
#include "platform/random.h"
#include "screens/screens.h"
#include "search/ability_search.h"
#include "simulators/weapon_simulator.h"

namespace torvex {
namespace {

constexpr char kHelpText[] =
    "Use the following keys to navigate the items data:\r\n\r\n"
    "  >    Move to next logical item\r\n"
    "  <    Move to previous logical item\r\n"
    "  }    Move to next physical item\r\n"
    "  {    Move to previous physical item\r\n"
    "  E    Switch to the extended item viewer\r\n"
    "  F    Move to the first item\r\n"
    "  L    Move to the last item\r\n"
    "  G    Go to a specific item\r\n"
    "  S    Search for a specific item\r\n"
    "  ^S   Show simulated combat rounds with this weapon\r\n"
    "  Q    Exit the item viewer\r\n\r\n"
    "You can also use ESC and X to quit the viewer.  When you use { and } you must use F, L or "
    "G to reset your navigation method to physical.  You cannot switch from logical to physical "
    "then back to logical navigation.";

constexpr char kExtendedHelpText[] =
    "Use the following keys to navigate the extended items data:\r\n\r\n"
    "  >    Move to next logical item\r\n"
    "  <    Move to previous logical item\r\n"
    "  }    Move to next physical item\r\n"
    "  {    Move to previous physical item\r\n"
    "  F    Move to the first item\r\n"
    "  L    Move to the last item\r\n"
    "  G    Go to a specific item\r\n"
    "  S    Search for a specific item\r\n"
    "  Q    Exit the extended item viewer\r\n\r\n"
    "You can also use ESC and X to quit the extended viewer.  When you use { and } you must use "
    "F, L or G to reset your navigation method to physical.  You cannot switch from logical to "
    "physical then back to logical navigation.";

ItemRecord ItemOf(std::span<const uint8_t> bytes) {
  return ItemRecord(bytes);
}

// An enumerated field: its word padded or cut to `width`, then the code as the
// field holds it.
std::string Enumerated(const std::string& text, int width, int code) {
  return Format("%-*.*s(%d)", width, width, text.c_str(), code);
}

std::string Flag(const char* name, bool lit) {
  return Format("|08[%s%s|08] ", lit ? "|09" : "|07", name);
}

// Lines of a text block up to the first empty one.
void WriteLines(Console& console, int firstRow, const ItemRecord& item,
                std::string (ItemRecord::*line)(size_t) const, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const std::string text = (item.*line)(i);
    if (text.empty()) break;
    WriteValueAt(console, kValueLeft, firstRow + static_cast<int>(i), text);
  }
}

void WriteNameRows(Console& console, const ItemRecord& item) {
  WriteValueAt(console, kValueLeft, 2, std::to_string(item.number()));
  WriteValueAt(console, kValueLeft, 3, item.name());
  WriteValueAt(console, kValueRight, 3, std::to_string(item.limit()));
}

// The simulator keeps its inputs in the program's settings, which the shell
// saves at exit.
void RunWeaponSimulatorFor(BrowserState& state, std::span<const uint8_t> record) {
  RunWeaponSimulator(state.console, ItemOf(record), CurrentSettings().simulator, ProgramRandom());
}

SearchOption NameSearch() {
  return TextSearchOption("Search for Name", kTextSearchPrompt, [](std::span<const uint8_t> r) {
    return std::vector<std::string>{ItemOf(r).name()};
  });
}

SearchOption DescriptionSearch() {
  return TextSearchOption(
      "Search for Description",
      "Enter description text to search for (not case sensetive):", [](std::span<const uint8_t> r) {
        const ItemRecord item = ItemOf(r);
        std::vector<std::string> lines;
        for (size_t i = 0; i < ItemRecord::kDescriptionLines; ++i) {
          lines.push_back(item.description(i));
        }
        return lines;
      });
}

SearchOption AbilitySearch() {
  return {"Search for Ability Value", AskAbilitySearch<ItemRecord>, ""};
}

SearchOption NegatedSpellSearch() {
  SearchOption option;
  option.label = "Search for Negated Spell";
  option.ask = [](TInputManager& input) -> std::optional<SearchQuery> {
    ApplyWindowStyle(input, kInputStyle);
    input.Prompt = "Enter negated spell number to search for:";
    input.MaxLength = 6;
    input.AskText();
    if (input.Cancelled) return std::nullopt;
    const int32_t spell = input.ResultNumber;
    if (spell == 0) return std::nullopt;
    SearchQuery query;
    query.notFound = SearchNotFoundText(input.ResultText);
    query.matches = [spell](std::span<const uint8_t> r) {
      const ItemRecord item = ItemOf(r);
      for (size_t i = 0; i < ItemRecord::kNegateSpellsCount; ++i) {
        if (static_cast<int64_t>(item.negateSpells(i)) == spell) return true;
      }
      return false;
    };
    return query;
  };
  return option;
}

std::string ItemTitle(std::string_view kindWord, std::span<const uint8_t> record) {
  const ItemRecord item = ItemOf(record);
  return NamedRecordTitle(kindWord, item.name(), static_cast<int32_t>(item.number()));
}

BrowserDescription CommonItemDescription() {
  BrowserDescription d(kItemFile);
  d.searchTitle = "Search Items";
  d.helpTitle = "Items Help";
  d.jumpTitle = "Goto Item";
  d.jumpPrompt = "Enter an item number to jump to:";
  return d;
}

BrowserDescription MakeExtendedDescription() {
  BrowserDescription d = CommonItemDescription();
  d.kindWord = "ItemEx";
  d.helpText = kExtendedHelpText;
  d.showDetail = [](BrowserState& s) { ShowItemExtended(s.console, s.Record()); };
  d.windowTitle = [](std::span<const uint8_t> r) { return ItemTitle("ItemEx", r); };
  d.searches = {NameSearch(), AbilitySearch(), NegatedSpellSearch()};
  return d;
}

BrowserDescription MakeMainDescription() {
  BrowserDescription d = CommonItemDescription();
  d.kindWord = "Item";
  d.helpText = kHelpText;
  d.showDetail = [](BrowserState& s) { ShowItemDetail(s.console, s.Record()); };
  d.windowTitle = [](std::span<const uint8_t> r) { return ItemTitle("Item", r); };
  d.searches = {NameSearch(), DescriptionSearch(), AbilitySearch(), NegatedSpellSearch()};
  d.extendedViewer = [](BrowserState& s) { RunKeyLoop(s, ItemExtendedDescription()); };
  d.simulator = RunWeaponSimulatorFor;
  d.rawDumpName = [](std::span<const uint8_t> r) {
    return Format("rawitems%s-%d.bin", kRawDumpEdition, static_cast<int32_t>(RecordNumberAt0(r)));
  };
  d.macros = MacroKind::kItem;
  return d;
}

}  // namespace

const BrowserDescription& ItemBrowserDescription() {
  static const BrowserDescription description = MakeMainDescription();
  return description;
}

const BrowserDescription& ItemExtendedDescription() {
  static const BrowserDescription description = MakeExtendedDescription();
  return description;
}

void RunItemBrowser(Console& console) {
  RunBrowser(console, ItemBrowserDescription());
}

void ShowItemDetail(Console& console, std::span<const uint8_t> record) {
  const ItemRecord item = ItemOf(record);
  PaintDetailScreen(console, screens::kItemBrowser);

  WriteNameRows(console, item);
  WriteValueAt(
      console, kValueLeft, 5,
      Enumerated(ItemTypeText(item.itemType()), 25, static_cast<int16_t>(item.itemType())));
  WriteValueAt(console, kValueRight, 5,
               Enumerated(WornOnText(static_cast<uint8_t>(item.wornOn())), 11, item.wornOn()));
  WriteValueAt(
      console, kValueLeft, 6,
      Enumerated(ArmourTypeText(item.armourType()), 25, static_cast<int16_t>(item.armourType())));
  WriteValueAt(
      console, kValueRight, 6,
      Enumerated(WeaponTypeText(item.weaponType()), 11, static_cast<int16_t>(item.weaponType())));
  WriteValueAt(
      console, kValueLeft, 7,
      Enumerated(MaterialTypeText(item.material()), 25, static_cast<int8_t>(item.material())));
  WriteValueAt(console, kValueRight, 7, std::to_string(item.loreDifficulty()));
  WriteValueAt(console, kValueLeft, 8, std::to_string(item.weight()));
  WriteValueAt(console, kValueRight, 8, std::to_string(item.uses()));
  WriteValueAt(console, kValueLeft, 9,
               Format("%d %s", item.cost(), CurrencyTypeText(item.costCurrency()).c_str()));
  WriteValueAt(console, kValueRight, 9, std::to_string(item.energyMod()));
  WriteValueAt(console, kValueLeft, 10, std::to_string(item.minHit()));
  WriteValueAt(console, kValueRight, 10, std::to_string(item.maxHit()));
  WriteValueAt(console, kValueLeft, 11, std::to_string(item.speed()));
  WriteValueAt(console, kValueRight, 11, std::to_string(item.accuracy()));
  WriteValueAt(console, kValueLeft, 12, std::to_string(item.requiredStrength()));
  WriteValueAt(console, kValueRight, 12, ArmourText(item.armourClass(), item.damageReduction()));

  WriteColourClipped(
      console, kValueLeft, 13,
      Flag("PoofOnDeath", item.poofOnDeath() != 0) + Flag("CanGet", item.gettable() != 0) +
          Flag("CanDrop", item.notDroppable() == 0) + Flag("CanRob", item.robbable() != 0) +
          Flag("KeepOnLastUse", item.keepOnLastUse() != 0));

  WriteValueAt(console, kValueLeft, 15, std::to_string(item.hitMessage()));
  WriteValueAt(console, kValueRight, 15, std::to_string(item.missMessage()));
  WriteValueAt(console, kValueLeft, 16, std::to_string(item.readMessage()));
  WriteValueAt(console, kValueRight, 16, std::to_string(item.destructMessage()));

  WriteLines(console, 18, item, &ItemRecord::description, ItemRecord::kDescriptionLines);
  WriteLines(console, 24, item, &ItemRecord::loreDescription, ItemRecord::kLoreDescriptionLines);

  for (size_t i = 0; i < ItemRecord::kAbilitySlots; ++i) {
    WriteColourClipped(console, kValueLeft, 28 + static_cast<int>(i),
                       AbilityRowText(item.abilityNumbers(i), item.abilityValues(i)));
  }
  console.GotoXY(3, 49);
}

void ShowItemExtended(Console& console, std::span<const uint8_t> record) {
  const ItemRecord item = ItemOf(record);
  PaintDetailScreen(console, screens::kItemExtended);

  WriteNameRows(console, item);
  constexpr int kNameColumn = 25;
  for (size_t i = 0; i < 10; ++i) {
    const int row = static_cast<int>(i);
    WriteValueAt(console, kValueLeft, 5 + row, std::to_string(item.classes(i)));
    WriteValueAt(console, kNameColumn, 5 + row,
                 Format("%-30.30s", ClassName(item.classes(i)).c_str()));
    WriteValueAt(console, kValueLeft, 15 + row, std::to_string(item.races(i)));
    WriteValueAt(console, kNameColumn, 15 + row,
                 Format("%-30.30s", RaceName(item.races(i)).c_str()));
    WriteValueAt(console, kValueLeft, 26 + row, std::to_string(item.negateSpells(i)));
    WriteValueAt(console, kNameColumn, 26 + row, SpellName(item.negateSpells(i)));
  }
  WriteValueAt(console, kValueLeft, 37, std::to_string(item.runic()));
  WriteValueAt(console, 41, 37, std::to_string(item.platinum()));
  WriteValueAt(console, kValueRight, 37, std::to_string(item.gold()));
  WriteValueAt(console, kValueLeft, 38, std::to_string(item.silver()));
  WriteValueAt(console, 41, 38, std::to_string(item.copper()));
  console.GotoXY(3, 49);
}

}  // namespace torvex
