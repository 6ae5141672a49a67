// The start-up check: can the nine main game files be opened?
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "console/console.h"
#include "database/settings.h"

namespace torvex {

// Paints the check screen, tries each file, shows the overall status and waits
// for the user: at most ten seconds when every file opened ("Z" waits on until
// another key), without limit otherwise. `iniPath` is shown on the screen;
// `notice`, when not empty, is shown under the data directory (a reason why a
// configured directory is not in use). Returns true when all files opened.
bool RunStartupCheck(Console& console, const std::string& iniPath, const DatabaseSettings& settings,
                     const std::string& notice = {});

// The ini path, the data directory and the notice each keep their own row
// inside the frame: columns 4 to 78. Longer texts show their end, after "..."
// (code page 437 has no ellipsis character).
inline constexpr int kCheckFieldColumn = 4;
inline constexpr size_t kCheckFieldWidth = 75;

// `text` when it fits in `width` cells, else "..." and its last width - 3
// characters (only dots when `width` is 3 or less).
std::string ElideStart(std::string_view text, size_t width);

// The nine files, in the order they are checked.
inline constexpr const char* kCheckedFiles[] = {"WCCRACE2", "WCCCLAS2", "WCCMP002",
                                                "WCCSHOP2", "WCCITEM2", "WCCSPEL2",
                                                "WCCKNMS2", "WCCMSG2",  "WCCTEXT2"};

}  // namespace torvex
