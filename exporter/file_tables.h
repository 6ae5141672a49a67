// The game's database files as the update file and the template files name them:
// the file-name table, the extension table and the record-length table.
//
// These tables belong with the record layouts; they live here until those layouts
// offer them, and nothing outside the exporter should include this header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace torvex::exporter {

// Index 0 .. 15. An update record's file code c names index c - 1.
inline constexpr std::array<const char*, 16> kFileNames = {
    "WCCRACE2", "WCCCLAS2", "WCCMP002", "WCCSHOP2", "WCCITEM2", "WCCSPEL2", "WCCKNMS2", "WCCMSG2",
    "WCCTEXT2", "WCCACTS2", "WCCUSER2", "WCCUPDA2", "WCCACMS2", "WCCITOW2", "WCCGANG2", "WCCVACN"};

// Index 0 the template files, index 1 the live game files.
inline constexpr std::array<const char*, 2> kExtensions = {"VIR", "DAT"};
inline constexpr size_t kTemplateExtension = 0;
inline constexpr size_t kLiveExtension = 1;

// Record length on disk by file-name index; for the text blocks the fixed head only,
// and 0 for the one file that is never read.
inline constexpr std::array<uint16_t, 16> kRecordLengths = {
    126, 156, 1544, 504, 1072, 260, 756, 256, 24, 1010, 2028, 2020, 400, 72, 256, 0};

// File-name indexes of the files that need a name in code.
inline constexpr size_t kTextFileIndex = 8;
inline constexpr size_t kUpdateFileIndex = 11;

// The name at `index`, or nullptr outside the table.
inline const char* FileNameAt(size_t index) {
  return index < kFileNames.size() ? kFileNames[index] : nullptr;
}

}  // namespace torvex::exporter
