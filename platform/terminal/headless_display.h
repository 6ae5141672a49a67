// A Display with no terminal behind it, for tests: keys come from a script, and
// every Present keeps a copy of the frame so that a test can read what the user
// would have seen at each key wait.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/terminal/display.h"

namespace torvex {

// Thrown by ReadKeyEvent when a test's key script has run out while the program
// still waits without a time-out: the test would otherwise hang.
class KeyScriptExhausted : public std::runtime_error {
 public:
  KeyScriptExhausted() : std::runtime_error("key script exhausted") {}
};

class HeadlessDisplay : public Display {
 public:
  struct Snapshot {
    int width = 0, height = 0;
    std::vector<Cell> cells;
    int cursorX = 0, cursorY = 0, cursorSize = 0;

    const Cell& At(int x, int y) const { return cells[static_cast<size_t>(y * width + x)]; }
    // Row `y` (0-based) as CP437 text, `width` characters.
    std::string Row(int y) const;
    // `length` characters of row `y` from column `x` (0-based).
    std::string Text(int x, int y, int length) const;
  };

  // Script: queued key events, consumed in order by ReadKeyEvent.
  void PushKey(const KeyEvent& event) { keys_.push_back(event); }
  // Queues each character of `text` as a typed character (letters and digits
  // with their key identity, like a terminal would report them).
  void PushText(std::string_view text);
  // Queues a special key: vk code and modifiers.
  void PushVk(uint16_t vkCode, uint8_t mods = 0, uint8_t ch = 0) {
    keys_.push_back({vkCode, mods, ch});
  }
  size_t PendingKeys() const { return keys_.size(); }

  void Present(const Frame& frame) override;
  bool ReadKeyEvent(KeyEvent* event, int timeoutMs) override;
  void SetTitle(std::string_view title) override {
    title_ = title;
    ++titleSets_;
  }
  void Bell() override { ++bells_; }
  void Maximize() override { ++maximizes_; }
  void RequestSize(int columns, int rows) override {
    requestedColumns_ = columns;
    requestedRows_ = rows;
  }

  // The frame of the last Present.
  const Snapshot& Last() const { return last_; }
  // Frames presented at key waits, oldest first (one per ReadKeyEvent call).
  const std::vector<Snapshot>& AtKeyWaits() const { return atKeyWaits_; }
  int Presents() const { return presents_; }
  const std::string& Title() const { return title_; }
  int TitleSets() const { return titleSets_; }
  int Bells() const { return bells_; }
  int Maximizes() const { return maximizes_; }
  // Simulated milliseconds spent in ReadKeyEvent time-outs.
  long WaitedMillis() const { return waitedMillis_; }

 private:
  std::deque<KeyEvent> keys_;
  Snapshot last_;
  std::vector<Snapshot> atKeyWaits_;
  int presents_ = 0;
  std::string title_;
  int titleSets_ = 0;
  int bells_ = 0;
  int maximizes_ = 0;
  int requestedColumns_ = 0, requestedRows_ = 0;
  long waitedMillis_ = 0;
};

}  // namespace torvex
