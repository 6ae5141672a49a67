#include "shell/command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace torvex {
namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, Switches) {
  struct Case {
    std::vector<std::string> args;
    Action action;
    int viewer;
  } cases[] = {
      {{}, Action::kRun, kNoViewer},
      {{"/rooms", "/items"}, Action::kRun, kViewItems},  // the last one wins, any case
      {{"/ROOMSIM"}, Action::kRun, kViewRoomWalker},
      {{"/RoomSimulator"}, Action::kRun, kViewRoomWalker},
      {{"/races"}, Action::kRun, kViewRaces},
      {{"/GANGS"}, Action::kRun, kViewGangs},
      {{"/ITOWNERS"}, Action::kRun, kViewItemOwners},
      {{"/ACTIVE"}, Action::kRun, kViewActiveMonsters},
      {{"/TEXT"}, Action::kRun, kViewTextBlocks},
      {{"/bogus", "/spells"}, Action::kRun, kViewSpells},  // unknown switches are ignored
      {{"/ITEMSX"}, Action::kRun, kNoViewer},              // whole words only
      {{"/items", "/?"}, Action::kHelp, kViewItems},
      {{"/HELP", "/items"}, Action::kHelp, kNoViewer},  // reading stops at help
      {{"/credits", "/?"}, Action::kCredits, kNoViewer},
      {{"/"}, Action::kRun, kNoViewer},
      {{"--help"}, Action::kHelp, kNoViewer},  // the usual prefixes work too
      {{"-?"}, Action::kHelp, kNoViewer},
      {{"-items"}, Action::kRun, kViewItems},
  };
  for (const auto& c : cases) {
    const CommandLine cmd = ParseCommandLine(c.args);
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    EXPECT_EQ(cmd.action, c.action) << joined;
    EXPECT_EQ(cmd.startViewer, c.viewer) << joined;
  }
}

TEST(CommandLineTest, IniFileBecomesAbsoluteAndTheLastWins) {
  const std::string cwd = std::filesystem::current_path().string();
  CommandLine cmd = ParseCommandLine({"First.ini", "/items", "My.INI"});
  EXPECT_EQ(cmd.iniPath, cwd + "/My.INI");  // case kept as typed
  // An absolute path starts with a slash too; it is no switch.
  cmd = ParseCommandLine({"/etc/torvex/other.ini", "/ITEMS"});
  EXPECT_EQ(cmd.iniPath, "/etc/torvex/other.ini");
  EXPECT_EQ(cmd.startViewer, kViewItems);
  cmd = ParseCommandLine({"/nonexistent"});
  EXPECT_EQ(cmd.iniPath, "");  // an unknown switch
  // An ini file before /HELP is taken; one after it is never looked at.
  cmd = ParseCommandLine({"a.ini", "/HELP", "b.ini"});
  EXPECT_EQ(cmd.iniPath, cwd + "/a.ini");
}

TEST(CommandLineTest, UsageTextLines) {
  const auto& lines = UsageLines();
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines.front(), "Views the database information for Dunmarrow databases.");
  EXPECT_EQ(lines[3],
            "       /ACTIVE | /MONSTERS | /MESSAGES | /TEXT | /SHOPS | /ROOMS | /ROOMSIM]");
  EXPECT_EQ(lines[19], "  /?           Displays this help screen.");
  EXPECT_EQ(lines.back(), "");
}

TEST(CommandLineTest, CreditsLayout) {
  const auto& lines = CreditsLines();
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "TORVEX was made possible thanks to the following people--");
  for (int i : {2, 3}) {
    ASSERT_GE(lines[i].size(), 23u);
    EXPECT_EQ(lines[i].substr(0, 2), "  ");
    EXPECT_EQ(lines[i].substr(21, 2), "- ") << lines[i];  // name padded to 19
  }
  EXPECT_EQ(lines[4], "");
}

}  // namespace
}  // namespace torvex
