// The update file (WCCUPDA2): each record carries one record of one of the game's
// database files, tagged with a file code.
//
// Update record, 2020 bytes:
//   0  4 bytes  the update file's own key (never read by the exporter)
//   4  u8       file code: low seven bits = 1-based index into the file-name table
//   5  3 bytes  unused
//   8  ...      the carried record, laid out as the target file's record
// A carried text block is its 24-byte head followed by zero-terminated text, so its
// length is found from the text that starts at offset 32 of the update record.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace torvex::exporter {

inline constexpr uint32_t kUpdateRecordLength = 2020;
inline constexpr uint32_t kFileCodeOffset = 4;
inline constexpr uint32_t kCarriedOffset = 8;
inline constexpr uint32_t kMaxCarriedLength = kUpdateRecordLength - kCarriedOffset;  // 2012
inline constexpr uint32_t kTextBlockHeadLength = 24;
inline constexpr uint32_t kTextOffset = kCarriedOffset + kTextBlockHeadLength;  // 32
// The longest text an update record can hold without its terminator, and so the
// longest carried text block: head, text and the terminator the exporter supplies.
inline constexpr uint32_t kMaxCarriedText = kUpdateRecordLength - kTextOffset;  // 1988
inline constexpr uint32_t kMaxCarriedTextBlock = kTextBlockHeadLength + kMaxCarriedText + 1;

// The file code of an update record: byte 4 without its high bit; 0 for a record too
// short to hold one.
uint8_t FileCode(std::span<const uint8_t> updateRecord);

// The file-name index a file code names, or -1 for code 0.
inline int FileIndexForCode(uint8_t code) {
  return code == 0 ? -1 : code - 1;
}

// How many bytes of the carried record are inserted for file code `code`. For a text
// block (code 9) that is the text's length plus 25, where the text ends at its first
// zero byte or at the end of the 2020-byte update record, whichever comes first, so the
// result never exceeds kMaxCarriedTextBlock. For codes 1..15 other than 9 it is the
// record length of the file; for any other code 0. Only bytes inside `updateRecord` are
// examined, and bytes beyond its end count as zero.
uint32_t CarriedLength(uint8_t code, std::span<const uint8_t> updateRecord);

// Writes an update file, one carried record at a time. The writer owns one open
// handle on the file from Create until Close (or destruction); it is not copyable.
class UpdateFileWriter {
 public:
  // The shape of the file. The game's files are fixed-length 2020-byte records; tests
  // make shorter or variable-length ones to exercise damaged update files.
  struct Shape {
    uint16_t recordLength = kUpdateRecordLength;  // the fixed part when variableLength
    bool variableLength = false;
  };

  UpdateFileWriter() = default;
  ~UpdateFileWriter();
  UpdateFileWriter(const UpdateFileWriter&) = delete;
  UpdateFileWriter& operator=(const UpdateFileWriter&) = delete;

  // Creates the file at `path` (replacing any file there) and opens it. The key is a
  // 4-byte autoincrement at position 1, so records keep the order they were appended
  // in. Returns the record manager's status; any file already open here is closed first.
  int16_t Create(const std::string& path);
  int16_t Create(const std::string& path, Shape shape);

  // Appends an update record carrying `carried` for file code `fileCode`. The carried
  // bytes are cut to the 2012 bytes a record holds; the rest is zero-filled. Returns
  // the Insert status (3 when the file is not open).
  int16_t Append(uint8_t fileCode, std::span<const uint8_t> carried);
  // Appends `record` as it is, key included (a zero key is given the next number). A
  // fixed-length file takes exactly its record length (cut or zero-filled); a
  // variable-length one takes at least its fixed part.
  int16_t AppendRaw(std::span<const uint8_t> record);

  // Closes the file, making its records durable; returns the status (0 when no file
  // was open).
  int16_t Close();

  bool IsOpen() const { return open_; }
  uint32_t appended() const { return appended_; }

 private:
  std::array<uint8_t, 128> position_{};
  Shape shape_;
  bool open_ = false;
  uint32_t appended_ = 0;
};

}  // namespace torvex::exporter
