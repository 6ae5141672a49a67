// Writing record values onto a detail screen. Record texts are outside input:
// they are written as they are (no colour codes, no control characters acting)
// and every write is cut at the screen's inner right edge, so that a long or
// unterminated field can neither wrap into the next row nor overwrite the
// frame.
#pragma once

#include <string>
#include <string_view>

#include "console/console.h"
#include "screens/screens.h"

namespace torvex {

// The last column inside the frame of an 80-column detail screen.
inline constexpr int kLastInnerColumn = 79;
// The colour values are written in.
inline constexpr int kValueColour = 15;
// Where values start in the left and right halves of a detail screen, after
// the labels' colons at columns 16 and 62.
inline constexpr int kValueLeft = 18;
inline constexpr int kValueRight = 64;

// Starts a detail screen: the text attribute 7 and `image` over the whole
// console.
void PaintDetailScreen(Console& console, const screens::ScreenImage& image);

// Writes `text` byte for byte in kValueColour at (column, row), 1-based, cut
// after `lastColumn`.
void WriteValueAt(Console& console, int column, int row, std::string_view text,
                  int lastColumn = kLastInnerColumn);

// Writes colour-code text at (column, row), cut after `lastColumn` visible
// columns; colour codes take none and "||" takes one. Control characters are
// shown as glyphs, not obeyed.
void WriteColourClipped(Console& console, int column, int row, std::string_view text,
                        int lastColumn = kLastInnerColumn);

// One ability slot as the screens with ability rows write it: "|08(|09",
// the ability and the value as four lower-case hex digits each (a negative
// value in 16-bit two's complement) around "|01:|09", "|08) ", then the
// ability's colour codes and its text (empty when the ability file has no
// entry).
std::string AbilityRowText(uint16_t ability, int16_t value);
// The row's head alone, up to and including the ability's colour codes, for
// screens that follow it with a text of their own.
std::string AbilityRowHead(uint16_t ability, int16_t value);

// `text` cut after `columns` visible columns, its colour codes kept whole.
std::string ClipColourText(std::string_view text, int columns);
// The columns `text` takes when written through the colour-code writer: colour
// codes take none and "||" takes one.
size_t ColourTextColumns(std::string_view text);

}  // namespace torvex
