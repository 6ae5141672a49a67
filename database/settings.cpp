#include "database/settings.h"

#include <algorithm>
#include <filesystem>

namespace torvex {
namespace {

bool FitsOpenPath(const std::string& directory) {
  return directory.size() + kMaxDatabaseFileName <= kMaxDatabasePath;
}

// Shown on the start-up check's screen (76 columns at most).
constexpr char kRelativeNotice[] =
    "Directory too long for 254-character file paths: using its relative form";
constexpr char kCurrentNotice[] =
    "Directory too long for 254-character file paths: using current directory";

}  // namespace

const char* MacroKeyStem(MacroKind kind) {
  static constexpr const char* kStems[kMacroKinds] = {"racemacro",  "classmacro", "spelmacro",
                                                      "msgmacro",   "itemsmacro", "knmsrmacro",
                                                      "mp001macro", "textmacro",  "shopsmacro"};
  const auto index = static_cast<size_t>(kind);
  return index < std::size(kStems) ? kStems[index] : "";
}

Settings& CurrentSettings() {
  static Settings settings;
  return settings;
}

DatabaseSettings& CurrentDatabaseSettings() {
  return CurrentSettings().database;
}

std::string DatabaseExtension(const DatabaseSettings& settings) {
  return settings.useDatFiles ? "DAT" : "VIR";
}

std::string DatabasePath(const DatabaseSettings& settings, const std::string& baseName) {
  return settings.dataDirectory + baseName + "." + DatabaseExtension(settings);
}

std::string NormaliseDataDirectory(const std::string& configured) {
  std::string d = configured;
  std::replace(d.begin(), d.end(), '\\', '/');
  if (!d.empty() && d.back() != '/') d += '/';
  return d;
}

std::string EffectiveDataDirectory(const std::string& configured,
                                   const std::string& currentDirectory, std::string* notice) {
  notice->clear();
  const std::string d = NormaliseDataDirectory(configured);
  if (FitsOpenPath(d)) return d;

  namespace fs = std::filesystem;
  const fs::path base = fs::path(currentDirectory).lexically_normal();
  fs::path absolute = fs::path(d);
  if (absolute.is_relative()) absolute = base / absolute;
  std::string relative = absolute.lexically_normal().lexically_relative(base).generic_string();
  // The configured directory is the current one: nothing is lost by leaving it blank.
  if (relative.empty() || relative == ".") return "";
  if (relative.back() != '/') relative += '/';
  if (FitsOpenPath(relative)) {
    *notice = kRelativeNotice;
    return relative;
  }
  *notice = kCurrentNotice;
  return "";
}

}  // namespace torvex
