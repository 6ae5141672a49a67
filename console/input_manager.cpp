#include "console/input_manager.h"

#include <algorithm>
#include <limits>

#include "console/colour_text.h"
#include "console/input_field.h"
#include "console/keys.h"
#include "console/text_values.h"

namespace torvex {
namespace {

constexpr int kMessageWidth = 58;
constexpr int kPromptWidth = 40;

// Code page 437 single-line box characters.
constexpr char kTopLeft = static_cast<char>(218);
constexpr char kTopRight = static_cast<char>(191);
constexpr char kBottomLeft = static_cast<char>(192);
constexpr char kBottomRight = static_cast<char>(217);
constexpr char kHorizontal = static_cast<char>(196);
constexpr char kVertical = static_cast<char>(179);

// One piece of colour-code text: a visible character, or a colour code that
// takes no column ("||" is a visible bar).
struct Token {
  std::string_view text;
  int width;
  bool space;
};

std::vector<Token> Tokenize(std::string_view line) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == '|') {
      if (i + 1 < line.size() && line[i + 1] == '|') {
        tokens.push_back({line.substr(i, 2), 1, false});
        i += 2;
      } else {
        const size_t n = std::min<size_t>(3, line.size() - i);
        tokens.push_back({line.substr(i, n), 0, false});
        i += n;
      }
    } else {
      tokens.push_back({line.substr(i, 1), 1, line[i] == ' '});
      ++i;
    }
  }
  return tokens;
}

void AppendTokens(std::string& out, const std::vector<Token>& tokens, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) out += tokens[i].text;
}

// Wraps one paragraph (text without line breaks) into `out`.
void WrapParagraph(std::string_view paragraph, int columns, std::string& out) {
  const std::vector<Token> tokens = Tokenize(paragraph);
  std::vector<Token> line;
  int width = 0;
  bool afterWrap = false;  // spaces at the start of a wrapped line are dropped
  auto emit = [&](const std::vector<Token>& pieces, size_t count) {
    AppendTokens(out, pieces, 0, count);
    out += "\r\n";
  };
  for (const Token& token : tokens) {
    if (token.space && afterWrap && width == 0) continue;
    if (token.width > 0 && width == columns) {
      if (token.space) {
        // The line is exactly full: break here and drop the spaces.
        size_t end = line.size();
        while (end > 0 && line[end - 1].space) --end;
        emit(line, end);
        line.clear();
        width = 0;
        afterWrap = true;
        continue;
      }
      size_t lastSpace = line.size();
      for (size_t i = line.size(); i-- > 0;) {
        if (line[i].space) {
          lastSpace = i;
          break;
        }
      }
      if (lastSpace < line.size()) {
        size_t headEnd = lastSpace;
        while (headEnd > 0 && line[headEnd - 1].space) --headEnd;
        emit(line, headEnd);
        line.erase(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(lastSpace) + 1);
      } else {
        // A word longer than the line: cut it rather than run past the frame.
        emit(line, line.size());
        line.clear();
      }
      width = 0;
      for (const Token& t : line) width += t.width;
      afterWrap = true;
    }
    line.push_back(token);
    width += token.width;
  }
  AppendTokens(out, line, 0, line.size());
}

// Replaces each pair of consecutive line breaks by one, left to right, pairs not
// overlapping, so that the empty lines of a message are dropped.
std::string DropEmptyLines(std::string_view text) {
  constexpr std::string_view kPair = "\r\n\r\n";
  std::string out;
  size_t i = 0;
  for (size_t at = text.find(kPair); at != std::string_view::npos; at = text.find(kPair, i)) {
    out.append(text.substr(i, at - i));
    out += "\r\n";
    i = at + kPair.size();
  }
  out.append(text.substr(i));
  return out;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t i = 0;
  for (size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", i)) {
    lines.push_back(text.substr(i, at - i));
    i = at + 2;
  }
  lines.push_back(text.substr(i));
  return lines;
}

// Puts `chars` at the 1-based screen position in `attr` without moving the cursor;
// cells off the screen are dropped (a frame touching the bottom-right corner must
// not scroll the screen).
void PutRow(Console& console, int column, int row, std::string_view chars, uint8_t attr) {
  const int y = row - 1;
  if (y < 0 || y >= console.ScreenHeight()) return;
  for (size_t i = 0; i < chars.size(); ++i) {
    const int x = column - 1 + static_cast<int>(i);
    if (x < 0 || x >= console.ScreenWidth()) continue;
    console.PutCells(x, y, {static_cast<uint8_t>(chars[i]), attr});
  }
}

// `text` cut or padded with spaces to exactly `width` characters.
std::string Fit(std::string_view text, int width) {
  std::string out(text.substr(0, std::min(text.size(), static_cast<size_t>(width))));
  out.resize(static_cast<size_t>(width), ' ');
  return out;
}

// Closes a window on every way out of an operation, exceptions included.
template <typename Close>
class ScopeExit {
 public:
  explicit ScopeExit(Close close) : close_(close) {}
  ~ScopeExit() { close_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Close close_;
};

}  // namespace

void ApplyWindowStyle(TInputManager& manager, const TWindowStyle& style) {
  manager.FrameColour = style.FrameColour;
  manager.TextColour = style.TextColour;
  manager.TitleColour = style.TitleColour;
  manager.ItemColour = style.ItemColour;
  manager.ItemBackground = style.ItemBackground;
  manager.SelectedColour = style.SelectedColour;
  manager.SelectedBackground = style.SelectedBackground;
}

std::string WrapText(std::string_view text, int columns) {
  columns = std::max(columns, 1);
  std::string out;
  size_t i = 0;
  for (;;) {
    const size_t end = text.find_first_of("\r\n", i);
    WrapParagraph(text.substr(i, end == std::string_view::npos ? end : end - i), columns, out);
    if (end == std::string_view::npos) break;
    out += "\r\n";
    i = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return out;
}

int32_t DecimalValue(std::string_view text) {
  return ParseDecimal(text).value_or(0);
}

TInputManager::TInputManager(Console& console) : console_(console) {}

void TInputManager::OpenWindow(WindowKind kind) {
  SavedState = console_.SaveConsoleState(kStateAll);
  // Windows are centred on the screen whatever output window the caller had set;
  // the saved state puts that window back.
  console_.Window(1, 1, console_.ScreenWidth(), console_.ScreenHeight());
  console_.SetTextAttr(static_cast<uint8_t>(FrameColour));

  const int32_t maxLength = std::clamp<int32_t>(MaxLength, 0, kMaxFieldLength);
  // A field of 38 or 39 characters would overwrite the right border of a
  // 40-column window, so the window is always at least three columns wider.
  Width = kind == WindowKind::kMessage ? kMessageWidth : std::max(kPromptWidth, maxLength + 3);

  std::string wrapped = WrapText(Prompt, Width - 4);
  if (kind == WindowKind::kMessage) wrapped = DropEmptyLines(wrapped);
  const std::vector<std::string_view> lines = SplitLines(wrapped);
  const int32_t breaks = static_cast<int32_t>(lines.size()) - 1;
  switch (kind) {
    case WindowKind::kMessage:
      Height = breaks + 2;
      break;
    case WindowKind::kPrompt:
      Height = breaks + 4;
      break;
    case WindowKind::kList:
      Height = breaks + 3 + static_cast<int32_t>(std::min<size_t>(Items.size(), INT32_MAX - 64));
      break;
  }
  Left = console_.ScreenWidth() / 2 - Width / 2;
  Top = console_.ScreenHeight() / 2 - Height / 2;

  const uint8_t frame = static_cast<uint8_t>(FrameColour);
  const size_t inner = static_cast<size_t>(Width - 2);
  PutRow(console_, Left, Top, kTopLeft + std::string(inner, kHorizontal) + kTopRight, frame);
  const std::string side = kVertical + std::string(inner, ' ') + kVertical;
  for (int32_t row = Top + 1; row <= Top + Height - 1; ++row)
    PutRow(console_, Left, row, side, frame);
  PutRow(console_, Left, Top + Height, kBottomLeft + std::string(inner, kHorizontal) + kBottomRight,
         frame);

  if (!Title.empty()) {
    const std::string frameCodes = ColourCodes(FrameColour);
    WriteColourAt(console_, Left + 2, Top,
                  frameCodes + "[" + ColourCodes(TitleColour) + Title + frameCodes + "]");
  }

  console_.SetTextAttr(static_cast<uint8_t>(TextColour));
  for (size_t i = 0; i < lines.size(); ++i) {
    WriteColourAt(console_, Left + 2, Top + 1 + static_cast<int>(i), lines[i]);
  }
}

void TInputManager::CloseWindow() {
  console_.RestoreConsoleState(std::move(SavedState));
}

void TInputManager::Ask(std::string_view defaultText) {
  OpenWindow(WindowKind::kPrompt);
  ScopeExit close([this] { CloseWindow(); });
  uint8_t flags = 0;
  ResultText = InputField(console_, Left + 2, Top + Height - 1, defaultText, MaxLength,
                          kFieldEscCancels | kFieldWhiteOnBlue, &flags);
  ResultNumber = DecimalValue(ResultText);
  Cancelled = (flags & kFieldCancelled) != 0;
}

void TInputManager::AskNumber() {
  Ask({});
}

void TInputManager::AskText() {
  const std::string offered = DefaultText;
  Ask(offered);
  if (!Cancelled) DefaultText = ResultText;
}

void TInputManager::ShowMessage() {
  OpenWindow(WindowKind::kMessage);
  ScopeExit close([this] { CloseWindow(); });
  console_.SetCursorStyle(kCursorHidden);
  ReadWholeKey(console_);
}

void TInputManager::ChooseFromList(int32_t preselect) {
  OpenWindow(WindowKind::kList);
  ScopeExit close([this] { CloseWindow(); });
  const int32_t count = static_cast<int32_t>(std::min<size_t>(Items.size(), INT32_MAX - 64));
  int32_t selected = preselect >= 0 && preselect < count ? preselect : 0;
  console_.SetCursorStyle(kCursorHidden);
  for (;;) {
    for (int32_t i = 0; i < count; ++i) {
      const bool isSelected = i == selected;
      console_.GotoXY(Left + 2, Top + Height - (count - i));
      console_.TextColor(isSelected ? SelectedColour : ItemColour);
      console_.TextBackground(isSelected ? SelectedBackground : ItemBackground);
      console_.SetRawOutput(true);
      console_.Write(Fit(Items[static_cast<size_t>(i)], Width - 4));
      console_.SetRawOutput(false);
    }
    switch (ReadWholeKey(console_)) {
      case key::kUp:
        if (count > 0) selected = selected == 0 ? count - 1 : selected - 1;
        break;
      case key::kDown:
        if (count > 0) selected = selected == count - 1 ? 0 : selected + 1;
        break;
      case key::kEnter:
        if (count > 0) ChosenIndex = selected;
        return;
      case key::kEscape:
        return;
      default:
        break;
    }
  }
}

}  // namespace torvex
