// A painter for crunched screen images written for the tests from the format's
// rules alone, so that the cruncher is checked against the format rather than
// against itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/terminal/display.h"

namespace torvex::screentest {

// Marks a cell the image never painted; no image writes character 0.
inline constexpr Cell kUnpainted{0, 0xFF};

// Paints `size` bytes of `data` onto an 80 x 50 grid of kUnpainted cells. Anything
// the rules do not allow (a truncated opcode, a write past the last cell) is
// appended to `*problems`, and decoding goes on where it sensibly can.
inline std::vector<Cell> DecodeImage(const uint8_t* data, size_t size, std::string* problems) {
  constexpr int kWidth = 80, kHeight = 50;
  std::vector<Cell> cells(kWidth * kHeight, kUnpainted);
  int column = 0, row = 0;
  uint8_t attr = 0;
  auto put = [&](uint8_t ch, size_t count) {
    for (size_t k = 0; k < count; ++k) {
      const long pos = static_cast<long>(row) * kWidth + column + static_cast<long>(k);
      if (pos >= kWidth * kHeight) {
        *problems += "write past the last cell; ";
        return;
      }
      cells[static_cast<size_t>(pos)] = Cell{ch, attr};
    }
  };
  for (size_t i = 0; i < size; ++i) {
    if (column > 79) column = 0;  // the row stays as it is
    const uint8_t b = data[i];
    if (b <= 15) {
      attr = static_cast<uint8_t>((attr & 0x70) | b);
    } else if (b <= 23) {
      attr = static_cast<uint8_t>((attr & 0x8F) | ((b - 16) << 4));
    } else if (b == 24) {
      ++row;
      column = 0;
    } else if (b == 25) {
      if (i + 1 >= size) {
        *problems += "truncated space run; ";
        break;
      }
      const size_t n = data[++i] + 1u;
      put(' ', n);
      column += static_cast<int>(n);
    } else if (b == 26) {
      if (i + 2 >= size) {
        *problems += "truncated run; ";
        break;
      }
      const size_t n = data[i + 1] + 1u;
      put(data[i + 2], n);
      i += 2;
      column += static_cast<int>(n);
    } else if (b == 27) {
      attr ^= 0x80;
    } else if (b >= 32) {
      put(b, 1);
      column += 1;
    }
  }
  return cells;
}

}  // namespace torvex::screentest
