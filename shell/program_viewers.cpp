#include "shell/program_viewers.h"

#include "shell/preferences.h"

namespace torvex {

Viewers MakeProgramViewers(Console& console) {
  Viewers viewers;
  viewers.preferences = [&console] { RunPreferencesEditor(console); };
  return viewers;
}

}  // namespace torvex
