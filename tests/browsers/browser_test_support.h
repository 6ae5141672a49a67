// A browser run on a headless console over real item files in a temporary
// data directory, with helpers to script keys and read what was shown.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "browsers/browser_frame.h"
#include "database/records/records.h"
#include "database/settings.h"
#include "platform/terminal/headless_display.h"
#include "tests/console/console_test_util.h"
#include "tests/database/record_files.h"

namespace torvex::testing {

// What a screen should show from (column, row), and the colour of its first
// cell unless `fg` is negative.
struct CellCheck {
  int column, row;
  std::string text;
  int fg = -1;
};

class BrowserTest : public RecordFilesTest {
 protected:
  void SetUp() override {
    RecordFilesTest::SetUp();
    savedMacros_ = CurrentSettings().macros;
  }
  void TearDown() override {
    CurrentSettings().macros = savedMacros_;
    RecordFilesTest::TearDown();
  }

  static ItemRecord Item(uint32_t number, const std::string& name = "") {
    ItemRecord item;
    item.setNumber(number);
    item.setName(name.empty() ? "item " + std::to_string(number) : name);
    return item;
  }
  // Creates the item file with these records, inserted in this (physical) order.
  void MakeItems(const std::vector<ItemRecord>& items) {
    std::vector<std::vector<uint8_t>> records;
    for (const ItemRecord& item : items) records.push_back(Bytes(item));
    MakeFile(kItemFile, records);
  }

  // Key script.
  void Keys(std::string_view text) { hc.display.PushText(text); }
  void Vk(uint16_t code, uint8_t mods = 0, uint8_t ch = 0) { hc.display.PushVk(code, mods, ch); }

  // How many key waits showed a window with this title.
  int WindowsTitled(const std::string& title) const {
    int n = 0;
    for (const auto& snap : hc.display.AtKeyWaits()) {
      for (int y = 0; y < snap.height; ++y) {
        if (snap.Row(y).find("[" + title + "]") != std::string::npos) {
          ++n;
          break;
        }
      }
    }
    return n;
  }
  // Whether any key wait showed `text` anywhere.
  bool EverShown(const std::string& text) const {
    for (const auto& snap : hc.display.AtKeyWaits()) {
      for (int y = 0; y < snap.height; ++y) {
        if (snap.Row(y).find(text) != std::string::npos) return true;
      }
    }
    return false;
  }

  std::string At(int column, int row, int length) const { return hc.Text(column, row, length); }
  int Fg(int column, int row) const { return hc.Attr(column, row) & 0x0F; }
  void ExpectCells(std::span<const CellCheck> cells) const {
    for (const CellCheck& c : cells) {
      EXPECT_EQ(At(c.column, c.row, static_cast<int>(c.text.size())), c.text)
          << "column " << c.column << " row " << c.row;
      if (c.fg >= 0) {
        EXPECT_EQ(Fg(c.column, c.row), c.fg) << "column " << c.column << " row " << c.row;
      }
    }
  }
  void ExpectCells(std::initializer_list<CellCheck> cells) const {
    ExpectCells(std::span(cells.begin(), cells.size()));
  }
  // The frame's right edge from row 2 to `last`, a tee on the rows `tees`:
  // anything written past its field's room would show here.
  void ExpectRightEdge(int last, std::initializer_list<int> tees = {}) const {
    for (int row = 2; row <= last; ++row) {
      const bool tee = std::find(tees.begin(), tees.end(), row) != tees.end();
      EXPECT_EQ(hc.console.CellAt(79, row - 1).ch, tee ? 0xB4 : 0xB3) << "row " << row;
    }
  }
  // The record number the detail screen shows at column 18 of row 2.
  std::string NumberShown() const {
    const std::string text = At(18, 2, 12);
    return text.substr(0, text.find(' '));
  }

  HeadlessConsole hc;

 private:
  std::array<std::array<std::string, kMacroSlots>, kMacroKinds> savedMacros_;
};

// Runs a test's body in a fresh working directory.
class InTempDirectory {
 public:
  explicit InTempDirectory(const std::string& dir) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~InTempDirectory() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
};

}  // namespace torvex::testing
