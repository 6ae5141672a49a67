#include "browsers/browser_frame.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <exception>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/keys.h"
#include "console/text_values.h"
#include "database/record_access.h"
#include "database/records/records.h"
#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"
#include "platform/file_writer.h"

namespace torvex {
namespace {

namespace op = btrieve::op;

void ShowHelp(BrowserState& state, const BrowserDescription& d) {
  ApplyWindowStyle(state.input, kHelpStyle);
  state.input.Title = d.helpTitle;
  state.input.Prompt = d.helpText;
  state.input.ShowMessage();
}

std::string& MacroSlot(MacroKind kind, int slot) {
  return CurrentSettings().macros[static_cast<size_t>(kind)][static_cast<size_t>(slot)];
}

// A simulator's failure must not end the browser: report it and carry on.
// Only ordinary failures are caught; a request to end the program passes.
void RunGuarded(BrowserState& state, const BrowserDescription& d) {
  try {
    d.simulator(state, state.Record());
  } catch (const std::exception& e) {
    Console& console = state.console;
    WriteColourLn(console, Format("|16|07Fatal Exception: %s at 0x%p!", e.what(),
                                  static_cast<const void*>(&e)));
    WriteColour(console, "Press any key to return to viewer.");
    ReadWholeKey(console);
  }
  state.redisplay = true;
}

void JumpToMacro(BrowserState& state, const BrowserDescription& d, int slot) {
  if (std::optional<KeyTarget> target =
          d.key->TargetFor(MacroSlot(*d.macros, slot), state.Record())) {
    JumpTo(state, *target);
  }
}

// The frame's keys; false when the key means leaving.
bool Dispatch(BrowserState& state, const BrowserDescription& d, int k) {
  const bool macros = d.macros && d.key;
  for (int n = 0; macros && n < key::kFunctionKeys; ++n) {
    if (k == key::F(n)) {
      JumpToMacro(state, d, n);
      return true;
    }
    if (k == key::ShiftF(n)) {
      MacroSlot(*d.macros, n).clear();
      return true;
    }
    if (k == key::CtrlF(n)) {
      MacroSlot(*d.macros, n) = d.key->macroText(state.Record());
      return true;
    }
  }
  switch (k) {
    case '>':
    case '+':
    case key::kRight:
      Navigate(state, op::kGetNext);
      break;
    case '<':
    case '-':
    case key::kLeft:
      Navigate(state, op::kGetPrevious);
      break;
    case '}':
      Navigate(state, op::kStepNext);
      break;
    case '{':
      Navigate(state, op::kStepPrevious);
      break;
    case 'F':
      Navigate(state, op::kGetFirst);
      break;
    case 'L':
      Navigate(state, op::kGetLast);
      break;
    case 'G':
      if (d.key) AskJump(state, d);
      break;
    case 'S':
      if (!d.searches.empty()) RunSearch(state, d);
      break;
    case 'E':
      if (d.extendedViewer) {
        d.extendedViewer(state);
        state.redisplay = true;
      }
      break;
    case '?':
      ShowHelp(state, d);
      break;
    case key::kCtrlE:
      if (d.rawDumpName) WriteRawDump(d.rawDumpName(state.Record()), state.Record());
      break;
    case key::kCtrlS:
      if (d.simulator) RunGuarded(state, d);
      break;
    case 'Q':
    case 'X':
    case key::kEscape:
      return false;
    default:
      break;
  }
  return true;
}

}  // namespace

int16_t BrowserState::Call(uint16_t operation) {
  // Each read offers the whole buffer: a file of variable-length records may
  // follow a short record with a longer one.
  file.dataLength = std::min(readLength, kHandleBufferSize);
  return BTRCALL(operation, file.positionBlock.data(), file.dataBuffer.get(), &file.dataLength,
                 file.keyBuffer.data(), file.keyLength, 0);
}

int16_t BrowserState::GetEqual(std::span<const uint8_t> key) {
  uint8_t* buffer = reinterpret_cast<uint8_t*>(file.keyBuffer.data());
  std::fill_n(buffer, file.keyBuffer.size(), 0);
  std::copy_n(key.begin(), std::min(key.size(), file.keyBuffer.size()), buffer);
  return Call(op::kGetEqual);
}

namespace {

// A decimal record number typed or stored: nullopt for 0 or anything that is
// not a number.
std::optional<int64_t> RecordNumberText(std::string_view text) {
  const int32_t number = DecimalValue(text);
  if (number == 0) return std::nullopt;
  return number;
}

}  // namespace

RecordKey Number32Key() {
  RecordKey key;
  key.target = [](std::string_view text) -> std::optional<KeyTarget> {
    const std::optional<int64_t> number = RecordNumberText(text);
    if (!number) return std::nullopt;
    KeyTarget target{std::vector<uint8_t>(4), 0};
    btrieve::StoreU32(target.key.data(), static_cast<uint32_t>(*number));
    return target;
  };
  key.macroText = [](std::span<const uint8_t> r) { return std::to_string(RecordNumberAt0(r)); };
  return key;
}

RecordKey Number16Key() {
  RecordKey key;
  key.target = [](std::string_view text) -> std::optional<KeyTarget> {
    const std::optional<int64_t> number = RecordNumberText(text);
    if (!number) return std::nullopt;
    if (*number < 0 || *number > 0xFFFF) return KeyTarget{{}, btrieve::status::kKeyNotFound};
    KeyTarget target{std::vector<uint8_t>(2), 0};
    btrieve::StoreU16(target.key.data(), static_cast<uint16_t>(*number));
    return target;
  };
  key.macroText = [](std::span<const uint8_t> r) { return std::to_string(RecordNumber16At0(r)); };
  return key;
}

RecordKey StringKey(size_t length) {
  RecordKey key;
  key.prompt = RecordKey::Prompt::kText;
  key.promptLength = static_cast<int>(length);
  key.target = [length](std::string_view text) -> std::optional<KeyTarget> {
    if (text.empty()) return std::nullopt;
    KeyTarget target{std::vector<uint8_t>(length), 0};
    std::copy_n(text.begin(), std::min(text.size(), length), target.key.begin());
    return target;
  };
  key.macroText = [length](std::span<const uint8_t> r) {
    const std::span<const uint8_t> field = r.first(std::min(r.size(), length));
    return std::string(field.begin(), std::find(field.begin(), field.end(), 0));
  };
  return key;
}

std::optional<KeyTarget> RecordKey::TargetFor(std::string_view text,
                                              std::span<const uint8_t> shown) const {
  if (targetFromShown) return targetFromShown(text, shown);
  if (target) return target(text);
  return std::nullopt;
}

namespace {

bool FitsRoomKey(int64_t value) {
  return value >= 0 && value <= int64_t{UINT32_MAX};
}

std::optional<KeyTarget> RoomTarget(std::string_view text, std::span<const uint8_t> shown) {
  if (text.empty()) return std::nullopt;
  const RoomRecord current(shown);
  int64_t room = current.roomNumber();
  int64_t map = current.mapNumber();
  // A part that is not a number keeps the shown value; one outside the key's
  // range is refused below rather than wrapped onto another room.
  const size_t slash = text.find('/');
  if (std::optional<int64_t> typed = ParseInteger(text.substr(0, slash))) room = *typed;
  if (slash != std::string_view::npos) {
    if (std::optional<int64_t> typed = ParseInteger(text.substr(slash + 1))) map = *typed;
  }
  if (!FitsRoomKey(room) || !FitsRoomKey(map)) {
    return KeyTarget{{}, btrieve::status::kKeyNotFound};
  }
  return RoomKeyTarget(static_cast<uint32_t>(map), static_cast<uint32_t>(room));
}

}  // namespace

KeyTarget RoomKeyTarget(uint32_t map, uint32_t room) {
  KeyTarget target{std::vector<uint8_t>(8), 0};
  btrieve::StoreU32(target.key.data(), map);
  btrieve::StoreU32(target.key.data() + 4, room);
  return target;
}

RecordKey RoomKey() {
  RecordKey key;
  key.prompt = RecordKey::Prompt::kText;
  key.promptLength = 22;
  key.targetFromShown = RoomTarget;
  key.target = [](std::string_view text) { return RoomTarget(text, {}); };
  key.macroText = [](std::span<const uint8_t> r) {
    const RoomRecord room(r);
    // Unsigned, so that every stored pair reads back as the same room.
    return Format("%u/%u", room.roomNumber(), room.mapNumber());
  };
  return key;
}

int16_t Navigate(BrowserState& state, uint16_t operation) {
  const std::vector<uint8_t> shown(state.file.dataBuffer.get(),
                                   state.file.dataBuffer.get() + state.file.dataLength);
  const int16_t status = state.Call(operation);
  if (status == 0) {
    state.redisplay = true;
    return status;
  }
  std::copy(shown.begin(), shown.end(), state.file.dataBuffer.get());
  state.file.dataLength = static_cast<uint32_t>(shown.size());
  ShowBtrieveError(state.console, status);
  return status;
}

void JumpTo(BrowserState& state, const KeyTarget& target) {
  state.redisplay = true;
  if (target.status != 0) {
    ShowBtrieveError(state.console, target.status);
    return;
  }
  const std::vector<uint8_t> shown(state.file.dataBuffer.get(),
                                   state.file.dataBuffer.get() + state.file.dataLength);
  const int16_t status = state.GetEqual(target.key);
  if (status == 0) return;
  std::copy(shown.begin(), shown.end(), state.file.dataBuffer.get());
  state.file.dataLength = static_cast<uint32_t>(shown.size());
  ShowBtrieveError(state.console, status);
}

void AskJump(BrowserState& state, const BrowserDescription& d) {
  if (!d.key) return;
  TInputManager& input = state.input;
  ApplyWindowStyle(input, kInputStyle);
  input.Title = d.jumpTitle;
  input.Prompt = d.jumpPrompt;
  input.MaxLength = d.key->promptLength;
  if (d.key->prompt == RecordKey::Prompt::kNumber) {
    input.AskNumber();
  } else {
    input.AskText();
  }
  if (input.Cancelled) return;
  if (std::optional<KeyTarget> target = d.key->TargetFor(input.ResultText, state.Record())) {
    JumpTo(state, *target);
  }
}

std::string NamedRecordTitle(std::string_view kindWord, const std::string& name, int32_t number) {
  return Format("%s - %.*s : %s (%d)", kProgramTitle, static_cast<int>(kindWord.size()),
                kindWord.data(), name.empty() ? "<unnamed>" : name.c_str(), number);
}

uint32_t RecordNumberAt0(std::span<const uint8_t> record) {
  uint8_t bytes[4] = {};
  std::copy_n(record.begin(), std::min<size_t>(record.size(), 4), bytes);
  return btrieve::LoadU32(bytes);
}

uint16_t RecordNumber16At0(std::span<const uint8_t> record) {
  uint8_t bytes[2] = {};
  std::copy_n(record.begin(), std::min<size_t>(record.size(), 2), bytes);
  return btrieve::LoadU16(bytes);
}

void RunBrowser(Console& console, const BrowserDescription& description) {
  BrowserState state(console);
  state.readLength = description.readLength;
  const int16_t opened =
      OpenBtrieveFile(state.file, DatabaseFilePath(description.file), btrieve::open_mode::kNormal);
  if (opened != 0) {
    ShowBtrieveError(console, opened);
    return;
  }
  struct Closer {
    BrowserState& s;
    ~Closer() {
      uint32_t length = 0;
      BTRCALL(op::kClose, s.file.positionBlock.data(), s.file.dataBuffer.get(), &length,
              s.file.keyBuffer.data(), s.file.keyLength, 0);
    }
  } closer{state};
  if (state.Call(op::kGetFirst) != 0) return;
  RunKeyLoop(state, description);
}

void RunKeyLoop(BrowserState& state, const BrowserDescription& d) {
  Console& console = state.console;
  state.redisplay = true;
  for (;;) {
    if (state.redisplay) {
      state.redisplay = false;
      console.display().SetTitle(d.windowTitle(state.Record()));
      d.showDetail(state);
    }
    const int k = key::Upper(ReadWholeKey(console));
    if (std::find(d.keysOff.begin(), d.keysOff.end(), k) != d.keysOff.end()) continue;
    if (d.extraKey && d.extraKey(state, k)) continue;
    if (!Dispatch(state, d, k)) return;
  }
}

void RunSearch(BrowserState& state, const BrowserDescription& d) {
  if (d.searches.empty()) return;
  TInputManager& input = state.input;
  int32_t chosen = 0;
  if (!d.searchWithoutList || d.searches.size() != 1) {
    ApplyWindowStyle(input, kInputStyle);
    input.Title = d.searchTitle;
    input.Prompt = "Select how you would like to search:";
    input.Items.clear();
    for (const SearchOption& option : d.searches) input.Items.push_back(option.label);
    input.MaxLength = 0;
    input.ChosenIndex = -1;
    input.ChooseFromList(0);
    chosen = input.ChosenIndex;
    if (chosen < 0 || chosen >= static_cast<int32_t>(d.searches.size())) return;
  }
  const SearchOption& option = d.searches[static_cast<size_t>(chosen)];
  ApplyWindowStyle(input, kInputStyle);
  input.Title = option.promptTitle.empty() ? d.searchTitle : option.promptTitle;
  std::optional<SearchQuery> query = option.ask(input);
  if (query) ScanForward(state, *query);
}

void ScanForward(BrowserState& state, const SearchQuery& query) {
  state.redisplay = true;
  // Every record read moves the file on, so the scan ends at the file's end.
  while (state.Call(op::kGetNext) == 0) {
    if (query.matches(state.Record())) return;
  }
  TInputManager& input = state.input;
  ApplyWindowStyle(input, kAlertStyle);
  input.Title = "No Results";
  input.Prompt = query.notFound;
  input.ShowMessage();
  const int16_t status = state.Call(op::kGetFirst);
  if (status != 0) {
    // The file lost its records under us: show an empty screen, not stale bytes.
    state.file.dataLength = 0;
    ShowBtrieveError(state.console, status);
  }
}

bool WriteRawDump(const std::string& name, std::span<const uint8_t> record) {
  return WriteWholeFile(name, record).ok();
}

std::optional<std::string> AskSearchText(TInputManager& input, const std::string& prompt) {
  input.Prompt = prompt;
  input.MaxLength = kTextSearchLength;
  input.AskText();
  if (input.Cancelled || input.ResultText.empty()) return std::nullopt;
  return input.ResultText;
}

SearchOption TextSearchOption(
    std::string label, std::string prompt,
    std::function<std::vector<std::string>(std::span<const uint8_t>)> fields,
    std::string notFoundFormat) {
  SearchOption option;
  option.label = std::move(label);
  option.ask = [prompt = std::move(prompt), fields = std::move(fields),
                notFoundFormat =
                    std::move(notFoundFormat)](TInputManager& input) -> std::optional<SearchQuery> {
    std::optional<std::string> text = AskSearchText(input, prompt);
    if (!text) return std::nullopt;
    SearchQuery query;
    query.notFound = notFoundFormat.empty() ? SearchNotFoundText(*text)
                                            : Format(notFoundFormat.c_str(), text->c_str());
    query.matches = [fields, text = *text](std::span<const uint8_t> record) {
      for (const std::string& field : fields(record)) {
        if (ContainsIgnoringCase(field, text)) return true;
      }
      return false;
    };
    return query;
  };
  return option;
}

SearchOption NumberSearchOption(std::string label, std::string prompt, std::string notFoundFormat,
                                std::function<bool(std::span<const uint8_t>, int32_t)> matches,
                                RecordKey::Prompt kind, int maxLength) {
  SearchOption option;
  option.label = std::move(label);
  option.ask = [=](TInputManager& input) -> std::optional<SearchQuery> {
    input.Prompt = prompt;
    input.MaxLength = maxLength;
    if (kind == RecordKey::Prompt::kNumber) {
      input.AskNumber();
    } else {
      input.AskText();
    }
    if (input.Cancelled) return std::nullopt;
    const int32_t number = input.ResultNumber;
    if (number == 0) return std::nullopt;
    SearchQuery query;
    query.notFound = Format(notFoundFormat.c_str(), number);
    query.matches = [matches, number](std::span<const uint8_t> r) { return matches(r, number); };
    return query;
  };
  return option;
}

}  // namespace torvex
