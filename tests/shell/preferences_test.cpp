#include "shell/preferences.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "platform/system_info.h"
#include "platform/terminal/headless_display.h"
#include "tests/temp_dir.h"

namespace torvex {
namespace {

namespace fs = std::filesystem;

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// section -> key (lower case) -> value, as Python's configparser reads the file.
using IniMap = std::map<std::string, std::map<std::string, std::string>>;

constexpr char kPython[] = "/usr/bin/python3";

// Reads `path` with configparser in strict mode, which refuses duplicate
// sections and keys. Fails the test when the file is not valid for it.
IniMap ReadWithConfigParser(const std::string& path) {
  const std::string command = std::string(kPython) +
                              " -c 'import configparser,sys\n"
                              "c=configparser.RawConfigParser(strict=True,interpolation=None)\n"
                              "c.read(sys.argv[1])\n"
                              "for s in c.sections():\n"
                              "  for k,v in c.items(s): print(s+\"\\t\"+k+\"\\t\"+v)' " +
                              path;
  IniMap result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) {
    ADD_FAILURE() << "cannot run " << kPython;
    return result;
  }
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int status = ::pclose(pipe);
  EXPECT_EQ(status, 0) << "configparser refused " << path << ":\n" << ReadFile(path);
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t a = line.find('\t');
    const size_t b = line.find('\t', a + 1);
    result[line.substr(0, a)][line.substr(a + 1, b - a - 1)] = line.substr(b + 1);
  }
  return result;
}

bool HavePython() {
  return ::access(kPython, X_OK) == 0;
}

struct Fixture {
  TempDir dir;
  Settings settings;
  std::string ini = dir.File("torvex.ini");
  Preferences prefs{settings, dir.path()};
};

// The keys of a first save, with their values, in the order of the file.
const std::pair<const char*, const char*> kSimulatorDefaults[] = {
    {"RoomTitleOptions", "1"},
    {"Brief", "0"},
    {"Palette", "0"},
    {"Style", "0"},
    {"Talk", "0"},
    {"Response", "1"},
    {"RoomExitOptions", "0"},
    {"RoomItemOptions", "1"},
    {"RoomMonsterOptions", "1"},
    {"RoomTextBlockDebuggingOptions", "1"},
    {"RoomMapOptions", "62"},
    {"RoomRunicCoinName", "runic coins"},
    {"RoomLastName", ""},
    {"RoomSTR", "50"},
    {"RoomAGL", "50"},
    {"RoomINT", "50"},
    {"RoomHEA", "50"},
    {"RoomWIL", "50"},
    {"RoomCHA", "50"},
    {"RoomExp", "0"},
    {"RoomRace", "1"},
    {"RoomClass", "1"},
    {"RoomLevel", "1"},
    {"RoomRandomHP", "0"},
    {"RoomEP", "20"},
    {"RoomHairColor", "0"},
    {"RoomHairLength", "0"},
    {"RoomEyeColor", "0"},
    {"RoomGender", "M"},
    {"RoomRolled", "1"},
    {"ItemAgility", "100"},
    {"ItemStrength", "100"},
    {"ItemEnc", "2400"},
    {"ItemMaxEnc", "4800"},
    {"ItemCombat", "4"},
    {"ItemLevel", "50"},
    {"ItemCritBonus", "0"},
    {"SpellLevel", "65"},
    {"SpellMR", "100"},
    {"SpellAntiMagic", "0"},
    {"RoomSimWeapon", "0"},
    {"RoomRunic", "0"},
    {"RoomPlatinum", "0"},
    {"RoomGold", "0"},
    {"RoomSilver", "0"},
    {"RoomCopper", "0"},
    {"RoomTorchItemIdx", "-1"},
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(PreferencesTest, FirstStartWritesTheGotoDefaultsAtOnceAndEveryKeyAtExit) {
  Fixture f;
  const PreferencesResult loaded = f.prefs.Load(f.ini);
  ASSERT_TRUE(loaded.ok) << loaded.message;
  const Settings& s = f.settings;
  EXPECT_TRUE(s.startup.startupCheck);
  EXPECT_TRUE(s.startup.startMaximized);
  EXPECT_FALSE(s.database.useDatFiles);
  EXPECT_EQ(s.configuredDataDirectory, f.dir.path() + "/");
  EXPECT_EQ(s.database.dataDirectory, f.dir.path() + "/");
  EXPECT_EQ(s.simulator.roomFirstName, UserName());
  EXPECT_EQ(s.iniFileName, f.ini);

  // The goto list is in memory, in order...
  const int expectedCounts[] = {14, 10, 5, 6, 4, 12, 7, 10, 14, 4, 11};
  ASSERT_EQ(s.gotoSections.size(), std::size(expectedCounts));
  for (size_t i = 0; i < std::size(expectedCounts); ++i) {
    EXPECT_EQ(s.gotoSections[i].entries.size(), static_cast<size_t>(expectedCounts[i]))
        << s.gotoSections[i].name;
  }
  EXPECT_EQ(s.gotoSections[2].name, "module 1");
  const TGotoEntry& first = s.gotoSections[0].entries[0];
  EXPECT_EQ(first.name, "support");
  EXPECT_EQ(first.room, 164);
  EXPECT_EQ(first.map, 1);
  const TGotoEntry& last = s.gotoSections[10].entries.back();
  EXPECT_EQ(last.name, "grand-hallway");
  EXPECT_EQ(last.room, 2982);
  EXPECT_EQ(last.map, 17);

  // ...and already on the disk, before any save at exit.
  ASSERT_TRUE(fs::exists(f.ini));
  if (HavePython()) {
    const IniMap early = ReadWithConfigParser(f.ini);
    EXPECT_EQ(early.at("Simulator").at("gotosections"), kDefaultGotoSections);
    size_t lines = 0;
    for (const auto& [section, keys] : early) {
      if (section != "Simulator") lines += keys.size();
    }
    EXPECT_EQ(lines, 97u);
    EXPECT_EQ(early.at("module 4").at("crater"), "1/6");
    EXPECT_EQ(early.count("Options"), 0u);
  }

  const PreferencesResult saved = f.prefs.Save();
  ASSERT_TRUE(saved.ok) << saved.message;
  if (!HavePython()) GTEST_SKIP() << "no " << kPython << " to check the file with";
  const IniMap file = ReadWithConfigParser(f.ini);
  const auto& options = file.at("Options");
  EXPECT_EQ(options.at("inidataversion"), "1");
  EXPECT_EQ(options.at("datadirectory"), f.dir.path() + "/");
  EXPECT_EQ(options.at("startmaximized"), "1");
  EXPECT_EQ(options.at("startupcheck"), "1");
  EXPECT_EQ(options.at("usedatfiles"), "0");
  const auto& sim = file.at("Simulator");
  for (const auto& [key, value] : kSimulatorDefaults) {
    ASSERT_TRUE(sim.count(Lower(key))) << key;
    EXPECT_EQ(sim.at(Lower(key)), value) << key;
  }
  EXPECT_EQ(sim.at("roomfirstname"), UserName());
  for (const char* stem :
       {"RoomItem", "RoomItemUses", "RoomKey", "RoomKeyUses", "RoomWornItem", "RoomWornItemUses"}) {
    const int slots = std::string(stem).find("Key") != std::string::npos    ? 50
                      : std::string(stem).find("Worn") != std::string::npos ? 20
                                                                            : 100;
    for (int i = 0; i < slots; ++i) {
      const std::string key = Lower(stem) + std::to_string(i);
      ASSERT_TRUE(sim.count(key)) << key;
      EXPECT_EQ(sim.at(key), "0") << key;
    }
    EXPECT_EQ(sim.count(Lower(stem) + std::to_string(slots)), 0u) << stem;
  }
  EXPECT_EQ(file.at("Macros").size(), 90u);
  EXPECT_EQ(file.at("Macros").at("shopsmacro9"), "");
  EXPECT_EQ(file.at("Macros").at("knmsrmacro0"), "");

  // The keys were added in the order of their table, holdings after the macros.
  TKRXIniFile written(f.ini);
  written.Load();
  const auto order = written.ReadSectionValues("Simulator");
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order[0].first, "GotoSections");
  EXPECT_EQ(order[1].first, "RoomTitleOptions");
  EXPECT_EQ(order.back().first, "RoomTorchItemIdx");
}

TEST(PreferencesTest, EverySettingSurvivesASaveAndALoad) {
  Fixture f;
  ASSERT_TRUE(f.prefs.Load(f.ini).ok);
  Settings& s = f.settings;
  s.startup.startupCheck = false;
  s.database.useDatFiles = true;
  s.simulator.brief = true;
  s.simulator.roomExp = 5'000'000'000;
  s.simulator.roomGender = "F";
  s.simulator.roomLastName = "  of the Vale";
  s.simulator.spellAntiMagic = true;
  s.simulator.itemEnc = 3100;
  s.holdings.items[99] = 4242;
  s.holdings.itemUses[99] = -300;
  s.holdings.keyUses[49] = 32767;
  s.holdings.wornItems[19] = 17;
  s.holdings.torchItemIndex = 7;
  s.holdings.copper = -1;
  s.macros[static_cast<size_t>(MacroKind::kShop)][9] = "|15buy 100% \"sword\"";
  s.macros[0][0] = " look";
  ASSERT_TRUE(f.prefs.Save().ok);

  Settings back;
  Preferences again(back, f.dir.path());
  ASSERT_TRUE(again.Load(f.ini).ok);
  EXPECT_FALSE(back.startup.startupCheck);
  EXPECT_TRUE(back.database.useDatFiles);
  EXPECT_TRUE(back.simulator.brief);
  EXPECT_EQ(back.simulator.roomExp, 5'000'000'000);
  EXPECT_EQ(back.simulator.roomGender, "F");
  EXPECT_EQ(back.simulator.roomLastName, "  of the Vale");
  EXPECT_TRUE(back.simulator.spellAntiMagic);
  EXPECT_EQ(back.simulator.itemEnc, 3100);  // the file now carries IniDataVersion=1
  EXPECT_EQ(back.iniDataVersion, 1);
  EXPECT_EQ(back.holdings.items, s.holdings.items);
  EXPECT_EQ(back.holdings.itemUses, s.holdings.itemUses);
  EXPECT_EQ(back.holdings.keyUses, s.holdings.keyUses);
  EXPECT_EQ(back.holdings.wornItems, s.holdings.wornItems);
  EXPECT_EQ(back.holdings.torchItemIndex, 7);
  EXPECT_EQ(back.holdings.copper, -1);
  EXPECT_EQ(back.macros, s.macros);
  EXPECT_EQ(back.gotoSections.size(), 11u);
}

TEST(PreferencesTest, ItemEncIsResetOnlyForAFileOfTheFirstVersion) {
  struct Case {
    const char* versionLine;
    int32_t expected;
  };
  const Case cases[] = {
      {"", 2400},
      {"IniDataVersion=0\n", 2400},
      {"IniDataVersion=1\n", 3000},
      {"IniDataVersion=2\n", 3000},
      {"IniDataVersion=junk\n", 2400},
  };
  for (const Case& c : cases) {
    Fixture f;
    WriteFile(f.ini, std::string("[Options]\n") + c.versionLine + "[Simulator]\nItemEnc=3000\n");
    ASSERT_TRUE(f.prefs.Load(f.ini).ok);
    EXPECT_EQ(f.settings.simulator.itemEnc, c.expected) << "version line: " << c.versionLine;
  }
}

TEST(PreferencesTest, BadNumbersInTheFileGiveTheDefaults) {
  Fixture f;
  WriteFile(f.ini,
            "[Simulator]\n"
            "RoomExp=-5\n"
            "RoomSTR=strong\n"
            "RoomAGL=99999999999\n"
            "RoomLevel=2147483647\n"
            "RoomItem5=-2147483649\n"
            "RoomItem6=-12\n"
            "RoomItemUses3=40000\n"
            "RoomItemUses4=-3\n"
            "RoomKeyUses0=-32769\n"
            "SpellAntiMagic=perhaps\n"
            "this line means nothing\n"
            "[Options]\n"
            "StartupCheck=maybe\n"
            "UseDATFiles=yes\n");
  ASSERT_TRUE(f.prefs.Load(f.ini).ok);
  const Settings& s = f.settings;
  EXPECT_EQ(s.simulator.roomExp, 0);
  EXPECT_EQ(s.simulator.roomStr, 50);
  EXPECT_EQ(s.simulator.roomAgl, 50);
  EXPECT_EQ(s.simulator.roomLevel, 2147483647);
  EXPECT_EQ(s.holdings.items[5], 0);
  EXPECT_EQ(s.holdings.items[6], -12);
  EXPECT_EQ(s.holdings.itemUses[3], 0);
  EXPECT_EQ(s.holdings.itemUses[4], -3);
  EXPECT_EQ(s.holdings.keyUses[0], 0);
  EXPECT_FALSE(s.simulator.spellAntiMagic);
  EXPECT_TRUE(s.startup.startupCheck);
  EXPECT_TRUE(s.database.useDatFiles);

  Fixture huge;
  WriteFile(huge.ini, "[Simulator]\nRoomExp=99999999999999999999\n");
  ASSERT_TRUE(huge.prefs.Load(huge.ini).ok);
  EXPECT_EQ(huge.settings.simulator.roomExp, 0);
}

TEST(PreferencesTest, GotoSectionsOfTheFileAreReadAsTheyStandAndNeverRewritten) {
  Fixture f;
  const std::string text =
      "[Simulator]\n"
      "GotoSections= Alpha ,,beta,missing\n"
      "[alpha]\n"
      "Home=12/3\n"
      "Odd=x/y\n"
      "NoSlash=5\n"
      "; a comment\n"
      "home=1/1\n"
      "[BETA]\n"
      "Far = 70000 / -2 \n";
  WriteFile(f.ini, text);
  ASSERT_TRUE(f.prefs.Load(f.ini).ok);
  EXPECT_EQ(ReadFile(f.ini), text) << "a file with goto sections was rewritten at load";
  const auto& groups = f.settings.gotoSections;
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].name, "Alpha");
  ASSERT_EQ(groups[0].entries.size(), 4u);
  struct Expected {
    const char* name;
    int32_t room, map;
  };
  const Expected expected[] = {{"home", 12, 3}, {"odd", 0, 0}, {"noslash", 5, 0}, {"home", 1, 1}};
  for (size_t i = 0; i < std::size(expected); ++i) {
    const TGotoEntry& e = groups[0].entries[i];
    EXPECT_EQ(e.name, expected[i].name) << i;
    EXPECT_EQ(e.room, expected[i].room) << i;
    EXPECT_EQ(e.map, expected[i].map) << i;
  }
  ASSERT_EQ(groups[1].entries.size(), 1u);
  EXPECT_EQ(groups[1].entries[0].room, 70000);
  EXPECT_EQ(groups[1].entries[0].map, -2);
  EXPECT_TRUE(groups[2].entries.empty());

  ASSERT_TRUE(f.prefs.Save().ok);
  TKRXIniFile after(f.ini);
  after.Load();
  EXPECT_EQ(after.ReadString("Simulator", "GotoSections", ""), "Alpha ,,beta,missing");
  EXPECT_EQ(after.ReadSectionValues("alpha").size(), 4u);
  EXPECT_FALSE(after.SectionExists("baseline"));
}

TEST(PreferencesTest, KeysOfAnyCaseAreFoundAndUpdatedInPlace) {
  Fixture f;
  WriteFile(f.ini,
            "[OPTIONS]\nstartupcheck=0\nusedatfiles=1\ndatadirectory=data\n"
            "[SIMULATOR]\ngotosections=\nroomexp=12\n");
  ASSERT_TRUE(f.prefs.Load(f.ini).ok);
  EXPECT_FALSE(f.settings.startup.startupCheck);
  EXPECT_TRUE(f.settings.database.useDatFiles);
  EXPECT_EQ(f.settings.database.dataDirectory, "data/");
  EXPECT_EQ(f.settings.simulator.roomExp, 12);
  EXPECT_TRUE(f.settings.gotoSections.empty());  // present, if empty: no defaults
  ASSERT_TRUE(f.prefs.Save().ok);
  if (!HavePython()) GTEST_SKIP() << "no " << kPython << " to check the file with";
  // Strict configparser rejects the file if a section or key now appears twice.
  const IniMap file = ReadWithConfigParser(f.ini);
  EXPECT_EQ(file.count("Options"), 0u);
  EXPECT_EQ(file.at("OPTIONS").at("inidataversion"), "1");
  EXPECT_EQ(file.at("OPTIONS").at("startupcheck"), "0");
  EXPECT_EQ(file.at("SIMULATOR").at("roomexp"), "12");
}

TEST(PreferencesTest, TheEffectiveDataDirectoryKeepsAnyPathThatFitsTheOpenCall) {
  const std::string cwd = "/home/op";
  const std::string deep = "/home/op/" + std::string(232, 'd');  // 242 with the "/"
  const std::string deeper = deep + "e";
  const std::string outside = "/srv/" + std::string(250, 'o');
  struct Case {
    std::string configured;
    std::string expected;
    bool notice;
  };
  const Case cases[] = {
      {"", "", false},
      {"C:\\GAMES\\DNMW", "C:/GAMES/DNMW/", false},
      {"/games/dnmw/", "/games/dnmw/", false},
      {"data", "data/", false},
      // Far beyond the old 67 and 79 character limits, and kept.
      {"/mnt/" + std::string(120, 'x'), "/mnt/" + std::string(120, 'x') + "/", false},
      {deep, deep + "/", false},
      {deeper, std::string(232, 'd') + "e/", true},
      {outside, "", true},
      {cwd + "/" + std::string(250, 'z') + "/..", "", false},  // the current directory itself
  };
  for (const Case& c : cases) {
    std::string notice = "stale";
    EXPECT_EQ(EffectiveDataDirectory(c.configured, cwd, &notice), c.expected)
        << "configured: " << c.configured;
    EXPECT_EQ(!notice.empty(), c.notice) << "configured: " << c.configured;
    EXPECT_LE(notice.size(), 76u);
  }
}

TEST(PreferencesTest, TheLoadedDirectoryGetsASlashAndTheNoticeWhenItIsReplaced) {
  Fixture f;
  WriteFile(f.ini, "[Options]\nDataDirectory=games\\dnmw\n");
  ASSERT_TRUE(f.prefs.Load(f.ini).ok);
  EXPECT_EQ(f.settings.configuredDataDirectory, "games/dnmw/");
  EXPECT_EQ(f.settings.database.dataDirectory, "games/dnmw/");
  EXPECT_EQ(DatabasePath(f.settings.database, "WCCRACE2"), "games/dnmw/WCCRACE2.VIR");
  EXPECT_TRUE(f.settings.dataDirectoryNotice.empty());

  Fixture g;
  // Too long as it stands, short enough relative to the current directory.
  const std::string longDir = g.dir.path() + "/" + std::string(241, 'n');
  WriteFile(g.ini, "[Options]\nDataDirectory=" + longDir + "\n");
  ASSERT_TRUE(g.prefs.Load(g.ini).ok);
  EXPECT_EQ(g.settings.database.dataDirectory, std::string(241, 'n') + "/");
  EXPECT_FALSE(g.settings.dataDirectoryNotice.empty());
  EXPECT_EQ(g.settings.configuredDataDirectory, longDir + "/");  // what is saved again
}

TEST(PreferencesTest, AFailedSaveIsReportedAndTheOldFileSurvives) {
  Fixture f;
  const std::string old = "[Options]\nStartupCheck=0\n[Simulator]\nGotoSections=\n; my notes\n";
  WriteFile(f.ini, old);
  ASSERT_TRUE(f.prefs.Load(f.ini).ok);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = saved;
  limited.rlim_cur = 512;  // far less than the whole file
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  const PreferencesResult result = f.prefs.Save();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.message.find(f.ini), std::string::npos) << result.message;
  EXPECT_EQ(ReadFile(f.ini), old);
}

TEST(PreferencesTest, AnUnreadableFileGivesDefaultsAndIsLeftAlone) {
  Fixture f;
  fs::create_directory(f.ini);
  const PreferencesResult loaded = f.prefs.Load(f.ini);
  EXPECT_FALSE(loaded.ok);
  EXPECT_NE(loaded.message.find(f.ini), std::string::npos) << loaded.message;
  EXPECT_TRUE(f.settings.startup.startupCheck);
  EXPECT_EQ(f.settings.gotoSections.size(), 11u);  // the defaults, in memory only
  EXPECT_FALSE(f.prefs.Save().ok);
  EXPECT_TRUE(fs::is_directory(f.ini));
}

TEST(PreferencesTest, TheRefusedSaveOfAnUnreadableFileSaysNotSavedOnce) {
  Fixture f;
  fs::create_directory(f.ini);
  EXPECT_FALSE(f.prefs.Load(f.ini).ok);
  const PreferencesResult saved = f.prefs.Save();
  EXPECT_FALSE(saved.ok);
  const std::string& m = saved.message;
  EXPECT_EQ(m.find("not saved"), m.rfind("not saved")) << m;
  EXPECT_NE(m.find("could not be read at start"), std::string::npos) << m;
  EXPECT_NE(m.find(f.ini), std::string::npos) << m;
}

TEST(PreferencesTest, SaveBeforeLoadWritesNothing) {
  Fixture f;
  EXPECT_TRUE(f.prefs.Save().ok);
  EXPECT_FALSE(fs::exists(f.ini));
}

TEST(PreferencesTest, TheDefaultPathFollowsTheConfigFolderAndCreatesIt) {
  TempDir dir;
  const std::string xdg = dir.File("xdg");
  fs::create_directory(xdg);
  EXPECT_EQ(DefaultIniPathFor(xdg.c_str(), "/nonexistent", "/cwd"), xdg + "/torvex/torvex.ini");
  EXPECT_TRUE(fs::is_directory(xdg + "/torvex"));

  const std::string home = dir.File("home");
  fs::create_directory(home);
  // A relative XDG_CONFIG_HOME is ignored.
  EXPECT_EQ(DefaultIniPathFor("relative", home.c_str(), "/cwd"),
            home + "/.config/torvex/torvex.ini");
  EXPECT_TRUE(fs::is_directory(home + "/.config/torvex"));
  EXPECT_EQ(DefaultIniPathFor(nullptr, nullptr, "/cwd"), "/cwd/torvex.ini");
  WriteFile(dir.File("file"), "x");
  EXPECT_EQ(DefaultIniPathFor(dir.File("file").c_str(), nullptr, "/cwd"), "/cwd/torvex.ini");
}

// --- The editor ---

struct EditorHarness : Fixture {
  HeadlessDisplay display;
  Console console{display, 80, 50};

  explicit EditorHarness(const std::string& text = {}) {
    if (!text.empty()) WriteFile(ini, text);
    const PreferencesResult r = prefs.Load(ini);
    EXPECT_TRUE(r.ok) << r.message;
  }
  void Keys(const std::string& text) { display.PushText(text); }
  const HeadlessDisplay::Snapshot& Wait(size_t i) const { return display.AtKeyWaits().at(i); }
};

TEST(PreferencesEditorTest, ShowsTheDirectoryAndFileKindAndTogglesTheKind) {
  EditorHarness h("[Options]\nDataDirectory=/games/dnmw\n[Simulator]\nGotoSections=\n");
  h.Keys("22Q");
  h.prefs.RunEditor(h.console);
  EXPECT_EQ(h.display.PendingKeys(), 0u);
  EXPECT_EQ(h.display.Title(), "TORVEXNT - Preferences");
  const auto& first = h.Wait(0);
  EXPECT_EQ(first.Text(1, 1, 19), "(1) Database Path :");
  EXPECT_EQ(first.Text(1, 3, 19), "(2) Use DAT Files :");
  EXPECT_EQ(first.Text(6, 2, 13), "/games/dnmw/ ");
  EXPECT_EQ(first.At(6, 2).attr & 0x0F, 15);
  EXPECT_EQ(first.Text(21, 3, 6), "False ");
  EXPECT_EQ(first.At(21, 3).attr & 0x0F, 15);
  EXPECT_EQ(first.At(79, 20).ch, 219);
  EXPECT_EQ(first.Text(1, 48, 1), ":");
  EXPECT_EQ(first.cursorX, 2);
  EXPECT_EQ(first.cursorY, 48);
  EXPECT_EQ(h.Wait(1).Text(21, 3, 5), "True ");
  EXPECT_EQ(h.Wait(2).Text(21, 3, 6), "False ");
  EXPECT_FALSE(h.settings.database.useDatFiles);
}

TEST(PreferencesEditorTest, ExtendedKeysAndOtherKeysDoNothing) {
  EditorHarness h;
  h.display.PushVk(vk::kNext);          // Page Down: 0 and scan code 81, a "Q"
  h.display.PushKey({'N', kAlt, 'n'});  // Alt+N: 0 and scan code 49, a "1"
  h.Keys("u2x");
  h.prefs.RunEditor(h.console);
  EXPECT_EQ(h.display.PendingKeys(), 0u);
  EXPECT_TRUE(h.settings.database.useDatFiles);  // "2" was reached
}

TEST(PreferencesEditorTest, ANewDirectoryIsWrittenToTheFileAtOnce) {
  EditorHarness h;
  const std::string target = h.dir.path() + "/game";
  h.Keys("1");
  h.display.PushVk('X', kCtrl);  // empty the field
  h.Keys(target);
  h.display.PushVk(vk::kReturn);
  h.display.PushVk(vk::kEscape);
  h.prefs.RunEditor(h.console);
  EXPECT_EQ(h.settings.configuredDataDirectory, target);  // as typed
  EXPECT_EQ(h.settings.database.dataDirectory, target + "/");
  TKRXIniFile file(h.ini);
  file.Load();
  EXPECT_EQ(file.ReadString("Options", "DataDirectory", ""), target);
  // The screen was painted again with the new directory.
  EXPECT_EQ(h.display.AtKeyWaits().back().Text(6, 2, static_cast<int>(target.size())), target);
}

TEST(PreferencesEditorTest, TheSameDirectoryChangesAndWritesNothing) {
  const std::string longDir = "/" + std::string(100, 'l');
  for (const std::string& dir : {std::string("/games/dnmw/"), longDir + "/"}) {
    EditorHarness h("[Options]\nDataDirectory=" + dir + "\n[Simulator]\nGotoSections=\n");
    const std::string before = ReadFile(h.ini);
    h.Keys("1");
    h.display.PushVk(vk::kReturn);  // a long directory comes back cut to the field
    h.Keys("1");
    h.display.PushVk(vk::kEscape);
    h.Keys("q");
    h.prefs.RunEditor(h.console);
    EXPECT_EQ(h.settings.configuredDataDirectory, dir);
    EXPECT_EQ(ReadFile(h.ini), before) << dir;
  }
}

// A directory longer than the 72-cell field scrolls inside it and is written back
// whole with the change, never cut to the field.
TEST(PreferencesEditorTest, ALongDirectoryIsEditedWholeInsideItsField) {
  const std::string longDir = "/" + std::string(60, 'a') + "/" + std::string(60, 'b');
  EditorHarness h("[Options]\nDataDirectory=" + longDir + "\n[Simulator]\nGotoSections=\n");
  h.Keys("1");
  h.display.PushVk(vk::kHome);
  h.Keys("/mnt");
  h.display.PushVk(vk::kEnd);
  h.Keys("c");
  h.display.PushVk(vk::kReturn);
  h.Keys("q");
  h.prefs.RunEditor(h.console);
  const std::string expected = "/mnt" + longDir + "/c";  // loaded with its closing "/"
  EXPECT_EQ(h.settings.configuredDataDirectory, expected);
  TKRXIniFile file(h.ini);
  file.Load();
  EXPECT_EQ(file.ReadString("Options", "DataDirectory", ""), expected);
  // While editing at the end, the field shows the end of the path and nothing past
  // its 72 cells (columns 7 to 78).
  const auto& atEnd = h.display.AtKeyWaits().at(h.display.AtKeyWaits().size() - 2);
  EXPECT_EQ(atEnd.Text(6, 2, 72), expected.substr(expected.size() - 71) + " ");
  EXPECT_EQ(atEnd.cursorX, 77);
  EXPECT_NE(atEnd.At(78, 2).attr, 0x1F);
}

TEST(PreferencesEditorTest, AFailedWriteOfTheDirectoryIsShown) {
  Fixture f;
  fs::create_directory(f.ini);  // the file cannot be written
  HeadlessDisplay display;
  Console console(display, 80, 50);
  EXPECT_FALSE(f.prefs.Load(f.ini).ok);
  display.PushText("1");
  display.PushVk('X', kCtrl);
  display.PushText("/new");
  display.PushVk(vk::kReturn);
  display.PushText(" q");  // the space closes the error window
  f.prefs.RunEditor(console);
  EXPECT_EQ(display.PendingKeys(), 0u);
  bool shown = false;
  for (const auto& snap : display.AtKeyWaits()) {
    for (int y = 0; y < 50 && !shown; ++y)
      shown = snap.Row(y).find("could not be saved") != std::string::npos;
  }
  EXPECT_TRUE(shown);
  EXPECT_EQ(f.settings.configuredDataDirectory, "/new");  // in use for this run all the same
}

TEST(PreferencesEditorTest, QuestionMarkShowsTheHelp) {
  EditorHarness h;
  h.Keys("? q");
  h.prefs.RunEditor(h.console);
  EXPECT_EQ(h.display.PendingKeys(), 0u);
  const auto& help = h.Wait(1);
  std::string all;
  for (int y = 0; y < 50; ++y) all += help.Row(y) + "\n";
  EXPECT_NE(all.find("Preferences Help"), std::string::npos) << all;
  EXPECT_NE(all.find("Use the following keys to modify your preferences"), std::string::npos)
      << all;
  EXPECT_NE(all.find("the full path plus filenames does not exceed 80"), std::string::npos) << all;
  EXPECT_NE(all.find("  Q    Exit the preferences editor"), std::string::npos) << all;
  // The window is gone again afterwards.
  EXPECT_EQ(h.Wait(2).Row(24), h.Wait(0).Row(24));
}

}  // namespace
}  // namespace torvex
