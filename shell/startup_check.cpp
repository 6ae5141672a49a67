#include "shell/startup_check.h"

#include <cctype>

#include "console/colour_text.h"
#include "console/keys.h"
#include "console/format.h"
#include "database/btrieve_layer.h"
#include "screens/screens.h"

namespace torvex {

bool RunStartupCheck(Console& console, const std::string& iniPath,
                     const DatabaseSettings& settings, const std::string& notice) {
  console.SetCursorStyle(kCursorHidden);
  console.SetTextAttr(7);
  console.ClrScr();
  PaintScreenImage(console, screens::kStartupCheck.data, screens::kStartupCheck.size);
  WriteColourAt(console, 4, 21, Format("|15%s", iniPath.c_str()));
  const std::string& dir = settings.dataDirectory;
  WriteColourAt(console, 4, 23, Format("|15%s", dir.empty() ? "<blank>" : dir.c_str()));
  if (!notice.empty()) WriteColourAt(console, 4, 24, Format("|12%s", notice.c_str()));

  bool allOpened = true;
  int row = 26;
  for (const char* name : kCheckedFiles) {
    ++row;
    WriteColourAt(console, 3, row,
                  Format("|15%s.%s", name, DatabaseExtension(settings).c_str()));
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
      WriteColourAt(console, 3, 39,
                    "|15<PRESS ANY KEY TO CONTINUE>" + std::string(47, ' '));
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
