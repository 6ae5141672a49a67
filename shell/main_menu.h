// The main menu: one key per browser, the preferences editor, and the way out.
#pragma once

#include <array>
#include <functional>

#include "console/console.h"
#include "shell/command_line.h"

namespace torvex {

// What the menu and the command line can start. Each entry runs until the user
// leaves it; an empty entry does nothing (its screen has not been built yet).
struct Viewers {
  std::array<std::function<void()>, kViewerCount> byCode;
  std::function<void()> preferences;

  // Runs the viewer with that code, if there is one.
  void Run(int code) const {
    if (code >= 0 && code < kViewerCount && byCode[static_cast<size_t>(code)]) {
      byCode[static_cast<size_t>(code)]();
    }
  }
};

// Paints the main menu screen with its title line, version and library labels.
// `cpuLabel` is written after the build number ("|14SSE2", "|11MMX" or empty).
void PaintMainMenu(Console& console, const std::string& cpuLabel);

// Runs the menu until Esc, Q or X. Repaints after every key that starts
// something (or would, once its screen exists), never after other keys.
void RunMainMenu(Console& console, const Viewers& viewers, const std::string& cpuLabel);

}  // namespace torvex
