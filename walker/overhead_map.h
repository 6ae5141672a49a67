// The walker's overhead map (MAP) and its legend (MAP HELP).
//
// The map is built on a grid of 82 x 51 cells, each a character and an
// attribute, by walking the exits outward from the current room, and then
// printed. Building the grid is separate from the console so that it can be
// checked cell by cell.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "console/console.h"
#include "database/records/records.h"
#include "walker/session.h"

namespace torvex {

// MAP with the typed height text ("" for MAP alone): draws the rooms around
// the session's current room as the map's rules give and writes the grid.
// Esc or Ctrl+C while drawing stops it with a warning.
void ShowOverheadMap(Console& console, const WalkerSession& session, std::string_view height);

// MAP HELP.
void ShowMapHelp(Console& console);

struct MapCell {
  uint8_t ch = ' ';
  uint8_t attr = 7;
};

class OverheadGrid {
 public:
  static constexpr int kColumns = 82;
  static constexpr int kRows = 51;

  // Every cell a space in attribute 7.
  OverheadGrid() = default;

  // (x, y) must lie in 0..kColumns-1, 0..kRows-1.
  MapCell& At(int x, int y) { return cells_[static_cast<size_t>(y * kColumns + x)]; }
  const MapCell& At(int x, int y) const { return cells_[static_cast<size_t>(y * kColumns + x)]; }

 private:
  std::array<MapCell, kColumns * kRows> cells_{};
};

// The grid height H for the typed height text: 44 for "" (MAP alone);
// otherwise the number rounded down to a multiple of 4 and held to 6..50.
// nullopt when the text is 0 or not a number: then nothing is drawn.
std::optional<int> OverheadMapHeight(std::string_view typed);

// What building the grid calls back, once for every room it is about to load.
struct MapProgress {
  // True to stop building (the user asked to abort). Empty: never.
  std::function<bool()> stopRequested;
  // A room is being placed (the spinner turns). Empty: nothing.
  std::function<void()> tick;
};

enum class MapOutcome { kDone, kAborted, kNoRoom };

// Places room `room` of map `map` at the centre (40, height / 2) of `grid`
// and every room reachable from it through the eight compass exits, with
// their connectors, as the map's rules give; `mapping` is the walker's
// mapping option word. `height` (6..50) bounds the rows used. kNoRoom when the
// starting room cannot be read (the grid is untouched). Each connector cell
// is drawn once and every room placed goes through one, so building ends; it
// keeps its own stack rather than the program's, whatever the world holds.
MapOutcome BuildOverheadMap(OverheadGrid& grid, uint32_t map, uint32_t room, int height,
                            int32_t mapping, const MapProgress& progress = {});

// The character and the attribute a room is drawn with (a shop room reads its
// shop to tell banks and trainers).
uint8_t MapRoomGlyph(const RoomRecord& room);
uint8_t MapRoomColour(const RoomRecord& room);

// Writes rows 1..height-1, columns 1..80 of `grid` between two rule lines,
// each cell in its own attribute and as a plain character.
void PrintOverheadGrid(Console& console, const OverheadGrid& grid, int height);

}  // namespace torvex
