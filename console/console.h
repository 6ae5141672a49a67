// The console: the program's grid of code page 437 cells with a text attribute,
// a cursor, an output window and a keyboard, in the manner of a classic text-mode
// console library. Every screen draws and reads keys only through a Console.
//
// Positions taken and returned by the operations are 1-based and relative to the
// current window unless a comment says otherwise. The console presents its grid to
// a Display (platform/terminal/display.h) whenever it waits for a key, sleeps or is
// flushed, so a screen built from many small writes reaches the terminal as one
// update.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/terminal/display.h"

namespace torvex {

// Text modes: a colour group and a size. 64 is the default mode, 65 the size the
// screen had at start when that size has no mode of its own.
inline constexpr int kModeColour80x25 = 3;
inline constexpr int kModeColour80x50 = 18;
inline constexpr int kModeDefault = 64;
inline constexpr int kModeStartup = 65;

// Columns and rows of a text mode, or nullopt for a number that names none.
struct ModeSize {
  int columns;
  int rows;
};
std::optional<ModeSize> TextModeSize(int mode);

// Parts of the console state that SaveConsoleState keeps.
enum ConsoleStatePart : unsigned {
  kStateScreen = 1,
  kStateCursorPosition = 2,
  kStateCursorShape = 4,
  kStateAttribute = 8,
  kStateMode = 16,
  kStateWindow = 32,
  kStateOutputFlags = 64,
  kStateAll = 127,
};

// Cursor shapes for SetCursorStyle.
enum CursorStyle : int {
  kCursorCustom = -1,
  kCursorHidden = 0,
  kCursorBlock = 1,
  kCursorUnderline = 2,
  kCursorSmall = 3,
};

struct ConsoleState {
  unsigned parts = 0;
  int width = 0, height = 0;
  std::vector<Cell> cells;
  int cursorX = 0, cursorY = 0;  // 0-based screen position
  int cursorSize = 0;
  bool cursorVisible = true;
  uint8_t attribute = 7;
  int mode = 0;
  int windowLeft = 0, windowTop = 0, windowRight = 0, windowBottom = 0;
  bool rawOutput = false;
};

class Console {
 public:
  // `display` must outlive the console. The screen starts at `columns` x `rows`
  // (the size the terminal had), light grey on black, window = whole screen.
  Console(Display& display, int columns, int rows);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  Display& display() { return display_; }

  // --- Screen and window ---
  void ClrScr();
  void ClrEol();
  void GotoXY(int column, int row);
  int WhereX() const { return cursorX_ - winLeft_ + 1; }
  int WhereY() const { return cursorY_ - winTop_ + 1; }
  // 1-based screen positions; ignored unless they describe a window on the screen.
  void Window(int left, int top, int right, int bottom);
  void InsLine();
  void DelLine();
  int ScreenWidth() const { return width_; }
  // Size of the current window.
  int WindowWidth() const { return winRight_ - winLeft_ + 1; }
  int WindowHeight() const { return winBottom_ - winTop_ + 1; }
  int ScreenHeight() const { return height_; }

  // --- Attribute ---
  void TextColor(int colour);
  void TextBackground(int colour);
  void HighVideo();
  uint8_t TextAttr() const { return attr_; }
  void SetTextAttr(uint8_t attr) { attr_ = attr; }
  uint8_t NormalAttr() const { return normalAttr_; }

  // --- Modes and cursor ---
  void TextMode(int mode);
  int LastMode() const { return lastMode_; }
  // style -1 takes `size` (1..100 percent) and `visible`; 0 hides; 1 block (99 %);
  // 2 underline (25 %); 3 small (15 %).
  void SetCursorStyle(int style, int size = 0, bool visible = true);
  int CursorSize() const { return cursorSize_; }
  bool CursorVisible() const { return cursorVisible_; }

  // --- Output ---
  // Writes code page 437 text at the cursor in the text attribute. Bell,
  // backspace, line feed and carriage return act as controls unless raw output is
  // on; text wraps at the window's right edge and scrolls the window at its bottom.
  void Write(std::string_view text);
  void WriteLn(std::string_view text = {});
  void SetRawOutput(bool raw) { rawOutput_ = raw; }
  bool RawOutput() const { return rawOutput_; }
  // Places `count` copies of a cell at an absolute 0-based screen position, running
  // on into the following rows; cells past the end of the screen are dropped. The
  // cursor does not move.
  void PutCells(int x, int y, Cell cell, int count = 1);
  // The cell at an absolute 0-based position; position must be on the screen.
  const Cell& CellAt(int x, int y) const { return cells_[static_cast<size_t>(y * width_ + x)]; }
  // Presents the screen to the display now.
  void Flush();
  // A view of the screen as it stands; valid until the console is next changed.
  Frame CurrentFrame() const;

  // --- Keyboard ---
  bool KeyPressed();
  // Waits for a key and returns its code: a character, or 0 followed on the next
  // call by the extended key's scan code.
  uint8_t ReadKey();
  // ReadKey with a time-out in milliseconds; false when none came in time.
  bool ReadKeyWithin(int milliseconds, uint8_t* key);

  // --- Time and sound ---
  void Delay(int milliseconds);
  void Sound(int frequency);
  void NoSound();

  // --- State ---
  ConsoleState SaveConsoleState(unsigned parts = kStateAll) const;
  void RestoreConsoleState(ConsoleState&& state);

 private:
  void Resize(int columns, int rows);
  void WriteRun(std::string_view run);
  void NewLine();
  void ScrollUp(int fromRow, int toRow);
  void ScrollDown(int fromRow, int toRow);
  void FillRow(int y, int fromX, int toX);
  // Translates queued key events into a code, consuming events that give none.
  // With `wait` false it never blocks; returns nullopt when nothing is waiting.
  std::optional<uint16_t> NextCode(int timeoutMs);

  Display& display_;
  int width_ = 0, height_ = 0;
  std::vector<Cell> cells_;
  int cursorX_ = 0, cursorY_ = 0;
  int winLeft_ = 0, winTop_ = 0, winRight_ = 0, winBottom_ = 0;
  uint8_t attr_ = 7;
  uint8_t normalAttr_ = 7;
  int lastMode_ = 0;
  ModeSize startSize_{};
  int cursorSize_ = 25;
  bool cursorVisible_ = true;
  bool rawOutput_ = false;
  uint16_t pendingExtended_ = 0xFFFF;
  std::optional<uint16_t> lookahead_;
};

}  // namespace torvex
