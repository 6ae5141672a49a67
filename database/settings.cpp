#include "database/settings.h"

namespace torvex {

DatabaseSettings& CurrentDatabaseSettings() {
  static DatabaseSettings settings;
  return settings;
}

std::string DatabaseExtension(const DatabaseSettings& settings) {
  return settings.useDatFiles ? "DAT" : "VIR";
}

std::string DatabasePath(const DatabaseSettings& settings, const std::string& baseName) {
  return settings.dataDirectory + baseName + "." + DatabaseExtension(settings);
}

}  // namespace torvex
