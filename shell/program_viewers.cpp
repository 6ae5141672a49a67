#include "shell/program_viewers.h"

#include "browsers/active_monster_browser.h"
#include "browsers/gang_browser.h"
#include "browsers/item_browser.h"
#include "browsers/item_owner_browser.h"
#include "shell/preferences.h"

namespace torvex {

Viewers MakeProgramViewers(Console& console) {
  Viewers viewers;
  viewers.preferences = [&console] { RunPreferencesEditor(console); };
  viewers.byCode[kViewItems] = [&console] { RunItemBrowser(console); };
  viewers.byCode[kViewGangs] = [&console] { RunGangBrowser(console); };
  viewers.byCode[kViewItemOwners] = [&console] { RunItemOwnerBrowser(console); };
  viewers.byCode[kViewActiveMonsters] = [&console] { RunActiveMonsterBrowser(console); };
  return viewers;
}

}  // namespace torvex
