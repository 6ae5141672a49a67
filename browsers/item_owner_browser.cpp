#include "browsers/item_owner_browser.h"

#include <string>
#include <vector>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "database/records/records.h"
#include "screens/screens.h"

namespace torvex {
namespace {

constexpr char kHelpText[] =
    "Use the following keys to navigate the item owners data:\r\n\r\n"
    "  >    Move to next logical item owner\r\n"
    "  <    Move to previous logical item owner\r\n"
    "  }    Move to next physical item owner\r\n"
    "  {    Move to previous physical item owner\r\n"
    "  F    Move to the first item owner\r\n"
    "  L    Move to the last item owner\r\n"
    "  G    Go to a specific item owner\r\n"
    "  S    Search for a specific item owner\r\n"
    "  Q    Exit the item owner viewer\r\n\r\n"
    "You can also use ESC and X to quit the viewer.  When you use { and } you must use F, L or "
    "G to reset your navigation method to physical.  You cannot switch from logical to physical "
    "then back to logical navigation.";

// A name looked up for a number, in brackets after it.
std::string Bracketed(const std::string& name) {
  return Format(" |08(|15%-s|08)|15", name.c_str());
}

// Where the item is: the room, the user or the active monster holding it.
std::string LocationText(const ItemOwnerRecord& owner) {
  switch (static_cast<OwnerType>(owner.ownerType())) {
    case OwnerType::kRoom: {
      std::string text =
          std::to_string(owner.mapNumber()) + "/" + std::to_string(owner.roomNumber());
      if (owner.mapNumber() != 0 && owner.roomNumber() != 0) {
        text += Bracketed(RoomTitle(owner.mapNumber(), owner.roomNumber()));
      }
      return text;
    }
    case OwnerType::kMonster: {
      std::string text = std::to_string(owner.activeMonster());
      if (owner.activeMonster() != 0) {
        text += Bracketed(ActiveMonsterName(owner.activeMonster() & 0xFFFF));
      }
      return text;
    }
    default:
      return {};
  }
}

SearchOption ItemSearch() {
  return NumberSearchOption(
      "Search for Item ID", "Enter item number to search for:",
      "No records matching your item search query, \"%d\", were found.",
      [](std::span<const uint8_t> r, int32_t item) {
        return static_cast<int64_t>(ItemOwnerRecord(r).itemNumber()) == item;
      },
      RecordKey::Prompt::kNumber);
}

SearchOption UserSearch() {
  return TextSearchOption(
      "Search for User Name",
      "Enter user name to search for (not case sensetive):", [](std::span<const uint8_t> r) {
        const ItemOwnerRecord owner(r);
        if (owner.ownerType() != static_cast<uint8_t>(OwnerType::kUser)) {
          return std::vector<std::string>{};
        }
        return std::vector<std::string>{owner.ownerName()};
      });
}

BrowserDescription MakeDescription() {
  BrowserDescription d(kItemOwnerFile);
  d.kindWord = "ItemOwner";
  d.helpTitle = "Items Help";
  d.helpText = kHelpText;
  d.searchTitle = "Search Items Owners";
  d.jumpTitle = "Goto Item Owner";
  d.jumpPrompt = "Enter an item owner number to jump to:";
  d.showDetail = [](BrowserState& s) { ShowItemOwnerDetail(s.console, s.Record()); };
  // The owner's name is the record's only name; owners other than users
  // mostly have none and show "<unnamed>".
  d.windowTitle = [](std::span<const uint8_t> r) {
    const ItemOwnerRecord owner(r);
    return NamedRecordTitle("ItemOwner", owner.ownerName(), static_cast<int32_t>(owner.number()));
  };
  d.searches = {ItemSearch(), UserSearch()};
  d.rawDumpName = [](std::span<const uint8_t> r) {
    return Format("rawitemowner%s-%d.bin", kRawDumpEdition,
                  static_cast<int32_t>(RecordNumberAt0(r)));
  };
  return d;
}

}  // namespace

const BrowserDescription& ItemOwnerBrowserDescription() {
  static const BrowserDescription description = MakeDescription();
  return description;
}

void RunItemOwnerBrowser(Console& console) {
  RunBrowser(console, ItemOwnerBrowserDescription());
}

void ShowItemOwnerDetail(Console& console, std::span<const uint8_t> record) {
  const ItemOwnerRecord owner(record);
  PaintDetailScreen(console, screens::kItemOwnerBrowser);

  WriteValueAt(console, kValueLeft, 2, std::to_string(owner.number()));
  WriteValueAt(console, kValueLeft, 3, std::to_string(owner.itemNumber()));
  WriteValueAt(console, kValueRight, 3, OwnerTypeText(owner.ownerType()));
  WriteValueAt(console, 19, 4, Format("%-28.28s", ItemName(owner.itemNumber()).c_str()));
  if (owner.ownerType() == static_cast<uint8_t>(OwnerType::kUser)) {
    WriteValueAt(console, kValueLeft, 6, owner.ownerName());
  } else {
    WriteColourClipped(console, kValueLeft, 6, LocationText(owner));
  }
  console.GotoXY(3, 49);
}

}  // namespace torvex
