// A console on a headless display, with helpers to read back what it shows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "console/console.h"
#include "platform/terminal/headless_display.h"

namespace torvex::testing {

struct HeadlessConsole {
  explicit HeadlessConsole(int columns = 80, int rows = 50) : console(display, columns, rows) {}

  // Characters of screen row `row` (1-based) from column `column` (1-based).
  std::string Text(int column, int row, int length) const {
    std::string out;
    for (int i = 0; i < length; ++i) {
      out += static_cast<char>(console.CellAt(column - 1 + i, row - 1).ch);
    }
    return out;
  }
  uint8_t Attr(int column, int row) const { return console.CellAt(column - 1, row - 1).attr; }

  HeadlessDisplay display;
  Console console;
};

// Queues a key script: plain characters are typed as they are, names in braces
// are keys ("{home}", "{del}", "{ctrl-x}", "{esc}", "{enter}", ...).
inline void PushScript(HeadlessDisplay& display, std::string_view script) {
  struct Named {
    std::string_view name;
    uint16_t vk;
    uint8_t mods;
  };
  static constexpr Named kNamed[] = {
      {"home", vk::kHome, 0},     {"end", vk::kEnd, 0},    {"left", vk::kLeft, 0},
      {"right", vk::kRight, 0},   {"del", vk::kDelete, 0}, {"bs", vk::kBack, 0},
      {"up", vk::kUp, 0},         {"down", vk::kDown, 0},  {"f1", vk::kF1, 0},
      {"ins", vk::kInsert, 0},    {"esc", vk::kEscape, 0}, {"enter", vk::kReturn, 0},
      {"lf", vk::kReturn, kCtrl}, {"ctrl-x", 'X', kCtrl},  {"tab", vk::kTab, 0},
      {"ctrl-a", 'A', kCtrl},     {"pgup", vk::kPrior, 0}, {"pgdn", vk::kNext, 0},
      {"ctrl-c", 'C', kCtrl},
  };
  while (!script.empty()) {
    if (script.front() != '{') {
      display.PushText(script.substr(0, 1));
      script.remove_prefix(1);
      continue;
    }
    const size_t close = script.find('}');
    ASSERT_NE(close, std::string_view::npos) << script;
    const std::string_view name = script.substr(1, close - 1);
    bool found = false;
    for (const Named& n : kNamed) {
      if (n.name == name) {
        display.PushVk(n.vk, n.mods);
        found = true;
      }
    }
    ASSERT_TRUE(found) << "unknown key " << name;
    script.remove_prefix(close + 1);
  }
}

}  // namespace torvex::testing
