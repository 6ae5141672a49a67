// Writes arbitrary bytes as game text through the ANSI writer onto consoles of
// two sizes, split into two writes at a point the input chooses, then ends the
// display. Every cursor position and window must stay on the screen.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "console/ansi_writer.h"
#include "platform/terminal/headless_display.h"

namespace {

void CheckOnScreen(const torvex::Console& console) {
  const torvex::Frame frame = console.CurrentFrame();
  if (frame.cursorX < 0 || frame.cursorX >= frame.width || frame.cursorY < 0 ||
      frame.cursorY >= frame.height) {
    std::abort();
  }
  if (console.WindowWidth() < 1 || console.WindowWidth() > console.ScreenWidth() ||
      console.WindowHeight() < 1 || console.WindowHeight() > console.ScreenHeight()) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const size_t split = size == 0 ? 0 : data[0] % (size + 1);
  torvex::HeadlessDisplay display;
  for (const auto& [columns, rows] : {std::pair{80, 50}, std::pair{40, 14}}) {
    torvex::Console console(display, columns, rows);
    torvex::AnsiWriter writer;
    writer.SetReportHandler([](int code) {
      if (code < 2 || code > 4) std::abort();
    });
    writer.Write(console, text.substr(0, split));
    CheckOnScreen(console);
    writer.WriteLn(console, text.substr(split));
    CheckOnScreen(console);
    writer.FinishDisplay(console);
    CheckOnScreen(console);
    if (!writer.InPlainText()) std::abort();
    // After the end of a display the next one starts from plain text.
    writer.Write(console, text);
    CheckOnScreen(console);
  }
  return 0;
}
