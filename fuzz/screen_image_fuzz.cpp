// Paints arbitrary bytes as a crunched screen image on consoles of a few sizes.
#include <cstddef>
#include <cstdint>

#include "console/colour_text.h"
#include "platform/terminal/headless_display.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static torvex::HeadlessDisplay display;
  static torvex::Console small(display, 40, 14);
  static torvex::Console screen(display, 80, 50);
  torvex::PaintScreenImage(small, data, size);
  torvex::PaintScreenImage(screen, data, size);
  // Colour-code text over the same bytes exercises the writer's code parsing.
  torvex::WriteColour(small, std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
