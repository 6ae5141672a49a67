// The room walker's commands against their floors, on the demo world built
// once into a temporary directory. Each iteration times both sides of a
// ratio alternately, so that a noisy machine touches them alike:
// - "map": MAP from the room of the largest map that reaches the most rooms,
//   grid built and printed onto a console, against reading the same number
//   of rooms from the warm room cache alone: counter "map_over_reads";
//   building the grid alone: "build_over_reads".
// - "move": a direction typed at the prompt, from the line to the next room
//   shown on a console (exit rules, room read, monsters generated, display),
//   against reading the destination room from the warm room cache alone:
//   counter "move_over_read".
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "database/record_access.h"
#include "database/record_cache.h"
#include "database/settings.h"
#include "exporter/quendex.h"
#include "tools/world_source.h"
#include "walker/commands.h"
#include "walker/overhead_map.h"
#include "walker/room_view.h"
#include "walker/session.h"

namespace torvex {
namespace {

using Clock = std::chrono::steady_clock;

template <typename Fn>
double Time(Fn fn) {
  const auto start = Clock::now();
  fn();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Takes every frame and never has a key waiting.
class QuietDisplay : public Display {
 public:
  void Present(const Frame&) override {}
  bool ReadKeyEvent(KeyEvent*, int) override { return false; }
  void SetTitle(std::string_view) override {}
  void Bell() override {}
  void Maximize() override {}
  void RequestSize(int, int) override {}
};

// The demo world's template files, exported once, with the settings pointed
// at them.
struct DemoWorldFiles {
  worldsrc::World world;
  // Rooms of each map, in the world's order.
  std::map<uint32_t, std::vector<uint32_t>> roomsByMap;
};

const DemoWorldFiles& DemoWorld() {
  static const std::unique_ptr<DemoWorldFiles> files = [] {
    auto f = std::make_unique<DemoWorldFiles>();
    std::string pattern = (std::filesystem::temp_directory_path() / "walker-bench-XXXXXX").string();
    const std::string dir = mkdtemp(pattern.data());
    worldsrc::SourceError error;
    if (!worldsrc::LoadWorld(std::string(TORVEX_SOURCE_DIR) + "/data/world", f->world, error)) {
      fprintf(stderr, "%s\n", error.Text().c_str());
      std::abort();
    }
    std::string written;
    if (!worldsrc::WriteWorld(f->world, dir, written)) {
      fprintf(stderr, "%s\n", written.c_str());
      std::abort();
    }
    exporter::StringSink out;
    if (exporter::QuendexMain({}, out, dir + "/") != 0) {
      fprintf(stderr, "%s\n", out.text().c_str());
      std::abort();
    }
    CurrentDatabaseSettings().dataDirectory = dir + "/";
    CurrentDatabaseSettings().useDatFiles = false;
    for (const RoomRecord& room : f->world.rooms) {
      f->roomsByMap[room.mapNumber()].push_back(room.roomNumber());
    }
    return f;
  }();
  return *files;
}

struct MapStart {
  uint32_t map = 0, room = 0;
  int placed = 0;  // placing steps that read a room
};

// The room of the largest map whose MAP places the most rooms.
MapStart LargestMapStart() {
  const DemoWorldFiles& world = DemoWorld();
  auto largest = world.roomsByMap.begin();
  for (auto it = world.roomsByMap.begin(); it != world.roomsByMap.end(); ++it) {
    if (it->second.size() > largest->second.size()) largest = it;
  }
  MapStart best;
  for (uint32_t room : largest->second) {
    int placed = 0;
    MapProgress progress;
    progress.tick = [&placed] { ++placed; };
    auto grid = std::make_unique<OverheadGrid>();
    BuildOverheadMap(*grid, largest->first, room, 44, WalkerOptions{}.mapping, progress);
    if (placed > best.placed) best = {largest->first, room, placed};
  }
  return best;
}

void BM_OverheadMap(benchmark::State& state) {
  const DemoWorldFiles& world = DemoWorld();
  const MapStart start = LargestMapStart();
  const std::vector<uint32_t>& rooms = world.roomsByMap.at(start.map);

  QuietDisplay display;
  Console console(display, 80, 50);
  WalkerSession session;
  RoomRecord record;
  if (GetRoom(start.map, start.room, session.room, true) != 0) std::abort();

  double shown = 0, built = 0, reads = 0;
  for (auto _ : state) {
    shown += Time([&] { ShowOverheadMap(console, session, ""); });
    built += Time([&] {
      auto grid = std::make_unique<OverheadGrid>();
      benchmark::DoNotOptimize(
          BuildOverheadMap(*grid, start.map, start.room, 44, session.options.mapping));
    });
    reads += Time([&] {
      for (int i = 0; i < start.placed; ++i) {
        benchmark::DoNotOptimize(
            GetRoom(start.map, rooms[static_cast<size_t>(i) % rooms.size()], record, true));
      }
    });
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["rooms_placed"] = start.placed;
  state.counters["map_ms"] = shown / n * 1e3;
  state.counters["reads_ms"] = reads / n * 1e3;
  state.counters["map_over_reads"] = shown / reads;
  state.counters["build_over_reads"] = built / reads;
}
BENCHMARK(BM_OverheadMap)->Unit(benchmark::kMillisecond);

// East and back west between the fair's gate and its neighbour, one move
// per timed step.
void BM_MoveCommand(benchmark::State& state) {
  DemoWorld();
  QuietDisplay display;
  Console console(display, 80, 50);
  WalkerSession session;
  session.character.newCharacter = false;
  constexpr uint32_t kMap = 4, kGate = 44, kEast = 45;
  if (GetRoom(kMap, kGate, session.room, true) != 0) std::abort();
  RoomRecord record;
  if (GetRoom(kMap, kEast, record, true) != 0) std::abort();

  double moves = 0, reads = 0;
  bool east = true;
  for (auto _ : state) {
    moves += Time([&] {
      WalkTurn turn{console, session};
      RunTypedLine(turn, east ? "e" : "w");
      DisplayRoom(console, session, session.room, true, true);
    });
    reads +=
        Time([&] { benchmark::DoNotOptimize(GetRoom(kMap, east ? kEast : kGate, record, true)); });
    east = !east;
  }
  if (session.roomNumber() != kGate && session.roomNumber() != kEast) std::abort();
  const double n = static_cast<double>(state.iterations());
  state.counters["move_us"] = moves / n * 1e6;
  state.counters["read_us"] = reads / n * 1e6;
  state.counters["move_over_read"] = moves / reads;
}
BENCHMARK(BM_MoveCommand)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace torvex
