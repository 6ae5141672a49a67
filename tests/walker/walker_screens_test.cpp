#include "walker/walker_screens.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "console/format.h"
#include "database/record_cache.h"
#include "platform/btrieve/btrieve.h"
#include "platform/program.h"
#include "tests/console/console_test_util.h"
#include "tests/database/record_files.h"
#include "walker/character_settings.h"

namespace torvex {
namespace {

using testing::HeadlessConsole;

// A line as the SET command receives it: the words upper-cased and as typed.
TypedLine Line(const std::vector<std::string>& typed) {
  TypedLine line;
  line.typed = typed;
  for (std::string word : typed) {
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    line.upper.push_back(word);
  }
  return line;
}

// Columns a colour-code line takes on screen: codes take none, "||" one.
size_t VisibleLength(const std::string& line) {
  size_t columns = 0;
  for (size_t i = 0; i < line.size();) {
    if (line[i] == '|' && i + 1 < line.size() && line[i + 1] == '|') {
      ++columns;
      i += 2;
    } else if (line[i] == '|') {
      i += 3;
    } else {
      ++columns;
      ++i;
    }
  }
  return columns;
}

// The options SET may change, for comparing them all at once.
auto Fields(const WalkerOptions& o) {
  return std::tuple(o.palette, o.title, o.exits, o.items, o.monsters, o.debugging, o.mapping,
                    o.style, o.responses);
}

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

// --- SET --------------------------------------------------------------------

struct SetCase {
  std::vector<std::string> words;
  int32_t WalkerOptions::*word;  // the option the line should leave at `expected`
  int32_t expected;
  std::vector<std::string> reply;
};

TEST(SetCommandTest, OptionsValuesAndMessages) {
  const WalkerOptions defaults;
  // clang-format off
  const SetCase cases[] = {
      {{"set", "palette", "2"}, &WalkerOptions::palette, 2,
       {"|07You will now use colour palette number 2."}},
      {{"set", "p", "3"}, &WalkerOptions::palette, 3,
       {"|07You will now use colour palette number 3."}},
      {{"set", "pal", "4"}, &WalkerOptions::palette, 0, {"|07Valid palettes are: 0, 1, 2, 3"}},
      {{"set", "pal", "01"}, &WalkerOptions::palette, 0, {"|07Valid palettes are: 0, 1, 2, 3"}},
      {{"set", "pal", "-1"}, &WalkerOptions::palette, 0, {"|07Valid palettes are: 0, 1, 2, 3"}},
      {{"set", "palette"}, &WalkerOptions::palette, 0, {"|07Your command had no effect."}},
      {{"set", "style"}, &WalkerOptions::style, kStyleFantasy,
       {"|07You will now receive FANTASY style messages."}},
      {{"set", "sty", "t"}, &WalkerOptions::style, kStyleTechnical,
       {"|07You will now receive TECHNICAL style messages."}},
      {{"set", "s", "fan"}, &WalkerOptions::style, kStyleFantasy,
       {"|07You will now receive FANTASY style messages."}},
      {{"set", "style", "loud"}, &WalkerOptions::style, kStyleTechnical,
       {"|07Valid style options: TECHNICAL, FANTASY"}},
      {{"set", "talk"}, &WalkerOptions::responses, kResponsesBrief,
       {"|07Responses to talking will be brief now."}},
      {{"set", "resp", "v"}, &WalkerOptions::responses, kResponsesVerbose,
       {"|07Responses to talking will be verbose now."}},
      {{"set", "t", "brief"}, &WalkerOptions::responses, kResponsesBrief,
       {"|07Responses to talking will be brief now."}},
      {{"set", "talk", "shout"}, &WalkerOptions::responses, kResponsesVerbose,
       {"|07Valid interrupt options: BRIEF, VERBOSE"}},
      {{"set", "title", "detailed"}, &WalkerOptions::title, kTitleDetailed,
       {"|07Title style set to DETAILED.  Room titles will be followed by their map",
        "|07and room numbers."}},
      {{"set", "title", "normal"}, &WalkerOptions::title, kTitleNormal,
       {"|07Title style set to NORMAL.  DNMW-style room titles will be displayed."}},
      {{"set", "title", "Norm"}, &WalkerOptions::title, kTitleNormal,
       {"|07Unknown title option \"Norm\"!"}},
      {{"set", "tit", "detailed"}, &WalkerOptions::title, kTitleNormal,
       {"|07Your command had no effect."}},
      {{"set", "exits", "number"}, &WalkerOptions::exits, kExitsNumber,
       {"|07Exit style set to NUMBER.  Exits will be shown with their room numbers."}},
      {{"set", "exits", "normal"}, &WalkerOptions::exits, kExitsNormal,
       {"|07Exit style set to NORMAL.  Hidden and command exits will not be shown."}},
      {{"set", "exits", "detailed"}, &WalkerOptions::exits, kExitsDetailed,
       {"|07Exit style set to DETAILED.  All exits will be shown."}},
      {{"set", "exits"}, &WalkerOptions::exits, kExitsDetailed,
       {"|07Unknown exits option \"\"!"}},
      {{"set", "items", "all"}, &WalkerOptions::items, 0,
       {"|07Item viewing set to VISIBLE.  Only visible room items will be shown."}},
      {{"set", "items", "ids"}, &WalkerOptions::items, kItemsShowAll | kItemsShowNumbers,
       {"|07Item numbers will be displayed next to items."}},
      {{"set", "items", "every"}, &WalkerOptions::items, kItemsShowAll,
       {"|07Unknown items option \"every\"!"}},
      {{"set", "monsters", "activeonly"}, &WalkerOptions::monsters,
       kMonstersPrefixes | kMonstersActiveOnly,
       {"|07Only the room's active monsters will be shown."}},
      {{"set", "monsters", "prefixes"}, &WalkerOptions::monsters, 0,
       {"|07Monster names will no longer be given random prefixes."}},
      {{"set", "monsters", "all"}, &WalkerOptions::monsters, kMonstersPrefixes,
       {"|07Unknown monsters option \"all\"!"}},
      {{"set", "debugging", "stepdebug"}, &WalkerOptions::debugging,
       kDebugShowErrors | kDebugStep, {"|07Step debugging for text blocks enabled."}},
      {{"set", "debugging", "showerrors"}, &WalkerOptions::debugging, 0,
       {"|07Error messages for text blocks disabled."}},
      {{"set", "debugging", "trace"}, &WalkerOptions::debugging, kDebugShowErrors,
       {"|07Unknown debugging option \"trace\"!"}},
      {{"set", "mapping", "followmapchanges"}, &WalkerOptions::mapping, 63,
       {"|07Maps will follow map change exits."}},
      {{"set", "mapping", "castexitspells"}, &WalkerOptions::mapping, 30,
       {"|07Exit spells will not be cast."}},
      {{"set", "mapping", "followmap"}, &WalkerOptions::mapping, 62,
       {"|07Unknown mapping option \"followmap\"!"}},
      {{"set", "char", "name"}, &WalkerOptions::palette, 0,
       {"|12Unrecognized character setting, \"name\"!"}},
      {{"set", "c"}, &WalkerOptions::palette, 0, SetCharacterSyntaxLines()},
      {{"set", "colours", "2"}, &WalkerOptions::palette, 0, {"|07Your command had no effect."}},
      {{"set", "e", "number"}, &WalkerOptions::exits, kExitsDetailed,
       {"|07Your command had no effect."}},
  };
  // clang-format on
  for (const SetCase& c : cases) {
    SCOPED_TRACE(Join(c.words));
    WalkerSession session;
    EXPECT_EQ(SetCommandLines(session, Line(c.words)), c.reply);
    EXPECT_EQ(session.options.*c.word, c.expected);
    // Nothing but the option named changes.
    WalkerOptions others = session.options;
    others.*c.word = defaults.*c.word;
    EXPECT_EQ(Fields(others), Fields(defaults));
  }
}

struct ToggleCase {
  const char* option;
  const char* value;
  int32_t WalkerOptions::*word;
  int32_t bit;
};

// Every toggle flips its own named bit, says something different each way,
// and a second SET gives the first state back.
TEST(SetCommandTest, EachToggleFlipsItsOwnBit) {
  // clang-format off
  const ToggleCase cases[] = {
      {"ITEMS", "ALL", &WalkerOptions::items, kItemsShowAll},
      {"ITEMS", "IDS", &WalkerOptions::items, kItemsShowNumbers},
      {"MONSTERS", "PREFIXES", &WalkerOptions::monsters, kMonstersPrefixes},
      {"MONSTERS", "IDS", &WalkerOptions::monsters, kMonstersShowNumbers},
      {"MONSTERS", "ACTIVEONLY", &WalkerOptions::monsters, kMonstersActiveOnly},
      {"DEBUGGING", "STEPDEBUG", &WalkerOptions::debugging, kDebugStep},
      {"DEBUGGING", "SHOWLINEINFO", &WalkerOptions::debugging, kDebugLineInfo},
      {"DEBUGGING", "SHOWERRORS", &WalkerOptions::debugging, kDebugShowErrors},
      {"MAPPING", "FOLLOWMAPCHANGES", &WalkerOptions::mapping, kMapFollowMapChanges},
      {"MAPPING", "FOLLOWHIDDENEXITS", &WalkerOptions::mapping, kMapFollowHidden},
      {"MAPPING", "FOLLOWCASTEXITS", &WalkerOptions::mapping, kMapFollowCast},
      {"MAPPING", "FOLLOWSPELLEXITS", &WalkerOptions::mapping, kMapFollowSpell},
      {"MAPPING", "FOLLOWTEXTEXITS", &WalkerOptions::mapping, kMapFollowText},
      {"MAPPING", "CASTEXITSPELLS", &WalkerOptions::mapping, kMapCastExitSpells},
  };
  // clang-format on
  for (const ToggleCase& c : cases) {
    SCOPED_TRACE(std::string(c.option) + " " + c.value);
    WalkerSession session;
    const int32_t before = session.options.*c.word;
    const TypedLine line = Line({"SET", c.option, c.value});
    const std::vector<std::string> first = SetCommandLines(session, line);
    EXPECT_EQ(session.options.*c.word, before ^ c.bit);
    const std::vector<std::string> second = SetCommandLines(session, line);
    EXPECT_EQ(session.options.*c.word, before);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_NE(first[0], second[0]);
  }
}

TEST(SetCommandTest, RunSetCommandWritesTheReplyAtTheCursor) {
  HeadlessConsole t;
  WalkerSession session;
  RunSetCommand(t.console, session, Line({"set", "pal", "9"}));
  EXPECT_EQ(t.Text(1, 1, 33), "Valid palettes are: 0, 1, 2, 3   ");
  EXPECT_EQ(t.console.WhereY(), 2);
}

// --- Screens stay inside the line ---------------------------------------------

TEST(WalkerScreensTest, WrittenLinesFitTheScreenWithoutWrapping) {
  const std::vector<TGotoSectionEntry> sections{
      {"baseline", {{"support", 1, 164}, {"newhaven", 1, 2150}}}};
  const std::vector<std::vector<std::string>> screens{SetSyntaxLines(), WalkerHelpLines(),
                                                      DebugSyntaxLines(), GotoListLines(sections)};
  for (const auto& screen : screens) {
    for (const std::string& line : screen) EXPECT_LE(VisibleLength(line), 79u) << line;
  }
  const std::string notice(WalkerNotice());
  size_t start = 0;
  for (size_t end = notice.find("\r\n"); start <= notice.size(); end = notice.find("\r\n", start)) {
    const std::string line = notice.substr(start, end == std::string::npos ? end : end - start);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    EXPECT_LE(line.size(), 79u) << line;
    EXPECT_FALSE(line.empty());
    if (end == std::string::npos) break;
    start = end + 2;
  }
}

TEST(WalkerScreensTest, SetSyntaxNamesEveryOptionInOrder) {
  const std::vector<std::string> lines = SetSyntaxLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "|07Syntax|08: |14SET |07<option> [...]");
  // An option's first line: "  |14" + the option padded to 10 + "|07- ";
  // lines that go on with its text leave the option blank.
  std::vector<std::string> named;
  for (size_t i = 1; i < lines.size(); ++i) {
    ASSERT_EQ(lines[i].substr(0, 5), "  |14") << lines[i];
    std::string option = lines[i].substr(5, 10);
    option.erase(option.find_last_not_of(' ') + 1);
    EXPECT_EQ(lines[i].substr(15, 5), option.empty() ? "|07  " : "|07- ") << lines[i];
    if (!option.empty()) named.push_back(option);
  }
  const std::vector<std::string> expected{"PAL",      "EXITS",     "TITLE",   "ITEMS",
                                          "MONSTERS", "DEBUGGING", "MAPPING", "CHAR"};
  EXPECT_EQ(named, expected);
}

// --- GOTO ---------------------------------------------------------------------

std::string Rule(size_t count) {
  return std::string(count, '\xC4');
}

TEST(GotoListTest, WrapsBeforeANameThatWouldPassColumn78) {
  const std::string a(24, 'a'), b(24, 'b'), c(24, 'c'), c25(25, 'c'), d(5, 'd');
  struct Case {
    std::vector<std::string> names;
    std::vector<std::string> expected;  // the lines after the heading
  };
  const Case cases[] = {
      // 3 x (24 + 2) = 78: the third name still fits.
      {{a, b, c, d},
       {"  |11" + a + "|08|08, |11" + b + "|08, |11" + c + "|08,", "  |11" + d + "|08|08."}},
      // 26 + 26 + 27 = 79: the third name goes to the next line.
      {{a, b, c25}, {"  |11" + a + "|08|08, |11" + b + "|08,", "  |11" + c25 + "|08|08."}},
      {{d}, {"  |11" + d + "|08|08."}},
  };
  for (const Case& k : cases) {
    TGotoSectionEntry section{"alpha", {}};
    for (const std::string& name : k.names) section.entries.push_back({name, 1, 2});
    const std::vector<std::string> lines = GotoListLines({section});
    std::vector<std::string> expected{"|07Syntax|08: |14GOTO |07<location>",
                                      "<location> = <see list below>",
                                      "|08" + Rule(2) + "[|14alpha|08]" + Rule(70)};
    expected.insert(expected.end(), k.expected.begin(), k.expected.end());
    EXPECT_EQ(lines, expected) << k.names.size();
  }
}

TEST(GotoListTest, AnEmptySectionShowsItsHeadingOnlyAndLongNamesKeepTheRuleInBounds) {
  const std::string longName(90, 'n');
  const std::vector<TGotoSectionEntry> sections{
      {"empty", {}}, {longName, {{"x", 1, 1}}}, {"last", {{"y", 2, 2}}}};
  const std::vector<std::string> lines = GotoListLines(sections);
  const std::vector<std::string> expected{
      "|07Syntax|08: |14GOTO |07<location>",
      "<location> = <see list below>",
      "|08" + Rule(2) + "[|14empty|08]" + Rule(70),
      "|08" + Rule(2) + "[|14" + longName + "|08]",
      "  |11x|08|08.",
      "|08" + Rule(2) + "[|14last|08]" + Rule(71),
      "  |11y|08|08.",
  };
  EXPECT_EQ(lines, expected);
}

// On screen a full line of locations ends at column 79 and the next line
// starts afresh: nothing wraps by itself.
TEST(GotoListTest, AFullLineEndsAtColumn79OnScreen) {
  const std::string a(24, 'a'), b(24, 'b'), c(24, 'c');
  HeadlessConsole t;
  ShowGotoList(t.console, {{"alpha", {{a, 1, 1}, {b, 1, 2}, {c, 1, 3}, {"dd", 1, 4}}}});
  EXPECT_EQ(t.Text(1, 4, 80), "  " + a + ", " + b + ", " + c + ", ");
  EXPECT_EQ(t.Attr(79, 4), 0x08);
  EXPECT_EQ(t.Attr(3, 4), 0x0B);
  EXPECT_EQ(t.Text(1, 5, 6), "  dd. ");
  EXPECT_EQ(t.Text(3, 3, 7), "[alpha]");
}

TEST(GotoListTest, FindTakesTheFirstMatchInSectionOrder) {
  const std::vector<TGotoSectionEntry> sections{
      {"baseline", {{"support", 1, 164}, {"chest", 1, 2123}, {"chest", 1, 9}}},
      {"module 1", {{"markus", 2, 2518}, {"support", 7, 5}}},
  };
  struct Case {
    const char* name;
    bool found;
    int32_t map, room;
  };
  const Case cases[] = {
      {"support", true, 1, 164}, {"chest", true, 1, 2123}, {"markus", true, 2, 2518},
      {"Support", false, 0, 0},  {"sup", false, 0, 0},     {"", false, 0, 0},
  };
  for (const Case& c : cases) {
    const std::optional<TGotoEntry> entry = FindGotoLocation(sections, c.name);
    ASSERT_EQ(entry.has_value(), c.found) << c.name;
    if (!entry) continue;
    EXPECT_EQ(entry->map, c.map) << c.name;
    EXPECT_EQ(entry->room, c.room) << c.name;
  }
}

// --- HELP and VERSION -------------------------------------------------------------

TEST(WalkerHelpTest, CommandsInOrderPaddedTo12Columns) {
  const std::vector<std::string> lines = WalkerHelpLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "|14Help |08- |07These are the available commands:");
  std::vector<std::string> commands;
  for (size_t i = 1; i < lines.size(); ++i) {
    ASSERT_EQ(lines[i].substr(0, 3), "|14") << lines[i];
    ASSERT_EQ(lines[i].substr(15, 5), "|07- ") << lines[i];
    std::string command = lines[i].substr(3, 12);
    command.erase(command.find_last_not_of(' ') + 1);
    commands.push_back(command);
  }
  const std::vector<std::string> expected{
      "N, S, E, W", "LOOK",     "LIST", "LIGHT",     "EQUIP, WEAR", "REMOVE", "WIELD, ARM,",
      "READY",      "DISARM",   "SELL", "INVENTORY", "KEYS",        "INFO",   "COMMANDS",
      "MAP",        "TELEPORT", "GOTO", "PEEK",      "SET",         "BRIEF",  "VERBOSE",
      "VERSION",    "X"};
  EXPECT_EQ(commands, expected);
  EXPECT_EQ(lines[16],
            "|14TELEPORT    |07- Teleport to a specific ROOM MAP (eg: teleport 2250 12).");
  EXPECT_EQ(lines[22], "|14VERSION     |07- Display TORVEX version.");
}

TEST(WalkerVersionTest, ProgramNameAndFourNumbersWithATwoDigitMinor) {
  HeadlessConsole t;
  ShowWalkerVersion(t.console);
  std::string shown = t.Text(1, 1, 40);
  shown.erase(shown.find_last_not_of(' ') + 1);
  ASSERT_EQ(shown.substr(0, 9), "TORVEXNT ") << shown;
  // Four numbers between dots, the second with at least two digits.
  std::vector<std::string> numbers{""};
  for (char c : shown.substr(9)) {
    if (c == '.') {
      numbers.emplace_back();
    } else {
      ASSERT_TRUE(c >= '0' && c <= '9') << shown;
      numbers.back() += c;
    }
  }
  ASSERT_EQ(numbers.size(), 4u) << shown;
  for (const std::string& number : numbers) EXPECT_FALSE(number.empty()) << shown;
  EXPECT_GE(numbers[1].size(), 2u) << shown;
  EXPECT_EQ(std::stoi(numbers[1]), kVersionMinor) << shown;
}

// --- INFO -------------------------------------------------------------------------

class RoomInfoTest : public testing::RecordFilesTest {};

TEST_F(RoomInfoTest, AttributesMonsterGroupAndActiveMonsters) {
  ActiveMonsterRecord rat, hermit;
  rat.setNumber(5);
  rat.setName("grey rat");
  hermit.setNumber(9);
  hermit.setName("old hermit");
  MakeFile(kActiveMonsterFile, {Bytes(rat), Bytes(hermit)});
  MonsterRecord warden;
  warden.setNumber(1);
  warden.setName("warden");
  MakeFile(kMonsterFile, {Bytes(warden)});

  RoomRecord room;
  room.setMapNumber(3);
  room.setRoomNumber(41);
  room.setAttributes(0x4B);  // protected, patrollable, monster alive, gang room
  room.setMonsterGroup(6);
  room.setMinIndex(2);
  room.setMaxIndex(12);
  room.setPermNPCByNumber(77);
  room.setMaxRegen(4);
  room.setRegenDelay(30);
  room.setMaxArea(8);
  room.setPermNPC(1);
  room.setActiveMonsters(2, 9);
  room.setActiveMonsters(7, 5);
  room.setCommandText(310);
  room.setExitRoomNumber(40);
  room.setDeathRoom(1);
  room.setLight(-120);

  const std::vector<std::string> lines = RoomInfoLines(room);
  const std::string all = Join(lines);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "|16|14* |07Map: 3  Room: 41");
  EXPECT_NE(all.find("  Light:         -120\n"), std::string::npos) << all;
  EXPECT_NE(all.find("  Attributes:    0x4b\n"
                     "  This room is protected.\n"
                     "  This room is patrollable.\n"
                     "  This room is a gangroom.\n"
                     "  This room's specific monster is alive.\n"
                     "|14* |07Monster group: 6\n"),
            std::string::npos)
      << all;
  EXPECT_EQ(all.find("ownable"), std::string::npos) << all;
  EXPECT_NE(all.find("  Min Index:     2            Max Index:     12\n"
                     "  By Number:     77           Room Max:      4\n"
                     "  Delay:         30           Max Area:      8\n"
                     "  NPC/Boss:      1 (warden)\n"
                     "  Monsters:      9 (old hermit), 5 (grey rat)\n"
                     "|14* |07Command text: 310\n"
                     "  Exit Room:     40\n"
                     "  Death Room:    1\n"),
            std::string::npos)
      << all;
}

TEST_F(RoomInfoTest, NoAttributesAndNoMonsters) {
  RoomRecord room;
  room.setMapNumber(1);
  room.setRoomNumber(2);
  room.setAttributes(0x04);  // ownable only
  const std::string all = Join(RoomInfoLines(room));
  EXPECT_NE(all.find("  Attributes:    0x04\n  This room is ownable.\n|14* "), std::string::npos)
      << all;
  EXPECT_NE(all.find("  NPC/Boss:      0\n  Monsters:      None\n"), std::string::npos) << all;
}

// --- DEBUG ------------------------------------------------------------------------

TEST(SystemDebugTest, VersionLinesAreWhatTheEngineReports) {
  const SystemFacts facts = CurrentSystemFacts(nullptr);
  const std::vector<std::string> expected{
      "|16|14* |07Btrieve Versions",
      Format("  |07Linux Server v%d.%d (U)", btrieve::version::kMajor, btrieve::version::kMinor)};
  ASSERT_EQ(btrieve::version::kType, 'U');
  EXPECT_EQ(facts.versionReport, expected);
  const std::vector<std::string> lines = SystemDebugLines(facts);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()), expected);
}

TEST(SystemDebugTest, SectionsAndValues) {
  SystemFacts facts;
  facts.heap = HeapUse{1234567, 890};
  facts.stackAddress = reinterpret_cast<const void*>(uintptr_t{0x7ffc12ab});
  facts.processors = 4;
  facts.affinityMask = 0x0D;
  facts.arguments = {"/opt/torvex", "my|12.ini", "/ROOMSIM"};
  facts.iniFileName = "/home/u/my|12.ini";
  facts.configuredDataDirectory = "data/";
  facts.dataDirectory = "";
  facts.extension = "VIR";
  const std::string all = Join(SystemDebugLines(facts));
  const std::string expected =
      "|16|14* |07Memory Debug\n"
      "  |07TotalAllocated:  1,234,567 bytes\n"
      "  |07TotalFree:       890 bytes\n"
      "  |07CurESP:          $7FFC12AB\n"
      "|16|14* |07Processor Debug\n"
      "  |07Processors:      4\n"
      "  |07Active Mask:     $0000000d\n"
      "|16|14* |07Parameters Debug\n"
      "  |07ParamCount:      2\n"
      "  |07ParamStr(0):     \"/opt/torvex\"\n"
      "  |07ParamStr(1):     \"my||12.ini\"\n"
      "  |07ParamStr(2):     \"/ROOMSIM\"\n"
      "|16|14* |07Application Variables\n"
      "  |07IniFileName:     \"/home/u/my||12.ini\"\n"
      "  |07DataDirectory:   \"data/\"\n"
      "  |07DataLocation:    the current directory (VIR files)\n";
  EXPECT_EQ(all, expected);

  facts.heap.reset();
  facts.arguments.clear();
  facts.dataDirectory = "/srv/game/";
  const std::string other = Join(SystemDebugLines(facts));
  EXPECT_NE(other.find("  |07TotalAllocated:  unknown\n  |07TotalFree:       unknown\n"),
            std::string::npos)
      << other;
  EXPECT_NE(other.find("  |07ParamCount:      0\n|16|14* |07Application Variables\n"),
            std::string::npos)
      << other;
  EXPECT_NE(other.find("  |07DataLocation:    \"/srv/game/\" (VIR files)\n"), std::string::npos)
      << other;
}

TEST(SystemDebugTest, TheRunningProgramReportsItsOwnFacts) {
  const std::vector<std::string> saved = ProgramArguments();
  SetProgramArguments({"torvex", "/ITEMS"});
  const SystemFacts facts = CurrentSystemFacts(nullptr);
  SetProgramArguments(saved);
  EXPECT_EQ(facts.arguments, (std::vector<std::string>{"torvex", "/ITEMS"}));
  EXPECT_GE(facts.processors, 1);
  EXPECT_NE(facts.affinityMask, 0u);
  EXPECT_EQ(facts.extension, CurrentDatabaseSettings().useDatFiles ? "DAT" : "VIR");
}

// Entries in the item, room and text-block caches.
std::vector<size_t> CacheCounts() {
  const RecordCaches& caches = ProgramCaches();
  return {caches.items.count(), caches.rooms.count(), caches.texts.count()};
}

TEST(DebugCommandTest, ClearEmptiesTheNamedCacheOnlyAndOtherOptionsClearNothing) {
  struct Case {
    std::vector<std::string> words;
    int cleared;  // 0 items, 1 rooms, 2 text blocks, -1 none
    const char* firstRow;
  };
  const Case cases[] = {
      {{"debug", "clear", "itemcache"}, 0, "The item cache has been cleared (2 entries, "},
      {{"debug", "clear", "roomcache"}, 1, "The room cache has been cleared (1 entries, "},
      {{"debug", "clear", "textblockcache"},
       2,
       "The text-block cache has been cleared (1 entries, "},
      {{"debug", "clear"}, -1, "Your command had no effect."},
      {{"debug", "clear", "allcaches"}, -1, "Your command had no effect."},
      {{"debug", "itemcach"}, -1, "Your command had no effect."},
      {{"debug", "help"}, -1, "Syntax: DEBUG [option]"},
      {{"debug", "itemcache"}, -1, "Entry      Item # Name"},
      {{"debug", "roomcache"}, -1, "Entry    Room/Map Title"},
      {{"debug", "textblockcache"}, -1, "Entry     Block # Step"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Join(c.words));
    ClearItemCache();
    ClearRoomCache();
    ClearTextCache();
    const std::vector<uint8_t> record(64, 7);
    ProgramCaches().items.Add(1, record);
    ProgramCaches().items.Add(2, record);
    ProgramCaches().rooms.Add(MakeRoomCacheKey(1, 2), record);
    ProgramCaches().texts.Add(MakeTextCacheKey(5, 0), record);
    std::vector<size_t> expected = CacheCounts();
    if (c.cleared >= 0) expected[c.cleared] = 0;
    HeadlessConsole t;
    RunDebugCommand(t.console, Line(c.words));
    EXPECT_EQ(CacheCounts(), expected);
    EXPECT_EQ(ProgramCaches().items.bytes() == 0, c.cleared == 0);
    const std::string first = c.firstRow;
    EXPECT_EQ(t.Text(1, 1, static_cast<int>(first.size())), first);
  }
  ClearItemCache();
  ClearRoomCache();
  ClearTextCache();
}

}  // namespace
}  // namespace torvex
