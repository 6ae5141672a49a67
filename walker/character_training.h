// Training a level in a training hall (BUY TRAINING, TRAIN).
#pragma once

#include <string>
#include <vector>

#include "walker/session.h"

namespace torvex {

// Character points a level's training grants, by the level trained from.
int32_t TrainingPoints(int32_t oldLevel);
// The price of training to `newLevel` at a hall's markup, in copper farthings.
uint64_t TrainingCost(uint16_t markupPercent, int32_t newLevel);

// Trains the character one level in the room stood in, when the room is a
// training hall open to its class, the hall teaches the next level and the
// character has the experience for it. The price is named but not taken. Adds
// the character points, up to five lives (never beyond nine) and one hit-point
// roll of the class. Returns the lines to show: the refusal, or what was
// gained.
std::vector<std::string> TrainLevel(WalkerSession& session);

}  // namespace torvex
