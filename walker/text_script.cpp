#include "walker/text_script.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "console/ansi_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "console/keys.h"
#include "console/stored_text.h"
#include "console/text_values.h"
#include "database/ability_names.h"
#include "database/record_access.h"
#include "database/records/text_block_text.h"
#include "platform/random.h"
#include "simulators/rules.h"
#include "simulators/simulator_screen.h"
#include "simulators/spell_cast.h"
#include "walker/movement.h"
#include "walker/typed_line.h"

namespace torvex {
namespace {

constexpr char kHitAnyKey[] = "Hit any key to continue...";
constexpr int kShowPageLines = 46;
constexpr int kTalkPageLines = 49;
constexpr int kListPageRows = 45;
constexpr size_t kMaxCommandWords = 8;
constexpr uint32_t kLastPart = std::numeric_limits<uint16_t>::max();

// ---------------------------------------------------------------------------
// The state of the run in progress. A run begins with the outermost call and
// ends when it returns; nested blocks share it. The position in-out pair is
// that of the innermost block, so that a cast's text block moves the run.

struct RunState {
  int depth = 0;
  int64_t commands = 0;
  bool ended = false;
  uint32_t* map = nullptr;
  uint32_t* room = nullptr;
};

RunState* g_run = nullptr;

// One level of block nesting. The first level of a run owns the run state.
class RunLevel {
 public:
  RunLevel(Console& console, uint32_t& map, uint32_t& room) {
    if (g_run == nullptr) {
      owned_.emplace();
      g_run = &*owned_;
    }
    run_ = g_run;
    savedMap_ = run_->map;
    savedRoom_ = run_->room;
    run_->map = &map;
    run_->room = &room;
    if (++run_->depth > kScriptDepthBound && !run_->ended) {
      WriteColourLn(console, NoticeOfBound("Text blocks running other blocks"));
      run_->ended = true;
    }
  }
  ~RunLevel() {
    --run_->depth;
    run_->map = savedMap_;
    run_->room = savedRoom_;
    if (owned_) g_run = nullptr;
  }
  RunLevel(const RunLevel&) = delete;
  RunLevel& operator=(const RunLevel&) = delete;

  RunState& run() { return *run_; }
  bool going() const { return !run_->ended; }

 private:
  std::optional<RunState> owned_;
  RunState* run_ = nullptr;
  uint32_t* savedMap_ = nullptr;
  uint32_t* savedRoom_ = nullptr;
};

bool RunEnded() {
  return g_run != nullptr && g_run->ended;
}

// Ends the run in progress (if any) at the user's request.
void StopRun(Console& console) {
  if (g_run == nullptr || g_run->ended) return;
  g_run->ended = true;
  WriteColourLn(console, kScriptStoppedNotice);
}

TextBlockReader& Reader() {
  static TextBlockReader reader;
  return reader;
}

bool ReadPart(uint32_t block, uint32_t part, TextBlockRecord& record) {
  if (part > kLastPart) return false;
  const uint16_t p = static_cast<uint16_t>(part);
  const TextBlockReader& reader = Reader();
  return (reader ? reader(block, p, record) : GetTextBlock(block, p, record, true)) == 0;
}

// ---------------------------------------------------------------------------
// Text helpers.

struct TextLine {
  std::string_view text;
  bool ended;  // followed by a line feed
};

std::vector<TextLine> SplitLines(std::string_view text) {
  std::vector<TextLine> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      lines.push_back({text.substr(start), false});
      break;
    }
    lines.push_back({text.substr(start, lf - start), true});
    start = lf + 1;
  }
  return lines;
}

// Blanks and control characters at either end go, as the game trims.
std::string_view Trim(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// The text before the first ":" and the text after it ("" when there is none).
std::pair<std::string_view, std::string_view> SplitAtColon(std::string_view line) {
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return {line, {}};
  return {line.substr(0, colon), line.substr(colon + 1)};
}

std::vector<std::string_view> SplitCommands(std::string_view script) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (;;) {
    const size_t colon = script.find(':', start);
    if (colon == std::string_view::npos) {
      pieces.push_back(script.substr(start));
      return pieces;
    }
    pieces.push_back(script.substr(start, colon - start));
    start = colon + 1;
  }
}

// Every "%s" of a talk line becomes the monster's name; nothing else is read
// as a placeholder.
std::string WithName(std::string_view line, const std::string& name) {
  std::string out;
  size_t start = 0;
  for (size_t at = line.find("%s"); at != std::string_view::npos; at = line.find("%s", start)) {
    out.append(line.substr(start, at - start));
    out += name;
    start = at + 2;
  }
  out.append(line.substr(start));
  return out;
}

// How many texts FillStoredText would take from `line`.
int TextPlaceholders(std::string_view line) {
  int count = 0;
  for (size_t i = 0; i + 1 < line.size(); ++i) {
    if (line[i] != '%') continue;
    if (line[i + 1] == 's') ++count;
    if (line[i + 1] == 's' || line[i + 1] == 'd') ++i;
  }
  return count;
}

// A game text between colour codes: the colour-code writer for plain texts,
// the ANSI writer for texts that carry an Esc (a text uses one or the other).
void WriteGameLine(Console& console, std::string_view before, std::string_view text,
                   std::string_view after) {
  if (text.find('\x1b') == std::string_view::npos) {
    WriteColourLn(console, std::string(before) + std::string(text) + std::string(after));
    return;
  }
  WriteColour(console, before);
  WriteAnsi(console, text);
  FinishAnsiDisplay(console);
  WriteColourLn(console, after);
}

// ---------------------------------------------------------------------------
// Waits.

bool IsStopKey(int key) {
  return key == key::kEscape || key == key::kCtrlC;
}

// Waits for any key; false when it was Esc or Ctrl+C. The caller finishes its
// row and then ends the run with StopRun.
bool WaitAnyKey(Console& console, int* pressed = nullptr) {
  const int key = ReadWholeKey(console);
  if (pressed != nullptr) *pressed = key;
  return !IsStopKey(key);
}

// "Hit any key to continue...", erased once a key came. Esc or Ctrl+C end
// the display and the run.
bool PauseDisplay(Console& console) {
  console.Write(kHitAnyKey);
  const bool going = WaitAnyKey(console);
  console.Write("\r" + std::string(26, ' ') + "\r");
  if (!going) StopRun(console);
  return going;
}

// ---------------------------------------------------------------------------
// Showing blocks.

struct Shown {
  bool any = false;       // some part was shown
  uint32_t lastLink = 0;  // the linked block of the last part shown
};

Shown DisplayBlock(Console& console, uint32_t block, uint16_t firstPart, bool allParts,
                   int pageLines, const std::string* name) {
  Shown shown;
  console.SetTextAttr(7);
  int written = 0;
  bool going = true;
  for (uint32_t part = firstPart; going; ++part) {
    TextBlockRecord record;
    if (!ReadPart(block, part, record)) break;
    if (!shown.any) console.TextColor(2);
    shown.any = true;
    shown.lastLink = record.linkTo();
    const std::string text = DecodeTextBlock(record);
    for (const TextLine& line : SplitLines(text)) {
      const std::string out = name != nullptr ? WithName(line.text, *name) : std::string(line.text);
      if (line.ended) {
        WriteAnsiLn(console, out);
      } else {
        WriteAnsi(console, out);
      }
      if (pageLines > 0 && ++written % pageLines == 0 && !PauseDisplay(console)) {
        going = false;
        break;
      }
    }
    if (!allParts) break;
  }
  FinishAnsiDisplay(console);
  console.WriteLn();
  console.SetTextAttr(7);
  return shown;
}

// ---------------------------------------------------------------------------
// Commands.

struct Command {
  Console& console;
  const WalkerSession& session;
  const std::vector<std::string>& words;
  uint32_t& map;
  uint32_t& room;
  const ScriptPosition& position;

  bool LineInfo() const { return session.options.Has(session.options.debugging, kDebugLineInfo); }
  bool ShowErrors() const {
    return session.options.Has(session.options.debugging, kDebugShowErrors);
  }
  int32_t Number(size_t index) const {
    return index < words.size() ? ScriptNumber(words[index]) : 0;
  }
  void Say(const std::string& line) const { WriteColourLn(console, line); }
  void Error(const std::string& reason) const {
    if (ShowErrors()) Say("|12" + reason);
  }
};

using Handler = int (*)(const Command&);

enum class Answer { kYes, kNo, kStopped };

// Writes `question`, waits for Y or N and finishes the question: with line
// information the key is shown on its own line, without it the question is
// erased. Esc or Ctrl+C finish it as N and end the run.
Answer Ask(const Command& c, const std::string& question) {
  WriteColour(c.console, question);
  int key = 0;
  for (;;) {
    key = ReadWholeKey(c.console);
    if (IsStopKey(key)) break;
    const int upper = key::Upper(key);
    if (upper == 'Y' || upper == 'N') break;
  }
  const bool stopped = IsStopKey(key);
  if (c.LineInfo()) {
    WriteColourLn(c.console, std::string("|15") + (stopped ? 'N' : static_cast<char>(key)));
  } else {
    c.console.GotoXY(1, c.console.WhereY());
    c.console.ClrEol();
  }
  if (stopped) {
    StopRun(c.console);
    return Answer::kStopped;
  }
  return key::Upper(key) == 'Y' ? Answer::kYes : Answer::kNo;
}

// Fails, showing the first line of message `number` when there is one.
int FailWith(const Command& c, int32_t number) {
  MessageRecord message;
  if (GetMessage(RecordNumberOf(number), message) == 0 && !message.line1().empty()) {
    WriteGameLine(c.console, "|02", message.line1(), "|07");
  }
  return kScriptFailed;
}

// Questions whose answer N (or Y) fails, showing `message` when one is named.
int FailOnNo(const Command& c, const std::string& question, std::optional<int32_t> message) {
  switch (Ask(c, question)) {
    case Answer::kYes:
      return kScriptSucceeded;
    case Answer::kNo:
      return message ? FailWith(c, *message) : kScriptFailed;
    case Answer::kStopped:
      break;
  }
  return kScriptFailed;
}

int FailOnYes(const Command& c, const std::string& question, std::optional<int32_t> message) {
  switch (Ask(c, question)) {
    case Answer::kYes:
      return message ? FailWith(c, *message) : kScriptFailed;
    case Answer::kNo:
      return kScriptSucceeded;
    case Answer::kStopped:
      break;
  }
  return kScriptFailed;
}

std::string AbilityColourText(int32_t ability) {
  return ColourCodes(static_cast<int>(AbilityColour(ability)));
}

std::string ItemNamed(int32_t number) {
  return ItemName(RecordNumberOf(number));
}

int AddAbility(const Command& c) {
  const int32_t ability = c.Number(1);
  c.Say(Format("|07Ability %s%s|07 was modified with a value of |15%d|07.",
               AbilityColourText(ability).c_str(), AbilityName(ability).c_str(), c.Number(2)));
  return kScriptSucceeded;
}

int AddDelay(const Command& c) {
  c.Say(Format("|15%d |07second delay.", c.Number(1)));
  return kScriptSucceeded;
}

int AddEvil(const Command& c) {
  c.Say(Format("|07You were given |15%d |07evil points.", c.Number(1)));
  return kScriptSucceeded;
}

int AddExp(const Command& c) {
  c.Say(Format("|07You were given |15%d |07experience.", c.Number(1)));
  return kScriptSucceeded;
}

int Cast(const Command& c) {
  const int32_t number = c.Number(1);
  SpellRecord spell;
  const bool found = GetSpell(RecordNumberOf(number), spell) == 0;
  if (c.LineInfo()) {
    c.Say(
        Format("|07Casting spell |15%d|07 (|15%s|07).", number, found ? spell.name().c_str() : ""));
  }
  if (!found) {
    c.Error(Format("Spell %d does not exist.", number));
    return kScriptSucceeded;
  }
  int32_t energy = kExitSpellEnergy;
  // No key is read during the cast (as for an exit's spell): its follow-on
  // casts are bounded by the rules, and its text blocks ask their own
  // questions.
  CastSpell(spell, energy, kExitSpellResistance, kExitSpellLevel, false, nullptr, ProgramRandom(),
            ConsoleOutput(c.console), {});
  return kScriptSucceeded;
}

int Check(const Command&) {
  return kScriptSucceeded;
}

int CheckAbility(const Command& c) {
  const int32_t ability = c.Number(1);
  return FailOnNo(
      c,
      Format("|07Is ability %s%s |07=|15 %d|07? [y/n]:", AbilityColourText(ability).c_str(),
             AbilityName(ability).c_str(), c.Number(2)),
      std::nullopt);
}

int CheckItem(const Command& c) {
  const int32_t item = c.Number(1);
  return FailOnNo(c,
                  Format("|07Is item |15%d |07(|15%s|07) in your inventory? [y/n]:", item,
                         ItemNamed(item).c_str()),
                  c.Number(2));
}

int ClassCheck(const Command& c) {
  const int32_t number = c.Number(1);
  return FailOnNo(c,
                  Format("|07Are you class |15%d |07(|15%s|07)? [y/n]:", number,
                         ClassName(RecordNumberOf(number)).c_str()),
                  c.Number(2));
}

int ClearItem(const Command& c) {
  const int32_t item = c.Number(1);
  c.Say(Format("|07Item |15%d |07(|15%s|07) was cleared from the room.", item,
               ItemNamed(item).c_str()));
  return kScriptSucceeded;
}

int EvilAligned(const Command& c) {
  return FailOnNo(c, Format("|07Are you above (or equal) |15%d |07EP? [y/n]:", c.Number(1)),
                  c.Number(2));
}

int FailAbility(const Command& c) {
  const int32_t ability = c.Number(1);
  return FailOnYes(c,
                   Format("|07Do you have ability %s%s|07? [y/n]:",
                          AbilityColourText(ability).c_str(), AbilityName(ability).c_str()),
                   std::nullopt);
}

int FailItem(const Command& c) {
  const int32_t item = c.Number(1);
  return FailOnYes(
      c, Format("|07Do you have item |15%d |07(|15%s|07)? [y/n]:", item, ItemNamed(item).c_str()),
      c.Number(2));
}

int FailRoomItem(const Command& c) {
  const int32_t item = c.Number(1);
  return FailOnYes(
      c,
      Format("|07Is item |15%d |07(|15%s|07) in the room? [y/n]:", item, ItemNamed(item).c_str()),
      c.Number(2));
}

int GiveAbility(const Command& c) {
  const int32_t ability = c.Number(1);
  c.Say(Format("|07You were given ability %s%s|07 with a value of |15%d|07.",
               AbilityColourText(ability).c_str(), AbilityName(ability).c_str(), c.Number(2)));
  return kScriptSucceeded;
}

int GiveCoins(const Command& c) {
  const std::string kind = c.words.size() > 2 ? Upper(c.words[2]) : "";
  const char* name = "copper farthings";
  if (kind == "S") name = "silver nobles";
  if (kind == "G") name = "gold crowns";
  if (kind == "P") name = "platinum pieces";
  if (kind == "R") name = "Runic Coins";
  c.Say(Format("|07You were given |15%d %s|07.", c.Number(1), name));
  return kScriptSucceeded;
}

int GiveItem(const Command& c) {
  const int32_t item = c.Number(1);
  c.Say(Format("|07You were given item |15%d|07 (|15%s|07).", item, ItemNamed(item).c_str()));
  return kScriptSucceeded;
}

int GoodAligned(const Command& c) {
  return FailOnNo(c, Format("|07Are you below (or equal) |15%d |07EP? [y/n]:", c.Number(1)),
                  c.Number(2));
}

int LearnSpell(const Command& c) {
  const int32_t spell = c.Number(1);
  const std::string name = SpellName(RecordNumberOf(spell));
  c.Say(Format("|07You learned spell |15%d |07(|15%s|07).", spell, name.c_str()));
  c.Say(Format("You learn the spell %s.", name.c_str()));
  return kScriptSucceeded;
}

int MaxLevel(const Command& c) {
  return FailOnNo(c, Format("|07Are you below level |15%d|07? [y/n]:", c.Number(1)), c.Number(2));
}

int Monsters(const Command& c) {
  return FailOnNo(c, "|07Are there monsters present? [y/n]:", c.Number(1));
}

int ShowMessage(const Command& c) {
  const int32_t number = c.Number(1);
  MessageRecord message;
  if (GetMessage(RecordNumberOf(number), message) != 0) {
    c.Say(Format("|07Failed to display message %d in message.", number));
    return kScriptSucceeded;
  }
  if (c.LineInfo()) c.Say(Format("|07Showing message |15%d|07.", number));
  if (!message.line1().empty()) WriteGameLine(c.console, "|02", message.line1(), "|07");
  return kScriptSucceeded;
}

int MinLevel(const Command& c) {
  return FailOnNo(c, Format("|07Are you level |15%d|07, or above? [y/n]:", c.Number(1)),
                  c.Number(2));
}

int NeedMonster(const Command& c) {
  const int32_t monster = c.Number(1);
  return FailOnNo(c,
                  Format("|07Is monster |15%d |07(|15%s|07) present? [y/n]:", monster,
                         MonsterName(RecordNumberOf(monster)).c_str()),
                  c.Number(2));
}

int NoMonsters(const Command& c) {
  return FailOnYes(c, "|07Are there monsters present? [y/n]:", c.Number(1));
}

int Price(const Command& c) {
  const int32_t copper = c.Number(1);
  switch (Ask(c, Format("|07Do you have |15%d|07 copper? [y/n]:", copper))) {
    case Answer::kYes:
      c.Say(Format("|15%d|07 copper farthings taken.", copper));
      return kScriptSucceeded;
    case Answer::kNo:
      return FailWith(c, c.Number(2));
    case Answer::kStopped:
      break;
  }
  return kScriptFailed;
}

int RaceCheck(const Command& c) {
  const int32_t number = c.Number(1);
  return FailOnNo(c,
                  Format("|07Are you race |15%d |07(|15%s|07)? [y/n]:", number,
                         RaceName(RecordNumberOf(number)).c_str()),
                  c.Number(2));
}

enum class RandomOutcome { kMissing, kNotReached, kRan };
RandomOutcome RandomBlock(Console& console, const WalkerSession& session, uint32_t block,
                          uint32_t& map, uint32_t& room);

int RandomCommand(const Command& c) {
  const int32_t block = c.Number(1);
  if (c.LineInfo()) c.Say(Format("|07Random |15%d|07.", block));
  RunLevel level(c.console, c.map, c.room);
  if (!level.going()) return kScriptFailed;
  if (RandomBlock(c.console, c.session, RecordNumberOf(block), c.map, c.room) ==
      RandomOutcome::kMissing) {
    c.Error(Format("Text block %d does not exist.", block));
  }
  return kScriptSucceeded;
}

int RemoteAction(const Command& c) {
  // The first argument names where the game sets the action off; with no
  // other players here it is not used.
  const int32_t number = c.Number(2);
  MessageRecord message;
  if (GetMessage(RecordNumberOf(number), message) != 0) {
    c.Say(Format("|07Failed to display message %d in remoteaction.", number));
    return kScriptSucceeded;
  }
  if (c.LineInfo()) c.console.WriteLn();
  if (!message.line1().empty()) WriteGameLine(c.console, "|02", message.line1(), "|07");
  return kScriptSucceeded;
}

int RemoveAbility(const Command& c) {
  const int32_t ability = c.Number(1);
  c.Say(Format("|07Ability %s%s|07 was removed|07.", AbilityColourText(ability).c_str(),
               AbilityName(ability).c_str()));
  return kScriptSucceeded;
}

int RoomItem(const Command& c) {
  const int32_t item = c.Number(1);
  return FailOnNo(
      c,
      Format("|07Is item |15%d |07(|15%s|07) in the room? [y/n]:", item, ItemNamed(item).c_str()),
      c.Number(2));
}

int Summon(const Command& c) {
  const int32_t number = c.Number(1);
  MonsterRecord monster;
  const bool found = GetMonster(RecordNumberOf(number), monster) == 0;
  c.Say(Format("|07Summoning monster |15%d |07(|15%s|07).", number,
               found ? monster.name().c_str() : ""));
  if (!found) {
    c.Error(Format("Monster %d does not exist.", number));
    return kScriptSucceeded;
  }
  MessageRecord message;
  if (GetMessage(monster.moveMessage(), message) != 0) return kScriptSucceeded;
  const std::string line = message.line1();
  // The record layout has no known field that says whether the arrival line
  // names the monster; a line written for the name has two text places.
  std::vector<std::string> texts;
  if (TextPlaceholders(line) >= 2) texts.push_back(monster.name());
  texts.push_back("nowhere");
  const std::string text = FillStoredText(line, texts, {});
  if (!text.empty()) WriteGameLine(c.console, "|14", text, "");
  return kScriptSucceeded;
}

int TakeItem(const Command& c) {
  const int32_t item = c.Number(1);
  const std::string name = ItemNamed(item);
  switch (Ask(c, Format("|07Do you have item |15%d |07(|15%s|07)? [y/n]:", item, name.c_str()))) {
    case Answer::kYes:
      c.Say(Format("|07Item |15%d |07(|15%s|07) was taken.", item, name.c_str()));
      return kScriptSucceeded;
    case Answer::kNo:
      return FailWith(c, c.Number(2));
    case Answer::kStopped:
      break;
  }
  return kScriptFailed;
}

int Teleport(const Command& c) {
  const uint32_t room = static_cast<uint32_t>(c.Number(1));
  const uint32_t map = static_cast<uint32_t>(c.Number(2));
  if (room == 0) {
    if (c.LineInfo()) c.console.WriteLn();
    return kScriptSucceeded;
  }
  c.room = room;
  if (map != 0) c.map = map;
  c.Say(Format("|07Teleporting to Map |15%u |07Room |15%u|07.", c.map, c.room));
  return kScriptSucceeded;
}

int TestAbility(const Command& c) {
  const int32_t ability = c.Number(1);
  return FailOnNo(
      c,
      Format("|07Is ability %s%s |07<=|15 %d|07? [y/n]:", AbilityColourText(ability).c_str(),
             AbilityName(ability).c_str(), c.Number(2)),
      std::nullopt);
}

int Text(const Command& c) {
  const int32_t block = c.Number(1);
  WriteColour(c.console, Format("|07Showing text block |15%d|07 (press any key).", block));
  int key = 0;
  const bool going = WaitAnyKey(c.console, &key);
  if (c.LineInfo()) {
    const bool printable = going && key >= ' ' && key < key::kExtended;
    WriteColourLn(c.console, "|15" + (printable ? std::string(1, static_cast<char>(key)) : ""));
  } else {
    c.console.GotoXY(1, c.console.WhereY());
    c.console.ClrEol();
  }
  if (!going) {
    StopRun(c.console);
    return kScriptFailed;
  }
  if (!DisplayBlock(c.console, RecordNumberOf(block), 0, true, 0, nullptr).any) {
    c.Error(Format("Text block %d does not exist.", block));
  }
  return kScriptSucceeded;
}

struct CommandEntry {
  std::string_view name;
  bool exact;
  Handler handler;
};

// Matched in this order: a command word matches the first name it begins
// with (or, for the exact ones, equals).
constexpr CommandEntry kCommands[] = {
    {"ADDABILITY", false, AddAbility},
    {"ADDDELAY", false, AddDelay},
    {"ADDEVIL", false, AddEvil},
    {"ADDEXP", false, AddExp},
    {"CAST", true, Cast},
    {"CHECK", true, Check},
    {"CHECKABILITY", false, CheckAbility},
    {"CHECKITEM", false, CheckItem},
    {"CHECKSPELL", false, Check},
    {"CLASS", false, ClassCheck},
    {"CLEARITEM", false, ClearItem},
    {"EVILALIGNED", false, EvilAligned},
    {"FAILABILITY", false, FailAbility},
    {"FAILITEM", false, FailItem},
    {"FAILROOMITEM", false, FailRoomItem},
    {"GIVEABILITY", false, GiveAbility},
    {"GIVECOINS", false, GiveCoins},
    {"GIVEITEM", false, GiveItem},
    {"GOODALIGNED", false, GoodAligned},
    {"LEARNSPELL", false, LearnSpell},
    {"MAXLEVEL", false, MaxLevel},
    {"MONSTERS", false, Monsters},
    {"MESSAGE", false, ShowMessage},
    {"MINLEVEL", false, MinLevel},
    {"NEEDMONSTER", false, NeedMonster},
    {"NOMONSTERS", false, NoMonsters},
    {"PRICE", false, Price},
    {"RACE", false, RaceCheck},
    {"RANDOM", false, RandomCommand},
    {"REMOTEACTION", false, RemoteAction},
    {"REMOVEABILITY", false, RemoveAbility},
    {"ROOMITEM", false, RoomItem},
    {"SUMMON", false, Summon},
    {"TAKEITEM", false, TakeItem},
    {"TELEPORT", false, Teleport},
    {"TESTABILITY", false, TestAbility},
    {"TEXT", false, Text},
};

const CommandEntry* FindCommand(std::string_view word) {
  const std::string upper = Upper(word);
  for (const CommandEntry& entry : kCommands) {
    if (entry.exact ? upper == entry.name : upper.starts_with(entry.name)) return &entry;
  }
  return nullptr;
}

std::string JoinWords(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& word : words) {
    if (!out.empty()) out += ' ';
    out += word;
  }
  return out;
}

// Step debugging: shows the command about to run and waits for a key; false
// when the user stopped the run.
bool Step(Console& console, const std::vector<std::string>& words, const ScriptPosition& position) {
  WriteColour(console, Format("|08Step [B:%u/%u L:%d I:%d] |15", position.block, position.part,
                              position.line, position.command));
  console.Write(JoinWords(words));
  WriteColour(console, "|08 (any key runs it, Esc stops)");
  const bool going = WaitAnyKey(console);
  console.GotoXY(1, console.WhereY());
  console.ClrEol();
  if (!going) StopRun(console);
  return going;
}

int Execute(Console& console, const WalkerSession& session, const std::vector<std::string>& words,
            uint32_t& map, uint32_t& room, const ScriptPosition& position) {
  RunState& run = *g_run;
  if (run.ended) return kScriptFailed;
  if (++run.commands > kScriptCommandBound) {
    WriteColourLn(console, NoticeOfBound("Text-block script commands"));
    run.ended = true;
    return kScriptFailed;
  }
  const WalkerOptions& options = session.options;
  if (options.Has(options.debugging, kDebugStep) && !Step(console, words, position)) {
    return kScriptFailed;
  }
  if (options.Has(options.debugging, kDebugLineInfo)) {
    WriteColour(console, Format("|08[|07B:|14%u|07/|10%u |07L:|11%d |07I:|12%d|08] - ",
                                position.block, position.part, position.line, position.command));
  }
  const std::string& word = words.empty() ? std::string() : words.front();
  const CommandEntry* entry = FindCommand(word);
  if (entry == nullptr) {
    WriteColourLn(console, Format("|04Unhandled command |12%s|04!", word.c_str()));
    return kScriptSucceeded;
  }
  return entry->handler(Command{console, session, words, map, room, position});
}

int RunLine(Console& console, const WalkerSession& session, std::string_view line, uint32_t& map,
            uint32_t& room, ScriptPosition position) {
  const std::vector<std::string_view> pieces = SplitCommands(Trim(line));
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i + 1 == pieces.size() && pieces[i].empty()) break;
    position.command = static_cast<int>(i + 1);
    if (Execute(console, session, SplitCommandWords(pieces[i]), map, room, position) !=
        kScriptSucceeded) {
      return kScriptFailed;
    }
    if (RunEnded()) return kScriptFailed;
  }
  return kScriptSucceeded;
}

// Runs the lines of one part as alternatives. True when a line succeeded.
bool RunPartLines(Console& console, const WalkerSession& session, const TextBlockRecord& record,
                  uint32_t block, uint16_t part, uint32_t& map, uint32_t& room) {
  const std::string text = DecodeTextBlock(record);
  int number = 0;
  for (const TextLine& line : SplitLines(text)) {
    ++number;
    if (RunLine(console, session, line.text, map, room, {block, part, number, 0}) ==
        kScriptSucceeded) {
      return true;
    }
    if (RunEnded()) return false;
  }
  return false;
}

RandomOutcome RandomBlock(Console& console, const WalkerSession& session, uint32_t block,
                          uint32_t& map, uint32_t& room) {
  TextBlockRecord record;
  if (!ReadPart(block, 0, record)) return RandomOutcome::kMissing;
  const int64_t roll = Roll(ProgramRandom(), 99) + 1;
  const std::string text = DecodeTextBlock(record);
  int number = 0;
  for (const TextLine& line : SplitLines(text)) {
    ++number;
    const auto [threshold, script] = SplitAtColon(line.text);
    if (roll > ScriptNumber(Trim(threshold))) continue;
    RunLine(console, session, script, map, room, {block, 0, number, 0});
    return RandomOutcome::kRan;
  }
  return RandomOutcome::kNotReached;
}

// Runs an action block: part after part, each part's lines as alternatives,
// until a line succeeds.
void RunActionBlock(Console& console, const WalkerSession& session, uint32_t block, uint32_t& map,
                    uint32_t& room) {
  RunLevel level(console, map, room);
  for (uint32_t part = 0; level.going(); ++part) {
    TextBlockRecord record;
    if (!ReadPart(block, part, record)) return;
    if (RunPartLines(console, session, record, block, static_cast<uint16_t>(part), map, room)) {
      return;
    }
  }
}

}  // namespace

int32_t ScriptNumber(std::string_view word) {
  return ParseDecimal(word).value_or(0);
}

std::vector<std::string> SplitCommandWords(std::string_view command) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < command.size()) {
    while (i < command.size() && command[i] == ' ') ++i;
    if (i == command.size()) break;
    if (words.size() + 1 == kMaxCommandWords) {
      words.emplace_back(command.substr(i));
      break;
    }
    const size_t end = std::min(command.find(' ', i), command.size());
    words.emplace_back(command.substr(i, end - i));
    i = end;
  }
  return words;
}

int ExecuteCommand(Console& console, const WalkerSession& session,
                   const std::vector<std::string>& words, uint32_t& map, uint32_t& room,
                   const ScriptPosition& position) {
  RunLevel level(console, map, room);
  if (!level.going()) return kScriptFailed;
  return Execute(console, session, words, map, room, position);
}

int RunScriptLine(Console& console, const WalkerSession& session, std::string_view line,
                  uint32_t& map, uint32_t& room, const ScriptPosition& position) {
  RunLevel level(console, map, room);
  if (!level.going()) return kScriptFailed;
  return RunLine(console, session, line, map, room, position);
}

void RunTextBlock(Console& console, const WalkerSession& session, uint32_t block, uint16_t part,
                  uint32_t& map, uint32_t& room) {
  RunLevel level(console, map, room);
  if (!level.going()) return;
  TextBlockRecord record;
  if (!ReadPart(block, part, record)) return;
  RunPartLines(console, session, record, block, part, map, room);
}

void RunTextBlock(Console& console, const WalkerSession& session, uint32_t block, uint16_t part) {
  uint32_t map = session.map();
  uint32_t room = session.roomNumber();
  RunTextBlock(console, session, block, part, map, room);
}

bool RunRoomCommand(Console& console, const WalkerSession& session, uint32_t commandBlock,
                    std::string_view typedLine, uint32_t& map, uint32_t& room) {
  RunLevel level(console, map, room);
  bool matched = false;
  for (uint32_t part = 0; level.going() && !matched; ++part) {
    TextBlockRecord record;
    if (!ReadPart(commandBlock, part, record)) break;
    const std::string text = DecodeTextBlock(record);
    int number = 0;
    for (const TextLine& line : SplitLines(text)) {
      ++number;
      const auto [typed, script] = SplitAtColon(line.text);
      if (!SameTextIgnoringCase(typed, typedLine)) continue;
      matched = true;
      if (RunLine(console, session, script, map, room,
                  {commandBlock, static_cast<uint16_t>(part), number, 0}) == kScriptSucceeded ||
          !level.going()) {
        return true;
      }
    }
  }
  return matched;
}

bool RunRandomBlock(Console& console, const WalkerSession& session, uint32_t block, uint32_t& map,
                    uint32_t& room) {
  RunLevel level(console, map, room);
  if (!level.going()) return false;
  return RandomBlock(console, session, block, map, room) == RandomOutcome::kRan;
}

void Talk(Console& console, const WalkerSession& session, std::string_view typedName,
          std::string_view topic, uint32_t& map, uint32_t& room) {
  RunLevel level(console, map, room);
  if (!level.going()) return;
  topic = TrimRight(topic);
  MonsterRecord monster;
  if (GetMonster(session.room.permNPC(), monster) != 0) return;
  const std::string name = monster.name();
  if (!Abbreviates(typedName, name)) return;
  if (monster.talkText() == 0) {
    WriteColourLn(console, Format("|07%s has nothing to tell you!", name.c_str()));
    return;
  }
  TextBlockRecord talk;
  if (!ReadPart(monster.talkText(), 0, talk)) return;
  if (topic.empty()) {
    if (talk.linkTo() == 0) {
      WriteColourLn(console, Format("|07%s doesn't understand you.", name.c_str()));
    } else {
      DisplayBlock(console, talk.linkTo(), 0, false, 0, &name);
    }
    return;
  }
  const std::string text = DecodeTextBlock(talk);
  for (const TextLine& line : SplitLines(text)) {
    if (line.text.size() < topic.size() ||
        !SameTextIgnoringCase(line.text.substr(0, topic.size()), topic)) {
      continue;
    }
    const int32_t response = ScriptNumber(Trim(SplitAtColon(line.text).second));
    const Shown shown =
        DisplayBlock(console, RecordNumberOf(response), 0, true, kTalkPageLines, &name);
    if (!shown.any && session.options.Has(session.options.debugging, kDebugShowErrors)) {
      WriteColourLn(console, Format("|12Text block %d does not exist.", response));
    }
    if (shown.lastLink != 0 && level.going()) {
      RunActionBlock(console, session, shown.lastLink, map, room);
    }
    return;
  }
}

void ShowTextBlock(Console& console, uint32_t block, uint16_t firstPart, bool allParts,
                   bool paging) {
  DisplayBlock(console, block, firstPart, allParts, paging ? kShowPageLines : 0, nullptr);
}

void ListRoomCommands(Console& console, uint32_t commandBlock) {
  if (commandBlock == 0) {
    WriteColourLn(console,
                  "|07The specified text block doesn't exist, is invalid, or was unreadable.");
    return;
  }
  const std::string rule = "|08" + std::string(24, '\xC4') + " " + std::string(54, '\xC4');
  bool headed = false;
  bool going = true;
  int rows = 0;
  for (uint32_t part = 0; going; ++part) {
    TextBlockRecord record;
    if (!ReadPart(commandBlock, part, record)) break;
    const std::string text = DecodeTextBlock(record);
    for (const TextLine& line : SplitLines(text)) {
      if (line.text.empty()) continue;
      if (!headed) {
        console.WriteLn();
        WriteColourLn(console, "|07Command                  Script");
        WriteColourLn(console, rule);
        headed = true;
      }
      const auto [typed, script] = SplitAtColon(line.text);
      std::vector<std::string_view> commands = SplitCommands(script);
      if (commands.size() > 1 && commands.back().empty()) commands.pop_back();
      for (size_t i = 0; i < commands.size() && going; ++i) {
        const std::string column = i == 0 ? std::string(typed) : std::string(24, ' ');
        WriteColourLn(console, Format("|10%-24.24s |02%-54.54s", column.c_str(),
                                      std::string(commands[i]).c_str()));
        if (++rows > kListPageRows) {
          rows = 0;
          WriteColour(console, "|08[|07press any key to continue|08]\r");
          going = !IsStopKey(ReadWholeKey(console));
          console.ClrEol();
        }
      }
      if (!going) break;
    }
  }
  if (headed) WriteColourLn(console, rule);
}

void InstallTextBlockRunner(Console& console, const WalkerSession& session) {
  SetTextBlockRunner([&console, &session](uint32_t block, CastResult*, const RulesOutput&) {
    if (g_run != nullptr) {
      RunTextBlock(console, session, block, 0, *g_run->map, *g_run->room);
      return;
    }
    uint32_t map = 0;
    uint32_t room = 0;
    RunTextBlock(console, session, block, 0, map, room);
  });
}

TextBlockReader SetTextBlockReader(TextBlockReader reader) {
  return std::exchange(Reader(), std::move(reader));
}

}  // namespace torvex
