// The console side the three simulators share: their heading, the prompts
// answered with a whole line, and the round prompt's key.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/text_values.h"
#include "simulators/rules.h"

namespace torvex {

// Clears the screen in colour 7 and writes "|14Dunmarrow - Simulator", the
// rule, `description` (one line each), an empty line, the two NOTE lines about
// Q, X and Esc, the rule again and an empty line.
void WriteSimulatorHeading(Console& console, std::initializer_list<std::string_view> description);

// Writes `prompt` (colour-code text) without a line break and reads a whole
// line.
std::string AskLine(Console& console, std::string_view prompt);

// AskLine, then: an empty answer or one that is not a decimal number keeps
// `value`; otherwise the number replaces it.
void AskStoredNumber(Console& console, std::string_view prompt, int32_t& value);

// A RulesOutput that writes each line to `console` with WriteColourLn.
RulesOutput ConsoleOutput(Console& console);

// A StopRequested that, without waiting, takes a key when one is there and
// answers true for Esc or Ctrl+C (any other key is consumed and ignored).
StopRequested EscapeOrCtrlC(Console& console);

// True when a round prompt's key (read whole) ends the simulation: Esc, Q or
// X in either case.
bool EndsSimulation(int key);

}  // namespace torvex
