// The text-block browser (WCCTEXT2): one part of a script or text block at a
// time, its decoded text on the detail screen, the same part as the game shows
// it (A, the interpreter's display) or with its script commands explained (I),
// and exports of its text to files.
//
// Every view decodes the shown record into a copy: the record in the buffer
// keeps its stored form and is never changed.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "browsers/browser_frame.h"
#include "console/console.h"

namespace torvex {

// Runs the browser until the user leaves it (main menu key 7 or B, "/TEXT").
void RunTextBlockBrowser(Console& console);

const BrowserDescription& TextBlockBrowserDescription();

// "TORVEXNT - Text : <block>/<part> (0x<block>/0x<part>)", the numbers in
// lower-case hex after the decimal ones.
std::string TextBlockTitle(std::span<const uint8_t> record);

// The jump key of the text file: a block number names part 0 of that block
// (the block number at offset 16 of the 18-byte key, everything else zero).
// The key ends two bytes into the 32-bit block field, so a number above 65535
// answers status 4 (key not found) rather than another block's part. The macro
// text of a record is its block number.
RecordKey TextBlockKey();

// Paints the whole screen for a text-block record's bytes (shorter input reads
// as zeros): the head's numbers, then the decoded text from row 5, one row per
// line and a long line in pieces of 80 columns, at most 43 rows, followed by
// an end mark when there was room for one. The text is shown as stored, every
// byte a glyph: the colour codes and escape sequences of a game text are what
// the operator reads here, not obeyed. Leaves the cursor at column 3, row 49.
void ShowTextBlockDetail(Console& console, std::span<const uint8_t> record);

// The shown part with its script explained: each line's commands separated by
// "|08:|03", and after a command that names an item, monster, spell, class,
// race or ability, that record's name in its colour. Pages at a full screen
// (Esc or Ctrl+C at a page's pause ends the listing), then waits at "Press any
// key to return...".
void ShowAnnotatedTextBlock(Console& console, std::span<const uint8_t> record);

// The decoded text with every line feed that does not already follow a
// carriage return preceded by one.
std::string CrLfLineEnds(std::string_view text);

// The two exports of a part, read through the record cache: `lineAdjusted`
// writes "textblock.<block>.<part>.txt" with CR LF line ends, otherwise
// "textblock.raw.<block>.<part>.txt" holds the decoded text as stored. Written
// in the working directory, whole or not at all; a window then tells the user
// whether it worked (a part the cache cannot read counts as a failure).
// Returns whether the file was written.
bool ExportTextBlock(TInputManager& input, uint32_t block, uint16_t part, bool lineAdjusted);

}  // namespace torvex
