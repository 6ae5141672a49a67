#include "walker/typed_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvex {
namespace {

TEST(TypedLineTest, SplitsIntoThreeForms) {
  const std::string longWord(1000, 'x');
  const struct {
    std::string line;
    std::vector<std::string> upper;
    std::vector<std::string> typed;
    std::string arguments;
  } cases[] = {
      {"", {}, {}, ""},
      {"     ", {}, {}, ""},
      {"look", {"LOOK"}, {"look"}, ""},
      {"  l   North  ", {"L", "NORTH"}, {"l", "North"}, "North  "},
      {"gossip Hello  there",
       {"GOSSIP", "HELLO", "THERE"},
       {"gossip", "Hello", "there"},
       "Hello  there"},
      // The ninth word takes the rest of the line, spaces and all.
      {"a b c d e f g h i j  k",
       {"A", "B", "C", "D", "E", "F", "G", "H", "I J  K"},
       {"a", "b", "c", "d", "e", "f", "g", "h", "i j  k"},
       "b c d e f g h i j  k"},
      {"say " + longWord, {"SAY", std::string(1000, 'X')}, {"say", longWord}, longWord},
  };
  for (const auto& c : cases) {
    const TypedLine line = SplitTypedLine(c.line);
    EXPECT_EQ(line.upper, c.upper) << '"' << c.line << '"';
    EXPECT_EQ(line.typed, c.typed) << '"' << c.line << '"';
    EXPECT_EQ(line.arguments, c.arguments) << '"' << c.line << '"';
    for (size_t i = 0; i < c.upper.size(); ++i) EXPECT_EQ(line.Word(i), c.upper[i]) << c.line;
    EXPECT_EQ(line.Word(c.upper.size()), "") << "past the end of " << c.line;
  }
}

TEST(TypedLineTest, Abbreviates) {
  const struct {
    const char* typed;
    const char* command;
    size_t minimum;
    bool matches;
  } cases[] = {
      {"L", "LOOK", 1, true},      {"look", "LOOK", 1, true},   {"LOOKS", "LOOK", 1, false},
      {"", "LOOK", 0, false},      {"LI", "LIGHT", 3, false},   {"LIG", "LIGHT", 3, true},
      {"lIgHt", "LIGHT", 3, true}, {"LIST", "LIGHT", 3, false}, {"V", "VERBOSE", 1, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Abbreviates(c.typed, c.command, c.minimum), c.matches)
        << c.typed << " / " << c.command << " / " << c.minimum;
  }
}

}  // namespace
}  // namespace torvex
