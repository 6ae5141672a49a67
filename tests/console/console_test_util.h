// A console on a headless display, with helpers to read back what it shows.
#pragma once

#include <string>

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

}  // namespace torvex::testing
