#include "console/keymap.h"

#include <gtest/gtest.h>

// clang-format off

namespace torvex {
namespace {

constexpr int E(int scan) { return key::Extended(scan); }
constexpr int kNothing = -1;

struct Case {
  uint16_t vk;
  uint8_t mods;
  uint8_t ch;
  int code;
};

void Check(const Case& c) {
  auto code = TranslateKey({c.vk, c.mods, c.ch});
  const int got = code ? *code : kNothing;
  EXPECT_EQ(got, c.code) << "vk=0x" << std::hex << c.vk << " mods=" << int(c.mods)
                         << " ch=" << int(c.ch);
}

TEST(KeymapTest, EditingAndNavigationKeys) {
  const Case cases[] = {
      {vk::kBack, 0, 8, 8},          {vk::kBack, kShift, 8, 8},     {vk::kBack, kCtrl, 0, 127},
      {vk::kBack, kAlt, 0, E(14)},   {vk::kTab, 0, 9, 9},           {vk::kTab, kShift, 0, E(15)},
      {vk::kTab, kCtrl, 0, E(148)},  {vk::kTab, kAlt, 0, E(165)},   {vk::kReturn, 0, 13, 13},
      {vk::kReturn, kCtrl, 0, 10},   {vk::kReturn, kAlt, 0, E(166)}, {vk::kEscape, 0, 27, 27},
      {vk::kEscape, kAlt, 0, E(1)},  {vk::kSpace, 0, ' ', 32},      {vk::kSpace, kCtrl, 0, E(3)},
      {vk::kSpace, kAlt, ' ', 32},   {vk::kPrior, 0, 0, E(73)},     {vk::kPrior, kCtrl, 0, E(143)},
      {vk::kNext, kCtrl, 0, E(118)}, {vk::kNext, kAlt, 0, E(161)},  {vk::kEnd, 0, 0, E(79)},
      {vk::kHome, kCtrl, 0, E(119)}, {vk::kLeft, kAlt, 0, E(155)},  {vk::kUp, 0, 0, E(72)},
      {vk::kUp, kShift, 0, E(72)},   {vk::kUp, kCtrl, 0, E(141)},   {vk::kRight, kCtrl, 0, E(116)},
      {vk::kDown, kAlt, 0, E(160)},  {vk::kInsert, 0, 0, E(82)},    {vk::kInsert, kCtrl, 0, E(146)},
      {vk::kDelete, 0, 0, E(83)},    {vk::kDelete, kAlt, 0, E(163)},
      {vk::kNumpadEnter, 0, 13, 13},
  };
  for (const auto& c : cases) Check(c);
}

TEST(KeymapTest, FunctionKeysWithEveryModifier) {
  for (int i = 0; i < 10; ++i) {
    const uint16_t key = static_cast<uint16_t>(vk::kF1 + i);
    Check({key, 0, 0, E(59 + i)});
    Check({key, kShift, 0, E(84 + i)});
    Check({key, kCtrl, 0, E(94 + i)});
    Check({key, kAlt, 0, E(104 + i)});
    Check({key, kAlt | kCtrl | kShift, 0, E(104 + i)});  // Alt wins
  }
  const Case cases[] = {
      {vk::kF1 + 10, 0, 0, E(133)},     {vk::kF1 + 11, 0, 0, E(134)},
      {vk::kF1 + 10, kShift, 0, E(135)}, {vk::kF1 + 11, kShift, 0, E(136)},
      {vk::kF1 + 10, kCtrl, 0, E(137)},  {vk::kF1 + 11, kCtrl, 0, E(138)},
      {vk::kF1 + 10, kAlt, 0, E(139)},   {vk::kF1 + 11, kAlt, 0, E(140)},
  };
  for (const auto& c : cases) Check(c);
}

TEST(KeymapTest, LettersFollowTheReportedCharacterUnlessModified) {
  const Case cases[] = {
      {'A', 0, 'a', 'a'},      {'A', 0, 'A', 'A'},  // Caps Lock: the console reports 'A'
      {'A', kShift, 'A', 'A'}, {'A', kShift, 'a', 'A'}, {'Q', kCtrl, 17, 17},
      {'Z', kCtrl, 26, 26},    {'A', kAlt, 0, E(30)},   {'Q', kAlt, 0, E(16)},
      {'M', kAlt, 0, E(50)},   {'Z', kAlt, 0, E(44)},   {'X', kAlt | kShift, 0, E(45)},
  };
  for (const auto& c : cases) Check(c);
}

TEST(KeymapTest, DigitsAndPunctuation) {
  const Case cases[] = {
      {'1', 0, '1', '1'},          {'1', kShift, '!', '!'},        {'0', kShift, ')', ')'},
      {'2', kCtrl, 0, E(3)},       {'6', kCtrl, 0, 30},            {'5', kCtrl, 0, kNothing},
      {'1', kAlt, 0, E(120)},      {'9', kAlt, 0, E(128)},         {'0', kAlt, 0, E(129)},
      {vk::kMinus, 0, '-', '-'},   {vk::kMinus, kShift, '_', '_'}, {vk::kMinus, kCtrl, 0, 31},
      {vk::kMinus, kAlt, 0, E(130)}, {vk::kEquals, kAlt, 0, E(131)}, {vk::kSlash, kShift, '?', '?'},
      {vk::kLeftBracket, kCtrl, 0, 27}, {vk::kBackslash, kCtrl, 0, 28},
      {vk::kRightBracket, kCtrl, 0, 29}, {vk::kQuote, kShift, '"', '"'},
      {vk::kSemicolon, kAlt, 0, E(39)}, {vk::kBackquote, kAlt, 0, E(41)},
      {vk::kComma, kShift, '<', '<'},  {vk::kPeriod, kAlt, 0, E(52)},
  };
  for (const auto& c : cases) Check(c);
}

TEST(KeymapTest, Keypad) {
  const Case cases[] = {
      {vk::kNumpad0 + 7, 0, '7', '7'}, {vk::kNumpad0 + 7, kCtrl, 0, E(119)},
      {vk::kNumpad0 + 5, kAlt, 0, kNothing}, {vk::kMultiply, 0, '*', '*'},
      {vk::kAdd, kAlt, 0, E(78)},      {vk::kSubtract, kCtrl, 0, E(142)},
      {vk::kDivide, kAlt, 0, E(164)},  {vk::kClear, 0, 0, E(76)},
      {vk::kDecimal, 0, '.', '.'},
  };
  for (const auto& c : cases) Check(c);
}

TEST(KeymapTest, ModifiersAloneAndUnknownKeysGiveNothing) {
  const Case cases[] = {
      {vk::kShift, kShift, 0, kNothing}, {vk::kControl, kCtrl, 0, kNothing},
      {vk::kMenu, kAlt, 0, kNothing},    {0x91, 0, 0, kNothing},  // Scroll Lock: no row
      {vk::kNone, 0, 0, kNothing},
  };
  for (const auto& c : cases) Check(c);
}

TEST(KeymapTest, CharactersFromOtherLayoutsPassThrough) {
  const Case cases[] = {
      {vk::kNone, 0, 0x82, 0x82},           // e acute, typed on a layout with its own key
      {vk::kNone, kShift, 0x9A, 0x9A},      // U umlaut
      {vk::kSemicolon, 0, 0x94, 0x94},      // the US ';' key reports o umlaut
      {'2', kShift, '"', '"'},              // a layout whose Shift+2 is a quote
  };
  for (const auto& c : cases) Check(c);
}

}  // namespace
}  // namespace torvex
// clang-format on
