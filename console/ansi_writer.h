// Game texts that carry ANSI escape sequences, written onto the console by a
// small terminal emulator: plain text passes through, cursor, erase, scrolling
// region and colour sequences act on the console, and whatever is not a
// sequence this emulator knows stays visible as text.
//
// The emulator keeps its state between writes, so a sequence split across two
// writes is completed by the second, and colour flags (bold, blink, reverse)
// persist until a text resets them. FinishDisplay ends a whole display (for
// example one text block with all its parts); it is never implied by the end of
// one write.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "console/console.h"

namespace torvex {

class AnsiWriter {
 public:
  // Receives the report code of a device-status request: 2 for "ESC[5n", 3 for
  // "ESC[6n", 4 for "ESC[255n".
  using ReportHandler = std::function<void(int code)>;

  // Writes `text` at the cursor through the emulator; adds no line break.
  void Write(Console& console, std::string_view text);
  // Write, then a line break on the console whatever state the emulator is in.
  void WriteLn(Console& console, std::string_view text);

  // Ends a display: a sequence still open is written out as an abandoned one
  // would be (its parameters as text, the Esc and "[" dropped); a scrolling
  // region a text set is undone (the window the first region replaced, normally
  // the whole screen, comes back, and the cursor stays on its screen cell when
  // that lies inside it, else goes to the window's top-left); the emulator is
  // back in plain text. Colour flags and the saved cursor position are kept.
  void FinishDisplay(Console& console);

  // Installs (or, with an empty handler, removes) the receiver of device-status
  // requests. None is installed by default; the requests are then ignored.
  void SetReportHandler(ReportHandler handler) { reportHandler_ = std::move(handler); }

  // True when no escape or control sequence is open.
  bool InPlainText() const { return state_ == kPlain; }

 private:
  enum State { kPlain, kAfterEscape, kInSequence };

  // Feeds one character; returns true when it completed a control sequence.
  bool Step(Console& console, unsigned char c);
  void Act(Console& console, char final);
  void SelectRendition(Console& console);
  void ApplyRendition(Console& console, int number);
  void EraseLine(Console& console, int how);
  void ScrollWindow(Console& console, bool up);
  // Writes the parameters of a sequence given up as text (without a leading
  // "[") and clears them.
  void WriteAbandoned(Console& console);
  // Writes Esc, "[", the parameters and `final` as text.
  void WriteBack(Console& console, char final);

  State state_ = kPlain;
  std::string params_;
  bool bold_ = false;
  bool blink_ = false;
  bool reverse_ = false;
  int savedX_ = 0, savedY_ = 0;
  // The window before the first scrolling region of this display.
  std::optional<ConsoleState> region_;
  ReportHandler reportHandler_;
};

// The program's one emulator (one terminal for every game text shown).
AnsiWriter& ProgramAnsiWriter();

// The program's emulator, for the texts the program shows.
void WriteAnsi(Console& console, std::string_view text);
void WriteAnsiLn(Console& console, std::string_view text);
void FinishAnsiDisplay(Console& console);

}  // namespace torvex
