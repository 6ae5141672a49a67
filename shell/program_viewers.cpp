#include "shell/program_viewers.h"

#include "browsers/active_monster_browser.h"
#include "browsers/gang_browser.h"
#include "browsers/item_browser.h"
#include "browsers/item_owner_browser.h"
#include "browsers/message_browser.h"
#include "browsers/monster_browser.h"
#include "browsers/race_class_browser.h"
#include "browsers/room_browser.h"
#include "browsers/shop_browser.h"
#include "browsers/spell_browser.h"
#include "browsers/text_block_browser.h"
#include "shell/preferences.h"

namespace torvex {

Viewers MakeProgramViewers(Console& console) {
  Viewers viewers;
  viewers.preferences = [&console] { RunPreferencesEditor(console); };
  viewers.byCode[kViewItems] = [&console] { RunItemBrowser(console); };
  viewers.byCode[kViewMonsters] = [&console] { RunMonsterBrowser(console); };
  viewers.byCode[kViewSpells] = [&console] { RunSpellBrowser(console); };
  viewers.byCode[kViewRaces] = [&console] { RunRaceBrowser(console); };
  viewers.byCode[kViewClasses] = [&console] { RunClassBrowser(console); };
  viewers.byCode[kViewGangs] = [&console] { RunGangBrowser(console); };
  viewers.byCode[kViewItemOwners] = [&console] { RunItemOwnerBrowser(console); };
  viewers.byCode[kViewActiveMonsters] = [&console] { RunActiveMonsterBrowser(console); };
  viewers.byCode[kViewShops] = [&console] { RunShopBrowser(console); };
  viewers.byCode[kViewMessages] = [&console] { RunMessageBrowser(console); };
  viewers.byCode[kViewTextBlocks] = [&console] { RunTextBlockBrowser(console); };
  viewers.byCode[kViewRooms] = [&console] { RunRoomBrowser(console); };
  viewers.byCode[kViewRoomWalker] = [&console] { RunRoomWalkerStart(console); };
  return viewers;
}

}  // namespace torvex
