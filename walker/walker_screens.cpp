#include "walker/walker_screens.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/people_text.h"
#include "database/btrieve_layer.h"
#include "database/cache_stats.h"
#include "database/record_access.h"
#include "database/record_cache.h"
#include "database/records/enumerations.h"
#include "database/records/record_rules.h"
#include "database/records/tables.h"
#include "platform/program.h"
#include "walker/character_settings.h"
#include "walker/holdings.h"

namespace torvex {
namespace {

constexpr char kNoEffect[] = "|07Your command had no effect.";

// Horizontal line of code page 437.
constexpr char kRuleCharacter = '\xC4';

// The word as typed, for messages that repeat it; the upper-case form when the
// typed forms are missing.
std::string_view TypedWord(const TypedLine& line, size_t index) {
  if (index < line.typed.size()) return line.typed[index];
  return line.Word(index);
}

// ---------------------------------------------------------------------------
// SET

struct SetSyntaxRow {
  std::string_view option;  // empty: the previous option's text goes on
  std::string_view text;
};

// clang-format off
constexpr SetSyntaxRow kSetSyntax[] = {
    {"PAL",       "<0-3> chooses the colour palette of the prompt and room lines."},
    {"EXITS",     "DETAILED, NORMAL or NUMBER: how much the exit line tells."},
    {"TITLE",     "NORMAL or DETAILED: room titles without or with their numbers."},
    {"ITEMS",     "ALL toggles hidden items, IDS toggles item numbers."},
    {"MONSTERS",  "PREFIXES toggles random name prefixes, IDS monster numbers,"},
    {"",          "ACTIVEONLY whether only the room's active monsters are shown."},
    {"DEBUGGING", "STEPDEBUG, SHOWLINEINFO or SHOWERRORS toggles stepping through"},
    {"",          "text blocks, their line information or their error messages."},
    {"MAPPING",   "FOLLOWMAPCHANGES, FOLLOWHIDDENEXITS, FOLLOWCASTEXITS,"},
    {"",          "FOLLOWSPELLEXITS or FOLLOWTEXTEXITS toggles which exits MAP"},
    {"",          "follows; CASTEXITSPELLS toggles casting the spells of exits."},
    {"CHAR",      "<setting> changes the character; alone it lists the settings."},
};
// clang-format on

// One toggled bit of an option word: the value that names it and what is said
// when it is switched on and off.
struct SetToggle {
  std::string_view option;
  std::string_view value;
  int32_t WalkerOptions::*word;
  int32_t bit;
  std::string_view on;
  std::string_view off;
};

// clang-format off
const SetToggle kSetToggles[] = {
    {"ITEMS", "ALL", &WalkerOptions::items, kItemsShowAll,
     "|07Item viewing set to ALL.  All room items will be shown (visible and invisible).",
     "|07Item viewing set to VISIBLE.  Only visible room items will be shown."},
    {"ITEMS", "IDS", &WalkerOptions::items, kItemsShowNumbers,
     "|07Item numbers will be displayed next to items.",
     "|07Item numbers will no longer be shown."},
    {"MONSTERS", "PREFIXES", &WalkerOptions::monsters, kMonstersPrefixes,
     "|07Monster names will be given random prefixes.",
     "|07Monster names will no longer be given random prefixes."},
    {"MONSTERS", "IDS", &WalkerOptions::monsters, kMonstersShowNumbers,
     "|07Monster numbers will be displayed next to monsters.",
     "|07Monster numbers will no longer be shown."},
    {"MONSTERS", "ACTIVEONLY", &WalkerOptions::monsters, kMonstersActiveOnly,
     "|07Only the room's active monsters will be shown.",
     "|07The monsters generated for each room will be shown."},
    {"DEBUGGING", "STEPDEBUG", &WalkerOptions::debugging, kDebugStep,
     "|07Step debugging for text blocks enabled.",
     "|07Step debugging for text blocks disabled."},
    {"DEBUGGING", "SHOWLINEINFO", &WalkerOptions::debugging, kDebugLineInfo,
     "|07Line information for text blocks enabled.",
     "|07Line information for text blocks disabled."},
    {"DEBUGGING", "SHOWERRORS", &WalkerOptions::debugging, kDebugShowErrors,
     "|07Error messages for text blocks enabled.",
     "|07Error messages for text blocks disabled."},
    {"MAPPING", "FOLLOWMAPCHANGES", &WalkerOptions::mapping, kMapFollowMapChanges,
     "|07Maps will follow map change exits.",
     "|07Maps will not follow map change exits."},
    {"MAPPING", "FOLLOWHIDDENEXITS", &WalkerOptions::mapping, kMapFollowHidden,
     "|07Maps will follow hidden exits.",
     "|07Maps will not follow hidden exits."},
    {"MAPPING", "FOLLOWCASTEXITS", &WalkerOptions::mapping, kMapFollowCast,
     "|07Maps will follow cast exits.",
     "|07Maps will not follow cast exits."},
    {"MAPPING", "FOLLOWSPELLEXITS", &WalkerOptions::mapping, kMapFollowSpell,
     "|07Maps will follow spell exits.",
     "|07Maps will not follow spell exits."},
    {"MAPPING", "FOLLOWTEXTEXITS", &WalkerOptions::mapping, kMapFollowText,
     "|07Maps will follow text exits.",
     "|07Maps will not follow text exits."},
    {"MAPPING", "CASTEXITSPELLS", &WalkerOptions::mapping, kMapCastExitSpells,
     "|07Exit spells will be cast.",
     "|07Exit spells will not be cast."},
};

// An option matched by its exact word, and its complaint about a value it does
// not know.
struct NamedOption {
  std::string_view option;
  const char* unknown;
};
constexpr NamedOption kToggledOptions[] = {
    {"ITEMS",     "|07Unknown items option \"%s\"!"},
    {"MONSTERS",  "|07Unknown monsters option \"%s\"!"},
    {"DEBUGGING", "|07Unknown debugging option \"%s\"!"},
    {"MAPPING",   "|07Unknown mapping option \"%s\"!"},
};

// A value that sets an option word to a fixed style, and what is said.
struct SetChoice {
  std::string_view option;
  std::string_view value;
  int32_t WalkerOptions::*word;
  int32_t setting;
  std::vector<std::string_view> lines;
};

const SetChoice kSetChoices[] = {
    {"TITLE", "NORMAL", &WalkerOptions::title, kTitleNormal,
     {"|07Title style set to NORMAL.  DNMW-style room titles will be displayed."}},
    {"TITLE", "DETAILED", &WalkerOptions::title, kTitleDetailed,
     {"|07Title style set to DETAILED.  Room titles will be followed by their map",
      "|07and room numbers."}},
    {"EXITS", "DETAILED", &WalkerOptions::exits, kExitsDetailed,
     {"|07Exit style set to DETAILED.  All exits will be shown."}},
    {"EXITS", "NORMAL", &WalkerOptions::exits, kExitsNormal,
     {"|07Exit style set to NORMAL.  Hidden and command exits will not be shown."}},
    {"EXITS", "NUMBER", &WalkerOptions::exits, kExitsNumber,
     {"|07Exit style set to NUMBER.  Exits will be shown with their room numbers."}},
};

constexpr NamedOption kChoiceOptions[] = {
    {"TITLE", "|07Unknown title option \"%s\"!"},
    {"EXITS", "|07Unknown exits option \"%s\"!"},
};
// clang-format on

constexpr std::array<std::string_view, 2> kStyleNames{"TECHNICAL", "FANTASY"};

std::vector<std::string> SetPalette(WalkerOptions& options, std::string_view value) {
  if (value.size() == 1 && value[0] >= '0' && value[0] <= '3') {
    options.palette = value[0] - '0';
    return {Format("|07You will now use colour palette number %d.", options.palette)};
  }
  return {"|07Valid palettes are: 0, 1, 2, 3"};
}

std::vector<std::string> SetStyle(WalkerOptions& options, std::string_view value) {
  if (value.empty()) {
    options.style = options.style == kStyleFantasy ? kStyleTechnical : kStyleFantasy;
  } else if (Abbreviates(value, "FANTASY")) {
    options.style = kStyleFantasy;
  } else if (Abbreviates(value, "TECHNICAL")) {
    options.style = kStyleTechnical;
  } else {
    return {"|07Valid style options: TECHNICAL, FANTASY"};
  }
  const std::string_view name = kStyleNames[options.style == kStyleFantasy ? 1 : 0];
  return {Format("|07You will now receive %.*s style messages.", static_cast<int>(name.size()),
                 name.data())};
}

std::vector<std::string> SetResponses(WalkerOptions& options, std::string_view value) {
  if (value.empty()) {
    options.responses = options.responses == kResponsesBrief ? kResponsesVerbose : kResponsesBrief;
  } else if (Abbreviates(value, "BRIEF")) {
    options.responses = kResponsesBrief;
  } else if (Abbreviates(value, "VERBOSE")) {
    options.responses = kResponsesVerbose;
  } else {
    return {"|07Valid interrupt options: BRIEF, VERBOSE"};
  }
  if (options.responses == kResponsesBrief) return {"|07Responses to talking will be brief now."};
  return {"|07Responses to talking will be verbose now."};
}

std::string Unknown(const char* format, std::string_view value) {
  return Format(format, std::string(value).c_str());
}

// The options matched by their exact word, whose values are fixed styles or
// toggled bits. Empty when `option` is none of them.
std::vector<std::string> SetByTable(WalkerOptions& options, std::string_view option,
                                    std::string_view value, std::string_view typedValue) {
  for (const SetChoice& choice : kSetChoices) {
    if (choice.option == option && choice.value == value) {
      options.*choice.word = choice.setting;
      return {choice.lines.begin(), choice.lines.end()};
    }
  }
  for (const NamedOption& named : kChoiceOptions) {
    if (named.option == option) return {Unknown(named.unknown, typedValue)};
  }
  for (const SetToggle& toggle : kSetToggles) {
    if (toggle.option == option && toggle.value == value) {
      int32_t& word = options.*toggle.word;
      word ^= toggle.bit;
      return {std::string((word & toggle.bit) != 0 ? toggle.on : toggle.off)};
    }
  }
  for (const NamedOption& named : kToggledOptions) {
    if (named.option == option) return {Unknown(named.unknown, typedValue)};
  }
  return {};
}

// ---------------------------------------------------------------------------
// GOTO

// The running length stops a line of locations at 78 columns, which leaves
// the closing "," or "." inside 79: a full line never wraps by itself.
constexpr size_t kGotoLineLength = 78;
constexpr size_t kGotoHeadingRule = 75;

std::string GotoHeading(const std::string& name) {
  std::string line = "|08";
  line.append(2, kRuleCharacter);
  line += "[|14" + name + "|08]";
  line.append(kGotoHeadingRule - std::min(name.size(), kGotoHeadingRule), kRuleCharacter);
  return line;
}

// ---------------------------------------------------------------------------
// HELP

struct HelpRow {
  std::string_view command;
  std::string_view text;
};

// clang-format off
constexpr HelpRow kHelpRows[] = {
    {"N, S, E, W",  "Move in a direction (also NE, NW, SE, SW, U and D)."},
    {"LOOK",        "Look at the room, in a direction or at an item (eg: look n)."},
    {"LIST",        "List the items for sale when you are in a shop."},
    {"LIGHT",       "Show the light level, or light an item (eg: light torch)."},
    {"EQUIP, WEAR", "Wear or ready an item you carry (eg: wear leather cap)."},
    {"REMOVE",      "Take off an item you are wearing (eg: remove leather cap)."},
    {"WIELD, ARM,", "Ready a weapon you carry (eg: wield short sword)."},
    {"READY",       "The same as WIELD and ARM."},
    {"DISARM",      "Put away the weapon you have readied."},
    {"SELL",        "Sell an item when you are in a shop (eg: sell dagger)."},
    {"INVENTORY",   "List what you carry (INVENTORY HELP for its options)."},
    {"KEYS",        "List the keys you carry (KEYS HELP for its options)."},
    {"INFO",        "Display information about the current room."},
    {"COMMANDS",    "List the commands the current room understands."},
    {"MAP",         "Draw an overhead map of the area (MAP HELP for its symbols)."},
    {"TELEPORT",    "Teleport to a specific ROOM MAP (eg: teleport 2250 12)."},
    {"GOTO",        "Go to a named location (GOTO alone lists them)."},
    {"PEEK",        "Look at a ROOM MAP without going there (eg: peek 2250 12)."},
    {"SET",         "Change the walker's options (SET alone lists them)."},
    {"BRIEF",       "Leave out room descriptions when you move."},
    {"VERBOSE",     "Show room descriptions when you move."},
    {"VERSION",     "Display TORVEX version."},
    {"X",           "Exit the simulator."},
};
// clang-format on

// ---------------------------------------------------------------------------
// INFO

struct AttributeLine {
  int bit;
  const char* text;
};
constexpr AttributeLine kAttributeLines[] = {
    {kRoomNoPVP, "  This room is protected."},
    {kRoomPatrollable, "  This room is patrollable."},
    {kRoomOwnable, "  This room is ownable."},
    {kRoomGangRoom, "  This room is a gangroom."},
    {kRoomNPCIsAlive, "  This room's specific monster is alive."},
};

// " (name)" when there is a name to show.
std::string NameAfter(const std::string& name) {
  return name.empty() ? std::string() : " (" + name + ")";
}

// ---------------------------------------------------------------------------
// DEBUG

// A label of the system screen, its value starting in the same column as
// "CurESP:" and "Active Mask:".
std::string DebugLabel(std::string_view label) {
  return Format("  |07%-17.*s", static_cast<int>(label.size()), label.data());
}

std::string Quoted(std::string_view text) {
  return "\"" + ColourLiteral(text) + "\"";
}

std::string Bytes(uint64_t count) {
  return GroupedNumber(static_cast<int64_t>(std::min<uint64_t>(count, INT64_MAX))) + " bytes";
}

struct CacheCommand {
  std::string_view word;
  std::string_view name;
  void (*show)(Console&);
  void (*clear)();
  size_t (*count)();
  size_t (*bytes)();
};

const CacheCommand kCacheCommands[] = {
    {"ITEMCACHE", "item", [](Console& c) { ShowItemCacheStats(c); }, ClearItemCache,
     [] { return ProgramCaches().items.count(); }, [] { return ProgramCaches().items.bytes(); }},
    {"TEXTBLOCKCACHE", "text-block", [](Console& c) { ShowTextCacheStats(c); }, ClearTextCache,
     [] { return ProgramCaches().texts.count(); }, [] { return ProgramCaches().texts.bytes(); }},
    {"ROOMCACHE", "room", [](Console& c) { ShowRoomCacheStats(c); }, ClearRoomCache,
     [] { return ProgramCaches().rooms.count(); }, [] { return ProgramCaches().rooms.bytes(); }},
};

const CacheCommand* FindCacheCommand(std::string_view word) {
  for (const CacheCommand& command : kCacheCommands) {
    if (command.word == word) return &command;
  }
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------

std::vector<std::string> SetSyntaxLines() {
  std::vector<std::string> lines{"|07Syntax|08: |14SET |07<option> [...]"};
  for (const SetSyntaxRow& row : kSetSyntax) {
    lines.push_back(Format("  |14%-10.*s|07%s %.*s", static_cast<int>(row.option.size()),
                           row.option.data(), row.option.empty() ? " " : "-",
                           static_cast<int>(row.text.size()), row.text.data()));
  }
  return lines;
}

void ShowSetSyntax(Console& console) {
  WriteLines(console, SetSyntaxLines());
}

std::vector<std::string> SetCommandLines(WalkerSession& session, const TypedLine& line) {
  WalkerOptions& options = session.options;
  const std::string_view option = line.Word(1);
  const std::string_view value = line.Word(2);
  // The value is optional for these; PALETTE without one is no command at all.
  if (Abbreviates(option, "PALETTE") && !value.empty()) return SetPalette(options, value);
  if (Abbreviates(option, "STYLE")) return SetStyle(options, value);
  if (Abbreviates(option, "TALK") || Abbreviates(option, "RESPONSE")) {
    return SetResponses(options, value);
  }
  if (Abbreviates(option, "CHAR")) return SetCharacterLines(session, line);
  std::vector<std::string> lines = SetByTable(options, option, value, TypedWord(line, 2));
  if (lines.empty()) lines.push_back(kNoEffect);
  return lines;
}

void RunSetCommand(Console& console, WalkerSession& session, const TypedLine& line) {
  WriteLines(console, SetCommandLines(session, line));
}

std::vector<std::string> GotoListLines(const std::vector<TGotoSectionEntry>& sections) {
  std::vector<std::string> lines{"|07Syntax|08: |14GOTO |07<location>",
                                 "<location> = <see list below>"};
  for (const TGotoSectionEntry& section : sections) {
    lines.push_back(GotoHeading(section.name));
    if (section.entries.empty()) continue;
    std::string current;
    size_t running = 0;
    for (const TGotoEntry& entry : section.entries) {
      const size_t width = entry.name.size() + 2;
      if (current.empty()) {
        current = "  |11" + entry.name + "|08";
        running = width;
      } else if (running + width > kGotoLineLength) {
        lines.push_back(current + "|08,");
        current = "  |11" + entry.name + "|08";
        running = width;
      } else {
        current += "|08, |11" + entry.name;
        running += width;
      }
    }
    lines.push_back(current + "|08.");
  }
  return lines;
}

void ShowGotoList(Console& console, const std::vector<TGotoSectionEntry>& sections) {
  WriteLines(console, GotoListLines(sections));
}

std::optional<TGotoEntry> FindGotoLocation(const std::vector<TGotoSectionEntry>& sections,
                                           std::string_view name) {
  for (const TGotoSectionEntry& section : sections) {
    for (const TGotoEntry& entry : section.entries) {
      if (entry.name == name) return entry;
    }
  }
  return std::nullopt;
}

std::vector<std::string> WalkerHelpLines() {
  std::vector<std::string> lines{"|14Help |08- |07These are the available commands:"};
  for (const HelpRow& row : kHelpRows) {
    lines.push_back(Format("|14%-12.*s|07- %.*s", static_cast<int>(row.command.size()),
                           row.command.data(), static_cast<int>(row.text.size()), row.text.data()));
  }
  return lines;
}

void ShowWalkerHelp(Console& console) {
  WriteLines(console, WalkerHelpLines());
}

std::vector<std::string> RoomInfoLines(const RoomRecord& room) {
  std::vector<std::string> lines;
  lines.push_back(Format("|16|14* |07Map: %u  Room: %u", room.mapNumber(), room.roomNumber()));
  lines.push_back(
      Format("  Room Type:     %s (%u)", RoomTypeText(room.roomType()).c_str(), room.roomType()));
  lines.push_back(Format("  Shop Number:   %u", room.shopNumber()));
  lines.push_back(Format("  Control Room:  %u", room.controlRoom()));
  const uint32_t spell = room.roomSpell() & 0xFFFF;
  lines.push_back(Format("  Room Spell:    %u", room.roomSpell()) + NameAfter(SpellName(spell)));
  lines.push_back(Format("  Light:         %d", room.light()));
  lines.push_back(Format("  Attributes:    0x%.2x", room.attributes()));
  for (const AttributeLine& attribute : kAttributeLines) {
    if (room.hasAttribute(attribute.bit)) lines.push_back(attribute.text);
  }

  lines.push_back(Format("|14* |07Monster group: %u", room.monsterGroup()));
  lines.push_back(
      Format("  Min Index:     %-13uMax Index:     %u", room.minIndex(), room.maxIndex()));
  lines.push_back(Format("  By Number:     %-13dRoom Max:      %u",
                         static_cast<int>(room.permNPCByNumber()), room.maxRegen()));
  lines.push_back(
      Format("  Delay:         %-13uMax Area:      %u", room.regenDelay(), room.maxArea()));
  lines.push_back(Format("  NPC/Boss:      %u", room.permNPC()) +
                  NameAfter(room.permNPC() != 0 ? MonsterName(room.permNPC()) : ""));
  std::string monsters;
  int listed = 0;
  for (size_t i = 0; i < RoomRecord::kActiveMonstersCount; ++i) {
    const uint32_t number = room.activeMonsters(i);
    if (number == 0) continue;
    monsters += Format("%s%d (%s)", std::string(kListSeparators[listed == 0 ? 0 : 1]).c_str(),
                       static_cast<int>(number), ActiveMonsterName(number).c_str());
    ++listed;
  }
  lines.push_back("  Monsters:      " + (listed == 0 ? std::string("None") : monsters));

  lines.push_back(Format("|14* |07Command text: %u", room.commandText()));
  lines.push_back(Format("  Exit Room:     %u", room.exitRoomNumber()));
  lines.push_back(Format("  Death Room:    %u", room.deathRoom()));
  return lines;
}

void ShowRoomInfo(Console& console, const WalkerSession& session) {
  WriteLines(console, RoomInfoLines(session.room));
}

SystemFacts CurrentSystemFacts(const void* stackAddress) {
  SystemFacts facts;
  facts.heap = CurrentHeapUse();
  facts.stackAddress = stackAddress;
  facts.processors = ProcessorCount();
  facts.affinityMask = ProcessAffinityMask();
  facts.arguments = ProgramArguments();
  const Settings& settings = CurrentSettings();
  facts.iniFileName = settings.iniFileName;
  facts.configuredDataDirectory = settings.configuredDataDirectory;
  facts.dataDirectory = settings.database.dataDirectory;
  facts.extension = DatabaseExtension(settings.database);
  facts.versionReport = BtrieveVersionReport();
  return facts;
}

std::vector<std::string> SystemDebugLines(const SystemFacts& facts) {
  std::vector<std::string> lines{"|16|14* |07Memory Debug"};
  const std::string unknown = "unknown";
  lines.push_back(DebugLabel("TotalAllocated:") +
                  (facts.heap ? Bytes(facts.heap->allocated) : unknown));
  lines.push_back(DebugLabel("TotalFree:") + (facts.heap ? Bytes(facts.heap->free) : unknown));
  lines.push_back(Format("  |07CurESP:          $%p", facts.stackAddress));

  lines.push_back("|16|14* |07Processor Debug");
  lines.push_back(DebugLabel("Processors:") + Format("%d", facts.processors));
  lines.push_back(Format("  |07Active Mask:     $%8.8x", facts.affinityMask));

  lines.push_back("|16|14* |07Parameters Debug");
  const size_t count = facts.arguments.empty() ? 0 : facts.arguments.size() - 1;
  lines.push_back(DebugLabel("ParamCount:") + Format("%zu", count));
  for (size_t n = 0; n < facts.arguments.size(); ++n) {
    lines.push_back(DebugLabel(Format("ParamStr(%zu):", n)) + Quoted(facts.arguments[n]));
  }

  lines.push_back("|16|14* |07Application Variables");
  lines.push_back(DebugLabel("IniFileName:") + Quoted(facts.iniFileName));
  lines.push_back(DebugLabel("DataDirectory:") + Quoted(facts.configuredDataDirectory));
  const std::string location =
      facts.dataDirectory.empty() ? "the current directory" : Quoted(facts.dataDirectory);
  lines.push_back(DebugLabel("DataLocation:") + location + " (" + ColourLiteral(facts.extension) +
                  " files)");

  lines.insert(lines.end(), facts.versionReport.begin(), facts.versionReport.end());
  return lines;
}

void ShowSystemDebug(Console& console) {
  WriteLines(console, SystemDebugLines(CurrentSystemFacts(__builtin_frame_address(0))));
}

std::vector<std::string> DebugSyntaxLines() {
  return {
      "|07Syntax|08: |14DEBUG |07[option]",
      "  |14ITEMCACHE       |07- List the entries of the item cache.",
      "  |14ROOMCACHE       |07- List the entries of the room cache.",
      "  |14TEXTBLOCKCACHE  |07- List the entries of the text-block cache.",
      "  |14CLEAR |07<cache>   - Empty a cache: ITEMCACHE, ROOMCACHE or TEXTBLOCKCACHE.",
      "  |14HELP            |07- Show this screen.",
      "|07DEBUG alone shows the system information screen.",
  };
}

void RunDebugCommand(Console& console, const TypedLine& line) {
  const std::string_view option = line.Word(1);
  if (const CacheCommand* cache = FindCacheCommand(option)) {
    cache->show(console);
    return;
  }
  if (option == "CLEAR") {
    if (const CacheCommand* cache = FindCacheCommand(line.Word(2))) {
      const size_t entries = cache->count();
      const size_t bytes = cache->bytes();
      cache->clear();
      const std::string name(cache->name);
      WriteColourLn(console,
                    Format("|07The %s cache has been cleared (%s entries, %s bytes freed).",
                           name.c_str(), GroupedNumber(static_cast<int64_t>(entries)).c_str(),
                           GroupedNumber(static_cast<int64_t>(bytes)).c_str()));
      return;
    }
  } else if (option == "HELP") {
    WriteLines(console, DebugSyntaxLines());
    return;
  }
  WriteColourLn(console, kNoEffect);
}

std::string_view WalkerNotice() {
  return "The room walker plays the game's rules offline, on this computer alone.\r\n"
         "Nothing you do here is written to the game's files: rooms, items and monsters\r\n"
         "stay as they are.  Your character is kept from one walk to the next and is\r\n"
         "saved in the ini file when the program ends.";
}

std::string WalkerVersionLine() {
  return Format("|07%s %d.%.2d.%d.%d", kProgramTitle, kVersionMajor, kVersionMinor, kVersionRelease,
                kVersionBuild);
}

void ShowWalkerVersion(Console& console) {
  WriteColourLn(console, WalkerVersionLine());
}

}  // namespace torvex
