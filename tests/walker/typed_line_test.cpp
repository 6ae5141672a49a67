#include "walker/typed_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvex {
namespace {

TEST(TypedLineTest, SplitsIntoThreeForms) {
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
  };
  for (const auto& c : cases) {
    const TypedLine line = SplitTypedLine(c.line);
    EXPECT_EQ(line.upper, c.upper) << '"' << c.line << '"';
    EXPECT_EQ(line.typed, c.typed) << '"' << c.line << '"';
    EXPECT_EQ(line.arguments, c.arguments) << '"' << c.line << '"';
  }
}

TEST(TypedLineTest, WordPastTheEndIsEmpty) {
  const TypedLine line = SplitTypedLine("peek 12");
  EXPECT_EQ(line.Word(1), "12");
  EXPECT_EQ(line.Word(2), "");
}

TEST(TypedLineTest, ALongLineKeepsItsWords) {
  const std::string line = "say " + std::string(1000, 'x');
  const TypedLine split = SplitTypedLine(line);
  ASSERT_EQ(split.size(), 2u);
  EXPECT_EQ(split.typed[1].size(), 1000u);
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
