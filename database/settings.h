// The settings that the database layer, the simulators and the browsers read.
// The shell fills them from the ini file at start-up and saves them at exit; the
// preferences editor changes them while the program runs.
//
// This module knows nothing of the ini file: it only holds the values and the
// rules that turn a configured data directory into the one actually used. All
// of it lives for the whole run in CurrentSettings(); the program is
// single-threaded, so no locking is done.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace torvex {

struct DatabaseSettings {
  // Directory of the game's files with a trailing "/", or empty for the current
  // directory.
  std::string dataDirectory;
  // True: the live ".DAT" files; false: the ".VIR" template files.
  bool useDatFiles = false;
};

// Start-up behaviour of the main routine.
struct StartupOptions {
  bool startMaximized = true;
  bool startupCheck = true;
};

// The simulators' remembered inputs and the room walker's options and
// character, in the order the ini file keeps them. Defaults are those of a
// first start, except roomFirstName, which the shell fills with the login name
// when the file has none.
struct SimulatorSettings {
  int32_t roomTitleOptions = 1;
  bool brief = false;
  int32_t palette = 0;
  int32_t style = 0;
  int32_t talk = 0;  // kept in the file only
  int32_t response = 1;
  int32_t roomExitOptions = 0;
  int32_t roomItemOptions = 1;
  int32_t roomMonsterOptions = 1;
  int32_t roomTextBlockDebuggingOptions = 1;
  int32_t roomMapOptions = 62;
  std::string roomRunicCoinName = "runic coins";
  std::string roomFirstName;
  std::string roomLastName;
  int32_t roomStr = 50;
  int32_t roomAgl = 50;
  int32_t roomInt = 50;
  int32_t roomHea = 50;
  int32_t roomWil = 50;
  int32_t roomCha = 50;
  int64_t roomExp = 0;  // never negative
  int32_t roomRace = 1;
  int32_t roomClass = 1;
  int32_t roomLevel = 1;
  int32_t roomRandomHp = 0;
  int32_t roomEp = 20;
  int32_t roomHairColor = 0;
  int32_t roomHairLength = 0;
  int32_t roomEyeColor = 0;
  std::string roomGender = "M";
  bool roomRolled = true;
  int32_t itemAgility = 100;
  int32_t itemStrength = 100;
  int32_t itemEnc = 2400;
  int32_t itemMaxEnc = 4800;
  int32_t itemCombat = 4;
  int32_t itemLevel = 50;
  int32_t itemCritBonus = 0;
  int32_t spellLevel = 65;
  int32_t spellMr = 100;
  bool spellAntiMagic = false;
};

// What the room walker's character carries.
struct WalkerHoldings {
  static constexpr int kItemSlots = 100;
  static constexpr int kKeySlots = 50;
  static constexpr int kWornSlots = 20;

  std::array<int32_t, kItemSlots> items{};
  std::array<int16_t, kItemSlots> itemUses{};
  std::array<int32_t, kKeySlots> keys{};
  std::array<int16_t, kKeySlots> keyUses{};
  std::array<int32_t, kWornSlots> wornItems{};
  std::array<int16_t, kWornSlots> wornItemUses{};
  int32_t weapon = 0;
  int32_t runic = 0;
  int32_t platinum = 0;
  int32_t gold = 0;
  int32_t silver = 0;
  int32_t copper = 0;
  int32_t torchItemIndex = -1;  // -1: no torch
};

// The browsers that keep macro slots, in the order of their ini keys.
enum class MacroKind { kRace, kClass, kSpell, kMessage, kItem, kMonster, kRoom, kText, kShop };
inline constexpr int kMacroKinds = 9;
inline constexpr int kMacroSlots = 10;
// The ini key stem of a kind ("racemacro", "spelmacro", ...); the slot number
// follows it.
const char* MacroKeyStem(MacroKind kind);

// One named room of the walker's goto list.
struct TGotoEntry {
  std::string name;  // folded to lower case
  int32_t map = 0;
  int32_t room = 0;
};

// A group of goto entries: one ini section, in the order of its lines.
struct TGotoSectionEntry {
  std::string name;
  std::vector<TGotoEntry> entries;
};

struct Settings {
  // The ini file the settings were read from and are saved to; empty until the
  // shell has loaded one.
  std::string iniFileName;
  // The directory the files are opened from, and their kind.
  DatabaseSettings database;
  // The directory as configured (the ini file's DataDirectory, or what the user
  // typed in the editor). database.dataDirectory is derived from it.
  std::string configuredDataDirectory;
  // Why database.dataDirectory differs from the configured directory; empty
  // when it does not. Meant for the start-up check's screen.
  std::string dataDirectoryNotice;
  StartupOptions startup;
  // The version of the stored data as read; 0 for a file of the first kind.
  int32_t iniDataVersion = 0;
  SimulatorSettings simulator;
  WalkerHoldings holdings;
  std::array<std::array<std::string, kMacroSlots>, kMacroKinds> macros;
  // The comma-separated section names of the goto list, and the list itself.
  std::string gotoSectionNames;
  std::vector<TGotoSectionEntry> gotoSections;
};

// The settings of the running program.
Settings& CurrentSettings();
// CurrentSettings().database.
DatabaseSettings& CurrentDatabaseSettings();

// "VIR" or "DAT".
std::string DatabaseExtension(const DatabaseSettings& settings);
// Data directory + base name + "." + extension.
std::string DatabasePath(const DatabaseSettings& settings, const std::string& baseName);

// The longest path the record manager's Open takes, and the longest file name
// put behind a data directory ("WCCRACE2.VIR").
inline constexpr size_t kMaxDatabasePath = 254;
inline constexpr size_t kMaxDatabaseFileName = 12;

// A configured directory in the form files are opened from: "\" becomes "/",
// and a trailing "/" is added unless the text is empty (the current directory).
std::string NormaliseDataDirectory(const std::string& configured);

// The directory actually used for a configured one, relative paths taken
// against `currentDirectory` (absolute). The configured directory is kept as
// long as a file path built on it fits kMaxDatabasePath; beyond that its form
// relative to the current directory is tried, and if that does not fit either
// the current directory (empty) is used. `notice` receives the reason whenever
// the result is not the configured directory, and is cleared otherwise.
std::string EffectiveDataDirectory(const std::string& configured,
                                   const std::string& currentDirectory, std::string* notice);

}  // namespace torvex
