#include "walker/character_choice.h"

#include <memory>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/text_values.h"
#include "database/btrieve_layer.h"
#include "database/record_access.h"
#include "platform/btrieve/btrieve.h"
#include "simulators/simulator_screen.h"
#include "walker/character_form.h"
#include "walker/holdings.h"

namespace torvex {

namespace {

// Files keyed by a 16-bit number hold no more records than this.
constexpr size_t kMaxListed = 65536;

template <typename Record>
std::vector<ListedChoice> ListFile(std::unique_ptr<BtrieveFile> file) {
  std::vector<ListedChoice> out;
  if (!file) return out;
  Record record;
  for (bool found = FirstRecord(file.get(), record.data(), Record::kDiskLength);
       found && out.size() < kMaxListed;
       found = NextRecord(file.get(), record.data(), Record::kDiskLength)) {
    out.push_back({record.number(), record.name()});
  }
  uint32_t length = 0;
  BTRCALL(btrieve::op::kClose, file->positionBlock.data(), file->dataBuffer.get(), &length,
          file->keyBuffer.data(), file->keyLength, 0);
  return out;
}

struct ChoiceTexts {
  const char* heading;
  const char* prompt;
  const char* mustChoose;
  const char* mustChooseValid;
  const char* none;
};

const ChoiceTexts& TextsFor(ChoiceKind kind) {
  static const ChoiceTexts kRace{
      "|15Please choose a race from the following list:",
      "|02Please choose your race [ ? for help ] : ", "|02You must choose a race. [ ? for help ]",
      "|02You must choose a valid race. [ ? for help ]", "|12There are no races to choose from!"};
  static const ChoiceTexts kClass{
      "|15Please choose a class from the following list:",
      "|02Please choose your class [ ? for help ] : ", "|15You must choose a class. [ ? for help ]",
      "|15You must choose a valid class. [ ? for help ]",
      "|12There are no classes to choose from!"};
  return kind == ChoiceKind::kRace ? kRace : kClass;
}

void WriteList(Console& console, const ChoiceTexts& texts,
               const std::vector<ListedChoice>& choices) {
  WriteColourLn(console, texts.heading);
  for (const ListedChoice& choice : choices) {
    WriteColourLn(console,
                  Format(choice.number <= 9 ? "|08[|15%u|08]|07  %s" : "|08[|15%u|08]|07 %s",
                         choice.number, choice.name.c_str()));
  }
}

}  // namespace

std::vector<ListedChoice> ListRaces() {
  return ListFile<RaceRecord>(OpenRaceFile());
}

std::vector<ListedChoice> ListClasses() {
  return ListFile<ClassRecord>(OpenClassFile());
}

std::optional<uint32_t> AskChoice(Console& console, ChoiceKind kind,
                                  const std::vector<ListedChoice>& choices) {
  const ChoiceTexts& texts = TextsFor(kind);
  if (choices.empty()) {
    WriteColourLn(console, texts.none);
    return std::nullopt;
  }
  uint32_t highest = 0;
  for (const ListedChoice& choice : choices) highest = std::max(highest, choice.number);
  WriteList(console, texts, choices);
  for (;;) {
    const std::string typed = AskLine(console, texts.prompt);
    const std::string_view answer = TrimmedSpaces(typed);
    if (answer == "?") {
      WriteList(console, texts, choices);
      continue;
    }
    if (answer == "X" || answer == "x") return std::nullopt;
    if (answer.empty()) {
      WriteColourLn(console, texts.mustChoose);
      continue;
    }
    const std::optional<int64_t> number = ParseInteger(answer);
    if (!number || *number < 0) {
      WriteColourLn(console, texts.mustChooseValid);
      continue;
    }
    if (*number == 0) return std::nullopt;
    if (*number > highest) continue;
    // A gap in the numbering is no choice: the record behind it does not exist.
    for (const ListedChoice& choice : choices) {
      if (choice.number == *number) return choice.number;
    }
    WriteColourLn(console, texts.mustChooseValid);
  }
}

bool CreateCharacter(Console& console, WalkerSession& session) {
  const std::optional<uint32_t> race = AskChoice(console, ChoiceKind::kRace, ListRaces());
  if (!race) return false;
  const std::optional<uint32_t> characterClass =
      AskChoice(console, ChoiceKind::kClass, ListClasses());
  if (!characterClass) return false;

  WalkerCharacter& c = session.character;
  c.race = *race;
  c.characterClass = *characterClass;
  c.lives = WalkerCharacter::kMaxLives;

  ClearHoldings(session.holdings);

  RaceRecord record;
  GetRace(c.race, record);
  c.strength = record.baseStrength();
  c.intellect = record.baseIntellect();
  c.willpower = record.baseWillpower();
  c.agility = record.baseAgility();
  c.health = record.baseHealth();
  c.charm = record.baseCharm();
  c.characterPoints = record.startCP();
  RunStatForm(console, c, record, ClassName(c.characterClass));
  c.newCharacter = false;
  return true;
}

}  // namespace torvex
