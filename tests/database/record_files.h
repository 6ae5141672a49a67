// Real record files in a temporary data directory, created through the engine
// with the keys the game's files have, and the program's settings and caches
// pointed at them for the length of a test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "database/record_cache.h"
#include "database/records/tables.h"
#include "database/settings.h"
#include "platform/btrieve/btrieve.h"
#include "tests/platform/btrieve/btrieve_test_support.h"

namespace torvex::testing {

class RecordFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = CurrentDatabaseSettings();
    CurrentDatabaseSettings().dataDirectory = dir_.path() + "/";
    CurrentDatabaseSettings().useDatFiles = false;
    ClearCaches();
  }
  void TearDown() override {
    CurrentDatabaseSettings() = saved_;
    ClearCaches();
  }
  static void ClearCaches() {
    ClearItemCache();
    ClearRoomCache();
    ClearTextCache();
  }

  std::string PathOf(DatabaseFile kind) const {
    return dir_.path() + "/" + std::string(DatabaseFileName(kind)) + ".VIR";
  }

  // Creates the file of `kind` with its one key at position 1 and inserts
  // `records`, each padded or cut to the file's record length unless the file
  // holds variable-length records.
  void MakeFile(DatabaseFile kind, const std::vector<std::vector<uint8_t>>& records) {
    const Layout layout = LayoutOf(kind);
    using btrieve::testing::Segment;
    const auto spec = btrieve::testing::CreateSpec(
        layout.recordLength, 4096, layout.variable ? btrieve::file_flag::kVariableLength : 0,
        {{Segment{1, layout.keyLength, layout.keyFlags, layout.keyType}}});
    ASSERT_EQ(btrieve::testing::Create(PathOf(kind), spec), 0);
    btrieve::testing::File file;
    ASSERT_EQ(file.Open(PathOf(kind)), 0);
    for (std::vector<uint8_t> record : records) {
      if (!layout.variable) record.resize(layout.recordLength);
      ASSERT_EQ(file.Insert(record), 0) << "record " << records.size();
    }
    ASSERT_EQ(file.Close(), 0);
  }

  // The bytes of a kept record, as a vector for MakeFile.
  template <typename Record>
  static std::vector<uint8_t> Bytes(const Record& record) {
    return {record.bytes().begin(), record.bytes().end()};
  }

  void RemoveFile(DatabaseFile kind) { std::remove(PathOf(kind).c_str()); }

 private:
  struct Layout {
    uint16_t recordLength;
    uint16_t keyLength;
    uint8_t keyType;
    uint16_t keyFlags;
    bool variable = false;
  };
  static Layout LayoutOf(DatabaseFile kind) {
    constexpr uint8_t kAuto = btrieve::key_type::kAutoIncrement;
    constexpr uint8_t kBinary = btrieve::key_type::kUnsignedBinary;
    constexpr uint16_t kExt = btrieve::key_flag::kExtendedType;
    constexpr uint16_t kExtBin = btrieve::key_flag::kExtendedType | btrieve::key_flag::kBinary;
    switch (kind) {
      case kRaceFile:
        return {126, 2, kAuto, kExt};
      case kClassFile:
        return {156, 2, kAuto, kExt};
      case kSpellFile:
        return {260, 2, kAuto, kExt};
      case kItemFile:
        return {1072, 4, kAuto, kExt};
      case kMonsterFile:
        return {756, 4, kAuto, kExt};
      case kMessageFile:
        return {256, 4, kAuto, kExt};
      case kShopFile:
        return {504, 4, kAuto, kExt};
      case kTextFile:
        return {24, 18, kBinary, kExtBin, true};
      case kRoomFile:
        return {1544, 8, kBinary, kExtBin};
      case kActiveMonsterFile:
        return {400, 4, kAuto, kExt};
      case kItemOwnerFile:
        return {72, 4, kAuto, kExt};
      case kGangFile:
        return {256, 20, btrieve::key_type::kZString, kExt};
      default:
        return {64, 4, kAuto, kExt};
    }
  }

  btrieve::testing::TempDir dir_;
  DatabaseSettings saved_;
};

}  // namespace torvex::testing
