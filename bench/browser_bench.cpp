// The item browser's costs against their floors, timed alternately in one
// process so that a noisy machine touches both sides of each ratio alike:
// - "next record": Get Next, the item screen composed and the terminal bytes
//   rendered, against Get Next alone;
// - a name search that scans 100,000 items through the record manager,
//   against a plain loop testing the same names in memory;
// - the two monster screens, whose thirty-odd look-ups of items, spells and
//   messages each open a file, against the item screen's few.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "browsers/browser_frame.h"
#include "browsers/item_browser.h"
#include "browsers/monster_browser.h"
#include "database/record_access.h"
#include "database/records/records.h"
#include "database/settings.h"
#include "platform/btrieve/btrieve.h"
#include "platform/terminal/renderer.h"
#include "search/search_query.h"
#include "tests/platform/btrieve/btrieve_test_support.h"

namespace torvex {
namespace {

using Clock = std::chrono::steady_clock;
namespace bt = btrieve::testing;

// Renders every frame as a terminal would receive it and counts the bytes;
// answers every key wait with Space (the "No Results" window).
class CountingDisplay : public Display {
 public:
  void Present(const Frame& frame) override {
    out_.clear();
    renderer_.Render(frame, &out_);
    bytes += out_.size();
  }
  bool ReadKeyEvent(KeyEvent* event, int) override {
    *event = {vk::kSpace, 0, ' '};
    return true;
  }
  void SetTitle(std::string_view) override {}
  void Bell() override {}
  void Maximize() override {}
  void RequestSize(int, int) override {}

  size_t bytes = 0;

 private:
  Renderer renderer_;
  std::string out_;
};

ItemRecord SampleItem(uint32_t number) {
  ItemRecord item;
  item.setNumber(number);
  item.setName("Item of the bench " + std::to_string(number));
  item.setDescription(0, "A line of description that fills a good part of its row.");
  item.setDescription(1, "And a second one.");
  item.setItemType(static_cast<uint16_t>(number % 11));
  item.setCost(static_cast<uint16_t>(number));
  item.setCostCurrency(static_cast<uint8_t>(number % 5));
  for (size_t i = 0; i < 4; ++i) {
    item.setAbilityNumbers(i, static_cast<uint16_t>(number + i));
    item.setAbilityValues(i, static_cast<int16_t>(i));
  }
  return item;
}

// An item file of `count` items in a temporary data directory, made once.
struct ItemFile {
  explicit ItemFile(uint32_t count) {
    CurrentDatabaseSettings().dataDirectory = dir.path() + "/";
    CurrentDatabaseSettings().useDatFiles = false;
    const std::string path = dir.File("WCCITEM2.VIR");
    const auto spec = bt::CreateSpec(
        ItemRecord::kDiskLength, 4096, 0,
        {{bt::Segment{1, 4, btrieve::key_flag::kExtendedType, btrieve::key_type::kAutoIncrement}}});
    bt::Create(path, spec);
    bt::File file;
    file.Open(path);
    for (uint32_t n = 1; n <= count; ++n) {
      const ItemRecord item = SampleItem(n);
      file.Insert({item.bytes().begin(), item.bytes().end()});
      records.push_back(item);
    }
    file.Close();
  }
  bt::TempDir dir;
  std::vector<ItemRecord> records;
};

int16_t OpenItems(BrowserState& state) {
  const int16_t status = OpenBtrieveFile(state.file, DatabaseFilePath(kItemFile), 0);
  return status != 0 ? status : state.Call(btrieve::op::kGetFirst);
}

void NextOrWrap(BrowserState& state) {
  if (state.Call(btrieve::op::kGetNext) != 0) state.Call(btrieve::op::kGetFirst);
}

void BM_NextRecord(benchmark::State& bench) {
  static ItemFile items(2000);
  CountingDisplay display;
  Console console(display, 80, 50);
  BrowserState state(console);
  if (OpenItems(state) != 0) {
    bench.SkipWithError("cannot open the item file");
    return;
  }
  constexpr int kBatch = 200;
  double engine = 0, full = 0;
  for (auto _ : bench) {
    auto start = Clock::now();
    for (int i = 0; i < kBatch; ++i) {
      NextOrWrap(state);
      benchmark::DoNotOptimize(state.file.dataBuffer[0]);
    }
    engine += std::chrono::duration<double>(Clock::now() - start).count();
    start = Clock::now();
    for (int i = 0; i < kBatch; ++i) {
      NextOrWrap(state);
      ShowItemDetail(console, state.Record());
      console.Flush();
    }
    full += std::chrono::duration<double>(Clock::now() - start).count();
  }
  const double calls = static_cast<double>(bench.iterations()) * kBatch;
  bench.counters["engine_us"] = engine / calls * 1e6;
  bench.counters["full_us"] = full / calls * 1e6;
  bench.counters["full_over_engine"] = full / engine;
  bench.counters["bytes_per_next"] = static_cast<double>(display.bytes) / calls;
}
BENCHMARK(BM_NextRecord)->Unit(benchmark::kMillisecond);

void BM_NameSearch(benchmark::State& bench) {
  static ItemFile items(100000);
  CountingDisplay display;
  Console console(display, 80, 50);
  BrowserState state(console);
  if (OpenItems(state) != 0) {
    bench.SkipWithError("cannot open the item file");
    return;
  }
  // A name no item has: the scan reads every record, then goes back to the first.
  const std::string wanted = "no such name";
  SearchQuery query;
  query.notFound = SearchNotFoundText(wanted);
  query.matches = [&](std::span<const uint8_t> record) {
    return ContainsIgnoringCase(ItemRecord(record).name(), wanted);
  };
  double scan = 0, loop = 0;
  for (auto _ : bench) {
    auto start = Clock::now();
    ScanForward(state, query);
    scan += std::chrono::duration<double>(Clock::now() - start).count();
    start = Clock::now();
    size_t found = 0;
    for (const ItemRecord& item : items.records) found += ContainsIgnoringCase(item.name(), wanted);
    benchmark::DoNotOptimize(found);
    loop += std::chrono::duration<double>(Clock::now() - start).count();
  }
  const double runs = static_cast<double>(bench.iterations());
  bench.counters["scan_ms"] = scan / runs * 1e3;
  bench.counters["loop_ms"] = loop / runs * 1e3;
  bench.counters["scan_over_loop"] = scan / loop;
}
BENCHMARK(BM_NameSearch)->Unit(benchmark::kMillisecond)->Iterations(5);

// A file of `records` under its catalogue name in the current data directory,
// keyed by an auto-increment number of `keyLength` bytes at offset 0.
void MakeFile(const std::string& name, size_t recordLength, uint16_t keyLength,
              const std::vector<std::vector<uint8_t>>& records) {
  const std::string path = CurrentDatabaseSettings().dataDirectory + name;
  bt::Create(path, bt::CreateSpec(recordLength, 4096, 0,
                                  {{bt::Segment{1, keyLength, btrieve::key_flag::kExtendedType,
                                                btrieve::key_type::kAutoIncrement}}}));
  bt::File file;
  file.Open(path);
  for (const auto& record : records) file.Insert(record);
  file.Close();
}

void BM_MonsterScreens(benchmark::State& bench) {
  static ItemFile items(2000);
  static const bool made = [] {
    std::vector<std::vector<uint8_t>> messages, spells;
    for (uint32_t n = 1; n <= 20; ++n) {
      MessageRecord message;
      message.setNumber(n);
      message.setLine1("%s strikes you for %d damage!");
      messages.emplace_back(message.bytes().begin(), message.bytes().end());
      SpellRecord spell;
      spell.setNumber(static_cast<uint16_t>(n));
      spell.setName("Spell " + std::to_string(n));
      spells.emplace_back(spell.bytes().begin(), spell.bytes().end());
    }
    MakeFile("WCCMSG2.VIR", MessageRecord::kDiskLength, 4, messages);
    MakeFile("WCCSPEL2.VIR", SpellRecord::kDiskLength, 2, spells);
    return true;
  }();
  (void)made;
  MonsterRecord monster;
  monster.setNumber(1);
  monster.setName("bench wolf");
  monster.setWeaponItem(1);
  monster.setArmourItem(2);
  for (size_t i = 0; i < 10; ++i) monster.setDropItems(i, static_cast<uint32_t>(i + 3));
  for (size_t k = 0; k < 5; ++k) {
    monster.setAttackType(k, static_cast<uint8_t>(1 + k % 3));
    monster.setAttackAccuracy(k, static_cast<uint16_t>(k + 1));
    monster.setAttackHitMessage(k, static_cast<uint32_t>(k + 1));
    monster.setAttackMissMessage(k, static_cast<uint32_t>(k + 6));
    monster.setAttackDodgeMessage(k, static_cast<uint32_t>(k + 11));
    monster.setAttackHitSpell(k, static_cast<uint16_t>(k + 1));
    monster.setSpells(k, static_cast<uint16_t>(k + 6));
  }
  const ItemRecord item = SampleItem(7);
  CountingDisplay display;
  Console console(display, 80, 50);
  constexpr int kBatch = 20;
  double monsters = 0, itemScreens = 0;
  for (auto _ : bench) {
    auto start = Clock::now();
    for (int i = 0; i < kBatch; ++i) {
      ShowMonsterDetail(console, monster.bytes());
      console.Flush();
      ShowMonsterExtended(console, monster.bytes());
      console.Flush();
    }
    monsters += std::chrono::duration<double>(Clock::now() - start).count();
    start = Clock::now();
    for (int i = 0; i < kBatch; ++i) {
      ShowItemDetail(console, item.bytes());
      console.Flush();
    }
    itemScreens += std::chrono::duration<double>(Clock::now() - start).count();
  }
  const double calls = static_cast<double>(bench.iterations()) * kBatch;
  bench.counters["monster_pair_us"] = monsters / calls * 1e6;
  bench.counters["item_us"] = itemScreens / calls * 1e6;
  bench.counters["monster_pair_over_item"] = monsters / itemScreens;
}
BENCHMARK(BM_MonsterScreens)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace torvex
