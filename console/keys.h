// Every key the program reads, by name, and the one routine that reads a key
// whole. ReadKey gives a character code, or 0 and then the PC BIOS scan code of
// an extended key; a whole key folds that pair into one int: the character
// code (0-255), or kExtended + scan code.
#pragma once

#include <cstdint>

namespace torvex {

class Console;

namespace key {

inline constexpr int kExtended = 256;
constexpr int Extended(int scan) {
  return kExtended + scan;
}

// Character codes.
inline constexpr int kCtrlC = 3;
inline constexpr int kCtrlE = 5;
inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kLineFeed = 10;
inline constexpr int kEnter = 13;
inline constexpr int kCtrlS = 19;
inline constexpr int kCtrlX = 24;
inline constexpr int kEscape = 27;

// Scan codes of extended keys.
namespace scan {
inline constexpr int kF1 = 59;  // F1..F10: 59..68
inline constexpr int kHome = 71;
inline constexpr int kUp = 72;
inline constexpr int kPageUp = 73;
inline constexpr int kLeft = 75;
inline constexpr int kRight = 77;
inline constexpr int kEnd = 79;
inline constexpr int kDown = 80;
inline constexpr int kPageDown = 81;
inline constexpr int kInsert = 82;
inline constexpr int kDelete = 83;
inline constexpr int kShiftF1 = 84;  // Shift+F1..F10: 84..93
inline constexpr int kCtrlF1 = 94;   // Ctrl+F1..F10: 94..103
inline constexpr int kAltF1 = 104;   // Alt+F1..F10: 104..113
}  // namespace scan

// Whole keys of the extended kind.
inline constexpr int kHome = Extended(scan::kHome);
inline constexpr int kUp = Extended(scan::kUp);
inline constexpr int kPageUp = Extended(scan::kPageUp);
inline constexpr int kLeft = Extended(scan::kLeft);
inline constexpr int kRight = Extended(scan::kRight);
inline constexpr int kEnd = Extended(scan::kEnd);
inline constexpr int kDown = Extended(scan::kDown);
inline constexpr int kPageDown = Extended(scan::kPageDown);
inline constexpr int kInsert = Extended(scan::kInsert);
inline constexpr int kDelete = Extended(scan::kDelete);

// The function keys F1..F10 and their Shift/Ctrl forms; `n` is 0..9.
constexpr int F(int n) {
  return Extended(scan::kF1 + n);
}
constexpr int ShiftF(int n) {
  return Extended(scan::kShiftF1 + n);
}
constexpr int CtrlF(int n) {
  return Extended(scan::kCtrlF1 + n);
}

// The number of function keys a row of them has.
inline constexpr int kFunctionKeys = 10;

// True for an extended key; its scan code is `k - kExtended`.
constexpr bool IsExtended(int k) {
  return k >= kExtended;
}

// Upper-cases an ASCII letter; every other code, extended keys included, is
// returned as it is (a scan code is never folded: 0x48 is Up, not "H").
constexpr int Upper(int k) {
  return k >= 'a' && k <= 'z' ? k - 'a' + 'A' : k;
}

}  // namespace key

// Waits for one key and returns it whole (see above).
int ReadWholeKey(Console& console);
// ReadWholeKey with a time-out in milliseconds: false when no key came in time.
bool ReadWholeKeyWithin(Console& console, int milliseconds, int* whole);

}  // namespace torvex
