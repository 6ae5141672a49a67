#include "walker/overhead_map.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/terminal/headless_display.h"
#include "tests/console/console_test_util.h"
#include "tests/database/record_files.h"

namespace torvex {
namespace {

enum Dir { kN, kS, kE, kW, kNE, kNW, kSE, kSW, kU, kD };

struct ExitSpec {
  int direction;
  uint32_t room;
  uint16_t type = 0;
  uint32_t parameter1 = 0;
};

// What a room holds besides its exits.
struct RoomExtras {
  uint32_t shop = 0, permNPC = 0, commandText = 0;
  uint8_t maxRegen = 0;
};

RoomRecord Room(uint32_t map, uint32_t number, std::vector<ExitSpec> exits, uint16_t type = 0,
                RoomExtras extras = {}) {
  RoomRecord room;
  room.setMapNumber(map);
  room.setRoomNumber(number);
  room.setRoomType(type);
  for (const ExitSpec& e : exits) {
    room.setExitRoom(e.direction, e.room);
    room.setExitType(e.direction, e.type);
    room.setExitParameter1(e.direction, e.parameter1);
  }
  room.setShopNumber(extras.shop);
  room.setPermNPC(extras.permNPC);
  room.setCommandText(extras.commandText);
  room.setMaxRegen(extras.maxRegen);
  return room;
}

ShopRecord Shop(uint32_t number, uint16_t type) {
  ShopRecord shop;
  shop.setNumber(number);
  shop.setShopType(type);
  return shop;
}

struct CellCase {
  int x, y;
  char ch;
  uint8_t attr;
};

void ExpectCells(const OverheadGrid& grid, const std::vector<CellCase>& cells) {
  for (const CellCase& c : cells) {
    EXPECT_EQ(grid.At(c.x, c.y).ch, static_cast<uint8_t>(c.ch)) << "at " << c.x << "," << c.y;
    EXPECT_EQ(grid.At(c.x, c.y).attr, c.attr) << "at " << c.x << "," << c.y;
  }
}

// Room 1 of map 1 and its neighbours, drawn around (40, 22) with height 44
// (columns 38..42, rows 20..24; "." a cell left blank):
//
//     I . 4 . T      4    a lair of 4, whose exit north leads back to itself
//     . \ | @ .      @ T  a text exit, followed; \ I a cast exit, followed
//     # ? # + $      ? #  a hidden exit, followed; + $ a door to a bank shop
//     . / ! $ .      !    a map change, not followed; $ C a toll
//     . . . . C      /    to a room that does not exist
class OverheadMapTest : public testing::RecordFilesTest {
 protected:
  void SetUp() override {
    RecordFilesTest::SetUp();
    // The spell exit up does not make room 1 an up room.
    const std::vector<ExitSpec> exits = {{kN, 2},     {kE, 3, 7},   {kS, 4, 8, 2},
                                         {kW, 5, 6},  {kNE, 6, 10}, {kNW, 7, 22},
                                         {kSE, 8, 4}, {kSW, 99},    {kU, 9, 1}};
    MakeFile(kRoomFile, {
                            Bytes(Room(1, 1, exits)),
                            Bytes(Room(1, 2, {{kS, 1}, {kN, 2}}, 3, {.maxRegen = 4})),
                            Bytes(Room(1, 3, {}, 1, {.shop = 1})),
                            Bytes(Room(2, 4, {{kU, 1}})),
                            Bytes(Room(1, 5, {}, 0, {.permNPC = 3, .commandText = 8})),
                            Bytes(Room(1, 6, {}, 14)),
                            Bytes(Room(1, 7, {}, 17)),
                            Bytes(Room(1, 8, {}, 5)),
                        });
    MakeFile(kShopFile, {Bytes(Shop(1, 7)), Bytes(Shop(2, 8)), Bytes(Shop(3, 0))});
  }

  // Builds the map from `room` of map 1 and checks `cells`.
  static void ExpectMap(uint32_t room, int height, int32_t mapping,
                        const std::vector<CellCase>& cells) {
    SCOPED_TRACE(::testing::Message()
                 << "room " << room << " height " << height << " mapping " << mapping);
    OverheadGrid grid;
    ASSERT_EQ(BuildOverheadMap(grid, 1, room, height, mapping), MapOutcome::kDone);
    ExpectCells(grid, cells);
  }
};

TEST_F(OverheadMapTest, RoomsAndConnectorsWithTheDefaultMappingOptions) {
  const std::vector<CellCase> cells = {
      {40, 22, '#', 11}, {40, 21, '|', 7},           {40, 20, '4', 12}, {40, 19, ' ', 7},
      {41, 22, '+', 7},  {42, 22, '$', 14},          {40, 23, '!', 13}, {40, 24, ' ', 7},
      {39, 22, '?', 7},  {41, 21, '@', 9},           {42, 20, 'T', 7},  {39, 21, '\\', 10},
      {38, 20, 'I', 7},  {41, 23, '$', 7},           {42, 24, 'C', 9},  {39, 23, '/', 7},
      {38, 24, ' ', 7},  {38, 22, '#', 7 + 128 + 64}};  // placed monster, commands
  ExpectMap(1, 44, 62, cells);
}

TEST_F(OverheadMapTest, ExitsTheOptionsDoNotFollowKeepTheirConnectorOnly) {
  const std::vector<CellCase> nothingFollowed = {
      {40, 23, '!', 13}, {40, 24, ' ', 7},   {39, 22, '?', 8}, {38, 22, ' ', 7}, {41, 21, '@', 9},
      {42, 20, ' ', 7},  {39, 21, '\\', 10}, {38, 20, ' ', 7}, {41, 22, '+', 7}, {42, 22, '$', 14}};
  ExpectMap(1, 44, 0, nothingFollowed);
  const std::vector<CellCase> mapChangesFollowed = {
      {40, 23, '!', 7}, {40, 24, 'U', 5}, {39, 22, '?', 8}, {38, 22, ' ', 7}};
  ExpectMap(1, 44, 1, mapChangesFollowed);
  // The spell-exit bit alone follows nothing.
  ExpectMap(1, 44, 4, {{39, 21, '\\', 10}, {38, 20, ' ', 7}});
}

TEST_F(OverheadMapTest, TheHeightBoundsTheRowsUsed) {
  // Centre row 3: rooms above or below would pass row 0 or row 6.
  const std::vector<CellCase> cells = {
      {40, 3, '#', 11},           {40, 2, '|', 7}, {40, 1, ' ', 7}, {42, 3, '$', 14},
      {38, 3, '#', 7 + 128 + 64}, {41, 4, '$', 7}, {42, 5, ' ', 7}};
  ExpectMap(1, 6, 62, cells);
}

TEST_F(OverheadMapTest, AMissingStartingRoomLeavesTheGridUntouched) {
  OverheadGrid grid;
  EXPECT_EQ(BuildOverheadMap(grid, 1, 42, 44, 62), MapOutcome::kNoRoom);
  ExpectCells(grid, {{40, 22, ' ', 7}});
}

TEST_F(OverheadMapTest, ExitCyclesEndAtDrawnConnectorsAndTheGridsEdge) {
  MakeFile(kRoomFile, {
                          // A square: 1 east to 2, south to 3, west to 4, north to 1 again.
                          Bytes(Room(1, 1, {{kE, 2}})),
                          Bytes(Room(1, 2, {{kS, 3}})),
                          Bytes(Room(1, 3, {{kW, 4}})),
                          Bytes(Room(1, 4, {{kN, 1}})),
                          // Two rooms that lead east into each other for ever.
                          Bytes(Room(1, 10, {{kE, 11}})),
                          Bytes(Room(1, 11, {{kE, 10}})),
                      });
  const std::vector<CellCase> square = {
      {40, 22, '#', 11}, {41, 22, '-', 7}, {42, 22, '#', 7}, {42, 23, '|', 7}, {42, 24, '#', 7},
      {41, 24, '-', 7},  {40, 24, '#', 7}, {40, 23, '|', 7}, {39, 22, ' ', 7}, {38, 22, ' ', 7}};
  ExpectMap(1, 44, 62, square);
  // The last connector is drawn, but its room would pass column 81.
  const std::vector<CellCase> line = {{40, 22, '#', 11}, {76, 22, '#', 7}, {77, 22, '-', 7},
                                      {78, 22, '#', 7},  {79, 22, '-', 7}, {80, 22, ' ', 7},
                                      {38, 22, ' ', 7}};
  ExpectMap(10, 44, 62, line);
}

// Two rooms whose eight exits all lead to each other reach every place on
// the grid, so the walk goes as deep as the grid allows.
TEST_F(OverheadMapTest, AWorldThatFillsTheWholeGridIsDrawnWithoutRunningOutOfStack) {
  std::vector<ExitSpec> toB, toA;
  for (int d = 0; d < 8; ++d) {
    toB.push_back({d, 2});
    toA.push_back({d, 1});
  }
  MakeFile(kRoomFile, {Bytes(Room(1, 1, toB)), Bytes(Room(1, 2, toA))});
  OverheadGrid grid;
  int rooms = 0;
  MapProgress progress;
  progress.tick = [&rooms] { ++rooms; };
  ASSERT_EQ(BuildOverheadMap(grid, 1, 1, 50, 62, progress), MapOutcome::kDone);
  // Every room place is drawn: columns 2 to 78 and rows 3 to 47 around the
  // centre (40, 25).
  int drawn = 0;
  for (int y = 3; y <= 47; y += 2) {
    for (int x = 2; x <= 78; x += 2) drawn += grid.At(x, y).ch == '#';
  }
  EXPECT_EQ(drawn, 39 * 23);
  EXPECT_EQ(grid.At(0, 0).ch, ' ');
  EXPECT_EQ(grid.At(80, 49).ch, ' ');
  EXPECT_GT(rooms, 39 * 23);
}

TEST_F(OverheadMapTest, StoppingEndsTheWalkWhereItIs) {
  int asked = 0;
  MapProgress progress;
  progress.stopRequested = [&asked] { return ++asked == 2; };
  OverheadGrid grid;
  ASSERT_EQ(BuildOverheadMap(grid, 1, 1, 44, 62, progress), MapOutcome::kAborted);
  EXPECT_EQ(asked, 2);
  // The first room was placed; the walk stopped before the room to the north.
  ExpectCells(grid, {{40, 22, '#', 11}, {40, 21, '|', 7}, {40, 20, ' ', 7}, {41, 22, ' ', 7}});
}

TEST_F(OverheadMapTest, RoomGlyphsAndColours) {
  struct Case {
    const char* what;
    RoomRecord room;
    char glyph;
    uint8_t colour;
  };
  const std::vector<Case> cases = {
      {"plain", Room(1, 1, {}), '#', 7},
      {"up and down", Room(1, 1, {{kU, 5}, {kD, 6, 23}}), 18, 5},
      {"up", Room(1, 1, {{kU, 5, 2}}), 'U', 5},
      {"down", Room(1, 1, {{kD, 5}}), 'D', 5},
      {"down through a spell trap", Room(1, 1, {{kD, 5, 24}}), '#', 7},
      {"down through a spell exit", Room(1, 1, {{kD, 5, 1}}, 3), '0', 12},
      {"up with no room", Room(1, 1, {{kU, 0}}), '#', 7},
      {"up, placed monster, commands", Room(1, 1, {{kU, 5}}, 15, {.permNPC = 1, .commandText = 2}),
       'U', 133 + 64},
      {"bank shop", Room(1, 1, {}, 1, {.shop = 1}), '$', 14},
      {"training shop", Room(1, 1, {}, 1, {.shop = 2}), 'T', 15},
      {"other shop", Room(1, 1, {}, 1, {.shop = 3}), 'S', 2},
      {"missing shop", Room(1, 1, {}, 1, {.shop = 77}), 'S', 2},
      {"arena", Room(1, 1, {}, 2), 'A', 8},
      {"lair of 9", Room(1, 1, {}, 3, {.maxRegen = 9}), '9', 12},
      {"lair of 10", Room(1, 1, {}, 3, {.maxRegen = 10}), 'L', 12},
      {"type 4", Room(1, 1, {}, 4), 'H', 7},
      {"type 5", Room(1, 1, {}, 5), 'C', 9},
      {"type 6", Room(1, 1, {}, 6), 'J', 7},
      {"type 14", Room(1, 1, {}, 14), 'T', 7},
      {"type 15", Room(1, 1, {}, 15), '$', 14},
      {"type 16", Room(1, 1, {}, 16), 'T', 7},
      {"type 17", Room(1, 1, {}, 17), 'I', 7},
      {"type 18", Room(1, 1, {}, 18), '#', 7},
      {"lair with placed monster", Room(1, 1, {}, 3, {.permNPC = 4}), '0', 12 + 128},
      {"shop with commands", Room(1, 1, {}, 1, {.shop = 3, .commandText = 1}), 'S', 2 + 64},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MapRoomGlyph(c.room), static_cast<uint8_t>(c.glyph)) << c.what;
    EXPECT_EQ(MapRoomColour(c.room), c.colour) << c.what;
  }
}

TEST(OverheadMapHeightTest, TypedHeights) {
  struct Case {
    const char* typed;
    std::optional<int> height;
  };
  const std::vector<Case> cases = {
      {"", 44},
      {"0", std::nullopt},
      {"abc", std::nullopt},
      {"12", 12},
      {"15", 12},
      {"51", 48},
      {"52", 50},
      {"4000000000", 50},
      {"6", 6},
      {"3", 6},
      {"-7", 6},
      {"99999999999999999999", std::nullopt},
      {" 8", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(OverheadMapHeight(c.typed), c.height) << c.typed;
}

TEST(OverheadGridPrintTest, CellsAreWrittenAsGlyphsInTheirOwnAttributes) {
  testing::HeadlessConsole screen;
  OverheadGrid grid;
  // A connector before digits must not be read as a colour code.
  grid.At(1, 1) = {'|', 7};
  grid.At(2, 1) = {'1', 12};
  grid.At(3, 1) = {'2', 12};
  grid.At(80, 2) = {18, 133};
  grid.At(81, 2) = {'X', 7};  // outside the printed columns
  grid.At(5, 3) = {'#', 7};   // row height - 1 ... not printed with height 3
  PrintOverheadGrid(screen.console, grid, 3);
  EXPECT_EQ(screen.Text(1, 1, 80), std::string(80, static_cast<char>(196)));
  EXPECT_EQ(screen.Attr(1, 1), 8);
  EXPECT_EQ(screen.Text(1, 2, 80), std::string(80, ' '));  // the rule's line break
  EXPECT_EQ(screen.Text(1, 3, 4), "|12 ");
  EXPECT_EQ(screen.Attr(1, 3), 7);
  EXPECT_EQ(screen.Attr(2, 3), 12);
  EXPECT_EQ(screen.Attr(4, 3), 7);
  EXPECT_EQ(screen.Text(80, 4, 1), "\x12");
  EXPECT_EQ(screen.Attr(80, 4), 133);
  EXPECT_EQ(screen.Text(1, 5, 80), std::string(80, static_cast<char>(196)));
}

// The 1-based row among the first `rows` of `screen` whose text contains `text`, or 0.
int RowWith(const testing::HeadlessConsole& screen, const std::string& text, int rows = 50) {
  for (int row = 1; row <= rows; ++row) {
    if (screen.Text(1, row, 80).find(text) != std::string::npos) return row;
  }
  return 0;
}

class OverheadMapScreenTest : public OverheadMapTest {
 protected:
  static WalkerSession Session(uint32_t room) {
    WalkerSession session;
    session.room.setMapNumber(1);
    session.room.setRoomNumber(room);
    return session;
  }
  testing::HeadlessConsole screen;
};

TEST_F(OverheadMapScreenTest, MapWritesTheGridBetweenRulesAndTheHint) {
  ShowOverheadMap(screen.console, Session(1), "12");
  EXPECT_EQ(RowWith(screen, "Generating overhead map (Ctrl+C or ESC to abort) Done"), 1);
  // Height 12: grid row 1 is screen row 4 (after the rule and its line
  // break), so the centre row 6 is screen row 9.
  EXPECT_EQ(screen.Text(38, 9, 5), "#?#+$");
  EXPECT_EQ(screen.Attr(40, 9), 11);
  EXPECT_EQ(screen.Text(1, 15, 1), "\xC4");  // the closing rule after rows 1..11
  EXPECT_EQ(RowWith(screen, "Execute MAP HELP for a small explanation of symbols and help."), 17);
  EXPECT_EQ(RowWith(screen, "Warning"), 0);
}

TEST_F(OverheadMapScreenTest, EscOrCtrlCAbortsWithTheWarningAndOtherKeysAreDropped) {
  struct Case {
    const char* what;
    std::vector<KeyEvent> keys;
    bool aborted;
  };
  const KeyEvent esc{vk::kEscape, 0, 27};
  const KeyEvent ctrlC{'C', kCtrl, 3};
  const KeyEvent letter{'X', 0, 'x'};
  const std::vector<Case> cases = {
      {"Esc", {esc}, true},
      {"Ctrl+C", {ctrlC}, true},
      {"a letter", {letter}, false},
      {"a letter, then Esc", {letter, esc}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::HeadlessConsole fresh;
    for (const KeyEvent& k : c.keys) fresh.display.PushKey(k);
    ShowOverheadMap(fresh.console, Session(1), "");
    EXPECT_EQ(RowWith(fresh, "Warning: Map was not complete, aborted by user.") != 0, c.aborted);
    EXPECT_NE(RowWith(fresh, "Execute MAP HELP"), 0);
    EXPECT_EQ(fresh.display.PendingKeys(), 0u);
  }
}

TEST_F(OverheadMapScreenTest, NothingIsDrawnForAMissingRoomOrAHeightOfZero) {
  ShowOverheadMap(screen.console, Session(42), "");
  EXPECT_EQ(RowWith(screen, "Generating overhead map"), 1);
  EXPECT_EQ(RowWith(screen, "Error - Map/Room does not exist, aborting."), 3);
  EXPECT_EQ(screen.Attr(1, 3), 12);
  EXPECT_EQ(RowWith(screen, "Done"), 0);

  testing::HeadlessConsole quiet;
  ShowOverheadMap(quiet.console, Session(1), "0");
  EXPECT_EQ(quiet.Text(1, 1, 80), std::string(80, ' '));
}

TEST(MapHelpTest, TheLegendFitsTheScreenAndNamesEverySymbol) {
  testing::HeadlessConsole screen;
  ShowMapHelp(screen.console);
  EXPECT_EQ(screen.Text(1, 1, 29), "Syntax: MAP ['HELP'] [Height]");
  for (const char* item :
       {"purple", "green", "yellow", "light grey", "cyan", "# regular", "$ bank", "T trainer",
        "D down", "U up", "L a lair", "$ toll", "+ door or gate", "? hidden or secret",
        "! map change", "@ typed command", "% trap", "6 to 50"}) {
    EXPECT_NE(RowWith(screen, item, 12), 0) << item;
  }
}

}  // namespace
}  // namespace torvex
