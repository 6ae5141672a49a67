// Torvex's preferences: where the ini file lies, how its sections fill the
// program's settings (database/settings.h) and are written back, and the small
// editor reached from the main menu.
//
// The ini file is read once at start-up and written once at exit. Two things go
// to the disk at once: the goto locations, when the file has none, and the
// database directory when the editor changes it. Every write replaces the file
// whole or not at all; a failed write leaves the old file and is reported.
#pragma once

#include <memory>
#include <string>

#include "console/console.h"
#include "database/settings.h"
#include "shell/ini_file.h"

namespace torvex {

// The default ini file: torvex/torvex.ini in $XDG_CONFIG_HOME (an absolute path),
// else in $HOME/.config (the account's home directory when HOME is unset); the
// folder is created. When no folder can be had, torvex.ini in the current
// directory.
std::string DefaultIniPath();
// The same with the environment given, for tests. Null or empty texts count as
// unset; `currentDirectory` has no trailing "/".
std::string DefaultIniPathFor(const char* xdgConfigHome, const char* home,
                              const std::string& currentDirectory);

// The outcome of a load or save. `message` is empty on success, otherwise one
// line fit to show the user (it names the file and the reason).
struct PreferencesResult {
  bool ok = true;
  std::string message;
};

// Section and key names, for the tests and the code that reads the file.
inline constexpr char kOptionsSection[] = "Options";
inline constexpr char kSimulatorSection[] = "Simulator";
inline constexpr char kMacrosSection[] = "Macros";
inline constexpr char kDefaultGotoSections[] =
    "baseline,ganghouses,module 1,module 2,module 3,module 4,module 5,module 6,module 7,"
    "module 8,module 9";

// The preferences of one ini file over one Settings. The program uses one for
// its whole run (the free functions below); tests make their own.
class Preferences {
 public:
  // `settings` must outlive the object. `currentDirectory` (absolute, no
  // trailing "/") is the default data directory and the base of relative ones.
  Preferences(Settings& settings, std::string currentDirectory);

  // Creates the ini object on `iniPath` and fills the settings from it. Missing
  // keys keep the values the settings hold (the defaults on a first load). When
  // the file has no goto locations the defaults are written to it at once. A
  // file that cannot be read leaves the defaults in place and is never
  // overwritten; the result says so.
  PreferencesResult Load(const std::string& iniPath);
  // Writes every setting into the file. Does nothing before Load.
  PreferencesResult Save();
  // The editor of the data directory and file kind; returns when the user
  // leaves it. Requires Load.
  void RunEditor(Console& console);

  bool Loaded() const { return ini_ != nullptr; }
  // The ini object; null before Load.
  TKRXIniFile* Ini() { return ini_.get(); }

 private:
  void ReadOptions();
  void ReadSimulator();
  PreferencesResult ReadGotoSections();
  void ReadMacros();
  void ReadHoldings();
  void WriteSimulator();
  void WriteHoldings();
  // Takes a new configured directory and derives the effective one.
  void SetDataDirectory(const std::string& configured);

  Settings& settings_;
  std::string currentDirectory_;
  std::unique_ptr<TKRXIniFile> ini_;
};

// --- The program's preferences, over CurrentSettings() ---

// Start-up: reads `iniPath` (DefaultIniPath() or the command line's file). The
// current directory at the time of the call is the default data directory.
PreferencesResult LoadPreferences(const std::string& iniPath);
// Exit (also after SIGTERM or SIGHUP): writes the file; nothing before a load.
PreferencesResult SavePreferences();
// Main-menu key "P".
void RunPreferencesEditor(Console& console);

}  // namespace torvex
