#include "walker/commands.h"

#include <string>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/text_values.h"
#include "database/record_access.h"
#include "database/records/record_rules.h"
#include "database/settings.h"
#include "walker/character_commands.h"
#include "walker/character_rules.h"
#include "walker/holdings.h"
#include "walker/movement.h"
#include "walker/overhead_map.h"
#include "walker/room_view.h"
#include "walker/text_script.h"
#include "walker/walker_screens.h"

namespace torvex {

namespace {

constexpr uint16_t kShopRoomType = 1;
// The most of an item's description line LOOK shows.
constexpr size_t kLookLineLength = 60;

void Say(WalkTurn& turn, std::string_view text) {
  WriteColourLn(turn.console, text);
}

bool InShopRoom(const WalkTurn& turn) {
  return turn.session.room.roomType() == kShopRoomType;
}

// A typed room or map number; text that is not a number counts as 0.
uint32_t TypedNumber(std::string_view word) {
  return static_cast<uint32_t>(ParseDecimal(word).value_or(0));
}

void EnterAndShow(WalkTurn& turn, uint32_t map, uint32_t room) {
  if (GoToRoom(turn.console, turn.session, map, room)) turn.show = RoomShow::kAsBriefModeSays;
}

// The room's item called `typed`: its visible items first, then, when all
// items are shown, its hidden ones.
std::optional<ItemRecord> FindRoomItem(const WalkerSession& session, std::string_view typed) {
  const RoomRecord& room = session.room;
  ItemRecord item;
  auto named = [&](uint32_t number) {
    return number != 0 && GetItem(number, item, true) == 0 && NamesItem(typed, item.name());
  };
  for (size_t i = 0; i < RoomRecord::kItemsCount; ++i) {
    if (named(room.items(i))) return item;
  }
  if (session.options.Has(session.options.items, kItemsShowAll)) {
    for (size_t i = 0; i < RoomRecord::kHiddenItemsCount; ++i) {
      if (named(room.hiddenItems(i))) return item;
    }
  }
  return std::nullopt;
}

// --- Argument commands ---

bool LookAt(WalkTurn& turn, const TypedLine& line, std::string_view) {
  const int direction = DirectionNumber(line.Word(1));
  if (direction >= 0) {
    LookThroughExit(turn.console, turn.session, direction);
    return true;
  }
  const std::string wanted(TrimmedSpaces(line.arguments));
  if (const auto item = FindRoomItem(turn.session, wanted)) {
    for (size_t i = 0; i < ItemRecord::kDescriptionLines; ++i) {
      const std::string text = item->description(i);
      if (text.empty()) break;
      // A line that fills its whole field has no terminator to stop it.
      Say(turn, "|07" + text.substr(0, kLookLineLength));
    }
    return true;
  }
  Say(turn, "|12You do not see " + line.typed[1] + " here!");
  return true;
}

bool GotoLocation(WalkTurn& turn, const TypedLine& line, std::string_view) {
  const std::string name = LowerCased(TrimmedSpaces(line.arguments));
  const auto found = FindGotoLocation(CurrentSettings().gotoSections, name);
  if (!found) {
    Say(turn, "|07There is no GOTO location named |14" + name + "|07!");
    return true;
  }
  EnterAndShow(turn, static_cast<uint32_t>(found->map), static_cast<uint32_t>(found->room));
  return true;
}

// Enters the room a script moved the character to, when it moved it.
void FollowScript(WalkTurn& turn, uint32_t map, uint32_t room) {
  if (map != turn.session.map() || room != turn.session.roomNumber()) EnterAndShow(turn, map, room);
}

bool TalkTo(WalkTurn& turn, const TypedLine& line, std::string_view) {
  const std::string rest(TrimmedSpaces(line.arguments));
  const size_t space = rest.find(' ');
  const std::string name = rest.substr(0, space);
  const std::string topic =
      space == std::string::npos ? "" : std::string(TrimmedSpaces(rest.substr(space + 1)));
  uint32_t map = turn.session.map(), room = turn.session.roomNumber();
  Talk(turn.console, turn.session, name, topic, map, room);
  FollowScript(turn, map, room);
  return true;
}

const std::string& FirstName(const WalkTurn& turn) {
  return turn.session.character.firstName;
}

bool Gossip(WalkTurn& turn, const TypedLine& line, std::string_view) {
  const std::string colour(PaletteColour(turn.session.options.palette));
  Say(turn, Format("|07%s gossips: %s%s", FirstName(turn).c_str(), colour.c_str(),
                   line.arguments.c_str()));
  return true;
}

bool Auction(WalkTurn& turn, const TypedLine& line, std::string_view) {
  const std::string colour(PaletteColour(turn.session.options.palette));
  Say(turn, Format("|07%s auctions: %s%s", FirstName(turn).c_str(), colour.c_str(),
                   line.arguments.c_str()));
  return true;
}

void BroadcastText(WalkTurn& turn, std::string_view text) {
  Say(turn,
      Format("|14Broadcast from %s \"%s\"", FirstName(turn).c_str(), std::string(text).c_str()));
}

bool Broadcast(WalkTurn& turn, const TypedLine& line, std::string_view) {
  BroadcastText(turn, line.arguments);
  return true;
}

bool GangPath(WalkTurn& turn, const TypedLine& line, std::string_view) {
  Say(turn, Format("|02%s gangpaths: |06%s", FirstName(turn).c_str(), line.arguments.c_str()));
  return true;
}

// TELEPORT and PEEK's room and map: the map defaults to the current one.
std::pair<uint32_t, uint32_t> TypedMapAndRoom(const WalkTurn& turn, const TypedLine& line) {
  const uint32_t room = TypedNumber(line.Word(1));
  const uint32_t map = line.size() >= 3 ? TypedNumber(line.Word(2)) : turn.session.map();
  return {map, room};
}

bool Teleport(WalkTurn& turn, const TypedLine& line, std::string_view) {
  const auto [map, room] = TypedMapAndRoom(turn, line);
  EnterAndShow(turn, map, room);
  return true;
}

bool Peek(WalkTurn& turn, const TypedLine& line, std::string_view) {
  const auto [map, room] = TypedMapAndRoom(turn, line);
  RoomRecord record;
  if (GetRoom(map, room, record, true) != 0) {
    Say(turn, MissingRoomText(map, room));
    return true;
  }
  DisplayRoom(turn.console, turn.session, record, true, false);
  return true;
}

bool Buy(WalkTurn& turn, const TypedLine& line, std::string_view) {
  if (!Abbreviates(line.Word(1), "TRAINING")) {
    turn.show = RoomShow::kAsBriefModeSays;
    return true;
  }
  if (!InShopRoom(turn)) {
    Say(turn, "|12You cannot BUY if you are not in a shop!");
    return true;
  }
  return TrainLevelCommand(turn, line, "BUY");
}

bool Sell(WalkTurn& turn, const TypedLine& line, std::string_view) {
  if (!InShopRoom(turn)) {
    Say(turn, "|12You cannot SELL if you are not in a shop!");
    return true;
  }
  RunSellCommand(turn.console, turn.session, line.arguments, false);
  return true;
}

bool Appraise(WalkTurn& turn, const TypedLine& line, std::string_view) {
  if (turn.session.room.shopNumber() == 0) return false;
  RunSellCommand(turn.console, turn.session, line.arguments, true);
  return true;
}

bool DebugOption(WalkTurn& turn, const TypedLine& line, std::string_view) {
  RunDebugCommand(turn.console, line);
  return true;
}

bool Set(WalkTurn& turn, const TypedLine& line, std::string_view) {
  RunSetCommand(turn.console, turn.session, line);
  return true;
}

bool MapWithArgument(WalkTurn& turn, const TypedLine& line, std::string_view) {
  if (line.Word(1) == "HELP") {
    ShowMapHelp(turn.console);
  } else {
    ShowOverheadMap(turn.console, turn.session, line.typed[1]);
  }
  return true;
}

// --- Holdings ---

// PERCENT or IDS after INVENTORY and KEYS; anything else lists plainly.
ListingSuffix SuffixOption(const TypedLine& line) {
  if (Abbreviates(line.Word(1), "PERCENT")) return ListingSuffix::kPercent;
  if (Abbreviates(line.Word(1), "IDS")) return ListingSuffix::kNumbers;
  return ListingSuffix::kNone;
}

bool RemoveNamed(WalkTurn& turn, const TypedLine& line, std::string_view) {
  RunRemoveCommand(turn.console, turn.session, line.arguments);
  return true;
}

bool EquipNamed(WalkTurn& turn, const TypedLine& line, std::string_view) {
  RunEquipCommand(turn.console, turn.session, line.arguments);
  return true;
}

bool LightNamed(WalkTurn& turn, const TypedLine& line, std::string_view) {
  RunLightCommand(turn.console, turn.session, line.arguments);
  return true;
}

bool InventoryWithOption(WalkTurn& turn, const TypedLine& line, std::string_view) {
  if (Abbreviates(line.Word(1), "HELP")) {
    WriteLines(turn.console, InventorySyntaxLines());
  } else {
    ShowInventory(turn.console, turn.session, SuffixOption(line));
  }
  return true;
}

bool KeysWithOption(WalkTurn& turn, const TypedLine& line, std::string_view) {
  if (Abbreviates(line.Word(1), "HELP")) {
    WriteLines(turn.console, KeysSyntaxLines());
  } else {
    ShowKeys(turn.console, turn.session, SuffixOption(line));
  }
  return true;
}

bool WealthWithOption(WalkTurn& turn, const TypedLine& line, std::string_view) {
  ShowWealth(turn.console, turn.session, Abbreviates(line.Word(1), "PERCENT"));
  return true;
}

bool Inventory(WalkTurn& turn, const TypedLine&, std::string_view) {
  ShowInventory(turn.console, turn.session, ListingSuffix::kNone);
  return true;
}

bool Keys(WalkTurn& turn, const TypedLine&, std::string_view) {
  ShowKeys(turn.console, turn.session, ListingSuffix::kNone);
  return true;
}

bool Wealth(WalkTurn& turn, const TypedLine&, std::string_view) {
  ShowWealth(turn.console, turn.session, false);
  return true;
}

bool Disarm(WalkTurn& turn, const TypedLine&, std::string_view) {
  RunDisarmCommand(turn.console, turn.session);
  return true;
}

// --- Single-word commands ---

bool Move(WalkTurn& turn, const TypedLine& line, std::string_view) {
  if (WalkThroughExit(turn.console, turn.session, DirectionNumber(line.Word(0)))) {
    turn.show = RoomShow::kAsBriefModeSays;
  }
  return true;
}

bool Look(WalkTurn& turn, const TypedLine&, std::string_view) {
  turn.show = RoomShow::kFull;
  return true;
}

bool SystemDebug(WalkTurn& turn, const TypedLine&, std::string_view) {
  ShowSystemDebug(turn.console);
  return true;
}

bool ItemSyntax(WalkTurn& turn, const TypedLine&, std::string_view command) {
  Say(turn, Format("|07Syntax|08: |14%s |07<item name>", std::string(command).c_str()));
  return true;
}

bool RoomInfo(WalkTurn& turn, const TypedLine&, std::string_view) {
  ShowRoomInfo(turn.console, turn.session);
  return true;
}

bool List(WalkTurn& turn, const TypedLine&, std::string_view) {
  if (!InShopRoom(turn)) {
    Say(turn, "|12You cannot LIST if you are not in a shop!");
    return true;
  }
  ShowShopList(turn.console, turn.session.room.shopNumber());
  return true;
}

bool RoomCommands(WalkTurn& turn, const TypedLine&, std::string_view) {
  ListRoomCommands(turn.console, turn.session.room.commandText());
  return true;
}

bool LightLevel(WalkTurn& turn, const TypedLine&, std::string_view) {
  const CharacterSheet sheet = LoadCharacterSheet(turn.session);
  const Light light = RoomLight(turn.session.room, turn.session.character, sheet);
  Say(turn, "|07The current light level is " + std::string(light.name));
  return true;
}

bool Map(WalkTurn& turn, const TypedLine&, std::string_view) {
  ShowOverheadMap(turn.console, turn.session, "");
  return true;
}

bool TeleportSyntax(WalkTurn& turn, const TypedLine&, std::string_view) {
  Say(turn, "|07Syntax|08: |14TELEPORT |07<room> [map]");
  return true;
}

bool PeekSyntax(WalkTurn& turn, const TypedLine&, std::string_view) {
  Say(turn, "|07Syntax|08: |14PEEK |07<room> [map]");
  return true;
}

bool Telepath(WalkTurn& turn, const TypedLine&, std::string_view) {
  Say(turn, "|07You have to telepath something!");
  return true;
}

bool GotoList(WalkTurn& turn, const TypedLine&, std::string_view) {
  ShowGotoList(turn.console, CurrentSettings().gotoSections);
  return true;
}

bool SetSyntax(WalkTurn& turn, const TypedLine&, std::string_view) {
  ShowSetSyntax(turn.console);
  return true;
}

bool Exits(WalkTurn& turn, const TypedLine&, std::string_view) {
  Say(turn, ExitLineForDisplay(turn.session.room, turn.session.options));
  return true;
}

bool Quit(WalkTurn& turn, const TypedLine&, std::string_view) {
  turn.leave = true;
  return true;
}

void ChannelListing(WalkTurn& turn) {
  Say(turn, Format("|07The following users are on channel %d:", turn.session.options.channel));
  Say(turn, FirstName(turn));
}

bool Channel(WalkTurn& turn, const TypedLine&, std::string_view) {
  ChannelListing(turn);
  return true;
}

bool Brief(WalkTurn& turn, const TypedLine&, std::string_view) {
  turn.session.options.brief = true;
  Say(turn, "|07Quiet mode set");
  return true;
}

bool ClearScreen(WalkTurn& turn, const TypedLine&, std::string_view) {
  turn.console.ClrScr();
  turn.show = RoomShow::kWithoutText;
  return true;
}

bool Verbose(WalkTurn& turn, const TypedLine&, std::string_view) {
  turn.session.options.brief = false;
  Say(turn, "|07Verbose mode set");
  return true;
}

bool Version(WalkTurn& turn, const TypedLine&, std::string_view) {
  ShowWalkerVersion(turn.console);
  return true;
}

bool Health(WalkTurn& turn, const TypedLine&, std::string_view) {
  const CharacterSheet sheet = LoadCharacterSheet(turn.session);
  Say(turn, "|07" + HealthLine(turn.session.character, sheet));
  return true;
}

bool Help(WalkTurn& turn, const TypedLine&, std::string_view) {
  ShowWalkerHelp(turn.console);
  return true;
}

// --- Lines no row takes ---

void TypedCommand(WalkTurn& turn, std::string_view text) {
  const std::string line = UpperCased(TrimmedSpaces(text));
  switch (TakeTypedExit(turn.console, turn.session, line)) {
    case TypedExit::kTaken:
      turn.show = RoomShow::kAsBriefModeSays;
      return;
    case TypedExit::kMissing:
    case TypedExit::kRemote:
      return;
    case TypedExit::kNone:
      break;
  }
  uint32_t map = turn.session.map(), room = turn.session.roomNumber();
  if (RunRoomCommand(turn.console, turn.session, turn.session.room.commandText(), line, map,
                     room)) {
    FollowScript(turn, map, room);
    return;
  }
  Say(turn, kNoEffect);
}

void Dispatch(WalkTurn& turn, const std::vector<CommandRow>& rows, const TypedLine& line,
              std::string_view text) {
  for (auto index = FindCommand(rows, line); index; index = FindCommand(rows, line, *index + 1)) {
    const CommandRow& row = rows[*index];
    if (row.handler(turn, line, row.words.front().word)) return;
  }
  TypedCommand(turn, text);
}

}  // namespace

const std::vector<CommandRow>& ArgumentCommands() {
  static const std::vector<CommandRow> rows = {
      {{{"LOOK", 1}}, std::nullopt, LookAt},
      {{{"ASK", 2}, {"GREET", 2}}, std::nullopt, TalkTo},
      {{{"GOTO", kExact}}, std::nullopt, GotoLocation},
      {{{"REMOVE", 3}}, std::nullopt, RemoveNamed},
      {{{"EQUIP", 2}, {"ARM", 2}}, std::nullopt, EquipNamed},
      {{{"READY", 3}, {"WIELD", 3}, {"WEAR", 3}}, std::nullopt, EquipNamed},
      {{{"INVENTORY", 4}, {"I", kExact}}, std::nullopt, InventoryWithOption},
      {{{"KEYS", 2}}, std::nullopt, KeysWithOption},
      {{{"LIGHT", 3}}, std::nullopt, LightNamed},
      {{{"WEALTH", 4}}, std::nullopt, WealthWithOption},
      {{{"GOSSIP", 3}}, std::nullopt, Gossip},
      {{{"AUCTION", 3}}, std::nullopt, Auction},
      {{{"BROADCAST", 2}}, std::nullopt, Broadcast},
      {{{"BG", kExact}, {"GB", kExact}, {"BROADGANG", 6}}, std::nullopt, GangPath},
      {{{"TELEPORT", 1}}, std::nullopt, Teleport},
      {{{"PEEK", 1}}, std::nullopt, Peek},
      {{{"BUY", 2}}, std::nullopt, Buy},
      {{{"SELL", 3}}, std::nullopt, Sell},
      {{{"APPRAISE", 2}}, std::nullopt, Appraise},
      {{{"DEBUG", 1}}, std::nullopt, DebugOption},
      {{{"SET", kExact}}, std::nullopt, Set},
      {{{"TRAIN", 4}}, CommandWord{"STATS", kExact}, TrainStatsCommand},
      {{{"MAP", 2}}, std::nullopt, MapWithArgument},
      {{{"?", kExact}, {"HELP", 3}}, CommandWord{"EXPERIENCE", 1}, ShowExperienceTableCommand},
  };
  return rows;
}

const std::vector<CommandRow>& SingleWordCommands() {
  static const std::vector<CommandRow> rows = {
      {{{"N", kExact},         {"S", kExact},         {"E", kExact},         {"W", kExact},
        {"U", kExact},         {"D", kExact},         {"NORTH", kExact},     {"SOUTH", kExact},
        {"EAST", kExact},      {"WEST", kExact},      {"NE", kExact},        {"NW", kExact},
        {"SE", kExact},        {"SW", kExact},        {"NORTHEAST", kExact}, {"NORTHWEST", kExact},
        {"SOUTHEAST", kExact}, {"SOUTHWEST", kExact}, {"UP", kExact},        {"DOWN", kExact}},
       std::nullopt,
       Move},
      {{{"LOOK", 1}}, std::nullopt, Look},
      {{{"DEBUG", 3}}, std::nullopt, SystemDebug},
      {{{"WEAR", 3}}, std::nullopt, ItemSyntax},
      {{{"READY", 3}}, std::nullopt, ItemSyntax},
      {{{"WIELD", 3}}, std::nullopt, ItemSyntax},
      {{{"ARM", 2}}, std::nullopt, ItemSyntax},
      {{{"BUY", 2}}, std::nullopt, ItemSyntax},
      {{{"SELL", 3}}, std::nullopt, ItemSyntax},
      {{{"WEALTH", 4}}, std::nullopt, Wealth},
      {{{"I", kExact}, {"INVENTORY", 4}, {"EQUIP", 2}}, std::nullopt, Inventory},
      {{{"KEYS", 2}}, std::nullopt, Keys},
      {{{"DISARM", 2}}, std::nullopt, Disarm},
      {{{"INFO", 3}}, std::nullopt, RoomInfo},
      {{{"LIST", 3}}, std::nullopt, List},
      {{{"LIGHT", 3}}, std::nullopt, LightLevel},
      {{{"COMMANDS", 3}}, std::nullopt, RoomCommands},
      {{{"MAP", 2}}, std::nullopt, Map},
      {{{"TELEPORT", 1}}, std::nullopt, TeleportSyntax},
      {{{"/", kExact}, {"WHISPER", 3}}, std::nullopt, Telepath},
      {{{"GOTO", kExact}}, std::nullopt, GotoList},
      {{{"SET", 1}}, std::nullopt, SetSyntax},
      {{{"PEEK", 1}}, std::nullopt, PeekSyntax},
      {{{"EXITS", 3}}, std::nullopt, Exits},
      {{{"X", kExact}, {"Q", kExact}, {"QUIT", 1}}, std::nullopt, Quit},
      {{{"-", kExact}, {"BROADCAST", 2}}, std::nullopt, Channel},
      {{{"BRIEF", 3}}, std::nullopt, Brief},
      {{{"CLS", 2}}, std::nullopt, ClearScreen},
      {{{"VERBOSE", 1}}, std::nullopt, Verbose},
      {{{"VERSION", 1}}, std::nullopt, Version},
      {{{"STATUS", 1}}, std::nullopt, ShowStatusCommand},
      {{{"EXPERIENCE", 3}}, std::nullopt, ShowExperienceCommand},
      {{{"PARTY", 3}}, std::nullopt, ShowPartyCommand},
      {{{"HEALTH", 2}}, std::nullopt, Health},
      {{{"TRAIN", 4}}, std::nullopt, TrainLevelCommand},
      {{{"SUICIDE", kExact}}, std::nullopt, SuicideCommand},
      {{{"REROLL", kExact}}, std::nullopt, RerollCommand},
      {{{"HPREGEN", 4}, {"MPREGEN", 4}}, std::nullopt, ShowRegenerationCommand},
      {{{"?", kExact}, {"HELP", 3}}, std::nullopt, Help},
  };
  return rows;
}

bool MatchesCommandWord(const CommandWord& word, std::string_view typed) {
  if (word.minimum == kExact) return SameTextIgnoringCase(typed, word.word);
  return Abbreviates(typed, word.word, word.minimum);
}

std::optional<size_t> FindCommand(const std::vector<CommandRow>& rows, const TypedLine& line,
                                  size_t from) {
  for (size_t i = from; i < rows.size(); ++i) {
    const CommandRow& row = rows[i];
    bool first = false;
    for (const CommandWord& word : row.words) first |= MatchesCommandWord(word, line.Word(0));
    if (!first) continue;
    if (row.second && !MatchesCommandWord(*row.second, line.Word(1))) continue;
    return i;
  }
  return std::nullopt;
}

void RunTypedLine(WalkTurn& turn, std::string_view text) {
  if (!text.empty()) {
    const std::string rest(text.substr(1));
    switch (text.front()) {
      case '"':
        Say(turn, Format("|02You yell \"%s\"", rest.c_str()));
        return;
      case '.':
        Say(turn, turn.session.options.responses == kResponsesVerbose
                      ? Format("|02You say \"%s\"", rest.c_str())
                      : std::string("|02Well Spoken..."));
        return;
      case '-':
        if (rest.empty()) {
          ChannelListing(turn);
        } else {
          BroadcastText(turn, rest);
        }
        return;
      default:
        break;
    }
  }
  const TypedLine line = SplitTypedLine(text);
  if (line.size() == 0) {
    turn.show = RoomShow::kWithoutText;
    return;
  }
  Dispatch(turn, line.size() == 1 ? SingleWordCommands() : ArgumentCommands(), line, text);
}

}  // namespace torvex
