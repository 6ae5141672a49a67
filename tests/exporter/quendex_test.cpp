#include "exporter/quendex.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "database/records/tables.h"
#include "exporter/update_file.h"
#include "platform/btrieve/bytes.h"
#include "tests/platform/btrieve/btrieve_test_support.h"

namespace torvex::exporter {
namespace {

namespace bt = torvex::btrieve;
using bt::testing::TempDir;

constexpr char kBanner[] = "\xFE KRX Dunmarrow Update File Exporter 1.00 (Build: 1)\n\n";
constexpr char kCreated[] = "  Creating all VIR files...Success!\n";
constexpr char kExporting[] = "  Exporting WCCUPDA2.DAT...";
constexpr char kClosing[] = "Done.\n  Closing files.\n  Finished.\n";

using Records = std::vector<std::vector<uint8_t>>;

Records ReadAll(const std::string& path) {
  return bt::testing::ReadAllRecords(path);
}

std::vector<uint8_t> Race(uint16_t number, const std::string& name) {
  std::vector<uint8_t> r(126, 0);
  bt::StoreU16(r.data(), number);
  std::copy(name.begin(), name.end(), r.begin() + 2);
  return r;
}

// A carried text block: block number, part and the text with its terminator.
std::vector<uint8_t> TextBlock(uint32_t block, uint16_t part, const std::string& text) {
  std::vector<uint8_t> r(24 + text.size() + 1, 0);
  bt::StoreU16(r.data(), part);
  bt::StoreU32(&r[16], block);
  std::copy(text.begin(), text.end(), r.begin() + 24);
  return r;
}

class QuendexTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.File(name); }
  std::string Dir() const { return dir_.path() + "/"; }

  // Writes the update file from (code, carried record) pairs.
  void WriteUpdate(const std::vector<std::pair<uint8_t, std::vector<uint8_t>>>& records) {
    UpdateFileWriter w;
    ASSERT_EQ(w.Create(Path("WCCUPDA2.DAT")), 0);
    for (const auto& [code, carried] : records) ASSERT_EQ(w.Append(code, carried), 0);
    ASSERT_EQ(w.Close(), 0);
  }
  int Run(std::vector<std::string> args = {}) {
    sink_ = StringSink();
    return QuendexMain(args, sink_, Dir());
  }
  const std::string& Output() const { return sink_.text(); }

  TempDir dir_;
  StringSink sink_;
};

TEST(QuendexArgsTest, UsageOnlyForExactSpellings) {
  const std::pair<const char*, bool> cases[] = {
      {"/?", true},       {"-?", true},     {"--help", true}, {"/-help", true},
      {"-HELP", false},   {"/HELP", false}, {"-help", false}, {"?", false},
      {"--help ", false}, {"//?", false},   {"", false}};
  for (const auto& [arg, usage] : cases) EXPECT_EQ(IsUsageArgument(arg), usage) << arg;
}

TEST_F(QuendexTest, UsageTextAloneAndNothingElse) {
  EXPECT_EQ(Run({"whatever", "/?"}), 0);
  EXPECT_EQ(Output(),
            "Exports a Dunmarrow update file to it's component VIR files.\n\nQUENDEX [-?]\n\n"
            "  -?,  --help   This help screen.\n\nUSAGE NOTES:\n\n"
            "  The update file exporter always assumes that the update file is named\n"
            "  wccupda2.dat, and always gives the proper names to the VIR files it creates.\n"
            "  The VIR files are created automatically and if they already exist, will be\n"
            "  overwritten by new blank files prior to the update being exported.  There\n"
            "  is no warning given as to whether or not existing files will be overwritten,\n"
            "  so care must be taken to run this utility in the correct directory with the\n"
            "  update file already present.\n\n  Below is a sample command line--\n\n"
            "    QUENDEX\n\n"
            "  This would export all the updates from wccupda2.dat to the appropriate VIR\n"
            "  files using INSERT operations on the freshly created VIR files.  If any\n"
            "  duplicate update entries exist, only the first entry will be added, as the\n"
            "  future INSERT operations will fail with a duplicate key error.\n\n");
  struct stat st;
  EXPECT_NE(stat(Path("WCCRACE2.VIR").c_str(), &st), 0);
}

TEST_F(QuendexTest, CreatesTheTenFilesWithTheirSpecifications) {
  EXPECT_EQ(Run({"-HELP"}), 12);  // no update file; the case-sensitive -HELP runs the export
  EXPECT_EQ(Output().rfind(kBanner, 0), 0u);
  struct Expected {
    const char* file;
    int recordLength, pageSize, fileFlags, keyLength, keyFlags, keyType;
  };
  const Expected expected[] = {
      {"WCCRACE2", 126, 4096, 0x1200, 2, 0x100, 15},
      {"WCCCLAS2", 156, 4096, 0x1200, 2, 0x100, 15},
      {"WCCSPEL2", 260, 4096, 0x1200, 2, 0x100, 15},
      {"WCCITEM2", 1072, 4096, 0x1200, 4, 0x100, 15},
      {"WCCKNMS2", 756, 1536, 0x1200, 4, 0x100, 15},
      {"WCCMSG2", 256, 4096, 0x1200, 4, 0x100, 15},
      {"WCCSHOP2", 504, 4096, 0x1200, 4, 0x100, 15},
      {"WCCTEXT2", 24, 2048, 0x1201, 18, 0x104, 14},
      {"WCCMP002", 1544, 4096, 0x1200, 8, 0x104, 14},
      {"WCCACTS2", 1010, 4096, 0x1200, 30, 0x100, 11},
  };
  for (size_t i = 0; i < std::size(expected); ++i) {
    const Expected& e = expected[i];
    EXPECT_EQ(DatabaseFileName(static_cast<int>(TemplateSpecs().at(i).fileIndex)), e.file)
        << "create order " << i;
    sqlite3* db = nullptr;
    const std::string path = Path(std::string(e.file) + ".VIR");
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(db,
                           "SELECT a.record_length, a.page_size, a.file_flags, k.position,"
                           " k.length, k.flags, k.type, k.null_value,"
                           " (SELECT count(*) FROM key_segments), (SELECT count(*) FROM records)"
                           " FROM file_attributes a, key_segments k",
                           -1, &s, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW) << e.file;
    const int want[] = {e.recordLength, e.pageSize, e.fileFlags, 1, e.keyLength,
                        e.keyFlags,     e.keyType,  0,           1, 0};
    for (int c = 0; c < 10; ++c)
      EXPECT_EQ(sqlite3_column_int(s, c), want[c]) << e.file << " column " << c;
    sqlite3_finalize(s);
    sqlite3_close(db);
  }
}

TEST_F(QuendexTest, DuplicateIsReportedAndOnlyTheFirstKept) {
  WriteUpdate({{1, Race(1, "Dwarf")}, {1, Race(2, "Elf")}, {0x81, Race(1, "Copy")}});
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Output(), std::string(kBanner) + kCreated + kExporting + "-\b\\\b|\b" +
                          "\r! Error 5 inserting into file WCCRACE2.VIR!      \n" + kExporting +
                          kClosing);
  const Records races = ReadAll(Path("WCCRACE2.VIR"));
  ASSERT_EQ(races.size(), 2u);
  EXPECT_EQ(races[0], Race(1, "Dwarf"));
  EXPECT_EQ(races[1], Race(2, "Elf"));
}

TEST_F(QuendexTest, TextBlockLengthFollowsItsText) {
  const std::string full(kMaxCarriedText, 'T');  // fills the record: no terminator
  WriteUpdate({{9, TextBlock(1, 1, "0123456789")},
               {9, TextBlock(2, 1, "")},
               {9, TextBlock(3, 1, std::string(1987, 'x'))},
               {9, TextBlock(4, 1, full)}});
  EXPECT_EQ(Run(), 0);
  const Records texts = ReadAll(Path("WCCTEXT2.VIR"));
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0], TextBlock(1, 1, "0123456789"));
  EXPECT_EQ(texts[0].size(), 35u);
  EXPECT_EQ(texts[1].size(), 25u);
  EXPECT_EQ(texts[2].size(), 2012u);
  // The unterminated text is kept whole and gets its terminator.
  EXPECT_EQ(texts[3], TextBlock(4, 1, full));
}

TEST_F(QuendexTest, UnknownFileCodesAreRefusedAndNamed) {
  WriteUpdate({{0, Race(1, "a")},
               {11, Race(2, "b")},
               {16, Race(3, "c")},
               {17, Race(4, "d")},
               {127, Race(5, "e")},
               {0x80 | 2, Race(6, "f")}});
  EXPECT_EQ(Run(), 0);
  const char* names[] = {"(code 0)", "WCCUSER2", "WCCVACN", "(code 17)", "(code 127)"};
  std::string expected = std::string(kBanner) + kCreated + kExporting;
  const char spin[] = "-\\|/-\\";
  for (int i = 0; i < 6; ++i) {
    expected += std::string{spin[i], '\b'};
    if (i < 5) {
      expected +=
          std::string("\r! Error 3 inserting into file ") + names[i] + ".VIR!      \n" + kExporting;
    }
  }
  EXPECT_EQ(Output(), expected + kClosing);
  // The high bit of the code is ignored: the last record is a class.
  EXPECT_EQ(ReadAll(Path("WCCCLAS2.VIR")).size(), 1u);
}

TEST_F(QuendexTest, ShortUpdateRecordsAreZeroFilled) {
  UpdateFileWriter w;
  ASSERT_EQ(w.Create(Path("WCCUPDA2.DAT"), {.recordLength = 8, .variableLength = true}), 0);
  std::vector<uint8_t> item(8 + 20, 0xAB);
  item[4] = 5;
  ASSERT_EQ(w.AppendRaw(item), 0);
  std::vector<uint8_t> text(8 + 24 + 4, 0);  // ends inside the text, before any zero
  text[4] = 9;
  bt::StoreU32(&text[8 + 16], 7);
  std::fill(text.begin() + 32, text.end(), 'z');
  ASSERT_EQ(w.AppendRaw(text), 0);
  std::vector<uint8_t> longText(3000, 'q');  // runs past the 2020 bytes of a record
  bt::StoreU32(longText.data(), 0);
  longText[4] = 9;
  bt::StoreU32(&longText[8 + 16], 8);
  ASSERT_EQ(w.AppendRaw(longText), 0);
  ASSERT_EQ(w.Close(), 0);

  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Output(), std::string(kBanner) + kCreated + kExporting + "-\b\\\b|\b" + kClosing);
  const Records items = ReadAll(Path("WCCITEM2.VIR"));
  ASSERT_EQ(items.size(), 1u);
  std::vector<uint8_t> want(1072, 0);
  std::fill(want.begin(), want.begin() + 20, 0xAB);
  EXPECT_EQ(items[0], want);
  const Records texts = ReadAll(Path("WCCTEXT2.VIR"));
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].size(), 24u + 4 + 1);
  EXPECT_EQ(texts[0].back(), 0);
  ASSERT_EQ(texts[1].size(), kMaxCarriedTextBlock);
  EXPECT_EQ(texts[1].back(), 0);
  EXPECT_EQ(texts[1][kMaxCarriedTextBlock - 2], 'q');
}

TEST_F(QuendexTest, RecordTooLongToReadIsReported) {
  UpdateFileWriter w;
  ASSERT_EQ(w.Create(Path("WCCUPDA2.DAT"), {.recordLength = 8, .variableLength = true}), 0);
  std::vector<uint8_t> r(8, 0);
  r[4] = 1;
  ASSERT_EQ(w.AppendRaw(r), 0);
  ASSERT_EQ(w.AppendRaw(std::vector<uint8_t>(5000, 1)), 0);
  ASSERT_EQ(w.Close(), 0);
  EXPECT_EQ(Run(), 22);
  EXPECT_EQ(Output(), std::string(kBanner) + kCreated + kExporting + "-\b" +
                          "\r! Error 22 reading file WCCUPDA2.DAT!      \n" + kExporting +
                          kClosing);
  EXPECT_EQ(ReadAll(Path("WCCRACE2.VIR")).size(), 1u);
}

TEST_F(QuendexTest, MissingUpdateFileIsReportedAndEmptyOneIsNot) {
  EXPECT_EQ(Run(), 12);
  EXPECT_EQ(Output(), std::string(kBanner) + kCreated + kExporting +
                          "\r! Error 12 opening file WCCUPDA2.DAT!      \n" + kExporting +
                          kClosing);
  WriteUpdate({});
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Output(), std::string(kBanner) + kCreated + kExporting + kClosing);
}

TEST_F(QuendexTest, SecondRunGivesTheSameFiles) {
  WriteUpdate({{1, Race(1, "Dwarf")},
               {9, TextBlock(5, 2, "hello")},
               {5, std::vector<uint8_t>(1072, 3)},
               {1, Race(1, "Again")}});
  EXPECT_EQ(Run(), 0);
  const std::string first = Output();
  std::vector<Records> before;
  for (size_t i = 0; i < 10; ++i)
    before.push_back(ReadAll(Path(std::string(DatabaseFileName(static_cast<int>(i))) + ".VIR")));
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Output(), first);
  for (size_t i = 0; i < 10; ++i) {
    EXPECT_EQ(ReadAll(Path(std::string(DatabaseFileName(static_cast<int>(i))) + ".VIR")), before[i])
        << DatabaseFileName(static_cast<int>(i));
  }
  EXPECT_EQ(before[0].size(), 1u);
  EXPECT_EQ(before[8].size(), 1u);
}

TEST_F(QuendexTest, SpinnerTurnsOncePerRecordAndFlushes) {
  std::vector<std::pair<uint8_t, std::vector<uint8_t>>> records;
  for (uint16_t i = 1; i <= 9; ++i) records.push_back({1, Race(i, "r")});
  WriteUpdate(records);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Output(), std::string(kBanner) + kCreated + kExporting +
                          "-\b\\\b|\b/\b-\b\\\b|\b/\b-\b" + kClosing);
  EXPECT_GE(sink_.flushes(), 9);
  EXPECT_EQ(ReadAll(Path("WCCRACE2.VIR")).size(), 9u);
}

TEST_F(QuendexTest, TemplateThatCannotBeMadeIsReportedAtOpenAndInsert) {
  ASSERT_EQ(mkdir(Path("WCCCLAS2.VIR").c_str(), 0755), 0);  // a directory in the file's place
  WriteUpdate({{2, std::vector<uint8_t>(156, 1)}, {1, Race(1, "ok")}});
  EXPECT_EQ(Run(), 0);
  const std::string out = Output();
  EXPECT_NE(out.find("  Creating all VIR files...Failure!\n  Failed opening WCCCLAS2.VIR ("),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("-\b\r! Error 3 inserting into file WCCCLAS2.VIR!      \n"), std::string::npos)
      << out;
  EXPECT_EQ(ReadAll(Path("WCCRACE2.VIR")).size(), 1u);
}

TEST(CarriedLengthTest, NeverLooksPastTheRecord) {
  std::vector<uint8_t> record(kUpdateRecordLength + 100, 'a');
  EXPECT_EQ(CarriedLength(9, record), kMaxCarriedTextBlock);
  EXPECT_EQ(CarriedLength(9, std::span(record).first(40)), 24u + 8 + 1);
  EXPECT_EQ(CarriedLength(9, std::span(record).first(10)), 25u);
  record[32 + 10] = 0;
  EXPECT_EQ(CarriedLength(9, record), 35u);
  const std::pair<uint8_t, uint32_t> fixed[] = {
      {1, 126}, {2, 156},   {3, 1544},  {4, 504},  {5, 1072}, {6, 260}, {7, 756},
      {8, 256}, {10, 1010}, {11, 2028}, {15, 256}, {0, 0},    {16, 0},  {127, 0}};
  for (auto [code, length] : fixed) EXPECT_EQ(CarriedLength(code, record), length) << int(code);
  EXPECT_EQ(FileCode(std::vector<uint8_t>{0, 0, 0, 0, 0x85}), 5);
  EXPECT_EQ(FileCode(std::vector<uint8_t>{0, 0, 0, 0}), 0);
}

TEST(UpdateFileWriterTest, CutsCarriedRecordsAndRefusesWhenClosed) {
  TempDir dir;
  UpdateFileWriter w;
  EXPECT_EQ(w.Append(1, std::vector<uint8_t>(10, 1)), bt::status::kFileNotOpen);
  ASSERT_EQ(w.Create(dir.File("WCCUPDA2.DAT")), 0);
  ASSERT_EQ(w.Append(1, std::vector<uint8_t>(3000, 7)), 0);
  ASSERT_EQ(w.Append(2, std::vector<uint8_t>{9}), 0);
  EXPECT_EQ(w.appended(), 2u);
  ASSERT_EQ(w.Close(), 0);
  const Records r = ReadAll(dir.File("WCCUPDA2.DAT"));
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(bt::LoadU32(r[0].data()), 1u);
  EXPECT_EQ(bt::LoadU32(r[1].data()), 2u);
  EXPECT_EQ(r[0].size(), kUpdateRecordLength);
  EXPECT_EQ(r[0][4], 1);
  EXPECT_EQ(r[0].back(), 7);
  EXPECT_EQ(r[1][4], 2);
  EXPECT_EQ(r[1][8], 9);
  EXPECT_EQ(r[1][9], 0);
}

}  // namespace
}  // namespace torvex::exporter
