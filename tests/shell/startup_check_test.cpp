#include "shell/startup_check.h"

#include <gtest/gtest.h>

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
      const auto spec =
          btrieve::testing::CreateSpec(64, 1024, 0, {{Segment{1, 4, 0, btrieve::key_type::kInteger}}});
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
  EXPECT_EQ(s.cursorSize, 0);                    // hidden while checking
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

}  // namespace
}  // namespace torvex
