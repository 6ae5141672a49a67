#include "shell/main_menu.h"

#include <zlib.h>

#include <cctype>
#include <cstring>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/keys.h"
#include "platform/program.h"
#include "screens/screens.h"

namespace torvex {
namespace {

// The viewer a menu key starts, or kNoViewer.
// clang-format off
int ViewerForKey(char key) {
  switch (key) {
    case '1': case 'R': return kViewRaces;
    case '2': case 'C': return kViewClasses;
    case '3': case 'S': return kViewSpells;
    case '4': case 'M': return kViewMonsters;
    case '5': case 'I': return kViewItems;
    case '6': case 'G': return kViewMessages;
    case '7': case 'B': return kViewTextBlocks;
    case '8': case 'A': return kViewRooms;
    case '9': case 'T': return kViewShops;
    case 'K': return kViewActiveMonsters;
    case 'N': return kViewGangs;
    case 'O': return kViewItemOwners;
    default: return kNoViewer;
  }
}
// clang-format on

// Keys after which the menu is painted again.
bool RedrawsAfter(char key) {
  return key != 0 && std::strchr("123456789ABCGIKMNOPRST", key) != nullptr;
}

}  // namespace

void PaintMainMenu(Console& console, const std::string& cpuLabel) {
  console.display().SetTitle(kProgramTitle);
  PaintScreenImage(console, screens::kMainMenu.data, screens::kMainMenu.size);
  WriteColourAt(console, 9, 2, "|15-NT ");
  WriteColour(console, Format("|15%d.%.2d |08(|07Build |15%d|08) %s", kVersionMajor, kVersionMinor,
                              kVersionBuild, cpuLabel.c_str()));
  WriteColourAt(console, 2, 49, Format("|08ZLib %s", zlibVersion()));
  console.GotoXY(5, 23);
}

void RunMainMenu(Console& console, const Viewers& viewers, const std::string& cpuLabel) {
  bool redraw = true;
  for (;;) {
    if (redraw) {
      PaintMainMenu(console, cpuLabel);
      redraw = false;
    }
    const int whole = ReadWholeKey(console);
    // An extended key means nothing here (Right arrow's 77 is not an "M").
    if (key::IsExtended(whole)) continue;
    const char key = static_cast<char>(key::Upper(whole));
    if (whole == key::kEscape || key == 'Q' || key == 'X') return;
    if (key == 'P') {
      if (viewers.preferences) viewers.preferences();
    } else {
      viewers.Run(ViewerForKey(key));
    }
    if (RedrawsAfter(key)) redraw = true;
  }
}

}  // namespace torvex
