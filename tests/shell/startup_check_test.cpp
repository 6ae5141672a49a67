#include "shell/startup_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "database/btrieve_layer.h"
#include "platform/terminal/headless_display.h"
#include "tests/platform/btrieve/btrieve_test_support.h"

namespace torvex {
namespace {

using btrieve::testing::Segment;
using btrieve::testing::TempDir;

struct CheckHarness {
  HeadlessDisplay display;
  Console console{display, 80, 50};
  TempDir dir;
  DatabaseSettings settings;

  CheckHarness() { settings.dataDirectory = dir.path() + "/"; }

  void CreateFiles(int count) {
    for (int i = 0; i < count; ++i) {
      const auto spec = btrieve::testing::CreateSpec(
          64, 1024, 0, {{Segment{1, 4, 0, btrieve::key_type::kInteger}}});
      ASSERT_EQ(btrieve::testing::Create(DatabasePath(settings, kCheckedFiles[i]), spec), 0);
    }
  }
  const HeadlessDisplay::Snapshot& Shown() const { return display.AtKeyWaits().at(0); }
};

TEST(StartupCheckTest, MissingFilesFailWithTheirStatusAndWaitForAKey) {
  CheckHarness h;
  h.CreateFiles(2);
  h.display.PushVk(vk::kF1 + 4);  // an extended key is consumed whole
  EXPECT_FALSE(RunStartupCheck(h.console, "/home/op/torvex.ini", h.settings));
  EXPECT_EQ(h.display.PendingKeys(), 0u);
  EXPECT_FALSE(h.console.KeyPressed());  // no scan code left behind
  const auto& s = h.Shown();
  EXPECT_EQ(s.Text(3, 20, 19), "/home/op/torvex.ini");
  EXPECT_EQ(s.At(3, 20).attr, 15);
  EXPECT_EQ(s.Text(3, 22, static_cast<int>(h.settings.dataDirectory.size())),
            h.settings.dataDirectory);
  EXPECT_EQ(s.Text(2, 26, 12), "WCCRACE2.VIR");
  EXPECT_EQ(s.Text(26, 26, 12), "Success!    ");
  EXPECT_EQ(s.At(26, 26).attr, 10);
  EXPECT_EQ(s.Text(2, 28, 12), "WCCMP002.VIR");
  EXPECT_EQ(s.Text(26, 28, 20), "Failure! (Error: 12)");
  EXPECT_EQ(s.At(26, 28).attr, 12);
  EXPECT_EQ(s.Text(2, 34, 12), "WCCTEXT2.VIR");
  EXPECT_EQ(s.Text(26, 37, 11), "Failure!   ");
  EXPECT_EQ(s.Text(2, 38, 28), "<PRESS ANY KEY TO CONTINUE> ");
  EXPECT_EQ(s.At(2, 38).attr, 12);
  EXPECT_EQ(s.cursorSize, 0);              // hidden while checking
  EXPECT_TRUE(h.console.CursorVisible());  // small again afterwards
  EXPECT_EQ(h.console.CursorSize(), 15);
  EXPECT_EQ(h.display.WaitedMillis(), 0);
}

TEST(StartupCheckTest, AllPresentWaitsTenSecondsAtMost) {
  CheckHarness h;
  h.settings.dataDirectory.clear();
  TempDir cwd;
  h.settings.dataDirectory = cwd.path() + "/";
  h.CreateFiles(9);
  EXPECT_TRUE(RunStartupCheck(h.console, "x.ini", h.settings));
  EXPECT_EQ(h.display.WaitedMillis(), 10000);  // the script is empty: the time ran out
  const auto& s = h.Shown();
  for (int row = 26; row <= 34; ++row) EXPECT_EQ(s.Text(26, row, 8), "Success!") << row;
  EXPECT_EQ(s.Text(26, 37, 8), "Success!");
  EXPECT_EQ(s.Text(2, 38, 74),
            "<PRESS \"Z\" TO WAIT, PRESS ANY OTHER KEY TO CONTINUE, OR WAIT TEN SECONDS> ");
}

TEST(StartupCheckTest, LowerCaseZKeepsWaitingUntilAnotherKey) {
  CheckHarness h;
  h.CreateFiles(9);
  h.display.PushText("z");
  h.display.PushText("q");
  EXPECT_TRUE(RunStartupCheck(h.console, "x.ini", h.settings));
  EXPECT_EQ(h.display.PendingKeys(), 0u);
  const auto& second = h.display.AtKeyWaits().at(1);
  EXPECT_EQ(second.Text(2, 38, 28 + 47), "<PRESS ANY KEY TO CONTINUE>" + std::string(48, ' '));
  EXPECT_EQ(h.display.WaitedMillis(), 0);
}

TEST(StartupCheckTest, DatExtensionAndBlankDirectory) {
  CheckHarness h;
  h.settings.dataDirectory.clear();
  h.settings.useDatFiles = true;
  h.display.PushText(" ");
  EXPECT_FALSE(RunStartupCheck(h.console, "x.ini", h.settings, "Data directory too long"));
  const auto& s = h.Shown();
  EXPECT_EQ(s.Text(3, 22, 7), "<blank>");
  EXPECT_EQ(s.Text(3, 23, 23), "Data directory too long");
  EXPECT_EQ(s.Text(2, 26, 12), "WCCRACE2.DAT");
}

// A data file that is a FIFO would hold an open for reading until a writer came:
// the check answers 30 for it and goes on.
TEST(StartupCheckTest, AFifoInPlaceOfADataFileFailsWithoutBlocking) {
  CheckHarness h;
  h.CreateFiles(9);
  const std::string race = DatabasePath(h.settings, kCheckedFiles[0]);
  ASSERT_EQ(std::remove(race.c_str()), 0);
  ASSERT_EQ(::mkfifo(race.c_str(), 0644), 0);
  h.display.PushText(" ");
  EXPECT_FALSE(RunStartupCheck(h.console, "x.ini", h.settings));
  const auto& s = h.Shown();
  EXPECT_EQ(s.Text(26, 26, 20), "Failure! (Error: 30)");
  EXPECT_EQ(s.Text(26, 27, 8), "Success!");
}

// Paths longer than the frame show their end inside it; each keeps its row, and
// the notice and the table head stay where they are.
TEST(StartupCheckTest, LongPathsAreCutAtTheirStartInsideTheFrame) {
  CheckHarness h;
  const std::string ini = "/home/op/" + std::string(100, 'i') + "/torvex.ini";
  h.settings.dataDirectory = "/srv/|12game/" + std::string(120, 'd') + "/data/";
  h.display.PushText(" ");
  EXPECT_FALSE(RunStartupCheck(h.console, ini, h.settings, "Data directory not found"));
  const auto& s = h.Shown();
  const std::string dirTail =
      h.settings.dataDirectory.substr(h.settings.dataDirectory.size() - (kCheckFieldWidth - 3));
  struct Row {
    int row;
    std::string text;
    uint8_t attr;
  };
  const Row rows[] = {
      {20, "..." + ini.substr(ini.size() - 72), 15},
      {22, "..." + dirTail, 15},
      {23, "Data directory not found", 12},
  };
  for (const Row& r : rows) {
    const std::string padded = r.text + std::string(75 - r.text.size(), ' ');
    EXPECT_EQ(s.Text(3, r.row, 75), padded) << "row " << r.row;
    EXPECT_EQ(s.At(3, r.row).attr, r.attr) << "row " << r.row;
    EXPECT_EQ(s.At(78, r.row).ch, ' ') << "row " << r.row;   // the cell before the frame
    EXPECT_EQ(s.At(79, r.row).ch, 0xB3) << "row " << r.row;  // the frame itself
  }
  EXPECT_EQ(s.Text(2, 24, 8), "Filename");
  EXPECT_EQ(s.At(2, 24).attr, 11);

  // A path with a bar in it is written as it is, not as colour codes.
  CheckHarness plain;
  plain.settings.dataDirectory = "/srv/|12game/";
  plain.display.PushText(" ");
  RunStartupCheck(plain.console, "x.ini", plain.settings);
  EXPECT_EQ(plain.Shown().Text(3, 22, 13), "/srv/|12game/");
  EXPECT_EQ(plain.Shown().At(8, 22).attr, 15);
}

TEST(StartupCheckTest, ElideStart) {
  struct Case {
    std::string text;
    size_t width;
    std::string expected;
  };
  const Case cases[] = {
      {"", 5, ""},           {"abcde", 5, "abcde"}, {"abcdef", 5, "...ef"},
      {"abcdef", 4, "...f"}, {"abcdef", 3, "..."},  {"abcdef", 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ElideStart(c.text, c.width), c.expected) << c.text << " in " << c.width;
  }
}

// The check opens read-only and leaves every file as it was.
TEST(StartupCheckTest, TheCheckChangesNoFile) {
  CheckHarness h;
  h.CreateFiles(9);
  struct Seen {
    std::string bytes;
    int64_t mtime;
  };
  auto look = [&](const char* name) {
    const std::string path = DatabasePath(h.settings, name);
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return Seen{torvex::testing::ReadFile(path),
                static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
  };
  std::vector<Seen> before;
  for (const char* name : kCheckedFiles) before.push_back(look(name));
  EXPECT_TRUE(RunStartupCheck(h.console, "x.ini", h.settings));
  for (size_t i = 0; i < before.size(); ++i) {
    const Seen after = look(kCheckedFiles[i]);
    EXPECT_EQ(after.bytes, before[i].bytes) << kCheckedFiles[i];
    EXPECT_EQ(after.mtime, before[i].mtime) << kCheckedFiles[i];
  }
}

}  // namespace
}  // namespace torvex
