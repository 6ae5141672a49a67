#include "browsers/active_monster_browser.h"

#include <algorithm>
#include <string>
#include <vector>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "console/people_text.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "database/records/records.h"
#include "screens/screens.h"

namespace torvex {
namespace {

constexpr int kFirstTrackRow = 38;
constexpr int kLastTrackRow = 47;

constexpr char kHelpText[] =
    "Use the following keys to navigate the active monsters data:\r\n\r\n"
    "  >    Move to next logical active monster\r\n"
    "  <    Move to previous logical active monster\r\n"
    "  }    Move to next physical active monster\r\n"
    "  {    Move to previous physical active monster\r\n"
    "  F    Move to the first active monster\r\n"
    "  L    Move to the last active monster\r\n"
    "  G    Go to a specific active monster\r\n"
    "  S    Search for a specific active monster\r\n"
    "  Q    Exit the active monster viewer\r\n\r\n"
    "You can also use ESC and X to quit the viewer.  When you use { and } you must use F, L or "
    "G to reset your navigation method to physical.  You cannot switch from logical to physical "
    "then back to logical navigation.";

std::string Pair(int64_t a, int64_t b) {
  return std::to_string(a) + "/" + std::to_string(b);
}

// The column a text following `value` (written at `column`) starts at: `wanted`,
// or one past the value when a long value reaches it, so neither hides the other.
int ColumnAfter(int column, const std::string& value, int wanted) {
  return std::max(wanted, column + static_cast<int>(value.size()) + 1);
}

// A room of the monster's map: its numbers, then its title.
void WriteRoom(Console& console, int row, uint32_t room, uint32_t map) {
  const std::string numbers = Pair(room, map);
  WriteValueAt(console, kValueLeft, row, numbers);
  WriteColourClipped(console, ColumnAfter(kValueLeft, numbers, 32), row,
                     Format("%-47.47s", RoomTitle(map, room).c_str()));
}

// An item worn: its name and, in brackets, its number.
std::string WornItem(uint32_t item) {
  return Format("%-22.22s%8.8s", ItemName(item).c_str(),
                ("(" + std::to_string(item) + ")").c_str());
}

SearchOption NameSearch() {
  return TextSearchOption("Search for Name", kTextSearchPrompt, [](std::span<const uint8_t> r) {
    return std::vector<std::string>{ActiveMonsterRecord(r).name()};
  });
}

SearchOption DropSearch() {
  return NumberSearchOption(
      "Search for Dropped Item", "Enter item number to search for:",
      "No records matching your item query, \"%d\", were found.",
      [](std::span<const uint8_t> r, int32_t item) {
        const ActiveMonsterRecord monster(r);
        for (size_t i = 0; i < ActiveMonsterRecord::kDropItemsCount; ++i) {
          if (static_cast<int64_t>(monster.dropItems(i)) == item) return true;
        }
        return false;
      },
      RecordKey::Prompt::kNumber);
}

BrowserDescription MakeDescription() {
  BrowserDescription d(kActiveMonsterFile);
  d.kindWord = "Active";
  d.helpTitle = "Monsters Help";
  d.helpText = kHelpText;
  d.searchTitle = "Search Monsters";
  d.jumpTitle = "Goto Active";
  d.jumpPrompt = "Enter an active monster number to jump to:";
  d.showDetail = [](BrowserState& s) { ShowActiveMonsterDetail(s.console, s.Record()); };
  d.windowTitle = [](std::span<const uint8_t> r) {
    const ActiveMonsterRecord monster(r);
    return NamedRecordTitle("Active", monster.name(), static_cast<int32_t>(monster.number()));
  };
  d.searches = {NameSearch(), DropSearch()};
  d.rawDumpName = [](std::span<const uint8_t> r) {
    return Format("rawacmsr%s-%d.bin", kRawDumpEdition, static_cast<int32_t>(RecordNumberAt0(r)));
  };
  return d;
}

}  // namespace

uint64_t ActiveMonsterExp(uint32_t expMultiplier, uint32_t exp) {
  return uint64_t{expMultiplier} * exp;
}

std::vector<uint32_t> ShownTracks(std::span<const uint32_t> tracks) {
  std::vector<uint32_t> shown;
  for (uint32_t room : tracks) {
    if (room != 0) shown.push_back(room);
  }
  return shown;
}

const BrowserDescription& ActiveMonsterBrowserDescription() {
  static const BrowserDescription description = MakeDescription();
  return description;
}

void RunActiveMonsterBrowser(Console& console) {
  RunBrowser(console, ActiveMonsterBrowserDescription());
}

void ShowActiveMonsterDetail(Console& console, std::span<const uint8_t> record) {
  const ActiveMonsterRecord monster(record);
  PaintDetailScreen(console, screens::kActiveMonsterBrowser);

  WriteValueAt(console, kValueLeft, 2, std::to_string(monster.number()));
  WriteValueAt(console, kValueRight, 2, std::to_string(monster.knownNumber()));
  WriteValueAt(console, kValueLeft, 3, monster.name());
  // The largest products have 20 digits, more than the 16 columns right of the
  // colon: those end at the frame instead, over the label's padding.
  const std::string exp = std::to_string(ActiveMonsterExp(monster.expMultiplier(), monster.exp()));
  WriteValueAt(console, std::min(kValueRight, kLastInnerColumn + 1 - static_cast<int>(exp.size())),
               3, exp);

  WriteValueAt(console, kValueLeft, 4, Pair(monster.armourClass(), monster.damageReduction()));
  WriteValueAt(console, kValueLeft, 5, Pair(monster.hitPoints(), monster.maxHitPoints()));
  WriteValueAt(console, kValueRight, 5, std::to_string(monster.hpRegen()));

  WriteValueAt(console, kValueLeft, 7, std::to_string(monster.followPercent()));
  WriteValueAt(console, kValueRight, 7, MovementTypeText(monster.movementType()));
  WriteValueAt(console, kValueLeft, 8, Pair(monster.energy(), monster.maxEnergy()));
  WriteColourClipped(
      console, kValueRight, 8,
      AlignmentColourCode(monster.alignment()) + AlignmentTypeText(monster.alignment()));
  WriteValueAt(console, kValueLeft, 9, WornItem(monster.weaponItem()));
  WriteValueAt(console, kValueLeft, 10, WornItem(monster.armourItem()));

  WriteValueAt(console, kValueLeft, 12, monster.following());
  WriteColourClipped(console, 31, 12, monster.isFriend() != 0 ? "|09Friend" : "|07Friend");
  WriteValueAt(console, kValueRight, 12, TimeText(monster.created()));
  const std::string monsterNumber = std::to_string(monster.monsterNumber());
  WriteValueAt(console, kValueLeft, 13, monsterNumber);
  WriteValueAt(console, ColumnAfter(kValueLeft, monsterNumber, 25), 13,
               ActiveMonsterName(monster.monsterNumber() & 0xFFFF));

  for (size_t i = 0; i < ActiveMonsterRecord::kActiveSpellsCount; ++i) {
    const int row = 17 + static_cast<int>(i);
    WriteValueAt(console, kValueLeft, row, std::to_string(monster.activeSpells(i)));
    WriteValueAt(console, 24, row, Format("%-30.30s", SpellName(monster.activeSpells(i)).c_str()));
    WriteValueAt(console, 55, row, std::to_string(monster.activeSpellValues(i)));
    WriteValueAt(console, 63, row, std::to_string(monster.activeSpellRounds(i)));
  }

  for (size_t i = 0; i < ActiveMonsterRecord::kDropItemsCount; ++i) {
    const int row = 23 + static_cast<int>(i);
    WriteValueAt(console, kValueLeft, row, std::to_string(monster.dropItems(i)));
    WriteValueAt(console, 32, row, Format("%-33.33s", ItemName(monster.dropItems(i)).c_str()));
    const std::string uses = std::to_string(monster.dropUses(i));
    WriteValueAt(console, 68, row, uses);
    WriteColourClipped(console, 68 + static_cast<int>(uses.size()), row, "|08)");
  }

  WriteValueAt(console, 27, 33, std::to_string(monster.runic()));
  WriteValueAt(console, 50, 33, std::to_string(monster.platinum()));
  WriteValueAt(console, 69, 33, std::to_string(monster.gold()));
  WriteValueAt(console, 27, 34, std::to_string(monster.silver()));
  WriteValueAt(console, 50, 34, std::to_string(monster.copper()));

  WriteRoom(console, 36, monster.spawnRoom(), monster.mapNumber());
  WriteRoom(console, 37, monster.currentRoom(), monster.mapNumber());
  std::vector<uint32_t> tracks;
  for (size_t i = 0; i < ActiveMonsterRecord::kTracksCount; ++i) {
    tracks.push_back(monster.tracks(i));
  }
  const std::vector<uint32_t> shown = ShownTracks(tracks);
  if (shown.empty()) WriteValueAt(console, kValueLeft, kFirstTrackRow, "None");
  for (size_t i = 0; i < shown.size() && kFirstTrackRow + static_cast<int>(i) <= kLastTrackRow;
       ++i) {
    WriteRoom(console, kFirstTrackRow + static_cast<int>(i), shown[i], monster.mapNumber());
  }
  console.GotoXY(3, 49);
}

}  // namespace torvex
