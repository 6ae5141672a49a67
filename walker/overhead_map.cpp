#include "walker/overhead_map.h"

#include <memory>
#include <string>
#include <vector>

#include "console/colour_text.h"
#include "console/keys.h"
#include "console/text_values.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"

namespace torvex {
namespace {

constexpr int kCentreX = 40;
constexpr int kDefaultHeight = 44;
constexpr int kMinHeight = 6;
constexpr int kMaxHeight = 50;
// The eight compass directions, in exit-array order; up and down are never followed.
constexpr int kCompassDirections = 8;
constexpr int kUp = 8;
constexpr int kDown = 9;

struct Step {
  int dx, dy;
  uint8_t line;  // the connector of an ordinary exit
};
constexpr std::array<Step, kCompassDirections> kSteps = {{
    {0, -1, '|'},    // north
    {0, 1, '|'},     // south
    {1, 0, '-'},     // east
    {-1, 0, '-'},    // west
    {1, -1, '/'},    // northeast
    {-1, -1, '\\'},  // northwest
    {1, 1, '\\'},    // southeast
    {-1, 1, '/'},    // southwest
}};

// Room types the glyph and the colour tell apart.
enum : uint16_t {
  kShopRoom = 1,
  kArenaRoom = 2,
  kLairRoom = 3,
  kHealerRoom = 4,
  kChurchRoom = 5,
  kJailRoom = 6,
  kTrainerRoom14 = 14,
  kBankRoom = 15,
  kTrainerRoom16 = 16,
  kInfoRoom = 17,
};

// The attribute of a connector whose exit the map does not follow.
constexpr uint8_t kUnfollowedMapChange = 13;
constexpr uint8_t kUnfollowedHidden = 8;
constexpr uint8_t kCastConnector = 10;
constexpr uint8_t kTextConnector = 9;
constexpr uint8_t kCurrentRoom = 11;
constexpr uint8_t kRuleChar = 196;
constexpr uint8_t kUpDownArrow = 18;

bool Is(uint16_t type, ExitType t) {
  return type == static_cast<uint16_t>(t);
}

// Exits the map follows: every type a player can walk, spell traps included.
bool Followable(uint16_t type) {
  return type == 0 || (type >= 2 && type <= 11) || (type >= 13 && type <= 24);
}
// Exits that make a room an up or down room: the same less spell traps.
bool Walkable(uint16_t type) {
  return type == 0 || (type >= 2 && type <= 11) || (type >= 13 && type <= 23);
}

bool HasExit(const RoomRecord& room, int direction) {
  return room.exitRoom(direction) != 0 && Walkable(room.exitType(direction));
}

uint8_t ConnectorChar(uint16_t type, const Step& step) {
  switch (static_cast<ExitType>(type)) {
    case ExitType::kKey:
    case ExitType::kToll:
      return '$';
    case ExitType::kHidden:
      return '?';
    case ExitType::kDoor:
    case ExitType::kGate:
      return '+';
    case ExitType::kMapChange:
      return '!';
    case ExitType::kTrap:
      return '%';
    case ExitType::kText:
      return '@';
    default:
      return step.line;
  }
}

// The shop type of a shop room, or nothing when its shop cannot be read.
std::optional<uint16_t> ShopTypeOf(const RoomRecord& room) {
  auto shop = std::make_unique<ShopRecord>();
  if (GetShop(room.shopNumber(), *shop) != 0) return std::nullopt;
  return shop->shopType();
}

// The placing of rooms, kept on its own stack: one frame per room whose
// exits are still being walked, holding only what the walk needs of it.
class MapBuilder {
 public:
  MapBuilder(OverheadGrid& grid, int height, int32_t mapping, const MapProgress& progress)
      : grid_(grid), height_(height), mapping_(mapping), progress_(progress) {}

  // The placing step for (map, room) at (x, y) and everything it reaches:
  // 0, or -1 when the user stopped it.
  int Place(uint32_t map, uint32_t room, int x, int y) {
    int result = Enter(map, room, x, y);
    if (result != kEntered) return result;
    result = 0;
    while (!frames_.empty()) {
      Frame& f = frames_.back();
      if (f.pendingX >= 0) {
        // The room behind the connector has been placed with `result`.
        ColourConnector(f.pendingX, f.pendingY, f.pendingType, true);
        f.pendingX = -1;
        if (result == -1) {
          frames_.pop_back();
          continue;
        }
      }
      if (f.next >= kCompassDirections) {
        frames_.pop_back();
        result = 0;
        continue;
      }
      const int d = f.next++;
      const Exit& exit = f.exits[static_cast<size_t>(d)];
      if (exit.room == 0 || exit.room == f.room || !Followable(exit.type)) continue;
      const Step& step = kSteps[static_cast<size_t>(d)];
      const int cx = f.x + step.dx, cy = f.y + step.dy;
      MapCell& connector = grid_.At(cx, cy);
      if (connector.ch != ' ') continue;
      connector.ch = ConnectorChar(exit.type, step);
      if (!Follows(exit.type)) {
        ColourConnector(cx, cy, exit.type, false);
        continue;
      }
      const uint32_t targetMap = Is(exit.type, ExitType::kMapChange) ? exit.parameter1 : f.map;
      const int tx = f.x + 2 * step.dx, ty = f.y + 2 * step.dy;
      f.pendingX = cx;
      f.pendingY = cy;
      f.pendingType = exit.type;
      // May push a frame, which invalidates `f`; its connector is finished
      // when the walk comes back to it.
      const int entered = Enter(targetMap, exit.room, tx, ty);
      result = entered == kEntered ? 0 : entered;
    }
    return result;
  }

 private:
  static constexpr int kEntered = 1;

  struct Exit {
    uint32_t room = 0;
    uint16_t type = 0;
    uint32_t parameter1 = 0;
  };
  struct Frame {
    uint32_t map = 0, room = 0;
    int x = 0, y = 0;
    std::array<Exit, kCompassDirections> exits{};
    int next = 0;
    int pendingX = -1, pendingY = -1;
    uint16_t pendingType = 0;
  };

  // Steps 1 to 5 of placing a room: 0 or -1 when there is nothing to walk,
  // kEntered when a frame was pushed for its exits.
  int Enter(uint32_t map, uint32_t room, int x, int y) {
    if (x - 2 < 0 || x + 2 > OverheadGrid::kColumns - 1 || y - 2 < 0 || y + 2 > height_) return 0;
    if (progress_.stopRequested && progress_.stopRequested()) return -1;
    if (progress_.tick) progress_.tick();
    if (GetRoom(map, room, *scratch_, true) != 0) return 0;
    MapCell& cell = grid_.At(x, y);
    cell.ch = MapRoomGlyph(*scratch_);
    cell.attr = MapRoomColour(*scratch_);
    Frame f;
    f.map = map;
    f.room = room;
    f.x = x;
    f.y = y;
    for (int d = 0; d < kCompassDirections; ++d) {
      f.exits[static_cast<size_t>(d)] = {scratch_->exitRoom(d), scratch_->exitType(d),
                                         scratch_->exitParameter1(d)};
    }
    frames_.push_back(f);
    return kEntered;
  }

  bool Follows(uint16_t type) const {
    if (Is(type, ExitType::kMapChange)) return (mapping_ & kMapFollowMapChanges) != 0;
    if (Is(type, ExitType::kHidden)) return (mapping_ & kMapFollowHidden) != 0;
    if (Is(type, ExitType::kCast)) return (mapping_ & kMapFollowCast) != 0;
    if (Is(type, ExitType::kText)) return (mapping_ & kMapFollowText) != 0;
    return true;
  }

  void ColourConnector(int x, int y, uint16_t type, bool followed) {
    MapCell& cell = grid_.At(x, y);
    if (!followed) {
      if (Is(type, ExitType::kMapChange)) cell.attr = kUnfollowedMapChange;
      if (Is(type, ExitType::kHidden)) cell.attr = kUnfollowedHidden;
    }
    if (Is(type, ExitType::kCast)) cell.attr = kCastConnector;
    if (Is(type, ExitType::kText)) cell.attr = kTextConnector;
  }

  OverheadGrid& grid_;
  int height_;
  int32_t mapping_;
  const MapProgress& progress_;
  std::vector<Frame> frames_;
  std::unique_ptr<RoomRecord> scratch_ = std::make_unique<RoomRecord>();
};

// MAP HELP, one line a row.
constexpr std::string_view kMapHelp[] = {
    "|07Syntax|08: |14MAP |07['HELP'] [Height]",
    "|14Height      |07- 6 to 50 rows, 44 when none is given; a height outside is moved",
    "              to the nearest bound.",
    "|14Colours     |07- |05purple|07 up/down, |02green|07 shop, |14yellow|07 bank, light grey "
    "regular,",
    "              |11cyan|07 the room you are in.",
    "|14Rooms       |07- |15#|07 regular, |15$|07 bank, |15T|07 trainer, |15D|07 down, |15U|07 up, "
    "a digit |150|07-|159|07 the",
    "              monsters a regen room makes, |15L|07 a lair of more than 9 monsters.",
    "|14Connectors  |07- |15$|07 toll, |15+|07 door or gate, |15?|07 hidden or secret, |15!|07 map "
    "change,",
    "              |15@|07 typed command (such as \"go path\"), |15%|07 trap.",
};

void WriteRule(Console& console) {
  WriteColourLn(console, "|08" + std::string(80, static_cast<char>(kRuleChar)));
}

}  // namespace

std::optional<int> OverheadMapHeight(std::string_view typed) {
  if (typed.empty()) return kDefaultHeight;
  const std::optional<int64_t> value = ParseInteger(typed);
  if (!value || *value == 0) return std::nullopt;
  // Down to a multiple of 4; the bounds hold whatever a person typed, so a
  // small height is the smallest map rather than the default one.
  const int64_t rounded = *value >= 0 ? *value / 4 * 4 : -((-*value + 3) / 4 * 4);
  if (rounded > kMaxHeight) return kMaxHeight;
  if (rounded < kMinHeight) return kMinHeight;
  return static_cast<int>(rounded);
}

uint8_t MapRoomGlyph(const RoomRecord& room) {
  const bool up = HasExit(room, kUp), down = HasExit(room, kDown);
  if (up && down) return kUpDownArrow;
  if (up) return 'U';
  if (down) return 'D';
  switch (room.roomType()) {
    case kShopRoom: {
      const std::optional<uint16_t> type = ShopTypeOf(room);
      if (type == static_cast<uint16_t>(ShopType::kBank)) return '$';
      if (type == static_cast<uint16_t>(ShopType::kTraining)) return 'T';
      return 'S';
    }
    case kArenaRoom:
      return 'A';
    case kLairRoom:
      return room.maxRegen() <= 9 ? static_cast<uint8_t>('0' + room.maxRegen()) : 'L';
    case kHealerRoom:
      return 'H';
    case kChurchRoom:
      return 'C';
    case kJailRoom:
      return 'J';
    case kTrainerRoom14:
    case kTrainerRoom16:
      return 'T';
    case kBankRoom:
      return '$';
    case kInfoRoom:
      return 'I';
    default:
      return '#';
  }
}

uint8_t MapRoomColour(const RoomRecord& room) {
  const uint8_t withText = room.commandText() != 0 ? 64 : 0;
  if (HasExit(room, kUp) || HasExit(room, kDown)) {
    return static_cast<uint8_t>((room.permNPC() != 0 ? 133 : 5) + withText);
  }
  uint8_t colour = 7;
  switch (room.roomType()) {
    case kShopRoom: {
      const std::optional<uint16_t> type = ShopTypeOf(room);
      colour = type == static_cast<uint16_t>(ShopType::kBank)       ? 14
               : type == static_cast<uint16_t>(ShopType::kTraining) ? 15
                                                                    : 2;
      break;
    }
    case kArenaRoom:
      colour = 8;
      break;
    case kLairRoom:
      colour = 12;
      break;
    case kChurchRoom:
      colour = 9;
      break;
    case kBankRoom:
      colour = 14;
      break;
    default:
      break;
  }
  if (room.permNPC() != 0) colour = static_cast<uint8_t>(colour + 128);
  return static_cast<uint8_t>(colour + withText);
}

MapOutcome BuildOverheadMap(OverheadGrid& grid, uint32_t map, uint32_t room, int height,
                            int32_t mapping, const MapProgress& progress) {
  {
    auto start = std::make_unique<RoomRecord>();
    if (GetRoom(map, room, *start, true) != 0) return MapOutcome::kNoRoom;
  }
  const int centreY = height / 2;
  MapBuilder builder(grid, height, mapping, progress);
  const int result = builder.Place(map, room, kCentreX, centreY);
  grid.At(kCentreX, centreY).attr = kCurrentRoom;
  return result == -1 ? MapOutcome::kAborted : MapOutcome::kDone;
}

void PrintOverheadGrid(Console& console, const OverheadGrid& grid, int height) {
  WriteRule(console);
  for (int y = 1; y <= height - 1 && y < OverheadGrid::kRows; ++y) {
    // Runs of one attribute go out together; the characters are glyphs, so
    // they are written as they are and a "|" never starts a colour code.
    int x = 1;
    while (x <= 80) {
      const uint8_t attr = grid.At(x, y).attr;
      std::string run;
      for (; x <= 80 && grid.At(x, y).attr == attr; ++x) {
        run += static_cast<char>(grid.At(x, y).ch);
      }
      console.SetTextAttr(attr);
      console.Write(run);
    }
  }
  WriteRule(console);
}

void ShowOverheadMap(Console& console, const WalkerSession& session, std::string_view height) {
  const std::optional<int> rows = OverheadMapHeight(height);
  if (!rows) return;
  WriteColour(console, "|07Generating overhead map |08(|14Ctrl+C |07or |14ESC |07to abort|08) |15");

  static constexpr char kSpinner[] = {'-', '\\', '|', '/'};
  size_t turn = 0;
  MapProgress progress;
  progress.stopRequested = [&console] {
    if (!console.KeyPressed()) return false;
    const int k = ReadWholeKey(console);
    return k == key::kCtrlC || k == key::kEscape;
  };
  progress.tick = [&console, &turn] {
    const char text[] = {kSpinner[turn % 4], '\b', '\0'};
    console.Write(text);
    // Show the spinner now and then, not at every room: presenting the
    // screen costs more than placing a room.
    if (turn % 16 == 0) console.Flush();
    ++turn;
  };

  auto grid = std::make_unique<OverheadGrid>();
  const MapOutcome outcome = BuildOverheadMap(*grid, session.map(), session.roomNumber(), *rows,
                                              session.options.mapping, progress);
  if (outcome == MapOutcome::kNoRoom) {
    console.WriteLn();
    console.WriteLn();
    WriteColourLn(console, "|12Error - Map/Room does not exist, aborting.");
    return;
  }
  WriteColourLn(console, "Done");
  PrintOverheadGrid(console, *grid, *rows);
  WriteColourLn(console, "|07Execute |14MAP HELP |07for a small explanation of symbols and help.");
  if (outcome == MapOutcome::kAborted) {
    WriteColourLn(console, "|12Warning: Map was not complete, aborted by user.");
  }
}

void ShowMapHelp(Console& console) {
  for (std::string_view line : kMapHelp) WriteColourLn(console, line);
}

}  // namespace torvex
