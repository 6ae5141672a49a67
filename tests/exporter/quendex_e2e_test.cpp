// Runs the real quendex program in a directory holding an update file, as an operator
// would, and checks what it printed and the files it left.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "exporter/update_file.h"
#include "platform/btrieve/bytes.h"
#include "tests/platform/btrieve/btrieve_test_support.h"

namespace torvex::exporter {
namespace {

namespace bt = torvex::btrieve;

struct Result {
  int exitCode = -1;
  std::string out;
};

// Runs quendex with `args` in `dir` under the locale `locale`.
Result RunQuendex(const std::string& dir, const std::string& locale,
                  const std::vector<std::string>& args = {}) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    if (chdir(dir.c_str()) != 0) _exit(126);
    setenv("LC_ALL", locale.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(QUENDEX_BINARY)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(QUENDEX_BINARY, argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  Result r;
  char buf[4096];
  for (ssize_t n; (n = read(pipeFds[0], buf, sizeof buf)) > 0;) r.out.append(buf, n);
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::vector<uint8_t> Message(uint32_t number, const std::string& line) {
  std::vector<uint8_t> r(256, 0);
  bt::StoreU32(r.data(), number);
  std::copy(line.begin(), line.end(), r.begin() + 4);
  return r;
}

TEST(QuendexProgramTest, ExportsAnUpdateFileInTheWorkingDirectory) {
  bt::testing::TempDir dir;
  {
    UpdateFileWriter w;
    ASSERT_EQ(w.Create(dir.File("wccupda2.dat")), 0);  // found whatever its case
    ASSERT_EQ(w.Append(8, Message(10, "first")), 0);
    ASSERT_EQ(w.Append(8, Message(10, "again")), 0);
    ASSERT_EQ(w.Append(8, Message(11, "second")), 0);
    ASSERT_EQ(w.Close(), 0);
  }
  const std::string tail =
      " KRX Dunmarrow Update File Exporter 1.00 (Build: 1)\n\n"
      "  Creating all VIR files...Success!\n"
      "  Exporting WCCUPDA2.DAT...-\b\\\b\r! Error 5 inserting into file WCCMSG2.VIR!      \n"
      "  Exporting WCCUPDA2.DAT...|\bDone.\n  Closing files.\n  Finished.\n";
  Result plain = RunQuendex(dir.path(), "C");
  EXPECT_EQ(plain.exitCode, 0);
  EXPECT_EQ(plain.out, "\xFE" + tail);
  Result utf8 = RunQuendex(dir.path(), "C.UTF-8");
  EXPECT_EQ(utf8.exitCode, 0);
  EXPECT_EQ(utf8.out, "\u25A0" + tail);

  bt::testing::File f;
  ASSERT_EQ(f.Open(dir.File("WCCMSG2.VIR"), bt::open_mode::kReadOnly), 0);
  ASSERT_EQ(f.Call(bt::op::kGetFirst), 0);
  EXPECT_EQ(f.Record(), Message(10, "first"));
  ASSERT_EQ(f.Call(bt::op::kGetNext), 0);
  EXPECT_EQ(f.Record(), Message(11, "second"));
  EXPECT_EQ(f.Call(bt::op::kGetNext), bt::status::kEndOfFile);
  f.Close();
  for (const char* name : {"WCCRACE2", "WCCCLAS2", "WCCSPEL2", "WCCITEM2", "WCCKNMS2", "WCCSHOP2",
                           "WCCTEXT2", "WCCMP002", "WCCACTS2"}) {
    ASSERT_EQ(f.Open(dir.File(std::string(name) + ".VIR"), bt::open_mode::kReadOnly), 0) << name;
    EXPECT_EQ(f.Call(bt::op::kGetFirst), bt::status::kEndOfFile) << name;
    f.Close();
  }
}

TEST(QuendexProgramTest, UsageAndMissingUpdateFile) {
  bt::testing::TempDir dir;
  Result usage = RunQuendex(dir.path(), "C", {"/-help"});
  EXPECT_EQ(usage.exitCode, 0);
  EXPECT_EQ(usage.out.rfind("Exports a Dunmarrow update file to it's component VIR files.\n\n", 0),
            0u);
  EXPECT_EQ(access(dir.File("WCCRACE2.VIR").c_str(), F_OK), -1);

  Result missing = RunQuendex(dir.path(), "C", {"-HELP"});
  EXPECT_EQ(missing.exitCode, 12);
  EXPECT_NE(missing.out.find("\r! Error 12 opening file WCCUPDA2.DAT!"), std::string::npos)
      << missing.out;
  EXPECT_EQ(access(dir.File("WCCRACE2.VIR").c_str(), F_OK), 0);
}

}  // namespace
}  // namespace torvex::exporter
