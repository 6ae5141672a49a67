// Code page 437, the character set of the game's files and of every screen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace torvex {

// The glyph a screen cell shows for a CP437 byte. Bytes 1..31 and 127 are the
// PC's graphic glyphs (smileys, arrows, house); byte 0 shows as a space.
char32_t Cp437Glyph(uint8_t ch);

// The CP437 byte for a Unicode character, or -1 when the code page has none.
// ASCII maps to itself, control characters included.
int UnicodeToCp437(char32_t cp);

// Appends the UTF-8 form of `cp`.
void AppendUtf8(std::string& out, char32_t cp);

// Text for a UTF-8 terminal or file: bytes below 128 stay as they are (so line
// breaks keep working); the upper half becomes its glyph.
std::string Cp437ToUtf8(std::string_view text);

// UTF-8 text to CP437. Characters the code page lacks are dropped, and so are
// malformed sequences.
std::string Utf8ToCp437(std::string_view text);

// Decodes one UTF-8 sequence from the front of `text`. Returns its length in
// bytes (0 when `text` is empty) and stores the character, or U+FFFD for a
// malformed or truncated sequence (length 1 then).
size_t DecodeUtf8(std::string_view text, char32_t* cp);

}  // namespace torvex
