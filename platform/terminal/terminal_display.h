// The Display on a real terminal: raw input, the alternate screen, the renderer's
// output, and a terminal put back as it was on every way out.
//
// Taking over: raw mode (no echo, no line editing, no signals from keys, so
// Ctrl+C is key 3 and Ctrl+Z key 26; no flow control), the alternate screen,
// bracketed paste, the kitty keyboard protocol's "disambiguate" level (pushed,
// and popped again at the end) and xterm's modifyOtherKeys level 1. Terminals
// without these ignore the requests.
//
// Giving back, on each way out:
//  - Shutdown() (also run by the destructor): leaves the alternate screen,
//    restores the terminal modes and, if given a farewell frame, prints its rows
//    above the cursor row on the normal screen, so the last screen stays in the
//    scroll-back after the program ends.
//  - An exception escaping the program: its handler calls Shutdown().
//  - SIGTERM, SIGHUP, SIGINT (only from outside: keys do not raise signals), and
//    the terminal closing: see TerminationRequest in display.h. A second such signal
//    while the first is still unhandled restores the terminal and ends the
//    process with the signal's default action.
//  - SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT, SIGTRAP, SIGSYS: the
//    terminal is restored in the handler, then the signal takes its earlier
//    action (default: the process dies and dumps core).
//  - SIGTSTP from outside: the terminal is restored and the process stops; on
//    SIGCONT raw mode and the alternate screen come back and the screen is
//    repainted at the next key wait.
// SIGWINCH repaints the last frame at the new size at the next key wait.
//
// Only one TerminalDisplay can be open at a time: the signal handlers are
// process-wide.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/terminal/display.h"
#include "platform/terminal/key_decoder.h"
#include "platform/terminal/renderer.h"

namespace torvex {

class TerminalDisplay : public Display {
 public:
  // Takes over the terminal on `inFd` (keys) and `outFd` (screen), which must
  // stay open while the display lives; it does not close them. Returns nullptr
  // and a reason in `*error` when either is not a terminal, its modes cannot be
  // read or set, or another TerminalDisplay is open.
  static std::unique_ptr<TerminalDisplay> Open(int inFd, int outFd, std::string* error);

  // Runs Shutdown(nullptr) unless Shutdown already ran.
  ~TerminalDisplay() override;

  TerminalDisplay(const TerminalDisplay&) = delete;
  TerminalDisplay& operator=(const TerminalDisplay&) = delete;

  // Writes what changed since the last frame, in one write.
  void Present(const Frame& frame) override;

  // Waits for a key as Display describes. Before and during the wait it repaints
  // after a resize or a resume. Throws TerminationRequest as described above;
  // after Shutdown it returns false at once.
  bool ReadKeyEvent(KeyEvent* event, int timeoutMs) override;

  void SetTitle(std::string_view title) override;  // `title` is code page 437
  void Bell() override;
  void Maximize() override;
  void RequestSize(int columns, int rows) override;

  // Gives the terminal back (see above) and prints `farewell`'s rows 0 ..
  // cursorY-1 on the normal screen when given. The frame is only read during
  // the call. Later calls do nothing.
  void Shutdown(const Frame* farewell = nullptr);

  // True once a termination signal arrived (ReadKeyEvent then throws).
  bool TerminationRequested() const;

  // The terminal's size in cells as last read (0 when unknown).
  int Columns() const { return renderer_.TerminalColumns(); }
  int Rows() const { return renderer_.TerminalRows(); }

 private:
  class TtyByteSource : public ByteSource {
   public:
    explicit TtyByteSource(TerminalDisplay& display) : display_(display) {}
    int Read(int timeoutMs) override;

   private:
    TerminalDisplay& display_;
    unsigned char buf_[256];
    size_t pos_ = 0, len_ = 0;
  };

  TerminalDisplay(int inFd, int outFd);
  void HandleNotifications();
  void ReadTerminalSize();
  void Repaint();
  void Write(std::string_view bytes);

  int inFd_, outFd_;
  TtyByteSource source_;
  KeyDecoder decoder_;
  Renderer renderer_;
  std::string out_;
  // The last frame presented, for repainting after a resize or resume.
  std::vector<Cell> lastCells_;
  Frame lastFrame_;
  bool havePresented_ = false;
  bool shutDown_ = false;
};

// Puts the terminal of the open TerminalDisplay back as it was: precomputed
// bytes and the saved terminal modes, nothing else. Async-signal-safe, so a
// program's own fatal-signal handlers can call it; harmless when no display is
// open and when called more than once.
void EmergencyRestoreTerminal();

}  // namespace torvex
