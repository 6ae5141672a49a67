// The room walker: an operator walks the world offline as a player would.
#pragma once

#include <cstdint>

#include "console/console.h"

namespace torvex {

// Walks from room `room` of map `map` on CurrentWalkerSession() until the user
// leaves (X, Q, QUIT), a reroll ends the walk, or the start fails. On return
// `map` and `room` hold the room where the walk ended (unchanged when it never
// started). Takes the session from the settings first and hands it back when
// the walk ends.
void Walk(Console& console, uint32_t& map, uint32_t& room);

}  // namespace torvex
