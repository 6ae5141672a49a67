#include "shell/program_viewers.h"

#include "browsers/item_browser.h"
#include "browsers/message_browser.h"
#include "browsers/shop_browser.h"
#include "shell/preferences.h"

namespace torvex {

Viewers MakeProgramViewers(Console& console) {
  Viewers viewers;
  viewers.preferences = [&console] { RunPreferencesEditor(console); };
  viewers.byCode[kViewItems] = [&console] { RunItemBrowser(console); };
  viewers.byCode[kViewShops] = [&console] { RunShopBrowser(console); };
  viewers.byCode[kViewMessages] = [&console] { RunMessageBrowser(console); };
  return viewers;
}

}  // namespace torvex
