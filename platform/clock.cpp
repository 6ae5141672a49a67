#include "platform/clock.h"

#include <cerrno>
#include <ctime>

namespace torvex {

uint64_t MonotonicNanos() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

void SleepMillis(int milliseconds) {
  if (milliseconds <= 0) return;
  timespec req{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  timespec rem{};
  while (nanosleep(&req, &rem) != 0 && errno == EINTR) req = rem;
}

}  // namespace torvex
