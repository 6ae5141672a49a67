#include "platform/random.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

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

void SeedProgramRandom() {
  const char* text = std::getenv("TORVEX_SEED");
  uint32_t seed = 0;
  if (text != nullptr && *text != '\0') {
    const char* end = text + std::strlen(text);
    const auto [ptr, ec] = std::from_chars(text, end, seed);
    if (ec == std::errc() && ptr == end) {
      ProgramRandom().SetSeed(seed);
      return;
    }
  }
  ProgramRandom().Randomize();
}

}  // namespace torvex
