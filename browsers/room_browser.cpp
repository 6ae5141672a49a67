#include "browsers/room_browser.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "console/people_text.h"
#include "console/text_values.h"
#include "database/btrieve_layer.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "database/records/records.h"
#include "platform/btrieve/btrieve.h"
#include "screens/screens.h"
#include "walker/walker.h"

namespace torvex {
namespace {

namespace op = btrieve::op;

constexpr char kHelpText[] =
    "Use the following keys to navigate the rooms data:\r\n\r\n"
    "  >    Move to next logical room\r\n"
    "  <    Move to previous logical room\r\n"
    "  }    Move to next physical room\r\n"
    "  {    Move to previous physical room\r\n"
    "  E    Switch to the extended room viewer\r\n"
    "  F    Move to the first room\r\n"
    "  L    Move to the last room\r\n"
    "  G    Go to a specific room\r\n"
    "  S    Search for a specific room\r\n"
    "  ^S   Start the room simulator\r\n"
    "  Q    Exit the room viewer\r\n\r\n"
    "You can also use ESC and X to quit the viewer.  When you use { and } you must use F, L or "
    "G to reset your navigation method to physical.  You cannot switch from logical to physical "
    "then back to logical navigation.";

constexpr char kExtendedHelpText[] =
    "Use the following keys to navigate the extended rooms data:\r\n\r\n"
    "  >    Move to next logical room\r\n"
    "  <    Move to previous logical room\r\n"
    "  }    Move to next physical room\r\n"
    "  {    Move to previous physical room\r\n"
    "  F    Move to the first room\r\n"
    "  L    Move to the last room\r\n"
    "  G    Go to a specific room\r\n"
    "  S    Search for a specific room\r\n"
    "  Q    Exit the extended room viewer\r\n\r\n"
    "You can also use ESC and X to quit the extended viewer.  When you use { and } you must use "
    "F, L or G to reset your navigation method to physical.  You cannot switch from logical to "
    "physical then back to logical navigation.";

constexpr char kJumpPrompt[] =
    "Enter a map and room number to jump to.  For example, to go to map 1, room 2, type in "
    "\"2/1\".  To only change to a different room and keep the same map, just type in the room "
    "number with no slash.";

constexpr char kGroupIndexPrompt[] =
    "Enter group number and index, seperated by a slash, to search for (e.g. 6/1 for a giant rat "
    "where 6 is the group and 1 is the index):";
// Room for the widest pair, "65535/65535".
constexpr int kGroupIndexLength = 11;

constexpr char kInvalidItem[] = "|08<|07invalid item|08>|15 ";

// Where each attribute bit's label stands, bit 0 first.
struct AttributeLabel {
  const char* text;
  int column, row;
};
// clang-format off
constexpr AttributeLabel kAttributeLabels[] = {
    {"|07NoPVP", 19, 32}, {"|07Patrollable", 34, 32}, {"|07Ownable", 49, 32},  {"|07NPCIsAlive", 64, 32},
    {"|07Purge", 19, 33}, {"|07SpellOnEntry", 34, 33}, {"|07GangRoom", 49, 33}, {"|07Bit8", 64, 33},
};
// clang-format on

// The exit columns: room, type, then the four parameters.
constexpr int kExitRoomColumn = 18;
constexpr int kExitTypeColumn = 30;
constexpr int kExitParameterColumns[] = {37, 49, 57, 69};
constexpr int kFirstExitRow = 15;

// The item and monster lists: number, name, quantity, uses.
constexpr int kNameColumn = 30;
constexpr int kQuantityColumn = 61;
constexpr int kUsesColumn = 71;

RoomRecord RoomOf(std::span<const uint8_t> bytes) {
  return RoomRecord(bytes);
}

std::string RoomWindowTitle(std::string_view kindWord, std::span<const uint8_t> record) {
  const RoomRecord room = RoomOf(record);
  const std::string title = room.title();
  return Format("%s - %.*s : %s (%u/%u)", kProgramTitle, static_cast<int>(kindWord.size()),
                kindWord.data(), title.empty() ? "<unnamed>" : title.c_str(), room.roomNumber(),
                room.mapNumber());
}

// Rows 2 and 3, the same on every room screen.
void WriteHeaderRows(Console& console, const RoomRecord& room) {
  WriteValueAt(console, kValueLeft, 2, std::to_string(room.mapNumber()));
  WriteValueAt(console, kValueRight, 2, std::to_string(room.roomNumber()));
  WriteValueAt(console, kValueLeft, 3, room.title());
}

// A spell number and, at column 25, its name in the 22 columns the screen's
// brackets hold.
void WriteSpell(Console& console, int row, uint32_t number, uint16_t spell) {
  WriteValueAt(console, kValueLeft, row, std::to_string(number));
  WriteValueAt(console, 25, row, Format("%-22.22s", SpellName(spell).c_str()));
}

void WriteExits(Console& console, const RoomRecord& room) {
  for (size_t d = 0; d < RoomRecord::kDirections; ++d) {
    const int row = kFirstExitRow + static_cast<int>(d);
    WriteValueAt(console, kExitRoomColumn, row, std::to_string(room.exitRoom(d)));
    WriteValueAt(console, kExitTypeColumn, row,
                 Format("%-6.6s", ExitTypeText(room.exitType(d)).c_str()));
    const std::string parameters[] = {std::to_string(room.exitParameter1(d)),
                                      std::to_string(static_cast<int16_t>(room.exitParameter2(d))),
                                      std::to_string(room.exitParameter3(d)),
                                      std::to_string(room.exitParameter4(d))};
    for (size_t p = 0; p < 4; ++p) {
      WriteValueAt(console, kExitParameterColumns[p], row, parameters[p]);
    }
  }
}

// One item slot of the items screen. A number the item file does not hold
// says so where the name would be.
void WriteItem(Console& console, int row, uint32_t number) {
  WriteValueAt(console, kValueLeft, row, std::to_string(number));
  if (number == 0) return;
  ItemRecord item;
  if (GetItem(number, item, true) == 0) {
    WriteValueAt(console, kNameColumn, row, Format("%-30.30s", item.name().c_str()));
  } else {
    WriteColourClipped(console, kNameColumn, row, kInvalidItem);
  }
}

void WriteCounts(Console& console, int row, uint16_t quantity, int16_t uses) {
  WriteValueAt(console, kQuantityColumn, row, std::to_string(quantity));
  WriteValueAt(console, kUsesColumn, row, std::to_string(uses));
}

// --- Searches --------------------------------------------------------------

SearchOption NumberSearch(const char* label, const char* title, const char* prompt,
                          const char* notFound, uint32_t (*field)(const RoomRecord&)) {
  SearchOption option = NumberSearchOption(
      label, prompt, notFound,
      [field](std::span<const uint8_t> r, int32_t number) {
        return field(RoomOf(r)) == static_cast<uint32_t>(number);
      },
      RecordKey::Prompt::kNumber);
  option.promptTitle = title;
  return option;
}

SearchOption TitleSearch() {
  SearchOption option = TextSearchOption(
      "Search for Title", kTextSearchPrompt,
      [](std::span<const uint8_t> r) { return std::vector<std::string>{RoomOf(r).title()}; },
      "No records matching your title search query, \"%s\", were found.");
  option.promptTitle = "Title Search";
  return option;
}

SearchOption PlacedMonsterSearch() {
  return NumberSearch("Search for Placed Monster", "Placed Monster Search",
                      "Enter monster number to search for:",
                      "No records matching your NPC search query, \"%d\", were found.",
                      [](const RoomRecord& room) { return room.permNPC(); });
}

// "group" or "group/index": a regeneration group (1..65535) and, when given,
// an index its range must hold.
struct GroupIndex {
  uint16_t group = 0;
  std::optional<uint16_t> index;
};

std::optional<GroupIndex> ParseGroupIndex(std::string_view text) {
  const size_t slash = text.find('/');
  const std::optional<int64_t> group = ParseInteger(text.substr(0, slash));
  if (!group || *group <= 0 || *group > UINT16_MAX) return std::nullopt;
  GroupIndex wanted{static_cast<uint16_t>(*group), std::nullopt};
  if (slash == std::string_view::npos) return wanted;
  const std::optional<int64_t> index = ParseInteger(text.substr(slash + 1));
  if (!index || *index < 0 || *index > UINT16_MAX) return std::nullopt;
  wanted.index = static_cast<uint16_t>(*index);
  return wanted;
}

bool RegeneratesGroup(const RoomRecord& room, const GroupIndex& wanted) {
  if (room.monsterGroup() != wanted.group) return false;
  return !wanted.index || (room.minIndex() <= *wanted.index && *wanted.index <= room.maxIndex());
}

// The pair is typed with a slash, so the prompt is a text prompt; what no
// group can be asks for nothing, as a 0 does in the number searches.
SearchOption GroupIndexSearch() {
  SearchOption option;
  option.label = "Search for Monster by Group/Index";
  option.promptTitle = "Monster Search";
  option.ask = [](TInputManager& input) -> std::optional<SearchQuery> {
    input.Prompt = kGroupIndexPrompt;
    input.MaxLength = kGroupIndexLength;
    input.AskText();
    if (input.Cancelled) return std::nullopt;
    const std::optional<GroupIndex> wanted = ParseGroupIndex(input.ResultText);
    if (!wanted) return std::nullopt;
    SearchQuery query;
    query.notFound = Format("No records matching your NPC search query, \"%s\", were found.",
                            input.ResultText.c_str());
    query.matches = [wanted = *wanted](std::span<const uint8_t> r) {
      return RegeneratesGroup(RoomOf(r), wanted);
    };
    return query;
  };
  return option;
}

SearchOption ByNumberMonsterSearch() {
  return NumberSearch("Search for By Number Monster", "By Number Monster Search",
                      "Enter monster number to search for:",
                      "No records matching your by number monster search query, \"%d\", were "
                      "found.",
                      [](const RoomRecord& room) { return room.permNPCByNumber(); });
}

bool ListsItem(const RoomRecord& room, uint32_t item) {
  for (size_t i = 0; i < 17; ++i) {
    if (room.items(i) == item) return true;
  }
  for (size_t i = 0; i < 15; ++i) {
    if (room.hiddenItems(i) == item) return true;
  }
  for (size_t i = 0; i < 10; ++i) {
    if (room.placedItems(i) == item) return true;
  }
  return false;
}

SearchOption ItemSearch() {
  SearchOption option = NumberSearchOption(
      "Search for Item",
      "Enter item number to search for (this searches visible items, hidden items, as well as "
      "placed items):",
      "No records matching your item search query, \"%d\", were found.",
      [](std::span<const uint8_t> r, int32_t item) {
        return ListsItem(RoomOf(r), static_cast<uint32_t>(item));
      },
      RecordKey::Prompt::kNumber);
  option.promptTitle = "Item Search";
  return option;
}

SearchOption CommandTextSearch() {
  return NumberSearch("Search for Command Text", "Command Text Search",
                      "Enter text block number to search for:",
                      "No records matching your command text search query, \"%d\", were found.",
                      [](const RoomRecord& room) { return room.commandText(); });
}

SearchOption ShopSearch() {
  return NumberSearch("Search for Shop", "Shop Search", "Enter shop number to search for:",
                      "No records matching your shop search query, \"%d\", were found.",
                      [](const RoomRecord& room) { return room.shopNumber(); });
}

// --- Descriptions ----------------------------------------------------------

// Ctrl+S: the walk starts in the room shown and the browser follows it to the
// room where it ended.
std::function<void(BrowserState&, std::span<const uint8_t>)> WalkFromShown(WalkFunction walk) {
  return [walk = std::move(walk)](BrowserState& state, std::span<const uint8_t> record) {
    const RoomRecord room = RoomOf(record);
    uint32_t map = room.mapNumber();
    uint32_t number = room.roomNumber();
    walk(state.console, map, number);
    JumpTo(state, RoomKeyTarget(map, number));
  };
}

BrowserDescription CommonRoomDescription(const WalkFunction& walk) {
  BrowserDescription d(kRoomFile);
  d.helpTitle = "Rooms Help";
  d.searchTitle = "Search Rooms";
  d.jumpTitle = "Goto Room";
  d.jumpPrompt = kJumpPrompt;
  d.key = RoomKey();
  d.simulator = WalkFromShown(walk);
  return d;
}

BrowserDescription ViewerDescription(const WalkFunction& walk, const char* kindWord,
                                     void (*show)(Console&, std::span<const uint8_t>)) {
  BrowserDescription d = CommonRoomDescription(walk);
  d.kindWord = kindWord;
  d.helpText = kExtendedHelpText;
  d.showDetail = [show](BrowserState& s) { show(s.console, s.Record()); };
  d.windowTitle = [kind = std::string(kindWord)](std::span<const uint8_t> r) {
    return RoomWindowTitle(kind, r);
  };
  d.searches = {TitleSearch(), PlacedMonsterSearch(), GroupIndexSearch(),
                ItemSearch(),  CommandTextSearch(),   ShopSearch()};
  return d;
}

}  // namespace

BrowserDescription RoomBrowserDescription(const WalkFunction& walk) {
  BrowserDescription d = CommonRoomDescription(walk);
  d.kindWord = "Room";
  d.helpText = kHelpText;
  d.showDetail = [](BrowserState& s) { ShowRoomDetail(s.console, s.Record()); };
  d.windowTitle = [](std::span<const uint8_t> r) { return RoomWindowTitle("Room", r); };
  d.searches = {TitleSearch(), PlacedMonsterSearch(), GroupIndexSearch(), ByNumberMonsterSearch(),
                ItemSearch(),  CommandTextSearch(),   ShopSearch()};
  d.rawDumpName = [](std::span<const uint8_t> r) {
    const RoomRecord room = RoomOf(r);
    return Format("rawmp001%s-%u.%u.bin", kRawDumpEdition, room.mapNumber(), room.roomNumber());
  };
  d.macros = MacroKind::kRoom;

  auto items =
      std::make_shared<const BrowserDescription>(ViewerDescription(walk, "RoomEx", ShowRoomItems));
  auto monsters = std::make_shared<const BrowserDescription>(
      ViewerDescription(walk, "RoomMon", ShowRoomMonsters));
  d.extendedViewer = [items](BrowserState& s) { RunKeyLoop(s, *items); };
  d.extraKey = [monsters](BrowserState& s, int key) {
    if (key != 'M') return false;
    RunKeyLoop(s, *monsters);
    s.redisplay = true;
    return true;
  };
  return d;
}

void RunRoomBrowser(Console& console) {
  RunRoomBrowser(console, Walk);
}

void RunRoomBrowser(Console& console, const WalkFunction& walk) {
  RunBrowser(console, RoomBrowserDescription(walk));
}

void RunRoomWalkerStart(Console& console) {
  RunRoomWalkerStart(console, Walk);
}

void RunRoomWalkerStart(Console& console, const WalkFunction& walk) {
  BtrieveFile file;
  const int16_t opened =
      OpenBtrieveFile(file, DatabaseFilePath(kRoomFile), btrieve::open_mode::kReadOnly);
  if (opened != 0) {
    ShowBtrieveError(console, opened);
    return;
  }
  file.dataLength = kTaskBufferSize;
  const int16_t read = BTRCALL(op::kGetFirst, file.positionBlock.data(), file.dataBuffer.get(),
                               &file.dataLength, file.keyBuffer.data(), file.keyLength, 0);
  const RoomRecord first(
      std::span<const uint8_t>(file.dataBuffer.get(), read == 0 ? file.dataLength : 0));
  uint32_t length = 0;
  BTRCALL(op::kClose, file.positionBlock.data(), file.dataBuffer.get(), &length,
          file.keyBuffer.data(), file.keyLength, 0);
  if (read != 0) {
    ShowBtrieveError(console, read);
    return;
  }
  uint32_t map = first.mapNumber();
  uint32_t room = first.roomNumber();
  walk(console, map, room);
}

void ShowRoomDetail(Console& console, std::span<const uint8_t> record) {
  const RoomRecord room = RoomOf(record);
  PaintDetailScreen(console, screens::kRoomBrowser);

  WriteHeaderRows(console, room);
  for (size_t i = 0; i < 7; ++i) {
    WriteValueAt(console, 3, 6 + static_cast<int>(i), room.description(i));
  }
  WriteExits(console, room);

  WriteValueAt(console, kValueLeft, 26,
               Format("%-23.23s%7.7s", RoomTypeText(room.roomType()).c_str(),
                      ("(" + std::to_string(room.roomType()) + ")").c_str()));
  WriteValueAt(console, kValueRight, 26, std::to_string(room.shopNumber()));
  WriteValueAt(console, kValueLeft, 27, room.ansiMap());
  WriteValueAt(console, kValueRight, 27, std::to_string(room.light()));
  WriteValueAt(console, kValueLeft, 28, std::to_string(room.commandText()));
  WriteValueAt(console, kValueRight, 28, std::to_string(room.noPVPText()));
  WriteSpell(console, 29, room.roomSpell(), static_cast<uint16_t>(room.roomSpell() & 0xFFFF));
  WriteValueAt(console, kValueRight, 29, std::to_string(room.controlRoom()));
  WriteValueAt(console, kValueLeft, 30, std::to_string(room.exitRoomNumber()));
  WriteValueAt(console, kValueRight, 30, std::to_string(room.deathRoom()));
  WriteSpell(console, 31, room.failPickSpell(), room.failPickSpell());
  for (int bit = 0; bit < 8; ++bit) {
    if (room.hasAttribute(bit)) {
      const AttributeLabel& label = kAttributeLabels[bit];
      WriteColourClipped(console, label.column, label.row, label.text);
    }
  }

  WriteValueAt(console, kValueLeft, 35, std::to_string(room.monsterGroup()));
  WriteValueAt(console, kValueRight, 35, std::to_string(room.minIndex()));
  WriteValueAt(console, kValueLeft, 36, std::to_string(room.maxIndex()));
  WriteValueAt(console, kValueRight, 36, std::to_string(room.maxRegen()));
  WriteValueAt(console, kValueLeft, 37, std::to_string(room.regenDelay()));
  WriteValueAt(console, kValueRight, 37, std::to_string(room.maxArea()));
  WriteValueAt(console, kValueLeft, 38, std::to_string(room.permNPC()));
  WriteValueAt(console, kValueRight, 38, std::to_string(room.permNPCByNumber()));
  WriteValueAt(console, kValueLeft, 39, TimeText(room.lastKill()));
  console.GotoXY(3, 49);
}

void ShowRoomItems(Console& console, std::span<const uint8_t> record) {
  const RoomRecord room = RoomOf(record);
  PaintDetailScreen(console, screens::kRoomItems);

  WriteHeaderRows(console, room);
  for (size_t i = 0; i < 10; ++i) WriteItem(console, 5 + static_cast<int>(i), room.placedItems(i));
  for (size_t i = 0; i < 15; ++i) {
    const int row = 16 + static_cast<int>(i);
    WriteItem(console, row, room.hiddenItems(i));
    WriteCounts(console, row, room.hiddenItemQuantity(i), room.hiddenItemUses(i));
  }
  for (size_t i = 0; i < 17; ++i) {
    const int row = 31 + static_cast<int>(i);
    WriteItem(console, row, room.items(i));
    WriteCounts(console, row, room.itemQuantity(i), room.itemUses(i));
  }
  console.GotoXY(3, 49);
}

void ShowRoomMonsters(Console& console, std::span<const uint8_t> record) {
  const RoomRecord room = RoomOf(record);
  PaintDetailScreen(console, screens::kRoomMonsters);

  WriteHeaderRows(console, room);
  for (size_t i = 0; i < 15; ++i) {
    const int row = 5 + static_cast<int>(i);
    const uint32_t number = room.activeMonsters(i);
    WriteValueAt(console, kValueLeft, row, std::to_string(number));
    if (number != 0) {
      WriteValueAt(console, kNameColumn, row,
                   Format("%-30.30s", ActiveMonsterName(number).c_str()));
    }
  }
  console.GotoXY(3, 49);
}

}  // namespace torvex
