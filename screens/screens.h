// The stored screen images, crunched at build time from the sources beside this
// header (docs/screen-images.md). Every image paints all 80 x 50 cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace torvex::screens {

// A crunched image in static storage; `data` stays valid for the whole run.
struct ScreenImage {
  const char* name;  // the source file's name, for example "main_menu.scr"
  const uint8_t* data;
  size_t size;
};

extern const ScreenImage kMainMenu;              // main menu
extern const ScreenImage kExitScreen;            // farewell box in the top ten rows
extern const ScreenImage kStartupCheck;          // database presence check
extern const ScreenImage kPreferences;           // preferences editor
extern const ScreenImage kItemBrowser;           // item browser
extern const ScreenImage kItemExtended;          // extended item viewer
extern const ScreenImage kMonsterBrowser;        // monster browser
extern const ScreenImage kMonsterExtended;       // extended monster viewer
extern const ScreenImage kSpellBrowser;          // spell browser
extern const ScreenImage kRaceBrowser;           // race browser
extern const ScreenImage kClassBrowser;          // class browser
extern const ScreenImage kGangBrowser;           // gang browser
extern const ScreenImage kItemOwnerBrowser;      // item-owner browser
extern const ScreenImage kActiveMonsterBrowser;  // active-monster browser
extern const ScreenImage kShopBrowser;           // shop browser
extern const ScreenImage kMessageBrowser;
extern const ScreenImage kRoomBrowser;   // room browser
extern const ScreenImage kRoomItems;     // a room's items
extern const ScreenImage kRoomMonsters;  // a room's active monsters
extern const ScreenImage kTextBlock;     // text-block browser
extern const ScreenImage kCharacter;     // the walker's character sheet

// Every image, in the order of the list in screens/CMakeLists.txt.
const std::vector<ScreenImage>& AllScreens();

}  // namespace torvex::screens
