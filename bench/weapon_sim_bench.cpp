// The weapon simulator's cost against its rules, timed alternately in one
// process so that a noisy machine touches both sides of the ratio alike:
// ten combat rounds through the screen (prompts answered, every line written
// to an 80x50 headless console, the summary) against the same ten rounds of
// the rules alone with their output discarded.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>

#include "database/records/records.h"
#include "database/settings.h"
#include "platform/random.h"
#include "platform/terminal/display.h"
#include "simulators/weapon_rules.h"
#include "simulators/weapon_simulator.h"

namespace torvex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 10;

ItemRecord BenchWeapon() {
  ItemRecord item;
  item.setName("Bench Blade");
  item.setItemType(1);
  item.setSpeed(1000);
  item.setMinHit(5);
  item.setMaxHit(20);
  item.setAbilityNumbers(0, 58);  // weapon crits, so some swings are critical
  item.setAbilityValues(0, 15);
  return item;  // no hit message: the built-in verb, no file opened
}

// Answers each key wait from the screen's script, over and over: six
// defaults, nine more rounds, "x" to end them and the last key. Frames are
// composed in the console but not kept, so a long run holds no history.
class ScriptedDisplay : public Display {
 public:
  void Present(const Frame&) override {}
  bool ReadKeyEvent(KeyEvent* event, int) override {
    static const std::string script = std::string(6, '\r') + std::string(kRounds - 1, ' ') + "x ";
    const char c = script[next_++ % script.size()];
    *event = {c == '\r'  ? vk::kReturn
              : c == 'x' ? uint16_t{'X'}
                         : vk::kSpace,
              0, static_cast<uint8_t>(c)};
    return true;
  }
  void SetTitle(std::string_view) override {}
  void Bell() override {}
  void Maximize() override {}
  void RequestSize(int, int) override {}

 private:
  size_t next_ = 0;
};

// The rounds as the screen plays them, from the figures its defaults give.
void RulesRounds(const ItemRecord& item, const SimulatorSettings& s, Random& random,
                 const RulesOutput& discard) {
  const WeaponFigures figures =
      WeaponFiguresFor(item, {s.itemLevel, s.itemCombat, s.itemAgility, s.itemStrength, s.itemEnc,
                              s.itemMaxEnc, s.itemCritBonus});
  int64_t pool = 1000;
  for (int round = 0; round < kRounds; ++round) {
    const RoundSwings share = SwingsOfRound(pool, figures.energyPerSwing);
    pool = share.nextPool;
    const int64_t swings = std::clamp<int64_t>(share.swings, 0, kMaxSwingsPerRound);
    for (int64_t i = 0; i < swings; ++i) Swing(item, figures, "attack", random, discard);
  }
  benchmark::DoNotOptimize(SwingListing(figures.energyPerSwing));
}

void BM_WeaponRound(benchmark::State& bench) {
  const ItemRecord item = BenchWeapon();
  SimulatorSettings settings;
  ScriptedDisplay display;
  Console console(display, 80, 50);
  size_t lines = 0;
  const RulesOutput discard = [&lines](std::string_view line) { lines += line.size() != 0; };
  Random screenRandom(7), rulesRandom(7);
  double rules = 0, screen = 0;
  for (auto _ : bench) {
    auto start = Clock::now();
    RulesRounds(item, settings, rulesRandom, discard);
    rules += std::chrono::duration<double>(Clock::now() - start).count();
    start = Clock::now();
    RunWeaponSimulator(console, item, settings, screenRandom);
    screen += std::chrono::duration<double>(Clock::now() - start).count();
  }
  benchmark::DoNotOptimize(lines);
  const double runs = static_cast<double>(bench.iterations());
  bench.counters["rules_us"] = rules / runs * 1e6;
  bench.counters["screen_us"] = screen / runs * 1e6;
  bench.counters["screen_over_rules"] = screen / rules;
}
BENCHMARK(BM_WeaponRound)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace torvex
