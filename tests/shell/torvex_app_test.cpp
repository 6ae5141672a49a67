#include "shell/torvex_app.h"

#include <gtest/gtest.h>

#include <optional>

#include "console/colour_text.h"
#include "database/settings.h"
#include "platform/terminal/headless_display.h"
#include "shell/command_line.h"

namespace torvex {
namespace {

// Runs the main routine on a headless display with scripted keys.
struct Harness {
  HeadlessDisplay display;
  std::vector<std::string> out;
  int displayOpens = 0;
  int keyWaitsWithoutConsole = 0;
  std::optional<HeadlessDisplay::Snapshot> farewell;
  bool closedWithoutFarewell = false;
  std::vector<std::pair<std::string, std::string>> reports;
  std::vector<int> viewersRun;
  ShellEnvironment env;

  const Settings savedSettings = CurrentSettings();
  ~Harness() { CurrentSettings() = savedSettings; }

  Harness() {
    env.writeLine = [this](const std::string& line) { out.push_back(line); };
    env.openDisplay = [this]() -> Display& {
      ++displayOpens;
      return display;
    };
    env.closeDisplay = [this](const Frame* frame) {
      if (!frame) {
        closedWithoutFarewell = true;
        return;
      }
      HeadlessDisplay copy;
      copy.Present(*frame);
      farewell = copy.Last();
    };
    env.waitForKey = [this] { ++keyWaitsWithoutConsole; };
    env.startColumns = 80;
    env.startRows = 24;
    env.iniPath = "/home/op/.config/torvex/torvex.ini";
    env.cpuLabel = "|14SSE2";
    CurrentSettings().startup.startupCheck = false;  // tested on its own
    env.makeViewers = [this](Console& console) {
      Viewers v;
      for (int code = 0; code < kViewerCount; ++code) {
        v.byCode[static_cast<size_t>(code)] = [this, code, &console] {
          viewersRun.push_back(code);
          // A viewer leaves its own screen behind; the menu must repaint.
          console.ClrScr();
          console.Write("viewer screen");
          console.ReadKey();
        };
      }
      return v;
    };
  }

  int Run(std::vector<std::string> args) {
    return TorvexMain(args, env, [this](const std::string& caption, const std::string& text) {
      reports.emplace_back(caption, text);
    });
  }
};

TEST(TorvexAppTest, HelpPrintsUsageAndEndsBeforeTheScreen) {
  Harness h;
  EXPECT_EQ(h.Run({"/?"}), 0);
  EXPECT_EQ(h.out, UsageLines());
  EXPECT_EQ(h.displayOpens, 0);
  EXPECT_EQ(h.keyWaitsWithoutConsole, 0);

  Harness paused;
  paused.env.pauseAtExit = true;
  EXPECT_EQ(paused.Run({"/CREDITS"}), 0);
  EXPECT_EQ(paused.out, CreditsLines());
  EXPECT_EQ(paused.keyWaitsWithoutConsole, 1);
}

TEST(TorvexAppTest, BannerThenMainMenuThenFarewell) {
  Harness h;
  h.display.PushText("q");
  EXPECT_EQ(h.Run({}), 0);
  ASSERT_EQ(h.out.size(), 5u);
  EXPECT_EQ(h.out[0].substr(0, 13), "\xFE TORVEXNT 1.");
  EXPECT_EQ(h.out[3], "");
  EXPECT_EQ(h.out[4].substr(0, 29), "  Compression thanks to ZLib ");

  // The menu as shown at its first key wait.
  ASSERT_EQ(h.display.AtKeyWaits().size(), 1u);
  const auto& menu = h.display.AtKeyWaits()[0];
  EXPECT_EQ(menu.width, 80);
  EXPECT_EQ(menu.height, 50);
  EXPECT_EQ(menu.Text(2, 1, 11), "TORVEX-NT 1");
  EXPECT_EQ(menu.At(8, 1).attr, 0x0F);  // "-NT " in white
  EXPECT_EQ(menu.Text(3, 9, 16), "[1] or [R] Races");
  EXPECT_EQ(menu.Text(44, 9, 18), "[2] or [C] Classes");
  EXPECT_EQ(menu.Text(3, 19, 8), "[X] Exit");
  EXPECT_EQ(menu.Text(1, 48, 5), "ZLib ");
  EXPECT_EQ(menu.At(1, 48).attr, 0x08);
  EXPECT_NE(menu.Row(1).find("(Build 1) SSE2"), std::string::npos) << menu.Row(1);
  EXPECT_EQ(menu.cursorX, 4);  // inside the "[ ]" box at column 5, row 23
  EXPECT_EQ(menu.cursorY, 22);
  EXPECT_EQ(menu.cursorSize, 15);
  EXPECT_EQ(h.display.Title(), "TORVEXNT");

  // The farewell box stays, on the screen size the program started with.
  ASSERT_TRUE(h.farewell);
  EXPECT_EQ(h.farewell->height, 24);
  EXPECT_NE(h.farewell->Row(1).find("TORVEX - Dunmarrow Viewer for Win32"), std::string::npos);
  EXPECT_NE(h.farewell->Row(7).find("TORVEX - The name in Dunmarrow database viewing."),
            std::string::npos);
  EXPECT_EQ(h.farewell->cursorX, 0);
  EXPECT_EQ(h.farewell->cursorY, 10);
}

TEST(TorvexAppTest, EveryWayOutOfTheMenu) {
  for (const char* key : {"q", "Q", "x", "X", "\x1b"}) {
    Harness h;
    h.display.PushText(key);
    EXPECT_EQ(h.Run({}), 0) << key;
    EXPECT_TRUE(h.farewell) << key;
  }
}

TEST(TorvexAppTest, MenuKeysStartTheirViewersInEitherCase) {
  struct Case {
    const char* key;
    int viewer;
  } cases[] = {{"1", kViewRaces},  {"r", kViewRaces},     {"C", kViewClasses},
               {"3", kViewSpells}, {"m", kViewMonsters},  {"5", kViewItems},
               {"i", kViewItems},  {"6", kViewMessages},  {"b", kViewTextBlocks},
               {"8", kViewRooms},  {"t", kViewShops},     {"k", kViewActiveMonsters},
               {"N", kViewGangs},  {"o", kViewItemOwners}};
  for (const auto& c : cases) {
    Harness h;
    h.display.PushText(c.key);
    h.display.PushText(" ");  // leaves the viewer
    h.display.PushText("q");
    h.Run({});
    EXPECT_EQ(h.viewersRun, std::vector<int>{c.viewer}) << c.key;
    // The menu was painted again over the viewer's screen.
    EXPECT_EQ(h.display.AtKeyWaits().back().Text(3, 9, 16), "[1] or [R] Races") << c.key;
  }
}

TEST(TorvexAppTest, KeysWithoutActionDoNotRepaint) {
  Harness h;
  h.display.PushText("u0Z");
  h.display.PushVk(vk::kRight);  // 0 then 77: not an "M"
  h.display.PushVk(vk::kF1 + 3, kAlt);
  h.display.PushText("q");
  h.Run({});
  EXPECT_TRUE(h.viewersRun.empty());
  EXPECT_EQ(h.display.TitleSets(), 2);  // once at start, once for the only paint
}

TEST(TorvexAppTest, CommandLineViewerRunsBeforeTheMenu) {
  Harness h;
  h.display.PushText(" q");
  h.Run({"/rooms", "/ITEMS"});
  EXPECT_EQ(h.viewersRun, std::vector<int>{kViewItems});
  EXPECT_EQ(h.display.AtKeyWaits()[0].Text(0, 0, 13), "viewer screen");
  EXPECT_EQ(h.display.AtKeyWaits()[1].Text(3, 9, 16), "[1] or [R] Races");
}

TEST(TorvexAppTest, PauseAtExitWaitsOnTheFarewellScreen) {
  Harness h;
  h.env.pauseAtExit = true;
  h.display.PushText("qx");
  h.Run({});
  EXPECT_EQ(h.display.PendingKeys(), 0u);
  EXPECT_NE(h.display.AtKeyWaits().back().Row(1).find("Dunmarrow Viewer"), std::string::npos);
}

TEST(TorvexAppTest, StartupCheckComesBeforeTheMenuAndWindowIsMaximised) {
  Harness h;
  CurrentSettings().startup.startupCheck = true;
  h.env.iniPath = "/nonexistent/dir/torvex.ini";
  h.display.PushText(" q");
  EXPECT_EQ(h.Run({}), 0);
  ASSERT_EQ(h.display.AtKeyWaits().size(), 2u);
  EXPECT_NE(h.display.AtKeyWaits()[0].Row(20).find("/nonexistent/dir/torvex.ini"),
            std::string::npos);
  EXPECT_EQ(h.display.AtKeyWaits()[1].Text(3, 9, 16), "[1] or [R] Races");
  EXPECT_EQ(h.display.Maximizes(), 1);
}

// Whether a snapshot shows `text` anywhere.
bool Shows(const HeadlessDisplay::Snapshot& snap, const std::string& text) {
  for (int y = 0; y < snap.height; ++y) {
    if (snap.Row(y).find(text) != std::string::npos) return true;
  }
  return false;
}

TEST(TorvexAppTest, PreferencesAreLoadedOnTheScreenAndTheirOptionsApply) {
  Harness h;
  std::vector<std::string> loaded;
  h.env.loadPreferences = [&](const std::string& path) {
    loaded.push_back(path);
    CurrentSettings().startup.startMaximized = false;
    EXPECT_EQ(h.displayOpens, 1);  // a run without a screen reads no ini file
    return std::string("The preferences file could not be read.");
  };
  h.display.PushText(" q");  // the space closes the problem's window
  h.Run({"mine.ini"});
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].substr(loaded[0].size() - 9), "/mine.ini");
  // Shown in a window while the program runs, not printed under the screen.
  ASSERT_EQ(h.display.AtKeyWaits().size(), 2u);
  EXPECT_TRUE(Shows(h.display.AtKeyWaits()[0], "The preferences file could not be read."));
  EXPECT_TRUE(Shows(h.display.AtKeyWaits()[0], "Preferences"));
  EXPECT_EQ(h.display.AtKeyWaits()[1].Text(3, 9, 16), "[1] or [R] Races");
  EXPECT_EQ(h.out.size(), 5u);  // the banner only
  EXPECT_EQ(h.display.Maximizes(), 0);
}

TEST(TorvexAppTest, PreferencesAreSavedWhileTheScreenIsThereAndAProblemIsShown) {
  Harness h;
  int saves = 0;
  h.env.loadPreferences = [](const std::string&) { return std::string(); };
  h.env.savePreferences = [&] {
    ++saves;
    EXPECT_FALSE(h.farewell);  // the screen is still the program's
    return std::string("Preferences not saved: cannot write /x/torvex.ini: No space left");
  };
  h.display.PushText("q ");
  EXPECT_EQ(h.Run({}), 0);
  EXPECT_EQ(saves, 1);
  ASSERT_EQ(h.display.AtKeyWaits().size(), 2u);
  EXPECT_TRUE(Shows(h.display.AtKeyWaits()[1], "cannot write /x/torvex.ini"));
  EXPECT_TRUE(h.reports.empty());
  ASSERT_TRUE(h.farewell);
}

TEST(TorvexAppTest, NoTerminalReadsAndWritesNoPreferences) {
  Harness h;
  int loads = 0;
  int saves = 0;
  h.env.loadPreferences = [&](const std::string&) {
    ++loads;
    return std::string();
  };
  h.env.savePreferences = [&] {
    ++saves;
    return std::string();
  };
  h.env.openDisplay = []() -> Display& { throw DisplayUnavailable("no terminal"); };
  EXPECT_EQ(h.Run({}), 1);
  EXPECT_EQ(loads, 0);
  EXPECT_EQ(saves, 0);
}

TEST(TorvexAppTest, TerminationSavesAfterTheScreenAndReportsAProblem) {
  Harness h;
  std::vector<bool> closedAtSave;
  h.env.loadPreferences = [](const std::string&) { return std::string(); };
  h.env.savePreferences = [&] {
    closedAtSave.push_back(h.closedWithoutFarewell);
    return std::string("Preferences not saved: cannot write x");
  };
  h.env.makeViewers = [](Console&) -> Viewers {
    Viewers v;
    v.byCode[kViewItems] = [] { throw TerminationRequest(15); };
    return v;
  };
  h.display.PushText("5");
  EXPECT_EQ(h.Run({}), 0);
  EXPECT_EQ(closedAtSave, std::vector<bool>{true});  // once, with the terminal given back
  ASSERT_EQ(h.reports.size(), 1u);
  EXPECT_EQ(h.reports[0].second, "Preferences not saved: cannot write x");
}

TEST(TorvexAppTest, UnhandledExceptionIsReportedAndGivesOne) {
  Harness h;
  h.env.makeViewers = [](Console&) -> Viewers {
    Viewers v;
    v.byCode[kViewSpells] = [] { throw std::runtime_error("boom"); };
    return v;
  };
  h.display.PushText("3");
  EXPECT_EQ(h.Run({}), 1);
  ASSERT_EQ(h.reports.size(), 1u);
  EXPECT_EQ(h.reports[0].first, "TORVEXNT Error");
  EXPECT_EQ(h.reports[0].second.substr(0, 27), "Unhandled Exception \"boom\" ");
  EXPECT_NE(h.reports[0].second.find(" at 0x"), std::string::npos);
  EXPECT_EQ(h.reports[0].second.back(), '!');
  EXPECT_TRUE(h.closedWithoutFarewell);
  EXPECT_FALSE(h.farewell);
}

TEST(TorvexAppTest, NoTerminalIsReportedPlainlyNotAsAFault) {
  Harness h;
  h.env.openDisplay = []() -> Display& {
    throw DisplayUnavailable("standard input and output must be a terminal");
  };
  EXPECT_EQ(h.Run({}), 1);
  ASSERT_EQ(h.reports.size(), 1u);
  EXPECT_EQ(h.reports[0].first, "TORVEXNT");
  EXPECT_EQ(h.reports[0].second,
            "standard input and output must be a terminal; Torvex runs full-screen in a terminal.");
}

TEST(TorvexAppTest, TerminationLeavesThroughTheOrdinaryPath) {
  Harness h;
  h.env.makeViewers = [](Console&) -> Viewers {
    Viewers v;
    v.byCode[kViewItems] = [] { throw TerminationRequest(15); };
    return v;
  };
  h.display.PushText("5");
  EXPECT_EQ(h.Run({}), 0);
  EXPECT_TRUE(h.reports.empty());
  EXPECT_TRUE(h.closedWithoutFarewell);
}

}  // namespace
}  // namespace torvex
