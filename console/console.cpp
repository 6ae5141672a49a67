#include "console/console.h"

#include <algorithm>

#include "console/keymap.h"
#include "platform/clock.h"

namespace torvex {
namespace {

// Row counts of the mode table, and the modes of each group at those rows.
constexpr int kRows[] = {14, 21, 25, 28, 43, 50, 60};
constexpr int kColour40[] = {8, 9, 1, 10, 11, 12, 13};
constexpr int kColour80[] = {14, 15, 3, 16, 17, 18, 19};
constexpr int kMono40[] = {20, 21, 0, 22, 23, 24, 25};
constexpr int kMono80[] = {26, 27, 2, 28, 29, 30, 31};
// The monochrome adapter group: 7 is 80 x 25, 32..37 the other heights.
constexpr int kHercules[] = {32, 33, 7, 34, 35, 36, 37};

// The default mode: 18 where the largest window is more than 43 rows high. A
// terminal can be asked for 50 rows, so here it always is.
constexpr int kDefaultMode = kModeColour80x50;

// Modes of the colour group in the order of the lookup: 40 before 80 columns.
int ColourModeFor(int columns, int rows) {
  for (int i = 0; i < 7; ++i) {
    if (rows != kRows[i]) continue;
    if (columns == 40) return kColour40[i];
    if (columns == 80) return kColour80[i];
  }
  return kModeStartup;
}

// clang-format off
int CursorPercent(int style, int size) {
  switch (style) {
    case kCursorBlock: return 99;
    case kCursorUnderline: return 25;
    case kCursorSmall: return 15;
    default: return std::clamp(size, 1, 100);
  }
}
// clang-format on

}  // namespace

std::optional<ModeSize> TextModeSize(int mode) {
  for (const int* group : {kColour40, kColour80, kMono40, kMono80}) {
    for (int i = 0; i < 7; ++i) {
      if (group[i] == mode) {
        const bool wide = group == kColour80 || group == kMono80;
        return ModeSize{wide ? 80 : 40, kRows[i]};
      }
    }
  }
  for (int i = 0; i < 7; ++i) {
    if (kHercules[i] == mode) return ModeSize{80, kRows[i]};
  }
  return std::nullopt;
}

Console::Console(Display& display, int columns, int rows) : display_(display) {
  Resize(std::max(columns, 1), std::max(rows, 1));
  startSize_ = {width_, height_};
  lastMode_ = ColourModeFor(width_, height_);
  if (lastMode_ == kDefaultMode) lastMode_ = kModeDefault;
}

void Console::Resize(int columns, int rows) {
  std::vector<Cell> cells(static_cast<size_t>(columns * rows), Cell{' ', normalAttr_});
  for (int y = 0; y < std::min(rows, height_); ++y) {
    for (int x = 0; x < std::min(columns, width_); ++x) {
      cells[static_cast<size_t>(y * columns + x)] = cells_[static_cast<size_t>(y * width_ + x)];
    }
  }
  cells_ = std::move(cells);
  width_ = columns;
  height_ = rows;
  winLeft_ = 0;
  winTop_ = 0;
  winRight_ = width_ - 1;
  winBottom_ = height_ - 1;
  cursorX_ = std::min(cursorX_, winRight_);
  cursorY_ = std::min(cursorY_, winBottom_);
}

void Console::FillRow(int y, int fromX, int toX) {
  for (int x = fromX; x <= toX; ++x) cells_[static_cast<size_t>(y * width_ + x)] = {' ', attr_};
}

void Console::ClrScr() {
  for (int y = winTop_; y <= winBottom_; ++y) FillRow(y, winLeft_, winRight_);
  cursorX_ = winLeft_;
  cursorY_ = winTop_;
}

void Console::ClrEol() {
  FillRow(cursorY_, cursorX_, winRight_);
}

void Console::GotoXY(int column, int row) {
  const int x = winLeft_ + column - 1;
  const int y = winTop_ + row - 1;
  if (column < 1 || row < 1 || x > winRight_ || y > winBottom_) return;
  cursorX_ = x;
  cursorY_ = y;
}

void Console::Window(int left, int top, int right, int bottom) {
  if (left < 1 || left > right || right > width_ || top < 1 || top > bottom || bottom > height_) {
    return;
  }
  winLeft_ = left - 1;
  winTop_ = top - 1;
  winRight_ = right - 1;
  winBottom_ = bottom - 1;
  cursorX_ = winLeft_;
  cursorY_ = winTop_;
}

void Console::ScrollUp(int fromRow, int toRow) {
  for (int y = fromRow; y < toRow; ++y) {
    std::copy_n(cells_.begin() + (y + 1) * width_ + winLeft_, winRight_ - winLeft_ + 1,
                cells_.begin() + y * width_ + winLeft_);
  }
  FillRow(toRow, winLeft_, winRight_);
}

void Console::ScrollDown(int fromRow, int toRow) {
  for (int y = toRow; y > fromRow; --y) {
    std::copy_n(cells_.begin() + (y - 1) * width_ + winLeft_, winRight_ - winLeft_ + 1,
                cells_.begin() + y * width_ + winLeft_);
  }
  FillRow(fromRow, winLeft_, winRight_);
}

void Console::InsLine() {
  ScrollDown(cursorY_, winBottom_);
}

void Console::DelLine() {
  ScrollUp(cursorY_, winBottom_);
}

void Console::TextColor(int colour) {
  attr_ = static_cast<uint8_t>((attr_ & 0x70) | (colour & 0x8F));
}

void Console::TextBackground(int colour) {
  attr_ = static_cast<uint8_t>((attr_ & 0x8F) | ((colour * 16) & 0x7F));
}

void Console::HighVideo() {
  attr_ = static_cast<uint8_t>(attr_ | 0x08);
}

void Console::TextMode(int mode) {
  std::optional<ModeSize> size;
  if (mode == kModeDefault) {
    size = TextModeSize(kDefaultMode);
  } else if (mode == kModeStartup) {
    size = startSize_;
  } else {
    size = TextModeSize(mode);
  }
  if (size) {
    Resize(size->columns, size->rows);
    display_.RequestSize(size->columns, size->rows);
    lastMode_ = mode;
  }
  attr_ = normalAttr_;
}

void Console::SetCursorStyle(int style, int size, bool visible) {
  if (style == kCursorHidden) {
    cursorVisible_ = false;
    return;
  }
  cursorSize_ = CursorPercent(style, size);
  cursorVisible_ = style == kCursorCustom ? visible : true;
}

void Console::NewLine() {
  if (cursorY_ < winBottom_) {
    ++cursorY_;
  } else {
    ScrollUp(winTop_, winBottom_);
  }
}

void Console::WriteRun(std::string_view run) {
  for (unsigned char c : run) {
    cells_[static_cast<size_t>(cursorY_ * width_ + cursorX_)] = {c, attr_};
    if (++cursorX_ > winRight_) {
      cursorX_ = winLeft_;
      NewLine();
    }
  }
}

void Console::Write(std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (rawOutput_ || (c != 7 && c != 8 && c != 10 && c != 13)) continue;
    WriteRun(text.substr(start, i - start));
    start = i + 1;
    switch (c) {
      case 7:
        display_.Bell();
        break;
      case 8:
        if (cursorX_ > winLeft_) --cursorX_;
        break;
      case 10:
        NewLine();
        break;
      case 13:
        cursorX_ = winLeft_;
        break;
    }
  }
  WriteRun(text.substr(start));
}

void Console::WriteLn(std::string_view text) {
  Write(text);
  Write("\n\r");
}

void Console::PutCells(int x, int y, Cell cell, int count) {
  if (x < 0 || y < 0) return;
  const size_t total = cells_.size();
  size_t at = static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
  for (int i = 0; i < count && at < total; ++i, ++at) cells_[at] = cell;
}

Frame Console::CurrentFrame() const {
  Frame frame;
  frame.width = width_;
  frame.height = height_;
  frame.cells = cells_.data();
  frame.cursorX = cursorX_;
  frame.cursorY = cursorY_;
  frame.cursorSize = cursorVisible_ ? cursorSize_ : 0;
  return frame;
}

void Console::Flush() {
  display_.Present(CurrentFrame());
}

std::optional<uint16_t> Console::NextCode(int timeoutMs) {
  if (lookahead_) {
    auto code = lookahead_;
    lookahead_.reset();
    return code;
  }
  const uint64_t deadline = MonotonicMillis() + static_cast<uint64_t>(std::max(timeoutMs, 0));
  for (;;) {
    int wait = -1;
    if (timeoutMs >= 0) {
      const uint64_t now = MonotonicMillis();
      wait = now >= deadline ? 0 : static_cast<int>(deadline - now);
    }
    KeyEvent event;
    if (!display_.ReadKeyEvent(&event, wait)) return std::nullopt;
    if (auto code = TranslateKey(event)) return code;
    if (wait == 0) return std::nullopt;
  }
}

bool Console::KeyPressed() {
  if (pendingExtended_ != 0xFFFF || lookahead_) return true;
  // Drain events that give no key; keep the first one that does.
  for (;;) {
    KeyEvent event;
    if (!display_.ReadKeyEvent(&event, 0)) return false;
    if (auto code = TranslateKey(event)) {
      lookahead_ = code;
      return true;
    }
  }
}

uint8_t Console::ReadKey() {
  uint8_t key = 0;
  ReadKeyWithin(-1, &key);
  return key;
}

bool Console::ReadKeyWithin(int milliseconds, uint8_t* key) {
  if (pendingExtended_ != 0xFFFF) {
    *key = static_cast<uint8_t>(pendingExtended_);
    pendingExtended_ = 0xFFFF;
    return true;
  }
  if (!lookahead_) Flush();
  auto code = NextCode(milliseconds);
  if (!code) return false;
  if (key::IsExtended(*code)) {
    pendingExtended_ = static_cast<uint16_t>(*code - key::kExtended);
    *key = 0;
  } else {
    *key = static_cast<uint8_t>(*code);
  }
  return true;
}

void Console::Delay(int milliseconds) {
  Flush();
  SleepMillis(milliseconds);
}

// A terminal has no tone generator; the bell is the only sound it offers, and
// Write sends that for the bell character.
void Console::Sound(int) {}
void Console::NoSound() {}

ConsoleState Console::SaveConsoleState(unsigned parts) const {
  ConsoleState s;
  s.parts = parts & kStateAll;
  if (parts & kStateScreen) {
    s.width = width_;
    s.height = height_;
    s.cells = cells_;
  }
  s.cursorX = cursorX_;
  s.cursorY = cursorY_;
  s.cursorSize = cursorSize_;
  s.cursorVisible = cursorVisible_;
  s.attribute = attr_;
  s.mode = lastMode_;
  s.windowLeft = winLeft_;
  s.windowTop = winTop_;
  s.windowRight = winRight_;
  s.windowBottom = winBottom_;
  s.rawOutput = rawOutput_;
  return s;
}

void Console::RestoreConsoleState(ConsoleState&& s) {
  if ((s.parts & kStateMode) && s.mode != lastMode_) TextMode(s.mode);
  if ((s.parts & kStateScreen) && !s.cells.empty()) {
    if (s.width == width_ && s.height == height_) {
      cells_ = std::move(s.cells);
    } else {
      // The screen changed size meanwhile: put back what still fits.
      for (int y = 0; y < std::min(s.height, height_); ++y) {
        for (int x = 0; x < std::min(s.width, width_); ++x) {
          cells_[static_cast<size_t>(y * width_ + x)] =
              s.cells[static_cast<size_t>(y * s.width + x)];
        }
      }
    }
  }
  if ((s.parts & kStateWindow) && s.windowRight < width_ && s.windowBottom < height_) {
    winLeft_ = s.windowLeft;
    winTop_ = s.windowTop;
    winRight_ = s.windowRight;
    winBottom_ = s.windowBottom;
  }
  if ((s.parts & kStateCursorPosition) && s.cursorX < width_ && s.cursorY < height_) {
    cursorX_ = s.cursorX;
    cursorY_ = s.cursorY;
  }
  if (s.parts & kStateCursorShape) {
    cursorSize_ = s.cursorSize;
    cursorVisible_ = s.cursorVisible;
  }
  if (s.parts & kStateAttribute) attr_ = s.attribute;
  if (s.parts & kStateOutputFlags) rawOutput_ = s.rawOutput;
  s = ConsoleState{};
}

}  // namespace torvex
