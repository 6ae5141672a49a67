// What every rule of the game's replayed combat shares: the draw, where the
// rules write their lines, how a running round learns that the user wants it
// to stop, and the hook through which a cast runs a text block.
//
// Rules are plain functions over records and an injected generator; they
// never touch the console themselves, so the same rules serve the simulators'
// screens, the room walker and tests that pin the whole sequence of draws.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "database/records/records.h"
#include "platform/random.h"

namespace torvex {

// Random(n) as the rules draw it: 0 .. n-1. A range that is empty or inverted
// (n <= 0, for example a maximum below the minimum) still steps the generator,
// so the sequence of later draws is the same, and answers 0.
int64_t Roll(Random& random, int64_t n);

// Where rules write their output: one line of colour-code text a call.
using RulesOutput = std::function<void(std::string_view line)>;

// Asked between actions of a round: true when the user has asked the round to
// stop (the key is consumed). Empty: never.
using StopRequested = std::function<bool()>;

// The two numbers a cast may hand back to the room walker.
struct CastResult {
  int32_t first = 0;
  int32_t second = 0;
};

// Runs the text block `block` for a cast (ability 148), writing through
// `output` and handing back through `result` (may be null). Set once by the
// text-block interpreter; until then casts that run text blocks do nothing
// more.
using TextBlockRunner =
    std::function<void(uint32_t block, CastResult* result, const RulesOutput& output)>;
void SetTextBlockRunner(TextBlockRunner runner);
const TextBlockRunner& CurrentTextBlockRunner();

// A number from a record or a roll taken as the number of a record to read:
// values outside 32 unsigned bits (negative ones included) name no record, and
// give 0, which every get answers as missing.
uint32_t RecordNumberOf(int64_t value);

// The message numbered `number`; a missing one reads as three empty lines.
MessageRecord MessageOrEmpty(int64_t number);

// Writes `colour` + `text` as a line unless `text` is empty.
void WriteUnlessEmpty(const RulesOutput& output, std::string_view colour, const std::string& text);

// Bounds on loops that stored data drives: follow-on spell chains, re-rolls of
// attack slots that can never be taken, actions that cost no energy. Past a
// bound the loop ends with NoticeOfBound's line.
inline constexpr int kChainBound = 100;
inline constexpr int kRerollBound = 1000;
std::string NoticeOfBound(std::string_view what);

}  // namespace torvex
