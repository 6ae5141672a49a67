// Colour-code text: "|" and two decimal digits select a colour, "||" writes a
// bar. Also the painter of stored screen images and the small number and date
// helpers the screens format values with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/console.h"

namespace torvex {

// Writes `text` at the cursor, applying its colour codes to the console's text
// attribute on the way. Adds no line break.
void WriteColour(Console& console, std::string_view text);
// WriteColour, then a line feed and a carriage return.
void WriteColourLn(Console& console, std::string_view text);
// `text` in the form the colour-code writer shows as it is: every "|" doubled,
// so that no part of it is taken as a colour code. For texts from outside the
// program (paths, command-line arguments) put between colour-coded parts.
std::string ColourLiteral(std::string_view text);
// GotoXY(column, row), then WriteColour.
void WriteColourAt(Console& console, int column, int row, std::string_view text);

// Paints a crunched screen image into the screen from its top-left corner. Does
// not move the cursor or change the text attribute. Safe on any bytes: writes
// past the end of the screen are dropped.
void PaintScreenImage(Console& console, const uint8_t* image, size_t size);

// The colour codes that select attribute `colour` in text: "|" + two digits of
// (colour AND 0xF0), "|" + two digits of (colour AND 0x0F).
std::string ColourCodes(int colour);

// part / whole as a percentage rounded half to even; part itself when part < 1,
// 0 when whole is 0.
int32_t Percent(int32_t part, int32_t whole);
// 0 when part <= 0; else part / whole as a percentage rounded half to even.
int64_t Percent64(int64_t whole, int64_t part);

// MS-DOS packed dates and times.
void UnpackDate(uint16_t packed, uint16_t* year, uint16_t* month, uint16_t* day);
void UnpackTime(uint16_t packed, uint16_t* hour, uint16_t* minute, uint16_t* second);

}  // namespace torvex
