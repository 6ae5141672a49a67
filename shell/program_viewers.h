// The browsers, simulators and the preferences editor that the main menu and the
// command line start, bound to the program's console.
#pragma once

#include "console/console.h"
#include "shell/main_menu.h"

namespace torvex {

// `console` must outlive the returned entries.
Viewers MakeProgramViewers(Console& console);

}  // namespace torvex
