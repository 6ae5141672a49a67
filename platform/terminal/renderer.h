// Turns console frames into the bytes that show them on an ANSI terminal.
//
// The renderer remembers what it last put on the terminal (cells, colours, cursor)
// and writes only the difference: changed cells in runs, the fewest colour
// changes, and cursor moves only where a run does not continue where the last
// one stopped. It writes to a string, so it needs no terminal and tests can read
// every byte.
//
// Colours: foreground 0-7 as SGR 30-37 and 8-15 as SGR 90-97, background as
// SGR 40-47, the blink bit as SGR 5. Characters are code page 437 glyphs in UTF-8.
// Cursor: hidden with DECTCEM when the frame's cursor size is 0, otherwise a
// blinking underline (size below 50) or block (DECSCUSR).
//
// A terminal smaller than the frame gets the part that fits and, on its last row
// (or the row under the frame when only the width falls short), a notice naming
// both sizes. Nothing is ever written outside the terminal, so it never scrolls.
#pragma once

#include <string>
#include <vector>

#include "platform/terminal/display.h"

namespace torvex {

class Renderer {
 public:
  // The terminal's size in cells; 0 or less means unknown, which is taken as
  // large enough for any frame. A different size repaints everything next time.
  void SetTerminalSize(int columns, int rows);
  int TerminalColumns() const { return termColumns_; }
  int TerminalRows() const { return termRows_; }

  // Forgets what the terminal shows: the next Render clears it and paints the
  // whole frame. For a resize, a resume from suspension, or a new terminal.
  void Invalidate() {
    valid_ = false;
    cursorShape_ = cursorShown_ = -1;
  }

  // Appends to `*out` the bytes that turn the terminal from the last rendered
  // frame into `frame` (the whole frame the first time and after Invalidate).
  // Appends nothing when nothing changed.
  void Render(const Frame& frame, std::string* out);

  // The notice shown on a terminal of `columns` x `rows` that is smaller than the
  // `needColumns` x `needRows` frame.
  static std::string SmallTerminalNotice(int columns, int rows, int needColumns, int needRows);

  // The attribute the notice is drawn in.
  static constexpr uint8_t kNoticeAttr = 0x4F;  // bright white on red

 private:
  void MoveTo(int x, int y, std::string* out);
  void SetAttr(uint8_t attr, std::string* out);
  void PutCell(const Cell& cell, std::string* out);

  std::vector<Cell> shown_;
  int shownWidth_ = 0, shownHeight_ = 0;
  bool valid_ = false;
  int termColumns_ = 0, termRows_ = 0;
  // Where the terminal's cursor is, when known (it is not after a write into
  // the last column, where terminals differ).
  int curX_ = 0, curY_ = 0;
  bool curKnown_ = false;
  int sgr_ = -1;          // attribute the terminal draws in; -1 unknown
  int cursorShape_ = -1;  // DECSCUSR value last sent; -1 unknown
  int cursorShown_ = -1;  // 0 hidden, 1 shown, -1 unknown
};

// Appends rows 0 .. rows-1 of `frame` as lines for the terminal's normal screen,
// in colour, clipped to `columns` (0 or less: no limit), each ending with an SGR
// reset and CR LF. Blank cells on a black background at the end of a row are
// left out so the line does not paint past its text.
void AppendFrameRows(const Frame& frame, int rows, int columns, std::string* out);

}  // namespace torvex
