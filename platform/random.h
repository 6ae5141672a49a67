// The program-wide pseudo-random generator: a 32-bit linear congruential
// sequence, seed := seed * 134775813 + 1 (mod 2^32), drawn as the high 32 bits of
// seed * n. Game formulas replayed by the simulators depend on this exact sequence.
#pragma once

#include <cstdint>

namespace torvex {

class Random {
 public:
  explicit Random(uint32_t seed = 0) : seed_(seed) {}

  uint32_t Seed() const { return seed_; }
  void SetSeed(uint32_t seed) { seed_ = seed; }
  // Seeds from the monotonic clock, as the program does at start-up.
  void Randomize();
  // Steps the sequence and returns 0 .. n-1; returns 0 when n is 0.
  uint32_t Next(uint32_t n);

 private:
  uint32_t seed_;
};

// The one generator of the running program.
Random& ProgramRandom();

// Seeds ProgramRandom() at start-up: from the environment variable TORVEX_SEED
// when it holds a decimal number from 0 to 4294967295, so that an operator can
// replay the same rounds; otherwise from the clock.
void SeedProgramRandom();

}  // namespace torvex
