#include "platform/random.h"

#include "platform/clock.h"

namespace torvex {

void Random::Randomize() {
  seed_ = static_cast<uint32_t>(MonotonicNanos() / 100);
}

uint32_t Random::Next(uint32_t n) {
  seed_ = seed_ * 134775813u + 1u;
  return static_cast<uint32_t>((static_cast<uint64_t>(seed_) * n) >> 32);
}

Random& ProgramRandom() {
  static Random random;
  return random;
}

}  // namespace torvex
