#include "console/keymap.h"

#include <array>

namespace torvex {
namespace {

constexpr uint16_t X(int scan) {
  return static_cast<uint16_t>(key::Extended(scan));
}
constexpr uint16_t kNo = 0xFFFF;  // the combination gives nothing

struct Row {
  uint16_t plain, shift, ctrl, alt;
};

// Scan codes of the letters A..Z, for Alt+letter.
constexpr std::array<uint8_t, 26> kLetterScan = {30, 48, 46, 32, 18, 33, 34, 35, 23,
                                                 36, 37, 38, 50, 49, 24, 25, 16, 19,
                                                 31, 20, 22, 47, 17, 45, 21, 44};

// The main-row digit keys '0'..'9'.
constexpr std::array<Row, 10> kDigits = {{
    {'0', ')', kNo, X(129)},
    {'1', '!', kNo, X(120)},
    {'2', '@', X(3), X(121)},
    {'3', '#', kNo, X(122)},
    {'4', '$', kNo, X(123)},
    {'5', '%', kNo, X(124)},
    {'6', '^', 30, X(125)},
    {'7', '&', kNo, X(126)},
    {'8', '*', kNo, X(127)},
    {'9', '(', kNo, X(128)},
}};

// Keypad digits with Num Lock on; Ctrl gives the BIOS code of the key's navigation
// twin, Alt is reserved for typing character codes and gives nothing.
constexpr std::array<Row, 10> kNumpad = {{
    {'0', '0', X(146), kNo},
    {'1', '1', X(117), kNo},
    {'2', '2', X(145), kNo},
    {'3', '3', X(118), kNo},
    {'4', '4', X(115), kNo},
    {'5', '5', X(143), kNo},
    {'6', '6', X(116), kNo},
    {'7', '7', X(119), kNo},
    {'8', '8', X(141), kNo},
    {'9', '9', X(132), kNo},
}};

// clang-format off
std::optional<Row> RowFor(uint16_t key) {
  using namespace vk;
  switch (key) {
    case kBack: return Row{8, 8, 127, X(14)};
    case kTab: return Row{9, X(15), X(148), X(165)};
    case kReturn: return Row{13, 13, 10, X(166)};
    case kNumpadEnter: return Row{13, 13, 10, X(166)};
    case kEscape: return Row{27, 27, 27, X(1)};
    case kSpace: return Row{32, 32, X(3), 32};
    case kPrior: return Row{X(73), X(73), X(143), X(153)};
    case kNext: return Row{X(81), X(81), X(118), X(161)};
    case kEnd: return Row{X(79), X(79), X(117), X(159)};
    case kHome: return Row{X(71), X(71), X(119), X(151)};
    case kLeft: return Row{X(75), X(75), X(115), X(155)};
    case kUp: return Row{X(72), X(72), X(141), X(152)};
    case kRight: return Row{X(77), X(77), X(116), X(157)};
    case kDown: return Row{X(80), X(80), X(145), X(160)};
    case kInsert: return Row{X(82), X(82), X(146), X(162)};
    case kDelete: return Row{X(83), X(83), X(147), X(163)};
    case kClear: return Row{X(76), '5', X(143), kNo};
    case kMultiply: return Row{'*', '*', X(150), X(55)};
    case kAdd: return Row{'+', '+', X(144), X(78)};
    case kSubtract: return Row{'-', '-', X(142), X(74)};
    case kDecimal: return Row{'.', '.', X(147), kNo};
    case kDivide: return Row{'/', '/', X(149), X(164)};
    case kSemicolon: return Row{';', ':', kNo, X(39)};
    case kEquals: return Row{'=', '+', kNo, X(131)};
    case kComma: return Row{',', '<', kNo, X(51)};
    case kMinus: return Row{'-', '_', 31, X(130)};
    case kPeriod: return Row{'.', '>', kNo, X(52)};
    case kSlash: return Row{'/', '?', kNo, X(53)};
    case kBackquote: return Row{'`', '~', kNo, X(41)};
    case kLeftBracket: return Row{'[', '{', 27, X(26)};
    case kBackslash: return Row{'\\', '|', 28, X(43)};
    case kRightBracket: return Row{']', '}', 29, X(27)};
    case kQuote: return Row{'\'', '"', kNo, X(40)};
    default: break;
  }
  if (key >= kF1 && key < kF1 + 10) {
    const int i = key - kF1;
    return Row{X(59 + i), X(84 + i), X(94 + i), X(104 + i)};
  }
  if (key == kF1 + 10) return Row{X(133), X(135), X(137), X(139)};
  if (key == kF1 + 11) return Row{X(134), X(136), X(138), X(140)};
  if (key >= '0' && key <= '9') return kDigits[key - '0'];
  if (key >= kNumpad0 && key < kNumpad0 + 10) return kNumpad[key - kNumpad0];
  if (key >= 'A' && key <= 'Z') {
    const uint16_t upper = key;
    return Row{static_cast<uint16_t>(upper + 32), upper, static_cast<uint16_t>(upper - 'A' + 1),
               X(kLetterScan[key - 'A'])};
  }
  return std::nullopt;
}
// clang-format on

}  // namespace

std::optional<uint16_t> TranslateKey(const KeyEvent& event) {
  if (event.vk == vk::kShift || event.vk == vk::kControl || event.vk == vk::kMenu) {
    return std::nullopt;
  }
  if (event.vk == vk::kNone) {
    // A typed character without a key identity (another keyboard layout).
    if (event.ch == 0) return std::nullopt;
    return event.ch;
  }
  const auto row = RowFor(event.vk);
  if (!row) return std::nullopt;
  uint16_t code;
  if (event.mods & kAlt) {
    code = row->alt;
  } else if (event.mods & kCtrl) {
    code = row->ctrl;
  } else if (event.mods & kShift) {
    code = row->shift;
  } else if (event.vk >= 'A' && event.vk <= 'Z' && event.ch != 0) {
    // The character the keyboard reports, so that Caps Lock works.
    code = event.ch;
  } else {
    code = row->plain;
  }
  if (code == kNo) return std::nullopt;
  // A character key that reports a different character than the US layout
  // (another layout) gives that character.
  const bool letter = event.vk >= 'A' && event.vk <= 'Z';
  if (!letter && !key::IsExtended(code) && event.ch >= 32 && !(event.mods & (kAlt | kCtrl)) &&
      code >= 32 && code != event.ch) {
    return event.ch;
  }
  return code;
}

}  // namespace torvex
