// The monster attack simulator's round through its screen against the same
// rules with their lines thrown away, timed alternately in one process so a
// noisy machine touches both sides of the ratio alike. Both sides read the
// same records (messages, weapon, spells) from a temporary data directory, so
// the ratio is what the console costs on top of the rules and their look-ups.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "console/console.h"
#include "database/record_access.h"
#include "database/records/records.h"
#include "database/settings.h"
#include "platform/terminal/headless_display.h"
#include "simulators/monster_rules.h"
#include "simulators/monster_simulator.h"
#include "tests/platform/btrieve/btrieve_test_support.h"

namespace torvex {
namespace {

using Clock = std::chrono::steady_clock;
namespace bt = btrieve::testing;

// Types the script, then answers every wait with Space (the next round) and
// every check without waiting with nothing, and ends the run with Q after
// kRounds rounds. Frames are thrown away.
class RoundKeys : public HeadlessDisplay {
 public:
  void Present(const Frame&) override {}
  bool ReadKeyEvent(KeyEvent* event, int timeoutMs) override {
    if (timeoutMs == 0) return false;
    if (PendingKeys() > 0) return HeadlessDisplay::ReadKeyEvent(event, timeoutMs);
    *event = ++waits % kRounds == 0 ? KeyEvent{'Q', 0, 'q'} : KeyEvent{vk::kSpace, 0, ' '};
    return true;
  }

  static constexpr int kRounds = 50;
  int waits = 0;
};

// A record file of the game's shape: its number the auto-increment key.
void Insert(DatabaseFile kind, uint16_t length, uint16_t keyLength,
            const std::vector<std::vector<uint8_t>>& records) {
  const std::string path = DatabaseFilePath(kind);
  const auto spec = bt::CreateSpec(length, 4096, 0,
                                   {{bt::Segment{1, keyLength, btrieve::key_flag::kExtendedType,
                                                 btrieve::key_type::kAutoIncrement}}});
  bt::Create(path, spec);
  bt::File file;
  file.Open(path);
  for (std::vector<uint8_t> record : records) {
    record.resize(length);
    file.Insert(record);
  }
  file.Close();
}

template <typename Record>
std::vector<uint8_t> Bytes(const Record& r) {
  return {r.bytes().begin(), r.bytes().end()};
}

std::vector<uint8_t> Message(uint32_t number, size_t line, const char* text) {
  MessageRecord m;
  m.setNumber(number);
  m.setLine(line, text);
  return Bytes(m);
}

// An orc with three blows and an attack spell, a weapon, and a spell list.
struct World {
  World() {
    CurrentDatabaseSettings().dataDirectory = dir.path() + "/";
    CurrentDatabaseSettings().useDatFiles = false;
    Insert(kMessageFile, MessageRecord::kDiskLength, 4,
           {Message(1, 0, "%s cleaves you for %d damage!"),
            Message(2, 2, "You sidestep %s's %s %s."), Message(3, 1, "%s glances off you, %s %s."),
            Message(4, 1, "a heavy swing"), Message(5, 1, "%s burns %s into %s for %d damage!")});
    ItemRecord axe;
    axe.setNumber(7);
    axe.setName("war axe");
    axe.setMissMessage(4);
    Insert(kItemFile, ItemRecord::kDiskLength, 4, {Bytes(axe)});
    SpellRecord burn;
    burn.setNumber(10);
    burn.setName("Burn");
    burn.setCastMessage(5);
    burn.setMinValue(10);
    burn.setMaxValue(30);
    Insert(kSpellFile, SpellRecord::kDiskLength, 2, {Bytes(burn)});
    orc.setNumber(1);
    orc.setName("orc");
    orc.setWeaponItem(7);
    for (size_t k = 0; k < 3; ++k) {
      orc.setAttackType(k, 1);
      orc.setAttackAccuracy(k, 70);
      orc.setAttackPercent(k, static_cast<uint8_t>(30 * (k + 1)));
      orc.setAttackMinHit(k, 3);
      orc.setAttackMaxHit(k, 15);
      orc.setAttackHitMessage(k, 1);
      orc.setAttackDodgeMessage(k, 2);
      orc.setAttackMissMessage(k, 3);
      orc.setAttackEnergy(k, 150);
    }
    orc.setAttackType(3, 2);
    orc.setAttackAccuracy(3, 10);
    orc.setAttackPercent(3, 100);
    orc.setAttackMinHit(3, 80);
    orc.setAttackMaxHit(3, 5);
    orc.setAttackEnergy(3, 300);
    orc.setSpells(0, 10);
    orc.setSpellPercent(0, 50);
    orc.setSpellCastLevel(0, 5);
  }
  bt::TempDir dir;
  MonsterRecord orc;
};

void BM_MonsterRound(benchmark::State& bench) {
  static World world;
  Random random(12345);
  double rules = 0, screen = 0;
  int64_t rounds = 0;
  for (auto _ : bench) {
    auto start = Clock::now();
    MonsterCombat combat{world.orc, {10, 20, 5, 50}, random, [](std::string_view) {}, {}};
    int64_t energy = 0;
    for (int r = 0; r < RoundKeys::kRounds; ++r) {
      energy += 1000;
      PlayMonsterRound(combat, energy);
    }
    rules += std::chrono::duration<double>(Clock::now() - start).count();

    RoundKeys keys;
    Console console(keys, 80, 50);
    keys.PushText("10\r20/5\r\r");
    start = Clock::now();
    RunMonsterSimulator(console, world.orc, random);
    console.Flush();
    screen += std::chrono::duration<double>(Clock::now() - start).count();
    rounds += RoundKeys::kRounds;
  }
  bench.counters["rules_us_per_round"] = rules / static_cast<double>(rounds) * 1e6;
  bench.counters["screen_us_per_round"] = screen / static_cast<double>(rounds) * 1e6;
  bench.counters["screen_over_rules"] = screen / rules;
}
BENCHMARK(BM_MonsterRound)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace torvex
