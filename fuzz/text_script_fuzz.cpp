// Runs arbitrary text as a text-block script, with answers scripted as keys.
// The first byte picks the debugging options and how the text is run (as a
// plain block, a room command block, a random block, or shown and listed);
// the second picks the answers; the rest is the block's readable text, served
// from memory for blocks 1 to 8 (parts 0 and 1) so that scripts can call each
// other. Every run must end (bounded depth and length, or the key script runs
// out) with the cursor and window on the screen and the ANSI writer plain.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/ansi_writer.h"
#include "database/records/text_block_text.h"
#include "database/settings.h"
#include "platform/terminal/headless_display.h"
#include "simulators/rules.h"
#include "walker/session.h"
#include "walker/text_script.h"

namespace {

using namespace torvex;

void CheckOnScreen(const Console& console) {
  const Frame frame = console.CurrentFrame();
  if (frame.cursorX < 0 || frame.cursorX >= frame.width || frame.cursorY < 0 ||
      frame.cursorY >= frame.height) {
    std::abort();
  }
  if (console.WindowWidth() < 1 || console.WindowHeight() < 1) std::abort();
}

// Records are looked up in a directory that does not exist: every message,
// item, spell and monster is missing, quickly.
void PointAtNoFiles() {
  static const bool done = [] {
    CurrentDatabaseSettings().dataDirectory = "/nonexistent/torvex-text-script-fuzz/";
    return true;
  }();
  (void)done;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  PointAtNoFiles();
  const uint8_t how = data[0];
  const uint8_t answers = data[1];
  const std::string text(reinterpret_cast<const char*>(data + 2),
                         std::min<size_t>(size - 2, TextBlockRecord::kTextCapacity - 1));

  HeadlessDisplay display;
  Console console(display, 80, 50);
  constexpr std::string_view kKeys = "yYnN x\r";
  for (int i = 0; i < 24; ++i) {
    const int pick = (answers >> (i % 8)) + i;
    display.PushText(std::string(
        1, (how & 0x40) != 0 && i == answers % 24 ? '\x1b' : kKeys[pick % kKeys.size()]));
  }

  WalkerSession session;
  session.options.debugging = how & 7;
  SetTextBlockReader([&text](uint32_t block, uint16_t part, TextBlockRecord& record) -> int32_t {
    if (block == 0 || block > 8 || part > 1) return 4;
    record.setBlockNumber(block);
    record.setPart(part);
    record.setLinkTo(block % 8 + 1);
    record.setText(EncodeStoredText(text));
    return 0;
  });
  InstallTextBlockRunner(console, session);

  uint32_t map = 1;
  uint32_t room = 1;
  try {
    switch ((how >> 3) & 3) {
      case 0:
        RunTextBlock(console, session, 1, 0, map, room);
        break;
      case 1: {
        const std::string_view first = std::string_view(text).substr(0, text.find_first_of(":\n"));
        RunRoomCommand(console, session, 1, first, map, room);
        break;
      }
      case 2:
        RunRandomBlock(console, session, 1, map, room);
        break;
      default:
        ShowTextBlock(console, 1, 0, true, (how & 0x80) != 0);
        if (!ProgramAnsiWriter().InPlainText()) std::abort();
        ListRoomCommands(console, 1);
        break;
    }
  } catch (const KeyScriptExhausted&) {
    // The script asked more than the answers scripted; the run ends here.
  }
  CheckOnScreen(console);
  FinishAnsiDisplay(console);
  CheckOnScreen(console);

  SetTextBlockRunner({});
  SetTextBlockReader({});
  return 0;
}
