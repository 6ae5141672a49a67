#include "browsers/detail_writer.h"

#include "console/colour_text.h"
#include "console/format.h"
#include "database/ability_names.h"

namespace torvex {

void PaintDetailScreen(Console& console, const screens::ScreenImage& image) {
  console.SetTextAttr(7);
  PaintScreenImage(console, image.data, image.size);
}

void WriteValueAt(Console& console, int column, int row, std::string_view text, int lastColumn) {
  const int room = lastColumn - column + 1;
  if (room <= 0) return;
  if (text.size() > static_cast<size_t>(room)) text = text.substr(0, static_cast<size_t>(room));
  console.GotoXY(column, row);
  console.TextColor(kValueColour);
  const bool raw = console.RawOutput();
  console.SetRawOutput(true);
  console.Write(text);
  console.SetRawOutput(raw);
}

std::string ClipColourText(std::string_view text, int columns) {
  std::string out;
  int used = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '|' && i + 1 < text.size() && text[i + 1] == '|') {
      if (used == columns) break;
      out.append("||");
      ++used;
      i += 2;
    } else if (text[i] == '|') {
      // The writer takes the two bytes after a bar as a code, whatever they are.
      out.append(text.substr(i, 3));
      i += 3;
    } else {
      if (used == columns) break;
      out.push_back(text[i]);
      ++used;
      ++i;
    }
  }
  return out;
}

size_t ColourTextColumns(std::string_view text) {
  size_t columns = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '|' && i + 1 < text.size() && text[i + 1] == '|') {
      i += 2;
    } else if (text[i] == '|') {
      // As in ClipColourText: the two bytes after a bar are a code, whatever they are.
      i += 3;
      continue;
    } else {
      ++i;
    }
    ++columns;
  }
  return columns;
}

void WriteColourClipped(Console& console, int column, int row, std::string_view text,
                        int lastColumn) {
  const int room = lastColumn - column + 1;
  if (room <= 0) return;
  const bool raw = console.RawOutput();
  console.SetRawOutput(true);
  WriteColourAt(console, column, row, ClipColourText(text, room));
  console.SetRawOutput(raw);
}

std::string AbilityRowHead(uint16_t ability, int16_t value) {
  return Format("|08(|09%.4x|01:|09%.4x|08) ", ability, static_cast<uint16_t>(value)) +
         ColourCodes(static_cast<int>(AbilityColour(ability)));
}

std::string AbilityRowText(uint16_t ability, int16_t value) {
  return AbilityRowHead(ability, value) + AbilityText(ability, value);
}

}  // namespace torvex
