#include "platform/terminal/renderer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "platform/terminal/cp437.h"

namespace torvex {
namespace {

static_assert(sizeof(Cell) == 2, "rows are compared with memcmp");

// PC colour order (blue before red) to ANSI colour order (red before blue).
constexpr int kAnsiColour[8] = {0, 4, 2, 6, 1, 5, 3, 7};

struct Glyphs {
  std::array<std::string, 256> utf8;
  Glyphs() {
    for (int i = 0; i < 256; ++i) AppendUtf8(utf8[i], Cp437Glyph(static_cast<uint8_t>(i)));
  }
};

const std::string& GlyphUtf8(uint8_t ch) {
  static const Glyphs glyphs;
  return glyphs.utf8[ch];
}

void AppendNumber(std::string* out, int n) {
  char buf[16];
  const int len = std::snprintf(buf, sizeof buf, "%d", n);
  out->append(buf, static_cast<size_t>(len));
}

// Appends the SGR sequence that changes the drawing attribute from `from`
// (-1: unknown) to `to`, naming only what differs.
void AppendSgr(int from, uint8_t to, std::string* out) {
  const int fg = to & 15, bg = (to >> 4) & 7;
  const bool blink = (to & 0x80) != 0;
  const int fgCode = fg < 8 ? 30 + kAnsiColour[fg] : 90 + kAnsiColour[fg - 8];
  const int bgCode = 40 + kAnsiColour[bg];
  *out += "\x1b[";
  if (from < 0) {
    *out += "0;";
    AppendNumber(out, fgCode);
    *out += ';';
    AppendNumber(out, bgCode);
    if (blink) *out += ";5";
  } else {
    bool first = true;
    auto part = [&](int code) {
      if (!first) *out += ';';
      AppendNumber(out, code);
      first = false;
    };
    if ((from & 15) != fg) part(fgCode);
    if (((from >> 4) & 7) != bg) part(bgCode);
    if (((from & 0x80) != 0) != blink) part(blink ? 5 : 25);
  }
  *out += 'm';
}

}  // namespace

std::string Renderer::SmallTerminalNotice(int columns, int rows, int needColumns, int needRows) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "Terminal is %dx%d; Torvex needs %dx%d -- enlarge the window",
                columns, rows, needColumns, needRows);
  return buf;
}

void Renderer::SetTerminalSize(int columns, int rows) {
  if (columns <= 0 || rows <= 0) columns = rows = 0;
  if (columns == termColumns_ && rows == termRows_) return;
  termColumns_ = columns;
  termRows_ = rows;
  valid_ = false;
}

void Renderer::MoveTo(int x, int y, std::string* out) {
  if (curKnown_ && curY_ == y) {
    if (curX_ == x) return;
    if (x == 0) {
      *out += '\r';
    } else if (x > curX_) {
      *out += "\x1b[";
      if (x - curX_ > 1) AppendNumber(out, x - curX_);
      *out += 'C';
    } else {
      *out += "\x1b[";
      if (curX_ - x > 1) AppendNumber(out, curX_ - x);
      *out += 'D';
    }
  } else if (curKnown_ && y == curY_ + 1 && x == 0) {
    // The row below exists (the caller only moves inside the terminal), so the
    // line feed cannot scroll.
    *out += "\r\n";
  } else {
    *out += "\x1b[";
    if (y > 0 || x > 0) AppendNumber(out, y + 1);
    if (x > 0) {
      *out += ';';
      AppendNumber(out, x + 1);
    }
    *out += 'H';
  }
  curX_ = x;
  curY_ = y;
  curKnown_ = true;
}

void Renderer::SetAttr(uint8_t attr, std::string* out) {
  if (sgr_ == attr) return;
  AppendSgr(sgr_, attr, out);
  sgr_ = attr;
}

void Renderer::PutCell(const Cell& cell, std::string* out) {
  SetAttr(cell.attr, out);
  *out += GlyphUtf8(cell.ch);
  ++curX_;
  // After the last column terminals wait to wrap and disagree on where the
  // cursor then is; the next move is made absolute.
  if (termColumns_ > 0 && curX_ >= termColumns_) curKnown_ = false;
}

void Renderer::Render(const Frame& frame, std::string* out) {
  const int width = std::max(frame.width, 0), height = std::max(frame.height, 0);
  const size_t cellCount = static_cast<size_t>(width) * static_cast<size_t>(height);
  bool full = !valid_ || width != shownWidth_ || height != shownHeight_;

  // What fits: the frame's columns and rows, less a row for the notice when the
  // terminal is too small.
  int columns = width, rows = height, noticeRow = -1;
  if (termColumns_ > 0 && (termColumns_ < width || termRows_ < height)) {
    columns = std::min(width, termColumns_);
    noticeRow = termRows_ > height ? height : termRows_ - 1;
    rows = std::min(height, noticeRow);
  }

  if (full) {
    *out += "\x1b[0m\x1b[H\x1b[2J";
    sgr_ = -1;
    curX_ = curY_ = 0;
    curKnown_ = true;
    shown_.assign(cellCount, Cell{});
    shownWidth_ = width;
    shownHeight_ = height;
    valid_ = true;
    if (noticeRow >= 0) {
      std::string notice = SmallTerminalNotice(termColumns_, termRows_, width, height);
      notice.resize(static_cast<size_t>(termColumns_), ' ');
      MoveTo(0, noticeRow, out);
      for (char c : notice) PutCell({static_cast<uint8_t>(c), kNoticeAttr}, out);
    }
  }

  for (int y = 0; y < rows; ++y) {
    const Cell* src = frame.cells + static_cast<size_t>(y) * width;
    Cell* seen = shown_.data() + static_cast<size_t>(y) * width;
    if (!full && std::memcmp(src, seen, sizeof(Cell) * static_cast<size_t>(columns)) == 0) {
      continue;
    }
    auto changed = [&](int x) { return full || !(src[x] == seen[x]); };
    int x = 0;
    while (x < columns) {
      if (!changed(x)) {
        ++x;
        continue;
      }
      MoveTo(x, y, out);
      for (;;) {
        PutCell(src[x], out);
        seen[x] = src[x];
        ++x;
        if (x >= columns || changed(x)) {
          if (x >= columns) break;
          continue;
        }
        // Unchanged cells ahead: rewrite them when that is shorter than a cursor
        // move over them and needs no colour change.
        int next = x;
        size_t gapBytes = 0;
        bool sameAttr = true;
        while (next < columns && !changed(next) && next - x < 8) {
          gapBytes += GlyphUtf8(src[next].ch).size();
          sameAttr = sameAttr && src[next].attr == sgr_;
          ++next;
        }
        const size_t moveBytes = next - x == 1 ? 3 : 4;
        if (next >= columns || !changed(next) || !sameAttr || gapBytes > moveBytes) break;
        while (x < next) {
          PutCell(src[x], out);
          ++x;
        }
      }
    }
  }

  const bool cursorVisible = frame.cursorSize > 0 && frame.cursorX >= 0 &&
                             frame.cursorX < columns && frame.cursorY >= 0 && frame.cursorY < rows;
  if (cursorVisible) {
    // DECSCUSR 1 is a blinking block, 3 a blinking underline.
    const int shape = frame.cursorSize >= 50 ? 1 : 3;
    if (shape != cursorShape_) {
      *out += "\x1b[";
      AppendNumber(out, shape);
      *out += " q";
      cursorShape_ = shape;
    }
    MoveTo(frame.cursorX, frame.cursorY, out);
    if (cursorShown_ != 1) *out += "\x1b[?25h";
    cursorShown_ = 1;
  } else if (cursorShown_ != 0) {
    *out += "\x1b[?25l";
    cursorShown_ = 0;
  }
}

void AppendFrameRows(const Frame& frame, int rows, int columns, std::string* out) {
  rows = std::min(rows, frame.height);
  const int width = columns > 0 ? std::min(frame.width, columns) : frame.width;
  for (int y = 0; y < rows; ++y) {
    const Cell* row = frame.cells + static_cast<size_t>(y) * frame.width;
    int end = width;
    while (end > 0 && (row[end - 1].ch == ' ' || row[end - 1].ch == 0) &&
           (row[end - 1].attr & 0xF0) == 0) {
      --end;
    }
    int sgr = -1;
    for (int x = 0; x < end; ++x) {
      if (row[x].attr != sgr) {
        AppendSgr(sgr, row[x].attr, out);
        sgr = row[x].attr;
      }
      *out += GlyphUtf8(row[x].ch);
    }
    *out += "\x1b[0m\r\n";
  }
}

}  // namespace torvex
