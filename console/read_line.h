// Reading a whole line at the cursor, for the prompts that simulators and the
// room walker write into their scrolling output.
#pragma once

#include <string>

#include "console/console.h"

namespace torvex {

// Reads keys until Enter and returns the line typed. Typed characters echo at
// the cursor in the current text attribute (wrapping and scrolling like any
// output); Backspace erases the last one, also across a wrapped row; extended
// keys and other control keys are ignored; at most `maxLength` characters are
// taken. Enter moves the cursor to the start of the next line.
std::string ReadLine(Console& console, size_t maxLength = 255);

}  // namespace torvex
