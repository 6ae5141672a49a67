#include "shell/command_line.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "console/text_values.h"
#include "platform/system_info.h"

namespace torvex {
namespace {

struct Switch {
  const char* name;
  int viewer;
};

constexpr Switch kSwitches[] = {
    {"/RACES", kViewRaces},        {"/CLASSES", kViewClasses},
    {"/SPELLS", kViewSpells},      {"/ITOWNERS", kViewItemOwners},
    {"/ITEMS", kViewItems},        {"/ACTIVE", kViewActiveMonsters},
    {"/MONSTERS", kViewMonsters},  {"/MESSAGES", kViewMessages},
    {"/TEXT", kViewTextBlocks},    {"/SHOPS", kViewShops},
    {"/ROOMS", kViewRooms},        {"/ROOMSIMULATOR", kViewRoomWalker},
    {"/ROOMSIM", kViewRoomWalker}, {"/GANGS", kViewGangs},
};

// On this system "/" also starts every absolute path. An argument that names no
// switch is a path when it has a further "/" or names an existing file; "-" and
// "--" work as switch prefixes too, as users of this system expect.
bool LooksLikePath(const std::string& arg) {
  std::error_code ec;
  return arg.find('/', 1) != std::string::npos || std::filesystem::is_regular_file(arg, ec);
}

bool IsSwitch(const std::string& upper) {
  if (upper == "/CREDITS" || upper == "/?" || upper == "/HELP") return true;
  for (const Switch& s : kSwitches) {
    if (upper == s.name) return true;
  }
  return false;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine result;
  for (const std::string& arg : args) {
    std::string upper = UpperCased(arg);
    if (upper.size() > 1 && upper[0] == '-') {
      upper.erase(0, upper.rfind('-', 1) == 1 ? 1 : 0);
      upper[0] = '/';
    }
    const bool isSwitch =
        !upper.empty() && upper[0] == '/' && (IsSwitch(upper) || !LooksLikePath(arg));
    if (isSwitch) {
      if (upper == "/CREDITS") {
        result.action = CommandLine::Action::kCredits;
        return result;
      }
      if (upper == "/?" || upper == "/HELP") {
        result.action = CommandLine::Action::kHelp;
        return result;
      }
      for (const Switch& s : kSwitches) {
        if (upper == s.name) result.startViewer = s.viewer;
      }
    } else if (!arg.empty()) {
      result.iniPath = AbsolutePath(arg);
    }
  }
  return result;
}

const std::vector<std::string>& UsageLines() {
  static const std::vector<std::string> lines = {
      "Views the database information for Dunmarrow databases.",
      "",
      "TORVEX [inifile] [/RACES | /CLASSES | /SPELLS | /ITOWNERS | /ITEMS |",
      "       /ACTIVE | /MONSTERS | /MESSAGES | /TEXT | /SHOPS | /ROOMS | /ROOMSIM]",
      "",
      "  inifile      Specifies an INI file to read and use, overriding the default",
      "               filename of torvex.ini.",
      "  /RACES       Starts TORVEX in the specified viewer, skipping the main",
      "  /CLASSES     menu screen where you usually select which viewer to load",
      "  /SPELLS      first. The last viewer specified is the one started, all",
      "  /ITOWNERS    previous selections are ignored.",
      "  /ITEMS",
      "  /ACTIVE",
      "  /MONSTERS",
      "  /MESSAGES",
      "  /TEXT",
      "  /SHOPS",
      "  /ROOMS",
      "  /ROOMSIM",
      "  /?           Displays this help screen.",
      "",
  };
  return lines;
}

const std::vector<std::string>& CreditsLines() {
  static const std::vector<std::string> lines = {
      "TORVEX was made possible thanks to the following people--",
      "",
      "  Dunmarrow sysops   - for their bug reports and the game files they shared",
      "  World builders     - for maps and monsters worth browsing",
      "",
      "Thank you for using TORVEX.",
      "Every operator's report makes the next version better.",
  };
  return lines;
}

}  // namespace torvex
