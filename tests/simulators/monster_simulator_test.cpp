#include "simulators/monster_simulator.h"

#include <gtest/gtest.h>

namespace torvex {
namespace {
}  // namespace
}  // namespace torvex
