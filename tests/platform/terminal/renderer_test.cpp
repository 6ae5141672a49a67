#include "platform/terminal/renderer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/terminal/cp437.h"

namespace torvex {
namespace {

// A console-sized screen for the renderer to show.
struct Screen {
  int width, height;
  std::vector<Cell> cells;
  int cursorX = 0, cursorY = 0, cursorSize = 0;

  Screen(int w, int h) : width(w), height(h), cells(static_cast<size_t>(w * h)) {}
  Cell& At(int x, int y) { return cells[static_cast<size_t>(y * width + x)]; }
  void Put(int x, int y, const std::string& text, uint8_t attr) {
    for (size_t i = 0; i < text.size(); ++i) {
      At(x + static_cast<int>(i), y) = {static_cast<uint8_t>(text[i]), attr};
    }
  }
  Frame View() const { return {width, height, cells.data(), cursorX, cursorY, cursorSize}; }
};

// Every character and every colour pair somewhere on the screen.
Screen Varied(int w = 80, int h = 50) {
  Screen s(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int i = y * w + x;
      s.At(x, y) = {static_cast<uint8_t>(i % 256), static_cast<uint8_t>((i / 3) % 256)};
    }
  }
  return s;
}

std::string Render(Renderer& r, const Screen& s) {
  std::string out;
  r.Render(s.View(), &out);
  return out;
}

// --- An independent terminal emulator (pyte) to read back what was written.

struct EmulatedCell {
  long cp;
  int fg, bg;  // PC colour numbers; -1 for the terminal's default
};
struct Emulated {
  int columns = 0, rows = 0;
  std::vector<EmulatedCell> cells;
  int cursorX = -1, cursorY = -1;
  bool cursorVisible = false;
  const EmulatedCell& At(int x, int y) const { return cells[static_cast<size_t>(y * columns + x)]; }
};

bool HavePyte() {
  return access("/usr/bin/python3", X_OK) == 0 &&
         std::system("/usr/bin/python3 -c 'import pyte' >/dev/null 2>&1") == 0;
}

// pyte reports SGR 90-97 as the normal colour plus bold and, unlike a terminal,
// keeps the bold after SGR 30-37; the subclass makes 30-37 clear it again.
constexpr const char* kEmulator = R"(
import sys, pyte
class S(pyte.Screen):
    def select_graphic_rendition(self, *attrs, **kw):
        for a in (attrs or (0,)):
            super().select_graphic_rendition(a, **kw)
            if 30 <= a <= 37:
                self.cursor.attrs = self.cursor.attrs._replace(bold=False)
cols, rows = int(sys.argv[1]), int(sys.argv[2])
s = S(cols, rows)
pyte.ByteStream(s).feed(open(sys.argv[3], 'rb').read())
pc = {'black':0,'blue':1,'green':2,'cyan':3,'red':4,'magenta':5,'brown':6,'white':7}
for y in range(rows):
    out = []
    for x in range(cols):
        c = s.buffer[y][x]
        fg = pc.get(c.fg, -1); bg = pc.get(c.bg, -1)
        if fg >= 0 and c.bold: fg += 8
        out.append('%d,%d,%d' % (ord(c.data[0]) if c.data else 32, fg, bg))
    print(' '.join(out))
print(s.cursor.x, s.cursor.y, 0 if s.cursor.hidden else 1)
)";

Emulated Emulate(const std::string& bytes, int columns, int rows) {
  char scriptPath[] = "/tmp/torvex_pyte_XXXXXX";
  char dataPath[] = "/tmp/torvex_bytes_XXXXXX";
  const int sfd = mkstemp(scriptPath), dfd = mkstemp(dataPath);
  close(sfd);
  close(dfd);
  std::ofstream(scriptPath) << kEmulator;
  std::ofstream(dataPath, std::ios::binary) << bytes;
  const std::string cmd = std::string("/usr/bin/python3 ") + scriptPath + " " +
                          std::to_string(columns) + " " + std::to_string(rows) + " " + dataPath;
  Emulated e;
  e.columns = columns;
  e.rows = rows;
  FILE* p = popen(cmd.c_str(), "r");
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
  pclose(p);
  unlink(scriptPath);
  unlink(dataPath);
  std::istringstream in(text);
  for (int i = 0; i < columns * rows; ++i) {
    EmulatedCell c{};
    char comma;
    in >> c.cp >> comma >> c.fg >> comma >> c.bg;
    e.cells.push_back(c);
  }
  int visible = 0;
  in >> e.cursorX >> e.cursorY >> visible;
  e.cursorVisible = visible != 0;
  return e;
}

// Compares the emulated screen with `s` over `columns` x `rows`; returns the
// first differences.
std::string Differences(const Emulated& e, const Screen& s, int columns, int rows) {
  std::string out;
  int count = 0;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < columns; ++x) {
      const Cell& want = s.cells[static_cast<size_t>(y * s.width + x)];
      const EmulatedCell& got = e.At(x, y);
      const long cp = static_cast<long>(Cp437Glyph(want.ch));
      if (got.cp != cp || got.fg != (want.attr & 15) || got.bg != ((want.attr >> 4) & 7)) {
        if (++count <= 5) {
          char buf[128];
          snprintf(buf, sizeof buf, "(%d,%d) want U+%04lX %d/%d got U+%04lX %d/%d; ", x, y, cp,
                   want.attr & 15, (want.attr >> 4) & 7, got.cp, got.fg, got.bg);
          out += buf;
        }
      }
    }
  }
  if (count > 5) out += std::to_string(count) + " differences in all";
  return out;
}

#define REQUIRE_PYTE() \
  if (!HavePyte()) GTEST_SKIP() << "/usr/bin/python3 with pyte is not installed"

// --- Bytes

TEST(Renderer, UnchangedFrameWritesNothing) {
  Renderer r;
  Screen s = Varied();
  s.cursorSize = 25;
  EXPECT_FALSE(Render(r, s).empty());
  EXPECT_EQ(Render(r, s), "");
}

TEST(Renderer, OneChangedFieldWritesOnlyThatField) {
  Renderer r;
  Screen s(80, 50);
  s.Put(10, 5, "Name:", 0x07);
  Render(r, s);
  s.Put(20, 7, "Gandolin", 0x1E);  // yellow on blue
  const std::string out = Render(r, s);
  // Move to row 8, column 21, one colour change, the text; and nothing else.
  EXPECT_EQ(out, "\x1b[8;21H\x1b[93;44mGandolin");
  s.Put(20, 7, "Gandalin", 0x1E);
  EXPECT_EQ(Render(r, s), "\x1b[4Da");
}

TEST(Renderer, ColourChangesNameOnlyWhatDiffers) {
  Renderer r;
  Screen s(8, 1);
  s.Put(0, 0, "ab", 0x07);
  s.Put(2, 0, "cd", 0x0F);  // bright white: foreground only
  s.Put(4, 0, "e", 0x4F);   // red background: background only
  s.Put(5, 0, "f", 0xCF);   // blink added
  s.Put(6, 0, "g", 0x4F);   // blink removed
  s.Put(7, 0, "h", 0x01);   // blue on black
  const std::string out = Render(r, s);
  EXPECT_NE(out.find("\x1b[0;37;40mab\x1b[97mcd\x1b[41me\x1b[5mf\x1b[25mg\x1b[34;40mh"),
            std::string::npos)
      << out;
}

TEST(Renderer, ShortGapIsRewrittenRatherThanSkipped) {
  Renderer r;
  Screen s(20, 1);
  Render(r, s);
  s.Put(2, 0, "x", 0x07);
  s.Put(4, 0, "y", 0x07);   // one unchanged blank in between: cheaper to rewrite
  s.Put(15, 0, "z", 0x07);  // far away: a cursor move
  EXPECT_EQ(Render(r, s), "\x1b[18Dx y\x1b[10Cz");
}

TEST(Renderer, CursorShapeAndVisibility) {
  Renderer r;
  Screen s(10, 3);
  s.cursorX = 4;
  s.cursorY = 1;
  s.cursorSize = 25;
  std::string out = Render(r, s);
  EXPECT_NE(out.find("\x1b[3 q\x1b[2;5H\x1b[?25h"), std::string::npos);
  s.cursorSize = 99;
  s.cursorX = 5;
  EXPECT_EQ(Render(r, s), "\x1b[1 q\x1b[C");
  s.cursorSize = 0;
  EXPECT_EQ(Render(r, s), "\x1b[?25l");
}

TEST(Renderer, NewTerminalSizeRepaintsEverything) {
  Renderer r;
  Screen s = Varied(10, 4);
  Render(r, s);
  r.SetTerminalSize(100, 60);
  const std::string out = Render(r, s);
  EXPECT_EQ(out.rfind("\x1b[0m\x1b[H\x1b[2J", 0), 0u);
  EXPECT_EQ(Render(r, s), "");
  r.SetTerminalSize(100, 60);  // the same size again: nothing to do
  EXPECT_EQ(Render(r, s), "");
}

TEST(Renderer, FarewellRowsAreColouredLinesWithoutTrailingBlanks) {
  Screen s(10, 3);
  s.Put(0, 0, "Bye", 0x0E);
  s.Put(0, 1, "\xc9\xcd", 0x1F);
  s.Put(0, 2, "never", 0x07);
  std::string out;
  AppendFrameRows(s.View(), 2, 0, &out);
  EXPECT_EQ(out,
            "\x1b[0;93;40mBye\x1b[0m\r\n"
            "\x1b[0;97;44m\xe2\x95\x94\xe2\x95\x90\x1b[0m\r\n");
}

// --- Read back through a terminal emulator

TEST(RendererEmulated, FramesShowTheirCharactersAndColours) {
  REQUIRE_PYTE();
  Renderer r;
  r.SetTerminalSize(80, 50);
  Screen s = Varied();
  s.cursorX = 12;
  s.cursorY = 34;
  s.cursorSize = 25;
  std::string bytes = Render(r, s);
  Emulated e = Emulate(bytes, 80, 50);
  EXPECT_EQ(Differences(e, s, 80, 50), "");
  EXPECT_EQ(e.cursorX, 12);
  EXPECT_EQ(e.cursorY, 34);
  EXPECT_TRUE(e.cursorVisible);

  // A few updates of fields, colours and single cells, replayed after the first.
  s.Put(5, 3, "Level 12  Hits 140/140", 0x1F);
  s.Put(70, 49, "0123456789", 0x8C);  // bottom-right corner, blinking
  s.At(0, 0) = {0xDB, 0x74};
  s.At(79, 0) = {'!', 0x02};
  bytes += Render(r, s);
  for (int y = 10; y < 20; ++y) s.Put(30, y, "\xb0\xb1\xb2 \x01\x02", static_cast<uint8_t>(y));
  s.cursorSize = 0;
  bytes += Render(r, s);
  e = Emulate(bytes, 80, 50);
  EXPECT_EQ(Differences(e, s, 80, 50), "");
  EXPECT_FALSE(e.cursorVisible);
}

TEST(RendererEmulated, SmallTerminalShowsWhatFitsAndANotice) {
  REQUIRE_PYTE();
  Renderer r;
  r.SetTerminalSize(40, 20);
  Screen s = Varied();
  s.cursorX = 50;  // off the visible part: hidden
  s.cursorY = 2;
  s.cursorSize = 25;
  std::string bytes = Render(r, s);
  s.Put(30, 5, "changed beyond the edge", 0x0A);
  s.Put(0, 30, "and below the bottom", 0x0A);
  bytes += Render(r, s);
  const Emulated e = Emulate(bytes, 40, 20);
  // Row 0 still shows frame row 0: nothing scrolled.
  EXPECT_EQ(Differences(e, s, 40, 19), "");
  std::string notice;
  for (int x = 0; x < 40; ++x) notice += static_cast<char>(e.At(x, 19).cp);
  EXPECT_EQ(notice, Renderer::SmallTerminalNotice(40, 20, 80, 50).substr(0, 40));
  EXPECT_EQ(e.At(0, 19).bg, 4);
  EXPECT_FALSE(e.cursorVisible);
}

TEST(RendererEmulated, NarrowTerminalGetsTheNoticeBelowTheFrame) {
  REQUIRE_PYTE();
  Renderer r;
  r.SetTerminalSize(60, 52);
  Screen s = Varied();
  const Emulated e = Emulate(Render(r, s), 60, 52);
  EXPECT_EQ(Differences(e, s, 60, 50), "");
  EXPECT_EQ(e.At(0, 50).cp, 'T');
}

}  // namespace
}  // namespace torvex
