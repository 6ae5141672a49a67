#include "console/ansi_writer.h"

#include <algorithm>
#include <cstdint>

#include "console/text_values.h"

namespace torvex {
namespace {

constexpr unsigned char kEsc = 27;
constexpr unsigned char kBell = 7;
constexpr unsigned char kBackspace = 8;

// ANSI colour order (black, red, green, yellow, blue, magenta, cyan, white) to
// PC colours, which put blue before red.
constexpr uint8_t kNormalColour[8] = {0, 4, 2, 6, 1, 5, 3, 7};
constexpr uint8_t kBoldColour[8] = {8, 12, 10, 14, 9, 13, 11, 15};
constexpr uint8_t kBlinkBit = 0x80;

bool IsFinal(unsigned char c) {
  static constexpr std::string_view kFinals = "!ABCDEHJKLfhlmnrsu";
  return kFinals.find(static_cast<char>(c)) != std::string_view::npos;
}

// A missing or unreadable number counts as 0.
int64_t NumberIn(std::string_view text) {
  return ParseDecimal(text).value_or(0);
}

int64_t FirstNumber(std::string_view params) {
  return NumberIn(params.substr(0, params.find(';')));
}

// Everything after the first ";" is the second number, so "1;2;3" has an
// unreadable (zero) second number.
int64_t SecondNumber(std::string_view params) {
  const size_t semicolon = params.find(';');
  return semicolon == std::string_view::npos ? 0 : NumberIn(params.substr(semicolon + 1));
}

// Positions far outside the screen are all equally ignored by GotoXY; keeping
// them small keeps its arithmetic from overflowing.
int Position(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, -1, 1 << 20));
}

void GoTo(Console& console, int64_t column, int64_t row) {
  console.GotoXY(Position(column), Position(row));
}

}  // namespace

void AnsiWriter::Write(Console& console, std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    if (state_ == kPlain) {
      const size_t esc = text.find(static_cast<char>(kEsc), pos);
      if (esc == std::string_view::npos) {
        console.Write(text.substr(pos));
        return;
      }
      console.Write(text.substr(pos, esc - pos));
      pos = esc;
    }
    // From an Esc on, character by character until a control sequence ends.
    // Runs of ordinary characters in between are still written in one piece:
    // the console treats them exactly as it would one at a time.
    while (pos < text.size()) {
      if (state_ == kPlain) {
        size_t end = pos;
        while (end < text.size()) {
          const auto c = static_cast<unsigned char>(text[end]);
          if (c == kEsc || c == kBell || c == kBackspace) break;
          ++end;
        }
        if (end > pos) {
          console.Write(text.substr(pos, end - pos));
          pos = end;
          continue;
        }
      }
      if (Step(console, static_cast<unsigned char>(text[pos++]))) break;
    }
  }
}

void AnsiWriter::WriteLn(Console& console, std::string_view text) {
  Write(console, text);
  console.WriteLn();
}

bool AnsiWriter::Step(Console& console, unsigned char c) {
  switch (state_) {
    case kInSequence:
      if (c == kEsc) {
        WriteAbandoned(console);
        state_ = kAfterEscape;
        return false;
      }
      if (IsFinal(c)) {
        Act(console, static_cast<char>(c));
        params_.clear();
        state_ = kPlain;
        return true;
      }
      params_ += static_cast<char>(c);
      return false;

    case kAfterEscape:
      state_ = kPlain;
      if (c == 'D') {
        ScrollWindow(console, true);
      } else if (c == 'M') {
        ScrollWindow(console, false);
      } else if (c == '[') {
        state_ = kInSequence;
      } else {
        const char ch = static_cast<char>(c);
        console.Write(std::string_view(&ch, 1));
      }
      return false;

    case kPlain:
      if (c == kEsc) {
        state_ = kAfterEscape;
      } else if (c == kBell) {
        // A terminal has no tone generator; its bell stands in for the beep.
        console.display().Bell();
      } else if (c == kBackspace) {
        console.Write("\b \b");
      } else {
        const char ch = static_cast<char>(c);
        console.Write(std::string_view(&ch, 1));
      }
      return false;
  }
  return false;
}

void AnsiWriter::Act(Console& console, char final) {
  const bool none = params_.empty();
  const int64_t n = FirstNumber(params_);
  const int64_t x = console.WhereX();
  const int64_t y = console.WhereY();
  switch (final) {
    case 'm':
      SelectRendition(console);
      break;
    case 'H':
    case 'f':
      if (none) {
        console.GotoXY(1, 1);
      } else if (params_.find(';') == std::string::npos) {
        GoTo(console, 1, n);
      } else {
        GoTo(console, std::max<int64_t>(1, SecondNumber(params_)), std::max<int64_t>(1, n));
      }
      break;
    case 'A':
      GoTo(console, x, none ? y - 1 : std::max<int64_t>(1, y - n));
      break;
    case 'B':
      GoTo(console, x, none ? y + 1 : y + n);
      break;
    case 'C':
      GoTo(console, none ? x + 1 : x + n, y);
      break;
    case 'D':
      GoTo(console, none ? x - 1 : std::max<int64_t>(1, x - n), y);
      break;
    case 'E': {
      // Past one window height of scrolling the window is blank and further
      // line feeds change nothing, so a huge count costs no more than that.
      const int64_t limit = 2 * static_cast<int64_t>(console.WindowHeight());
      const int64_t feeds = std::min(none ? 1 : n, limit);
      for (int64_t i = 0; i < feeds; ++i) console.Write("\n");
      break;
    }
    case 'J':
      if (none || params_ == "2") {
        console.ClrScr();
      } else {
        WriteBack(console, final);
      }
      break;
    case 'K':
      EraseLine(console, static_cast<int>(std::clamp<int64_t>(n, -1, 3)));
      break;
    case 's':
      // No pause after saving: the console has nothing that needs time to settle.
      if (none) {
        savedX_ = console.WhereX();
        savedY_ = console.WhereY();
      } else {
        WriteBack(console, final);
      }
      break;
    case 'u':
      if (none) {
        console.GotoXY(savedX_, savedY_);
      } else {
        WriteBack(console, final);
      }
      break;
    case 'r':
      if (params_.find(';') != std::string::npos) {
        if (!region_) region_ = console.SaveConsoleState(kStateWindow);
        console.Window(1, Position(n), console.ScreenWidth(), Position(SecondNumber(params_)));
      }
      break;
    case 'n':
      if (reportHandler_) {
        if (n == 5) reportHandler_(2);
        if (n == 6) reportHandler_(3);
        if (n == 255) reportHandler_(4);
      }
      break;
    default:  // "!", "L", "h", "l": accepted and ignored
      break;
  }
}

void AnsiWriter::SelectRendition(Console& console) {
  std::string_view rest = params_;
  for (;;) {
    const size_t semicolon = rest.find(';');
    ApplyRendition(console, static_cast<int>(
                                std::clamp<int64_t>(NumberIn(rest.substr(0, semicolon)), -1, 256)));
    if (semicolon == std::string_view::npos) break;
    rest.remove_prefix(semicolon + 1);
  }
}

void AnsiWriter::ApplyRendition(Console& console, int number) {
  const uint8_t attr = console.TextAttr();
  if (number == 0 || number == 8) {
    bold_ = blink_ = reverse_ = false;
    console.SetTextAttr(number == 0 ? 7 : 0);
  } else if (number == 1) {
    if (!bold_) {
      bold_ = true;
      console.HighVideo();
    }
  } else if (number == 5) {
    // Blink is a bit: setting it again must not carry into the background.
    if (!blink_) {
      blink_ = true;
      console.SetTextAttr(attr | kBlinkBit);
    }
  } else if (number == 7) {
    // Black on light grey; a blinking text keeps blinking.
    if (!reverse_) {
      reverse_ = true;
      console.SetTextAttr(static_cast<uint8_t>((attr & kBlinkBit) | 0x70));
    }
  } else if (number >= 30 && number <= 37) {
    const uint8_t colour = (bold_ ? kBoldColour : kNormalColour)[number - 30];
    uint8_t next = static_cast<uint8_t>((attr & 0x70) | colour);
    if (blink_) next |= kBlinkBit;
    console.SetTextAttr(next);
  } else if (number >= 40 && number <= 47) {
    reverse_ = false;
    console.TextBackground(kNormalColour[number - 40]);
  }
}

// Erasing fills cells in place instead of writing spaces, so that erasing up to
// the bottom-right corner of the window never scrolls it.
void AnsiWriter::EraseLine(Console& console, int how) {
  if (how == 0) {
    console.ClrEol();
    return;
  }
  if (how != 1 && how != 2) return;
  const Frame frame = console.CurrentFrame();
  const int left = frame.cursorX - (console.WhereX() - 1);
  const int count = how == 1 ? console.WhereX() : console.WindowWidth();
  console.PutCells(left, frame.cursorY, Cell{' ', console.TextAttr()}, count);
}

void AnsiWriter::ScrollWindow(Console& console, bool up) {
  const int x = console.WhereX();
  const int y = console.WhereY();
  console.GotoXY(1, 1);
  if (up) {
    console.DelLine();
  } else {
    console.InsLine();
  }
  console.GotoXY(x, y);
}

void AnsiWriter::WriteBack(Console& console, char final) {
  std::string text = "\x1b[";
  text += params_;
  text += final;
  console.Write(text);
}

void AnsiWriter::WriteAbandoned(Console& console) {
  // A doubled introducer ("Esc [ [") shows no more of itself than a single one.
  const std::string_view text = params_;
  console.Write(text.starts_with('[') ? text.substr(1) : text);
  params_.clear();
}

void AnsiWriter::FinishDisplay(Console& console) {
  if (state_ == kInSequence) WriteAbandoned(console);
  params_.clear();
  state_ = kPlain;
  if (!region_) return;
  // Put back the window the text found, keeping the cursor on its screen cell
  // when that cell lies inside it.
  ConsoleState window = std::move(*region_);
  region_.reset();
  const Frame frame = console.CurrentFrame();
  const bool inside = frame.cursorX >= window.windowLeft && frame.cursorX <= window.windowRight &&
                      frame.cursorY >= window.windowTop && frame.cursorY <= window.windowBottom;
  window.parts = kStateWindow | kStateCursorPosition;
  window.cursorX = inside ? frame.cursorX : window.windowLeft;
  window.cursorY = inside ? frame.cursorY : window.windowTop;
  console.RestoreConsoleState(std::move(window));
}

AnsiWriter& ProgramAnsiWriter() {
  static AnsiWriter writer;
  return writer;
}

void WriteAnsi(Console& console, std::string_view text) {
  ProgramAnsiWriter().Write(console, text);
}

void WriteAnsiLn(Console& console, std::string_view text) {
  ProgramAnsiWriter().WriteLn(console, text);
}

void FinishAnsiDisplay(Console& console) {
  ProgramAnsiWriter().FinishDisplay(console);
}

}  // namespace torvex
