// Files: Create, Open's lookups and refusals, what survives on disk, damaged and foreign
// files, and processes killed while writing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <set>

#include "platform/btrieve/native_file.h"
#include "tests/platform/btrieve/btrieve_test_support.h"

namespace torvex::btrieve {
namespace {

using testing::CreateSpec;
using testing::File;
using testing::RecordWith;
using testing::Segment;
using testing::TempDir;

constexpr uint16_t kExt = key_flag::kExtendedType;

class BtrieveFiles : public ::testing::Test {
 protected:
  void TearDown() override { WBTRVSTOP(); }
  std::string MakeFile(const std::string& name, int records) {
    std::string path = dir.File(name);
    EXPECT_EQ(testing::Create(path, CreateSpec(16, 4096, 0, {{{1, 4, kExt, 15}}})), 0);
    File f;
    EXPECT_EQ(f.Open(path), 0);
    for (int i = 0; i < records; ++i) EXPECT_EQ(f.Insert(RecordWith(16, {{4, 1000u + i}})), 0);
    EXPECT_EQ(f.Close(), 0);
    EXPECT_EQ(WBTRVSTOP(), 0);
    return path;
  }
  static int CountRecords(const std::string& path, int16_t* openStatus = nullptr) {
    File f;
    int16_t st = f.Open(path, open_mode::kReadOnly);
    if (openStatus) *openStatus = st;
    if (st != 0) return -1;
    int n = 0;
    uint32_t last = 0;
    for (st = f.Call(op::kGetFirst); st == 0; st = f.Call(op::kGetNext)) {
      EXPECT_GT(f.U32(0), last);
      last = f.U32(0);
      ++n;
    }
    EXPECT_EQ(st, status::kEndOfFile);
    f.Close();
    return n;
  }
  static void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  static std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  TempDir dir;
};

TEST_F(BtrieveFiles, CreateChecksItsSpecification) {
  struct Case {
    const char* what;
    std::vector<uint8_t> spec;
    int16_t status;
  };
  auto one = [](Segment s) { return std::vector<std::vector<Segment>>{{s}}; };
  std::vector<uint8_t> shortKeys = CreateSpec(16, 4096, 0, {{{1, 4, kExt, 14}}});
  shortKeys.resize(24);
  std::vector<uint8_t> noKeys = CreateSpec(16, 4096, 0, {});
  Case cases[] = {
      {"record length 3", CreateSpec(3, 4096, 0, one({1, 2, kExt, 14})), 28},
      {"page size 1000", CreateSpec(16, 1000, 0, one({1, 4, kExt, 14})), 24},
      {"no keys", noKeys, 26},
      {"key past the record", CreateSpec(16, 4096, 0, one({15, 4, kExt, 14})), 27},
      {"key position 0", CreateSpec(16, 4096, 0, one({0, 4, kExt, 14})), 27},
      {"key length 0", CreateSpec(16, 4096, 0, one({1, 0, kExt, 14})), 29},
      {"float key", CreateSpec(16, 4096, 0, one({1, 4, kExt, 2})), 49},
      {"collating sequence", CreateSpec(16, 4096, 0, one({1, 4, kExt | 0x20, 11})), 48},
      {"autoincrement of 3 bytes", CreateSpec(16, 4096, 0, one({1, 3, kExt, 15})), 29},
      {"autoincrement with duplicates", CreateSpec(16, 4096, 0, one({1, 4, kExt | 1, 15})), 45},
      {"segments disagree on duplicates",
       CreateSpec(16, 4096, 0, {{{1, 2, kExt | 1, 14}, {3, 2, kExt, 14}}}), 45},
      {"key specification cut short", shortKeys, 22},
      {"file specification cut short", std::vector<uint8_t>(15, 0), 22},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(testing::Create(dir.File("BAD.DAT"), c.spec), c.status) << c.what;
    EXPECT_FALSE(std::filesystem::exists(dir.File("BAD.DAT"))) << c.what;
  }
}

// The ten template files exactly as the exporter creates them.
TEST_F(BtrieveFiles, CreatesTheTemplateFiles) {
  struct Spec {
    const char* name;
    uint16_t recordLength, pageSize, keyLength, flags;
    uint8_t type;
    uint16_t fileFlags;
  };
  Spec specs[] = {{"WCCRACE2", 126, 4096, 2, 0x100, 15, 0x1200},
                  {"WCCCLAS2", 156, 4096, 2, 0x100, 15, 0x1200},
                  {"WCCSPEL2", 260, 4096, 2, 0x100, 15, 0x1200},
                  {"WCCITEM2", 1072, 4096, 4, 0x100, 15, 0x1200},
                  {"WCCKNMS2", 756, 1536, 4, 0x100, 15, 0x1200},
                  {"WCCMSG2", 256, 4096, 4, 0x100, 15, 0x1200},
                  {"WCCSHOP2", 504, 4096, 4, 0x100, 15, 0x1200},
                  {"WCCTEXT2", 24, 2048, 18, 0x104, 14, 0x1201},
                  {"WCCMP002", 1544, 4096, 8, 0x104, 14, 0x1200},
                  {"WCCACTS2", 1010, 4096, 30, 0x100, 11, 0x1200}};
  for (const Spec& s : specs) {
    std::string path = dir.File(std::string(s.name) + ".VIR");
    auto spec =
        CreateSpec(s.recordLength, s.pageSize, s.fileFlags, {{{1, s.keyLength, s.flags, s.type}}});
    ASSERT_EQ(spec.size(), 32u);
    ASSERT_EQ(testing::Create(path, spec), 0) << s.name;
    File f;
    ASSERT_EQ(f.Open(path), 0) << s.name;
    std::vector<uint8_t> record(s.recordLength, 0);
    record[s.keyLength - 1] = 1;  // a non-zero key, valid for every type here
    EXPECT_EQ(f.Insert(record), 0) << s.name;
    EXPECT_EQ(f.Insert(record), status::kDuplicateKey) << s.name;
    EXPECT_EQ(f.Close(), 0);
  }
}

TEST_F(BtrieveFiles, CreateReplacesTheOldFileWhole) {
  std::string path = MakeFile("WCCRACE2.VIR", 5);
  ASSERT_EQ(CountRecords(path), 5);
  EXPECT_EQ(testing::Create(path, CreateSpec(16, 4096, 0, {{{1, 4, kExt, 15}}}),
                            create_mode::kFailIfExists),
            status::kFileExists);
  ASSERT_EQ(CountRecords(path), 5);
  File open;
  ASSERT_EQ(open.Open(path), 0);
  EXPECT_EQ(testing::Create(path, CreateSpec(16, 4096, 0, {{{1, 4, kExt, 15}}})),
            status::kCreateError);
  ASSERT_EQ(open.Close(), 0);
  // Once closed (though still cached) the file may be replaced; a new name in other case
  // replaces the same file.
  ASSERT_EQ(
      testing::Create(dir.File("wccrace2.vir"), CreateSpec(16, 4096, 0, {{{1, 4, kExt, 15}}})), 0);
  EXPECT_EQ(CountRecords(path), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File("wccrace2.vir")));
  for (auto& entry : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
  }
}

TEST_F(BtrieveFiles, OpenFindsFilesAndRefusesWhatIsNotThere) {
  std::string path = MakeFile("WCCITEM2.DAT", 2);
  File f;
  EXPECT_EQ(f.Open(dir.File("wccitem2.dat")), 0);
  EXPECT_EQ(f.Close(), 0);
  EXPECT_EQ(f.Open(dir.File("WccItem2.Dat"), open_mode::kReadOnly), 0);
  EXPECT_EQ(f.Close(), 0);
  EXPECT_EQ(f.Open(dir.File("WCCITEM3.DAT")), status::kFileNotFound);
  EXPECT_EQ(f.Open(dir.File("nodir/WCCITEM2.DAT")), status::kFileNotFound);
  EXPECT_EQ(f.Open(""), status::kInvalidFileName);
  EXPECT_EQ(f.Open(dir.path()), status::kInvalidFileName);
  // Paths are cut to 254 characters: the 255th onwards is never looked at.
  std::string padded = dir.File(std::string(254 - dir.path().size() - 1, 'x'));
  ASSERT_EQ(padded.size(), 254u);
  std::filesystem::copy_file(path, padded);
  EXPECT_EQ(f.Open(padded + "yyyy"), 0);
  EXPECT_EQ(f.Close(), 0);
  uint8_t block[128] = {};
  EXPECT_EQ(BTRCALL(op::kOpen, nullptr, nullptr, nullptr, f.key, 255, 0),
            status::kInvalidPositionBlock);
  EXPECT_EQ(BTRCALL(op::kOpen, block, nullptr, nullptr, nullptr, 255, 0), status::kInvalidFileName);
}

TEST_F(BtrieveFiles, ForeignFilesAnswer30) {
  WriteBytes(dir.File("TEXT.DAT"), "just some text that is not a record file\n");
  WriteBytes(dir.File("EMPTY.DAT"), "");
  sqlite3* db;
  ASSERT_EQ(sqlite3_open(dir.File("OTHER.DAT").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES (1);", 0, 0, 0), SQLITE_OK);
  sqlite3_close(db);
  File f;
  for (const char* name : {"TEXT.DAT", "EMPTY.DAT", "OTHER.DAT"}) {
    EXPECT_EQ(f.Open(dir.File(name)), status::kNotRecordFile) << name;
  }
}

// A FIFO, a device or a socket is no record file: Open answers 30 at once instead
// of waiting for a writer that never comes, whether the name is found as written
// or by its case-insensitive match.
TEST_F(BtrieveFiles, FilesThatAreNotRegularAnswer30WithoutBlocking) {
  ASSERT_EQ(mkfifo(dir.File("WCCRACE2.DAT").c_str(), 0644), 0);
  File f;
  for (int8_t mode : {open_mode::kNormal, open_mode::kReadOnly}) {
    EXPECT_EQ(f.Open(dir.File("WCCRACE2.DAT"), mode), status::kNotRecordFile);
    EXPECT_EQ(f.Open(dir.File("wccrace2.dat"), mode), status::kNotRecordFile);
  }
  EXPECT_EQ(f.Open("/dev/null"), status::kNotRecordFile);
}

// Damage a good file in many ways: Open answers a status, and whatever opens reads to
// its end without crashing.
TEST_F(BtrieveFiles, DamagedFilesGiveAStatusNeverACrash) {
  std::string good = ReadBytes(MakeFile("GOOD.DAT", 300));
  ASSERT_GT(good.size(), 8192u);
  std::vector<std::pair<std::string, std::string>> damaged;
  for (size_t cut : {size_t{16}, size_t{100}, size_t{4096}, good.size() / 2, good.size() - 1}) {
    damaged.emplace_back("cut at " + std::to_string(cut), good.substr(0, cut));
  }
  for (size_t page = 0; page < good.size() / 4096; ++page) {
    for (size_t at : {size_t{0}, size_t{8}, size_t{100}, size_t{2000}}) {
      std::string bad = good;
      for (size_t i = 0; i < 64 && page * 4096 + at + i < bad.size(); ++i) {
        bad[page * 4096 + at + i] = static_cast<char>(0xA5 ^ i);
      }
      damaged.emplace_back("page " + std::to_string(page) + " at " + std::to_string(at), bad);
    }
  }
  for (const auto& [what, bytes] : damaged) {
    std::string path = dir.File("BAD.DAT");
    WriteBytes(path, bytes);
    File f;
    int16_t st = f.Open(path);
    EXPECT_TRUE(st == 0 || st == status::kIoError || st == status::kNotRecordFile)
        << what << ": " << st;
    if (st == 0) {
      for (int n = 0; n < 1000 && f.Call(op::kStepNext) == 0; ++n) {
      }
      f.Close();
    }
    WBTRVSTOP();
    std::filesystem::remove(path);
  }
}

// Another tool writes a file by the documented schema; the engine reads it.
TEST_F(BtrieveFiles, ReadsFilesWrittenByOtherToolsAndSeesTheirChanges) {
  std::string path = dir.File("TOOL.DAT");
  sqlite3* db;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  const char* sql =
      "CREATE TABLE file_attributes (id INTEGER PRIMARY KEY, format_version INTEGER,"
      " record_length INTEGER, page_size INTEGER, file_flags INTEGER);"
      "CREATE TABLE key_segments (key_number INTEGER, segment INTEGER, position INTEGER,"
      " length INTEGER, flags INTEGER, type INTEGER, null_value INTEGER);"
      "CREATE TABLE records (position INTEGER PRIMARY KEY, data BLOB);"
      "INSERT INTO file_attributes VALUES (1, 1, 4, 512, 0);"
      "INSERT INTO key_segments VALUES (0, 0, 3, 2, 256, 14, 0);"
      "INSERT INTO key_segments VALUES (0, 1, 1, 2, 256, 14, 0);"
      "INSERT INTO records VALUES (10, x'02000100'), (20, x'01000200');";
  ASSERT_EQ(sqlite3_exec(db, sql, 0, 0, 0), SQLITE_OK);
  File f;
  ASSERT_EQ(f.Open(path, open_mode::kReadOnly), 0);
  ASSERT_EQ(f.Call(op::kGetFirst), 0);
  EXPECT_EQ(f.U16(0), 2);  // ordered by the first segment, the u16 at offset 2
  ASSERT_EQ(f.Close(), 0);
  // A change made elsewhere while the engine keeps the file loaded is seen at re-Open.
  ASSERT_EQ(sqlite3_exec(db, "INSERT INTO records VALUES (30, x'00000000')", 0, 0, 0), SQLITE_OK);
  ASSERT_EQ(f.Open(path, open_mode::kReadOnly), 0);
  ASSERT_EQ(f.Call(op::kGetFirst), 0);
  EXPECT_EQ(f.U16(0), 0);
  ASSERT_EQ(f.Close(), 0);
  // A record breaking the file's own no-duplicates rule marks the file damaged.
  ASSERT_EQ(sqlite3_exec(db, "INSERT INTO records VALUES (40, x'00000000')", 0, 0, 0), SQLITE_OK);
  EXPECT_EQ(f.Open(path, open_mode::kReadOnly), status::kIoError);
  ASSERT_EQ(sqlite3_exec(db,
                         "DELETE FROM records WHERE position = 40;"
                         "INSERT INTO records VALUES (40, x'0000')",
                         0, 0, 0),
            SQLITE_OK);
  EXPECT_EQ(f.Open(path, open_mode::kReadOnly), status::kIoError);  // shorter than its length
  sqlite3_close(db);
}

TEST_F(BtrieveFiles, UnchangedFilesStayLoadedAcrossCloseAndOpen) {
  std::string path = MakeFile("WCCMSG2.VIR", 3);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  ASSERT_EQ(f.Insert(RecordWith(16, {})), 0);  // pending in a batch until Close
  ASSERT_EQ(f.Close(), 0);
  File reader;
  ASSERT_EQ(reader.Open(path, open_mode::kReadOnly), 0);
  ASSERT_EQ(reader.Call(op::kGetLast), 0);
  EXPECT_EQ(reader.U32(0), 4u);
  // Two handles on one file see each other's inserts.
  ASSERT_EQ(f.Open(path), 0);
  ASSERT_EQ(f.Insert(RecordWith(16, {})), 0);
  ASSERT_EQ(reader.Call(op::kGetNext), 0);
  EXPECT_EQ(reader.U32(0), 5u);
}

TEST_F(BtrieveFiles, NoReadPermissionAnswers46) {
  std::string path = MakeFile("SECRET.DAT", 1);
  chmod(dir.path().c_str(), 0755);
  chmod(path.c_str(), 0600);
  // Root reads anything: check as an unprivileged user in a child process.
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
    if (geteuid() != 0) chmod(path.c_str(), 0);
    File f;
    _exit(f.Open(path));
  }
  int wstatus = 0;
  waitpid(child, &wstatus, 0);
  ASSERT_TRUE(WIFEXITED(wstatus));
  if (WEXITSTATUS(wstatus) == 100) GTEST_SKIP() << "cannot drop privileges";
  EXPECT_EQ(WEXITSTATUS(wstatus), status::kAccessDenied);
}

TEST_F(BtrieveFiles, KilledDuringCreateLeavesTheOldFileWhole) {
  std::string path = MakeFile("WCCSHOP2.VIR", 7);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SetCreateHookForTesting([] { raise(SIGKILL); });
    testing::Create(path, CreateSpec(32, 4096, 0, {{{1, 4, kExt, 15}}}));
    _exit(0);
  }
  int wstatus = 0;
  waitpid(child, &wstatus, 0);
  ASSERT_TRUE(WIFSIGNALED(wstatus));
  EXPECT_EQ(CountRecords(path), 7);
  File f;
  ASSERT_EQ(f.Open(path), 0);
  EXPECT_EQ(f.Insert(std::vector<uint8_t>(16, 0)), 0);  // still 16-byte records
}

// A writer killed at any moment leaves a file that opens, with every record committed
// before the kill (here: everything before the Close) and nothing half-written.
TEST_F(BtrieveFiles, KilledDuringBulkInsertKeepsCommittedRecords) {
  std::string path = MakeFile("WCCKNMS2.VIR", 0);
  for (int delayMs : {0, 30, 120}) {
    int pipefd[2];
    ASSERT_EQ(pipe(pipefd), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipefd[0]);
      File f;
      if (f.Open(path) != 0) _exit(1);
      for (int i = 0; i < 3000; ++i) f.Insert(RecordWith(16, {{4, 7u}}));
      if (f.Close() != 0) _exit(2);
      if (write(pipefd[1], "c", 1) != 1) _exit(3);
      if (f.Open(path) != 0) _exit(1);
      for (;;) f.Insert(RecordWith(16, {{4, 8u}}));
    }
    close(pipefd[1]);
    char c;
    ASSERT_EQ(read(pipefd[0], &c, 1), 1);
    close(pipefd[0]);
    usleep(delayMs * 1000);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    int16_t st;
    int n = CountRecords(path, &st);
    ASSERT_EQ(st, 0) << delayMs;
    EXPECT_GE(n, 3000) << delayMs;
    WBTRVSTOP();
    ASSERT_EQ(testing::Create(path, CreateSpec(16, 4096, 0, {{{1, 4, kExt, 15}}})), 0);
  }
}

}  // namespace
}  // namespace torvex::btrieve
