// Screen-image sources and the crunched image form the console paints.
//
// A source is UTF-8 text, 50 lines of exactly 80 visible columns, coloured with the
// program's colour codes (docs/screen-images.md). The cruncher turns the parsed
// cells into the run-length byte stream that PaintScreenImage reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/terminal/display.h"

namespace torvex {

inline constexpr int kScreenColumns = 80;
inline constexpr int kScreenRows = 50;

// Opcodes of the crunched image. Bytes 0-15 set the foreground (blink off), 16-23
// the background; bytes 32-255 are characters.
inline constexpr uint8_t kImageNewRow = 24;  // next row, column 0
inline constexpr uint8_t kImageSpaces = 25;  // n: n + 1 spaces
inline constexpr uint8_t kImageRun = 26;     // n, c: c repeated n + 1 times
inline constexpr uint8_t kImageBlink = 27;   // toggles the blink bit
inline constexpr size_t kImageMaxRun = 256;  // the most one run opcode can write

// The cells of a parsed source.
struct ScreenCells {
  std::vector<Cell> cells;  // kScreenColumns * kScreenRows, row by row

  // 0-based position; the cells must have been filled by ParseScreenSource.
  const Cell& At(int column, int row) const {
    return cells[static_cast<size_t>(row * kScreenColumns + column)];
  }
};

// The attribute after colour code `code` (0..99) is applied to `attr`, with the
// colour-code writer's rules: 0-15 foreground with blink off, 16-23 background,
// 24-39 foreground with blink, 40-49 nothing, 50 and up (code - 50) % 16 with blink.
uint8_t ApplyColourCode(uint8_t attr, int code);

// Parses a source. On success fills `*screen` and returns true. On failure returns
// false and sets `*error` to "<line>:<column>: <what went wrong>" (both 1-based; the
// column counts visible characters); `*screen` is then unspecified. Lines may end in
// "\n" or "\r\n"; the last line's line break is optional.
bool ParseScreenSource(std::string_view utf8, ScreenCells* screen, std::string* error);

// The crunched image of `screen`: every cell painted, exactly as parsed, each row
// ended by kImageNewRow, no run crossing a row. Starts from attribute 0, as the
// painter does. Precondition: every character is 32 or above (ParseScreenSource
// guarantees it).
std::vector<uint8_t> CrunchScreen(const ScreenCells& screen);

// Appends `count` copies of `ch` (32..255) in the current attribute: characters as
// themselves when fewer than three, otherwise run opcodes of at most kImageMaxRun
// characters each.
void AppendCharacters(std::vector<uint8_t>* image, uint8_t ch, size_t count);

}  // namespace torvex
