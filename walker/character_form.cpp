#include "walker/character_form.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "console/colour_text.h"
#include "console/form.h"
#include "console/format.h"
#include "console/text_values.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "database/records/tables.h"
#include "screens/screens.h"

namespace torvex {

namespace {

constexpr auto kTrainingShopType = static_cast<uint16_t>(ShopType::kTraining);

constexpr int kNameColumn = 20;
constexpr int kNameWidth = 18;
constexpr int kFirstNameRow = 4;
constexpr int kRaceRow = 6;
constexpr int kStatRangeColumn = 20;
constexpr int kStatColumn = 34;
constexpr int kStatWidth = 4;
constexpr int kFirstStatRow = 9;
constexpr int kLookColumn = 22;
constexpr int kLookWidth = 15;
constexpr int kFirstLookRow = 16;
constexpr int kButtonColumn = 14;
constexpr int kButtonRow = 20;
constexpr int kPointsColumn = 65;
constexpr int kPointsRow = 13;

constexpr const char* kSave = "SAVE";
constexpr const char* kEdit = "EDIT";
constexpr const char* kQuit = "QUIT";

constexpr const char* kStatNames[] = {"Strength", "Intellect", "Willpower",
                                      "Agility",  "Health",    "Charm"};

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsStatField(int field) {
  return field >= kFieldStrength && field <= kFieldCharm;
}

// The character's six stats in form order.
std::array<int32_t*, 6> Stats(WalkerCharacter& c) {
  return {&c.strength, &c.intellect, &c.willpower, &c.agility, &c.health, &c.charm};
}

std::array<int32_t, 6> StatValues(const WalkerCharacter& c) {
  return {c.strength, c.intellect, c.willpower, c.agility, c.health, c.charm};
}

std::array<int32_t, 6> BaseStats(const RaceRecord& race) {
  return {race.baseStrength(), race.baseIntellect(), race.baseWillpower(),
          race.baseAgility(),  race.baseHealth(),    race.baseCharm()};
}

std::array<int32_t, 6> MaximumStats(const RaceRecord& race) {
  return {race.maxStrength(), race.maxIntellect(), race.maxWillpower(),
          race.maxAgility(),  race.maxHealth(),    race.maxCharm()};
}

template <size_t N>
std::vector<std::string> ListTexts(const std::array<std::string_view, N>& list) {
  return std::vector<std::string>(list.begin(), list.end());
}

template <size_t N>
std::string ListText(const std::array<std::string_view, N>& list, uint8_t index) {
  return std::string(list[index < N ? index : 0]);
}

// The position of `text` in `list`, or `current` when it is not there.
template <size_t N>
uint8_t ListPosition(const std::array<std::string_view, N>& list, const std::string& text,
                     uint8_t current) {
  const auto found = std::find(list.begin(), list.end(), text);
  return found == list.end() ? current : static_cast<uint8_t>(found - list.begin());
}

void ShowMessage(Console& console, const std::string& text) {
  console.SetTextAttr(0x07);
  console.GotoXY(1, kFormMessageRow);
  console.ClrEol();
  if (!text.empty()) WriteColour(console, "|12" + ColourLiteral(text));
}

void PaintSheet(Console& console, const WalkerCharacter& c, const RaceRecord& race,
                const std::string& className) {
  PaintScreenImage(console, screens::kCharacter.data, screens::kCharacter.size);
  auto field = [&](int column, int row, const char* format, const std::string& text) {
    WriteColourAt(console, column, row, "|15" + ColourLiteral(Format(format, text.c_str())));
  };
  field(kNameColumn, kFirstNameRow, "%-18.18s", c.firstName);
  field(kNameColumn, kFirstNameRow + 1, "%-18.18s", c.lastName);
  WriteColourAt(console, kNameColumn, kRaceRow, Format("|15%-18.18s", race.name().c_str()));
  WriteColourAt(console, kNameColumn, kRaceRow + 1, Format("|15%-18.18s", className.c_str()));
  const std::array<int32_t, 6> base = BaseStats(race), maximum = MaximumStats(race);
  const std::array<int32_t, 6> stats = StatValues(c);
  for (size_t i = 0; i < stats.size(); ++i) {
    const int row = kFirstStatRow + static_cast<int>(i);
    WriteColourAt(console, kStatRangeColumn, row, Format("|07%4d to %4d", base[i], maximum[i]));
    WriteColourAt(console, kStatColumn, row, Format("|15%4d", stats[i]));
  }
  field(kLookColumn, kFirstLookRow, "%-15.15s", ListText(kHairLengths, c.hairLength));
  field(kLookColumn, kFirstLookRow + 1, "%-15.15s", ListText(kHairColours, c.hairColour));
  field(kLookColumn, kFirstLookRow + 2, "%-15.15s", ListText(kEyeColours, c.eyeColour));
  field(kButtonColumn, kButtonRow, "%-4.4s", kSave);
  WriteColourAt(console, kPointsColumn, kPointsRow, Format("|07%5d", c.characterPoints));
}

std::vector<TInputRecord> SheetFields(const WalkerCharacter& c) {
  std::vector<TInputRecord> fields(kStatFormFields);
  auto text = [&](int index, int column, int row, int width, uint16_t flags, std::string value) {
    TInputRecord& r = fields[static_cast<size_t>(index)];
    r.kind = TInputRecord::kText;
    r.column = column;
    r.row = row;
    r.width = width;
    r.flags = flags;
    r.value = std::move(value);
  };
  auto choice = [&](int index, int column, int row, int width, std::vector<std::string> choices,
                    std::string value) {
    TInputRecord& r = fields[static_cast<size_t>(index)];
    r.kind = TInputRecord::kChoice;
    r.column = column;
    r.row = row;
    r.width = width;
    r.flags = kChoiceRedrawInactive;
    r.choices = std::move(choices);
    r.value = std::move(value);
  };
  text(kFieldFirstName, kNameColumn, kFirstNameRow, kNameWidth, kFormReplace, c.firstName);
  text(kFieldLastName, kNameColumn, kFirstNameRow + 1, kNameWidth, kFormReplace, c.lastName);
  const std::array<int32_t, 6> stats = StatValues(c);
  for (int i = 0; i < 6; ++i) {
    text(kFieldStrength + i, kStatColumn, kFirstStatRow + i, kStatWidth,
         kFormNumeric | kFormRightAlign | kFormReplace,
         std::to_string(stats[static_cast<size_t>(i)]));
  }
  choice(kFieldHairLength, kLookColumn, kFirstLookRow, kLookWidth, ListTexts(kHairLengths),
         ListText(kHairLengths, c.hairLength));
  choice(kFieldHairColour, kLookColumn, kFirstLookRow + 1, kLookWidth, ListTexts(kHairColours),
         ListText(kHairColours, c.hairColour));
  choice(kFieldEyeColour, kLookColumn, kFirstLookRow + 2, kLookWidth, ListTexts(kEyeColours),
         ListText(kEyeColours, c.eyeColour));
  choice(kFieldButtons, kButtonColumn, kButtonRow, 4, {kSave, kEdit, kQuit}, kSave);
  return fields;
}

void StoreSheet(const std::vector<TInputRecord>& fields, const RaceRecord& race,
                WalkerCharacter& c) {
  c.firstName = fields[kFieldFirstName].value;
  c.lastName = fields[kFieldLastName].value;
  const std::array<int32_t, 6> base = BaseStats(race);
  const std::array<int32_t*, 6> stats = Stats(c);
  for (size_t i = 0; i < stats.size(); ++i) {
    const std::optional<int32_t> value = ParseDecimal(fields[kFieldStrength + i].value);
    // A stat that is not a number takes the race's base value.
    *stats[i] = value.value_or(base[i]);
  }
  c.hairLength = ListPosition(kHairLengths, fields[kFieldHairLength].value, c.hairLength);
  c.hairColour = ListPosition(kHairColours, fields[kFieldHairColour].value, c.hairColour);
  c.eyeColour = ListPosition(kEyeColours, fields[kFieldEyeColour].value, c.eyeColour);
}

}  // namespace

bool IsValidName(std::string_view name) {
  if (name.empty()) return true;
  if (!IsLetter(name[0]) && name[0] != '_') return false;
  for (const char c : name.substr(1)) {
    if (!IsLetter(c) && !(c >= '0' && c <= '9') && c != '-' && c != '_') return false;
  }
  return true;
}

std::optional<std::string> StatFormComplaint(int field, std::string_view value) {
  if (field == kFieldFirstName) {
    if (value.empty()) return "You have entered an invalid name!";
    if (!IsValidName(value)) return "Only ALPHA characters are allowed in a name!";
    return std::nullopt;
  }
  if (field == kFieldLastName) {
    if (!IsValidName(value)) return "You have entered an invalid name!";
    return std::nullopt;
  }
  if (IsStatField(field)) {
    const std::optional<int64_t> stat = ParseInteger(value);
    const char* name = kStatNames[field - kFieldStrength];
    if (!stat) return std::nullopt;
    if (*stat < kLowestStat) return Format("%s may not be lower than %d.", name, kLowestStat);
    if (*stat > kHighestStat) return Format("%s may not be higher than %d.", name, kHighestStat);
  }
  return std::nullopt;
}

bool RunStatForm(Console& console, WalkerCharacter& character, const RaceRecord& race,
                 const std::string& className) {
  PaintSheet(console, character, race, className);
  std::vector<TInputRecord> fields = SheetFields(character);
  bool save = false;
  RunForm(console, fields, [&](int index, std::string& value, int code, bool& stop) {
    const std::optional<std::string> complaint = StatFormComplaint(index, value);
    ShowMessage(console, complaint.value_or(""));
    if (complaint) return false;
    // The buttons act on Enter only: Up and Down merely move past them.
    if (index == kFieldButtons && code == kFieldEnter) {
      if (value == kSave) save = stop = true;
      if (value == kQuit) stop = true;
    }
    return true;
  });
  if (save) StoreSheet(fields, race, character);
  console.SetTextAttr(0x07);
  return save;
}

bool TrainStats(Console& console, WalkerSession& session) {
  ShopRecord shop;
  if (GetShop(session.room.shopNumber(), shop) != 0) {
    WriteColourLn(console, "|12You may not train your stats here!");
    return false;
  }
  const uint16_t trainClass = shop.trainClass();
  if (shop.shopType() != kTrainingShopType ||
      (trainClass != 0 && trainClass != session.character.characterClass)) {
    WriteColourLn(console, "|07You may not train your stats here!");
    return false;
  }
  RaceRecord race;
  GetRace(session.character.race, race);
  RunStatForm(console, session.character, race, ClassName(session.character.characterClass));
  console.ClrScr();
  return true;
}

}  // namespace torvex
