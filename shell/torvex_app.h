// Torvex's main routine: start-up, the main menu, shutdown, and the last guard
// against an unhandled exception. Everything the routine needs from the process
// comes through ShellEnvironment, so that tests run it on a headless display.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "console/console.h"
#include "shell/main_menu.h"

namespace torvex {

struct ShellEnvironment {
  // Writes one plain line to standard output (code page 437 text).
  std::function<void(const std::string&)> writeLine;
  // Opens the full-screen display; called once, when the program switches to
  // its 80 x 50 screen. The display must stay valid until `close` is called.
  std::function<Display&()> openDisplay;
  // Called last, with the screen as the program leaves it, or with nullptr
  // when it ends on an unhandled exception (the terminal is restored either way).
  std::function<void(const Frame*)> closeDisplay;
  // Waits for a key while there is no full-screen display (help and credits).
  std::function<void()> waitForKey;
  // Size of the terminal at start.
  int startColumns = 80;
  int startRows = 25;
  // True when the window closes with the program, which then waits for a key.
  bool pauseAtExit = false;
  // The default ini file path; an ini file on the command line replaces it.
  std::string iniPath;
  std::string cpuLabel;
  // Reads the preferences from the ini file into the program's settings;
  // returns an error text, empty on success. Unset: the settings stay as they are.
  // Called once the full-screen display is open, so that a run without one
  // reads and writes no ini file.
  std::function<std::string(const std::string& iniPath)> loadPreferences;
  // Writes the preferences back; returns an error text, empty on success. Called
  // once, after a successful load: while the screen is still there when the
  // user leaves the program, else after it is given back (an outside request to
  // end, an unhandled exception). Unset: nothing is written.
  std::function<std::string()> savePreferences;
  // Builds the viewers on the program's console.
  std::function<Viewers(Console&)> makeViewers;
};

// Thrown by ShellEnvironment::openDisplay when there is no screen to run on (no
// terminal); the main routine reports it as the user's situation, not as a fault.
class DisplayUnavailable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Caption and text reported for an exception that reached the main routine.
inline constexpr char kUnhandledCaption[] = "TORVEXNT Error";
std::string UnhandledExceptionText(const std::exception& e);

// Runs the program with `args` (without the program name) and returns its exit
// code: the record manager's stop status. Exceptions are reported through
// `report` (caption, text) and give 1. Problems with the preferences are shown
// in a window while the screen is there, else reported through `report`.
int TorvexMain(const std::vector<std::string>& args, ShellEnvironment& env,
               const std::function<void(const std::string&, const std::string&)>& report);

}  // namespace torvex
