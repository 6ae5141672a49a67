// Turns arbitrary bytes into an update file and exports it, as quendex does, into a
// scratch directory. Input: one shape byte (bit 0: variable-length records), then
// records of u8 file code, u16 length and that many bytes of carried record.
//
// Only the export is repeated per input. The update file is made once by the engine and
// then refilled through SQLite directly (its schema is the engine's documented format),
// and the ten template files are recreated only now and then: Creates cost far more
// than an export, and what an earlier input left in a template only adds duplicates.
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "exporter/quendex.h"
#include "exporter/update_file.h"
#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/bytes.h"

namespace {

namespace ex = torvex::exporter;

class NullSink : public ex::OutputSink {
 public:
  void Write(std::string_view) override {}
  void Flush() override {}
};

// A memory-backed directory where there is one, removed when the process ends, with
// an update file the engine created and a connection that refills it.
class Scratch {
 public:
  Scratch() {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    std::string pattern = (base / "update-export-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    directory_ = pattern + "/";
    ex::UpdateFileWriter writer;
    const std::string path = directory_ + "WCCUPDA2.DAT";
    if (writer.Create(path) != 0 || writer.Close() != 0) std::abort();
    WBTRVSTOP();
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) std::abort();
    sqlite3_prepare_v2(db_, "INSERT INTO records(position, data) VALUES (?, ?)", -1, &insert_,
                       nullptr);
  }
  ~Scratch() {
    sqlite3_finalize(insert_);
    sqlite3_close(db_);
    std::error_code ec;
    std::filesystem::remove_all(directory_, ec);
  }
  const std::string& directory() const { return directory_; }

  // Replaces the update file's records and shape.
  void Refill(bool variable, const std::vector<std::vector<uint8_t>>& records) {
    sqlite3_exec(db_, "BEGIN; DELETE FROM records", nullptr, nullptr, nullptr);
    const std::string shape =
        "UPDATE file_attributes SET record_length = " +
        std::to_string(variable ? ex::kCarriedOffset : ex::kUpdateRecordLength) +
        ", file_flags = " + std::to_string(variable ? 1 : 0);
    sqlite3_exec(db_, shape.c_str(), nullptr, nullptr, nullptr);
    for (size_t i = 0; i < records.size(); ++i) {
      sqlite3_bind_int64(insert_, 1, static_cast<int64_t>(i + 1));
      sqlite3_bind_blob(insert_, 2, records[i].data(), static_cast<int>(records[i].size()),
                        SQLITE_STATIC);
      sqlite3_step(insert_);
      sqlite3_reset(insert_);
    }
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  }

 private:
  std::string directory_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A few records say all there is to say; more only slow the search down.
  constexpr size_t kMaxRecords = 24;
  if (size < 1 || size > 64 * 1024) return 0;
  static Scratch scratch;
  const bool variable = data[0] & 1;
  std::vector<std::vector<uint8_t>> records;
  size_t at = 1;
  while (records.size() < kMaxRecords && at + 3 <= size) {
    const size_t length = std::min<size_t>(torvex::btrieve::LoadU16(data + at + 1), size - at - 3);
    // The update file's own key numbers the records; a variable record holds at least
    // its fixed part, a fixed one exactly its length.
    std::vector<uint8_t> record(ex::kCarriedOffset, 0);
    torvex::btrieve::StoreU32(record.data(), static_cast<uint32_t>(records.size() + 1));
    record[ex::kFileCodeOffset] = data[at];
    record.insert(record.end(), data + at + 3, data + at + 3 + length);
    if (!variable) record.resize(ex::kUpdateRecordLength);
    records.push_back(std::move(record));
    at += 3 + length;
  }
  scratch.Refill(variable, records);

  static unsigned inputs = 0;
  if (inputs++ % 256 == 0) {
    WBTRVSTOP();
    ex::CreateTemplateFiles(scratch.directory());
  }
  NullSink sink;
  ex::ExportUpdateFile(sink, scratch.directory());
  return 0;
}
