#include "platform/terminal/headless_display.h"

#include <cctype>

namespace torvex {

std::string HeadlessDisplay::Snapshot::Row(int y) const {
  return Text(0, y, width);
}

std::string HeadlessDisplay::Snapshot::Text(int x, int y, int length) const {
  std::string out;
  for (int i = 0; i < length && x + i < width; ++i) out += static_cast<char>(At(x + i, y).ch);
  return out;
}

void HeadlessDisplay::PushText(std::string_view text) {
  for (unsigned char c : text) {
    KeyEvent ev;
    ev.ch = c;
    if (std::isalpha(c)) {
      ev.vk = static_cast<uint16_t>(std::toupper(c));
      if (std::isupper(c)) ev.mods = kShift;
    } else if (std::isdigit(c)) {
      ev.vk = c;
    } else if (c == ' ') {
      ev.vk = vk::kSpace;
    } else if (c == '\r') {
      ev.vk = vk::kReturn;
    } else if (c == 27) {
      ev.vk = vk::kEscape;
    } else if (c == 8) {
      ev.vk = vk::kBack;
    } else if (c == '\t') {
      ev.vk = vk::kTab;
    }
    keys_.push_back(ev);
  }
}

void HeadlessDisplay::Present(const Frame& frame) {
  ++presents_;
  last_.width = frame.width;
  last_.height = frame.height;
  last_.cells.assign(frame.cells, frame.cells + static_cast<size_t>(frame.width * frame.height));
  last_.cursorX = frame.cursorX;
  last_.cursorY = frame.cursorY;
  last_.cursorSize = frame.cursorSize;
}

bool HeadlessDisplay::ReadKeyEvent(KeyEvent* event, int timeoutMs) {
  atKeyWaits_.push_back(last_);
  if (keys_.empty()) {
    if (timeoutMs < 0) throw KeyScriptExhausted();
    waitedMillis_ += timeoutMs;
    return false;
  }
  *event = keys_.front();
  keys_.pop_front();
  return true;
}

}  // namespace torvex
