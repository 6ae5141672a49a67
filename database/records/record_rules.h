// The small rules shared by every record kind: ability slots, money, the
// experience table, abbreviated words and random ranges.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace torvex {

// True when any of numbers[0..lastIndex] equals `ability`. False when lastIndex
// is negative; a lastIndex beyond the span is taken as its last element.
bool HasAbility(uint16_t ability, std::span<const uint16_t> numbers, int lastIndex);
// The value paired with `ability` in the parallel slot arrays; of several slots
// holding it, the last one counts. 0 when it does not occur or lastIndex is
// negative. Only slots present in both spans are examined.
int16_t AbilityValue(uint16_t ability, std::span<const uint16_t> numbers, int lastIndex,
                     std::span<const int16_t> values);

// Copper farthings per coin of each kind.
inline constexpr uint32_t kCopperPerRunic = 1000000;
inline constexpr uint32_t kCopperPerPlatinum = 10000;
inline constexpr uint32_t kCopperPerGold = 100;
inline constexpr uint32_t kCopperPerSilver = 10;

// The words for an amount of copper farthings: "nothing", or the coins from
// runic down to copper, e.g. "1 runic coin, 23 platinum pieces, 7 copper farthings".
std::string MoneyText(uint64_t amount);
// Converts coins upward in seven passes (copper to runic, platinum, gold and
// silver; silver to gold; gold to platinum; platinum to runic), each moving at
// most 5000 coins and only while the count is strictly above the threshold.
// The parameter order is the game's.
void ConsolidateCoins(uint32_t& runic, uint32_t& platinum, uint32_t& gold, uint32_t& copper,
                      uint32_t& silver);

// Levels beyond this are computed as this level: the game keeps levels in 16
// bits, and the table's cost grows with the level.
inline constexpr int32_t kMaxExpLevel = 65535;
// Experience needed to reach `level` with an experience percentage, by the
// game's own table and its 32-bit wrapping arithmetic; 0 for level 1 and below.
uint64_t ExpForLevel(int32_t level, int32_t expPercent);

// True when `abbreviation` is no longer than `word` and equals its start,
// ignoring ASCII letter case. The empty abbreviation matches every word.
bool PrefixMatches(std::string_view abbreviation, std::string_view word);

// A draw from the program-wide generator: 0 when high is 0, low when
// low >= high, otherwise uniform in low .. high - 1. Steps the generator only
// in the last case.
int32_t RandomRange(int32_t low, int32_t high);

// The game's date and time words are read with UnpackDate and UnpackTime
// (console/colour_text.h).

}  // namespace torvex
