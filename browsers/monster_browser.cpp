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

namespace torvex {
namespace {

constexpr int kLeft = 18;
constexpr int kRight = 64;
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

std::string Number(int64_t n) {
  return std::to_string(n);
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
  return Format("%-22.22s%8.8s", ItemName(item).c_str(), ("(" + Number(item) + ")").c_str());
}

void WriteLabel(Console& console, int column, int row, const char* text) {
  WriteColourClipped(console, column, row, Format("|%02d%s", kLabelColour, text));
}

void WriteDashes(Console& console, int column, int row) {
  WriteColourClipped(console, column, row, "|07---");
}

// Rows 2 to 5, the same on both screens.
void WriteHeaderRows(Console& console, const MonsterRecord& monster) {
  WriteValueAt(console, kLeft, 2, Number(monster.number()));
  WriteValueAt(console, kLeft, 3, monster.name());
  WriteValueAt(console, kRight, 3, std::to_string(Experience(monster)));
  WriteValueAt(console, kLeft, 4,
               Format("%d/%d", monster.armourClass(), monster.damageReduction()));
  WriteValueAt(console, kRight, 4, Number(monster.magicResistance()));
  WriteValueAt(console, kLeft, 5, Number(monster.hitPoints()));
  WriteValueAt(console, kRight, 5, Number(monster.hpRegen()));
}

void WriteDrops(Console& console, const MonsterRecord& monster) {
  for (size_t i = 0; i < 10; ++i) {
    const int row = 19 + static_cast<int>(i);
    const uint32_t item = monster.dropItems(i);
    WriteValueAt(console, kLeft, row, Number(item));
    if (item != 0) WriteValueAt(console, 32, row, Format("%-26.26s", ItemName(item).c_str()));
    WriteColourClipped(console, 61, row,
                       Format("%3.3s", Number(monster.dropPercent(i)).c_str()) + "|07%");
    WriteColourClipped(console, 68, row,
                       "|15" + Format("%6.6s", Number(monster.dropUses(i)).c_str()));
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
    WriteValueAt(console, 40, row, Number(accuracy));
    WriteSpellName(console, 48, row, accuracy, 30);
    WriteLabel(console, 7, row + 1, "Cast % ");
    WriteLabel(console, 27, row + 1, "Cast Lvl");
  } else {
    if (type == static_cast<uint8_t>(AttackKind::kAttack)) {
      WriteColourClipped(console, 25, row, "|12Att");
    } else if (type == static_cast<uint8_t>(AttackKind::kRob)) {
      WriteColourClipped(console, 25, row, "|14Rob");
    } else {
      WriteValueAt(console, 25, row, Number(type));
    }
    const bool known = type <= static_cast<uint8_t>(AttackKind::kRob);
    WriteLabel(console, 32, row, known ? "Accu " : "Value");
    WriteValueAt(console, 40, row, Number(accuracy));
    WriteDashes(console, 48, row);
  }
  WriteValueAt(console, 19, row + 1, Number(monster.attackMinHit(k)));
  WriteValueAt(console, 37, row + 1, Number(monster.attackMaxHit(k)));
  WriteValueAt(console, 56, row + 1, Number(monster.attackPercent(k)));
  WriteValueAt(console, 73, row + 1, Number(monster.attackEnergy(k)));

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
      WriteValueAt(console, 19, row + 2 + line, Number(message));
      continue;
    }
    WriteValueAt(console, 19, row + 2 + line, Format("%-5.5s", Number(message).c_str()));
    MessageRecord text;
    if (message != 0 && GetMessage(message, text) == 0) {
      WriteValueAt(console, 27, row + 2 + line, Format("%-51.51s", text.line1().c_str()));
    }
  }
  WriteValueAt(console, 19, row + 5, Number(hitSpell));
  WriteSpellName(console, 27, row + 5, hitSpell, 30);
}

// The monster attack simulator's place. Until it is built, Ctrl+S shows the
// monster again.
void RunMonsterSimulatorFor(BrowserState&, std::span<const uint8_t>) {}

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
  console.SetTextAttr(7);
  PaintScreenImage(console, screens::kMonsterBrowser.data, screens::kMonsterBrowser.size);

  WriteHeaderRows(console, monster);
  WriteValueAt(console, kLeft, 6, Number(monster.charmLevel()));
  WriteValueAt(console, kRight, 6, Number(monster.charmResistance()));
  WriteValueAt(console, kLeft, 7, Number(monster.group()));
  WriteValueAt(console, 32, 7, Number(monster.groupIndex()));
  WriteValueAt(console, 47, 7, Number(monster.allyGroup()));
  WriteValueAt(console, kRight, 7, Number(monster.backstabDefense()));

  WriteValueAt(console, kLeft, 9, Number(monster.followPercent()));
  WriteValueAt(console, kRight, 9, MovementTypeText(monster.movementType()));
  WriteValueAt(console, kLeft, 10, Format("%d hours", monster.regenTime()));
  WriteValueAt(console, kRight, 10, Number(monster.maxFollow()));
  const uint16_t alignment = monster.alignment();
  WriteColourClipped(console, kLeft, 11,
                     AlignmentColourCode(alignment) + AlignmentTypeText(alignment));
  console.TextColor(kValueColour);
  WriteValueAt(console, kRight, 11, Number(monster.energy()));
  WriteValueAt(console, kLeft, 12, ItemField(monster.weaponItem()));
  WriteValueAt(console, kRight, 12, MonsterGenderText(monster.gender()));
  WriteValueAt(console, kLeft, 13, ItemField(monster.armourItem()));
  WriteValueAt(console, kRight, 13, YesNo(monster.undead()));

  WriteValueAt(console, kLeft, 15, Number(monster.moveMessage()));
  WriteValueAt(console, kRight, 15, Number(monster.deathMessage()));
  WriteValueAt(console, kLeft, 16, Number(monster.greetText()));
  WriteValueAt(console, kRight, 16, Number(monster.descText()));
  WriteValueAt(console, kLeft, 17, Number(monster.talkText()));

  WriteDrops(console, monster);
  WriteValueAt(console, 27, 29, Number(monster.runic()));
  WriteValueAt(console, 50, 29, Number(monster.platinum()));
  WriteValueAt(console, 69, 29, Number(monster.gold()));
  WriteValueAt(console, 27, 30, Number(monster.silver()));
  WriteValueAt(console, 50, 30, Number(monster.copper()));

  for (size_t i = 0; i < 4; ++i) {
    WriteValueAt(console, 3, 33 + static_cast<int>(i), monster.description(i));
  }
  for (size_t i = 0; i < MonsterRecord::kAbilitySlots; ++i) {
    WriteColourClipped(console, kLeft, 38 + static_cast<int>(i),
                       AbilityRowText(monster.abilityNumbers(i), monster.abilityValues(i)));
  }
  console.GotoXY(3, 49);
}

void ShowMonsterExtended(Console& console, std::span<const uint8_t> record) {
  const MonsterRecord monster = MonsterOf(record);
  console.SetTextAttr(7);
  PaintScreenImage(console, screens::kMonsterExtended.data, screens::kMonsterExtended.size);

  WriteHeaderRows(console, monster);
  WriteValueAt(console, 32, 5, Number(monster.limit()));
  WriteValueAt(console, 47, 5, Number(monster.active()));
  WriteValueAt(console, kLeft, 6, Number(monster.createSpell()));
  WriteSpellName(console, 25, 6, monster.createSpell(), 22);
  WriteValueAt(console, kLeft, 7, Number(monster.deathSpell()));
  WriteSpellName(console, 25, 7, monster.deathSpell(), 22);
  WriteValueAt(console, kRight, 6, DateText(monster.lastKilledDate()));
  WriteValueAt(console, kRight, 7, TimeText(monster.lastKilledTime()));

  for (size_t k = 0; k < MonsterRecord::kAttacks; ++k) {
    WriteAttack(console, monster, k, 9 + 6 * static_cast<int>(k));
  }
  for (size_t i = 0; i < 5; ++i) {
    const int row = 40 + static_cast<int>(i);
    WriteValueAt(console, kLeft, row, Number(monster.spells(i)));
    WriteSpellName(console, 25, row, monster.spells(i), 30);
    WriteValueAt(console, 58, row, Number(monster.spellPercent(i)));
    WriteValueAt(console, 74, row, Number(monster.spellCastLevel(i)));
  }
  console.GotoXY(3, 49);
}

}  // namespace torvex
