// Quendex exporting a 100,000-record update file against the engine's bulk insert of
// the same records into the same ten files, measured in the same run. Each benchmark's
// "x_baseline" counter is export time / bulk-insert time.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "database/records/tables.h"
#include "exporter/quendex.h"
#include "exporter/update_file.h"
#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"

namespace torvex::exporter {
namespace {

namespace bt = torvex::btrieve;

constexpr uint32_t kRecords = 100000;

using Clock = std::chrono::steady_clock;
double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

struct Carried {
  uint8_t code;
  std::vector<uint8_t> bytes;  // exactly what the export inserts
};

// A mix like a real update: items, monsters, rooms, text blocks, messages and spells,
// every one with its own key.
Carried MakeCarried(uint32_t i) {
  static const uint8_t kCodes[] = {5, 7, 3, 9, 9, 8, 6};
  const uint8_t code = kCodes[i % std::size(kCodes)];
  const uint32_t number = i + 1;
  if (code == 9) {
    const std::string text(40 + i % 400, static_cast<char>('A' + i % 26));
    std::vector<uint8_t> r(kTextBlockHeadLength + text.size() + 1, 0);
    bt::StoreU16(r.data(), static_cast<uint16_t>(1 + i % 3));
    bt::StoreU32(&r[16], number);
    std::memcpy(&r[kTextBlockHeadLength], text.data(), text.size());
    return {code, r};
  }
  std::vector<uint8_t> r(RecordLengthForCode(code), static_cast<uint8_t>(i));
  if (code == 3) {
    bt::StoreU32(&r[0], number);  // room
    bt::StoreU32(&r[4], 1 + i % 4);
  } else if (code == 6) {
    bt::StoreU16(&r[0], static_cast<uint16_t>(number));  // spells wrap: some duplicates
  } else {
    bt::StoreU32(&r[0], number);
  }
  return {code, r};
}

const std::vector<Carried>& Records() {
  static const std::vector<Carried> records = [] {
    std::vector<Carried> v;
    v.reserve(kRecords);
    for (uint32_t i = 0; i < kRecords; ++i) v.push_back(MakeCarried(i));
    return v;
  }();
  return records;
}

// A directory removed with its files when the process ends.
class TempDirectory {
 public:
  explicit TempDirectory(const char* name) {
    std::string pattern = (std::filesystem::temp_directory_path() / name).string() + "-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    path_ = pattern + "/";
  }
  ~TempDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The directory holding the update file the export reads.
const std::string& UpdateDirectory() {
  static const TempDirectory holder("quendex-bench");
  static const std::string dir = [] {
    const std::string& d = holder.path();
    UpdateFileWriter w;
    if (w.Create(d + "WCCUPDA2.DAT") != 0) std::abort();
    for (const Carried& c : Records()) {
      if (w.Append(c.code, c.bytes) != 0) std::abort();
    }
    if (w.Close() != 0) std::abort();
    WBTRVSTOP();
    return d;
  }();
  return dir;
}

class NullSink : public OutputSink {
 public:
  void Write(std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
  void Flush() override {}
};

// Writes and flushes as the program does on a terminal, into /dev/null.
class DevNullSink : public OutputSink {
 public:
  DevNullSink() : file_(std::fopen("/dev/null", "w")) {}
  ~DevNullSink() { std::fclose(file_); }
  void Write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), file_); }
  void Flush() override { std::fflush(file_); }

 private:
  FILE* file_;
};

// The same records straight into freshly created template files, no update file.
double BulkInsert(const std::string& dir) {
  const auto start = Clock::now();
  if (CreateTemplateFiles(dir) != TemplateSpecs().size()) std::abort();
  struct Target {
    std::array<uint8_t, bt::kPositionBlockSize> pos{};
    std::array<char, bt::kMaxKeyLength> key{};
  };
  std::array<Target, 10> targets;
  for (size_t i = 0; i < targets.size(); ++i) {
    const std::string path = dir + std::string(DatabaseFileName(static_cast<int>(i))) + ".VIR";
    std::memcpy(targets[i].key.data(), path.c_str(), path.size());
    uint32_t len = 0;
    if (BTRCALL(bt::op::kOpen, targets[i].pos.data(), nullptr, &len, targets[i].key.data(), 255,
                0) != 0) {
      std::abort();
    }
  }
  std::array<uint8_t, 4096> buffer{};
  for (const Carried& c : Records()) {
    std::memcpy(buffer.data(), c.bytes.data(), c.bytes.size());
    uint32_t len = static_cast<uint32_t>(c.bytes.size());
    Target& t = targets[c.code - 1];
    BTRCALL(bt::op::kInsert, t.pos.data(), buffer.data(), &len, t.key.data(), 255, 0);
  }
  for (Target& t : targets) {
    uint32_t len = 0;
    if (BTRCALL(bt::op::kClose, t.pos.data(), nullptr, &len, t.key.data(), 255, 0) != 0) {
      std::abort();
    }
  }
  WBTRVSTOP();
  return Seconds(Clock::now() - start);
}

// Reading the update file alone: Open and Get First / Get Next to its end.
double ReadUpdateFile(const std::string& dir) {
  const auto start = Clock::now();
  std::array<uint8_t, bt::kPositionBlockSize> pos{};
  std::array<char, bt::kMaxKeyLength> key{};
  const std::string path = dir + "WCCUPDA2.DAT";
  std::memcpy(key.data(), path.c_str(), path.size());
  uint32_t len = 0;
  if (BTRCALL(bt::op::kOpen, pos.data(), nullptr, &len, key.data(), 255, 0) != 0) std::abort();
  std::array<uint8_t, 4096> buffer{};
  uint32_t n = 0;
  for (uint16_t op = bt::op::kGetFirst;; op = bt::op::kGetNext, ++n) {
    len = buffer.size();
    if (BTRCALL(op, pos.data(), buffer.data(), &len, key.data(), 255, 0) != 0) break;
  }
  if (n != kRecords) std::abort();
  WBTRVSTOP();
  return Seconds(Clock::now() - start);
}

template <typename Sink>
void ExportBenchmark(benchmark::State& state) {
  const std::string& dir = UpdateDirectory();
  static const TempDirectory baselineHolder("quendex-bench-baseline");
  const std::string& baselineDir = baselineHolder.path();
  double exportTime = 0, baseline = 0, read = 0;
  for (auto _ : state) {
    Sink sink;
    auto start = Clock::now();
    if (QuendexMain({}, sink, dir) != 0) std::abort();
    exportTime += Seconds(Clock::now() - start);
    baseline += BulkInsert(baselineDir);
    read += ReadUpdateFile(dir);
  }
  // What the export adds to the bulk insert is mostly reading the update file.
  state.counters["read_update_s"] = read / state.iterations();
  state.counters["export_s"] = exportTime / state.iterations();
  state.counters["bulk_insert_s"] = baseline / state.iterations();
  state.counters["x_baseline"] = exportTime / baseline;
}

BENCHMARK_TEMPLATE(ExportBenchmark, NullSink)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(ExportBenchmark, DevNullSink)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace torvex::exporter
