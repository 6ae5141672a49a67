#include "platform/btrieve/native_file.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include "platform/btrieve/btrieve.h"
#include "platform/btrieve/genuine_file.h"
#include "platform/file_writer.h"

namespace torvex::btrieve {

namespace {

constexpr int kFormatVersion = 1;
constexpr int kApplicationId = 0x54565852;  // "TVXR", so `file` and humans can tell

constexpr const char* kSchema =
    "CREATE TABLE file_attributes ("
    " id INTEGER PRIMARY KEY CHECK (id = 1),"
    " format_version INTEGER NOT NULL,"
    " record_length INTEGER NOT NULL,"
    " page_size INTEGER NOT NULL,"
    " file_flags INTEGER NOT NULL);"
    "CREATE TABLE key_segments ("
    " key_number INTEGER NOT NULL,"
    " segment INTEGER NOT NULL,"
    " position INTEGER NOT NULL,"
    " length INTEGER NOT NULL,"
    " flags INTEGER NOT NULL,"
    " type INTEGER NOT NULL,"
    " null_value INTEGER NOT NULL DEFAULT 0,"
    " PRIMARY KEY (key_number, segment));"
    "CREATE TABLE records ("
    " position INTEGER PRIMARY KEY,"
    " data BLOB NOT NULL);";

std::function<void()>& CreateHook() {
  static std::function<void()> hook;
  return hook;
}

int16_t StatusFromSqlite(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_FULL:
      return status::kDiskFull;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return status::kFileLocked;
    case SQLITE_NOTADB:
      return status::kNotRecordFile;
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_READONLY:
      return status::kAccessDenied;
    default:
      return status::kIoError;
  }
}

// Owns one connection.
struct Connection {
  sqlite3* db = nullptr;
  Connection() = default;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() { Close(); }
  void Close() {
    if (db) sqlite3_close_v2(db);
    db = nullptr;
  }
  int Exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

struct Statement {
  sqlite3_stmt* stmt = nullptr;
  Statement() = default;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement() { sqlite3_finalize(stmt); }
  int Prepare(sqlite3* db, const char* sql) {
    return sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
  }
};

std::string UriEscape(const std::string& path) {
  std::string out = "file:";
  for (unsigned char c : path) {
    if (c == '%' || c == '?' || c == '#' || c < 0x20 || c >= 0x7F) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int OpenConnection(const std::string& path, bool write, bool immutable, Connection& c) {
  std::string uri = UriEscape(path);
  if (immutable) uri += "?immutable=1";
  int flags = (write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_URI |
              SQLITE_OPEN_NOMUTEX;
  int rc = sqlite3_open_v2(uri.c_str(), &c.db, flags, nullptr);
  if (rc != SQLITE_OK) return rc;
  // Files come from outside: refuse the features a hostile file could abuse.
  sqlite3_db_config(c.db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(c.db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_busy_timeout(c.db, 2000);
  return SQLITE_OK;
}

// A statement that cannot be prepared names tables or columns this file lacks, unless
// the file itself is damaged.
int16_t PrepareStatus(int rc) {
  return (rc & 0xFF) == SQLITE_ERROR ? status::kNotRecordFile : StatusFromSqlite(rc);
}

int64_t DataVersion(sqlite3* db) {
  Statement s;
  if (s.Prepare(db, "PRAGMA data_version") != SQLITE_OK) return -1;
  return sqlite3_step(s.stmt) == SQLITE_ROW ? sqlite3_column_int64(s.stmt, 0) : -1;
}

class NativeStore : public RecordStore {
 public:
  NativeStore(std::unique_ptr<Connection> c, bool writable)
      : connection_(std::move(c)), writable_(writable) {
    loadedVersion_ = DataVersion(connection_->db);
  }
  ~NativeStore() override { Commit(); }

  bool Writable() const override { return writable_; }

  int16_t Append(int64_t position, std::span<const uint8_t> data) override {
    if (!writable_) return status::kAccessDenied;
    sqlite3* db = connection_->db;
    if (!inTransaction_) {
      int rc = connection_->Exec("BEGIN IMMEDIATE");
      if (rc != SQLITE_OK) return StatusFromSqlite(rc);
      inTransaction_ = true;
      batchStart_ = std::chrono::steady_clock::now();
    }
    if (!insert_.stmt) {
      int rc = insert_.Prepare(db, "INSERT INTO records(position, data) VALUES (?, ?)");
      if (rc != SQLITE_OK) return StatusFromSqlite(rc);
    }
    sqlite3_bind_int64(insert_.stmt, 1, position);
    sqlite3_bind_blob(insert_.stmt, 2, data.data(), static_cast<int>(data.size()), SQLITE_STATIC);
    int rc = sqlite3_step(insert_.stmt);
    sqlite3_reset(insert_.stmt);
    sqlite3_clear_bindings(insert_.stmt);
    if (rc != SQLITE_DONE) return StatusFromSqlite(rc);
    if (++pending_ >= kCommitBatchRecords || std::chrono::steady_clock::now() - batchStart_ >=
                                                 std::chrono::milliseconds(kCommitIntervalMs)) {
      return Commit();
    }
    return status::kSuccess;
  }

  int16_t Commit() override {
    if (!inTransaction_) return status::kSuccess;
    inTransaction_ = false;
    pending_ = 0;
    int rc = connection_->Exec("COMMIT");
    if (rc != SQLITE_OK) {
      connection_->Exec("ROLLBACK");
      return StatusFromSqlite(rc);
    }
    ++commits_;
    return status::kSuccess;
  }

  uint64_t CommitSerial() const override { return commits_; }

  bool ChangedElsewhere() override { return DataVersion(connection_->db) != loadedVersion_; }

 private:
  std::unique_ptr<Connection> connection_;
  Statement insert_;
  bool writable_;
  bool inTransaction_ = false;
  int pending_ = 0;
  uint64_t commits_ = 0;
  int64_t loadedVersion_ = 0;
  std::chrono::steady_clock::time_point batchStart_;
};

// Reads the definition and records through `c`. Returns 0 or a status.
int16_t ReadImage(sqlite3* db, std::unique_ptr<RecordTable>& out, int& sqliteError) {
  auto fail = [&](int rc) {
    sqliteError = rc;
    return StatusFromSqlite(rc);
  };
  {
    Statement s;
    int rc = s.Prepare(db,
                       "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                       "('file_attributes', 'key_segments', 'records')");
    if (rc != SQLITE_OK) return fail(rc);
    rc = sqlite3_step(s.stmt);
    if (rc != SQLITE_ROW) return fail(rc);
    if (sqlite3_column_int(s.stmt, 0) != 3) return status::kNotRecordFile;
  }
  FileDefinition def;
  {
    Statement s;
    int rc = s.Prepare(
        db, "SELECT format_version, record_length, page_size, file_flags FROM file_attributes");
    if (rc != SQLITE_OK) return PrepareStatus(rc);
    rc = sqlite3_step(s.stmt);
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? status::kIoError : fail(rc);
    int64_t version = sqlite3_column_int64(s.stmt, 0);
    int64_t recordLength = sqlite3_column_int64(s.stmt, 1);
    int64_t pageSize = sqlite3_column_int64(s.stmt, 2);
    int64_t flags = sqlite3_column_int64(s.stmt, 3);
    if (version != kFormatVersion) return status::kNotRecordFile;
    if (recordLength < 1 || recordLength > kMaxRecordLength || pageSize < 0 || pageSize > 65535 ||
        flags < 0 || flags > 65535) {
      return status::kIoError;
    }
    def.recordLength = static_cast<uint16_t>(recordLength);
    def.pageSize = static_cast<uint16_t>(pageSize);
    def.fileFlags = static_cast<uint16_t>(flags);
    if (sqlite3_step(s.stmt) != SQLITE_DONE) return status::kIoError;  // more than one row
  }
  {
    Statement s;
    int rc = s.Prepare(db,
                       "SELECT key_number, segment, position, length, flags, type, null_value "
                       "FROM key_segments ORDER BY key_number, segment");
    if (rc != SQLITE_OK) return PrepareStatus(rc);
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
      int64_t v[7];
      for (int i = 0; i < 7; ++i) v[i] = sqlite3_column_int64(s.stmt, i);
      int64_t keyNumber = v[0], segment = v[1], position = v[2], length = v[3];
      // Keys and segments are numbered from 0 without gaps.
      bool newKey = keyNumber == static_cast<int64_t>(def.keys.size());
      bool nextSegment = !def.keys.empty() &&
                         keyNumber == static_cast<int64_t>(def.keys.size()) - 1 &&
                         segment == static_cast<int64_t>(def.keys.back().segments.size());
      if (!(newKey && segment == 0) && !nextSegment) return status::kIoError;
      if (position < 1 || length < 1 || position - 1 + length > def.recordLength || v[4] < 0 ||
          v[4] > 65535 || v[5] < 0 || v[5] > 255 || v[6] < 0 || v[6] > 255) {
        return status::kIoError;
      }
      if (newKey) def.keys.emplace_back();
      KeySegment seg;
      seg.offset = static_cast<uint16_t>(position - 1);
      seg.length = static_cast<uint16_t>(length);
      seg.flags = static_cast<uint16_t>(v[4]);
      seg.declaredType = static_cast<uint8_t>(v[5]);
      seg.nullValue = static_cast<uint8_t>(v[6]);
      if (!IsSupportedKeyType(seg.type())) return status::kIoError;
      KeyDefinition& key = def.keys.back();
      key.segments.push_back(seg);
      key.length += seg.length;
      if (key.length > kMaxKeyLength || def.keys.size() > 119) return status::kIoError;
      if (key.IsAutoIncrement() && seg.length > 8) return status::kIoError;
    }
    if (rc != SQLITE_DONE) return fail(rc);
  }
  auto table = std::make_unique<RecordTable>(std::move(def));
  const FileDefinition& d = table->definition();
  {
    Statement s;
    int rc = s.Prepare(db, "SELECT position, data FROM records ORDER BY position");
    if (rc != SQLITE_OK) return PrepareStatus(rc);
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
      int64_t position = sqlite3_column_int64(s.stmt, 0);
      const void* blob = sqlite3_column_blob(s.stmt, 1);
      int64_t length = sqlite3_column_bytes(s.stmt, 1);
      bool lengthOk = d.VariableLength() ? length >= d.recordLength && length <= kMaxRecordLength
                                         : length == d.recordLength;
      // Positions travel as u32 in extended-get results.
      if (!lengthOk || !blob || position < 1 || position > 0xFFFFFFFFll ||
          sqlite3_column_type(s.stmt, 0) != SQLITE_INTEGER) {
        return status::kIoError;
      }
      std::span<const uint8_t> data(static_cast<const uint8_t*>(blob), static_cast<size_t>(length));
      // A file that breaks its own no-duplicates rule is damaged.
      if (table->CheckDuplicates(data) != status::kSuccess) return status::kIoError;
      table->Append(position, data);
    }
    if (rc != SQLITE_DONE) return fail(rc);
  }
  out = std::move(table);
  return status::kSuccess;
}

class NativeLoader : public FileLoader {
 public:
  bool Recognizes(std::span<const uint8_t> head) const override {
    static const char kMagic[16] = "SQLite format 3";  // with its terminating zero
    return head.size() >= 16 && std::memcmp(head.data(), kMagic, 16) == 0;
  }

  int16_t Load(const std::string& path, bool wantWrite, LoadedFile& out) override {
    bool write = wantWrite && access(path.c_str(), W_OK) == 0;
    // A read-only connection to a WAL file still needs its shared-memory file; where that
    // cannot be created (a read-only directory) the file is read as immutable.
    for (int attempt = 0; attempt < 3; ++attempt) {
      bool useWrite = write && attempt == 0;
      bool immutable = attempt == 2;
      if (attempt == 1 && !write) continue;
      auto c = std::make_unique<Connection>();
      int rc = OpenConnection(path, useWrite, immutable, *c);
      std::unique_ptr<RecordTable> table;
      int sqliteError = SQLITE_OK;
      int16_t st = rc == SQLITE_OK ? ReadImage(c->db, table, sqliteError) : StatusFromSqlite(rc);
      if (rc != SQLITE_OK) sqliteError = rc;
      if (st == status::kSuccess) {
        if (useWrite) {
          c->Exec("PRAGMA synchronous=NORMAL");
        }
        out.table = std::move(table);
        out.store = std::make_unique<NativeStore>(std::move(c), useWrite);
        return st;
      }
      int primary = sqliteError & 0xFF;
      bool retry = primary == SQLITE_CANTOPEN || primary == SQLITE_READONLY ||
                   primary == SQLITE_PERM || primary == SQLITE_BUSY;
      if (!retry || attempt == 2) {
        return primary == SQLITE_CANTOPEN ? status::kAccessDenied : st;
      }
    }
    return status::kIoError;
  }
};

int16_t StatusFromErrno(int e) {
  switch (e) {
    case ENOSPC:
    case EDQUOT:
      return status::kDiskFull;
    default:
      return status::kCreateError;
  }
}

// An old file may carry a journal or WAL left by a killed writer. Let SQLite settle it
// into the old file first, and remove what is left, so that it is never replayed into
// the new file that takes the name.
void SettleOldFile(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return;
  const char* suffixes[] = {"-wal", "-journal"};
  bool leftovers = false;
  for (const char* s : suffixes) leftovers |= stat((path + s).c_str(), &st) == 0;
  if (leftovers) {
    Connection c;
    if (OpenConnection(path, true, false, c) == SQLITE_OK) {
      c.Exec("SELECT count(*) FROM sqlite_master");
    }
  }
  for (const char* s : {"-wal", "-journal", "-shm"}) unlink((path + s).c_str());
}

int BuildEmptyFile(const std::string& path, const FileDefinition& def) {
  Connection c;
  int rc = OpenConnection(path, true, false, c);
  if (rc != SQLITE_OK) return rc;
  char pragma[96];
  std::snprintf(pragma, sizeof pragma, "PRAGMA application_id=%d", kApplicationId);
  if ((rc = c.Exec(pragma)) != SQLITE_OK) return rc;
  if ((rc = c.Exec("BEGIN")) != SQLITE_OK) return rc;
  if ((rc = c.Exec(kSchema)) != SQLITE_OK) return rc;
  {
    Statement s;
    rc = s.Prepare(c.db,
                   "INSERT INTO file_attributes(id, format_version, record_length, page_size, "
                   "file_flags) VALUES (1, ?, ?, ?, ?)");
    if (rc != SQLITE_OK) return rc;
    sqlite3_bind_int(s.stmt, 1, kFormatVersion);
    sqlite3_bind_int(s.stmt, 2, def.recordLength);
    sqlite3_bind_int(s.stmt, 3, def.pageSize);
    sqlite3_bind_int(s.stmt, 4, def.fileFlags);
    if ((rc = sqlite3_step(s.stmt)) != SQLITE_DONE) return rc;
  }
  {
    Statement s;
    rc = s.Prepare(c.db,
                   "INSERT INTO key_segments(key_number, segment, position, length, flags, "
                   "type, null_value) VALUES (?, ?, ?, ?, ?, ?, ?)");
    if (rc != SQLITE_OK) return rc;
    for (size_t k = 0; k < def.keys.size(); ++k) {
      for (size_t g = 0; g < def.keys[k].segments.size(); ++g) {
        const KeySegment& seg = def.keys[k].segments[g];
        int values[7] = {static_cast<int>(k), static_cast<int>(g), seg.offset + 1, seg.length,
                         seg.flags,           seg.declaredType,    seg.nullValue};
        for (int i = 0; i < 7; ++i) sqlite3_bind_int(s.stmt, i + 1, values[i]);
        if ((rc = sqlite3_step(s.stmt)) != SQLITE_DONE) return rc;
        sqlite3_reset(s.stmt);
      }
    }
  }
  if ((rc = c.Exec("COMMIT")) != SQLITE_OK) return rc;
  // WAL is a property of the file: every later writer appends to the log and a killed
  // one never leaves the main file half-written.
  if ((rc = c.Exec("PRAGMA journal_mode=WAL")) != SQLITE_OK) return rc;
  c.Close();
  return SQLITE_OK;
}

}  // namespace

std::unique_ptr<FileLoader> MakeNativeLoader() {
  return std::make_unique<NativeLoader>();
}

std::vector<std::unique_ptr<FileLoader>> DefaultLoaders() {
  std::vector<std::unique_ptr<FileLoader>> loaders;
  loaders.push_back(MakeNativeLoader());
  loaders.push_back(MakeGenuineLoader());
  return loaders;
}

void SetCreateHookForTesting(std::function<void()> hook) {
  CreateHook() = std::move(hook);
}

int16_t CreateNativeFile(const std::string& path, const FileDefinition& definition) {
  // The new file is built beside the old one and renamed over it: whole or not
  // at all. It gets the mode of any new file, not the old file's.
  std::string temp;
  int fd = -1;
  FileStatus made = CreateTemporaryBeside(path, &temp, &fd);
  if (!made.ok()) return StatusFromErrno(made.error());
  close(fd);
  int rc = BuildEmptyFile(temp, definition);
  int16_t st = status::kSuccess;
  if (rc != SQLITE_OK) {
    st = (rc & 0xFF) == SQLITE_FULL ? status::kDiskFull : status::kCreateError;
  } else if (FileStatus synced = SyncPath(temp, false); !synced.ok()) {
    st = StatusFromErrno(synced.error());
  }
  if (st == status::kSuccess) {
    SettleOldFile(path);
    if (CreateHook()) CreateHook()();
    FileStatus replaced = ReplaceWithTemporary(temp, path);
    if (replaced.ok()) return status::kSuccess;
    st = StatusFromErrno(replaced.error());
  }
  unlink(temp.c_str());
  for (const char* s : {"-wal", "-journal", "-shm"}) unlink((temp + s).c_str());
  return st;
}

bool StampFile(const std::string& path, FileStamp& out) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  out.device = st.st_dev;
  out.inode = st.st_ino;
  out.size = st.st_size;
  out.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

}  // namespace torvex::btrieve
