// Scaffold: replaced by the walker's command loop.
#include "walker/walker.h"

namespace torvex {

void Walk(Console&, uint32_t&, uint32_t&) {}

}  // namespace torvex
