#include "console/stored_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace torvex {
namespace {

struct FillCase {
  std::string text;
  std::vector<std::string> texts;
  std::vector<int64_t> numbers;
  std::string expected;
};

std::ostream& operator<<(std::ostream& out, const FillCase& c) {
  return out << "stored text \"" << c.text << "\"";
}

class FillStoredTextTest : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillStoredTextTest, Fills) {
  const FillCase& c = GetParam();
  EXPECT_EQ(FillStoredText(c.text, c.texts, c.numbers), c.expected);
}

constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, FillStoredTextTest, ::testing::Values(
    FillCase{"", {}, {}, ""},
    FillCase{"no placeholders", {"unused"}, {7}, "no placeholders"},
    FillCase{"%s hits %s for %d damage", {"Orc", "you"}, {12}, "Orc hits you for 12 damage"},
    // Texts and numbers draw from their own lists, whatever order they come in.
    FillCase{"%d %s %d %s", {"a", "b"}, {1, 2}, "1 a 2 b"},
    // Missing arguments: an empty text, the number 0.
    FillCase{"[%s][%d][%s]", {"one"}, {}, "[one][0][]"},
    // Any other % stays as it is, and scanning goes on right after it.
    FillCase{"100% sure", {}, {}, "100% sure"},
    FillCase{"%%", {}, {}, "%%"},
    FillCase{"%%s", {"x"}, {}, "%x"},
    FillCase{"%5d %-3s %x %p %n %S %D", {"t"}, {9}, "%5d %-3s %x %p %n %S %D"},
    FillCase{"ends with %", {}, {}, "ends with %"},
    // What an argument holds is never scanned again.
    FillCase{"%s|%d", {"%s%d%n%%"}, {5}, "%s%d%n%%|5"},
    FillCase{"%s%s", {"%", "s"}, {}, "%s"},
    // Colour codes and bytes of the stored text pass through.
    FillCase{"|12%s|07 \xB0", {"|14gold"}, {}, "|12|14gold|07 \xB0"},
    // Numbers at their limits.
    FillCase{"%d %d %d", {}, {kMin, kMax, -1},
             "-9223372036854775808 9223372036854775807 -1"}));
// clang-format on

TEST(FillStoredTextEmbeddedNul, KeepsEveryByte) {
  const std::string text("a\0%s", 4);
  const std::string arg("b\0c", 3);
  EXPECT_EQ(FillStoredText(text, std::vector<std::string>{arg}, {}), std::string("a\0b\0c", 5));
}

}  // namespace
}  // namespace torvex
