// What the terminal costs: bytes and time to paint a whole screen, to update one
// field on it, and to decode typed input. The field update is reported against
// the full paint measured in the same process (ratio counters), since only the
// ratio is stable on a shared machine.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/terminal/display.h"
#include "platform/terminal/key_decoder.h"
#include "platform/terminal/renderer.h"

namespace torvex {
namespace {

constexpr int kWidth = 80, kHeight = 50, kFieldLength = 20;

// A busy screen: text in many colours, box characters, a few blinking cells.
std::vector<Cell> BusyScreen() {
  std::vector<Cell> cells(kWidth * kHeight);
  for (int i = 0; i < kWidth * kHeight; ++i) {
    const int x = i % kWidth, y = i / kWidth;
    const uint8_t ch =
        (x == 0 || x == kWidth - 1) ? 0xBA : static_cast<uint8_t>(32 + (i * 7) % 200);
    // Colour runs of 6 cells, as on a form of labels and values.
    const uint8_t attr = static_cast<uint8_t>(((x / 6 + y) % 15 + 1) | (((y / 5) % 8) << 4) |
                                              (x % 37 == 0 ? 0x80 : 0));
    cells[i] = {ch, attr};
  }
  return cells;
}

Frame View(const std::vector<Cell>& cells) {
  return {kWidth, kHeight, cells.data(), 10, 10, 25};
}

// Seconds per full paint of a busy screen, measured here so that each benchmark
// carries its own baseline.
double FullPaintSeconds(size_t* bytes) {
  const auto cells = BusyScreen();
  Renderer r;
  r.SetTerminalSize(kWidth, kHeight);
  std::string out;
  const int rounds = 200;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) {
    out.clear();
    r.Invalidate();
    r.Render(View(cells), &out);
    benchmark::DoNotOptimize(out.data());
  }
  *bytes = out.size();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
}

void BM_FullPaint(benchmark::State& state) {
  const auto cells = BusyScreen();
  Renderer r;
  r.SetTerminalSize(kWidth, kHeight);
  std::string out;
  for (auto _ : state) {
    out.clear();
    r.Invalidate();
    r.Render(View(cells), &out);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_FullPaint);

void BM_OneFieldChange(benchmark::State& state) {
  size_t fullBytes;
  const double fullSeconds = FullPaintSeconds(&fullBytes);
  auto cells = BusyScreen();
  Renderer r;
  r.SetTerminalSize(kWidth, kHeight);
  std::string out;
  r.Render(View(cells), &out);
  // A 20-cell value field on row 12, rewritten with alternating contents.
  const std::string values[2] = {"Sword of Ashes (+3) ", "Leather Cap         "};
  int turn = 0;
  size_t bytes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    const std::string& v = values[turn ^= 1];
    for (int i = 0; i < kFieldLength; ++i) {
      cells[12 * kWidth + 30 + i] = {static_cast<uint8_t>(v[i]), 0x1E};
    }
    out.clear();
    r.Render(View(cells), &out);
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
      static_cast<double>(state.iterations());
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["full_bytes"] = static_cast<double>(fullBytes);
  state.counters["full_us"] = fullSeconds * 1e6;
  state.counters["bytes_ratio"] = static_cast<double>(bytes) / static_cast<double>(fullBytes);
  state.counters["time_ratio"] = seconds / fullSeconds;
}
BENCHMARK(BM_OneFieldChange);

void BM_UnchangedFrame(benchmark::State& state) {
  const auto cells = BusyScreen();
  Renderer r;
  std::string out;
  r.Render(View(cells), &out);
  for (auto _ : state) {
    out.clear();
    r.Render(View(cells), &out);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_UnchangedFrame);

// Typical input: typing, cursor and function keys with modifiers, a paste.
std::string MixedInput() {
  std::string s;
  while (s.size() < 64 * 1024) {
    s += "look at the fountain\r";
    s += "\x1b[A\x1b[1;5B\x1bOP\x1b[15;2~\x1b[5~\x1bx\x1b[97;5u\xc3\xa9\x7f";
    s += "\x1b[200~pasted text\r\n\x1b[201~";
  }
  return s;
}

double DecodeSeconds(const std::string& input, int rounds) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) benchmark::DoNotOptimize(DecodeKeys(input).size());
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
}

void BM_DecodeMixedInput(benchmark::State& state) {
  const std::string input = MixedInput();
  const std::string plain(input.size(), 'a');
  const double plainSeconds = DecodeSeconds(plain, 5);
  size_t events = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    events = DecodeKeys(input).size();
    benchmark::DoNotOptimize(events);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
      static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
  state.counters["events"] = static_cast<double>(events);
  state.counters["vs_plain_text"] = seconds / plainSeconds;
}
BENCHMARK(BM_DecodeMixedInput);

}  // namespace
}  // namespace torvex
