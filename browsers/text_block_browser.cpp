#include "browsers/text_block_browser.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "console/keys.h"
#include "console/text_values.h"
#include "database/ability_names.h"
#include "database/record_access.h"
#include "database/records/records.h"
#include "database/records/text_block_text.h"
#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"
#include "platform/file_writer.h"
#include "screens/screens.h"
#include "walker/text_script.h"

namespace torvex {
namespace {

constexpr char kHelpText[] =
    "Use the following keys to navigate the text block data:\r\n\r\n"
    "  >    Move to next logical text block\r\n"
    "  <    Move to previous logical text block\r\n"
    "  }    Move to next physical text block\r\n"
    "  {    Move to previous physical text block\r\n"
    "  F    Move to the first text block\r\n"
    "  L    Move to the last text block\r\n"
    "  G    Go to a specific text block\r\n"
    "  S    Search for a specific text block\r\n"
    "  A    Display text block with ANSI parsing\r\n"
    "  R    Exports raw text block\r\n"
    "  E    Exports line adjusted text block\r\n"
    "  Q    Exit the text block viewer\r\n\r\n"
    "You can also use ESC and X to quit the viewer.  When you use { and } you must use F, L or "
    "G to reset your navigation method to physical.  You cannot switch from logical to physical "
    "then back to logical navigation.  Line adjustment consists of changing all LF terminated "
    "lines to CRLF terminated lines, basically, it adjusts the end of line (EOL) for all lines "
    "exported.";

constexpr char kReturnPrompt[] = "|16|07Press any key to return...";

// The detail screen's text area: rows 5 to 47, 80 columns.
constexpr int kFirstTextRow = 5;
constexpr size_t kTextRows = 43;
constexpr size_t kRowWidth = 80;

// The annotated view's pages end above the rows its pause is written on.
constexpr int kLastListRow = 47;
constexpr int kPauseRow = 49;

std::string DecodedText(std::span<const uint8_t> record) {
  return DecodeTextBlock(TextBlockRecord(record));
}

// The text's lines, split at line feeds. A final line feed ends the last line
// rather than starting an empty one.
std::vector<std::string_view> TextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// --- The annotated view ---

enum class Named { kItem, kMonster, kSpell, kClass, kRace, kAbility };

struct NamingCommand {
  const char* word;
  Named names;
  // CAST must be written in full; the others match any word they begin.
  bool exact = false;
};

// The commands whose first argument is a record number. None of these words
// begins another command's word, so matching the beginning of a word picks
// the same command the interpreter runs.
constexpr NamingCommand kNamingCommands[] = {
    {"GIVEITEM", Named::kItem},
    {"TAKEITEM", Named::kItem},
    {"CHECKITEM", Named::kItem},
    {"CLEARITEM", Named::kItem},
    {"FAILITEM", Named::kItem},
    {"FAILROOMITEM", Named::kItem},
    {"HIDEITEM", Named::kItem},
    {"ROOMITEM", Named::kItem},
    {"SUMMON", Named::kMonster},
    {"NEEDMONSTER", Named::kMonster},
    {"CAST", Named::kSpell, true},
    {"CHECKSPELL", Named::kSpell},
    {"LEARNSPELL", Named::kSpell},
    {"CLASS", Named::kClass},
    {"RACE", Named::kRace},
    {"ADDABILITY", Named::kAbility},
    {"CHECKABILITY", Named::kAbility},
    {"FAILABILITY", Named::kAbility},
    {"GIVEABILITY", Named::kAbility},
    {"REMOVEABILITY", Named::kAbility},
    {"TESTABILITY", Named::kAbility},
};

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// The name, in its colour codes, of the record `command` names; "" when it
// names none or the record has no name.
std::string NamedRecordText(std::string_view command) {
  const std::vector<std::string> words = SplitCommandWords(command);
  if (words.empty()) return {};
  const std::string word = Upper(words[0]);
  const NamingCommand* found = nullptr;
  for (const NamingCommand& c : kNamingCommands) {
    if (c.exact ? word == c.word : word.starts_with(c.word)) {
      found = &c;
      break;
    }
  }
  if (!found) return {};
  // Read as the interpreter reads it: a missing or malformed argument counts
  // as 0, which names no record.
  const int32_t number = words.size() > 1 ? ScriptNumber(words[1]) : 0;
  if (number == 0) return {};
  const uint32_t n = static_cast<uint32_t>(number);
  switch (found->names) {
    case Named::kItem:
      return "|11" + ItemName(n);
    case Named::kMonster:
      return "|15" + MonsterName(n);
    case Named::kSpell:
      return "|14" + SpellName(n);
    case Named::kClass:
      return "|09" + ClassName(n);
    case Named::kRace:
      return "|10" + RaceName(n);
    case Named::kAbility:
      return "|13" + AbilityName(number);
  }
  return {};
}

// One command of a line as the annotated view writes it, with how many
// columns it takes.
struct Piece {
  std::string text;
  size_t columns;
};

Piece AnnotatedPiece(std::string_view command, bool first) {
  Piece piece{first ? "|03" : "|08:|03", first ? 0u : 1u};
  piece.text += ColourLiteral(command);
  piece.columns += command.size();
  std::string name = NamedRecordText(command);
  if (ColourTextColumns(name) > 0) {
    piece.text += " " + name;
    piece.columns += 1 + ColourTextColumns(name);
  }
  return piece;
}

std::vector<std::string_view> Commands(std::string_view line) {
  std::vector<std::string_view> commands;
  for (;;) {
    const size_t colon = line.find(':');
    commands.push_back(line.substr(0, colon));
    if (colon == std::string_view::npos) return commands;
    line.remove_prefix(colon + 1);
  }
}

// Writes the annotated lines page by page. A page ends before a piece that
// would run past its last row; the pause between pages takes one key, and Esc
// or Ctrl+C there ends the listing.
class AnnotatedWriter {
 public:
  explicit AnnotatedWriter(Console& console) : console_(console) {}

  // False when the user ended the listing.
  bool Write(const Piece& piece) {
    if (!Fits(piece.columns) && !PageEmpty() && !NextPage()) return false;
    Raw(piece.text);
    return true;
  }
  void EndLine() { console_.WriteLn(); }
  // Starts a line; false when the user ended the listing.
  bool StartLine() { return Fits(0) || NextPage(); }

 private:
  bool PageEmpty() const { return console_.WhereX() == 1 && console_.WhereY() == 1; }
  bool Fits(size_t columns) const {
    const size_t width = static_cast<size_t>(console_.WindowWidth());
    const size_t used = static_cast<size_t>(console_.WhereX() - 1);
    const size_t rows = columns == 0 ? 0 : (used + columns - 1) / width;
    return static_cast<size_t>(console_.WhereY()) + rows <= static_cast<size_t>(kLastListRow);
  }
  bool NextPage() {
    WriteColourAt(console_, 1, kPauseRow, "|07Hit any key to continue...");
    const int key = ReadWholeKey(console_);
    console_.SetTextAttr(7);
    console_.ClrScr();
    return key != key::kEscape && key != key::kCtrlC;
  }
  // Colour-code text whose control bytes show as glyphs.
  void Raw(std::string_view text) {
    const bool raw = console_.RawOutput();
    console_.SetRawOutput(true);
    WriteColour(console_, text);
    console_.SetRawOutput(raw);
  }

  Console& console_;
};

void ShowMessageWindow(TInputManager& input, const TWindowStyle& style, const std::string& title,
                       const std::string& text) {
  ApplyWindowStyle(input, style);
  input.Title = title;
  input.Prompt = text;
  input.ShowMessage();
}

// The part as the game shows it, through the interpreter's own display.
void ShowGameView(Console& console, const TextBlockRecord& shown) {
  console.SetTextAttr(7);
  console.ClrScr();
  ShowTextBlock(console, shown.blockNumber(), shown.part(), false, true);
  WriteColour(console, kReturnPrompt);
  ReadWholeKey(console);
}

bool HandleKey(BrowserState& state, int key) {
  const TextBlockRecord shown(state.Record());
  switch (key) {
    case 'A':
      ShowGameView(state.console, shown);
      break;
    case 'I':
      ShowAnnotatedTextBlock(state.console, state.Record());
      break;
    case 'R':
    case 'E':
      ExportTextBlock(state.input, shown.blockNumber(), shown.part(), key == 'E');
      return true;
    default:
      return false;
  }
  state.redisplay = true;
  return true;
}

BrowserDescription MakeDescription() {
  BrowserDescription d(kTextFile);
  // A part holds up to 2047 characters after its 24-byte head: offered only
  // the task buffer, the longest parts would answer "buffer too short" and
  // could neither be shown nor passed by a search.
  d.readLength = static_cast<uint32_t>(TextBlockRecord::kSize);
  d.kindWord = "Text";
  d.helpTitle = "Text Block Help";
  d.helpText = kHelpText;
  d.searchTitle = "Search Text Blocks";
  d.jumpTitle = "Goto Text Block";
  d.jumpPrompt = "Enter a text block number to jump to:";
  d.key = TextBlockKey();
  d.showDetail = [](BrowserState& s) { ShowTextBlockDetail(s.console, s.Record()); };
  d.windowTitle = TextBlockTitle;
  SearchOption text = TextSearchOption(
      "Search Text Blocks", kTextSearchPrompt,
      [](std::span<const uint8_t> r) { return std::vector<std::string>{DecodedText(r)}; });
  text.promptTitle = "Search Text Blocks";
  d.searches = {text};
  d.searchWithoutList = true;
  // No raw dump: Ctrl+E is not a key of this browser (R and E export).
  d.macros = MacroKind::kText;
  d.extraKey = HandleKey;
  return d;
}

}  // namespace

const BrowserDescription& TextBlockBrowserDescription() {
  static const BrowserDescription description = MakeDescription();
  return description;
}

void RunTextBlockBrowser(Console& console) {
  RunBrowser(console, TextBlockBrowserDescription());
}

std::string TextBlockTitle(std::span<const uint8_t> record) {
  const TextBlockRecord block(record);
  const uint32_t number = block.blockNumber();
  const uint16_t part = block.part();
  return Format("%s - %s : %d/%d (0x%.1x/0x%.1x)", "TORVEXNT", "Text", static_cast<int32_t>(number),
                static_cast<int32_t>(part), number, static_cast<unsigned>(part));
}

RecordKey TextBlockKey() {
  RecordKey key;
  key.target = [](std::string_view text) -> std::optional<KeyTarget> {
    const std::optional<int64_t> number = ParseInteger(text);
    if (!number || *number == 0) return std::nullopt;
    // The key holds only the low 16 bits of the block number: a larger number
    // would name another block.
    if (*number < 0 || *number > 0xFFFF) return KeyTarget{{}, btrieve::status::kKeyNotFound};
    KeyTarget target{std::vector<uint8_t>(TextBlockRecord::kKeyLength), 0};
    btrieve::StoreU16(target.key.data() + 16, static_cast<uint16_t>(*number));
    return target;
  };
  key.macroText = [](std::span<const uint8_t> r) {
    return std::to_string(TextBlockRecord(r).blockNumber());
  };
  return key;
}

void ShowTextBlockDetail(Console& console, std::span<const uint8_t> record) {
  const TextBlockRecord block(record);
  PaintDetailScreen(console, screens::kTextBlock);
  WriteValueAt(console, kValueLeft, 2, std::to_string(block.blockNumber()));
  WriteValueAt(console, kValueRight, 2, std::to_string(block.part()));
  WriteValueAt(console, kValueLeft, 3, std::to_string(block.linkTo()));

  const std::string text = DecodeTextBlock(block);
  size_t rows = 0;
  for (std::string_view line : TextLines(text)) {
    // An empty line still takes its row.
    do {
      if (rows == kTextRows) break;
      WriteValueAt(console, 1, kFirstTextRow + static_cast<int>(rows),
                   line.substr(0, std::min(line.size(), kRowWidth)), static_cast<int>(kRowWidth));
      ++rows;
      line.remove_prefix(std::min(line.size(), kRowWidth));
    } while (!line.empty());
    if (rows == kTextRows) break;
  }
  if (rows < kTextRows) {
    WriteColourAt(console, 1, kFirstTextRow + static_cast<int>(rows), "|09****");
  }
  console.GotoXY(3, 49);
}

void ShowAnnotatedTextBlock(Console& console, std::span<const uint8_t> record) {
  const TextBlockRecord block(record);
  const std::string text = DecodeTextBlock(block);
  console.SetTextAttr(7);
  console.ClrScr();
  WriteColourLn(console,
                Format("|03Block |15%u|03, part |15%u|03, linked to |15%u|07", block.blockNumber(),
                       static_cast<unsigned>(block.part()), block.linkTo()));
  console.WriteLn();

  AnnotatedWriter writer(console);
  bool going = true;
  for (std::string_view line : TextLines(text)) {
    going = writer.StartLine();
    bool first = true;
    for (std::string_view command : Commands(line)) {
      if (!going) break;
      going = writer.Write(AnnotatedPiece(command, first));
      first = false;
    }
    if (!going) break;
    writer.EndLine();
  }
  WriteColour(console, kReturnPrompt);
  ReadWholeKey(console);
}

std::string CrLfLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
  return out;
}

bool ExportTextBlock(TInputManager& input, uint32_t block, uint16_t part, bool lineAdjusted) {
  const std::string name = Format(lineAdjusted ? "textblock.%u.%u.txt" : "textblock.raw.%u.%u.txt",
                                  block, static_cast<unsigned>(part));
  TextBlockRecord record;
  bool written = false;
  if (GetTextBlock(block, part, record, false) == 0) {
    const std::string text = DecodeTextBlock(record);
    written = WriteWholeFile(name, lineAdjusted ? CrLfLineEnds(text) : text).ok();
  }
  if (written) {
    ShowMessageWindow(input, kHelpStyle, "Export Successful",
                      Format("Successfully exported the text block to file \"%s\"!", name.c_str()));
  } else {
    ShowMessageWindow(input, kAlertStyle, "Export Error",
                      Format("Couldn't export the text block to file \"%s\"!", name.c_str()));
  }
  return written;
}

}  // namespace torvex
