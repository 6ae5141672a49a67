#include "console/read_line.h"

#include "console/keys.h"

namespace torvex {

std::string ReadLine(Console& console, size_t maxLength) {
  std::string line;
  for (;;) {
    const int key = ReadWholeKey(console);
    if (key::IsExtended(key)) continue;
    if (key == key::kEnter) break;
    if (key == key::kBackspace) {
      if (line.empty()) continue;
      line.pop_back();
      if (console.WhereX() > 1) {
        console.Write("\b \b");
      } else if (console.WhereY() > 1) {
        // The character sits at the end of the row above; writing the blank
        // there wraps the cursor, so it is placed again afterwards.
        const int column = console.WindowWidth(), row = console.WhereY() - 1;
        console.GotoXY(column, row);
        console.Write(" ");
        console.GotoXY(column, row);
      }
      continue;
    }
    if (key < 32 || key == 127 || line.size() >= maxLength) continue;
    line += static_cast<char>(key);
    const bool raw = console.RawOutput();
    console.SetRawOutput(true);
    console.Write(std::string(1, static_cast<char>(key)));
    console.SetRawOutput(raw);
  }
  console.Write("\r\n");
  return line;
}

}  // namespace torvex
