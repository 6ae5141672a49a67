// The seam between the console model and whatever shows it.
//
// The console (console/console.h) owns an 80 x 50 grid of code page 437 cells and
// hands a read-only view of it to a Display whenever the program waits for a key or
// flushes. A Display presents that view and delivers key events. Two implementations:
// TerminalDisplay (a real tty) and HeadlessDisplay (tests).
#pragma once

#include <cstdint>
#include <string_view>

namespace torvex {

// One screen cell: a code page 437 character and a PC text attribute
// (bits 0-3 foreground, 4-6 background, 7 blink).
struct Cell {
  uint8_t ch = ' ';
  uint8_t attr = 7;
  friend bool operator==(const Cell&, const Cell&) = default;
};

// A read-only view of the console's screen. `cells` holds width * height cells,
// row by row, and stays valid only for the duration of the call it is passed to.
struct Frame {
  int width = 0;
  int height = 0;
  const Cell* cells = nullptr;
  int cursorX = 0;     // 0-based screen column
  int cursorY = 0;     // 0-based screen row
  int cursorSize = 0;  // percent of the cell, 1..100; 0 hides the cursor
};

enum KeyModifier : uint8_t { kShift = 1, kCtrl = 2, kAlt = 4 };

// Virtual-key codes: the key identities of the keyboard translation table.
// The values are the conventional PC virtual-key numbers so that the table reads
// like the reference it was written from.
namespace vk {
inline constexpr uint16_t kNone = 0x00;  // a typed character with no key identity
inline constexpr uint16_t kBack = 0x08, kTab = 0x09, kClear = 0x0C, kReturn = 0x0D;
inline constexpr uint16_t kShift = 0x10, kControl = 0x11, kMenu = 0x12, kEscape = 0x1B;
inline constexpr uint16_t kSpace = 0x20, kPrior = 0x21, kNext = 0x22, kEnd = 0x23;
inline constexpr uint16_t kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
inline constexpr uint16_t kInsert = 0x2D, kDelete = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
inline constexpr uint16_t kNumpad0 = 0x60;  // .. kNumpad0 + 9
inline constexpr uint16_t kMultiply = 0x6A, kAdd = 0x6B, kSubtract = 0x6D, kDecimal = 0x6E,
                          kDivide = 0x6F;
inline constexpr uint16_t kF1 = 0x70;           // .. kF1 + 11 for F12
inline constexpr uint16_t kNumpadEnter = 0x0E;  // keypad Enter, kept apart from kReturn
// US-layout punctuation keys.
inline constexpr uint16_t kSemicolon = 0xBA, kEquals = 0xBB, kComma = 0xBC, kMinus = 0xBD,
                          kPeriod = 0xBE, kSlash = 0xBF, kBackquote = 0xC0, kLeftBracket = 0xDB,
                          kBackslash = 0xDC, kRightBracket = 0xDD, kQuote = 0xDE;
}  // namespace vk

// A key press. `ch` is the code page 437 character the key produced (0 when it
// produced none); `vk` is the key's identity when known, vk::kNone for a plain
// typed character (for example one from a non-US layout).
struct KeyEvent {
  uint16_t vk = vk::kNone;
  uint8_t mods = 0;  // KeyModifier bits
  uint8_t ch = 0;
  friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

// Thrown out of Display::ReadKeyEvent once the process has been asked to end
// (SIGTERM, SIGHUP, SIGINT from outside, or the terminal went away), and again by
// every later call.
//
// Contract for the program: let it unwind to the main routine and end the run
// there the ordinary way: save the preferences and do the other end-of-run work,
// give the terminal back (no pause for a key: there may be no one to press it),
// and exit. It deliberately does not derive from std::exception, so that handlers
// for ordinary failures ("catch (const std::exception&)") let it pass; a
// "catch (...)" must rethrow it.
class TerminationRequest {
 public:
  explicit TerminationRequest(int signal) : signal_(signal) {}
  // The signal that asked for the end: SIGTERM, SIGHUP or SIGINT (SIGHUP also
  // when the terminal went away without one).
  int Signal() const { return signal_; }

 private:
  int signal_;
};

class Display {
 public:
  virtual ~Display() = default;

  // Shows `frame`. Implementations write only what changed since the last call.
  virtual void Present(const Frame& frame) = 0;

  // Waits at most `timeoutMs` milliseconds (negative: without limit) for a key
  // press. Returns true and fills `*event` when one arrived, false on time-out.
  // May throw TerminationRequest (above).
  virtual bool ReadKeyEvent(KeyEvent* event, int timeoutMs) = 0;

  virtual void SetTitle(std::string_view title) = 0;
  virtual void Bell() = 0;
  // Asks the window to fill the screen; ignored where that is not possible.
  virtual void Maximize() = 0;
  // Asks the terminal for a size in character cells; it may refuse.
  virtual void RequestSize(int columns, int rows) = 0;
};

}  // namespace torvex
