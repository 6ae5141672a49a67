#include "database/btrieve_layer.h"

#include <gtest/gtest.h>

#include "database/settings.h"
#include "platform/btrieve/bytes.h"
#include "platform/terminal/headless_display.h"
#include "tests/platform/btrieve/btrieve_test_support.h"

namespace torvex {
namespace {

using btrieve::testing::TempDir;

TEST(BtrieveLayerTest, StatusTexts) {
  EXPECT_STREQ(BtrieveStatusText(0), "The API completed successfully.");
  EXPECT_STREQ(BtrieveStatusText(12), "The MKDE cannot find the specified file.");
  EXPECT_STREQ(BtrieveStatusText(39),
               "A Begin Transaction operation must precede an End/Abort Transaction operation.");
  EXPECT_STREQ(BtrieveStatusText(51), "The owner name is invalid.");
  EXPECT_STREQ(BtrieveStatusText(52), "Unknown Error.");
  EXPECT_STREQ(BtrieveStatusText(-1), "Unknown Error.");
  EXPECT_STREQ(BtrieveStatusText(32767), "Unknown Error.");
}

TEST(BtrieveLayerTest, ErrorBoxTextAndWindow) {
  EXPECT_EQ(BtrieveErrorText(3),
            "The file is not open.\r\n\r\nStatus|08: |123 |08(|120x00000003|08)");
  EXPECT_EQ(BtrieveErrorText(-2).substr(0, 14), "Unknown Error.");
  EXPECT_NE(BtrieveErrorText(-2).find("0xfffffffe"), std::string::npos);

  HeadlessDisplay display;
  Console console(display, 80, 50);
  display.PushText(" ");
  ShowBtrieveError(console, 12);
  const auto& shown = display.AtKeyWaits().at(0);
  // A 58-column box, centred: the empty line is dropped, so it is three rows
  // high with its top border on row 24 (0-based 23) and its left at column 11.
  const int x = 10, y = 23;
  EXPECT_EQ(shown.At(x, y).ch, 218) << shown.Row(y);
  EXPECT_EQ(shown.At(x + 57, y).ch, 191);
  EXPECT_EQ(shown.At(x, y + 3).ch, 192);
  EXPECT_EQ(shown.Text(x + 1, y, 9), "\xc4[Error]\xc4");
  EXPECT_EQ(shown.At(x + 3, y).attr, 12);
  EXPECT_EQ(shown.Text(x + 2, y + 1, 40), "The MKDE cannot find the specified file.");
  EXPECT_EQ(shown.At(x + 2, y + 1).attr, 4);
  EXPECT_EQ(shown.Text(x + 2, y + 2, 25), "Status: 12 (0x0000000c)  ");
  EXPECT_EQ(shown.At(x + 8, y + 2).attr, 8);    // ':'
  EXPECT_EQ(shown.At(x + 10, y + 2).attr, 12);  // '1'
  EXPECT_EQ(shown.At(x + 13, y + 2).attr, 8);   // '('
  // The box leaves no trace.
  EXPECT_EQ(console.CellAt(x, y).ch, ' ');
}

TEST(BtrieveLayerTest, VersionReport) {
  std::vector<uint8_t> raw(15, 0);
  btrieve::StoreU16(&raw[0], 6);
  btrieve::StoreU16(&raw[2], 15);
  raw[4] = 'U';
  btrieve::StoreU16(&raw[5], 7);
  btrieve::StoreU16(&raw[7], 1);
  raw[9] = 'Q';
  auto lines = BtrieveVersionReportFor(raw);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "|16|14* |07Btrieve Versions");
  EXPECT_EQ(lines[1], "  |07Linux Server v6.15 (U)");
  EXPECT_EQ(lines[2], "  |07MicroKernel v7.1 (Q)");
  raw[10] = 1;
  raw[14] = 'P';
  lines = BtrieveVersionReportFor(raw);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "  |070S/2 MicroKernel v1.0 (P)");

  // A first entry without a type character: the heading alone.
  std::vector<uint8_t> noType(15, 0);
  noType[0] = 5;
  EXPECT_EQ(BtrieveVersionReportFor(noType),
            std::vector<std::string>{"|16|14* |07Btrieve Versions"});
  EXPECT_TRUE(BtrieveVersionReportFor(std::vector<uint8_t>(15, 0)).empty());

  // The engine answers Version for real.
  ASSERT_EQ(BtrieveInit(), 0);
  lines = BtrieveVersionReport();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "|16|14* |07Btrieve Versions");
}

TEST(BtrieveLayerTest, OpenPathIsCutTo254Characters) {
  const std::string longPath(300, 'a');
  EXPECT_EQ(CutOpenPath(longPath), std::string(254, 'a'));
  EXPECT_EQ(CutOpenPath("/x/y"), "/x/y");
  BtrieveFile file;
  EXPECT_EQ(OpenBtrieveFile(file, "/nonexistent/" + longPath, 0), 12);
  EXPECT_EQ(std::string(file.keyBuffer.data()).size(), 254u);
}

TEST(BtrieveLayerTest, RaceFileHandles) {
  TempDir dir;
  DatabaseSettings& settings = CurrentDatabaseSettings();
  const DatabaseSettings saved = settings;
  settings.dataDirectory = dir.path() + "/";
  settings.useDatFiles = false;

  std::unique_ptr<BtrieveFile> none = OpenRaceFile();
  EXPECT_EQ(none, nullptr);  // no file yet
  uint8_t record[128];
  std::memset(record, 0x5A, sizeof record);
  EXPECT_FALSE(FirstRecord(none.get(), record, sizeof record));
  EXPECT_EQ(record[0], 0x5A);  // no handle: no call, buffer untouched
  EXPECT_FALSE(FreeBtrieveFile(none));

  using btrieve::testing::Segment;
  ASSERT_EQ(btrieve::testing::Create(
                DatabasePath(settings, "WCCRACE2"),
                btrieve::testing::CreateSpec(128, 1024, 0,
                                             {{Segment{1, 4, 0, btrieve::key_type::kInteger}}})),
            0);
  std::unique_ptr<BtrieveFile> races = OpenRaceFile();
  ASSERT_NE(races, nullptr);
  EXPECT_EQ(races->keyNumber, 2);
  EXPECT_FALSE(FirstRecord(races.get(), record, sizeof record));  // empty file
  EXPECT_EQ(record[0], 0);
  EXPECT_EQ(record[127], 0);

  // Two races, read back in key order.
  btrieve::testing::File raw;
  ASSERT_EQ(raw.Open(DatabasePath(settings, "WCCRACE2"), 0), 0);
  for (uint32_t id : {7u, 3u}) {
    std::vector<uint8_t> r(128, 0);
    btrieve::StoreU32(r.data(), id);
    r[4] = static_cast<uint8_t>('A' + id);
    ASSERT_EQ(raw.Insert(r), 0);
  }
  raw.Close();
  EXPECT_TRUE(FirstRecord(races.get(), record, sizeof record));
  EXPECT_EQ(record[0], 3);
  EXPECT_TRUE(NextRecord(races.get(), record, sizeof record));
  EXPECT_EQ(record[0], 7);
  EXPECT_FALSE(NextRecord(races.get(), record, sizeof record));
  EXPECT_EQ(races->status, 9);
  EXPECT_EQ(record[4], 0);
  EXPECT_TRUE(FreeBtrieveFile(races));
  EXPECT_EQ(races, nullptr);
  settings = saved;
}

}  // namespace
}  // namespace torvex
