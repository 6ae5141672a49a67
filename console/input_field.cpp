#include "console/input_field.h"

#include <algorithm>

#include "console/colour_text.h"
#include "console/keys.h"

namespace torvex {
namespace {

constexpr std::string_view kWhiteOnBlack = "|16|15";
constexpr std::string_view kWhiteOnBlue = "|17|15";

uint8_t FoldLower(uint8_t c) {
  return c >= 'A' && c <= 'Z' ? static_cast<uint8_t>(c + 32) : c;
}

bool PassesFilter(uint8_t c, uint8_t options) {
  if (options & kFieldPrintable) return c >= 32 && c <= 126;
  if (options & kFieldNumeric) return c >= 42 && c <= 63;
  return true;
}

// Draws the field. Text goes out with raw output on, so that whatever was typed
// (a bell, a bar) shows as one cell and the cursor arithmetic stays true. The
// caller's raw-output flag is put back when the writer goes.
class FieldWriter {
 public:
  FieldWriter(Console& console, bool password)
      : console_(console), password_(password), savedRaw_(console.RawOutput()) {
    const ConsoleState window = console.SaveConsoleState(kStateWindow);
    windowWidth_ = window.windowRight - window.windowLeft + 1;
  }
  ~FieldWriter() { console_.SetRawOutput(savedRaw_); }
  FieldWriter(const FieldWriter&) = delete;
  FieldWriter& operator=(const FieldWriter&) = delete;

  std::string Shown(std::string_view text) const {
    return password_ ? std::string(text.size(), 'X') : std::string(text);
  }
  void Text(std::string_view text) {
    console_.SetRawOutput(true);
    console_.Write(Shown(text));
  }
  void Plain(std::string_view text) {
    console_.SetRawOutput(true);
    console_.Write(text);
  }
  void Spaces(size_t count) { Plain(std::string(count, ' ')); }
  // Moves the cursor `count` cells back. Unlike a backspace this crosses to the
  // end of the row above, so that a field wider than the rest of its row still
  // edits in place.
  void Back(size_t count) {
    const long at = static_cast<long>(console_.WhereY() - 1) * windowWidth_ + console_.WhereX() - 1;
    const long to = std::max(0L, at - static_cast<long>(count));
    console_.GotoXY(static_cast<int>(to % windowWidth_) + 1,
                    static_cast<int>(to / windowWidth_) + 1);
  }
  void Codes(std::string_view codes) {
    console_.SetRawOutput(false);
    WriteColour(console_, codes);
  }

 private:
  Console& console_;
  bool password_;
  bool savedRaw_;
  int windowWidth_ = 1;
};

}  // namespace

std::string InputField(Console& console, int column, int row, std::string_view defaultText,
                       int maxLength, uint8_t options, uint8_t* resultFlags, int width) {
  if (resultFlags != nullptr) *resultFlags = 0;
  const size_t max = static_cast<size_t>(std::clamp(maxLength, 0, kMaxFieldTextLength));
  // The cells the field covers: never more than kMaxFieldLength, so that a
  // runaway length cannot make the field write without end.
  const size_t cells =
      std::min(width > 0 ? static_cast<size_t>(width) : max, static_cast<size_t>(kMaxFieldLength));
  const size_t shownMax = std::min(max, cells);
  // A text that can be longer than the field scrolls: the cursor cell is always
  // one of the field's cells. Otherwise the cursor may stand behind a full field.
  const bool scrolls = max > cells;
  std::string initial(defaultText.substr(0, std::min(defaultText.size(), max)));
  if (options & kFieldLowerCase) {
    for (char& c : initial) c = static_cast<char>(FoldLower(static_cast<uint8_t>(c)));
  }
  const std::string_view fieldCodes = (options & kFieldWhiteOnBlue) ? kWhiteOnBlue : kWhiteOnBlack;

  FieldWriter out(console, (options & kFieldPassword) != 0);
  std::string text = initial;
  size_t cursor = text.size();
  size_t offset = 0;  // the first character shown
  size_t at = 0;      // cells from the field start to where the console cursor stands

  // Draws the shown part of the text over the field and puts the cursor on its cell.
  auto draw = [&] {
    if (scrolls && cells > 0) {
      if (cursor < offset) offset = cursor;
      if (cursor - offset > cells - 1) offset = cursor - (cells - 1);
      // No blank cells at the end while there is text before the shown part.
      if (text.size() + 1 - offset < cells)
        offset = text.size() + 1 > cells ? text.size() + 1 - cells : 0;
    }
    out.Back(at);
    const std::string_view shown =
        std::string_view(text).substr(std::min(offset, text.size()), shownMax);
    out.Text(shown);
    out.Spaces(shownMax - shown.size());
    at = std::min(cursor - offset, shownMax);
    out.Back(shownMax - at);
  };

  console.GotoXY(column, row);
  out.Codes(fieldCodes);
  draw();

  bool cancelled = false;
  for (bool done = false; !done;) {
    const int whole = ReadWholeKey(console);
    if (key::IsExtended(whole)) {
      // The scan code is never folded: Home, End and the arrows are upper-case
      // letters as scan codes and would otherwise turn into other keys.
      switch (whole) {
        case key::kHome:
          cursor = 0;
          break;
        case key::kEnd:
          cursor = text.size();
          break;
        case key::kLeft:
          if (cursor > 0) --cursor;
          break;
        case key::kRight:
          if (cursor < text.size()) ++cursor;
          break;
        case key::kDelete:
          if (cursor < text.size()) text.erase(cursor, 1);
          break;
        default:
          break;
      }
      draw();
      continue;
    }
    uint8_t key = static_cast<uint8_t>(whole);
    if (options & kFieldLowerCase) key = FoldLower(key);
    switch (key) {
      case key::kBackspace:
        if (cursor > 0) text.erase(--cursor, 1);
        break;
      case key::kEnter:
      case key::kLineFeed:
        done = true;
        break;
      case key::kCtrlX:
        text.clear();
        cursor = 0;
        break;
      case key::kEscape:
        if (options & kFieldEscCancels) {
          cancelled = true;
          done = true;
        }
        break;
      default:
        if (text.size() < max && PassesFilter(key, options)) {
          text.insert(cursor, 1, static_cast<char>(key));
          ++cursor;
        }
        break;
    }
    if (!done) draw();
  }

  out.Back(at);
  std::string result = cancelled ? initial : text;
  if (cancelled && resultFlags != nullptr) *resultFlags |= kFieldCancelled;

  // The finished field is white on black whatever colour it was edited in, and
  // shows the start of a text longer than the field.
  out.Codes(kWhiteOnBlack);
  const std::string shown = out.Shown(std::string_view(result).substr(0, shownMax));
  const std::string padding(shownMax - shown.size(), ' ');
  out.Plain((options & kFieldRightAlign) ? padding + shown : shown + padding);
  return result;
}

}  // namespace torvex
