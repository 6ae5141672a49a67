#include "browsers/race_class_browser.h"

#include <string>
#include <vector>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "database/records/enumerations.h"
#include "database/records/records.h"
#include "screens/screens.h"

namespace torvex {
namespace {

// The two browsers' help differs only in the word for the records.
std::string HelpText(const std::string& plural, const std::string& singular) {
  return "Use the following keys to navigate the " + plural + " data:\r\n\r\n" +
         "  >    Move to next logical " + singular + "\r\n" + "  <    Move to previous logical " +
         singular + "\r\n" + "  }    Move to next physical " + singular + "\r\n" +
         "  {    Move to previous physical " + singular + "\r\n" + "  F    Move to the first " +
         singular + "\r\n" + "  L    Move to the last " + singular + "\r\n" +
         "  G    Go to a specific " + singular + "\r\n" + "  S    Search for a specific " +
         singular + "\r\n" + "  Q    Exit the " + singular + " viewer\r\n\r\n" +
         "You can also use ESC and X to quit the viewer.  When you use { and } you must use F, L "
         "or G to reset your navigation method to physical.  You cannot switch from logical to "
         "physical then back to logical navigation.";
}

// An enumerated field: its word padded or cut to 27 columns, then the code as
// the field holds it (signed, like the word's fallback).
std::string Enumerated(const std::string& text, uint16_t code) {
  return Format("%-27.27s(%s)", text.c_str(), std::to_string(static_cast<int16_t>(code)).c_str());
}

template <typename Record>
void WriteAbilityRows(Console& console, const Record& record, int firstRow) {
  for (size_t i = 0; i < Record::kAbilitySlots; ++i) {
    WriteColourClipped(console, kValueLeft, firstRow + static_cast<int>(i),
                       AbilityRowText(record.abilityNumbers(i), record.abilityValues(i)));
  }
}

// What tells the two browsers apart, besides their record and screen.
struct Kind {
  DatabaseFile file;
  const char* word;         // "Race": the title's kind word
  const char* Plural;       // "Races": window titles
  const char* plural;       // "races"
  const char* singular;     // "race"
  const char* rawDumpStem;  // "rawrace": the raw dump is "rawrace"
  MacroKind macros;
};

// The name search without a list, 16-bit record numbers, the title, the raw
// dump and the macros.
template <typename Record>
BrowserDescription MakeDescription(const Kind& kind,
                                   void (*show)(Console&, std::span<const uint8_t>)) {
  BrowserDescription d(kind.file);
  d.kindWord = kind.word;
  d.helpTitle = std::string(kind.Plural) + " Help";
  d.helpText = HelpText(kind.plural, kind.singular);
  d.searchTitle = std::string("Search ") + kind.Plural;
  d.jumpTitle = std::string("Goto ") + kind.word;
  d.jumpPrompt = std::string("Enter a ") + kind.singular + " number to jump to:";
  d.showDetail = [show](BrowserState& s) { show(s.console, s.Record()); };
  d.windowTitle = [word = std::string(kind.word)](std::span<const uint8_t> r) {
    return NamedRecordTitle(word, Record(r).name(), RecordNumber16At0(r));
  };
  d.key = Number16Key();
  SearchOption byName = TextSearchOption(
      "Search for Name", kTextSearchPrompt,
      [](std::span<const uint8_t> r) { return std::vector<std::string>{Record(r).name()}; });
  byName.promptTitle = d.searchTitle;
  d.searches = {byName};
  d.searchWithoutList = true;
  d.rawDumpName = [stem = kind.rawDumpStem](std::span<const uint8_t> r) {
    return Format("%s%s-%d.bin", stem, kRawDumpEdition, RecordNumber16At0(r));
  };
  d.macros = kind.macros;
  return d;
}

}  // namespace

const BrowserDescription& RaceBrowserDescription() {
  static const BrowserDescription description = MakeDescription<RaceRecord>(
      {kRaceFile, "Race", "Races", "races", "race", "rawrace", MacroKind::kRace}, ShowRaceDetail);
  return description;
}

const BrowserDescription& ClassBrowserDescription() {
  static const BrowserDescription description = MakeDescription<ClassRecord>(
      {kClassFile, "Class", "Classes", "classes", "class", "rawclass", MacroKind::kClass},
      ShowClassDetail);
  return description;
}

void RunRaceBrowser(Console& console) {
  RunBrowser(console, RaceBrowserDescription());
}

void RunClassBrowser(Console& console) {
  RunBrowser(console, ClassBrowserDescription());
}

void ShowRaceDetail(Console& console, std::span<const uint8_t> record) {
  const RaceRecord race(record);
  PaintDetailScreen(console, screens::kRaceBrowser);

  WriteValueAt(console, kValueLeft, 2, std::to_string(race.number()));
  WriteValueAt(console, kValueLeft, 3, race.name());
  WriteValueAt(console, kValueRight, 3, std::to_string(race.expPercent()));
  WriteValueAt(console, kValueLeft, 4, std::to_string(race.hpBonus()));
  WriteValueAt(console, kValueRight, 4, std::to_string(race.startCP()));
  // Base statistics on rows 6 to 8, maxima on rows 10 to 12.
  const struct {
    int row;
    uint16_t left, right;
  } stats[] = {
      {6, race.baseStrength(), race.baseAgility()}, {7, race.baseIntellect(), race.baseHealth()},
      {8, race.baseWillpower(), race.baseCharm()},  {10, race.maxStrength(), race.maxAgility()},
      {11, race.maxIntellect(), race.maxHealth()},  {12, race.maxWillpower(), race.maxCharm()},
  };
  for (const auto& s : stats) {
    WriteValueAt(console, kValueLeft, s.row, std::to_string(s.left));
    WriteValueAt(console, kValueRight, s.row, std::to_string(s.right));
  }
  WriteAbilityRows(console, race, 14);
  console.GotoXY(3, 49);
}

void ShowClassDetail(Console& console, std::span<const uint8_t> record) {
  const ClassRecord cls(record);
  PaintDetailScreen(console, screens::kClassBrowser);

  WriteValueAt(console, kValueLeft, 2, std::to_string(cls.number()));
  WriteValueAt(console, kValueLeft, 3, cls.name());
  WriteValueAt(console, kValueRight, 3, std::to_string(cls.expPercent()));
  WriteValueAt(console, kValueLeft, 5, std::to_string(cls.minHP()));
  WriteValueAt(console, kValueRight, 5, std::to_string(int64_t{cls.minHP()} + cls.hpRange()));
  WriteValueAt(console, kValueLeft, 6,
               Enumerated(WeaponTypeText(cls.weaponType()), cls.weaponType()));
  WriteValueAt(console, kValueLeft, 7,
               Enumerated(ArmourTypeText(cls.armourType()), cls.armourType()));
  WriteValueAt(console, kValueLeft, 8,
               Format("%s-%d", MagicTypeText(cls.magicType()).c_str(), cls.magicLevel()));
  WriteValueAt(console, kValueRight, 8, std::to_string(cls.combat()));
  WriteValueAt(console, kValueLeft, 9, std::to_string(cls.titles()));
  WriteAbilityRows(console, cls, 11);
  console.GotoXY(3, 49);
}

}  // namespace torvex
