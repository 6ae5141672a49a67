#include "console/read_line.h"

namespace torvex {

std::string ReadLine(Console& console, size_t maxLength) {
  std::string line;
  for (;;) {
    const uint8_t key = console.ReadKey();
    if (key == 0) {
      console.ReadKey();  // an extended key's scan code: nothing to do here
      continue;
    }
    if (key == '\r') break;
    if (key == 8) {
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
