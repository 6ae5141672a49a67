// The ability/value search: how an answer is read, what it matches, and the
// prompt it is asked with.
#include "search/ability_search.h"

#include <gtest/gtest.h>

#include "database/records/records.h"
#include "tests/console/console_test_util.h"

namespace torvex {
namespace {

using Kind = AbilityQuery::Kind;

struct ParseCase {
  const char* answer;
  bool asks;
  Kind kind;
  int32_t ability;
  int32_t value;
  const char* notFound;
};

TEST(AbilitySearchTest, AnswersAndTheirMessages) {
  const ParseCase cases[] = {
      {"128", true, Kind::kAbility, 128, 0,
       "No records matching your ability query, \"128\", were found."},
      {"  42  ", true, Kind::kAbility, 42, 0,
       "No records matching your ability query, \"42\", were found."},
      {"fire", true, Kind::kAbility, 0, 0,
       "No records matching your ability query, \"0\", were found."},
      {"128/5", true, Kind::kBoth, 128, 5,
       "No records matching your search query, \"ability: 128 / value: 5\", were found."},
      {"128/*", true, Kind::kAbility, 128, 0,
       "No records matching your ability/value query, \"ability: 128 / value: 0\", were found."},
      {"*/128", true, Kind::kValue, 0, 128,
       "No records matching your ability/value query, \"ability: 0 / value: 128\", were found."},
      {"12*/-3", true, Kind::kValue, 0, -3,
       "No records matching your ability/value query, \"ability: 0 / value: -3\", were found."},
      {"7/x", true, Kind::kBoth, 7, 0,
       "No records matching your search query, \"ability: 7 / value: 0\", were found."},
      {"7/5/3", true, Kind::kBoth, 7, 0,
       "No records matching your search query, \"ability: 7 / value: 0\", were found."},
      {"*/*", false, Kind::kAbility, 0, 0, ""},
      {"a*/b*", false, Kind::kAbility, 0, 0, ""},
      {"", false, Kind::kAbility, 0, 0, ""},
      {"   ", false, Kind::kAbility, 0, 0, ""},
  };
  for (const ParseCase& c : cases) {
    const std::optional<AbilityQuery> q = ParseAbilityQuery(c.answer);
    ASSERT_EQ(q.has_value(), c.asks) << "answer \"" << c.answer << "\"";
    if (!q) continue;
    EXPECT_EQ(q->kind, c.kind) << "answer \"" << c.answer << "\"";
    EXPECT_EQ(q->ability, c.ability) << "answer \"" << c.answer << "\"";
    EXPECT_EQ(q->value, c.value) << "answer \"" << c.answer << "\"";
    EXPECT_EQ(q->notFound, c.notFound) << "answer \"" << c.answer << "\"";
  }
}

// Runs the prompt on a headless console with `typed` and tests `item`.
std::optional<bool> Matches(const std::string& typed, const ItemRecord& item) {
  testing::HeadlessConsole hc;
  TInputManager input(hc.console);
  hc.display.PushText(typed);
  std::optional<SearchQuery> q = AskAbilitySearch<ItemRecord>(input);
  if (!q) return std::nullopt;
  return q->matches(item.bytes());
}

TEST(AbilitySearchTest, SlotsMatchAsTheAnswerSays) {
  ItemRecord item;
  item.setAbilityNumbers(0, 128);
  item.setAbilityValues(0, 3);
  item.setAbilityNumbers(1, 9);
  item.setAbilityValues(1, 5);
  item.setAbilityNumbers(19, 300);  // the last of the twenty slots counts
  item.setAbilityValues(19, -1);
  const struct {
    const char* typed;
    std::optional<bool> result;
  } cases[] = {
      {"128/*\r", true},   {"*/5\r", true},         {"128/3\r", true},      {"128/5\r", false},
      {"9/3\r", false},    {"128\r", true},         {" 300 \r", true},      {"*/-1\r", true},
      {"*/65535\r", true},  // values compare as 16-bit numbers
      {"65664\r", false},   // 128 + 65536 is no ability number
      {"*/128\r", false},  {"*/*\r", std::nullopt}, {"\x1b", std::nullopt}, {"\r", std::nullopt},
      {"0\r", true},  // the empty slots hold ability 0
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Matches(c.typed, item), c.result) << "typed \"" << c.typed << "\"";
  }
}

TEST(AbilitySearchTest, PromptTakesTwelveCharactersInTheInputStyle) {
  testing::HeadlessConsole hc;
  TInputManager input(hc.console);
  hc.display.PushText("1234567890123456\r");
  const std::optional<AbilityQuery> q = AskAbilityQuery(input);
  ASSERT_TRUE(q);
  EXPECT_EQ(q->ability, 0);  // 123456789012 does not fit 32 bits
  EXPECT_EQ(input.ResultText, "123456789012");
  EXPECT_EQ(input.TextColour, kInputStyle.TextColour);
  EXPECT_NE(input.Prompt.find("128/* searches for everything with a 128 ability"),
            std::string::npos);
}

}  // namespace
}  // namespace torvex
