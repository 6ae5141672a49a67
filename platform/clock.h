// Monotonic time and sleeping.
#pragma once

#include <cstdint>

namespace torvex {

// Nanoseconds from an arbitrary fixed point; never goes backwards.
uint64_t MonotonicNanos();
// Milliseconds, for time-outs.
inline uint64_t MonotonicMillis() {
  return MonotonicNanos() / 1000000;
}
void SleepMillis(int milliseconds);

}  // namespace torvex
