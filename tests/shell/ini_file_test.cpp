#include "shell/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/temp_dir.h"

namespace torvex {
namespace {

namespace fs = std::filesystem;

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TKRXIniFile Parsed(const std::string& text) {
  TKRXIniFile ini("unused.ini");
  ini.Parse(text);
  return ini;
}

TEST(IniFileTest, SectionsAndKeysMatchWithoutCaseAndWritesKeepTheFilesSpelling) {
  TKRXIniFile ini = Parsed("[Options]\nDataDirectory=/games/dnmw/\n");
  EXPECT_EQ(ini.ReadString("OPTIONS", "datadirectory", "x"), "/games/dnmw/");
  EXPECT_TRUE(ini.ValueExists("options", "DATADIRECTORY"));
  ini.WriteString("oPtIoNs", "DATADIRECTORY", "/other/");
  EXPECT_EQ(ini.Text(), "[Options]\nDataDirectory=/other/\n");
}

TEST(IniFileTest, TheFirstSectionAndTheFirstKeyWinForReadingAndWriting) {
  TKRXIniFile ini =
      Parsed("[Simulator]\nItemEnc=1\nitemenc=2\n[simulator]\nItemEnc=3\nSpellMR=4\n");
  EXPECT_EQ(ini.ReadInteger("Simulator", "ItemEnc", 0), 1);
  // A key only in the second copy of the section is not seen.
  EXPECT_EQ(ini.ReadInteger("Simulator", "SpellMR", 0), 0);
  ini.WriteInteger("SIMULATOR", "itemENC", 9);
  ini.WriteInteger("Simulator", "SpellMR", 5);
  EXPECT_EQ(ini.Text(),
            "[Simulator]\nItemEnc=9\nitemenc=2\nSpellMR=5\n[simulator]\nItemEnc=3\nSpellMR=4\n");
}

TEST(IniFileTest, LinesItDoesNotUnderstandAreKeptInPlace) {
  const std::string text =
      "; written by hand\n"
      "stray=before any section\n"
      "[Options]\n"
      "  # a comment = not a key\n"
      "garbage without equals\n"
      "=no key\n"
      "[broken header\n"
      "StartupCheck = 0 \n"
      "\n"
      "[Macros]\n"
      "racemacro0=look\n";
  TKRXIniFile ini = Parsed(text);
  EXPECT_EQ(ini.Text(), text);
  EXPECT_FALSE(ini.ValueExists("Options", "# a comment"));
  EXPECT_FALSE(ini.ValueExists("Options", "garbage without equals"));
  EXPECT_FALSE(ini.SectionExists("broken header"));
  // The broken header does not end the section.
  EXPECT_FALSE(ini.ReadBool("Options", "StartupCheck", true));

  ini.WriteBool("Options", "StartMaximized", false);
  ini.WriteString("Goto", "home", "12/3");
  EXPECT_EQ(ini.Text(),
            "; written by hand\n"
            "stray=before any section\n"
            "[Options]\n"
            "  # a comment = not a key\n"
            "garbage without equals\n"
            "=no key\n"
            "[broken header\n"
            "StartupCheck = 0 \n"
            "StartMaximized=0\n"  // after the last entry, before the blank line
            "\n"
            "[Macros]\n"
            "racemacro0=look\n"
            "\n"
            "[Goto]\n"
            "home=12/3\n");
}

TEST(IniFileTest, IntegersOutsideTheirRangeOrNotNumbersGiveTheDefault) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"42", 42},
      {"  -7  ", -7},
      {"+3", 3},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", -1},
      {"-2147483649", -1},
      {"99999999999999999999999", -1},
      {"12abc", -1},
      {"", -1},
      {"0x10", -1},
      {"-", -1},
      {"1 2", -1},
      {"\"17\"", 17},
  };
  for (const Case& c : cases) {
    TKRXIniFile ini = Parsed(std::string("[S]\nK=") + c.text + "\n");
    EXPECT_EQ(ini.ReadInteger("S", "K", -1), c.expected) << "value: \"" << c.text << "\"";
  }
  TKRXIniFile big =
      Parsed("[S]\nmax=9223372036854775807\nmin=-9223372036854775808\nover=9223372036854775808\n");
  EXPECT_EQ(big.ReadInt64("S", "max", 0), INT64_MAX);
  EXPECT_EQ(big.ReadInt64("S", "min", 0), INT64_MIN);
  EXPECT_EQ(big.ReadInt64("S", "over", 5), 5);
  EXPECT_EQ(big.ReadInteger("S", "missing", 8), 8);
}

TEST(IniFileTest, BooleansTakeNumbersAndWords) {
  struct Case {
    const char* text;
    bool defaultValue;
    bool expected;
  };
  const Case cases[] = {
      {"1", false, true},      {"0", true, false},   {"-1", false, true},  {"true", false, true},
      {"FALSE", true, false},  {"Yes", false, true}, {"off", true, false}, {"maybe", true, true},
      {"maybe", false, false}, {"", true, true},
  };
  for (const Case& c : cases) {
    TKRXIniFile ini = Parsed(std::string("[S]\nB=") + c.text + "\n");
    EXPECT_EQ(ini.ReadBool("S", "B", c.defaultValue), c.expected)
        << "value: \"" << c.text << "\" default " << c.defaultValue;
  }
  TKRXIniFile ini = Parsed("");
  ini.WriteBool("S", "On", true);
  ini.WriteBool("S", "Off", false);
  EXPECT_EQ(ini.Text(), "[S]\nOn=1\nOff=0\n");
}

TEST(IniFileTest, ValuesComeBackAsWrittenWhateverTheyHold) {
  const char* values[] = {"  leading and trailing  ",  "\"quoted\"", "'single'", "a=b=c",
                          "|15colour ; not a comment", "",           "\"",       "tab\tinside"};
  for (const char* value : values) {
    TKRXIniFile ini = Parsed("");
    ini.WriteString("Macros", "racemacro0", value);
    TKRXIniFile again = Parsed(ini.Text());
    EXPECT_EQ(again.ReadString("Macros", "racemacro0", "default"), value)
        << "value: \"" << value << "\" written as " << ini.Text();
  }
}

TEST(IniFileTest, LineBreaksInAWrittenValueCannotAddLines) {
  TKRXIniFile ini = Parsed("[Options]\nDataDirectory=/a/\n");
  ini.WriteString("Macros", "racemacro0", "x\n[Options]\r\nDataDirectory=/evil/");
  TKRXIniFile again = Parsed(ini.Text());
  EXPECT_EQ(again.ReadString("Options", "DataDirectory", ""), "/a/");
  EXPECT_EQ(again.ReadString("Macros", "racemacro0", ""), "x [Options]  DataDirectory=/evil/");
  // Names that could not be found again are not written.
  ini.WriteString("Options", "a=b", "1");
  ini.WriteString("Opt]ions", "k", "1");
  ini.WriteString("", "k", "1");
  ini.WriteString("Options", " ", "1");
  EXPECT_EQ(Parsed(ini.Text()).ReadSectionValues("Options").size(), 1u);
  EXPECT_FALSE(ini.SectionExists("Opt]ions"));
}

TEST(IniFileTest, SectionValuesListEveryKeyLineInOrder) {
  TKRXIniFile ini = Parsed("[baseline]\nSupport = 164/1 \n; c\nsupport=1/1\njunk\nchest=2123/1\n");
  const auto values = ini.ReadSectionValues("BASELINE");
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0], std::make_pair(std::string("Support"), std::string("164/1")));
  EXPECT_EQ(values[1], std::make_pair(std::string("support"), std::string("1/1")));
  EXPECT_EQ(values[2], std::make_pair(std::string("chest"), std::string("2123/1")));
  EXPECT_TRUE(ini.ReadSectionValues("missing").empty());
}

TEST(IniFileTest, CrLfAndAByteOrderMarkSurviveARewrite) {
  TKRXIniFile ini = Parsed("\xEF\xBB\xBF[Options]\r\nA=1\r\n");
  EXPECT_EQ(ini.ReadInteger("Options", "A", 0), 1);
  ini.WriteInteger("Options", "B", 2);
  EXPECT_EQ(ini.Text(), "\xEF\xBB\xBF[Options]\r\nA=1\r\nB=2\r\n");
}

TEST(IniFileTest, SaveReplacesTheFileAndSkipsAnUnchangedOne) {
  TempDir dir;
  const std::string path = dir.File("torvex.ini");
  WriteFile(path, "; keep me\n[Options]\nA=1\n");
  ::chmod(path.c_str(), 0600);

  TKRXIniFile ini(path);
  ASSERT_EQ(ini.Load(), TKRXIniFile::LoadResult::kLoaded);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  std::string error;
  ASSERT_TRUE(ini.Save(&error)) << error;
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "an unchanged file was rewritten";

  ini.WriteInteger("Options", "A", 2);
  ASSERT_TRUE(ini.Save(&error)) << error;
  EXPECT_EQ(ReadFile(path), "; keep me\n[Options]\nA=2\n");
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & 0777, 0600u);
  // Nothing but the file is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(IniFileTest, SaveCreatesAMissingFile) {
  TempDir dir;
  TKRXIniFile ini(dir.File("new.ini"));
  EXPECT_EQ(ini.Load(), TKRXIniFile::LoadResult::kMissing);
  ini.WriteString("Options", "DataDirectory", "/x/");
  std::string error;
  ASSERT_TRUE(ini.Save(&error)) << error;
  EXPECT_EQ(ReadFile(dir.File("new.ini")), "[Options]\nDataDirectory=/x/\n");
}

TEST(IniFileTest, SaveThroughASymbolicLinkKeepsTheLink) {
  TempDir dir;
  WriteFile(dir.File("real.ini"), "[S]\nK=1\n");
  fs::create_symlink(dir.File("real.ini"), dir.File("link.ini"));
  TKRXIniFile ini(dir.File("link.ini"));
  ASSERT_EQ(ini.Load(), TKRXIniFile::LoadResult::kLoaded);
  ini.WriteInteger("S", "K", 2);
  std::string error;
  ASSERT_TRUE(ini.Save(&error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir.File("link.ini")));
  EXPECT_EQ(ReadFile(dir.File("real.ini")), "[S]\nK=2\n");
}

TEST(IniFileTest, AFolderThatCannotHoldTheFileReportsFailure) {
  // Root may write into any folder, so the folder here is a regular file.
  TempDir dir;
  WriteFile(dir.File("notafolder"), "x");
  TKRXIniFile ini(dir.File("notafolder") + "/torvex.ini");
  ini.Load();
  ini.WriteString("Options", "A", "1");
  std::string error;
  EXPECT_FALSE(ini.Save(&error));
  EXPECT_NE(error.find("notafolder"), std::string::npos) << error;
  EXPECT_EQ(ReadFile(dir.File("notafolder")), "x");
}

TEST(IniFileTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.File("torvex.ini");
  const std::string old = "[Options]\nA=1\n";
  WriteFile(path, old);
  TKRXIniFile ini(path);
  ASSERT_EQ(ini.Load(), TKRXIniFile::LoadResult::kLoaded);
  ini.WriteString("Macros", "racemacro0", std::string(64 * 1024, 'm'));

  // A file-size limit makes the write fail even for root, like a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = saved;
  limited.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  std::string error;
  const bool saved_ok = ini.Save(&error);
  ::setrlimit(RLIMIT_FSIZE, &saved);

  EXPECT_FALSE(saved_ok);
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_EQ(ReadFile(path), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(IniFileTest, AnUnreadableFileIsNeverReplaced) {
  TempDir dir;
  // A folder where the file should be cannot be read as one.
  fs::create_directory(dir.File("torvex.ini"));
  WriteFile(dir.File("torvex.ini") + "/inside", "keep");
  TKRXIniFile ini(dir.File("torvex.ini"));
  EXPECT_EQ(ini.Load(), TKRXIniFile::LoadResult::kUnreadable);
  EXPECT_FALSE(ini.LoadError().empty());
  ini.WriteString("Options", "A", "1");
  std::string error;
  EXPECT_FALSE(ini.Save(&error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFile(dir.File("torvex.ini") + "/inside"), "keep");

  // So is a file far larger than any ini file of the program.
  const std::string huge = dir.File("huge.ini");
  WriteFile(huge, "[Options]\n");
  fs::resize_file(huge, TKRXIniFile::kMaxFileSize + 1);
  TKRXIniFile big(huge);
  EXPECT_EQ(big.Load(), TKRXIniFile::LoadResult::kUnreadable);
  big.WriteString("Options", "A", "1");
  EXPECT_FALSE(big.Save(&error));
  EXPECT_EQ(fs::file_size(huge), TKRXIniFile::kMaxFileSize + 1);
}

}  // namespace
}  // namespace torvex
