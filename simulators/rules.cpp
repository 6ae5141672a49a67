#include "simulators/rules.h"

#include <utility>

namespace torvex {
namespace {

TextBlockRunner& Runner() {
  static TextBlockRunner runner;
  return runner;
}

}  // namespace

int64_t Roll(Random& random, int64_t n) {
  if (n <= 0) {
    random.Next(0);
    return 0;
  }
  // Ranges beyond 32 bits cannot come from 16-bit record fields; hold them to
  // the generator's width rather than wrap.
  const uint32_t range = n > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(n);
  return random.Next(range);
}

void SetTextBlockRunner(TextBlockRunner runner) {
  Runner() = std::move(runner);
}

const TextBlockRunner& CurrentTextBlockRunner() {
  return Runner();
}

std::string NoticeOfBound(std::string_view what) {
  return "|08(" + std::string(what) + " stopped after too many steps)";
}

}  // namespace torvex
