// Any bytes as a record, painted by every detail screen: the first byte picks
// the screen, the rest is the record (short records read as zeros). A painter
// must neither crash nor write outside its screen: the frame's top row and left
// edge, which no value is written to, must look exactly as the empty record
// left them (a write past the last cell would scroll them away). The text-block
// screen writes its text from the left edge of rows 5 to 47; there only the
// rows above and below the text are held to that.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>

#include "browsers/active_monster_browser.h"
#include "browsers/gang_browser.h"
#include "browsers/item_browser.h"
#include "browsers/item_owner_browser.h"
#include "browsers/message_browser.h"
#include "browsers/monster_browser.h"
#include "browsers/race_class_browser.h"
#include "browsers/room_browser.h"
#include "browsers/shop_browser.h"
#include "browsers/spell_browser.h"
#include "browsers/text_block_browser.h"
#include "database/settings.h"
#include "platform/terminal/headless_display.h"

namespace {

using Painter = void (*)(torvex::Console&, std::span<const uint8_t>);

struct Screen {
  Painter paint;
  // Rows (1-based) whose left edge the painter writes values to; none when
  // firstTextRow is 0.
  int firstTextRow = 0, lastTextRow = 0;
};

constexpr Screen kPainters[] = {
    {torvex::ShowItemDetail},      {torvex::ShowItemExtended},
    {torvex::ShowMonsterDetail},   {torvex::ShowMonsterExtended},
    {torvex::ShowSpellDetail},     {torvex::ShowRaceDetail},
    {torvex::ShowClassDetail},     {torvex::ShowShopDetail},
    {torvex::ShowMessageDetail},   {torvex::ShowGangDetail},
    {torvex::ShowItemOwnerDetail}, {torvex::ShowActiveMonsterDetail},
    {torvex::ShowRoomDetail},      {torvex::ShowRoomItems},
    {torvex::ShowRoomMonsters},    {torvex::ShowTextBlockDetail, 5, 47},
};
constexpr size_t kCount = sizeof(kPainters) / sizeof(kPainters[0]);

// The cells `screen` writes no value to.
std::vector<torvex::Cell> Edges(const torvex::Console& console, const Screen& screen) {
  std::vector<torvex::Cell> cells;
  for (int x = 0; x < 80; ++x) cells.push_back(console.CellAt(x, 0));
  for (int y = 1; y < 50; ++y) {
    if (y + 1 >= screen.firstTextRow && y + 1 <= screen.lastTextRow) continue;
    cells.push_back(console.CellAt(0, y));
  }
  return cells;
}

bool Same(const std::vector<torvex::Cell>& a, const std::vector<torvex::Cell>& b) {
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].ch != b[i].ch || a[i].attr != b[i].attr) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static torvex::HeadlessDisplay display;
  static torvex::Console console(display, 80, 50);
  // Look-ups of other records find an empty directory, quickly.
  static const bool once = [] {
    const auto dir = std::filesystem::temp_directory_path() / "detail_screen_fuzz";
    std::filesystem::create_directories(dir);
    torvex::CurrentDatabaseSettings().dataDirectory = dir.string() + "/";
    return true;
  }();
  (void)once;
  static std::vector<std::vector<torvex::Cell>> expected = [] {
    std::vector<std::vector<torvex::Cell>> all;
    const uint8_t zeros[1] = {0};
    for (const Screen& screen : kPainters) {
      screen.paint(console, std::span<const uint8_t>(zeros, 0));
      all.push_back(Edges(console, screen));
    }
    return all;
  }();
  if (size == 0) return 0;
  const size_t which = data[0] % kCount;
  kPainters[which].paint(console, std::span<const uint8_t>(data + 1, size - 1));
  if (!Same(Edges(console, kPainters[which]), expected[which])) std::abort();
  return 0;
}
