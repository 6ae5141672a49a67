// Torvex's command line: an optional ini file and switches.
#pragma once

#include <string>
#include <vector>

namespace torvex {

// Viewer codes, in the order of their command-line switches.
enum ViewerCode : int {
  kNoViewer = -1,
  kViewRaces = 0,
  kViewClasses,
  kViewSpells,
  kViewItemOwners,
  kViewItems,
  kViewActiveMonsters,
  kViewMonsters,
  kViewMessages,
  kViewTextBlocks,
  kViewShops,
  kViewRooms,
  kViewRoomWalker,
  kViewGangs,
  kViewerCount
};

struct CommandLine {
  enum class Action { kRun, kHelp, kCredits };
  Action action = Action::kRun;
  int startViewer = kNoViewer;
  // Absolute path of the ini file named on the command line; empty when none.
  std::string iniPath;
};

// Reads the arguments (without the program name) left to right. Switches are
// matched case-insensitively as whole words; the last viewer switch and the last
// ini file win; "/CREDITS", "/?" and "/HELP" stop the reading at once; unknown
// switches are ignored.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The texts written to standard output, line by line (code page 437).
const std::vector<std::string>& UsageLines();
const std::vector<std::string>& CreditsLines();

}  // namespace torvex
