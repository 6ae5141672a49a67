#include "console/colour_text.h"

#include <algorithm>
#include <cstdio>

namespace torvex {
namespace {

void ApplyCode(Console& console, int code) {
  const uint8_t attr = console.TextAttr();
  if (code < 16) {
    console.SetTextAttr(static_cast<uint8_t>((attr & 0x70) | code));
  } else if (code <= 23) {
    console.SetTextAttr(static_cast<uint8_t>((attr & 0x8F) | ((code - 16) << 4)));
  } else if (code <= 39) {
    console.SetTextAttr(static_cast<uint8_t>((attr & 0x70) | 0x80 | (code - 24)));
  } else if (code <= 49) {
    // Reserved: no change.
  } else {
    console.SetTextAttr(static_cast<uint8_t>((attr & 0x70) | 0x80 | ((code - 50) % 16)));
  }
}

// The up to two characters after a bar as a decimal number; 0 when they are not one.
int ReadCode(std::string_view digits) {
  if (digits.empty()) return 0;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

// n / d rounded to the nearest integer, ties to even; d != 0.
__int128 RoundHalfEven(__int128 n, __int128 d) {
  if (d < 0) {
    n = -n;
    d = -d;
  }
  __int128 q = n / d;
  __int128 r = n % d;
  if (r < 0) {
    r += d;
    --q;  // floor
  }
  if (2 * r > d || (2 * r == d && (q & 1))) ++q;
  return q;
}

}  // namespace

void WriteColour(Console& console, std::string_view text) {
  size_t bar = text.find('|');
  while (bar != std::string_view::npos) {
    console.Write(text.substr(0, bar));
    text.remove_prefix(bar + 1);
    if (!text.empty() && text.front() == '|') {
      console.Write("|");
      text.remove_prefix(1);
    } else {
      const size_t n = std::min<size_t>(2, text.size());
      ApplyCode(console, ReadCode(text.substr(0, n)));
      text.remove_prefix(n);
    }
    bar = text.find('|');
  }
  console.Write(text);
}

void WriteColourLn(Console& console, std::string_view text) {
  WriteColour(console, text);
  console.Write("\n\r");
}

void WriteColourAt(Console& console, int column, int row, std::string_view text) {
  console.GotoXY(column, row);
  WriteColour(console, text);
}

void PaintScreenImage(Console& console, const uint8_t* image, size_t size) {
  constexpr int kColumns = 80;
  int column = 0, row = 0;
  uint8_t attr = 0;
  size_t i = 0;
  while (i < size) {
    if (column > kColumns - 1) column = 0;
    const uint8_t b = image[i++];
    if (b <= 15) {
      attr = static_cast<uint8_t>((attr & 0x70) | b);
    } else if (b <= 23) {
      attr = static_cast<uint8_t>((attr & 0x8F) | ((b - 16) << 4));
    } else if (b == 24) {
      ++row;
      column = 0;
    } else if (b == 25) {
      if (i >= size) break;
      const int n = image[i++] + 1;
      console.PutCells(column, row, {' ', attr}, n);
      column += n;
    } else if (b == 26) {
      if (i + 1 >= size) break;
      const int n = image[i++] + 1;
      const uint8_t ch = image[i++];
      console.PutCells(column, row, {ch, attr}, n);
      column += n;
    } else if (b == 27) {
      attr ^= 0x80;
    } else if (b <= 31) {
      // Unused codes.
    } else {
      console.PutCells(column, row, {b, attr});
      ++column;
    }
  }
  console.Flush();
}

std::string ColourCodes(int colour) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "|%02d|%02d", colour & 0xF0, colour & 0x0F);
  return buf;
}

int32_t Percent(int32_t part, int32_t whole) {
  if (part < 1) return part;
  if (whole == 0) return 0;
  return static_cast<int32_t>(RoundHalfEven(static_cast<__int128>(part) * 100, whole));
}

int64_t Percent64(int64_t whole, int64_t part) {
  if (part <= 0) return 0;
  if (whole == 0) return 0;
  return static_cast<int64_t>(RoundHalfEven(static_cast<__int128>(part) * 100, whole));
}

void UnpackDate(uint16_t packed, uint16_t* year, uint16_t* month, uint16_t* day) {
  *year = static_cast<uint16_t>((packed >> 9) + 1980);
  int m = (packed >> 5) & 0x0F;
  if (m == 0) m = 1;
  if (m > 12) m = 12;
  *month = static_cast<uint16_t>(m);
  int d = packed & 0x1F;
  *day = static_cast<uint16_t>(d == 0 ? 1 : d);
}

void UnpackTime(uint16_t packed, uint16_t* hour, uint16_t* minute, uint16_t* second) {
  *hour = static_cast<uint16_t>(std::min(packed >> 11, 23));
  *minute = static_cast<uint16_t>(std::min((packed >> 5) & 0x3F, 59));
  *second = static_cast<uint16_t>(std::min((packed & 0x1F) * 2, 59));
}

std::string ColourLiteral(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out.push_back(c);
    if (c == '|') out.push_back('|');
  }
  return out;
}

}  // namespace torvex
