// The settings that the database layer, the simulators and the browsers read.
// The shell fills them from the ini file at start-up and saves them at exit; the
// preferences editor changes them while the program runs.
#pragma once

#include <string>

namespace torvex {

struct DatabaseSettings {
  // Directory of the game's files with a trailing "/", or empty for the current
  // directory.
  std::string dataDirectory;
  // True: the live ".DAT" files; false: the ".VIR" template files.
  bool useDatFiles = false;
};

// The settings of the running program.
DatabaseSettings& CurrentDatabaseSettings();

// "VIR" or "DAT".
std::string DatabaseExtension(const DatabaseSettings& settings);
// Data directory + base name + "." + extension.
std::string DatabasePath(const DatabaseSettings& settings, const std::string& baseName);

}  // namespace torvex
