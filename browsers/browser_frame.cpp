#include "browsers/browser_frame.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <exception>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/keymap.h"
#include "database/record_access.h"
#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"

namespace torvex {
namespace {

namespace op = btrieve::op;

// Scan codes of the extended keys the frame knows.
constexpr int kScanLeft = 75;
constexpr int kScanRight = 77;
constexpr int kScanF1 = 59;       // .. F10 68
constexpr int kScanShiftF1 = 84;  // .. 93
constexpr int kScanCtrlF1 = 94;   // .. 103

constexpr int kCtrlE = 5;
constexpr int kCtrlS = 19;
constexpr int kEsc = 27;

constexpr int kJumpLength = 10;

// A navigation call. On success the new record is current and will be painted.
// On failure the status is reported and the buffer is put back as it was, so
// the screen, a macro store and a raw dump all still mean the record shown
// (the record manager may have left a partial or empty buffer behind).
void Navigate(BrowserState& state, uint16_t operation, uint32_t jumpTo = 0) {
  const std::vector<uint8_t> shown(state.file.dataBuffer.get(),
                                   state.file.dataBuffer.get() + state.file.dataLength);
  const int16_t status =
      operation == op::kGetEqual ? state.GetEqual(jumpTo) : state.Call(operation);
  if (status == 0) {
    state.redisplay = true;
    return;
  }
  std::copy(shown.begin(), shown.end(), state.file.dataBuffer.get());
  state.file.dataLength = static_cast<uint32_t>(shown.size());
  ShowBtrieveError(state.console, status);
}

// A jump (the prompt or a macro): nothing for 0; otherwise Get Equal, and the
// screen is repainted whether or not the record was there.
void JumpTo(BrowserState& state, int64_t number) {
  if (number == 0) return;
  Navigate(state, op::kGetEqual, static_cast<uint32_t>(number));
  state.redisplay = true;
}

void AskJump(BrowserState& state, const BrowserDescription& d) {
  TInputManager& input = state.input;
  ApplyWindowStyle(input, kInputStyle);
  input.Title = d.jumpTitle;
  input.Prompt = d.jumpPrompt;
  input.MaxLength = kJumpLength;
  input.AskNumber();
  if (input.Cancelled) return;
  JumpTo(state, input.ResultNumber);
}

void ShowHelp(BrowserState& state, const BrowserDescription& d) {
  ApplyWindowStyle(state.input, kHelpStyle);
  state.input.Title = d.helpTitle;
  state.input.Prompt = d.helpText;
  state.input.ShowMessage();
}

uint32_t NumberOf(const BrowserDescription& d, std::span<const uint8_t> record) {
  return d.recordNumber ? d.recordNumber(record) : RecordNumberAt0(record);
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
    if (console.ReadKey() == 0) console.ReadKey();
  }
  state.redisplay = true;
}

// The frame's keys; false when the key means leaving.
bool Dispatch(BrowserState& state, const BrowserDescription& d, int key) {
  if (key >= kExtended) {
    const int scan = key - kExtended;
    if (scan == kScanRight) {
      Navigate(state, op::kGetNext);
    } else if (scan == kScanLeft) {
      Navigate(state, op::kGetPrevious);
    } else if (d.macros && scan >= kScanF1 && scan < kScanF1 + kMacroSlots) {
      JumpTo(state, DecimalValue(MacroSlot(*d.macros, scan - kScanF1)));
    } else if (d.macros && scan >= kScanShiftF1 && scan < kScanShiftF1 + kMacroSlots) {
      MacroSlot(*d.macros, scan - kScanShiftF1).clear();
    } else if (d.macros && scan >= kScanCtrlF1 && scan < kScanCtrlF1 + kMacroSlots) {
      MacroSlot(*d.macros, scan - kScanCtrlF1) = std::to_string(NumberOf(d, state.Record()));
    }
    return true;
  }
  switch (key) {
    case '>':
    case '+':
      Navigate(state, op::kGetNext);
      break;
    case '<':
    case '-':
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
      AskJump(state, d);
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
    case kCtrlE:
      if (d.rawDumpName) WriteRawDump(d.rawDumpName(state.Record()), state.Record());
      break;
    case kCtrlS:
      if (d.simulator) RunGuarded(state, d);
      break;
    case 'Q':
    case 'X':
    case kEsc:
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
  file.dataLength = kTaskBufferSize;
  return BTRCALL(operation, file.positionBlock.data(), file.dataBuffer.get(), &file.dataLength,
                 file.keyBuffer.data(), file.keyLength, 0);
}

int16_t BrowserState::GetEqual(uint32_t number) {
  btrieve::StoreU32(reinterpret_cast<uint8_t*>(file.keyBuffer.data()), number);
  return Call(op::kGetEqual);
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

void RunBrowser(Console& console, const BrowserDescription& description) {
  BrowserState state(console);
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
    int key = console.ReadKey();
    if (key == 0) {
      key = kExtended + console.ReadKey();
    } else if (key < 128) {
      key = std::toupper(key);
    }
    if (d.extraKey && d.extraKey(state, key)) continue;
    if (!Dispatch(state, d, key)) return;
  }
}

void RunSearch(BrowserState& state, const BrowserDescription& d) {
  TInputManager& input = state.input;
  ApplyWindowStyle(input, kInputStyle);
  input.Title = d.searchTitle;
  input.Prompt = "Select how you would like to search:";
  input.Items.clear();
  for (const SearchOption& option : d.searches) input.Items.push_back(option.label);
  input.MaxLength = 0;
  input.ChosenIndex = -1;
  input.ChooseFromList(0);
  const int32_t chosen = input.ChosenIndex;
  if (chosen < 0 || chosen >= static_cast<int32_t>(d.searches.size())) return;
  std::optional<SearchQuery> query = d.searches[static_cast<size_t>(chosen)].ask(input);
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
  // Written beside the target and renamed over it, so that a failure leaves
  // no half-written dump behind.
  std::string temporary = name + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  size_t written = 0;
  while (written < record.size()) {
    const ssize_t n = ::write(fd, record.data() + written, record.size() - written);
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  // mkstemp makes the file private; a dump gets the mode any new file would.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  bool ok = written == record.size() && ::fchmod(fd, 0666 & ~mask) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && std::rename(temporary.c_str(), name.c_str()) == 0;
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

std::optional<std::string> AskSearchText(TInputManager& input, const std::string& prompt) {
  ApplyWindowStyle(input, kInputStyle);
  input.Prompt = prompt;
  input.MaxLength = kTextSearchLength;
  input.AskText();
  if (input.Cancelled || input.ResultText.empty()) return std::nullopt;
  return input.ResultText;
}

SearchOption TextSearchOption(
    std::string label, std::string prompt,
    std::function<std::vector<std::string>(std::span<const uint8_t>)> fields) {
  SearchOption option;
  option.label = std::move(label);
  option.ask = [prompt = std::move(prompt),
                fields = std::move(fields)](TInputManager& input) -> std::optional<SearchQuery> {
    std::optional<std::string> text = AskSearchText(input, prompt);
    if (!text) return std::nullopt;
    SearchQuery query;
    query.notFound = SearchNotFoundText(*text);
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

}  // namespace torvex
