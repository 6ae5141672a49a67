// A browser run on a headless console over real item files in a temporary
// data directory, with helpers to script keys and read what was shown.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "browsers/browser_frame.h"
#include "database/records/records.h"
#include "database/settings.h"
#include "platform/terminal/headless_display.h"
#include "tests/console/console_test_util.h"
#include "tests/database/record_files.h"

namespace torvex::testing {

// Text a detail screen should show at (column, row), 1-based, and the
// foreground colour of its first cell (-1: not checked).
struct ExpectedText {
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
  void ExpectTexts(const std::vector<ExpectedText>& texts) const {
    for (const ExpectedText& t : texts) {
      EXPECT_EQ(At(t.column, t.row, static_cast<int>(t.text.size())), t.text)
          << "column " << t.column << " row " << t.row;
      if (t.fg >= 0) {
        EXPECT_EQ(hc.Attr(t.column, t.row) & 0x0F, t.fg) << "colour at row " << t.row;
      }
    }
  }
  // Nothing written ran over the frame's right edge (column 80) on rows 2 to
  // `lastRow`: a │ there, or a ┤ on the rows in `tees`.
  void ExpectRightEdge(std::initializer_list<int> tees, int lastRow) const {
    for (int row = 2; row <= lastRow; ++row) {
      const bool tee = std::find(tees.begin(), tees.end(), row) != tees.end();
      EXPECT_EQ(hc.console.CellAt(79, row - 1).ch, tee ? 0xB4 : 0xB3) << "row " << row;
    }
  }
  // The record number a detail screen shows at (18, 2).
  std::string NumberShown() const {
    const std::string text = At(18, 2, 10);
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
