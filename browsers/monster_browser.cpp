#include "browsers/monster_browser.h"

#include <string>
#include <vector>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "console/people_text.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "database/records/records.h"
#include "screens/screens.h"
#include "search/ability_search.h"
#include "simulators/monster_simulator.h"

namespace torvex {
namespace {

// The colour of the labels the attack blocks write over the screen's own.
constexpr int kLabelColour = 1;

constexpr char kHelpText[] =
    "Use the following keys to navigate the monsters data:\r\n\r\n"
    "  >    Move to next logical monster\r\n"
    "  <    Move to previous logical monster\r\n"
    "  }    Move to next physical monster\r\n"
    "  {    Move to previous physical monster\r\n"
    "  E    Switch to the extended monster viewer\r\n"
    "  F    Move to the first monster\r\n"
    "  L    Move to the last monster\r\n"
    "  G    Go to a specific monster\r\n"
    "  S    Search for a specific monster\r\n"
    "  ^S   Show simulated combat rounds with this monster\r\n"
    "  Q    Exit the monster viewer\r\n\r\n"
    "You can also use ESC and X to quit the viewer.  When you use { and } you must use F, L or "
    "G to reset your navigation method to physical.  You cannot switch from logical to physical "
    "then back to logical navigation.";

constexpr char kExtendedHelpText[] =
    "Use the following keys to navigate the extended monsters data:\r\n\r\n"
    "  >    Move to next logical monster\r\n"
    "  <    Move to previous logical monster\r\n"
    "  }    Move to next physical monster\r\n"
    "  {    Move to previous physical monster\r\n"
    "  F    Move to the first monster\r\n"
    "  L    Move to the last monster\r\n"
    "  G    Go to a specific monster\r\n"
    "  S    Search for a specific monster\r\n"
    "  Q    Exit the extended monster viewer\r\n\r\n"
    "You can also use ESC and X to quit the extended viewer.  When you use { and } you must use "
    "F, L or G to reset your navigation method to physical.  You cannot switch from logical to "
    "physical then back to logical navigation.";

MonsterRecord MonsterOf(std::span<const uint8_t> bytes) {
  return MonsterRecord(bytes);
}

// The experience a kill is worth. Both factors are 32-bit, so the product is
// taken in 64 bits: in 32 it would wrap for large monsters.
uint64_t Experience(const MonsterRecord& monster) {
  const uint64_t exp = monster.exp();
  return monster.expMultiplier() > 0 ? exp * monster.expMultiplier() : exp;
}

// An item slot: its name padded or cut to 22 columns, then "(number)" right
// aligned in 8.
std::string ItemField(uint32_t item) {
  return Format("%-22.22s%8.8s", ItemName(item).c_str(),
                ("(" + std::to_string(item) + ")").c_str());
}

void WriteLabel(Console& console, int column, int row, const char* text) {
  WriteColourClipped(console, column, row, Format("|%02d%s", kLabelColour, text));
}

void WriteDashes(Console& console, int column, int row) {
  WriteColourClipped(console, column, row, "|07---");
}

// Rows 2 to 5, the same on both screens.
void WriteHeaderRows(Console& console, const MonsterRecord& monster) {
  WriteValueAt(console, kValueLeft, 2, std::to_string(monster.number()));
  WriteValueAt(console, kValueLeft, 3, monster.name());
  WriteValueAt(console, kValueRight, 3, std::to_string(Experience(monster)));
  WriteValueAt(console, kValueLeft, 4,
               Format("%d/%d", monster.armourClass(), monster.damageReduction()));
  WriteValueAt(console, kValueRight, 4, std::to_string(monster.magicResistance()));
  WriteValueAt(console, kValueLeft, 5, std::to_string(monster.hitPoints()));
  WriteValueAt(console, kValueRight, 5, std::to_string(monster.hpRegen()));
}

void WriteDrops(Console& console, const MonsterRecord& monster) {
  for (size_t i = 0; i < 10; ++i) {
    const int row = 19 + static_cast<int>(i);
    const uint32_t item = monster.dropItems(i);
    WriteValueAt(console, kValueLeft, row, std::to_string(item));
    if (item != 0) WriteValueAt(console, 32, row, Format("%-26.26s", ItemName(item).c_str()));
    WriteColourClipped(console, 61, row,
                       Format("%3.3s", std::to_string(monster.dropPercent(i)).c_str()) + "|07%");
    WriteColourClipped(console, 68, row,
                       "|15" + Format("%6.6s", std::to_string(monster.dropUses(i)).c_str()));
  }
}

// The spell name of a non-zero number padded or cut to `width`, at `column`.
void WriteSpellName(Console& console, int column, int row, uint32_t spell, int width) {
  if (spell == 0) return;
  WriteValueAt(console, column, row, Format("%-*.*s", width, width, SpellName(spell).c_str()));
}

// One attack block of the extended screen, on rows `row` to `row` + 5.
//
// A rob attack's accuracy field holds its accuracy, as an ordinary attack's
// does, so it is labelled and shown that way (never looked up as a spell). A
// type outside the table shows the field's raw value under "Value" and its
// other numbers plainly, without reading meaning into any of them.
void WriteAttack(Console& console, const MonsterRecord& monster, size_t k, int row) {
  const uint8_t type = monster.attackType(k);
  const uint16_t accuracy = monster.attackAccuracy(k);
  const uint32_t messages[3] = {monster.attackHitMessage(k), monster.attackMissMessage(k),
                                monster.attackDodgeMessage(k)};
  const uint16_t hitSpell = monster.attackHitSpell(k);

  if (type == static_cast<uint8_t>(AttackKind::kNone)) {
    WriteColourClipped(console, 25, row, "|07None");
    WriteDashes(console, 40, row);
    WriteDashes(console, 48, row);
    for (int column : {19, 37, 56, 73}) WriteDashes(console, column, row + 1);
    for (int line = 2; line <= 5; ++line) WriteDashes(console, 19, row + line);
    return;
  }

  if (type == static_cast<uint8_t>(AttackKind::kSpell)) {
    WriteColourClipped(console, 25, row, "|11Spell");
    WriteValueAt(console, 40, row, std::to_string(accuracy));
    WriteSpellName(console, 48, row, accuracy, 30);
    WriteLabel(console, 7, row + 1, "Cast % ");
    WriteLabel(console, 27, row + 1, "Cast Lvl");
  } else {
    if (type == static_cast<uint8_t>(AttackKind::kAttack)) {
      WriteColourClipped(console, 25, row, "|12Att");
    } else if (type == static_cast<uint8_t>(AttackKind::kRob)) {
      WriteColourClipped(console, 25, row, "|14Rob");
    } else {
      WriteValueAt(console, 25, row, std::to_string(type));
    }
    const bool known = type <= static_cast<uint8_t>(AttackKind::kRob);
    WriteLabel(console, 32, row, known ? "Accu " : "Value");
    WriteValueAt(console, 40, row, std::to_string(accuracy));
    WriteDashes(console, 48, row);
  }
  WriteValueAt(console, 19, row + 1, std::to_string(monster.attackMinHit(k)));
  WriteValueAt(console, 37, row + 1, std::to_string(monster.attackMaxHit(k)));
  WriteValueAt(console, 56, row + 1, std::to_string(monster.attackPercent(k)));
  WriteValueAt(console, 73, row + 1, std::to_string(monster.attackEnergy(k)));

  if (type == static_cast<uint8_t>(AttackKind::kSpell)) {
    for (int line = 2; line <= 4; ++line) {
      WriteDashes(console, 19, row + line);
      WriteDashes(console, 34, row + line);
    }
    WriteDashes(console, 19, row + 5);
    WriteDashes(console, 27, row + 5);
    return;
  }

  for (int line = 0; line < 3; ++line) {
    const uint32_t message = messages[line];
    if (type != static_cast<uint8_t>(AttackKind::kAttack)) {
      WriteValueAt(console, 19, row + 2 + line, std::to_string(message));
      continue;
    }
    WriteValueAt(console, 19, row + 2 + line, Format("%-5.5s", std::to_string(message).c_str()));
    MessageRecord text;
    if (message != 0 && GetMessage(message, text) == 0) {
      WriteValueAt(console, 27, row + 2 + line, Format("%-51.51s", text.line1().c_str()));
    }
  }
  WriteValueAt(console, 19, row + 5, std::to_string(hitSpell));
  WriteSpellName(console, 27, row + 5, hitSpell, 30);
}

void RunMonsterSimulatorFor(BrowserState& state, std::span<const uint8_t> record) {
  RunMonsterSimulator(state.console, MonsterOf(record), ProgramRandom());
}

SearchOption NameSearch() {
  return TextSearchOption("Search for Name", kTextSearchPrompt, [](std::span<const uint8_t> r) {
    return std::vector<std::string>{MonsterOf(r).name()};
  });
}

SearchOption DroppedItemSearch() {
  return NumberSearchOption("Search for Dropped Item", "Enter item number to search for:",
                            "No records matching your item query, \"%d\", were found.",
                            [](std::span<const uint8_t> r, int32_t item) {
                              const MonsterRecord monster = MonsterOf(r);
                              for (size_t i = 0; i < 10; ++i) {
                                if (monster.dropItems(i) == static_cast<uint32_t>(item))
                                  return true;
                              }
                              return false;
                            });
}

SearchOption AbilitySearch() {
  return {"Search for Ability Value", AskAbilitySearch<MonsterRecord>, ""};
}

SearchOption GreetTextSearch() {
  return NumberSearchOption("Search for Greet Text", "Enter greet text block number to search for:",
                            "No records matching your greet text block query, \"%d\", were found.",
                            [](std::span<const uint8_t> r, int32_t block) {
                              return MonsterOf(r).greetText() == static_cast<uint32_t>(block);
                            });
}

std::string MonsterTitle(std::string_view kindWord, std::span<const uint8_t> record) {
  const MonsterRecord monster = MonsterOf(record);
  return NamedRecordTitle(kindWord, monster.name(), static_cast<int32_t>(monster.number()));
}

BrowserDescription CommonMonsterDescription() {
  BrowserDescription d(kMonsterFile);
  d.searchTitle = "Search Monsters";
  d.helpTitle = "Monsters Help";
  d.jumpTitle = "Goto Monster";
  d.jumpPrompt = "Enter a monster number to jump to:";
  d.searches = {NameSearch(), DroppedItemSearch(), AbilitySearch(), GreetTextSearch()};
  return d;
}

BrowserDescription MakeExtendedDescription() {
  BrowserDescription d = CommonMonsterDescription();
  d.kindWord = "MonsterEx";
  d.helpText = kExtendedHelpText;
  d.showDetail = [](BrowserState& s) { ShowMonsterExtended(s.console, s.Record()); };
  d.windowTitle = [](std::span<const uint8_t> r) { return MonsterTitle("MonsterEx", r); };
  return d;
}

BrowserDescription MakeMainDescription() {
  BrowserDescription d = CommonMonsterDescription();
  d.kindWord = "Monster";
  d.helpText = kHelpText;
  d.showDetail = [](BrowserState& s) { ShowMonsterDetail(s.console, s.Record()); };
  d.windowTitle = [](std::span<const uint8_t> r) { return MonsterTitle("Monster", r); };
  d.extendedViewer = [](BrowserState& s) { RunKeyLoop(s, MonsterExtendedDescription()); };
  d.simulator = RunMonsterSimulatorFor;
  d.rawDumpName = [](std::span<const uint8_t> r) {
    return Format("rawknmsr%s-%d.bin", kRawDumpEdition, static_cast<int32_t>(RecordNumberAt0(r)));
  };
  d.macros = MacroKind::kMonster;
  return d;
}

}  // namespace

const BrowserDescription& MonsterBrowserDescription() {
  static const BrowserDescription description = MakeMainDescription();
  return description;
}

const BrowserDescription& MonsterExtendedDescription() {
  static const BrowserDescription description = MakeExtendedDescription();
  return description;
}

void RunMonsterBrowser(Console& console) {
  RunBrowser(console, MonsterBrowserDescription());
}

void ShowMonsterDetail(Console& console, std::span<const uint8_t> record) {
  const MonsterRecord monster = MonsterOf(record);
  PaintDetailScreen(console, screens::kMonsterBrowser);

  WriteHeaderRows(console, monster);
  WriteValueAt(console, kValueLeft, 6, std::to_string(monster.charmLevel()));
  WriteValueAt(console, kValueRight, 6, std::to_string(monster.charmResistance()));
  WriteValueAt(console, kValueLeft, 7, std::to_string(monster.group()));
  WriteValueAt(console, 32, 7, std::to_string(monster.groupIndex()));
  WriteValueAt(console, 47, 7, std::to_string(monster.allyGroup()));
  WriteValueAt(console, kValueRight, 7, std::to_string(monster.backstabDefense()));

  WriteValueAt(console, kValueLeft, 9, std::to_string(monster.followPercent()));
  WriteValueAt(console, kValueRight, 9, MovementTypeText(monster.movementType()));
  WriteValueAt(console, kValueLeft, 10, Format("%d hours", monster.regenTime()));
  WriteValueAt(console, kValueRight, 10, std::to_string(monster.maxFollow()));
  const uint16_t alignment = monster.alignment();
  WriteColourClipped(console, kValueLeft, 11,
                     AlignmentColourCode(alignment) + AlignmentTypeText(alignment));
  console.TextColor(kValueColour);
  WriteValueAt(console, kValueRight, 11, std::to_string(monster.energy()));
  WriteValueAt(console, kValueLeft, 12, ItemField(monster.weaponItem()));
  WriteValueAt(console, kValueRight, 12, MonsterGenderText(monster.gender()));
  WriteValueAt(console, kValueLeft, 13, ItemField(monster.armourItem()));
  WriteValueAt(console, kValueRight, 13, YesNo(monster.undead()));

  WriteValueAt(console, kValueLeft, 15, std::to_string(monster.moveMessage()));
  WriteValueAt(console, kValueRight, 15, std::to_string(monster.deathMessage()));
  WriteValueAt(console, kValueLeft, 16, std::to_string(monster.greetText()));
  WriteValueAt(console, kValueRight, 16, std::to_string(monster.descText()));
  WriteValueAt(console, kValueLeft, 17, std::to_string(monster.talkText()));

  WriteDrops(console, monster);
  WriteValueAt(console, 27, 29, std::to_string(monster.runic()));
  WriteValueAt(console, 50, 29, std::to_string(monster.platinum()));
  WriteValueAt(console, 69, 29, std::to_string(monster.gold()));
  WriteValueAt(console, 27, 30, std::to_string(monster.silver()));
  WriteValueAt(console, 50, 30, std::to_string(monster.copper()));

  for (size_t i = 0; i < 4; ++i) {
    WriteValueAt(console, 3, 33 + static_cast<int>(i), monster.description(i));
  }
  for (size_t i = 0; i < MonsterRecord::kAbilitySlots; ++i) {
    WriteColourClipped(console, kValueLeft, 38 + static_cast<int>(i),
                       AbilityRowText(monster.abilityNumbers(i), monster.abilityValues(i)));
  }
  console.GotoXY(3, 49);
}

void ShowMonsterExtended(Console& console, std::span<const uint8_t> record) {
  const MonsterRecord monster = MonsterOf(record);
  PaintDetailScreen(console, screens::kMonsterExtended);

  WriteHeaderRows(console, monster);
  WriteValueAt(console, 32, 5, std::to_string(monster.limit()));
  WriteValueAt(console, 47, 5, std::to_string(monster.active()));
  WriteValueAt(console, kValueLeft, 6, std::to_string(monster.createSpell()));
  WriteSpellName(console, 25, 6, monster.createSpell(), 22);
  WriteValueAt(console, kValueLeft, 7, std::to_string(monster.deathSpell()));
  WriteSpellName(console, 25, 7, monster.deathSpell(), 22);
  WriteValueAt(console, kValueRight, 6, DateText(monster.lastKilledDate()));
  WriteValueAt(console, kValueRight, 7, TimeText(monster.lastKilledTime()));

  for (size_t k = 0; k < MonsterRecord::kAttacks; ++k) {
    WriteAttack(console, monster, k, 9 + 6 * static_cast<int>(k));
  }
  for (size_t i = 0; i < 5; ++i) {
    const int row = 40 + static_cast<int>(i);
    WriteValueAt(console, kValueLeft, row, std::to_string(monster.spells(i)));
    WriteSpellName(console, 25, row, monster.spells(i), 30);
    WriteValueAt(console, 58, row, std::to_string(monster.spellPercent(i)));
    WriteValueAt(console, 74, row, std::to_string(monster.spellCastLevel(i)));
  }
  console.GotoXY(3, 49);
}

}  // namespace torvex
