#include "database/records/record_rules.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "console/format.h"
#include "database/records/tables.h"
#include "platform/random.h"

namespace torvex {
namespace {

// The number of slots examined: lastIndex + 1, bounded by what the caller has.
size_t SlotCount(int lastIndex, size_t available) {
  if (lastIndex < 0) return 0;
  return std::min(static_cast<size_t>(lastIndex) + 1, available);
}

struct ScaleStep {
  uint32_t multiplier;
  uint32_t divisor;
};

// The first 26 steps of the experience table; later steps follow ranges.
constexpr std::array<ScaleStep, 26> kFirstExpSteps{{
    {1, 1},   {40, 20}, {44, 24}, {44, 24}, {48, 28}, {48, 28}, {52, 32}, {52, 32}, {56, 36},
    {56, 36}, {60, 40}, {60, 40}, {65, 45}, {65, 45}, {70, 50}, {70, 50}, {75, 55}, {50, 40},
    {50, 40}, {50, 40}, {50, 40}, {50, 40}, {50, 40}, {50, 40}, {50, 40}, {23, 20},
}};

ScaleStep ExpStep(int32_t step) {
  if (step < 26) return kFirstExpSteps[step];
  if (step <= 53) return {115, 100};
  if (step <= 56) return {109, 100};
  return {108, 100};
}

constexpr uint32_t kBillion = 1000000000u;

}  // namespace

bool HasAbility(uint16_t ability, std::span<const uint16_t> numbers, int lastIndex) {
  const size_t count = SlotCount(lastIndex, numbers.size());
  return std::find(numbers.begin(), numbers.begin() + count, ability) != numbers.begin() + count;
}

int16_t AbilityValue(uint16_t ability, std::span<const uint16_t> numbers, int lastIndex,
                     std::span<const int16_t> values) {
  int16_t value = 0;
  const size_t count = SlotCount(lastIndex, std::min(numbers.size(), values.size()));
  for (size_t i = 0; i < count; ++i)
    if (numbers[i] == ability) value = values[i];
  return value;
}

std::string MoneyText(uint64_t amount) {
  if (amount == 0) return "nothing";
  // Coin kinds from runic (5) down to copper (1).
  std::array<uint64_t, kCoinKinds> counts{};
  counts[5] = amount / kCopperPerRunic;
  amount %= kCopperPerRunic;
  counts[4] = amount / kCopperPerPlatinum;
  amount %= kCopperPerPlatinum;
  counts[3] = amount / kCopperPerGold;
  amount %= kCopperPerGold;
  counts[2] = amount / kCopperPerSilver;
  counts[1] = amount % kCopperPerSilver;

  std::string text;
  bool first = true;
  for (int kind = 5; kind >= 1; --kind) {
    if (counts[kind] == 0) continue;
    const std::string_view name = CoinName(kind, counts[kind]);
    text += Format("%s%llu %.*s", first ? "" : ", ", static_cast<unsigned long long>(counts[kind]),
                   static_cast<int>(name.size()), name.data());
    first = false;
  }
  return text;
}

void ConsolidateCoins(uint32_t& runic, uint32_t& platinum, uint32_t& gold, uint32_t& copper,
                      uint32_t& silver) {
  constexpr int kMaxMoves = 5000;
  // Moves coins from `from` to `to` while more than `rate` remain.
  auto pass = [](uint32_t& from, uint32_t rate, uint32_t& to) {
    for (int i = 0; i < kMaxMoves && from > rate; ++i) {
      from -= rate;
      to += 1;
    }
  };
  pass(copper, kCopperPerRunic, runic);
  pass(copper, kCopperPerPlatinum, platinum);
  pass(copper, kCopperPerGold, gold);
  pass(copper, kCopperPerSilver, silver);
  pass(silver, 10, gold);
  pass(gold, 100, platinum);
  pass(platinum, 100, runic);
}

uint64_t ExpForLevel(int32_t level, int32_t expPercent) {
  if (level <= 1) return 0;
  level = std::min(level, kMaxExpLevel);
  uint32_t value = 10u * static_cast<uint32_t>(expPercent);
  uint32_t billions = 0;
  for (int32_t step = 0; step <= level - 2; ++step) {
    const ScaleStep s = ExpStep(step);
    if (static_cast<uint64_t>(value) * s.multiplier <= UINT32_MAX)
      value = value * s.multiplier / s.divisor;
    else
      value = (value / 100 * s.multiplier / s.divisor) * 100;
    uint32_t t = billions * s.multiplier * 1000000u;
    while (t >= kBillion) {
      t -= kBillion;
      ++billions;
    }
    t += value;
    while (t >= kBillion) {
      t -= kBillion;
      ++billions;
    }
    value = t;
  }
  return static_cast<uint64_t>(billions) * kBillion + value;
}

bool PrefixMatches(std::string_view abbreviation, std::string_view word) {
  if (abbreviation.size() > word.size()) return false;
  for (size_t i = 0; i < abbreviation.size(); ++i) {
    const auto a = static_cast<unsigned char>(abbreviation[i]);
    const auto w = static_cast<unsigned char>(word[i]);
    if (a != w && !(a < 128 && w < 128 && std::tolower(a) == std::tolower(w))) return false;
  }
  return true;
}

int32_t RandomRange(int32_t low, int32_t high) {
  if (high == 0) return 0;
  if (low >= high) return low;
  const uint32_t span = static_cast<uint32_t>(high) - static_cast<uint32_t>(low);
  return static_cast<int32_t>(static_cast<uint32_t>(low) + ProgramRandom().Next(span));
}

}  // namespace torvex
