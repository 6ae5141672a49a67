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

constexpr int kLeft = 18;
constexpr int kRight = 64;

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

std::string Number(int64_t n) {
  return std::to_string(n);
}

// An enumerated field: its word padded or cut to 27 columns, then the code as
// the field holds it (signed, like the word's fallback).
std::string Enumerated(const std::string& text, uint16_t code) {
  return Format("%-27.27s(%s)", text.c_str(), Number(static_cast<int16_t>(code)).c_str());
}

template <typename Record>
void WriteAbilityRows(Console& console, const Record& record, int firstRow) {
  for (size_t i = 0; i < Record::kAbilitySlots; ++i) {
    WriteColourClipped(console, kLeft, firstRow + static_cast<int>(i),
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
  console.SetTextAttr(7);
  PaintScreenImage(console, screens::kRaceBrowser.data, screens::kRaceBrowser.size);

  WriteValueAt(console, kLeft, 2, Number(race.number()));
  WriteValueAt(console, kLeft, 3, race.name());
  WriteValueAt(console, kRight, 3, Number(race.expPercent()));
  WriteValueAt(console, kLeft, 4, Number(race.hpBonus()));
  WriteValueAt(console, kRight, 4, Number(race.startCP()));
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
    WriteValueAt(console, kLeft, s.row, Number(s.left));
    WriteValueAt(console, kRight, s.row, Number(s.right));
  }
  WriteAbilityRows(console, race, 14);
  console.GotoXY(3, 49);
}

void ShowClassDetail(Console& console, std::span<const uint8_t> record) {
  const ClassRecord cls(record);
  console.SetTextAttr(7);
  PaintScreenImage(console, screens::kClassBrowser.data, screens::kClassBrowser.size);

  WriteValueAt(console, kLeft, 2, Number(cls.number()));
  WriteValueAt(console, kLeft, 3, cls.name());
  WriteValueAt(console, kRight, 3, Number(cls.expPercent()));
  WriteValueAt(console, kLeft, 5, Number(cls.minHP()));
  WriteValueAt(console, kRight, 5, Number(int64_t{cls.minHP()} + cls.hpRange()));
  WriteValueAt(console, kLeft, 6, Enumerated(WeaponTypeText(cls.weaponType()), cls.weaponType()));
  WriteValueAt(console, kLeft, 7, Enumerated(ArmourTypeText(cls.armourType()), cls.armourType()));
  WriteValueAt(console, kLeft, 8,
               Format("%s-%d", MagicTypeText(cls.magicType()).c_str(), cls.magicLevel()));
  WriteValueAt(console, kRight, 8, Number(cls.combat()));
  WriteValueAt(console, kLeft, 9, Number(cls.titles()));
  WriteAbilityRows(console, cls, 11);
  console.GotoXY(3, 49);
}

}  // namespace torvex
