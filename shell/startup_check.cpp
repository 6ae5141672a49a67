#include "shell/startup_check.h"

#include <cctype>

#include "console/colour_text.h"
#include "console/format.h"
#include "console/keys.h"
#include "database/btrieve_layer.h"
#include "screens/screens.h"

namespace torvex {
namespace {

// Writes `text` as it is (a bar in a path is no colour code) in `attr`, cut to
// the frame's inside from its start.
void WriteFieldAt(Console& console, int row, uint8_t attr, std::string_view text) {
  console.GotoXY(kCheckFieldColumn, row);
  console.SetTextAttr(attr);
  const bool raw = console.RawOutput();
  console.SetRawOutput(true);
  console.Write(ElideStart(text, kCheckFieldWidth));
  console.SetRawOutput(raw);
}

}  // namespace

std::string ElideStart(std::string_view text, size_t width) {
  if (text.size() <= width) return std::string(text);
  if (width <= 3) return std::string(width, '.');
  return "..." + std::string(text.substr(text.size() - (width - 3)));
}

bool RunStartupCheck(Console& console, const std::string& iniPath, const DatabaseSettings& settings,
                     const std::string& notice) {
  console.SetCursorStyle(kCursorHidden);
  console.SetTextAttr(7);
  console.ClrScr();
  PaintScreenImage(console, screens::kStartupCheck.data, screens::kStartupCheck.size);
  WriteFieldAt(console, 21, 15, iniPath);
  const std::string& dir = settings.dataDirectory;
  WriteFieldAt(console, 23, 15, dir.empty() ? "<blank>" : dir);
  if (!notice.empty()) WriteFieldAt(console, 24, 12, notice);

  bool allOpened = true;
  int row = 26;
  for (const char* name : kCheckedFiles) {
    ++row;
    WriteColourAt(console, 3, row, Format("|15%s.%s", name, DatabaseExtension(settings).c_str()));
    console.Flush();  // show the file being tried while a slow disk answers
    const int16_t status = ProbeBtrieveFile(DatabasePath(settings, name));
    if (status == 0) {
      WriteColourAt(console, 27, row, "|10Success!   ");
    } else {
      WriteColourAt(console, 27, row, Format("|12Failure! (Error: %d)", status));
      allOpened = false;
    }
  }

  if (allOpened) {
    WriteColourAt(console, 27, 38, "|10Success!   ");
    WriteColourAt(console, 3, 39,
                  "|15<PRESS \"Z\" TO WAIT, PRESS ANY OTHER KEY TO CONTINUE, OR WAIT TEN SECONDS>");
    int key = 0;
    const bool pressed = ReadWholeKeyWithin(console, 10000, &key);
    if (pressed && key::Upper(key) == 'Z') {
      WriteColourAt(console, 3, 39, "|15<PRESS ANY KEY TO CONTINUE>" + std::string(47, ' '));
      ReadWholeKey(console);
    }
  } else {
    WriteColourAt(console, 27, 38, "|12Failure!   ");
    WriteColourAt(console, 3, 39, "|12<PRESS ANY KEY TO CONTINUE>");
    ReadWholeKey(console);
  }
  console.SetCursorStyle(kCursorSmall);
  return allOpened;
}

}  // namespace torvex
