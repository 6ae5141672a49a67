// The record-file engine against plain baselines measured in the same run. Each
// benchmark's "x_baseline" counter is engine time / baseline time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"

namespace torvex::btrieve {
namespace {

constexpr uint32_t kRecords = 100000;
constexpr uint16_t kRecordLength = 128;

using Clock = std::chrono::steady_clock;
double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

std::string TempDirectory() {
  static std::string dir = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "btrieve-bench-XXXXXX").string();
    return std::string(mkdtemp(pattern.data()));
  }();
  return dir;
}

struct Handle {
  uint8_t pos[128] = {};
  uint8_t key[255] = {};
  uint8_t data[4096] = {};
  uint32_t length = 0;
  int16_t Call(uint16_t op, int8_t keyNumber = 0, uint32_t capacity = sizeof data) {
    length = capacity;
    return BTRCALL(op, pos, data, &length, key, 255, keyNumber);
  }
  int16_t Open(const std::string& path, int8_t mode) {
    std::memset(key, 0, sizeof key);
    std::memcpy(key, path.c_str(), path.size());
    length = 0;
    return BTRCALL(op::kOpen, pos, data, &length, key, 255, mode);
  }
};

std::vector<uint8_t> CreateSpec() {
  std::vector<uint8_t> b(32, 0);
  StoreU16(&b[0], kRecordLength);
  StoreU16(&b[2], 4096);
  StoreU16(&b[4], 1);
  StoreU16(&b[16], 1);
  StoreU16(&b[18], 4);
  StoreU16(&b[20], key_flag::kExtendedType);
  b[26] = key_type::kAutoIncrement;
  return b;
}

std::vector<uint8_t> MakeRecord(uint32_t i) {
  std::vector<uint8_t> r(kRecordLength, static_cast<uint8_t>(i));
  StoreU32(&r[0], 0);  // autoincrement fills it
  StoreU32(&r[4], i * 2654435761u);
  return r;
}

// Creates `path` and inserts kRecords records through the engine; returns the time.
double EngineBulkInsert(const std::string& path) {
  std::vector<uint8_t> spec = CreateSpec();
  uint32_t len = static_cast<uint32_t>(spec.size());
  Handle h;
  std::memcpy(h.key, path.c_str(), path.size() + 1);
  if (BTRCALL(op::kCreate, h.pos, spec.data(), &len, h.key, 255, 0) != 0) std::abort();
  auto start = Clock::now();
  if (h.Open(path, open_mode::kNormal) != 0) std::abort();
  for (uint32_t i = 0; i < kRecords; ++i) {
    std::vector<uint8_t> r = MakeRecord(i);
    len = kRecordLength;
    if (BTRCALL(op::kInsert, h.pos, r.data(), &len, h.key, 255, 0) != 0) std::abort();
  }
  if (h.Call(op::kClose) != 0) std::abort();
  return Seconds(Clock::now() - start);
}

// The same records into a bare table through one prepared statement in one transaction,
// with the engine's journal settings.
double SqliteBulkInsert(const std::string& path) {
  std::filesystem::remove(path);
  sqlite3* db;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db,
               "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
               "CREATE TABLE records(position INTEGER PRIMARY KEY, data BLOB NOT NULL)",
               nullptr, nullptr, nullptr);
  auto start = Clock::now();
  sqlite3_stmt* stmt;
  sqlite3_prepare_v2(db, "INSERT INTO records VALUES (?, ?)", -1, &stmt, nullptr);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  for (uint32_t i = 0; i < kRecords; ++i) {
    std::vector<uint8_t> r = MakeRecord(i);
    StoreU32(&r[0], i + 1);
    sqlite3_bind_int64(stmt, 1, i + 1);
    sqlite3_bind_blob(stmt, 2, r.data(), kRecordLength, SQLITE_STATIC);
    if (sqlite3_step(stmt) != SQLITE_DONE) std::abort();
    sqlite3_reset(stmt);
  }
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return Seconds(Clock::now() - start);
}

const std::string& SharedFile() {
  static std::string path = [] {
    std::string p = TempDirectory() + "/SHARED.DAT";
    EngineBulkInsert(p);
    return p;
  }();
  return path;
}

// The records as a program would hold them without the engine.
const std::vector<std::vector<uint8_t>>& MemoryRecords() {
  static std::vector<std::vector<uint8_t>> records = [] {
    std::vector<std::vector<uint8_t>> v;
    for (uint32_t i = 0; i < kRecords; ++i) {
      v.push_back(MakeRecord(i));
      StoreU32(&v.back()[0], i + 1);
    }
    return v;
  }();
  return records;
}

double MemoryScan() {
  const auto& records = MemoryRecords();
  uint8_t buffer[4096];
  uint64_t sum = 0;
  auto start = Clock::now();
  for (const auto& r : records) {
    std::memcpy(buffer, r.data(), r.size());
    benchmark::DoNotOptimize(buffer);
    sum += buffer[4];
  }
  benchmark::DoNotOptimize(sum);
  return Seconds(Clock::now() - start);
}

void Report(benchmark::State& state, double engine, double baseline) {
  state.counters["x_baseline"] = engine / baseline;
}

void ScanBenchmark(benchmark::State& state, uint16_t first, uint16_t next) {
  Handle h;
  double engine = 0, baseline = 0;
  for (auto _ : state) {
    // A fresh open, so that stepping starts again from the first record.
    if (h.Open(SharedFile(), open_mode::kReadOnly) != 0) std::abort();
    auto start = Clock::now();
    uint32_t n = 0;
    for (int16_t st = h.Call(first); st == 0; st = h.Call(next)) ++n;
    double t = Seconds(Clock::now() - start);
    if (n != kRecords) std::abort();
    state.SetIterationTime(t);
    engine += t;
    baseline += MemoryScan();
    h.Call(op::kClose);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  Report(state, engine, baseline);
}

void BM_GetNextScan(benchmark::State& state) {
  ScanBenchmark(state, op::kGetFirst, op::kGetNext);
}
void BM_StepNextScan(benchmark::State& state) {
  ScanBenchmark(state, op::kStepNext, op::kStepNext);
}

void BM_GetEqual(benchmark::State& state) {
  constexpr int kLookups = 10000;
  Handle h;
  if (h.Open(SharedFile(), open_mode::kReadOnly) != 0) std::abort();
  std::map<uint32_t, const std::vector<uint8_t>*> byKey;
  for (const auto& r : MemoryRecords()) byKey[LoadU32(r.data())] = &r;
  std::mt19937 rng(7);
  std::vector<uint32_t> keys(kLookups);
  for (auto& k : keys) k = 1 + rng() % kRecords;
  double engine = 0, baseline = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    for (uint32_t k : keys) {
      StoreU32(h.key, k);
      if (h.Call(op::kGetEqual) != 0) std::abort();
    }
    double t = Seconds(Clock::now() - start);
    state.SetIterationTime(t);
    engine += t;
    start = Clock::now();
    uint8_t buffer[4096];
    for (uint32_t k : keys) {
      const auto* r = byKey.find(k)->second;
      std::memcpy(buffer, r->data(), r->size());
      benchmark::DoNotOptimize(buffer);
    }
    baseline += Seconds(Clock::now() - start);
  }
  h.Call(op::kClose);
  state.SetItemsProcessed(state.iterations() * kLookups);
  Report(state, engine, baseline);
}

// Close and re-Open of an unchanged file, against the least the system must do to see
// that a file is unchanged (open, fstat, close). Also reports a first (cold) Open.
void BM_ReopenUnchanged(benchmark::State& state) {
  constexpr int kReopens = 1000;
  const std::string& path = SharedFile();
  WBTRVSTOP();
  Handle h;
  auto coldStart = Clock::now();
  if (h.Open(path, open_mode::kReadOnly) != 0) std::abort();
  double cold = Seconds(Clock::now() - coldStart);
  h.Call(op::kClose);
  double engine = 0, baseline = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    for (int i = 0; i < kReopens; ++i) {
      if (h.Open(path, open_mode::kReadOnly) != 0) std::abort();
      h.Call(op::kClose);
    }
    double t = Seconds(Clock::now() - start);
    state.SetIterationTime(t);
    engine += t;
    start = Clock::now();
    for (int i = 0; i < kReopens; ++i) {
      int fd = open(path.c_str(), O_RDONLY);
      struct stat st;
      fstat(fd, &st);
      benchmark::DoNotOptimize(st);
      close(fd);
    }
    baseline += Seconds(Clock::now() - start);
  }
  state.SetItemsProcessed(state.iterations() * kReopens);
  Report(state, engine, baseline);
  state.counters["cold_open_x_reopen"] = cold / (engine / (state.iterations() * kReopens));
}

void BM_BulkInsert(benchmark::State& state) {
  std::string path = TempDirectory() + "/BULK.DAT";
  std::string plain = TempDirectory() + "/plain.sqlite";
  double engine = 0, baseline = 0;
  for (auto _ : state) {
    double t = EngineBulkInsert(path);
    state.SetIterationTime(t);
    engine += t;
    baseline += SqliteBulkInsert(plain);
    WBTRVSTOP();
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  Report(state, engine, baseline);
}

BENCHMARK(BM_GetNextScan)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepNextScan)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetEqual)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReopenUnchanged)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BulkInsert)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace torvex::btrieve
