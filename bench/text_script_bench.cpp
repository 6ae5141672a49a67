// What running a script costs over reading it: a 40-line block whose every
// line narrates three effects and asks one question (answered N, so that
// every line runs as the next alternative), run through the interpreter onto
// an 80x50 console, against decoding the same stored block alone. Both are
// timed alternately in one process and reported as a ratio, since only the
// ratio is stable on a shared machine. The block is served from memory and
// its numbers name no records, so no file is opened.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "database/records/text_block_text.h"
#include "walker/session.h"
#include "walker/text_script.h"

namespace torvex {
namespace {

using Clock = std::chrono::steady_clock;

// Answers every key wait with N; frames are composed but not kept.
class AnswerNo : public Display {
 public:
  void Present(const Frame&) override {}
  bool ReadKeyEvent(KeyEvent* event, int) override {
    *event = {uint16_t{'N'}, 0, 'n'};
    return true;
  }
  void SetTitle(std::string_view) override {}
  void Bell() override {}
  void Maximize() override {}
  void RequestSize(int, int) override {}
};

TextBlockRecord ScriptBlock() {
  std::string text;
  for (int line = 1; line <= 40; ++line) {
    text += "ADDEXP " + std::to_string(line * 10) + ":GIVECOINS " + std::to_string(line) +
            " G:ADDEVIL 2:CHECKITEM 0 0\n";
  }
  TextBlockRecord record;
  record.setBlockNumber(1);
  record.setText(EncodeStoredText(text));
  return record;
}

void BM_ScriptRunAgainstDecoding(benchmark::State& state) {
  const TextBlockRecord record = ScriptBlock();
  SetTextBlockReader([&record](uint32_t block, uint16_t part, TextBlockRecord& out) -> int32_t {
    if (block != 1 || part != 0) return 4;
    out = record;
    return 0;
  });
  AnswerNo display;
  Console console(display, 80, 50);
  WalkerSession session;
  session.options.debugging = 0;
  Clock::duration runTime{}, decodeTime{};
  for (auto _ : state) {
    uint32_t map = 1, room = 1;
    auto start = Clock::now();
    RunTextBlock(console, session, 1, 0, map, room);
    runTime += Clock::now() - start;
    start = Clock::now();
    benchmark::DoNotOptimize(DecodeTextBlock(record));
    decodeTime += Clock::now() - start;
  }
  SetTextBlockReader({});
  state.counters["text_bytes"] = static_cast<double>(record.text().size());
  state.counters["vs_decoding"] = std::chrono::duration<double>(runTime).count() /
                                  std::chrono::duration<double>(decodeTime).count();
}
BENCHMARK(BM_ScriptRunAgainstDecoding);

}  // namespace
}  // namespace torvex
