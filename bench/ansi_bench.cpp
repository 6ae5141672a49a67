// What the ANSI writer costs over plain console output: a screenful of game
// text coloured with escape sequences, written through the writer, against
// the same characters with the sequences left out written straight to the
// console. Both are timed alternately in one process and reported as a ratio,
// since only the ratio is stable on a shared machine.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "console/ansi_writer.h"
#include "platform/terminal/headless_display.h"

namespace torvex {
namespace {

using Clock = std::chrono::steady_clock;

// A room description as game texts colour it: a colour change every few
// words, a reset at each line end, now and then a cursor save and restore.
void ColouredBlock(std::string* ansi, std::string* plain) {
  static const char* const kWords[] = {"The",     "torches", "gutter", "along", "the",
                                       "damp",    "walls,",  "and",    "a",     "cold",
                                       "draught", "stirs",   "the",    "ash."};
  for (int line = 0; line < 48; ++line) {
    for (int w = 0; w < 11; ++w) {
      const char* word = kWords[(line * 11 + w) % 14];
      if (w % 3 == 0) {
        *ansi += "\x1b[" + std::to_string(line % 2) + ";3" + std::to_string((line + w) % 8) + "m";
      }
      if (w == 5 && line % 8 == 0) *ansi += "\x1b[s\x1b[u";
      *ansi += word;
      *ansi += ' ';
      *plain += word;
      *plain += ' ';
    }
    *ansi += "\x1b[0m\r\n";
    *plain += "\r\n";
  }
}

void BM_AnsiTextAgainstPlainText(benchmark::State& state) {
  std::string ansi, plain;
  ColouredBlock(&ansi, &plain);
  HeadlessDisplay display;
  Console console(display, 80, 50);
  AnsiWriter writer;
  Clock::duration ansiTime{}, plainTime{};
  for (auto _ : state) {
    console.GotoXY(1, 1);
    auto start = Clock::now();
    writer.Write(console, ansi);
    ansiTime += Clock::now() - start;
    console.GotoXY(1, 1);
    start = Clock::now();
    console.Write(plain);
    plainTime += Clock::now() - start;
    benchmark::DoNotOptimize(console.CellAt(0, 0));
  }
  state.counters["ansi_bytes"] = static_cast<double>(ansi.size());
  state.counters["plain_bytes"] = static_cast<double>(plain.size());
  state.counters["vs_plain_text"] = std::chrono::duration<double>(ansiTime).count() /
                                    std::chrono::duration<double>(plainTime).count();
}
BENCHMARK(BM_AnsiTextAgainstPlainText);

}  // namespace
}  // namespace torvex
