#include "tools/screen_source.h"

#include <algorithm>
#include <cstdio>

#include "platform/terminal/cp437.h"

namespace torvex {
namespace {

std::string Located(int line, int column, const std::string& what) {
  return std::to_string(line) + ":" + std::to_string(column) + ": " + what;
}

std::string CodePoint(char32_t cp) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
  return buf;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Parses one line into `row` (kScreenColumns cells), carrying `*attr` across.
bool ParseLine(std::string_view line, int lineNumber, uint8_t* attr, Cell* row,
               std::string* error) {
  int column = 0;  // visible characters so far
  size_t i = 0;
  while (i < line.size()) {
    uint8_t ch;
    if (line[i] == '|') {
      if (i + 1 < line.size() && line[i + 1] == '|') {
        ch = '|';
        i += 2;
      } else {
        // A code must be complete on its line: the writer would swallow whatever
        // follows, which in a source is always a mistake.
        if (i + 2 >= line.size() || !IsDigit(line[i + 1]) || !IsDigit(line[i + 2])) {
          *error = Located(lineNumber, column + 1,
                           "a bar must be followed by two digits (a colour code) or by "
                           "another bar");
          return false;
        }
        *attr = ApplyColourCode(*attr, (line[i + 1] - '0') * 10 + (line[i + 2] - '0'));
        i += 3;
        continue;
      }
    } else {
      char32_t cp;
      const size_t n = DecodeUtf8(line.substr(i), &cp);
      if (cp == 0xFFFD && n == 1) {
        *error = Located(lineNumber, column + 1, "malformed UTF-8");
        return false;
      }
      if (cp < 0x20 || cp == 0x7F) {
        *error = Located(lineNumber, column + 1, "control character " + CodePoint(cp));
        return false;
      }
      const int mapped = UnicodeToCp437(cp);
      if (mapped < 0) {
        *error = Located(lineNumber, column + 1, CodePoint(cp) + " has no code page 437 character");
        return false;
      }
      if (mapped < 0x20) {
        // Bytes below 32 are the image's opcodes, so these glyphs cannot be stored.
        *error = Located(lineNumber, column + 1,
                         CodePoint(cp) + " is code page 437 byte " + std::to_string(mapped) +
                             ", which screen images cannot hold");
        return false;
      }
      ch = static_cast<uint8_t>(mapped);
      i += n;
    }
    if (column < kScreenColumns) row[column] = Cell{ch, *attr};
    ++column;
  }
  if (column != kScreenColumns) {
    *error = Located(lineNumber, std::min(column, kScreenColumns) + 1,
                     "line has " + std::to_string(column) + " columns, expected " +
                         std::to_string(kScreenColumns));
    return false;
  }
  return true;
}

// Emits the fewest opcodes that turn attribute `*current` into `target`.
void AppendAttribute(std::vector<uint8_t>* image, uint8_t* current, uint8_t target) {
  const bool fgDiffers = (*current & 0x0F) != (target & 0x0F);
  const bool blinkNow = (*current & 0x80) != 0;
  const bool blinkWanted = (target & 0x80) != 0;
  if (fgDiffers || (blinkNow && !blinkWanted)) {
    // A foreground opcode always clears blink, so a blinking target needs a toggle.
    image->push_back(target & 0x0F);
    if (blinkWanted) image->push_back(kImageBlink);
  } else if (blinkWanted && !blinkNow) {
    image->push_back(kImageBlink);
  }
  if ((*current & 0x70) != (target & 0x70)) {
    image->push_back(static_cast<uint8_t>(16 + ((target >> 4) & 0x07)));
  }
  *current = target;
}

}  // namespace

uint8_t ApplyColourCode(uint8_t attr, int code) {
  if (code < 16) return static_cast<uint8_t>((attr & 0x70) | code);
  if (code <= 23) return static_cast<uint8_t>((attr & 0x8F) | ((code - 16) << 4));
  if (code <= 39) return static_cast<uint8_t>((attr & 0x70) | 0x80 | (code - 24));
  if (code <= 49) return attr;
  return static_cast<uint8_t>((attr & 0x70) | 0x80 | ((code - 50) % 16));
}

bool ParseScreenSource(std::string_view utf8, ScreenCells* screen, std::string* error) {
  screen->cells.assign(static_cast<size_t>(kScreenColumns * kScreenRows), Cell{});
  uint8_t attr = 0;
  int lineNumber = 0;
  while (!utf8.empty()) {
    const size_t end = utf8.find('\n');
    std::string_view line = utf8.substr(0, end);
    utf8.remove_prefix(end == std::string_view::npos ? utf8.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++lineNumber;
    if (lineNumber > kScreenRows) {
      *error = Located(lineNumber, 1,
                       "a screen has " + std::to_string(kScreenRows) + " lines, this is one more");
      return false;
    }
    Cell* row = &screen->cells[static_cast<size_t>((lineNumber - 1) * kScreenColumns)];
    if (!ParseLine(line, lineNumber, &attr, row, error)) return false;
  }
  if (lineNumber != kScreenRows) {
    *error = Located(lineNumber + 1, 1,
                     "the source ends after " + std::to_string(lineNumber) + " lines, expected " +
                         std::to_string(kScreenRows));
    return false;
  }
  return true;
}

void AppendCharacters(std::vector<uint8_t>* image, uint8_t ch, size_t count) {
  while (count > 0) {
    const size_t take = std::min(count, kImageMaxRun);
    if (take < 3) {
      image->insert(image->end(), take, ch);
    } else if (ch == ' ') {
      image->push_back(kImageSpaces);
      image->push_back(static_cast<uint8_t>(take - 1));
    } else {
      image->push_back(kImageRun);
      image->push_back(static_cast<uint8_t>(take - 1));
      image->push_back(ch);
    }
    count -= take;
  }
}

std::vector<uint8_t> CrunchScreen(const ScreenCells& screen) {
  std::vector<uint8_t> image;
  uint8_t attr = 0;
  for (int row = 0; row < kScreenRows; ++row) {
    // Runs stay within their row: the painter advances the column past a run but
    // keeps the row, so a run crossing the right edge would misplace what follows.
    int column = 0;
    while (column < kScreenColumns) {
      const Cell& first = screen.At(column, row);
      int end = column + 1;
      while (end < kScreenColumns && screen.At(end, row) == first) ++end;
      AppendAttribute(&image, &attr, first.attr);
      AppendCharacters(&image, first.ch, static_cast<size_t>(end - column));
      column = end;
    }
    image.push_back(kImageNewRow);
  }
  return image;
}

}  // namespace torvex
