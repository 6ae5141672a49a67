#include "platform/file_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/temp_dir.h"

namespace torvex {
namespace {

using testing::ReadFile;
using testing::TempDir;

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

// Sets the umask for one test and puts the old one back.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(old_); }

 private:
  mode_t old_;
};

// Lets no file of this process grow past `bytes` (writes past it fail with
// EFBIG instead of raising SIGXFSZ), until the object goes.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  sighandler_t oldHandler_;
};

TEST(FileWriterTest, WritesANewFileWithTheModeOfAnyNewFile) {
  TempDir dir;
  for (mode_t mask : {mode_t{022}, mode_t{077}}) {
    ScopedUmask umask(mask);
    const std::string path = dir.File("new-" + std::to_string(mask));
    const FileStatus status = WriteWholeFile(path, std::string_view("hello\0world", 11));
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(ReadFile(path), std::string("hello\0world", 11));
    EXPECT_EQ(ModeOf(path), 0666 & ~mask);
  }
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"new-18", "new-63"}));
}

TEST(FileWriterTest, ReplacesAnExistingFileKeepingItsMode) {
  TempDir dir;
  const std::string path = dir.Write("prefs.ini", "old text that is longer\n");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  const std::vector<uint8_t> bytes = {'n', 'e', 'w', 0, 0xFF};
  ASSERT_TRUE(WriteWholeFile(path, std::span<const uint8_t>(bytes)).ok());
  EXPECT_EQ(ReadFile(path), std::string("new\0\xFF", 5));
  EXPECT_EQ(ModeOf(path), 0640u);
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"prefs.ini"});
}

TEST(FileWriterTest, WritesAnEmptyFile) {
  TempDir dir;
  const std::string path = dir.Write("f", "something");
  ASSERT_TRUE(WriteWholeFile(path, std::string_view()).ok());
  EXPECT_EQ(ReadFile(path), "");
}

TEST(FileWriterTest, WritesThroughASymbolicLinkAndKeepsTheLink) {
  TempDir dir;
  const std::string real = dir.Write("real.ini", "old");
  const std::string link = dir.File("link.ini");
  ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
  ASSERT_TRUE(WriteWholeFile(link, std::string_view("new")).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(real), "new");
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"link.ini", "real.ini"}));
}

// Each fault leaves what was there and no temporary file, and says why.
TEST(FileWriterTest, TargetThatIsADirectoryIsRefusedAndLeftAlone) {
  TempDir dir;
  const std::string target = dir.File("sub");
  ASSERT_TRUE(std::filesystem::create_directory(target));
  dir.Write("sub/inside", "kept");
  const FileStatus status = WriteWholeFile(target, std::string_view("text"));
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.error(), EISDIR);
  EXPECT_NE(status.message().find(target), std::string::npos) << status.message();
  EXPECT_EQ(ReadFile(dir.File("sub/inside")), "kept");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"sub"});
}

TEST(FileWriterTest, DirectoryThatCannotBeWrittenInFails) {
  TempDir dir;
  dir.Write("plain", "a file, not a directory");
  struct Case {
    std::string target;
    int error;
  };
  const Case cases[] = {
      {dir.File("missing/dump.bin"), ENOENT},
      {dir.File("plain/dump.bin"), ENOTDIR},
  };
  for (const Case& c : cases) {
    const FileStatus status = WriteWholeFile(c.target, std::string_view("x"));
    EXPECT_FALSE(status.ok()) << c.target;
    EXPECT_EQ(status.error(), c.error) << c.target;
    EXPECT_NE(status.message().find(c.target), std::string::npos) << status.message();
  }
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"plain"});
  EXPECT_EQ(ReadFile(dir.File("plain")), "a file, not a directory");
}

TEST(FileWriterTest, WriteThatFailsHalfwayLeavesTheOldFile) {
  TempDir dir;
  const std::string path = dir.Write("prefs.ini", "old contents\n");
  FileStatus status;
  {
    FileSizeLimit limit(4096);
    status = WriteWholeFile(path, std::string(10000, 'n'));
  }
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.error(), EFBIG);
  EXPECT_EQ(ReadFile(path), "old contents\n");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"prefs.ini"});
}

TEST(FileWriterTest, TemporaryFilesAreHiddenBesideTheTargetAndNeverReused) {
  TempDir dir;
  std::string first, second;
  int fd1 = -1, fd2 = -1;
  ASSERT_TRUE(CreateTemporaryBeside(dir.File("data.dat"), &first, &fd1).ok());
  ASSERT_TRUE(CreateTemporaryBeside(dir.File("data.dat"), &second, &fd2).ok());
  ::close(fd1);
  ::close(fd2);
  EXPECT_NE(first, second);
  EXPECT_EQ(first.rfind(dir.File(".data.dat.tmp-"), 0), 0u) << first;
  ASSERT_TRUE(ReplaceWithTemporary(first, dir.File("data.dat")).ok());
  EXPECT_FALSE(ReplaceWithTemporary(dir.File("gone"), dir.File("data.dat")).ok());
  EXPECT_EQ(Names(dir.path()).size(), 2u);
}

TEST(FileWriterTest, DirectoryOf) {
  EXPECT_EQ(DirectoryOf("name"), ".");
  EXPECT_EQ(DirectoryOf("/name"), "/");
  EXPECT_EQ(DirectoryOf("a/b/name"), "a/b");
}

}  // namespace
}  // namespace torvex
