#include "walker/commands.h"

#include <gtest/gtest.h>

#include <string>

namespace torvex {
namespace {

// The first word of the row a line is matched to, "" when none takes it.
std::string MatchedRow(const std::string& text) {
  const TypedLine line = SplitTypedLine(text);
  const auto& rows = line.size() == 1 ? SingleWordCommands() : ArgumentCommands();
  const auto index = FindCommand(rows, line);
  return index ? std::string(rows[*index].words.front().word) : "";
}

TEST(CommandTablesTest, FirstMatchingRowInTableOrder) {
  // clang-format off
  const struct {
    const char* line;
    const char* row;
  } cases[] = {
      // One word: directions first and exact.
      {"S", "N"}, {"se", "N"}, {"SOUTHWEST", "N"}, {"SOUTHW", ""},
      {"L", "LOOK"}, {"LI", ""}, {"LIG", "LIGHT"}, {"LIS", "LIST"},
      {"SET", "SET"}, {"ST", "STATUS"}, {"SEL", "SELL"},
      {"V", "VERBOSE"}, {"VERS", "VERSION"}, {"DEB", "DEBUG"}, {"DE", ""},
      {"I", "I"}, {"INV", ""}, {"INVE", "I"}, {"EQ", "I"},
      {"AR", "ARM"}, {"BU", "BUY"}, {"WEA", "WEAR"}, {"WEAL", "WEALTH"},
      {"T", "TELEPORT"}, {"TRAI", "TRAIN"},
      {"X", "X"}, {"q", "X"}, {"QUI", "X"}, {"-", "-"}, {"/", "/"},
      {"GOTO", "GOTO"}, {"GOT", ""}, {"SUICIDE", "SUICIDE"}, {"SUICID", ""},
      {"?", "?"}, {"HEL", "?"}, {"HE", "HEALTH"}, {"MP", ""}, {"MPRE", "HPREGEN"},
      // Several words.
      {"L north", "LOOK"}, {"l torch", "LOOK"}, {"AS guard", "ASK"}, {"A guard", ""},
      {"GOTO support", "GOTO"}, {"GO support", ""}, {"I percent", "INVENTORY"},
      {"BG hello", "BG"}, {"BROAD hello", "BROADCAST"}, {"BROADG hello", "BG"},
      {"BROADGANG hello", "BG"}, {"GB hello", "BG"},
      {"T abc 2", "TELEPORT"}, {"SET TITLE NORMAL", "SET"}, {"S north", ""},
      {"TRAI STATS", "TRAIN"}, {"TRAI STAT", ""}, {"HELP EXP", "?"}, {"HELP ME", ""},
      {"MA 20", "MAP"},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(MatchedRow(c.line), c.row) << c.line;
}

// APPRAISE passes a line on when the room has no shop; nothing below takes it.
TEST(CommandTablesTest, APassedOnLineLooksFurtherDown) {
  const TypedLine line = SplitTypedLine("APP sword");
  const auto& rows = ArgumentCommands();
  const auto first = FindCommand(rows, line);
  ASSERT_TRUE(first);
  EXPECT_EQ(rows[*first].words.front().word, "APPRAISE");
  EXPECT_FALSE(FindCommand(rows, line, *first + 1));
}

}  // namespace
}  // namespace torvex
